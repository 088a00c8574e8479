// Received bytes as a started network session meets them: the input is one chunk of the
// lobby stream, and again the game stream cut into pieces, so that framing, the
// dispatchers and every reader they call see it whole and split. Both engines resolve
// no host, so nothing a message asks for (a redirect, a game server) connects anywhere;
// a pending login observer lets the login answers through, and a pending picture
// request lets pictures reach the surface loader. It works in a folder of its own, where
// the theme packs it accepts are written.
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "Framework/Session/VornNetworkSession.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "PlatformControl.h"
#include "WorkFolder.h"

namespace
{
int NoHost(char const*, in_addr*)
{
    return 0;
}

// Takes every login answer and does nothing with it.
class CQuietLogin : public CVornNetworkSession::LoginObserver
{
public:
    void OnNewVersionAvailable(CVornNetworkSession*, const CKorvelString&) override {}
    void OnLoginError(CVornNetworkSession*, const CKorvelString&) override {}
    void OnReceiveRandomKey(CVornNetworkSession*, const CKorvelString&) override {}
    void OnLoggedIn(CVornNetworkSession*, int, const CKorvelString&, const CKorvelString&,
                    const CKorvelString&, const CKorvelString&, int) override
    {
    }
    void OnUserNameConfirmed(CVornNetworkSession*, int, const CKorvelString&) override {}
    void OnEmailConfirmed(CVornNetworkSession*, int, const CKorvelString&) override {}
    void OnExternalEmailRegistered(CVornNetworkSession*, int, const CKorvelString&) override {}
    void OnExternalUserRegistered(CVornNetworkSession*, int, const CKorvelString&) override {}
    void OnExternalUserNotFound() override {}
};

CKestrolundApplication& Application()
{
    // One for the process, never started: the session needs only its identity and runnables.
    static CKestrolundApplication* s_pApp = []
    {
        plat::ResetPlatform(plat::eBackend::Headless);
        return new CKestrolundApplication;
    }();
    return *s_pApp;
}

// Owns what it is given, as the lobby would.
void TakePicture(CKorvelSurface* pSurface, const CKorvelString&, void*)
{
    if (pSurface)
    {
        pSurface->Shutdown();
        delete pSurface;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize > (1u << 20))
        return 0;
    CInWorkFolder folder;
    CQuietLogin login;
    CVornNetworkSession session;
    session.SetDisconnectSleep(0);
    if (session.Startup(&Application(), nullptr) != KE_OK)
        return 0;
    session.GetLobbyEngine()->SetResolver(&NoHost);
    session.GetGameEngine()->SetResolver(&NoHost);
    session.Connect(CKorvelString("nowhere"), 1, &login);
    session.SendGetPlayerImage(0, 0, CKorvelString("fuzz"), &TakePicture, nullptr);

    const int iSize = static_cast<int>(uSize);
    session.SocketEngineDataReceived(pData, iSize);
    const int iPiece = uSize ? 1 + pData[0] % 17 : 1;
    for (int i = 0; i < iSize; i += iPiece)
        session.GameSocketEngineDataReceived(pData + i, iPiece < iSize - i ? iPiece : iSize - i);
    session.Update(0.0f);
    session.Shutdown();
    return 0;
}
