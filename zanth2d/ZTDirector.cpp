#include "ZTDirector.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

#include "ZTMacros.h"
#include "ZTScheduler.h"
#include "actions/ZTActionManager.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "keypad_dispatcher/ZTKeypadDispatcher.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "layers_scenes_transitions_nodes/ZTTransitionScene.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTEGLView.h"
#include "support/ZTGLStack.h"
#include "support/ZTGLStateCache.h"
#include "support/ZTGLU.h"
#include "support/ZTNotificationCenter.h"
#include "support/ZTRenderer.h"
#include "support/ZTScriptEngineManager.h"
#include "support/ZTUserDefault.h"
#include "text_input_node/ZTIMEDispatcher.h"
#include "touch_dispatcher/ZTTouchDispatcher.h"

namespace zanth2d {

namespace {

constexpr int kFPSTextSize = 10;

ztDirectorPurgeFunction s_purgeHooks[kZTDirectorPurgeHookCount] = {};
ztFPSLabelHooks s_fpsLabelHooks = {};

// View and GL points map onto each other the same way in both directions, except in landscape right,
// where the point is mirrored through landscapeRightCorner.
ZTPoint convertForOrientation(const ZTPoint& obPoint, ztDeviceOrientation eOrientation, const ZTSize& winSize,
                              const ZTPoint& landscapeRightCorner)
{
    switch (eOrientation) {
    case kZTDeviceOrientationPortrait:
        return ZTPoint(obPoint.x, winSize.height - obPoint.y);
    case kZTDeviceOrientationPortraitUpsideDown:
        return ZTPoint(winSize.width - obPoint.x, obPoint.y);
    case kZTDeviceOrientationLandscapeLeft:
        return ZTPoint(obPoint.y, obPoint.x);
    case kZTDeviceOrientationLandscapeRight:
        return ZTPoint(landscapeRightCorner.x - obPoint.y, landscapeRightCorner.y - obPoint.x);
    default:
        return ZTPointZero;
    }
}

} // namespace

ZTDirector* ZTDirector::sharedDirector()
{
    // Built on first use rather than at load time, so that it is destroyed before the library's other
    // statics (the GL stack it releases among them).
    static ZTDisplayLinkDirector s_sharedDirector;
    static bool s_bFirstUseDirector = true;
    if (s_bFirstUseDirector) {
        s_bFirstUseDirector = false;
        s_sharedDirector.init();
    }
    return &s_sharedDirector;
}

bool ZTDirector::setDirectorType(ztDirectorType)
{
    sharedDirector();
    return true;
}

bool ZTDirector::init()
{
    m_bPurgeDirectorInNextLoop = false;
    m_pobOpenGLView = nullptr;
    m_dAnimationInterval = 1.0 / 60;
    m_dOldAnimationInterval = m_dAnimationInterval;
    m_bDisplayFPS = false;
    m_fAccumDt = 0.0f;
    m_fFrameRate = 0.0f;
    m_pFPSLabel = nullptr;
    m_bPaused = false;
    m_uTotalFrames = 0;
    m_uFrames = 0;
    m_pRunningScene = nullptr;
    m_pNextScene = nullptr;
    m_pobScenesStack = new ZTMutableArray<ZTScene*>();
    m_pLastUpdate = new zt_timeval{};
    m_fDeltaTime = 0.0f;
    m_bNextDeltaTimeZero = false;
    m_eProjection = kZTDirectorProjectionDefault;
    m_obWinSizeInPoints = ZTSizeZero;
    m_obWinSizeInPixels = ZTSizeZero;
    m_fContentScaleFactor = 1.0f;
    m_fZanthContentScaleFactor = 1.0f;
    m_pszFPS = new char[kFPSTextSize]();
    m_pNotificationNode = nullptr;
    m_pProjectionDelegate = nullptr;
    m_eDeviceOrientation = kZTDeviceOrientationPortrait;
    m_bIsContentScaleSupported = false;

    ZTPoolManager::getInstance()->push();
    m_bOwnsPool = true;
    return true;
}

ZTDirector::~ZTDirector()
{
    // At exit without a purge the view's context is still there (the platform ends after the director):
    // what is released below deletes its GL objects in it.
    if (m_pobOpenGLView) {
        m_pobOpenGLView->makeContextCurrent();
    }
    ZTGLStack::releaseStack();
    ZT_SAFE_RELEASE(m_pFPSLabel);
    ZT_SAFE_RELEASE(m_pRunningScene);
    ZT_SAFE_RELEASE(m_pNotificationNode);
    ZT_SAFE_RELEASE(m_pobScenesStack);
    if (m_bOwnsPool) {
        ZTPoolManager::getInstance()->pop();
    }
    delete m_pLastUpdate;
    ZTKeypadDispatcher::purgeSharedDispatcher();
    delete[] m_pszFPS;
}

ZTScheduler* ZTDirector::getScheduler()
{
    return ZTScheduler::sharedScheduler();
}

ZTActionManager* ZTDirector::getActionManager()
{
    return ZTActionManager::sharedManager();
}

ZTTouchDispatcher* ZTDirector::getTouchDispatcher()
{
    return ZTTouchDispatcher::sharedDispatcher();
}

ZTKeypadDispatcher* ZTDirector::getKeypadDispatcher()
{
    return ZTKeypadDispatcher::sharedDispatcher();
}

// Hooks

void ZTDirector::setPurgeHook(ztDirectorPurgeHook hook, ztDirectorPurgeFunction function)
{
    ZTAssert(hook >= 0 && hook < kZTDirectorPurgeHookCount, "hook >= 0 && hook < kZTDirectorPurgeHookCount");
    s_purgeHooks[hook] = function;
}

void ZTDirector::runPurgeHook(ztDirectorPurgeHook hook)
{
    if (s_purgeHooks[hook]) {
        s_purgeHooks[hook]();
    }
}

void ZTDirector::setFPSLabelHooks(const ztFPSLabelHooks& hooks)
{
    s_fpsLabelHooks = hooks;
    ZTDirector* director = sharedDirector();
    if (director->m_pobOpenGLView) {
        director->createFPSLabel();
    }
}

void ZTDirector::createFPSLabel()
{
    if (m_pFPSLabel || !s_fpsLabelHooks.labelWithString) {
        return;
    }
    m_pFPSLabel = s_fpsLabelHooks.labelWithString("00.0", "Arial", 24);
    ZT_SAFE_RETAIN(m_pFPSLabel);
}

// GL set-up

void ZTDirector::setOpenGLView(ZTEGLView* pobOpenGLView)
{
    ZTAssert(pobOpenGLView, "pobOpenGLView");
    if (m_pobOpenGLView != pobOpenGLView) {
        delete m_pobOpenGLView;
        m_pobOpenGLView = pobOpenGLView;

        m_obWinSizeInPoints = m_pobOpenGLView->getSize();
        m_obWinSizeInPixels = ZTSize(m_obWinSizeInPoints.width * m_fContentScaleFactor,
                                     m_obWinSizeInPoints.height * m_fContentScaleFactor);
        setGLDefaultValues();
        if (m_fContentScaleFactor != 1.0f) {
            updateContentScaleFactor();
        }

        ZTTouchDispatcher* touchDispatcher = ZTTouchDispatcher::sharedDispatcher();
        m_pobOpenGLView->setTouchDelegate(touchDispatcher);
        touchDispatcher->setDispatchEvents(true);
    }
    ZTGLStack::createStack();
}

void ZTDirector::setGLDefaultValues()
{
    ZTAssert(m_pobOpenGLView, "m_pobOpenGLView");
    setAlphaBlending(true);
    setDepthTest(true);
    setProjection(m_eProjection);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    createFPSLabel();
}

void ZTDirector::setAlphaBlending(bool bOn)
{
    if (bOn) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
}

void ZTDirector::setDepthTest(bool bOn)
{
    if (bOn) {
        glClearDepth(1.0f);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
}

void ZTDirector::setProjection(ztDirectorProjection kProjection)
{
    const ZTSize size = m_obWinSizeInPixels;
    switch (kProjection) {
    case kZTDirectorProjection2D: {
        if (m_pobOpenGLView) {
            m_pobOpenGLView->setViewPortInPoints(0, 0, size.width, size.height);
        }
        const double depth = 1024.0 * sharedDirector()->getContentScaleFactor();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, size.width, 0, size.height, -depth, depth);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        break;
    }
    case kZTDirectorProjection3D:
        if (m_pobOpenGLView) {
            m_pobOpenGLView->setViewPortInPoints(0, 0, size.width, size.height);
        }
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60, size.width / size.height, 0.5f, 1500.0f);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(size.width / 2, size.height / 2, getZEye(), size.width / 2, size.height / 2, 0, 0.0f, 1.0f,
                  0.0f);
        break;
    case kZTDirectorProjectionCustom:
        if (m_pProjectionDelegate) {
            m_pProjectionDelegate->updateProjection();
        }
        break;
    default:
        break;
    }
    m_eProjection = kProjection;
}

