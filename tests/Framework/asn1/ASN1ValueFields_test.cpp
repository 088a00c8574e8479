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
    {0, "01 00"},
    {127, "01 7F"},
    {128, "02 00 80"},
    {-1, "01 FF"},
    {-128, "01 80"},
    {-129, "02 FF 7F"},
    {32767, "02 7F FF"},
    {32768, "03 00 80 00"},
    {-8388609, "04 FF 7F FF FF"},
    {INT_MAX, "04 7F FF FF FF"},
    {INT_MIN, "04 80 00 00 00"},
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

TEST(CASN1_LongIntField, TableEncodesAndDecodes)
{
    // Non-negative values are minimal and read unsigned; negative ones take eight bytes.
    const struct
    {
        long long llValue;
        const char* pBytes;
    } aCases[] = {{0, "01 00"},
                  {255, "02 00 FF"},
                  {1LL << 32, "05 01 00 00 00 00"},
                  {LLONG_MAX, "08 7F FF FF FF FF FF FF FF"},
                  {-5, "08 FF FF FF FF FF FF FF FB"}};
    for (const auto& c : aCases)
    {
        long long llValue = c.llValue;
        CASN1_LongIntField field(llValue);
        EXPECT_EQ(EncodeExact(field), Hex(c.pBytes)) << c.llValue;
        llValue = 12345;
        EXPECT_EQ(DecodeExact(field, Hex(c.pBytes)), Hex(c.pBytes).size());
        EXPECT_EQ(llValue, c.llValue);
    }
    long long llValue = 0;
    CASN1_LongIntField field(llValue);
    EXPECT_EQ(DecodeExact(field, Hex("02 FF FF")), 3u);
    EXPECT_EQ(llValue, 65535);
}

// Integers of too many bytes and cut input fail and leave the value alone; an empty
// content reads as 0 and takes the count byte only.
TEST(CASN1_IntField, ReadersRejectLongCountsAndCutInput)
{
    int iValue = 77;
    CASN1_IntField field(iValue);
    for (const char* pText : {"05 00 00 00 00 01", "FF 01 02", "02 01", ""})
        EXPECT_EQ(DecodeExact(field, Hex(pText)), 0u) << pText;
    EXPECT_EQ(iValue, 77);
    EXPECT_EQ(DecodeExact(field, Hex("00")), 1u);
    EXPECT_EQ(iValue, 0);

    long long llValue = 9;
    CASN1_LongIntField longField(llValue);
    EXPECT_EQ(DecodeExact(longField, Hex("09 00 00 00 00 00 00 00 00 01")), 0u);
    EXPECT_EQ(DecodeExact(longField, Hex("03 01 02")), 0u);
    EXPECT_EQ(llValue, 9);
}

TEST(CASN1_StringField, EncodesEachUnitAsUtf8)
{
    const struct
    {
        CKorvelString strText;
        const char* pBytes;
    } aCases[] = {{CKorvelString(L"abc"), "03 61 62 63"},
                  {Units({0x00E9}), "02 C3 A9"},
                  {Units({0x20AC}), "03 E2 82 AC"},
                  {CKorvelString(), "00"},
                  // U+1F600 is held as the surrogate pair D83D DE00; each half goes out as
                  // three bytes and comes back, so emoji survive between two clients.
                  {Units({'h', 'i', 0xD83D, 0xDE00}), "08 68 69 ED A0 BD ED B8 80"}};
    for (const auto& c : aCases)
    {
        CASN1_StringField out(c.strText);
        EXPECT_EQ(EncodeExact(out), Hex(c.pBytes));
        CKorvelString strBack(L"old");
        CASN1_StringField in(strBack);
        EXPECT_EQ(DecodeExact(in, Hex(c.pBytes)), Hex(c.pBytes).size());
        EXPECT_TRUE(SameUnits(strBack, c.strText)) << c.pBytes;
    }
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

TEST(CASN1_ByteArrayField, DecodeAllocatesOrFillsALargeEnoughBuffer)
{
    unsigned char* pData = nullptr;
    int iSize = 7;
    CASN1_ByteArrayField field(&pData, iSize);
    // A length beyond the input stores nothing.
    EXPECT_EQ(DecodeExact(field, Hex("04 01 02")), 0u);
    EXPECT_EQ(DecodeExact(field, Hex("84 7F FF FF FF 00")), 0u);
    EXPECT_EQ(pData, nullptr);
    EXPECT_EQ(iSize, 7);
    EXPECT_EQ(DecodeExact(field, Hex("03 0A 0B 0C")), 4u);
    ASSERT_NE(pData, nullptr);
    EXPECT_EQ(Bytes(pData, pData + iSize), Hex("0A 0B 0C"));
    delete[] pData;

    unsigned char aDigest[4] = {0, 0, 0, 0};
    pData = aDigest;
    iSize = 4;
    EXPECT_EQ(DecodeExact(field, Hex("02 AA BB")), 3u);
    EXPECT_EQ(iSize, 2);
    EXPECT_EQ(aDigest[0], 0xAA);
    iSize = 4;
    aDigest[0] = 0;
    EXPECT_EQ(DecodeExact(field, Hex("05 01 02 03 04 05")), 6u);
    EXPECT_EQ(iSize, -1);
    EXPECT_EQ(aDigest[0], 0);
}
