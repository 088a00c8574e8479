// The lobby's challenges in one place: the player's own challenge with its waiting time, and
// the challenge received from another player. The lobby hands every event to it (an answer, a
// withdrawal, the time, Close, a match start, the end of the lobby connection) and does what
// the move returns; it holds no widget and sends nothing itself, so a layout reload leaves it
// as it was.
#pragma once

#include "KorvelCommon/KorvelArray.h"

class CVornChallengeState
{
public:
    // The own side: no challenge; one sent and waiting for its answer; a received one
    // accepted and waiting for its match.
    enum eOWN
    {
        OWN_NONE,
        OWN_WAITING,
        OWN_ACCEPTED
    };
    // The received side: none, or one before the player (its toast, panel and page).
    enum eRECEIVED
    {
        RECEIVED_NONE,
        RECEIVED_SHOWN
    };
    // What the server's withdrawal of a challenge to the player ended.
    enum eWITHDRAWN
    {
        WITHDRAWN_NOTHING,
        WITHDRAWN_SHOWN,   // the challenge shown: its toast and page close
        WITHDRAWN_ACCEPTED // the one accepted: no match comes, what waited for it closes
    };
    // Seconds the own challenge waits for its answer before it is withdrawn.
    static constexpr float WAIT_SECONDS = 20.0f;

    eOWN GetOwn() const { return m_eOwn; }
    // The first player the own challenge asks, or the one whose challenge was accepted; 0
    // without either.
    int GetOwnPartner() const;
    eRECEIVED GetReceived() const { return m_eReceived; }
    // The challenger of the challenge shown; 0 without one.
    int GetChallenger() const { return m_eReceived == RECEIVED_SHOWN ? m_iChallenger : 0; }
    float GetWaitLeft() const { return m_eOwn == OWN_WAITING ? m_fWaitLeft : 0.0f; }
    // Whether the own challenge still waits for that player's answer.
    bool Asks(int iPlayer) const;

    // A challenge came: true when it is to be shown, false when it is refused at once (the
    // player waits for his own or for an accepted match, or another shown one still shows).
    bool Receive(int iChallenger, bool bShownStillShows);
    // The challenger among the ids whose challenge is shown (a challenge back), or 0.
    int ShownAmong(const CKorvelArray<int>& aIds) const;
    // The own challenge to those players went out.
    void Send(const CKorvelArray<int>& aIds);
    // The shown challenge accepted or refused: its challenger, or 0 when none is shown.
    int Accept();
    int Refuse();
    // The player ends his own challenge (Close, the back key): whether its withdrawal is due.
    bool Withdraw();
    // The waiting time runs: true in the frame it is up, when the withdrawal is due.
    bool Tick(float fSeconds);
    // A refusal (no, busy, offline) from a player the own challenge asks: true when it ends
    // the wait, every player asked having answered.
    bool Refused(int iResponder);
    // The server withdrew the challenge of that challenger to the player.
    eWITHDRAWN Withdrawn(int iChallenger);
    // A match starts or the lobby connection ends: neither side is left.
    void End();

private:
    eOWN m_eOwn = OWN_NONE;
    eRECEIVED m_eReceived = RECEIVED_NONE;
    CKorvelArray<int> m_aAsked; // waiting: the players asked who have not answered
    int m_iAccepted = 0;        // accepted: that challenge's challenger
    int m_iChallenger = 0;
    float m_fWaitLeft = 0.0f;
};
