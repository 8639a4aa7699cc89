#include "actions/ZTActionGrid.h"

#include <cmath>

#include "ZTMacros.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "platform/ZTCommon.h"

namespace zanth2d {

namespace {

ZTGridBase* gridOf(ZTNode* pNode)
{
    return pNode ? dynamic_cast<ZTGridBase*>(pNode->getGrid()) : nullptr;
}

// The amplitude wrapper T over the inner action's reverse; null when there is none.
template <typename T> ZTActionInterval* reversedAmplitude(ZTActionInterval* pOther, float duration)
{
    ZTActionInterval* pReverse = pOther->reverse();
    return pReverse ? T::actionWithAction(pReverse, duration) : nullptr;
}

} // namespace

//
// ZTGridAction
//

bool ZTGridAction::initWithSize(const ztGridSize& gridSize, float duration)
{
    if (gridSize.x < 1 || gridSize.y < 1) {
        ZTLog("ZTGridAction: WARNING: a grid of %d x %d tiles is refused: it needs at least one tile\n", gridSize.x,
              gridSize.y);
        return false;
    }
    ZTActionInterval::initWithDuration(duration);
    m_sGridSize = gridSize;
    return true;
}

ZTObject* ZTGridAction::copyWithZone(ZTZone* pZone)
{
    auto* pCopy = static_cast<ZTGridAction*>(pZone->m_pCopyObject);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithSize(m_sGridSize, m_fDuration);
    return pCopy;
}

void ZTGridAction::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    ZTGridBase* pKept = gridOf(pTarget);
    if (pKept && pKept->getReuseGrid() > 0) {
        if (pKept->isActive() && isGridOfThisKind(pKept) && pKept->getGridSize() == m_sGridSize) {
            pKept->reuse();
            return;
        }
        ZTLog("ZTGridAction: WARNING: the grid kept for reuse is inactive, of another kind or of another size; "
              "a new grid replaces it\n");
    }
    ZTGridBase* pNewGrid = getGrid();
    if (!pNewGrid) {
        return;
    }
    if (pKept && pKept->isActive()) {
        pKept->setActive(false);
    }
    pTarget->setGrid(pNewGrid);
    pNewGrid->setActive(true);
}

ZTActionInterval* ZTGridAction::reverse()
{
    return ZTReverseTime::actionWithAction(this);
}

ZTGridBase* ZTGridAction::targetGrid() const
{
    ZTGridBase* pGrid = gridOf(m_pTarget);
    return pGrid && isGridOfThisKind(pGrid) && pGrid->getGridSize() == m_sGridSize ? pGrid : nullptr;
}

//
// ZTGrid3DAction
//

ZTGrid3DAction* ZTGrid3DAction::actionWithSize(const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTGrid3DAction>([&](ZTGrid3DAction* p) { return p->initWithSize(gridSize, duration); });
}

ZTObject* ZTGrid3DAction::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTGrid3DAction* pCopy = copyObjectForZone<ZTGrid3DAction>(pZone, local);
    ZTGridAction::copyWithZone(pZone);
    return pCopy;
}

ZTGridBase* ZTGrid3DAction::getGrid()
{
    return ZTGrid3D::gridWithSize(m_sGridSize);
}

bool ZTGrid3DAction::isGridOfThisKind(ZTGridBase* pGrid) const
{
    return dynamic_cast<ZTGrid3D*>(pGrid) != nullptr;
}

ZTGrid3D* ZTGrid3DAction::grid3D() const
{
    return static_cast<ZTGrid3D*>(targetGrid());
}

ztVertex3F ZTGrid3DAction::vertex(const ztGridSize& pos) const
{
    ZTGrid3D* pGrid = grid3D();
    return pGrid ? pGrid->vertex(pos) : ztVertex3F{0, 0, 0};
}

ztVertex3F ZTGrid3DAction::originalVertex(const ztGridSize& pos) const
{
    ZTGrid3D* pGrid = grid3D();
    return pGrid ? pGrid->originalVertex(pos) : ztVertex3F{0, 0, 0};
}

