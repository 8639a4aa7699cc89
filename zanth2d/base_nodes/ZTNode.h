#pragma once

#include "ZTScheduler.h"
#include "cocoa/ZTAffineTransform.h"
#include "cocoa/ZTGeometry.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTAction;
class ZTArray;
class ZTCamera;
class ZTNodeGrid;
class ZTTouch;

enum
{
    kZTNodeTagInvalid = -1,
};

// What a batch node reads of a child in one go.
struct transformValues_
{
    ZTPoint pos; // position in pixels
    float scaleX;
    float scaleY;
    float rotation; // degrees
    float skewX;    // degrees
    float skewY;    // degrees
    ZTPoint ap;     // anchor point in pixels
    bool visible;
};

// Element of the retained scene graph. Positions, sizes and anchors exist in points and in pixels
// (points x the director's content scale factor); transforms are kept in pixels; angles are degrees.
// Children are kept sorted by z order, equal z orders in insertion order; the node retains its children,
// a child does not retain its parent.
class ZTNode : public ZTObject
{
public:
    ZTNode();
    ~ZTNode() override;

    // An autoreleased node.
    static ZTNode* node();

    virtual int getZOrder() const;
    virtual float getVertexZ() const;
    virtual void setVertexZ(float fVertexZ);
    virtual float getRotation() const;
    virtual void setRotation(float fRotation);
    virtual float getScaleX() const;
    virtual void setScaleX(float fScaleX);
    virtual float getScaleY() const;
    virtual void setScaleY(float fScaleY);
    virtual const ZTPoint& getPosition() const;
    virtual void setPosition(const ZTPoint& position);
    virtual const ZTPoint& getPositionInPixels() const;
    virtual void setPositionInPixels(const ZTPoint& position);
    virtual float getSkewX() const;
    virtual void setSkewX(float fSkewX);
    virtual float getSkewY() const;
    virtual void setSkewY(float fSkewY);
    // Null until the first child is added.
    virtual ZTArray* getChildren() const;
    // Created on first use; owned by the node.
    virtual ZTCamera* getCamera();
    virtual ZTNodeGrid* getGrid() const;
    // Retains the new grid, releases the old one.
    virtual void setGrid(ZTNodeGrid* pGrid);
    virtual bool getIsVisible() const;
    virtual void setIsVisible(bool bIsVisible);
    virtual const ZTPoint& getAnchorPoint() const;
    virtual void setAnchorPoint(const ZTPoint& point);
    virtual const ZTPoint& getAnchorPointInPixels() const;
    virtual const ZTSize& getContentSize() const;
    virtual void setContentSize(const ZTSize& size);
    virtual const ZTSize& getContentSizeInPixels() const;
    virtual void setContentSizeInPixels(const ZTSize& size);
    virtual bool getIsRunning() const;
    virtual ZTNode* getParent() const;
    // Stores only; addChild and removeChild keep it in step with the tree.
    virtual void setParent(ZTNode* pParent);
    virtual bool getIsRelativeAnchorPoint() const;
    virtual void setIsRelativeAnchorPoint(bool bRelative);
    virtual int getTag() const;
    virtual void setTag(int nTag);
    virtual void* getUserData() const;
    // Not owned.
    virtual void setUserData(void* pUserData);

    virtual void onEnter();
    virtual void onEnterTransitionDidFinish();
    virtual void onExit();
    virtual void registerScriptHandler(int nHandler);
    virtual void unregisterScriptHandler();

    virtual void addChild(ZTNode* child);
    virtual void addChild(ZTNode* child, int zOrder);
    virtual void addChild(ZTNode* child, int zOrder, int tag);
    // Nothing when child is not a child of this node.
    virtual void removeChild(ZTNode* child, bool cleanup);
    virtual void removeAllChildrenWithCleanup(bool cleanup);
    // Moves the child after its siblings of the same z order; a node that is not a child is left alone
    // (with a warning).
    virtual void reorderChild(ZTNode* child, int zOrder);
    // Stops all actions and scheduled selectors of this subtree.
    virtual void cleanup();
    virtual void draw();
    // Draws this subtree: children with z order below 0, then this node, then the others.
    virtual void visit();

