// The frame, the pie and the tinted rotation on the headless GL screen, read back.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <memory>

#include "Framework/UI/FrameWidget.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/PieWidget.h"
#include "Framework/UI/RotatingImageWidget.h"
#include "Korvel3D/Korvel3DProgram.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "support/GlTestContext.h"
#include "support/TestVornApplication.h"
#include "tests/Framework/UI/WidgetProbe.h"

namespace content_widgets_gl_test
{
typedef CKorvelRect<int> Rect;
typedef std::unique_ptr<CWidget, sTreeDeleter> Owned;
const int HEIGHT = 240;

::testing::AssertionResult Near(uint32_t uPixel, int r, int g, int b)
{
    const int iTolerance = 10; // the screen is 5-6-5
    if (std::abs(PixelR(uPixel) - r) <= iTolerance && std::abs(PixelG(uPixel) - g) <= iTolerance &&
        std::abs(PixelB(uPixel) - b) <= iTolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << PixelR(uPixel) << "," << PixelG(uPixel) << ","
                                         << PixelB(uPixel) << ", expected " << r << "," << g << "," << b;
}

class CGlWidgetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_App.StartHeadless(), KE_OK);
        m_pBack = m_App.GetBack();
        m_pBack->Fill(0xFF404040u, static_cast<const CKorvelRect<int>*>(nullptr));
    }
    // A w x h surface of one colour, mirrored into a texture and registered under the name.
    CKorvelSurface* Sheet(const char* pName, int w, int h, unsigned int argb, int iColumns = 1, int iRows = 1)
    {
        CKorvelSurface* p = new CKorvelSurface;
        SKE_SURFACEDESC desc = {w, h, 0, KE_SURFACE_ABGR8888, 0, 0};
        EXPECT_EQ(p->Create(&m_App, desc), KE_OK);
        p->Fill(argb, static_cast<const CKorvelRect<int>*>(nullptr));
        p->SetSubFrameCounts(iColumns, iRows);
        m_App.AddSurface(CKorvelString(pName), p);
        return p;
    }
    void Upload(CKorvelSurface* p) { EXPECT_EQ(p->SurfaceToTexture(0), KE_OK); }
    template <class T> T* Make(const Rect& area)
    {
        T* p = new T;
        p->Startup(&m_App, &m_App, area);
        m_aOwned.emplace_back(p);
        return p;
    }
    // A frame over (100, 50, 200, 150): a blue image, a border sheet of 10-pixel frames with
    // red corners, green edges and a clear middle, and a mask opaque but in the middle.
    ::CFrameWidget* MakeFrame()
    {
        CKorvelSurface* pImage = Sheet("frame_image", 40, 40, 0xFF0000FF);
        CKorvelSurface* pBorder = Sheet("frame_border", 30, 30, 0xFF00FF00, 3, 3);
        CKorvelSurface* pMask = Sheet("frame_mask", 30, 30, 0xFFFFFFFF, 3, 3);
        for (int i = 0; i < 4; ++i)
        {
            const Rect corner((i & 1) * 20, (i >> 1) * 20, (i & 1) * 20 + 10, (i >> 1) * 20 + 10);
            pBorder->Fill(0xFFFF0000u, &corner);
        }
        const Rect middle(10, 10, 20, 20);
        pBorder->Fill(0x00000000u, &middle);
        pMask->Fill(0x00000000u, &middle);
        for (CKorvelSurface* p : {pImage, pBorder, pMask})
            Upload(p);
        ::CFrameWidget* pFrame = Make<::CFrameWidget>(Rect(100, 50, 200, 150));
        pFrame->SetImage(pImage);
        pFrame->SetBorder(pBorder);
        pFrame->SetMask(pMask);
        for (CKorvelSurface* p : {pImage, pBorder, pMask})
            m_App.ReleaseSurface(p);
        return pFrame;
    }

    CTestVornApplication m_App{320, HEIGHT};
    IKorvelGraphicsContext* m_pBack = nullptr;
    std::vector<Owned> m_aOwned;
};

class CFrameWidget : public CGlWidgetTest
{
};
class CPieWidget : public CGlWidgetTest
{
};
class CRotatingImageWidget : public CGlWidgetTest
{
};

TEST_F(CFrameWidget, TheShaderIsBuiltOnceAndShared)
{
    ::CFrameWidget* pA = MakeFrame();
    ::CFrameWidget* pB = Make<::CFrameWidget>(Rect(0, 0, 50, 50));
    EXPECT_EQ(pA->GetShader(), nullptr) << "built at the first update";
    pA->DoUpdate(0.0f);
    pB->DoUpdate(0.0f);
    ASSERT_NE(pA->GetShader(), nullptr);
    EXPECT_NE(pA->GetShader()->GetHandle(), 0u);
    EXPECT_EQ(pA->GetShader(), pB->GetShader());
    CKorvel3DProgram* pShared = m_App.HaveShader(CKorvelString("framewidget_shader"));
    EXPECT_EQ(pShared, pA->GetShader());
    m_App.ReleaseShader(pShared);
    for (int i = 0; i < ::CFrameWidget::LOCATION_COUNT; ++i)
        EXPECT_GE(::CFrameWidget::m_arrLocations[i], 0) << i;
    // Shared until the last frame lets go.
    m_aOwned.clear();
    EXPECT_EQ(m_App.HaveShader(CKorvelString("framewidget_shader")), nullptr);
}

