#pragma once

#include "layers_scenes_transitions_nodes/ZTLayer.h"

#include <QQuickItem>

#include "accelerometerreading.h"

// Tilt samples for QML: reading always holds the newest sample, readingChanged() comes only when an
// axis moved more than changeSignalThreshold since the last signalled sample. This desktop platform
// delivers no samples. QML type Accelerometer.
class AccelerometerItem : public QQuickItem, public zanth2d::ZTAccelerometerDelegate
{
    Q_OBJECT
    Q_PROPERTY(bool active READ active WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(AccelerometerReading* reading READ reading NOTIFY readingChanged)
    Q_PROPERTY(qreal changeSignalThreshold READ changeSignalThreshold WRITE setChangeSignalThreshold NOTIFY
                   changeSignalThresholdChanged)
    Q_PROPERTY(qreal filterFactor READ filterFactor WRITE setFilterFactor NOTIFY filterValueChanged)

public:
    explicit AccelerometerItem(QQuickItem* parent = nullptr);

    bool active() const { return m_active; }
    // Stored and signalled only: it does not gate the samples.
    void setActive(bool active);
    AccelerometerReading* reading() const { return m_reading; }
    qreal changeSignalThreshold() const { return m_changeSignalThreshold; }
    void setChangeSignalThreshold(qreal threshold);
    qreal filterFactor() const { return m_filterFactor; }
    void setFilterFactor(qreal factor);

    // One sample in g per axis.
    void didAccelerate(zanth2d::ZTAcceleration* acceleration) override;

signals:
    void activeChanged();
    void readingChanged();
    void changeSignalThresholdChanged();
    void filterValueChanged();

private:
    bool m_active = true;
    AccelerometerReading* m_reading;
    AccelerometerReading* m_lastSignalled;
    qreal m_changeSignalThreshold = qreal(0.01f);
    qreal m_filterFactor = qreal(0.05f);
};