    void setScale(float scale);
    // Asserts that both scales are equal.
    float getScale() const;
    void setZOrder(int z);

    void setPosition(float x, float y);
    void setPositionInPixels(float x, float y);
    void setPositionX(float x);
    void setPositionY(float y);
    void getPosition(float* x, float* y) const;
    float getPositionX() const;
    float getPositionY() const;

    unsigned int getChildrenCount() const;

    // A container node can switch its own draw() off; its transform and children still apply.
    bool getIsDrawableNode() const { return m_bIsDrawableNode; }
    void setIsDrawableNode(bool bDrawable) { m_bIsDrawableNode = bDrawable; }
    // Whether some ancestor is hidden; kept up to date by setIsVisible and addChild.
    bool getIsAnyAncestorInvisible() const { return m_bIsAnyAncestorInvisible; }
    void setIsAnyAncestorInvisible(bool bInvisible);
    // Set whenever the visibility or the hidden-ancestor flag changes; batch nodes read and clear it.
    bool getVisibilityChanged() const { return m_bVisibilityChanged; }
    void setVisibilityChanged(bool bChanged) { m_bVisibilityChanged = bChanged; }
    // An ancestor (not retained) up to which the ancestors' rotations are cancelled; null for none.
    ZTNode* getRotationInversionNode() const { return m_pRotationInversionNode; }
    void setRotationInversionNode(ZTNode* pNode);

    const ZTAffineTransform& getCachedNodeToWorldTransform() const { return m_tCachedNodeToWorldTransform; }
    const ZTAffineTransform& getCachedNodeToParentTransform() const { return m_tTransform; }
    // Whether this node or an ancestor changed its transform since the previous visit.
    bool isAncestorDirty() const { return m_bIsAncestorDirty; }
    void getTransformValues(transformValues_* pValues) const;

    int getScriptHandler() const { return m_nScriptHandler; }

    // A new char[100] that the caller deletes.
    char* description() const;

    void removeFromParentAndCleanup(bool cleanup);
    void removeChildByTag(int tag, bool cleanup);
    // The first child with the tag, or null.
    ZTNode* getChildByTag(int tag) const;

    // Runs the action on this node (paused while the node is not running); returns it.
    ZTAction* runAction(ZTAction* action);
    void stopAllActions();
    void stopAction(ZTAction* action);
    void stopActionByTag(int tag);
    ZTAction* getActionByTag(int tag);
    unsigned int numberOfRunningActions();

    void scheduleUpdate();
    void scheduleUpdateWithPriority(int priority);
    void unscheduleUpdate();
    void schedule(SEL_SCHEDULE selector);
    // interval in seconds; 0 calls the selector every frame.
    void schedule(SEL_SCHEDULE selector, float interval);
    void unschedule(SEL_SCHEDULE selector);
    void unscheduleAllSelectors();
    // A pause given here outlasts leaving and entering the running tree (onExit, onEnter) until resumed,
    // and holds for the actions and selectors given to the node meanwhile.
    void pauseSchedulerAndActions();
    void resumeSchedulerAndActions();

    // Multiplies this node's transform onto the model-view matrix (used by visit and grids); a node with
    // a camera must be on GL's matrix (ZTGLStack::pushMatrix).
    void transform();
    // What transform() does but the multiplication: the node's transform, its dirty flags and its cached
    // world transform brought up to date.
    void updateTransform();
    void transformAncestors();

    // Transforms in pixels.
    ZTAffineTransform nodeToParentTransform();
    ZTAffineTransform parentToNodeTransform();
    // Uses the parent's world transform cached by the last visit.
    ZTAffineTransform nodeToWorldTransform();
    ZTAffineTransform worldToNodeTransform();

