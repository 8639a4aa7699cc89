#include "particle_nodes/ZTParticlePool.h"

#include <cstring>

namespace zanth2d {

namespace {

// Floats per cache line: each field's array starts on its own line.
constexpr size_t kAlignFloats = 16;

} // namespace

bool ZTParticlePool::allocate(unsigned int capacity)
{
    m_pData.reset();
    m_uCapacity = 0;
    m_uStride = 0;
    if (capacity == 0) {
        return true;
    }
    const size_t stride = (static_cast<size_t>(capacity) + kAlignFloats - 1) / kAlignFloats * kAlignFloats;
    const size_t bytes = stride * kFieldCount * sizeof(float);
    auto* data = static_cast<float*>(std::aligned_alloc(kAlignFloats * sizeof(float), bytes));
    if (!data) {
        return false;
    }
    std::memset(data, 0, bytes);
    m_pData.reset(data);
    m_uCapacity = capacity;
    m_uStride = stride;
    return true;
}

void ZTParticlePool::store(unsigned int index, const sZTParticle& p)
{
    // In field order; the draw position starts at the particle's position.
    const float values[kFieldCount] = {
        p.pos.x,       p.pos.y,       p.startPos.x,      p.startPos.y,    p.color.r,      p.color.g,
        p.color.b,     p.color.a,     p.deltaColor.r,    p.deltaColor.g,  p.deltaColor.b, p.deltaColor.a,
        p.size,        p.deltaSize,   p.rotation,        p.deltaRotation, p.timeToLive,   p.dir.x,
        p.dir.y,       p.radialAccel, p.tangentialAccel, p.angle,         p.angularSpeed, p.radius,
        p.deltaRadius, p.pos.x,       p.pos.y,
    };
    for (int f = 0; f < kFieldCount; ++f) {
        field(static_cast<Field>(f))[index] = values[f];
    }
}

sZTParticle ZTParticlePool::load(unsigned int index) const
{
    auto at = [&](Field f) { return field(f)[index]; };
    sZTParticle p;
    p.pos = ZTPoint(at(kPosX), at(kPosY));
    p.startPos = ZTPoint(at(kStartPosX), at(kStartPosY));
    p.color = {at(kColorR), at(kColorG), at(kColorB), at(kColorA)};
    p.deltaColor = {at(kDeltaColorR), at(kDeltaColorG), at(kDeltaColorB), at(kDeltaColorA)};
    p.size = at(kSize);
    p.deltaSize = at(kDeltaSize);
    p.rotation = at(kRotation);
    p.deltaRotation = at(kDeltaRotation);
    p.timeToLive = at(kTimeToLive);
    p.dir = ZTPoint(at(kDirX), at(kDirY));
    p.radialAccel = at(kRadialAccel);
    p.tangentialAccel = at(kTangentialAccel);
    p.angle = at(kAngle);
    p.angularSpeed = at(kAngularSpeed);
    p.radius = at(kRadius);
    p.deltaRadius = at(kDeltaRadius);
    return p;
}

void ZTParticlePool::move(unsigned int from, unsigned int to)
{
    for (int f = 0; f < kFieldCount; ++f) {
        float* values = field(static_cast<Field>(f));
        values[to] = values[from];
    }
}

} // namespace zanth2d
