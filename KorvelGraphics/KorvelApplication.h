// The engine's application base: owns the platform window, the screen context, the
// drawing target (the GL screen target, or a software back buffer without one), the
// frame timer, the input state and the per-frame machinery. The shell derives its
// application class from it and overrides the virtual operations.
//
// Sections: records - life cycle - virtual operations - queries and small operations -
// palette - per-frame lists - data.
// Sources: KorvelApplication.cpp (construction, start-up, clean-up), KorvelApplicationEvents.cpp
// (Run, the event pump, input dispatch, orientation), KorvelApplicationFrame.cpp (frames, timers,
// posted events, pacing, usability playback, random numbers, data paths),
// KorvelApplicationDisplay.cpp (modes, back buffer, palette).
#pragma once

#include "KorvelCommon/IKorvelNotify.h"
#include "KorvelCommon/KorvelClock.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelRandom.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelRunnable.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelThread.h"
#include "KorvelCommon/KorvelTimer.h"
#include "KorvelGraphics/KorvelAppTimers.h"
#include "KorvelGraphics/KorvelGraphicsExt.h"
#include "KorvelGraphics/KorvelPaletteProvider.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "PlatformBps.h"
#include "PlatformImage.h"
#include "PlatformScreen.h"

enum eKET_KEYCODE : int; // the engine's key codes
class CKorvelEvent;
class CKorvelEventListener;
class CKorvelUsabilityDataCollection;

// ---- records

// Six 32-bit words: width, height, pixel format (0 means 7), reserved, windowed flag, flags.
struct SKE_DISPLAYMODE
{
    int iWidth;
    int iHeight;
    eKET_SURFACEFORMAT eFormat;
    unsigned int uReserved;
    unsigned int uWindowed; // non-zero: windowed
    unsigned int uFlags;    // KE_DISPLAYMODE_*
};

enum : unsigned int
{
    KE_DISPLAYMODE_LOCKSIZE = 0x20,      // LockWindowSize
    KE_DISPLAYMODE_STARTUP = 0x80000000u // set by Startup on the caller's mode
};

// Frame pacing: none, a fixed frame interval, or sleeping after a time without input.
enum eKET_UPDATE_MODE : int
{
    KE_UPDATE_NONE = 0,
    KE_UPDATE_FIXED = 1,
    KE_UPDATE_INACTIVITY = 2
};

enum eKET_SCREEN_ORIENTATION : int
{
    KE_ORIENTATION_PORTRAIT = 0,
    KE_ORIENTATION_LANDSCAPE = 1
};

// Set once by main from the game's hook. Any of the bits 0x1, 0x2, 0x4 locks the rotation.
extern unsigned int g_KEAppGlobalFlags;
enum : unsigned int
{
    KE_APPFLAGS_LOCKROTATION = 0x1 | 0x2 | 0x4
};

class IKorvelApplication : public IKorvelNotify, public IKorvelSurfaceHost
{
public:
    // ---- life cycle (main thread)

    // Creates the screen context, starts the event service, keeps the first display,
    // sets the rotation lock, attaches the image library and makes the GL screen target.
    IKorvelApplication();
    // Releases everything and the platform services.
    virtual ~IKorvelApplication();

    // Opens the window (buffer orientation from "ORIENTATION" and the display mode) and
    // starts on it: 1; 2 for a null mode; 0 when a platform call fails, there is no display
    // or the angle is not 0, 90, 180 or 270; else the drawing target's or OnInitDone's result.
    // Fills in the mode's width and height and sets its KE_DISPLAYMODE_STARTUP flag.
    KE_RETVAL Startup(void* pHandle, SKE_DISPLAYMODE* pMode);
    // Start-up on a window that already exists (taken over by the application).
    KE_RETVAL StartupFromHwnd(void* pHandle, SKE_DISPLAYMODE* pMode, plat::screen_window_t window);
    KE_RETVAL InitFullScreen(SKE_DISPLAYMODE* pMode);
    KE_RETVAL InitWindowed(SKE_DISPLAYMODE* pMode);
    // The event loop; returns 0 when the running flag is clear, shutting down first when
    // still started.
    int Run();
    void Shutdown();
    void Close();
    // Releases what start-up and later work acquired; safe to call more than once.
    void CleanUp();
    void SetActive(unsigned int uActive);

