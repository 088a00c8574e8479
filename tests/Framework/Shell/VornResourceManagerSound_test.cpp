// Sounds of the resource manager on the PCM capture sink: loading now, and loading on
// loader threads that run one at a time, in order, over successive ticks. The mixer
// thread runs throughout, so the ThreadSanitizer build sees loaders, mixer and main
// thread together.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Framework/Shell/ResourceTestMedia.h"
#include "KorvelCommon/KorvelThread.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "support/TestText.h"
#include "support/TestVornApplication.h"

namespace
{
class CVornResourceManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pApp = std::make_unique<CTestVornApplication>();
        ASSERT_EQ(m_pApp->StartSound(true), KE_OK);
        ASSERT_TRUE(m_pApp->WritePack("s.kmp", {{"/a.wav", SineWav()},
                                                {"/b.wav", SineWav(4410)},
                                                {"/c.wav", SineWav(1000)},
                                                {"/bad.wav", "RIFF but nothing else"}}));
        ASSERT_EQ(m_pApp->AddPack(S("s.kmp"), 0, 0), 1);
    }

    // Waits (without a time limit) until the first queued loader's thread has ended.
    void WaitForFirstLoader()
    {
        ASSERT_GT(m_pApp->m_aLoaders.GetCount(), 0);
        ::CVornResourceManager::CAsyncSoundLoader* pLoader = m_pApp->m_aLoaders[0];
        ASSERT_TRUE(pLoader->HasWorker()) << "the loader was never started";
        while (!pLoader->IsDone() || pLoader->IsAlive())
            IKorvelThread::Sleep(1);
    }

    // The wave each queued loader fills, in queue order, and whether its thread started.
    std::string Queue(::CKorvelSoundWave* pA, ::CKorvelSoundWave* pB, ::CKorvelSoundWave* pC)
    {
        std::string str;
        for (int i = 0; i < m_pApp->m_aLoaders.GetCount(); ++i)
        {
            ::CKorvelSoundWave* pWave = m_pApp->m_aLoaders[i]->GetWave();
            str += pWave == pA ? "a" : pWave == pB ? "b" : pWave == pC ? "c" : "?";
            str += m_pApp->m_aLoaders[i]->HasWorker() ? "+" : "";
        }
        return str;
    }

    std::unique_ptr<CTestVornApplication> m_pApp;
};

TEST_F(CVornResourceManager, LoadersRunOneAtATimeInOrder)
{
    ::CKorvelSoundWave* pA = m_pApp->GetSound(S("a.wav"), 0, 0);
    ::CKorvelSoundWave* pB = m_pApp->GetSound(S("b.wav"), 0, 0);
    ::CKorvelSoundWave* pC = m_pApp->GetSound(S("c.wav"), 0, 0);
    ASSERT_TRUE(pA && pB && pC);
    EXPECT_EQ(pA->GetBuffer(0), nullptr) << "handed out empty";
    EXPECT_EQ(Queue(pA, pB, pC), "abc");

    m_pApp->Tick(); // the first tick only clears the skip flag
    EXPECT_EQ(Queue(pA, pB, pC), "abc");
    m_pApp->Tick();
    EXPECT_EQ(Queue(pA, pB, pC), "a+bc");
    WaitForFirstLoader();
    EXPECT_EQ(m_pApp->IsSoundReady(pA), 0u) << "not before the tick that joins its thread";
    m_pApp->Tick();
    EXPECT_EQ(Queue(pA, pB, pC), "b+c");
    EXPECT_EQ(m_pApp->IsSoundReady(pA), 1u);
    EXPECT_EQ(m_pApp->IsSoundReady(pB), 0u);
    EXPECT_NE(pA->GetBuffer(0), nullptr);
    EXPECT_GT(pA->GetLength(), 0u);
    WaitForFirstLoader();
    m_pApp->Tick();
    EXPECT_EQ(Queue(pA, pB, pC), "c+");
    WaitForFirstLoader();
    m_pApp->Tick();
    EXPECT_EQ(Queue(pA, pB, pC), "");
    EXPECT_EQ(m_pApp->IsSoundReady(pC), 1u);
    EXPECT_EQ(m_pApp->IsSoundReady(nullptr), 0u);

    // The decoded sound plays on the mixer.
    EXPECT_EQ(pB->RePlay(0, 0, 0), KE_OK);
    for (::CKorvelSoundWave** pp : {&pA, &pB, &pC})
        EXPECT_EQ(m_pApp->ReleaseSound(*pp), 1);
}

TEST_F(CVornResourceManager, SoundGotTwiceBeforeTheFirstTickIsSharedAndCounted)
{
    ::CKorvelSoundWave* pFirst = m_pApp->GetSound(S("a.wav"), 0, 0);
    ::CKorvelSoundWave* pSecond = m_pApp->GetSound(S("a.wav"), 0, 0);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(pFirst, pSecond);
    EXPECT_EQ(m_pApp->m_aLoaders.GetCount(), 1);
    EXPECT_EQ(m_pApp->ReleaseSound(pFirst), 1);
    EXPECT_EQ(m_pApp->m_aLoaders.GetCount(), 1) << "one reference keeps the load";
    ::CKorvelSoundWave* pHeld = m_pApp->HaveSound(S("a.wav"));
    EXPECT_EQ(pHeld, pSecond);
    EXPECT_EQ(m_pApp->ReleaseSound(pHeld), 1);
    EXPECT_EQ(m_pApp->ReleaseSound(pSecond), 1);
    EXPECT_EQ(m_pApp->m_aLoaders.GetCount(), 0);
    EXPECT_EQ(m_pApp->HaveSound(S("a.wav")), nullptr);
}

