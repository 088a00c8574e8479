// Screens and a chat overlay for the root state's tests: each records what the root
// state asks of it in a shared call log ("play.LoadGame(0,4,0,0)") and leaves when the
// test says so. Header only.
#pragma once

#include <functional>
#include <string>

#include "game/MoxScreens.h"
#include "game/StateGame.h"
#include "support/TestCallLog.h"
#include "support/TestText.h"

// Any fake screen: asks to be followed by that screen (the user int first).
class IFakeScreen
{
public:
    virtual ~IFakeScreen() {}
    virtual void Leave(STATE_ID eNext, int iUserInt = 0) = 0;
};

template <class Base> class CFakeScreenOf : public Base, public IFakeScreen
{
public:
    CFakeScreenOf(STATE_ID eId, const char* pName, CTestCallLog& log)
        : m_eId(eId), m_strName(pName), m_Log(log)
    {
    }
    ~CFakeScreenOf() override { Log("~"); }

    int Startup(CStateGame* pGame) override
    {
        Base::Startup(pGame);
        this->m_iStateID = m_eId;
        Log("Startup");
        return 1;
    }
    void Shutdown() override { Log("Shutdown"); }
    void Reset() override
    {
        Log("Reset");
        Base::Reset();
    }
    int Update(float) override
    {
        ++m_iUpdates;
        if (m_fnOnUpdate)
            m_fnOnUpdate();
        return 1;
    }
    void Draw() override { ++m_iDraws; }
    void RestoreResources() override { Log("RestoreResources"); }
    void OnScreenChanged(int iWidth, int iHeight) override
    {
        Log("OnScreenChanged", std::to_string(iWidth) + "," + std::to_string(iHeight));
    }
    int OnChar(unsigned short uChar) override
    {
        Log("OnChar", std::to_string(uChar));
        return 0;
    }
    void OnBackButton() override { Log("OnBackButton"); }

    void Leave(STATE_ID eNext, int iUserInt = 0) override
    {
        this->SetUserInt(iUserInt);
        this->m_iNextStateID = eNext;
        this->Remove();
    }
    CMoxRenderer* Renderer() const { return this->m_pRenderer; }
    CMoxPhysics* Physics() const { return this->m_pPhysics; }

    int m_iUpdates = 0;
    int m_iDraws = 0;
    std::function<void()> m_fnOnUpdate;

protected:
    void Log(const char* pWhat, const std::string& strArgs = "") { m_Log.Add(m_strName, pWhat, strArgs); }

    STATE_ID m_eId;
    std::string m_strName;
    CTestCallLog& m_Log;
};

typedef CFakeScreenOf<CMoxState> CFakeScreen;

class CFakeMenu : public CFakeScreenOf<CMoxMenuStateBase>
{
public:
    explicit CFakeMenu(CTestCallLog& log) : CFakeScreenOf(STATE_MENU, "menu", log) {}
    unsigned int HasDrawn() override { return m_uDrawn; }
    unsigned int ControlsReady() override { return m_uControlsReady; }

    unsigned int m_uDrawn = 0;
    unsigned int m_uControlsReady = 0;
};

class CFakeIntro : public CFakeScreenOf<CMoxIntroStateBase>
{
public:
    explicit CFakeIntro(CTestCallLog& log) : CFakeScreenOf(STATE_INTRO, "intro", log) {}
    void Deactivate() override { Log("Deactivate"); }
    void Unload() override { Log("Unload"); }
};

class CFakePlay : public CFakeScreenOf<CMoxPlayStateBase>
{
public:
    explicit CFakePlay(CTestCallLog& log) : CFakeScreenOf(STATE_PLAY, "play", log) {}

