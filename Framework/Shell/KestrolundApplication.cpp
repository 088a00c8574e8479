// The application object: construction, accessors and start-up.
#include "Framework/Shell/KestrolundApplication.h"

#include <new>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Framework/Lobby/VornAdvertisement.h"
#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Lobby/VornToastNotification.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/UI/Theme.h"
#include "KorvelCommon/KorvelAtomicFile.h"

CKestrolundApplication::CKestrolundApplication()
    : m_uExit(0), m_uLobbyConnected(0), m_uInGameSession(0), m_uLoggingOut(0), m_uKeepLogin(0),
      m_pSoundEngine(nullptr), m_pMusicPlayer(nullptr), m_pNetworkSession(nullptr), m_pGameState(nullptr),
      m_pLobbyState(nullptr), m_pDevice(nullptr), m_pStatistics(nullptr), m_pAchievementStation(nullptr),
      m_pAdvertisement(nullptr), m_pToast(nullptr), m_pTheme(nullptr), m_uRestorePhase(0),
      m_pLogoSurface(nullptr), m_uMusicLoop(0), m_fMusicPosition(0.0f), m_pNetConnection(nullptr),
      m_pLanguage(nullptr), m_iRematchAnswer(-1), m_uResultsSent(0), m_uNotificationFilter(1),
      m_uStartFailureReported(0), m_eLobbyReport(LOBBY_REPORT_NONE), m_uLobbyAttempt(0)
{
}

// Everything the application owns is released by OnExit.
CKestrolundApplication::~CKestrolundApplication() {}

// ---- accessors

int CKestrolundApplication::GetAppId() const
{
    return m_pGameState ? m_pGameState->GetAppId() : 0;
}

CKorvelString CKestrolundApplication::GetAppVersion() const
{
    return m_pGameState ? m_pGameState->GetAppVersion() : CKorvelString();
}

CKorvelString CKestrolundApplication::GetResellerId() const
{
    CKorvelString strId;
    if (m_pGameState)
        strId = m_pGameState->GetResellerId();
    if (!strId.GetLength())
        strId.Set("bb");
    return strId;
}

int CKestrolundApplication::GetReleaseId() const
{
    return m_pNetworkSession ? m_pNetworkSession->GetRelease() : 0;
}

CKorvelString CKestrolundApplication::GetAccessCheck() const
{
    return m_pNetworkSession ? m_pNetworkSession->GetLoginCheck() : CKorvelString();
}

CKorvelString CKestrolundApplication::GetAccessToken() const
{
    return m_pNetworkSession ? m_pNetworkSession->GetLoginToken() : CKorvelString();
}

unsigned int CKestrolundApplication::IsGameFullscreen() const
{
    if (m_uInGameSession)
        return 1;
    return m_pGameState && m_pGameState->UsesFullscreen() ? 1 : 0;
}

CKorvelBitmapFont* CKestrolundApplication::GetDefaultFont()
{
    return GetFont(CKorvelString("main-b.fnt"));
}

// ---- creation hooks

CVornTheme* CKestrolundApplication::CreateTheme()
{
    return new CVornTheme;
}

CVornNetworkSession* CKestrolundApplication::CreateNetworkSession()
{
    return new (std::nothrow) CVornNetworkSession;
}

CVornMenuState* CKestrolundApplication::CreateLobbyState()
{
    return new (std::nothrow) CVornMenuState;
}

CVornToastNotification* CKestrolundApplication::CreateToast()
{
    return new (std::nothrow) CVornToastNotification;
}

CVornAdvertisement* CKestrolundApplication::CreateAdvertisement()
{
    return new (std::nothrow) CVornAdvertisement;
}

// ---- start-up

namespace
{
// The writable data folder: without it no setting, progress or download is ever saved.
void MakeDataFolder()
{
    CKorvelString strPath;
    IKorvelApplication::BuildWriteFilepath(strPath, CKorvelString(""));
    std::vector<char> aPath(strPath.GetLength() + 1);
    strPath.MakeAnsi(aPath.data());
    mkdir(aPath.data(), CKorvelAtomicFile::FOLDER_MODE);
}
} // namespace

void CKestrolundApplication::ReadSettings()
{
    CKorvelString strPath;
    BuildFilepath(strPath, CKorvelString("settings.txt"));
    m_Settings.Startup(strPath);
}

void CKestrolundApplication::GetStartupDisplayMode(SKE_DISPLAYMODE& mode)
{
    GetDefaultDisplayMode(mode);
    const CKorvelString strSection("GRAPHICS");
    mode.iWidth = m_Settings.GetIntValue(strSection, CKorvelString("resx"), mode.iWidth);
    mode.iHeight = m_Settings.GetIntValue(strSection, CKorvelString("resy"), mode.iHeight);
    const int iFullscreen =
        m_Settings.GetIntValue(strSection, CKorvelString("fullscreen"), mode.uWindowed == 0 ? 1 : 0);
    mode.uWindowed = iFullscreen == 0 ? 1 : 0;
}

KE_RETVAL CKestrolundApplication::Startup(void* pWindow, int, int, IVornGameState* pGame)
{
    ReadSettings();
    RandSeed();
    m_pGameState = pGame;
    if (m_pGameState)
        SetAppTitle(m_pGameState->GetAppName());
    MakeDataFolder();
    if (!GetDirectDraw())
    {
        // Nothing to show a window on: no X server answers at $DISPLAY.
        const char* pDisplay = std::getenv("DISPLAY");
        const std::string strStep = std::string("the display \"") + (pDisplay ? pDisplay : "") + "\"";
        ReportStartFailure(strStep.c_str(), KE_ERR_DEVICE);
        return KE_ERR_DEVICE;
    }
    SKE_DISPLAYMODE mode = {};
    GetStartupDisplayMode(mode);
    const KE_RETVAL iResult = IKorvelApplication::Startup(pWindow, &mode);
    // The steps after the window report themselves.
    if (iResult != KE_OK && !m_uStartFailureReported)
        ReportStartFailure("the window", iResult);
    return iResult;
}
