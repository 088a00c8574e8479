// Progress bars, rotating images, gradients, frames and pies on the recording surface:
// what each asks the target to draw, the shared radial surface, and that the widgets
// which speak GL leave a surface target without a single GL call.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

#include "Framework/UI/FrameWidget.h"
#include "Framework/UI/GradientWidget.h"
#include "Framework/UI/PieWidget.h"
#include "Framework/UI/ProgressBar.h"
#include "Framework/UI/RotatingImageWidget.h"
#include "KorvelCommon/KorvelMath.h"
#include "support/GlCallLog.h"
#include "support/RecordingSurface.h"
#include "support/TestVornApplication.h"
#include "tests/Framework/UI/WidgetProbe.h"
#include "tests/Framework/UI/WidgetTestSurfaces.h"

namespace content_widgets_test
{
typedef CKorvelRect<int> Rect;
typedef CRecordingSurface::sCall Call;
typedef std::unique_ptr<CWidget, sTreeDeleter> Owned;

// An application with the resource manager only, and a 200 x 100 recording target.
class CContentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_App.StartResourcesOnly();
        ASSERT_TRUE(m_Target.CreateRecording(200, 100));
    }
    template <class T> T* Make(const Rect& area)
    {
        T* p = new T;
        p->Startup(&m_App, &m_App, area);
        m_aOwned.emplace_back(p);
        return p;
    }
    // A sheet registered with the resource manager under the name, its count handed over.
    CKorvelSurface* Managed(const char* pName, int iWidth, int iHeight, unsigned int argb = 0xFF3366CC)
    {
        CKorvelSurface* p = MakeSheet(iWidth, iHeight, 1, 1, argb);
        m_App.AddSurface(CKorvelString(pName), p);
        return p;
    }
    std::vector<Call> Drawn(CWidget* p)
    {
        m_Target.ClearCalls();
        p->DoDraw(&m_Target);
        std::vector<Call> a;
        for (const Call& c : m_Target.Calls())
            if (c.m_eCall != CRecordingSurface::CALL_SET_CLIP)
                a.push_back(c);
        return a;
    }

    CTestVornApplication m_App;
    CRecordingSurface m_Target;
    std::vector<Owned> m_aOwned;
};

class CProgressBar : public CContentTest
{
};
class CRotatingImageWidget : public CContentTest
{
};
class CGradientWidget : public CContentTest
{
};
class CFrameWidget : public CContentTest
{
};
class CPieWidget : public CContentTest
{
};

TEST_F(CProgressBar, TheFillIsCroppedFromItsSide)
{
    struct sCASE
    {
        int iSide;
        Rect dest, source;
    };
    // A 100 x 20 bar at a quarter, a 40 x 10 image.
    const sCASE aCases[] = {
        {0, Rect(0, 0, 25, 20), Rect(0, 0, 10, 10)},    {1, Rect(0, 0, 100, 5), Rect(0, 0, 40, 3)},
        {2, Rect(75, 0, 100, 20), Rect(30, 0, 40, 10)}, {3, Rect(0, 15, 100, 20), Rect(0, 7, 40, 10)},
        {9, Rect(0, 15, 100, 20), Rect(0, 7, 40, 10)}, // clamped to the last side
    };
    ::CProgressBar* pBar = Make<::CProgressBar>(Rect(0, 0, 100, 20));
    CKorvelSurface* pImage = Managed("fill", 40, 10, 0xFF00FF00);
    pBar->SetProgressImage(pImage);
    pBar->SetProgress(0.25f);
    for (const sCASE& c : aCases)
    {
        pBar->SetSide(static_cast<::CProgressBar::ESide>(c.iSide));
        const auto aCalls = Drawn(pBar);
        ASSERT_EQ(aCalls.size(), 1u) << c.iSide;
        EXPECT_EQ(aCalls[0].m_pSource, pImage);
        EXPECT_TRUE(SameRect(aCalls[0].m_rcDest, c.dest)) << c.iSide << " " << AreaText(aCalls[0].m_rcDest);
        EXPECT_TRUE(SameRect(aCalls[0].m_rcSource, c.source))
            << c.iSide << " " << AreaText(aCalls[0].m_rcSource);
    }
    // Side 2 lands in the right quarter only.
    pBar->SetSide(::CProgressBar::SIDE_RIGHT);
    m_Target.Fill(0u, static_cast<const CKorvelRect<int>*>(nullptr));
    Drawn(pBar);
    EXPECT_GT((m_Target.GetPixel(90, 10) >> 8) & 0xFF, 0xF0u);
    EXPECT_EQ(m_Target.GetPixel(70, 10) & 0x00FFFFFF, 0u);
}

