#include "Framework/asn1/ASN1ValueFields.h"

#include "ASN1TestBytes.h"
#include "KorvelCommon/KorvelString.h"

#include <climits>

namespace
{
struct sINTCASE
{
    int iValue;
    const char* pBytes;
};

const sINTCASE kIntTable[] = {
    {0, "01 00"},         {127, "01 7F"},          {128, "02 00 80"},
    {-1, "01 FF"},        {-128, "01 80"},         {-129, "02 FF 7F"},
    {32767, "02 7F FF"},  {32768, "03 00 80 00"},  {-8388609, "04 FF 7F FF FF"},
    {INT_MAX, "04 7F FF FF FF"}, {INT_MIN, "04 80 00 00 00"},
};

CKorvelString Units(std::initializer_list<unsigned short> aUnits)
{
    CKorvelString str;
    std::vector<unsigned short> aCopy(aUnits);
    aCopy.push_back(0);
    str.Set(aCopy.data());
    return str;
}

bool SameUnits(const CKorvelString& a, const CKorvelString& b)
{
    if (a.GetLength() != b.GetLength())
        return false;
    for (int i = 0; i < a.GetLength(); ++i)
        if (a.GetBuffer()[i] != b.GetBuffer()[i])
            return false;
    return true;
}
} // namespace

TEST(CASN1_IntField, TableEncodesAndDecodes)
{
    for (const sINTCASE& c : kIntTable)
    {
        int iValue = c.iValue;
        CASN1_IntField field(iValue);
        EXPECT_EQ(EncodeExact(field), Hex(c.pBytes)) << c.iValue;
        iValue = 12345;
        EXPECT_EQ(DecodeExact(field, Hex(c.pBytes)), Hex(c.pBytes).size());
        EXPECT_EQ(iValue, c.iValue);
    }
}

TEST(CASN1_IntField, ReaderRejectsLongCountsAndCutInput)
{
    int iValue = 77;
    CASN1_IntField field(iValue);
    EXPECT_EQ(DecodeExact(field, Hex("05 00 00 00 00 01")), 0u);
    EXPECT_EQ(DecodeExact(field, Hex("FF 01 02")), 0u);
    EXPECT_EQ(DecodeExact(field, Hex("02 01")), 0u);
    EXPECT_EQ(DecodeExact(field, Bytes()), 0u);
    EXPECT_EQ(iValue, 77);
    // An empty content reads as 0 and takes the count byte only.
    EXPECT_EQ(DecodeExact(field, Hex("00")), 1u);
    EXPECT_EQ(iValue, 0);
}

TEST(CASN1_LongIntField, NonNegativeValuesAreMinimalAndReadUnsigned)
{
    long long llValue = 0;
    CASN1_LongIntField field(llValue);
    EXPECT_EQ(EncodeExact(field), Hex("01 00"));
    llValue = 1LL << 32;
    EXPECT_EQ(EncodeExact(field), Hex("05 01 00 00 00 00"));
    llValue = 255;
    EXPECT_EQ(EncodeExact(field), Hex("02 00 FF"));
    llValue = LLONG_MAX;
    EXPECT_EQ(EncodeExact(field), Hex("08 7F FF FF FF FF FF FF FF"));

    EXPECT_EQ(DecodeExact(field, Hex("02 FF FF")), 3u);
    EXPECT_EQ(llValue, 65535);
    EXPECT_EQ(DecodeExact(field, Hex("05 01 00 00 00 00")), 6u);
    EXPECT_EQ(llValue, 1LL << 32);
}

TEST(CASN1_LongIntField, NegativeValuesTakeEightBytesAndComeBack)
{
    long long llValue = -5;
    CASN1_LongIntField field(llValue);
    Bytes aBytes = EncodeExact(field);
    EXPECT_EQ(aBytes, Hex("08 FF FF FF FF FF FF FF FB"));
    llValue = 0;
    EXPECT_EQ(DecodeExact(field, aBytes), 9u);
    EXPECT_EQ(llValue, -5);
}

TEST(CASN1_LongIntField, ReaderRejectsNineBytesAndCutInput)
{
    long long llValue = 9;
    CASN1_LongIntField field(llValue);
    EXPECT_EQ(DecodeExact(field, Hex("09 00 00 00 00 00 00 00 00 01")), 0u);
    EXPECT_EQ(DecodeExact(field, Hex("03 01 02")), 0u);
    EXPECT_EQ(llValue, 9);
}

TEST(CASN1_StringField, EncodesEachUnitAsUtf8)
{
    CKorvelString strText(L"abc");
    CASN1_StringField field(strText);
    EXPECT_EQ(EncodeExact(field), Hex("03 61 62 63"));
    strText = Units({0x00E9});
    EXPECT_EQ(EncodeExact(field), Hex("02 C3 A9"));
    strText = Units({0x20AC});
    EXPECT_EQ(EncodeExact(field), Hex("03 E2 82 AC"));
    strText.Reset();
    EXPECT_EQ(EncodeExact(field), Hex("00"));
}

