// Records filled by the hand-built readers of CASN1 (queue, game start, past matches).
// Every integer starts at 0 and every text empty.
#pragma once

#include "Framework/asn1/ASN1.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"

// The statistics block of a queue or game-start player (kept, not shown).
struct sPLAYER_STATS
{
    int m_aValues[6] = {};
};

// One player of a queue update or a game start.
struct sPLAYER
{
    CKorvelString m_strName;
    CKorvelString m_strSecond;
    sDATE m_Date = {};
    int m_iUserId = 0;
    int m_iFlag = 0; // 1 when the player's fields end with tag 7
    int m_iValue = 0;
    CKorvelString m_strThird;
    sPLAYER_STATS m_Stats;
};

// One past match of the own player.
struct sGAME_SESSION
{
    int m_iValue0 = 0;
    int m_iResult = 0; // -1, 0 or 1
    int m_iPoints = 0;
    int m_iValue3 = 0;
    CKorvelString m_strOpponent;
    sDATE m_Date = {};
};

// What a GameStart carries. The player records (sPLAYER*) are not owned: whoever
// decodes them deletes them.
struct sGAME_START_INFO
{
    CKorvelPtrArray m_aPlayers;
    int m_iFlag1 = 0;
    int m_iFlag2 = 0;
    CKorvelString m_strServer; // "host:port"
    long long m_llSessionId = 0;
    int m_iValue = 0;
};
