// The state a game implements: the framework's only view of the game and the game's
// door into the framework. The lobby state holds it, starts it and hands it the
// application once (_SetApp); the game inherits the bodies that reach the session.
#pragma once

#include "Framework/Session/VornChatMessage.h"
#include "Framework/Session/VornPlayer.h"
#include "Framework/Shell/VornState.h"
#include "KorvelCommon/KorvelArray.h"

class CVornLanguage;

class IVornGameState : public IVornState
{
public:
    IVornGameState() : m_pLanguage(nullptr), m_pApplication(nullptr) {}

    // The game language's SetCurrentLanguage; 3 when the game has no language.
    KE_RETVAL OnLanguageChanged(const CKorvelString& strCode) override;

    virtual int GetAppId() const = 0;
    // "bb" unless the game says otherwise.
    virtual CKorvelString GetResellerId() const;
    virtual CKorvelString GetAppVersion() const = 0;
    virtual CKorvelString GetAppName() const = 0;
    virtual int GetMinPlayerCount() const = 0;
    virtual int GetMaxPlayerCount() const = 0;
    virtual CKorvelString GetAppSecret() const = 0;
    virtual void MenuActivated() = 0;
    virtual void MenuDeactivated() = 0;
    // Leaves a post-match chat and joins the quick-play queue when connected.
    virtual void QuickPlay();
    // The application's QuickExit.
    virtual void QuickExit();
    // Leaves the quick-play queue.
    virtual void CancelQuickPlay();
    // Tells the player that the wait in the quick-play queue found nobody.
    virtual void QuickPlayFoundNobody();
    virtual void CancelledQuickPlay() = 0;
    virtual void StartGame(unsigned int uStart) = 0;
    virtual void GameSessionEnded() = 0;
    virtual void OpponentLeft(int iPlayerId) = 0;
    // Above 0 while the own turn's clock runs: the fraction of the turn.
    virtual float OwnTurnProgress() = 0;
    // 1 while a match is played and not yet decided: leaving it would forfeit it.
    virtual unsigned int MatchRunning() { return 0; }
    virtual unsigned int UsesFullscreen() { return 0; }
    virtual void SendGameMsg(const unsigned char* pData, unsigned int uSize, unsigned int uArg3,
                             unsigned int uArg4);
    virtual void RecvGameMsg(const unsigned char* pData, unsigned int uSize) = 0;
    virtual void SendResults(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                             unsigned int uLeaving);
    virtual void GameDisconnect(unsigned int uExpected) = 0;
    virtual void LobbyDisconnect(unsigned int uLoggingOut) = 0;
    virtual CKorvelString GetHttpQuery();
    // The own user id; -1 without a session.
    virtual int GetPlayerId();
    // The session lobby's players; 0 and null without a session, null outside the list.
    virtual int GetPlayerCount();
    virtual CVornPlayer* GetPlayer(int iIndex);
    // Marks the achievement of the application's station earned and writes the station:
    // 1, or 0 without a station or without that achievement.
    virtual unsigned int Achieve(int iId);
    virtual unsigned int GetAchieved(int iId);
    // Non-zero when the game showed the line.
    virtual unsigned int OnChatMessage(sCHATMSG*, unsigned int) { return 0; }
    virtual void InitialItemsReady() {}
    virtual unsigned int OnThemeChanged() { return 1; }
    virtual void ItemPurchaseConfirmed(int, int) {}

    // The game's own language (packs whose target is "game"), or null.
    CVornLanguage* GetGameLanguage() const { return m_pLanguage; }

    // Keeps the first application it is given.
    void _SetApp(CVornApplication* pApplication)
    {
        if (!m_pApplication)
            m_pApplication = pApplication;
    }

protected:
    CVornLanguage* m_pLanguage;       // the game's own, or null
    CVornApplication* m_pApplication; // not owned
};
