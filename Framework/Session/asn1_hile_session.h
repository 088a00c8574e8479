// Connection, account and match messages of the catalogue, and the generic text
// messages:
//   generic    CASN1StringMessage (one text), CASN1String2Message (two texts); used for
//              51 GetImageAndLink
//   connection 2 ConnectACK, 17 KeyValue, 25 GetKeyValue, 45 Notification
//   account    107 ConfirmUserName, 108 ConfirmUserNameACK, 109 ConfirmEmail,
//              110 ConfirmEmailACK, 111 ExternalLogin
//   match      46 GameReady, 64 ChatMessage (with the chat record sCHATMSG)
// Texts passed const are only written: the message keeps its own copies of them, so a
// temporary text may be passed (decoding into them fails).
#pragma once

#include "Framework/Session/VornChatMessage.h"
#include "Framework/asn1/ASN1.h"
#include "KorvelCommon/KorvelString.h"

// --- generic text messages -----------------------------------------------------------------

class CASN1StringMessage : public CASN1_Message
{
public:
    CASN1StringMessage(int iId, CKorvelString& strText);
    CASN1StringMessage(int iId, const CKorvelString& strText);

private:
    CKorvelString m_strCopy;
};

class CASN1String2Message : public CASN1_Message
{
public:
    CASN1String2Message(int iId, CKorvelString& strText1, CKorvelString& strText2);
    CASN1String2Message(int iId, const CKorvelString& strText1, const CKorvelString& strText2);

private:
    CKorvelString m_aCopies[2];
};

// --- connection ----------------------------------------------------------------------------

// 2: error text; result (0 or more accepted, -1 new version, -3 redirect, other
// negatives refused); the new-version text or the redirect "host:port"; release number.
class CASN1ConnectACK : public CASN1_Message
{
public:
    CASN1ConnectACK(CKorvelString& strError, int& iResult, CKorvelString& strText, int& iRelease);
};

class CASN1KeyValue : public CASN1String2Message
{
public:
    CASN1KeyValue(CKorvelString& strKey, CKorvelString& strValue);
};

class CASN1GetKeyValue : public CASN1StringMessage
{
public:
    explicit CASN1GetKeyValue(const CKorvelString& strKey);
};

// 45: two integers and a text for the status observers.
class CASN1Notification : public CASN1_Message
{
public:
    CASN1Notification(int& iValue1, CKorvelString& strText, int& iValue2);
};

// --- account -------------------------------------------------------------------------------

class CASN1ConfirmUserName : public CASN1StringMessage
{
public:
    explicit CASN1ConfirmUserName(const CKorvelString& strUserName);
};

// The answers of 107 and 109: a result and a text.
class CASN1ConfirmAnswer : public CASN1_Message
{
protected:
    CASN1ConfirmAnswer(int iId, int& iResult, CKorvelString& strText);
};

// 108: result (0 the name is free) and the key for hashing the new password.
class CASN1ConfirmUserNameACK : public CASN1ConfirmAnswer
{
public:
    CASN1ConfirmUserNameACK(int& iResult, CKorvelString& strKey);
};

// 109: user name, e-mail, password hash, login type, token, external id.
class CASN1ConfirmEmail : public CASN1_Message
{
public:
    CASN1ConfirmEmail(const CKorvelString& strName, const CKorvelString& strEmail,
                      const CKorvelString& strHash, int& iLoginType, const CKorvelString& strToken,
                      const CKorvelString& strExternalId);

private:
    CKorvelString m_aCopies[5];
};

// 110: result and the confirmed user name.
class CASN1ConfirmEmailACK : public CASN1ConfirmAnswer
{
public:
    CASN1ConfirmEmailACK(int& iResult, CKorvelString& strUserName);
};

// 111: login type and four texts.
class CASN1ExternalLogin : public CASN1_Message
{
public:
    CASN1ExternalLogin(int& iLoginType, const CKorvelString& strText1, const CKorvelString& strText2,
                       const CKorvelString& strText3, const CKorvelString& strText4);

private:
    CKorvelString m_aCopies[4];
};

// --- match ---------------------------------------------------------------------------------

// 46: 1, game session id, player count of the lobby, game-start flag, own user id,
// application id, framework version.
class CASN1GameReady : public CASN1_Message
{
public:
    CASN1GameReady(int& iOne, long long& llSession, int& iPlayerCount, int& iStartFlag, int& iUserId,
                   int& iAppId, const CKorvelString& strVersion);

private:
    CKorvelString m_strVersion;
};

class CASN1ChatMessage : public CASN1_Message
{
public:
    CASN1ChatMessage(int& iType, CKorvelString& strText, int& iSender);
    explicit CASN1ChatMessage(sCHATMSG& chat);
};
