#include "Framework/Session/asn1_hile_content.h"

#include "Framework/Session/CatalogueTestBytes.h"

#include "Framework/Session/asn1_hile_ids.h"
#include <tuple>

#include <memory>

namespace
{
Bytes Record(const Bytes& aFields)
{
    return Cat({Hex("30"), Block(aFields)});
}
} // namespace

TEST(CASN1ChangeLanguageMessage, Requests)
{
    // Written texts are copied by the message, so temporaries may be passed.
    CASN1ChangeLanguageMessage change(CKorvelString("de"));
    EXPECT_EQ(EncodeExact(change), Hex("BF 25 04 80 02 64 65"));
    CASN1_Message languages(eMSG_GET_AVAILABLE_LANGUAGES);
    EXPECT_EQ(EncodeExact(languages), Hex("BC 00"));
    CASN1GetLanguagePack pack(CKorvelString("de"), CKorvelString("game"));
    EXPECT_EQ(EncodeExact(pack), Hex("BE 0A 80 02 64 65 81 04 67 61 6D 65"));
    CKorvelString strDigest;
    CASN1GetThemePack theme(strDigest);
    EXPECT_EQ(EncodeExact(theme), Hex("BF 20 02 80 00"));
}

TEST(CASN1AvailableLanguagesList, Records)
{
    CKorvelArray<CASN1AvailableLanguagesList::sData> aLanguages;
    CASN1AvailableLanguagesList message(aLanguages);
    EXPECT_EQ(DecodeExact(message, Hex("BD 02 80 00")), 4u);
    EXPECT_EQ(aLanguages.GetCount(), 0);

    Bytes aMsg = Message(
        29, Field(0x80, Block(Record(Cat({Field(0x80, TextBytes("de")), Field(0x81, TextBytes("game")),
                                          Field(0x82, TextBytes("abc")), Hex("83 01 02")})))));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    ASSERT_EQ(aLanguages.GetCount(), 1);
    EXPECT_EQ(std::make_tuple(Utf8(aLanguages[0].m_strCode), Utf8(aLanguages[0].m_strTarget),
                              Utf8(aLanguages[0].m_strDigest), aLanguages[0].m_iValue),
              std::make_tuple("de", "game", "abc", 2));
}

TEST(CASN1LanguagePack, PackBytesAreTheCallers)
{
    CKorvelString strTarget, strCode, strText;
    int iValue = 0, iSize = 0;
    unsigned char* pData = nullptr;
    CASN1LanguagePack message(strTarget, strCode, strText, iValue, &pData, iSize);
    Bytes aMsg = Message(31, Cat({Field(0x80, TextBytes("game")), Field(0x81, TextBytes("de")),
                                  Field(0x82, TextBytes("")), Hex("83 01 05 84 03 4B 4D 50")}));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    std::unique_ptr<unsigned char[]> owned(pData);
    EXPECT_EQ(std::make_tuple(Utf8(message.m_strText0), Utf8(strCode), iValue),
              std::make_tuple("game", "de", 5));
    ASSERT_EQ(iSize, 3);
    EXPECT_EQ(Bytes(pData, pData + 3), Hex("4B 4D 50"));
}

TEST(CASN1AchievementList, Records)
{
    int a = 0, b = 0, c = 0, d = 0;
    CKorvelArray<CASN1AchievementList::sData> aAchievements;
    CASN1AchievementList message(a, b, c, aAchievements, d);
    Bytes aRecord =
        Record(Cat({Hex("80 01 01 81 01 00"), Field(0x82, TextBytes("First win")), Field(0x83, TextBytes("")),
                    Field(0x84, TextBytes("")), Field(0x85, TextBytes("x"))}));
    Bytes aMsg =
        Message(11, Cat({Hex("80 01 01 81 01 02 82 01 03"), Field(0x83, Block(aRecord)), Hex("84 01 04")}));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    ASSERT_EQ(aAchievements.GetCount(), 1);
    EXPECT_EQ(
        std::make_tuple(a, b, c, d, Utf8(aAchievements[0].m_strText0), Utf8(aAchievements[0].m_strText3)),
        std::make_tuple(1, 2, 3, 4, "First win", "x"));

    int i0 = 1, i1 = 2, i2 = 3, i3 = 4;
    CASN1GetAchievementList request(i0, i1, i2, i3);
    EXPECT_EQ(EncodeExact(request), Hex("AA 0C 80 01 01 81 01 02 82 01 03 83 01 04"));
}

