#include "Framework/asn1/ASN1.h"

#include "ASN1TestBytes.h"
#include "KorvelCommon/KorvelString.h"

namespace
{
int MessageLength(const char* pText)
{
    Bytes aBytes = Hex(pText);
    return CASN1::GetMessageLength(aBytes.empty() ? nullptr : aBytes.data(), (int)aBytes.size());
}

sDATE Date(int iYear, int iMonth, int iDay, int iHour, int iMinute, int iSecond)
{
    sDATE date = {iYear, iMonth, iDay, iHour, iMinute, iSecond};
    return date;
}
} // namespace

TEST(CASN1, MessageLengthOfCompletePartialAndMalformedPrefixes)
{
    const int N = CASN1::eMSGLEN_NEEDMORE, M = CASN1::eMSGLEN_MALFORMED;
    const struct
    {
        const char* pBytes;
        int iLength;
    } aCases[] = {
        {"A5 05", 7},
        {"BF 2C", N},
        {"A5 82 01", N},
        {"A5 82 01 00", 260},
        {"BF 2C 03 80 01 FF", 6},
        {"BF 3B 00", 3},
        {"A5 80", 2},
        {"A5", N},
        {"", N},
        {"A0 84 7F FF FF", N},
        // Garbage: more than 4 length bytes, a negative length, an identifier of 3 bytes.
        {"A5 85 00 00 00 00 01", M},
        {"A5 8F", M},
        {"A5 84 80 00 00 00", M},
        {"BF 84 74 00", M},
        {"BF 80", M},
        // The largest length that fits in a total still counts as incomplete.
        {"A0 84 7F FF FF F0", 0x7FFFFFF6},
        {"BF 2C 84 7F FF FF FF", M},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(MessageLength(c.pBytes), c.iLength) << c.pBytes;
}

TEST(CASN1, MessageIdAndIdentifierSize)
{
    Bytes aShort = Hex("A5 00"), aLong = Hex("BF 74 00");
    EXPECT_EQ(CASN1::GetMessageID(aShort.data(), 2), 5);
    EXPECT_EQ(CASN1::GetMessageID(aLong.data(), 3), 116);
    EXPECT_EQ(CASN1::GetMessageID(aLong.data(), 1), -1);
    EXPECT_EQ(CASN1::GetMessageID(nullptr, 0), -1);
    EXPECT_EQ(CASN1::GetMessageIndexLength(aShort.data(), 2), 1);
    EXPECT_EQ(CASN1::GetMessageIndexLength(aLong.data(), 3), 2);
    EXPECT_EQ(CASN1::GetMessageIndexLength(nullptr, 0), 0);
}

// The helpers write the field forms; each reader stops at the size it is given.
TEST(CASN1, NumberAndLengthHelpersAreBounded)
{
    unsigned char aBuf[9];
    EXPECT_EQ(CASN1::EncodeLength(aBuf, 300), 3);
    int iLength = 0;
    EXPECT_EQ(CASN1::DecodeLength(aBuf, iLength, 3), 3);
    EXPECT_EQ(iLength, 300);
    EXPECT_EQ(CASN1::DecodeLength(aBuf, iLength, 2), -1);
    Bytes aNegative = Hex("84 80 00 00 00");
    EXPECT_EQ(CASN1::DecodeLength(aNegative.data(), iLength, 5), -1);

    int iSize = CASN1::EncodeInt(aBuf, -129);
    EXPECT_EQ(Bytes(aBuf, aBuf + iSize), Hex("02 FF 7F"));
    int iValue = 0;
    EXPECT_EQ(CASN1::DecodeInt(aBuf, iValue, iSize), 3);
    EXPECT_EQ(iValue, -129);
    EXPECT_EQ(CASN1::DecodeInt(aBuf, iValue, 2), 0);
    unsigned int uValue = 0;
    EXPECT_EQ(CASN1::DecodeKE_UINT(aBuf, uValue, iSize), 3);
    EXPECT_EQ(uValue, 0xFFFFFF7Fu);

    EXPECT_EQ(CASN1::EncodeShortInt(aBuf, 0x1234), 2);
    EXPECT_EQ(Bytes(aBuf, aBuf + 2), Hex("01 34"));

    iSize = CASN1::EncodeLongInt(aBuf, 1LL << 32);
    EXPECT_EQ(Bytes(aBuf, aBuf + iSize), Hex("05 01 00 00 00 00"));
    long long llValue = 0;
    EXPECT_EQ(CASN1::DecodeLongInt(aBuf, llValue, iSize), 6);
    EXPECT_EQ(llValue, 1LL << 32);
    EXPECT_EQ(CASN1::DecodeLongInt(aBuf, llValue, 5), 0);
}

TEST(CASN1, LogoutAndAlive)
{
    unsigned char aBuf[3];
    EXPECT_EQ(CASN1::CreateLogout(aBuf), 3);
    EXPECT_EQ(Bytes(aBuf, aBuf + 3), Hex("BF 3B 00"));

    Bytes aAlive = Hex("BF 2C 03 80 01 FF");
    int iValue = 0;
    EXPECT_EQ(CASN1::DecodeAlive(aAlive.data(), iValue, 6), KE_OK);
    EXPECT_EQ(iValue, -1);
    // Every cut of it, and another message, is bad data with the value untouched.
    for (int k = 0; k < 6; ++k)
    {
        Bytes aCut(aAlive.begin(), aAlive.begin() + k);
        iValue = 5;
        EXPECT_EQ(CASN1::DecodeAlive(aCut.empty() ? nullptr : aCut.data(), iValue, k), KE_ERR_BADDATA) << k;
        EXPECT_EQ(iValue, 5);
    }
    Bytes aLogout = Hex("BF 3B 00"), aShortContent = Hex("BF 2C 02 80 01 FF");
    EXPECT_EQ(CASN1::DecodeAlive(aLogout.data(), iValue, 3), KE_ERR_BADDATA);
    EXPECT_EQ(CASN1::DecodeAlive(aShortContent.data(), iValue, 6), KE_ERR_BADDATA);
}

TEST(CASN1, CompareDatesFromYearToSecond)
{
    sDATE base = Date(2011, 12, 24, 18, 5, 0);
    EXPECT_EQ(CASN1::CompareDates(base, base), 0);
    EXPECT_EQ(CASN1::CompareDates(Date(2012, 1, 1, 0, 0, 0), base), 1);
    EXPECT_EQ(CASN1::CompareDates(base, Date(2011, 12, 24, 18, 5, 1)), -1);
    EXPECT_EQ(CASN1::CompareDates(Date(2011, 11, 30, 23, 59, 59), base), -1);
}

TEST(CASN1, TrailingHexDigitsToUnsigned)
{
    struct
    {
        const wchar_t* pText;
        unsigned int uValue;
    } aCases[] = {
        {L"1aF", 0x1AFu}, {L"id:00ff", 0xFFu},        {L"", 0u},
        {L"12g", 0u},     {L"FFFFFFFF", 0xFFFFFFFFu}, {L"123456789", 0x23456789u},
    };
    for (const auto& c : aCases)
    {
        CKorvelString strText(c.pText);
        EXPECT_EQ(CASN1::ChangeStringToKE_UINT(strText), c.uValue);
    }
}
