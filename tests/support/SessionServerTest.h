// Network sessions against the project's lobby server: a fresh server (strict, ephemeral
// ports, control channel) for each test, the shell's test application with a real
// session, a recorder of every observer call, and frames whose length the test chooses.
// A test fails when the server logged a complaint.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Framework/Session/VornNetworkSession.h"
#include "support/LobbyServerProcess.h"
#include "support/TestJson.h"
#include "support/TestKestrolundApplication.h"

// Language text N of the tests' pack reads "text N".
std::string SessionText(int iNumber);

// Every observer call of one session as a line "Name(arguments)", in order. The hook,
// when set, runs after each line is recorded: tests answer or re-enter from there.
class CSessionRecorder : public CVornNetworkSession::StatusObserver,
                         public CVornNetworkSession::LobbyObserver,
                         public CVornNetworkSession::GameObserver,
                         public CVornNetworkSession::AdvertisementObserver,
                         public CVornNetworkSession::LoginObserver
{
public:
    // Lines that begin with the prefix.
    std::vector<std::string> With(const std::string& strPrefix) const;
    int Count(const std::string& strPrefix) const { return static_cast<int>(With(strPrefix).size()); }
    // The lobby status values in the order they were reported.
    std::vector<unsigned int> LobbyStatuses() const;

    std::vector<std::string> m_aLines;
    std::vector<std::vector<unsigned char>> m_aGameMessages;
    std::vector<unsigned int> m_aDeliveringAtCall; // IsDelivering() at each call
    std::function<void(CVornNetworkSession*, const std::string&)> m_fnHook;

    void OnLobbyStatusChanged(CVornNetworkSession* p, unsigned int u) override;
    void OnGameStatusChanged(CVornNetworkSession* p, unsigned int u) override;
    void OnNotification(CVornNetworkSession* p, int iId, int iType, const CKorvelString& s) override;

    void OnQueueUpdate(CVornNetworkSession* p, int a, int b, int c) override;
    void OnQueueCancelled(CVornNetworkSession* p) override;
    void OnBuddyRequest(CVornNetworkSession* p, int, EBuddyRequestType, EBuddyRequestAction,
                        const CKorvelString&, const CKorvelString&) override;
    void OnGameSessionInfoReceived(CVornNetworkSession* p, int, const sGAME_SESSION&) override;
    void OnChallengeReceived(CVornNetworkSession* p, int, const CKorvelString&, const CKorvelString&, int,
                             int) override;
    void OnChallengeResponse(CVornNetworkSession* p, int, const CKorvelString&, const CKorvelString&,
                             int) override;
    void OnChallengeImageReceived(CVornNetworkSession* p, int, unsigned char*, int) override;
    void OnRematchReceived(int iValue) override;
    void OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>& a) override;
    void OnShopItemData(int, int, unsigned char*, int, int) override;
    void OnWalletBalance(int) override;
    void OnShopItemGroups(int iFlags, const CKorvelArray<CASN1ShopItemGroups::sGroupData>& a) override;
    void OnShopItems(int iFlags, int iStart, const CKorvelArray<CASN1ShopItems::sItemData>& a) override;
    void OnShopItemImage(int, int, unsigned char*, int) override;
    void OnBuyItemResponce(int, int, const CKorvelString&,
                           const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>&) override;
    void OnConfirmBuyItemResponce(int, int, const CKorvelString&) override;
    void OnUpdateItemStateResponse(int, int, const CKorvelString&, int) override;
    void OnPlayerGiftItems(int, CKorvelString&, const CKorvelArray<CASN1ShopItems::sItemData>&) override;
    void OnConfirmBuyPlayerItemsResponse(int, int, CKorvelString&) override;
    void OnAchievementList(int, int, int, CKorvelArray<CASN1AchievementList::sData>&, int) override;
    void OnTournamentScores(CKorvelArray<CKorvelString>&, CKorvelArray<CASN1TournamentScores::sData>&,
                            int) override;
    void OnImageAndLink(const CKorvelString&, int, const unsigned char*, const CKorvelString&,
                        const CKorvelString&, const CKorvelString&) override;

    void OnGameMessage(CVornNetworkSession* p, unsigned char* pData, unsigned int uSize) override;
    void OnGameStart(CVornNetworkSession* p, int iUserId, unsigned int uStart) override;
    void OnPlayerDisconnected(CVornNetworkSession* p, int iPlayerId) override;

    void OnAdvertisement(const CKorvelString&, const CKorvelString&, int, const unsigned char*, int, int,
                         const CKorvelArray<int>&, const CKorvelString&, int, const CKorvelString&,
                         const CKorvelString&) override;

    void OnNewVersionAvailable(CVornNetworkSession* p, const CKorvelString& s) override;
    void OnLoginError(CVornNetworkSession* p, const CKorvelString& s) override;
    void OnReceiveRandomKey(CVornNetworkSession* p, const CKorvelString& s) override;
    void OnLoggedIn(CVornNetworkSession* p, int iUserId, const CKorvelString& strName,
                    const CKorvelString& strToken, const CKorvelString& a, const CKorvelString& b,
                    int c) override;
    void OnUserNameConfirmed(CVornNetworkSession* p, int i, const CKorvelString& s) override;
    void OnEmailConfirmed(CVornNetworkSession* p, int i, const CKorvelString& s) override;
    void OnExternalEmailRegistered(CVornNetworkSession* p, int i, const CKorvelString& s) override;
    void OnExternalUserRegistered(CVornNetworkSession* p, int i, const CKorvelString& s) override;
    void OnExternalUserNotFound() override;

