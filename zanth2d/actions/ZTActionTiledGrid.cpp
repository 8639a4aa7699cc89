#include "actions/ZTActionTiledGrid.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "platform/ZTCommon.h"

namespace zanth2d {

namespace {

const float kPi = 3.1415927f;

// rand() mod (2 * range) - range: -range ... range - 1.
float randomOffset(int range)
{
    return static_cast<float>(static_cast<long long>(std::rand()) % (2LL * range) - range);
}

// Moves the corners of a tile by random offsets: x of all four, then y, then z when asked.
void shake(ztQuad3* coords, int range, bool withZ)
{
    ztVertex3F* corners[4] = {&coords->bl, &coords->br, &coords->tl, &coords->tr};
    for (ztVertex3F* corner : corners) {
        corner->x += randomOffset(range);
    }
    for (ztVertex3F* corner : corners) {
        corner->y += randomOffset(range);
    }
    if (withZ) {
        for (ztVertex3F* corner : corners) {
            corner->z += randomOffset(range);
        }
    }
}

void moveTile(ztQuad3* coords, float dx, float dy)
{
    for (ztVertex3F* corner : {&coords->bl, &coords->br, &coords->tl, &coords->tr}) {
        corner->x += dx;
        corner->y += dy;
    }
}

void liftTile(ztQuad3* coords, float dz)
{
    for (ztVertex3F* corner : {&coords->bl, &coords->br, &coords->tl, &coords->tr}) {
        corner->z += dz;
    }
}

bool acceptsCount(const char* kind, const char* what, int count)
{
    if (count < 1) {
        ZTLog("%s: WARNING: a %s of %d is refused: it must be above 0\n", kind, what, count);
        return false;
    }
    return true;
}

// 0 ... count - 1 in a shuffled order: from the last entry down, each swaps with one drawn from those
// up to it. srand(seed) first unless the seed is -1.
std::vector<int> shuffledOrder(int seed, int count)
{
    if (seed != -1) {
        std::srand(static_cast<unsigned int>(seed));
    }
    std::vector<int> order(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        order[k] = k;
    }
    for (int k = count - 1; k >= 0; --k) {
        const int m = std::rand() % (k + 1);
        std::swap(order[k], order[m]);
    }
    return order;
}

} // namespace

//
// ZTShakyTiles3D
//

ZTShakyTiles3D* ZTShakyTiles3D::actionWithRange(int nRange, bool bShakeZ, const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTShakyTiles3D>(
        [&](ZTShakyTiles3D* p) { return p->initWithRange(nRange, bShakeZ, gridSize, duration); });
}

bool ZTShakyTiles3D::initWithRange(int nRange, bool bShakeZ, const ztGridSize& gridSize, float duration)
{
    if (!acceptsCount("ZTShakyTiles3D", "range", nRange) || !initWithSize(gridSize, duration)) {
        return false;
    }
    m_nRandrange = nRange;
    m_bShakeZ = bShakeZ;
    return true;
}

ZTObject* ZTShakyTiles3D::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTShakyTiles3D* pCopy = copyObjectForZone<ZTShakyTiles3D>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    pCopy->initWithRange(m_nRandrange, m_bShakeZ, m_sGridSize, m_fDuration);
    return pCopy;
}

void ZTShakyTiles3D::update(float)
{
    if (!tiledGrid()) {
        return;
    }
    for (int i = 0; i < m_sGridSize.x; ++i) {
        for (int j = 0; j < m_sGridSize.y; ++j) {
            ztQuad3 coords = originalTile(ztg(i, j));
            shake(&coords, m_nRandrange, m_bShakeZ);
            setTile(ztg(i, j), coords);
        }
    }
}

//
// ZTShatteredTiles3D
//

ZTShatteredTiles3D* ZTShatteredTiles3D::actionWithRange(int nRange, bool bShatterZ, const ztGridSize& gridSize,
                                                       float duration)
{
    return ztMakeAutoreleased<ZTShatteredTiles3D>(
        [&](ZTShatteredTiles3D* p) { return p->initWithRange(nRange, bShatterZ, gridSize, duration); });
}

