#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "ParticleTestSupport.h"
#include "RecordingNode.h"
#include "ZTDirector.h"
#include "ZTScheduler.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "particle_nodes/ZTParticleSetting.h"
#include "particle_nodes/ZTParticleSystem.h"
#include "particle_nodes/ZTParticleSystemQuad.h"
#include "sprite_nodes/SpriteScene.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

class ParticleEmitter : public ::testing::Test
{
protected:
    ZTParticleSystem* emitter(unsigned int pool = 10) { return plainEmitter<ZTParticleSystem>(pool); }

    // The centre of the quad of pool slot index, where the renderer draws the particle.
    static ZTPoint drawnAt(ZTParticleSystemQuad* emitter, unsigned int index)
    {
        const ztV2F_C4B_T2F_Quad& quad = emitter->getQuads()[index];
        return ZTPoint((quad.bl.vertices.x + quad.tr.vertices.x) / 2,
                       (quad.bl.vertices.y + quad.tr.vertices.y) / 2);
    }

    std::vector<std::string> m_log; // outlives the scene, whose end frees the nodes that write to it
    SpriteScene m_scene;
};

// The rand() draws one particle's birth takes, measured by where the sequence goes on afterwards.
int drawsOfOneBirth(ZTParticleSystem* emitter)
{
    std::srand(42);
    emitter->addParticle();
    const int next = std::rand();
    std::srand(42);
    for (int draws = 0; draws < 64; ++draws) {
        if (std::rand() == next) {
            return draws;
        }
    }
    return -1;
}

} // namespace

// Emission

TEST_F(ParticleEmitter, rateTenOverAQuarterSecondEmitsTwoAndCarriesTheRestOver)
{
    ZTParticleSystem* e = emitter();
    e->setEmissionRate(10);
    frame(e, 0.25f);
    EXPECT_EQ(e->getParticleCount(), 2u);
    // 0.05 s were left over: another 0.06 s passes the 0.1 s a particle takes.
    frame(e, 0.06f);
    EXPECT_EQ(e->getParticleCount(), 3u);
}

TEST_F(ParticleEmitter, particlesAreAgedInTheStepThatEmitsThem)
{
    ZTParticleSystem* e = emitter();
    e->setEmissionRate(10);
    frame(e, 0.25f);
    ASSERT_EQ(e->getParticleCount(), 2u);
    EXPECT_FLOAT_EQ(e->getParticle(0).timeToLive, 0.75f);
    EXPECT_FLOAT_EQ(e->getParticle(1).timeToLive, 0.75f);
}

TEST_F(ParticleEmitter, fullPoolKeepsCountingSoFreedSlotsRefillAtTheNextStep)
{
    ZTParticleSystem* e = emitter(5);
    e->setLife(0.15f);
    e->addParticle();
    e->addParticle();
    e->setLife(1.0f);
    e->addParticle();
    e->addParticle();
    e->addParticle();
    ASSERT_TRUE(e->isFull());
    e->setEmissionRate(20);

    frame(e, 0.2f);
    EXPECT_EQ(e->getParticleCount(), 3u) << "two died, none could be born into a full pool";
    frame(e, 0.2f);
    EXPECT_EQ(e->getParticleCount(), 5u) << "the counter grew while full: both slots refill at once";
}

TEST_F(ParticleEmitter, totalParticlesAbovePoolStopsAtThePool)
{
    ZTParticleSystem* e = emitter(5);
    e->setTotalParticles(50);
    EXPECT_EQ(e->getTotalParticles(), 5u);
    e->setEmissionRate(1000);
    frame(e, 0.5f);
    EXPECT_EQ(e->getParticleCount(), 5u);
    EXPECT_FALSE(e->addParticle());
}

// Duration and stopping

TEST_F(ParticleEmitter, infiniteDurationNeverStopsEmitting)
{
    ZTParticleSystem* e = emitter(1000);
    e->setEmissionRate(10);
    for (int i = 0; i < 50; ++i) {
        frame(e, 1.0f);
    }
    EXPECT_TRUE(e->getIsActive());
}

