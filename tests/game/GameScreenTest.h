// The game's own screens on the root state, for their tests: the shell's test application
// at 800 x 600 with the game's packs, a language pack with every text the screens show,
// the real menu, connecting, intro and training screens in the screen table and fake
// match and editor screens. Touches go in through the root state's pointer entry points;
// every frame runs the root state's update on the hand-moved clock and then its drawing.
// Header only.
#pragma once

#include <GLES2/gl2.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Framework/Shell/VornResourceManager.h"
#include "game/MoxButtons.h"
#include "support/TestMedia.h"
#include "tests/game/GameTestFixture.h"

// FNV-1a of the whole 800 x 600 back buffer as read back; with KORVEL_GOLDEN_DIR set the
// frame is also written there as <name>.png (bottom row first) to be looked at.
inline uint32_t GameFrameHash(const char* pName)
{
    std::vector<uint8_t> aPixels(size_t{800} * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
    if (const char* pDir = std::getenv("KORVEL_GOLDEN_DIR"))
        WriteTestPng(std::string(pDir) + "/" + pName + ".png", 800, 600, aPixels);
    uint32_t h = 2166136261u;
    for (uint8_t b : aPixels)
        h = (h ^ b) * 16777619u;
    return h;
}

// The resource manager's reference count of a loaded surface; 0 when none is loaded.
struct sSurfaceRefs : CVornResourceManager
{
    static int Of(CVornResourceManager& manager, const char* pName)
    {
        const CHashString name{CKorvelString(pName)};
        SurfaceMap(&maps)[TARGET_COUNT] = manager.*(&sSurfaceRefs::m_Surfaces);
        for (SurfaceMap& map : maps)
        {
            const int i = map.Find(name);
            if (i >= 0 && map.GetAt(i).m_Second && map.GetAt(i).m_Second->m_pSurface)
                return map.GetAt(i).m_Second->m_iRefCount;
        }
        return 0;
    }
};

class CGameScreenTest : public CGameTest
{
protected:
    // Texts 0 to 21 of the game's language; 14, 18 to 21 are the screens' own.
    static std::vector<std::string> GameTexts()
    {
        std::vector<std::string> aTexts(22, "TEXT");
        aTexts[14] = "WAITING FOR A PLAYER";
        aTexts[18] = "TRAINING COMPLETE";
        aTexts[19] = "WELL DONE";
        aTexts[20] = "WELCOME";
        aTexts[21] = "CHOOSE A SCENE";
        return aTexts;
    }
    // The film's pictures in shades of green and the torch sheet with one pixel a cell.
    static TestPackItems IntroItems()
    {
        TestPackItems items;
        for (int i = 0; i < INTRO_TEXTURE_COUNT; ++i)
        {
            const std::string strName = Narrow(INTRO_TEXTURES[i].name);
            items.push_back({"/" + strName, GameTestPicture(strName, 0x206020u + unsigned(i) * 0x000F00u)});
        }
        std::vector<uint8_t> aRGBA;
        for (int i = 0; i < 16; ++i)
            aRGBA.insert(aRGBA.end(), {uint8_t(64 + 12 * i), uint8_t(200 - 8 * i), 90, 255});
        CTestTempDir dir;
        WriteTestPng(dir.File("torch.png"), 4, 4, aRGBA);
        items.push_back({"/torch.png", GameTestBytes(ReadTestFile(dir.File("torch.png")))});
        return items;
    }
    void SetUp() override
    {
        CGameTest::SetUp();
        ASSERT_TRUE(WriteTestFile(m_App.AppFile("quorvalinlanguage_en.kmp"),
                                  TestLanguagePackBytes("English", "en", GameTexts())));
        ASSERT_TRUE(WriteTestFile(m_App.AppFile("dataIntro.kmp"), TestPackBytes(IntroItems())));
    }
    // The game with the real screens; the match and the editor stay fakes.
    void StartScreens(CStateGame* pGame = nullptr)
    {
        ASSERT_NO_FATAL_FAILURE(StartGame(pGame));
        sMoxScreenTable& table = m_pGame->GetContext().m_ScreenTable;
        const sMoxScreenTable fakes = table;
        MoxFillScreenTable(table);
        table.m_aCreators[STATE_PLAY] = fakes.m_aCreators[STATE_PLAY];
        table.m_aCreators[STATE_EDITOR] = fakes.m_aCreators[STATE_EDITOR];
        table.m_ChatCreator = fakes.m_ChatCreator;
        m_App.RandSeed(7);
    }
    // The lobby and the session doubles, for log-out, quick play and the release.
    void StartSession(unsigned int uStatus = 5, int iRelease = 0)
    {
        m_App.m_SessionScript.uStatus = uStatus;
        m_App.m_SessionScript.iRelease = iRelease;
        ASSERT_TRUE(m_App.RunSplash());
        m_App.m_Log.Clear();
    }
    // One frame: the clock moves, the root state updates and draws.
    void Run(unsigned int uMilliseconds = 33)
    {
        Frame(uMilliseconds);
        m_pGame->Draw();
    }
    // Frames until the condition holds; false when it did not within iMax frames.
    template <class F> bool RunUntil(F fnDone, int iMax = 300)
    {
        for (int i = 0; i < iMax && !fnDone(); ++i)
            Run();
        return fnDone();
    }
    std::vector<std::string> Screens() { return ScreenNames(); }
    void RunFrames(int iFrames)
    {
        for (int i = 0; i < iFrames; ++i)
            Run();
    }
    // A press and a release of touch 0 at that point, each in a frame of its own; then
    // frames until the button's release has played out.
    void Tap(const CKorvelVector2& v, int iAfter = 8)
    {
        m_pGame->OnMouseButton(0, int(v.x), int(v.y));
        Run();
        m_pGame->OnMouseButtonUp(0, int(v.x), int(v.y));
        Run();
        RunFrames(iAfter);
    }
    // The menu as the root state's activation opens it, drawn once, its resources loaded
    // at once and its controls built.
    void OpenMenu()
    {
        m_pGame->Activate();
        Run();
        while (!m_pGame->m_bResourcesLoaded)
            m_pGame->PreloadResources(1);
        Run();
    }
    CMoxState* Screen() { return m_pGame->GetStateCount() == 1 ? m_pGame->GetStateAt(0) : nullptr; }
    template <class T> T* ScreenAs() { return dynamic_cast<T*>(Screen()); }
    static CKorvelVector2 Centre(const CMoxButton* pButton)
    {
        return pButton ? pButton->m_vPosition : CKorvelVector2(-100.0f, -100.0f);
    }
    int SurfaceRefs(const char* pName) { return sSurfaceRefs::Of(m_App, pName); }
};
