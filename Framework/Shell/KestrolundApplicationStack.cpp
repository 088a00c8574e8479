// The application object: the stack of states, the frame, input dispatch, screen and
// focus changes, and the release and restoration of graphics resources.
#include "Framework/Shell/KestrolundApplication.h"

#include <new>

#include "Framework/Lobby/VornAdvertisement.h"
#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Lobby/VornToastNotification.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornLogoImage.h"
#include "Framework/Shell/VornNotification.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
const unsigned int BLACK = 0xFF000000u;
const unsigned int LOGO_BLIT_FLAGS = 128;
} // namespace

IVornState* CKestrolundApplication::GetFrontState() const
{
    return m_States.GetCount() > 0 ? GetState(0) : nullptr;
}

void CKestrolundApplication::Exit()
{
    m_uExit = 1;
}

// ---- the stack

KE_RETVAL CKestrolundApplication::AddState(IVornState* pState)
{
    if (!pState)
        return KE_ERR_INVALIDARG;
    const KE_RETVAL iResult = pState->Startup(this);
    if (iResult != KE_OK || m_States.Add(pState) < 0)
    {
        delete pState;
        return iResult != KE_OK ? iResult : KE_ERR_OUTOFMEMORY;
    }
    if (m_States.GetCount() == 1)
    {
        pState->ResetRemove();
        pState->Activate();
    }
    return KE_OK;
}

unsigned int CKestrolundApplication::RemoveState(IVornState* pState)
{
    int iIndex = -1;
    for (int i = 0; i < m_States.GetCount() && iIndex < 0; ++i)
        if (GetState(i) == pState)
            iIndex = i;
    if (iIndex < 0)
        return 0;
    // A queued focus change must not bring a deleted state (or a new one at its
    // address) to the front.
    int iKept = 0;
    for (int i = 0; i < m_FocusQueue.GetCount(); ++i)
        if (m_FocusQueue[i] != pState)
            m_FocusQueue[iKept++] = m_FocusQueue[i];
    m_FocusQueue.SetSize(iKept);
    if (iIndex == 0)
        pState->Deactivate();
    m_States.RemoveAt(iIndex);
    if (pState == m_pLobbyState)
        m_pLobbyState = nullptr;
    pState->Shutdown();
    delete pState;
    if (iIndex == 0 && m_States.GetCount() > 0)
    {
        GetState(0)->ResetRemove();
        GetState(0)->Activate();
    }
    return 1;
}

unsigned int CKestrolundApplication::FocusState(IVornState* pState)
{
    m_FocusQueue.Add(pState);
    return 1;
}

unsigned int CKestrolundApplication::FocusStateChange(IVornState* pState)
{
    int iIndex = -1;
    for (int i = 0; i < m_States.GetCount() && iIndex < 0; ++i)
        if (GetState(i) == pState)
            iIndex = i;
    if (iIndex < 0)
        return 0;
    if (iIndex == 0)
        return 1;
    GetState(0)->Deactivate();
    m_States.RemoveAt(iIndex);
    m_States.InsertAt(0, pState);
    pState->ResetRemove();
    pState->Activate();
    return 1;
}

void CKestrolundApplication::ShowNotification(CVornNotification* pNotification)
{
    if (!pNotification)
        return;
    if (m_Notifications.Add(pNotification) < 0)
    {
        pNotification->Shutdown();
        delete pNotification;
        return;
    }
    if (m_pDevice)
        m_pDevice->Vibrate(CVornDevice::VIBRA_SHORT);
}

// ---- the frame