TEST_F(ParticleEmitter, durationZeroStopsAfterTheEmissionOfTheFirstStep)
{
    ZTParticleSystem* e = emitter();
    e->setDuration(0);
    e->setEmissionRate(10);
    frame(e, 0.25f);
    EXPECT_EQ(e->getParticleCount(), 2u);
    EXPECT_FALSE(e->getIsActive());
    frame(e, 0.25f);
    EXPECT_EQ(e->getParticleCount(), 2u);
}

TEST_F(ParticleEmitter, stoppedEmitterPlaysOutWithTheLastFrameTimeThenIdles)
{
    ZTParticleSystem* e = emitter();
    e->setEmissionRate(10);
    frame(e, 0.25f);
    e->stopSystem();
    // A stopped emitter stores no frame time: its particles age by the last one, 0.25 s.
    frame(e, 5.0f);
    ASSERT_EQ(e->getParticleCount(), 2u);
    EXPECT_FLOAT_EQ(e->getParticle(0).timeToLive, 0.5f);
    frame(e, 5.0f);
    frame(e, 5.0f);
    EXPECT_EQ(e->getParticleCount(), 0u);

    frame(e, 5.0f);
    e->addParticle();
    e->visit();
    EXPECT_FLOAT_EQ(e->getParticle(0).timeToLive, 1.0f) << "an idle emitter simulates nothing";
}

TEST_F(ParticleEmitter, resetSystemLetsEveryLiveParticleDieAtTheNextStep)
{
    ZTParticleSystem* e = emitter();
    e->addParticle();
    e->addParticle();
    e->stopSystem();
    e->resetSystem();
    EXPECT_TRUE(e->getIsActive());
    frame(e, 0.01f);
    EXPECT_EQ(e->getParticleCount(), 0u);
}

// Birth

TEST_F(ParticleEmitter, endSizeMinusOneKeepsTheStartSizeAndDrawsNoNumberForIt)
{
    ZTParticleSystem* e = emitter();
    e->setStartSizeVar(4);
    e->setEndSizeVar(3);
    EXPECT_EQ(drawsOfOneBirth(e), 19);

    e->setEndSize(kZTParticleStartSizeEqualToEndSize);
    EXPECT_EQ(drawsOfOneBirth(e), 18);
    const float startSize = e->getParticle(1).size;
    EXPECT_EQ(e->getParticle(1).deltaSize, 0.0f);
    frame(e, 0.5f);
    EXPECT_EQ(e->getParticle(1).size, startSize);
}

TEST_F(ParticleEmitter, endRadiusMinusOneKeepsTheRadiusButStillDrawsItsNumber)
{
    ZTParticleSystem* e = emitter();
    e->setEmitterMode(kZTParticleModeRadius);
    e->setEndSize(kZTParticleStartSizeEqualToEndSize);
    e->setStartRadius(50);
    e->setEndRadius(kZTParticleStartRadiusEqualToEndRadius);
    e->setEndRadiusVar(20);
    EXPECT_EQ(drawsOfOneBirth(e), 18);
    EXPECT_EQ(e->getParticle(0).deltaRadius, 0.0f);
    EXPECT_EQ(e->getParticle(0).radius, 50.0f);
}

TEST_F(ParticleEmitter, birthColoursAreClampedAndDeltasReachTheEndColourAtDeath)
{
    ZTParticleSystem* e = emitter();
    e->setStartColor({2.0f, 0.5f, -1.0f, 1.0f});
    e->setEndColor({0.0f, 0.5f, 1.0f, 0.0f});
    e->setLife(2.0f);
    e->addParticle();
    const sZTParticle p = e->getParticle(0);
    EXPECT_EQ(p.color.r, 1.0f);
    EXPECT_EQ(p.color.b, 0.0f);
    EXPECT_FLOAT_EQ(p.deltaColor.r, -0.5f);
    EXPECT_FLOAT_EQ(p.deltaColor.b, 0.5f);
    EXPECT_FLOAT_EQ(p.deltaColor.a, -0.5f);
}

// Movement

