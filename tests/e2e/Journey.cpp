#include "tests/e2e/Journey.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "KorvelCommon/KorvelFile.h"

namespace
{

// A text's pixels: near the colour, in a column of the widget's rectangle.
const int TEXT_TOLERANCE = 48;
// Ink is a little narrower than the advance the font reports.
const int WIDTH_SLACK = 4;

std::string Env(const char* pName)
{
    const char* pValue = std::getenv(pName);
    return pValue ? pValue : ".";
}

void Pause(int iMilliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(iMilliseconds));
}

// The game's process in the script's process group: the one run from the build's game/.
pid_t GameOf(pid_t group)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc"))
    {
        const std::string strPid = entry.path().filename().string();
        if (strPid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = pid_t(std::atoi(strPid.c_str()));
        std::error_code ec;
        const std::filesystem::path exe = std::filesystem::read_symlink(entry.path() / "exe", ec);
        if (!ec && getpgid(pid) == group && exe.parent_path().filename() == "game")
            return pid;
    }
    return 0;
}

} // namespace

CJourney::CJourney(const std::string& strName)
    : m_Run(strName), m_strHome(m_Home.Path()), m_pPorts(std::make_unique<CE2ePortPair>()),
      m_iPort(m_pPorts->Port())
{
}

CJourney::CJourney(CJourney& host, int iPlayer)
    : m_Run(host.m_Run.Folder().substr(host.m_Run.Folder().rfind("/e2e/") + 5) + "/player" +
            std::to_string(iPlayer)),
      m_strHome(host.m_strHome), m_iPlayer(iPlayer), m_iPort(host.m_iPort)
{
    host.m_aGuests.push_back(this);
}

CJourney::~CJourney()
{
    KeepLogs();
}

// ---- the game

std::string CJourney::Script() const
{
    return Env("KORVEL_SOURCE_DIR") + "/tools/run_game.sh";
}

std::string CJourney::GameFolder() const
{
    // The only folder run_game.sh makes in XDG_DATA_HOME.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(m_strHome, ec))
        if (entry.is_directory())
            return entry.path().string();
    return m_strHome + "/none";
}

void CJourney::Start(bool bOwnServer)
{
    Require(m_iPort > 0 && m_Display.Get() != nullptr, "a free port pair and the X display were found");
    const std::string strName = "game" + std::to_string(++m_iStarts);
    const std::set<Window> before = m_Display.TopLevelWindows();
    // The server's log goes on over restarts: this run's records come after the old ones.
    m_uRunStart = m_pLog ? m_pLog->Count() : 0;
    m_pScript = std::make_unique<CE2eProcess>();
    Require(m_pScript->Start({"/bin/bash", Script(), Env("KORVEL_BINARY_DIR")},
                             {"XDG_DATA_HOME=" + m_strHome, "LOBBY_PORT=" + std::to_string(m_iPort),
                              "PLAYER=" + std::to_string(m_iPlayer),
                              bOwnServer ? "SERVER" : "SERVER=127.0.0.1:" + std::to_string(m_iPort), "LAN"},
                             m_strHome, m_Run.File(strName + "-stdout.txt"),
                             m_Run.File(strName + "-stderr.txt")),
            "tools/run_game.sh started (" + strName + ")");
    m_Window = 0;
    E2eWaitFor([&] { return (m_Window = m_Display.NewWindow(before)) != 0 || !m_pScript->Running(); },
               JOURNEY_START_SECONDS);
    Expect(m_Window != 0, "the game's window appeared (" + strName + ")",
           E2eReadText(m_Run.File(strName + "-stderr.txt")));
    if (m_iPlayer > 1)
    {
        // Side by side, so that neither covers what the other shows.
        XWindowAttributes attributes = {};
        XGetWindowAttributes(m_Display.Get(), m_Window, &attributes);
        XMoveWindow(m_Display.Get(), m_Window, (m_iPlayer - 1) * attributes.width, 0);
        XSync(m_Display.Get(), False);
    }
    if (!m_pLog)
        m_pLog = std::make_unique<lobby_match::CServerLog>(GameFolder() + "/lobby/server.log");
}

bool CJourney::Running()
{
    return m_pScript && m_pScript->Running();
}

int CJourney::StopWith(int iSignal)
{
    const pid_t game = m_pScript ? GameOf(m_pScript->Pid()) : 0;
    Require(game > 0, "the game's process was found");
    kill(game, iSignal);
    const int iExit = m_pScript->Wait(JOURNEY_STEP_SECONDS);
    m_Window = 0;
    return iExit;
}

