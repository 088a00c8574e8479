#include "Framework/UI/ImageWidget.h"
#include "support/RecordingSurface.h"
#include "support/TestVornApplication.h"
#include "tests/Framework/UI/WidgetProbe.h"
#include "tests/Framework/UI/WidgetTestSurfaces.h"

#include <gtest/gtest.h>
#include <memory>

namespace image_widget_test
{
typedef CKorvelRect<int> Rect;
typedef CRecordingSurface::sCall Call;

// The suite is named after the class it tests; inside it, the class is ::CImageWidget.
class CImageWidget : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_App.StartResourcesOnly();
        ASSERT_TRUE(m_Target.CreateRecording(100, 100));
        m_pRoot.reset(new ::CWidget);
        m_pRoot->Startup(&m_App, &m_App, Rect(0, 0, 100, 100));
    }
    // An image widget under pParent (the root when null) showing pImage, which it then owns
    // unless the resource manager counts it.
    ::CImageWidget* Image(const Rect& area, ::CKorvelSurface* pImage, unsigned int uFlags = 1,
                          ::CWidget* pParent = nullptr)
    {
        ::CImageWidget* p = new ::CImageWidget;
        p->Startup(&m_App, &m_App, area);
        p->SetImage(pImage);
        p->SetDrawFlags(uFlags);
        (pParent ? pParent : m_pRoot.get())->AddWidget(p);
        return p;
    }
    // The blits of one drawing of the tree.
    std::vector<Call> Draw()
    {
        m_Target.ClearCalls();
        m_pRoot->DoDraw(&m_Target);
        std::vector<Call> aBlits;
        for (const Call& c : m_Target.Calls())
            if (c.m_eCall != CRecordingSurface::CALL_SET_CLIP)
                aBlits.push_back(c);
        return aBlits;
    }

    CTestVornApplication m_App;
    CRecordingSurface m_Target;
    std::unique_ptr<::CWidget, sTreeDeleter> m_pRoot;
};

TEST_F(CImageWidget, DrawFlagsAndBlendColourChooseTheBlit)
{
    const int NONE = -1;
    struct sCASE
    {
        const char* pName;
        unsigned int uFlags;
        unsigned int uBlend;
        bool bHighlight; // highlighted and half a second on
        int iCall;
        Rect rcDest;
        unsigned int uBlitFlags;
        unsigned int uColor; // of a blended blit
    } aCases[] = {
        {"flags exactly 0: unscaled at the corner", 0, 0xFFFFFFFF, false, CRecordingSurface::CALL_DRAW,
         Rect(10, 10, 10, 10), 0x80, 0},
        {"2 alone", 2, 0xFFFFFFFF, false, NONE, Rect(), 0, 0},
        {"4 alone", 4, 0xFFFFFFFF, false, NONE, Rect(), 0, 0},
        {"stretched, white", 1, 0xFFFFFFFF, false, CRecordingSurface::CALL_DRAW_STRETCHED,
         Rect(10, 10, 70, 30), 0x80, 0},
        {"stretched, tinted", 1, 0x80FF0000, false, CRecordingSurface::CALL_DRAW_STRETCHED_BLENDED,
         Rect(10, 10, 70, 30), 0x80, 0x80FF0000},
        {"alpha 0 draws nothing", 1, 0x00FF0000, false, NONE, Rect(), 0, 0},
        // A 10 x 10 frame fitted into 60 x 20, centred.
        {"keep aspect", 1 | 8, 0x80FF0000, false, CRecordingSurface::CALL_DRAW_STRETCHED,
         Rect(30, 10, 50, 30), 0x80, 0},
        {"keep aspect before the highlight", 1 | 8, 0xFFFFFFFF, true, CRecordingSurface::CALL_DRAW_STRETCHED,
         Rect(30, 10, 50, 30), 0x80, 0},
        {"highlight before the blend colour", 1, 0x00FF0000, true,
         CRecordingSurface::CALL_DRAW_STRETCHED_BLENDED, Rect(10, 10, 70, 30), 0x480, 0x80FFFFFF},
        {"highlight needs the stretch flag", 2, 0xFFFFFFFF, true, NONE, Rect(), 0, 0},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pName);
        ::CKorvelSurface* pSheet = MakeSheet(40, 20, 4, 2);
        ::CImageWidget* p = Image(Rect(10, 10, 70, 30), pSheet, c.uFlags);
        p->SetBlendColor(c.uBlend);
        if (c.bHighlight)
        {
            p->Highlight();
            p->DoUpdate(0.5f);
        }
        const std::vector<Call> aBlits = Draw();
        if (c.iCall == NONE)
        {
            EXPECT_TRUE(aBlits.empty());
        }
        else
        {
            ASSERT_EQ(aBlits.size(), 1u);
            const Call& blit = aBlits[0];
            EXPECT_EQ(blit.m_eCall, c.iCall);
            EXPECT_TRUE(SameRect(blit.m_rcDest, c.rcDest)) << AreaText(blit.m_rcDest);
            EXPECT_TRUE(SameRect(blit.m_rcSource, Rect(0, 0, 10, 10))) << AreaText(blit.m_rcSource);
            EXPECT_EQ(blit.m_pSource, pSheet);
            EXPECT_EQ(blit.m_uFlags, c.uBlitFlags);
            EXPECT_EQ(blit.m_uColor, c.uColor);
        }
        m_pRoot->DeleteWidget(p);
    }
}

