// The players of the current match, in seat order, bounded by the game's player counts.
#include "Framework/Session/VornLobby.h"

#include "Framework/Session/VornPlayer.h"

CVornLobby::CVornLobby() : m_iMinPlayers(0), m_iMaxPlayers(0) {}

CVornLobby::~CVornLobby()
{
    Clear();
}

KE_RETVAL CVornLobby::Startup(int iMinPlayers, int iMaxPlayers)
{
    m_iMinPlayers = iMinPlayers;
    m_iMaxPlayers = iMaxPlayers;
    return KE_OK;
}

void CVornLobby::Shutdown()
{
    Clear();
}

unsigned int CVornLobby::AddPlayer(CVornPlayer* pPlayer)
{
    if (!pPlayer || m_Players.GetCount() >= m_iMaxPlayers)
        return 0;
    return m_Players.Add(pPlayer) > 0 ? 1 : 0;
}

int CVornLobby::GetPlayerCount() const
{
    return m_Players.GetCount();
}

CVornPlayer* CVornLobby::GetPlayer(int iIndex) const
{
    if (iIndex < 0 || iIndex >= m_Players.GetCount())
        return nullptr;
    return static_cast<CVornPlayer*>(m_Players[iIndex]);
}

CVornPlayer* CVornLobby::FindPlayerById(int iUserId) const
{
    for (int i = 0; i < m_Players.GetCount(); ++i)
        if (GetPlayer(i)->m_iUserId == iUserId)
            return GetPlayer(i);
    return nullptr;
}

CVornPlayer* CVornLobby::FindPlayerByName(const CKorvelString& strName) const
{
    for (int i = 0; i < m_Players.GetCount(); ++i)
        if (GetPlayer(i)->m_strName.Compare(strName) == 0)
            return GetPlayer(i);
    return nullptr;
}

void CVornLobby::Clear()
{
    for (int i = 0; i < m_Players.GetCount(); ++i)
        delete GetPlayer(i);
    m_Players.Clear();
}
