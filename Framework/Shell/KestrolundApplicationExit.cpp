// The application object: shut-down, in a fixed order. Each step runs only for a
// member that exists and leaves it null.
#include "Framework/Shell/KestrolundApplication.h"

#include "AchievementStation/VornAchievementStation.h"
#include "Framework/Lobby/VornAdvertisement.h"
#include "Framework/Lobby/VornToastNotification.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornNotification.h"
#include "Framework/Shell/VornState.h"
#include "Framework/Shell/VornStatistics.h"
#include "Framework/UI/Theme.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundMusicPlayer.h"
#include "SocketEngine/VornNetConnection.h"

namespace
{
template <class T> void ShutAndDelete(T*& pObject)
{
    if (!pObject)
        return;
    pObject->Shutdown();
    delete pObject;
    pObject = nullptr;
}
} // namespace

void CKestrolundApplication::OnExit()
{
    m_Settings.Shutdown();
    ShutAndDelete(m_pLogoSurface);
    ShutAndDelete(m_pTheme);
    ShutAndDelete(m_pNetworkSession);
    DeleteRetiredSessions();
    ShutAndDelete(m_pNetConnection);
    ShutAndDelete(m_pAdvertisement);
    for (int i = 0; i < m_Notifications.GetCount(); ++i)
    {
        CVornNotification* pNotification = static_cast<CVornNotification*>(m_Notifications[i]);
        ShutAndDelete(pNotification);
    }
    m_Notifications.Clear();
    ShutAndDelete(m_pToast);

    if (m_States.GetCount() > 0)
        GetState(0)->Deactivate();
    for (int i = 0; i < m_States.GetCount(); ++i)
    {
        IVornState* pState = GetState(i);
        ShutAndDelete(pState);
    }
    m_States.Clear();
    m_FocusQueue.RemoveAll();
    m_pLobbyState = nullptr;

    if (m_pAchievementStation)
    {
        m_pAchievementStation->WriteAchievementData();
        ShutAndDelete(m_pAchievementStation);
    }
    ShutAndDelete(m_pDevice);
    CVornResourceManager::Shutdown();
    if (m_pLanguage)
    {
        m_pLanguage->SaveSettings();
        ShutAndDelete(m_pLanguage);
    }
    ShutAndDelete(m_pSoundEngine);
    ShutAndDelete(m_pMusicPlayer);
    m_strMusicName.Set("");
    m_fMusicPosition = 0.0f;
    if (m_pStatistics)
    {
        m_pStatistics->WriteStatistics();
        ShutAndDelete(m_pStatistics);
    }
}