TEST(CASN1TournamentScores, EveryRecordHoldsItsScores)
{
    CKorvelArray<CKorvelString> aNames;
    CKorvelArray<CASN1TournamentScores::sData> aScores;
    int iKinds = 0;
    CASN1TournamentScores message(aNames, aScores, iKinds);
    Bytes aNamesList = Block(Cat({Hex("0C"), TextBytes("Weekly"), Hex("0C"), TextBytes("Monthly")}));
    Bytes aRecords =
        Block(Cat({Record(Cat({Hex("80 02 03 E9"), Field(0x81, Block(Hex("02 01 05 02 02 01 2C")))})),
                   Record(Hex("80 02 03 EA"))}));
    Bytes aMsg = Message(16, Cat({Field(0x80, aNamesList), Field(0x81, aRecords), Hex("82 01 04")}));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    ASSERT_EQ(aNames.GetCount(), 2);
    ASSERT_EQ(aScores.GetCount(), 2);
    ASSERT_EQ(aScores[0].m_aScores.GetCount(), 2);
    EXPECT_EQ(std::make_tuple(Utf8(aNames[1]), aScores[0].m_iUserId, aScores[0].m_aScores[1],
                              aScores[1].m_iUserId, aScores[1].m_aScores.GetCount(), iKinds),
              std::make_tuple("Monthly", 1001, 300, 1002, 0, 4));

    CKorvelArray<int> aIds;
    aIds.Add(1001);
    int iAsk = 4, iOne = 1;
    CASN1GetTournamentScores request(aIds, iAsk, iOne);
    EXPECT_EQ(EncodeExact(request), Hex("AE 0C 80 04 02 02 03 E9 81 01 04 82 01 01"));
}

TEST(CASN1AdvertisementInfo, AllTenFields)
{
    CKorvelString strText, strLink, strOk, strTitle, strTitleLink;
    unsigned char* pImage = nullptr;
    int iImageSize = 0, iInterval = 0, iDisplay = 0, iFlags = 0;
    CKorvelArray<int> aFrames;
    CASN1AdvertisementInfo message(strText, strLink, &pImage, iImageSize, iInterval, iDisplay, aFrames, strOk,
                                   iFlags, strTitle, strTitleLink);
    Bytes aMsg =
        Message(80, Cat({Field(0x80, TextBytes("ad")), Field(0x81, TextBytes("http://x")), Hex("82 01 00"),
                         Hex("83 02 27 10 84 02 0B B8"), Field(0x85, Block(Hex("02 01 64 02 01 32"))),
                         Field(0x86, TextBytes("ok")), Hex("87 01 08"), Field(0x88, TextBytes("Title")),
                         Field(0x89, TextBytes(""))}));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    std::unique_ptr<unsigned char[]> owned(pImage);
    ASSERT_EQ(aFrames.GetCount(), 2);
    EXPECT_EQ(std::make_tuple(Utf8(strText), Utf8(strLink), iImageSize, iInterval, iDisplay, aFrames[1],
                              Utf8(strOk), iFlags, Utf8(strTitle)),
              std::make_tuple("ad", "http://x", 1, 10000, 3000, 50, "ok", 8, "Title"));
}

TEST(CASN1ImageAndLink, Fields)
{
    CKorvelString strId, strLink, strLabel, strText;
    unsigned char* pImage = nullptr;
    int iImageSize = 0;
    CASN1ImageAndLink message(strId, &pImage, iImageSize, strLink, strLabel, strText);
    Bytes aMsg =
        Message(52, Cat({Field(0x80, TextBytes("moregames")), Hex("81 02 01 02"), Field(0x82, TextBytes("u")),
                         Field(0x83, TextBytes("More")), Field(0x84, TextBytes(""))}));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    std::unique_ptr<unsigned char[]> owned(pImage);
    EXPECT_EQ(std::make_tuple(Utf8(strId), iImageSize, Utf8(strLink), Utf8(strLabel)),
              std::make_tuple("moregames", 2, "u", "More"));
}