TEST_F(CFrameWidget, BorderImageAndMaskMeetWhereTheCentreRectanglesSay)
{
    ::CFrameWidget* pFrame = MakeFrame();
    pFrame->DoUpdate(0.0f);
    ASSERT_EQ(pFrame->DoDraw(m_pBack), KE_OK);
    Rect image, border;
    ::CFrameWidget::GetCenterRect(pFrame->GetArea(), pFrame->GetImage(), image, pFrame->GetBorder(), border);
    ASSERT_TRUE(SameRect(border, Rect(110, 60, 190, 140)));
    const int cx = (border.left + border.right) / 2, cy = (border.top + border.bottom) / 2;
    struct sPROBE
    {
        const char* pWhat;
        int x, y;
        int r, g, b;
    };
    const sPROBE aProbes[] = {
        {"top-left corner", border.left - 5, border.top - 5, 255, 0, 0},
        {"bottom-right corner", border.right + 5, border.bottom + 5, 255, 0, 0},
        {"top edge", cx, border.top - 5, 0, 255, 0},
        {"left edge", border.left - 5, cy, 0, 255, 0},
        {"centre: the image over what lay below, the mask being clear", cx, cy, 0x40, 0x40, 255},
        {"outside the frame", border.left - 20, cy, 0x40, 0x40, 0x40},
    };
    for (const sPROBE& p : aProbes)
        EXPECT_TRUE(Near(ReadGlPixel(p.x, p.y, HEIGHT), p.r, p.g, p.b)) << p.pWhat;
}

TEST_F(CFrameWidget, AnImageDrawnAfterAFrameStillAppears)
{
    CKorvelSurface* pYellow = Sheet("yellow", 8, 8, 0xFFFFFF00);
    Upload(pYellow);
    CImageWidget* pBefore = Make<CImageWidget>(Rect(10, 10, 40, 40));
    CImageWidget* pAfter = Make<CImageWidget>(Rect(250, 10, 280, 40));
    for (CImageWidget* p : {pBefore, pAfter})
        p->SetImage(pYellow);
    m_App.ReleaseSurface(pYellow);
    ::CFrameWidget* pFrame = MakeFrame();
    pFrame->DoUpdate(0.0f);
    // The same texture bound before the frame and asked for again after it.
    pBefore->DoDraw(m_pBack);
    pFrame->DoDraw(m_pBack);
    pAfter->DoDraw(m_pBack);
    EXPECT_TRUE(Near(ReadGlPixel(25, 25, HEIGHT), 255, 255, 0));
    EXPECT_TRUE(Near(ReadGlPixel(265, 25, HEIGHT), 255, 255, 0));
}

TEST_F(CPieWidget, HalfAPieFillsTheLeftHalf)
{
    ::CPieWidget* pPie = Make<::CPieWidget>(Rect(100, 50, 200, 150));
    pPie->SetColor(0xFFFF00FF);
    pPie->SetAngle(KE_PI);
    ASSERT_EQ(pPie->DoDraw(m_pBack), KE_OK);
    for (const auto& p : {std::pair<int, int>{120, 100}, {148, 60}, {148, 140}, {110, 100}})
        EXPECT_TRUE(Near(ReadGlPixel(p.first, p.second, HEIGHT), 255, 0, 255)) << p.first << "," << p.second;
    for (const auto& p : {std::pair<int, int>{180, 100}, {153, 60}, {153, 140}, {90, 100}})
        EXPECT_TRUE(Near(ReadGlPixel(p.first, p.second, HEIGHT), 0x40, 0x40, 0x40))
            << p.first << "," << p.second;
}

TEST_F(CRotatingImageWidget, ATintedImageTurnsOnTheGlScreen)
{
    CKorvelSurface* pWhite = Sheet("white", 16, 16, 0xFFFFFFFF);
    Upload(pWhite);
    ::CRotatingImageWidget* pSpinner = Make<::CRotatingImageWidget>(Rect(100, 100, 140, 140));
    pSpinner->SetImage(pWhite);
    m_App.ReleaseSurface(pWhite);
    pSpinner->SetBlendColor(0xFF00FF00);
    pSpinner->SetRotationAngle(0.5f);
    ASSERT_EQ(pSpinner->DoDraw(m_pBack), KE_OK);
    EXPECT_TRUE(Near(ReadGlPixel(120, 120, HEIGHT), 0, 255, 0));
}
} // namespace content_widgets_gl_test
