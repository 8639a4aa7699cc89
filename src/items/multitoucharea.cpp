#include "multitoucharea.h"

#include "multitouch.h"
#include "multitouchevent.h"
#include "qmltyperegistry.h"

#include <QGuiApplication>
#include <QLineF>
#include <QMouseEvent>
#include <QQuickWindow>
#include <QStyleHints>
#include <QTouchEvent>
#include <QtQml>

#include <algorithm>
#include <cmath>

namespace {
const QmlTypeRegistrar multiTouchAreaRow(14, [] {
    qmlRegisterType<MultiTouchArea>("Zanth", 1, 0, "MultiTouchArea");
});

bool isPressed(QEventPoint::State state)
{
    return state & QEventPoint::State::Pressed;
}
} // namespace

MultiTouchArea::MultiTouchArea(QQuickItem* parent) : QQuickItem(parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    setAcceptTouchEvents(true);
}

void MultiTouchArea::setAreaEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    if (!enabled)
        abandonGesture();
    emit enabledChanged();
}

void MultiTouchArea::itemChange(ItemChange change, const ItemChangeData& value)
{
    // Taken out of the window (its parent set to null) it still reads visible, and Qt goes on
    // delivering the touch to it: that ends its gesture too.
    if ((change == ItemVisibleHasChanged && !value.boolValue) || (change == ItemSceneChange && !value.window))
        abandonGesture();
    QQuickItem::itemChange(change, value);
}

void MultiTouchArea::abandonGesture()
{
    if (!m_inTouch && !m_pinchActivated && m_touchPoints.isEmpty())
        return;
    m_inTouch = false;
    m_touchPoints.clear();
    m_pinchActivated = false;
    m_inPinch = false;
    m_pinchRejected = false;
    m_pinchStartDist = 0;
    m_stealMouse = false;
    m_swipeStart = QPointF();
    setKeepMouseGrab(false);
    if (window() && window()->mouseGrabberItem() == this)
        ungrabMouse();
    if (m_multiTouch && m_multiTouch->active())
        m_multiTouch->setActive(false);
}

void MultiTouchArea::setGrabsTouches(bool grabs)
{
    if (m_grabsTouches == grabs)
        return;
    m_grabsTouches = grabs;
    emit grabsTouchesChanged();
}

MultiTouch* MultiTouchArea::multiTouch()
{
    if (!m_multiTouch)
        m_multiTouch = new MultiTouch(this);
    return m_multiTouch;
}

qreal MultiTouchArea::centerX() const
{
    return mapFromScene(m_sceneLastCenter).x();
}

qreal MultiTouchArea::centerY() const
{
    return mapFromScene(m_sceneLastCenter).y();
}

bool MultiTouchArea::event(QEvent* e)
{
    if (!m_enabled || !isVisible())
        return QQuickItem::event(e);
    switch (e->type()) {
    case QEvent::TouchBegin: {
        auto* touch = static_cast<QTouchEvent*>(e);
        m_touchSeen = true;
        m_inTouch = true;
        if (touch->pointCount() == 1)
            m_swipeStart = touch->point(0).position();
        [[fallthrough]];
    }
    case QEvent::TouchUpdate:
        if (!m_inTouch)
            return QQuickItem::event(e);
        takeUnreleasedPoints(static_cast<QTouchEvent*>(e));
        m_handlingTouch = true;
        updatePinch();
        m_handlingTouch = false;
        e->accept();
        return true;
    case QEvent::TouchEnd: {
        m_handlingTouch = true;
        finishTouch();
        m_handlingTouch = false;
        detectSwipe(static_cast<QTouchEvent*>(e));
        return QQuickItem::event(e);
    }
    case QEvent::TouchCancel:
    case QEvent::WindowDeactivate:
        finishTouch();
        m_swipeStart = QPointF();
        return QQuickItem::event(e);
    default:
        return QQuickItem::event(e);
    }
}

void MultiTouchArea::takeUnreleasedPoints(QTouchEvent* e)
{
    m_touchPoints.clear();
    for (const QEventPoint& point : e->points()) {
        if (!(point.state() & QEventPoint::State::Released))
            m_touchPoints.append({point.id(), point.scenePosition(), point.state()});
    }
}

