// The application object's toast path: the session's notifications, the notification
// filter, and the lobby's answers the game reaches through the application.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "support/TestKestrolundApplication.h"
#include "tests/Framework/Shell/ShellTestStats.h"

namespace
{

// Named after the class under test; the class itself is ::CKestrolundApplication here.
class CKestrolundApplication : public ::testing::Test
{
protected:
    void StartThroughSplash()
    {
        ASSERT_TRUE(m_App.WritePacks());
        ASSERT_EQ(m_App.Start(), KE_OK);
        ASSERT_TRUE(m_App.RunSplash());
        m_App.m_Log.Clear();
    }
    int Toasts() const { return m_App.m_Log.Count("toast.Add"); }

    CTestKestrolundApplication m_App;
};

TEST_F(CKestrolundApplication, TheNotificationFilterDropsOtherPlayersToasts)
{
    ASSERT_NO_FATAL_FAILURE(StartThroughSplash());
    struct sCASE
    {
        unsigned int uFilter;
        bool bInMatch;
        int iType;
        int iShown;
    };
    const sCASE aCases[] = {
        {1, true, 1, 0},  {1, true, 2, 0},  {1, true, 0, 1},  {1, false, 1, 1}, {1, true, -2, 1},
        {2, false, 1, 0}, {2, false, 2, 0}, {2, false, 4, 1}, {0, true, 1, 1},  {4, true, 2, 1},
    };
    for (const sCASE& c : aCases)
    {
        m_App.SetNotificationFilter(c.uFilter);
        if (c.bInMatch)
            m_App.m_pTestLobby->OnGameStart();
        else
            m_App.m_pTestLobby->OnGameEnd();
        m_App.m_Log.Clear();
        m_App.OnNotification(m_App.GetNetworkSession(), 7, c.iType, CKorvelString("hello"));
        SCOPED_TRACE(std::to_string(c.uFilter) + " " + std::to_string(c.bInMatch) + " " +
                     std::to_string(c.iType));
        EXPECT_EQ(Toasts(), c.iShown);
        if (c.iShown)
        {
            EXPECT_EQ(m_App.m_Log.With("toast.Add")[0],
                      "toast.Add(hello," + std::to_string(c.iType) + ",0.000000)");
        }
    }
}

TEST_F(CKestrolundApplication, TheFilterIsStoredAndADroppedToastNeverComesLater)
{
    ASSERT_NO_FATAL_FAILURE(StartThroughSplash());
    m_App.SetNotificationFilter(6);
    EXPECT_EQ(m_App.GetStatistics()->GetProperty(CKorvelString("__Vorn_NotificationFilter"))->m_iIntValue, 6);
    m_App.ShowToastNotification(nullptr, CKorvelString("late"), 2.0f, 1);
    m_App.SetNotificationFilter(0);
    m_App.Frame(0.1f);
    EXPECT_EQ(Toasts(), 0);
    m_App.ShowToastNotification(nullptr, CKorvelString("now"), 2.0f, 1);
    EXPECT_EQ(m_App.m_Log.With("toast.Add"), (std::vector<std::string>{"toast.Add(now,1,2.000000)"}));
}

TEST_F(CKestrolundApplication, WithoutAToastOverlayToastsAreDroppedQuietly)
{
    CTestKestrolundApplication& app = m_App;
    app.m_iToastStartupResult = KE_ERR_NOTFOUND;
    ASSERT_TRUE(app.WritePacks(false));
    ASSERT_EQ(app.Start(), KE_OK);
    EXPECT_EQ(app.GetToast(), nullptr) << "a toast that does not start is dropped";
    EXPECT_EQ(app.m_Log.Count("toast.~"), 1);
    app.OnNotification(nullptr, 1, 0, CKorvelString("nobody hears"));
    app.OnMouseButton(0, 1, 1);
    EXPECT_EQ(app.m_Log.Count("toast.Add"), 0);
}

} // namespace
