#include "tests/e2e/E2eWindow.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ios>
#include <thread>
#include <unordered_map>

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include "support/ChildProcess.h"
#include "support/TestMedia.h"

// ---- processes ----

CE2eProcess::~CE2eProcess()
{
    if (m_Pid <= 0)
        return;
    // The group: a script's own children go with it.
    kill(-m_Pid, SIGKILL);
    if (!m_bReaped)
        waitpid(m_Pid, nullptr, 0);
}

bool CE2eProcess::Start(const std::vector<std::string>& aArgs, const std::vector<std::string>& aEnv,
                        const std::string& strDir, const std::string& strOut, const std::string& strErr)
{
    // Everything is made before the fork: the driver may have threads (Mesa's), so the
    // child does nothing but open, dup2, chdir and exec.
    std::vector<std::string> aVars;
    for (char** pp = environ; *pp; ++pp)
    {
        const std::string strVar = *pp;
        bool bChanged = false;
        for (const std::string& strChange : aEnv)
        {
            const std::string strPrefix = strChange.substr(0, strChange.find('=')) + "=";
            bChanged = bChanged || strVar.compare(0, strPrefix.size(), strPrefix) == 0;
        }
        if (!bChanged)
            aVars.push_back(strVar);
    }
    for (const std::string& strChange : aEnv)
        if (strChange.find('=') != std::string::npos)
            aVars.push_back(strChange);
    std::vector<char*> apArgs, apVars;
    for (const std::string& strArg : aArgs)
        apArgs.push_back(const_cast<char*>(strArg.c_str()));
    apArgs.push_back(nullptr);
    for (const std::string& strVar : aVars)
        apVars.push_back(const_cast<char*>(strVar.c_str()));
    apVars.push_back(nullptr);

    const pid_t parent = getpid();
    // Started again after it ended: the new process is not reaped yet.
    m_bReaped = false;
    m_Pid = fork();
    if (m_Pid < 0)
        return false;
    if (m_Pid == 0)
    {
        DieWithTest(parent);
        setpgid(0, 0);
        const int iOut = open(strOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int iErr = open(strErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (iOut < 0 || iErr < 0 || chdir(strDir.c_str()) != 0)
            _exit(126);
        dup2(iOut, 1);
        dup2(iErr, 2);
        execve(apArgs[0], apArgs.data(), apVars.data());
        _exit(127);
    }
    // Also here, so that a kill of the group cannot come before the child made it.
    setpgid(m_Pid, m_Pid);
    return true;
}

int CE2eProcess::Wait(int iSeconds)
{
    if (m_Pid <= 0)
        return -1;
    int iStatus = 0;
    if (!m_bReaped)
        m_bReaped = E2eWaitFor([&] { return waitpid(m_Pid, &iStatus, WNOHANG) == m_Pid; }, iSeconds);
    if (!m_bReaped)
        return -1;
    m_iStatus = iStatus;
    return WIFEXITED(m_iStatus) ? WEXITSTATUS(m_iStatus) : -1;
}

bool CE2eProcess::Running()
{
    if (m_Pid <= 0 || m_bReaped)
        return false;
    int iStatus = 0;
    if (waitpid(m_Pid, &iStatus, WNOHANG) == m_Pid)
    {
        m_bReaped = true;
        m_iStatus = iStatus;
    }
    return !m_bReaped;
}

// ---- pictures ----

bool sE2eShot::Save(const std::string& strPath) const
{
    std::vector<uint8_t> aRGBA;
    aRGBA.reserve(m_aPixels.size() * 4);
    for (uint32_t uPixel : m_aPixels)
    {
        aRGBA.push_back(uint8_t(uPixel >> 16));
        aRGBA.push_back(uint8_t(uPixel >> 8));
        aRGBA.push_back(uint8_t(uPixel));
        aRGBA.push_back(255);
    }
    return WriteTestPng(strPath, m_iWidth, m_iHeight, aRGBA, false);
}

bool E2eNear(uint32_t uPixel, uint32_t uRgb, int iTolerance)
{
    for (int iShift : {0, 8, 16})
        if (std::abs(int((uPixel >> iShift) & 0xFF) - int((uRgb >> iShift) & 0xFF)) > iTolerance)
            return false;
    return true;
}

void E2eEachPixel(const sE2eShot& shot, const sE2eRect& rect,
                  const std::function<void(int x, int y, uint32_t uPixel)>& fnPixel)
{
    for (int y = std::max(rect.m_iTop, 0); y < std::min(rect.m_iBottom, shot.m_iHeight); ++y)
        for (int x = std::max(rect.m_iLeft, 0); x < std::min(rect.m_iRight, shot.m_iWidth); ++x)
            fnPixel(x, y, shot.At(x, y));
}

int E2eInkSpan(const sE2eShot& shot, const sE2eRect& rect,
               const std::function<bool(int x, int y, uint32_t uPixel)>& fnInk)
{
    int iFirst = -1, iLast = -1;
    E2eEachPixel(shot, rect,
                 [&](int x, int y, uint32_t uPixel)
                 {
                     if (!fnInk(x, y, uPixel))
                         return;
                     iFirst = iFirst < 0 || x < iFirst ? x : iFirst;
                     iLast = std::max(iLast, x);
                 });
    return iFirst < 0 ? 0 : iLast - iFirst + 1;
}

int E2eCountNear(const sE2eShot& shot, const sE2eRect& rect, uint32_t uRgb, int iTolerance)
{
    int iCount = 0;
    E2eEachPixel(shot, rect,
                 [&](int, int, uint32_t uPixel) { iCount += E2eNear(uPixel, uRgb, iTolerance) ? 1 : 0; });
    return iCount;
}

bool E2eSameIn(const sE2eShot& a, const sE2eShot& b, const sE2eRect& rect)
{
    if (a.m_iWidth != b.m_iWidth || a.m_iHeight != b.m_iHeight)
        return false;
    bool bSame = true;
    E2eEachPixel(a, rect, [&](int x, int y, uint32_t uPixel) { bSame = bSame && uPixel == b.At(x, y); });
    return bSame;
}

void E2eColourSpread(const sE2eShot& shot, int& iDistinct, double& fTopShare)
{
    std::unordered_map<uint32_t, size_t> counts;
    size_t uTop = 0;
    for (uint32_t uPixel : shot.m_aPixels)
        uTop = std::max(uTop, ++counts[uPixel]);
    iDistinct = int(counts.size());
    fTopShare = shot.m_aPixels.empty() ? 1.0 : double(uTop) / double(shot.m_aPixels.size());
}

// ---- the display ----

namespace
{
// A window may go while it is read (the game ended): the request fails, the driver goes on.
int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}
} // namespace

CE2eDisplay::CE2eDisplay() : m_pDisplay(XOpenDisplay(nullptr))
{
    XSetErrorHandler(IgnoreXError);
}

CE2eDisplay::~CE2eDisplay()
{
    if (m_pDisplay)
        XCloseDisplay(m_pDisplay);
}

std::set<Window> CE2eDisplay::TopLevelWindows() const
{
    std::set<Window> windows;
    Window root = DefaultRootWindow(m_pDisplay), parent = 0, *pChildren = nullptr;
    unsigned int uCount = 0;
    if (!XQueryTree(m_pDisplay, root, &root, &parent, &pChildren, &uCount))
        return windows;
    for (unsigned int u = 0; u < uCount; ++u)
    {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(m_pDisplay, pChildren[u], &attributes) && attributes.map_state == IsViewable)
            windows.insert(pChildren[u]);
    }
    if (pChildren)
        XFree(pChildren);
    return windows;
}

