#pragma once

#include "cocoa/ZTGeometry.h"

#include <QElapsedTimer>
#include <QList>

#include <memory>

class QQuickWindow;

namespace QTest {
class QTouchEventSequence;
}

namespace zanth2d {
class ZTSet;
class ZTTouch;
} // namespace zanth2d

// Turns the scene graph's touches and keys into Qt events for the unshown QML window, which gets no input
// of its own: every touch change becomes a touch event, and the first finger down also drives the mouse
// (a second press within the double-click interval: press, then double click). The events are sent
// synchronously, so QML handlers have run when a call returns.
class InputForwarder
{
public:
    // The window (not owned) must outlive this.
    explicit InputForwarder(QQuickWindow& window);
    ~InputForwarder();

    // Touches in window points (origin top left), as the touch dispatcher delivers them; not retained.
    void touchesBegan(zanth2d::ZTSet* touches);
    void touchesMoved(zanth2d::ZTSet* touches);
    // Also takes cancelled touches.
    void touchesEnded(zanth2d::ZTSet* touches);
    void keyPressed(int key, int modifiers);
    void keyReleased(int key, int modifiers);
    // Back and menu give a key press each and no release.
    void keyBackClicked();
    void keyMenuClicked();

private:
    void sendKey(int type, int key, int modifiers);
    void sendMouse(int type, const zanth2d::ZTPoint& location, int button, int buttons);
    QTest::QTouchEventSequence& touchSequence();

    QQuickWindow& m_window;
    QList<zanth2d::ZTTouch*> m_activeTouches;
    int m_primaryTouchId = 0;
    qint64 m_lastReleaseTime = 0;
    int m_lastPressType = 0;
    zanth2d::ZTPoint m_lastPressPosition;
    std::unique_ptr<QTest::QTouchEventSequence> m_touchSequence;
    QElapsedTimer m_eventClock;
};
