// IKorvelApplication: the platform event pump and input dispatch.
//
// Sections: draining and listeners - screen events - navigator events -
// ProcessEvent and the input state - screen orientation.
#include "KorvelGraphics/KorvelApplication.h"

#include "KorvelCommon/KorvelUsabilityDataCollection.h"
#include "KorvelInput/KorvelEvent.h"
#include "KorvelInput/KorvelInput.h"

#include "PlatformNavigator.h"
#include "PlatformScreen.h"

namespace
{
// How long a pass of the loop sleeps while the application is inactive, so that a
// minimised application does not spin on an empty event queue.
const unsigned int INACTIVE_SLEEP_MS = 5;

// Key symbols of the platform's own keys (0xF000 + a low byte) that still type a
// character, and the character.
int CharacterOfKeySym(int iSym)
{
    switch (iSym)
    {
    case 0xF008: // backspace
        return 8;
    case 0xF009: // tab
        return 9;
    case 0xF00D: // enter
    case 0xF08D: // keypad enter
        return 13;
    case 0x01: // Ctrl+A: select all
        return 1;
    default:
        break;
    }
    // Printable characters pass unchanged: ASCII, and the rest of the basic plane
    // apart from C1 controls, surrogates and the platform's key range.
    if (iSym >= 0x20 && iSym <= 0x7E)
        return iSym;
    if ((iSym >= 0xA0 && iSym <= 0xD7FF) || (iSym >= 0xE000 && iSym < 0xF000) ||
        (iSym >= 0xF900 && iSym <= 0xFFFD))
        return iSym;
    return -1;
}

// Only eight buttons and touches are tracked.
const int BUTTON_COUNT = 8;

bool IsButtonIndex(int iIndex)
{
    return iIndex >= 0 && iIndex < BUTTON_COUNT;
}

// Position from the event; 0, 0 when it cannot be read.
void ReadPosition(plat::screen_event_t pScreen, CKorvelEvent& event)
{
    int aPosition[2] = {0, 0};
    if (plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_SOURCE_POSITION, aPosition) == 0)
    {
        event.m_iX = aPosition[0];
        event.m_iY = aPosition[1];
    }
}
} // namespace

// ---------------------------------------------------------------------------------
// Draining and listeners

int IKorvelApplication::Run()
{
    m_uRunning = 1;
    while (m_uRunning)
    {
        DrainPlatformEvents();
        if (!m_uRunning)
            break;
        if (m_uActive && m_uStarted)
            DoFlip();
        else
            m_pClock->Sleep(INACTIVE_SLEEP_MS);
    }
    if (m_uStarted)
        Shutdown();
    return 0;
}

void IKorvelApplication::DrainPlatformEvents()
{
    plat::bps_event_t* pEvent = nullptr;
    while (plat::bps_get_event(&pEvent, 0) == plat::BPS_SUCCESS && pEvent)
        ProcessBlackberryEvents(pEvent);
}

int IKorvelApplication::ProcessBlackberryEvents(plat::bps_event_t* pEvent)
{
    // Every listener sees the event, also after one has consumed it; the count is
    // read again after each call because a listener may register or remove others.
    int iConsumed = 0;
    for (int i = 0; i < m_EventListeners.GetCount(); ++i)
    {
        IKorvelEventListener_Blackberry* pListener =
            static_cast<IKorvelEventListener_Blackberry*>(m_EventListeners[i]);
        if (pListener && pListener->ProcessEvent(pEvent))
            iConsumed = 1;
    }
    if (iConsumed)
        return 1;
    int iDomain = plat::bps_event_get_domain(pEvent);
    if (iDomain == plat::screen_get_domain())
        return ProcessBlackberryScreenEvents(pEvent);
    if (iDomain == plat::navigator_get_domain())
        return ProcessBlackberryNavigatorEvents(pEvent);
    return 0;
}

void IKorvelApplication::AddEventListener(CKorvelEventListener* pListener)
{
    if (pListener)
        m_EventListeners.Add(pListener);
}

void IKorvelApplication::RemoveEventListener(CKorvelEventListener* pListener)
{
    if (pListener)
        m_EventListeners.Remove(pListener);
}

// ---------------------------------------------------------------------------------
// Screen events

