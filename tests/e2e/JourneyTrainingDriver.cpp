// A new player's offline way, as `make run` makes it:
//  (e) first launch, "Play offline" on the login page, the game's menu; its exit door
//      returns to the login page, and "Play offline" leads back to the menu.
//
//   e2e_journey_training_driver   (under xvfb-run; KORVEL_SOURCE_DIR and KORVEL_BINARY_DIR set)
#include "tests/e2e/JourneyPages.h"

namespace
{

using namespace journey_pages;

const int ENGLISH_ROW = 0;
const char* const OFFLINE_BUTTON = "//loginscreen_root//offline_button";

// From the login page into the game's menu; a press during the page's slide is lost.
void PlayOffline(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    pages.WaitForPage(LOGIN);
    for (int iTry = 0; iTry < 4 && !pages.ShowsGameMenu(); ++iTry)
    {
        journey.PressWidget(OFFLINE_BUTTON);
        E2eWaitFor([&] { return pages.ShowsGameMenu(); }, 15);
    }
    pages.WaitForGameMenu();
}

void OfflineExit(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey: offline, the menu's exit door");
    journey.Start();
    pages.WaitForPage(LANGUAGE);
    pages.ChooseLanguage(ENGLISH_ROW);
    PlayOffline(pages);
    journey.Keep("e1-offline-menu");
    pages.PressExitDoor();
    pages.WaitForPage(LOGIN);
    journey.Keep("e2-login-after-exit");
    PlayOffline(pages);
    journey.Keep("e3-offline-menu-again");
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
            journey.Expect(journey.Close() == 0, "the game ended with 0 on the close message");
        });
}
