// The screen targets' size conversions (no GL context needed: the target is only sized).
#include "KorvelGraphics/KorvelGraphicsExt.h"

#include <gtest/gtest.h>

#include "Extensions/KorvelGraphicsExt_GLES2.h"

namespace
{

TEST(IKorvelGraphicsExt, ConversionsTruncateTowardZeroAndUseTheStoredSize)
{
    CKorvelGraphicsExt_GLES2 target;
    target.Extension_Resize(801, 600);
    IKorvelGraphicsExt& ext = target;
    EXPECT_EQ(ext.GetWidth(), 801);
    EXPECT_EQ(ext.FloatToPixelX(0.5f), 400);
    EXPECT_EQ(ext.PixelToFloatX(ext.FloatToPixelX(0.5f)), 400.0f / 801.0f);
    EXPECT_EQ(ext.FloatToPixelX(-0.5f), -400);
    EXPECT_EQ(ext.FloatToPixelY(0.999f), 599);
    EXPECT_EQ(ext.PixelToFloatY(150), 0.25f);
    EXPECT_EQ(ext.GetAspectRatio(), 801.0f / 600.0f);
    EXPECT_EQ(ext.FloatToPixelX(1e30f), 0x7FFFFFFF) << "saturates instead of overflowing";
}

TEST(IKorvelGraphicsExt, AnUnsizedTargetConvertsToZero)
{
    CKorvelGraphicsExt_GLES2 target;
    EXPECT_EQ(target.GetWidth(), 0);
    EXPECT_EQ(target.PixelToFloatX(10), 0.0f);
    EXPECT_EQ(target.PixelToFloatY(10), 0.0f);
    EXPECT_EQ(target.GetAspectRatio(), 0.0f);
    EXPECT_EQ(target.FloatToPixelX(0.5f), 0);
}

} // namespace
