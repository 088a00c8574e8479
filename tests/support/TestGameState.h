// A game for the shell's tests: the game's identity (application id 64, version "1.62",
// name "Quorvalin", two players), every call recorded in a call log, and a frame drawn
// as one known colour.
#pragma once

#include <string>

#include "Framework/Shell/VornGameState.h"
#include "support/TestCallLog.h"

class CTestGameState : public IVornGameState
{
public:
    static const unsigned int DRAW_COLOUR = 0xFF2E8B57u;
    static const char* const SECRET; // 31 lowercase letters and digits

    // Calls go to the given log, or to the game's own when none is given.
    explicit CTestGameState(CTestCallLog* pLog = nullptr) : m_pLog(pLog ? pLog : &m_OwnLog) {}
    ~CTestGameState() override { Log("~"); }

    KE_RETVAL Startup(CVornApplication* pApplication) override;
    void Shutdown() override { Log("Shutdown"); }
    void Activate() override { Log("Activate"); }
    void Deactivate() override { Log("Deactivate"); }
    unsigned int Update(float fSeconds) override;
    void Draw() override;
    unsigned int OnFocusChange(unsigned int uFocus) override;
    KE_RETVAL OnRestoreResources() override;
    KE_RETVAL OnReleaseResources() override;
    unsigned int OnMouseButton(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseDrag(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseButtonUp(unsigned int uButton, int iX, int iY) override;
    unsigned int OnKeyDown(eKET_KEYCODE eKey) override;
    unsigned int OnScreenChanged(int iWidth, int iHeight) override;

    int GetAppId() const override { return 64; }
    CKorvelString GetResellerId() const override;
    // The interface's own answer, for tests of its default.
    CKorvelString InterfaceResellerId() const { return IVornGameState::GetResellerId(); }
    CKorvelString GetAppVersion() const override { return CKorvelString("1.62"); }
    CKorvelString GetAppName() const override { return CKorvelString("Quorvalin"); }
    int GetMinPlayerCount() const override { return 2; }
    int GetMaxPlayerCount() const override { return 2; }
    CKorvelString GetAppSecret() const override { return CKorvelString(SECRET); }
    void MenuActivated() override { Log("MenuActivated"); }
    void MenuDeactivated() override { Log("MenuDeactivated"); }
    void CancelledQuickPlay() override { Log("CancelledQuickPlay"); }
    void StartGame(unsigned int uStart) override { Log("StartGame", std::to_string(uStart)); }
    void GameSessionEnded() override { Log("GameSessionEnded"); }
    void OpponentLeft(int iPlayerId) override { Log("OpponentLeft", std::to_string(iPlayerId)); }
    float OwnTurnProgress() override { return m_fTurnProgress; }
    unsigned int UsesFullscreen() override { return m_uFullscreen; }
    void RecvGameMsg(const unsigned char*, unsigned int uSize) override
    {
        Log("RecvGameMsg", std::to_string(uSize));
    }
    void GameDisconnect(unsigned int uExpected) override { Log("GameDisconnect", std::to_string(uExpected)); }
    void InitialItemsReady() override { Log("InitialItemsReady"); }
    void ItemPurchaseConfirmed(int iItemId, int iAmount) override
    {
        Log("ItemPurchaseConfirmed", std::to_string(iItemId) + "," + std::to_string(iAmount));
    }
    void LobbyDisconnect(unsigned int uLoggingOut) override
    {
        Log("LobbyDisconnect", std::to_string(uLoggingOut));
    }

    CVornApplication* GetApplication() const { return m_pApplication; }
    using IVornGameState::m_pLanguage;
    CTestCallLog& GetLog() { return *m_pLog; }

    // The reseller id it answers; "" makes the application fall back.
    std::string m_strResellerId = "";
    unsigned int m_uUpdateResult = 0;
    KE_RETVAL m_iStartupResult = KE_OK;
    unsigned int m_uFullscreen = 0; // what UsesFullscreen answers
    float m_fTurnProgress = 0.0f;   // what OwnTurnProgress answers

private:
    void Log(const char* pWhat, const std::string& strArgs = "") { m_pLog->Add("game", pWhat, strArgs); }

    CTestCallLog m_OwnLog;
    CTestCallLog* m_pLog;
};
