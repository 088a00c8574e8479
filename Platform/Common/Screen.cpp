// The screen service: contexts with their single display, windows and their
// properties, and the screen events' properties. Main thread only, except that
// any thread may post events.
//
// Sections: settings and live objects - contexts and displays - windows - events
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "Platform/Common/CallLog.h"
#include "Platform/Common/EventQueue.h"
#include "Platform/Common/ScreenObjects.h"

namespace plat
{

namespace
{

enum : int
{
    kDefaultWidth = 1024,
    kDefaultHeight = 600,
    kMaxSize = 16384,
    kRefreshHz = 60
};

struct sSCREEN_STATE
{
    eBackend m_eBackend = eBackend::X11;
    int m_aDisplaySize[2] = {0, 0}; // 0: environment or default
    std::string m_strTitle;
    std::vector<_screen_context*> m_aContexts;
    std::vector<_screen_window*> m_aWindows;
};

sSCREEN_STATE& State()
{
    static sSCREEN_STATE s_State;
    return s_State;
}

int Fail(int iErrno)
{
    errno = iErrno;
    return -1;
}

bool IsLiveContext(screen_context_t context)
{
    const auto& aContexts = State().m_aContexts;
    return context && std::find(aContexts.begin(), aContexts.end(), context) != aContexts.end();
}

bool IsValidSize(int iWidth, int iHeight)
{
    return iWidth > 0 && iHeight > 0 && iWidth <= kMaxSize && iHeight <= kMaxSize;
}

// "WIDTHxHEIGHT"; false for anything else.
bool ParseSize(const char* pszText, int aSize[2])
{
    if (!pszText)
        return false;
    char* pszEnd = nullptr;
    const long lWidth = std::strtol(pszText, &pszEnd, 10);
    if (pszEnd == pszText || (*pszEnd != 'x' && *pszEnd != 'X'))
        return false;
    const char* pszHeight = pszEnd + 1;
    const long lHeight = std::strtol(pszHeight, &pszEnd, 10);
    if (pszEnd == pszHeight || *pszEnd != '\0' || lWidth > kMaxSize || lHeight > kMaxSize ||
        !IsValidSize(int(lWidth), int(lHeight)))
        return false;
    aSize[0] = int(lWidth);
    aSize[1] = int(lHeight);
    return true;
}

void ConfiguredDisplaySize(int aSize[2])
{
    const sSCREEN_STATE& state = State();
    if (state.m_aDisplaySize[0] > 0)
    {
        aSize[0] = state.m_aDisplaySize[0];
        aSize[1] = state.m_aDisplaySize[1];
        return;
    }
    if (!ParseSize(std::getenv("KORVEL_DISPLAY_SIZE"), aSize))
    {
        aSize[0] = kDefaultWidth;
        aSize[1] = kDefaultHeight;
    }
}

void ForgetWindow(screen_window_t window)
{
    auto& aWindows = State().m_aWindows;
    aWindows.erase(std::remove(aWindows.begin(), aWindows.end(), window), aWindows.end());
    window->m_pContext->m_pBackend->DestroyWindow(*window);
    delete window;
}

} // namespace

// ---- settings and live objects

void SelectBackend(eBackend eKind)
{
    State().m_eBackend = eKind;
}

eBackend GetSelectedBackend()
{
    return State().m_eBackend;
}

void SetDisplaySize(int iWidth, int iHeight)
{
    const bool bValid = IsValidSize(iWidth, iHeight);
    State().m_aDisplaySize[0] = bValid ? iWidth : 0;
    State().m_aDisplaySize[1] = bValid ? iHeight : 0;
}

void SetWindowTitle(const std::string& strTitle)
{
    State().m_strTitle = strTitle;
}

const std::string& WindowTitle()
{
    static const std::string s_strDefault = "Korvel";
    return State().m_strTitle.empty() ? s_strDefault : State().m_strTitle;
}

void ResetScreenSettings()
{
    SetDisplaySize(0, 0);
    SetWindowTitle("");
}

_screen_context* FirstContext()
{
    const auto& aContexts = State().m_aContexts;
    return aContexts.empty() ? nullptr : aContexts.front();
}

bool IsLiveWindow(screen_window_t window)
{
    const auto& aWindows = State().m_aWindows;
    return window && std::find(aWindows.begin(), aWindows.end(), window) != aWindows.end();
}

unsigned long GetNativeWindow(screen_window_t window)
{
    return IsLiveWindow(window) ? window->m_uNativeWindow : 0;
}

void PumpContexts()
{
    for (_screen_context* pContext : State().m_aContexts)
        pContext->m_pBackend->Pump();
}

// ---- contexts and displays

int screen_create_context(screen_context_t* pContext, int iFlags)
{
    const bool bFail = RecordCall("screen_create_context", {iFlags});
    if (pContext)
        *pContext = nullptr;
    if (bFail)
        return Fail(EIO);
    if (!pContext)
        return Fail(EINVAL);
    auto pNew = std::make_unique<_screen_context>();
    pNew->m_eKind = State().m_eBackend;
    pNew->m_pBackend = CreateBackend(pNew->m_eKind);
    pNew->m_Display.m_pContext = pNew.get();
    pNew->m_bEventsRequested = false;
    ConfiguredDisplaySize(pNew->m_aDisplaySize);
    if (const int iError = pNew->m_pBackend->Open(pNew->m_aDisplaySize))
        return Fail(iError);
    *pContext = pNew.release();
    State().m_aContexts.push_back(*pContext);
    return 0;
}

int screen_destroy_context(screen_context_t context)
{
    if (RecordCall("screen_destroy_context"))
        return Fail(EIO);
    if (!IsLiveContext(context))
        return Fail(EINVAL);
    // Windows go with their context.
    std::vector<_screen_window*> aWindows = State().m_aWindows;
    for (_screen_window* pWindow : aWindows)
        if (pWindow->m_pContext == context)
            ForgetWindow(pWindow);
    if (context->m_bEventsRequested)
        AddDomainRequest(kDomainScreen, -1);
    auto& aContexts = State().m_aContexts;
    aContexts.erase(std::find(aContexts.begin(), aContexts.end(), context));
    delete context;
    return 0;
}

int screen_get_context_property_iv(screen_context_t context, int iProperty, int* pValue)
{
    if (RecordCall("screen_get_context_property_iv", {iProperty}))
        return Fail(EIO);
    if (!IsLiveContext(context) || !pValue || iProperty != SCREEN_PROPERTY_DISPLAY_COUNT)
        return Fail(EINVAL);
    *pValue = 1;
    return 0;
}

int screen_get_context_property_pv(screen_context_t context, int iProperty, void** pValue)
{
    if (RecordCall("screen_get_context_property_pv", {iProperty}))
        return Fail(EIO);
    if (!IsLiveContext(context) || !pValue || iProperty != SCREEN_PROPERTY_DISPLAYS)
        return Fail(EINVAL);
    reinterpret_cast<screen_display_t*>(pValue)[0] = &context->m_Display;
    return 0;
}

int screen_get_display_property_iv(screen_display_t display, int iProperty, int* pValue)
{
    if (RecordCall("screen_get_display_property_iv", {iProperty}))
        return Fail(EIO);
    if (!display || !IsLiveContext(display->m_pContext) || !pValue || iProperty != SCREEN_PROPERTY_SIZE)
        return Fail(EINVAL);
    pValue[0] = display->m_pContext->m_aDisplaySize[0];
    pValue[1] = display->m_pContext->m_aDisplaySize[1];
    return 0;
}

int screen_get_display_property_pv(screen_display_t display, int iProperty, void** pValue)
{
    if (RecordCall("screen_get_display_property_pv", {iProperty}))
        return Fail(EIO);
    if (!display || !IsLiveContext(display->m_pContext) || !pValue || iProperty != SCREEN_PROPERTY_MODE)
        return Fail(EINVAL);
    auto* pMode = reinterpret_cast<screen_display_mode_t*>(pValue);
    pMode->width = unsigned(display->m_pContext->m_aDisplaySize[0]);
    pMode->height = unsigned(display->m_pContext->m_aDisplaySize[1]);
    pMode->refresh = kRefreshHz;
    return 0;
}

// ---- windows

int screen_create_window(screen_window_t* pWindow, screen_context_t context)
{
    const bool bFail = RecordCall("screen_create_window");
    if (pWindow)
        *pWindow = nullptr;
    if (bFail)
        return Fail(EIO);
    if (!pWindow || !IsLiveContext(context))
        return Fail(EINVAL);
    auto pNew = std::make_unique<_screen_window>();
    pNew->m_pContext = context;
    pNew->m_aBufferSize[0] = context->m_aDisplaySize[0];
    pNew->m_aBufferSize[1] = context->m_aDisplaySize[1];
    pNew->m_iFormat = SCREEN_FORMAT_RGBX8888;
    pNew->m_iUsage = 0;
    pNew->m_iRotation = 0;
    pNew->m_iBufferCount = 0;
    pNew->m_uNativeWindow = 0;
    if (const int iError = context->m_pBackend->CreateWindow(*pNew))
        return Fail(iError);
    *pWindow = pNew.release();
    State().m_aWindows.push_back(*pWindow);
    return 0;
}

int screen_destroy_window(screen_window_t window)
{
    if (RecordCall("screen_destroy_window"))
        return Fail(EIO);
    if (!IsLiveWindow(window))
        return Fail(EINVAL);
    ForgetWindow(window);
    return 0;
}

int screen_set_window_property_iv(screen_window_t window, int iProperty, const int* pValue)
{
    const bool bPair = iProperty == SCREEN_PROPERTY_BUFFER_SIZE || iProperty == SCREEN_PROPERTY_SIZE;
    bool bFail;
    if (!pValue)
        bFail = RecordCall("screen_set_window_property_iv", {iProperty});
    else if (bPair)
        bFail = RecordCall("screen_set_window_property_iv", {iProperty, pValue[0], pValue[1]});
    else
        bFail = RecordCall("screen_set_window_property_iv", {iProperty, pValue[0]});
    if (bFail)
        return Fail(EIO);
    if (!IsLiveWindow(window) || !pValue)
        return Fail(EINVAL);
    switch (iProperty)
    {
    case SCREEN_PROPERTY_BUFFER_SIZE:
    case SCREEN_PROPERTY_SIZE: // a desktop window is as large as its buffers
        if (!IsValidSize(pValue[0], pValue[1]))
            return Fail(EINVAL);
        window->m_aBufferSize[0] = pValue[0];
        window->m_aBufferSize[1] = pValue[1];
        window->m_pContext->m_pBackend->ResizeWindow(*window);
        return 0;
    case SCREEN_PROPERTY_FORMAT:
        window->m_iFormat = pValue[0];
        return 0;
    case SCREEN_PROPERTY_USAGE:
        window->m_iUsage = pValue[0];
        return 0;
    case SCREEN_PROPERTY_ROTATION: // recorded only: the picture is not turned
        if (pValue[0] != 0 && pValue[0] != 90 && pValue[0] != 180 && pValue[0] != 270)
            return Fail(EINVAL);
        window->m_iRotation = pValue[0];
        return 0;
    default:
        return Fail(EINVAL);
    }
}

int screen_get_window_property_iv(screen_window_t window, int iProperty, int* pValue)
{
    if (RecordCall("screen_get_window_property_iv", {iProperty}))
        return Fail(EIO);
    if (!IsLiveWindow(window) || !pValue)
        return Fail(EINVAL);
    switch (iProperty)
    {
    case SCREEN_PROPERTY_BUFFER_SIZE:
    case SCREEN_PROPERTY_SIZE:
        pValue[0] = window->m_aBufferSize[0];
        pValue[1] = window->m_aBufferSize[1];
        return 0;
    case SCREEN_PROPERTY_FORMAT:
        *pValue = window->m_iFormat;
        return 0;
    case SCREEN_PROPERTY_USAGE:
        *pValue = window->m_iUsage;
        return 0;
    case SCREEN_PROPERTY_ROTATION:
        *pValue = window->m_iRotation;
        return 0;
    default:
        return Fail(EINVAL);
    }
}

int screen_create_window_buffers(screen_window_t window, int iCount)
{
    if (RecordCall("screen_create_window_buffers", {iCount}))
        return Fail(EIO);
    if (!IsLiveWindow(window) || iCount < 1)
        return Fail(EINVAL);
    window->m_iBufferCount = iCount;
    return 0;
}

// ---- events

int screen_request_events(screen_context_t context)
{
    if (RecordCall("screen_request_events"))
        return Fail(EIO);
    if (!IsLiveContext(context))
        return Fail(EINVAL);
    if (!context->m_bEventsRequested)
        AddDomainRequest(kDomainScreen, 1);
    context->m_bEventsRequested = true;
    return 0;
}

int screen_stop_events(screen_context_t context)
{
    if (RecordCall("screen_stop_events"))
        return Fail(EIO);
    if (!IsLiveContext(context))
        return Fail(EINVAL);
    if (context->m_bEventsRequested)
        AddDomainRequest(kDomainScreen, -1);
    context->m_bEventsRequested = false;
    return 0;
}

int screen_get_domain()
{
    return kDomainScreen;
}

int PostScreenEvent(const _screen_event& event)
{
    return bps_post_event(kDomainScreen, 0, std::make_shared<const _screen_event>(event));
}

screen_event_t screen_event_get_event(bps_event_t* pEvent)
{
    if (!pEvent || pEvent->m_iDomain != kDomainScreen)
        return nullptr;
    return const_cast<_screen_event*>(static_cast<const _screen_event*>(pEvent->m_pPayload.get()));
}

int screen_get_event_property_iv(screen_event_t event, int iProperty, int* pValue)
{
    if (ShouldFail("screen_get_event_property_iv"))
        return Fail(EIO);
    if (!event || !pValue)
        return Fail(EINVAL);
    const int iType = event->m_iType;
    const bool bPointer = iType == SCREEN_EVENT_POINTER;
    const bool bTouch = iType >= SCREEN_EVENT_MTOUCH_TOUCH && iType <= SCREEN_EVENT_MTOUCH_RELEASE;
    const bool bKey = iType == SCREEN_EVENT_KEYBOARD;
    if (iProperty == SCREEN_PROPERTY_TYPE)
        *pValue = iType;
    else if (iProperty == SCREEN_PROPERTY_BUTTONS && bPointer)
        *pValue = event->m_iButtons;
    else if (iProperty == SCREEN_PROPERTY_SOURCE_POSITION && (bPointer || bTouch))
    {
        pValue[0] = event->m_aPosition[0];
        pValue[1] = event->m_aPosition[1];
    }
    else if (iProperty == SCREEN_PROPERTY_KEY_FLAGS && bKey)
        *pValue = event->m_iKeyFlags;
    else if (iProperty == SCREEN_PROPERTY_KEY_SYM && bKey)
        *pValue = event->m_iKeySym;
    else if (iProperty == SCREEN_PROPERTY_TOUCH_ID && bTouch)
        *pValue = event->m_iTouchId;
    else if (iProperty == SCREEN_PROPERTY_NAME && iType == SCREEN_EVENT_PROPERTY)
        *pValue = event->m_iProperty;
    else
        return Fail(EINVAL);
    return 0;
}

} // namespace plat
