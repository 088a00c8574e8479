#include "Framework/asn1/ASN1Field.h"

#include "ASN1TestBytes.h"

#include <climits>

namespace
{
Bytes EncodeTag(int iTag, CASN1_Field::TagClass eClass)
{
    CASN1_TagField tag(iTag, eClass);
    return EncodeExact(tag);
}

Bytes EncodeLengthField(int iLength)
{
    int iSize = CASN1_Field::EncodeLength(nullptr, 0, iLength);
    Bytes aOut(iSize);
    EXPECT_EQ(CASN1_Field::EncodeLength(aOut.data(), iSize, iLength), iSize);
    return aOut;
}
} // namespace

TEST(CASN1_TagField, IdentifiersTakeOneTwoOrThreeBytes)
{
    const CASN1_Field::TagClass C = CASN1_Field::eTAG_CONSTRUCTED, P = CASN1_Field::eTAG_PRIMITIVE;
    const struct
    {
        int iTag;
        CASN1_Field::TagClass eClass;
        const char* pBytes;
    } aCases[] = {{5, C, "A5"},         {30, C, "BE"}, {31, C, "BF 1F"}, {116, C, "BF 74"},
                  {300, C, "BF 82 2C"}, {3, P, "83"},  {40, P, "9F 28"}};
    for (const auto& c : aCases)
        EXPECT_EQ(EncodeTag(c.iTag, c.eClass), Hex(c.pBytes)) << c.iTag;

    // Too small a buffer is refused untouched.
    int iTag = 116;
    CASN1_TagField tag(iTag, C);
    unsigned char aBuf[2] = {0x11, 0x22};
    EXPECT_EQ(tag.Encode(aBuf, 1), 0u);
    EXPECT_EQ(aBuf[0], 0x11);
}

TEST(CASN1_TagField, ReaderChecksClassUnlessAny)
{
    Bytes aA5 = Hex("A5");
    int iTag = 0;
    CASN1_TagField constructed(iTag, CASN1_Field::eTAG_CONSTRUCTED);
    EXPECT_EQ(DecodeExact(constructed, aA5), 1u);
    EXPECT_EQ(iTag, 5);

    CASN1_TagField primitive(iTag);
    EXPECT_EQ(DecodeExact(primitive, aA5), 0u);
    EXPECT_EQ(iTag, -1);

    // Any class: the class bits ride in bits 29-31, the index below them.
    CASN1_TagField any(iTag, CASN1_Field::eTAG_ANY);
    EXPECT_EQ(DecodeExact(any, aA5), 1u);
    EXPECT_EQ((unsigned int)iTag, 0xA0000005u);
    EXPECT_EQ(iTag & 0x1FFFFFFF, 5);
    EXPECT_EQ(DecodeExact(any, Hex("9F 28")), 2u);
    EXPECT_EQ(iTag & 0x1FFFFFFF, 40);
}

TEST(CASN1_TagField, MultiByteReaderIsBounded)
{
    int iTag = 0;
    CASN1_TagField tag(iTag, CASN1_Field::eTAG_CONSTRUCTED);
    EXPECT_EQ(DecodeExact(tag, Hex("BF 82 2C")), 3u);
    EXPECT_EQ(iTag, 300);
    // Cut short, or continued past three bytes: no tag.
    EXPECT_EQ(DecodeExact(tag, Hex("BF")), 0u);
    EXPECT_EQ(iTag, -1);
    EXPECT_EQ(DecodeExact(tag, Hex("BF 82")), 0u);
    EXPECT_EQ(DecodeExact(tag, Hex("BF 80 80 80 80 01")), 0u);
    EXPECT_EQ(iTag, -1);
    EXPECT_EQ(DecodeExact(tag, Bytes()), 0u);
}

TEST(CASN1_Field, LengthShortAndLongFormsBothWays)
{
    const struct
    {
        int iLength;
        const char* pBytes;
    } aCases[] = {{0, "00"},
                  {127, "7F"},
                  {128, "81 80"},
                  {300, "82 01 2C"},
                  {0x10000, "83 01 00 00"},
                  {INT_MAX, "84 7F FF FF FF"}};
    for (const auto& c : aCases)
    {
        Bytes aBytes = Hex(c.pBytes);
        EXPECT_EQ(EncodeLengthField(c.iLength), aBytes);
        int iLength = -5;
        EXPECT_EQ(CASN1_Field::DecodeLength(aBytes.data(), (int)aBytes.size(), iLength), (int)aBytes.size());
        EXPECT_EQ(iLength, c.iLength);
    }
    unsigned char aBuf[2];
    EXPECT_EQ(CASN1_Field::EncodeLength(aBuf, 2, 300), 0);
    // Only the low four bits of the first byte count: 0x80 and 0x90 are length 0.
    for (unsigned char uFirst : {0x80, 0x90})
    {
        int iLength = -5;
        EXPECT_EQ(CASN1_Field::DecodeLength(&uFirst, 1, iLength), 1);
        EXPECT_EQ(iLength, 0);
    }
}

TEST(CASN1_Field, LengthReaderRejectsCutOverlongAndNegative)
{
    for (const char* pText :
         {"82 01", "81", "85 00 00 00 00 01", "8F 00", "84 80 00 00 00", "84 FF FF FF FF"})
    {
        Bytes aBytes = Hex(pText);
        int iLength = 0;
        EXPECT_EQ(CASN1_Field::DecodeLength(aBytes.data(), (int)aBytes.size(), iLength), 0) << pText;
    }
    int iLength = 0;
    EXPECT_EQ(CASN1_Field::DecodeLength(nullptr, 0, iLength), 0);
}
