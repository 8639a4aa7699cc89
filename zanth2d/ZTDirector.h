#pragma once

#include "cocoa/ZTGeometry.h"
#include "cocoa/ZTMutableArray.h"
#include "cocoa/ZTObject.h"
#include "platform/ZTTime.h"

namespace zanth2d {

class ZTActionManager;
class ZTEGLView;
class ZTKeypadDispatcher;
class ZTNode;
class ZTScene;
class ZTScheduler;
class ZTTouchDispatcher;

typedef enum
{
    kZTDirectorProjection2D = 0,
    kZTDirectorProjection3D = 1,
    // The projection delegate sets the matrices.
    kZTDirectorProjectionCustom = 2,
    kZTDirectorProjectionDefault = kZTDirectorProjection3D,
} ztDirectorProjection;

typedef enum
{
    // A platform timer calls mainLoop once per run-loop pass: the only kind of director there is.
    kZTDirectorTypeDisplayLink = 0,
    kZTDirectorTypeDefault = kZTDirectorTypeDisplayLink,
} ztDirectorType;

typedef enum
{
    kZTDeviceOrientationPortrait = 0,
    kZTDeviceOrientationPortraitUpsideDown = 1,
    kZTDeviceOrientationLandscapeLeft = 2,
    kZTDeviceOrientationLandscapeRight = 3,
} ztDeviceOrientation;

// Caches that live above this library are purged through hooks they install; the director calls them
// in a fixed order (see purgeDirector, resetDirector and purgeCachedData).
typedef enum
{
    kZTPurgeBMFontCachedData = 0,
    kZTPurgeAnimationCache,
    kZTPurgeSpriteFrameCache,
    kZTPurgeTextureCache,
    kZTRemoveUnusedTextures,
    kZTDirectorPurgeHookCount,
} ztDirectorPurgeHook;

using ztDirectorPurgeFunction = void (*)();

// Text labels live above this library; the label code installs these so the director can show the frame rate.
struct ztFPSLabelHooks
{
    // An autoreleased label node showing text in the named font at the size in points.
    ZTNode* (*labelWithString)(const char* text, const char* fontName, float fontSize);
    void (*setString)(ZTNode* label, const char* text);
};

// Applies a custom projection (kZTDirectorProjectionCustom).
class ZTProjectionProtocol : public ZTObject
{
public:
    virtual void updateProjection() = 0;
};

// Owner of the frame: measures the frame time, ticks the scheduler, draws the running scene and the
// notification node, counts the frame rate and swaps the buffers. Owns the scene stack, the projection,
// the window size in points and pixels and both content scale factors. Engine thread only.
class ZTDirector : public ZTObject
{
public:
    ~ZTDirector() override;

    // The one director; the first call initialises it.
    static ZTDirector* sharedDirector();
    // There is one kind of director; always true.
    static bool setDirectorType(ztDirectorType type);

    virtual bool init();
    // Seconds between frames handed to the platform timer.
    virtual void setAnimationInterval(double dValue) = 0;
    virtual void stopAnimation() = 0;
    virtual void startAnimation() = 0;
    // Called once per platform timer callback.
    virtual void mainLoop() = 0;

    // Shared services reached through the director.
    ZTScheduler* getScheduler();
    ZTActionManager* getActionManager();
    ZTTouchDispatcher* getTouchDispatcher();
    ZTKeypadDispatcher* getKeypadDispatcher();

    ZTScene* getRunningScene() const { return m_pRunningScene; }
    double getAnimationInterval() const { return m_dAnimationInterval; }
    bool isDisplayFPS() const { return m_bDisplayFPS; }
    void setDisplayFPS(bool bDisplayFPS) { m_bDisplayFPS = bDisplayFPS; }
    bool isPaused() const { return m_bPaused; }
    bool isNextDeltaTimeZero() const { return m_bNextDeltaTimeZero; }
    void setNextDeltaTimeZero(bool bNextDeltaTimeZero) { m_bNextDeltaTimeZero = bNextDeltaTimeZero; }
    // Seconds between the last two frames (0 on the first frame after a start, a resume or a zero request).
    float getDeltaTime() const { return m_fDeltaTime; }
    // Frames per second, measured over at least half a second.
    float getFrameRate() const { return m_fFrameRate; }
    unsigned int getTotalFrames() const { return m_uTotalFrames; }
    ztDirectorProjection getProjection() const { return m_eProjection; }
    // Whether the scene being replaced gets cleanup (set by replaceScene and popScene, cleared by pushScene).
    bool isSendCleanupToScene() const { return m_bSendCleanupToScene; }

    ZTEGLView* getOpenGLView() const { return m_pobOpenGLView; }
    // The director owns the view from now on; a different view replaces (and deletes) the current one.
    void setOpenGLView(ZTEGLView* pobOpenGLView);
    void setGLDefaultValues();
    void setAlphaBlending(bool bOn);
    void setDepthTest(bool bOn);
    void setProjection(ztDirectorProjection kProjection);
    ZTProjectionProtocol* getProjectionDelegate() const { return m_pProjectionDelegate; }
    // Retained.
    void setProjectionDelegate(ZTProjectionProtocol* pProjectionDelegate);

    // Re-reads the window size from the view and re-applies the projection; the argument is not used.
    void reshapeProjection(const ZTSize& newWindowSize);
    // Redraws the current frame without a scheduler tick (the view was resized).
    void reshape();