bool ZTShatteredTiles3D::initWithRange(int nRange, bool bShatterZ, const ztGridSize& gridSize, float duration)
{
    if (!acceptsCount("ZTShatteredTiles3D", "range", nRange) || !initWithSize(gridSize, duration)) {
        return false;
    }
    m_bOnce = false;
    m_nRandrange = nRange;
    m_bShatterZ = bShatterZ;
    return true;
}

ZTObject* ZTShatteredTiles3D::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTShatteredTiles3D* pCopy = copyObjectForZone<ZTShatteredTiles3D>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    pCopy->initWithRange(m_nRandrange, m_bShatterZ, m_sGridSize, m_fDuration);
    return pCopy;
}

void ZTShatteredTiles3D::update(float)
{
    if (m_bOnce || !tiledGrid()) {
        return;
    }
    for (int i = 0; i < m_sGridSize.x; ++i) {
        for (int j = 0; j < m_sGridSize.y; ++j) {
            ztQuad3 coords = originalTile(ztg(i, j));
            shake(&coords, m_nRandrange, m_bShatterZ);
            setTile(ztg(i, j), coords);
        }
    }
    m_bOnce = true;
}

//
// ZTShuffleTiles
//

ZTShuffleTiles* ZTShuffleTiles::actionWithSeed(int s, const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTShuffleTiles>([&](ZTShuffleTiles* p) { return p->initWithSeed(s, gridSize, duration); });
}

bool ZTShuffleTiles::initWithSeed(int s, const ztGridSize& gridSize, float duration)
{
    if (!initWithSize(gridSize, duration)) {
        return false;
    }
    m_nSeed = s;
    m_pTilesOrder.clear();
    m_pTiles.clear();
    return true;
}

ZTObject* ZTShuffleTiles::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTShuffleTiles* pCopy = copyObjectForZone<ZTShuffleTiles>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    pCopy->initWithSeed(m_nSeed, m_sGridSize, m_fDuration);
    return pCopy;
}

void ZTShuffleTiles::startWithTarget(ZTNode* pTarget)
{
    ZTTiledGrid3DAction::startWithTarget(pTarget);
    m_pTilesOrder.clear();
    m_pTiles.clear();
    if (!tiledGrid()) {
        return;
    }
    const int rows = m_sGridSize.y;
    m_pTilesOrder = shuffledOrder(m_nSeed, m_sGridSize.x * rows);
    for (int i = 0; i < m_sGridSize.x; ++i) {
        for (int j = 0; j < rows; ++j) {
            const int cell = m_pTilesOrder[static_cast<size_t>(i) * rows + j];
            ztTile tile;
            tile.position = ZTPoint(static_cast<float>(i), static_cast<float>(j));
            tile.startPosition = tile.position;
            tile.delta = ztg(cell / rows - i, cell % rows - j);
            m_pTiles.push_back(tile);
        }
    }
}

void ZTShuffleTiles::placeTile(const ztGridSize& pos, ztTile* t)
{
    ztQuad3 coords = originalTile(pos);
    const ZTPoint step = gridStep();
    moveTile(&coords, static_cast<float>(static_cast<int>(t->position.x * step.x)),
             static_cast<float>(static_cast<int>(t->position.y * step.y)));
    setTile(pos, coords);
}

void ZTShuffleTiles::update(float t)
{
    size_t k = 0;
    for (int i = 0; i < m_sGridSize.x; ++i) {
        for (int j = 0; j < m_sGridSize.y && k < m_pTiles.size(); ++j, ++k) {
            ztTile& tile = m_pTiles[k];
            tile.position = ZTPoint(tile.delta.x * t, tile.delta.y * t);
            placeTile(ztg(i, j), &tile);
        }
    }
}

//
// ZTFadeOutTRTiles and its variants
//

ZTFadeOutTRTiles* ZTFadeOutTRTiles::actionWithSize(const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTFadeOutTRTiles>(
        [&](ZTFadeOutTRTiles* p) { return p->initWithSize(gridSize, duration); });
}

