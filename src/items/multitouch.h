#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickItem>

// The gesture settings of a MultiTouchArea: the item a drag, pinch or turn moves, and the limits it moves
// within. The area owns one and hands it out as multiTouch, drag and pinch. QML type MultiTouch.
class MultiTouch : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QQuickItem* target READ target WRITE setTarget RESET resetTarget NOTIFY targetChanged)
    Q_PROPERTY(qreal minimumScale READ minimumScale WRITE setMinimumScale NOTIFY minimumScaleChanged)
    Q_PROPERTY(qreal maximumScale READ maximumScale WRITE setMaximumScale NOTIFY maximumScaleChanged)
    Q_PROPERTY(
        qreal minimumRotation READ minimumRotation WRITE setMinimumRotation NOTIFY minimumRotationChanged)
    Q_PROPERTY(
        qreal maximumRotation READ maximumRotation WRITE setMaximumRotation NOTIFY maximumRotationChanged)
    Q_PROPERTY(RotationMode rotationMode READ rotationMode WRITE setRotationMode NOTIFY rotationModeChanged)
    Q_PROPERTY(Axis dragAxis READ dragAxis WRITE setDragAxis NOTIFY dragAxisChanged)
    Q_PROPERTY(qreal dragOffsetX READ dragOffsetX WRITE setDragOffsetX NOTIFY dragOffsetChanged)
    Q_PROPERTY(qreal dragOffsetY READ dragOffsetY WRITE setDragOffsetY NOTIFY dragOffsetChanged)
    Q_PROPERTY(qreal minimumX READ minimumX WRITE setMinimumX NOTIFY minimumXChanged)
    Q_PROPERTY(qreal maximumX READ maximumX WRITE setMaximumX NOTIFY maximumXChanged)
    Q_PROPERTY(qreal minimumY READ minimumY WRITE setMinimumY NOTIFY minimumYChanged)
    Q_PROPERTY(qreal maximumY READ maximumY WRITE setMaximumY NOTIFY maximumYChanged)
    Q_PROPERTY(bool active READ active NOTIFY activeChanged)

public:
    enum RotationMode
    {
        Default = 0,
        Infinity = 1,
        NoRotation = 2
    };
    Q_ENUM(RotationMode)
    // Bit 1 is the X axis, bit 2 the Y axis.
    enum Axis
    {
        NoDrag = 0,
        XAxis = 1,
        YAxis = 2,
        XandYAxis = 3
    };
    Q_ENUM(Axis)

    explicit MultiTouch(QObject* parent = nullptr);

    QQuickItem* target() const { return m_target; }
    void setTarget(QQuickItem* target);
    void resetTarget();
    qreal minimumScale() const { return m_minimumScale; }
    void setMinimumScale(qreal value);
    qreal maximumScale() const { return m_maximumScale; }
    void setMaximumScale(qreal value);
    qreal minimumRotation() const { return m_minimumRotation; }
    void setMinimumRotation(qreal value);
    qreal maximumRotation() const { return m_maximumRotation; }
    void setMaximumRotation(qreal value);
    RotationMode rotationMode() const { return m_rotationMode; }
    void setRotationMode(RotationMode mode);
    Axis dragAxis() const { return m_dragAxis; }
    void setDragAxis(Axis axis);
    qreal dragOffsetX() const { return m_dragOffsetX; }
    // While active, the target moves by the change of the offset.
    void setDragOffsetX(qreal value);
    qreal dragOffsetY() const { return m_dragOffsetY; }
    void setDragOffsetY(qreal value);
    qreal minimumX() const { return m_minimumX; }
    void setMinimumX(qreal value);
    qreal maximumX() const { return m_maximumX; }
    void setMaximumX(qreal value);
    qreal minimumY() const { return m_minimumY; }
    void setMinimumY(qreal value);
    qreal maximumY() const { return m_maximumY; }
    void setMaximumY(qreal value);
    bool active() const { return m_active; }
    // Only the area sets it.
    void setActive(bool active);

signals:
    void targetChanged();
    void minimumScaleChanged();
    void maximumScaleChanged();
    void minimumRotationChanged();
    void maximumRotationChanged();
    void rotationModeChanged();
    void dragAxisChanged();
    void dragOffsetChanged();
    void minimumXChanged();
    void maximumXChanged();
    void minimumYChanged();
    void maximumYChanged();
    void activeChanged();

private:
    QPointer<QQuickItem> m_target;
    qreal m_minimumScale = 1.0;
    qreal m_maximumScale = 1.0;
    qreal m_minimumRotation = 0.0;
    qreal m_maximumRotation = 0.0;
    RotationMode m_rotationMode = NoRotation;
    Axis m_dragAxis = XandYAxis;
    qreal m_dragOffsetX = 0.0;
    qreal m_dragOffsetY = 0.0;
    qreal m_minimumX;
    qreal m_maximumX;
    qreal m_minimumY;
    qreal m_maximumY;
    bool m_active = false;
};