TEST_F(CImageWidget, OnlyInsideSkipsAWidgetPartlyOffTheTarget)
{
    const struct
    {
        Rect rcArea;
        bool bDrawn;
    } aCases[] = {
        {Rect(0, 0, 100, 100), true},  {Rect(-1, 0, 40, 20), false},  {Rect(0, -1, 40, 20), false},
        {Rect(70, 0, 101, 20), false}, {Rect(0, 90, 40, 101), false},
    };
    for (const auto& c : aCases)
    {
        ::CImageWidget* p = Image(c.rcArea, MakeSheet(8, 8), 1 | 2);
        EXPECT_EQ(Draw().size(), c.bDrawn ? 1u : 0u) << AreaText(c.rcArea);
        m_pRoot->DeleteWidget(p);
    }
}

TEST_F(CImageWidget, NoClippingFlagDrawsPastTheParentAndRestoresTheClip)
{
    ::CWidget* pHolder = new ::CWidget;
    pHolder->Startup(&m_App, &m_App, Rect(0, 0, 50, 50));
    m_pRoot->AddWidget(pHolder);
    ::CImageWidget* p = Image(Rect(20, 20, 80, 80), MakeSheet(8, 8, 1, 1, 0xFF00FF00), 1, pHolder);
    const Rect rcBefore = m_Target.m_rcClip;

    std::vector<Call> aBlits = Draw();
    ASSERT_EQ(aBlits.size(), 1u);
    EXPECT_TRUE(SameRect(aBlits[0].m_rcClip, Rect(20, 20, 50, 50))) << AreaText(aBlits[0].m_rcClip);
    EXPECT_EQ(m_Target.GetPixelDIB(70, 70) >> 24, 0u);

    p->SetDrawFlags(1 | 16);
    aBlits = Draw();
    ASSERT_EQ(aBlits.size(), 1u);
    EXPECT_TRUE(SameRect(aBlits[0].m_rcClip, Rect(0, 0, 100, 100))) << AreaText(aBlits[0].m_rcClip);
    EXPECT_EQ(m_Target.GetPixelDIB(70, 70) >> 24, 0xFFu);
    EXPECT_TRUE(SameRect(m_Target.m_rcClip, rcBefore));
}