void MultiTouchArea::finishTouch()
{
    m_inTouch = false;
    m_touchPoints.clear();
    updatePinch();
}

void MultiTouchArea::detectSwipe(QTouchEvent* e)
{
    if (m_swipeStart.isNull())
        return;
    if (e->pointCount() > 0)
        m_swipeEnd = e->point(0).position();
    const QLineF line(m_swipeStart, m_swipeEnd);
    m_swipeStart = QPointF();
    if (line.length() <= 10.0)
        return;
    const qreal lineAngle = line.angle();
    const qreal angle = lineAngle == 0 ? 0 : 360 - lineAngle;
    if (angle >= 315 || angle < 45)
        emit swipeRight();
    else if (angle < 135)
        emit swipeDown();
    else if (angle < 225)
        emit swipeLeft();
    else
        emit swipeUp();
    emit swipe(angle);
}

// A lost touch grab that is not part of the area's own handling ends the gesture like a deactivated window.
void MultiTouchArea::touchUngrabEvent()
{
    if (!m_handlingTouch && m_inTouch && m_touchSeen) {
        finishTouch();
        m_swipeStart = QPointF();
    }
}

void MultiTouchArea::mouseUngrabEvent()
{
    setKeepMouseGrab(false);
}

void MultiTouchArea::setSyntheticPoint(const QMouseEvent* e, QEventPoint::State state)
{
    m_touchPoints = {TouchPoint{0, e->scenePosition(), state}};
}

void MultiTouchArea::mousePressEvent(QMouseEvent* e)
{
    m_stealMouse = false;
    if (!m_enabled) {
        QQuickItem::mousePressEvent(e);
        return;
    }
    setKeepMouseGrab(false);
    if (!m_touchSeen && m_touchPoints.isEmpty()) {
        m_inTouch = true;
        setSyntheticPoint(e, QEventPoint::State::Pressed);
        updatePinch();
    }
    e->accept();
}

void MultiTouchArea::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_enabled) {
        QQuickItem::mouseMoveEvent(e);
        return;
    }
    if (m_inTouch && !m_touchSeen) {
        setSyntheticPoint(e, QEventPoint::State::Updated);
        updatePinch();
    }
}

void MultiTouchArea::mouseReleaseEvent(QMouseEvent* e)
{
    m_stealMouse = false;
    if (!m_enabled) {
        QQuickItem::mouseReleaseEvent(e);
        return;
    }
    if (window() && window()->mouseGrabberItem() == this)
        ungrabMouse();
    if (m_inTouch && !m_touchSeen) {
        m_inTouch = false;
        m_touchPoints.clear();
        updatePinch();
    }
    setKeepMouseGrab(false);
}

void MultiTouchArea::emitWith(void (MultiTouchArea::*signal)(MultiTouchEvent*), MultiTouchEvent& e)
{
    // Handlers get the event as a plain object: QML must not take ownership of a stack object.
    QQmlEngine::setObjectOwnership(&e, QQmlEngine::CppOwnership);
    emit(this->*signal)(&e);
}

void MultiTouchArea::updatePinch()
{
    if (m_touchPoints.isEmpty()) {
        finishGesture();
        return;
    }
    const TouchPoint& tp1 = m_touchPoints.first();
    const TouchPoint& tp2 = m_touchPoints.size() >= 2 ? m_touchPoints.at(1) : tp1;
    if (isPressed(tp1.state) || isPressed(tp2.state))
        startGesture();
    else if (m_pinchActivated && !m_pinchRejected)
        moveGesture();
}