ZTObject* ZTFadeOutTRTiles::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTFadeOutTRTiles* pCopy = copyObjectForZone<ZTFadeOutTRTiles>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    return pCopy;
}

float ZTFadeOutTRTiles::testFunc(const ztGridSize& pos, float time)
{
    const float nx = m_sGridSize.x * time;
    const float ny = m_sGridSize.y * time;
    if (nx + ny == 0.0f) {
        return 1.0f;
    }
    return std::pow((pos.x + pos.y) / (nx + ny), 6.0f);
}

void ZTFadeOutTRTiles::transformTile(const ztGridSize& pos, float distance)
{
    ztQuad3 coords = originalTile(pos);
    const ZTPoint step = gridStep();
    const float dx = step.x / 2 * (1.0f - distance);
    const float dy = step.y / 2 * (1.0f - distance);
    coords.bl.x += dx;
    coords.bl.y += dy;
    coords.br.x -= dx;
    coords.br.y += dy;
    coords.tl.x += dx;
    coords.tl.y -= dy;
    coords.tr.x -= dx;
    coords.tr.y -= dy;
    setTile(pos, coords);
}

void ZTFadeOutTRTiles::update(float t)
{
    if (!tiledGrid()) {
        return;
    }
    for (int i = 0; i < m_sGridSize.x; ++i) {
        for (int j = 0; j < m_sGridSize.y; ++j) {
            const float distance = testFunc(ztg(i, j), t);
            if (distance == 0.0f) {
                turnOffTile(ztg(i, j));
            } else if (distance < 1.0f) {
                transformTile(ztg(i, j), distance);
            } else {
                turnOnTile(ztg(i, j));
            }
        }
    }
}

ZTFadeOutBLTiles* ZTFadeOutBLTiles::actionWithSize(const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTFadeOutBLTiles>(
        [&](ZTFadeOutBLTiles* p) { return p->initWithSize(gridSize, duration); });
}

ZTObject* ZTFadeOutBLTiles::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTFadeOutBLTiles* pCopy = copyObjectForZone<ZTFadeOutBLTiles>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    return pCopy;
}

float ZTFadeOutBLTiles::testFunc(const ztGridSize& pos, float time)
{
    const float nx = m_sGridSize.x * (1.0f - time);
    const float ny = m_sGridSize.y * (1.0f - time);
    if (pos.x + pos.y == 0) {
        return 1.0f;
    }
    return std::pow((nx + ny) / static_cast<float>(pos.x + pos.y), 6.0f);
}

ZTFadeOutUpTiles* ZTFadeOutUpTiles::actionWithSize(const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTFadeOutUpTiles>(
        [&](ZTFadeOutUpTiles* p) { return p->initWithSize(gridSize, duration); });
}

ZTObject* ZTFadeOutUpTiles::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTFadeOutUpTiles* pCopy = copyObjectForZone<ZTFadeOutUpTiles>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    return pCopy;
}

float ZTFadeOutUpTiles::testFunc(const ztGridSize& pos, float time)
{
    const float ny = m_sGridSize.y * time;
    if (ny == 0.0f) {
        return 1.0f;
    }
    return std::pow(pos.y / ny, 6.0f);
}

void ZTFadeOutUpTiles::transformTile(const ztGridSize& pos, float distance)
{
    ztQuad3 coords = originalTile(pos);
    const float dy = gridStep().y / 2 * (1.0f - distance);
    coords.bl.y += dy;
    coords.br.y += dy;
    coords.tl.y -= dy;
    coords.tr.y -= dy;
    setTile(pos, coords);
}

ZTFadeOutDownTiles* ZTFadeOutDownTiles::actionWithSize(const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTFadeOutDownTiles>(
        [&](ZTFadeOutDownTiles* p) { return p->initWithSize(gridSize, duration); });
}

ZTObject* ZTFadeOutDownTiles::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTFadeOutDownTiles* pCopy = copyObjectForZone<ZTFadeOutDownTiles>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    return pCopy;
}

float ZTFadeOutDownTiles::testFunc(const ztGridSize& pos, float time)
{
    const float ny = m_sGridSize.y * (1.0f - time);
    if (pos.y == 0) {
        return 1.0f;
    }
    return std::pow(ny / static_cast<float>(pos.y), 6.0f);
}

