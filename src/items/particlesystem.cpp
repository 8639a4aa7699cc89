#include "particlesystem.h"

#include "qmltyperegistry.h"

namespace {
const QmlTypeRegistrar particleSystemRow(16, [] {
    qmlRegisterType<ParticleSystem>("Zanth", 1, 0, "ParticleSystem");
});
} // namespace

ParticleSystem::ParticleSystem(QQuickItem* parent) : VisualItemPropertyObserver(parent) {}