TEST_F(ParticleEmitter, gravityModeMovesBySpeedAndGravity)
{
    ZTParticleSystem* e = emitter();
    e->setPositionType(kZTPositionTypeGrouped);
    e->setSpeed(100);
    e->setGravity(ZTPoint(0, -100));
    e->addParticle();
    frame(e, 0.1f);
    // Velocity (100, 0) + (0, -100) x 0.1 = (100, -10), then 0.1 s of it.
    EXPECT_NEAR(e->getParticle(0).pos.x, 10.0f, 1e-4);
    EXPECT_NEAR(e->getParticle(0).pos.y, -1.0f, 1e-4);
}

TEST_F(ParticleEmitter, radialAccelerationPushesAlongThePositionAndTangentialAcrossIt)
{
    ZTParticleSystem* radial = emitter();
    radial->setPositionType(kZTPositionTypeGrouped);
    radial->setSourcePosition(ZTPoint(10, 0));
    radial->setRadialAccel(100);
    radial->addParticle();
    frame(radial, 0.1f);
    EXPECT_NEAR(radial->getParticle(0).pos.x, 11.0f, 1e-4);
    EXPECT_NEAR(radial->getParticle(0).pos.y, 0.0f, 1e-4);

    ZTParticleSystem* tangential = emitter();
    tangential->setPositionType(kZTPositionTypeGrouped);
    tangential->setSourcePosition(ZTPoint(10, 0));
    tangential->setTangentialAccel(100);
    tangential->addParticle();
    frame(tangential, 0.1f);
    EXPECT_NEAR(tangential->getParticle(0).pos.x, 10.0f, 1e-4);
    EXPECT_NEAR(tangential->getParticle(0).pos.y, 1.0f, 1e-4);
}

TEST_F(ParticleEmitter, particleAtTheExactOriginGetsNoRadialAcceleration)
{
    ZTParticleSystem* e = emitter();
    e->setPositionType(kZTPositionTypeGrouped);
    e->setRadialAccel(100);
    e->setTangentialAccel(100);
    e->addParticle();
    frame(e, 0.1f);
    EXPECT_EQ(e->getParticle(0).pos.x, 0.0f);
    EXPECT_EQ(e->getParticle(0).pos.y, 0.0f);
}

TEST_F(ParticleEmitter, radiusModeTurnsAndShrinksTowardTheEndRadius)
{
    ZTParticleSystem* e = emitter();
    e->setPositionType(kZTPositionTypeGrouped);
    e->setEmitterMode(kZTParticleModeRadius);
    e->setStartRadius(100);
    e->setEndRadius(10);
    e->setRotatePerSecond(90);
    e->addParticle();
    frame(e, 0.5f);
    // 45 degrees turned; radius 100 + (10 - 100) x 0.5 = 55; positions lie opposite the angle.
    const sZTParticle p = e->getParticle(0);
    EXPECT_NEAR(p.radius, 55.0f, 1e-4);
    EXPECT_NEAR(p.pos.x, -55.0f * std::sqrt(0.5f), 1e-3);
    EXPECT_NEAR(p.pos.y, -55.0f * std::sqrt(0.5f), 1e-3);
}

TEST_F(ParticleEmitter, rotationInversionNodeTurnsTheEmissionAgainstTheAncestorsRotation)
{
    ZTNode* parent = ZTNode::node();
    parent->setRotation(30);
    ZTParticleSystem* e = emitter();
    e->setSpeed(100);
    parent->addChild(e);
    e->addParticle();
    EXPECT_NEAR(e->getParticle(0).dir.x, 100.0f, 1e-3) << "without an inversion node the angle stands";

    e->setRotationInversionNode(parent);
    e->addParticle();
    EXPECT_NEAR(e->getParticle(1).dir.x, 100.0f * std::cos(30.0f * 0.017453292f), 1e-3);
    EXPECT_NEAR(e->getParticle(1).dir.y, -100.0f * std::sin(30.0f * 0.017453292f), 1e-3);
}

// Position types, seen where the renderer draws the particles.

TEST_F(ParticleEmitter, freeParticlesStayBehindAsTheEmitterMoves)
{
    auto* e = plainEmitter<ZTParticleSystemQuad>(4);
    e->addParticle();
    e->setPosition(ZTPoint(10, 0));
    frame(e, 0.01f);
    EXPECT_NEAR(drawnAt(e, 0).x, -10.0f, 1e-4);

    ZTDirector::sharedDirector()->setZanthContentScaleFactor(2.0f);
    e->setPosition(ZTPoint(20, 0));
    frame(e, 0.01f);
    ZTDirector::sharedDirector()->setZanthContentScaleFactor(1.0f);
    EXPECT_NEAR(drawnAt(e, 0).x, -10.0f, 1e-4) << "20 units moved count as 10";
}

