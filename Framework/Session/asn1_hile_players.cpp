#include "Framework/Session/asn1_hile_players.h"

#include "Framework/Session/asn1_hile_ids.h"

CPlayerListItemDecoder::CPlayerListItemDecoder(sPLAYERLISTITEM& item)
{
    DefineField(new CASN1_IntField(item.m_iPlayerId));
    DefineField(new CASN1_StringField(item.m_strName));
    DefineField(new CASN1_StringField(item.m_strSecond));
    DefineField(new CASN1_StringField(item.m_strThird));
    DefineField(new CASN1_StringField(item.m_strLocation));
    DefineField(new CASN1_IntField(item.m_iFlags));
    DefineField(new CASN1_StringField(item.m_strComment));
    // The statistics in their wire order: the fifth is the losses, the sixth the ties.
    CASN1_Sequence* pStats = new CASN1_Sequence();
    pStats->DefineField(new CASN1_IntField(item.m_aValues[0]));
    pStats->DefineField(new CASN1_IntField(item.m_aValues[1]));
    pStats->DefineField(new CASN1_IntField(item.m_aValues[2]));
    pStats->DefineField(new CASN1_IntField(item.m_iWins));
    pStats->DefineField(new CASN1_IntField(item.m_iLosses));
    pStats->DefineField(new CASN1_IntField(item.m_iTies));
    pStats->DefineField(new CASN1_IntField(item.m_iFollowers1));
    pStats->DefineField(new CASN1_IntField(item.m_iFollowers2));
    DefineField(pStats, eTAG_CONSTRUCTED);
}

CGroupListItemDecoder::CGroupListItemDecoder(sPLAYER_GROUP& group)
{
    DefineField(new CASN1_StringField(group.m_strLabel));
    DefineField(new CASN1_IntField(group.m_iPlayerCount));
}

CASN1PlayerList::CASN1PlayerList(int& iCount, int& iFirst, int& iKind, CKorvelArray<sPLAYERLISTITEM>& aItems,
                                 CKorvelArray<sPLAYER_GROUP>& aGroups)
    : CASN1_Message(eMSG_PLAYER_LIST)
{
    DefineField(new CASN1_IntField(iCount));
    DefineField(new CASN1_IntField(iFirst));
    DefineField(new CASN1_IntField(iKind));
    DefineField(new CASN1_SequenceOf<CPlayerListItemDecoder>(aItems));
    DefineField(new CASN1_SequenceOf<CGroupListItemDecoder>(aGroups));
}

CASN1BlockUser::CASN1BlockUser(int& iPlayerId, int& iBlock) : CASN1_Message(eMSG_BLOCK_USER)
{
    DefineField(new CASN1_IntField(iPlayerId));
    DefineField(new CASN1_IntField(iBlock));
}

CASN1ChallengeReceived::CASN1ChallengeReceived(long long& llValue, int& iChallengerId,
                                               CKorvelString& strText1, CKorvelString& strText2, int& iValue1,
                                               int& iValue2)
    : CASN1_Message(eMSG_CHALLENGE_RECEIVED)
{
    DefineField(new CASN1_LongIntField(llValue));
    DefineField(new CASN1_IntField(iChallengerId));
    DefineField(new CASN1_StringField(strText1));
    DefineField(new CASN1_StringField(strText2));
    DefineField(new CASN1_IntField(iValue1));
    DefineField(new CASN1_IntField(iValue2));
}
