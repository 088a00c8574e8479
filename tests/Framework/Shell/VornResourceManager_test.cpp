// The resource manager's start, lookups and shut-down, without GL: leak checking stays on,
// so a shut-down that leaves a pack, record, object or loader behind fails here.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Framework/Shell/ResourceTestMedia.h"
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
    }

    std::unique_ptr<CTestVornApplication> m_pApp;
};

TEST_F(CVornResourceManager, FileNameIsThePartAfterTheLastSlashAndBackslash)
{
    struct sCASE
    {
        const char* m_pItem;
        const char* m_pName;
    } const aCases[] = {{"/x.png", "x.png"},        {"/a/b/x.png", "x.png"}, {"/a\\y.png", "y.png"},
                        {"a\\b/c\\d.wav", "d.wav"}, {"plain", "plain"},      {"/dir/", ""}};
    for (const sCASE& c : aCases)
        EXPECT_EQ(::CVornResourceManager::GetFilename(S(c.m_pItem)).Compare(S(c.m_pName)), 0) << c.m_pItem;
    EXPECT_EQ(::CVornResourceManager::GetTargetIndex(0), 0u);
    EXPECT_EQ(::CVornResourceManager::GetTargetIndex(1), 1u);
    EXPECT_EQ(::CVornResourceManager::GetTargetIndex(99), 1u);
}

TEST_F(CVornResourceManager, ShutdownFreesEverythingStillHeld)
{
    ASSERT_TRUE(m_pApp->WritePack("one.kmp", {{"/a.wav", SineWav()},
                                              {"/b.wav", SineWav(3000)},
                                              {"/c.ogg", SineWav(500)},
                                              {"/notes.txt", "notes"},
                                              {"/kmp.meta", PackMeta(768, 768)}}));
    ASSERT_TRUE(m_pApp->WritePack("two.kmp", {{"/d.wav", SineWav()}, {"/data.bin", "bin"}}));
    ASSERT_EQ(m_pApp->AddPack(S("one.kmp"), 0, 0), 1);
    ASSERT_EQ(m_pApp->AddPack(S("two.kmp"), 0, 1), 1);

    // Held objects of every kind: a decoded sound, one decoding, queued ones, a removed pack's.
    ASSERT_NE(m_pApp->GetSound(S("a.wav"), 1, 0), nullptr);
    ASSERT_NE(m_pApp->GetSound(S("d.wav"), 0, 0), nullptr);
    ASSERT_NE(m_pApp->GetSound(S("b.wav"), 0, 0), nullptr);
    ASSERT_NE(m_pApp->GetSound(S("c.ogg"), 0, 0), nullptr);
    m_pApp->Tick();
    m_pApp->Tick();
    ASSERT_TRUE(m_pApp->m_aLoaders[0]->HasWorker());
    ASSERT_EQ(m_pApp->RemovePack(S("one.kmp"), 1), 1);
    unsigned char* pData = nullptr;
    EXPECT_EQ(m_pApp->GetFileData(S("data.bin"), &pData), 3u);
    delete[] pData;

    m_pApp->::CVornResourceManager::Shutdown();
    EXPECT_EQ(m_pApp->m_aPacks.GetCount(), 0);
    EXPECT_EQ(m_pApp->m_aLoaders.GetCount(), 0);
    EXPECT_EQ(m_pApp->m_pCurrentPack, nullptr);
    EXPECT_EQ(m_pApp->HaveSound(S("a.wav")), nullptr);
    EXPECT_EQ(m_pApp->GetFileData(S("data.bin"), &pData), 0u);
    m_pApp->::CVornResourceManager::Shutdown(); // twice is harmless

    // The manager can be filled again afterwards.
    ASSERT_EQ(m_pApp->AddPack(S("two.kmp"), 0, 0), 1);
    ::CKorvelSoundWave* pWave = m_pApp->GetSound(S("d.wav"), 1, 0);
    EXPECT_NE(pWave, nullptr);
    EXPECT_EQ(m_pApp->ReleaseSound(pWave), 1);
}

} // namespace
