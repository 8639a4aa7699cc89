#pragma once

#include <string>

#include "ZTProtocols.h"
#include "ZTTypes.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTMutableDictionary.h"
#include "particle_nodes/ZTParticlePool.h"

namespace zanth2d {

class ZTTexture2D;

// The special value -1 of three settings; compared exactly.
enum
{
    // Duration: emit forever.
    kZTParticleDurationInfinity = -1,
    // EndSize: every particle keeps its start size.
    kZTParticleStartSizeEqualToEndSize = -1,
    // EndRadius: every particle keeps its start radius.
    kZTParticleStartRadiusEqualToEndRadius = -1,
};

// EmitterMode values; any other mode moves particles the radius way.
enum
{
    kZTParticleModeGravity = 0,
    kZTParticleModeRadius = 1,
};

// What a particle's position is kept relative to. Its type is fixed, so that any whole number from a file
// or QML can be held on the way to setPositionType, which takes only these three.
typedef enum : int
{
    // The world: particles stay where they were born while the emitter moves (its movement divided by
    // the director's engine scale factor).
    kZTPositionTypeFree = 0,
    // The parent's position: particles keep their place while the parent moves, and move with the
    // emitter when it moves inside the parent.
    kZTPositionTypeRelative = 1,
    // The emitter: particles move with it.
    kZTPositionTypeGrouped = 2,
} tZTPositionType;

// A node that owns a fixed pool of particles, emits new ones at EmissionRate, moves the live ones in
// gravity or radius mode and retires the dead ones. The scheduled update only stores the frame time;
// visit runs the simulation by it, so an emitter advances only while it is drawn. The base class draws
// nothing: ZTParticleSystemQuad turns the particles into textured quads.
//
// Settings are in points, degrees and seconds (particles in pixels: points x the content scale factor at
// birth); their setters only store, checking neither the mode nor the value. Engine thread only.
class ZTParticleSystem : public ZTNode, public ZTTextureProtocol
{
public:
    // The largest pool; larger counts (negative ones cast to unsigned among them) are refused.
    static constexpr unsigned int kMaxTotalParticles = 1000000;

    ZTParticleSystem();
    ~ZTParticleSystem() override;

    // An autoreleased emitter read from a particle property list, or null when the load fails.
    static ZTParticleSystem* particleWithFile(const char* plistFile);
    // Reads a particle property list (a path resolved like every resource). False, with one log line,
    // for a file without a dictionary, an unusable value, an unknown emitter type or no texture.
    bool initWithFile(const char* plistFile);
    // The settings of a particle property list; a texture file is looked up beside the file last given
    // to initWithFile. False, with one log line, as for initWithFile.
    virtual bool initWithDictionary(ZTMutableDictionary<std::string, ZTObject*>* dictionary);
    // A new, empty pool of count particles; resets the blend function, position type, emitter mode and
    // auto-removal. False, with one log line and an empty pool, when count is above kMaxTotalParticles
    // or the memory cannot be had. Never releases the emitter: whoever created it does.
    virtual bool initWithTotalParticles(unsigned int numberOfParticles);

    // Emits one particle into the next free slot; false when the pool is full.
    bool addParticle();
    // Fills a new particle from the settings, drawing its random numbers from rand() in a fixed order.
    void initParticle(sZTParticle* particle);
    // Ends emission; live particles play out.
    void stopSystem();
    // Restarts emission; every live particle dies at the next step.
    void resetSystem();
    bool isFull() const;
    // A copy of live particle index (below getParticleCount).
    sZTParticle getParticle(unsigned int index) const { return m_tPool.load(index); }

    // Stores dt for the next visit while the emitter emits; removes a finished auto-removing emitter.
    void update(float dt) override;
    // Advances the particles by the stored frame time, then transforms and draws.
    void visit() override;
    // The update is scheduled (priority 1) only while the emitter is in a running scene, so the
    // scheduler never keeps an emitter alive that nothing else holds.
    void onEnter() override;
    void onExit() override;
    // One step by the stored frame time: emission, ageing, movement, then the quads of the live particles.
    void updateParticles();

