#include "tests/e2e/JourneyMatchChat.h"

#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

using namespace journey_chat;

namespace
{

// The lines are drawn in the chat field's font; the theme's colours of own and received lines.
const char* const LINE_FONT = "//chat_root//chat_textfield";
const uint32_t OWN_LINE = 0xFFC000, RECEIVED_LINE = 0xFFFFFF;
const int LINE_TOLERANCE = 48;
// Rows without ink inside one line of text (above an i's dot, between a colon's dots).
const int GAP_IN_LINE = 3;
// A player's turn runs out after 30 s, and the third time ends the match: five turns and
// the pauses between them.
const int MATCH_END_SECONDS = 300;
// The lobby server relays four chat lines a second from a player.
const int CHAT_PACE_MS = 300;

// The rows of the lowest line of that colour whose ink ends above iBelow: its band across the
// rectangle; an empty band when there is none.
sE2eRect LowestLine(const sE2eShot& shot, const sE2eRect& area, uint32_t uColour, int iBelow)
{
    auto fnInk = [&](int y)
    {
        for (int x = area.m_iLeft; x < area.m_iRight; ++x)
            if (E2eNear(shot.At(x, y), uColour, LINE_TOLERANCE))
                return true;
        return false;
    };
    int iBottom = -1, iTop = -1, iGap = 0;
    for (int y = std::min(iBelow, area.m_iBottom) - 1; y >= area.m_iTop; --y)
    {
        if (fnInk(y))
        {
            iBottom = iBottom < 0 ? y : iBottom;
            iTop = y;
            iGap = 0;
        }
        else if (iBottom >= 0 && ++iGap > GAP_IN_LINE)
            break;
    }
    if (iBottom < 0)
        return {area.m_iLeft, 0, area.m_iRight, 0};
    return {area.m_iLeft, iTop, area.m_iRight, iBottom + 1};
}

// A line at the holder's bottom is whole there: a line cut by the holder's edge would have
// ink in its last row.
bool WholeAtTheBottom(const sE2eRect& line, const sE2eRect& holder)
{
    const int iPitch = (holder.m_iBottom - holder.m_iTop) / LINES_IN_HOLDER;
    return line.m_iBottom < holder.m_iBottom - 1 && line.m_iBottom > holder.m_iBottom - iPitch;
}

// More lines than the holder shows, typed one after another with Enter into the field that
// stays ready after each: the other window shows the last one whole at its bottom.
void TypeManyLines(const sJourneySide& from, const sJourneySide& to)
{
    const int iLines = 25;
    CJourney& typist = *from.m_pJourney;
    CJourney& reader = *to.m_pJourney;
    const std::string strLast = "last of " + std::to_string(iLines) + " from " + from.m_strName;
    const std::string strShown = from.m_strName + ": " + strLast;
    reader.Probe({std::string(LINE_FONT) + "~" + strShown});
    for (int i = 1; i <= iLines; ++i)
    {
        const std::string strLine = i < iLines ? "line " + std::to_string(i) : strLast;
        const size_t uFrom = typist.LogCount();
        typist.TypeText(strLine);
        typist.PressKey(XK_Return);
        typist.WaitForRecord(
            "the server relayed \"" + strLine + "\"",
            [&](const CTestJson& r)
            { return CJourney::Incoming("ChatMessage")(r) && r["fields"]["text"].String() == strLine; },
            uFrom);
        // No faster than the server relays a player's lines; it drops the rest.
        std::this_thread::sleep_for(std::chrono::milliseconds(CHAT_PACE_MS));
    }
    const sE2eRect holder = reader.Widget(CHAT_LINES).m_Rect;
    sE2eRect last = {};
    reader.WaitFor(
        [&]
        {
            last = LowestLine(reader.Look(), holder, RECEIVED_LINE, holder.m_iBottom);
            return reader.ShowsIn(last, RECEIVED_LINE, reader.LiteralWidth(LINE_FONT, strShown));
        },
        to.m_strName + "'s chat page shows the last of " + from.m_strName + "'s lines");
    reader.Keep("chat-many-lines-" + to.m_strName);
    reader.Expect(WholeAtTheBottom(last, holder), "the last line is whole at the backlog's bottom");
}

} // namespace

