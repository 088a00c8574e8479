// The toast with the framework's own "toast-root.xml" on the test application (headless,
// Mesa GL): its queue, timing and slide, icons and texts by type, input, rebuilds for a
// new screen size, and a server's Notification arriving as a toast.
// KORVEL_GL_TEST
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "Framework/Lobby/VornToastNotification.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/TextWidget.h"
#include "support/BuiltAppFolder.h"
#include "support/SessionServerTest.h"
#include "support/TestMedia.h"
#include "support/TestShellPacks.h"
#include "support/TestText.h"

namespace
{

CWidget* Find(::CVornToastNotification& toast, const char* pName)
{
    return toast.GetRoot() ? toast.GetRoot()->FindWidget(CKorvelString(pName), -1) : nullptr;
}

std::string Message(::CVornToastNotification& toast)
{
    CTextWidget* pText = widget_cast<CTextWidget*>(Find(toast, "toast_message"));
    return pText ? Narrow(pText->GetText()) : "<none>";
}

class CVornToastNotification : public CSessionServerTest
{
protected:
    // The application on the built folder without a server; its toast.
    void StartLocal()
    {
        m_App.m_bRealOverlays = true;
        ASSERT_TRUE(LinkBuiltAppFolder(m_App.AppFile("")));
        ASSERT_EQ(m_App.Start(), KE_OK);
        m_pToast = m_App.GetToast();
        ASSERT_NE(m_pToast, nullptr);
        ASSERT_NE(Hit(), nullptr);
        ASSERT_NE(Find(*m_pToast, "toast_bg"), nullptr);
    }
    bool PrepareAppFolder() override
    {
        m_App.m_bRealOverlays = true;
        if (!LinkBuiltAppFolder(m_App.AppFile("")))
            return false;
        // The test's own texts, not written through the link into the build's folder.
        std::filesystem::remove(m_App.AppFile("vornlanguage_en.kmp"));
        return WriteTestFile(m_App.AppFile("vornlanguage_en.kmp"),
                             TestLanguagePackBytes("English", "en", LanguageTexts()));
    }

    CWidget* Hit() { return Find(*m_pToast, "toast_hitarea"); }
    int HitTop() { return Hit()->GetArea().top; }
    int Bottom() { return Hit()->GetParent()->GetClientArea().bottom; }
    int Height() { return Hit()->GetHeight(); }
    int Rounded(float fY) { return static_cast<int>(std::floor(fY + 0.5f)); }
    // Screen coordinates of the hit area's middle.
    void HitCentre(int& iX, int& iY)
    {
        iX = Hit()->GetWidth() / 2;
        iY = Hit()->GetHeight() / 2;
        for (const CWidget* p = Hit(); p; p = p->GetParent())
        {
            iX += p->GetArea().left;
            iY += p->GetArea().top;
        }
    }

    ::CVornToastNotification* m_pToast = nullptr;
};

TEST_F(CVornToastNotification, QueueSkipsAWaitingDuplicateButTakesTheTextOnScreenAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartLocal());
    m_pToast->Add(CKorvelString("one"), 1, 0.0f);
    EXPECT_EQ(m_pToast->GetVisible(), 1u);
    EXPECT_EQ(m_pToast->GetCurrentRequest().m_fDuration, 3.0f);
    m_pToast->Add(CKorvelString("two"), 1, 0.0f);
    m_pToast->Add(CKorvelString("two"), 1, 0.0f);
    m_pToast->Add(CKorvelString("one"), 1, 0.0f);
    EXPECT_EQ(m_pToast->GetQueueCount(), 2);

    // Duration 0 lasts 3.0 s; then each queued toast in turn.
    std::vector<std::string> aShown;
    for (int i = 0; i < 3; ++i)
    {
        aShown.push_back(Message(*m_pToast));
        m_pToast->Update(2.5f);
        EXPECT_EQ(m_pToast->GetVisible(), 1u) << i;
        m_pToast->Update(0.5f);
    }
    EXPECT_EQ(aShown, (std::vector<std::string>{"one", "two", "one"}));
    EXPECT_EQ(m_pToast->GetVisible(), 0u);
    EXPECT_EQ(m_pToast->GetShowTime(), -1.0f);
}