void ZTGrid3DAction::setVertex(const ztGridSize& pos, const ztVertex3F& vertex)
{
    if (ZTGrid3D* pGrid = grid3D()) {
        pGrid->setVertex(pos, vertex);
    }
}

//
// ZTTiledGrid3DAction
//

ZTTiledGrid3DAction* ZTTiledGrid3DAction::actionWithSize(const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTTiledGrid3DAction>(
        [&](ZTTiledGrid3DAction* p) { return p->initWithSize(gridSize, duration); });
}

ZTObject* ZTTiledGrid3DAction::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTTiledGrid3DAction* pCopy = copyObjectForZone<ZTTiledGrid3DAction>(pZone, local);
    ZTGridAction::copyWithZone(pZone);
    return pCopy;
}

ZTGridBase* ZTTiledGrid3DAction::getGrid()
{
    return ZTTiledGrid3D::gridWithSize(m_sGridSize);
}

bool ZTTiledGrid3DAction::isGridOfThisKind(ZTGridBase* pGrid) const
{
    return dynamic_cast<ZTTiledGrid3D*>(pGrid) != nullptr;
}

ZTTiledGrid3D* ZTTiledGrid3DAction::tiledGrid() const
{
    return static_cast<ZTTiledGrid3D*>(targetGrid());
}

ztQuad3 ZTTiledGrid3DAction::tile(const ztGridSize& pos) const
{
    ZTTiledGrid3D* pGrid = tiledGrid();
    return pGrid ? pGrid->tile(pos) : ztQuad3{};
}

ztQuad3 ZTTiledGrid3DAction::originalTile(const ztGridSize& pos) const
{
    ZTTiledGrid3D* pGrid = tiledGrid();
    return pGrid ? pGrid->originalTile(pos) : ztQuad3{};
}

void ZTTiledGrid3DAction::setTile(const ztGridSize& pos, const ztQuad3& coords)
{
    if (ZTTiledGrid3D* pGrid = tiledGrid()) {
        pGrid->setTile(pos, coords);
    }
}

ZTPoint ZTTiledGrid3DAction::gridStep() const
{
    ZTTiledGrid3D* pGrid = tiledGrid();
    return pGrid ? pGrid->getStep() : ZTPoint();
}

void ZTTiledGrid3DAction::turnOnTile(const ztGridSize& pos)
{
    setTile(pos, originalTile(pos));
}

void ZTTiledGrid3DAction::turnOffTile(const ztGridSize& pos)
{
    setTile(pos, ztQuad3{});
}

//
// Amplitude wrappers
//

ZTAmplitudeAction::~ZTAmplitudeAction()
{
    ZT_SAFE_RELEASE(m_pOther);
}

bool ZTAmplitudeAction::initWithAction(ZTActionInterval* pAction, float duration)
{
    if (!pAction) {
        ZTLog("ZTAmplitudeAction: WARNING: an amplitude action needs an inner action\n");
        return false;
    }
    ZTActionInterval::initWithDuration(duration);
    m_fRate = 1.0f;
    pAction->retain();
    ZT_SAFE_RELEASE(m_pOther);
    m_pOther = pAction;
    return true;
}

void ZTAmplitudeAction::copyInto(ZTAmplitudeAction* pCopy, ZTZone* pZone)
{
    ZTActionInterval::copyWithZone(pZone);
    auto* pInner = static_cast<ZTActionInterval*>(m_pOther->copy());
    pCopy->initWithAction(pInner, m_fDuration);
    pInner->release();
}

void ZTAmplitudeAction::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_pOther->startWithTarget(pTarget);
}

void ZTAmplitudeAction::update(float t)
{
    m_pOther->setAmplitudeRate(amplitudeAt(t));
    m_pOther->update(t);
}

ZTAccelDeccelAmplitude* ZTAccelDeccelAmplitude::actionWithAction(ZTActionInterval* pAction, float duration)
{
    return ztMakeAutoreleased<ZTAccelDeccelAmplitude>(
        [=](ZTAccelDeccelAmplitude* p) { return p->initWithAction(pAction, duration); });
}

