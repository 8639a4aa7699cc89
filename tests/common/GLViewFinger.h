#pragma once

#include "cocoa/ZTSet.h"
#include "platform/linux/ZTEGLView.h"
#include "touch_dispatcher/ZTTouch.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <chrono>
#include <functional>
#include <thread>
#include <utility>

// One finger pressed, moved and lifted through the GL view, the way the platform sends its mouse touch.
// afterEach runs after every event (a test that needs the event's frame steps one there).
class GLViewFinger
{
public:
    explicit GLViewFinger(std::function<void()> afterEach = {})
        : m_touch(new zanth2d::ZTTouch()), m_afterEach(std::move(afterEach))
    {
        m_set.addObject(m_touch);
    }
    ~GLViewFinger() { m_touch->release(); }
    GLViewFinger(const GLViewFinger&) = delete;
    GLViewFinger& operator=(const GLViewFinger&) = delete;

    void down(float x, float y) { send(x, y, &zanth2d::ZTEGLView::touchesBegan); }
    void move(float x, float y) { send(x, y, &zanth2d::ZTEGLView::touchesMoved); }
    void up() { send(&zanth2d::ZTEGLView::touchesEnded); }
    void cancel() { send(&zanth2d::ZTEGLView::touchesCancelled); }
    void tap(float x, float y)
    {
        down(x, y);
        up();
    }

private:
    using Phase = void (zanth2d::ZTEGLView::*)(zanth2d::ZTSet*);
    void send(float x, float y, Phase phase)
    {
        m_touch->setTouchInfo(x, y);
        send(phase);
    }
    void send(Phase phase)
    {
        (zanth2d::ZTEGLView::sharedOpenGLView()->*phase)(&m_set);
        if (m_afterEach)
            m_afterEach();
    }

    zanth2d::ZTTouch* m_touch;
    zanth2d::ZTSet m_set;
    std::function<void()> m_afterEach;
};

// A press right after an earlier release would count as a double click.
inline void waitPastDoubleClickInterval()
{
    std::this_thread::sleep_for(
        std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50));
}