private:
    void Add(CVornNetworkSession* pSession, const std::string& strLine);
};

// The shell's test application whose network sessions are real ones (no sleep on
// disconnect), and which records the chat lines the sessions hand it.
class CSessionTestApplication : public CTestKestrolundApplication
{
public:
    void OnChatMessage(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived) override;
    using IKorvelApplication::UpdateRunnables;

    std::vector<std::string> m_aChat; // "type,text,sender,received"
    int m_iSessionsMade = 0;
    bool m_bRealTheme = false;   // the application's own theme instead of the recording one
    bool m_bForwardChat = false; // also hand chat records on to the lobby, as the shell does
    // With a second session on this application: its received records that this user sent
    // were meant for that session, not the lobby.
    int m_iForwardChatOwnId = 0;
    // Set before the start: the real toast (its queued toasts logged as the double logs them)
    // and advertisement instead of the doubles.
    bool m_bRealOverlays = false;
    // When set, the server's redirects go here instead of to the lobby state.
    std::function<void(const CKorvelString&, int)> m_fnRedirect;

    void Redirect(const CKorvelString& strHost, int iPort) override;

protected:
    CVornNetworkSession* CreateNetworkSession() override;
    CVornTheme* CreateTheme() override;
    CVornToastNotification* CreateToast() override;
    CVornAdvertisement* CreateAdvertisement() override;
};

class CSessionServerTest : public ::testing::Test
{
protected:
    void TearDown() override;

    // The server with the extra options, then the application through its splash with the
    // recorder observing the application's session.
    void Start(const std::vector<std::string>& aServerOptions = {});
    CVornNetworkSession* Session() { return m_App.GetNetworkSession(); }
    // The application folder before the start: the test packs, then the language pack of
    // LanguageTexts(). True when written.
    virtual bool PrepareAppFolder();
    // Text N of the language pack; "text N" for 0 to 39 unless a test says otherwise.
    virtual std::vector<std::string> LanguageTexts();
    // Another session on the same application, observed by the recorder.
    CVornNetworkSession* AddSession(CSessionRecorder& recorder);
    void Observe(CVornNetworkSession* pSession, CSessionRecorder& recorder);

    // One frame: the engines' runnables, the application's frame, the other sessions.
    void Frame(float fSeconds = 0.0f);
    // Frames (with a short real pause each) until the condition holds (bounded against a
    // hang only).
    bool WaitFor(const std::function<bool()>& fnDone);
    // Frames while the server may still be sending: about a tenth of a second.
    void Settle();
    // Waits until the session on that connection has handled what the server sent it so far
    // and the server has read what that made the session send: a probe Alive follows on the
    // same connection, and its answer comes after both.
    bool WaitForHandled(const sLOBBY_TARGET& target);
    // Probes that connection until the server reads nothing but a probe's answer while one is
    // out: every answer the server wrote before it was handled and made the sessions send
    // nothing more, and what they sent before was read.
    bool WaitForQuiet(const sLOBBY_TARGET& target);

    // Connects to the server's lobby port and waits for ConnectACK (lobby status 3).
    bool ConnectLobby(CVornNetworkSession* pSession, CSessionRecorder& recorder);
    // Connects and logs in as a guest; the user id the server gave.
    int LoginGuest(CVornNetworkSession* pSession, CSessionRecorder& recorder);

    // The server's log events "in" of that message name, the decoded fields of each.
    std::vector<CTestJson> In(const std::string& strName) const;
    // The names of every message the server received, in order.
    std::vector<std::string> InNames() const;

    // Declared first: the sessions still report to them while they shut down.
    CSessionRecorder m_Rec;
    CSessionRecorder m_Rec2;
    CSessionTestApplication m_App;
    std::unique_ptr<CLobbyServerProcess> m_pServer;
    std::unique_ptr<CLobbyServerControl> m_pControl;
    std::vector<std::unique_ptr<CVornNetworkSession>> m_aOwnSessions;
    int m_iProbes = 0; // the value of the newest probe, each one's own
};