void CKestrolundApplication::OnFlip()
{
    DeleteRetiredSessions();
    if (m_uRestorePhase)
    {
        if (m_uRestorePhase == 1)
        {
            DrawDefaultBackground();
            m_uRestorePhase = 2;
        }
        else
        {
            m_uRestorePhase = 0;
            if (RestoreResources() != KE_OK)
                IKorvelApplication::Shutdown();
        }
        ResetInactivityTime();
        return;
    }

    const float fSeconds = GetFrameTime();
    if (m_pNetworkSession)
        m_pNetworkSession->Update(fSeconds);
    if (m_pAdvertisement)
    {
        m_pAdvertisement->Update(fSeconds);
        if (m_pAdvertisement->GetRemove())
        {
            m_pAdvertisement->Shutdown();
            delete m_pAdvertisement;
            m_pAdvertisement = nullptr;
        }
    }
    if (m_Notifications.GetCount() > 0)
    {
        CVornNotification* pCurrent = static_cast<CVornNotification*>(m_Notifications[0]);
        pCurrent->Update(fSeconds);
        if (pCurrent->GetRemove())
        {
            m_Notifications.RemoveAt(0);
            pCurrent->Shutdown();
            delete pCurrent;
        }
    }
    if (m_pToast)
        m_pToast->Update(fSeconds);

    for (int i = 0; i < m_FocusQueue.GetCount(); ++i)
        FocusStateChange(m_FocusQueue[i]);
    m_FocusQueue.RemoveAll();

    CKorvelPtrArray exited;
    for (int i = 0; i < m_States.GetCount();)
    {
        IVornState* pState = GetState(i);
        if (pState->GetRemove())
            RemoveState(pState);
        else if (pState->GetExit())
        {
            pState->Deactivate();
            pState->ResetExit();
            m_States.RemoveAt(i);
            exited.Add(pState);
            if (i == 0 && m_States.GetCount() > 0)
            {
                GetState(0)->ResetRemove();
                GetState(0)->Activate();
            }
        }
        else
            ++i;
    }
    // An exited state stays alive behind the others until something focuses it.
    for (int i = 0; i < exited.GetCount(); ++i)
        m_States.Add(exited[i]);

    for (int i = 0; i < m_States.GetCount(); ++i)
        if (GetState(i)->Update(fSeconds))
            break;
    if (IVornState* pFront = GetFrontState())
        pFront->Draw();

    if (m_pAdvertisement)
        m_pAdvertisement->Draw();
    if (m_Notifications.GetCount() > 0)
        static_cast<CVornNotification*>(m_Notifications[0])->Draw();
    if (m_pToast)
        m_pToast->Draw();

    Tick();

    if (m_States.GetCount() == 0)
        Exit();
    if (m_uExit)
        IKorvelApplication::Shutdown();
}

// ---- input

unsigned int CKestrolundApplication::DispatchPointer(PointerHook pOverlayHook, StateHook pStateHook,
                                                     unsigned int uButton, int iX, int iY)
{
    if (m_pToast && m_pToast->GetVisible() && (m_pToast->*pOverlayHook)(uButton, iX, iY))
        return POINTER_TO_TOAST;
    if (m_Notifications.GetCount() > 0 &&
        (static_cast<CVornNotification*>(m_Notifications[0])->*pOverlayHook)(uButton, iX, iY))
        return POINTER_TAKEN;
    if (m_pAdvertisement && m_pAdvertisement->GetVisible() &&
        (m_pAdvertisement->*pOverlayHook)(uButton, iX, iY))
        return POINTER_TAKEN;
    for (int i = 0; i < m_States.GetCount(); ++i)
        if ((GetState(i)->*pStateHook)(uButton, iX, iY))
            return POINTER_TAKEN;
    return 0;
}

void CKestrolundApplication::OnMouseButton(unsigned int uButton, int iX, int iY)
{
    if (DispatchPointer(&CVornNotification::OnMouseButton, &IVornState::OnMouseButton, uButton, iX, iY) ==
            POINTER_TO_TOAST &&
        m_pToast->GetType() == CVornToastNotification::TYPE_CHALLENGE && m_pLobbyState)
        m_pLobbyState->SwitchToPage(CKorvelString("challenge_received"), 1);
}

void CKestrolundApplication::OnMouseDrag(unsigned int uButton, int iX, int iY)
{
    DispatchPointer(&CVornNotification::OnMouseDrag, &IVornState::OnMouseDrag, uButton, iX, iY);
}

void CKestrolundApplication::OnMouseButtonUp(unsigned int uButton, int iX, int iY)
{
    DispatchPointer(&CVornNotification::OnMouseButtonUp, &IVornState::OnMouseButtonUp, uButton, iX, iY);
}

void CKestrolundApplication::OnMouseWheel(int iDelta, int iX, int iY)
{
    for (int i = 0; i < m_States.GetCount(); ++i)
        if (GetState(i)->OnMouseWheel(iDelta, iX, iY))
            return;
}

void CKestrolundApplication::OnKeyDown(eKET_KEYCODE eKey)
{
    // A desktop keyboard's Escape is the device's back key.
    if (eKey == KET_KEY_ESCAPE)
        eKey = KET_KEY_BACK;
    if (eKey == KET_KEY_BACK && m_pAdvertisement && m_pAdvertisement->GetVisible())
        return;
    for (int i = 0; i < m_States.GetCount(); ++i)
        if (GetState(i)->OnKeyDown(eKey))
            return;
}

