// The GL screen target on a real X window (under Xvfb): start-up through the
// application, a frame drawn, read back and presented.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "Extensions/KorvelGraphicsExt_GLES2.h"

#include <gtest/gtest.h>

#include "support/GlTestContext.h"
#include "support/TestApplication.h"

namespace
{

TEST(CKorvelGraphicsExt_GLES2, DrawsAndPresentsOnAnXWindow)
{
    unsetenv("ORIENTATION");
    plat::ResetPlatform(plat::eBackend::X11);
    plat::SetDisplaySize(640, 480);
    CTestApplication app;
    ASSERT_EQ(app.StartHeadless(), KE_OK);
    EXPECT_NE(plat::GetNativeWindow(app.GetWindow()), 0u);
    auto* pExt = static_cast<CKorvelGraphicsExt_GLES2*>(app.GetGraphicsExtension());
    ASSERT_NE(pExt, nullptr);
    EXPECT_EQ(pExt->GetWidth(), 640);
    EXPECT_EQ(pExt->GetBackColorBits(0), 8);
    EXPECT_EQ(pExt->GetBackColorBits(1), 8);
    EXPECT_EQ(pExt->GetBackColorBits(2), 8);

    pExt->Fill(0xFF000000, nullptr);
    pExt->GradientFill(0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, nullptr);
    const uint32_t uPixel = ReadGlPixel(320, 240, 480);
    EXPECT_EQ(PixelR(uPixel), 255);
    EXPECT_EQ(PixelG(uPixel), 0);
    EXPECT_EQ(pExt->Extension_Flip(), EGL_TRUE);
    app.DoFlip();
    EXPECT_EQ(app.m_iFlips, 1);
}

} // namespace