TEST_F(CProgressBar, ClampsTheLowImageAndTheBlendColour)
{
    ::CProgressBar* pBar = Make<::CProgressBar>(Rect(0, 0, 100, 20));
    CKorvelSurface* pFill = Managed("fill", 40, 10);
    CKorvelSurface* pLow = Managed("low", 40, 10);
    pBar->SetProgressImage(pFill);
    pBar->SetProgressLowImage(pLow);
    pBar->SetProgressLowLimit(0.2f);
    for (float f : {-1.0f, 2.0f})
    {
        pBar->SetProgress(f);
        pBar->SetProgressLowLimit(f);
        EXPECT_EQ(pBar->GetProgress(), f < 0 ? 0.0f : 1.0f);
        EXPECT_EQ(pBar->GetProgressLowLimit(), f < 0 ? 0.0f : 1.0f);
    }
    pBar->SetProgressLowLimit(0.2f);
    pBar->SetProgress(0.1f);
    auto aCalls = Drawn(pBar);
    ASSERT_EQ(aCalls.size(), 1u);
    EXPECT_EQ(aCalls[0].m_pSource, pLow);
    pBar->SetProgress(0.2f);
    EXPECT_EQ(Drawn(pBar)[0].m_pSource, pFill);
    pBar->SetBlendColor(0x80FF0000);
    aCalls = Drawn(pBar);
    ASSERT_EQ(aCalls.size(), 1u);
    EXPECT_EQ(aCalls[0].m_eCall, CRecordingSurface::CALL_DRAW_STRETCHED_BLENDED);
    pBar->SetBlendColor(0x00FF0000);
    EXPECT_TRUE(Drawn(pBar).empty());
    pBar->SetProgress(0.0f);
    pBar->SetBlendColor(0xFFFFFFFF);
    EXPECT_TRUE(Drawn(pBar).empty()) << "nothing at no progress";
}

TEST_F(CProgressBar, AClonedBarKeepsItsAreaAndImages)
{
    ::CProgressBar* pBar = Make<::CProgressBar>(Rect(5, 6, 105, 26));
    CKorvelSurface* pFill = Managed("fill", 40, 10);
    CKorvelSurface* pLow = Managed("low", 40, 10);
    pBar->SetImage(Managed("back", 8, 8));
    pBar->SetProgressImage(pFill);
    pBar->SetProgressLowImage(pLow);
    pBar->SetProgress(0.5f);
    pBar->SetProgressLowLimit(0.3f);
    pBar->SetSide(::CProgressBar::SIDE_BOTTOM);
    Owned pClone(pBar->Clone());
    ::CProgressBar* pCopy = widget_cast<::CProgressBar*>(pClone.get());
    ASSERT_NE(pCopy, nullptr);
    EXPECT_TRUE(SameRect(pCopy->GetArea(), Rect(5, 6, 105, 26)));
    EXPECT_EQ(pCopy->GetImage(), pBar->GetImage());
    EXPECT_EQ(pCopy->GetProgressImage(), pFill);
    EXPECT_EQ(pCopy->GetProgressLowImage(), pLow);
    EXPECT_EQ(pCopy->GetProgress(), 0.5f);
    EXPECT_EQ(pCopy->GetProgressLowLimit(), 0.3f);
    EXPECT_EQ(pCopy->GetSide(), ::CProgressBar::SIDE_BOTTOM);
    // Each owner holds its own reference: the original's images outlive the clone.
    pClone.reset();
    CKorvelSurface* pHeld = m_App.HaveSurface(CKorvelString("fill"));
    EXPECT_EQ(pHeld, pFill);
    m_App.ReleaseSurface(pHeld);
}

