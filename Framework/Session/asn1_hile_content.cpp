#include "Framework/Session/asn1_hile_content.h"

#include "Framework/Session/asn1_hile_ids.h"

CASN1AvailableLanguagesList::CASN1AvailableLanguagesList(CKorvelArray<sData>& aLanguages)
    : CASN1_Message(eMSG_AVAILABLE_LANGUAGES_LIST)
{
    DefineField(new CASN1_SequenceOf<CLanguageInfoDecoder>(aLanguages));
}

CLanguageInfoDecoder::CLanguageInfoDecoder(RecordType& language)
{
    DefineField(new CASN1_StringField(language.m_strCode));
    DefineField(new CASN1_StringField(language.m_strTarget));
    DefineField(new CASN1_StringField(language.m_strDigest));
    DefineField(new CASN1_IntField(language.m_iValue));
}

CASN1GetLanguagePack::CASN1GetLanguagePack(const CKorvelString& strCode, const CKorvelString& strTarget)
    : CASN1String2Message(eMSG_GET_LANGUAGE_PACK, strCode, strTarget)
{
}

CASN1LanguagePack::CASN1LanguagePack(CKorvelString& strText0, CKorvelString& strText1,
                                     CKorvelString& strText2, int& iValue, unsigned char** ppData,
                                     int& iDataSize)
    : CASN1_Message(eMSG_LANGUAGE_PACK), m_strText0(strText0), m_strText1(strText1), m_strText2(strText2),
      m_iValue(iValue), m_ppData(ppData), m_iDataSize(iDataSize)
{
    DefineField(new CASN1_StringField(strText0));
    DefineField(new CASN1_StringField(strText1));
    DefineField(new CASN1_StringField(strText2));
    DefineField(new CASN1_IntField(iValue));
    DefineField(new CASN1_ByteArrayField(ppData, iDataSize));
}

CASN1ChangeLanguageMessage::CASN1ChangeLanguageMessage(const CKorvelString& strCode)
    : CASN1StringMessage(eMSG_CHANGE_LANGUAGE, strCode)
{
}

CASN1GetThemePack::CASN1GetThemePack(CKorvelString& strName)
    : CASN1StringMessage(eMSG_GET_THEME_PACK, strName), m_strName(strName)
{
}

CASN1ThemePack::CASN1ThemePack(CKorvelString& strName, CKorvelString& strText, unsigned char** ppData,
                               int& iDataSize)
    : CASN1_Message(eMSG_THEME_PACK), m_strName(strName), m_strText(strText), m_ppData(ppData),
      m_iDataSize(iDataSize)
{
    DefineField(new CASN1_StringField(strName));
    DefineField(new CASN1_StringField(strText));
    DefineField(new CASN1_ByteArrayField(ppData, iDataSize));
}

CASN1GetAchievementList::CASN1GetAchievementList(int& iValue0, int& iValue1, int& iValue2, int& iValue3)
    : CASN1_Message(eMSG_GET_ACHIEVEMENT_LIST)
{
    DefineField(new CASN1_IntField(iValue0));
    DefineField(new CASN1_IntField(iValue1));
    DefineField(new CASN1_IntField(iValue2));
    DefineField(new CASN1_IntField(iValue3));
}

CASN1AchievementList::CASN1AchievementList(int& iValue0, int& iValue1, int& iValue2,
                                           CKorvelArray<sData>& aAchievements, int& iValue4)
    : CASN1_Message(eMSG_ACHIEVEMENT_LIST)
{
    DefineField(new CASN1_IntField(iValue0));
    DefineField(new CASN1_IntField(iValue1));
    DefineField(new CASN1_IntField(iValue2));
    DefineField(new CASN1_SequenceOf<CAchievementInfoDecoder>(aAchievements));
    DefineField(new CASN1_IntField(iValue4));
}

CAchievementInfoDecoder::CAchievementInfoDecoder(RecordType& achievement)
{
    DefineField(new CASN1_IntField(achievement.m_iValue0));
    DefineField(new CASN1_IntField(achievement.m_iValue1));
    DefineField(new CASN1_StringField(achievement.m_strText0));
    DefineField(new CASN1_StringField(achievement.m_strText1));
    DefineField(new CASN1_StringField(achievement.m_strText2));
    DefineField(new CASN1_StringField(achievement.m_strText3));
}

CASN1GetTournamentScores::CASN1GetTournamentScores(CKorvelArray<int>& aPlayerIds, int& iKinds, int& iValue)
    : CASN1_Message(eMSG_GET_TOURNAMENT_SCORES)
{
    DefineField(new CASN1_SequenceOf<CASN1_IntField>(aPlayerIds));
    DefineField(new CASN1_IntField(iKinds));
    DefineField(new CASN1_IntField(iValue));
}

CASN1TournamentScores::CASN1TournamentScores(CKorvelArray<CKorvelString>& aNames,
                                             CKorvelArray<sData>& aScores, int& iKinds)
    : CASN1_Message(eMSG_TOURNAMENT_SCORES)
{
    DefineField(new CASN1_SequenceOf<CASN1_StringField>(aNames));
    DefineField(new CASN1_SequenceOf<CASN1UserTournamentScores>(aScores));
    DefineField(new CASN1_IntField(iKinds));
}

CASN1UserTournamentScores::CASN1UserTournamentScores(RecordType& scores)
{
    DefineField(new CASN1_IntField(scores.m_iUserId));
    DefineField(new CASN1_SequenceOf<CASN1_IntField>(scores.m_aScores));
}

CASN1ImageAndLink::CASN1ImageAndLink(CKorvelString& strId, unsigned char** ppImage, int& iImageSize,
                                     CKorvelString& strLink, CKorvelString& strLabel, CKorvelString& strText)
    : CASN1_Message(eMSG_IMAGE_AND_LINK)
{
    DefineField(new CASN1_StringField(strId));
    DefineField(new CASN1_ByteArrayField(ppImage, iImageSize));
    DefineField(new CASN1_StringField(strLink));
    DefineField(new CASN1_StringField(strLabel));
    DefineField(new CASN1_StringField(strText));
}

CASN1AdvertisementInfo::CASN1AdvertisementInfo(CKorvelString& strText, CKorvelString& strLink,
                                               unsigned char** ppImage, int& iImageSize, int& iInterval,
                                               int& iDisplay, CKorvelArray<int>& aFrames,
                                               CKorvelString& strOkLink, int& iFlags, CKorvelString& strTitle,
                                               CKorvelString& strTitleLink)
    : CASN1_Message(eMSG_ADVERTISEMENT_INFO)
{
    DefineField(new CASN1_StringField(strText));
    DefineField(new CASN1_StringField(strLink));
    DefineField(new CASN1_ByteArrayField(ppImage, iImageSize));
    DefineField(new CASN1_IntField(iInterval));
    DefineField(new CASN1_IntField(iDisplay));
    DefineField(new CASN1_SequenceOf<CASN1_IntField>(aFrames));
    DefineField(new CASN1_StringField(strOkLink));
    DefineField(new CASN1_IntField(iFlags));
    DefineField(new CASN1_StringField(strTitle));
    DefineField(new CASN1_StringField(strTitleLink));
}
