// A player of the session's lobby list: the current match's players.
#pragma once

#include "KorvelCommon/KorvelString.h"

struct sPLAYER;

class CVornPlayer
{
public:
    CVornPlayer();
    virtual ~CVornPlayer();

    // Copies the wire record's id, texts and two values; the seat stays the caller's.
    void UpdateFields(const sPLAYER& player);

    int m_iUserId;
    CKorvelString m_strName;
    CKorvelString m_strSecond;
    int m_iReserved1;
    int m_iValueB;
    CKorvelString m_strThird;
    int m_iValueA;
    int m_iSeat; // place in the start or queue list
    int m_iReserved2;
};