Window CE2eDisplay::NewWindow(const std::set<Window>& before) const
{
    for (Window window : TopLevelWindows())
        if (!before.count(window))
            return window;
    return 0;
}

bool CE2eDisplay::Capture(Window window, sE2eShot& shot, const sE2eRect* pPart) const
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_pDisplay, window, &attributes))
        return false;
    sE2eRect part = {0, 0, attributes.width, attributes.height};
    if (pPart)
        part = {std::max(pPart->m_iLeft, 0), std::max(pPart->m_iTop, 0),
                std::min(pPart->m_iRight, part.m_iRight), std::min(pPart->m_iBottom, part.m_iBottom)};
    if (part.m_iRight <= part.m_iLeft || part.m_iBottom <= part.m_iTop)
        return false;
    XImage* pImage =
        XGetImage(m_pDisplay, window, part.m_iLeft, part.m_iTop, unsigned(part.m_iRight - part.m_iLeft),
                  unsigned(part.m_iBottom - part.m_iTop), AllPlanes, ZPixmap);
    if (!pImage)
        return false;
    shot.m_iWidth = attributes.width;
    shot.m_iHeight = attributes.height;
    shot.m_aPixels.resize(size_t(shot.m_iWidth) * size_t(shot.m_iHeight));
    // Xvfb's 24-bit screens hold each pixel as 0x00RRGGBB in a word of the host's order: read
    // straight from the rows. A pixel at a time costs a loaded machine seconds a picture, and a
    // watch of two windows for a toast of three seconds then misses it.
    const bool bWords =
        pImage->bits_per_pixel == 32 && pImage->red_mask == 0xFF0000ul && pImage->green_mask == 0xFF00ul &&
        pImage->blue_mask == 0xFFul &&
        pImage->byte_order == (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst);
    const int iWidth = part.m_iRight - part.m_iLeft;
    for (int y = part.m_iTop; y < part.m_iBottom; ++y)
    {
        uint32_t* pRow = &shot.m_aPixels[size_t(y) * size_t(shot.m_iWidth) + size_t(part.m_iLeft)];
        const int iImageY = y - part.m_iTop;
        if (bWords)
        {
            std::memcpy(pRow, pImage->data + size_t(iImageY) * size_t(pImage->bytes_per_line),
                        size_t(iWidth) * sizeof(uint32_t));
            for (int x = 0; x < iWidth; ++x)
                pRow[x] &= 0xFFFFFFu;
        }
        else
            for (int x = 0; x < iWidth; ++x)
                pRow[x] = uint32_t(XGetPixel(pImage, x, iImageY) & 0xFFFFFFul);
    }
    XDestroyImage(pImage);
    return true;
}

