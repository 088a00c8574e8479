// The application object's start-up: the display mode and the sound format from
// "settings.txt", the data folder, the window title and the identity accessors.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "PlatformPcmControl.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestText.h"

namespace
{

TEST(CKestrolundApplication, TheFullscreenSettingPicksTheDisplayMode)
{
    struct sCASE
    {
        const char* pSettings;
        unsigned int uWindowed;
        int iWidth, iHeight;
    };
    const sCASE aCases[] = {
        {"", 0, 320, 240}, // the headless display's mode is full screen
        {"[GRAPHICS]\nfullscreen=0\n", 1, 320, 240},
        {"[GRAPHICS]\nfullscreen=2\n", 0, 320, 240},
        {"[GRAPHICS]\nfullscreen=1\nresx=200\nresy=150\n", 0, 200, 150},
    };
    for (const sCASE& c : aCases)
    {
        CTestKestrolundApplication app;
        ASSERT_TRUE(app.WriteSettings(c.pSettings));
        app.ReadSettings();
        SKE_DISPLAYMODE mode = {};
        app.GetStartupDisplayMode(mode);
        SCOPED_TRACE(c.pSettings);
        EXPECT_EQ(mode.uWindowed, c.uWindowed);
        EXPECT_EQ(mode.iWidth, c.iWidth);
        EXPECT_EQ(mode.iHeight, c.iHeight);
    }
}

TEST(CKestrolundApplication, TheSoundFormatComesFromTheAudioSettings)
{
    struct sCASE
    {
        const char* pSettings;
        int iRate, iVoices, iFormat;
    };
    const sCASE aCases[] = {
        {nullptr, 44100, 2, plat::SND_PCM_SFMT_S16_LE},
        {"[AUDIO]\nfrequency=22050\n", 22050, 2, plat::SND_PCM_SFMT_S16_LE},
        {"[AUDIO]\nbps=8\nchannels=1\n", 44100, 1, plat::SND_PCM_SFMT_U8},
    };
    for (const sCASE& c : aCases)
    {
        CTestKestrolundApplication app;
        ASSERT_TRUE(app.WritePacks(false));
        if (c.pSettings)
        {
            ASSERT_TRUE(app.WriteSettings(c.pSettings));
        }
        ASSERT_EQ(app.Start(), KE_OK);
        plat::snd_pcm_channel_params_t params{};
        ASSERT_TRUE(plat::PcmCaptureLastParams(&params));
        SCOPED_TRACE(c.pSettings ? c.pSettings : "no settings.txt");
        EXPECT_EQ(params.format.rate, c.iRate);
        EXPECT_EQ(params.format.voices, c.iVoices);
        EXPECT_EQ(params.format.format, c.iFormat);
        EXPECT_EQ(app.GetSoundVolume(), 80) << "the stored default volume";
    }
}

TEST(CKestrolundApplication, StartupNamesTheWindowAfterTheGameAndMakesTheDataFolder)
{
    CTestKestrolundApplication app;
    ASSERT_TRUE(app.WritePacks(false));
    ASSERT_EQ(app.Start(), KE_OK);
    EXPECT_EQ(Narrow(app.GetAppTitle()), "Quorvalin");
    struct stat info;
    EXPECT_EQ(stat(app.DataFile("").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(stat(app.DataFile("stats.dat").c_str(), &info), 0) << "the first start writes its settings";
}

TEST(CKestrolundApplication, IdentityComesFromTheGameAndTheResellerFallsBackToBb)
{
    CTestKestrolundApplication app;
    CTestGameState* pGame = new CTestGameState(&app.m_Log);
    app.m_pGame = pGame;
    ASSERT_TRUE(app.WritePacks(false));
    ASSERT_EQ(app.Startup(nullptr, 0, 0, pGame), KE_OK);
    EXPECT_EQ(app.GetAppId(), 64);
    EXPECT_EQ(Narrow(app.GetAppVersion()), "1.62");
    EXPECT_EQ(Narrow(app.GetResellerId()), "bb");
    pGame->m_strResellerId = "xy";
    EXPECT_EQ(Narrow(app.GetResellerId()), "xy");
    EXPECT_EQ(app.GetReleaseId(), 0) << "no session before the splash ends";
    EXPECT_EQ(app.IsGameFullscreen(), 0u);
}

} // namespace
