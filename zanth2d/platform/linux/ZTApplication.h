#pragma once

namespace zanth2d {

class ZTRect;

// The one application object; the engine's application delegate implements the four hooks.
class ZTApplication
{
public:
    ZTApplication();
    virtual ~ZTApplication();
    ZTApplication(const ZTApplication&) = delete;
    ZTApplication& operator=(const ZTApplication&) = delete;

    // Opens the window and the GL view; false stops start-up.
    virtual bool initInstance() = 0;
    // Sets up the director and runs the first scene; false stops start-up.
    virtual bool applicationDidFinishLaunching() = 0;
    // The window was iconified, and restored.
    virtual void applicationDidEnterBackground() = 0;
    virtual void applicationWillEnterForeground() = 0;

    // Starts everything and returns when the run loop ends: 0 then, 1 when start-up failed.
    int run();
    void setAnimationInterval(double seconds);
    // The effective orientation: the GL view's answer when the director has one, else the director's own.
    int setOrientation(int orientation);
    void statusBarFrame(ZTRect* rect);
    // 1 for Chinese, 0 (English) for every other user interface language.
    int getCurrentLanguage();

    // Asserts that the application exists.
    static ZTApplication& sharedApplication();
    static bool hasSharedApplication();

private:
    static ZTApplication* sm_pSharedApplication;
};

} // namespace zanth2d