void ZTDirector::setProjectionDelegate(ZTProjectionProtocol* pProjectionDelegate)
{
    ZT_SAFE_RETAIN(pProjectionDelegate);
    ZT_SAFE_RELEASE(m_pProjectionDelegate);
    m_pProjectionDelegate = pProjectionDelegate;
}

void ZTDirector::reshapeProjection(const ZTSize&)
{
    if (m_pobOpenGLView) {
        m_obWinSizeInPoints = m_pobOpenGLView->getSize();
    }
    m_obWinSizeInPixels = ZTSize(m_obWinSizeInPoints.width * m_fContentScaleFactor,
                                 m_obWinSizeInPoints.height * m_fContentScaleFactor);
    setProjection(m_eProjection);
}

// Frame

void ZTDirector::calculateDeltaTime()
{
    zt_timeval now;
    ZTTime::gettimeofdayZanth2d(&now, nullptr);
    if (m_bNextDeltaTimeZero) {
        m_fDeltaTime = 0.0f;
        m_bNextDeltaTimeZero = false;
    } else {
        m_fDeltaTime = static_cast<float>(now.tv_sec - m_pLastUpdate->tv_sec) +
                       static_cast<float>(now.tv_usec - m_pLastUpdate->tv_usec) / 1000000.0f;
        // A clock that went backwards must not run time backwards.
        m_fDeltaTime = std::max(0.0f, m_fDeltaTime);
    }
    *m_pLastUpdate = now;
}

