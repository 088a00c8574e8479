// Reference counting of the resource manager: shared surfaces, fonts and shaders, the
// built-in font, objects registered by the caller, and objects that outlive their pack.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Framework/Shell/ResourceTestMedia.h"
#include "Korvel3D/Korvel3DProgram.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "support/TestText.h"
#include "support/TestVornApplication.h"

namespace
{
// A program that tells when it is deleted.
class CWatchedProgram : public ::CKorvel3DProgram
{
public:
    explicit CWatchedProgram(bool& bDeleted) : m_bDeleted(bDeleted) { m_bDeleted = false; }
    ~CWatchedProgram() override { m_bDeleted = true; }

private:
    bool& m_bDeleted;
};

class CVornResourceManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pApp = std::make_unique<CTestVornApplication>();
        ASSERT_EQ(m_pApp->StartHeadless(), KE_OK);
        ASSERT_TRUE(m_pApp->WritePack("p.kmp", {{"/pic.png", SolidPng(4, 4)}}));
        ASSERT_EQ(m_pApp->AddPack(S("p.kmp"), 0, 0), 1);
    }

    ::CKorvelSurface* NewSurface()
    {
        ::CKorvelSurface* pSurface = new ::CKorvelSurface();
        SKE_SURFACEDESC desc = {4, 4, 0, KE_SURFACE_ABGR8888, 0, 0};
        EXPECT_EQ(pSurface->Create(m_pApp.get(), desc), KE_OK);
        return pSurface;
    }

    std::unique_ptr<CTestVornApplication> m_pApp;
};

TEST_F(CVornResourceManager, SurfaceIsSharedUntilItsLastRelease)
{
    ::CKorvelSurface* pFirst = m_pApp->GetSurface(S("pic.png"));
    ::CKorvelSurface* pSecond = m_pApp->GetSurface(S("pic.png"));
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(pFirst, pSecond);
    EXPECT_EQ(m_pApp->IncrementSurface(pFirst), 1);
    ::CKorvelSurface* pThird = pFirst;

    EXPECT_EQ(m_pApp->ReleaseSurface(pFirst), 1);
    EXPECT_EQ(pFirst, nullptr);
    EXPECT_EQ(m_pApp->ReleaseSurface(pFirst), 1) << "null is fine";
    EXPECT_EQ(m_pApp->ReleaseSurface(pSecond), 1);
    ::CKorvelSurface* pHeld = m_pApp->HaveSurface(S("pic.png"));
    EXPECT_EQ(pHeld, pThird) << "one reference is left";
    EXPECT_EQ(m_pApp->ReleaseSurface(pHeld), 1);
    EXPECT_EQ(m_pApp->ReleaseSurface(pThird), 1);
    EXPECT_EQ(m_pApp->HaveSurface(S("pic.png")), nullptr) << "the last release deleted it";

    ::CKorvelSurface* pAgain = m_pApp->GetSurface(S("pic.png"));
    ASSERT_NE(pAgain, nullptr) << "the record stays loadable";
    EXPECT_EQ(pAgain->GetWidth(), 4);
    EXPECT_EQ(m_pApp->ReleaseSurface(pAgain), 1);

    EXPECT_EQ(m_pApp->GetSurface(S("")), nullptr);
    EXPECT_EQ(m_pApp->GetSurface(S("none.png")), nullptr);
    EXPECT_EQ(m_pApp->IncrementSurface(nullptr), 1);
}

TEST_F(CVornResourceManager, SurfaceOutlivesItsRemovedPack)
{
    ::CKorvelSurface* pSurface = m_pApp->GetSurface(S("pic.png"));
    ASSERT_NE(pSurface, nullptr);
    ASSERT_EQ(m_pApp->RemovePack(S("p.kmp"), 1), 1);
    EXPECT_EQ(pSurface->GetPixelDIB(3, 3), 0xFFFF0000u);
    ::CKorvelSurface* pShared = m_pApp->GetSurface(S("pic.png"));
    EXPECT_EQ(pShared, pSurface) << "still found while held";
    EXPECT_EQ(m_pApp->ReleaseSurface(pShared), 1);
    EXPECT_EQ(m_pApp->ReleaseSurface(pSurface), 1);
    EXPECT_EQ(m_pApp->GetSurface(S("pic.png")), nullptr) << "its record went with it";

    // The name is free for a new pack.
    ASSERT_TRUE(m_pApp->WritePack("q.kmp", {{"/pic.png", SolidPng(6, 6)}}));
    ASSERT_EQ(m_pApp->AddPack(S("q.kmp"), 0, 0), 1);
    pSurface = m_pApp->GetSurface(S("pic.png"));
    ASSERT_NE(pSurface, nullptr);
    EXPECT_EQ(pSurface->GetWidth(), 6);
    EXPECT_EQ(m_pApp->ReleaseSurface(pSurface), 1);
}

