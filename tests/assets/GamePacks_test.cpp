// The game's content as built into the application folder and the sample item packs,
// read by the shell's test application (resource manager, language, music player) and
// the engine's readers, and the game's root state preloading it all.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornStatistics.h"
#include "Framework/UI/XMLLoaderWrapper.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelSound/KorvelSoundBuffer.h"
#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundMusicPlayer.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "PlatformControl.h"
#include "PlatformMmrControl.h"
#include "PlatformPcmControl.h"
#include "game/MoxTables.h"
#include "game/StateGame.h"
#include "tools/packtool/KmpLanguage.h"

#include "support/StringUnits.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestVornApplication.h"
#include "tests/assets/BuiltFolder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <thread>

namespace
{
const char* const g_aGamePacks[] = {
    "dataEffects.kmp", "dataPlayers.kmp",      "dataTextures.kmp",      "dataUI.kmp",
    "dataAudio.kmp",   "dataAmbientAudio.kmp", "dataAmbientAudio2.kmp", "dataIntro.kmp"};
const int WIDTH = 1024;
// A song played through at a second of output a frame, on a loaded machine too.
const int SONG_PLAYED_SECONDS = 100;
const int HEIGHT = 600;

std::string ItemsDir()
{
    const char* pBinary = std::getenv("KORVEL_BINARY_DIR");
    return std::string(pBinary ? pBinary : ".") + "/lobby-data/items/";
}

// Width and height of each picture; 128 x 128 unless listed.
std::pair<int, int> PictureSize(const std::string& strName)
{
    static const std::map<std::string, std::pair<int, int>> mapSizes = {
        {"flomptitleflomp.jpg", {1024, 512}},
        {"flomploader.png", {256, 256}},
        {"background_battle.png", {1024, 512}},
        {"background_unique.png", {512, 512}},
        {"player0_animations.png", {1280, 128}},
        {"player1_animations.png", {1280, 128}},
        {"player_background.png", {256, 256}},
        {"player0_stretch.png", {512, 640}},
        {"player1_stretch.png", {512, 640}},
        {"help.png", {256, 256}},
        {"helper.png", {64, 64}},
        {"training.png", {256, 256}},
        {"fb_button.png", {256, 256}},
        {"projectile_red.png", {64, 64}},
        {"projectile_blue.png", {64, 64}},
        {"projectile_sticky.png", {64, 64}},
        {"projectile_snowball.png", {64, 64}},
        {"explosion.png", {512, 512}},
        {"timer_flomp.png", {512, 512}},
        {"water_base.png", {64, 256}},
        {"waves.png", {256, 256}},
        {"particle_star.png", {64, 64}},
        {"particle_dot.png", {32, 32}},
        {"shadow.png", {64, 64}},
        {"intro.png", {256, 256}},
        {"credits.png", {256, 256}},
        {"volumebackgroundz.png", {256, 64}},
        {"volumezlider.png", {64, 64}},
        {"nextround.png", {256, 256}},
        {"marker.png", {1024, 64}},
        {"chatbubble.png", {192, 192}},
        {"chatbubble_pointer.png", {192, 192}},
        {"zoom_bar.png", {64, 256}},
        {"zoom_indicator.png", {64, 64}},
        {"torch.png", {1024, 1024}}};
    if (strName.rfind("Kuva", 0) == 0)
        return {1024, 512};
    auto it = mapSizes.find(strName);
    return it == mapSizes.end() ? std::make_pair(128, 128) : it->second;
}

// The pictures the game binds with GL_REPEAT: the water and the block surfaces.
bool IsRepeated(const std::string& strName)
{
    return strName == "water_base.png" || strName == "waves.png" || strName.rfind("Texture_", 0) == 0;
}

std::vector<std::string> Names(const sResourceEntry* pTable, int iCount)
{
    std::vector<std::string> aNames;
    for (int i = 0; i < iCount; ++i)
        aNames.push_back(Narrow(pTable[i].name));
    return aNames;
}

std::vector<std::string> PictureNames()
{
    std::vector<std::string> aNames = Names(GAME_TEXTURES, GAME_TEXTURE_COUNT);
    for (const std::string& strName : Names(INTRO_TEXTURES, INTRO_TEXTURE_COUNT))
        aNames.push_back(strName);
    aNames.push_back("torch.png");
    return aNames;
}

class CGamePacks : public ::testing::Test
{
protected:
    // The shell's application on a copy of the built folder, started, with the game's root
    // state started on it (which adds the game's packs).
    void StartGame()
    {
        m_pApp.reset(new CTestKestrolundApplication(WIDTH, HEIGHT));
        CopyBuiltFolder(m_pApp->AppFile(""));
        ASSERT_EQ(m_pApp->Start(), KE_OK);
        m_pGame.reset(new CStateGame());
        ASSERT_EQ(m_pGame->Startup(m_pApp.get()), KE_OK);
    }
    void TearDown() override
    {
        // Before the application: the game's programs need its GL context.
        if (m_pGame)
            m_pGame->Shutdown();
        m_pGame.reset();
        m_pApp.reset();
    }

