#include "Framework/Session/CatalogueTestBytes.h"
#include "Framework/Session/asn1_hile_handbuilt.h"

namespace
{
CKorvelString Wide(const wchar_t* pText)
{
    CKorvelString strText;
    strText.Set(pText);
    return strText;
}

Bytes EncodeText(const CKorvelString& strText)
{
    return WriteExact([&](unsigned char* pBuf, int iSize)
                      { return CASN1::EncodeString(pBuf, strText, iSize); });
}

CKorvelString DecodeText(const Bytes& aBytes, int iExpectedConsumed)
{
    CKorvelString strText;
    int iConsumed = -1;
    EXPECT_EQ(CASN1::DecodeString(aBytes.data(), strText, iConsumed, (int)aBytes.size()), KE_OK);
    EXPECT_EQ(iConsumed, iExpectedConsumed);
    return strText;
}
} // namespace

TEST(CASN1, HandBuiltTextRoundTrip)
{
    CKorvelString strAcute = Wide(L"\u00e9");
    EXPECT_EQ(EncodeText(strAcute), Hex("02 C3 A9"));
    EXPECT_EQ(DecodeText(Hex("02 C3 A9"), 3).Compare(strAcute), 0);

    // Every unit up to U+00FF goes out and comes back unchanged.
    CKorvelString strLatin;
    for (unsigned short u = 1; u <= 0xFF; ++u)
        strLatin.Add(u);
    Bytes aLatin = EncodeText(strLatin);
    EXPECT_EQ(aLatin.size(), 3u + 127u + 2u * 128u);
    EXPECT_EQ(DecodeText(aLatin, (int)aLatin.size()).Compare(strLatin), 0);

    // Beyond U+00FF the UTF-8 form of the codec: three bytes per unit, surrogates one by one.
    CKorvelString strWide = Wide(L"\u20ac\u0100");
    strWide.Add(0xD83D);
    strWide.Add(0xDE00);
    Bytes aWide = EncodeText(strWide);
    EXPECT_EQ(aWide, Hex("0B E2 82 AC C4 80 ED A0 BD ED B8 80"));
    EXPECT_EQ(DecodeText(aWide, 12).Compare(strWide), 0);
}

TEST(CASN1, HandBuiltTextReadsOddBytesAsThemselves)
{
    // A lone continuation byte and a lead byte at the very end stand for themselves.
    CKorvelString strText = DecodeText(Hex("03 41 A9 C3"), 4);
    ASSERT_EQ(strText.GetLength(), 3);
    EXPECT_EQ(strText.GetBuffer()[0], 'A');
    EXPECT_EQ(strText.GetBuffer()[1], 0xA9);
    EXPECT_EQ(strText.GetBuffer()[2], 0xC3);
    // A zero character ends the text; the whole field is still consumed.
    EXPECT_EQ(Utf8(DecodeText(Hex("03 61 00 62"), 4)), "a");
    EXPECT_EQ(DecodeText(Hex("00"), 1).GetLength(), 0);
}

TEST(CASN1, HandBuiltTextRejectsLengthsPastTheBytes)
{
    CKorvelString strText("kept");
    int iConsumed = 0;
    Bytes aShort = Hex("05 61 62");
    EXPECT_EQ(CASN1::DecodeString(aShort.data(), strText, iConsumed, (int)aShort.size()), KE_ERR_BADDATA);
    EXPECT_EQ(CASN1::DecodeString(aShort.data(), strText, 2), 0);
    Bytes aHuge = Hex("84 7F FF FF FF 61");
    EXPECT_EQ(CASN1::DecodeString(aHuge.data(), strText, (int)aHuge.size()), 0);
    Bytes aFiveByteLength = Hex("85 00 00 00 00 01 61");
    EXPECT_EQ(CASN1::DecodeString(aFiveByteLength.data(), strText, (int)aFiveByteLength.size()), 0);
    EXPECT_EQ(CASN1::DecodeString(nullptr, strText, 0), 0);
    EXPECT_EQ(Utf8(strText), "kept");
    // A text longer than 127 bytes takes the long length form both ways.
    CKorvelString strLong(std::string(300, 'z').c_str());
    Bytes aLong = EncodeText(strLong);
    EXPECT_EQ(Bytes(aLong.begin(), aLong.begin() + 3), Hex("82 01 2C"));
    EXPECT_EQ(DecodeText(aLong, 303).GetLength(), 300);
}

TEST(CASN1, DatesAreDayMonthYear)
{
    // Numbers the text lacks leave their fields as they were.
    const struct
    {
        const char* pText;
        sDATE expected;
    } aCases[] = {{"24.12.2011 18:05:00", {2011, 12, 24, 18, 5, 0}},
                  {"7.8.1999", {1999, 8, 7, 4, 5, 6}},
                  {"", {1, 2, 3, 4, 5, 6}}};
    for (const auto& c : aCases)
    {
        sDATE date = {1, 2, 3, 4, 5, 6};
        CASN1::DecodeTime(CKorvelString(c.pText), date);
        EXPECT_EQ(CASN1::CompareDates(date, c.expected), 0) << c.pText;
    }

    // The wire form: a hand-built text.
    Bytes aText = TextBytes("1.2.2003 4:05:06");
    sDATE wire = {};
    EXPECT_EQ(CASN1::DecodeTime(aText.data(), wire, (int)aText.size()), (int)aText.size());
    EXPECT_EQ(CASN1::CompareDates(wire, sDATE{2003, 2, 1, 4, 5, 6}), 0);
    EXPECT_EQ(CASN1::DecodeTime(aText.data(), wire, 5), 0);
}