void CKestrolundApplication::OnChar(unsigned short uChar)
{
    for (int i = 0; i < m_States.GetCount(); ++i)
        if (GetState(i)->OnChar(uChar))
            return;
}

// ---- screen, focus and resources

void CKestrolundApplication::OnScreenChanged(int iWidth, int iHeight)
{
    IKorvelApplication::OnScreenChanged(iWidth, iHeight);
    // Before the layouts are built again: they measure their texts in these fonts.
    ScaleFontsToScreen();
    if (m_Notifications.GetCount() > 0)
        static_cast<CVornNotification*>(m_Notifications[0])->OnScreenChanged(iWidth, iHeight);
    if (m_pToast)
        m_pToast->OnScreenChanged(iWidth, iHeight);
    if (m_pAdvertisement)
        m_pAdvertisement->OnScreenChanged(iWidth, iHeight);
    if (IVornState* pFront = GetFrontState())
        pFront->OnScreenChanged(iWidth, iHeight);
}

void CKestrolundApplication::OnFocusChange(unsigned int uFocus)
{
    IKorvelApplication::OnFocusChange(uFocus);
    // The game hears it even while the lobby holds it.
    if (m_pGameState)
        m_pGameState->OnFocusChange(uFocus);
    for (int i = 0; i < m_States.GetCount(); ++i)
        if (GetState(i)->OnFocusChange(uFocus))
            break;
    AudioFocusChange(uFocus);
    if (m_pAdvertisement)
    {
        m_pAdvertisement->Shutdown();
        delete m_pAdvertisement;
        m_pAdvertisement = nullptr;
    }
}

KE_RETVAL CKestrolundApplication::OnRestoreResources()
{
    const KE_RETVAL iResult = IKorvelApplication::OnRestoreResources();
    if (iResult == KE_OK)
        m_uRestorePhase = 1;
    return iResult;
}

void CKestrolundApplication::ReleaseResources()
{
    CVornResourceManager::ReleaseResources();
    if (m_pGameState && m_pGameState->OnReleaseResources() != KE_OK)
        return;
    for (int i = 0; i < m_States.GetCount(); ++i)
        if (GetState(i)->OnReleaseResources() != KE_OK)
            return;
}

KE_RETVAL CKestrolundApplication::RestoreResources()
{
    KE_RETVAL iResult = CVornResourceManager::RestoreResources();
    if (iResult != KE_OK)
        return iResult;
    if (m_pGameState && (iResult = m_pGameState->OnRestoreResources()) != KE_OK)
        return iResult;
    for (int i = 0; i < m_States.GetCount(); ++i)
        if ((iResult = GetState(i)->OnRestoreResources()) != KE_OK)
            return iResult;
    return KE_OK;
}

// ---- the default background

void CKestrolundApplication::DrawDefaultBackground()
{
    IKorvelGraphicsContext* pBack = GetBack();
    if (!pBack)
        return;
    pBack->Fill(BLACK, static_cast<const CKorvelRect<int>*>(nullptr));
    if (!m_pLogoSurface)
        InitLoadingResources();
    if (!m_pLogoSurface)
        return;
    pBack->BltFast(pBack->GetWidth() - m_pLogoSurface->GetWidth(),
                   pBack->GetHeight() - m_pLogoSurface->GetHeight(), m_pLogoSurface, nullptr,
                   LOGO_BLIT_FLAGS);
    // Loaded again at each call: the background is drawn only around a context loss.
    m_pLogoSurface->Shutdown();
    delete m_pLogoSurface;
    m_pLogoSurface = nullptr;
}

KE_RETVAL CKestrolundApplication::InitLoadingResources()
{
    if (m_pLogoSurface)
    {
        m_pLogoSurface->Shutdown();
        delete m_pLogoSurface;
        m_pLogoSurface = nullptr;
    }
    m_pLogoSurface = new (std::nothrow) CKorvelSurface;
    if (!m_pLogoSurface)
        return KE_ERR_OUTOFMEMORY;
    const KE_RETVAL iResult = m_pLogoSurface->LoadFromMemory(
        this, const_cast<unsigned char*>(g_aVornLogoImage), g_uVornLogoImageSize, nullptr);
    if (iResult != KE_OK)
    {
        delete m_pLogoSurface;
        m_pLogoSurface = nullptr;
        return iResult;
    }
    m_pLogoSurface->SurfaceToTexture(0);
    return KE_OK;
}