void CE2eDisplay::Click(Window window, int x, int y) const
{
    Window child = 0;
    int iRootX = x, iRootY = y;
    XTranslateCoordinates(m_pDisplay, window, DefaultRootWindow(m_pDisplay), x, y, &iRootX, &iRootY, &child);
    // The keys go where the player clicked, as under a click-to-focus window manager: each
    // game takes the focus when its window appears.
    XSetInputFocus(m_pDisplay, window, RevertToParent, CurrentTime);
    XTestFakeMotionEvent(m_pDisplay, DefaultScreen(m_pDisplay), iRootX, iRootY, CurrentTime);
    XTestFakeButtonEvent(m_pDisplay, 1, True, CurrentTime);
    XFlush(m_pDisplay);
    // Held over a few frames, as a finger is: the game's buttons see the press and the
    // release in different frames.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    XTestFakeButtonEvent(m_pDisplay, 1, False, CurrentTime);
    XFlush(m_pDisplay);
}

void CE2eDisplay::Close(Window window) const
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(m_pDisplay, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(m_pDisplay, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_pDisplay, window, False, NoEventMask, &event);
    XFlush(m_pDisplay);
}

bool E2eWaitFor(const std::function<bool()>& fnDone, int iSeconds)
{
    const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(iSeconds);
    while (!fnDone())
    {
        if (std::chrono::steady_clock::now() > tEnd)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// ---- runs and steps ----

CE2eRun::CE2eRun(const std::string& strName)
{
    const char* pBuild = std::getenv("KORVEL_BINARY_DIR");
    m_strFolder = std::string(pBuild ? pBuild : ".") + "/test-output/e2e/" + strName;
    std::error_code ec;
    std::filesystem::remove_all(m_strFolder, ec);
    std::filesystem::create_directories(m_strFolder, ec);
}

bool CE2eRun::Step(bool bDone, const std::string& strWhat, const std::string& strDetail)
{
    if (bDone)
    {
        std::printf("done: %s\n", strWhat.c_str());
    }
    else
    {
        std::printf("FAILED: %s did not happen%s%s\n(pictures and logs of the run: %s)\n", strWhat.c_str(),
                    strDetail.empty() ? "" : "\n", strDetail.c_str(), m_strFolder.c_str());
        m_bFailed = true;
    }
    std::fflush(stdout);
    return bDone;
}

std::string E2eSanitizerReport(const std::string& strText)
{
    for (const char* pMark : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"})
    {
        const size_t uAt = strText.find(pMark);
        if (uAt != std::string::npos)
        {
            const size_t uStart = strText.rfind('\n', uAt);
            const size_t uBegin = uStart == std::string::npos ? 0 : uStart + 1;
            return strText.substr(uBegin, strText.find('\n', uAt) - uBegin);
        }
    }
    return "";
}

std::string E2eReadText(const std::string& strPath)
{
    // A process's file in /proc fails to read once the process has ended: nothing then.
    try
    {
        const std::vector<uint8_t> aBytes = ReadTestFile(strPath);
        return std::string(aBytes.begin(), aBytes.end());
    }
    catch (const std::ios_base::failure&)
    {
        return "";
    }
}
