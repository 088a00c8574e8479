#include "Framework/Session/asn1_hile_session.h"

#include "Framework/Session/asn1_hile_ids.h"

CASN1StringMessage::CASN1StringMessage(int iId, CKorvelString& strText) : CASN1_Message(iId)
{
    DefineField(new CASN1_StringField(strText));
}

CASN1StringMessage::CASN1StringMessage(int iId, const CKorvelString& strText)
    : CASN1_Message(iId), m_strCopy(strText)
{
    DefineField(new CASN1_StringField((const CKorvelString&)m_strCopy));
}

CASN1String2Message::CASN1String2Message(int iId, CKorvelString& strText1, CKorvelString& strText2)
    : CASN1_Message(iId)
{
    DefineField(new CASN1_StringField(strText1));
    DefineField(new CASN1_StringField(strText2));
}

CASN1String2Message::CASN1String2Message(int iId, const CKorvelString& strText1,
                                         const CKorvelString& strText2)
    : CASN1_Message(iId), m_aCopies{strText1, strText2}
{
    for (const CKorvelString& strCopy : m_aCopies)
        DefineField(new CASN1_StringField(strCopy));
}

CASN1ConnectACK::CASN1ConnectACK(CKorvelString& strError, int& iResult, CKorvelString& strText, int& iRelease)
    : CASN1_Message(eMSG_CONNECT_ACK)
{
    DefineField(new CASN1_StringField(strError));
    DefineField(new CASN1_IntField(iResult));
    DefineField(new CASN1_StringField(strText));
    DefineField(new CASN1_IntField(iRelease));
}

CASN1KeyValue::CASN1KeyValue(CKorvelString& strKey, CKorvelString& strValue)
    : CASN1String2Message(eMSG_KEY_VALUE, strKey, strValue)
{
}

CASN1GetKeyValue::CASN1GetKeyValue(const CKorvelString& strKey)
    : CASN1StringMessage(eMSG_GET_KEY_VALUE, strKey)
{
}

CASN1Notification::CASN1Notification(int& iValue1, CKorvelString& strText, int& iValue2)
    : CASN1_Message(eMSG_NOTIFICATION)
{
    DefineField(new CASN1_IntField(iValue1));
    DefineField(new CASN1_StringField(strText));
    DefineField(new CASN1_IntField(iValue2));
}

CASN1ConfirmUserName::CASN1ConfirmUserName(const CKorvelString& strUserName)
    : CASN1StringMessage(eMSG_CONFIRM_USER_NAME, strUserName)
{
}

CASN1ConfirmAnswer::CASN1ConfirmAnswer(int iId, int& iResult, CKorvelString& strText) : CASN1_Message(iId)
{
    DefineField(new CASN1_IntField(iResult));
    DefineField(new CASN1_StringField(strText));
}

CASN1ConfirmUserNameACK::CASN1ConfirmUserNameACK(int& iResult, CKorvelString& strKey)
    : CASN1ConfirmAnswer(eMSG_CONFIRM_USER_NAME_ACK, iResult, strKey)
{
}

CASN1ConfirmEmail::CASN1ConfirmEmail(const CKorvelString& strName, const CKorvelString& strEmail,
                                     const CKorvelString& strHash, int& iLoginType,
                                     const CKorvelString& strToken, const CKorvelString& strExternalId)
    : CASN1_Message(eMSG_CONFIRM_EMAIL), m_aCopies{strName, strEmail, strHash, strToken, strExternalId}
{
    const CKorvelString* aTexts = m_aCopies;
    DefineField(new CASN1_StringField(aTexts[0]));
    DefineField(new CASN1_StringField(aTexts[1]));
    DefineField(new CASN1_StringField(aTexts[2]));
    DefineField(new CASN1_IntField(iLoginType));
    DefineField(new CASN1_StringField(aTexts[3]));
    DefineField(new CASN1_StringField(aTexts[4]));
}

CASN1ConfirmEmailACK::CASN1ConfirmEmailACK(int& iResult, CKorvelString& strUserName)
    : CASN1ConfirmAnswer(eMSG_CONFIRM_EMAIL_ACK, iResult, strUserName)
{
}

CASN1ExternalLogin::CASN1ExternalLogin(int& iLoginType, const CKorvelString& strText1,
                                       const CKorvelString& strText2, const CKorvelString& strText3,
                                       const CKorvelString& strText4)
    : CASN1_Message(eMSG_EXTERNAL_LOGIN), m_aCopies{strText1, strText2, strText3, strText4}
{
    DefineField(new CASN1_IntField(iLoginType));
    for (const CKorvelString& strCopy : m_aCopies)
        DefineField(new CASN1_StringField(strCopy));
}

CASN1GameReady::CASN1GameReady(int& iOne, long long& llSession, int& iPlayerCount, int& iStartFlag,
                               int& iUserId, int& iAppId, const CKorvelString& strVersion)
    : CASN1_Message(eMSG_GAME_READY), m_strVersion(strVersion)
{
    DefineField(new CASN1_IntField(iOne));
    DefineField(new CASN1_LongIntField(llSession));
    DefineField(new CASN1_IntField(iPlayerCount));
    DefineField(new CASN1_IntField(iStartFlag));
    DefineField(new CASN1_IntField(iUserId));
    DefineField(new CASN1_IntField(iAppId));
    DefineField(new CASN1_StringField((const CKorvelString&)m_strVersion));
}

CASN1ChatMessage::CASN1ChatMessage(int& iType, CKorvelString& strText, int& iSender)
    : CASN1_Message(eMSG_CHAT_MESSAGE)
{
    DefineField(new CASN1_IntField(iType));
    DefineField(new CASN1_StringField(strText));
    DefineField(new CASN1_IntField(iSender));
}

CASN1ChatMessage::CASN1ChatMessage(sCHATMSG& chat)
    : CASN1ChatMessage(chat.m_iType, chat.m_strText, chat.m_iSender)
{
}
