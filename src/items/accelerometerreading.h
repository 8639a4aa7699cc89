#pragma once

#include <QObject>

// One accelerometer sample in g per axis, read-only for QML. QML type AccelerometerReading (uncreatable).
class AccelerometerReading : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qreal x READ x)
    Q_PROPERTY(qreal y READ y)
    Q_PROPERTY(qreal z READ z)

public:
    explicit AccelerometerReading(QObject* parent = nullptr) : QObject(parent) {}

    qreal x() const { return m_x; }
    qreal y() const { return m_y; }
    qreal z() const { return m_z; }
    // For native code; emits nothing.
    void setAll(qreal x, qreal y, qreal z);

private:
    qreal m_x = 0, m_y = 0, m_z = 0;
};
