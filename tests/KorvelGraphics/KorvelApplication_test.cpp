#include "KorvelGraphics/KorvelApplication.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CFrameApplication : public IKorvelApplication
{
public:
    void Frame(float seconds) { UpdateRunnables(seconds); }
    int Count() const { return m_Runnables.GetCount(); }
};

class CCounter : public IKorvelRunnable
{
public:
    void Update(float seconds) override
    {
        m_Seconds.push_back(seconds);
        if (m_pApp && m_pAdd)
        {
            m_pApp->AddRunnable(m_pAdd);
            m_pAdd = nullptr;
        }
    }
    std::vector<float> m_Seconds;
    CFrameApplication* m_pApp = nullptr;
    IKorvelRunnable* m_pAdd = nullptr;
};

TEST(IKorvelApplication, RunnablesAreFlaggedWhileRegistered)
{
    CFrameApplication app;
    CCounter a, b;
    app.AddRunnable(&a);
    EXPECT_EQ(1u, a.m_uRegistered);
    app.RemoveRunnable(&b); // absent: nothing
    EXPECT_EQ(1, app.Count());
    EXPECT_EQ(0u, b.m_uRegistered);

    app.Frame(0.25f);
    ASSERT_EQ(1u, a.m_Seconds.size());
    EXPECT_EQ(0.25f, a.m_Seconds[0]);

    app.RemoveRunnable(&a);
    EXPECT_EQ(0u, a.m_uRegistered);
    app.Frame(0.25f);
    EXPECT_EQ(1u, a.m_Seconds.size());
}

TEST(IKorvelApplication, ARunnableAddedDuringAFrameRunsInThatFrame)
{
    CFrameApplication app;
    CCounter first, added;
    first.m_pApp = &app;
    first.m_pAdd = &added;
    app.AddRunnable(&first);
    app.Frame(0.5f);
    EXPECT_EQ(1u, added.m_Seconds.size());
    EXPECT_EQ(2, app.Count());
}

} // namespace