    void SetSinglePlayerMode(unsigned int uSingle) override
    {
        Log("SetSinglePlayerMode", std::to_string(uSingle));
    }
    // The players as they stand when the match is loaded.
    void LoadGame(int iFirst, int iScene, int iStart0, int iStart1) override
    {
        m_iScene = iScene;
        Log("LoadGame", std::to_string(iFirst) + "," + std::to_string(iScene) + "," +
                            std::to_string(iStart0) + "," + std::to_string(iStart1) + " own=" +
                            std::to_string(m_iOwnPlayer) + " opponent=" + std::to_string(m_iOpponent));
    }
    void StartGame(int iStarting) override
    {
        Log("StartGame", std::to_string(iStarting) + " master=" + std::to_string(m_bMaster));
    }
    void SetPlayState(PLAYSTATE eState) override
    {
        Log("SetPlayState", std::to_string(int(eState)));
        if (m_fnOnPlayState)
            m_fnOnPlayState();
    }
    int GetCurrentSceneIndex() override { return m_iScene; }
    void CreateRanks(int iWinner) override { Log("CreateRanks", std::to_string(iWinner)); }
    void GameEnd(unsigned int uValue) override { Log("GameEnd", std::to_string(uValue)); }
    void Rematch(unsigned int uValue) override { Log("Rematch", std::to_string(uValue)); }
    void RandomizeStart() override { Log("RandomizeStart", "master=" + std::to_string(m_bMaster)); }
    void GameOver(int iType) override
    {
        m_bGameOver = 1;
        Log("GameOver", std::to_string(iType));
    }
    float GetTurnTimeFactor() override { return m_fTurnTimeFactor; }
    void GameSessionEnd() override { ++m_iSessionEnds; }
    void ReleaseVirtuaIItems() override { Log("ReleaseVirtuaIItems"); }
    void SetPlayerIdentity(int iSlot, int iUserId, const CKorvelString& strName) override
    {
        m_aiUserIds[iSlot & 1] = iUserId;
        Log("SetPlayerIdentity",
            std::to_string(iSlot) + "," + std::to_string(iUserId) + "," + Narrow(strName));
    }
    int GetPlayerUserId(int iSlot) override { return m_aiUserIds[iSlot & 1]; }
    unsigned int GetPlayerColour(int iSlot) override { return iSlot == 0 ? 0xFFFF5D37u : 0xFF3A92FFu; }
    void LoadSinglePlayerHelp() override { Log("LoadSinglePlayerHelp"); }

    int m_iScene = 0;
    int m_aiUserIds[2] = {-1, -1};
    float m_fTurnTimeFactor = 0.0f;
    int m_iSessionEnds = 0;
    std::function<void()> m_fnOnPlayState;
};

class CFakeChat : public IMoxChat
{
public:
    explicit CFakeChat(CTestCallLog& log) : m_Log(log) {}
    ~CFakeChat() override { m_Log.Add("chat", "~"); }
    int Startup(CStateGame* pGame) override
    {
        m_pGame = pGame;
        m_Log.Add("chat", "Startup");
        return 1;
    }
    void Handle() override { ++m_iHandles; }
    void Update(float) override { ++m_iUpdates; }
    void AddMessage(const CKorvelString& strText, const CKorvelString& strSender, unsigned int uColour,
                    const CKorvelVector2& vPosition, const CKorvelVector2& vTarget,
                    unsigned int uFlags) override
    {
        char acColour[16];
        snprintf(acColour, sizeof(acColour), "%08X", uColour);
        m_Log.Add("chat", "AddMessage",
                  Narrow(strText) + "," + Narrow(strSender) + "," + acColour + "," + Xy(vPosition) + "," +
                      Xy(vTarget) + "," + std::to_string(uFlags));
    }
    void Clear() override { m_Log.Add("chat", "Clear"); }

    static std::string Xy(const CKorvelVector2& v)
    {
        return std::to_string(int(v.x)) + "," + std::to_string(int(v.y));
    }

    CStateGame* m_pGame = nullptr;
    int m_iHandles = 0;
    int m_iUpdates = 0;

private:
    CTestCallLog& m_Log;
};

// Fills a game's screen table with the fakes; the newest of each kind is kept in the
// pointers (which dangle once the root state deleted the screen: check the log first).
struct sFakeScreens
{
    CTestCallLog log;
    CFakeMenu* pMenu = nullptr;
    CFakeIntro* pIntro = nullptr;
    CFakePlay* pPlay = nullptr;
    CFakeScreen* apOther[STATE_ID_COUNT] = {};
    CFakeChat* pChat = nullptr;

    void Install(CStateGame& game, bool bChat = true)
    {
        sMoxScreenTable& table = game.GetContext().m_ScreenTable;
        table.m_aCreators[STATE_MENU] = [this] { return pMenu = new CFakeMenu(log); };
        table.m_aCreators[STATE_INTRO] = [this] { return pIntro = new CFakeIntro(log); };
        table.m_aCreators[STATE_PLAY] = [this] { return pPlay = new CFakePlay(log); };
        const std::pair<STATE_ID, const char*> others[] = {
            {STATE_EDITOR, "editor"}, {STATE_CONNECTING, "connecting"}, {STATE_TRAINING, "training"}};
        for (const auto& other : others)
        {
            const STATE_ID eId = other.first;
            const char* pName = other.second;
            table.m_aCreators[eId] = [this, eId, pName]
            { return apOther[eId] = new CFakeScreen(eId, pName, log); };
        }
        if (bChat)
            table.m_ChatCreator = [this] { return pChat = new CFakeChat(log); };
    }
};
