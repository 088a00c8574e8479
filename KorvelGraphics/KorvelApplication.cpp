// Construction, start-up on the platform window, shutdown and clean-up of the
// application base.
#include "KorvelGraphics/KorvelApplication.h"

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "KorvelInput/KorvelEvent.h"
#include "PlatformControl.h"
#include "PlatformNavigator.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

unsigned int g_KEAppGlobalFlags = 0;

namespace
{

// Window and display property values of start-up.
enum : int
{
    KE_WINDOW_USAGE_GLES2_ROTATION = 0x220,
    KE_WINDOW_BUFFERS = 2
};

// The initial orientation angle; unset is taken as 0, the desktop's upright screen.
int OrientationAngle()
{
    const char* pszAngle = std::getenv("ORIENTATION");
    return pszAngle ? std::atoi(pszAngle) : 0;
}

} // namespace

IKorvelApplication::IKorvelApplication()
    : m_fFrameTime(0.00001f), m_pWindow(nullptr), m_pFlipRoutine(nullptr), m_uActive(0), m_uStarted(0),
      m_eUpdateMode(KE_UPDATE_NONE), m_uUpdateInterval(10), m_uLastActivityTick(0), m_uSleeping(0),
      m_puPalette(nullptr), m_pucPaletteLookup(nullptr), m_iMouseX(0), m_iMouseY(0),
      m_vMouseNormalised(0.0f, 0.0f), m_iMouseWheel(0), m_uRunning(0), m_pScreenContext(nullptr),
      m_pDisplay(nullptr), m_pImageLibrary(nullptr), m_pGraphicsExt(nullptr), m_uModalDialogMode(0),
      m_pRecording(nullptr), m_pPlayback(nullptr), m_uPlaybackFrame(0), m_uReplaying(0),
      m_pFingerImage(nullptr), m_fFingerTime(0.0f), m_iFingerX(0), m_iFingerY(0),
      m_pClock(&IKorvelClock::System())
{
    m_aiResources[0] = m_aiResources[1] = m_aiResources[2] = -1;
    std::memset(&m_DisplayMode, 0, sizeof(m_DisplayMode));
    m_FrameTimer.Startup(0);

    // Failures here show up later as failing start-up calls.
    plat::screen_create_context(&m_pScreenContext, plat::SCREEN_APPLICATION_CONTEXT);
    plat::bps_initialize();
    int iDisplays = 0;
    if (plat::screen_get_context_property_iv(m_pScreenContext, plat::SCREEN_PROPERTY_DISPLAY_COUNT,
                                             &iDisplays) == 0 &&
        iDisplays > 0)
    {
        plat::screen_display_t* pDisplays = new (std::nothrow) plat::screen_display_t[iDisplays]();
        if (pDisplays &&
            plat::screen_get_context_property_pv(m_pScreenContext, plat::SCREEN_PROPERTY_DISPLAYS,
                                                 reinterpret_cast<void**>(pDisplays)) == 0)
            m_pDisplay = pDisplays[0];
        delete[] pDisplays;
    }
    plat::navigator_rotation_lock((g_KEAppGlobalFlags & KE_APPFLAGS_LOCKROTATION) != 0);
    plat::img_lib_attach(&m_pImageLibrary);

    std::memset(m_aucKeyStates, 0, sizeof(m_aucKeyStates));
    std::memset(m_aucButtonStates, 0, sizeof(m_aucButtonStates));
    m_pGraphicsExt = new (std::nothrow) CKorvelGraphicsExt_GLES2;
    CKorvelPaletteProvider::Register(this, this);
}

IKorvelApplication::~IKorvelApplication()
{
    CleanUp();
    CKorvelPaletteProvider::Unregister(this);
    m_PostedEventLock.Startup();
    for (int i = 0; i < m_PostedEvents.GetCount(); ++i)
        delete static_cast<CKorvelEvent*>(m_PostedEvents[i]);
    m_PostedEvents.Clear();
    m_PostedEventLock.Shutdown();
    if (m_pImageLibrary)
        plat::img_lib_detach(m_pImageLibrary);
    if (m_pScreenContext)
    {
        plat::screen_stop_events(m_pScreenContext);
        plat::bps_shutdown();
        plat::screen_destroy_context(m_pScreenContext);
    }
}

// ---- start-up