//
// ZTTurnOffTiles
//

ZTTurnOffTiles* ZTTurnOffTiles::actionWithSize(const ztGridSize& gridSize, float duration)
{
    return actionWithSeed(0, gridSize, duration);
}

ZTTurnOffTiles* ZTTurnOffTiles::actionWithSeed(int s, const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTTurnOffTiles>([&](ZTTurnOffTiles* p) { return p->initWithSeed(s, gridSize, duration); });
}

bool ZTTurnOffTiles::initWithSeed(int s, const ztGridSize& gridSize, float duration)
{
    if (!initWithSize(gridSize, duration)) {
        return false;
    }
    m_nSeed = s;
    m_pTilesOrder.clear();
    return true;
}

ZTObject* ZTTurnOffTiles::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTTurnOffTiles* pCopy = copyObjectForZone<ZTTurnOffTiles>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    pCopy->initWithSeed(m_nSeed, m_sGridSize, m_fDuration);
    return pCopy;
}

void ZTTurnOffTiles::startWithTarget(ZTNode* pTarget)
{
    ZTTiledGrid3DAction::startWithTarget(pTarget);
    m_pTilesOrder.clear();
    if (tiledGrid()) {
        m_pTilesOrder = shuffledOrder(m_nSeed, m_sGridSize.x * m_sGridSize.y);
    }
}

void ZTTurnOffTiles::update(float t)
{
    const int count = static_cast<int>(m_pTilesOrder.size());
    const int l = static_cast<int>(t * count);
    const int rows = m_sGridSize.y;
    for (int k = 0; k < count; ++k) {
        const ztGridSize pos = ztg(m_pTilesOrder[k] / rows, m_pTilesOrder[k] % rows);
        if (k < l) {
            turnOffTile(pos);
        } else {
            turnOnTile(pos);
        }
    }
}

//
// ZTWavesTiles3D, ZTJumpTiles3D
//

ZTWavesTiles3D* ZTWavesTiles3D::actionWithWaves(int wav, float amp, const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTWavesTiles3D>(
        [&](ZTWavesTiles3D* p) { return p->initWithWaves(wav, amp, gridSize, duration); });
}

bool ZTWavesTiles3D::initWithWaves(int wav, float amp, const ztGridSize& gridSize, float duration)
{
    if (!initWithSize(gridSize, duration)) {
        return false;
    }
    m_nWaves = wav;
    m_fAmplitude = amp;
    m_fAmplitudeRate = 1.0f;
    return true;
}

ZTObject* ZTWavesTiles3D::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTWavesTiles3D* pCopy = copyObjectForZone<ZTWavesTiles3D>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    pCopy->initWithWaves(m_nWaves, m_fAmplitude, m_sGridSize, m_fDuration);
    return pCopy;
}

void ZTWavesTiles3D::update(float t)
{
    if (!tiledGrid()) {
        return;
    }
    for (int i = 0; i < m_sGridSize.x; ++i) {
        for (int j = 0; j < m_sGridSize.y; ++j) {
            ztQuad3 coords = originalTile(ztg(i, j));
            const float z = std::sin(t * kPi * m_nWaves * 2 + (coords.bl.y + coords.bl.x) * 0.01f) * m_fAmplitude *
                            m_fAmplitudeRate;
            coords.bl.z = z;
            coords.br.z = z;
            coords.tl.z = z;
            coords.tr.z = z;
            setTile(ztg(i, j), coords);
        }
    }
}

ZTJumpTiles3D* ZTJumpTiles3D::actionWithJumps(int j, float amp, const ztGridSize& gridSize, float duration)
{
    return ztMakeAutoreleased<ZTJumpTiles3D>(
        [&](ZTJumpTiles3D* p) { return p->initWithJumps(j, amp, gridSize, duration); });
}

bool ZTJumpTiles3D::initWithJumps(int j, float amp, const ztGridSize& gridSize, float duration)
{
    if (!initWithSize(gridSize, duration)) {
        return false;
    }
    m_nJumps = j;
    m_fAmplitude = amp;
    m_fAmplitudeRate = 1.0f;
    return true;
}

