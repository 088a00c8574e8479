// One player of a networked match as a process of its own: the shell's application on the
// headless back end with its real session, a lobby double that logs in as a guest, presses
// play on the game's menu and answers the in-game item round, and a per-frame driver that
// plays a script and writes the match log as JSON lines.
//
//   match_peer --port LOBBY_PORT --script FILE --log FILE [--timeout SECONDS] [--scene edge|ledge]
//              [--play-after FILE]
//
// With --play-after it logs in at once but presses play only once FILE exists, so a test
// can start both players before either queues. Back on the menu before a GameStart (the
// connecting screen gave up waiting), it presses play again, as a player would.
//
// Every match scene is the one chosen: "edge", a metal floor with player 0 at -1.0 and
// player 1 at 1.9, near its right end; "ledge", one short block with both players on it.
// Both stand on their start points, so the world is at rest when the first turn starts.
//
// Script: one line per own turn, "wait" (let the turn clock run out) or
// "act ACTION AIM_X AIM_Y". Exit status 0 once the game ended the match (reported its
// results and declined a rematch once the opponent's last event or its leaving came in; or,
// its opponent gone, reported none), 2 on a time-out (the step is named on standard error),
// 1 on bad arguments or a failed start.
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "Framework/Session/VornNetworkSession.h"
#include "KorvelCommon/KorvelRunnable.h"
#include "PlatformControl.h"
#include "game/MoxEvent.h"
#include "game/MoxMenuState.h"
#include "game/MoxPlayState.h"
#include "game/MoxScene.h"
#include "game/MoxTables.h"
#include "game/StateGame.h"
#include "support/MatchHarness.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestSceneFile.h"
#include "support/TestText.h"
#include "tests/game/GameTestPacks.h"

namespace
{
const int kWidth = 480;
const int kHeight = 320;
// A frame at most every 16 ms, a display's rate as the X11 back end presents: the headless
// back end would draw as fast as it can, two cores a peer for frames nobody sees.
const unsigned int kFrameMs = 16;

// The lobby's part of the match road, beside hosting the game as the double does.
class CPeerLobby : public CTestMenuState
{
public:
    CPeerLobby(CTestCallLog& log, const sScript& script) : CTestMenuState(log, script) {}

    void OnShopItemGroups(int iFlags, const CKorvelArray<CASN1ShopItemGroups::sGroupData>& a) override
    {
        CTestMenuState::OnShopItemGroups(iFlags, a);
        if (iFlags == 0x401 && m_pSession)
            m_pSession->SendGetShopItems(0x401, 100, 0);
    }
    void OnShopItems(int iFlags, int iStart, const CKorvelArray<CASN1ShopItems::sItemData>& a) override
    {
        CTestMenuState::OnShopItems(iFlags, iStart, a);
        // The server sends the whole list in one answer: its end is the total.
        if (iFlags == 0x401 && m_pSession)
            m_pSession->SendGameReady();
    }
    void OnGameStart() override
    {
        CTestMenuState::OnGameStart();
        m_uInMatch = 1;
        ++m_iGameStarts;
    }
    void OnGameEnd() override
    {
        CTestMenuState::OnGameEnd();
        m_uInMatch = 0;
    }

    CVornNetworkSession* m_pSession = nullptr;
    int m_iGameStarts = 0;
};

// The login's answers: the driver reads the session's status instead.
class CLoginAnswers : public CVornNetworkSession::LoginObserver
{
public:
    void OnNewVersionAvailable(CVornNetworkSession*, const CKorvelString&) override {}
    void OnLoginError(CVornNetworkSession*, const CKorvelString& s) override
    {
        std::fprintf(stderr, "match_peer: login error %s\n", Narrow(s).c_str());
    }
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

class CPeerApplication : public CTestKestrolundApplication
{
public:
    CPeerApplication() : CTestKestrolundApplication(kWidth, kHeight) {}
    CPeerLobby* m_pPeerLobby = nullptr;
    bool m_bOpponentGone = false;
    using CKestrolundApplication::m_uResultsSent;