TEST_F(ParticleEmitter, relativeParticlesStayWhenTheParentMovesAndFollowTheEmitterInsideIt)
{
    ZTNode* parent = ZTNode::node();
    auto* e = plainEmitter<ZTParticleSystemQuad>(4);
    e->setPositionType(kZTPositionTypeRelative);
    parent->addChild(e);
    e->addParticle();
    parent->setPosition(ZTPoint(0, 10));
    frame(e, 0.01f);
    EXPECT_NEAR(drawnAt(e, 0).y, -10.0f, 1e-4);
    e->setPosition(ZTPoint(0, 30));
    frame(e, 0.01f);
    EXPECT_NEAR(drawnAt(e, 0).y, -10.0f, 1e-4);
}

TEST_F(ParticleEmitter, groupedParticlesMoveWithTheEmitter)
{
    ZTNode* parent = ZTNode::node();
    auto* e = plainEmitter<ZTParticleSystemQuad>(4);
    e->setPositionType(kZTPositionTypeGrouped);
    parent->addChild(e);
    e->addParticle();
    parent->setPosition(ZTPoint(10, 10));
    e->setPosition(ZTPoint(5, 5));
    frame(e, 0.01f);
    EXPECT_NEAR(drawnAt(e, 0).x, 0.0f, 1e-4);
    EXPECT_NEAR(drawnAt(e, 0).y, 0.0f, 1e-4);
}

TEST_F(ParticleEmitter, anUnknownPositionTypeIsTheFreeOneWithOneLogLine)
{
    // Files and QML hand the setting any whole number.
    const ZTParticleSetting& type = ZTParticleSetting::setting(ZTParticleSetting::kPositionType);
    for (int value : {99, -1, 3, INT_MIN}) {
        auto* e = plainEmitter<ZTParticleSystemQuad>(4);
        e->setPositionType(kZTPositionTypeGrouped);
        ZTParticleValue number;
        number.integer = value;
        std::string text;
        EXPECT_EQ(loggedLines([&] { type.set(*e, number); }, &text), 1) << value;
        EXPECT_NE(text.find(std::to_string(value)), std::string::npos) << text;
        EXPECT_EQ(e->getPositionType(), kZTPositionTypeFree) << value;
        EXPECT_EQ(type.get(*e).integer, kZTPositionTypeFree) << value;
        // And it moves its particles as a free emitter does.
        e->addParticle();
        e->setPosition(ZTPoint(10, 0));
        frame(e, 0.01f);
        EXPECT_NEAR(drawnAt(e, 0).x, -10.0f, 1e-4) << value;
    }
    auto* e = plainEmitter<ZTParticleSystemQuad>(4);
    ZTParticleValue grouped;
    grouped.integer = kZTPositionTypeGrouped;
    EXPECT_EQ(loggedLines([&] { type.set(*e, grouped); }), 0);
    EXPECT_EQ(e->getPositionType(), kZTPositionTypeGrouped);
}

// Death and removal

TEST_F(ParticleEmitter, deadParticleTakesTheLastOneWhichAgesInTheSamePass)
{
    ZTParticleSystem* e = emitter();
    for (float life : {0.05f, 1.0f, 2.0f}) {
        e->setLife(life);
        e->addParticle();
    }
    frame(e, 0.1f);
    ASSERT_EQ(e->getParticleCount(), 2u);
    EXPECT_FLOAT_EQ(e->getParticle(0).timeToLive, 1.9f);
    EXPECT_FLOAT_EQ(e->getParticle(1).timeToLive, 0.9f);
}

