// A player's journey through the game as `make run` starts it: tools/run_game.sh on the
// test build with a fresh XDG_DATA_HOME and a lobby port of its own, nothing seeded.
// Input goes in only as X pointer and key events (XTest) at the places the shipped layout
// gives the widgets; each step waits for what a player would see (a text in a widget's
// rectangle, the lobby server's JSON log) and a step that does not happen throws, naming
// itself. Pictures, the game's output and the server's log are kept in
// <build>/test-output/e2e/<name>/.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Framework/Shell/VornStatistics.h"
#include "support/TestJson.h"
#include "support/TestTempDir.h"
#include "support/WaitLimit.h"
#include "tests/e2e/E2ePorts.h"
#include "tests/e2e/E2eWindow.h"
#include "tests/e2e/LobbyMatchLog.h"

// Guards against hanging, never measurements: the sanitized game starts slowly, and a loaded
// machine (load 90 on 8 cores) slows every step several times over.
const int JOURNEY_START_SECONDS = int(TEST_WAIT_LIMIT.count());
const int JOURNEY_STEP_SECONDS = 120;

// The theme's text colours (assets/src/theme), as the window shows them.
const uint32_t JOURNEY_TEXT_TITLE = 0xF2C230;
const uint32_t JOURNEY_TEXT_ERROR = 0xFF6B5B;
const uint32_t JOURNEY_TEXT_PRIMARY = 0xF4F1EA;
const uint32_t JOURNEY_TEXT_DIM = 0xA9B4C2;
const uint32_t JOURNEY_TEXT_BUTTON = 0xFFFFFF;

struct sJourneyFailure
{
    std::string m_strStep;
    std::string m_strDetail;
};

// Where a widget sits and how wide its text is drawn, from the layout probe.
struct sJourneyWidget
{
    sE2eRect m_Rect = {};
    int m_iTextWidth = 0;
};

// The longest time between two looks at each of two windows: what a failed watch of a
// short-lived sight in both says of how often it looked.
class CJourneyLookGaps
{
public:
    void Looked(int iWindow);
    std::string Text() const;

private:
    int m_iLooks[2] = {0, 0};
    float m_fLongest[2] = {0.0f, 0.0f};
    std::chrono::steady_clock::time_point m_tLast[2];
};

class CJourney
{
public:
    explicit CJourney(const std::string& strName);
    // A second window on the host's machine: the same XDG_DATA_HOME and lobby server, the
    // instance folder playerN, its window placed right of the host's. Its pictures and logs
    // go to the host's folder under playerN/; the host's Run checks its output too.
    CJourney(CJourney& host, int iPlayer);
    ~CJourney();
    CJourney(const CJourney&) = delete;
    CJourney& operator=(const CJourney&) = delete;

    // ---- the game
    // tools/run_game.sh in this journey's XDG_DATA_HOME; waits for the window. Without its
    // own server the game looks for one on the journey's lobby port and finds none until
    // the journey starts it.
    void Start(bool bOwnServer = true);
    // Ends the game with the signal and waits for the script; its exit status.
    int StopWith(int iSignal);
    // Closes the window as a window manager does; the script's exit status.
    int Close();
    // Gives the window another size, as a tiling window manager does whatever the size
    // hints ask for.
    void Resize(int iWidth, int iHeight);
    bool Running();
    // Ends the lobby server the script started (as if the network went away).
    void StopServer();
    // The game's folder (<XDG_DATA_HOME>/<game>/) and this player's instance in it.
    std::string GameFolder() const;
    std::string InstanceFolder() const { return GameFolder() + "/player" + std::to_string(m_iPlayer); }
    // The lobby port its server listens on, and the standard output of the game's last start.
    int LobbyPort() const { return m_iPort; }
    std::string Output() const
    {
        return E2eReadText(m_Run.File("game" + std::to_string(m_iStarts) + "-stdout.txt"));
    }

    // The game's statistics store (its remembered settings and progress) as the instance's
    // file holds it now; false while there is none.
    bool ReadStore(CVornStatistics& store) const;

    // ---- steps
    void Say(const std::string& strText) const;
    // Fails the step (with a picture) unless the condition holds.
    void Expect(bool bDone, const std::string& strStep, const std::string& strDetail = "");
    // Polls the condition until it holds; fails the step after the guard time.
    void WaitFor(const std::function<bool()>& fnDone, const std::string& strStep,
                 int iSeconds = JOURNEY_STEP_SECONDS);
    // A picture of the window now, kept as <name>.png.
    void Keep(const std::string& strName);
    // A picture taken earlier, kept as <name>.png: saving takes seconds under load, too long
    // for a step that watches something brief.
    void Keep(const std::string& strName, const sE2eShot& shot) const;
    // Runs the journey's body; 0 when every step happened, else 1 with the failed one named.
    int Run(const std::function<void()>& fnBody);

