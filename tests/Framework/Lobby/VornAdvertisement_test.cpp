// The advertisement overlay on the test application with a real session: exit
// advertisements from the server decoded, animated and counted down, the others kept or
// ignored, held back while queued or while the game covers the screen, and its buttons
// opening links through the device and ending the application.
// KORVEL_GL_TEST
#include <gtest/gtest.h>

#include "Framework/Lobby/VornAdvertisement.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/TextWidget.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "PlatformDeviceInfoControl.h"
#include "support/SessionServerTest.h"
#include "support/TestMedia.h"
#include "support/TestText.h"
#include "support/UiTestFiles.h"

namespace
{

const char* const AD_LAYOUT = R"(<ad>
  <area width="320" height="240" name="ad_root">
    <element name="ad_picture" type="button">
      <position x="0.1" y="0.1"/><size w="0.5" h="0.5"/>
      <events><onclick action="ad_click"/></events>
      <element name="adimage" type="image"><position x="0" y="0"/><size w="1" h="1"/></element>
    </element>
    <element name="text_title" type="text"><position x="0.1" y="0.0"/><size w="0.8" h="0.1"/></element>
    <element name="text_closing" type="text" display="0"><position x="0.1" y="0.7"/><size w="0.8" h="0.1"/></element>
    <element name="button_ok" type="button"><position x="0.7" y="0.1"/><size w="0.2" h="0.2"/>
      <events><onclick action="ad_ok"/></events></element>
    <element name="button_title" type="button"><position x="0.7" y="0.4"/><size w="0.2" h="0.2"/>
      <events><onclick action="ad_title"/></events></element>
    <element name="button_close" type="button" display="0"><position x="0.7" y="0.8"/><size w="0.2" h="0.15"/>
      <events><onclick action="ad_close"/></events></element>
  </area>
</ad>
)";

// Three frames of 4 x 4 pixels stacked, as hex.
std::string ThreeFramePngHex()
{
    sTestPngLayout layout{4, 12, 2, 8, {}};
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 4; ++x)
            layout.m_aRows.insert(layout.m_aRows.end(), {uint8_t(80 * (y / 4)), 40, 200});
    std::string strHex;
    for (uint8_t b : EncodeTestPng(layout))
    {
        static const char s_acHex[] = "0123456789abcdef";
        strHex += s_acHex[b >> 4];
        strHex += s_acHex[b & 15];
    }
    return strHex;
}

class CVornAdvertisement : public CSessionServerTest
{
protected:
    bool PrepareAppFolder() override
    {
        m_App.m_bRealOverlays = true;
        // The layouts come from the application's layout pack.
        return CSessionServerTest::PrepareAppFolder() &&
               WriteUiPack(m_App.Dir(), "vornlayouts.kmp",
                           {{"menu_root.xml", "<menu_root/>\n"}, {"ad-root.xml", AD_LAYOUT}});
    }
    std::vector<std::string> LanguageTexts() override
    {
        std::vector<std::string> aTexts;
        for (int i = 0; i < 220; ++i)
            aTexts.push_back(SessionText(i));
        aTexts[1] = "%d seconds";
        aTexts[209] = "You may close this";
        return aTexts;
    }

    void StartLoggedIn()
    {
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_GT(LoginGuest(Session(), m_Rec), 0);
    }
    // The server's AdvertisementInfo with these flags and links; waits until it arrived.
    void SendAd(int iFlags, const std::string& strLink = "https://example.org/ad")
    {
        const int iBefore = m_Rec.Count("OnAdvertisement");
        m_pControl->Send("L1", "advertisement_info",
                         "[\"first\", \"" + strLink + "\", {\"hex\": \"" + ThreeFramePngHex() +
                             "\"}, 10000, 2000, [100, 200, 300], \"https://example.org/ok\", " +
                             std::to_string(iFlags) + ", \"Title\", \"\"]");
        ASSERT_TRUE(WaitFor([&] { return m_Rec.Count("OnAdvertisement") > iBefore; }));
        ASSERT_NE(m_App.GetAdvertisement(), nullptr);
    }
    CWidget* Find(const char* pName)
    {
        CWidget* pRoot = m_App.GetAdvertisement()->GetRoot();
        return pRoot ? pRoot->FindWidget(CKorvelString(pName), -1) : nullptr;
    }
    std::string Closing()
    {
        CTextWidget* pText = widget_cast<CTextWidget*>(Find("text_closing"));
        return pText && pText->GetVisible() ? Narrow(pText->GetText()) : "<hidden>";
    }
    // A press and release on the widget's middle, then the button's click delay.
    void Click(const char* pName)
    {
        CWidget* pWidget = Find(pName);
        ASSERT_NE(pWidget, nullptr);
        int iX = pWidget->GetWidth() / 2, iY = pWidget->GetHeight() / 2;
        for (const CWidget* p = pWidget; p; p = p->GetParent())
        {
            iX += p->GetArea().left;
            iY += p->GetArea().top;
        }
        ::CVornAdvertisement* pAd = m_App.GetAdvertisement();
        EXPECT_EQ(pAd->OnMouseButton(0, iX, iY), 1u);
        EXPECT_EQ(pAd->OnMouseButtonUp(0, iX, iY), 1u);
        pAd->Update(0.2f);
    }
};

