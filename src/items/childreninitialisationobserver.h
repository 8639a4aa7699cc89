#pragma once

#include <QQuickItem>

// Listens to the completion and destruction of its children's attached Component objects; the slots
// are hooks for subclasses and do nothing here. QML type ChildrenInitialisationObserver.
class ChildrenInitialisationObserver : public QQuickItem
{
    Q_OBJECT

public:
    explicit ChildrenInitialisationObserver(QQuickItem* parent = nullptr);

public slots:
    void childCompleted();
    void childDestroyed();

protected:
    void componentComplete() override;
};
