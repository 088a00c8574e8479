// A new player's journeys through the lobby, one after another in one instance folder, as
// `make run` makes it:
//  (a) first launch: the language chooser, English, Continue, the login page.
//
//   e2e_journey_lobby_driver   (under xvfb-run; KORVEL_SOURCE_DIR and KORVEL_BINARY_DIR set)
#include "tests/e2e/JourneyPages.h"

namespace
{

using namespace journey_pages;

const int ENGLISH_ROW = 0;

void FirstLaunch(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey: first launch");
    journey.Start();
    pages.WaitForPage(LANGUAGE);
    journey.Keep("a1-language");
    const size_t uFrom = journey.LogCount();
    pages.ChooseLanguage(ENGLISH_ROW);
    pages.WaitForPage(LOGIN);
    journey.Keep("a2-login");
    journey.Expect(journey.Log().Find(CJourney::Incoming("Connection"), uFrom) >= 0,
                   "the game connected to the lobby server after Continue");
}

} // namespace

int main()
{
    CJourney journey("journey_lobby");
    CJourneyPages pages(journey);
    return journey.Run(
        [&]
        {
            FirstLaunch(pages);
            journey.Expect(journey.Close() == 0, "the game ended with 0 on the close message");
        });
}
