#include "Framework/Session/asn1_hile_session.h"

#include "Framework/Session/CatalogueTestBytes.h"

#include "Framework/Session/asn1_hile_ids.h"
#include <tuple>

TEST(CASN1ConnectACK, AcceptRefuseRedirect)
{
    CKorvelString strError, strText;
    int iResult = 99, iRelease = 0;
    CASN1ConnectACK accept(strError, iResult, strText, iRelease);
    EXPECT_GT(DecodeExact(accept, Hex("A2 0A 80 00 81 01 00 82 00 83 01 01")), 0u);
    EXPECT_EQ(std::make_tuple(iResult, iRelease), std::make_tuple(0, 1));

    Bytes aRefuse = Message(2, Cat({Field(0x80, TextBytes("Server full")), Hex("81 01 FE 82 00 83 01 01")}));
    EXPECT_GT(DecodeExact(accept, aRefuse), 0u);
    EXPECT_EQ(std::make_tuple(Utf8(strError), iResult), std::make_tuple("Server full", -2));

    EXPECT_GT(
        DecodeExact(accept,
                    Hex("A2 18 80 00 81 01 FD 82 0E 31 32 37 2E 30 2E 30 2E 31 3A 35 30 30 32 83 01 01")),
        0u);
    EXPECT_EQ(std::make_tuple(iResult, Utf8(strText)), std::make_tuple(-3, "127.0.0.1:5002"));

    // A missing release keeps the handler's value.
    iRelease = -7;
    EXPECT_GT(DecodeExact(accept, Hex("A2 07 80 00 81 01 00 82 00")), 0u);
    EXPECT_EQ(std::make_tuple(iResult, iRelease), std::make_tuple(0, -7));
    // A field index beyond the message's fields, or another message, fails.
    EXPECT_EQ(DecodeExact(accept, Hex("A2 03 84 01 01")), 0u);
    EXPECT_EQ(DecodeExact(accept, Hex("A3 03 81 01 01")), 0u);
}

TEST(CASN1KeyValue, GuestLoginKey)
{
    CKorvelString strKey, strValue;
    CASN1KeyValue message(strKey, strValue);
    EXPECT_GT(DecodeExact(message, Hex("B1 0F 80 0A 67 75 65 73 74 4C 6F 67 69 6E 81 01 31")), 0u);
    EXPECT_EQ(std::make_tuple(Utf8(strKey), Utf8(strValue)), std::make_tuple("guestLogin", "1"));
}

TEST(CASN1String2Message, ImageAndLinkRequest)
{
    CKorvelString strId("moregames"), strEmpty;
    CASN1String2Message request(eMSG_GET_IMAGE_AND_LINK, strId, strEmpty);
    Bytes aBytes = EncodeExact(request);
    EXPECT_EQ(aBytes, Hex("BF 33 0D 80 09 6D 6F 72 65 67 61 6D 65 73 81 00"));
    CKorvelString strA, strB("x");
    CASN1String2Message reader(eMSG_GET_IMAGE_AND_LINK, strA, strB);
    EXPECT_EQ(DecodeExact(reader, aBytes), (unsigned int)aBytes.size());
    EXPECT_EQ(std::make_tuple(Utf8(strA), Utf8(strB)), std::make_tuple("moregames", ""));
}

TEST(CASN1StringMessage, WriteOnlyTextsCannotBeDecodedInto)
{
    const CKorvelString strName("anna");
    CASN1ConfirmUserName request(strName);
    Bytes aBytes = EncodeExact(request);
    EXPECT_EQ(aBytes, Hex("BF 6B 06 80 04 61 6E 6E 61"));
    EXPECT_EQ(DecodeExact(request, aBytes), 0u);
    EXPECT_EQ(Utf8(strName), "anna");
}

TEST(CASN1ConfirmUserNameACK, ResultAndKey)
{
    int iResult = -1;
    CKorvelString strKey;
    CASN1ConfirmUserNameACK answer(iResult, strKey);
    EXPECT_GT(DecodeExact(answer, Hex("BF 6C 07 80 01 00 81 02 6B 31")), 0u);
    EXPECT_EQ(std::make_tuple(iResult, Utf8(strKey)), std::make_tuple(0, "k1"));

    CKorvelString strUser;
    CASN1ConfirmEmailACK email(iResult, strUser);
    EXPECT_GT(DecodeExact(email, Hex("BF 6E 08 80 01 FF 81 03 61 6E 6E")), 0u);
    EXPECT_EQ(std::make_tuple(iResult, Utf8(strUser)), std::make_tuple(-1, "ann"));
    // The two answers do not take each other's ids.
    EXPECT_EQ(DecodeExact(answer, Hex("BF 6E 08 80 01 FF 81 03 61 6E 6E")), 0u);
}

TEST(CASN1Notification, IntegersAndText)
{
    int iValue1 = 0, iValue2 = 0;
    CKorvelString strText;
    CASN1Notification message(iValue1, strText, iValue2);
    EXPECT_GT(DecodeExact(message,
                          Message(45, Cat({Hex("80 01 03"), Field(0x81, TextBytes("hi")), Hex("82 01 02")}))),
              0u);
    EXPECT_EQ(std::make_tuple(iValue1, Utf8(strText), iValue2), std::make_tuple(3, "hi", 2));
}

TEST(CASN1ChatMessage, RoundTrip)
{
    sCHATMSG chat;
    chat.m_iType = 0;
    chat.m_iSender = 1001;
    CASN1ChatMessage message(chat);
    EXPECT_EQ(EncodeExact(message), Hex("BF 40 09 80 01 00 81 00 82 02 03 E9"));

    chat.m_iType = 2;
    chat.m_strText.Set(L"gg \u20ac");
    CASN1ChatMessage line(chat);
    Bytes aBytes = EncodeExact(line);
    sCHATMSG received;
    CASN1ChatMessage reader(received);
    EXPECT_EQ(DecodeExact(reader, aBytes), (unsigned int)aBytes.size());
    EXPECT_EQ(std::make_tuple(received.m_iType, Utf8(received.m_strText), received.m_iSender),
              std::make_tuple(2, Utf8(chat.m_strText), 1001));
}

// Requests the client only writes, fields in call order.
TEST(CASN1_Message, SessionRequestsFixedBytes)
{
    int iType = 2, iOne = 1, iPlayers = 2, iUser = 1001, iApp = 64;
    long long llSession = 1;
    CASN1GetKeyValue key(CKorvelString("guestLogin"));
    CASN1ConfirmEmail email(CKorvelString("n"), CKorvelString("e"), CKorvelString("h"), iType,
                            CKorvelString("t"), CKorvelString("x"));
    CASN1ExternalLogin login(iType, CKorvelString("id"), CKorvelString("tok"), CKorvelString(""),
                             CKorvelString("m"));
    CASN1GameReady ready(iOne, llSession, iPlayers, iOne, iUser, iApp, CKorvelString("2.05"));
    const std::pair<CASN1_Message*, const char*> aCases[] = {
        {&key, "B9 0C 80 0A 67 75 65 73 74 4C 6F 67 69 6E"},
        {&email, "BF 6D 12 80 01 6E 81 01 65 82 01 68 83 01 02 84 01 74 85 01 78"},
        {&login, "BF 6F 11 80 01 02 81 02 69 64 82 03 74 6F 6B 83 00 84 01 6D"},
        {&ready, "BF 2E 19 80 01 01 81 01 01 82 01 02 83 01 01 84 02 03 E9 85 01 40 86 04 32 2E 30 35"},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(EncodeExact(*c.first), Hex(c.second)) << c.second;
}