TEST_F(CRotatingImageWidget, StepsSnapTheDrawnAngleTowardZero)
{
    ::CRotatingImageWidget* pSpinner = Make<::CRotatingImageWidget>(Rect(10, 10, 50, 40));
    EXPECT_TRUE(pSpinner->GetDrawFlags() & CImageWidget::DRAW_NO_CLIPPING);
    pSpinner->SetImage(Managed("spinner", 16, 16));
    pSpinner->SetRotationSpeed(KE_PI);
    pSpinner->SetRotationSteps(4);
    EXPECT_EQ(pSpinner->GetRotationSteps(), 4);
    const float aExpected[4] = {0.0f, -KE_HALF_PI, -KE_PI, -4.712389f};
    std::set<int> seen;
    for (int i = 0; i < 40; ++i)
    {
        const auto aCalls = Drawn(pSpinner);
        ASSERT_EQ(aCalls.size(), 1u);
        ASSERT_EQ(aCalls[0].m_eCall, CRecordingSurface::CALL_DRAW_ROTATED);
        EXPECT_EQ(aCalls[0].m_fSize, 30.0f) << "the shorter side";
        int iMatch = -1;
        for (int k = 0; k < 4; ++k)
            if (std::fabs(aCalls[0].m_fValue - aExpected[k]) < 1e-4f)
                iMatch = k;
        EXPECT_GE(iMatch, 0) << aCalls[0].m_fValue;
        seen.insert(iMatch);
        pSpinner->DoUpdate(0.13f);
    }
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3}));
    pSpinner->SetRotationSteps(0);
    EXPECT_EQ(pSpinner->GetRotationSteps(), 0);
    // More than a turn a frame, or no number at all, still leaves an angle within a turn.
    for (float fSpeed : {100.0f, -1e30f, std::nanf("")})
    {
        pSpinner->SetRotationSpeed(fSpeed);
        pSpinner->DoUpdate(1.0f);
        EXPECT_LE(std::fabs(pSpinner->GetRotationAngle()), KE_TWO_PI) << fSpeed;
    }
}

TEST_F(CRotatingImageWidget, ATintedRotationNeedsTheGlScreen)
{
    ::CRotatingImageWidget* pSpinner = Make<::CRotatingImageWidget>(Rect(10, 10, 50, 40));
    EXPECT_EQ(pSpinner->DoDraw(&m_Target), KE_OK) << "no image, nothing";
    pSpinner->SetImage(Managed("spinner", 16, 16));
    pSpinner->SetBlendColor(0xFF80FF80);
    ClearGlCallLog();
    EXPECT_TRUE(Drawn(pSpinner).empty());
    EXPECT_EQ(pSpinner->DoDraw(&m_Target), KE_OK);
    EXPECT_EQ(GlCallLog().size(), 0u);
    pSpinner->SetRotationAngle(1.0f);
    Owned pClone(pSpinner->Clone());
    EXPECT_EQ(static_cast<::CRotatingImageWidget*>(pClone.get())->GetRotationAngle(), 1.0f);
}

TEST_F(CGradientWidget, LinearModesFillTheCornersInOrder)
{
    ::CGradientWidget* pGradient = Make<::CGradientWidget>(Rect(0, 0, 50, 40));
    EXPECT_EQ(pGradient->GetTransparent(), 1u);
    pGradient->SetColor1(0x00112233);
    pGradient->SetColor2(0x80445566);
    EXPECT_EQ(pGradient->GetColor1(), 0xFF112233u) << "colours are opaque";
    const unsigned int c1 = 0xFF112233, c2 = 0xFF445566;
    struct sCASE
    {
        const char* pWhat;
        unsigned int uFlags, uHighlight;
        bool bDrawn;
        unsigned int aCorners[4];
    };
    const sCASE aCases[] = {
        {"vertical", 1, 0, true, {c1, c1, c2, c2}},
        {"horizontal", 0x10000001, 0, true, {c1, c2, c2, c1}},
        {"another mode", 0x30000001, 0, false, {}},
        {"highlight, opaque", 0x21, 0xFFFFFFFF, true, {c1, c1, c2, c2}},
        {"highlight, clear", 0x21, 0x00FFFFFF, true, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}},
    };
    for (const sCASE& c : aCases)
    {
        pGradient->SetDrawFlags(c.uFlags);
        pGradient->SetHighlightColor(c.uHighlight);
        const auto aCalls = Drawn(pGradient);
        ASSERT_EQ(aCalls.size(), c.bDrawn ? 1u : 0u) << c.pWhat;
        if (!c.bDrawn)
            continue;
        EXPECT_EQ(aCalls[0].m_eCall, CRecordingSurface::CALL_GRADIENT_FILL);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(aCalls[0].m_auCorners[i], c.aCorners[i]) << c.pWhat << " corner " << i;
    }
}

