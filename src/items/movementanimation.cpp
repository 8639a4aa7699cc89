#include "movementanimation.h"

#include "qmltyperegistry.h"
#include "zanthscheduler.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QtDebug>
#include <QtQml>

#include <cmath>

namespace {
const QmlTypeRegistrar movementAnimationRow(12, [] {
    qmlRegisterType<MovementAnimation>("Zanth", 1, 0, "MovementAnimation");
});

// Items have no "pos" property: the position stands in for it.
QVariant readTargetProperty(QObject* target, QQuickItem* item, const QString& name)
{
    if (name == QLatin1String("pos") && item)
        return item->position();
    return target->property(name.toUtf8().constData());
}

bool toReal(const QVariant& value, qreal* real)
{
    if (!value.isValid() || value.isNull())
        return false;
    bool ok = false;
    const double converted = value.toDouble(&ok);
    if (ok)
        *real = converted;
    return ok;
}

QPointF toPoint(const QVariant& value)
{
    if (value.canConvert<QPointF>())
        return value.toPointF();
    return {};
}

qreal withSignOf(qreal magnitude, qreal sign)
{
    return sign < 0 ? -std::abs(magnitude) : std::abs(magnitude);
}
} // namespace

MovementAnimation::MovementAnimation(QQuickItem* parent) : QQuickItem(parent) {}

MovementAnimation::~MovementAnimation()
{
    if (m_scheduler && m_scheduler->isScheduled(this))
        m_scheduler->unschedule(this);
}

bool MovementAnimation::storeValue(Value& value, const QVariant& given)
{
    if (value.given == given)
        return false;
    value.given = given;
    value.real = 0.0;
    toReal(given, &value.real);
    value.point = toPoint(given);
    return true;
}

void MovementAnimation::setVelocity(const QVariant& velocity)
{
    if (storeValue(m_velocity, velocity))
        emit velocityChanged();
}

void MovementAnimation::setAcceleration(const QVariant& value)
{
    if (storeValue(m_acceleration, value))
        emit accelerationChanged();
}

void MovementAnimation::setMaxVelocity(const QVariant& value)
{
    if (storeValue(m_maxVelocity, value))
        emit maxVelocityChanged();
}

void MovementAnimation::setMinVelocity(const QVariant& value)
{
    if (storeValue(m_minVelocity, value))
        emit minVelocityChanged();
}

void MovementAnimation::setMaxPropertyValue(const QVariant& value)
{
    if (storeValue(m_maxValue, value))
        emit maxPropertyValueChanged();
}

void MovementAnimation::setMinPropertyValue(const QVariant& value)
{
    if (storeValue(m_minValue, value))
        emit minPropertyValueChanged();
}

void MovementAnimation::setMaxPropertyValueDifference(const QVariant& value)
{
    if (storeValue(m_maxDifference, value))
        emit maxPropertyValueDifferenceChanged();
}

void MovementAnimation::setWrapping(bool wrapping)
{
    if (m_wrapping == wrapping)
        return;
    m_wrapping = wrapping;
    emit wrappingChanged();
}

double MovementAnimation::stepInterval() const
{
    // Computed in single precision on purpose: 60 steps give 0.016666668.
    return double(1.0f / float(m_updateInterval));
}

void MovementAnimation::setUpdateInterval(int stepsPerSecond)
{
    if (m_updateInterval == stepsPerSecond)
        return;
    if (stepsPerSecond <= 0) {
        qWarning() << "MovementAnimation: WARNING: updateInterval must be above 0, ignored:"
                   << stepsPerSecond;
        return;
    }
    m_updateInterval = stepsPerSecond;
    if (m_scheduler && m_scheduler->isScheduled(this))
        m_scheduler->setUpdateRate(this, stepInterval());
    emit updateIntervalChanged();
}

void MovementAnimation::setTarget(QObject* target)
{
    if (m_target == target)
        return;
    disconnect(m_targetDestroyed);
    m_target = target;
    m_targetItem = qobject_cast<QQuickItem*>(target);
    if (target)
        m_targetDestroyed = connect(target, &QObject::destroyed, this, &MovementAnimation::targetDestroyed);
    emit targetChanged();
}

void MovementAnimation::targetDestroyed()
{
    m_target = nullptr;
    m_targetItem = nullptr;
    emit targetChanged();
    stop();
}

void MovementAnimation::setProperty(const QString& property)
{
    if (m_property == property)
        return;
    m_property = property;
    emit propertyChanged();
}

void MovementAnimation::readCurrentValue()
{
    if (!m_target)
        return;
    const QVariant value = readTargetProperty(m_target, m_targetItem, m_property);
    if (m_isPoint)
        m_currentPoint = toPoint(value);
    else
        m_currentReal = value.toDouble();
}