KE_RETVAL IKorvelApplication::Startup(void* pHandle, SKE_DISPLAYMODE* pMode)
{
    if (!pMode)
        return KE_ERR_INVALIDARG;
    if (!m_strTitle.GetLength())
        m_strTitle.Set("KorvelApplication");
    if (!m_pDisplay)
        return 0;

    // A desktop window shows the application's title.
    std::vector<char> acTitle(size_t(m_strTitle.MakeUTF8(nullptr)) + 1, '\0');
    m_strTitle.MakeUTF8(acTitle.data());
    plat::SetWindowTitle(acTitle.data());
    plat::screen_window_t window = nullptr;
    if (plat::screen_create_window(&window, m_pScreenContext) != 0)
        return 0;
    // Every later failure gives the new window up again.
    auto fail = [&window]()
    {
        plat::screen_destroy_window(window);
        return 0;
    };
    const int iFormat = plat::SCREEN_FORMAT_RGBX8888;
    const int iUsage = KE_WINDOW_USAGE_GLES2_ROTATION;
    if (plat::screen_set_window_property_iv(window, plat::SCREEN_PROPERTY_FORMAT, &iFormat) != 0 ||
        plat::screen_set_window_property_iv(window, plat::SCREEN_PROPERTY_USAGE, &iUsage) != 0)
        return fail();
    int aiDisplaySize[2] = {0, 0};
    if (plat::screen_get_display_property_iv(m_pDisplay, plat::SCREEN_PROPERTY_SIZE, aiDisplaySize) != 0)
        return fail();

    const int iAngle = OrientationAngle();
    plat::screen_display_mode_t displayMode = {0, 0, 0};
    if (plat::screen_get_display_property_pv(m_pDisplay, plat::SCREEN_PROPERTY_MODE,
                                             reinterpret_cast<void**>(&displayMode)) != 0)
        return fail();
    const unsigned int a = displayMode.width, b = displayMode.height;
    int aiBuffer[2] = {0, 0};
    if (plat::screen_get_window_property_iv(window, plat::SCREEN_PROPERTY_BUFFER_SIZE, aiBuffer) != 0)
        return fail();
    const int w = aiBuffer[0], h = aiBuffer[1];

    // Upright angles give the buffer the display mode's orientation, turned ones the other.
    bool bSwap;
    if (iAngle == 0 || iAngle == 180)
        bSwap = (a > b && w < h) || (a < b && w > h);
    else if (iAngle == 90 || iAngle == 270)
        bSwap = (a > b && w > h) || (a < b && w < h);
    else
        return fail();
    if (bSwap)
        std::swap(aiBuffer[0], aiBuffer[1]);

    if (plat::screen_set_window_property_iv(window, plat::SCREEN_PROPERTY_BUFFER_SIZE, aiBuffer) != 0 ||
        plat::screen_set_window_property_iv(window, plat::SCREEN_PROPERTY_ROTATION, &iAngle) != 0 ||
        plat::screen_create_window_buffers(window, KE_WINDOW_BUFFERS) != 0 ||
        plat::screen_request_events(m_pScreenContext) != 0 || plat::navigator_request_events(0) != 0)
        return fail();

    pMode->iWidth = aiBuffer[0];
    pMode->iHeight = aiBuffer[1];
    pMode->uFlags |= KE_DISPLAYMODE_STARTUP;
    return StartupFromHwnd(pHandle, pMode, window);
}

KE_RETVAL IKorvelApplication::StartupFromHwnd(void*, SKE_DISPLAYMODE* pMode, plat::screen_window_t window)
{
    if (!pMode)
        return KE_ERR_INVALIDARG;
    m_DisplayMode = *pMode;
    m_pWindow = window;
    if (!m_strTitle.GetLength() && (pMode->uFlags & KE_DISPLAYMODE_STARTUP))
        m_strTitle.Set("KorvelEngine");

    KE_RETVAL iResult = pMode->uWindowed ? InitWindowed(pMode) : InitFullScreen(pMode);
    if (iResult != KE_OK)
        return iResult;
    if (GetBack()->GetFormat() == KE_SURFACE_P8)
        SetPalette(nullptr);
    iResult = OnInitDone();
    if (iResult != KE_OK)
    {
        OnExit();
        CleanUp();
        return iResult;
    }
    RestartFrameTimer();
    RandSeed();
    m_uStarted = 1;
    SetActive(1);
    return KE_OK;
}