TEST_F(CGradientWidget, RadialGradientsOfTheSameColoursShareOneSurface)
{
    const CKorvelString strName("radial_gradient_ff000000_ffffffff");
    {
        ::CGradientWidget* pA = Make<::CGradientWidget>(Rect(0, 0, 50, 40));
        ::CGradientWidget* pB = Make<::CGradientWidget>(Rect(60, 0, 110, 40));
        pA->SetRadius(0.5f);
        pB->SetRadius(2.0f);
        for (::CGradientWidget* p : {pA, pB})
            p->SetDrawFlags(::CGradientWidget::MODE_RADIAL | 1);
        const auto aCalls = Drawn(pA);
        ASSERT_EQ(aCalls.size(), 1u);
        EXPECT_FALSE(aCalls[0].m_bHasDest) << "over the whole target, within the clip";
        Drawn(pB);
        ASSERT_NE(pA->GetImage(), nullptr);
        EXPECT_EQ(pA->GetImage(), pB->GetImage());
        EXPECT_EQ(pA->GetImage()->GetWidth(), 64);
        EXPECT_EQ(pA->GetImage()->GetHeight(), 64);
        // Colour 1 at the centre, colour 2 outside.
        EXPECT_GT(pA->GetImage()->GetPixel(32, 32) & 0xFF, 0xF0u);
        EXPECT_LT(pA->GetImage()->GetPixel(0, 0) & 0xFF, 0x10u);
        CKorvelSurface* pHeld = m_App.HaveSurface(strName);
        EXPECT_EQ(pHeld, pA->GetImage());
        m_App.ReleaseSurface(pHeld);
        ::CGradientWidget* pOther = Make<::CGradientWidget>(Rect(0, 0, 50, 40));
        pOther->SetColor2(0xFF0000FF);
        pOther->SetDrawFlags(::CGradientWidget::MODE_RADIAL | 1);
        Drawn(pOther);
        EXPECT_NE(pOther->GetImage(), pA->GetImage()) << "other colours, another surface";
    }
    m_aOwned.clear();
    EXPECT_EQ(m_App.HaveSurface(strName), nullptr) << "gone with its last user";
}

TEST_F(CFrameWidget, TheCentreRectanglesFollowTheBorderCorners)
{
    CKorvelSurface* pBorder = MakeSheet(30, 30, 3, 3);
    CKorvelSurface* pImage = MakeSheet(200, 100);
    Rect image, border;
    ::CFrameWidget::GetCenterRect(Rect(10, 20, 110, 70), pImage, image, pBorder, border);
    EXPECT_TRUE(SameRect(border, Rect(20, 30, 100, 60))) << AreaText(border);
    EXPECT_TRUE(SameRect(image, Rect(20, 20, 180, 80))) << AreaText(image);
    for (CKorvelSurface* p : {pBorder, pImage})
    {
        p->Shutdown();
        delete p;
    }
}

TEST_F(CFrameWidget, OffTheGlScreenAFrameIsAPlainImage)
{
    ::CFrameWidget probe;
    EXPECT_NE(probe.Startup(nullptr, &m_App, Rect(0, 0, 10, 10)), KE_OK) << "needs an application";
    ::CFrameWidget* pFrame = Make<::CFrameWidget>(Rect(10, 10, 60, 40));
    EXPECT_EQ(pFrame->GetTransparent(), 0u);
    CKorvelSurface* pImage = Managed("image", 20, 20);
    pFrame->SetImage(pImage);
    pFrame->SetBorder(Managed("border", 30, 30));
    pFrame->SetMask(Managed("mask", 30, 30));
    ClearGlCallLog();
    pFrame->DoUpdate(0.1f);
    EXPECT_EQ(pFrame->GetShader(), nullptr) << "no GL screen to build on";
    const auto aCalls = Drawn(pFrame);
    ASSERT_EQ(aCalls.size(), 1u);
    EXPECT_EQ(aCalls[0].m_pSource, pImage);
    EXPECT_TRUE(SameRect(aCalls[0].m_rcDest, Rect(10, 10, 60, 40)));
    EXPECT_EQ(GlCallLog().size(), 0u) << (GlCallLog().empty() ? "" : GlCallLog()[0]);

    Owned pClone(pFrame->Clone());
    ::CFrameWidget* pCopy = static_cast<::CFrameWidget*>(pClone.get());
    EXPECT_EQ(pCopy->GetBorder(), pFrame->GetBorder());
    EXPECT_EQ(pCopy->GetMask(), pFrame->GetMask());
}

