#include "accelerometeritem.h"

#include "accelerometerreading.h"
#include "qmltyperegistry.h"

#include <QtQml>

#include <cmath>

namespace {
const QmlTypeRegistrar accelerometerRow(21, [] {
    qmlRegisterType<AccelerometerItem>("Zanth", 1, 0, "Accelerometer");
});
}

AccelerometerItem::AccelerometerItem(QQuickItem* parent)
    : QQuickItem(parent), m_reading(new AccelerometerReading(this)),
      m_lastSignalled(new AccelerometerReading(this))
{
}

void AccelerometerItem::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    emit activeChanged();
}

void AccelerometerItem::setChangeSignalThreshold(qreal threshold)
{
    if (m_changeSignalThreshold == threshold)
        return;
    m_changeSignalThreshold = threshold;
    emit changeSignalThresholdChanged();
}

void AccelerometerItem::setFilterFactor(qreal factor)
{
    if (m_filterFactor == factor)
        return;
    m_filterFactor = factor;
    emit filterValueChanged();
}

void AccelerometerItem::didAccelerate(zanth2d::ZTAcceleration* sample)
{
    if (!sample)
        return;
    m_reading->setAll(sample->x, sample->y, sample->z);
    // The filter factor smooths nothing: the value compared is the sample itself.
    const bool changed = std::abs(sample->x - m_lastSignalled->x()) > m_changeSignalThreshold ||
                         std::abs(sample->y - m_lastSignalled->y()) > m_changeSignalThreshold ||
                         std::abs(sample->z - m_lastSignalled->z()) > m_changeSignalThreshold;
    if (!changed)
        return;
    m_lastSignalled->setAll(sample->x, sample->y, sample->z);
    emit readingChanged();
}