TEST_F(CVornToastNotification, SlidesInRestsAndSlidesOutOverHalfASecondEach)
{
    ASSERT_NO_FATAL_FAILURE(StartLocal());
    // The hit area rises by its height to rest on the bottom edge; the picture at its top
    // keeps clear of the edge.
    const int B = Bottom(), H = Height(), R = B - H;
    ASSERT_GT(H, 0);
    const float fRise = static_cast<float>(H);
    struct sSTEP
    {
        float fDuration; // of the toast
        float fAt;       // show time after the step
        int iExpected;
    };
    const sSTEP aSteps[] = {
        {3.0f, 0.25f, Rounded(B - fRise / 2.0f)},
        {3.0f, 0.5f, R},
        {3.0f, 0.6f, R},
        {3.0f, 1.5f, R},
        {3.0f, 2.5f, R},
        {3.0f, 2.75f, Rounded(B - fRise / 2.0f)},
        // No time at rest: already leaving a moment after arriving.
        {1.0f, 0.25f, Rounded(B - fRise / 2.0f)},
        {1.0f, 0.5f, R},
        {1.0f, 0.6f, Rounded(B - fRise * 0.8f)},
        {1.0f, 0.75f, Rounded(B - fRise / 2.0f)},
    };
    float fLastDuration = 0.0f, fAt = 0.0f;
    for (const sSTEP& step : aSteps)
    {
        if (step.fDuration != fLastDuration)
        {
            for (int i = 0; i < 20 && m_pToast->GetVisible(); ++i)
                m_pToast->Update(0.25f);
            m_pToast->Add(CKorvelString(std::to_string(step.fDuration).c_str()), 1, step.fDuration);
            fLastDuration = step.fDuration;
            fAt = 0.0f;
        }
        m_pToast->Update(step.fAt - fAt);
        fAt = step.fAt;
        EXPECT_EQ(HitTop(), step.iExpected) << step.fDuration << " s toast at " << step.fAt;
        EXPECT_EQ(Find(*m_pToast, "toast_bg")->GetArea().top, step.iExpected);
        if (step.iExpected == R)
        {
            EXPECT_LT(Find(*m_pToast, "toast_bg")->GetArea().bottom, B)
                << "the picture rests clear of the edge";
        }
    }
    m_pToast->Update(0.25f);
    EXPECT_EQ(m_pToast->GetVisible(), 0u);
}

TEST_F(CVornToastNotification, TypeChoosesTheIconAndAnAchievementAddsItsLine)
{
    ASSERT_NO_FATAL_FAILURE(StartLocal());
    struct sCASE
    {
        int iType;
        const char* pIcon; // null: none shown
        const char* pShown;
    };
    const sCASE aCases[] = {
        {1, "toast_icon_message", "hello"},
        {-1, "toast_icon_challenge", "hello"},
        {-2, "toast_icon_challenge", "hello"},
        {4, "toast_icon_achievement", "hello\n\nAchievement unlocked!"},
        {7, nullptr, "hello"},
    };
    for (const sCASE& c : aCases)
    {
        m_pToast->Add(CKorvelString("hello"), c.iType, 1.0f);
        EXPECT_EQ(Message(*m_pToast), c.pShown) << c.iType;
        EXPECT_EQ(m_pToast->GetType(), c.iType);
        for (const char* pIcon : {"toast_icon_message", "toast_icon_challenge", "toast_icon_achievement"})
            EXPECT_EQ(Find(*m_pToast, pIcon)->GetVisible(),
                      c.pIcon && std::string(c.pIcon) == pIcon ? 1u : 0u)
                << c.iType << " " << pIcon;
        m_pToast->Update(1.0f);
        ASSERT_EQ(m_pToast->GetVisible(), 0u);
    }
}

TEST_F(CVornToastNotification, AClickLeavesAtOnceAndTheNextToastFollows)
{
    ASSERT_NO_FATAL_FAILURE(StartLocal());
    m_pToast->Add(CKorvelString("first"), 1, 3.0f);
    m_pToast->Add(CKorvelString("second"), -2, 3.0f);
    m_pToast->Update(1.0f);
    // A challenge waiting counts as held, as does the message up until it is clicked away.
    EXPECT_TRUE(m_pToast->Holds(-2));
    EXPECT_TRUE(m_pToast->Holds(1));
    EXPECT_FALSE(m_pToast->Holds(4));
    int iX = 0, iY = 0;
    HitCentre(iX, iY);
    EXPECT_EQ(m_pToast->OnMouseButton(0, iX, iY), 1u);
    EXPECT_EQ(m_pToast->OnMouseButtonUp(0, iX, iY), 1u);
    // The button fires after its short click delay, inside the toast's own update.
    m_pToast->Update(0.2f);
    EXPECT_FLOAT_EQ(m_pToast->GetShowTime(), 2.5f);
    EXPECT_FALSE(m_pToast->Holds(1)) << "leaving";
    m_pToast->Update(0.5f);
    EXPECT_EQ(Message(*m_pToast), "second");
    EXPECT_EQ(m_pToast->GetShowTime(), 0.0f);
    EXPECT_EQ(m_pToast->GetType(), -2);
    EXPECT_TRUE(m_pToast->Holds(-2));
    m_pToast->Update(3.0f);
    EXPECT_FALSE(m_pToast->Holds(-2)) << "over";
}