    // ---- virtual operations

    void OnNotify(void*, unsigned int, unsigned int, unsigned int, unsigned int) override {}
    // One frame.
    virtual void DoFlip();
    // Input dispatch; also receives posted and replayed events.
    virtual void ProcessEvent(const CKorvelEvent& event);
    // Overrides call the base first.
    virtual void OnScreenChanged(int iWidth, int iHeight);
    virtual void OnMouseButton(unsigned int, int, int) {}
    virtual void OnMouseButton(unsigned int, const CKorvelVector2&) {}
    virtual void OnMouseDrag(unsigned int, int, int) {}
    virtual void OnMouseDrag(unsigned int, const CKorvelVector2&) {}
    virtual void OnMouseButtonUp(unsigned int, int, int) {}
    virtual void OnMouseButtonUp(unsigned int, const CKorvelVector2&) {}
    virtual void OnMouseWheel(int, int, int) {}
    virtual void OnMouseWheel(int, const CKorvelVector2&) {}
    // Overrides call the base first.
    virtual void OnFocusChange(unsigned int uFocus) { SetActive(uFocus); }
    // Overrides call the base first.
    virtual KE_RETVAL OnRestoreResources();
    // Draws the frame; may call Shutdown.
    virtual void OnFlip() = 0;
    virtual void OnGetTime();
    // Called once at the end of start-up, with the drawing target up; anything but 1 aborts.
    virtual KE_RETVAL OnInitDone() { return KE_OK; }
    virtual void OnExit() {}
    virtual void OnKeyDown(eKET_KEYCODE) {}
    virtual void OnChar(unsigned short) {}
    virtual void OnTimer(int) {}
    // The software back buffer, used only without a graphics extension.
    virtual KE_RETVAL CreateBackBuffer(eKET_SURFACEFORMAT eFormat);

    // ---- queries and small operations

    unsigned int IsActive() const { return m_uActive; }
    unsigned int IsWindowed() const { return m_DisplayMode.uWindowed; }
    unsigned int IsStarted() const { return m_uStarted; }
    unsigned int IsRunning() const { return m_uRunning; }
    plat::screen_window_t GetWindow() const { return m_pWindow; }
    plat::screen_display_t GetDirectDraw() const { return m_pDisplay; }
    // The drawing target: the graphics extension, or the back-buffer surface.
    IKorvelGraphicsContext* GetBack();
    IKorvelGraphicsExt* GetGraphicsExtension() const { return m_pGraphicsExt; }
    // The image library handle attached at construction (null when attaching failed).
    plat::img_lib_t GetImageLibrary() const { return m_pImageLibrary; }
    const SKE_DISPLAYMODE& GetDisplayMode() const { return m_DisplayMode; }
    const CKorvelRect<int>& GetWindowRect() const { return m_rcWindow; }
    const CKorvelRect<int>& GetClientRect() const { return m_rcClient; }
    float GetFrameTime() const { return m_fFrameTime; }
    const CKorvelString& GetAppTitle() const { return m_strTitle; }
    void SetAppTitle(const CKorvelString& strTitle) { m_strTitle.Set(strTitle); }
    static unsigned int GetGlobalFlags() { return g_KEAppGlobalFlags; }
    eKET_SURFACEFORMAT GetCompatibleDisplayFormat() override;
    static eKET_SURFACEFORMAT GetDefaultDisplayFormat() { return KE_SURFACE_ABGR8888; }
    static int ModeToBPP(eKET_SURFACEFORMAT eFormat);
    static int BPPToMode(int iBitsPerPixel);
    void LockWindowSize(unsigned int uLock);
    void SetResources(int a, int b, int c);
    void GetDefaultDisplayMode(SKE_DISPLAYMODE& mode);
    void GetDisplayModes(CKorvelPtrArray* pModes);
    static void ReleaseDisplayModes(CKorvelPtrArray* pModes);
    static void GetDisplayDevices(CKorvelPtrArray*) {}
    static void ReleaseDisplayDevices(CKorvelPtrArray* pDevices);
    KE_RETVAL InitDisplayDevice(void*) { return KE_OK; }
    KE_RETVAL CreateBackBufferBitmap() { return KE_OK; }
    void SolveFlipFunction() { m_pFlipRoutine = &IKorvelApplication::FlipNothing; }
    // Shows nothing on this platform.
    static void MsgBox(const CKorvelString&, const CKorvelString&) {}
    static void KorvelErrorToText(KE_RETVAL iError, CKorvelString& strText);

