// Downloadable content and extras of the catalogue:
//   languages  28 GetAvailableLanguages (a plain CASN1_Message), 29 AvailableLanguagesList,
//              30 GetLanguagePack, 31 LanguagePack, 37 ChangeLanguageMessage
//   themes     32 GetThemePack, 33 ThemePack
//   scores     10 GetAchievementList, 11 AchievementList, 14 GetTournamentScores,
//              16 TournamentScores
//   promotion  52 ImageAndLink, 80 AdvertisementInfo
// Byte arrays are allocated (array new) when the bound pointer is null; the caller frees
// them, also after a failed decode.
#pragma once

#include "Framework/Session/asn1_hile_session.h"
#include "Framework/asn1/ASN1.h"
#include "KorvelCommon/KorvelString.h"

// --- languages and themes -----------------------------------------------------------------

class CASN1AvailableLanguagesList : public CASN1_Message
{
public:
    struct sData
    {
        CKorvelString m_strCode;
        CKorvelString m_strTarget; // "game" for the game's own texts
        CKorvelString m_strDigest;
        int m_iValue = 0;
    };
    explicit CASN1AvailableLanguagesList(CKorvelArray<sData>& aLanguages);
};

class CLanguageInfoDecoder : public CASN1_Record
{
public:
    typedef CASN1AvailableLanguagesList::sData RecordType;
    explicit CLanguageInfoDecoder(RecordType& language);
};

// 30: language code and target name.
class CASN1GetLanguagePack : public CASN1String2Message
{
public:
    CASN1GetLanguagePack(const CKorvelString& strCode, const CKorvelString& strTarget);
};

// 31: three texts, an integer and the pack file's bytes.
class CASN1LanguagePack : public CASN1_Message
{
public:
    CASN1LanguagePack(CKorvelString& strText0, CKorvelString& strText1, CKorvelString& strText2, int& iValue,
                      unsigned char** ppData, int& iDataSize);

    CKorvelString& m_strText0;
    CKorvelString& m_strText1;
    CKorvelString& m_strText2;
    int& m_iValue;
    unsigned char** m_ppData;
    int& m_iDataSize;
};

class CASN1ChangeLanguageMessage : public CASN1StringMessage
{
public:
    explicit CASN1ChangeLanguageMessage(const CKorvelString& strCode);
};

// 32: the digest text of the current theme pack (empty without one).
class CASN1GetThemePack : public CASN1StringMessage
{
public:
    explicit CASN1GetThemePack(CKorvelString& strName);

    CKorvelString& m_strName;
};

// 33: theme name, a text and the pack file's bytes.
class CASN1ThemePack : public CASN1_Message
{
public:
    CASN1ThemePack(CKorvelString& strName, CKorvelString& strText, unsigned char** ppData, int& iDataSize);

    CKorvelString& m_strName;
    CKorvelString& m_strText;
    unsigned char** m_ppData;
    int& m_iDataSize;
};

// --- achievements and tournaments ---------------------------------------------------------

class CASN1GetAchievementList : public CASN1_Message
{
public:
    CASN1GetAchievementList(int& iValue0, int& iValue1, int& iValue2, int& iValue3);
};

class CASN1AchievementList : public CASN1_Message
{
public:
    struct sData
    {
        int m_iValue0 = 0;
        int m_iValue1 = 0;
        CKorvelString m_strText0; // the one shown
        CKorvelString m_strText1;
        CKorvelString m_strText2;
        CKorvelString m_strText3;
    };
    CASN1AchievementList(int& iValue0, int& iValue1, int& iValue2, CKorvelArray<sData>& aAchievements,
                         int& iValue4);
};

class CAchievementInfoDecoder : public CASN1_Record
{
public:
    typedef CASN1AchievementList::sData RecordType;
    explicit CAchievementInfoDecoder(RecordType& achievement);
};

// 14: player ids, the kinds of scores asked for, an integer.
class CASN1GetTournamentScores : public CASN1_Message
{
public:
    CASN1GetTournamentScores(CKorvelArray<int>& aPlayerIds, int& iKinds, int& iValue);
};

class CASN1TournamentScores : public CASN1_Message
{
public:
    // One player's scores, one per tournament name in the order of the names. The record
    // holds them itself, so lists of records free them.
    struct sData
    {
        int m_iUserId = 0;
        CKorvelArray<int> m_aScores;
    };
    CASN1TournamentScores(CKorvelArray<CKorvelString>& aNames, CKorvelArray<sData>& aScores, int& iKinds);
};

class CASN1UserTournamentScores : public CASN1_Record
{
public:
    typedef CASN1TournamentScores::sData RecordType;
    explicit CASN1UserTournamentScores(RecordType& scores);
};

// --- promotion ----------------------------------------------------------------------------

// 52: image id, image bytes, link, label, a text.
class CASN1ImageAndLink : public CASN1_Message
{
public:
    CASN1ImageAndLink(CKorvelString& strId, unsigned char** ppImage, int& iImageSize, CKorvelString& strLink,
                      CKorvelString& strLabel, CKorvelString& strText);
};

// 80: a text, link, image bytes, interval and display times (ms), frame times (ms),
// OK link, flags (0x2 keep, 0x8 exit advertisement), title, title link.
class CASN1AdvertisementInfo : public CASN1_Message
{
public:
    CASN1AdvertisementInfo(CKorvelString& strText, CKorvelString& strLink, unsigned char** ppImage,
                           int& iImageSize, int& iInterval, int& iDisplay, CKorvelArray<int>& aFrames,
                           CKorvelString& strOkLink, int& iFlags, CKorvelString& strTitle,
                           CKorvelString& strTitleLink);
};