    virtual bool getIsActive() const { return m_bIsActive; }
    virtual unsigned int getParticleCount() const { return m_uParticleCount; }

    // Seconds of emission; kZTParticleDurationInfinity emits forever.
    virtual float getDuration() const { return m_fDuration; }
    virtual void setDuration(float duration) { m_fDuration = duration; }
    // Centre of the birth area, relative to the emitter.
    virtual const ZTPoint& getSourcePosition() const { return m_tSourcePosition; }
    virtual void setSourcePosition(const ZTPoint& position) { m_tSourcePosition = position; }
    // Half extent of the birth area on each axis.
    virtual const ZTPoint& getPosVar() const { return m_tPosVar; }
    virtual void setPosVar(const ZTPoint& posVar) { m_tPosVar = posVar; }
    virtual float getLife() const { return m_fLife; }
    virtual void setLife(float life) { m_fLife = life; }
    virtual float getLifeVar() const { return m_fLifeVar; }
    virtual void setLifeVar(float lifeVar) { m_fLifeVar = lifeVar; }
    // Direction of emission, counter-clockwise from +x.
    virtual float getAngle() const { return m_fAngle; }
    virtual void setAngle(float angle) { m_fAngle = angle; }
    virtual float getAngleVar() const { return m_fAngleVar; }
    virtual void setAngleVar(float angleVar) { m_fAngleVar = angleVar; }

    // Gravity mode.
    virtual const ZTPoint& getGravity() const { return m_tGravity; }
    virtual void setGravity(const ZTPoint& gravity) { m_tGravity = gravity; }
    virtual float getSpeed() const { return m_fSpeed; }
    virtual void setSpeed(float speed) { m_fSpeed = speed; }
    virtual float getSpeedVar() const { return m_fSpeedVar; }
    virtual void setSpeedVar(float speedVar) { m_fSpeedVar = speedVar; }
    virtual float getTangentialAccel() const { return m_fTangentialAccel; }
    virtual void setTangentialAccel(float t) { m_fTangentialAccel = t; }
    virtual float getTangentialAccelVar() const { return m_fTangentialAccelVar; }
    virtual void setTangentialAccelVar(float t) { m_fTangentialAccelVar = t; }
    virtual float getRadialAccel() const { return m_fRadialAccel; }
    virtual void setRadialAccel(float r) { m_fRadialAccel = r; }
    virtual float getRadialAccelVar() const { return m_fRadialAccelVar; }
    virtual void setRadialAccelVar(float r) { m_fRadialAccelVar = r; }

    // Radius mode.
    virtual float getStartRadius() const { return m_fStartRadius; }
    virtual void setStartRadius(float startRadius) { m_fStartRadius = startRadius; }
    virtual float getStartRadiusVar() const { return m_fStartRadiusVar; }
    virtual void setStartRadiusVar(float startRadiusVar) { m_fStartRadiusVar = startRadiusVar; }
    // kZTParticleStartRadiusEqualToEndRadius keeps the start radius.
    virtual float getEndRadius() const { return m_fEndRadius; }
    virtual void setEndRadius(float endRadius) { m_fEndRadius = endRadius; }
    virtual float getEndRadiusVar() const { return m_fEndRadiusVar; }
    virtual void setEndRadiusVar(float endRadiusVar) { m_fEndRadiusVar = endRadiusVar; }
    // Degrees per second.
    virtual float getRotatePerSecond() const { return m_fRotatePerSecond; }
    virtual void setRotatePerSecond(float degrees) { m_fRotatePerSecond = degrees; }
    virtual float getRotatePerSecondVar() const { return m_fRotatePerSecondVar; }
    virtual void setRotatePerSecondVar(float degrees) { m_fRotatePerSecondVar = degrees; }