    std::unique_ptr<CTestKestrolundApplication> m_pApp;
    std::unique_ptr<CStateGame> m_pGame;
};
} // namespace

// Every item of the game's packs is a name the game asks for, found by the loaders'
// "/" + name look-up at its own place, in exactly one pack, and clashing with no other
// shipped item.
TEST_F(CGamePacks, EveryItemIsOneTheGameNamesAndIsReachable)
{
    std::set<std::string> setWanted;
    for (const std::string& strName : PictureNames())
        setWanted.insert(strName);
    for (const std::string& strName : Names(GAME_SOUNDS, GAME_SOUND_COUNT))
        setWanted.insert(strName);
    setWanted.insert({"foo.fnt", "foo_0.png"});

    std::map<std::string, std::string> mapWhere; // item -> pack, over every pack of the folder
    for (const auto& entry : std::filesystem::directory_iterator(AppDir()))
    {
        const std::string strPack = entry.path().filename().string();
        if (entry.path().extension() != ".kmp" || strPack.rfind("vornlanguage", 0) == 0 ||
            strPack.rfind("quorvalinlanguage", 0) == 0)
            continue;
        const bool bGame =
            std::find(std::begin(g_aGamePacks), std::end(g_aGamePacks), strPack) != std::end(g_aGamePacks);
        CKorvelMediaPack pack;
        ASSERT_EQ(pack.Startup(CKorvelString(entry.path().c_str()), CKorvelString()), KE_OK) << strPack;
        for (unsigned int i = 0; i < pack.GetItemCount(); ++i)
        {
            const std::string strItem = Narrow(pack.GetItemInfo(i)->strName);
            const std::string strFile = strItem.substr(1);
            EXPECT_EQ(pack.SeekToItem(CKorvelString(strItem.c_str()), 0), pack.SeekToItem(CKorvelString(), i))
                << strPack << " " << strItem;
            // One start adds one size of each ladder family, which repeats its names size by size.
            const bool bOtherSize = strPack.find("_") != std::string::npos &&
                                    strPack.rfind("vorntheme", 0) != 0 &&
                                    strPack.find("_640.") == std::string::npos;
            if (strFile == "kmp.meta" || bOtherSize)
                continue;
            EXPECT_TRUE(mapWhere.emplace(strFile, strPack).second)
                << strFile << " in " << strPack << " and " << mapWhere[strFile];
            if (bGame)
            {
                EXPECT_EQ(setWanted.count(strFile), 1u) << strFile << " in " << strPack;
            }
        }
    }
    for (const std::string& strName : setWanted)
        EXPECT_EQ(mapWhere.count(strName), 1u) << strName << " is in no pack";
    EXPECT_EQ(mapWhere["foo.fnt"], "dataUI.kmp");
}

