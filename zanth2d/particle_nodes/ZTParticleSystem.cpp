#include "particle_nodes/ZTParticleSystem.h"
#include "particle_nodes/ZTParticleSetting.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <type_traits>

#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "cocoa/ZTString.h"
#include "platform/ZTCommon.h"
#include "platform/ZTDictMaker.h"
#include "platform/ZTFileData.h"
#include "platform/ZTFileUtils.h"
#include "platform/ZTImage.h"
#include "support/ZTPointExtension.h"
#include "support/base64.h"
#include "support/zip_support/ZipUtils.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

namespace zanth2d {

namespace {

using Dictionary = ZTMutableDictionary<std::string, ZTObject*>;

constexpr float kDegreesToRadians = 0.017453292f;
// Particles moved between two quad writes: small enough for their fields to stay in the L1 cache.
constexpr unsigned int kBlockSize = 256;

using FullBlock = std::integral_constant<unsigned int, kBlockSize>;

// The loops below take their arrays as restrict parameters and are called with a full block's length
// as a compile-time constant: both together let the compiler vectorise them.

template <typename Length>
void ageAndFade(Length length, float dt, float* __restrict timeToLive, float* __restrict colorR,
                float* __restrict colorG, float* __restrict colorB, float* __restrict colorA,
                const float* __restrict deltaR, const float* __restrict deltaG,
                const float* __restrict deltaB, const float* __restrict deltaA, float* __restrict size,
                const float* __restrict deltaSize, float* __restrict rotation,
                const float* __restrict deltaRotation)
{
    for (unsigned int i = 0; i < length; ++i) {
        timeToLive[i] -= dt;
        colorR[i] += deltaR[i] * dt;
        colorG[i] += deltaG[i] * dt;
        colorB[i] += deltaB[i] * dt;
        colorA[i] += deltaA[i] * dt;
        const float grown = size[i] + deltaSize[i] * dt;
        size[i] = grown > 0.0f ? grown : 0.0f;
        rotation[i] += deltaRotation[i] * dt;
    }
}

// draw = position - (reference - start) / divisor.
template <typename Length>
void offsetPositions(Length length, const float* __restrict position, const float* __restrict start,
                     float reference, float divisor, float* __restrict draw)
{
    if (divisor != 1.0f) {
        for (unsigned int i = 0; i < length; ++i) {
            draw[i] = position[i] - (reference - start[i]) / divisor;
        }
    } else {
        for (unsigned int i = 0; i < length; ++i) {
            draw[i] = position[i] - (reference - start[i]);
        }
    }
}

float contentScaleFactor()
{
    return ZTDirector::sharedDirector()->getContentScaleFactor();
}

// A fresh draw in [-1, 1] for every randomised quantity.
float randomMinus1To1()
{
    return 2.0f * (static_cast<float>(std::rand()) * (1.0f / 2147483648.0f)) - 1.0f;
}

// Zero for a negative (or NaN) value.
float atLeastZero(float value)
{
    return value > 0.0f ? value : 0.0f;
}

// The settings of one property list as numbers and text. Values arrive as text whatever their element
// was; a missing key or empty text reads as 0. The first value that is no number (or a container where
// a value belongs) is remembered, so the load can fail with one line naming it.
class PListValues
{
public:
    explicit PListValues(Dictionary* dictionary) : m_pDictionary(dictionary) {}

    // Beyond the float range: infinite.
    float real(const char* key)
    {
        double value = 0.0;
        number(key, &value);
        if (std::fabs(value) > static_cast<double>(FLT_MAX)) {
            return value > 0.0 ? HUGE_VALF : -HUGE_VALF;
        }
        return static_cast<float>(value);
    }

    // The number truncated toward zero; a number outside the int range is an unusable value.
    int integer(const char* key)
    {
        double value = 0.0;
        if (!number(key, &value)) {
            return 0;
        }
        if (!(value > static_cast<double>(INT_MIN) - 1.0 && value < static_cast<double>(INT_MAX) + 1.0)) {
            fail(key, "is not a whole number in range");
            return 0;
        }
        return static_cast<int>(value);
    }

    // Empty when missing.
    std::string text(const char* key) { return scalar(key, "is not a text"); }