void CJourney::StopServer()
{
    pid_t server = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc"))
    {
        const std::string strPid = entry.path().filename().string();
        if (strPid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = pid_t(std::atoi(strPid.c_str()));
        if (getpgid(pid) != m_pScript->Pid())
            continue;
        const std::string strCommand = E2eReadText(entry.path().string() + "/cmdline");
        if (strCommand.find("server.py") != std::string::npos &&
            strCommand.find("--probe") == std::string::npos)
            server = pid;
    }
    Require(server > 0, "the lobby server's process was found");
    kill(server, SIGTERM);
    Say("the lobby server was stopped");
}

int CJourney::Close()
{
    m_Display.Close(m_Window);
    const int iExit = m_pScript->Wait(JOURNEY_STEP_SECONDS);
    m_Window = 0;
    return iExit;
}

bool CJourney::ReadStore(CVornStatistics& store) const
{
    // The game replaces the file whole: a reading never finds it half written.
    CKorvelFile file;
    return file.OpenFromFile(CKorvelString((InstanceFolder() + "/data/stats.dat").c_str()),
                             CKorvelFile::FLAG_READ) == KE_OK &&
           store.ReadStatistics(file) == KE_OK;
}

void CJourney::Resize(int iWidth, int iHeight)
{
    XResizeWindow(m_Display.Get(), m_Window, unsigned(iWidth), unsigned(iHeight));
    XSync(m_Display.Get(), False);
    Say("the window was resized to " + std::to_string(iWidth) + " x " + std::to_string(iHeight));
}

// ---- steps

void CJourney::Say(const std::string& strText) const
{
    // Seconds since the driver started: where a run lost its time shows in its output.
    static const auto tStart = std::chrono::steady_clock::now();
    const double fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
    if (m_iPlayer > 1)
        std::printf("journey %6.1f s, player %d: %s\n", fSeconds, m_iPlayer, strText.c_str());
    else
        std::printf("journey %6.1f s: %s\n", fSeconds, strText.c_str());
    std::fflush(stdout);
}

void CJourney::Expect(bool bDone, const std::string& strStep, const std::string& strDetail)
{
    if (!bDone)
        throw sJourneyFailure{strStep, strDetail};
    Say("done: " + strStep);
}

void CJourney::Require(bool bDone, const std::string& strStep, const std::string& strDetail)
{
    if (!bDone)
        throw sJourneyFailure{strStep, strDetail};
}

void CJourney::WaitFor(const std::function<bool()>& fnDone, const std::string& strStep, int iSeconds)
{
    if (!E2eWaitFor(fnDone, iSeconds))
        throw sJourneyFailure{strStep, "not within " + std::to_string(iSeconds) + " s"};
    Say("done: " + strStep);
}

void CJourney::Keep(const std::string& strName)
{
    if (m_Window && m_Display.Capture(m_Window, m_Shot))
        Keep(strName, m_Shot);
}

void CJourney::Keep(const std::string& strName, const sE2eShot& shot) const
{
    shot.Save(m_Run.File(strName + ".png"));
}

int CJourney::Run(const std::function<void()>& fnBody)
{
    try
    {
        fnBody();
    }
    catch (const sJourneyFailure& failure)
    {
        Keep("failed");
        for (CJourney* pGuest : m_aGuests)
            pGuest->Keep("failed");
        KeepLogs();
        std::printf("FAILED: %s did not happen%s%s\n(pictures and logs of the run: %s)\n",
                    failure.m_strStep.c_str(), failure.m_strDetail.empty() ? "" : "\n",
                    failure.m_strDetail.c_str(), m_Run.Folder().c_str());
        std::fflush(stdout);
        return 1;
    }
    KeepLogs();
    std::string strReport = SanitizerReport();
    for (size_t u = 0; u < m_aGuests.size() && strReport.empty(); ++u)
        strReport = m_aGuests[u]->SanitizerReport();
    if (!strReport.empty())
    {
        std::printf("FAILED: a game ran with a sanitizer report\n%s\n", strReport.c_str());
        return 1;
    }
    Say("passed");
    return 0;
}

std::string CJourney::SanitizerReport() const
{
    for (int i = 1; i <= m_iStarts; ++i)
    {
        const std::string strFile = m_Run.File("game" + std::to_string(i) + "-stderr.txt");
        const std::string strReport = E2eSanitizerReport(E2eReadText(strFile));
        if (!strReport.empty())
            return strFile + ":\n" + strReport;
    }
    return "";
}

void CJourney::KeepLogs() const
{
    std::error_code ec;
    std::filesystem::copy_file(GameFolder() + "/lobby/server.log", m_Run.File("server.log"),
                               std::filesystem::copy_options::overwrite_existing, ec);
}

// ---- the layout

void CJourney::Probe(const std::vector<std::string>& aPaths)
{
    std::vector<std::string> aMissing;
    for (const std::string& strPath : aPaths)
        if (!m_Widgets.count(strPath))
            aMissing.push_back(strPath);
    if (aMissing.empty())
        return;
    // The build's application folder: the shipped packs, as the instance links them.
    std::string strCommand = "cd '" + Env("KORVEL_BINARY_DIR") + "/run' && '" LAYOUT_PROBE_PATH "' " +
                             std::to_string(m_Shot.m_iWidth > 0 ? m_Shot.m_iWidth : 1024) + " " +
                             std::to_string(m_Shot.m_iHeight > 0 ? m_Shot.m_iHeight : 600);
    for (const std::string& strPath : aMissing)
        strCommand += " '" + strPath + "'";
    FILE* pPipe = popen(strCommand.c_str(), "r");
    Require(pPipe != nullptr, "the layout probe started");
    size_t uNext = 0;
    char acLine[256];
    while (std::fgets(acLine, sizeof(acLine), pPipe) && uNext < aMissing.size())
    {
        sJourneyWidget widget;
        sE2eRect& r = widget.m_Rect;
        if (std::sscanf(acLine, "%d %d %d %d %d", &r.m_iLeft, &r.m_iTop, &r.m_iRight, &r.m_iBottom,
                        &widget.m_iTextWidth) != 5)
            throw sJourneyFailure{"the layout probe placed " + aMissing[uNext], acLine};
        m_Widgets[aMissing[uNext++]] = widget;
    }
    const int iStatus = pclose(pPipe);
    Require(iStatus == 0 && uNext == aMissing.size(), "the layout probe placed every widget asked for");
}

const sJourneyWidget& CJourney::Widget(const std::string& strPath)
{
    Probe({strPath});
    return m_Widgets[strPath];
}

int CJourney::TextWidth(const std::string& strPath, int iText)
{
    return Widget(strPath + "=" + std::to_string(iText)).m_iTextWidth;
}

int CJourney::LiteralWidth(const std::string& strPath, const std::string& strText)
{
    return Widget(strPath + "~" + strText).m_iTextWidth;
}

// ---- what the window shows

const sE2eShot& CJourney::Look()
{
    std::swap(m_PreviousShot, m_Shot);
    if (!m_Window || !m_Display.Capture(m_Window, m_Shot))
        m_Shot = sE2eShot();
    return m_Shot;
}

const sE2eShot& CJourney::LookAt(const sE2eRect& part)
{
    std::swap(m_PreviousShot, m_Shot);
    if (!m_Window || !m_Display.Capture(m_Window, m_Shot, &part))
        m_Shot = sE2eShot();
    return m_Shot;
}

bool CJourney::Shows(const std::string& strPath, uint32_t uColour, int iWidth)
{
    return ShowsIn(Widget(strPath).m_Rect, uColour, iWidth);
}

bool CJourney::ShowsIn(const sE2eRect& r, uint32_t uColour, int iWidth) const
{
    if (m_Shot.m_iWidth == 0 || m_Shot.m_iWidth != m_PreviousShot.m_iWidth ||
        m_Shot.m_iHeight != m_PreviousShot.m_iHeight)
        return false;
    int iFirst = -1, iLast = -1, iPixels = 0;
    for (int x = std::max(r.m_iLeft, 0); x < std::min(r.m_iRight, m_Shot.m_iWidth); ++x)
    {
        bool bInk = false;
        for (int y = std::max(r.m_iTop, 0); y < std::min(r.m_iBottom, m_Shot.m_iHeight); ++y)
        {
            // Still: a page that slides in is not read until it has settled.
            if (m_Shot.At(x, y) != m_PreviousShot.At(x, y))
                return false;
            if (E2eNear(m_Shot.At(x, y), uColour, TEXT_TOLERANCE))
            {
                bInk = true;
                ++iPixels;
            }
        }
        if (bInk)
        {
            iFirst = iFirst < 0 ? x : iFirst;
            iLast = x;
        }
    }
    if (iWidth <= 0)
        return iPixels >= 20;
    const int iSeen = iFirst < 0 ? 0 : iLast - iFirst + 1;
    return iPixels >= iWidth / 2 && std::abs(iSeen - iWidth) <= WIDTH_SLACK + iWidth / 10;
}

bool CJourney::AtRest(const sE2eRect& r, const std::function<bool(const sE2eShot&, int&, int&)>& fnFind,
                      int& iX, int& iY)
{
    // Three pictures over half a second, since a slow game may draw one frame in two pictures.
    // Only the scenery above the mark is compared: the water below it moves all the time. A
    // count-down's fading band or a pan changes far more than a sixth of it; the mark drifts a
    // few pixels as a worn item wobbles over it or a banner fades across it.
    const int iPictures = 3, iApartMilliseconds = 250, iMovingShare = 6, iDrift = 4;
    if (!fnFind(Look(), iX, iY))
        return false;
    for (int i = 1; i < iPictures; ++i)
    {
        Pause(iApartMilliseconds);
        const int iLastX = iX, iLastY = iY;
        if (!fnFind(Look(), iX, iY) || std::abs(iX - iLastX) > iDrift || std::abs(iY - iLastY) > iDrift ||
            m_Shot.m_iWidth != m_PreviousShot.m_iWidth || m_Shot.m_iHeight != m_PreviousShot.m_iHeight)
            return false;
        const sE2eRect above = {r.m_iLeft, r.m_iTop, r.m_iRight, std::min(r.m_iBottom, iY)};
        int iPixels = 0, iMoved = 0;
        E2eEachPixel(m_Shot, above,
                     [&](int x, int y, uint32_t uPixel)
                     {
                         ++iPixels;
                         iMoved += uPixel == m_PreviousShot.At(x, y) ? 0 : 1;
                     });
        if (iMoved * iMovingShare > iPixels)
            return false;
    }
    return true;
}

bool CJourney::ShowsOwnText(const std::string& strPath, uint32_t uColour)
{
    return Shows(strPath, uColour, Widget(strPath).m_iTextWidth);
}

std::vector<uint32_t> CJourney::Pixels(const std::string& strPath)
{
    const sE2eRect r = Widget(strPath).m_Rect;
    std::vector<uint32_t> aPixels;
    E2eEachPixel(m_Shot, r, [&](int, int, uint32_t uPixel) { aPixels.push_back(uPixel); });
    return aPixels;
}

int CJourney::Differing(const std::vector<uint32_t>& aFirst, const std::vector<uint32_t>& aSecond)
{
    if (aFirst.size() != aSecond.size())
        return int(std::max(aFirst.size(), aSecond.size()));
    int iCount = 0;
    for (size_t u = 0; u < aFirst.size(); ++u)
        iCount += E2eNear(aFirst[u], aSecond[u], 8) ? 0 : 1;
    return iCount;
}

// ---- input

void CJourney::Click(int x, int y)
{
    m_Display.Click(m_Window, x, y);
}

void CJourney::PressWidget(const std::string& strPath)
{
    Press(Widget(strPath).m_Rect, strPath);
}

void CJourney::Press(const sE2eRect& r, const std::string& strWhat)
{
    Say("press " + strWhat);
    Click(r.CentreX(), r.CentreY());
}

bool CJourney::PressWhileUnchanged(const sE2eRect& r, const std::string& strWhat,
                                   const std::function<bool()>& fnDone, int iWaitSeconds)
{
    const int iPresses = 4, iWaits = 8;
    sE2eShot before;
    for (int iWait = 0, iPressed = 0; iWait < iWaits; ++iWait)
    {
        if (iPressed == 0 || (iPressed < iPresses && E2eSameIn(before, Look(), r)))
        {
            Press(r, strWhat);
            ++iPressed;
        }
        before = Look();
        if (E2eWaitFor(fnDone, iWaitSeconds))
            return true;
    }
    return false;
}

void CJourney::PressKey(unsigned long uKeySym, bool bControl)
{
    Display* pDisplay = m_Display.Get();
    const KeyCode uCode = XKeysymToKeycode(pDisplay, KeySym(uKeySym));
    const bool bShift = XkbKeycodeToKeysym(pDisplay, uCode, 0, 0) != KeySym(uKeySym);
    const KeyCode uShift = XKeysymToKeycode(pDisplay, XK_Shift_L);
    const KeyCode uControl = XKeysymToKeycode(pDisplay, XK_Control_L);
    // With two windows and no window manager, keys go where the focus is: to this window.
    XSetInputFocus(pDisplay, m_Window, RevertToParent, CurrentTime);
    if (bControl)
        XTestFakeKeyEvent(pDisplay, uControl, True, CurrentTime);
    if (bShift)
        XTestFakeKeyEvent(pDisplay, uShift, True, CurrentTime);
    XTestFakeKeyEvent(pDisplay, uCode, True, CurrentTime);
    XTestFakeKeyEvent(pDisplay, uCode, False, CurrentTime);
    if (bShift)
        XTestFakeKeyEvent(pDisplay, uShift, False, CurrentTime);
    if (bControl)
        XTestFakeKeyEvent(pDisplay, uControl, False, CurrentTime);
    // No pause: keys, characters and presses that reach the game in one frame must keep
    // their order there.
    XFlush(pDisplay);
}

void CJourney::TypeText(const std::string& strText)
{
    Say("type \"" + strText + "\"");
    for (const char c : strText)
        PressKey(static_cast<unsigned char>(c));
}

void CJourney::Drag(int x0, int y0, int x1, int y1, int iSteps)
{
    const int iStepMilliseconds = 15, iHoldMilliseconds = 250;
    Say("drag from " + std::to_string(x0) + "," + std::to_string(y0) + " to " + std::to_string(x1) + "," +
        std::to_string(y1));
    Display* pDisplay = m_Display.Get();
    const int iScreen = DefaultScreen(pDisplay);
    Window child = 0;
    int iLeft = 0, iTop = 0;
    XTranslateCoordinates(pDisplay, m_Window, DefaultRootWindow(pDisplay), 0, 0, &iLeft, &iTop, &child);
    XTestFakeMotionEvent(pDisplay, iScreen, iLeft + x0, iTop + y0, CurrentTime);
    XTestFakeButtonEvent(pDisplay, 1, True, CurrentTime);
    // The first move comes with the press, the others a little apart.
    for (int i = 1; i <= iSteps; ++i)
    {
        XTestFakeMotionEvent(pDisplay, iScreen, iLeft + x0 + (x1 - x0) * i / iSteps,
                             iTop + y0 + (y1 - y0) * i / iSteps, CurrentTime);
        XFlush(pDisplay);
        Pause(iStepMilliseconds);
    }
    // Held at the end for a few frames, so the last move is seen before the release.
    Pause(iHoldMilliseconds);
    XTestFakeButtonEvent(pDisplay, 1, False, CurrentTime);
    XFlush(pDisplay);
}

// ---- the lobby server's log

lobby_match::CServerLog& CJourney::Log()
{
    Require(m_pLog != nullptr, "the game was started before its server's log was read");
    return *m_pLog;
}

CTestJson CJourney::WaitForRecord(const std::string& strStep,
                                  const std::function<bool(const CTestJson&)>& fnMatch, size_t uFrom)
{
    int iIndex = -1;
    uFrom = std::max(uFrom, m_uRunStart);
    WaitFor([&] { return (iIndex = Log().Find(fnMatch, uFrom)) >= 0; }, strStep);
    return Log().Records()[size_t(iIndex)];
}

std::function<bool(const CTestJson&)> CJourney::Incoming(const std::string& strName)
{
    return [strName](const CTestJson& r)
    { return r["event"].String() == "in" && r["name"].String() == strName; };
}

void CJourneyLookGaps::Looked(int iWindow)
{
    const auto tNow = std::chrono::steady_clock::now();
    if (m_iLooks[iWindow]++ > 0)
        m_fLongest[iWindow] =
            std::max(m_fLongest[iWindow], std::chrono::duration<float>(tNow - m_tLast[iWindow]).count());
    m_tLast[iWindow] = tNow;
}

std::string CJourneyLookGaps::Text() const
{
    char acText[128];
    std::snprintf(acText, sizeof(acText), "%d and %d looks, at most %.1f and %.1f s apart", m_iLooks[0],
                  m_iLooks[1], double(m_fLongest[0]), double(m_fLongest[1]));
    return acText;
}
