// The framework's bodies of the game-state interface. Those that reach the session,
// the lobby or the achievements answer as if there were none until they are built.
#include "Framework/VornGameState.h"

#include "Framework/VornApplication.h"
#include "Framework/VornLanguage.h"

KE_RETVAL IVornGameState::OnLanguageChanged(const CKorvelString& strCode)
{
    if (!m_pLanguage)
        return KE_ERR_NOTSTARTED;
    return m_pLanguage->SetCurrentLanguage(strCode);
}

CKorvelString IVornGameState::GetResellerId() const
{
    return CKorvelString("bb");
}

CKorvelString IVornGameState::GetAppSecret() const
{
    return CKorvelString();
}

void IVornGameState::QuickPlay() {}

void IVornGameState::QuickExit()
{
    if (m_pApplication)
        m_pApplication->QuickExit();
}

void IVornGameState::CancelQuickPlay() {}

void IVornGameState::SendGameMsg(const unsigned char*, unsigned int, unsigned int, unsigned int) {}

void IVornGameState::SendResults(const CKorvelArray<int>&, const CKorvelArray<int>&, unsigned int) {}

CKorvelString IVornGameState::GetHttpQuery()
{
    return CKorvelString();
}

int IVornGameState::GetPlayerId()
{
    return -1;
}

int IVornGameState::GetPlayerCount()
{
    return 0;
}

CVornPlayer* IVornGameState::GetPlayer(int)
{
    return nullptr;
}

unsigned int IVornGameState::Achieve(int)
{
    return 0;
}

unsigned int IVornGameState::GetAchieved(int)
{
    return 0;
}