TEST(CASN1_StringField, DecodesAndRoundTripsEveryKindOfUnit)
{
    CKorvelString strText(L"old");
    CASN1_StringField field(strText);
    EXPECT_EQ(DecodeExact(field, Hex("02 C3 A9")), 3u);
    EXPECT_TRUE(SameUnits(strText, Units({0x00E9})));
    EXPECT_EQ(DecodeExact(field, Hex("00")), 1u);
    EXPECT_EQ(strText.GetLength(), 0);

    // 130 units of three bytes each need the long length form.
    std::vector<unsigned short> aLong(130, 0x20AC);
    aLong.push_back(0);
    CKorvelString strLong;
    strLong.Set(aLong.data());
    CKorvelString strBack;
    CASN1_StringField longField(strLong), backField(strBack);
    Bytes aBytes = EncodeExact(longField);
    EXPECT_EQ(Bytes(aBytes.begin(), aBytes.begin() + 3), Hex("82 01 86"));
    EXPECT_EQ(DecodeExact(backField, aBytes), aBytes.size());
    EXPECT_TRUE(SameUnits(strBack, strLong));
}

TEST(CASN1_StringField, TextBeyondTheBasicPlaneSurvivesBetweenClients)
{
    // U+1F600 is held as the surrogate pair D83D DE00; each half goes out as three bytes.
    CKorvelString strSmile = Units({'h', 'i', 0xD83D, 0xDE00});
    CASN1_StringField out(strSmile);
    Bytes aBytes = EncodeExact(out);
    EXPECT_EQ(aBytes, Hex("08 68 69 ED A0 BD ED B8 80"));
    CKorvelString strBack;
    CASN1_StringField in(strBack);
    EXPECT_EQ(DecodeExact(in, aBytes), aBytes.size());
    EXPECT_TRUE(SameUnits(strBack, strSmile));
}

TEST(CASN1_StringField, ReaderRejectsLengthBeyondInput)
{
    CKorvelString strText(L"keep");
    CASN1_StringField field(strText);
    EXPECT_EQ(DecodeExact(field, Hex("05 61 62")), 0u);
    EXPECT_EQ(DecodeExact(field, Hex("84 80 00 00 00 61")), 0u);
    EXPECT_EQ(DecodeExact(field, Hex("86 00 00 00 00 00 01 61")), 0u);
    EXPECT_TRUE(SameUnits(strText, CKorvelString(L"keep")));
    // A three-byte sequence cut by the field's end reads nothing beyond it.
    EXPECT_EQ(DecodeExact(field, Hex("02 61 E2")), 3u);
}

TEST(CASN1_StringField, WriteOnlyTextCannotBeDecodedInto)
{
    const CKorvelString strFixed(L"fixed");
    CASN1_StringField field(strFixed);
    EXPECT_EQ(EncodeExact(field), Hex("05 66 69 78 65 64"));
    EXPECT_EQ(DecodeExact(field, Hex("01 61")), 0u);
}

TEST(CASN1_ByteArrayField, EncodesBytesAndZerosForMissingData)
{
    unsigned char aData[3] = {1, 2, 3};
    unsigned char* pData = aData;
    int iSize = 3;
    CASN1_ByteArrayField field(&pData, iSize);
    EXPECT_EQ(EncodeExact(field), Hex("03 01 02 03"));
    pData = nullptr;
    EXPECT_EQ(EncodeExact(field), Hex("03 00 00 00"));
    iSize = -1;
    EXPECT_EQ(EncodeExact(field), Hex("00"));
}

TEST(CASN1_ByteArrayField, DecodeAllocatesWhenNoBufferIsGiven)
{
    unsigned char* pData = nullptr;
    int iSize = 0;
    CASN1_ByteArrayField field(&pData, iSize);
    EXPECT_EQ(DecodeExact(field, Hex("03 0A 0B 0C")), 4u);
    ASSERT_NE(pData, nullptr);
    EXPECT_EQ(iSize, 3);
    EXPECT_EQ(Bytes(pData, pData + 3), Hex("0A 0B 0C"));
    delete[] pData;
}

TEST(CASN1_ByteArrayField, SuppliedBufferIsFilledOnlyWhenLargeEnough)
{
    unsigned char aDigest[4] = {0, 0, 0, 0};
    unsigned char* pData = aDigest;
    int iSize = 4;
    CASN1_ByteArrayField field(&pData, iSize);
    EXPECT_EQ(DecodeExact(field, Hex("02 AA BB")), 3u);
    EXPECT_EQ(iSize, 2);
    EXPECT_EQ(aDigest[0], 0xAA);

    iSize = 4;
    aDigest[0] = 0;
    EXPECT_EQ(DecodeExact(field, Hex("05 01 02 03 04 05")), 6u);
    EXPECT_EQ(iSize, -1);
    EXPECT_EQ(aDigest[0], 0);
}

TEST(CASN1_ByteArrayField, LengthBeyondInputStoresNothing)
{
    unsigned char* pData = nullptr;
    int iSize = 7;
    CASN1_ByteArrayField field(&pData, iSize);
    EXPECT_EQ(DecodeExact(field, Hex("04 01 02")), 0u);
    EXPECT_EQ(DecodeExact(field, Hex("84 7F FF FF FF 00")), 0u);
    EXPECT_EQ(pData, nullptr);
    EXPECT_EQ(iSize, 7);
}