    // In points, width and height swapped in landscape orientations.
    ZTSize getWinSize() const;
    ZTSize getWinSizeInPixels() const;
    // In pixels, never swapped.
    ZTSize getDisplaySizeInPixels() const;
    float getZEye() const;

    // View points (origin top left) to GL points (origin bottom left), and back.
    ZTPoint convertToGL(const ZTPoint& obPoint) const;
    ZTPoint convertToUI(const ZTPoint& obPoint) const;

    // Scene switches take effect at the start of the next drawn frame.
    void runWithScene(ZTScene* pScene);
    void pushScene(ZTScene* pScene);
    void replaceScene(ZTScene* pScene);
    // Popping the last scene ends the director at the next main-loop pass.
    void popScene();

    // Ends the director at the next main-loop pass.
    void end();
    // Stops everything and shuts the runtime's singletons down (the autorelease pools last).
    void purgeDirector();
    // Like purgeDirector, but keeps the view, the frame-rate label, user defaults and notifications.
    void resetDirector();

    // Slows the frame rate and stops ticking the scheduler; frames are still drawn.
    void pause();
    void resume();

    float getContentScaleFactor() const { return m_fContentScaleFactor; }
    void setContentScaleFactor(float scaleFactor);
    bool enableRetinaDisplay(bool bEnabled);
    void updateContentScaleFactor();
    bool isContentScaleSupported() const { return m_bIsContentScaleSupported; }
    // The engine's own second factor (read by particle systems).
    float getZanthContentScaleFactor() const { return m_fZanthContentScaleFactor; }
    void setZanthContentScaleFactor(float scaleFactor) { m_fZanthContentScaleFactor = scaleFactor; }

    ZTNode* getNotificationNode() const { return m_pNotificationNode; }
    // Retained; visited after the running scene every frame.
    void setNotificationNode(ZTNode* node);

    ztDeviceOrientation getDeviceOrientation() const { return m_eDeviceOrientation; }
    void setDeviceOrientation(ztDeviceOrientation kDeviceOrientation);
    // Multiplies the device orientation's rotation about the window's centre onto the current matrix.
    void applyOrientation();

    // Drops cached data that nothing uses (bitmap-font configurations, unused textures).
    void purgeCachedData();
    double getAvailableBytes() const { return 0.0; }
    double getAvailableKiloBytes() const { return 0.0; }
    double getAvailableMegaBytes() const { return 0.0; }
    void showProfilers() {}

    // Installs the purge of a cache that lives above this library; null removes it.
    static void setPurgeHook(ztDirectorPurgeHook hook, ztDirectorPurgeFunction function);
    // Installs the frame-rate label factory; the label appears from the next GL setup on (or at once
    // when a view is already set).
    static void setFPSLabelHooks(const ztFPSLabelHooks& hooks);

protected:
    ZTDirector() = default;

    void drawScene();
    void calculateDeltaTime();
    void setNextScene();
    void showFPS();
    void drawSceneContents();
    // What every frame draws, around its own bookkeeping: clears, switches to a pending scene, draws it
    // under the orientation; then the FPS label, and the GL state as the next frame expects it.
    void beginFrame();
    void endFrame();
    void createFPSLabel();
    void releaseScenes();
    static void runPurgeHook(ztDirectorPurgeHook hook);

    bool m_bPurgeDirectorInNextLoop = false;
    ZTEGLView* m_pobOpenGLView = nullptr;
    double m_dAnimationInterval = 0.0;
    double m_dOldAnimationInterval = 0.0;
    bool m_bDisplayFPS = false;
    float m_fAccumDt = 0.0f;
    float m_fFrameRate = 0.0f;
    ZTNode* m_pFPSLabel = nullptr;
    bool m_bPaused = false;
    unsigned int m_uTotalFrames = 0;
    unsigned int m_uFrames = 0;
    ZTScene* m_pRunningScene = nullptr;
    // Held by the scene stack, not by this field.
    ZTScene* m_pNextScene = nullptr;
    bool m_bSendCleanupToScene = false;
    ZTMutableArray<ZTScene*>* m_pobScenesStack = nullptr;
    zt_timeval* m_pLastUpdate = nullptr;
    float m_fDeltaTime = 0.0f;
    bool m_bNextDeltaTimeZero = false;
    ztDirectorProjection m_eProjection = kZTDirectorProjection2D;
    ZTSize m_obWinSizeInPoints;
    ZTSize m_obWinSizeInPixels;
    float m_fContentScaleFactor = 1.0f;
    float m_fZanthContentScaleFactor = 1.0f;
    char* m_pszFPS = nullptr;
    ZTNode* m_pNotificationNode = nullptr;
    ZTProjectionProtocol* m_pProjectionDelegate = nullptr;
    ztDeviceOrientation m_eDeviceOrientation = kZTDeviceOrientationPortrait;
    bool m_bIsContentScaleSupported = false;
    // The autorelease pool pushed by init is still there to pop (purgeDirector shuts the pools down).
    bool m_bOwnsPool = false;
};

// The director that the platform timer drives: adds the animation switch and the main loop.
class ZTDisplayLinkDirector : public ZTDirector
{
public:
    ZTDisplayLinkDirector() = default;

    void mainLoop() override;
    void setAnimationInterval(double dValue) override;
    // Frames are skipped from now on; the platform timer keeps firing.
    void stopAnimation() override;
    void startAnimation() override;

protected:
    bool m_bInvalid = false;
};

} // namespace zanth2d
