#include "Framework/asn1/ASN1Sequence.h"

#include "ASN1TestBytes.h"
#include "Framework/asn1/ASN1.h"
#include "KorvelCommon/KorvelString.h"

#include <deque>
#include <random>

namespace
{
class CTestMessage : public CASN1_Message
{
public:
    CTestMessage(int iId, int& iValue, CKorvelString& strText, long long& llValue) : CASN1_Message(iId)
    {
        DefineField(new CASN1_IntField(iValue));
        DefineField(new CASN1_StringField(strText));
        DefineField(new CASN1_LongIntField(llValue));
    }
};

struct sTESTVALUES
{
    int iValue = 0;
    CKorvelString strText;
    long long llValue = 0;
};

unsigned int DecodeInto(sTESTVALUES& values, int iId, const Bytes& aBytes)
{
    CTestMessage message(iId, values.iValue, values.strText, values.llValue);
    return DecodeExact(message, aBytes);
}

// Every kind of field, bound to values that stay in place while the message lives.
struct sRANDOMMESSAGE
{
    std::vector<int> aKinds;
    std::deque<int> aInts;
    std::deque<long long> aLongs;
    std::deque<CKorvelString> aTexts;
    std::deque<std::vector<unsigned char>> aBlobs;
    std::deque<unsigned char*> aBlobPtrs;
    std::deque<int> aBlobSizes;
    std::deque<CKorvelArray<int>> aIntLists;
    std::deque<CKorvelArray<CKorvelString>> aTextLists;
};

CKorvelString RandomText(std::mt19937& rng)
{
    std::vector<unsigned short> aUnits(rng() % 200);
    for (unsigned short& u : aUnits)
    {
        // Mostly ASCII, some two- and three-byte units, surrogate halves included.
        unsigned int uKind = rng() % 4;
        u = (unsigned short)(uKind < 2 ? 1 + rng() % 127
                                       : (uKind == 2 ? 0x80 + rng() % 0x780 : 0x800 + rng() % 0xF7FF));
    }
    aUnits.push_back(0);
    CKorvelString str;
    str.Set(aUnits.data());
    return str;
}

void BuildRandom(sRANDOMMESSAGE& values, CASN1_Message& message, std::mt19937* pRng)
{
    for (int iKind : values.aKinds)
    {
        switch (iKind)
        {
        case 0:
            values.aInts.push_back(pRng ? (int)(*pRng)() : 0);
            message.DefineField(new CASN1_IntField(values.aInts.back()));
            break;
        case 1:
        {
            long long llValue = 0;
            if (pRng)
            {
                unsigned long long uBits = ((unsigned long long)(*pRng)() << 32) | (*pRng)();
                llValue = (long long)uBits >> ((*pRng)() % 64);
            }
            values.aLongs.push_back(llValue);
            message.DefineField(new CASN1_LongIntField(values.aLongs.back()));
            break;
        }
        case 2:
            values.aTexts.push_back(pRng ? RandomText(*pRng) : CKorvelString());
            message.DefineField(new CASN1_StringField(values.aTexts.back()));
            break;
        case 3:
            values.aBlobs.emplace_back(pRng ? (*pRng)() % 300 : 0);
            for (unsigned char& b : values.aBlobs.back())
                b = (unsigned char)(*pRng)();
            values.aBlobPtrs.push_back(pRng ? values.aBlobs.back().data() : nullptr);
            values.aBlobSizes.push_back((int)values.aBlobs.back().size());
            message.DefineField(new CASN1_ByteArrayField(&values.aBlobPtrs.back(), values.aBlobSizes.back()));
            break;
        case 4:
            values.aIntLists.emplace_back();
            for (int i = pRng ? (int)((*pRng)() % 60) : 0; i > 0; --i)
                values.aIntLists.back().Add((int)(*pRng)() >> ((*pRng)() % 32));
            message.DefineField(new CASN1_SequenceOf<CASN1_IntField>(values.aIntLists.back()));
            break;
        default:
            values.aTextLists.emplace_back();
            for (int i = pRng ? (int)((*pRng)() % 5) : 0; i > 0; --i)
                values.aTextLists.back().Add(RandomText(*pRng));
            message.DefineField(new CASN1_SequenceOf<CASN1_StringField>(values.aTextLists.back()));
            break;
        }
    }
}

bool SameText(const CKorvelString& a, const CKorvelString& b)
{
    return a.Compare(b) == 0;
}

void DeleteBlobs(sRANDOMMESSAGE& values)
{
    for (unsigned char* p : values.aBlobPtrs)
        delete[] p;
}
} // namespace

TEST(CASN1_Message, EncodesIdentifierLengthAndTaggedFields)
{
    sTESTVALUES values;
    values.iValue = 1;
    values.strText.Set(L"ab");
    values.llValue = 2;
    CTestMessage message(5, values.iValue, values.strText, values.llValue);
    EXPECT_EQ(EncodeExact(message), Hex("A5 0A 80 01 01 81 02 61 62 82 01 02"));

    CTestMessage high(116, values.iValue, values.strText, values.llValue);
    EXPECT_EQ(EncodeExact(high), Hex("BF 74 0A 80 01 01 81 02 61 62 82 01 02"));

    unsigned char aSmall[11];
    EXPECT_EQ(message.Encode(aSmall, 11), 0u);
    EXPECT_EQ(message.Encode(aSmall, 1), 0u);
}

