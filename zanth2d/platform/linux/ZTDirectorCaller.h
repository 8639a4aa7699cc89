#pragma once

namespace zanth2d {

// The run loop: polls the window's events and calls the director's main loop once per pass, paced to the
// display's refresh when buffer swaps do not wait for one themselves.
class ZTDirectorCaller
{
public:
    static ZTDirectorCaller* sharedDirectorCaller();
    // Forgets the shared caller; while its loop runs, the loop ends after the current pass instead.
    static void destroy();

    // Runs until the window is closed or the director has ended; an unfinished director is ended and
    // purged before this returns.
    void startMainLoop();
    // Stores the animation interval truncated to whole seconds, as a timer interval: 0 for every
    // interval under a second, which means one frame per display refresh.
    void setAnimationInterval(double seconds);
    void doCaller();

    int interval() const { return m_interval; }
    void setInterval(int seconds) { m_interval = seconds; }

    // Seconds between two frames when swaps do not wait for the display and it reports no refresh rate
    // (Xvfb reports none).
    static constexpr double kRefreshPeriod = 1.0 / 60.0;
    // Seconds between two refreshes of a display reporting `refreshRate` (Hz; 0 or less: unknown).
    static double refreshPeriodFor(int refreshRate);
    // The primary monitor's refresh period as GLFW reports it; GLFW must be initialised.
    static double displayRefreshPeriod();

private:
    ZTDirectorCaller() = default;
    // Waits until the next frame is due, reading input meanwhile; whether it read the window's events.
    bool waitForNextFrame();

    int m_interval = 0;
    bool m_bRunning = false;
    bool m_bDestroyRequested = false;
    double m_nextFrameTime = 0;
    double m_refreshPeriod = kRefreshPeriod;
};

} // namespace zanth2d
