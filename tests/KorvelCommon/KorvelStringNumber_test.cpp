#include "KorvelCommon/KorvelString.h"

#include "support/StringUnits.h"

#include <gtest/gtest.h>
#include <limits>

TEST(CKorvelString, IntegersToText)
{
    CKorvelString str;
    str.FromInt(-255, 16);
    EXPECT_EQ(Units(str), u"-ff");
    str.FromUInt(0, 10);
    EXPECT_EQ(Units(str), u"0");
    str.FromInt64(-(1LL << 40), 10);
    EXPECT_EQ(Units(str), u"-1099511627776");
    str.FromUInt(4294967295u, 10);
    EXPECT_EQ(Units(str), u"4294967295");
    str.FromInt(5, 2);
    EXPECT_EQ(Units(str), u"101");
    str.FromInt(-2147483647 - 1, 10);
    EXPECT_EQ(Units(str), u"-2147483648");
    str.FromInt64(-9223372036854775807LL - 1, 10);
    EXPECT_EQ(Units(str), u"-9223372036854775808");
}

namespace
{
std::u16string FloatText(float fValue, int iDigits)
{
    CKorvelString str;
    str.FromFloat(fValue, iDigits);
    return Units(str);
}
} // namespace

TEST(CKorvelString, FloatsToText)
{
    // Digits are truncated.
    EXPECT_EQ(FloatText(1.5f, 2), u"1.50");
    EXPECT_EQ(FloatText(2.0f, 4), u"2.0");
    EXPECT_EQ(FloatText(-0.25f, 3), u"-0.250");
    EXPECT_EQ(FloatText(2.7f, 0), u"2");
    EXPECT_EQ(FloatText(2.756f, 2), u"2.75");
    EXPECT_EQ(FloatText(-0.0f, 1), u"-0.0");
    EXPECT_EQ(FloatText(-0.0f, 0), u"-0");
    EXPECT_EQ(FloatText(99.9f, 0), u"99");
    EXPECT_EQ(FloatText(16777216.0f, 1), u"16777216.0");
    // Below 1 the whole mantissa counts: 0.1f is 0.100000001490116...
    EXPECT_EQ(FloatText(0.1f, 3), u"0.100");
    EXPECT_EQ(FloatText(0.1f, 9), u"0.100000001");
    EXPECT_EQ(FloatText(0.3f, 2), u"0.30");
    EXPECT_EQ(FloatText(1e-10f, 3), u"0.000");
    EXPECT_EQ(FloatText(3.0e38f, 0), u"300000000549775575777803994281145270272");
    EXPECT_EQ(FloatText(std::numeric_limits<float>::infinity(), 2), u"inf");
    EXPECT_EQ(FloatText(-std::numeric_limits<float>::infinity(), 2), u"-inf");
}