ZTObject* ZTAccelDeccelAmplitude::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTAccelDeccelAmplitude* pCopy = copyObjectForZone<ZTAccelDeccelAmplitude>(pZone, local);
    copyInto(pCopy, pZone);
    return pCopy;
}

ZTActionInterval* ZTAccelDeccelAmplitude::reverse()
{
    return reversedAmplitude<ZTAccelDeccelAmplitude>(m_pOther, m_fDuration);
}

float ZTAccelDeccelAmplitude::amplitudeAt(float t) const
{
    float f = t * 2;
    if (f > 1) {
        f = 1 - (f - 1);
    }
    return std::pow(f, m_fRate);
}

ZTAccelAmplitude* ZTAccelAmplitude::actionWithAction(ZTActionInterval* pAction, float duration)
{
    return ztMakeAutoreleased<ZTAccelAmplitude>(
        [=](ZTAccelAmplitude* p) { return p->initWithAction(pAction, duration); });
}

ZTObject* ZTAccelAmplitude::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTAccelAmplitude* pCopy = copyObjectForZone<ZTAccelAmplitude>(pZone, local);
    copyInto(pCopy, pZone);
    return pCopy;
}

ZTActionInterval* ZTAccelAmplitude::reverse()
{
    return reversedAmplitude<ZTAccelAmplitude>(m_pOther, m_fDuration);
}

float ZTAccelAmplitude::amplitudeAt(float t) const
{
    return std::pow(t, m_fRate);
}

ZTDeccelAmplitude* ZTDeccelAmplitude::actionWithAction(ZTActionInterval* pAction, float duration)
{
    return ztMakeAutoreleased<ZTDeccelAmplitude>(
        [=](ZTDeccelAmplitude* p) { return p->initWithAction(pAction, duration); });
}

ZTObject* ZTDeccelAmplitude::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTDeccelAmplitude* pCopy = copyObjectForZone<ZTDeccelAmplitude>(pZone, local);
    copyInto(pCopy, pZone);
    return pCopy;
}

ZTActionInterval* ZTDeccelAmplitude::reverse()
{
    return reversedAmplitude<ZTDeccelAmplitude>(m_pOther, m_fDuration);
}

float ZTDeccelAmplitude::amplitudeAt(float t) const
{
    return std::pow(1 - t, m_fRate);
}

//
// ZTStopGrid, ZTReuseGrid
//

ZTStopGrid* ZTStopGrid::action()
{
    return ztMakeAutoreleased<ZTStopGrid>([](ZTStopGrid*) { return true; });
}

ZTObject* ZTStopGrid::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTStopGrid* pCopy = copyObjectForZone<ZTStopGrid>(pZone, local);
    ZTActionInstant::copyWithZone(pZone);
    return pCopy;
}

void ZTStopGrid::startWithTarget(ZTNode* pTarget)
{
    ZTActionInstant::startWithTarget(pTarget);
    ZTGridBase* pGrid = gridOf(pTarget);
    if (pGrid && pGrid->isActive()) {
        pGrid->setActive(false);
    }
}

ZTReuseGrid* ZTReuseGrid::actionWithTimes(int times)
{
    return ztMakeAutoreleased<ZTReuseGrid>([=](ZTReuseGrid* p) { return p->initWithTimes(times); });
}

bool ZTReuseGrid::initWithTimes(int times)
{
    m_nTimes = times;
    return true;
}

ZTObject* ZTReuseGrid::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTReuseGrid* pCopy = copyObjectForZone<ZTReuseGrid>(pZone, local);
    ZTActionInstant::copyWithZone(pZone);
    pCopy->initWithTimes(m_nTimes);
    return pCopy;
}

void ZTReuseGrid::startWithTarget(ZTNode* pTarget)
{
    ZTActionInstant::startWithTarget(pTarget);
    ZTGridBase* pGrid = gridOf(pTarget);
    if (pGrid && pGrid->isActive()) {
        pGrid->setReuseGrid(pGrid->getReuseGrid() + m_nTimes);
    }
}

} // namespace zanth2d