// Through the resource manager: every picture at its size (power-of-two sides where the
// game repeats it), every sound, and the font with its page at the screen's scale.
TEST_F(CGamePacks, EveryNameOfTheTablesLoadsThroughTheResourceManager)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    for (const std::string& strName : PictureNames())
    {
        CKorvelSurface* pSurface = m_pApp->GetSurface(CKorvelString(strName.c_str()));
        ASSERT_NE(pSurface, nullptr) << strName;
        EXPECT_EQ(std::make_pair(pSurface->GetWidth(), pSurface->GetHeight()), PictureSize(strName))
            << strName;
        if (IsRepeated(strName))
        {
            EXPECT_TRUE(IsPowerOfTwo(pSurface->GetWidth()) && IsPowerOfTwo(pSurface->GetHeight())) << strName;
        }
        m_pApp->ReleaseSurface(pSurface);
    }
    for (const std::string& strName : Names(GAME_SOUNDS, GAME_SOUND_COUNT))
    {
        CKorvelSoundWave* pWave = m_pApp->GetSound(CKorvelString(strName.c_str()), 1, 0);
        ASSERT_NE(pWave, nullptr) << strName;
        EXPECT_GT(pWave->GetLength(), 0u) << strName;
        m_pApp->ReleaseSound(pWave);
    }
    CKorvelBitmapFont* pFont = m_pApp->GetFont(GAME_FONTS[FONT_MAIN].name);
    ASSERT_NE(pFont, nullptr);
    EXPECT_FLOAT_EQ(pFont->GetFontScale(), float(HEIGHT) / 720.0f);
    EXPECT_NEAR(pFont->GetLineHeight(), 40 * pFont->GetFontScale(), 1.0);
    // A window given another size scales the loaded font as a load at that size would.
    m_pApp->OnScreenChanged(800, 480);
    EXPECT_FLOAT_EQ(pFont->GetFontScale(), 480.0f / 720.0f);
    m_pApp->OnScreenChanged(WIDTH, HEIGHT);
    EXPECT_FLOAT_EQ(pFont->GetFontScale(), float(HEIGHT) / 720.0f);
    ASSERT_GT(pFont->GetPageCount(), 0);
    EXPECT_NE(pFont->GetPage(0)->uTexture, 0u);
    for (unsigned int u : {unsigned('A'), unsigned('z'), unsigned('!'), 0xE9u, 0x2026u})
        EXPECT_NE(pFont->GetCharInfo(u), nullptr) << u;
    m_pApp->ReleaseFont(pFont);
}

// The game samples frame rows 0.5 % of the picture's height lower than they start, so
// the top 1 % of every frame row must stay clear or the row above would show through.
TEST_F(CGamePacks, FrameSheetsKeepTheTopOfEveryRowClear)
{
    const struct
    {
        const char* pPack;
        const char* pName;
        int iRows;
    } aSheets[] = {{"dataPlayers.kmp", "/player0_animations.png", 1},
                   {"dataPlayers.kmp", "/player1_animations.png", 1},
                   {"dataEffects.kmp", "/explosion.png", 4},
                   {"dataUI.kmp", "/timer_flomp.png", 4},
                   {"dataUI.kmp", "/marker.png", 1}};
    for (const auto& s : aSheets)
    {
        CKorvelMediaPack pack;
        ASSERT_EQ(pack.Startup(CKorvelString((AppDir() + s.pPack).c_str()), CKorvelString()), KE_OK);
        CKorvelSurface surface;
        ASSERT_EQ(surface.LoadFromPack(nullptr, &pack, CKorvelString(s.pName), 0, nullptr), KE_OK) << s.pName;
        const int iBand = int(std::ceil(surface.GetHeight() * 0.01));
        int iCovered = 0, iVisible = 0;
        for (int y = 0; y < surface.GetHeight(); ++y)
            for (int x = 0; x < surface.GetWidth(); ++x)
            {
                const bool bTop = y % (surface.GetHeight() / s.iRows) < iBand;
                ((bTop ? iCovered : iVisible)) += (surface.GetPixelDIB(x, y) >> 24) != 0;
            }
        EXPECT_EQ(iCovered, 0) << s.pName;
        EXPECT_GT(iVisible, 0) << s.pName << " is empty";
        surface.Shutdown();
    }
}