int IKorvelApplication::ProcessBlackberryScreenEvents(plat::bps_event_t* pEvent)
{
    plat::screen_event_t pScreen = plat::screen_event_get_event(pEvent);
    int iType = 0;
    if (!pScreen || plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_TYPE, &iType) != 0)
        return 1; // nothing to translate
    switch (iType)
    {
    case plat::SCREEN_EVENT_POINTER:
        TranslatePointer(pScreen);
        break;
    case plat::SCREEN_EVENT_KEYBOARD:
        TranslateKeyboard(pScreen);
        break;
    case plat::SCREEN_EVENT_PROPERTY:
        FollowWindowSize(pScreen);
        break;
    case plat::SCREEN_EVENT_MTOUCH_TOUCH:
    case plat::SCREEN_EVENT_MTOUCH_MOVE:
    case plat::SCREEN_EVENT_MTOUCH_RELEASE:
    {
        CKorvelEvent event;
        event.m_iType = iType == plat::SCREEN_EVENT_MTOUCH_TOUCH  ? KET_EVENT_BUTTONDOWN
                        : iType == plat::SCREEN_EVENT_MTOUCH_MOVE ? KET_EVENT_MOVE
                                                                  : KET_EVENT_BUTTONUP;
        int iTouchId = 0;
        if (plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_TOUCH_ID, &iTouchId) == 0)
            event.m_iIndex = iTouchId;
        ReadPosition(pScreen, event);
        ProcessEvent(event);
        break;
    }
    default:
        break;
    }
    return 1;
}

void IKorvelApplication::TranslatePointer(plat::screen_event_t pScreen)
{
    int iButtons = 0;
    if (plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_BUTTONS, &iButtons) != 0)
        return;
    CKorvelEvent event;
    ReadPosition(pScreen, event);
    int iIndex = iButtons == plat::SCREEN_LEFT_MOUSE_BUTTON     ? 0
                 : iButtons == plat::SCREEN_RIGHT_MOUSE_BUTTON  ? 1
                 : iButtons == plat::SCREEN_MIDDLE_MOUSE_BUTTON ? 2
                                                                : -1;
    if (iIndex >= 0)
    {
        event.m_iType = m_aucButtonStates[iIndex] ? KET_EVENT_MOVE : KET_EVENT_BUTTONDOWN;
        event.m_iIndex = iIndex;
    }
    else
    {
        // No button or several: one held button goes up, the highest index first.
        for (iIndex = 2; iIndex >= 0 && !m_aucButtonStates[iIndex]; --iIndex)
        {
        }
        if (iIndex < 0)
            return;
        event.m_iType = KET_EVENT_BUTTONUP;
        event.m_iIndex = iIndex;
    }
    ProcessEvent(event);
}

void IKorvelApplication::TranslateKeyboard(plat::screen_event_t pScreen)
{
    int iFlags = 0, iSym = 0;
    if (plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_KEY_FLAGS, &iFlags) != 0 ||
        plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_KEY_SYM, &iSym) != 0)
        return;
    CKorvelEvent event;
    event.m_iKey = iSym;
    if (!(iFlags & plat::SCREEN_KEY_FLAG_DOWN))
    {
        // A release, so that held keys do not stay held until the next focus change.
        event.m_iType = KET_EVENT_KEYUP;
        ProcessEvent(event);
        return;
    }
    event.m_iType = KET_EVENT_KEYDOWN;
    ProcessEvent(event);
    // Arrows, modifiers, Escape and the other keys of the platform's range type nothing.
    int iChar = CharacterOfKeySym(iSym);
    if (iChar < 0)
        return;
    event.m_iType = KET_EVENT_CHAR;
    event.m_iKey = 0;
    event.m_iChar = iChar;
    ProcessEvent(event);
}

void IKorvelApplication::FollowWindowSize(plat::screen_event_t pScreen)
{
    int iName = 0;
    int aiSize[2] = {0, 0};
    if (plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_NAME, &iName) != 0 ||
        iName != plat::SCREEN_PROPERTY_SIZE || !m_uStarted ||
        plat::screen_get_window_property_iv(m_pWindow, plat::SCREEN_PROPERTY_SIZE, aiSize) != 0)
        return;
    // While the user drags, a window manager sends a run of sizes: only one that differs
    // from what is drawn is worth rebuilding for.
    IKorvelGraphicsContext* pBack = GetBack();
    if (pBack && pBack->GetWidth() == aiSize[0] && pBack->GetHeight() == aiSize[1])
        return;
    // The new layout's surfaces and the viewport belong to this application's context.
    if (m_pGraphicsExt)
        m_pGraphicsExt->Extension_MakeCurrent();
    OnScreenChanged(aiSize[0], aiSize[1]);
}

// ---------------------------------------------------------------------------------
// Navigator events

int IKorvelApplication::ProcessBlackberryNavigatorEvents(plat::bps_event_t* pEvent)
{
    switch (plat::bps_event_get_code(pEvent))
    {
    case plat::NAVIGATOR_EXIT:
        m_uRunning = 0; // the events already queued are still drained
        break;
    case plat::NAVIGATOR_WINDOW_STATE:
    {
        int iState = plat::navigator_event_get_window_state(pEvent);
        if (iState == plat::NAVIGATOR_WINDOW_FULLSCREEN && !m_uActive)
            OnFocusChange(1);
        else if (iState == plat::NAVIGATOR_WINDOW_THUMBNAIL && m_uActive)
            OnFocusChange(0);
        break;
    }
    case plat::NAVIGATOR_WINDOW_INACTIVE:
        if (m_uActive)
            OnFocusChange(0);
        break;
    default:
        break;
    }
    return 1;
}

