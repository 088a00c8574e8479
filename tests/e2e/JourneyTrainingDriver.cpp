// A new player's offline way, as `make run` makes it:
//  (e) first launch, "Play offline" on the login page, the game's menu; its exit door
//      returns to the login page, and "Play offline" leads back to the menu. Then training:
//      the chooser greets the new player, lesson 1 is lost by a jump that falls short,
//      retried by the green ▶ (where Escape opens the quit question and closes it again) and
//      won; ▶ returns to the chooser, where lesson 2 is open and the greeting does not come
//      again, and the statistics store holds the cleared lesson. The window, resized to
//      800 x 480 under the chooser, shows it anew for that size, and a press on lesson 2
//      where it is drawn starts it.
//
//   e2e_journey_training_driver   (under xvfb-run; KORVEL_SOURCE_DIR and KORVEL_BINARY_DIR set)
#include <cmath>
#include <vector>

#include <X11/keysym.h>

#include "tests/e2e/JourneyPages.h"

namespace
{

using namespace journey_pages;

const int ENGLISH_ROW = 0;
const char* const OFFLINE_BUTTON = "//loginscreen_root//offline_button";
const int CHOOSER_TRIES = 5;
// What a tiling window manager made of the 1024 x 600 window in a player's report.
const int RESIZED_WIDTH = 800, RESIZED_HEIGHT = 480;

const uint32_t SCENE_TEAL = 0x1FA5A0;        // an open lesson's button
const uint32_t SCENE_TEAL_DIMMED = 0x082B2A; // the same under the greeting's dimming
const uint32_t NEXT_GREEN = 0x3CB44B;        // the match screen's ▶
const uint32_t PLAYER0 = 0xFF5D37;           // the own flomp
const uint32_t WHITE = 0xFFFFFF;             // the greeting's letters
const uint32_t BUBBLE_FILL = 0x2E3440;       // the mentor's bubble (chatbubble.png)
const int COLOUR_TOLERANCE = 12;

// The pull that leads to a jump's aim, in game/MoxPlayStateInput.cpp: the grab radius is
// w / 20, and each pixel pulled beyond it stretches 0.75 pixel, counted in quarters of the
// width; the aim's x goes with the pull, its y against it (the window's y grows downwards).
const float GRAB_RADIUS_OF_WIDTH = 1.0f / 20.0f;
const float STRETCH_PER_PIXEL = 0.75f;
// A drag in one move, or in several as a slow hand pulls.
const int FLICK_MOVES = 1, PULL_MOVES = 6;
struct sAIM
{
    float x, y;
};
// A weak jump forwards that lands in the sea before the master's tower.
const sAIM SHORT_JUMP = {-0.12f, -0.08f};
// Found by trying: this fast, flat jump strikes the master on its narrow tower from the
// side and throws it far off (aims 0.005 lower meet the tower's side, 0.005 higher fly
// over). Slower jumps that land on the master push it only to the tower's edge, where it
// stayed in one run of four.
const sAIM WINNING_JUMP = {-0.30f, -0.178f};

struct sSPOT
{
    float x, y;
};

// The training chooser (game/MoxTrainingState.cpp): five lessons a row, of half size
// u = w / 20, the first row 1.5 u above the middle, columns 2 u and rows 2.1 u apart. The
// band under a button's label shows its colour.
sE2eRect LessonBand(const sE2eShot& shot, int iLesson)
{
    const float w = float(shot.m_iWidth), h = float(shot.m_iHeight), u = w / 20.0f;
    const int iRow = iLesson / 5, iColumn = iLesson % 5;
    const float x = 0.5f * w - 4.0f * u + 2.0f * u * float(iColumn);
    const float y = 0.5f * h - 1.5f * u + 2.1f * u * float(iRow);
    return {int(x - 0.5f * u), int(y + 0.3f * u), int(x + 0.5f * u), int(y + 0.7f * u)};
}

int Area(const sE2eRect& r)
{
    return (r.m_iRight - r.m_iLeft) * (r.m_iBottom - r.m_iTop);
}

// Most of the band in the colour.
bool Covers(const sE2eShot& shot, const sE2eRect& r, uint32_t uColour)
{
    return shot.m_iWidth > 0 && E2eCountNear(shot, r, uColour, COLOUR_TOLERANCE) * 5 > Area(r) * 3;
}

bool LessonOpen(const sE2eShot& shot, int iLesson)
{
    return Covers(shot, LessonBand(shot, iLesson), SCENE_TEAL);
}

// "Welcome to training!": the chooser dimmed, white lines across its middle.
bool GreetingShows(const sE2eShot& shot)
{
    const int w = shot.m_iWidth, h = shot.m_iHeight;
    const sE2eRect middle = {w / 5, h * 42 / 100, w * 4 / 5, h * 60 / 100};
    return Covers(shot, LessonBand(shot, 0), SCENE_TEAL_DIMMED) &&
           E2eCountNear(shot, middle, WHITE, COLOUR_TOLERANCE) * 20 > Area(middle);
}

// The mentor's bubble, pinned to the right edge around (0.9 w, 0.825 h) (IMoxChat::SpeakerPlace).
bool BubbleShows(const sE2eShot& shot)
{
    const int w = shot.m_iWidth, h = shot.m_iHeight;
    return Covers(shot, {w * 6 / 10, h * 72 / 100, w * 9 / 10, h * 80 / 100}, BUBBLE_FILL);
}

// The ▶ at (w / 2, 3 h / 4), half size w / 15 (game/MoxPlayStateControls.cpp).
sSPOT NextButton(const sE2eShot& shot)
{
    return {0.5f * float(shot.m_iWidth), 0.75f * float(shot.m_iHeight)};
}

bool NextShows(const sE2eShot& shot)
{
    const sSPOT next = NextButton(shot);
    const int iHalf = shot.m_iWidth / 30;
    const sE2eRect middle = {int(next.x) - iHalf, int(next.y) - iHalf, int(next.x) + iHalf,
                             int(next.y) + iHalf};
    // Its white arrow takes much of the middle.
    return E2eCountNear(shot, middle, NEXT_GREEN, COLOUR_TOLERANCE) * 4 > Area(middle);
}

// The own flomp's pixels within the grab radius of the middle, where the camera puts the
// player whose turn it is: their count, the sides and the bottom of their box, and whether
// the box lies wholly inside that square. A flomp at rest breathes: its top rises and
// falls, its feet and sides stay but for a pixel or two.
struct sBLOB
{
    int m_iCount = 0;
    int m_iLeft = 0, m_iRight = 0, m_iTop = 0, m_iBottom = 0;
    bool m_bWhole = false;
};

sBLOB FlompInMiddle(const sE2eShot& shot)
{
    const int w = shot.m_iWidth, h = shot.m_iHeight, r = int(float(w) * GRAB_RADIUS_OF_WIDTH);
    const sE2eRect square = {std::max(0, w / 2 - r), std::max(0, h / 2 - r), std::min(w, w / 2 + r),
                             std::min(h, h / 2 + r)};
    sBLOB blob;
    E2eEachPixel(shot, square,
                 [&](int x, int y, uint32_t uPixel)
                 {
                     if (!E2eNear(uPixel, PLAYER0, COLOUR_TOLERANCE))
                         return;
                     blob.m_iLeft = blob.m_iCount > 0 ? std::min(blob.m_iLeft, x) : x;
                     blob.m_iTop = blob.m_iCount > 0 ? blob.m_iTop : y;
                     blob.m_iRight = std::max(blob.m_iRight, x);
                     blob.m_iBottom = y;
                     ++blob.m_iCount;
                 });
    blob.m_bWhole = blob.m_iCount > 0 && blob.m_iLeft > square.m_iLeft && blob.m_iTop > square.m_iTop &&
                    blob.m_iRight < square.m_iRight - 1 && blob.m_iBottom < square.m_iBottom - 1;
    return blob;
}

// The lesson's start: the camera comes to rest on the own flomp in the middle of the window
// (and the mentor explains in a bubble, when asked for). Only new pictures count: a starved
// game may draw nothing between two looks, and a view still panning looks still twice. At
// rest, the flomp's feet and sides stay put over several frames the game drew one after
// another, each of which moved a panning camera a sixth of its way.
void WaitForLessonStart(CJourney& journey, const std::string& strStep, bool bBubble)
{
    // A breath moves the feet and sides by up to two pixels; a panning camera moves them
    // more than that over the pictures counted, until it is a few pixels from rest.
    const int iLeastPixels = 100, iNewPictures = 4, iBreath = 2;
    std::vector<uint32_t> aLast;
    sBLOB first;
    int iStill = 0;
    journey.WaitFor(
        [&]
        {
            const sE2eShot& shot = journey.Look();
            if (shot.m_aPixels == aLast)
                return false;
            aLast = shot.m_aPixels;
            const sBLOB now = FlompInMiddle(shot);
            const bool bSame = std::abs(now.m_iLeft - first.m_iLeft) <= iBreath &&
                               std::abs(now.m_iRight - first.m_iRight) <= iBreath &&
                               std::abs(now.m_iBottom - first.m_iBottom) <= iBreath;
            if (now.m_iCount < iLeastPixels || !now.m_bWhole || !bSame || (bBubble && !BubbleShows(shot)))
            {
                first = now;
                iStill = 1;
                return false;
            }
            return ++iStill >= iNewPictures;
        },
        strStep);
}

// Pulls from the flomp in the middle of the window so that the jump gets the aim, in moves
// of the drag (one: a flick that has left the flomp by the first frame after the press).
void Jump(CJourney& journey, const sAIM& aim, int iMoves)
{
    const sE2eShot& shot = journey.Look();
    const float w = float(shot.m_iWidth);
    const float fAim = std::hypot(aim.x, aim.y);
    const float fPull = fAim * (w / 4.0f) / STRETCH_PER_PIXEL + w * GRAB_RADIUS_OF_WIDTH;
    const int x0 = shot.m_iWidth / 2, y0 = shot.m_iHeight / 2;
    journey.Drag(x0, y0, x0 + int(std::lround(aim.x / fAim * fPull)),
                 y0 - int(std::lround(aim.y / fAim * fPull)), iMoves);
}

void PressNext(CJourney& journey)
{
    const sSPOT next = NextButton(journey.Look());
    journey.Say("press ▶");
    journey.Click(int(next.x), int(next.y));
}

void OfflineExit(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey: offline, the menu's exit door");
    journey.Start();
    pages.WaitForPage(LANGUAGE);
    pages.ChooseLanguage(ENGLISH_ROW);
    pages.LeaveLoginBy(OFFLINE_BUTTON);
    journey.Keep("e1-offline-menu");
    pages.PressExitDoor();
    pages.WaitForPage(LOGIN);
    journey.Keep("e2-login-after-exit");
    pages.LeaveLoginBy(OFFLINE_BUTTON);
    journey.Keep("e3-offline-menu-again");
}

void LessonLostAndWon(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey: training lesson 1 lost, retried and won");
    pages.PressTraining();
    journey.WaitFor([&] { return GreetingShows(journey.Look()); },
                    "the training chooser greets a new player");
    journey.Keep("e4-training-greeting");
    journey.WaitFor([&] { return LessonOpen(journey.Look(), 0); }, "the greeting goes and lesson 1 is open");
    journey.Expect(!LessonOpen(journey.Look(), 1), "lesson 2 is locked for a new player");

    // The mentor's first words come as the turn starts: the first pull is made under them.
    for (int iTry = 0; iTry < CHOOSER_TRIES && !BubbleShows(journey.Look()); ++iTry)
    {
        const sE2eRect lesson = LessonBand(journey.Look(), 0);
        if (LessonOpen(journey.Look(), 0))
            journey.Click(lesson.CentreX(), lesson.CentreY());
        E2eWaitFor([&] { return BubbleShows(journey.Look()); }, 20);
    }
    WaitForLessonStart(journey, "lesson 1 starts with the mentor's bubble and the flomp at rest", true);
    journey.Keep("e5-lesson-1");
    Jump(journey, SHORT_JUMP, FLICK_MOVES);
    journey.WaitFor([&] { return NextShows(journey.Look()); },
                    "the first pull, a flick under the mentor's bubble, jumped short and lost: ▶ shows");
    journey.Keep("e6-lesson-lost");

    PressNext(journey);
    WaitForLessonStart(journey, "▶ starts the lesson again", false);
    journey.Keep("e7-lesson-again");
    // Escape is the back key on the game's screens too: it opens the quit question, which
    // dims the board, and a second Escape closes it.
    const int iBright = FlompInMiddle(journey.Look()).m_iCount;
    journey.PressKey(XK_Escape);
    journey.WaitFor([&] { return FlompInMiddle(journey.Look()).m_iCount * 2 < iBright; },
                    "Escape opens the lesson's quit question over the dimmed board");
    journey.Keep("e7b-lesson-quit-question");
    journey.PressKey(XK_Escape);
    journey.WaitFor([&] { return FlompInMiddle(journey.Look()).m_iCount * 4 > iBright * 3; },
                    "a second Escape closes the question");
    Jump(journey, WINNING_JUMP, PULL_MOVES);
    journey.WaitFor([&] { return NextShows(journey.Look()); }, "the jump ended the lesson: ▶ shows");
    journey.Keep("e8-lesson-won");

    PressNext(journey);
    journey.WaitFor(
        [&]
        {
            const sE2eShot& shot = journey.Look();
            return LessonOpen(shot, 0) || GreetingShows(shot);
        },
        "▶ after the won lesson returns to the training chooser");
    journey.Keep("e9-chooser-after-win");
    journey.Expect(!GreetingShows(journey.Look()),
                   "the chooser does not greet again (\"Welcome to training!\")");
    journey.Expect(LessonOpen(journey.Look(), 1), "lesson 2 is open");
    CVornStatistics store;
    journey.Expect(journey.ReadStore(store) && store.GetProperty(CKorvelString("scene_0_cleared")),
                   "the statistics store holds scene_0_cleared",
                   journey.InstanceFolder() + "/data/stats.dat");
}

// The window made smaller under the chooser: it is drawn anew for the new size, and a press
// on lesson 2 where it is now drawn starts it.
void ResizedChooser(CJourney& journey)
{
    journey.Say("journey: the window resized under the training chooser");
    journey.Resize(RESIZED_WIDTH, RESIZED_HEIGHT);
    journey.WaitFor(
        [&]
        {
            const sE2eShot& shot = journey.Look();
            return shot.m_iWidth == RESIZED_WIDTH && shot.m_iHeight == RESIZED_HEIGHT &&
                   LessonOpen(shot, 0) && LessonOpen(shot, 1);
        },
        "the chooser is drawn for 800 x 480: lessons 1 and 2 open where that size places them");
    journey.Keep("e10-chooser-resized");
    journey.Expect(!LessonOpen(journey.Look(), 2), "lesson 3 is still locked");
    const sE2eRect lesson = LessonBand(journey.Look(), 1);
    journey.Say("press lesson 2 where it is drawn");
    journey.Click(lesson.CentreX(), lesson.CentreY());
    WaitForLessonStart(journey, "lesson 2 starts, the flomp at rest in the middle of the smaller window",
                       false);
    journey.Keep("e11-lesson-2-resized");
}

} // namespace

int main()
{
    CJourney journey("journey_training");
    CJourneyPages pages(journey);
    return journey.Run(
        [&]
        {
            OfflineExit(pages);
            LessonLostAndWon(pages);
            ResizedChooser(journey);
            journey.Expect(journey.Close() == 0, "the game ended with 0 on the close message");
        });
}