// Every sound decodes with the engine's loader as 16-bit mono at 22050 Hz within its
// length; the ambient loop is IMA ADPCM in whole blocks and joins its end to its start.
TEST_F(CGamePacks, SoundsDecodeAtTheirLengthsAndTheLoopJoins)
{
    plat::PcmControlReset();
    plat::PcmControlUseCaptureSink(true);
    CKorvelSoundEngine engine;
    ASSERT_EQ(engine.Startup(nullptr, 44100, 16, 2, nullptr, CKorvelSoundEngine::STARTUP_NO_THREAD, 0),
              KE_OK);
    const struct
    {
        const char* pPack;
        const char* pName;
        double dMin, dMax;
    } aSounds[] = {{"dataAudio.kmp", "buttondown.wav", 0.04, 0.1},
                   {"dataAudio.kmp", "buttonup.wav", 0.04, 0.1},
                   {"dataAudio.kmp", "ammunta01.wav", 0.2, 0.5},
                   {"dataAudio.kmp", "ammus_pomppu01.wav", 0.1, 0.3},
                   {"dataAudio.kmp", "ammus_veteen01.wav", 0.3, 0.8},
                   {"dataAudio.kmp", "explosio01.wav", 0.5, 1.2},
                   {"dataAudio.kmp", "hyppy01.wav", 0.2, 0.5},
                   {"dataAudio.kmp", "pelaaja_pomppu01.wav", 0.1, 0.4},
                   {"dataAudio.kmp", "pelaaja_veteen01.wav", 0.5, 1.2},
                   {"dataAudio.kmp", "venytys01.wav", 0.3, 0.6},
                   {"dataAudio.kmp", "flompwhip.wav", 0.2, 0.5},
                   {"dataAudio.kmp", "startgame.wav", 1.0, 4.0},
                   {"dataAudio.kmp", "wingame.wav", 1.5, 2.0},
                   {"dataAudio.kmp", "losegame.wav", 1.0, 2.5},
                   {"dataAudio.kmp", "tiegame.wav", 0.8, 2.0},
                   {"dataAudio.kmp", "timeralert.wav", 0.05, 0.15},
                   {"dataAudio.kmp", "timerend.wav", 0.3, 0.8},
                   {"dataAmbientAudio.kmp", "ambient_common_00.wav", 1, 3},
                   {"dataAmbientAudio.kmp", "ambient_common_01.wav", 1, 3},
                   {"dataAmbientAudio.kmp", "ambient_common_02.wav", 1, 3},
                   {"dataAmbientAudio2.kmp", "ambient_rare_00.wav", 2, 4},
                   {"dataAmbientAudio2.kmp", "ambient_rare_01.wav", 2, 4},
                   {"dataAmbientAudio2.kmp", "ambient_rare_02.wav", 2, 4},
                   {"dataAmbientAudio.kmp", "ambient_loop_00.wav", 10, 15}};
    ASSERT_EQ(std::size(aSounds), size_t(GAME_SOUND_COUNT));
    for (const auto& s : aSounds)
    {
        SCOPED_TRACE(s.pName);
        CKorvelMediaPack pack;
        ASSERT_EQ(pack.Startup(CKorvelString((AppDir() + s.pPack).c_str()), CKorvelString()), KE_OK);
        CKorvelSoundWave wave;
        ASSERT_EQ(
            wave.LoadFromPack(&engine, &pack, CKorvelString((std::string("/") + s.pName).c_str()), 0, 0, 0),
            KE_OK);
        const SKE_WAVEFORMAT& format = wave.GetFormat();
        EXPECT_EQ(format.uSamplesPerSec, 22050u);
        EXPECT_EQ(format.uChannels, 1u);
        EXPECT_EQ(format.uBitsPerSample, 16u);
        // The turn clock's alert is replayed at up to 1.4 times its rate; the engine stops at 88200.
        EXPECT_LE(format.uSamplesPerSec * 1.4, 88200.0);
        const double dSeconds = wave.GetLength() / (22050.0 * 2);
        EXPECT_GE(dSeconds, s.dMin);
        EXPECT_LE(dSeconds, s.dMax);
        wave.Shutdown();
    }

    // The loop as stored: "fmt " first with tag 17, 256-byte blocks of 505 samples, and a
    // whole number of blocks, so the decoded loop has no padding.
    const std::string strLoop = ItemData("dataAmbientAudio.kmp", "ambient_loop_00.wav");
    ASSERT_GT(strLoop.size(), 40u);
    auto u16 = [&](size_t at)
    { return unsigned(uint8_t(strLoop[at])) | unsigned(uint8_t(strLoop[at + 1])) << 8; };
    EXPECT_EQ(strLoop.substr(12, 4), "fmt ");
    EXPECT_EQ(u16(20), 17u);
    EXPECT_EQ(u16(32), 256u);
    EXPECT_EQ(u16(38), 505u);
    CKorvelMediaPack pack;
    ASSERT_EQ(pack.Startup(CKorvelString((AppDir() + "dataAmbientAudio.kmp").c_str()), CKorvelString()),
              KE_OK);
    CKorvelSoundWave loop;
    ASSERT_EQ(loop.LoadFromPack(&engine, &pack, CKorvelString("/ambient_loop_00.wav"), 0, 0, 0), KE_OK);
    const unsigned int uSamples = loop.GetLength() / 2;
    EXPECT_EQ(uSamples % 505, 0u);
    std::vector<int16_t> aPcm(uSamples);
    CKorvelSoundBuffer* pBuffer = loop.GetBuffer(0);
    ASSERT_NE(pBuffer, nullptr);
    void* pData = nullptr;
    unsigned int uBytes = 0;
    ASSERT_EQ(pBuffer->Lock(0, 0, &pData, &uBytes, 1), KE_OK);
    ASSERT_EQ(uBytes, uSamples * 2);
    std::copy_n(static_cast<const int16_t*>(pData), uSamples, aPcm.begin());
    pBuffer->Unlock(pData, uBytes);
    int iLargestStep = 0;
    for (size_t i = 1; i < aPcm.size(); ++i)
        iLargestStep = std::max(iLargestStep, std::abs(aPcm[i] - aPcm[i - 1]));
    EXPECT_LE(std::abs(aPcm.front() - aPcm.back()), iLargestStep) << "the loop jumps where it restarts";
    loop.Shutdown();
    engine.Shutdown();
    plat::PcmControlReset();
}