    virtual float getStartSize() const { return m_fStartSize; }
    virtual void setStartSize(float startSize) { m_fStartSize = startSize; }
    virtual float getStartSizeVar() const { return m_fStartSizeVar; }
    virtual void setStartSizeVar(float startSizeVar) { m_fStartSizeVar = startSizeVar; }
    // kZTParticleStartSizeEqualToEndSize keeps the start size.
    virtual float getEndSize() const { return m_fEndSize; }
    virtual void setEndSize(float endSize) { m_fEndSize = endSize; }
    virtual float getEndSizeVar() const { return m_fEndSizeVar; }
    virtual void setEndSizeVar(float endSizeVar) { m_fEndSizeVar = endSizeVar; }
    // Components 0 to 1; a particle's colours are clamped to that range at birth.
    virtual const ztColor4F& getStartColor() const { return m_tStartColor; }
    virtual void setStartColor(const ztColor4F& color) { m_tStartColor = color; }
    virtual const ztColor4F& getStartColorVar() const { return m_tStartColorVar; }
    virtual void setStartColorVar(const ztColor4F& color) { m_tStartColorVar = color; }
    virtual const ztColor4F& getEndColor() const { return m_tEndColor; }
    virtual void setEndColor(const ztColor4F& color) { m_tEndColor = color; }
    virtual const ztColor4F& getEndColorVar() const { return m_tEndColorVar; }
    virtual void setEndColorVar(const ztColor4F& color) { m_tEndColorVar = color; }
    // Spin at birth and at death, degrees, clockwise when drawn.
    virtual float getStartSpin() const { return m_fStartSpin; }
    virtual void setStartSpin(float spin) { m_fStartSpin = spin; }
    virtual float getStartSpinVar() const { return m_fStartSpinVar; }
    virtual void setStartSpinVar(float spin) { m_fStartSpinVar = spin; }
    virtual float getEndSpin() const { return m_fEndSpin; }
    virtual void setEndSpin(float spin) { m_fEndSpin = spin; }
    virtual float getEndSpinVar() const { return m_fEndSpinVar; }
    virtual void setEndSpinVar(float spin) { m_fEndSpinVar = spin; }
    // Particles per second; 0 emits nothing.
    virtual float getEmissionRate() const { return m_fEmissionRate; }
    virtual void setEmissionRate(float rate) { m_fEmissionRate = rate; }
    // The emitter's capacity; set above the pool's size it stops at the pool's size (the pool is sized
    // only by initWithTotalParticles).
    virtual unsigned int getTotalParticles() const { return m_uTotalParticles; }
    virtual void setTotalParticles(unsigned int total);

    ZTTexture2D* getTexture() override { return m_pTexture; }
    // Retains the new texture; a texture without premultiplied alpha turns the default blend function
    // into (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA).
    void setTexture(ZTTexture2D* texture) override;
    ztBlendFunc getBlendFunc() override { return m_tBlendFunc; }
    void setBlendFunc(ztBlendFunc blendFunc) override { m_tBlendFunc = blendFunc; }
    // Whether the blend function is (GL_SRC_ALPHA, GL_ONE).
    virtual bool getIsBlendAdditive() const;
    virtual void setIsBlendAdditive(bool additive);
    virtual tZTPositionType getPositionType() const { return m_ePositionType; }
    // A value other than the three is taken as kZTPositionTypeFree, with one log line.
    virtual void setPositionType(tZTPositionType type);
    // Whether the emitter leaves its parent once its last particle died.
    virtual bool getIsAutoRemoveOnFinish() const { return m_bIsAutoRemoveOnFinish; }
    virtual void setIsAutoRemoveOnFinish(bool autoRemove) { m_bIsAutoRemoveOnFinish = autoRemove; }
    virtual int getEmitterMode() const { return m_nEmitterMode; }
    virtual void setEmitterMode(int mode) { m_nEmitterMode = mode; }

    // The direction particles are emitted in now, degrees counter-clockwise: Angle less the rotations of the
    // ancestors up to the rotation-inversion node.
    float baseAngle() const;

