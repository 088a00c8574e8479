// A match frame batched against the same frame drawn one call per block, same scene and GL.
// One match frame drawn on headless Mesa: the match screen of a networked match (the
// in-process harness's instance A) on a generated scene of 223 blocks over every layer,
// material and look, with both flomps, an aim, four shots, water, texts and controls. No
// outside library draws this program's blocks, so the reference in the same run is the
// same frame with block batching off (one draw call per block).
//
// The program defines the GL entry points the frame uses, so the engine's calls reach
// these first; each passes the call on and adds its time, which gives the time spent
// outside GL. A frame ends with glFinish so that Mesa's work is inside the frame.
#include "bench/BenchPairs.h"
#include <benchmark/benchmark.h>

#include <GLES2/gl2.h>
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <tuple>

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "game/MoxBlock.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "support/MatchHarness.h"

namespace
{
double g_fGlSeconds = 0.0;

struct sGL_TIMER
{
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    ~sGL_TIMER()
    {
        g_fGlSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
};
} // namespace

// ret is a type and params a parameter list: neither can be parenthesised.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define TIMED_GL(ret, name, params, args)                                                                    \
    extern "C" ret GL_APIENTRY name params                                                                   \
    {                                                                                                        \
        static auto s_pReal = reinterpret_cast<ret(GL_APIENTRY*) params>(dlsym(RTLD_NEXT, #name));           \
        sGL_TIMER timer;                                                                                     \
        return s_pReal args;                                                                                 \
    }
// NOLINTEND(bugprone-macro-parentheses)

TIMED_GL(void, glActiveTexture, (GLenum a), (a))
TIMED_GL(void, glBindBuffer, (GLenum a, GLuint b), (a, b))
TIMED_GL(void, glBindTexture, (GLenum a, GLuint b), (a, b))
TIMED_GL(void, glBlendEquation, (GLenum a), (a))
TIMED_GL(void, glBlendEquationSeparate, (GLenum a, GLenum b), (a, b))
TIMED_GL(void, glBlendFunc, (GLenum a, GLenum b), (a, b))
TIMED_GL(void, glBlendFuncSeparate, (GLenum a, GLenum b, GLenum c, GLenum d), (a, b, c, d))
TIMED_GL(void, glClear, (GLbitfield a), (a))
TIMED_GL(void, glClearColor, (GLfloat a, GLfloat b, GLfloat c, GLfloat d), (a, b, c, d))
TIMED_GL(void, glDepthMask, (GLboolean a), (a))
TIMED_GL(void, glDisable, (GLenum a), (a))
TIMED_GL(void, glDisableVertexAttribArray, (GLuint a), (a))
TIMED_GL(void, glDrawArrays, (GLenum a, GLint b, GLsizei c), (a, b, c))
TIMED_GL(void, glDrawElements, (GLenum a, GLsizei b, GLenum c, const void* d), (a, b, c, d))
TIMED_GL(void, glEnable, (GLenum a), (a))
TIMED_GL(void, glEnableVertexAttribArray, (GLuint a), (a))
TIMED_GL(void, glFinish, (), ())
TIMED_GL(void, glGetIntegerv, (GLenum a, GLint* b), (a, b))
TIMED_GL(void, glPixelStorei, (GLenum a, GLint b), (a, b))
TIMED_GL(void, glScissor, (GLint a, GLint b, GLsizei c, GLsizei d), (a, b, c, d))
TIMED_GL(void, glTexParameteri, (GLenum a, GLenum b, GLint c), (a, b, c))
TIMED_GL(void, glUniform1i, (GLint a, GLint b), (a, b))
TIMED_GL(void, glUniform2f, (GLint a, GLfloat b, GLfloat c), (a, b, c))
TIMED_GL(void, glUniform4f, (GLint a, GLfloat b, GLfloat c, GLfloat d, GLfloat e), (a, b, c, d, e))
TIMED_GL(void, glUniform4fv, (GLint a, GLsizei b, const GLfloat* c), (a, b, c))
TIMED_GL(void, glUniformMatrix4fv, (GLint a, GLsizei b, GLboolean c, const GLfloat* d), (a, b, c, d))
TIMED_GL(void, glUseProgram, (GLuint a), (a))
TIMED_GL(void, glVertexAttribPointer, (GLuint a, GLint b, GLenum c, GLboolean d, GLsizei e, const void* f),
         (a, b, c, d, e, f))
TIMED_GL(void, glViewport, (GLint a, GLint b, GLsizei c, GLsizei d), (a, b, c, d))

namespace
{
const int kBlocks = 223;
const int kColumns = 16;

// The two instances, the match started, A's screen dressed for the frame.
struct sMATCH_FRAME
{
    CMatchHarness harness;
    CMoxPlayState* pPlay = nullptr;
    CKorvelGraphicsExt_GLES2* pExt = nullptr;
    int iGroups = 0;

    bool Start()
    {
        if (!harness.Start(1))
            return false;
        harness.StartMatch();
        for (int i = 0; i < 300 && !(harness.Play(0)->m_bStarted && harness.Play(1)->m_bStarted); ++i)
            harness.Frame();
        pPlay = harness.Play(CMatchHarness::SIDE_A);
        pExt = static_cast<CKorvelGraphicsExt_GLES2*>(harness.App(0).GetGraphicsExtension());
        if (!pPlay || !pPlay->m_bStarted || !pExt)
            return false;
        pExt->MakeCurrent();
        Dress();
        return true;
    }

    // Blocks on a grid whose cells are wider than a block, so that no two overlap: each
    // (layer, material, look) group is one batch.
    void Dress()
    {
        CMoxScene& scene = *pPlay->m_pLiveScene;
        while (scene.m_pBlocks->GetCount() > 0)
            scene.m_pBlocks->DeleteBlock(scene.m_pBlocks->GetAt(0)->m_uID);
        std::set<std::tuple<int, int, int>> groups;
        for (int i = 0; i < kBlocks; ++i)
        {
            const int iLayer = i % 4, iMaterial = (i / 4) % 4, iVariant = (i / 16) % 3;
            const int iRow = i / kColumns;
            const CKorvelVector2 at(-2.0f + 0.25f * float(i % kColumns), 0.3f + 0.25f * float(iRow));
            if (CBlock* pBlock = scene.m_pBlocks->AddBlock(1, at, iMaterial, iVariant, iLayer))
            {
                pBlock->m_pBody->m_vVisualPosition = at;
                groups.insert({iLayer, iMaterial, iVariant});
            }
        }
        iGroups = int(groups.size());
        pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
        pPlay->m_iTurnPlayer = pPlay->m_iOwnPlayer;
        pPlay->m_fBannerFade = 200.0f;
        CPlayer& own = scene.m_Players[pPlay->m_iOwnPlayer];
        own.m_vAim.Set(0.2f, 0.1f);
        own.m_vStretch = own.m_vAim;
        own.m_bStretching = own.m_bShowAim = 1;
        const PROJECTILE_TYPE aTypes[4] = {PROJECTILE_FIRE, PROJECTILE_STICKY, PROJECTILE_SNOW,
                                           PROJECTILE_FRAGMENT};
        for (int s = 0; s < 4; ++s)
            if (Projectile* pShot = scene.CreateProjectile(s % 2, aTypes[s], s / 2))
                pShot->m_pBody->m_vVisualPosition.Set(-0.6f + 0.4f * float(s), 1.2f);
        CCamera& camera = harness.Game(0).GetRenderer()->m_Camera;
        camera.ClearTarget();
        camera.m_vPosition.Set(0.0f, 1.5f);
        camera.m_fZoom = camera.m_fZoomTarget = 0.3f;
    }

    void Draw(unsigned int bBatch)
    {
        pPlay->m_pLiveScene->m_bBatchBlocks = bBatch;
        pPlay->Draw();
        glFinish();
    }
};

std::unique_ptr<sMATCH_FRAME> g_pFrame;

void MatchFrame(benchmark::State& state, unsigned int bBatch)
{
    if (!g_pFrame)
    {
        state.SkipWithError("the match did not start");
        return;
    }
    sMATCH_FRAME& f = *g_pFrame;
    f.pExt->MakeCurrent();
    // The counters of one untimed frame.
    f.Draw(bBatch);
    const int iBlockCalls = f.pPlay->m_pLiveScene->m_iDrawCalls;
    g_fGlSeconds = 0.0;
    double fFrameSeconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        f.Draw(bBatch);
        fFrameSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double n = double(state.iterations());
    state.counters["block_calls"] = iBlockCalls;
    state.counters["groups"] = f.iGroups;
    state.counters["frame_ms"] = 1000.0 * fFrameSeconds / n;
    state.counters["outside_gl_ms"] = 1000.0 * (fFrameSeconds - g_fGlSeconds) / n;
    state.counters["outside_gl_share"] =
        fFrameSeconds > 0.0 ? (fFrameSeconds - g_fGlSeconds) / fFrameSeconds : 0.0;
}

void BM_MatchFrameBatched(benchmark::State& state)
{
    MatchFrame(state, 1);
}
BENCHMARK(BM_MatchFrameBatched)->Unit(benchmark::kMillisecond);

void BM_MatchFrameOneCallPerBlock(benchmark::State& state)
{
    MatchFrame(state, 0);
}
BENCHMARK(BM_MatchFrameOneCallPerBlock)->Unit(benchmark::kMillisecond);
} // namespace

// Its own main: the two instances and their working folder go before the program ends.
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    g_pFrame.reset(new sMATCH_FRAME);
    if (!g_pFrame->Start())
    {
        std::fprintf(stderr, "MatchFrame_bench: the harness's match did not start\n");
        g_pFrame.reset();
    }
    RunBenchmarksAndPairs();
    benchmark::Shutdown();
    g_pFrame.reset();
    return 0;
}
KORVEL_BENCH_PAIR("match frame batched vs one call per block", "BM_MatchFrameBatched",
                  "BM_MatchFrameOneCallPerBlock");