TEST_F(CVornResourceManager, AddedSurfaceUnderATakenNameStaysWithTheCaller)
{
    ::CKorvelSurface* pMine = NewSurface();
    m_pApp->AddSurface(S("pic.png"), pMine);
    EXPECT_EQ(m_pApp->IncrementSurface(pMine), 0);
    EXPECT_EQ(m_pApp->ReleaseSurface(pMine), 0);
    ASSERT_NE(pMine, nullptr) << "the caller's pointer is left alone";
    pMine->Shutdown();
    delete pMine;

    // Under a new name it is managed: shared, and deleted with its record at the end.
    ::CKorvelSurface* pAdded = NewSurface();
    m_pApp->AddSurface(S("made"), pAdded);
    ::CKorvelSurface* pGot = m_pApp->GetSurface(S("made"));
    EXPECT_EQ(pGot, pAdded);
    EXPECT_EQ(m_pApp->ReleaseSurface(pGot), 1);
    EXPECT_EQ(m_pApp->ReleaseSurface(pAdded), 1);
    EXPECT_EQ(m_pApp->GetSurface(S("made")), nullptr);
}

TEST_F(CVornResourceManager, BuiltInDefaultFontIsSharedAndKeptAfterItsLastRelease)
{
    ::CKorvelBitmapFont* pFont = m_pApp->GetFont(S("default"));
    ASSERT_NE(pFont, nullptr);
    EXPECT_GT(pFont->GetLineHeight(), 0u);
    ::CKorvelBitmapFont* pShared = m_pApp->GetFont(S("default"));
    EXPECT_EQ(pShared, pFont);
    ::CKorvelBitmapFont* pFirst = pFont;
    EXPECT_EQ(m_pApp->ReleaseFont(pShared), 1);
    EXPECT_EQ(m_pApp->ReleaseFont(pFont), 1);
    EXPECT_EQ(pFont, nullptr);

    // Decoded once: the next user gets the same font, still drawable, and the manager's
    // shutdown frees it (the sanitizer's leak check holds that).
    pFont = m_pApp->HaveFont(S("default"));
    ASSERT_EQ(pFont, pFirst);
    ASSERT_NE(pFont->GetCharInfo(65), nullptr);
    EXPECT_EQ(pFont->GetCharInfo(65)->iId, 65);
    EXPECT_EQ(m_pApp->ReleaseFont(pFont), 1);
    pFont = m_pApp->GetFont(S("default"));
    EXPECT_EQ(pFont, pFirst);
    EXPECT_EQ(m_pApp->IncrementFont(pFont), 1);
    EXPECT_EQ(m_pApp->ReleaseFont(pFont), 1);
    EXPECT_NE(m_pApp->HaveFont(S("default")), nullptr);

    ::CKorvelBitmapFont stranger;
    ::CKorvelBitmapFont* pStranger = &stranger;
    EXPECT_EQ(m_pApp->IncrementFont(pStranger), 0);
    EXPECT_EQ(m_pApp->ReleaseFont(pStranger), 0);
}

TEST_F(CVornResourceManager, AddedShaderReplacesTheOldProgram)
{
    bool bFirstDeleted = false, bSecondDeleted = false;
    ::CKorvel3DProgram* pFirst = new CWatchedProgram(bFirstDeleted);
    ::CKorvel3DProgram* pSecond = new CWatchedProgram(bSecondDeleted);
    EXPECT_EQ(m_pApp->AddShader(S("fx"), pFirst), 1);
    EXPECT_EQ(m_pApp->AddShader(S("fx"), pFirst), 1) << "the same program again stays";
    EXPECT_FALSE(bFirstDeleted);
    EXPECT_EQ(m_pApp->AddShader(S("fx"), pSecond), 1);
    EXPECT_TRUE(bFirstDeleted);

    ::CKorvel3DProgram* pGot = m_pApp->GetShader(S("fx"));
    EXPECT_EQ(pGot, pSecond);
    EXPECT_EQ(m_pApp->GetShader(S("other")), nullptr);
    EXPECT_EQ(m_pApp->ReleaseShader(pGot), 1);
    EXPECT_FALSE(bSecondDeleted);
    EXPECT_EQ(m_pApp->ReleaseShader(pSecond), 1);
    EXPECT_TRUE(bSecondDeleted);
    EXPECT_EQ(m_pApp->GetShader(S("fx")), nullptr);

    ::CKorvel3DProgram stranger;
    ::CKorvel3DProgram* pStranger = &stranger;
    EXPECT_EQ(m_pApp->IncrementShader(pStranger), 0);
    EXPECT_EQ(m_pApp->ReleaseShader(pStranger), 0);
}

} // namespace