    // The value of a setting under its key (and the suffixes of its type).
    ZTParticleValue setting(const ZTParticleSetting& setting)
    {
        const std::string key = setting.plistKey;
        ZTParticleValue value;
        switch (setting.type) {
        case ZTParticleSetting::kReal:
            value.real = real(key.c_str());
            break;
        case ZTParticleSetting::kPoint: {
            const auto& suffix = ZTParticleSetting::kPointSuffixes;
            value.point = ZTPoint(real((key + suffix[0]).c_str()), real((key + suffix[1]).c_str()));
            break;
        }
        case ZTParticleSetting::kColor: {
            const auto& suffix = ZTParticleSetting::kColorSuffixes;
            value.color = {real((key + suffix[0]).c_str()), real((key + suffix[1]).c_str()),
                           real((key + suffix[2]).c_str()), real((key + suffix[3]).c_str())};
            break;
        }
        case ZTParticleSetting::kInteger:
            value.integer = integer(key.c_str());
            break;
        }
        return value;
    }

    bool ok() const { return m_sProblem.empty(); }
    const std::string& problem() const { return m_sProblem; }

private:
    std::string scalar(const char* key, const char* wrongType)
    {
        ZTObject* object = m_pDictionary->objectForKey(key);
        if (!object) {
            return std::string();
        }
        auto* value = dynamic_cast<ZTString*>(object);
        if (!value) {
            fail(key, wrongType);
            return std::string();
        }
        return value->getString();
    }

