// The shell's application for tests: the real CKestrolundApplication on the headless
// back end with Mesa GL, working in a fresh directory of its own ("app/native/" and
// "data/" made there), sound on the PCM capture sink and music on the renderer's capture
// output. Its creation hooks make the recording doubles, which share one call log.
#pragma once

#include <set>
#include <string>

#include "Framework/Shell/KestrolundApplication.h"
#include "PlatformControl.h"
#include "support/TestCallLog.h"
#include "support/TestGameState.h"
#include "support/TestMenuState.h"
#include "support/TestNetworkSession.h"
#include "support/TestOverlays.h"
#include "support/TestTheme.h"
#include "support/TestWorkingDir.h"

// The platform as the shell's tests run it: that back end and display size, the network
// available, no device id reported, sound and music into the capture outputs.
void PrepareTestShellPlatform(plat::eBackend eKind, int iWidth, int iHeight);
// Undoes what the preparation set beyond the back end.
void ReleaseTestShellPlatform();

// Prepares the headless platform before the engine's constructor takes its screen
// context: the first base of the test application.
struct sTestShellPlatform
{
    // bPrepare false: someone else (a harness of two applications) prepared it once.
    sTestShellPlatform(int iWidth, int iHeight, bool bPrepare = true);
    bool m_bOwnsPlatform;
};

class CTestKestrolundApplication : private sTestShellPlatform, public CKestrolundApplication
{
public:
    static const int WIDTH = 320;
    static const int HEIGHT = 240;

    // The headless platform at that size as PrepareTestShellPlatform leaves it; then
    // changes into the new directory. The destructor shuts everything down and changes back.
    explicit CTestKestrolundApplication(int iWidth = WIDTH, int iHeight = HEIGHT);
    // bOwnPlatform false: the platform is neither reset nor released by this application.
    CTestKestrolundApplication(int iWidth, int iHeight, bool bOwnPlatform);
    ~CTestKestrolundApplication() override;

    const std::string& Dir() const { return m_Dir.Path(); }
    std::string AppFile(const std::string& strName) const { return Dir() + "/app/native/" + strName; }
    std::string DataFile(const std::string& strName) const { return Dir() + "/data/" + strName; }
    // Every pack the start needs (the splash pack when bIntro).
    bool WritePacks(bool bIntro = true) const;
    bool WriteSettings(const std::string& strText) const;

    // Startup with a CTestGameState on this application's log (kept in m_pGame): the
    // engine's start runs OnInitDone. The result of Startup.
    KE_RETVAL Start();
    // Startup with that game state, which the lobby double then owns.
    KE_RETVAL StartWith(IVornGameState* pGame);
    // One frame of the given length, as the engine's loop runs it.
    void Frame(float fSeconds);
    // Frames until the splash has handed over to the lobby (at most iMax frames).
    bool RunSplash(float fSeconds = 0.1f, int iMax = 60);

    CTestCallLog m_Log;
    std::set<std::string> m_FailingThemes;
    CTestNetworkSession::sScript m_SessionScript;
    CTestMenuState::sScript m_MenuScript;
    // The real lobby state instead of the recording one (then m_pTestLobby stays null).
    bool m_bRealLobby = false;
    KE_RETVAL m_iToastStartupResult = KE_OK;
    KE_RETVAL m_iAdvertisementStartupResult = KE_OK;

    // The doubles made last (owned by the application), null before.
    CTestGameState* m_pGame = nullptr; // owned by the lobby once it took it
    CTestTheme* m_pTestTheme = nullptr;
    CTestNetworkSession* m_pTestSession = nullptr;
    CTestMenuState* m_pTestLobby = nullptr;
    CTestToast* m_pTestToast = nullptr;
    CTestAdvertisement* m_pTestAdvertisement = nullptr;

    using CKestrolundApplication::m_FocusQueue;
    using CKestrolundApplication::m_pAchievementStation;
    using CKestrolundApplication::m_pLogoSurface;
    using CKestrolundApplication::m_pMusicPlayer;
    using CKestrolundApplication::m_RetiredSessions;
    using CKestrolundApplication::m_strMusicName;
    using CKestrolundApplication::m_uExit;
    using CKestrolundApplication::m_uRestorePhase;
    using IKorvelApplication::DrainPlatformEvents;
    using IKorvelApplication::m_fFrameTime;
    using IKorvelApplication::m_uRunning;
    using IKorvelApplication::m_uSleeping;

protected:
    CVornTheme* CreateTheme() override;
    CVornNetworkSession* CreateNetworkSession() override;
    // The shell's own parts, for tests that run the real ones instead of the doubles.
    CVornTheme* CreateShellTheme() { return CKestrolundApplication::CreateTheme(); }
    CVornNetworkSession* CreateShellNetworkSession()
    {
        return CKestrolundApplication::CreateNetworkSession();
    }
    CVornToastNotification* CreateShellToast() { return CKestrolundApplication::CreateToast(); }
    CVornAdvertisement* CreateShellAdvertisement() { return CKestrolundApplication::CreateAdvertisement(); }
    CVornMenuState* CreateLobbyState() override;
    CVornToastNotification* CreateToast() override;
    CVornAdvertisement* CreateAdvertisement() override;

private:
    CTestWorkingDir m_Dir;
};
