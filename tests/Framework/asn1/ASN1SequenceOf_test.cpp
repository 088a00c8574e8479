#include "Framework/asn1/ASN1SequenceOf.h"

#include "ASN1TestBytes.h"
#include "Framework/asn1/ASN1Sequence.h"

namespace
{
struct sTESTPLAYER
{
    int m_iId;
    CKorvelString m_strName;
    int m_iFlags;
    int m_aStats[2];
};

// A record decoder as the message catalogue writes them: statistics as a nested
// constructed block (0xA3), the other fields primitive.
class CTestPlayerDecoder : public CASN1_Record
{
public:
    typedef sTESTPLAYER RecordType;
    explicit CTestPlayerDecoder(sTESTPLAYER& player)
    {
        DefineField(new CASN1_IntField(player.m_iId));
        DefineField(new CASN1_StringField(player.m_strName));
        DefineField(new CASN1_IntField(player.m_iFlags));
        CASN1_Sequence* pStats = new CASN1_Sequence();
        pStats->DefineField(new CASN1_IntField(player.m_aStats[0]));
        pStats->DefineField(new CASN1_IntField(player.m_aStats[1]));
        DefineField(pStats, eTAG_CONSTRUCTED);
    }
};

bool TextIs(const CKorvelString& str, const wchar_t* pExpected)
{
    return str.IsEqual(CKorvelString(pExpected)) != 0;
}
} // namespace

TEST(CASN1_SequenceOf, IntegerListBytes)
{
    CKorvelArray<int> aValues;
    CASN1_SequenceOf<CASN1_IntField> list(aValues);
    EXPECT_EQ(EncodeExact(list), Hex("00"));
    aValues.Add(1);
    aValues.Add(300);
    EXPECT_EQ(EncodeExact(list), Hex("07 02 01 01 02 02 01 2C"));

    CKorvelArray<int> aBack;
    aBack.Add(99);
    CASN1_SequenceOf<CASN1_IntField> back(aBack);
    EXPECT_EQ(DecodeExact(back, Hex("07 02 01 01 02 02 01 2C")), 8u);
    ASSERT_EQ(aBack.GetCount(), 2);
    EXPECT_EQ(aBack[0], 1);
    EXPECT_EQ(aBack[1], 300);
    EXPECT_EQ(DecodeExact(back, Hex("00")), 1u);
    EXPECT_EQ(aBack.GetCount(), 0);
}

TEST(CASN1_SequenceOf, TextListRoundTrip)
{
    CKorvelArray<CKorvelString> aTexts;
    aTexts.Add(CKorvelString(L"ab"));
    aTexts.Add(CKorvelString(L""));
    CASN1_SequenceOf<CASN1_StringField> list(aTexts);
    Bytes aBytes = EncodeExact(list);
    EXPECT_EQ(aBytes, Hex("06 0C 02 61 62 0C 00"));

    CKorvelArray<CKorvelString> aBack;
    CASN1_SequenceOf<CASN1_StringField> back(aBack);
    EXPECT_EQ(DecodeExact(back, aBytes), aBytes.size());
    ASSERT_EQ(aBack.GetCount(), 2);
    EXPECT_TRUE(TextIs(aBack[0], L"ab"));
    EXPECT_EQ(aBack[1].GetLength(), 0);
}

TEST(CASN1_SequenceOf, BadElementsFailTheList)
{
    CKorvelArray<int> aValues;
    CASN1_SequenceOf<CASN1_IntField> list(aValues);
    // Wrong universal tag after one good element: the good one stays.
    EXPECT_EQ(DecodeExact(list, Hex("06 02 01 05 0C 01 61")), 0u);
    EXPECT_EQ(aValues.GetCount(), 1);
    // An element running past the list's end, a list longer than its input, an
    // integer of five bytes, a tag with nothing after it.
    EXPECT_EQ(DecodeExact(list, Hex("03 02 02 01 2C")), 0u);
    EXPECT_EQ(DecodeExact(list, Hex("09 02 01 01")), 0u);
    EXPECT_EQ(DecodeExact(list, Hex("07 02 05 00 00 00 00 01")), 0u);
    EXPECT_EQ(DecodeExact(list, Hex("01 02")), 0u);
    EXPECT_EQ(DecodeExact(list, Bytes()), 0u);
}

TEST(CASN1_SequenceOf, RecordsAreBoundedByTheirOwnLength)
{
    // First record: every field; second: only its id plus an unknown field 9 and the
    // statistics under the wrong class (both skipped); third: id and name.
    Bytes aBytes = Hex("2C"
                       " 30 13 80 01 07 81 03 62 6F 62 82 01 01 A3 06 80 01 05 81 01 06"
                       " 30 0B 80 01 08 89 02 AA BB 83 02 01 02"
                       " 30 08 80 01 09 81 03 61 6E 6E");
    ASSERT_EQ(aBytes.size(), 45u);
    CKorvelArray<sTESTPLAYER> aPlayers;
    CASN1_SequenceOf<CTestPlayerDecoder> list(aPlayers);
    EXPECT_EQ(DecodeExact(list, aBytes), 45u);
    ASSERT_EQ(aPlayers.GetCount(), 3);
    EXPECT_EQ(aPlayers[0].m_iId, 7);
    EXPECT_TRUE(TextIs(aPlayers[0].m_strName, L"bob"));
    EXPECT_EQ(aPlayers[0].m_iFlags, 1);
    EXPECT_EQ(aPlayers[0].m_aStats[0], 5);
    EXPECT_EQ(aPlayers[0].m_aStats[1], 6);
    EXPECT_EQ(aPlayers[1].m_iId, 8);
    EXPECT_EQ(aPlayers[1].m_strName.GetLength(), 0);
    EXPECT_EQ(aPlayers[1].m_iFlags, 0);
    EXPECT_EQ(aPlayers[1].m_aStats[0], 0);
    EXPECT_EQ(aPlayers[2].m_iId, 9);
    EXPECT_TRUE(TextIs(aPlayers[2].m_strName, L"ann"));
}

TEST(CASN1_SequenceOf, BrokenRecordFailsTheList)
{
    CKorvelArray<sTESTPLAYER> aPlayers;
    CASN1_SequenceOf<CTestPlayerDecoder> list(aPlayers);
    // Record length beyond the list; a known field cut by the record's end; an
    // unknown field whose length runs past the record.
    EXPECT_EQ(DecodeExact(list, Hex("05 30 09 80 01 07")), 0u);
    EXPECT_EQ(DecodeExact(list, Hex("06 30 03 80 02 01 2C")), 0u);
    EXPECT_EQ(DecodeExact(list, Hex("06 30 04 85 05 01 02")), 0u);
    // An empty record is a record of zeros.
    EXPECT_EQ(DecodeExact(list, Hex("02 30 00")), 3u);
    ASSERT_EQ(aPlayers.GetCount(), 1);
    EXPECT_EQ(aPlayers[0].m_iId, 0);
}

TEST(CASN1_SequenceOf, RecordsHaveNoWriter)
{
    CKorvelArray<sTESTPLAYER> aPlayers;
    aPlayers.SetSize(2);
    CASN1_SequenceOf<CTestPlayerDecoder> list(aPlayers);
    EXPECT_EQ(EncodeExact(list), Hex("04 30 00 30 00"));
}