// ---------------------------------------------------------------------------------
// ProcessEvent and the input state

void IKorvelApplication::ProcessEvent(const CKorvelEvent& event)
{
    if (m_uModalDialogMode)
        return;
    if (m_pPlayback && !m_uReplaying)
        return; // live input waits until the playback has ended
    if (m_pRecording && m_pRecording->GetFrameCount() > 0)
        m_pRecording->AddEventToFrame(m_pRecording->GetFrameCount() - 1, event);
    ResetInactivityTime();
    if (event.m_iType < KET_EVENT_KEYDOWN || event.m_iType > KET_EVENT_WHEEL || !m_uActive)
        return;

    const int iIndex = event.m_iIndex;
    switch (event.m_iType)
    {
    case KET_EVENT_KEYDOWN:
    {
        eKET_KEYCODE eKey = CKorvelInput::PlatToDIK(static_cast<unsigned int>(event.m_iKey));
        m_aucKeyStates[eKey] = 1;
        OnKeyDown(eKey);
        break;
    }
    case KET_EVENT_KEYUP:
        m_aucKeyStates[CKorvelInput::PlatToDIK(static_cast<unsigned int>(event.m_iKey))] = 0;
        break;
    case KET_EVENT_CHAR:
        OnChar(static_cast<unsigned short>(event.m_iChar));
        break;
    case KET_EVENT_BUTTONDOWN:
    case KET_EVENT_MOVE:
        // Indices beyond the table (touch identifiers can be large) are dropped whole.
        if (!IsButtonIndex(iIndex))
            break;
        PreprocessTouchEvent(event);
        if (event.m_iType == KET_EVENT_MOVE && m_aucButtonStates[iIndex])
        {
            OnMouseDrag(static_cast<unsigned int>(iIndex), m_iMouseX, m_iMouseY);
            OnMouseDrag(static_cast<unsigned int>(iIndex), m_vMouseNormalised);
        }
        else if (!m_aucButtonStates[iIndex]) // a move before any press counts as the press
        {
            m_aucButtonStates[iIndex] = 1;
            OnMouseButton(static_cast<unsigned int>(iIndex), m_iMouseX, m_iMouseY);
            OnMouseButton(static_cast<unsigned int>(iIndex), m_vMouseNormalised);
        }
        break;
    case KET_EVENT_BUTTONUP:
        if (!IsButtonIndex(iIndex))
            break;
        PreprocessTouchEvent(event);
        if (m_aucButtonStates[iIndex])
        {
            m_aucButtonStates[iIndex] = 0;
            OnMouseButtonUp(static_cast<unsigned int>(iIndex), m_iMouseX, m_iMouseY);
            OnMouseButtonUp(static_cast<unsigned int>(iIndex), m_vMouseNormalised);
        }
        break;
    case KET_EVENT_WHEEL:
        PreprocessTouchEvent(event);
        OnMouseWheel(event.m_iWheel, m_iMouseX, m_iMouseY);
        OnMouseWheel(event.m_iWheel, m_vMouseNormalised);
        break;
    default:
        break;
    }
}

void IKorvelApplication::PreprocessTouchEvent(const CKorvelEvent& event)
{
    m_iMouseX = event.m_iX;
    m_iMouseY = event.m_iY;
    m_iMouseWheel += event.m_iWheel;
    if (IKorvelGraphicsContext* pBack = GetBack())
    {
        m_vMouseNormalised.x = pBack->PixelToFloatX(event.m_iX);
        m_vMouseNormalised.y = pBack->PixelToFloatY(event.m_iY);
    }
}

unsigned char IKorvelApplication::GetMouseButton(int iIndex) const
{
    return IsButtonIndex(iIndex) ? m_aucButtonStates[iIndex] : 0;
}

// ---------------------------------------------------------------------------------
// Screen orientation

eKET_SCREEN_ORIENTATION IKorvelApplication::GetScreenOrientation()
{
    IKorvelGraphicsContext* pBack = GetBack();
    if (pBack && pBack->GetWidth() > pBack->GetHeight())
        return KE_ORIENTATION_LANDSCAPE;
    return KE_ORIENTATION_PORTRAIT;
}

KE_RETVAL IKorvelApplication::SetScreenOrientation(eKET_SCREEN_ORIENTATION eOrientation)
{
    if (GetGlobalFlags() & KE_APPFLAGS_LOCKROTATION)
        return KE_ERR_DEVICE; // rotation is locked
    if (GetScreenOrientation() == eOrientation)
        return KE_OK;
    if (IKorvelGraphicsContext* pBack = GetBack())
    {
        int iWidth = pBack->GetWidth();
        m_DisplayMode.iWidth = pBack->GetHeight();
        m_DisplayMode.iHeight = iWidth;
    }
    plat::navigator_set_orientation(eOrientation != KE_ORIENTATION_PORTRAIT ? 0 : 90, nullptr);
    return KE_OK;
}