    // ---- palette (256 colours 0x00RRGGBB and a 4096-entry 4-4-4 lookup table)

    unsigned int* GetPalette() override { return m_puPalette; }
    // Null colours give the default 3-3-2 palette. Unbuilt when memory runs out.
    void SetPalette(const unsigned int* puColours);
    // Builds the default palette first when there is none.
    unsigned char* GetPaletteLookupTable() override;
    static unsigned char GetClosestFromPalette(const unsigned int* puPalette, unsigned int uColour);

    // ---- per-frame lists (not owned)

    // Sets the runnable's registered flag and appends it to the per-frame list.
    void AddRunnable(IKorvelRunnable* pRunnable);
    // Removes the first matching entry and clears its flag; nothing when absent.
    void RemoveRunnable(IKorvelRunnable* pRunnable);
    // Listeners see every platform event before the application; removing takes the
    // first matching entry.
    void AddEventListener(CKorvelEventListener* pListener);
    void RemoveEventListener(CKorvelEventListener* pListener);

    // ---- input state

    // 256 entries by eKET_KEYCODE, 1 = held.
    const unsigned char* GetKeybButtons() const { return m_aucKeyStates; }
    // Mouse button or touch 0..7 (1 = held); 0 for any other index.
    unsigned char GetMouseButton(int iIndex) const;
    void GetMousePos(int& iX, int& iY) const
    {
        iX = m_iMouseX;
        iY = m_iMouseY;
    }
    int GetMouseWheelAngle() const { return m_iMouseWheel; }
    // Landscape when the drawing target is wider than tall.
    eKET_SCREEN_ORIENTATION GetScreenOrientation();
    // 9 when the rotation is locked; otherwise asks the navigator to turn and gives 1.
    KE_RETVAL SetScreenOrientation(eKET_SCREEN_ORIENTATION eOrientation);

    // ---- frames: timers, posted events, pacing

    // Fires OnTimer(id) every interval, at most one timer per frame.
    void StartTimer(int iId, int iIntervalMs);
    void StopTimer(int iId);
    // The one operation for other threads: queues the event for the next frame and
    // takes ownership of it.
    void PostEvent(CKorvelEvent* pEvent);
    // Non-zero holds back input, posted events, drawing and presenting.
    void SetModalDialogMode(unsigned int uMode) { m_uModalDialogMode = uMode; }
    unsigned int GetModalDialogMode() const { return m_uModalDialogMode; }
    void SetUpdateMode(eKET_UPDATE_MODE eMode, unsigned int uIntervalMs);
    void ResetInactivityTime();
    // The clock that frame times, timers and pacing read and sleep on; null returns to
    // the system clock.
    void SetClock(IKorvelClock* pClock);
    IKorvelClock& GetClock() const { return *m_pClock; }

    // ---- usability recording and playback (the recordings stay the caller's)

    int StartUsabilityDataCollection(CKorvelUsabilityDataCollection& recording);
    // Ends recording and playback and drops the finger image.
    void StopUsabilityDataCollection();
    int PlaybackUsabilityDataCollection(const CKorvelUsabilityDataCollection& recording);

    // ---- random numbers (0..32767 scaled; the sequence is this application's own)

    // From the millisecond clock; called at the end of start-up.
    void RandSeed();
    void RandSeed(unsigned int uSeed) { m_Random.Seed(uSeed); }
    // Both ends included; iMin when iMax <= iMin.
    int RandInt(int iMin, int iMax) { return m_Random.Int(iMin, iMax); }
    float RandFloat(float fMin, float fMax) { return m_Random.Float(fMin, fMax); }
    double RandDouble(double dMin, double dMax) { return m_Random.Double(dMin, dMax); }

    // ---- data paths under the working directory

