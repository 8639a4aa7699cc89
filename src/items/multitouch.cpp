#include "multitouch.h"

#include "qmltyperegistry.h"

#include <QtQml>

#include <limits>

namespace {
const QmlTypeRegistrar multiTouchRow(15, [] { qmlRegisterType<MultiTouch>("Zanth", 1, 0, "MultiTouch"); });

// The largest single-precision value: the limits mean "none" until set.
constexpr double kNoLimit = double(std::numeric_limits<float>::max());

// Plain inequality on purpose: a NaN always counts as a change.
template <typename T> bool store(T& field, T value)
{
    if (!(field != value))
        return false;
    field = value;
    return true;
}
} // namespace

MultiTouch::MultiTouch(QObject* parent)
    : QObject(parent), m_minimumX(-kNoLimit), m_maximumX(kNoLimit), m_minimumY(-kNoLimit),
      m_maximumY(kNoLimit)
{
}

void MultiTouch::setTarget(QQuickItem* target)
{
    if (m_target == target)
        return;
    m_target = target;
    emit targetChanged();
}

void MultiTouch::resetTarget()
{
    setTarget(nullptr);
}

void MultiTouch::setMinimumScale(qreal value)
{
    if (store(m_minimumScale, value))
        emit minimumScaleChanged();
}

void MultiTouch::setMaximumScale(qreal value)
{
    if (store(m_maximumScale, value))
        emit maximumScaleChanged();
}

void MultiTouch::setMinimumRotation(qreal value)
{
    if (store(m_minimumRotation, value))
        emit minimumRotationChanged();
}

void MultiTouch::setMaximumRotation(qreal value)
{
    if (store(m_maximumRotation, value))
        emit maximumRotationChanged();
}

void MultiTouch::setRotationMode(RotationMode mode)
{
    if (store(m_rotationMode, mode))
        emit rotationModeChanged();
}

void MultiTouch::setDragAxis(Axis axis)
{
    if (store(m_dragAxis, axis))
        emit dragAxisChanged();
}

void MultiTouch::setDragOffsetX(qreal value)
{
    if (!(m_dragOffsetX != value))
        return;
    if (m_active && m_target)
        m_target->setX(m_target->x() - m_dragOffsetX + value);
    m_dragOffsetX = value;
    emit dragOffsetChanged();
}

void MultiTouch::setDragOffsetY(qreal value)
{
    if (!(m_dragOffsetY != value))
        return;
    if (m_active && m_target)
        m_target->setY(m_target->y() - m_dragOffsetY + value);
    m_dragOffsetY = value;
    emit dragOffsetChanged();
}

void MultiTouch::setMinimumX(qreal value)
{
    if (store(m_minimumX, value))
        emit minimumXChanged();
}

void MultiTouch::setMaximumX(qreal value)
{
    if (store(m_maximumX, value))
        emit maximumXChanged();
}

void MultiTouch::setMinimumY(qreal value)
{
    if (store(m_minimumY, value))
        emit minimumYChanged();
}

void MultiTouch::setMaximumY(qreal value)
{
    if (store(m_maximumY, value))
        emit maximumYChanged();
}

void MultiTouch::setActive(bool active)
{
    if (store(m_active, active))
        emit activeChanged();
}
