#pragma once

#include <cstdlib>
#include <memory>

#include "ZTTypes.h"
#include "cocoa/ZTGeometry.h"

namespace zanth2d {

// One particle. Lengths are pixels, times seconds, spins degrees, radius-mode angles radians.
struct sZTParticle
{
    ZTPoint pos;      // offset from the reference point of the emitter's position type
    ZTPoint startPos; // the reference point at birth (free and relative types)
    ztColor4F color;
    ztColor4F deltaColor; // per second
    float size;           // edge length of the particle's square, never below 0
    float deltaSize;
    float rotation; // clockwise
    float deltaRotation;
    float timeToLive; // the particle dies once this is no longer above 0

    // Gravity mode.
    ZTPoint dir; // velocity
    float radialAccel;
    float tangentialAccel;

    // Radius mode.
    float angle;
    float angularSpeed;
    float radius;
    float deltaRadius;
};

// The particles of one emitter, each field in an array of its own (structure of arrays), so that the
// per-frame pass streams over contiguous floats. Every array is 64-byte aligned and holds capacity()
// floats; the emitter keeps its live particles packed at the front.
class ZTParticlePool
{
public:
    enum Field
    {
        kPosX,
        kPosY,
        kStartPosX,
        kStartPosY,
        kColorR,
        kColorG,
        kColorB,
        kColorA,
        kDeltaColorR,
        kDeltaColorG,
        kDeltaColorB,
        kDeltaColorA,
        kSize,
        kDeltaSize,
        kRotation,
        kDeltaRotation,
        kTimeToLive,
        kDirX,
        kDirY,
        kRadialAccel,
        kTangentialAccel,
        kAngle,
        kAngularSpeed,
        kRadius,
        kDeltaRadius,
        // Where the renderer draws the particle, in the emitter's node space (pixels): computeDrawPositions.
        kDrawX,
        kDrawY,
        kFieldCount,
    };

    // Replaces the pool by one of capacity zeroed particles; false (and an empty pool) when the memory
    // cannot be had.
    bool allocate(unsigned int capacity);

    unsigned int capacity() const { return m_uCapacity; }
    float* field(Field f) const { return m_pData.get() + static_cast<size_t>(f) * m_uStride; }

    void store(unsigned int index, const sZTParticle& particle);
    sZTParticle load(unsigned int index) const;
    // Copies every field of one particle over another.
    void move(unsigned int from, unsigned int to);

private:
    struct Free
    {
        void operator()(float* p) const { std::free(p); }
    };

    std::unique_ptr<float, Free> m_pData;
    unsigned int m_uCapacity = 0;
    size_t m_uStride = 0; // floats from one field's array to the next
};

} // namespace zanth2d