TEST_F(CImageWidget, FramesRunOverTheSheetAndWrapAsGiven)
{
    struct sCASE
    {
        const char* pName;
        unsigned int uFlags;
        std::vector<float> aSteps;
        unsigned int uFrame;
    } aCases[] = {
        {"0.35 s", 1, {0.35f}, 3},
        {"0.85 s: once round", 1, {0.35f, 0.5f}, 0},
        {"one step past two rounds restarts at 0", 1, {1.75f}, 0},
        {"fixed frame", 1 | 4, {0.35f}, 0},
    };
    for (const sCASE& c : aCases)
    {
        ::CImageWidget* p = Image(Rect(0, 0, 40, 40), MakeSheet(40, 20, 4, 2), c.uFlags);
        p->SetFrameDuration(0.1f);
        for (float f : c.aSteps)
            p->DoUpdate(f);
        EXPECT_EQ(p->GetFrameIndex(), c.uFrame) << c.pName;
        m_pRoot->DeleteWidget(p);
    }

    // After 0.85 s the clock is at 0.05: half a frame more shows frame 1.
    ::CImageWidget* p = Image(Rect(0, 0, 40, 40), MakeSheet(40, 20, 4, 2));
    p->SetFrameDuration(0.1f);
    p->DoUpdate(0.85f);
    p->DoUpdate(0.06f);
    EXPECT_EQ(p->GetFrameIndex(), 1u);
    // The frame drawn is the current one, row by row.
    p->SetFrameIndex(9);
    EXPECT_EQ(p->GetFrameIndex(), 1u);
    p->SetFrameIndex(6);
    Rect rcFrame;
    ASSERT_EQ(p->GetVisibleArea(rcFrame), 1u);
    EXPECT_TRUE(SameRect(rcFrame, Rect(20, 10, 30, 20))) << AreaText(rcFrame);
    const std::vector<Call> aBlits = Draw();
    ASSERT_EQ(aBlits.size(), 1u);
    EXPECT_TRUE(SameRect(aBlits[0].m_rcSource, Rect(20, 10, 30, 20)));
    // A visible area replaces the frame until it is switched off.
    const Rect rcPart(1, 2, 5, 6);
    p->SetVisibleArea(&rcPart);
    ASSERT_EQ(p->GetVisibleArea(rcFrame), 1u);
    EXPECT_TRUE(SameRect(rcFrame, rcPart));
    p->SetVisibleArea(nullptr);
    p->GetVisibleArea(rcFrame);
    EXPECT_TRUE(SameRect(rcFrame, Rect(20, 10, 30, 20)));
}

TEST_F(CImageWidget, WithoutAnImageThereIsOneFrameAndNoAnimation)
{
    ::CImageWidget* p = Image(Rect(0, 0, 40, 40), nullptr);
    p->SetFrameDuration(0.1f);
    p->DoUpdate(0.35f);
    EXPECT_EQ(p->GetFrameCount(), 1u);
    Rect rc;
    EXPECT_EQ(p->GetVisibleArea(rc), 0u);
    EXPECT_TRUE(Draw().empty());
    p->SetImage(MakeSheet(40, 20, 4, 2));
    EXPECT_EQ(p->GetFrameCount(), 8u);
    EXPECT_EQ(p->GetFrameIndex(), 0u);
}

TEST_F(CImageWidget, HighlightRampsOverASecondAndHidingStopsIt)
{
    ::CImageWidget* p = Image(Rect(0, 0, 40, 40), MakeSheet(8, 8));
    p->SetVisible(0);
    p->Highlight();
    EXPECT_EQ(p->GetDrawFlags() & 32, 0u) << "a hidden widget ignores the highlight";
    p->SetVisible(1);

    p->SetHighlightColor(0xFF102030);
    p->Highlight();
    const unsigned int auExpected[] = {0x40102030, 0x80102030, 0xBF102030, 0xFFFFFFFF};
    for (unsigned int uExpected : auExpected)
    {
        p->DoUpdate(0.25f);
        EXPECT_EQ(p->GetHighlightColor(), uExpected);
    }
    EXPECT_EQ(p->GetDrawFlags() & 32, 0u);

    p->SetHighlightColor(0xFF102030);
    p->Highlight();
    p->DoUpdate(0.25f);
    p->SetVisible(0);
    EXPECT_EQ(p->GetHighlightColor(), 0xFFFFFFFFu);
    EXPECT_EQ(p->GetDrawFlags() & 32, 0u);
}