void JourneyChatAfterTheEnd(const sJourneySide& a, const sJourneySide& b)
{
    CJourney& host = *a.m_pJourney;
    host.Say("journey (f): both on the chat page while their turns run out");
    const std::string strFirst = a.m_strName + ": good game " + b.m_strName;
    const std::string strSecond = b.m_strName + ": thanks " + a.m_strName;
    const size_t uFrom = host.LogCount();
    for (const sJourneySide* p : {&a, &b})
    {
        p->m_pJourney->Probe({CHAT_LINES, REMATCH_BUTTON, std::string(LINE_FONT) + "~" + strFirst,
                              std::string(LINE_FONT) + "~" + strSecond});
        CJourneyMatch(*p->m_pPages).OpenChat();
    }
    auto fnEnded = [&](long long llUser)
    {
        return host.Log().Find(
                   [&](const CTestJson& r)
                   {
                       return r["event"].String() == "game_end" && r["user"].Int() == llUser &&
                              r["report"]["leaving"].Int() == 0;
                   },
                   uFrom) >= 0;
    };
    host.WaitFor(
        [&]
        {
            const bool bEnded = fnEnded(a.m_llUser) || fnEnded(b.m_llUser);
            for (const sJourneySide* p : {&a, &b})
            {
                CJourney& journey = *p->m_pJourney;
                const sE2eShot& chat = journey.Look();
                if (!bEnded && p->m_pPages->Showing(journey_pages::CHAT))
                    journey.Expect(
                        JourneyStandsOut(chat, journey.Widget(REMATCH_BUTTON).m_Rect) <= NO_BUTTON_STANDS_OUT,
                        "no rematch button on " + p->m_strName + "'s chat page while the match runs");
            }
            return fnEnded(a.m_llUser) && fnEnded(b.m_llUser);
        },
        "the turns ran out and both reported the match's end", MATCH_END_SECONDS);
    for (const sJourneySide* p : {&a, &b})
        p->m_pJourney->Keep("chat-at-the-end-" + p->m_strName);

    CJourneyMatch(*a.m_pPages).SayInChat("good game " + b.m_strName);
    CJourneyMatch(*b.m_pPages).SayInChat("thanks " + a.m_strName);
    for (const sJourneySide* p : {&a, &b})
    {
        CJourney& journey = *p->m_pJourney;
        const sE2eRect holder = journey.Widget(CHAT_LINES).m_Rect;
        const int iPitch = (holder.m_iBottom - holder.m_iTop) / LINES_IN_HOLDER;
        const bool bFirstOwn = p == &a;
        const uint32_t uFirst = bFirstOwn ? OWN_LINE : RECEIVED_LINE,
                       uSecond = bFirstOwn ? RECEIVED_LINE : OWN_LINE;
        sE2eRect first = {}, second = {};
        auto fnBoth = [&]
        {
            const sE2eShot& chat = journey.Look();
            second = LowestLine(chat, holder, uSecond, holder.m_iBottom);
            first = LowestLine(chat, holder, uFirst, second.m_iTop);
            return journey.ShowsIn(second, uSecond, journey.LiteralWidth(LINE_FONT, strSecond)) &&
                   journey.ShowsIn(first, uFirst, journey.LiteralWidth(LINE_FONT, strFirst));
        };
        journey.WaitFor(fnBoth, p->m_strName + "'s chat page shows both lines after the end");
        journey.Keep("chat-after-the-end-" + p->m_strName);
        journey.Expect(WholeAtTheBottom(second, holder), "the newest line is whole at the backlog's bottom");
        journey.Expect(first.m_iBottom > second.m_iTop - iPitch, "the line before it is right above");
    }
    host.Say("journey (f): each sends more lines than the backlog shows");
    TypeManyLines(a, b);
    TypeManyLines(b, a);
}
