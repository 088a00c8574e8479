// The session's list of the players of the current match, bounded by the game's
// player counts. It owns its players.
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CVornPlayer;

class CVornLobby
{
public:
    CVornLobby();
    virtual ~CVornLobby();

    virtual KE_RETVAL Startup(int iMinPlayers, int iMaxPlayers);
    // Deletes every player.
    virtual void Shutdown();

    // Takes the player while the list is below its maximum; else the caller keeps it (0).
    unsigned int AddPlayer(CVornPlayer* pPlayer);
    int GetPlayerCount() const;
    // Null outside 0..count-1.
    CVornPlayer* GetPlayer(int iIndex) const;
    CVornPlayer* FindPlayerById(int iUserId) const;
    CVornPlayer* FindPlayerByName(const CKorvelString& strName) const;
    // Deletes every player.
    void Clear();
    int GetMinPlayers() const { return m_iMinPlayers; }
    int GetMaxPlayers() const { return m_iMaxPlayers; }

private:
    CVornLobby(const CVornLobby&) = delete;
    CVornLobby& operator=(const CVornLobby&) = delete;

    CKorvelPtrArray m_Players; // CVornPlayer*, owned
    int m_iMinPlayers;
    int m_iMaxPlayers;
};