KE_RETVAL IKorvelApplication::InitFullScreen(SKE_DISPLAYMODE* pMode)
{
    if (!pMode)
        return KE_ERR_INVALIDARG;
    if (pMode->eFormat == KE_SURFACE_COMPATIBLE)
        pMode->eFormat = KE_SURFACE_ABGR8888;
    return InitWindowed(pMode);
}

KE_RETVAL IKorvelApplication::InitWindowed(SKE_DISPLAYMODE* pMode)
{
    if (!pMode)
        return KE_ERR_INVALIDARG;
    UpdateScreenRects();
    if (m_pGraphicsExt)
    {
        const KE_RETVAL iResult = m_pGraphicsExt->Extension_Startup(this);
        if (iResult == KE_OK)
            m_pGraphicsExt->Extension_Resize(m_DisplayMode.iWidth, m_DisplayMode.iHeight);
        return iResult;
    }
    const eKET_SURFACEFORMAT eFormat =
        pMode->eFormat == KE_SURFACE_COMPATIBLE ? KE_SURFACE_ABGR8888 : pMode->eFormat;
    return CreateBackBuffer(eFormat);
}

// ---- shutdown

void IKorvelApplication::Shutdown()
{
    if (m_pGraphicsExt)
        m_pGraphicsExt->Extension_MakeCurrent();
    SetActive(0);
    OnExit();
    CleanUp();
    m_uRunning = 0;
}

void IKorvelApplication::Close()
{
    OnExit();
    CleanUp();
}

void IKorvelApplication::CleanUp()
{
    m_uStarted = 0;
    SetActive(0);
    StopUsabilityDataCollection();
    if (m_pGraphicsExt)
    {
        m_pGraphicsExt->Extension_MakeCurrent();
        m_pGraphicsExt->Extension_Shutdown();
        delete m_pGraphicsExt;
        m_pGraphicsExt = nullptr;
    }
    m_BackBuffer.Release();
    if (m_pWindow)
    {
        plat::screen_destroy_window(m_pWindow);
        m_uRunning = 0;
        m_pWindow = nullptr;
    }
    std::memset(&m_DisplayMode, 0, sizeof(m_DisplayMode));
    delete[] m_puPalette;
    m_puPalette = nullptr;
    delete[] m_pucPaletteLookup;
    m_pucPaletteLookup = nullptr;
    m_Timers.Clear();
    for (int i = 0; i < m_Runnables.GetCount(); ++i)
        static_cast<IKorvelRunnable*>(m_Runnables[i])->m_uRegistered = 0;
    m_Runnables.Clear();
    m_EventListeners.Clear();
}

void IKorvelApplication::SetActive(unsigned int uActive)
{
    if (m_uActive == uActive)
        return;
    if (!uActive)
        GetBack()->Fill(0, nullptr);
    m_uActive = uActive;
    std::memset(m_aucKeyStates, 0, sizeof(m_aucKeyStates));
    std::memset(m_aucButtonStates, 0, sizeof(m_aucButtonStates));
    RestartFrameTimer();
}

IKorvelGraphicsContext* IKorvelApplication::GetBack()
{
    if (m_pGraphicsExt)
        return m_pGraphicsExt;
    return &m_BackBuffer;
}

KE_RETVAL IKorvelApplication::OnRestoreResources()
{
    if (m_pGraphicsExt)
        m_pGraphicsExt->Extension_MakeCurrent();
    return m_pGraphicsExt ? m_pGraphicsExt->Extension_RestoreResources() : KE_OK;
}

void IKorvelApplication::UpdateScreenRects()
{
    int aiSize[2] = {0, 0};
    if (plat::screen_get_window_property_iv(m_pWindow, plat::SCREEN_PROPERTY_SIZE, aiSize) != 0)
        return;
    m_rcWindow.Set(0, 0, aiSize[0], aiSize[1]);
    m_rcClient = m_rcWindow;
}

// ---- runnables

void IKorvelApplication::AddRunnable(IKorvelRunnable* pRunnable)
{
    if (!pRunnable)
        return;
    pRunnable->m_uRegistered = 1;
    m_Runnables.Add(pRunnable);
}

void IKorvelApplication::RemoveRunnable(IKorvelRunnable* pRunnable)
{
    if (pRunnable && m_Runnables.Remove(pRunnable))
        pRunnable->m_uRegistered = 0;
}

void IKorvelApplication::UpdateRunnables(float fFrameSeconds)
{
    for (int i = 0; i < m_Runnables.GetCount(); ++i)
        static_cast<IKorvelRunnable*>(m_Runnables[i])->Update(fFrameSeconds);
}