void MultiTouchArea::finishGesture()
{
    MultiTouchEvent e;
    e.m_center = e.m_previousCenter = mapFromScene(m_sceneLastCenter);
    e.m_startCenter = m_pinchStartCenter;
    e.m_scale = e.m_previousScale = m_pinchLastScale;
    e.m_angle = e.m_previousAngle = m_pinchLastAngle;
    e.m_rotation = m_pinchRotation;
    e.m_point1 = mapFromScene(m_lastPoint1);
    e.m_point2 = mapFromScene(m_lastPoint2);
    e.m_startPoint1 = mapFromScene(m_sceneStartPoint1);
    e.m_startPoint2 = mapFromScene(m_sceneStartPoint2);
    e.m_pointCount = 0;
    if (m_pinchActivated) {
        const bool inPinch = m_inPinch;
        if (inPinch && m_pinchStartDist != 0) {
            emitWith(&MultiTouchArea::pinchFinished, e);
        } else {
            emitWith(&MultiTouchArea::released, e);
            if (!inPinch)
                emitWith(&MultiTouchArea::clicked, e);
        }
    }
    m_stealMouse = false;
    setKeepMouseGrab(false);
    m_inPinch = false;
    m_pinchStartDist = 0;
    m_pinchActivated = false;
    if (m_multiTouch && m_multiTouch->target() && m_multiTouch->active())
        m_multiTouch->setActive(false);
}

void MultiTouchArea::startGesture()
{
    const TouchPoint& tp1 = m_touchPoints.first();
    const TouchPoint& tp2 = m_touchPoints.size() >= 2 ? m_touchPoints.at(1) : tp1;
    m_id1 = tp1.id;
    m_sceneStartPoint1 = tp1.scenePosition;
    m_sceneStartPoint2 = tp2.scenePosition;
    m_inPinch = false;
    m_pinchRejected = false;
    m_pinchActivated = true;
    if (m_touchPoints.size() == 1) {
        m_lastPoint1 = m_sceneLastCenter = tp1.scenePosition;
        m_pinchLastScale = 1.0;
        m_pinchRotation = 0;
        MultiTouchEvent e;
        e.m_center = e.m_previousCenter = mapFromScene(m_sceneLastCenter);
        e.m_startCenter = m_pinchStartCenter;
        e.m_scale = e.m_previousScale = 1.0;
        e.m_angle = e.m_previousAngle = m_pinchLastAngle;
        e.m_rotation = 0;
        e.m_point1 = mapFromScene(m_lastPoint1);
        e.m_startPoint1 = mapFromScene(m_sceneStartPoint1);
        e.m_pointCount = 0;
        emitWith(&MultiTouchArea::pressed, e);
        // The handler may have hidden or switched off the area.
        if (!m_pinchActivated)
            return;
    }
    // Every press moves the target by the offset, a second finger's too.
    if (m_multiTouch && m_multiTouch->target() && m_multiTouch->dragAxis() != MultiTouch::NoDrag) {
        QQuickItem* target = m_multiTouch->target();
        target->setPosition(target->position() +
                            QPointF(m_multiTouch->dragOffsetX(), m_multiTouch->dragOffsetY()));
    }
}

