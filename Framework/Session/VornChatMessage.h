// A chat line as the session hands it to the application, the lobby and the game. The game
// sees chat through this record alone, not through the session.
#pragma once

#include "KorvelCommon/KorvelString.h"

// Its type, its text and the sender's player id.
struct sCHATMSG
{
    // The type of a player's own words (the session's CHAT_LINE), the one the game shows.
    static constexpr int TYPE_LINE = 2;

    int m_iType = 0;
    CKorvelString m_strText;
    int m_iSender = 0;
};