ZTObject* ZTJumpTiles3D::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTJumpTiles3D* pCopy = copyObjectForZone<ZTJumpTiles3D>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    pCopy->initWithJumps(m_nJumps, m_fAmplitude, m_sGridSize, m_fDuration);
    return pCopy;
}

void ZTJumpTiles3D::update(float t)
{
    if (!tiledGrid()) {
        return;
    }
    const float sinz = std::sin(kPi * t * m_nJumps * 2) * m_fAmplitude * m_fAmplitudeRate;
    const float sinz2 = std::sin(kPi * (t * m_nJumps * 2 + 1)) * m_fAmplitude * m_fAmplitudeRate;
    for (int i = 0; i < m_sGridSize.x; ++i) {
        for (int j = 0; j < m_sGridSize.y; ++j) {
            ztQuad3 coords = originalTile(ztg(i, j));
            liftTile(&coords, (i + j) % 2 == 0 ? sinz : sinz2);
            setTile(ztg(i, j), coords);
        }
    }
}

//
// ZTSplitRows, ZTSplitCols
//

ZTSplitRows* ZTSplitRows::actionWithRows(int nRows, float duration)
{
    return ztMakeAutoreleased<ZTSplitRows>([&](ZTSplitRows* p) { return p->initWithRows(nRows, duration); });
}

bool ZTSplitRows::initWithRows(int nRows, float duration)
{
    if (!acceptsCount("ZTSplitRows", "row count", nRows)) {
        return false;
    }
    m_nRows = nRows;
    return initWithSize(ztg(1, nRows), duration);
}

ZTObject* ZTSplitRows::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTSplitRows* pCopy = copyObjectForZone<ZTSplitRows>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    pCopy->initWithRows(m_nRows, m_fDuration);
    return pCopy;
}

void ZTSplitRows::startWithTarget(ZTNode* pTarget)
{
    ZTTiledGrid3DAction::startWithTarget(pTarget);
    m_winSize = ZTDirector::sharedDirector()->getWinSizeInPixels();
}

void ZTSplitRows::update(float t)
{
    if (!tiledGrid()) {
        return;
    }
    for (int j = 0; j < m_sGridSize.y; ++j) {
        ztQuad3 coords = originalTile(ztg(0, j));
        const float direction = j % 2 == 0 ? -1.0f : 1.0f;
        moveTile(&coords, direction * m_winSize.width * t, 0);
        setTile(ztg(0, j), coords);
    }
}

ZTSplitCols* ZTSplitCols::actionWithCols(int nCols, float duration)
{
    return ztMakeAutoreleased<ZTSplitCols>([&](ZTSplitCols* p) { return p->initWithCols(nCols, duration); });
}

bool ZTSplitCols::initWithCols(int nCols, float duration)
{
    if (!acceptsCount("ZTSplitCols", "column count", nCols)) {
        return false;
    }
    m_nCols = nCols;
    return initWithSize(ztg(nCols, 1), duration);
}

ZTObject* ZTSplitCols::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTSplitCols* pCopy = copyObjectForZone<ZTSplitCols>(pZone, local);
    ZTTiledGrid3DAction::copyWithZone(pZone);
    pCopy->initWithCols(m_nCols, m_fDuration);
    return pCopy;
}

void ZTSplitCols::startWithTarget(ZTNode* pTarget)
{
    ZTTiledGrid3DAction::startWithTarget(pTarget);
    m_winSize = ZTDirector::sharedDirector()->getWinSizeInPixels();
}

void ZTSplitCols::update(float t)
{
    if (!tiledGrid()) {
        return;
    }
    for (int i = 0; i < m_sGridSize.x; ++i) {
        ztQuad3 coords = originalTile(ztg(i, 0));
        const float direction = i % 2 == 0 ? -1.0f : 1.0f;
        moveTile(&coords, 0, direction * m_winSize.height * t);
        setTile(ztg(i, 0), coords);
    }
}

} // namespace zanth2d
