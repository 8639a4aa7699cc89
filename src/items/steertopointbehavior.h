#pragma once

#include "aioperations.h"

#include <QPointF>
#include <QPointer>
#include <QQuickItem>

class QTimer;

// Steers its owning entity towards a target item or point: on a timer it sets a turning output
// (outputXAxis) and a forward/backward output (outputYAxis), each -1, 0 or +1, in the form the input
// controllers give, and reports the distance and the reaching of the target. QML type MoveToPointHelper.
class SteerToPointBehavior : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QObject* targetObject READ targetObject WRITE setTargetObject NOTIFY targetObjectChanged)
    Q_PROPERTY(QPointF targetPoint READ targetPoint WRITE setTargetPoint NOTIFY targetPointChanged)
    Q_PROPERTY(QQuickItem* owningEntity READ owningEntity WRITE setOwningEntity)
    Q_PROPERTY(bool allowSteerForward MEMBER m_allowSteerForward)
    Q_PROPERTY(bool allowSteerBackward MEMBER m_allowSteerBackward)
    Q_PROPERTY(
        bool stopForwardMovementAtDifferentDirections MEMBER m_stopForwardMovementAtDifferentDirections)
    Q_PROPERTY(qreal rotationThreshold MEMBER m_rotationThreshold NOTIFY rotationThresholdChanged)
    Q_PROPERTY(qreal distanceToTargetThreshold MEMBER m_distanceToTargetThreshold)
    Q_PROPERTY(qreal distanceToTarget READ distanceToTarget NOTIFY distanceToTargetChanged)
    Q_PROPERTY(float absoluteRotationDifference READ absoluteRotationDifference NOTIFY
                   absoluteRotationDifferenceChanged)
    Q_PROPERTY(qreal outputXAxis READ outputXAxis NOTIFY outputXAxisChanged)
    Q_PROPERTY(qreal outputYAxis READ outputYAxis NOTIFY outputYAxisChanged)
    Q_PROPERTY(int updateInterval READ updateInterval WRITE setUpdateInterval)

public:
    explicit SteerToPointBehavior(QQuickItem* parent = nullptr);

    QObject* targetObject() const { return m_targetObject; }
    // Must be a visual item: its position is read.
    void setTargetObject(QObject* target);
    QPointF targetPoint() const { return m_targetPoint; }
    // Used only while no target item is set.
    void setTargetPoint(const QPointF& point);
    QQuickItem* owningEntity() const { return m_owner; }
    void setOwningEntity(QQuickItem* owner) { m_owner = owner; }
    qreal distanceToTarget() const { return m_distanceToTarget; }
    float absoluteRotationDifference() const { return m_operations.getRotationDifferenceBetween2Points(); }
    qreal outputXAxis() const { return m_outputXAxis; }
    qreal outputYAxis() const { return m_outputYAxis; }
    // Milliseconds.
    int updateInterval() const;
    void setUpdateInterval(int milliseconds);

public slots:
    void update();
    void reset();
    void enabledHasChanged();
    void targetItemDestroyed();

signals:
    void targetObjectChanged();
    void targetPointChanged();
    void rotationThresholdChanged();
    void distanceToTargetChanged();
    void absoluteRotationDifferenceChanged();
    void outputXAxisChanged();
    void outputYAxisChanged();
    void targetItemChanged();
    void targetReached();

protected:
    void componentComplete() override;

private:
    void setTargetItem(QQuickItem* item);
    void setOutputXAxis(qreal value);
    void setOutputYAxis(qreal value);

    // Reads null once the object is gone.
    QPointer<QObject> m_targetObject;
    QPointer<QQuickItem> m_targetItem;
    QPointF m_targetPoint;
    QPointer<QQuickItem> m_owner;
    bool m_allowSteerForward = true;
    bool m_allowSteerBackward = true;
    bool m_stopForwardMovementAtDifferentDirections = false;
    qreal m_rotationThreshold = 5.0;
    qreal m_distanceToTargetThreshold = 20.0;
    qreal m_distanceToTarget = 0.0;
    qreal m_outputXAxis = 0.0;
    qreal m_outputYAxis = 0.0;
    bool m_useTargetPoint = false;
    bool m_targetReachedSent = false;
    QTimer* m_timer;
    AIOperations m_operations;
};