    // Conversions take and return points.
    ZTPoint convertToNodeSpace(const ZTPoint& worldPoint);
    ZTPoint convertToWorldSpace(const ZTPoint& nodePoint);
    ZTPoint convertToNodeSpaceAR(const ZTPoint& worldPoint);
    ZTPoint convertToWorldSpaceAR(const ZTPoint& nodePoint);
    ZTPoint convertToWindowSpace(const ZTPoint& nodePoint);
    ZTPoint convertTouchToNodeSpace(ZTTouch* touch);
    ZTPoint convertTouchToNodeSpaceAR(ZTTouch* touch);

    // The content rectangle in the parent's space.
    ZTRect boundingBox();
    ZTRect boundingBoxInPixels();

protected:
    void childrenAlloc();
    void insertChild(ZTNode* child, int z);
    void detachChild(ZTNode* child, bool doCleanup);
    void markTransformDirty();
    void updateAnchorPointInPixels();
    // The cached world transforms of this subtree, from its ancestors' places as they are now: a node
    // moved to another parent is at its new place before the next visit.
    void refreshCachedWorldTransforms();
    // The same from the parent's world transform.
    void refreshCachedWorldTransformsBelow(const ZTAffineTransform& parentToWorld);
    // How a visit's frame was opened, for the matching end call.
    enum class VisitFrame
    {
        // On the CPU matrix (see ZTGLStack).
        Cpu,
        // On GL's matrix, for a camera that multiplies onto it itself.
        GL,
        // On GL's matrix, drawn through the active grid.
        Grid,
    };
    // The frame of every visit: saves the matrix, starts an active grid and applies this node's
    // transform.
    VisitFrame beginVisitTransform();
    void endVisitTransform(VisitFrame frame);

    // What every visit reads comes first, so that it takes few cache lines: the tree, the flags and the
    // transforms; then what rebuilding a changed transform reads; the rest after them.
    ZTArray* m_pChildren = nullptr;
    ZTNode* m_pParent = nullptr;
    ZTNodeGrid* m_pGrid = nullptr;
    int m_nZOrder = 0;
    float m_fVertexZ = 0.0f;
    bool m_bIsVisible = true;
    bool m_bIsDrawableNode = true;
    bool m_bIsTransformDirty = true;
    // The transform changed since the last visit multiplied it onto the model-view matrix.
    bool m_bIsTransformGLDirty = true;
    bool m_bIsAncestorDirty = true;
    bool m_bIsInverseDirty = true;
    bool m_bIsAnyAncestorInvisible = false;
    bool m_bVisibilityChanged = false;
    ZTAffineTransform m_tTransform = ZTAffineTransformIdentity;
    ZTAffineTransform m_tCachedNodeToWorldTransform = ZTAffineTransformIdentity;
    ZTCamera* m_pCamera = nullptr;
    ZTNode* m_pRotationInversionNode = nullptr;

    ZTPoint m_tPositionInPixels;
    ZTPoint m_tAnchorPointInPixels;
    float m_fRotation = 0.0f;
    float m_fScaleX = 1.0f;
    float m_fScaleY = 1.0f;
    float m_fSkewX = 0.0f;
    float m_fSkewY = 0.0f;
    // Bits 1 position, 2 rotation, 4 scale, 8 skew: the parts nodeToParentTransform applies.
    int m_nTransformMask = 15;
    bool m_bIsRelativeAnchorPoint = true;

    ZTPoint m_tPosition;
    ZTPoint m_tAnchorPoint;
    ZTSize m_tContentSize;
    ZTSize m_tContentSizeInPixels;
    bool m_bIsRunning = false;
    // Set by pauseSchedulerAndActions, cleared by resumeSchedulerAndActions: onEnter then resumes nothing.
    bool m_bIsPausedByCaller = false;
    int m_nTag = kZTNodeTagInvalid;
    int m_nScriptHandler = 0;
    void* m_pUserData = nullptr;
    ZTAffineTransform m_tInverse = ZTAffineTransformIdentity;
};

} // namespace zanth2d
