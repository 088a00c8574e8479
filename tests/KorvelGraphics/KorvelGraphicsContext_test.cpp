#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

namespace
{
struct sPAIR
{
    CTestSurface src{6, 5, KE_SURFACE_ARGB8888};
    CTestSurface a{16, 12, KE_SURFACE_ARGB8888};
    CTestSurface b{16, 12, KE_SURFACE_ARGB8888};
    sPAIR()
    {
        FillNoise(src, 11);
        a.Fill(0xFF000000, nullptr);
        b.Fill(0xFF000000, nullptr);
    }
};
} // namespace

TEST(IKorvelGraphicsContext, FloatFormsConvertThroughEachSurface)
{
    sPAIR p;
    // A float source rectangle is a fraction of the source; a position of the destination.
    CKorvelRect<float> fsub(0.5f, 0.2f, 1.0f, 1.0f);
    CKorvelRect<int> sub(3, 1, 6, 5);
    p.a.Draw(CKorvelVector2(0.25f, 0.5f), p.src, &fsub, 0);
    p.b.Draw(4, 6, p.src, &sub, 0);
    EXPECT_EQ(HashSurface(p.a), HashSurface(p.b));
    p.a.DrawRotated(CKorvelVector2(0.5f, 0.5f), p.src, 1.0f, 0.25f, 0);
    p.b.DrawRotated(8, 6, p.src, 1.0f, 4, 0);
    EXPECT_EQ(HashSurface(p.a), HashSurface(p.b));
    p.a.Line(CKorvelVector2(0.0f, 0.0f), CKorvelVector2(1.0f, 0.5f), 0xFFFF0000, 0xFF00FF00);
    p.b.Line(0, 0, 16, 6, 0xFFFF0000, 0xFF00FF00);
    EXPECT_EQ(HashSurface(p.a), HashSurface(p.b));
    p.a.Fill(0xFF123456, static_cast<const CKorvelRect<float>*>(nullptr));
    p.b.Fill(0xFF123456, nullptr);
    EXPECT_EQ(HashSurface(p.a), HashSurface(p.b));
}

TEST(IKorvelGraphicsContext, SurfacesRefuseOtherKindsOfSource)
{
    CTestSurface s(8, 8, KE_SURFACE_ARGB8888);
    CKorvelGraphicsExt_GLES2 other; // a GL target, never read as a surface
    other.Extension_Resize(8, 8);
    CKorvelRect<int> r(0, 0, 4, 4);
    EXPECT_EQ(KE_ERR_INVALIDARG, s.Draw(0, 0, other, nullptr, 0));
    EXPECT_EQ(KE_ERR_INVALIDARG, s.DrawStretched(&r, other, nullptr, 0));
    EXPECT_EQ(KE_ERR_INVALIDARG, s.DrawStretchedBlended(&r, other, nullptr, 0xFFFFFFFF, 0));
    EXPECT_EQ(KE_ERR_INVALIDARG, s.DrawBlended(0, 0, other, nullptr, 0xFFFFFFFF, 0));
    EXPECT_EQ(KE_ERR_INVALIDARG, s.DrawRotated(4, 4, other, 0.0f, 4, 0));
    EXPECT_EQ(KE_SURFACE_COMPATIBLE, other.GetFormat());
}
