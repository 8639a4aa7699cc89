#pragma once

#include "actions/ZTActionInstant.h"
#include "actions/ZTActionInterval.h"
#include "effects/ZTGrid.h"

namespace zanth2d {

// An action that draws its target through a grid and moves the grid's vertices in update(). Starting it
// installs and activates a new grid of its kind and size on the target, unless the target's active grid
// is kept for reuse (ZTReuseGrid); a kept grid that is inactive, of the other kind or of another size is
// replaced instead, with a warning. Grid sizes count tiles across and up; at least 1 x 1.
class ZTGridAction : public ZTActionInterval
{
public:
    // False (one warning) for a grid size below 1 x 1.
    virtual bool initWithSize(const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    // A ZTReverseTime over this action.
    ZTActionInterval* reverse() override;

    // A new autoreleased grid of this action's kind and size; null when it cannot be made.
    virtual ZTGridBase* getGrid() = 0;
    const ztGridSize& getGridSize() const { return m_sGridSize; }

protected:
    // Whether the grid is of the kind getGrid() makes.
    virtual bool isGridOfThisKind(ZTGridBase* pGrid) const = 0;
    // The target's grid when it is of this action's kind and size, else null.
    ZTGridBase* targetGrid() const;

    ztGridSize m_sGridSize{0, 0};
};

// Works on a lattice of shared vertices (ZTGrid3D).
class ZTGrid3DAction : public ZTGridAction
{
public:
    // Autoreleased; null (one warning) for a grid size below 1 x 1. duration in seconds.
    static ZTGrid3DAction* actionWithSize(const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    ZTGridBase* getGrid() override;

    // Lattice point pos of the target's grid; zero, and writes are dropped, while the target has no
    // grid of this action.
    ztVertex3F vertex(const ztGridSize& pos) const;
    ztVertex3F originalVertex(const ztGridSize& pos) const;
    void setVertex(const ztGridSize& pos, const ztVertex3F& vertex);

protected:
    bool isGridOfThisKind(ZTGridBase* pGrid) const override;
    ZTGrid3D* grid3D() const;
};

// Works on separate tiles (ZTTiledGrid3D).
class ZTTiledGrid3DAction : public ZTGridAction
{
public:
    // Autoreleased; null (one warning) for a grid size below 1 x 1. duration in seconds.
    static ZTTiledGrid3DAction* actionWithSize(const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    ZTGridBase* getGrid() override;

    // Tile pos of the target's grid; zero, and writes are dropped, while the target has no grid of this
    // action.
    ztQuad3 tile(const ztGridSize& pos) const;
    ztQuad3 originalTile(const ztGridSize& pos) const;
    void setTile(const ztGridSize& pos, const ztQuad3& coords);

protected:
    bool isGridOfThisKind(ZTGridBase* pGrid) const override;
    ZTTiledGrid3D* tiledGrid() const;
    // The size of one tile in pixels, (0, 0) without a grid.
    ZTPoint gridStep() const;
    // The tile as it was at the start.
    void turnOnTile(const ztGridSize& pos);
    // All twelve coordinates 0: the tile is not drawn.
    void turnOffTile(const ztGridSize& pos);
};

// The shared part of the amplitude wrappers: gives the inner action an amplitude rate computed from the
// time, then steps it with the same time. The inner action must take an amplitude rate.
class ZTAmplitudeAction : public ZTActionInterval
{
public:
    ~ZTAmplitudeAction() override;

    // False (one warning) without an action.
    bool initWithAction(ZTActionInterval* pAction, float duration);

    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

    float getRate() const { return m_fRate; }
    void setRate(float fRate) { m_fRate = fRate; }
    ZTActionInterval* getInnerAction() const { return m_pOther; }

protected:
    // The amplitude rate for time t.
    virtual float amplitudeAt(float t) const = 0;
    // Completes a copy made by a subclass: same duration, over a copy of the inner action.
    void copyInto(ZTAmplitudeAction* pCopy, ZTZone* pZone);

    ZTActionInterval* m_pOther = nullptr;
    float m_fRate = 1.0f;
};

// The amplitude rate rises from 0 to 1 at the middle and falls back to 0.
class ZTAccelDeccelAmplitude : public ZTAmplitudeAction
{
public:
    static ZTAccelDeccelAmplitude* actionWithAction(ZTActionInterval* pAction, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    // The same kind over the inner action's reverse, rate 1.0; null when the inner action has no reverse.
    ZTActionInterval* reverse() override;

protected:
    float amplitudeAt(float t) const override;
};

// The amplitude rate rises from 0 to 1 (t to the power rate).
class ZTAccelAmplitude : public ZTAmplitudeAction
{
public:
    static ZTAccelAmplitude* actionWithAction(ZTActionInterval* pAction, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    // The same kind over the inner action's reverse, rate 1.0; null when the inner action has no reverse.
    ZTActionInterval* reverse() override;

protected:
    float amplitudeAt(float t) const override;
};

// The amplitude rate falls from 1 to 0 ((1 - t) to the power rate).
class ZTDeccelAmplitude : public ZTAmplitudeAction
{
public:
    static ZTDeccelAmplitude* actionWithAction(ZTActionInterval* pAction, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    // The same kind over the inner action's reverse, rate 1.0; null when the inner action has no reverse.
    ZTActionInterval* reverse() override;

protected:
    float amplitudeAt(float t) const override;
};

// Switches the target's active grid off, so the node is drawn normally again.
class ZTStopGrid : public ZTActionInstant
{
public:
    static ZTStopGrid* action();

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
};

// Lets the next grid actions started on the target keep its active grid, distorted as it is, as their
// starting shape instead of making new ones.
class ZTReuseGrid : public ZTActionInstant
{
public:
    static ZTReuseGrid* actionWithTimes(int times);
    bool initWithTimes(int times);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;

protected:
    int m_nTimes = 0;
};

} // namespace zanth2d