void ZTDirector::drawScene()
{
    if (!m_pobOpenGLView) {
        return;
    }
    calculateDeltaTime();
    if (!m_bPaused) {
        ZTScheduler::sharedScheduler()->tick(m_fDeltaTime);
    }

    beginFrame();

    ++m_uFrames;
    m_fAccumDt += m_fDeltaTime;
    if (m_fAccumDt > 0.5f) {
        m_fFrameRate = static_cast<float>(m_uFrames) / m_fAccumDt;
        m_uFrames = 0;
        m_fAccumDt = 0.0f;
    }

    endFrame();

    ++m_uTotalFrames;
    if (m_pobOpenGLView) {
        m_pobOpenGLView->swapBuffers();
    }
}

void ZTDirector::reshape()
{
    if (!m_pobOpenGLView) {
        return;
    }
    beginFrame();
    endFrame();
    if (m_pobOpenGLView) {
        m_pobOpenGLView->swapBuffers();
    }
}

void ZTDirector::beginFrame()
{
    // The stencil too: clipping nodes must not find the bits of the previous frame.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (m_pNextScene) {
        setNextScene();
    }
    ZTGLStack::pushMatrix();
    applyOrientation();
    drawSceneContents();
}

void ZTDirector::endFrame()
{
    if (m_bDisplayFPS) {
        showFPS();
    }
    ZTRenderer::sharedRenderer()->endFrame();
    ZTGLStateCache::setTexturing(false);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    ZTGLStack::popMatrix();
}

