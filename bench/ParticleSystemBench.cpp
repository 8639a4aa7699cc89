// Cost of one simulation step of the particle emitter, in nanoseconds per live particle (the
// "ns_per_particle" counter), at 1,000, 10,000 and 100,000 live particles: "update" is the plain emitter
// (ageing and movement), "update+quads" the quad renderer (the same plus the rotated, coloured quads).
// No GL: the vertex upload is left out. Gravity mode with radial and tangential acceleration, colour,
// size and spin changing; every particle lives through every timed step, and the pool is refilled from
// the same seed every 150 steps (2.5 s of 1/60 s frames) with the timer paused.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "particle_nodes/ZTParticleSystem.h"
#include "particle_nodes/ZTParticleSystemQuad.h"

using namespace zanth2d;

namespace {

constexpr float kDt = 1.0f / 60.0f;
constexpr int kRefillEvery = 150;

// A full pool of live particles; the emitter is retained by the caller.
template <typename Emitter> Emitter* fullEmitter(unsigned int count)
{
    std::srand(12345);
    auto* emitter = new Emitter();
    emitter->initWithTotalParticles(count);
    emitter->setPosition(ZTPoint(480, 320));
    emitter->setDuration(kZTParticleDurationInfinity);
    emitter->setLife(3.8f);
    emitter->setLifeVar(1.2f);
    emitter->setAngleVar(180);
    emitter->setSpeed(100);
    emitter->setSpeedVar(50);
    emitter->setGravity(ZTPoint(0, -98));
    emitter->setRadialAccelVar(100);
    emitter->setTangentialAccelVar(100);
    emitter->setPosVar(ZTPoint(100, 100));
    emitter->setStartColor({0.5f, 0.5f, 0.5f, 0.75f});
    emitter->setStartColorVar({0.5f, 0.5f, 0.5f, 0.25f});
    emitter->setEndColor({0.5f, 0.5f, 0.5f, 0.0f});
    emitter->setEndColorVar({0.5f, 0.5f, 0.5f, 0.0f});
    emitter->setStartSize(24);
    emitter->setStartSizeVar(16);
    emitter->setEndSize(8);
    emitter->setStartSpinVar(180);
    emitter->setEndSpinVar(360);
    // Non-zero so that each step runs; the full pool leaves no room to emit.
    emitter->setEmissionRate(static_cast<float>(count) / 3.8f);
    while (emitter->addParticle()) {
    }
    return emitter;
}

template <typename Emitter> void BM_Step(benchmark::State& state)
{
    const auto count = static_cast<unsigned int>(state.range(0));
    Emitter* emitter = fullEmitter<Emitter>(count);
    int step = 0;
    for (auto _ : state) {
        emitter->update(kDt);
        emitter->updateParticles();
        benchmark::ClobberMemory();
        if (++step == kRefillEvery) {
            state.PauseTiming();
            if (emitter->getParticleCount() != count) {
                state.SkipWithError("particles died during the timed steps");
            }
            emitter->release();
            emitter = fullEmitter<Emitter>(count);
            step = 0;
            state.ResumeTiming();
        }
    }
    emitter->release();
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
    state.counters["ns_per_particle"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK_TEMPLATE(BM_Step, ZTParticleSystem)->Name("update")->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK_TEMPLATE(BM_Step, ZTParticleSystemQuad)->Name("update+quads")->Arg(1000)->Arg(10000)->Arg(100000);

int main(int argc, char** argv)
{
    ZTDirector::sharedDirector();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ZTPoolManager::getInstance()->getCurReleasePool()->clear();
    return 0;
}