// Both songs play through the application's music player on the renderer stand-in for
// their lengths; the menu's theme starts over at its end.
TEST_F(CGamePacks, SongsPlayForTheirLengthsAndTheThemeLoops)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    const struct
    {
        GAME_SONG eSong;
        float fMin, fMax;
        unsigned int uLoop;
    } aSongs[] = {{SONG_THEME, 60.0f, 90.0f, 1}, {SONG_INTRO, 50.0f, 56.0f, 0}};
    for (const auto& s : aSongs)
    {
        SCOPED_TRACE(Narrow(GAME_SONGS[s.eSong].name));
        plat::ClearCallLog();
        CKorvelString strPath;
        IKorvelApplication::BuildFilepath(strPath, GAME_SONGS[s.eSong].name);
        ASSERT_EQ(m_pApp->PlayMusic(strPath, s.uLoop), KE_OK);
        ASSERT_NE(m_pApp->m_pMusicPlayer, nullptr);
        // A second of the renderer's output a frame, until the track has ended (and, when
        // looped, been started again): its thread notices the end in its own time.
        auto done = [&]
        { return s.uLoop ? plat::CountCalls("mmr_play") >= 2 : m_pApp->m_pMusicPlayer->IsAtEnd() != 0; };
        const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(SONG_PLAYED_SECONDS);
        while (!done() && std::chrono::steady_clock::now() < tEnd)
        {
            plat::MmrCapturePull(44100);
            std::this_thread::sleep_for(
                std::chrono::milliseconds(2)); // the renderer's thread notices the end
            m_pApp->DrainPlatformEvents();
            m_pApp->Frame(0.02f);
            m_pApp->m_pMusicPlayer->Update(0.02f); // the engine's loop runs the player's runnable
        }
        EXPECT_GE(m_pApp->m_pMusicPlayer->GetDuration(), s.fMin);
        EXPECT_LE(m_pApp->m_pMusicPlayer->GetDuration(), s.fMax);
        if (s.uLoop)
        {
            EXPECT_EQ(plat::CountCalls("mmr_play"), 2) << "restarted at its end";
            EXPECT_EQ(m_pApp->m_pMusicPlayer->GetState(), unsigned(CKorvelSoundMusicPlayer::STATE_PLAYING));
        }
        else
            EXPECT_EQ(m_pApp->m_pMusicPlayer->IsAtEnd(), 1u);
        m_pApp->StopMusic();
    }
}