TEST_F(CVornResourceManager, ReleasedSoundIsNeverDecoded)
{
    ::CKorvelSoundWave* pA = m_pApp->GetSound(S("a.wav"), 0, 0);
    ::CKorvelSoundWave* pB = m_pApp->GetSound(S("b.wav"), 0, 0);
    ::CKorvelSoundWave* pAKept = pA;
    EXPECT_EQ(m_pApp->ReleaseSound(pA), 1);
    EXPECT_EQ(pA, nullptr);
    EXPECT_EQ(Queue(pAKept, pB, nullptr), "b") << "its loader left the queue unstarted";
    m_pApp->Tick();
    m_pApp->Tick();
    EXPECT_EQ(Queue(pAKept, pB, nullptr), "b+");

    // Released while its loader runs: the release waits for the thread.
    EXPECT_EQ(m_pApp->ReleaseSound(pB), 1);
    EXPECT_EQ(m_pApp->m_aLoaders.GetCount(), 0);
    m_pApp->Tick();

    // Loaded again later, it is decoded as usual.
    pA = m_pApp->GetSound(S("a.wav"), 0, 0);
    m_pApp->Tick();
    WaitForFirstLoader();
    m_pApp->Tick();
    EXPECT_EQ(m_pApp->IsSoundReady(pA), 1u);
    EXPECT_NE(pA->GetBuffer(0), nullptr);
    EXPECT_EQ(m_pApp->ReleaseSound(pA), 1);
}

TEST_F(CVornResourceManager, FailedDecodeLeavesAnEmptyCountedWave)
{
    ::CKorvelSoundWave* pBad = m_pApp->GetSound(S("bad.wav"), 0, 0);
    ASSERT_NE(pBad, nullptr);
    m_pApp->Tick();
    m_pApp->Tick();
    WaitForFirstLoader();
    m_pApp->Tick();
    EXPECT_EQ(m_pApp->IsSoundReady(pBad), 1u);
    ::CKorvelSoundWave empty;
    EXPECT_EQ(pBad->GetBuffer(0), nullptr);
    EXPECT_EQ(pBad->IsPlaying(0), empty.IsPlaying(0));
    EXPECT_EQ(pBad->RePlay(0, 0, 0), empty.RePlay(0, 0, 0));
    EXPECT_EQ(pBad->SetFrequency(22050, 0), empty.SetFrequency(22050, 0));
    ::CKorvelSoundWave* pShared = m_pApp->GetSound(S("bad.wav"), 0, 0);
    EXPECT_EQ(pShared, pBad) << "still registered and counted";
    EXPECT_EQ(m_pApp->ReleaseSound(pShared), 1);
    EXPECT_EQ(m_pApp->ReleaseSound(pBad), 1);

    // Loaded now, a bad sound gives nothing at all.
    EXPECT_EQ(m_pApp->GetSound(S("bad.wav"), 1, 0), nullptr);
    EXPECT_EQ(m_pApp->HaveSound(S("bad.wav")), nullptr);
}

TEST_F(CVornResourceManager, SynchronousSoundIsDecodedAtOnce)
{
    ::CKorvelSoundWave* pWave = m_pApp->GetSound(S("c.wav"), 1, 0);
    ASSERT_NE(pWave, nullptr);
    EXPECT_NE(pWave->GetBuffer(0), nullptr);
    EXPECT_EQ(m_pApp->IsSoundReady(pWave), 1u);
    EXPECT_EQ(m_pApp->m_aLoaders.GetCount(), 0);
    EXPECT_EQ(m_pApp->GetSound(S("c.wav"), 0, 0), pWave) << "shared with later asynchronous requests";
    EXPECT_EQ(m_pApp->m_aLoaders.GetCount(), 0);
    ::CKorvelSoundWave* pSecond = pWave;
    EXPECT_EQ(m_pApp->ReleaseSound(pWave), 1);
    EXPECT_EQ(m_pApp->ReleaseSound(pSecond), 1);

    for (const char* pName : {"", "missing.wav"})
        for (unsigned int uFlags : {0u, 1u})
            EXPECT_EQ(m_pApp->GetSound(S(pName), uFlags, 0), nullptr) << pName << uFlags;
    ::CKorvelSoundWave stranger;
    ::CKorvelSoundWave* pStranger = &stranger;
    EXPECT_EQ(m_pApp->IncrementSound(pStranger), 0);
    EXPECT_EQ(m_pApp->ReleaseSound(pStranger), 0);
}

TEST_F(CVornResourceManager, DamagedSoundItemMakesNoLoader)
{
    std::string strPack = TestPackBytes({{"/cut.wav", SineWav()}});
    strPack.resize(strPack.size() - 100);
    ASSERT_TRUE(WriteTestFile(m_pApp->AppFile("cut.kmp"), strPack));
    ASSERT_EQ(m_pApp->AddPack(S("cut.kmp"), 0, 0), 1);
    EXPECT_EQ(m_pApp->GetSound(S("cut.wav"), 0, 0), nullptr);
    EXPECT_EQ(m_pApp->m_aLoaders.GetCount(), 0);
}

TEST_F(CVornResourceManager, WithoutASoundEngineThereAreNoSounds)
{
    m_pApp.reset(); // one application at a time
    CTestVornApplication app;
    app.StartResourcesOnly();
    ASSERT_TRUE(app.WritePack("s.kmp", {{"/a.wav", SineWav()}}));
    ASSERT_EQ(app.AddPack(S("s.kmp"), 0, 0), 1);
    EXPECT_EQ(app.GetSound(S("a.wav"), 0, 0), nullptr);
    EXPECT_EQ(app.GetSound(S("a.wav"), 1, 0), nullptr);
}

} // namespace