TEST_F(CPieWidget, SegmentsAndAngleAreClamped)
{
    ::CPieWidget* pPie = Make<::CPieWidget>(Rect(0, 0, 100, 100));
    EXPECT_EQ(pPie->GetSegments(), 12);
    EXPECT_EQ(pPie->GetColor(), 0xFF00FF00u);
    for (const auto& c : {std::pair<int, int>{3, 6}, {6, 6}, {100, 100}, {256, 256}, {1000, 256}, {-5, 6}})
    {
        pPie->SetSegments(c.first);
        EXPECT_EQ(pPie->GetSegments(), c.second) << c.first;
    }
    for (const auto& c : {std::pair<float, float>{-1.0f, 0.0f}, {3.0f, 3.0f}, {7.0f, KE_TWO_PI}})
    {
        pPie->SetAngle(c.first);
        EXPECT_FLOAT_EQ(pPie->GetAngle(), c.second) << c.first;
    }
}

TEST_F(CPieWidget, TheFanStartsStraightUpAndTurnsCounterClockwise)
{
    ::CPieWidget* pPie = Make<::CPieWidget>(Rect(0, 0, 100, 100));
    pPie->SetSegments(9);
    // The rect (0, 0, 100, 100) of a 200 x 100 target: x -1..0, y 1..-1.
    pPie->SetAngle(0.0f);
    pPie->FillVertices(Rect(0, 0, 100, 100), 1.0f / 200, 1.0f / 100);
    const ptrdiff_t kStride = 7; // floats per vertex
    const float* v = pPie->GetVertices();
    EXPECT_FLOAT_EQ(v[0], -0.5f);
    EXPECT_FLOAT_EQ(v[1], 0.0f);
    EXPECT_FLOAT_EQ(v[3 + 1], 1.0f) << "green";
    for (int i = 1; i <= 9; ++i)
    {
        EXPECT_NEAR(v[i * kStride], -0.5f, 1e-6f) << "degenerate at angle 0";
        EXPECT_NEAR(v[i * kStride + 1], 1.0f, 1e-6f);
    }
    pPie->SetAngle(KE_PI);
    pPie->FillVertices(Rect(0, 0, 100, 100), 1.0f / 200, 1.0f / 100);
    v = pPie->GetVertices();
    // Step pi / 4: the rim passes the left edge and stops straight down.
    EXPECT_NEAR(v[3 * kStride], -1.0f, 1e-5f);
    EXPECT_NEAR(v[3 * kStride + 1], 0.0f, 1e-5f);
    for (int i = 5; i <= 9; ++i)
    {
        EXPECT_NEAR(v[i * kStride], -0.5f, 1e-5f) << i;
        EXPECT_NEAR(v[i * kStride + 1], -1.0f, 1e-5f) << i;
    }
    // A surface target gets nothing, and GL is not touched.
    ClearGlCallLog();
    EXPECT_EQ(pPie->DoDraw(&m_Target), KE_OK);
    EXPECT_TRUE(Drawn(pPie).empty());
    EXPECT_EQ(GlCallLog().size(), 0u);
    Owned pClone(pPie->Clone());
    ::CPieWidget* pCopy = static_cast<::CPieWidget*>(pClone.get());
    EXPECT_EQ(pCopy->GetSegments(), 9);
    EXPECT_FLOAT_EQ(pCopy->GetAngle(), KE_PI);
}
} // namespace content_widgets_test
