#include "Framework/Lobby/VornChallengeState.h"

namespace
{

int IndexOf(const CKorvelArray<int>& aIds, int iId)
{
    for (int i = 0; i < aIds.GetCount(); ++i)
        if (aIds[i] == iId)
            return i;
    return -1;
}

} // namespace

int CVornChallengeState::GetOwnPartner() const
{
    if (m_eOwn == OWN_ACCEPTED)
        return m_iAccepted;
    return m_eOwn == OWN_WAITING && m_aAsked.GetCount() > 0 ? m_aAsked[0] : 0;
}

bool CVornChallengeState::Asks(int iPlayer) const
{
    return m_eOwn == OWN_WAITING && IndexOf(m_aAsked, iPlayer) >= 0;
}

bool CVornChallengeState::Receive(int iChallenger, bool bShownStillShows)
{
    if (m_eOwn != OWN_NONE)
        return false;
    // One shown that nothing shows any more (its toast gone unpressed) has lapsed.
    if (m_eReceived == RECEIVED_SHOWN && m_iChallenger != iChallenger && bShownStillShows)
        return false;
    m_eReceived = RECEIVED_SHOWN;
    m_iChallenger = iChallenger;
    return true;
}

int CVornChallengeState::ShownAmong(const CKorvelArray<int>& aIds) const
{
    return m_eReceived == RECEIVED_SHOWN && IndexOf(aIds, m_iChallenger) >= 0 ? m_iChallenger : 0;
}

void CVornChallengeState::Send(const CKorvelArray<int>& aIds)
{
    m_eOwn = OWN_WAITING;
    m_aAsked = aIds;
    m_fWaitLeft = WAIT_SECONDS;
}

int CVornChallengeState::Accept()
{
    const int iChallenger = Refuse();
    if (iChallenger)
    {
        m_eOwn = OWN_ACCEPTED;
        m_iAccepted = iChallenger;
    }
    return iChallenger;
}

int CVornChallengeState::Refuse()
{
    const int iChallenger = GetChallenger();
    m_eReceived = RECEIVED_NONE;
    m_iChallenger = 0;
    return iChallenger;
}

bool CVornChallengeState::Withdraw()
{
    if (m_eOwn != OWN_WAITING)
        return false;
    m_eOwn = OWN_NONE;
    m_aAsked.RemoveAll();
    return true;
}

bool CVornChallengeState::Tick(float fSeconds)
{
    if (m_eOwn != OWN_WAITING)
        return false;
    m_fWaitLeft -= fSeconds;
    return m_fWaitLeft <= 0.0f && Withdraw();
}

bool CVornChallengeState::Refused(int iResponder)
{
    const int i = m_eOwn == OWN_WAITING ? IndexOf(m_aAsked, iResponder) : -1;
    if (i < 0)
        return false;
    m_aAsked[i] = m_aAsked[m_aAsked.GetCount() - 1];
    m_aAsked.SetSize(m_aAsked.GetCount() - 1);
    if (m_aAsked.GetCount() > 0)
        return false;
    m_eOwn = OWN_NONE;
    return true;
}

CVornChallengeState::eWITHDRAWN CVornChallengeState::Withdrawn(int iChallenger)
{
    if (iChallenger <= 0)
        return WITHDRAWN_NOTHING;
    if (m_eOwn == OWN_ACCEPTED && m_iAccepted == iChallenger)
    {
        m_eOwn = OWN_NONE;
        m_iAccepted = 0;
        return WITHDRAWN_ACCEPTED;
    }
    if (GetChallenger() == iChallenger)
    {
        Refuse();
        return WITHDRAWN_SHOWN;
    }
    return WITHDRAWN_NOTHING;
}

void CVornChallengeState::End()
{
    m_eOwn = OWN_NONE;
    m_aAsked.RemoveAll();
    m_iAccepted = 0;
    Refuse();
}
