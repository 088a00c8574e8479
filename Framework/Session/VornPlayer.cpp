// A player of the current match and its copy from the wire record.
#include "Framework/Session/VornPlayer.h"

#include "Framework/Session/asn1_hile_handbuilt.h"

CVornPlayer::CVornPlayer()
    : m_iUserId(0), m_iReserved1(0), m_iValueB(0), m_iValueA(0), m_iSeat(0), m_iReserved2(0)
{
}

CVornPlayer::~CVornPlayer() {}

void CVornPlayer::UpdateFields(const sPLAYER& player)
{
    m_iUserId = player.m_iUserId;
    m_strName.Set(player.m_strName);
    m_strSecond.Set(player.m_strSecond);
    m_strThird.Set(player.m_strThird);
    m_iValueA = player.m_iFlag;
    m_iValueB = player.m_iValue;
}