TEST_F(CVornAdvertisement, AnExitAdvertisementIsDecodedAnimatedAndCountedDown)
{
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    ASSERT_NO_FATAL_FAILURE(SendAd(0x8));
    ::CVornAdvertisement* pAd = m_App.GetAdvertisement();
    EXPECT_EQ(pAd->GetVisible(), 1u);
    EXPECT_EQ(pAd->GetExpirationTime(), 300.0f);
    EXPECT_EQ(pAd->GetDisplayTime(), 2.0f);

    struct sSTEP
    {
        float fSeconds;
        int iFrame;
        const char* pClosing;
        unsigned int uCloseButton;
    };
    const sSTEP aSteps[] = {
        {0.0f, 0, "2 seconds", 0},          {0.1f, 1, "2 seconds", 0},  {0.2f, 2, "2 seconds", 0},
        {0.3f, 0, "1 seconds", 0},          {0.05f, 0, "1 seconds", 0}, {1.5f, 1, "You may close this", 1},
        {0.2f, 2, "You may close this", 1},
    };
    for (const sSTEP& step : aSteps)
    {
        m_App.Frame(step.fSeconds);
        EXPECT_EQ(pAd->GetFrameIndex(), step.iFrame) << step.fSeconds;
        EXPECT_EQ(Closing(), step.pClosing) << step.fSeconds;
        EXPECT_EQ(Find("button_close")->GetVisible(), step.uCloseButton) << step.fSeconds;
    }
    CKorvelSurface* pSurface = pAd->GetSurface();
    ASSERT_NE(pSurface, nullptr);
    EXPECT_EQ(pSurface->GetSubFrameCountX(), 1);
    EXPECT_EQ(pSurface->GetSubFrameCountY(), 3);
    CImageWidget* pImage = widget_cast<CImageWidget*>(Find("adimage"));
    ASSERT_NE(pImage, nullptr);
    EXPECT_EQ(pImage->GetImage(), pSurface);
    EXPECT_EQ(pImage->GetFrameCount(), 3u);
    EXPECT_EQ(Narrow(widget_cast<CTextWidget*>(Find("text_title"))->GetText()), "Title");
}

TEST_F(CVornAdvertisement, OnlyExitAdvertisementsAreShownAndNotWhileQueuedOrFullScreen)
{
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    struct sCASE
    {
        const char* pWhat;
        int iFlags;
        unsigned int uQueued, uFullscreen;
        unsigned int uVisible, uPending;
        float fInterval;
    };
    const sCASE aCases[] = {
        {"not an exit advertisement", 0x0, 0, 0, 0, 0, 0.0f},
        {"kept", 0xA, 0, 0, 0, 0, 300.0f},
        {"queued", 0x8, 1, 0, 0, 0, 300.0f},
        {"full screen", 0x8, 0, 1, 0, 1, 300.0f},
        {"shown", 0x8, 0, 0, 1, 0, 300.0f},
    };
    for (const sCASE& c : aCases)
    {
        if (c.uQueued)
            Session()->RegisterInGameQueue(0, 2);
        m_App.m_pGame->m_uFullscreen = c.uFullscreen;
        ASSERT_NO_FATAL_FAILURE(SendAd(c.iFlags));
        ::CVornAdvertisement* pAd = m_App.GetAdvertisement();
        EXPECT_EQ(pAd->GetVisible(), c.uVisible) << c.pWhat;
        EXPECT_EQ(pAd->IsPending(), c.uPending) << c.pWhat;
        EXPECT_EQ(pAd->GetExpirationTime(), c.fInterval) << c.pWhat;
        if (c.uQueued)
            Session()->UnregisterFromGameQueue();
    }

    // Pending until the game leaves the full screen.
    m_App.m_pGame->m_uFullscreen = 1;
    ASSERT_NO_FATAL_FAILURE(SendAd(0x8));
    m_App.Frame(0.1f);
    EXPECT_EQ(m_App.GetAdvertisement()->GetVisible(), 0u);
    m_App.m_pGame->m_uFullscreen = 0;
    m_App.Frame(0.1f);
    EXPECT_EQ(m_App.GetAdvertisement()->GetVisible(), 1u);
    EXPECT_EQ(Closing(), "2 seconds");
}

TEST_F(CVornAdvertisement, TheButtonsOpenTheirLinksAndAnExitAdvertisementEndsTheApplication)
{
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    struct sCASE
    {
        const char* pButton;
        std::string strLink;
        std::string strOpened; // empty: nothing opened
        bool bRefused;
    };
    const sCASE aCases[] = {
        {"ad_picture", "https://example.org/ad", "https://example.org/ad", false},
        {"ad_picture", "file:///etc/passwd", "file:///etc/passwd", true},
        {"button_ok", "https://example.org/ad", "https://example.org/ok", false},
        // Without a title link the title leads where the picture does.
        {"button_title", "https://example.org/ad", "https://example.org/ad", false},
        {"button_close", "https://example.org/ad", "", false},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(std::string(c.pButton) + " " + c.strLink);
        m_App.m_uExit = 0;
        const size_t uBefore = plat::NavigatorControlInvokedAddresses().size();
        ASSERT_NO_FATAL_FAILURE(SendAd(0x8, c.strLink));
        m_App.Frame(2.5f); // past the countdown: the close button is up
        ASSERT_NO_FATAL_FAILURE(Click(c.pButton));
        const std::vector<plat::sInvokedAddress> aOpened = plat::NavigatorControlInvokedAddresses();
        ASSERT_EQ(aOpened.size(), uBefore + (c.strOpened.empty() ? 0 : 1));
        if (!c.strOpened.empty())
        {
            EXPECT_EQ(aOpened.back().m_strAddress, c.strOpened);
            EXPECT_EQ(aOpened.back().m_bRefused, c.bRefused);
        }
        EXPECT_EQ(m_App.GetAdvertisement()->GetVisible(), 0u);
        EXPECT_EQ(m_App.GetAdvertisement()->IsExitAd(), 0u);
        EXPECT_NE(m_App.m_uExit, 0u);
    }
}

} // namespace