void ZTDirector::drawSceneContents()
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    ZTRenderer::sharedRenderer()->beginFrame();
    if (m_pRunningScene) {
        m_pRunningScene->visit();
    }
    if (m_pNotificationNode) {
        m_pNotificationNode->visit();
    }
}

void ZTDirector::showFPS()
{
    if (!m_pFPSLabel) {
        return;
    }
    std::snprintf(m_pszFPS, kFPSTextSize, "%.1f", m_fFrameRate);
    s_fpsLabelHooks.setString(m_pFPSLabel, m_pszFPS);
    ZTGLStack::pushMatrix();
    glTranslatef(10.0f, 5.0f, 10.0f);
    m_pFPSLabel->draw();
    ZTGLStack::popMatrix();
}

void ZTDirector::applyOrientation()
{
    const float w = m_obWinSizeInPixels.width / 2;
    const float h = m_obWinSizeInPixels.height / 2;
    switch (m_eDeviceOrientation) {
    case kZTDeviceOrientationPortraitUpsideDown:
        glTranslatef(w, h, 0);
        glRotatef(180, 0, 0, 1);
        glTranslatef(-w, -h, 0);
        break;
    case kZTDeviceOrientationLandscapeLeft:
        glTranslatef(w, h, 0);
        glRotatef(-90, 0, 0, 1);
        glTranslatef(-h, -w, 0);
        break;
    case kZTDeviceOrientationLandscapeRight:
        glTranslatef(w, h, 0);
        glRotatef(90, 0, 0, 1);
        glTranslatef(-h, -w, 0);
        break;
    default:
        break;
    }
}

// Scenes

void ZTDirector::setNextScene()
{
    const bool runningIsTransition = dynamic_cast<ZTTransitionScene*>(m_pRunningScene) != nullptr;
    const bool newIsTransition = dynamic_cast<ZTTransitionScene*>(m_pNextScene) != nullptr;

    // A transition sends the outgoing scene's exit and the incoming scene's enter itself.
    if (!newIsTransition && m_pRunningScene) {
        m_pRunningScene->onExit();
        if (m_bSendCleanupToScene) {
            m_pRunningScene->cleanup();
        }
    }
    ZT_SAFE_RETAIN(m_pNextScene);
    ZT_SAFE_RELEASE(m_pRunningScene);
    m_pRunningScene = m_pNextScene;
    m_pNextScene = nullptr;

    if (!runningIsTransition && m_pRunningScene) {
        m_pRunningScene->onEnter();
        m_pRunningScene->onEnterTransitionDidFinish();
    }
}

void ZTDirector::runWithScene(ZTScene* pScene)
{
    ZTAssert(pScene != nullptr, "pScene != __null");
    ZTAssert(m_pRunningScene == nullptr, "m_pRunningScene == __null");
    pushScene(pScene);
    startAnimation();
}

void ZTDirector::pushScene(ZTScene* pScene)
{
    ZTAssert(pScene, "pScene");
    m_bSendCleanupToScene = false;
    m_pobScenesStack->addObject(pScene);
    m_pNextScene = pScene;
}

void ZTDirector::replaceScene(ZTScene* pScene)
{
    ZTAssert(pScene != nullptr, "pScene != __null");
    const unsigned int count = m_pobScenesStack->count();
    ZTAssert(count > 0, "m_pobScenesStack->count() > 0");
    m_bSendCleanupToScene = true;
    // The new scene goes in before the old one is let go: they may be the same scene.
    m_pobScenesStack->insertObjectAtIndex(pScene, count - 1);
    m_pobScenesStack->removeObjectAtIndex(count);
    m_pNextScene = pScene;
}