TEST_F(CImageWidget, HighlightReachesVisibleImagesBelowAnyWidget)
{
    ::CImageWidget* pTop = Image(Rect(0, 0, 40, 40), MakeSheet(8, 8));
    ::CWidget* pPlain = new ::CWidget;
    pPlain->Startup(&m_App, &m_App, Rect(0, 0, 40, 40));
    pTop->AddWidget(pPlain);
    ::CImageWidget* pShown = Image(Rect(0, 0, 10, 10), MakeSheet(8, 8), 1, pPlain);
    ::CImageWidget* pHidden = Image(Rect(0, 0, 10, 10), MakeSheet(8, 8), 1, pPlain);
    pHidden->SetVisible(0);

    pTop->Highlight();
    EXPECT_NE(pShown->GetDrawFlags() & 32, 0u);
    EXPECT_EQ(pHidden->GetDrawFlags() & 32, 0u);
    pTop->DoUpdate(0.5f);
    EXPECT_EQ(pShown->GetHighlightColor(), 0x80FFFFFFu);

    pTop->StopHighlight();
    EXPECT_EQ(pShown->GetDrawFlags() & 32, 0u);
    EXPECT_EQ(pShown->GetHighlightColor(), 0xFFFFFFFFu);
}

TEST_F(CImageWidget, ImageReferencesBalanceThroughTheResourceManager)
{
    CCountedSurface::s_iLive = 0;
    ::CKorvelSurface* pShared = MakeSheet<CCountedSurface>(8, 8);
    m_App.AddSurface(CKorvelString("shared"), pShared);
    ::CImageWidget* pFirst = Image(Rect(0, 0, 8, 8), pShared);
    ::CWidget* pCopy = pFirst->Clone();
    EXPECT_EQ(static_cast<::CImageWidget*>(pCopy)->GetImage(), pShared);
    ::CKorvelSurface* pMine = pShared;
    EXPECT_EQ(m_App.ReleaseSurface(pMine), 1);

    m_pRoot->DeleteWidget(pFirst);
    EXPECT_EQ(CCountedSurface::s_iLive, 1) << "the copy still holds it";
    pCopy->Shutdown();
    delete pCopy;
    EXPECT_EQ(CCountedSurface::s_iLive, 0) << "the last widget let go";

    // An image the manager does not know belongs to the widget, which deletes it when
    // it is replaced; a copy cannot share it.
    ::CImageWidget* pOwner = Image(Rect(0, 0, 8, 8), MakeSheet<CCountedSurface>(8, 8));
    pCopy = pOwner->Clone();
    EXPECT_EQ(static_cast<::CImageWidget*>(pCopy)->GetImage(), nullptr);
    pCopy->Shutdown();
    delete pCopy;
    EXPECT_EQ(CCountedSurface::s_iLive, 1);
    pOwner->SetImage(nullptr);
    EXPECT_EQ(CCountedSurface::s_iLive, 0);
}

TEST_F(CImageWidget, CloneShowsTheSameFrameAreaAndFlags)
{
    ::CKorvelSurface* pShared = MakeSheet(40, 20, 4, 2);
    m_App.AddSurface(CKorvelString("sheet"), pShared);
    ::CImageWidget* p = Image(Rect(5, 5, 45, 25), pShared, 1 | 8);
    p->SetFrameDuration(0.1f);
    p->SetFrameIndex(5);
    const Rect rcPart(0, 0, 20, 10);
    p->SetVisibleArea(&rcPart);

    std::unique_ptr<::CWidget, sTreeDeleter> pCopy(p->Clone());
    ::CImageWidget* pImage = static_cast<::CImageWidget*>(pCopy.get());
    EXPECT_EQ(pImage->GetFrameIndex(), 5u);
    EXPECT_EQ(pImage->GetDrawFlags(), 1u | 8u);
    Rect rc;
    pImage->GetVisibleArea(rc);
    EXPECT_TRUE(SameRect(rc, rcPart));
}

} // namespace image_widget_test