TEST_F(CVornToastNotification, InputOutsideTheHitAreaIsNotTaken)
{
    ASSERT_NO_FATAL_FAILURE(StartLocal());
    // Nothing is taken while no toast is up.
    int iX = 0, iY = 0;
    HitCentre(iX, iY);
    EXPECT_EQ(m_pToast->OnMouseButton(0, iX, iY), 0u);
    EXPECT_EQ(m_pToast->OnMouseButtonUp(0, iX, iY), 0u);
    EXPECT_EQ(m_pToast->OnMouseDrag(0, iX, iY), 0u);

    m_pToast->Add(CKorvelString("up"), 1, 3.0f);
    m_pToast->Update(1.0f);
    HitCentre(iX, iY);
    EXPECT_EQ(m_pToast->OnMouseDrag(0, iX, iY), 1u);
    EXPECT_EQ(m_pToast->OnMouseButtonUp(0, iX, iY), 1u);
    EXPECT_EQ(m_pToast->OnMouseButton(0, 2, 2), 0u);
    EXPECT_EQ(m_pToast->OnMouseButtonUp(0, 2, 2), 0u);
    EXPECT_EQ(m_pToast->OnMouseDrag(0, 2, 2), 0u);
    // Just below the hit area's bottom edge.
    EXPECT_EQ(m_pToast->OnMouseDrag(0, iX, Bottom() + 1), 0u);
}

TEST_F(CVornToastNotification, ANewScreenSizeRebuildsTheTreeAndKeepsTheToastAtItsTime)
{
    ASSERT_NO_FATAL_FAILURE(StartLocal());
    m_pToast->Add(CKorvelString("kept"), 4, 3.0f);
    m_pToast->Update(1.0f);
    EXPECT_EQ(m_pToast->OnScreenChanged(480, 320), 1u);
    ASSERT_NE(m_pToast->GetRoot(), nullptr);
    EXPECT_EQ(m_pToast->GetRoot()->GetWidth(), 480);
    EXPECT_EQ(m_pToast->GetShowTime(), 1.0f);
    EXPECT_EQ(m_pToast->GetVisible(), 1u);
    EXPECT_EQ(Message(*m_pToast), "kept\n\nAchievement unlocked!");
    EXPECT_EQ(Find(*m_pToast, "toast_icon_achievement")->GetVisible(), 1u);
    m_pToast->Update(0.5f);
    EXPECT_EQ(HitTop() + Height(), Bottom()) << "at rest on the new size's bottom edge";
    EXPECT_LT(Find(*m_pToast, "toast_bg")->GetArea().bottom, Bottom());
    m_pToast->Update(1.5f);
    EXPECT_EQ(m_pToast->GetVisible(), 0u);
}

// ---- through the server

TEST_F(CVornToastNotification, ANotificationFromTheServerShowsAsAToastOfItsType)
{
    Start();
    ASSERT_GT(LoginGuest(Session(), m_Rec), 0);
    ::CVornToastNotification* pToast = m_App.GetToast();
    ASSERT_NE(pToast, nullptr);
    // Whatever the start showed (no network at the splash) is over.
    for (int i = 0; i < 40 && pToast->GetVisible(); ++i)
        pToast->Update(0.5f);
    m_pControl->Send("L1", "notification", "[7, \"Server restarts soon\", -2]");
    ASSERT_TRUE(WaitFor([pToast] { return pToast->GetVisible() != 0; }));
    EXPECT_EQ(Message(*pToast), "Server restarts soon");
    EXPECT_EQ(pToast->GetType(), -2);
    EXPECT_EQ(Find(*pToast, "toast_icon_challenge")->GetVisible(), 1u);
}

} // namespace