    void OnPlayerDisconnected(CVornNetworkSession* pSession, int iPlayerId) override
    {
        m_bOpponentGone = true;
        CKestrolundApplication::OnPlayerDisconnected(pSession, iPlayerId);
    }

protected:
    CVornTheme* CreateTheme() override { return CreateShellTheme(); }
    CVornNetworkSession* CreateNetworkSession() override { return CreateShellNetworkSession(); }
    CVornToastNotification* CreateToast() override { return CreateShellToast(); }
    CVornAdvertisement* CreateAdvertisement() override { return CreateShellAdvertisement(); }
    CVornMenuState* CreateLobbyState() override
    {
        m_pPeerLobby = new CPeerLobby(m_Log, m_MenuScript);
        m_pTestLobby = m_pPeerLobby;
        return m_pPeerLobby;
    }
};

// The scene every match round is played on, by name; false for an unknown name.
bool MatchScene(const std::string& strName, sTestScene& scene)
{
    if (strName == "edge")
    {
        scene = TestSceneWithPlayers({-40, 4}, {76, 4});
        for (int k = 0; k < 7; ++k)
            scene.blocks.push_back({-72 + 24 * k, 0, 10, 0, 0, 0});
        return true;
    }
    if (strName == "ledge")
    {
        scene = TestSceneWithPlayers({-8, 4}, {8, 4});
        scene.blocks.push_back({0, 0, 10, 0, 0, 0});
        return true;
    }
    return false;
}

bool ReadScript(const std::string& strPath, std::vector<sMatchTurn>& aScript)
{
    std::ifstream in(strPath);
    if (!in)
        return false;
    std::string strLine;
    while (std::getline(in, strLine))
    {
        std::istringstream line(strLine);
        std::string strWord;
        if (!(line >> strWord) || strWord[0] == '#')
            continue;
        sMatchTurn turn;
        if (strWord == "act")
        {
            turn.bWait = false;
            if (!(line >> turn.iAction >> turn.fAimX >> turn.fAimY))
                return false;
        }
        else if (strWord != "wait")
            return false;
        aScript.push_back(turn);
    }
    return true;
}

std::string JsonLine(const sMatchLogRecord& r)
{
    std::ostringstream s;
    s << std::setprecision(9) << "{\"end\": " << (r.bEnd ? "true" : "false")
      << ", \"turn_player\": " << r.iTurnPlayer << ", \"rounds\": " << r.iRounds
      << ", \"result\": " << r.iResult << ", \"digest\": \"" << std::hex << r.uDigest << std::dec
      << "\", \"position\": [[" << r.aPosition[0][0] << ", " << r.aPosition[0][1] << "], ["
      << r.aPosition[1][0] << ", " << r.aPosition[1][1] << "]]}";
    return s.str();
}

// The match road step by step, once a frame; the script's turns and the log once playing.
class CPeerDriver : public IKorvelRunnable
{
public:
    enum eStep
    {
        HOSTING,
        LOGGED_IN,
        MENU,
        GAME_START,
        MATCH_END,
        FLUSH,
        DONE
    };

    CPeerDriver(CPeerApplication& app, unsigned short uPort, std::vector<sMatchTurn> aScript,
                const std::string& strLog, double fTimeout)
        : m_App(app), m_uPort(uPort), m_aScript(std::move(aScript)), m_Log(strLog), m_fTimeout(fTimeout)
    {
        Enter(HOSTING);
    }

    void Update(float) override
    {
        if (TimedOut())
            return;
        switch (m_eStep)
        {
        case HOSTING:
            Host();
            break;
        case LOGGED_IN:
            Login();
            break;
        case MENU:
            PressPlay();
            break;
        case GAME_START:
            if (BackOnMenu())
            {
                Enter(MENU);
                break;
            }
            Play();
            break;
        case MATCH_END:
            Play();
            break;
        case FLUSH:
            // A few frames let the last messages leave before the process ends.
            if (++m_iFlushFrames > 30)
            {
                Enter(DONE);
                m_App.m_uRunning = 0;
            }
            break;
        case DONE:
            break;
        }
    }

    int m_iExit = 2;
    std::string m_strPlayAfter;

private:
    static const char* Name(eStep e)
    {
        static const char* apNames[] = {"the lobby double hosting the game",
                                        "the guest login",
                                        "the menu's buttons",
                                        "GameStart on the game connection",
                                        "the end of the match",
                                        "the last frames",
                                        "nothing"};
        return apNames[e];
    }
    void Enter(eStep e)
    {
        m_eStep = e;
        m_Since = std::chrono::steady_clock::now();
    }
    bool TimedOut()
    {
        if (m_eStep == DONE)
            return false;
        const double f = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_Since).count();
        if (f < m_fTimeout)
            return false;
        std::fprintf(stderr, "match_peer: no %s within %.0f s\n", Name(m_eStep), m_fTimeout);
        m_iExit = 2;
        m_eStep = DONE;
        m_App.m_uRunning = 0;
        return true;
    }
    CVornNetworkSession* Session() { return m_App.GetNetworkSession(); }
    CStateGame* Game()
    {
        return m_App.m_pPeerLobby ? dynamic_cast<CStateGame*>(m_App.m_pPeerLobby->m_pGame) : nullptr;
    }
    CMoxPlayState* PlayState()
    {
        return Game() ? dynamic_cast<CMoxPlayState*>(Game()->GetState(STATE_PLAY)) : nullptr;
    }