void ZTDirector::popScene()
{
    ZTAssert(m_pRunningScene != nullptr, "m_pRunningScene != __null");
    if (m_pobScenesStack->count() > 0) {
        m_pobScenesStack->removeObjectAtIndex(m_pobScenesStack->count() - 1);
    }
    const unsigned int count = m_pobScenesStack->count();
    if (count == 0) {
        // The popped scene may have been the one waiting: a redraw before the purge must not switch to it.
        m_pNextScene = nullptr;
        end();
    } else {
        m_bSendCleanupToScene = true;
        m_pNextScene = m_pobScenesStack->getObjectAtIndex(count - 1);
    }
}

// End, purge, pause

void ZTDirector::end()
{
    m_bPurgeDirectorInNextLoop = true;
}

void ZTDirector::releaseScenes()
{
    ZTTouchDispatcher::sharedDispatcher()->removeAllDelegates();
    if (m_pRunningScene) {
        m_pRunningScene->onExit();
        m_pRunningScene->cleanup();
        m_pRunningScene->release();
    }
    m_pRunningScene = nullptr;
    m_pNextScene = nullptr;
    m_pobScenesStack->removeAllObjects();
    stopAnimation();
}

void ZTDirector::purgeDirector()
{
    // Scenes, caches and pools delete GL objects as they go: their context must be current, and the view,
    // which ends the context, goes last.
    if (m_pobOpenGLView) {
        m_pobOpenGLView->makeContextCurrent();
    }
    ZT_SAFE_RELEASE_NULL(m_pFPSLabel);
    resetDirector();
    ZTUserDefault::purgeSharedUserDefault();
    ZTNotificationCenter::purgeNotifCenter();

    // The rest of the runtime's singletons, the autorelease pools after them: releasing what the pools
    // hold may still reach the others.
    ZTTouchDispatcher::purgeSharedDispatcher();
    ZTKeypadDispatcher::purgeSharedDispatcher();
    ZTIMEDispatcher::purgeSharedDispatcher();
    ZTScriptEngineManager::purgeSharedManager();
    ZTPoolManager::purgePoolManager();
    m_bOwnsPool = false;

    if (m_pobOpenGLView) {
        m_pobOpenGLView->release();
        m_pobOpenGLView = nullptr;
    }
}

void ZTDirector::resetDirector()
{
    releaseScenes();
    ZT_SAFE_RELEASE_NULL(m_pProjectionDelegate);

    runPurgeHook(kZTPurgeBMFontCachedData);
    runPurgeHook(kZTPurgeAnimationCache);
    runPurgeHook(kZTPurgeSpriteFrameCache);
    ZTActionManager::purgeSharedManager();
    ZTScheduler::purgeSharedScheduler();
    runPurgeHook(kZTPurgeTextureCache);
}

void ZTDirector::purgeCachedData()
{
    runPurgeHook(kZTPurgeBMFontCachedData);
    runPurgeHook(kZTRemoveUnusedTextures);
}

void ZTDirector::pause()
{
    if (m_bPaused) {
        return;
    }
    m_dOldAnimationInterval = m_dAnimationInterval;
    // Drawing slows down while paused; only the scheduler stops.
    setAnimationInterval(1 / 4.0);
    m_bPaused = true;
}

void ZTDirector::resume()
{
    if (!m_bPaused) {
        return;
    }
    setAnimationInterval(m_dOldAnimationInterval);
    ZTTime::gettimeofdayZanth2d(m_pLastUpdate, nullptr);
    m_bPaused = false;
    m_fDeltaTime = 0.0f;
}

// Sizes, coordinates, scale

