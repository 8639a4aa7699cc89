#pragma once

#include "ischedulable.h"

#include <QPointF>
#include <QPointer>
#include <QQuickItem>
#include <QVariant>

class ZanthScheduler;

// Moves one real or point property of a target continuously: each fixed step of the engine scheduler
// integrates the acceleration into the velocity and the velocity into the value, within optional limits,
// optionally wrapping from one value limit to the other. Units per second. QML type MovementAnimation.
class MovementAnimation : public QQuickItem, public ISchedulable
{
    Q_OBJECT
    Q_PROPERTY(bool running READ running WRITE setRunning NOTIFY runningChanged)
    Q_PROPERTY(QObject* target READ target WRITE setTarget NOTIFY targetChanged)
    Q_PROPERTY(QString property READ property WRITE setProperty NOTIFY propertyChanged)
    Q_PROPERTY(QVariant velocity READ velocity WRITE setVelocity NOTIFY velocityChanged)
    Q_PROPERTY(QVariant acceleration READ acceleration WRITE setAcceleration NOTIFY accelerationChanged)
    Q_PROPERTY(QVariant maxVelocity READ maxVelocity WRITE setMaxVelocity NOTIFY maxVelocityChanged)
    Q_PROPERTY(QVariant minVelocity READ minVelocity WRITE setMinVelocity NOTIFY minVelocityChanged)
    Q_PROPERTY(QVariant maxPropertyValue READ maxPropertyValue WRITE setMaxPropertyValue NOTIFY
                   maxPropertyValueChanged)
    Q_PROPERTY(QVariant minPropertyValue READ minPropertyValue WRITE setMinPropertyValue NOTIFY
                   minPropertyValueChanged)
    Q_PROPERTY(QVariant maxPropertyValueDifference READ maxPropertyValueDifference WRITE
                   setMaxPropertyValueDifference NOTIFY maxPropertyValueDifferenceChanged)
    Q_PROPERTY(bool wrapping READ wrapping WRITE setWrapping NOTIFY wrappingChanged)
    Q_PROPERTY(int updateInterval READ updateInterval WRITE setUpdateInterval NOTIFY updateIntervalChanged)

public:
    explicit MovementAnimation(QQuickItem* parent = nullptr);
    ~MovementAnimation() override;

    bool running() const { return m_running; }
    void setRunning(bool running);
    QObject* target() const { return m_target.data(); }
    void setTarget(QObject* target);
    QString property() const { return m_property; }
    void setProperty(const QString& property);
    QVariant velocity() const { return m_velocity.given; }
    void setVelocity(const QVariant& velocity);
    QVariant acceleration() const { return m_acceleration.given; }
    void setAcceleration(const QVariant& value);
    QVariant maxVelocity() const { return m_maxVelocity.given; }
    void setMaxVelocity(const QVariant& value);
    QVariant minVelocity() const { return m_minVelocity.given; }
    void setMinVelocity(const QVariant& value);
    QVariant maxPropertyValue() const { return m_maxValue.given; }
    void setMaxPropertyValue(const QVariant& value);
    QVariant minPropertyValue() const { return m_minValue.given; }
    void setMinPropertyValue(const QVariant& value);
    QVariant maxPropertyValueDifference() const { return m_maxDifference.given; }
    void setMaxPropertyValueDifference(const QVariant& value);
    bool wrapping() const { return m_wrapping; }
    void setWrapping(bool wrapping);
    // Steps per second.
    int updateInterval() const { return m_updateInterval; }
    void setUpdateInterval(int stepsPerSecond);

    // One fixed step of dt seconds, only while running.
    void scheduledUpdate(double dt) override;

public slots:
    void start() { setRunning(true); }
    void stop() { setRunning(false); }

signals:
    void runningChanged(bool running);
    void targetChanged();
    void propertyChanged();
    void velocityChanged();
    void accelerationChanged();
    void maxVelocityChanged();
    void minVelocityChanged();
    void maxPropertyValueChanged();
    void minPropertyValueChanged();
    void maxPropertyValueDifferenceChanged();
    void wrappingChanged();
    void updateIntervalChanged();
    void started();
    void stopped();
    void limitReached();

protected:
    void componentComplete() override;

private:
    // A variant property as given, and as a real and a point; set when the variant holds a value.
    struct Value
    {
        QVariant given;
        qreal real = 0.0;
        QPointF point;
        bool isSet() const { return given.isValid() && !given.isNull(); }
    };
    enum class DirectPath
    {
        None,
        X,
        Y,
        Pos,
        Rotation
    };

    void targetDestroyed();
    bool storeValue(Value& value, const QVariant& given);
    void readCurrentValue();
    double stepInterval() const;
    void stepReal(double dt);
    void stepPoint(double dt);
    qreal limitValue(qreal value, qreal minimum, qreal maximum, bool hasMinimum, bool hasMaximum);

    bool m_running = false;
    bool m_completed = false;
    // A target destroyed while running stops the animation; the guard covers the steps before that.
    QPointer<QObject> m_target;
    QPointer<QQuickItem> m_targetItem;
    QMetaObject::Connection m_targetDestroyed;
    QString m_property;
    Value m_velocity, m_acceleration, m_maxVelocity, m_minVelocity, m_maxValue, m_minValue, m_maxDifference;
    bool m_wrapping = false;
    int m_updateInterval = 60;
    bool m_isPoint = false;
    qreal m_currentReal = 0.0;
    QPointF m_currentPoint;
    DirectPath m_directPath = DirectPath::None;
    QPointer<ZanthScheduler> m_scheduler;
};
