// Player messages of the catalogue: the player list (20) with its item and group
// records, blocking (76) and received challenges (39).
#pragma once

#include "Framework/asn1/ASN1.h"
#include "KorvelCommon/KorvelString.h"

// One row of a player list. The statistics block arrives as values 1-3, wins, losses,
// ties and two follower counts; memory keeps wins, ties, losses.
// Bits of a player-list item's flags, as the own player sees that player.
enum ePLAYER_LIST_FLAGS : int
{
    PLAYER_ONLINE = 0x1,
    PLAYER_BUSY = 0x2,      // in a match or the quick-play queue: a challenge is answered busy
    PLAYER_FOLLOWED = 0x10, // followed by the own player
    PLAYER_BLOCKED = 0x100  // blocked by the own player
};

struct sPLAYERLISTITEM
{
    int m_iPlayerId = 0;
    CKorvelString m_strName;
    CKorvelString m_strSecond;
    CKorvelString m_strThird;
    CKorvelString m_strLocation;
    int m_iFlags = 0; // ePLAYER_LIST_FLAGS
    CKorvelString m_strComment;
    int m_aValues[3] = {};
    int m_iWins = 0;
    int m_iTies = 0;
    int m_iLosses = 0;
    int m_iFollowers1 = 0;
    int m_iFollowers2 = 0;
    int m_iTournamentScore = 0; // not on the wire: set by a score answer for the chat list's rows
};

struct sPLAYER_GROUP
{
    CKorvelString m_strLabel;
    int m_iPlayerCount = 0;
};

class CPlayerListItemDecoder : public CASN1_Record
{
public:
    typedef sPLAYERLISTITEM RecordType;
    explicit CPlayerListItemDecoder(sPLAYERLISTITEM& item);
};

class CGroupListItemDecoder : public CASN1_Record
{
public:
    typedef sPLAYER_GROUP RecordType;
    explicit CGroupListItemDecoder(sPLAYER_GROUP& group);
};

// 20: count, index of the first item (negative for the header-only answer), list kind,
// the items and the groups.
class CASN1PlayerList : public CASN1_Message
{
public:
    CASN1PlayerList(int& iCount, int& iFirst, int& iKind, CKorvelArray<sPLAYERLISTITEM>& aItems,
                    CKorvelArray<sPLAYER_GROUP>& aGroups);
};

// 76: player id, 1 block or 0 unblock.
class CASN1BlockUser : public CASN1_Message
{
public:
    CASN1BlockUser(int& iPlayerId, int& iBlock);
};

// 39: a 64-bit value, challenger id, two texts, two integers.
class CASN1ChallengeReceived : public CASN1_Message
{
public:
    CASN1ChallengeReceived(long long& llValue, int& iChallengerId, CKorvelString& strText1,
                           CKorvelString& strText2, int& iValue1, int& iValue2);
};
