#include "childreninitialisationobserver.h"

#include "qmltyperegistry.h"

#include <QtQml>

namespace {
const QmlTypeRegistrar childrenInitialisationObserverRow(17, [] {
    qmlRegisterType<ChildrenInitialisationObserver>("Zanth", 1, 0, "ChildrenInitialisationObserver");
});
} // namespace

ChildrenInitialisationObserver::ChildrenInitialisationObserver(QQuickItem* parent) : QQuickItem(parent) {}

void ChildrenInitialisationObserver::childCompleted() {}

void ChildrenInitialisationObserver::childDestroyed() {}

void ChildrenInitialisationObserver::componentComplete()
{
    QQuickItem::componentComplete();
    for (QObject* child : children()) {
        if (!child->inherits("QQmlComponentAttached"))
            continue;
        connect(child, SIGNAL(completed()), this, SLOT(childCompleted()));
        connect(child, SIGNAL(destruction()), this, SLOT(childDestroyed()));
    }
}
