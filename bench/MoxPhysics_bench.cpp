// Physics steps of one scene, ours against references stepping the same bodies from the same start.
// One physics step of a full scene (223 blocks, two flomps, sixteen shots in "busy"),
// ours against the plain all-pairs step it must match bit for bit and against box2d
// stepping the same boxes. Each iteration runs 300 steps from a fresh start state.
#include "bench/BenchPairs.h"
#include "game/MoxPhysics.h"
#include "tests/game/MoxPhysicsLiteral.h"
#include "tests/game/MoxPhysicsWorlds.h"

#include <benchmark/benchmark.h>
#include <box2d/box2d.h>

#include <memory>

namespace
{
const int kSteps = 300;
const float kScale = 10.0f; // box2d is tuned for objects of 0.1 to 10 metres
const float kStepsPerSecond = 30.0f;

typedef void (*PFN_SCENE)(CMoxPhysics&);

std::unique_ptr<CMoxPhysics> NewWorld(PFN_SCENE scene)
{
    std::unique_ptr<CMoxPhysics> w(new CMoxPhysics);
    w->Startup(1.0f / kStepsPerSecond, 4);
    scene(*w);
    return w;
}

// The same boxes for box2d: scaled, with densities giving the same masses and a gravity
// that adds 0.003 units per step. Our boxes never turn, nor do these.
std::unique_ptr<b2World> NewBox2dWorld(PFN_SCENE scene)
{
    std::unique_ptr<CMoxPhysics> source = NewWorld(scene);
    const float g = source->m_vGravity.y * kStepsPerSecond * kStepsPerSecond * kScale;
    std::unique_ptr<b2World> world(new b2World(b2Vec2(0.0f, g)));
    world->SetAllowSleeping(false); // our step never skips a body
    for (int i = 0; i < source->m_Bodies.GetCount(); ++i)
    {
        const CBody* b = source->m_Bodies[i];
        b2BodyDef def;
        def.type = b->m_uType == BODY_DYNAMIC ? b2_dynamicBody : b2_staticBody;
        def.position.Set(b->m_vPosition.x * kScale, b->m_vPosition.y * kScale);
        def.linearVelocity.Set(b->m_vVelocity.x * kStepsPerSecond * kScale,
                               b->m_vVelocity.y * kStepsPerSecond * kScale);
        def.fixedRotation = true;
        b2Body* body = world->CreateBody(&def);
        b2PolygonShape box;
        box.SetAsBox(b->m_vHalfSize.x * kScale, b->m_vHalfSize.y * kScale);
        b2FixtureDef fixture;
        fixture.shape = &box;
        float area = 4.0f * b->m_vHalfSize.x * kScale * b->m_vHalfSize.y * kScale;
        fixture.density = b->m_uType == BODY_DYNAMIC ? b->m_fMass / area : 0.0f;
        fixture.friction = b->m_fFriction;
        fixture.restitution = b->m_fBounce;
        body->CreateFixture(&fixture);
    }
    return world;
}

void Box2dStep(b2World& w)
{
    w.Step(1.0f / kStepsPerSecond, 8, 3);
}

int TouchingContacts(b2World& w)
{
    int n = 0;
    for (b2Contact* c = w.GetContactList(); c; c = c->GetNext())
        n += c->IsTouching() ? 1 : 0;
    return n;
}

int OurContacts(CMoxPhysics& w)
{
    return w.m_iContacts;
}

void OurStep(CMoxPhysics& w)
{
    w.Simulate();
}

void PlainStep(CMoxPhysics& w)
{
    literal_step::Simulate(w);
}

// Contacts per step counted in a run of its own, then the timed runs, each from a fresh
// world made outside the timing.
template <class W>
void Run(benchmark::State& state, PFN_SCENE scene, std::unique_ptr<W> (*make)(PFN_SCENE), void (*step)(W&),
         int (*contacts)(W&))
{
    double counted = 0;
    {
        std::unique_ptr<W> w = make(scene);
        for (int s = 0; s < kSteps; ++s)
        {
            step(*w);
            counted += contacts(*w);
        }
    }
    for (auto _ : state)
    {
        state.PauseTiming();
        std::unique_ptr<W> w = make(scene);
        state.ResumeTiming();
        for (int s = 0; s < kSteps; ++s)
            step(*w);
        benchmark::DoNotOptimize(w.get());
        benchmark::ClobberMemory();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    state.counters["step"] = benchmark::Counter(static_cast<double>(kSteps) * state.iterations(),
                                                benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["contacts"] = counted / kSteps;
}

void BM_Mox(benchmark::State& state, PFN_SCENE scene)
{
    Run<CMoxPhysics>(state, scene, NewWorld, OurStep, OurContacts);
}

void BM_MoxPlain(benchmark::State& state, PFN_SCENE scene)
{
    Run<CMoxPhysics>(state, scene, NewWorld, PlainStep, OurContacts);
}

void BM_Box2d(benchmark::State& state, PFN_SCENE scene)
{
    Run<b2World>(state, scene, NewBox2dWorld, Box2dStep, TouchingContacts);
}
} // namespace

BENCHMARK_CAPTURE(BM_Mox, rest, mox_worlds::BuildRestScene)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MoxPlain, rest, mox_worlds::BuildRestScene)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Box2d, rest, mox_worlds::BuildRestScene)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Mox, busy, mox_worlds::BuildBusyScene)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MoxPlain, busy, mox_worlds::BuildBusyScene)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Box2d, busy, mox_worlds::BuildBusyScene)->Unit(benchmark::kMicrosecond);
KORVEL_BENCH_PAIR("physics rest vs plain all-pairs step", "BM_Mox/rest", "BM_MoxPlain/rest");
KORVEL_BENCH_PAIR("physics rest vs box2d", "BM_Mox/rest", "BM_Box2d/rest");
KORVEL_BENCH_PAIR("physics busy vs plain all-pairs step", "BM_Mox/busy", "BM_MoxPlain/busy");
KORVEL_BENCH_PAIR("physics busy vs box2d", "BM_Mox/busy", "BM_Box2d/busy");