    // ---- the layout (paths as "//page//widget")
    const sJourneyWidget& Widget(const std::string& strPath);
    // The width of language text iText drawn in the widget's font.
    int TextWidth(const std::string& strPath, int iText);
    // The width of that text drawn in the widget's font.
    int LiteralWidth(const std::string& strPath, const std::string& strText);
    // Loads several at once: each probe run starts the layout once.
    void Probe(const std::vector<std::string>& aPaths);

    // ---- what the window shows
    const sE2eShot& Look();
    // A picture of the part only, for a watch of a few seconds that a whole picture under load
    // would outlast; outside the part it holds an earlier picture.
    const sE2eShot& LookAt(const sE2eRect& part);
    // The last picture taken.
    const sE2eShot& Picture() const { return m_Shot; }
    // The widget's rectangle shows a text of that width (0: any) in the colour, and is still.
    bool Shows(const std::string& strPath, uint32_t uColour, int iWidth);
    // The same for a rectangle of the window: still means alike in the last two pictures.
    bool ShowsIn(const sE2eRect& r, uint32_t uColour, int iWidth) const;
    // Its own text (the layout's), in the colour.
    bool ShowsOwnText(const std::string& strPath, uint32_t uColour);
    // Pictures a moment apart in which the mark that fnFind finds stands at one place and
    // most of the rectangle above it is unchanged: a view at rest, not panning, zooming or
    // fading. The mark's place in the last picture, which is the one to act on.
    bool AtRest(const sE2eRect& r, const std::function<bool(const sE2eShot&, int&, int&)>& fnFind, int& iX,
                int& iY);
    // The pixels of the widget's rectangle in the last picture, to be compared later.
    std::vector<uint32_t> Pixels(const std::string& strPath);
    // Pixels that differ between two readings of one widget.
    static int Differing(const std::vector<uint32_t>& aFirst, const std::vector<uint32_t>& aSecond);

    // ---- input
    void Click(int x, int y);
    void PressWidget(const std::string& strPath);
    // A press in the middle of the rectangle, said as strWhat.
    void Press(const sE2eRect& r, const std::string& strWhat);
    // Presses there, and again only where a whole wait of iWaitSeconds left the place as it
    // was: a slow game may still be bringing in what the press asked for, and a second press
    // lands on that. True once the condition holds.
    bool PressWhileUnchanged(const sE2eRect& r, const std::string& strWhat,
                             const std::function<bool()>& fnDone, int iWaitSeconds);
    // Key presses of the text at full speed, no pause between keys; capitals and symbols
    // with Shift.
    void TypeText(const std::string& strText);
    // One key (an X keysym, XK_Return...), with Control when asked.
    void PressKey(unsigned long uKeySym, bool bControl = false);
    // A press at the first point, moved to the second in even steps and let go there; the
    // first step comes with the press, as in a flick.
    void Drag(int x0, int y0, int x1, int y1, int iSteps = 6);

    // ---- the lobby server's log
    lobby_match::CServerLog& Log();
    size_t LogCount() { return Log().Count(); }
    // The first record of the running game's start (the log goes on over restarts).
    size_t RunStart() const { return m_uRunStart; }
    // The first record of this start from uFrom on that matches; fails the step when none
    // comes.
    CTestJson WaitForRecord(const std::string& strStep, const std::function<bool(const CTestJson&)>& fnMatch,
                            size_t uFrom = 0);
    // A message of that name that came in on any lobby connection from uFrom on.
    static std::function<bool(const CTestJson&)> Incoming(const std::string& strName);

private:
    // Expect without a line of its own: for the harness's own preparations.
    static void Require(bool bDone, const std::string& strStep, const std::string& strDetail = "");
    std::string Script() const;
    void KeepLogs() const;
    // The first sanitizer report in the output of this journey's game runs, "" when none.
    std::string SanitizerReport() const;

    CE2eRun m_Run;
    CTestTempDir m_Home;
    std::string m_strHome;
    int m_iPlayer = 1;
    std::vector<CJourney*> m_aGuests;
    CE2eDisplay m_Display;
    std::unique_ptr<CE2eProcess> m_pScript;
    // The host's ports, held until the journey ends: its guests use them too.
    std::unique_ptr<CE2ePortPair> m_pPorts;
    int m_iPort = 0;
    int m_iStarts = 0;
    Window m_Window = 0;
    sE2eShot m_Shot;
    sE2eShot m_PreviousShot;
    std::map<std::string, sJourneyWidget> m_Widgets;
    std::unique_ptr<lobby_match::CServerLog> m_pLog;
    size_t m_uRunStart = 0;
    std::string m_strStep;
};
