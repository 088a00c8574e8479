// The star swarm and the explosions on the game's root state at 800 x 600, with their
// pictures from a texture pack written here and the application's random numbers seeded.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxParticles.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "game/MoxRenderer.h"
#include "support/GlTestContext.h"
#include "tests/game/GameTestFixture.h"

namespace
{

const unsigned int STAR_RGB = 0xC8A050; // (200, 160, 80)
const float DT = 0.25f;                 // exact in binary: ages add up without rounding

// The sheet's cell (column, row), as 0xRRGGBB.
unsigned int CellColour(int iColumn, int iRow)
{
    return unsigned(40 + 50 * iColumn) << 16 | unsigned(40 + 50 * iRow) << 8 | 200u;
}

// 4 x 4 cells of 4 x 4 pixels, each cell a colour of its own.
std::string SheetPng()
{
    std::vector<uint8_t> aRGBA;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            const unsigned int c = CellColour(x / 4, y / 4);
            aRGBA.insert(aRGBA.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255});
        }
    CTestTempDir dir;
    WriteTestPng(dir.File("sheet.png"), 16, 16, aRGBA);
    return GameTestBytes(ReadTestFile(dir.File("sheet.png")));
}

class CEffectsTest : public CGameTest
{
protected:
    void SetUp() override
    {
        CGameTest::SetUp();
        ASSERT_TRUE(WriteTestFile(
            m_App.AppFile("dataTextures.kmp"),
            TestPackBytes({{"/particle_star.png", GameTestPicture("particle_star.png", STAR_RGB)},
                           {"/particle_dot.png", GameTestPicture("particle_dot.png", 0x4080FF)},
                           {"/explosion.png", SheetPng()}})));
        ASSERT_NO_FATAL_FAILURE(StartGame());
        for (int i : {int(::CMoxExplosionManager::TEXTURE_SHEET), int(::CMoxParticleSystem::TEXTURE_STAR),
                      int(::CMoxParticleSystem::TEXTURE_DOT)})
        {
            // Given back by the game's unload.
            m_pGame->GetContext().psrfGameTextures[i] = m_App.GetSurface(GAME_TEXTURES[i].name);
            ASSERT_NE(m_pGame->GetContext().psrfGameTextures[i], nullptr) << i;
        }
        m_App.RandSeed(1234);
    }
    static void ClearBlack()
    {
        glDisable(GL_SCISSOR_TEST);
        glViewport(0, 0, 800, 600);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    static uint32_t Pixel(int x, int y) { return ReadGlPixel(x, y, 600); }
};

class CMoxParticleSystem : public CEffectsTest
{
protected:
    void SetUp() override
    {
        CEffectsTest::SetUp();
        NewSwarm();
    }
    void NewSwarm()
    {
        m_pSwarm.reset(new ::CMoxParticleSystem());
        m_pSwarm->Startup(m_pGame.get());
    }
    // A wanderer set where the test wants it.
    CMoxParticle* Wanderer(float x, float y, float fAge)
    {
        m_pSwarm->AddParticle(PARTICLE_STAR);
        CMoxParticle* p = m_pSwarm->GetAt(m_pSwarm->GetCount() - 1);
        p->m_vPosition.Set(x, y);
        p->m_fAge = fAge;
        return p;
    }

