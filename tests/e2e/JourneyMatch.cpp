#include "tests/e2e/JourneyMatch.h"

#include <algorithm>

#include <X11/keysym.h>

using namespace journey_pages;

namespace
{
// The game's menu: the play button's centre, as a share of the height (game/MoxMenuState.cpp).
const float MENU_PLAY_Y = 0.52f;
// The board's buttons (game/MoxPlayStateControls.cpp), in units of a thirtieth of the width:
// the exit door at the bottom's middle, the quit question answered at 0.4 / 0.6 of the
// width and 0.6 of the height, the chat buttons in the bottom corners, the match-over
// screen's next button at 0.75 of the height.
const float BOARD_UNITS = 30.0f;
const float EXIT_DOOR_UNITS_UP = 1.2f;
const float QUIT_YES_X = 0.4f, QUIT_ANSWER_Y = 0.6f;
const float CONTINUE_Y = 0.75f;
// The quit question's yes is a green disc about a twentieth of the width across; the board
// under the dimmed question has none of its green.
const float QUIT_YES_REACH = 0.03f;
const uint32_t QUIT_YES_GREEN = 0x3CB44B;
const int QUIT_YES_TOLERANCE = 24;
const int QUIT_YES_SHARE = 30; // percent of the square around its centre
const int QUESTION_SECONDS = 10;
// The name bar along the bottom shows each flomp's portrait at its side (the exit door
// between them is red as well).
const float NAME_BAR_UNITS = 2.1f;
// Enough pixels of a flomp's colour to stand for it.
const int FLOMP_PIXELS = 30;
const int FLOMP_TOLERANCE = 40;
// A chat bubble (game/MoxChat.cpp) is pinned 0.05 of the width from the speaker's edge,
// about 0.825 of the height high; its edge tiles, outside its text, are its plain dark fill
// (the picture chatbubble.png).
const float BUBBLE_NEAR = 0.035f, BUBBLE_FAR = 0.05f, BUBBLE_TOP = 0.79f, BUBBLE_BOTTOM = 0.84f;
const uint32_t BUBBLE_FILL = 0x2E3440;
const int BUBBLE_TOLERANCE = 8;
const int BUBBLE_SHARE = 80; // percent
const char* const GUEST_BUTTON = "//loginscreen_root//loginscreen_choices//guest_login_button";
// The result's line that the opponent left (game/MoxPlayStateInfo.cpp): white over its black
// shadow, centred, about a quarter of the height down; a line of words leaves many pixels of
// both, which the scene's pictures do not. The line that a turn ran out stands at 0.3 of the
// height, below this band.
const float LEFT_LINE_TOP = 0.22f, LEFT_LINE_BOTTOM = 0.275f, LEFT_LINE_SIDE = 0.15f;
const uint32_t INFO_WHITE = 0xFFFFFF, INFO_SHADOW = 0x000000;
const int INFO_TOLERANCE = 16;
const int LEFT_LINE_PIXELS = 150;
const int LEFT_LINE_STEP = 2; // pixels between the raised bands looked at
} // namespace

void CJourneyMatch::PlayAsGuest()
{
    m_Pages.LeaveLoginBy(GUEST_BUTTON);
}

void CJourneyMatch::PressPlay()
{
    const sE2eShot& now = m_Journey.Look();
    m_Journey.Say("press the menu's play button");
    m_Journey.Click(now.m_iWidth / 2, int(MENU_PLAY_Y * float(now.m_iHeight)));
}

bool CJourneyMatch::FindFlomp(int iSlot, int& iX, int& iY)
{
    const sE2eShot& now = m_Journey.Look();
    const int iTop = now.m_iHeight - int(NAME_BAR_UNITS * float(now.m_iWidth) / BOARD_UNITS);
    long long llX = 0, llY = 0;
    int iCount = 0;
    for (int y = std::max(iTop, 0); y < now.m_iHeight; ++y)
        for (int x = 0; x < now.m_iWidth; ++x)
            if ((x < now.m_iWidth / 3 || x > 2 * now.m_iWidth / 3) &&
                E2eNear(now.At(x, y), FLOMP_COLOURS[iSlot], FLOMP_TOLERANCE))
            {
                llX += x;
                llY += y;
                ++iCount;
            }
    if (iCount < FLOMP_PIXELS)
        return false;
    iX = int(llX / iCount);
    iY = int(llY / iCount);
    return true;
}

void CJourneyMatch::WaitForBoard()
{
    int x = 0, y = 0;
    m_Journey.WaitFor([&] { return FindFlomp(0, x, y) && FindFlomp(1, x, y) && !m_Pages.ShowsGameMenu(); },
                      "the board shows both flomps", JOURNEY_START_SECONDS);
}

