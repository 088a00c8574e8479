// The web button on the shell's real application: the address handed to the browser.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "Framework/Shell/VornLanguage.h"
#include "Framework/UI/WebButton.h"
#include "PlatformDeviceInfoControl.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestText.h"
#include "tests/Framework/UI/WidgetProbe.h"

#include <gtest/gtest.h>

namespace web_button_test
{
typedef CKorvelRect<int> Rect;

KE_RETVAL CountClick(::CWidget*, void* pContext)
{
    ++*static_cast<int*>(pContext);
    return KE_OK;
}

// Named after the class under test; the class itself is ::CWebButton here.
class CWebButton : public ::testing::Test
{
protected:
    void SetUp() override { ::CWidget::SetActiveWidget(nullptr); }
    void TearDown() override { ::CWidget::SetActiveWidget(nullptr); }

    std::unique_ptr<::CWebButton, sTreeDeleter> Button(IKorvelApplication* pApp, const char* pUrl)
    {
        std::unique_ptr<::CWebButton, sTreeDeleter> p(new ::CWebButton);
        p->Startup(pApp, nullptr, Rect(0, 0, 50, 20));
        p->SetUrl(CKorvelString(pUrl));
        p->SetOnClick(CActionCallback(CountClick, &m_iClicks));
        return p;
    }

    int m_iClicks = 0;
};

TEST_F(CWebButton, FillsTheFirstOfEachPlaceholderFromTheApplication)
{
    CTestKestrolundApplication app;
    app.m_SessionScript.iRelease = 17;
    app.m_SessionScript.strLoginToken = "tok9";
    app.m_SessionScript.strLoginCheck = "0f1e2d";
    ASSERT_TRUE(app.WritePacks());
    ASSERT_EQ(app.Start(), KE_OK);
    ASSERT_TRUE(app.RunSplash());
    ASSERT_NE(app.GetLanguage()->GetCurrentLanguage(), nullptr);

    auto p =
        Button(&app, "https://web.test/api/forward.php?game=APPLICATION_ID&amp;release=RELEASE_ID&amp;"
                     "rid=RESELLER_ID&amp;lang=LANGUAGE&amp;again=LANGUAGE&amp;token=APPLICATION_TOKEN&amp;"
                     "check=APPLICATION_CHECK");
    const size_t uBefore = plat::NavigatorControlInvokedAddresses().size();
    p->click();

    const std::string strExpected =
        "https://web.test/api/forward.php?game=" + std::to_string(app.GetAppId()) +
        "&release=" + std::to_string(app.GetReleaseId()) + "&rid=" + Narrow(app.GetResellerId()) +
        "&lang=" + Narrow(app.GetLanguage()->GetCurrentLanguage()->m_strCode) +
        "&again=LANGUAGE&token=" + Narrow(app.GetAccessToken()) + "&check=" + Narrow(app.GetAccessCheck());
    const std::vector<plat::sInvokedAddress> aAddresses = plat::NavigatorControlInvokedAddresses();
    ASSERT_EQ(aAddresses.size(), uBefore + 1);
    EXPECT_EQ(aAddresses.back().m_strAddress, strExpected);
    EXPECT_NE(strExpected.find("release=17&"), std::string::npos)
        << "the session's values were there to take";
    EXPECT_NE(strExpected.find("token=tok9&"), std::string::npos);
    EXPECT_EQ(m_iClicks, 1);
}

TEST_F(CWebButton, WithoutAnApplicationOnlyOnClickRuns)
{
    auto p = Button(nullptr, "https://web.test/?a=APPLICATION_ID&amp;b=1");
    const size_t uBefore = plat::NavigatorControlInvokedAddresses().size();
    p->click();
    EXPECT_EQ(plat::NavigatorControlInvokedAddresses().size(), uBefore);
    EXPECT_EQ(m_iClicks, 1);
    EXPECT_EQ(Narrow(p->BuildUrl()), "https://web.test/?a=APPLICATION_ID&b=1");

    std::unique_ptr<::CWidget, sTreeDeleter> pCopy(p->Clone());
    EXPECT_EQ(Narrow(static_cast<::CWebButton*>(pCopy.get())->GetUrl()),
              "https://web.test/?a=APPLICATION_ID&amp;b=1");
}

} // namespace web_button_test
