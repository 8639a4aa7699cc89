#pragma once

#include <vector>

#include "actions/ZTActionGrid.h"

namespace zanth2d {

// Every update moves each tile's corners from their original place by new random offsets of
// -range ... range - 1 pixels, so the tiles jitter; z too with shakeZ.
class ZTShakyTiles3D : public ZTTiledGrid3DAction
{
public:
    static ZTShakyTiles3D* actionWithRange(int nRange, bool bShakeZ, const ztGridSize& gridSize, float duration);
    // False (one warning) for a range of 0 or less.
    bool initWithRange(int nRange, bool bShakeZ, const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;

protected:
    int m_nRandrange = 0;
    bool m_bShakeZ = false;
};

// Scatters the tiles like ZTShakyTiles3D on its first update only; they stay scattered.
class ZTShatteredTiles3D : public ZTTiledGrid3DAction
{
public:
    static ZTShatteredTiles3D* actionWithRange(int nRange, bool bShatterZ, const ztGridSize& gridSize,
                                               float duration);
    // False (one warning) for a range of 0 or less.
    bool initWithRange(int nRange, bool bShatterZ, const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;

protected:
    int m_nRandrange = 0;
    bool m_bOnce = false;
    bool m_bShatterZ = false;
};

// Where a tile of ZTShuffleTiles is (in cells) and how far it travels.
struct ztTile
{
    ZTPoint position;
    ZTPoint startPosition;
    ztGridSize delta;
};

// Moves every tile to the cell of a shuffled order; a seed other than -1 makes the order repeat exactly.
class ZTShuffleTiles : public ZTTiledGrid3DAction
{
public:
    static ZTShuffleTiles* actionWithSeed(int s, const ztGridSize& gridSize, float duration);
    bool initWithSeed(int s, const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

    // The shuffled cell order of the last start (cell number i * y + j).
    const std::vector<int>& getTilesOrder() const { return m_pTilesOrder; }

protected:
    void placeTile(const ztGridSize& pos, ztTile* t);

    int m_nSeed = 0;
    std::vector<int> m_pTilesOrder;
    std::vector<ztTile> m_pTiles;
};

// Shrinks the tiles about their centres and then hides them, sweeping away from the bottom-left corner.
class ZTFadeOutTRTiles : public ZTTiledGrid3DAction
{
public:
    static ZTFadeOutTRTiles* actionWithSize(const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;

    // 0 hides the tile, 1 or more shows it unchanged, in between it is shrunk by transformTile.
    virtual float testFunc(const ztGridSize& pos, float time);
    virtual void transformTile(const ztGridSize& pos, float distance);
};

// As ZTFadeOutTRTiles, sweeping towards the bottom-left corner.
class ZTFadeOutBLTiles : public ZTFadeOutTRTiles
{
public:
    static ZTFadeOutBLTiles* actionWithSize(const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    float testFunc(const ztGridSize& pos, float time) override;
};

// Flattens the tiles vertically and hides them, row by row upwards.
class ZTFadeOutUpTiles : public ZTFadeOutTRTiles
{
public:
    static ZTFadeOutUpTiles* actionWithSize(const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    float testFunc(const ztGridSize& pos, float time) override;
    void transformTile(const ztGridSize& pos, float distance) override;
};

// As ZTFadeOutUpTiles, row by row downwards.
class ZTFadeOutDownTiles : public ZTFadeOutUpTiles
{
public:
    static ZTFadeOutDownTiles* actionWithSize(const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    float testFunc(const ztGridSize& pos, float time) override;
};

// Hides the tiles one by one in a shuffled order: at time t the first (int)(t * tiles) of the order are off.
// A seed other than -1 makes the order repeat exactly.
class ZTTurnOffTiles : public ZTTiledGrid3DAction
{
public:
    // Seed 0.
    static ZTTurnOffTiles* actionWithSize(const ztGridSize& gridSize, float duration);
    static ZTTurnOffTiles* actionWithSeed(int s, const ztGridSize& gridSize, float duration);
    bool initWithSeed(int s, const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

    // The shuffled tile order of the last start (tile number i * y + j).
    const std::vector<int>& getTilesOrder() const { return m_pTilesOrder; }

protected:
    int m_nSeed = 0;
    std::vector<int> m_pTilesOrder;
};

// Lifts the tiles in z along a sine wave running across the grid; amplitude in pixels.
class ZTWavesTiles3D : public ZTTiledGrid3DAction
{
public:
    static ZTWavesTiles3D* actionWithWaves(int wav, float amp, const ztGridSize& gridSize, float duration);
    bool initWithWaves(int wav, float amp, const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;

    float getAmplitude() const { return m_fAmplitude; }
    void setAmplitude(float fAmplitude) { m_fAmplitude = fAmplitude; }
    float getAmplitudeRate() override { return m_fAmplitudeRate; }
    void setAmplitudeRate(float fAmplitudeRate) override { m_fAmplitudeRate = fAmplitudeRate; }

protected:
    int m_nWaves = 0;
    float m_fAmplitude = 0;
    float m_fAmplitudeRate = 1.0f;
};

// Moves neighbouring tiles up and down in z in opposite phase; amplitude in pixels.
class ZTJumpTiles3D : public ZTTiledGrid3DAction
{
public:
    static ZTJumpTiles3D* actionWithJumps(int j, float amp, const ztGridSize& gridSize, float duration);
    bool initWithJumps(int j, float amp, const ztGridSize& gridSize, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;

    float getAmplitude() const { return m_fAmplitude; }
    void setAmplitude(float fAmplitude) { m_fAmplitude = fAmplitude; }
    float getAmplitudeRate() override { return m_fAmplitudeRate; }
    void setAmplitudeRate(float fAmplitudeRate) override { m_fAmplitudeRate = fAmplitudeRate; }

protected:
    int m_nJumps = 0;
    float m_fAmplitude = 0;
    float m_fAmplitudeRate = 1.0f;
};

// Slides even rows to the left and odd rows to the right, by the whole window width at the end.
class ZTSplitRows : public ZTTiledGrid3DAction
{
public:
    static ZTSplitRows* actionWithRows(int nRows, float duration);
    // False (one warning) for 0 rows or less.
    bool initWithRows(int nRows, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

protected:
    int m_nRows = 0;
    ZTSize m_winSize;
};

// Slides even columns down and odd columns up, by the whole window height at the end.
class ZTSplitCols : public ZTTiledGrid3DAction
{
public:
    static ZTSplitCols* actionWithCols(int nCols, float duration);
    // False (one warning) for 0 columns or less.
    bool initWithCols(int nCols, float duration);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

protected:
    int m_nCols = 0;
    ZTSize m_winSize;
};

} // namespace zanth2d