    std::unique_ptr<::CMoxParticleSystem> m_pSwarm;
};

TEST_F(CMoxParticleSystem, NewWanderersStartInTheInnerAreaAtFullSizeFromTheWidth)
{
    EXPECT_EQ(m_pSwarm->m_vAreaCentre.x, 400.0f);
    EXPECT_FLOAT_EQ(m_pSwarm->m_vAreaCentre.y, 99.0f);
    EXPECT_EQ(m_pSwarm->m_vAreaHalf.x, 200.0f);
    EXPECT_EQ(m_pSwarm->m_vAreaHalf.y, 75.0f);
    for (int i = 0; i < 200; ++i)
        m_pSwarm->AddParticle(PARTICLE_STAR);
    for (int i = 0; i < m_pSwarm->GetCount(); ++i)
    {
        SCOPED_TRACE(i);
        const CMoxParticle* p = m_pSwarm->GetAt(i);
        EXPECT_LE(std::fabs(p->m_vPosition.x - 400.0f), 150.0f);
        EXPECT_LE(std::fabs(p->m_vPosition.y - 99.0f), 56.25f + 1e-3f);
        EXPECT_FLOAT_EQ(p->m_vFullSize.y, 800.0f * 0.018f) << "both from the width";
        EXPECT_EQ(p->m_iTexture, 46);
    }
}

TEST_F(CMoxParticleSystem, AtTheMaximumNothingIsAddedAndTheDeadAreNotReplaced)
{
    struct sCASE
    {
        int iOthers;     // wanderers besides the one that dies
        int iCountAfter; // after the update in which it dies
    };
    for (const sCASE& c : {sCASE{10, 11}, sCASE{255, 255}})
    {
        SCOPED_TRACE(c.iOthers);
        NewSwarm();
        CMoxParticle* pDying = Wanderer(10.0f, 500.0f, 3.9f);
        std::set<CMoxParticle*> before = {pDying};
        for (int i = 0; i < c.iOthers; ++i)
        {
            m_pSwarm->AddParticle(PARTICLE_STAR);
            before.insert(m_pSwarm->GetAt(m_pSwarm->GetCount() - 1));
        }
        if (c.iOthers == 255)
        {
            m_pSwarm->AddParticle(PARTICLE_STAR);
            m_pSwarm->AddSlaveParticle(pDying);
            EXPECT_EQ(m_pSwarm->GetCount(), 256) << "full";
        }
        m_pSwarm->Update(DT);
        ASSERT_EQ(m_pSwarm->GetCount(), c.iCountAfter);
        int iNew = 0;
        for (int i = 0; i < m_pSwarm->GetCount(); ++i)
        {
            EXPECT_NE(m_pSwarm->GetAt(i), pDying);
            iNew += before.count(m_pSwarm->GetAt(i)) ? 0 : 1;
        }
        EXPECT_EQ(iNew, c.iCountAfter - c.iOthers) << "the replacement";
    }
}

TEST_F(CMoxParticleSystem, AWandererBackInTheAreaSettlesAtFullVisibility)
{
    CMoxParticle* p = Wanderer(10.0f, 500.0f, 1.0f);
    for (int i = 0; i < 8; ++i)
        m_pSwarm->Update(DT);
    EXPECT_EQ(p->m_fAge, 3.0f) << "ages outside";
    p->m_vPosition.Set(400.0f, 99.0f);
    m_pSwarm->Update(DT);
    EXPECT_EQ(p->m_fAge, 2.75f);
    for (int i = 0; i < 20; ++i)
        m_pSwarm->Update(DT);
    ASSERT_EQ(m_pSwarm->GetAt(0), p);
    EXPECT_EQ(p->m_fAge, 1.0f);
    EXPECT_EQ(::CMoxParticleSystem::GetColour(*p), 0xFFFFFFFFu);

    // Growing in, a wanderer in the area keeps ageing until it is fully grown.
    CMoxParticle* pNew = Wanderer(400.0f, 99.0f, 0.0f);
    const CKorvelVector2 full = pNew->m_vFullSize;
    m_pSwarm->Update(DT);
    m_pSwarm->Update(DT);
    EXPECT_EQ(pNew->m_fAge, 0.5f);
    EXPECT_FLOAT_EQ(pNew->m_vSize.x, full.x * 0.25f) << "the size of the age before the update";
}

TEST_F(CMoxParticleSystem, TrailDotsComeEveryThirteenUpdatesGrowInAndDie)
{
    CMoxParticle* pMaster = Wanderer(400.0f, 99.0f, 1.0f);
    for (int i = 0; i < 12; ++i)
        m_pSwarm->Update(DT);
    EXPECT_EQ(m_pSwarm->GetCount(), 1);
    m_pSwarm->Update(DT);
    ASSERT_EQ(m_pSwarm->GetCount(), 2);
    CMoxParticle* pDot = m_pSwarm->GetAt(1);
    EXPECT_EQ(pDot->m_iTexture, 47);
    EXPECT_EQ(pDot->m_pTrail, pDot);
    EXPECT_EQ(pDot->m_vPosition.x, pMaster->m_vPosition.x);
    EXPECT_EQ(pDot->m_vPosition.y, pMaster->m_vPosition.y);
    const float fRatio = pDot->m_vFullSize.x / pMaster->m_vFullSize.x;
    EXPECT_GE(fRatio, 0.1f);
    EXPECT_LE(fRatio, 0.5f);
    EXPECT_EQ(pDot->m_fAge, DT) << "added in the pass and updated in it";

    // A dot stays where it was put and grows in over its first second.
    const CKorvelVector2 where = pDot->m_vPosition;
    for (float fAge : {0.25f, 0.5f, 0.75f, 1.0f, 1.0f})
    {
        m_pSwarm->Update(DT);
        EXPECT_FLOAT_EQ(pDot->m_vSize.x, pDot->m_vFullSize.x * fAge);
    }
    EXPECT_EQ(pDot->m_vPosition.x, where.x);
    EXPECT_EQ(pDot->m_vPosition.y, where.y);

    for (int i = 0; i < 7; ++i)
        m_pSwarm->Update(DT);
    EXPECT_EQ(m_pSwarm->GetCount(), 2);
    m_pSwarm->Update(DT);
    EXPECT_EQ(m_pSwarm->GetCount(), 3) << "the second dot, 13 updates after the first";
    EXPECT_EQ(m_pSwarm->GetAt(1), pDot);
    EXPECT_EQ(pDot->m_fAge, 3.5f);
    for (int i = 0; i < 2; ++i)
        m_pSwarm->Update(DT);
    EXPECT_EQ(pDot->m_fAge, 4.0f) << "still alive at the end of its life";
    m_pSwarm->Update(DT);
    ASSERT_EQ(m_pSwarm->GetCount(), 2);
    EXPECT_EQ(m_pSwarm->GetAt(0), pMaster) << "the order kept";
}

TEST_F(CMoxParticleSystem, AParticleIsOpaqueToAgeOneAndFadesOutByFour)
{
    struct sCASE
    {
        float fAge;
        unsigned int uColour;
    };
    CMoxParticle p;
    for (const sCASE& c : {sCASE{0.0f, 0xFFFFFFFFu}, sCASE{1.0f, 0xFFFFFFFFu}, sCASE{2.5f, 0x7FFFFFFFu},
                           sCASE{4.0f, 0x00FFFFFFu}, sCASE{5.0f, 0x00FFFFFFu}})
    {
        p.m_fAge = c.fAge;
        EXPECT_EQ(::CMoxParticleSystem::GetColour(p), c.uColour) << c.fAge;
    }

    // Drawn additively in the star's picture, dimmed by that alpha.
    const float afAges[] = {1.0f, 2.5f, 4.0f};
    for (int i = 0; i < 3; ++i)
    {
        CMoxParticle* q = Wanderer(200.0f + 200.0f * float(i), 300.0f, afAges[i]);
        q->m_vSize.Set(20.0f, 20.0f);
    }
    ClearBlack();
    m_pSwarm->Draw();
    const uint32_t uFull = Pixel(200, 300);
    EXPECT_EQ(PixelR(uFull), 200);
    EXPECT_EQ(PixelG(uFull), 160);
    EXPECT_EQ(PixelB(uFull), 80);
    const uint32_t uHalf = Pixel(400, 300);
    EXPECT_NEAR(PixelR(uHalf), 100, 1);
    EXPECT_NEAR(PixelG(uHalf), 80, 1);
    EXPECT_NEAR(PixelB(uHalf), 40, 1);
    EXPECT_EQ(Pixel(600, 300) & 0xFFFFFFu, 0u);
}

TEST_F(CMoxParticleSystem, ADeletedParticleIsUnlinkedAndFreedByTheCleanup)
{
    CMoxParticle* pMaster = Wanderer(400.0f, 99.0f, 1.0f);
    m_pSwarm->AddSlaveParticle(pMaster);
    CMoxParticle* pDot = m_pSwarm->GetAt(1);
    CMoxParticle* pOther = Wanderer(400.0f, 99.0f, 1.0f);
    pOther->m_pTrail = pDot;
    m_pSwarm->DeleteParticle(pDot);
    EXPECT_EQ(pDot->m_bAlive, 0u);
    EXPECT_EQ(pDot->m_pTrail, nullptr);
    EXPECT_EQ(pOther->m_pTrail, nullptr);
    EXPECT_EQ(m_pSwarm->GetCount(), 3) << "kept until the cleanup";
    m_pSwarm->CleanDeadParticles();
    ASSERT_EQ(m_pSwarm->GetCount(), 2);
    EXPECT_EQ(m_pSwarm->GetAt(0), pMaster);
    EXPECT_EQ(m_pSwarm->GetAt(1), pOther);
}

TEST_F(CMoxParticleSystem, TheSameSeedGivesTheSameSwarm)
{
    const auto run = [this](unsigned int uSeed)
    {
        NewSwarm();
        m_App.RandSeed(uSeed);
        for (int i = 0; i < 20; ++i)
            m_pSwarm->AddParticle(PARTICLE_STAR);
        for (int i = 0; i < 300; ++i)
            m_pSwarm->Update(1.0f / 30.0f);
        std::vector<float> aValues;
        for (int i = 0; i < m_pSwarm->GetCount(); ++i)
            aValues.insert(aValues.end(),
                           {m_pSwarm->GetAt(i)->m_vPosition.x, m_pSwarm->GetAt(i)->m_vPosition.y});
        return aValues;
    };
    const std::vector<float> aFirst = run(77);
    EXPECT_GT(aFirst.size(), 40u) << "trails were laid";
    EXPECT_EQ(run(77), aFirst);
    EXPECT_NE(run(78), aFirst);
}

class CMoxExplosionManager : public CEffectsTest
{
protected:
    void SetUp() override
    {
        CEffectsTest::SetUp();
        m_Explosions.Startup(m_pGame.get());
    }

