#include "multitouchevent.h"

#include "qmltyperegistry.h"

#include <QtQml>

#include <cmath>

namespace {
const QmlTypeRegistrar multiTouchEventRow(16, [] {
    qmlRegisterType<MultiTouchEvent>("Zanth", 1, 0, "MultiTouchEvent");
});
}

int MultiTouchEvent::x() const
{
    return int(std::floor(m_previousCenter.x() + 0.5));
}

int MultiTouchEvent::y() const
{
    return int(std::floor(m_previousCenter.y() + 0.5));
}