    // "<cwd>/app/native/": the application's read-only files.
    static void GetAppPath(CKorvelString& strOut);
    // The application path and the name, without one leading backslash of the name.
    static void BuildFilepath(CKorvelString& strOut, const CKorvelString& strName);
    // "<cwd>/data/" and the name: the writable files.
    static void BuildWriteFilepath(CKorvelString& strOut, const CKorvelString& strName);

protected:
    // One platform event; 1 when it was handled.
    int ProcessBlackberryEvents(plat::bps_event_t* pEvent);
    int ProcessBlackberryScreenEvents(plat::bps_event_t* pEvent);
    int ProcessBlackberryNavigatorEvents(plat::bps_event_t* pEvent);
    // Pointer position, wheel total and normalised position from an event of type 4-7.
    void PreprocessTouchEvent(const CKorvelEvent& event);
    // Steps of a frame.
    void ProcessPlaybackFrame();
    void DrawPlaybackExtras();
    // Each registered runnable's Update, by index while the index is below the current
    // count, so that one added meanwhile runs in the same frame.
    void UpdateRunnables(float fFrameSeconds);
    // Window and client rectangle from the window's size.
    void UpdateScreenRects();
    void FlipNothing() {}
    void DrainPlatformEvents();
    void TranslatePointer(plat::screen_event_t pScreen);
    void TranslateKeyboard(plat::screen_event_t pScreen);
    // The window took another size from the window system: the screen follows it.
    void FollowWindowSize(plat::screen_event_t pScreen);
    void DeliverPostedEvents();
    void PaceFrame();
    // Sleeps on the clock until the time is up or the platform has an event waiting.
    void SleepUntilEvent(unsigned int uMilliseconds);
    // The frame timer on the application's clock.
    void RestartFrameTimer();
    unsigned int FrameTickMilliseconds();
    CKorvelSurface* LoadFingerImage();

    // ---- data

    CKorvelTimer m_FrameTimer;
    float m_fFrameTime; // seconds of the last frame
    CKorvelRect<int> m_rcWindow;
    CKorvelRect<int> m_rcClient;
    plat::screen_window_t m_pWindow; // owned
    CKorvelSurface m_BackBuffer;     // the drawing target without a graphics extension
    void (IKorvelApplication::*m_pFlipRoutine)();
    CKorvelAppTimers m_Timers;
    SKE_DISPLAYMODE m_DisplayMode;
    unsigned int m_uActive;
    unsigned int m_uStarted;
    eKET_UPDATE_MODE m_eUpdateMode;
    unsigned int m_uUpdateInterval; // ms
    unsigned int m_uLastActivityTick;
    unsigned int m_uSleeping;
    CKorvelString m_strTitle;
    int m_aiResources[3];
    unsigned int* m_puPalette;          // 256 colours, owned
    unsigned char* m_pucPaletteLookup;  // 4096 entries, owned
    CKorvelPtrArray m_Runnables;        // IKorvelRunnable*
    CKorvelPtrArray m_EventListeners;   // CKorvelEventListener*
    unsigned char m_aucKeyStates[256];  // by eKET_KEYCODE, 1 = held
    unsigned char m_aucButtonStates[8]; // by mouse button or touch index
    int m_iMouseX, m_iMouseY;
    CKorvelVector2 m_vMouseNormalised;
    int m_iMouseWheel; // sum of all wheel deltas
    unsigned int m_uRunning;
    CKorvelMutex m_PostedEventLock;
    CKorvelPtrArray m_PostedEvents; // CKorvelEvent*, owned
    plat::screen_context_t m_pScreenContext;
    plat::screen_display_t m_pDisplay;
    plat::img_lib_t m_pImageLibrary;
    IKorvelGraphicsExt* m_pGraphicsExt; // owned
    unsigned int m_uModalDialogMode;
    CKorvelUsabilityDataCollection* m_pRecording;      // not owned
    const CKorvelUsabilityDataCollection* m_pPlayback; // not owned
    unsigned int m_uPlaybackFrame;
    unsigned int m_uReplaying;
    CKorvelSurface* m_pFingerImage; // owned
    float m_fFingerTime;
    int m_iFingerX, m_iFingerY;
    IKorvelClock* m_pClock; // not owned
    CKorvelRandom m_Random;

private:
    IKorvelApplication(const IKorvelApplication&) = delete;
    IKorvelApplication& operator=(const IKorvelApplication&) = delete;
};