void MovementAnimation::componentComplete()
{
    QQuickItem::componentComplete();
    m_completed = true;
    if (m_property.isEmpty() || !m_target) {
        qDebug("WARNING: MovementAnimation: no property or target defined, nothing to do");
        return;
    }
    const QVariant value = readTargetProperty(m_target, m_targetItem, m_property);
    qreal real = 0.0;
    m_isPoint = !toReal(value, &real);
    if (m_isPoint)
        m_currentPoint = toPoint(value);
    else
        m_currentReal = real;

    if (m_property == QLatin1String("x"))
        m_directPath = DirectPath::X;
    else if (m_property == QLatin1String("y"))
        m_directPath = DirectPath::Y;
    else if (m_property == QLatin1String("pos"))
        m_directPath = DirectPath::Pos;
    else if (m_property == QLatin1String("rotation"))
        m_directPath = DirectPath::Rotation;

    if (QQmlContext* context = qmlContext(this)) {
        m_scheduler = qobject_cast<ZanthScheduler*>(
            context->engine()->rootContext()->contextProperty("zanthScheduler").value<QObject*>());
        if (!m_scheduler)
            qDebug("MovementAnimation: WARNING: Zanth Scheduler was not found in Context Property!");
    } else {
        qDebug("MovementAnimation: WARNING: Context was not found in Context Property!");
    }
    if (m_running) {
        if (m_scheduler)
            m_scheduler->schedule(this, stepInterval());
        else
            qDebug("WARNING: No scheduler found! MovementAnimation will not work correctly!");
    }
}

void MovementAnimation::setRunning(bool running)
{
    if (m_running == running)
        return;
    m_running = running;
    if (running) {
        if (!m_completed) {
            emit runningChanged(m_running);
            return;
        }
        readCurrentValue();
        if (m_scheduler && !m_scheduler->isScheduled(this))
            m_scheduler->schedule(this, stepInterval());
        emit started();
    } else {
        if (m_scheduler && m_scheduler->isScheduled(this))
            m_scheduler->unschedule(this);
        emit stopped();
    }
    emit runningChanged(m_running);
}

qreal MovementAnimation::limitValue(qreal value, qreal minimum, qreal maximum, bool hasMinimum,
                                    bool hasMaximum)
{
    if (hasMinimum && value < minimum) {
        value = m_wrapping && hasMaximum ? maximum : minimum;
        emit limitReached();
    }
    if (hasMaximum && value > maximum) {
        value = m_wrapping && hasMinimum ? minimum : maximum;
        emit limitReached();
    }
    return value;
}

void MovementAnimation::scheduledUpdate(double dt)
{
    if (!m_running || !m_target)
        return;
    if (m_isPoint)
        stepPoint(dt);
    else
        stepReal(dt);
}

void MovementAnimation::stepReal(double dt)
{
    qreal v = m_velocity.real + m_acceleration.real * dt;
    if (m_minVelocity.isSet() && v < m_minVelocity.real)
        v = m_minVelocity.real;
    if (m_maxVelocity.isSet() && v > m_maxVelocity.real)
        v = m_maxVelocity.real;
    setVelocity(v);
    qreal d = v * dt;
    if (m_maxDifference.isSet() && std::abs(d) > m_maxDifference.real)
        d = withSignOf(m_maxDifference.real, d);
    m_currentReal = limitValue(m_currentReal + d, m_minValue.real, m_maxValue.real, m_minValue.isSet(),
                               m_maxValue.isSet());
    if (m_targetItem && m_directPath == DirectPath::X)
        m_targetItem->setX(m_currentReal);
    else if (m_targetItem && m_directPath == DirectPath::Y)
        m_targetItem->setY(m_currentReal);
    else if (m_targetItem && m_directPath == DirectPath::Rotation)
        m_targetItem->setRotation(m_currentReal);
    else
        m_target->setProperty(m_property.toUtf8().constData(), m_currentReal);
}

void MovementAnimation::stepPoint(double dt)
{
    QPointF v = m_velocity.point + m_acceleration.point * dt;
    if (m_minVelocity.isSet() && v.x() < m_minVelocity.point.x())
        v.setX(m_minVelocity.point.x());
    if (m_maxVelocity.isSet() && v.x() > m_maxVelocity.point.x())
        v.setX(m_maxVelocity.point.x());
    if (m_minVelocity.isSet() && v.y() < m_minVelocity.point.y())
        v.setY(m_minVelocity.point.y());
    if (m_maxVelocity.isSet() && v.y() > m_maxVelocity.point.y())
        v.setY(m_maxVelocity.point.y());
    setVelocity(v);
    QPointF d = v * dt;
    if (m_maxDifference.isSet()) {
        if (std::abs(d.x()) > m_maxDifference.point.x())
            d.setX(withSignOf(m_maxDifference.point.x(), d.x()));
        if (std::abs(d.y()) > m_maxDifference.point.y())
            d.setY(withSignOf(m_maxDifference.point.y(), d.y()));
    }
    QPointF value = m_currentPoint + d;
    const bool hasMin = m_minValue.isSet();
    const bool hasMax = m_maxValue.isSet();
    const QPointF minimum = m_minValue.point;
    const QPointF maximum = m_maxValue.point;
    for (int axis = 0; axis < 2 && hasMin; ++axis) {
        qreal& component = axis == 0 ? value.rx() : value.ry();
        const qreal low = axis == 0 ? minimum.x() : minimum.y();
        if (component < low) {
            component = m_wrapping && hasMax ? (axis == 0 ? maximum.x() : maximum.y()) : low;
            emit limitReached();
        }
    }
    for (int axis = 0; axis < 2 && hasMax; ++axis) {
        qreal& component = axis == 0 ? value.rx() : value.ry();
        const qreal high = axis == 0 ? maximum.x() : maximum.y();
        if (component > high) {
            component = m_wrapping && hasMin ? (axis == 0 ? minimum.x() : minimum.y()) : high;
            emit limitReached();
        }
    }
    m_currentPoint = value;
    if (m_targetItem && m_directPath == DirectPath::Pos)
        m_targetItem->setPosition(m_currentPoint);
    else
        m_target->setProperty(m_property.toUtf8().constData(), m_currentPoint);
}
