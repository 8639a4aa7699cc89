#include "base_nodes/ZTNode.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "ZTCamera.h"
#include "ZTDirector.h"
#include "ZTMacros.h"
#include "ZTScheduler.h"
#include "actions/ZTAction.h"
#include "actions/ZTActionManager.h"
#include "base_nodes/ZTNodeGrid.h"
#include "cocoa/ZTArray.h"
#include "platform/ZTCommon.h"
#include "support/ZTGLStack.h"
#include "support/ZTScriptEngineManager.h"
#include "support/ZTScriptEngineProtocol.h"
#include "touch_dispatcher/ZTTouch.h"

namespace zanth2d {

namespace {

float contentScaleFactor()
{
    return ZTDirector::sharedDirector()->getContentScaleFactor();
}

// No script engine is installed unless a scripting layer sets one.
ZTScriptEngineProtocol* scriptEngine()
{
    return ZTScriptEngineManager::installedScriptEngine();
}

bool isZero(const ZTPoint& p)
{
    return p.x == 0.0f && p.y == 0.0f;
}

// ZTAffineTransformTranslate's arithmetic, inlined for the visit, which makes transforms for every node
// that changed.
inline ZTAffineTransform translated(const ZTAffineTransform& t, float tx, float ty)
{
    return ZTAffineTransform{t.a, t.b, t.c, t.d, t.a * tx + t.c * ty + t.tx, t.b * tx + t.d * ty + t.ty};
}

// ZTAffineTransformConcat's arithmetic, inlined for the visit, which makes one for every node.
inline ZTAffineTransform concatenated(const ZTAffineTransform& t1, const ZTAffineTransform& t2)
{
    return ZTAffineTransform{t1.a * t2.a + t1.b * t2.c,           t1.a * t2.b + t1.b * t2.d,
                             t1.c * t2.a + t1.d * t2.c,           t1.c * t2.b + t1.d * t2.d,
                             t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

} // namespace

ZTNode::ZTNode() = default;

ZTNode::~ZTNode()
{
    ZT_SAFE_RELEASE(m_pCamera);
    ZT_SAFE_RELEASE(m_pGrid);
    if (m_pChildren) {
        // Children may outlive their parent through other owners: they must not point back here.
        for (unsigned int i = 0; i < m_pChildren->count(); ++i) {
            static_cast<ZTNode*>(m_pChildren->objectAtIndex(i))->setParent(nullptr);
        }
        m_pChildren->release();
    }
}

ZTNode* ZTNode::node()
{
    ZTNode* pRet = new ZTNode();
    pRet->autorelease();
    return pRet;
}

int ZTNode::getZOrder() const
{
    return m_nZOrder;
}

void ZTNode::setZOrder(int z)
{
    m_nZOrder = z;
}

float ZTNode::getVertexZ() const
{
    return m_fVertexZ / contentScaleFactor();
}

void ZTNode::setVertexZ(float fVertexZ)
{
    m_fVertexZ = fVertexZ * contentScaleFactor();
}

float ZTNode::getRotation() const
{
    return m_fRotation;
}

void ZTNode::setRotation(float fRotation)
{
    m_fRotation = fRotation;
    markTransformDirty();
}

float ZTNode::getScaleX() const
{
    return m_fScaleX;
}

void ZTNode::setScaleX(float fScaleX)
{
    m_fScaleX = fScaleX;
    markTransformDirty();
}

float ZTNode::getScaleY() const
{
    return m_fScaleY;
}

void ZTNode::setScaleY(float fScaleY)
{
    m_fScaleY = fScaleY;
    markTransformDirty();
}

float ZTNode::getScale() const
{
    ZTAssert(m_fScaleX == m_fScaleY, "m_fScaleX == m_fScaleY");
    return m_fScaleX;
}

void ZTNode::setScale(float scale)
{
    m_fScaleX = m_fScaleY = scale;
    markTransformDirty();
}

const ZTPoint& ZTNode::getPosition() const
{
    return m_tPosition;
}

void ZTNode::setPosition(const ZTPoint& position)
{
    m_tPosition = position;
    const float factor = contentScaleFactor();
    if (factor == 1.0f) {
        m_tPositionInPixels = position;
    } else {
        m_tPositionInPixels = ZTPoint(position.x * factor, position.y * factor);
    }
    markTransformDirty();
}

const ZTPoint& ZTNode::getPositionInPixels() const
{
    return m_tPositionInPixels;
}

void ZTNode::setPositionInPixels(const ZTPoint& position)
{
    m_tPositionInPixels = position;
    const float factor = contentScaleFactor();
    if (factor == 1.0f) {
        m_tPosition = position;
    } else {
        const float inverse = 1.0f / factor;
        m_tPosition = ZTPoint(position.x * inverse, position.y * inverse);
    }
    markTransformDirty();
}

void ZTNode::setPosition(float x, float y)
{
    setPosition(ZTPoint(x, y));
}

void ZTNode::setPositionInPixels(float x, float y)
{
    setPositionInPixels(ZTPoint(x, y));
}

void ZTNode::setPositionX(float x)
{
    setPosition(ZTPoint(x, m_tPosition.y));
}

void ZTNode::setPositionY(float y)
{
    setPosition(ZTPoint(m_tPosition.x, y));
}

void ZTNode::getPosition(float* x, float* y) const
{
    *x = m_tPosition.x;
    *y = m_tPosition.y;
}

float ZTNode::getPositionX() const
{
    return m_tPosition.x;
}

float ZTNode::getPositionY() const
{
    return m_tPosition.y;
}

float ZTNode::getSkewX() const
{
    return m_fSkewX;
}

void ZTNode::setSkewX(float fSkewX)
{
    m_fSkewX = fSkewX;
    markTransformDirty();
}

float ZTNode::getSkewY() const
{
    return m_fSkewY;
}

void ZTNode::setSkewY(float fSkewY)
{
    m_fSkewY = fSkewY;
    markTransformDirty();
}

ZTArray* ZTNode::getChildren() const
{
    return m_pChildren;
}

unsigned int ZTNode::getChildrenCount() const
{
    return m_pChildren ? m_pChildren->count() : 0;
}

ZTCamera* ZTNode::getCamera()
{
    if (!m_pCamera) {
        m_pCamera = new ZTCamera();
    }
    return m_pCamera;
}

ZTNodeGrid* ZTNode::getGrid() const
{
    return m_pGrid;
}

void ZTNode::setGrid(ZTNodeGrid* pGrid)
{
    ZT_SAFE_RETAIN(pGrid);
    ZT_SAFE_RELEASE(m_pGrid);
    m_pGrid = pGrid;
}

bool ZTNode::getIsVisible() const
{
    return m_bIsVisible;
}

void ZTNode::setIsVisible(bool bIsVisible)
{
    if (bIsVisible == m_bIsVisible) {
        return;
    }
    m_bIsVisible = bIsVisible;
    const bool hidden = !m_bIsVisible || m_bIsAnyAncestorInvisible;
    for (unsigned int i = 0; i < getChildrenCount(); ++i) {
        static_cast<ZTNode*>(m_pChildren->objectAtIndex(i))->setIsAnyAncestorInvisible(hidden);
    }
    m_bVisibilityChanged = true;
}

void ZTNode::setIsAnyAncestorInvisible(bool bInvisible)
{
    if (bInvisible == m_bIsAnyAncestorInvisible) {
        return;
    }
    m_bVisibilityChanged = true;
    m_bIsAnyAncestorInvisible = bInvisible;
    const bool hidden = !m_bIsVisible || bInvisible;
    for (unsigned int i = 0; i < getChildrenCount(); ++i) {
        static_cast<ZTNode*>(m_pChildren->objectAtIndex(i))->setIsAnyAncestorInvisible(hidden);
    }
}

void ZTNode::setRotationInversionNode(ZTNode* pNode)
{
    m_pRotationInversionNode = pNode;
    markTransformDirty();
}

const ZTPoint& ZTNode::getAnchorPoint() const
{
    return m_tAnchorPoint;
}

void ZTNode::setAnchorPoint(const ZTPoint& point)
{
    if (ZTPoint::ZTPointEqualToPoint(point, m_tAnchorPoint)) {
        return;
    }
    m_tAnchorPoint = point;
    updateAnchorPointInPixels();
    markTransformDirty();
}

const ZTPoint& ZTNode::getAnchorPointInPixels() const
{
    return m_tAnchorPointInPixels;
}

const ZTSize& ZTNode::getContentSize() const
{
    return m_tContentSize;
}

void ZTNode::setContentSize(const ZTSize& size)
{
    if (ZTSize::ZTSizeEqualToSize(size, m_tContentSize)) {
        return;
    }
    m_tContentSize = size;
    const float factor = contentScaleFactor();
    if (factor == 1.0f) {
        m_tContentSizeInPixels = size;
    } else {
        m_tContentSizeInPixels = ZTSize(size.width * factor, size.height * factor);
    }
    updateAnchorPointInPixels();
    markTransformDirty();
}

const ZTSize& ZTNode::getContentSizeInPixels() const
{
    return m_tContentSizeInPixels;
}

void ZTNode::setContentSizeInPixels(const ZTSize& size)
{
    if (ZTSize::ZTSizeEqualToSize(size, m_tContentSizeInPixels)) {
        return;
    }
    m_tContentSizeInPixels = size;
    const float factor = contentScaleFactor();
    if (factor == 1.0f) {
        m_tContentSize = size;
    } else {
        m_tContentSize = ZTSize(size.width / factor, size.height / factor);
    }
    updateAnchorPointInPixels();
    markTransformDirty();
}

void ZTNode::updateAnchorPointInPixels()
{
    m_tAnchorPointInPixels = ZTPoint(m_tContentSizeInPixels.width * m_tAnchorPoint.x,
                                     m_tContentSizeInPixels.height * m_tAnchorPoint.y);
}

void ZTNode::markTransformDirty()
{
    m_bIsTransformDirty = m_bIsInverseDirty = m_bIsTransformGLDirty = true;
}

bool ZTNode::getIsRunning() const
{
    return m_bIsRunning;
}

ZTNode* ZTNode::getParent() const
{
    return m_pParent;
}

void ZTNode::setParent(ZTNode* pParent)
{
    m_pParent = pParent;
}

bool ZTNode::getIsRelativeAnchorPoint() const
{
    return m_bIsRelativeAnchorPoint;
}

void ZTNode::setIsRelativeAnchorPoint(bool bRelative)
{
    m_bIsRelativeAnchorPoint = bRelative;
    markTransformDirty();
}

int ZTNode::getTag() const
{
    return m_nTag;
}

void ZTNode::setTag(int nTag)
{
    m_nTag = nTag;
}

void* ZTNode::getUserData() const
{
    return m_pUserData;
}

void ZTNode::setUserData(void* pUserData)
{
    m_pUserData = pUserData;
}

void ZTNode::getTransformValues(transformValues_* pValues) const
{
    pValues->pos = m_tPositionInPixels;
    pValues->scaleX = m_fScaleX;
    pValues->scaleY = m_fScaleY;
    pValues->rotation = m_fRotation;
    pValues->skewX = m_fSkewX;
    pValues->skewY = m_fSkewY;
    pValues->ap = m_tAnchorPointInPixels;
    pValues->visible = m_bIsVisible;
}

char* ZTNode::description() const
{
    char* text = new char[100];
    std::snprintf(text, 100, "<ZTNode | Tag = %d>", m_nTag);
    return text;
}

// Children

void ZTNode::childrenAlloc()
{
    m_pChildren = new ZTArray();
    m_pChildren->initWithCapacity(4);
}

void ZTNode::insertChild(ZTNode* child, int z)
{
    ZTNode* last = static_cast<ZTNode*>(m_pChildren->lastObject());
    if (!last || last->getZOrder() <= z) {
        m_pChildren->addObject(child);
    } else {
        unsigned int index = 0;
        while (static_cast<ZTNode*>(m_pChildren->objectAtIndex(index))->m_nZOrder <= z) {
            ++index;
        }
        m_pChildren->insertObject(child, index);
    }
    child->setZOrder(z);
}

void ZTNode::addChild(ZTNode* child, int zOrder, int tag)
{
    ZTAssert(child != nullptr, "child != __null");
    ZTAssert(child->m_pParent == nullptr, "child->m_pParent == __null");
    if (!m_pChildren) {
        childrenAlloc();
    }
    insertChild(child, zOrder);
    child->setTag(tag);
    child->setParent(this);
    // Its place in the world changed with its parent even where its own position did not.
    child->markTransformDirty();
    child->refreshCachedWorldTransforms();
    child->setIsAnyAncestorInvisible(!m_bIsVisible || m_bIsAnyAncestorInvisible);
    if (m_bIsRunning) {
        child->onEnter();
        child->onEnterTransitionDidFinish();
    }
}

void ZTNode::addChild(ZTNode* child, int zOrder)
{
    ZTAssert(child != nullptr, "child != __null");
    addChild(child, zOrder, child->m_nTag);
}

void ZTNode::addChild(ZTNode* child)
{
    ZTAssert(child != nullptr, "child != __null");
    addChild(child, child->m_nZOrder, child->m_nTag);
}

void ZTNode::removeFromParentAndCleanup(bool cleanup)
{
    if (m_pParent) {
        m_pParent->removeChild(this, cleanup);
    }
}

void ZTNode::removeChild(ZTNode* child, bool cleanup)
{
    if (!m_pChildren || !child || !m_pChildren->containsObject(child)) {
        return;
    }
    detachChild(child, cleanup);
}

void ZTNode::removeChildByTag(int tag, bool cleanup)
{
    ZTAssert(tag != kZTNodeTagInvalid, "tag != kZTNodeTagInvalid");
    ZTNode* child = getChildByTag(tag);
    if (child) {
        removeChild(child, cleanup);
    }
}

void ZTNode::removeAllChildrenWithCleanup(bool cleanup)
{
    if (!m_pChildren) {
        return;
    }
    for (unsigned int i = 0; i < m_pChildren->count(); ++i) {
        ZTNode* child = static_cast<ZTNode*>(m_pChildren->objectAtIndex(i));
        if (m_bIsRunning) {
            child->onExit();
        }
        if (cleanup) {
            child->cleanup();
        }
        child->setParent(nullptr);
    }
    m_pChildren->removeAllObjects();
}

void ZTNode::detachChild(ZTNode* child, bool doCleanup)
{
    if (m_bIsRunning) {
        child->onExit();
    }
    if (doCleanup) {
        child->cleanup();
    }
    child->setParent(nullptr);
    m_pChildren->removeObject(child);
}

void ZTNode::reorderChild(ZTNode* child, int zOrder)
{
    ZTAssert(child != nullptr, "child != __null");
    if (!m_pChildren || !m_pChildren->containsObject(child)) {
        ZTLog("ZTNode: WARNING: reorderChild with a node that is not a child of this node is ignored\n");
        return;
    }
    child->retain();
    m_pChildren->removeObject(child);
    insertChild(child, zOrder);
    child->release();
}

ZTNode* ZTNode::getChildByTag(int tag) const
{
    ZTAssert(tag != kZTNodeTagInvalid, "aTag != kZTNodeTagInvalid");
    for (unsigned int i = 0; i < getChildrenCount(); ++i) {
        ZTNode* child = static_cast<ZTNode*>(m_pChildren->objectAtIndex(i));
        if (child->m_nTag == tag) {
            return child;
        }
    }
    return nullptr;
}

// Life cycle

void ZTNode::onEnter()
{
    for (unsigned int i = 0; i < getChildrenCount(); ++i) {
        static_cast<ZTNode*>(m_pChildren->objectAtIndex(i))->onEnter();
    }
    // What its owner paused stays paused, wherever in the tree the node is put back.
    if (!m_bIsPausedByCaller) {
        ZTDirector::sharedDirector()->getScheduler()->resumeTarget(this);
        ZTDirector::sharedDirector()->getActionManager()->resumeTarget(this);
    }
    m_bIsRunning = true;
    if (m_nScriptHandler) {
        if (ZTScriptEngineProtocol* engine = scriptEngine()) {
            engine->executeNodeEvent(m_nScriptHandler, 0);
        }
    }
}

void ZTNode::onEnterTransitionDidFinish()
{
    for (unsigned int i = 0; i < getChildrenCount(); ++i) {
        static_cast<ZTNode*>(m_pChildren->objectAtIndex(i))->onEnterTransitionDidFinish();
    }
}

void ZTNode::onExit()
{
    ZTDirector::sharedDirector()->getScheduler()->pauseTarget(this);
    ZTDirector::sharedDirector()->getActionManager()->pauseTarget(this);
    m_bIsRunning = false;
    if (m_nScriptHandler) {
        if (ZTScriptEngineProtocol* engine = scriptEngine()) {
            engine->executeNodeEvent(m_nScriptHandler, 1);
        }
    }
    for (unsigned int i = 0; i < getChildrenCount(); ++i) {
        static_cast<ZTNode*>(m_pChildren->objectAtIndex(i))->onExit();
    }
}

void ZTNode::cleanup()
{
    stopAllActions();
    unscheduleAllSelectors();
    for (unsigned int i = 0; i < getChildrenCount(); ++i) {
        static_cast<ZTNode*>(m_pChildren->objectAtIndex(i))->cleanup();
    }
}

void ZTNode::registerScriptHandler(int nHandler)
{
    unregisterScriptHandler();
    m_nScriptHandler = nHandler;
}

void ZTNode::unregisterScriptHandler()
{
    if (m_nScriptHandler) {
        if (ZTScriptEngineProtocol* engine = scriptEngine()) {
            engine->removeScriptHandler(m_nScriptHandler);
        }
        m_nScriptHandler = 0;
    }
}

// Actions and scheduling

ZTAction* ZTNode::runAction(ZTAction* action)
{
    ZTAssert(action != nullptr, "action != __null");
    // Paused by its owner, it stays paused for what it is given until resumed, whatever was left of it.
    ZTDirector::sharedDirector()->getActionManager()->addAction(action, this,
                                                                !m_bIsRunning || m_bIsPausedByCaller);
    return action;
}

void ZTNode::stopAllActions()
{
    ZTDirector::sharedDirector()->getActionManager()->removeAllActionsFromTarget(this);
}

void ZTNode::stopAction(ZTAction* action)
{
    ZTDirector::sharedDirector()->getActionManager()->removeAction(action);
}

void ZTNode::stopActionByTag(int tag)
{
    ZTAssert(tag != kZTActionTagInvalid, "tag != kZTActionTagInvalid");
    ZTDirector::sharedDirector()->getActionManager()->removeActionByTag(static_cast<unsigned int>(tag), this);
}

ZTAction* ZTNode::getActionByTag(int tag)
{
    ZTAssert(tag != kZTActionTagInvalid, "tag != kZTActionTagInvalid");
    return ZTDirector::sharedDirector()->getActionManager()->getActionByTag(static_cast<unsigned int>(tag),
                                                                            this);
}

unsigned int ZTNode::numberOfRunningActions()
{
    return ZTDirector::sharedDirector()->getActionManager()->numberOfRunningActionsInTarget(this);
}

void ZTNode::scheduleUpdate()
{
    scheduleUpdateWithPriority(0);
}

void ZTNode::scheduleUpdateWithPriority(int priority)
{
    ZTDirector::sharedDirector()->getScheduler()->scheduleUpdateForTarget(
        this, priority, !m_bIsRunning || m_bIsPausedByCaller);
}

void ZTNode::unscheduleUpdate()
{
    ZTDirector::sharedDirector()->getScheduler()->unscheduleUpdateForTarget(this);
}

void ZTNode::schedule(SEL_SCHEDULE selector)
{
    schedule(selector, 0.0f);
}

void ZTNode::schedule(SEL_SCHEDULE selector, float interval)
{
    ZTAssert(selector, "selector");
    ZTAssert(interval >= 0, "interval >=0");
    ZTDirector::sharedDirector()->getScheduler()->scheduleSelector(selector, this, interval,
                                                                   !m_bIsRunning || m_bIsPausedByCaller);
}

void ZTNode::unschedule(SEL_SCHEDULE selector)
{
    if (!selector) {
        return;
    }
    ZTDirector::sharedDirector()->getScheduler()->unscheduleSelector(selector, this);
}

void ZTNode::unscheduleAllSelectors()
{
    ZTDirector::sharedDirector()->getScheduler()->unscheduleAllSelectorsForTarget(this);
}

void ZTNode::pauseSchedulerAndActions()
{
    m_bIsPausedByCaller = true;
    ZTDirector::sharedDirector()->getScheduler()->pauseTarget(this);
    ZTDirector::sharedDirector()->getActionManager()->pauseTarget(this);
}

void ZTNode::resumeSchedulerAndActions()
{
    m_bIsPausedByCaller = false;
    ZTDirector::sharedDirector()->getScheduler()->resumeTarget(this);
    ZTDirector::sharedDirector()->getActionManager()->resumeTarget(this);
}

// Drawing

void ZTNode::draw() {}

ZTNode::VisitFrame ZTNode::beginVisitTransform()
{
    const bool gridActive = m_pGrid && m_pGrid->isActive();
    if (!gridActive && !m_pCamera) {
        updateTransform();
        ZTGLStack::saveModelViewTimes(m_tTransform, m_fVertexZ);
        return VisitFrame::Cpu;
    }
    ZTGLStack::pushMatrix();
    if (gridActive) {
        m_pGrid->beforeDraw();
        transformAncestors();
    }
    transform();
    return gridActive ? VisitFrame::Grid : VisitFrame::GL;
}

void ZTNode::endVisitTransform(VisitFrame frame)
{
    if (frame == VisitFrame::Cpu) {
        ZTGLStack::restoreModelView();
        return;
    }
    if (frame == VisitFrame::Grid) {
        m_pGrid->afterDraw(this);
    }
    ZTGLStack::popMatrix();
}

void ZTNode::visit()
{
    if (!m_bIsVisible) {
        return;
    }
    const VisitFrame frame = beginVisitTransform();

    // Children may be added during the visit: the array and its count are read again on every round.
    unsigned int i = 0;
    for (; m_pChildren && i < m_pChildren->data->num; ++i) {
        ZTNode* child = static_cast<ZTNode*>(m_pChildren->data->arr[i]);
        if (child->m_nZOrder >= 0) {
            break;
        }
        child->visit();
    }
    if (m_bIsDrawableNode) {
        draw();
    }
    for (; m_pChildren && i < m_pChildren->data->num; ++i) {
        static_cast<ZTNode*>(m_pChildren->data->arr[i])->visit();
    }
    endVisitTransform(frame);
}

void ZTNode::refreshCachedWorldTransforms()
{
    // The parents' places as they are now: one may have moved since the last visit cached it (a node
    // placed just after it was added, for one).
    ZTAffineTransform parentToWorld = ZTAffineTransformIdentity;
    for (ZTNode* ancestor = m_pParent; ancestor; ancestor = ancestor->m_pParent) {
        parentToWorld = ZTAffineTransformConcat(parentToWorld, ancestor->nodeToParentTransform());
    }
    refreshCachedWorldTransformsBelow(parentToWorld);
}

void ZTNode::refreshCachedWorldTransformsBelow(const ZTAffineTransform& parentToWorld)
{
    m_tCachedNodeToWorldTransform = ZTAffineTransformConcat(nodeToParentTransform(), parentToWorld);
    // Batched sprites drawn before the next visit reaches them rewrite their quads from it.
    m_bIsAncestorDirty = true;
    for (unsigned int i = 0; i < getChildrenCount(); ++i) {
        static_cast<ZTNode*>(m_pChildren->objectAtIndex(i))
            ->refreshCachedWorldTransformsBelow(m_tCachedNodeToWorldTransform);
    }
}

void ZTNode::transformAncestors()
{
    if (m_pParent) {
        m_pParent->transformAncestors();
        m_pParent->transform();
    }
}

void ZTNode::updateTransform()
{
    // A node whose matrix was rebuilt outside a visit (bounding box, conversions) still counts as
    // changed, so that its descendants refresh their cached world transforms too.
    m_bIsAncestorDirty =
        m_bIsTransformDirty || m_bIsTransformGLDirty || (m_pParent && m_pParent->m_bIsAncestorDirty);

    bool changed = false;
    if (m_bIsTransformGLDirty) {
        nodeToParentTransform();
        m_bIsTransformGLDirty = false;
        changed = true;
    } else if (m_bIsAncestorDirty && m_pRotationInversionNode) {
        // The cancelled rotations belong to ancestors, so their change rebuilds this matrix too.
        m_bIsTransformDirty = true;
        nodeToParentTransform();
        changed = true;
    }

    if (changed || m_bIsAncestorDirty) {
        m_tCachedNodeToWorldTransform =
            m_pParent ? concatenated(m_tTransform, m_pParent->m_tCachedNodeToWorldTransform) : m_tTransform;
    }
}

void ZTNode::transform()
{
    updateTransform();
    ZTGLStack::multModelView(m_tTransform, m_fVertexZ);

    if (m_pCamera && !(m_pGrid && m_pGrid->isActive())) {
        if (!isZero(m_tAnchorPointInPixels)) {
            glTranslated(m_tAnchorPointInPixels.x, m_tAnchorPointInPixels.y, 0);
            m_pCamera->locate();
            glTranslated(-m_tAnchorPointInPixels.x, -m_tAnchorPointInPixels.y, 0);
        } else {
            m_pCamera->locate();
        }
    }
}

// Coordinates

ZTAffineTransform ZTNode::nodeToParentTransform()
{
    if (!m_bIsTransformDirty) {
        return m_tTransform;
    }
    ZTAffineTransform t = ZTAffineTransformIdentity;
    if (!m_bIsRelativeAnchorPoint && !isZero(m_tAnchorPointInPixels)) {
        t = translated(t, m_tAnchorPointInPixels.x, m_tAnchorPointInPixels.y);
    }
    if ((m_nTransformMask & 1) && !isZero(m_tPositionInPixels)) {
        t = translated(t, m_tPositionInPixels.x, m_tPositionInPixels.y);
    }
    if (m_nTransformMask & 2) {
        float angle = m_fRotation;
        if (m_pRotationInversionNode) {
            for (ZTNode* ancestor = getParent(); ancestor; ancestor = ancestor->getParent()) {
                angle -= ancestor->getRotation();
                if (ancestor == m_pRotationInversionNode) {
                    break;
                }
            }
        }
        if (angle != 0.0f) {
            t = ZTAffineTransformRotate(t, angle * -0.0174532924f);
        }
    }
    if ((m_nTransformMask & 8) && (m_fSkewX != 0.0f || m_fSkewY != 0.0f)) {
        const ZTAffineTransform skew{
            1.0f, std::tan(m_fSkewY * 0.0174532924f), std::tan(m_fSkewX * 0.0174532924f), 1.0f, 0.0f, 0.0f};
        t = concatenated(skew, t);
    }
    if ((m_nTransformMask & 4) && !(m_fScaleX == 1.0f && m_fScaleY == 1.0f)) {
        t = ZTAffineTransform{t.a * m_fScaleX, t.b * m_fScaleX, t.c * m_fScaleY, t.d * m_fScaleY, t.tx, t.ty};
    }
    if (!isZero(m_tAnchorPointInPixels)) {
        t = translated(t, -m_tAnchorPointInPixels.x, -m_tAnchorPointInPixels.y);
    }
    m_tTransform = t;
    m_bIsTransformDirty = false;
    return m_tTransform;
}

ZTAffineTransform ZTNode::parentToNodeTransform()
{
    if (m_bIsInverseDirty) {
        m_tInverse = ZTAffineTransformInvert(nodeToParentTransform());
        m_bIsInverseDirty = false;
    }
    return m_tInverse;
}

ZTAffineTransform ZTNode::nodeToWorldTransform()
{
    ZTAffineTransform t = nodeToParentTransform();
    if (m_pParent) {
        t = ZTAffineTransformConcat(t, m_pParent->m_tCachedNodeToWorldTransform);
    }
    return t;
}

ZTAffineTransform ZTNode::worldToNodeTransform()
{
    return ZTAffineTransformInvert(nodeToWorldTransform());
}

ZTPoint ZTNode::convertToNodeSpace(const ZTPoint& worldPoint)
{
    const float factor = contentScaleFactor();
    if (factor == 1.0f) {
        return __ZTPointApplyAffineTransform(worldPoint, worldToNodeTransform());
    }
    ZTPoint p = __ZTPointApplyAffineTransform(ZTPoint(worldPoint.x * factor, worldPoint.y * factor),
                                              worldToNodeTransform());
    return ZTPoint(p.x / factor, p.y / factor);
}

ZTPoint ZTNode::convertToWorldSpace(const ZTPoint& nodePoint)
{
    const float factor = contentScaleFactor();
    if (factor == 1.0f) {
        return __ZTPointApplyAffineTransform(nodePoint, nodeToWorldTransform());
    }
    ZTPoint p = __ZTPointApplyAffineTransform(ZTPoint(nodePoint.x * factor, nodePoint.y * factor),
                                              nodeToWorldTransform());
    return ZTPoint(p.x / factor, p.y / factor);
}

ZTPoint ZTNode::convertToNodeSpaceAR(const ZTPoint& worldPoint)
{
    const float factor = contentScaleFactor();
    ZTPoint anchor = m_tAnchorPointInPixels;
    if (factor != 1.0f) {
        anchor = ZTPoint(anchor.x / factor, anchor.y / factor);
    }
    ZTPoint p = convertToNodeSpace(worldPoint);
    return ZTPoint(p.x - anchor.x, p.y - anchor.y);
}

ZTPoint ZTNode::convertToWorldSpaceAR(const ZTPoint& nodePoint)
{
    const float factor = contentScaleFactor();
    ZTPoint anchor = m_tAnchorPointInPixels;
    if (factor != 1.0f) {
        anchor = ZTPoint(anchor.x / factor, anchor.y / factor);
    }
    return convertToWorldSpace(ZTPoint(nodePoint.x + anchor.x, nodePoint.y + anchor.y));
}

ZTPoint ZTNode::convertToWindowSpace(const ZTPoint& nodePoint)
{
    return ZTDirector::sharedDirector()->convertToUI(convertToWorldSpace(nodePoint));
}

ZTPoint ZTNode::convertTouchToNodeSpace(ZTTouch* touch)
{
    ZTPoint point = ZTDirector::sharedDirector()->convertToGL(touch->locationInView());
    return convertToNodeSpace(point);
}

ZTPoint ZTNode::convertTouchToNodeSpaceAR(ZTTouch* touch)
{
    ZTPoint point = ZTDirector::sharedDirector()->convertToGL(touch->locationInView());
    return convertToNodeSpaceAR(point);
}

ZTRect ZTNode::boundingBoxInPixels()
{
    ZTRect rect;
    rect.size = m_tContentSizeInPixels;
    return ZTRectApplyAffineTransform(rect, nodeToParentTransform());
}

ZTRect ZTNode::boundingBox()
{
    ZTRect rect = boundingBoxInPixels();
    const float factor = contentScaleFactor();
    rect.origin = ZTPoint(rect.origin.x / factor, rect.origin.y / factor);
    rect.size = ZTSize(rect.size.width / factor, rect.size.height / factor);
    return rect;
}

} // namespace zanth2d