    void Host()
    {
        if (!Game() || m_App.GetStateCount() != 1 || m_App.GetState(0) != m_App.GetLobbyState() || !Session())
            return;
        m_App.m_pPeerLobby->m_pSession = Session();
        if (!Session()->Connect(CKorvelString("127.0.0.1"), m_uPort, &m_LoginAnswers))
        {
            std::fprintf(stderr, "match_peer: cannot connect to lobby port %u\n", m_uPort);
            m_App.m_uRunning = 0;
            m_eStep = DONE;
            return;
        }
        Enter(LOGGED_IN);
    }

    // The guest login once the server acknowledged the connection (lobby status 3).
    void Login()
    {
        const unsigned int uStatus = Session()->GetStatus() & 0xFF;
        if (uStatus == 3 && !m_bLoginSent)
            m_bLoginSent = Session()->Login(CKorvelString("guest"), CKorvelString("0"), &m_LoginAnswers) != 0;
        if (uStatus == 5)
        {
            m_App.m_pPeerLobby->m_Script.uLoggedIn = 1;
            Enter(MENU);
        }
    }

    bool BackOnMenu()
    {
        return m_App.m_pPeerLobby->m_iGameStarts == 0 && Game() && Game()->GetStateCount() == 1 &&
               Game()->GetStateAt(0)->GetStateID() == STATE_MENU;
    }

    // A press and a release at the screen centre, again every second until the
    // connecting screen shows.
    void PressPlay()
    {
        if (!m_strPlayAfter.empty() && !std::ifstream(m_strPlayAfter))
        {
            m_Since = std::chrono::steady_clock::now(); // the test's wait, not the peer's
            return;
        }
        CMoxMenuState* pMenu = Game() ? dynamic_cast<CMoxMenuState*>(Game()->GetMenuState()) : nullptr;
        if (Game() && Game()->GetStateCount() == 1 && Game()->GetStateAt(0)->GetStateID() == STATE_CONNECTING)
        {
            Enter(GAME_START);
            return;
        }
        if (!pMenu || !pMenu->ControlsReady() || Game()->GetStateCount() != 1)
            return;
        const int iPhase = m_iPress++ % 30;
        if (iPhase == 0)
            plat::InjectPointer(1, kWidth / 2, kHeight / 2);
        else if (iPhase == 1)
            plat::InjectPointer(0, kWidth / 2, kHeight / 2);
    }

    void Play()
    {
        if (m_eStep == GAME_START && m_App.m_pPeerLobby->m_iGameStarts > 0)
            Enter(MATCH_END);
        CMoxPlayState* pPlay = PlayState();
        if (!pPlay)
            return;
        Drive(pPlay);
        Observe(pPlay);
        // Ended as the harness counts it: the game over shown and the results reported,
        // none when the opponent left or the game connection went.
        const bool bReports = !(pPlay->m_bOpponentLeft || Game()->m_bGameDisconnected);
        if (m_bEnded && bReports && m_App.m_uResultsSent)
        {
            // Declining the rematch closes the game connection, and the opponent would take
            // that for leaving. So first the opponent's answer to this side's game over must
            // come in (an event newer than those at the end), or the opponent must be gone.
            if (NewestReceived(pPlay) == m_iEndMark && !m_App.m_bOpponentGone)
                return;
            m_App.Rematch(0, 0);
            m_iExit = 0;
            Enter(FLUSH);
        }
        else if (m_bEnded && !bReports)
        {
            m_iExit = 0;
            Enter(FLUSH);
        }
    }

    void Drive(CMoxPlayState* pPlay)
    {
        if (!pPlay->m_pLiveScene || pPlay->m_ePlayState != PLAYSTATE_OWN_TURN || !pPlay->m_bStarted ||
            pPlay->m_bActionTaken || m_iTurn <= 0 || m_bActed)
            return;
        const size_t uTurn = size_t(m_iTurn - 1);
        if (uTurn >= m_aScript.size() || m_aScript[uTurn].bWait)
            return;
        const sMatchTurn& turn = m_aScript[uTurn];
        CPlayer& own = pPlay->m_pLiveScene->m_Players[pPlay->m_iOwnPlayer];
        own.m_iSelectedAction = turn.iAction;
        own.m_vAim.Set(turn.fAimX, turn.fAimY);
        own.m_vStretch.Set(turn.fAimX, turn.fAimY);
        m_bActed = true;
        pPlay->CreateAction();
    }

