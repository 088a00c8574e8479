// What the root state asks of the screens it treats specially (the match, the menu, the
// intro) and of the chat overlay, and the table of creators through which it makes them.
// The real screens derive from these bases and add their creator to MoxScreenTable.cpp.
#pragma once

#include <functional>

#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelString.h"
#include "game/MoxState.h"

enum PLAYSTATE : int
{
    PLAYSTATE_RESET = 0,
    PLAYSTATE_LOADED = 1,
    PLAYSTATE_GAME_OVER = 2,
    PLAYSTATE_ROUND_ENDED = 3,
    PLAYSTATE_BETWEEN_ROUNDS = 4,
    PLAYSTATE_STARTED = 5,
    PLAYSTATE_LEFT = 6,
    PLAYSTATE_OWN_TURN = 7,
    PLAYSTATE_OPPONENT_TURN = 8
};

class CMoxPlayStateBase : public CMoxState
{
public:
    int m_iOwnPlayer = 0;
    int m_iOpponent = 0;
    unsigned int m_bMaster = 0;
    unsigned int m_bOpponentLeft = 0;
    unsigned int m_bSimulating = 0; // the own action is simulated ahead
    unsigned int m_bGameOver = 0;
    // The game-end flags.
    unsigned int m_bResultsSent = 0;
    unsigned int m_bEndSettled = 0;
    unsigned int m_bGameOverSent = 0;
    unsigned int m_bEndScreen = 0;

    // The game-over flag or a game-end flag is set.
    bool HasMatchEnded() const
    {
        return m_bGameOver || m_bResultsSent || m_bEndSettled || m_bGameOverSent || m_bEndScreen;
    }

    virtual void SetSinglePlayerMode(unsigned int uSingle) = 0;
    virtual void LoadGame(int iFirstPlayer, int iScene, int iStart0, int iStart1) = 0;
    virtual void StartGame(int iStartingPlayer) = 0;
    virtual void SetPlayState(PLAYSTATE eState) = 0;
    virtual int GetCurrentSceneIndex() = 0;
    virtual void CreateRanks(int iWinner) = 0; // 666: a tie
    virtual void GameEnd(unsigned int uValue) = 0;
    virtual void Rematch(unsigned int uValue) = 0;
    virtual void RandomizeStart() = 0;
    virtual void GameOver(int iType) = 0;
    virtual float GetTurnTimeFactor() = 0;
    virtual void GameSessionEnd() = 0;
    virtual void ReleaseVirtuaIItems() = 0;
    // The user id and name of the scene's player in that slot (0 or 1).
    virtual void SetPlayerIdentity(int iSlot, int iUserId, const CKorvelString& strName) = 0;
    virtual int GetPlayerUserId(int iSlot) = 0;
    // 0xAARRGGBB.
    virtual unsigned int GetPlayerColour(int iSlot) = 0;
    // The training help texts in the game's current language.
    virtual void LoadSinglePlayerHelp() = 0;
};

class CMoxMenuStateBase : public CMoxState
{
public:
    virtual unsigned int HasDrawn() = 0;
    virtual unsigned int ControlsReady() = 0;
};

class CMoxIntroStateBase : public CMoxState
{
public:
    virtual void Deactivate() = 0;
    virtual void Unload() = 0;
};

// The chat overlay as the root state uses it.
class IMoxChat
{
public:
    virtual ~IMoxChat() {}
    virtual int Startup(CStateGame* pGame) = 0;
    virtual void Handle() = 0;
    virtual void Update(float fSeconds) = 0;
    virtual void AddMessage(const CKorvelString& strText, const CKorvelString& strSender,
                            unsigned int uColour, const CKorvelVector2& vPosition,
                            const CKorvelVector2& vTarget, unsigned int uFlags) = 0;
    virtual void Clear() = 0;
    // Drawn by the match screen over its picture.
    virtual void Render() {}
    // Where a line of the player in that slot goes on a screen of that size: beside its
    // portrait, player 0 on the left and player 1 on the right, pointing down at it.
    static void SpeakerPlace(int iSlot, float fWidth, float fHeight, CKorvelVector2& vPosition,
                             CKorvelVector2& vTarget)
    {
        const bool bRight = iSlot == 1;
        vPosition = CKorvelVector2((bRight ? 0.9f : 0.1f) * fWidth, 0.825f * fHeight);
        vTarget = CKorvelVector2(bRight ? fWidth : 0.0f, fHeight);
    }
};

// One creator per screen identifier (entry 0 unused) and one for the chat overlay; an
// empty creator makes nothing.
struct sMoxScreenTable
{
    std::function<CMoxState*()> m_aCreators[STATE_ID_COUNT];
    std::function<IMoxChat*()> m_ChatCreator;
};

// The game's creators (MoxScreenTable.cpp).
void MoxFillScreenTable(sMoxScreenTable& table);