TEST_F(ParticleEmitter, finishedAutoRemovingEmitterLeavesItsParentAtTheNextUpdateNotInsideVisit)
{
    ZTNode* parent = ZTNode::node();
    ZTParticleSystem* e = emitter();
    e->setIsAutoRemoveOnFinish(true);
    e->setLife(0.05f);
    e->addParticle();
    parent->addChild(e);
    parent->addChild(Recording<ZTNode>::create(&m_log, "sibling"));

    frame(e, 0.1f, parent);
    EXPECT_EQ(e->getParticleCount(), 0u);
    EXPECT_EQ(parent->getChildrenCount(), 2u) << "still a child after its own visit";
    EXPECT_EQ(m_log, std::vector<std::string>{"sibling.draw"}) << "the next child is still drawn";

    e->retain();
    e->update(0.1f);
    EXPECT_EQ(parent->getChildrenCount(), 1u);
    EXPECT_EQ(e->getParent(), nullptr);
    e->release();
}

// Pool and scheduling

TEST_F(ParticleEmitter, poolAboveTheLargestIsRefusedWithOneLogLine)
{
    ZTParticleSystemQuad* refused = nullptr;
    EXPECT_EQ(loggedLines([&] {
                  refused = ZTParticleSystemQuad::particleWithTotalParticles(
                      ZTParticleSystem::kMaxTotalParticles + 1);
              }),
              1);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(loggedLines([&] {
                  refused = ZTParticleSystemQuad::particleWithTotalParticles(static_cast<unsigned int>(-5));
              }),
              1);
    EXPECT_EQ(refused, nullptr);

    auto* e = new ZTParticleSystem();
    EXPECT_TRUE(e->initWithTotalParticles(3));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(e->initWithTotalParticles(ZTParticleSystem::kMaxTotalParticles + 1));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(e->getTotalParticles(), 0u) << "a refused pool leaves none behind";
    EXPECT_FALSE(e->addParticle());
    e->release();
}

TEST_F(ParticleEmitter, onlyAnEmitterInARunningSceneIsScheduled)
{
    ZTParticleSystem* e = emitter();
    EXPECT_EQ(e->retainCount(), 1u) << "the scheduler holds nothing it would have to let go of";

    ZTScene* scene = ZTScene::node();
    scene->onEnter();
    scene->addChild(e);
    const unsigned int held = e->retainCount();
    EXPECT_GT(held, 2u) << "parent and scheduler";
    e->setEmissionRate(10);
    ZTDirector::sharedDirector()->getScheduler()->tick(0.25f);
    e->visit();
    EXPECT_EQ(e->getParticleCount(), 2u) << "the scheduler's update stored the frame time";

    scene->removeChild(e, true);
    EXPECT_EQ(e->retainCount(), 1u);
    scene->onExit();
}

// Texture and blending

TEST_F(ParticleEmitter, textureWithoutPremultipliedAlphaBlendsBySourceAlpha)
{
    const unsigned char pixels[16] = {255, 255, 255, 255, 255, 255, 255, 255,
                                      255, 255, 255, 255, 255, 255, 255, 255};
    auto* texture = new ZTTexture2D();
    ASSERT_TRUE(texture->initWithData(pixels, kZTTexture2DPixelFormat_RGBA8888, 2, 2, ZTSize(2, 2)));
    ASSERT_FALSE(texture->getHasPremultipliedAlpha());

    ZTParticleSystem* e = emitter();
    e->setTexture(texture);
    EXPECT_EQ(e->getBlendFunc().src, static_cast<GLenum>(GL_SRC_ALPHA));
    EXPECT_EQ(e->getBlendFunc().dst, static_cast<GLenum>(GL_ONE_MINUS_SRC_ALPHA));
    EXPECT_EQ(texture->retainCount(), 2u);

    e->setIsBlendAdditive(true);
    EXPECT_TRUE(e->getIsBlendAdditive());
    EXPECT_EQ(e->getBlendFunc().dst, static_cast<GLenum>(GL_ONE));
    e->setIsBlendAdditive(false);
    EXPECT_EQ(e->getBlendFunc().src, static_cast<GLenum>(GL_SRC_ALPHA));

    e->setTexture(nullptr);
    e->setIsBlendAdditive(false);
    EXPECT_EQ(e->getBlendFunc().src, static_cast<GLenum>(GL_ONE));
    EXPECT_EQ(texture->retainCount(), 1u);
    texture->release();
}