void MultiTouchArea::moveGesture()
{
    const int n = int(m_touchPoints.size());
    const TouchPoint tp1 = m_touchPoints.first();
    const TouchPoint tp2 = n >= 2 ? m_touchPoints.at(1) : tp1;
    const qreal threshold = QGuiApplication::styleHints()->startDragDistance();
    const QPointF p1 = tp1.scenePosition;
    const QPointF p2 = tp2.scenePosition;
    QPointF center((p1.x() + p2.x()) * 0.5, (p1.y() + p2.y()) * 0.5);
    qreal angle = QLineF(p1, p2).angle();
    if (n == 1) {
        // The centre follows the remaining finger without a jump.
        const QPointF& last = m_id1 == tp1.id ? m_lastPoint1 : m_lastPoint2;
        center = tp1.scenePosition + m_sceneLastCenter - last;
        angle = m_pinchLastAngle;
    }
    m_id1 = tp1.id;
    if (angle > 180)
        angle -= 360;
    const qreal dist = QLineF(p1, p2).length();

    if (!m_inPinch) {
        if (std::abs(p1.x() - m_sceneStartPoint1.x()) <= threshold &&
            std::abs(p1.y() - m_sceneStartPoint1.y()) <= threshold &&
            std::abs(p2.x() - m_sceneStartPoint2.x()) <= threshold &&
            std::abs(p2.y() - m_sceneStartPoint2.y()) <= threshold)
            return;
        m_sceneStartCenter = m_sceneLastCenter = center;
        m_pinchStartCenter = mapFromScene(center);
        m_pinchStartDist = dist;
        m_pinchStartAngle = m_pinchLastAngle = angle;
        m_pinchLastScale = 1.0;
        m_pinchRotation = 0;
        m_lastPoint1 = p1;
        m_lastPoint2 = p2;
        MultiTouchEvent e;
        e.m_center = e.m_startCenter = e.m_previousCenter = m_pinchStartCenter;
        e.m_scale = e.m_previousScale = 1.0;
        e.m_angle = e.m_previousAngle = angle;
        e.m_rotation = 0;
        e.m_point1 = mapFromScene(p1);
        e.m_point2 = mapFromScene(p2);
        e.m_startPoint1 = mapFromScene(m_sceneStartPoint1);
        e.m_startPoint2 = mapFromScene(m_sceneStartPoint2);
        e.m_pointCount = n;
        if (n >= 2)
            emitWith(&MultiTouchArea::pinchStarted, e);
        if (!m_pinchActivated)
            return;
        if (!e.accepted) {
            m_pinchRejected = true;
            return;
        }
        m_stealMouse = m_inPinch = true;
        // Real touch points are ours already (accepted); taking the mouse during them would cancel that grab.
        if (!m_handlingTouch && window() && window()->mouseGrabberItem() != this)
            grabMouse();
        setKeepMouseGrab(true);
        MultiTouch* settings = multiTouch();
        if (QQuickItem* target = settings->target()) {
            m_pinchStartPos = target->position() - QPointF(settings->dragOffsetX(), settings->dragOffsetY());
            m_pinchStartScale = target->scale();
            m_pinchStartRotation = target->rotation();
            settings->setActive(true);
        }
        return;
    }

    if (!(m_pinchStartDist > 0 || n == 1))
        return;
    const qreal scale = dist != 0 ? dist / m_pinchStartDist : m_pinchLastScale;
    qreal da = m_pinchLastAngle - angle;
    if (da > 180)
        da -= 360;
    else if (da < -180)
        da += 360;
    m_pinchRotation += da;
    MultiTouchEvent e;
    e.m_center = mapFromScene(center);
    e.m_startCenter = m_pinchStartCenter;
    e.m_previousCenter = mapFromScene(m_sceneLastCenter);
    e.m_scale = scale;
    e.m_previousScale = m_pinchLastScale;
    e.m_angle = angle;
    e.m_previousAngle = m_pinchLastAngle;
    e.m_rotation = m_pinchRotation;
    e.m_point1 = mapFromScene(tp1.scenePosition);
    e.m_point2 = mapFromScene(tp2.scenePosition);
    e.m_startPoint1 = mapFromScene(m_sceneStartPoint1);
    e.m_startPoint2 = mapFromScene(m_sceneStartPoint2);
    e.m_pointCount = n;
    m_pinchLastScale = scale;
    m_sceneLastCenter = center;
    m_pinchLastAngle = angle;
    m_lastPoint1 = tp1.scenePosition;
    m_lastPoint2 = tp2.scenePosition;
    if (n >= 2)
        emitWith(&MultiTouchArea::pinchUpdated, e);
    if (m_pinchActivated)
        applyToTarget(e, scale, center);
}

