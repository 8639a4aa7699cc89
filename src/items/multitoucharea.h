#pragma once

#include <QEventPoint>
#include <QList>
#include <QPointF>
#include <QQuickItem>

class MultiTouch;
class MultiTouchEvent;
class QMouseEvent;
class QTouchEvent;

// Turns touch sequences on its rectangle into press, release and click signals, a one-finger drag and
// a two-finger pinch applied to the target of its settings, and swipes. Mouse events stand for one
// touch only until the first real touch arrives. QML type MultiTouchArea.
class MultiTouchArea : public QQuickItem
{
    Q_OBJECT
    // Shadows the item's own switch: a disabled area lets every event pass.
    Q_PROPERTY(bool enabled READ areaEnabled WRITE setAreaEnabled NOTIFY enabledChanged)
    Q_PROPERTY(bool grabsTouches READ grabsTouches WRITE setGrabsTouches NOTIFY grabsTouchesChanged)
    Q_PROPERTY(MultiTouch* multiTouch READ multiTouch CONSTANT)
    Q_PROPERTY(MultiTouch* drag READ multiTouch CONSTANT)
    Q_PROPERTY(MultiTouch* pinch READ multiTouch CONSTANT)
    Q_PROPERTY(qreal centerX READ centerX)
    Q_PROPERTY(qreal centerY READ centerY)
    Q_PROPERTY(qreal mouseX READ centerX NOTIFY positionChanged)
    Q_PROPERTY(qreal mouseY READ centerY NOTIFY positionChanged)

public:
    explicit MultiTouchArea(QQuickItem* parent = nullptr);

    bool areaEnabled() const { return m_enabled; }
    void setAreaEnabled(bool enabled);
    bool grabsTouches() const { return m_grabsTouches; }
    void setGrabsTouches(bool grabs);
    // Owned by the area, made with its defaults on first use.
    MultiTouch* multiTouch();
    // The last gesture centre in the area's coordinates.
    qreal centerX() const;
    qreal centerY() const;

signals:
    void enabledChanged();
    void pinchStarted(MultiTouchEvent* event);
    void pinchUpdated(MultiTouchEvent* event);
    void pinchFinished(MultiTouchEvent* event);
    void positionChanged(MultiTouchEvent* event);
    void scaleChanged(MultiTouchEvent* event);
    void rotationChanged(MultiTouchEvent* event);
    void pressed(MultiTouchEvent* event);
    void released(MultiTouchEvent* event);
    void clicked(MultiTouchEvent* event);
    void swipe(qreal angle);
    void swipeUp();
    void swipeDown();
    void swipeLeft();
    void swipeRight();
    void grabsTouchesChanged();

protected:
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseUngrabEvent() override;
    void touchUngrabEvent() override;
    bool childMouseEventFilter(QQuickItem* child, QEvent* e) override;
    void itemChange(ItemChange change, const ItemChangeData& value) override;

private:
    struct TouchPoint
    {
        int id;
        QPointF scenePosition;
        QEventPoint::State state;
    };

    void takeUnreleasedPoints(QTouchEvent* e);
    void setSyntheticPoint(const QMouseEvent* e, QEventPoint::State state);
    void finishTouch();
    void detectSwipe(QTouchEvent* e);
    void updatePinch();
    void finishGesture();
    // Ends the gesture under way without a signal (the area was hidden or switched off): the rest of
    // its touch is not the area's.
    void abandonGesture();
    void startGesture();
    void moveGesture();
    void applyToTarget(MultiTouchEvent& e, qreal scale, const QPointF& sceneCenter);
    bool sendMouseEvent(QMouseEvent* e);
    void emitWith(void (MultiTouchArea::*signal)(MultiTouchEvent*), MultiTouchEvent& e);

    bool m_enabled = true;
    bool m_grabsTouches = false;
    MultiTouch* m_multiTouch = nullptr;

    bool m_inTouch = false;
    bool m_touchSeen = false;
    bool m_handlingTouch = false;
    QList<TouchPoint> m_touchPoints;
    bool m_pinchActivated = false;
    bool m_inPinch = false;
    bool m_pinchRejected = false;
    bool m_stealMouse = false;
    int m_id1 = -1;
    QPointF m_sceneStartPoint1, m_sceneStartPoint2, m_lastPoint1, m_lastPoint2;
    QPointF m_sceneStartCenter, m_sceneLastCenter, m_pinchStartCenter;
    qreal m_pinchStartDist = 0.0;
    qreal m_pinchStartScale = 1.0;
    qreal m_pinchLastScale = 1.0;
    qreal m_pinchStartRotation = 0.0;
    qreal m_pinchStartAngle = 0.0;
    qreal m_pinchLastAngle = 0.0;
    qreal m_pinchRotation = 0.0;
    QPointF m_pinchStartPos;
    QPointF m_swipeStart, m_swipeEnd;
};