void CJourneyMatch::OpenChat()
{
    for (int iTry = 0; iTry < 4; ++iTry)
    {
        const sE2eShot& now = m_Journey.Look();
        const int u = int(float(now.m_iWidth) / BOARD_UNITS);
        m_Journey.Say("press the board's chat button");
        m_Journey.Click(u, now.m_iHeight - u);
        if (E2eWaitFor([&] { return m_Journey.Look(), m_Pages.Showing(CHAT); }, 15))
            break;
    }
    m_Pages.WaitForPage(CHAT);
}

void CJourneyMatch::SayInChat(const std::string& strText)
{
    const size_t uFrom = m_Journey.LogCount();
    m_Pages.TypeInto("//chat_root//chat_textfield", strText);
    m_Journey.PressWidget("//chat_root//chat_send_button");
    m_Journey.WaitForRecord(
        "the server relayed \"" + strText + "\"",
        [&](const CTestJson& r)
        { return CJourney::Incoming("ChatMessage")(r) && r["fields"]["text"].String() == strText; },
        uFrom);
}

void CJourneyMatch::PressChatBack()
{
    m_Journey.PressWidget("//chat_root//button_back");
}

void CJourneyMatch::LeaveByExitDoor()
{
    const sE2eShot& now = m_Journey.Look();
    const float w = float(now.m_iWidth), h = float(now.m_iHeight);
    m_Journey.Say("press the board's exit door");
    m_Journey.Click(int(0.5f * w), int(h - EXIT_DOOR_UNITS_UP * w / BOARD_UNITS));
    const int iReach = int(QUIT_YES_REACH * w), iYesX = int(QUIT_YES_X * w), iYesY = int(QUIT_ANSWER_Y * h);
    const sE2eRect yes = {iYesX - iReach, iYesY - iReach, iYesX + iReach, iYesY + iReach};
    // A press lost on a slow frame asks nothing: the caller presses the door again.
    if (!E2eWaitFor(
            [&]
            {
                return E2eCountNear(m_Journey.Look(), yes, QUIT_YES_GREEN, QUIT_YES_TOLERANCE) * 100 >=
                       QUIT_YES_SHARE * 4 * iReach * iReach;
            },
            QUESTION_SECONDS))
        return;
    m_Journey.Keep("leave-question");
    m_Journey.Say("answer yes to the quit question");
    m_Journey.Click(iYesX, iYesY);
}

void CJourneyMatch::PressContinue()
{
    const sE2eShot& now = m_Journey.Look();
    m_Journey.Say("press the match-over screen's next button");
    m_Journey.Click(now.m_iWidth / 2, int(CONTINUE_Y * float(now.m_iHeight)));
}

bool CJourneyMatch::ShowsBubble(bool bRight)
{
    // Only the bubbles' band: a bubble lasts six seconds, and a whole picture under load takes
    // a good part of them.
    const sE2eShot& before = m_Journey.Picture().m_iWidth > 0 ? m_Journey.Picture() : m_Journey.Look();
    const sE2eShot& now = m_Journey.LookAt({0, int(BUBBLE_TOP * float(before.m_iHeight)), before.m_iWidth,
                                            int(BUBBLE_BOTTOM * float(before.m_iHeight)) + 1});
    const int iNear = int(BUBBLE_NEAR * float(now.m_iWidth)), iFar = int(BUBBLE_FAR * float(now.m_iWidth));
    const sE2eRect band = {bRight ? now.m_iWidth - iFar : iNear, int(BUBBLE_TOP * float(now.m_iHeight)),
                           bRight ? now.m_iWidth - iNear : iFar, int(BUBBLE_BOTTOM * float(now.m_iHeight))};
    const int iArea = (band.m_iRight - band.m_iLeft) * (band.m_iBottom - band.m_iTop);
    return now.m_iWidth > 0 &&
           E2eCountNear(now, band, BUBBLE_FILL, BUBBLE_TOLERANCE) * 100 > BUBBLE_SHARE * iArea;
}

bool CJourneyMatch::ShowsOpponentLeft(float fRaisedBy)
{
    const sE2eShot& now = m_Journey.Look();
    const float w = float(now.m_iWidth), h = float(now.m_iHeight);
    if (now.m_iWidth == 0)
        return false;
    for (int iUp = 0; iUp <= int(fRaisedBy * h); iUp += LEFT_LINE_STEP)
    {
        const sE2eRect band = {int(LEFT_LINE_SIDE * w), int(LEFT_LINE_TOP * h) - iUp,
                               int((1.0f - LEFT_LINE_SIDE) * w), int(LEFT_LINE_BOTTOM * h) - iUp};
        if (E2eCountNear(now, band, INFO_WHITE, INFO_TOLERANCE) > LEFT_LINE_PIXELS &&
            E2eCountNear(now, band, INFO_SHADOW, INFO_TOLERANCE) > LEFT_LINE_PIXELS)
            return true;
    }
    return false;
}