void MultiTouchArea::applyToTarget(MultiTouchEvent& e, qreal scale, const QPointF& sceneCenter)
{
    MultiTouch* settings = multiTouch();
    QQuickItem* target = settings->target();

    const qreal s =
        std::min(std::max(scale * m_pinchStartScale, settings->minimumScale()), settings->maximumScale());
    if (target)
        target->setScale(s);
    if (s != m_pinchLastScale)
        emitWith(&MultiTouchArea::scaleChanged, e);
    if (!m_pinchActivated)
        return;

    QPointF center = sceneCenter;
    QPointF startCenter = m_sceneStartCenter;
    if (target && target->parentItem()) {
        center = target->parentItem()->mapFromScene(center);
        startCenter = target->parentItem()->mapFromScene(startCenter);
    }
    const QPointF pos =
        center - startCenter + m_pinchStartPos + QPointF(settings->dragOffsetX(), settings->dragOffsetY());
    bool moved = false;
    if (settings->dragAxis() & MultiTouch::XAxis) {
        qreal x = pos.x();
        if (x < settings->minimumX())
            x = settings->minimumX();
        else if (x > settings->maximumX())
            x = settings->maximumX();
        else
            moved = true;
        if (target)
            target->setX(x);
    }
    if (settings->dragAxis() & MultiTouch::YAxis) {
        qreal y = pos.y();
        if (y < settings->minimumY())
            y = settings->minimumY();
        else if (y > settings->maximumY())
            y = settings->maximumY();
        else
            moved = true;
        if (target)
            target->setY(y);
    }
    if (moved)
        emitWith(&MultiTouchArea::positionChanged, e);
    if (!m_pinchActivated)
        return;

    if (settings->rotationMode() == MultiTouch::Infinity) {
        const qreal r = m_pinchRotation + m_pinchStartRotation;
        if (target)
            target->setRotation(r);
        if (r != m_pinchLastAngle)
            emitWith(&MultiTouchArea::rotationChanged, e);
    } else if (settings->minimumRotation() <= m_pinchStartRotation &&
               m_pinchStartRotation <= settings->maximumRotation() &&
               settings->rotationMode() != MultiTouch::NoRotation) {
        const qreal r =
            std::min(std::max(m_pinchRotation + m_pinchStartRotation, settings->minimumRotation()),
                     settings->maximumRotation());
        if (target)
            target->setRotation(r);
        if (r != m_pinchLastAngle)
            emitWith(&MultiTouchArea::rotationChanged, e);
    }
}

// Acts only where child filtering is switched on (setFiltersChildMouseEvents); nothing in the engine does.
bool MultiTouchArea::childMouseEventFilter(QQuickItem* child, QEvent* e)
{
    if (!m_enabled || !isVisible())
        return QQuickItem::childMouseEventFilter(child, e);
    switch (e->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
        takeUnreleasedPoints(static_cast<QTouchEvent*>(e));
        updatePinch();
        return m_inPinch;
    case QEvent::TouchEnd:
        m_touchPoints.clear();
        updatePinch();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return sendMouseEvent(static_cast<QMouseEvent*>(e));
    default:
        return QQuickItem::childMouseEventFilter(child, e);
    }
}

bool MultiTouchArea::sendMouseEvent(QMouseEvent* e)
{
    const QRectF sceneRect = mapRectToScene(boundingRect());
    QQuickItem* grabber = window() ? window()->mouseGrabberItem() : nullptr;
    const bool steal = m_stealMouse;
    const QPointF scenePoint(std::round(e->scenePosition().x()), std::round(e->scenePosition().y()));
    if ((steal || sceneRect.contains(scenePoint)) && (!grabber || !grabber->keepMouseGrab())) {
        QMouseEvent copy(e->type(), mapFromScene(e->scenePosition()), e->scenePosition(), e->globalPosition(),
                         e->button(), e->buttons(), e->modifiers(), e->pointingDevice());
        copy.setAccepted(false);
        switch (e->type()) {
        case QEvent::MouseButtonPress:
            mousePressEvent(&copy);
            break;
        case QEvent::MouseMove:
            mouseMoveEvent(&copy);
            break;
        default:
            mouseReleaseEvent(&copy);
            break;
        }
        grabber = window() ? window()->mouseGrabberItem() : nullptr;
        if (steal && grabber && grabber != this && !grabber->keepMouseGrab())
            grabMouse();
        return steal;
    }
    if (e->type() == QEvent::MouseButtonRelease) {
        m_stealMouse = false;
        if (window() && window()->mouseGrabberItem() == this)
            ungrabMouse();
        setKeepMouseGrab(false);
    }
    return false;
}
