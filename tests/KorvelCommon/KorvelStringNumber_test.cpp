#include "KorvelCommon/KorvelString.h"

#include "support/StringUnits.h"

#include <gtest/gtest.h>

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

TEST(CKorvelString, FloatDigitsAreTruncated)
{
    CKorvelString str;
    str.FromFloat(1.5f, 2);
    EXPECT_EQ(Units(str), u"1.50");
    str.FromFloat(2.0f, 4);
    EXPECT_EQ(Units(str), u"2.0");
    str.FromFloat(-0.25f, 3);
    EXPECT_EQ(Units(str), u"-0.250");
    str.FromFloat(2.7f, 0);
    EXPECT_EQ(Units(str), u"2");
    str.FromFloat(2.756f, 2);
    EXPECT_EQ(Units(str), u"2.75");
    str.FromFloat(-0.0f, 1);
    EXPECT_EQ(Units(str), u"-0.0");
    str.FromFloat(-0.0f, 0);
    EXPECT_EQ(Units(str), u"-0");
    str.FromFloat(99.9f, 0);
    EXPECT_EQ(Units(str), u"99");
    str.FromFloat(16777216.0f, 1);
    EXPECT_EQ(Units(str), u"16777216.0");
}

TEST(CKorvelString, FloatFractionIsExact)
{
    CKorvelString str;
    // Below 1 the whole mantissa counts: 0.1f is 0.100000001490116...
    str.FromFloat(0.1f, 3);
    EXPECT_EQ(Units(str), u"0.100");
    str.FromFloat(0.1f, 9);
    EXPECT_EQ(Units(str), u"0.100000001");
    str.FromFloat(0.3f, 2);
    EXPECT_EQ(Units(str), u"0.30");
    str.FromFloat(1e-10f, 3);
    EXPECT_EQ(Units(str), u"0.000");
}

TEST(CKorvelString, FloatExtremesAreReadable)
{
    CKorvelString str;
    str.FromFloat(3.0e38f, 0);
    EXPECT_EQ(Units(str), u"300000000549775575777803994281145270272");
    str.FromFloat(1.0f / 0.0f, 2);
    EXPECT_EQ(Units(str), u"inf");
    str.FromFloat(-1.0f / 0.0f, 2);
    EXPECT_EQ(Units(str), u"-inf");
}