// The game's language pack reads through the shell's reader with every text 0-55 of the
// source, and the pack tool builds it from the source without a complaint.
TEST_F(CGamePacks, EveryTextReadsAsTheSourceAndTheToolRefusesNothing)
{
    const std::string strLang = TestSourceDir() + "/assets/src/lang/";
    CTestTempDir dir;
    std::string strErr;
    ASSERT_EQ(RunTool(dir,
                      "lang " + strLang + "quorvalinlanguage_en.txt " + dir.File("quorvalinlanguage_en.kmp") +
                          " --signatures " + strLang + "quorvalinsignatures.txt",
                      strErr),
              0)
        << strErr;
    EXPECT_EQ(strErr, "");
    EXPECT_EQ(ReadTestFile(dir.File("quorvalinlanguage_en.kmp")),
              ReadTestFile(AppDir() + "quorvalinlanguage_en.kmp"));

    std::map<int, std::vector<std::string>> mapSignatures;
    sKmpLanguageSource source;
    std::string strError;
    ASSERT_TRUE(KmpParseLanguage(SourceText("assets/src/lang/quorvalinlanguage_en.txt"), "en", mapSignatures,
                                 source, strError))
        << strError;
    // The texts the game shows: 0-21, the training scenes' help 31-45 and the actions' 50-55.
    for (int i = 0; i <= 55; ++i)
        if (i <= 21 || (i >= 31 && i <= 45) || i >= 50)
        {
            EXPECT_FALSE(source.mapTexts[i].empty()) << i;
        }

    CTestVornApplication app;
    CopyBuiltFolder(app.AppFile(""));
    CVornStatistics statistics;
    CVornLanguage language;
    app.m_pStatistics = &statistics;
    app.m_pLanguage = &language;
    ASSERT_EQ(language.Startup(&app, CKorvelString("quorvalinlanguage")), KE_OK);
    ASSERT_NE(language.GetCurrentLanguage(), nullptr);
    EXPECT_EQ(Units(language.GetCurrentLanguage()->m_strCode), u"en");
    ASSERT_EQ(language.GetTextCount(), 56);
    for (int i = 0; i <= 55; ++i)
    {
        std::string strText = source.mapTexts.count(i) ? source.mapTexts[i] : "";
        for (size_t u = strText.find("\\n"); u != std::string::npos; u = strText.find("\\n", u + 1))
            strText.replace(u, 2, "\n");
        EXPECT_EQ(Units(language.GetText(i)), Utf16(strText)) << i;
    }
    language.Shutdown();
    app.m_pLanguage = nullptr;
    app.m_pStatistics = nullptr;
}