TEST(CASN1_Message, WithoutFieldsIsIdentifierAndZero)
{
    CASN1_Message logout(59);
    EXPECT_EQ(EncodeExact(logout), Hex("BF 3B 00"));
    EXPECT_EQ(DecodeExact(logout, Hex("BF 3B 00")), 3u);
    EXPECT_EQ(DecodeExact(logout, Hex("BF 3B 03 80 01 00")), 0u);
}

TEST(CASN1_Message, FieldsDecodeByTagInAnyOrder)
{
    sTESTVALUES values;
    values.strText.Set(L"kept");
    EXPECT_EQ(DecodeInto(values, 5, Hex("A5 06 82 01 09 80 01 07")), 8u);
    EXPECT_EQ(values.llValue, 9);
    EXPECT_EQ(values.iValue, 7);
    EXPECT_TRUE(SameText(values.strText, CKorvelString(L"kept")));
    // A field that arrives twice keeps its last value; any class is accepted.
    EXPECT_EQ(DecodeInto(values, 5, Hex("A5 06 80 01 01 A0 01 02")), 8u);
    EXPECT_EQ(values.iValue, 2);
    // Bytes after the message belong to the next one.
    EXPECT_EQ(DecodeInto(values, 5, Hex("A5 03 80 01 03 FF FF")), 5u);
    EXPECT_EQ(values.iValue, 3);
}

TEST(CASN1_Message, BadContentFailsTheWholeMessage)
{
    sTESTVALUES values;
    const char* aBad[] = {
        "A5 03 83 01 00",          // index equal to the number of fields
        "A5 06 80 05 00 00 00 01", // integer of five bytes
        "A5 04 81 05 61 62",       // text longer than the content
        "A5 01 80",                // a tag with nothing after it
        "A5 05 80 01 01 81",       // content shorter than its length
        "A5 85 00 00 00 00 03",    // length field of five bytes
        "A5 84 80 00 00 03",       // negative length
        "A6 03 80 01 01",          // another message
        "85 03 80 01 01",          // identifier of the wrong class
        "BF",
        "A5",
        "",
    };
    for (const char* pText : aBad)
        EXPECT_EQ(DecodeInto(values, 5, Hex(pText)), 0u) << pText;
}

TEST(CASN1_Sequence, NestedSequenceIsAField)
{
    int iA = 4, iB = -2;
    CASN1_Sequence* pInner = new CASN1_Sequence();
    pInner->DefineField(new CASN1_IntField(iB));
    CASN1_Message message(31);
    message.DefineField(new CASN1_IntField(iA));
    message.DefineField(pInner);
    Bytes aBytes = EncodeExact(message);
    EXPECT_EQ(aBytes, Hex("BF 1F 08 80 01 04 81 03 80 01 FE"));
    iA = iB = 0;
    EXPECT_EQ(DecodeExact(message, aBytes), aBytes.size());
    EXPECT_EQ(iA, 4);
    EXPECT_EQ(iB, -2);
}

TEST(CASN1_Message, RandomMessagesMeasureRoundTripAndRejectEveryCut)
{
    std::mt19937 rng(1234);
    for (int iRound = 0; iRound < 150; ++iRound)
    {
        int iId = (int)(rng() % 117);
        sRANDOMMESSAGE source, target;
        for (int i = (int)(rng() % 12); i > 0; --i)
            source.aKinds.push_back((int)(rng() % 6));
        target.aKinds = source.aKinds;
        CASN1_Message out(iId), in(iId);
        BuildRandom(source, out, &rng);
        BuildRandom(target, in, nullptr);

        unsigned int uMeasured = out.Encode(nullptr, 0);
        Bytes aBytes(uMeasured);
        ASSERT_EQ(out.Encode(aBytes.data(), (int)uMeasured), uMeasured);
        EXPECT_EQ(CASN1::GetMessageLength(aBytes.data(), (int)aBytes.size()), (int)uMeasured);
        EXPECT_EQ(CASN1::GetMessageID(aBytes.data(), (int)aBytes.size()), iId);
        ASSERT_EQ(DecodeExact(in, aBytes), uMeasured);
        // Every form is minimal, so equal bytes again mean equal values.
        EXPECT_EQ(EncodeExact(in), aBytes);
        DeleteBlobs(target);

        // Every cut is either "need more" or, once the length is known, incomplete,
        // and never decodes.
        for (size_t k = 0; k < aBytes.size(); ++k)
        {
            Bytes aCut(aBytes.begin(), aBytes.begin() + k);
            int iLength = CASN1::GetMessageLength(aCut.empty() ? nullptr : aCut.data(), (int)k);
            EXPECT_TRUE(iLength == CASN1::eMSGLEN_NEEDMORE || iLength > (int)k) << k;
            sRANDOMMESSAGE scratch;
            scratch.aKinds = source.aKinds;
            CASN1_Message cut(iId);
            BuildRandom(scratch, cut, nullptr);
            EXPECT_EQ(DecodeExact(cut, aCut), 0u) << k;
            DeleteBlobs(scratch);
        }
    }
}
