#include "accelerometerreading.h"

#include "qmltyperegistry.h"

#include <QtQml>

namespace {
const QmlTypeRegistrar readingRow(22, [] {
    qmlRegisterUncreatableType<AccelerometerReading>(
        "Zanth", 1, 0, "AccelerometerReading",
        "An AccelerometerReading cannot be created, because only a single one exists which contains the "
        "accelerometer data for each axis.");
});
}

void AccelerometerReading::setAll(qreal x, qreal y, qreal z)
{
    m_x = x;
    m_y = y;
    m_z = z;
}