// Each sample item pack, added as the item loader adds it, gives its description by its
// number and the pictures it names, at the sizes of the pictures they replace.
TEST_F(CGamePacks, SampleItemPacksGiveTheirDescriptionsAndPictures)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    const struct
    {
        int iDataId, iDescription;
        const char* pType;
        int iVariable;
        std::vector<std::pair<const char*, const char*>> aPictures; // attribute, picture it stands for
    } aItems[] = {
        {101, 1, "hat", 25, {{"$filename", nullptr}}},
        {102, 2, "snow", 0, {}},
        {103, 3, "cluster", 0, {}},
        {104,
         4,
         "battleground",
         0,
         {{"$battlefilename", "background_battle.png"}, {"$uniquefilename", "background_unique.png"}}}};
    for (const auto& item : aItems)
    {
        const std::string strPack = ItemsDir() + "data_64_" + std::to_string(item.iDataId) + ".kmp";
        SCOPED_TRACE(strPack);
        ASSERT_EQ(m_pApp->AddPack(CKorvelString(strPack.c_str()), 1, 0), 1);
        unsigned char* pData = nullptr;
        const unsigned int uSize =
            m_pApp->GetFileData(CKorvelString((std::to_string(item.iDescription) + ".xml").c_str()), &pData);
        ASSERT_NE(pData, nullptr);
        CXMLLoaderWrapper loader;
        loader.Startup(*m_pApp);
        ASSERT_EQ(loader.LoadFromData(pData, uSize), KE_OK);
        CKorvelXMLDataNode* pAttributes = CXMLLoaderWrapper::FindChild(loader.GetRootNode(), "attributes");
        ASSERT_NE(pAttributes, nullptr);
        ASSERT_NE(CXMLLoaderWrapper::GetText(pAttributes, "$type"), nullptr);
        EXPECT_STREQ(CXMLLoaderWrapper::GetText(pAttributes, "$type"), item.pType);
        EXPECT_EQ(CXMLLoaderWrapper::GetInt(pAttributes, "$variable", 0), item.iVariable);
        for (const auto& picture : item.aPictures)
        {
            const char* pFile = CXMLLoaderWrapper::GetText(pAttributes, picture.first);
            ASSERT_NE(pFile, nullptr) << picture.first;
            std::string strFile(pFile);
            std::transform(strFile.begin(), strFile.end(), strFile.begin(), ::tolower);
            EXPECT_EQ(strFile, pFile) << "the loader lowers the name";
            CKorvelSurface* pSurface = m_pApp->GetSurface(CKorvelString(pFile));
            ASSERT_NE(pSurface, nullptr) << pFile;
            if (picture.second)
            {
                EXPECT_EQ(std::make_pair(pSurface->GetWidth(), pSurface->GetHeight()),
                          PictureSize(picture.second));
            }
            m_pApp->ReleaseSurface(pSurface);
        }
        loader.Shutdown();
        delete[] pData;
        for (const char* pSize : {"small", "large"})
            EXPECT_FALSE(
                ReadTestFile(ItemsDir() + "icons/" + (std::string(item.pType) + "_" + pSize + ".png"))
                    .empty())
                << pSize;
    }
}

// The root state's preload over the built folder fills every slot but the battle
// backgrounds, which come from the player's items.
TEST_F(CGamePacks, RootStatePreloadFillsEverySlot)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    for (int i = 0; i < GAME_TEXTURE_COUNT + GAME_SOUND_COUNT; ++i)
        m_pGame->PreloadResources(1);
    EXPECT_EQ(m_pGame->m_bResourcesLoaded, 0);
    m_pGame->PreloadResources(1);
    ASSERT_EQ(m_pGame->m_bResourcesLoaded, 1);
    CMoxGameContext& context = m_pGame->GetContext();
    for (int i = 0; i < GAME_TEXTURE_COUNT; ++i)
    {
        if (i == TEXTURE_BACKGROUND_BATTLE || i == TEXTURE_BACKGROUND_UNIQUE)
            EXPECT_EQ(context.psrfGameTextures[i], nullptr) << i;
        else
            EXPECT_NE(context.psrfGameTextures[i], nullptr) << Narrow(GAME_TEXTURES[i].name);
    }
    for (int i = 0; i < GAME_SOUND_COUNT; ++i)
        EXPECT_NE(context.psndGameSounds[i], nullptr) << Narrow(GAME_SOUNDS[i].name);
    ASSERT_NE(context.pfntGameFonts, nullptr);
    EXPECT_FLOAT_EQ(context.pfntGameFonts->GetFontScale(), float(HEIGHT) / 720.0f);
}
