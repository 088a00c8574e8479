// The wallet, the add-coins link and the in-game refill request.
// KORVEL_GL_TEST
#include "VornMenuStateMatchTest.h"

#include "Framework/GenerateMD5.h"
#include "Framework/VornDevice.h"
#include "Framework/VornLanguage.h"
#include "Framework/VornWebHost.h"
#include "PlatformDeviceInfoControl.h"
#include "support/TestGameState.h"

using namespace menu_state_test;

namespace
{

std::string WalletLayout()
{
    std::string strPages = MenuPages();
    const std::string strShop = Page("shop_root", Box("shop_page_list", "infinite_list"));
    strPages.replace(strPages.find(strShop), strShop.size(),
                     Page("shop_root", Box("shop_page_list", "infinite_list") +
                                           Box("vorncoins_amount", "text", "<text font=\"main\"/>")) +
                         Page("generic_error_dialog_more_coins",
                              Box("coins-value", "text", "<text font=\"main\"/>")));
    return MenuLayout(strPages + VornButton() + Dialogs());
}

class CVornMenuState : public CMatchTest
{
protected:
    CVornMenuState() { m_strLayout = WalletLayout(); }
};

TEST_F(CVornMenuState, TheWalletIsAskedForByTheShopAndShownInEveryCoinWidget)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const size_t uBefore = In("GetWalletBalance").size();
    ASSERT_EQ(::CVornMenuState::actionShowShop(nullptr, Lobby()), 1);
    ASSERT_TRUE(WaitFor([&] { return In("GetWalletBalance").size() == uBefore + 1; }));

    Lobby()->OnWalletBalance(1234);
    EXPECT_EQ(TextOf("vorncoins_amount"), "1234");
    EXPECT_EQ(TextOf("coins-value"), "1234");
    Lobby()->OnWalletBalance(-5);
    EXPECT_EQ(TextOf("vorncoins_amount"), "-5");
}

TEST_F(CVornMenuState, TheInGameRefillAsksToBuyOnlyForRealItems)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const size_t uBefore = In("BuyItem").size();
    Lobby()->ShowRefillDialog(0);
    Lobby()->ShowRefillDialog(-3);
    Lobby()->ShowRefillDialog(42);
    ASSERT_TRUE(WaitFor([&] { return In("BuyItem").size() == uBefore + 1; }));
    Settle();
    const std::vector<CTestJson> aAsked = In("BuyItem");
    ASSERT_EQ(aAsked.size(), uBefore + 1);
    EXPECT_EQ(aAsked.back()["item"].Int(), 42);
    EXPECT_EQ(aAsked.back()["flags"].Int(), 0x802);
}

TEST_F(CVornMenuState, BuyCoinsOpensTheAddCoinsLinkWithItsCheck)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    CVornNetworkSession* pSession = m_App.GetNetworkSession();
    const std::string strToken = Narrow(pSession->GetLoginToken());
    ASSERT_FALSE(strToken.empty());
    const std::string strDevice = Narrow(m_App.GetDevice()->GetDeviceInfo().m_strIMEI);
    const int iRelease = pSession->GetRelease();
    CKorvelString strCheck((std::to_string(pSession->GetOwnUserId()) + CTestGameState::SECRET + strToken +
                            strDevice + std::to_string(iRelease))
                               .c_str());
    GenerateMD5(strCheck);
    const std::string strLanguage = Narrow(m_App.GetLanguage()->GetCurrentLanguage()->m_strCode);

    const size_t uBefore = plat::NavigatorControlInvokedAddresses().size();
    ASSERT_EQ(::CVornMenuState::actionShopBuyCoins(nullptr, Lobby()), 1);
    const std::vector<plat::sInvokedAddress> aOpened = plat::NavigatorControlInvokedAddresses();
    ASSERT_EQ(aOpened.size(), uBefore + 1);
    EXPECT_EQ(aOpened.back().m_strAddress,
              std::string("https://") + VORN_WEB_HOST + "/api/forward.php?link=add_coins&token=" + strToken +
                  "&check=" + Narrow(strCheck) + "&game=64&release=" + std::to_string(m_App.GetReleaseId()) +
                  "&rid=bb&lang=" + strLanguage);
    EXPECT_EQ(Narrow(strCheck).size(), 32u);
}

} // namespace