    // The path initWithFile resolved; empty before.
    const std::string& getPlistFile() const { return m_sPlistFile; }

protected:
    // Writes the quads of pool slots from .. to - 1 from their draw positions, colours, sizes and
    // rotations; nothing in the base class.
    virtual void updateQuads(unsigned int from, unsigned int to);
    // After each step that did not remove the emitter; nothing in the base class.
    virtual void postStep();

    const ZTParticlePool& getPool() const { return m_tPool; }
    // Fills the pool's draw positions of slots from .. to - 1 for the step under way (see tZTPositionType).
    void computeDrawPositions(unsigned int from, unsigned int to);
    // The number of particles whose quads the last step wrote.
    unsigned int getParticleIndex() const { return m_uParticleIdx; }

private:
    bool loadTexture(ZTMutableDictionary<std::string, ZTObject*>* dictionary);
    // Where particles are born and measured from this step, in pixels (see tZTPositionType).
    ZTPoint referencePoint();
    // Removes the particles that don't outlive dt; true when the emitter just finished and removes itself.
    bool retireDeadParticles(float dt);
    void moveParticles(unsigned int from, unsigned int to, float dt);

    std::string m_sPlistFile;
    float m_fElapsed = 0.0f;

    ZTPoint m_tGravity;
    float m_fSpeed = 0.0f;
    float m_fSpeedVar = 0.0f;
    float m_fTangentialAccel = 0.0f;
    float m_fTangentialAccelVar = 0.0f;
    float m_fRadialAccel = 0.0f;
    float m_fRadialAccelVar = 0.0f;

    float m_fStartRadius = 0.0f;
    float m_fStartRadiusVar = 0.0f;
    float m_fEndRadius = 0.0f;
    float m_fEndRadiusVar = 0.0f;
    float m_fRotatePerSecond = 0.0f;
    float m_fRotatePerSecondVar = 0.0f;

    ZTParticlePool m_tPool;
    ZTPoint m_tStepReference; // referencePoint() of the step under way
    float m_fEmitCounter = 0.0f;
    unsigned int m_uParticleIdx = 0;
    bool m_bIsActive = true;
    unsigned int m_uParticleCount = 0;

    float m_fDuration = 0.0f;
    ZTPoint m_tSourcePosition;
    ZTPoint m_tPosVar;
    float m_fLife = 0.0f;
    float m_fLifeVar = 0.0f;
    float m_fAngle = 0.0f;
    float m_fAngleVar = 0.0f;
    float m_fStartSize = 0.0f;
    float m_fStartSizeVar = 0.0f;
    float m_fEndSize = 0.0f;
    float m_fEndSizeVar = 0.0f;
    ztColor4F m_tStartColor = {0.0f, 0.0f, 0.0f, 0.0f};
    ztColor4F m_tStartColorVar = {0.0f, 0.0f, 0.0f, 0.0f};
    ztColor4F m_tEndColor = {0.0f, 0.0f, 0.0f, 0.0f};
    ztColor4F m_tEndColorVar = {0.0f, 0.0f, 0.0f, 0.0f};
    float m_fStartSpin = 0.0f;
    float m_fStartSpinVar = 0.0f;
    float m_fEndSpin = 0.0f;
    float m_fEndSpinVar = 0.0f;
    float m_fEmissionRate = 0.0f;
    unsigned int m_uTotalParticles = 0;

    ZTTexture2D* m_pTexture = nullptr;
    ztBlendFunc m_tBlendFunc = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    tZTPositionType m_ePositionType = kZTPositionTypeFree;
    bool m_bIsAutoRemoveOnFinish = false;
    int m_nEmitterMode = kZTParticleModeGravity;

    // -1: nothing to simulate.
    float m_fStoredDelta = -1.0f;
    // Set when the last particle of an auto-removing emitter died inside visit; the next update removes it.
    bool m_bRemovalPending = false;
};

} // namespace zanth2d
