#include "inputforwarder.h"

#include "cocoa/ZTSet.h"
#include "touch_dispatcher/ZTTouch.h"

#include <QCoreApplication>

#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQuickWindow>
#include <QStyleHints>
#include <QtGui/qtestsupport_gui.h>
#include <cmath>

using namespace zanth2d;

namespace {

// Touch events go through Qt's own touch handling, which keeps track of the points that are down.
class TouchSequence : public QTest::QTouchEventSequence
{
public:
    TouchSequence(QWindow* window, QPointingDevice* device) : QTouchEventSequence(window, device, false) {}
};

QPointingDevice* touchScreen()
{
    static QPointingDevice* device = QTest::createTouchDevice();
    return device;
}

int touchId(const ZTTouch* touch)
{
    return int(touch->m_uID);
}

QPoint roundedPoint(const ZTPoint& location)
{
    return QPoint(qRound(location.x), qRound(location.y));
}

} // namespace

InputForwarder::InputForwarder(QQuickWindow& window) : m_window(window)
{
    // The forwarder sends its own mouse events for the primary touch: Qt must not make a second set.
    QCoreApplication::setAttribute(Qt::AA_SynthesizeMouseForUnhandledTouchEvents, false);
    m_eventClock.start();
}

InputForwarder::~InputForwarder() = default;

QTest::QTouchEventSequence& InputForwarder::touchSequence()
{
    if (!m_touchSequence)
        m_touchSequence = std::make_unique<TouchSequence>(&m_window, touchScreen());
    return *m_touchSequence;
}

void InputForwarder::sendMouse(int type, const ZTPoint& location, int button, int buttons)
{
    const QPointF local = roundedPoint(location);
    const QPointF global = local + QPointF(m_window.position());
    QMouseEvent event(QEvent::Type(type), local, global, Qt::MouseButton(button), Qt::MouseButtons(buttons),
                      Qt::NoModifier);
    event.setTimestamp(quint64(m_eventClock.elapsed()));
    QCoreApplication::sendEvent(&m_window, &event);
}

void InputForwarder::touchesBegan(ZTSet* touches)
{
    QTest::QTouchEventSequence& sequence = touchSequence();
    for (ZTTouch* active : std::as_const(m_activeTouches))
        sequence.stationary(touchId(active));
    ZTTouch* primary = nullptr;
    for (ZTObject* object : *touches) {
        auto* touch = dynamic_cast<ZTTouch*>(object);
        if (!touch || m_activeTouches.contains(touch))
            continue;
        if (m_activeTouches.isEmpty()) {
            primary = touch;
            m_primaryTouchId = touchId(touch);
        }
        sequence.press(touchId(touch), roundedPoint(touch->locationInView()), &m_window);
        m_activeTouches.append(touch);
    }
    sequence.commit(false);
    if (!primary)
        return;

    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const ZTPoint at = primary->locationInView();
    // A quick press somewhere else is a new click, not the second half of a double click (as Qt's own
    // windows decide): otherwise pressing one widget right after another double-clicks the second.
    const QStyleHints* hints = QGuiApplication::styleHints();
    const bool doubleClick = now - m_lastReleaseTime < hints->mouseDoubleClickInterval() &&
                             m_lastPressType != QEvent::MouseButtonDblClick &&
                             (std::abs(at.x - m_lastPressPosition.x) +
                              std::abs(at.y - m_lastPressPosition.y)) <= hints->mouseDoubleClickDistance();
    m_lastPressPosition = at;
    // Qt Quick takes a double click as a press followed by the double-click event.
    sendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    if (doubleClick)
        sendMouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    m_lastPressType = doubleClick ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress;
}

void InputForwarder::touchesMoved(ZTSet* touches)
{
    QTest::QTouchEventSequence& sequence = touchSequence();
    ZTTouch* primary = nullptr;
    for (ZTTouch* active : std::as_const(m_activeTouches)) {
        if (touches->containsObject(active)) {
            sequence.move(touchId(active), roundedPoint(active->locationInView()), &m_window);
            if (touchId(active) == m_primaryTouchId)
                primary = active;
        } else {
            sequence.stationary(touchId(active));
        }
    }
    sequence.commit(false);
    if (primary)
        sendMouse(QEvent::MouseMove, primary->locationInView(), Qt::NoButton, Qt::LeftButton);
}

void InputForwarder::touchesEnded(ZTSet* touches)
{
    QTest::QTouchEventSequence& sequence = touchSequence();
    ZTTouch* primary = nullptr;
    for (ZTTouch* active : std::as_const(m_activeTouches)) {
        if (touches->containsObject(active)) {
            sequence.release(touchId(active), roundedPoint(active->locationInView()), &m_window);
            if (touchId(active) == m_primaryTouchId)
                primary = active;
        } else {
            sequence.stationary(touchId(active));
        }
    }
    for (ZTObject* object : *touches)
        m_activeTouches.removeOne(dynamic_cast<ZTTouch*>(object));
    if (m_activeTouches.isEmpty())
        m_primaryTouchId = 0;
    sequence.commit(false);
    if (!primary)
        return;
    sendMouse(QEvent::MouseButtonRelease, primary->locationInView(), Qt::LeftButton, Qt::NoButton);
    m_lastReleaseTime = QDateTime::currentMSecsSinceEpoch();
}

void InputForwarder::sendKey(int type, int key, int modifiers)
{
    QKeyEvent event(QEvent::Type(type), key, Qt::KeyboardModifiers(modifiers), QString(), false, 1);
    QCoreApplication::sendEvent(&m_window, &event);
}

void InputForwarder::keyPressed(int key, int modifiers)
{
    sendKey(QEvent::KeyPress, key, modifiers);
}

void InputForwarder::keyReleased(int key, int modifiers)
{
    sendKey(QEvent::KeyRelease, key, modifiers);
}

void InputForwarder::keyBackClicked()
{
    sendKey(QEvent::KeyPress, Qt::Key_Back, Qt::NoModifier);
}

void InputForwarder::keyMenuClicked()
{
    sendKey(QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier);
}