    ::CMoxExplosionManager m_Explosions;
};

TEST_F(CMoxExplosionManager, FramesAdvanceAtTwentyPerSecondForPointEightSeconds)
{
    struct sCASE
    {
        float fTime;
        int iFrame; // -1: gone
    };
    for (const sCASE& c : {sCASE{0.0f, 0}, sCASE{0.049f, 0}, sCASE{0.05f, 1}, sCASE{0.25f, 5},
                           sCASE{0.76f, 15}, sCASE{0.8f, -1}, sCASE{5.0f, -1}})
    {
        SCOPED_TRACE(c.fTime);
        m_Explosions.Clear();
        m_Explosions.Create(CKorvelVector2(0.1f, 0.2f), 0.3f, 7, 0xFF112233u);
        m_Explosions.Update(c.fTime);
        ASSERT_EQ(m_Explosions.GetCount(), c.iFrame < 0 ? 0 : 1);
        if (c.iFrame >= 0)
        {
            EXPECT_EQ(m_Explosions.GetAt(0)->m_iFrame, c.iFrame);
        }
    }

    // 0.75 s and then 0.05 s: the time reaches 0.8 s.
    m_Explosions.Create(CKorvelVector2(0, 0), 0.1f, 0, 0xFFFFFFFFu);
    m_Explosions.Update(0.75f);
    EXPECT_EQ(m_Explosions.GetCount(), 1);
    m_Explosions.Update(0.05f);
    EXPECT_EQ(m_Explosions.GetCount(), 0);
}

TEST_F(CMoxExplosionManager, ExplosionsEndingTogetherAreAllRemovedAndTheNextStillAdvances)
{
    m_Explosions.Create(CKorvelVector2(0, 0), 0.1f, 0, 0xFF000001u);
    m_Explosions.Create(CKorvelVector2(0, 0), 0.1f, 0, 0xFF000002u);
    m_Explosions.Update(0.5f);
    m_Explosions.Create(CKorvelVector2(0, 0), 0.1f, 0, 0xFF000003u);
    m_Explosions.Update(0.5f);
    ASSERT_EQ(m_Explosions.GetCount(), 1);
    EXPECT_EQ(m_Explosions.GetAt(0)->m_uColour, 0xFF000003u);
    EXPECT_EQ(m_Explosions.GetAt(0)->m_iFrame, 10);
}

TEST_F(CMoxExplosionManager, AFrameShowsItsCellAtTheWorldPositionTinted)
{
    CKorvelVector2 world(0.5f, 0.25f), screen(0.0f, 0.0f);
    m_pGame->GetRenderer()->m_Camera.WorldToScreen(world, &screen);
    const unsigned int uTint = 0xFFFF8080u; // green and blue halved
    m_Explosions.Create(world, 0.1f, 0, uTint);
    m_Explosions.Update(0.25f);
    ASSERT_EQ(m_Explosions.GetAt(0)->m_iFrame, 5);
    ClearBlack();
    m_Explosions.Render();
    const unsigned int c = CellColour(1, 1);
    // The frame covers its half size round the position, and nothing beyond it.
    for (const int d : {0, 15, -15})
    {
        SCOPED_TRACE(d);
        const uint32_t uPixel = Pixel(int(screen.x) + d, int(screen.y) - d);
        EXPECT_NEAR(PixelR(uPixel), int(c >> 16 & 0xFF), 1);
        EXPECT_NEAR(PixelG(uPixel), int(c >> 8 & 0xFF) / 2.0f, 1.0f);
        EXPECT_NEAR(PixelB(uPixel), int(c & 0xFF) / 2.0f, 1.0f);
    }
    EXPECT_EQ(Pixel(int(screen.x) + 50, int(screen.y)) & 0xFFFFFFu, 0u);
}

} // namespace
