// What the single-window end-to-end drivers share: a child process in a process group of
// its own, the game's window found and read back from a second X connection, pictures
// saved as PNG, and steps that name what did not happen.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <X11/Xlib.h>

// A program started by a driver; the destructor kills its whole process group, so nothing
// it started is left behind when a step fails.
class CE2eProcess
{
public:
    CE2eProcess() = default;
    ~CE2eProcess();
    CE2eProcess(const CE2eProcess&) = delete;
    CE2eProcess& operator=(const CE2eProcess&) = delete;

    // aArgs[0] is the program's path; aEnv holds NAME=value entries added to the driver's
    // environment (a bare NAME removes it). Output goes to the two files.
    bool Start(const std::vector<std::string>& aArgs, const std::vector<std::string>& aEnv,
               const std::string& strDir, const std::string& strOut, const std::string& strErr);
    // The exit status once it ended within the time; -1 when it did not or a signal ended it.
    int Wait(int iSeconds);
    bool Running();
    pid_t Pid() const { return m_Pid; }

private:
    pid_t m_Pid = -1;
    bool m_bReaped = false;
    int m_iStatus = 0;
};

// A window's pixels as 0xRRGGBB, row by row.
struct sE2eShot
{
    int m_iWidth = 0;
    int m_iHeight = 0;
    std::vector<uint32_t> m_aPixels;

    uint32_t At(int x, int y) const { return m_aPixels[size_t(y) * size_t(m_iWidth) + size_t(x)]; }
    bool Save(const std::string& strPath) const;
};

struct sE2eRect
{
    int m_iLeft, m_iTop, m_iRight, m_iBottom;
    int CentreX() const { return (m_iLeft + m_iRight) / 2; }
    int CentreY() const { return (m_iTop + m_iBottom) / 2; }
};

bool E2eNear(uint32_t uPixel, uint32_t uRgb, int iTolerance);
// Each pixel of the rectangle (clipped to the picture), row by row.
void E2eEachPixel(const sE2eShot& shot, const sE2eRect& rect,
                  const std::function<void(int x, int y, uint32_t uPixel)>& fnPixel);
// The columns from the first to the last holding a pixel the test takes as ink, 0 when none.
int E2eInkSpan(const sE2eShot& shot, const sE2eRect& rect,
               const std::function<bool(int x, int y, uint32_t uPixel)>& fnInk);
// Pixels of the rectangle (clipped to the picture) within the tolerance of the colour.
int E2eCountNear(const sE2eShot& shot, const sE2eRect& rect, uint32_t uRgb, int iTolerance);
// Whether the rectangle holds the same pixels in both pictures (of one size).
bool E2eSameIn(const sE2eShot& a, const sE2eShot& b, const sE2eRect& rect);
// Distinct colours, and the share of the most frequent one.
void E2eColourSpread(const sE2eShot& shot, int& iDistinct, double& fTopShare);

class CE2eDisplay
{
public:
    CE2eDisplay();
    ~CE2eDisplay();
    CE2eDisplay(const CE2eDisplay&) = delete;
    CE2eDisplay& operator=(const CE2eDisplay&) = delete;

    Display* Get() const { return m_pDisplay; }
    std::set<Window> TopLevelWindows() const;
    // A mapped top-level window that is not in the set, 0 when none.
    Window NewWindow(const std::set<Window>& before) const;
    // The whole window, or only the part given: the shot keeps the window's size, and outside
    // the part it holds what it held before.
    bool Capture(Window window, sE2eShot& shot, const sE2eRect* pPart = nullptr) const;
    // A press of button 1 at window coordinates, held for a moment, and its release.
    void Click(Window window, int x, int y) const;
    // WM_DELETE_WINDOW, as a window manager sends it when the user closes the window.
    void Close(Window window) const;

private:
    Display* m_pDisplay;
};

// Polls until the condition holds; false after the time limit (a guard against hanging,
// never a measurement).
bool E2eWaitFor(const std::function<bool()>& fnDone, int iSeconds);

// One driver run: its output folder <build>/test-output/e2e/<name>/ (emptied at the start
// and kept afterwards), and its steps, printed as they pass; the first that fails is named.
class CE2eRun
{
public:
    explicit CE2eRun(const std::string& strName);
    const std::string& Folder() const { return m_strFolder; }
    std::string File(const std::string& strName) const { return m_strFolder + "/" + strName; }
    // Prints the step; false (and the failure remembered) when it did not happen.
    bool Step(bool bDone, const std::string& strWhat, const std::string& strDetail = "");
    int ExitCode() const { return m_bFailed ? 1 : 0; }

private:
    std::string m_strFolder;
    bool m_bFailed = false;
};

// The first line of a sanitizer report in the text, "" when there is none.
std::string E2eSanitizerReport(const std::string& strText);
std::string E2eReadText(const std::string& strPath);
