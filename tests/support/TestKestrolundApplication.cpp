#include "support/TestKestrolundApplication.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "Framework/Lobby/VornMenuState.h"
#include "PlatformDeviceInfoControl.h"
#include "PlatformMmrControl.h"
#include "PlatformNetStatusControl.h"
#include "PlatformPcmControl.h"
#include "support/TestMedia.h"
#include "support/TestShellPacks.h"

void PrepareTestShellPlatform(plat::eBackend eKind, int iWidth, int iHeight)
{
    unsetenv("ORIENTATION");
    plat::ResetPlatform(eKind);
    plat::SetDisplaySize(iWidth, iHeight);
    plat::DeviceInfoControlUseHost("/nonexistent/machine-id");
    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_AVAILABLE);
    plat::PcmControlReset();
    plat::PcmControlUseCaptureSink(true);
    plat::MmrControlReset();
    plat::MmrControlUseCaptureOutput(true);
}

void ReleaseTestShellPlatform()
{
    plat::PcmControlReset();
    plat::MmrControlReset();
    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_HOST);
}

sTestShellPlatform::sTestShellPlatform(int iWidth, int iHeight, bool bPrepare) : m_bOwnsPlatform(bPrepare)
{
    if (bPrepare)
        PrepareTestShellPlatform(plat::eBackend::Headless, iWidth, iHeight);
}

CTestKestrolundApplication::CTestKestrolundApplication(int iWidth, int iHeight)
    : CTestKestrolundApplication(iWidth, iHeight, true)
{
}

CTestKestrolundApplication::CTestKestrolundApplication(int iWidth, int iHeight, bool bOwnPlatform)
    : sTestShellPlatform(iWidth, iHeight, bOwnPlatform)
{
    std::error_code ec;
    std::filesystem::create_directories(m_Dir.Path() + "/app/native", ec);
}

CTestKestrolundApplication::~CTestKestrolundApplication()
{
    if (IsStarted())
        IKorvelApplication::Shutdown();
    else
        OnExit();
    // The game state is the lobby's once the lobby started it, and the lobby deleted it;
    // otherwise it is still ours.
    if (m_pGame && m_Log.Count("game.~") == 0)
        delete m_pGame;
    IKorvelApplication::CleanUp();
    if (m_bOwnsPlatform)
        ReleaseTestShellPlatform();
}

bool CTestKestrolundApplication::WritePacks(bool bIntro) const
{
    return WriteShellStartupPacks(Dir() + "/app/native",
                                  GetDisplayMode().iWidth ? GetDisplayMode().iWidth : WIDTH,
                                  GetDisplayMode().iHeight ? GetDisplayMode().iHeight : HEIGHT, bIntro);
}

bool CTestKestrolundApplication::WriteSettings(const std::string& strText) const
{
    return WriteTestFile(AppFile("settings.txt"), strText);
}

KE_RETVAL CTestKestrolundApplication::Start()
{
    m_pGame = new CTestGameState(&m_Log);
    return Startup(nullptr, WIDTH, HEIGHT, m_pGame);
}

KE_RETVAL CTestKestrolundApplication::StartWith(IVornGameState* pGame)
{
    return Startup(nullptr, WIDTH, HEIGHT, pGame);
}

void CTestKestrolundApplication::Frame(float fSeconds)
{
    m_fFrameTime = fSeconds;
    OnFlip();
}

bool CTestKestrolundApplication::RunSplash(float fSeconds, int iMax)
{
    for (int i = 0; i < iMax && IsStarted(); ++i)
    {
        Frame(fSeconds);
        if (GetLobbyState() && GetStateCount() > 0 && GetState(0) == GetLobbyState())
            return true;
    }
    return false;
}

CVornTheme* CTestKestrolundApplication::CreateTheme()
{
    m_pTestTheme = new CTestTheme(m_Log, m_FailingThemes);
    return m_pTestTheme;
}

CVornNetworkSession* CTestKestrolundApplication::CreateNetworkSession()
{
    m_pTestSession = new CTestNetworkSession(m_Log, m_SessionScript);
    return m_pTestSession;
}

CVornMenuState* CTestKestrolundApplication::CreateLobbyState()
{
    if (m_bRealLobby)
        return CKestrolundApplication::CreateLobbyState();
    m_pTestLobby = new CTestMenuState(m_Log, m_MenuScript);
    m_pTestLobby->m_strItemFolder = Dir() + "/";
    return m_pTestLobby;
}

CVornToastNotification* CTestKestrolundApplication::CreateToast()
{
    m_pTestToast = new CTestToast(m_Log);
    m_pTestToast->m_iStartupResult = m_iToastStartupResult;
    return m_pTestToast;
}

CVornAdvertisement* CTestKestrolundApplication::CreateAdvertisement()
{
    m_pTestAdvertisement = new CTestAdvertisement(m_Log);
    m_pTestAdvertisement->m_iStartupResult = m_iAdvertisementStartupResult;
    return m_pTestAdvertisement;
}
