// The scrolling area's bars in the theme's colour, drawn on Mesa GL and read back.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/SlideArea.h"
#include "Framework/UI/Theme.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "support/GlTestContext.h"
#include "support/TestVornApplication.h"

namespace
{
typedef CKorvelRect<int> Rect;

class CThemedApp : public CTestVornApplication
{
public:
    CThemedApp() : CTestVornApplication(320, 240) {}
    CVornTheme* GetTheme() override { return m_pTheme; }
    CVornTheme* m_pTheme = nullptr; // not owned
};

// A white 8 x 32 bar template of the area, drawn stretched.
CImageWidget* AddWhiteBar(CThemedApp& app, CWidget& area)
{
    CKorvelSurface* pSurface = new CKorvelSurface;
    SKE_SURFACEDESC desc = {8, 32, 0, KE_SURFACE_ABGR8888, 0, 0};
    EXPECT_EQ(pSurface->Create(&app, desc), KE_OK);
    pSurface->Fill(0xFFFFFFFFu, static_cast<const CKorvelRect<int>*>(nullptr));
    EXPECT_EQ(pSurface->SurfaceToTexture(0), KE_OK) << "as the resource manager hands surfaces out";
    CImageWidget* pBar = new CImageWidget;
    pBar->Startup(&app, &app, Rect(90, 10, 98, 42));
    pBar->SetName(CKorvelString("scrollbar_vertical_template"));
    pBar->SetImage(pSurface);
    pBar->SetDrawFlags(CImageWidget::DRAW_STRETCH);
    area.AddWidget(pBar);
    return pBar;
}

// Draws the 100 x 200 area at the screen's top-left on black and reads the bar's middle.
uint32_t DrawAndReadBar(CThemedApp& app, CVornTheme* pTheme)
{
    app.m_pTheme = pTheme;
    CSlideArea area;
    area.Startup(&app, &app, Rect(0, 0, 100, 200));
    AddWhiteBar(app, area);
    area.DoUpdate(0.0f);
    area.ShowScrollBar();
    IKorvelGraphicsContext* pBack = app.GetBack();
    pBack->Fill(0xFF000000u, static_cast<const CKorvelRect<int>*>(nullptr));
    EXPECT_EQ(area.DoDraw(pBack), KE_OK);
    const uint32_t uPixel = ReadGlPixel(94, 26, 240);
    EXPECT_EQ(ReadGlPixel(50, 100, 240) & 0x00FFFFFFu, 0u) << "nothing but the bar is drawn";
    area.Shutdown();
    return uPixel;
}
} // namespace

TEST(CSlideArea, ThemedBarsAreFilledWithTheScrollbarColour)
{
    CThemedApp app;
    ASSERT_EQ(app.StartHeadless(), KE_OK);
    CVornTheme theme;
    theme.AddColorConfig(CVornTheme::sColorConfig{CKorvelString("scrollbar"), 0xFF20C040u});
    CVornTheme other;
    other.AddColorConfig(CVornTheme::sColorConfig{CKorvelString("background"), 0xFF20C040u});

    const struct
    {
        const char* m_pWhat;
        CVornTheme* m_pTheme;
        int m_iR, m_iG, m_iB;
    } aCases[] = {
        {"theme with the colour", &theme, 0x20, 0xC0, 0x40},
        {"theme without it", &other, 0xFF, 0xFF, 0xFF},
        {"no theme", nullptr, 0xFF, 0xFF, 0xFF},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(c.m_pWhat);
        const uint32_t uPixel = DrawAndReadBar(app, c.m_pTheme);
        EXPECT_NEAR(PixelR(uPixel), c.m_iR, 2);
        EXPECT_NEAR(PixelG(uPixel), c.m_iG, 2);
        EXPECT_NEAR(PixelB(uPixel), c.m_iB, 2);
    }
}
