#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ZTDirector.h"
#include "base_nodes/ZTNode.h"
#include "particle_nodes/ZTParticleSystemQuad.h"

// An autoreleased emitter whose particles are all alike: white, 10 points, living 1 s, born at the
// emitter's origin without speed or variance, in gravity mode. It emits forever, but at a rate too low
// to emit by itself within a test, so particles come from addParticle unless a test sets a rate.
template <typename Emitter> Emitter* plainEmitter(unsigned int pool)
{
    auto* emitter = new Emitter();
    EXPECT_TRUE(emitter->initWithTotalParticles(pool));
    emitter->autorelease();
    const zanth2d::ztColor4F white = {1.0f, 1.0f, 1.0f, 1.0f};
    const zanth2d::ztColor4F none = {0.0f, 0.0f, 0.0f, 0.0f};
    emitter->setStartColor(white);
    emitter->setStartColorVar(none);
    emitter->setEndColor(white);
    emitter->setEndColorVar(none);
    emitter->setStartSize(10.0f);
    emitter->setEndSize(10.0f);
    emitter->setLife(1.0f);
    emitter->setDuration(zanth2d::kZTParticleDurationInfinity);
    emitter->setEmissionRate(0.001f);
    return emitter;
}

// One frame: the scheduler's update stores dt, then the visit (of root, or of the emitter) simulates.
inline void frame(zanth2d::ZTParticleSystem* emitter, float dt, zanth2d::ZTNode* root = nullptr)
{
    emitter->update(dt);
    (root ? root : emitter)->visit();
}

// The number of lines f writes to standard output (the scene graph's log).
template <typename F> int loggedLines(F f, std::string* text = nullptr)
{
    testing::internal::CaptureStdout();
    f();
    const std::string log = testing::internal::GetCapturedStdout();
    if (text) {
        *text = log;
    }
    return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
}