    bool number(const char* key, double* value)
    {
        const std::string source = scalar(key, "is not a number");
        const char* begin = source.c_str();
        while (*begin == ' ' || *begin == '\t' || *begin == '\n' || *begin == '\r') {
            ++begin;
        }
        if (*begin == '\0') {
            return true;
        }
        char* end = nullptr;
        const double parsed = std::strtod(begin, &end);
        while (end != begin && (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r')) {
            ++end;
        }
        if (end == begin || *end != '\0') {
            fail(key, "is not a number");
            return false;
        }
        *value = parsed;
        return true;
    }

    void fail(const char* key, const char* what)
    {
        if (m_sProblem.empty()) {
            m_sProblem = std::string("\"") + key + "\" " + what;
        }
    }

    Dictionary* m_pDictionary;
    std::string m_sProblem;
};

// The root dictionary of a property-list file (the caller releases it), or null after one log line.
Dictionary* readPropertyList(const std::string& path)
{
    const bool notify = ZTFileUtils::getIsPopupNotify();
    ZTFileUtils::setIsPopupNotify(false);
    ZTFileData data(path.c_str(), "rb");
    ZTFileUtils::setIsPopupNotify(notify);
    if (!data.getBuffer()) {
        ZTLog("ZTParticleSystem: ERROR: could not read the particle file %s\n", path.c_str());
        return nullptr;
    }
    if (data.getSize() == 0 || data.getSize() > static_cast<unsigned long>(INT_MAX)) {
        ZTLog("ZTParticleSystem: ERROR: the particle file %s holds no dictionary\n", path.c_str());
        return nullptr;
    }
    ZTDictMaker maker;
    // The parser logs its own line for a file that is not well formed or holds no dictionary.
    return maker.dictionaryWithWellFormedData(reinterpret_cast<const char*>(data.getBuffer()),
                                              static_cast<unsigned int>(data.getSize()), path.c_str());
}

} // namespace

ZTParticleSystem::ZTParticleSystem() = default;

ZTParticleSystem::~ZTParticleSystem()
{
    ZT_SAFE_RELEASE(m_pTexture);
}

ZTParticleSystem* ZTParticleSystem::particleWithFile(const char* plistFile)
{
    return ztMakeAutoreleased<ZTParticleSystem>(
        [&](ZTParticleSystem* pSystem) { return pSystem->initWithFile(plistFile); });
}

bool ZTParticleSystem::initWithTotalParticles(unsigned int numberOfParticles)
{
    m_uParticleCount = 0;
    m_uParticleIdx = 0;
    m_uTotalParticles = 0;
    if (numberOfParticles > kMaxTotalParticles) {
        m_tPool.allocate(0);
        ZTLog("ZTParticleSystem: ERROR: a pool of %u particles is above the largest of %u\n",
              numberOfParticles, kMaxTotalParticles);
        return false;
    }
    if (!m_tPool.allocate(numberOfParticles)) {
        ZTLog("ZTParticleSystem: ERROR: no memory for a pool of %u particles\n", numberOfParticles);
        return false;
    }
    m_uTotalParticles = numberOfParticles;
    m_bIsActive = true;
    m_tBlendFunc = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    m_ePositionType = kZTPositionTypeFree;
    m_nEmitterMode = kZTParticleModeGravity;
    m_bIsAutoRemoveOnFinish = false;
    return true;
}

void ZTParticleSystem::setTotalParticles(unsigned int total)
{
    m_uTotalParticles = std::min(total, m_tPool.capacity());
}

// Scheduling

void ZTParticleSystem::onEnter()
{
    ZTNode::onEnter();
    scheduleUpdateWithPriority(1);
}

void ZTParticleSystem::onExit()
{
    unscheduleUpdate();
    ZTNode::onExit();
}

void ZTParticleSystem::update(float dt)
{
    if (m_bRemovalPending) {
        // Removal waits for the scheduler: inside visit it would free the emitter in the middle of its
        // parent's walk over its children.
        m_bRemovalPending = false;
        unscheduleUpdate();
        removeFromParentAndCleanup(true);
        return;
    }
    if (m_bIsActive && m_fEmissionRate != 0.0f) {
        m_fStoredDelta = dt;
    }
}

void ZTParticleSystem::visit()
{
    if (m_fStoredDelta > 0.0f) {
        updateParticles();
    }
    ZTNode::visit();
}

// Emission

bool ZTParticleSystem::isFull() const
{
    return m_uParticleCount >= m_uTotalParticles;
}

bool ZTParticleSystem::addParticle()
{
    if (m_uParticleCount >= m_uTotalParticles) {
        return false;
    }
    // Fields the particle's mode or position type doesn't set keep what the slot held.
    sZTParticle particle = m_tPool.load(m_uParticleCount);
    initParticle(&particle);
    m_tPool.store(m_uParticleCount, particle);
    ++m_uParticleCount;
    return true;
}

void ZTParticleSystem::initParticle(sZTParticle* particle)
{
    const float csf = contentScaleFactor();
    particle->timeToLive = atLeastZero(m_fLife + m_fLifeVar * randomMinus1To1());
    const float life = particle->timeToLive;

    particle->pos.x = (m_tSourcePosition.x + m_tPosVar.x * randomMinus1To1()) * csf;
    particle->pos.y = (m_tSourcePosition.y + m_tPosVar.y * randomMinus1To1()) * csf;

    auto colorComponent = [](float value, float variance) {
        return clampf(value + variance * randomMinus1To1(), 0.0f, 1.0f);
    };
    ztColor4F start;
    start.r = colorComponent(m_tStartColor.r, m_tStartColorVar.r);
    start.g = colorComponent(m_tStartColor.g, m_tStartColorVar.g);
    start.b = colorComponent(m_tStartColor.b, m_tStartColorVar.b);
    start.a = colorComponent(m_tStartColor.a, m_tStartColorVar.a);
    ztColor4F end;
    end.r = colorComponent(m_tEndColor.r, m_tEndColorVar.r);
    end.g = colorComponent(m_tEndColor.g, m_tEndColorVar.g);
    end.b = colorComponent(m_tEndColor.b, m_tEndColorVar.b);
    end.a = colorComponent(m_tEndColor.a, m_tEndColorVar.a);
    particle->color = start;
    particle->deltaColor = {(end.r - start.r) / life, (end.g - start.g) / life, (end.b - start.b) / life,
                            (end.a - start.a) / life};

    const float startSize = atLeastZero(m_fStartSize + m_fStartSizeVar * randomMinus1To1()) * csf;
    particle->size = startSize;
    if (m_fEndSize == kZTParticleStartSizeEqualToEndSize) {
        particle->deltaSize = 0.0f;
    } else {
        const float endSize = atLeastZero(m_fEndSize + m_fEndSizeVar * randomMinus1To1()) * csf;
        particle->deltaSize = (endSize - startSize) / life;
    }

    const float startSpin = m_fStartSpin + m_fStartSpinVar * randomMinus1To1();
    const float endSpin = m_fEndSpin + m_fEndSpinVar * randomMinus1To1();
    particle->rotation = startSpin;
    particle->deltaRotation = (endSpin - startSpin) / life;

    if (m_ePositionType == kZTPositionTypeFree || m_ePositionType == kZTPositionTypeRelative) {
        particle->startPos = referencePoint();
    }

    const float angle = (baseAngle() + m_fAngleVar * randomMinus1To1()) * kDegreesToRadians;
    if (m_nEmitterMode == kZTParticleModeGravity) {
        const float speed = (m_fSpeed + m_fSpeedVar * randomMinus1To1()) * csf;
        particle->dir = ZTPoint(std::cos(angle) * speed, std::sin(angle) * speed);
        particle->radialAccel = (m_fRadialAccel + m_fRadialAccelVar * randomMinus1To1()) * csf;
        particle->tangentialAccel = (m_fTangentialAccel + m_fTangentialAccelVar * randomMinus1To1()) * csf;
    } else {
        // Both radius draws happen even when the end radius is not used.
        const float startDraw = randomMinus1To1();
        const float endDraw = randomMinus1To1();
        particle->radius = (m_fStartRadius + m_fStartRadiusVar * startDraw) * csf;
        if (m_fEndRadius == kZTParticleStartRadiusEqualToEndRadius) {
            particle->deltaRadius = 0.0f;
        } else {
            const float endRadius = (m_fEndRadius + m_fEndRadiusVar * endDraw) * csf;
            particle->deltaRadius = (endRadius - particle->radius) / life;
        }
        particle->angle = angle;
        particle->angularSpeed =
            (m_fRotatePerSecond + m_fRotatePerSecondVar * randomMinus1To1()) * kDegreesToRadians;
    }
}

ZTPoint ZTParticleSystem::referencePoint()
{
    const float csf = contentScaleFactor();
    switch (m_ePositionType) {
    case kZTPositionTypeFree:
        return ztpMult(convertToWorldSpace(ZTPointZero), csf);
    case kZTPositionTypeRelative:
        // Without a parent there is nothing to follow: the parent's origin stands for it.
        return m_pParent ? ztpMult(m_pParent->getPosition(), csf) : ZTPointZero;
    default:
        return ZTPointZero;
    }
}

float ZTParticleSystem::baseAngle() const
{
    float angle = m_fAngle;
    if (ZTNode* inversionNode = getRotationInversionNode()) {
        for (ZTNode* ancestor = getParent(); ancestor; ancestor = ancestor->getParent()) {
            angle -= ancestor->getRotation();
            if (ancestor == inversionNode) {
                break;
            }
        }
    }
    return angle;
}

void ZTParticleSystem::stopSystem()
{
    m_bIsActive = false;
    m_fElapsed = m_fDuration;
    m_fEmitCounter = 0.0f;
}

void ZTParticleSystem::resetSystem()
{
    m_bIsActive = true;
    m_fElapsed = 0.0f;
    float* timeToLive = m_tPool.field(ZTParticlePool::kTimeToLive);
    std::fill(timeToLive, timeToLive + m_uParticleCount, 0.0f);
    m_uParticleIdx = m_uParticleCount;
}

// Simulation

void ZTParticleSystem::updateParticles()
{
    const float dt = m_fStoredDelta;
    if (m_bIsActive && m_fEmissionRate != 0.0f) {
        m_fEmitCounter += dt;
        if (m_uParticleCount < m_uTotalParticles) {
            const float rate = 1.0f / m_fEmissionRate;
            // The counter goes on growing while the pool is full, so freed slots refill at once.
            while (m_uParticleCount < m_uTotalParticles && m_fEmitCounter > rate) {
                addParticle();
                m_fEmitCounter -= rate;
            }
        }
        m_fElapsed += dt;
        if (m_fDuration != kZTParticleDurationInfinity && m_fElapsed > m_fDuration) {
            stopSystem();
        }
    } else if (m_uParticleCount == 0) {
        m_fStoredDelta = -1.0f;
        return;
    }

    m_uParticleIdx = 0;
    if (retireDeadParticles(dt)) {
        return;
    }
    m_tStepReference = referencePoint();
    for (unsigned int from = 0; from < m_uParticleCount; from += kBlockSize) {
        const unsigned int to = std::min(from + kBlockSize, m_uParticleCount);
        moveParticles(from, to, dt);
        updateQuads(from, to);
    }
    m_uParticleIdx = m_uParticleCount;
    postStep();
}

bool ZTParticleSystem::retireDeadParticles(float dt)
{
    // Ageing decides alone who dies, so the dead go first; a dead particle's slot takes the last live
    // particle, which is then judged in its new place (the order the one-pass walk gives).
    const float* timeToLive = m_tPool.field(ZTParticlePool::kTimeToLive);
    unsigned int index = 0;
    while (index < m_uParticleCount) {
        if (timeToLive[index] - dt > 0.0f) {
            ++index;
            continue;
        }
        const unsigned int last = m_uParticleCount - 1;
        if (index != last) {
            m_tPool.move(last, index);
        }
        m_uParticleCount = last;
        if (m_uParticleCount == 0 && m_bIsAutoRemoveOnFinish) {
            m_bRemovalPending = true;
            return true;
        }
    }
    return false;
}

void ZTParticleSystem::moveParticles(unsigned int from, unsigned int to, float dt)
{
    using Pool = ZTParticlePool;
    const Pool& pool = m_tPool;
    if (m_nEmitterMode == kZTParticleModeGravity) {
        float* __restrict posX = pool.field(Pool::kPosX);
        float* __restrict posY = pool.field(Pool::kPosY);
        float* __restrict dirX = pool.field(Pool::kDirX);
        float* __restrict dirY = pool.field(Pool::kDirY);
        const float* __restrict radialAccel = pool.field(Pool::kRadialAccel);
        const float* __restrict tangentialAccel = pool.field(Pool::kTangentialAccel);
        const float gravityX = m_tGravity.x;
        const float gravityY = m_tGravity.y;
        for (unsigned int i = from; i < to; ++i) {
            const float x = posX[i];
            const float y = posY[i];
            float radialX = 0.0f;
            float radialY = 0.0f;
            if (x != 0.0f || y != 0.0f) {
                const float inverseLength = 1.0f / std::sqrt(x * x + y * y);
                radialX = x * inverseLength;
                radialY = y * inverseLength;
            }
            const float tangentialX = -radialY * tangentialAccel[i];
            const float tangentialY = radialX * tangentialAccel[i];
            radialX *= radialAccel[i];
            radialY *= radialAccel[i];
            dirX[i] += (radialX + tangentialX + gravityX) * dt;
            dirY[i] += (radialY + tangentialY + gravityY) * dt;
            posX[i] = x + dirX[i] * dt;
            posY[i] = y + dirY[i] * dt;
        }
    } else {
        float* __restrict posX = pool.field(Pool::kPosX);
        float* __restrict posY = pool.field(Pool::kPosY);
        float* __restrict angle = pool.field(Pool::kAngle);
        float* __restrict radius = pool.field(Pool::kRadius);
        const float* __restrict angularSpeed = pool.field(Pool::kAngularSpeed);
        const float* __restrict deltaRadius = pool.field(Pool::kDeltaRadius);
        for (unsigned int i = from; i < to; ++i) {
            angle[i] += angularSpeed[i] * dt;
            radius[i] += deltaRadius[i] * dt;
            posX[i] = -std::cos(angle[i]) * radius[i];
            posY[i] = -std::sin(angle[i]) * radius[i];
        }
    }

    auto field = [&](Pool::Field f) { return pool.field(f) + from; };
    auto run = [&](auto length) {
        ageAndFade(length, dt, field(Pool::kTimeToLive), field(Pool::kColorR), field(Pool::kColorG),
                   field(Pool::kColorB), field(Pool::kColorA), field(Pool::kDeltaColorR),
                   field(Pool::kDeltaColorG), field(Pool::kDeltaColorB), field(Pool::kDeltaColorA),
                   field(Pool::kSize), field(Pool::kDeltaSize), field(Pool::kRotation),
                   field(Pool::kDeltaRotation));
    };
    if (to - from == kBlockSize) {
        run(FullBlock());
    } else {
        run(to - from);
    }
}

void ZTParticleSystem::computeDrawPositions(unsigned int from, unsigned int to)
{
    using Pool = ZTParticlePool;
    const Pool& pool = m_tPool;
    auto field = [&](Pool::Field f) { return pool.field(f) + from; };
    if (m_ePositionType != kZTPositionTypeFree && m_ePositionType != kZTPositionTypeRelative) {
        std::copy(pool.field(Pool::kPosX) + from, pool.field(Pool::kPosX) + to, field(Pool::kDrawX));
        std::copy(pool.field(Pool::kPosY) + from, pool.field(Pool::kPosY) + to, field(Pool::kDrawY));
        return;
    }
    // The free type counts the emitter's movement since birth only 1 / the engine's scale factor.
    const float divisor = m_ePositionType == kZTPositionTypeFree
                              ? ZTDirector::sharedDirector()->getZanthContentScaleFactor()
                              : 1.0f;
    auto run = [&](auto length) {
        offsetPositions(length, field(Pool::kPosX), field(Pool::kStartPosX), m_tStepReference.x, divisor,
                        field(Pool::kDrawX));
        offsetPositions(length, field(Pool::kPosY), field(Pool::kStartPosY), m_tStepReference.y, divisor,
                        field(Pool::kDrawY));
    };
    if (to - from == kBlockSize) {
        run(FullBlock());
    } else {
        run(to - from);
    }
}

void ZTParticleSystem::updateQuads(unsigned int, unsigned int) {}

void ZTParticleSystem::postStep() {}

// Texture and blending

void ZTParticleSystem::setTexture(ZTTexture2D* texture)
{
    ZT_SAFE_RETAIN(texture);
    ZT_SAFE_RELEASE(m_pTexture);
    m_pTexture = texture;
    if (texture && !texture->getHasPremultipliedAlpha() && m_tBlendFunc.src == GL_ONE &&
        m_tBlendFunc.dst == GL_ONE_MINUS_SRC_ALPHA) {
        m_tBlendFunc = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    }
}

void ZTParticleSystem::setPositionType(tZTPositionType type)
{
    switch (type) {
    case kZTPositionTypeFree:
    case kZTPositionTypeRelative:
    case kZTPositionTypeGrouped:
        m_ePositionType = type;
        return;
    }
    ZTLog(
        "ZTParticleSystem: WARNING: the position type %d is none of 0 (free), 1 (relative) and 2 (grouped), "
        "free is used\n",
        static_cast<int>(type));
    m_ePositionType = kZTPositionTypeFree;
}

bool ZTParticleSystem::getIsBlendAdditive() const
{
    return m_tBlendFunc.src == GL_SRC_ALPHA && m_tBlendFunc.dst == GL_ONE;
}

void ZTParticleSystem::setIsBlendAdditive(bool additive)
{
    if (additive) {
        m_tBlendFunc = {GL_SRC_ALPHA, GL_ONE};
    } else if (m_pTexture && !m_pTexture->getHasPremultipliedAlpha()) {
        m_tBlendFunc = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    } else {
        m_tBlendFunc = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    }
}

// Property-list reading

bool ZTParticleSystem::initWithFile(const char* plistFile)
{
    m_sPlistFile = ZTFileUtils::fullPathFromRelativePath(plistFile ? plistFile : "");
    Dictionary* dictionary = readPropertyList(m_sPlistFile);
    if (!dictionary) {
        return false;
    }
    const bool ok = initWithDictionary(dictionary);
    dictionary->release();
    return ok;
}

bool ZTParticleSystem::initWithDictionary(Dictionary* dictionary)
{
    const char* file = m_sPlistFile.empty() ? "(dictionary)" : m_sPlistFile.c_str();
    if (!dictionary) {
        ZTLog("ZTParticleSystem: ERROR: %s: no dictionary to read\n", file);
        return false;
    }
    PListValues values(dictionary);
    const int maxParticles = values.integer("maxParticles");
    if (!values.ok()) {
        ZTLog("ZTParticleSystem: ERROR: %s: %s\n", file, values.problem().c_str());
        return false;
    }
    if (maxParticles < 0 || static_cast<unsigned int>(maxParticles) > kMaxTotalParticles) {
        ZTLog("ZTParticleSystem: ERROR: %s: maxParticles %d is outside 0 to %u\n", file, maxParticles,
              kMaxTotalParticles);
        return false;
    }
    if (!initWithTotalParticles(static_cast<unsigned int>(maxParticles))) {
        return false;
    }

    m_tBlendFunc.src = static_cast<GLenum>(values.integer("blendFuncSource"));
    m_tBlendFunc.dst = static_cast<GLenum>(values.integer("blendFuncDestination"));
    setPosition(ZTPoint(values.real("sourcePositionx"), values.real("sourcePositiony")));
    const ZTParticleSetting& mode = ZTParticleSetting::setting(ZTParticleSetting::kEmitterMode);
    mode.set(*this, values.setting(mode));
    if (m_nEmitterMode != kZTParticleModeGravity && m_nEmitterMode != kZTParticleModeRadius && values.ok()) {
        ZTLog("ZTParticleSystem: ERROR: %s: emitterType %d is neither 0 (gravity) nor 1 (radius)\n", file,
              m_nEmitterMode);
        return false;
    }
    // The settings of the mode; those the format has no key for start from zero, except the position type,
    // which stays free.
    for (const ZTParticleSetting& setting : ZTParticleSetting::all()) {
        if (setting.id != mode.id && setting.id != ZTParticleSetting::kPositionType &&
            setting.usedInMode(m_nEmitterMode)) {
            setting.set(*this, setting.plistKey ? values.setting(setting) : ZTParticleValue());
        }
    }
    m_fEmissionRate = static_cast<float>(m_uTotalParticles) / m_fLife;
    if (!values.ok()) {
        ZTLog("ZTParticleSystem: ERROR: %s: %s\n", file, values.problem().c_str());
        return false;
    }
    return loadTexture(dictionary);
}

bool ZTParticleSystem::loadTexture(Dictionary* dictionary)
{
    const char* file = m_sPlistFile.empty() ? "(dictionary)" : m_sPlistFile.c_str();
    PListValues values(dictionary);
    const std::string name = values.text("textureFileName");
    const std::string path = ZTFileUtils::fullPathFromRelativeFile(name.c_str(), m_sPlistFile.c_str());
    ZTTextureCache* cache = ZTTextureCache::sharedTextureCache();

    ZTTexture2D* texture = nullptr;
    if (!name.empty()) {
        // A missing file is no failure yet: the embedded image may stand in for it.
        const bool notify = ZTFileUtils::getIsPopupNotify();
        ZTFileUtils::setIsPopupNotify(false);
        texture = cache->addImage(path.c_str());
        ZTFileUtils::setIsPopupNotify(notify);
    }
    if (!texture) {
        const std::string data = values.text("textureImageData");
        if (!values.ok()) {
            ZTLog("ZTParticleSystem: ERROR: %s: %s\n", file, values.problem().c_str());
            return false;
        }
        if (!data.empty()) {
            unsigned char* decoded = nullptr;
            const int decodedLength = base64Decode(reinterpret_cast<const unsigned char*>(data.data()),
                                                   static_cast<unsigned int>(data.size()), &decoded);
            if (decodedLength <= 0) {
                delete[] decoded;
                ZTLog("ZTParticleSystem: ERROR: %s: textureImageData is not base64\n", file);
                return false;
            }
            unsigned char* inflated = nullptr;
            const int inflatedLength =
                ZipUtils::ztInflateMemory(decoded, static_cast<unsigned int>(decodedLength), &inflated);
            delete[] decoded;
            if (inflatedLength <= 0) {
                delete[] inflated;
                ZTLog("ZTParticleSystem: ERROR: %s: textureImageData is not gzip or zlib data\n", file);
                return false;
            }
            ZTImage image;
            const bool decodedImage =
                image.initWithImageData(inflated, inflatedLength, ZTImage::kFmtPng, 0, 0, 8);
            delete[] inflated;
            if (!decodedImage) {
                ZTLog("ZTParticleSystem: ERROR: %s: textureImageData is not a PNG image\n", file);
                return false;
            }
            texture = cache->addUIImage(&image, path.c_str());
            if (!texture) {
                ZTLog("ZTParticleSystem: ERROR: %s: the image of textureImageData gives no texture\n", file);
                return false;
            }
        }
    }
    if (!texture) {
        ZTLog("ZTParticleSystem: ERROR: %s: no texture: \"%s\" can't be loaded and there is no "
              "textureImageData\n",
              file, name.c_str());
        return false;
    }
    // Stored as it is: the blend function and texture coordinates stay as the file and the pool made them.
    texture->retain();
    ZT_SAFE_RELEASE(m_pTexture);
    m_pTexture = texture;
    return true;
}

} // namespace zanth2d