ZTSize ZTDirector::getWinSize() const
{
    ZTSize size = m_obWinSizeInPoints;
    if (m_eDeviceOrientation == kZTDeviceOrientationLandscapeLeft ||
        m_eDeviceOrientation == kZTDeviceOrientationLandscapeRight) {
        size = ZTSize(size.height, size.width);
    }
    return size;
}

ZTSize ZTDirector::getWinSizeInPixels() const
{
    const ZTSize size = getWinSize();
    const float factor = sharedDirector()->getContentScaleFactor();
    return ZTSize(size.width * factor, size.height * factor);
}

ZTSize ZTDirector::getDisplaySizeInPixels() const
{
    return m_obWinSizeInPixels;
}

float ZTDirector::getZEye() const
{
    return m_obWinSizeInPixels.height / 1.1566f;
}

ZTPoint ZTDirector::convertToGL(const ZTPoint& obPoint) const
{
    const ZTSize& size = m_obWinSizeInPoints;
    return convertForOrientation(obPoint, m_eDeviceOrientation, size, ZTPoint(size.height, size.width));
}

ZTPoint ZTDirector::convertToUI(const ZTPoint& obPoint) const
{
    const ZTSize& size = m_obWinSizeInPoints;
    return convertForOrientation(obPoint, m_eDeviceOrientation, size, ZTPoint(size.width, size.height));
}

void ZTDirector::setContentScaleFactor(float scaleFactor)
{
    if (scaleFactor == m_fContentScaleFactor) {
        return;
    }
    m_fContentScaleFactor = scaleFactor;
    m_obWinSizeInPixels =
        ZTSize(m_obWinSizeInPoints.width * scaleFactor, m_obWinSizeInPoints.height * scaleFactor);
    updateContentScaleFactor();
    setProjection(m_eProjection);
}

bool ZTDirector::enableRetinaDisplay(bool bEnabled)
{
    return bEnabled && m_fContentScaleFactor == 2.0f;
}

void ZTDirector::updateContentScaleFactor()
{
    if (m_pobOpenGLView && m_pobOpenGLView->canSetContentScaleFactor()) {
        m_pobOpenGLView->setContentScaleFactor(m_fContentScaleFactor);
        m_bIsContentScaleSupported = true;
    }
}

void ZTDirector::setNotificationNode(ZTNode* node)
{
    ZT_SAFE_RETAIN(node);
    ZT_SAFE_RELEASE(m_pNotificationNode);
    m_pNotificationNode = node;
}

void ZTDirector::setDeviceOrientation(ztDeviceOrientation kDeviceOrientation)
{
    const auto orientation = static_cast<ztDeviceOrientation>(
        ZTApplication::sharedApplication().setOrientation(kDeviceOrientation));
    if (orientation != m_eDeviceOrientation) {
        m_eDeviceOrientation = orientation;
        return;
    }
    reshapeProjection(m_obWinSizeInPoints);
}

// The display-link director

void ZTDisplayLinkDirector::mainLoop()
{
    if (m_bPurgeDirectorInNextLoop) {
        purgeDirector();
        m_bPurgeDirectorInNextLoop = false;
    } else if (!m_bInvalid) {
        drawScene();
        // Everything autoreleased during the frame goes now.
        ZTPoolManager::getInstance()->pop();
    }
}

void ZTDisplayLinkDirector::setAnimationInterval(double dValue)
{
    m_dAnimationInterval = dValue;
    if (!m_bInvalid) {
        stopAnimation();
        startAnimation();
    }
}

void ZTDisplayLinkDirector::stopAnimation()
{
    m_bInvalid = true;
}

void ZTDisplayLinkDirector::startAnimation()
{
    ZTTime::gettimeofdayZanth2d(m_pLastUpdate, nullptr);
    m_bInvalid = false;
    ZTApplication::sharedApplication().setAnimationInterval(m_dAnimationInterval);
}

} // namespace zanth2d