    void Observe(CMoxPlayState* pPlay)
    {
        if (m_bEnded)
            return;
        const PLAYSTATE eState = pPlay->m_ePlayState;
        if (eState == PLAYSTATE_GAME_OVER || eState == PLAYSTATE_LEFT)
        {
            Write(CMatchHarness::RecordOf(pPlay, true));
            m_bEnded = true;
            // Taken before this frame's messages are read: an answer to the game over that
            // ended the match in the last frame cannot be among them yet.
            m_iEndMark = NewestReceived(pPlay);
            return;
        }
        if (eState != PLAYSTATE_OWN_TURN && eState != PLAYSTATE_OPPONENT_TURN)
            return;
        const int iKey = pPlay->m_iTurnPlayer + 2 * pPlay->m_iRoundsPlayed;
        if (iKey == m_iLastTurnKey)
            return;
        m_iLastTurnKey = iKey;
        Write(CMatchHarness::RecordOf(pPlay, false));
        if (eState == PLAYSTATE_OWN_TURN)
        {
            ++m_iTurn;
            m_bActed = false;
        }
    }

    // The identifier of the newest event taken from the opponent, INT_MIN before any.
    static int NewestReceived(CMoxPlayState* pPlay)
    {
        const int iCount = pPlay->m_aReceivedIds.GetCount();
        return iCount > 0 ? pPlay->m_aReceivedIds[iCount - 1] : INT_MIN;
    }

    void Write(const sMatchLogRecord& r)
    {
        m_Log << JsonLine(r) << std::endl; // flushed: the test reads it while the peer runs
    }

    CPeerApplication& m_App;
    CLoginAnswers m_LoginAnswers;
    unsigned short m_uPort;
    std::vector<sMatchTurn> m_aScript;
    std::ofstream m_Log;
    double m_fTimeout;
    eStep m_eStep = HOSTING;
    std::chrono::steady_clock::time_point m_Since;
    bool m_bLoginSent = false;
    int m_iFlushFrames = 0;
    int m_iPress = 0;
    int m_iTurn = 0;
    int m_iLastTurnKey = -1;
    bool m_bActed = false;
    bool m_bEnded = false;
    int m_iEndMark = INT_MIN;
};
} // namespace

int main(int argc, char** argv)
{
    unsigned short uPort = 0;
    std::string strScript, strLog, strScene = "edge", strPlayAfter;
    double fTimeout = 60.0;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string strKey = argv[i], strValue = argv[i + 1];
        if (strKey == "--port")
            uPort = static_cast<unsigned short>(std::atoi(strValue.c_str()));
        else if (strKey == "--script")
            strScript = strValue;
        else if (strKey == "--log")
            strLog = strValue;
        else if (strKey == "--timeout")
            fTimeout = std::atof(strValue.c_str());
        else if (strKey == "--scene")
            strScene = strValue;
        else if (strKey == "--play-after")
            strPlayAfter = strValue;
    }
    std::vector<sMatchTurn> aScript;
    sTestScene scene;
    if (uPort == 0 || strLog.empty() || !ReadScript(strScript, aScript) || !MatchScene(strScene, scene))
    {
        std::fprintf(stderr, "usage: match_peer --port LOBBY_PORT --script FILE --log FILE [--timeout S] "
                             "[--scene edge|ledge] [--play-after FILE]\n");
        return 1;
    }
    setenv("KORVEL_DISPLAY_SIZE", "480x320", 1);
    plat::SelectBackend(plat::eBackend::Headless);
    int iExit = 1;
    {
        CPeerApplication app;
        const std::string strApp = app.Dir() + "/app/native";
        std::vector<std::pair<std::string, sTestScene>> aScenes;
        for (const sResourceEntry& entry : res_flomp_scenes)
            aScenes.push_back({Narrow(entry.name), scene});
        if (!app.WritePacks(false) || !WriteGameTestPacks(strApp) || !WriteTestScenePack(strApp, aScenes))
        {
            std::fprintf(stderr, "match_peer: cannot write the packs\n");
            return 1;
        }
        if (app.Startup(nullptr, kWidth, kHeight, new CStateGame) != KE_OK)
        {
            std::fprintf(stderr, "match_peer: the application did not start\n");
            return 1;
        }
        app.SetUpdateMode(KE_UPDATE_FIXED, kFrameMs);
        CPeerDriver driver(app, uPort, std::move(aScript), strLog, fTimeout);
        driver.m_strPlayAfter = strPlayAfter;
        app.AddRunnable(&driver);
        app.Run();
        app.RemoveRunnable(&driver);
        iExit = driver.m_iExit;
    }
    return iExit;
}
