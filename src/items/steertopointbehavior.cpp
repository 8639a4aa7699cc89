#include "steertopointbehavior.h"

#include "qmltyperegistry.h"

#include <QTimer>
#include <QtQml>

namespace {
const QmlTypeRegistrar steerRow(13, [] {
    qmlRegisterType<SteerToPointBehavior>("Zanth", 1, 0, "MoveToPointHelper");
});
}

SteerToPointBehavior::SteerToPointBehavior(QQuickItem* parent) : QQuickItem(parent), m_timer(new QTimer(this))
{
    m_timer->setInterval(16);
    connect(m_timer, &QTimer::timeout, this, &SteerToPointBehavior::update);
    connect(this, &QQuickItem::enabledChanged, this, &SteerToPointBehavior::enabledHasChanged);
}

int SteerToPointBehavior::updateInterval() const
{
    return m_timer->interval();
}

void SteerToPointBehavior::setUpdateInterval(int milliseconds)
{
    m_timer->setInterval(milliseconds);
}

void SteerToPointBehavior::componentComplete()
{
    QQuickItem::componentComplete();
    if (!m_owner)
        m_owner = parentItem();
    if (!m_owner) {
        qDebug(
            "WARNING: SteerToPointBehavior: no owningEntity was set, but an owner is required for retrieving "
            "the position! Thus it will not be activated!");
        return;
    }
    if (isEnabled())
        m_timer->start();
}

void SteerToPointBehavior::enabledHasChanged()
{
    if (isEnabled() && m_owner)
        m_timer->start();
    else
        m_timer->stop();
}

void SteerToPointBehavior::setOutputXAxis(qreal value)
{
    if (m_outputXAxis == value)
        return;
    m_outputXAxis = value;
    emit outputXAxisChanged();
}

void SteerToPointBehavior::setOutputYAxis(qreal value)
{
    if (m_outputYAxis == value)
        return;
    m_outputYAxis = value;
    emit outputYAxisChanged();
}

void SteerToPointBehavior::update()
{
    if (!isEnabled() || !m_owner)
        return;
    QPointF target;
    if (m_targetItem) {
        target = m_targetItem->position();
    } else if (m_useTargetPoint) {
        target = m_targetPoint;
    } else {
        m_distanceToTarget = 0;
        m_targetReachedSent = false;
        return;
    }
    const float oldDifference = m_operations.getRotationDifferenceBetween2Points();
    const qreal oldDistance = m_distanceToTarget;
    m_operations.setStartPosition(float(m_owner->x()), float(-m_owner->y()), float(m_owner->rotation()));
    m_operations.setEndPosition(float(target.x()), float(-target.y()), 0.0f);
    m_operations.updateInformations();
    m_distanceToTarget = m_operations.getDistanceBetween2Points();

    if (m_distanceToTargetThreshold > m_distanceToTarget) {
        if (!m_targetReachedSent) {
            m_targetReachedSent = true;
            setOutputYAxis(0);
            emit targetReached();
        }
    } else if (m_operations.hasDifferentDirections()) {
        if (m_allowSteerBackward)
            setOutputYAxis(-1);
        else if (m_stopForwardMovementAtDifferentDirections)
            setOutputYAxis(0);
    } else {
        setOutputYAxis(m_allowSteerForward ? 1 : 0);
    }
    if (m_distanceToTarget != oldDistance)
        emit distanceToTargetChanged();

    const float difference = m_operations.getRotationDifferenceBetween2Points();
    if (difference > m_rotationThreshold)
        setOutputXAxis(m_operations.shouldAttackerRotateRight() ? -1 : 1);
    else
        setOutputXAxis(0);
    // A NaN difference counts as a change each time, as plain inequality says.
    if (difference != oldDifference)
        emit absoluteRotationDifferenceChanged();
}

void SteerToPointBehavior::setTargetObject(QObject* target)
{
    if (m_targetObject == target)
        return;
    m_targetObject = target;
    setTargetItem(qobject_cast<QQuickItem*>(target));
    emit targetObjectChanged();
}

void SteerToPointBehavior::setTargetItem(QQuickItem* item)
{
    if (m_targetItem == item)
        return;
    if (m_targetItem)
        disconnect(m_targetItem, &QObject::destroyed, this, &SteerToPointBehavior::targetItemDestroyed);
    m_targetItem = item;
    if (item)
        connect(item, &QObject::destroyed, this, &SteerToPointBehavior::targetItemDestroyed);
    else
        reset();
    emit targetItemChanged();
}

void SteerToPointBehavior::targetItemDestroyed()
{
    m_targetItem = nullptr;
    reset();
    emit targetItemChanged();
}

void SteerToPointBehavior::setTargetPoint(const QPointF& point)
{
    if (m_targetPoint == point)
        return;
    m_targetPoint = point;
    m_distanceToTarget = 0;
    m_targetReachedSent = false;
    m_useTargetPoint = true;
    emit targetPointChanged();
}

void SteerToPointBehavior::reset()
{
    m_distanceToTarget = 0;
    m_targetReachedSent = false;
    setOutputXAxis(0);
    setOutputYAxis(0);
    m_useTargetPoint = false;
}
