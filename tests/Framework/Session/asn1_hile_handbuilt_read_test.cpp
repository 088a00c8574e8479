#include "Framework/Session/CatalogueTestBytes.h"
#include "Framework/Session/asn1_hile_handbuilt.h"

#include <memory>
#include <tuple>

namespace
{
void DeletePlayers(CKorvelPtrArray& aPlayers)
{
    for (int i = 0; i < aPlayers.GetCount(); ++i)
        delete static_cast<sPLAYER*>(aPlayers.GetAt(i));
    aPlayers.Clear();
}

const char* kGameStart =
    "AC 40 80 01 01 A1 22 30 0F 80 02 03 E9 81 09 67 75 65 73 74 31 30 30 31 30 0F 80 02 03 EA "
    "81 09 67 75 65 73 74 31 30 30 32 82 01 01 83 01 01 84 0E 31 32 37 2E 30 2E 30 2E 31 3A 35 "
    "30 30 31 85 01 00";
} // namespace

TEST(CASN1, LoginACKReadsSuccessAndError)
{
    Bytes aOk =
        Hex("A6 1D 80 02 03 E9 81 05 74 31 30 30 31 82 00 83 00 84 01 00 85 09 67 75 65 73 74 31 30 30 31");
    int a = -9, b = -9;
    CKorvelString t1, t2("x"), t3("y"), t4;
    ASSERT_EQ(CASN1::DecodeLoginACK(aOk.data(), a, t1, t2, t3, b, t4, (int)aOk.size()), KE_OK);
    EXPECT_EQ(std::make_tuple(a, Utf8(t1), Utf8(t2), Utf8(t3), b, Utf8(t4)),
              std::make_tuple(1001, "t1001", "", "", 0, "guest1001"));

    Bytes aError = Hex("A6 13 80 01 FF 81 0E 57 72 6F 6E 67 20 70 61 73 73 77 6F 72 64");
    b = 5;
    ASSERT_EQ(CASN1::DecodeLoginACK(aError.data(), a, t1, t2, t3, b, t4, (int)aError.size()), KE_OK);
    // The integer starts at 0 when the message does not carry it.
    EXPECT_EQ(std::make_tuple(a, Utf8(t1), b), std::make_tuple(-1, "Wrong password", 0));
}

TEST(CASN1, LoginACKReadsAnIntegerInTheLastThreeBytes)
{
    // 197 bytes of text field, then the integer field 84 01 07 ending the 200-byte content.
    Bytes aContent = Cat({Field(0x81, TextBytes(std::string(194, 'k'))), Hex("84 01 07")});
    ASSERT_EQ(aContent.size(), 200u);
    Bytes aMsg = Message(6, aContent);
    int a = 0, b = 0;
    CKorvelString t1, t2, t3, t4;
    ASSERT_EQ(CASN1::DecodeLoginACK(aMsg.data(), a, t1, t2, t3, b, t4, (int)aMsg.size()), KE_OK);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(t1.GetLength(), 194);
}

TEST(CASN1, ReadersLeaveOtherMessagesAlone)
{
    Bytes aAlive = Hex("BF 2C 03 80 01 FF");
    int a = 3, b = 4, c = 5, d = 6;
    CKorvelString t1("one"), t2("two"), t3, t4;
    EXPECT_EQ(CASN1::DecodeLoginACK(aAlive.data(), a, t1, t2, t3, b, t4, 6), KE_ERR_BADDATA);
    EXPECT_EQ(CASN1::DecodeQueueUpdate(aAlive.data(), nullptr, a, b, c, 6), KE_ERR_BADDATA);
    EXPECT_EQ(CASN1::DecodeChallengeResponse(aAlive.data(), a, b, c, d, t1, t2, 6), KE_ERR_BADDATA);
    EXPECT_EQ(CASN1::DecodeRandomKey(aAlive.data(), t1, t2, 6), KE_ERR_BADDATA);
    EXPECT_EQ(CASN1::DecodeBuddyRequest(aAlive.data(), a, b, c, d, t1, t2, 6), KE_ERR_BADDATA);
    long long llSession = 9;
    EXPECT_EQ(CASN1::DecodeGameDisconnect(aAlive.data(), llSession, a, 6), KE_ERR_BADDATA);
    EXPECT_EQ(std::make_tuple(a, b, c, llSession, Utf8(t1), Utf8(t2)),
              std::make_tuple(3, 4, 5, 9LL, "one", "two"));
    // The id of a one-byte identifier must carry the constructed class too.
    Bytes aPrimitive = Hex("86 03 80 01 05");
    EXPECT_EQ(CASN1::DecodeLoginACK(aPrimitive.data(), a, t1, t2, t3, b, t4, 5), KE_ERR_BADDATA);
    EXPECT_EQ(a, 3);
}

TEST(CASN1, QueueUpdateDefaultsAndPlayers)
{
    Bytes aPlayers = Block(Cat({Hex("30"), Block(Hex("80 02 03 E9 81 01 41"))}));
    Bytes aOnlyPlayers = Message(8, Field(0x80, aPlayers));
    CKorvelPtrArray aList;
    int a = 0, b = 0, c = 0;
    ASSERT_EQ(CASN1::DecodeQueueUpdate(aOnlyPlayers.data(), &aList, a, b, c, (int)aOnlyPlayers.size()),
              KE_OK);
    EXPECT_EQ(std::make_tuple(a, b, c), std::make_tuple(-1, -1, -1));
    ASSERT_EQ(aList.GetCount(), 1);
    EXPECT_EQ(static_cast<sPLAYER*>(aList.GetAt(0))->m_iUserId, 1001);
    EXPECT_EQ(Utf8(static_cast<sPLAYER*>(aList.GetAt(0))->m_strName), "A");
    DeletePlayers(aList);

    Bytes aFull = Message(8, Cat({Field(0x80, aPlayers), Hex("81 01 02 82 01 40 83 01 00")}));
    ASSERT_EQ(CASN1::DecodeQueueUpdate(aFull.data(), &aList, a, b, c, (int)aFull.size()), KE_OK);
    EXPECT_EQ(std::make_tuple(a, b, c, aList.GetCount()), std::make_tuple(2, 64, 0, 1));
    DeletePlayers(aList);

    // Without an array the players are read and dropped.
    ASSERT_EQ(CASN1::DecodeQueueUpdate(aFull.data(), nullptr, a, b, c, (int)aFull.size()), KE_OK);
    EXPECT_EQ(b, 64);
}

TEST(CASN1, GameStartWithTwoPlayers)
{
    Bytes aMsg = Hex(kGameStart);
    sGAME_START_INFO info;
    ASSERT_EQ(CASN1::DecodeGameStart(aMsg.data(), &info, (int)aMsg.size()), KE_OK);
    ASSERT_EQ(info.m_aPlayers.GetCount(), 2);
    const sPLAYER* pFirst = static_cast<const sPLAYER*>(info.m_aPlayers.GetAt(0));
    const sPLAYER* pSecond = static_cast<const sPLAYER*>(info.m_aPlayers.GetAt(1));
    EXPECT_EQ(std::make_tuple(pFirst->m_iUserId, Utf8(pFirst->m_strName), pFirst->m_iFlag, pSecond->m_iUserId,
                              Utf8(pSecond->m_strName)),
              std::make_tuple(1001, "guest1001", 0, 1002, "guest1002"));
    EXPECT_EQ(std::make_tuple(info.m_llSessionId, info.m_iFlag1, info.m_iFlag2, Utf8(info.m_strServer),
                              info.m_iValue),
              std::make_tuple(1LL, 1, 1, "127.0.0.1:5001", 0));
    DeletePlayers(info.m_aPlayers);

    // The second player's copy differs only in the two flags.
    Bytes aOther = aMsg;
    aOther[aOther.size() - 23] = 0x00;
    aOther[aOther.size() - 20] = 0x00;
    sGAME_START_INFO other;
    ASSERT_EQ(CASN1::DecodeGameStart(aOther.data(), &other, (int)aOther.size()), KE_OK);
    EXPECT_EQ(std::make_tuple(other.m_iFlag1, other.m_iFlag2), std::make_tuple(0, 0));
    DeletePlayers(other.m_aPlayers);
}

TEST(CASN1, GameStartCutAnywhereFailsCleanly)
{
    Bytes aMsg = Hex(kGameStart);
    for (size_t uCut = 0; uCut < aMsg.size(); ++uCut)
    {
        // Cut both in the bytes held and in the announced content length.
        Bytes aHead(aMsg.begin(), aMsg.begin() + uCut);
        sGAME_START_INFO info;
        EXPECT_EQ(CASN1::DecodeGameStart(aHead.empty() ? nullptr : aHead.data(), &info, (int)uCut),
                  KE_ERR_BADDATA);
        DeletePlayers(info.m_aPlayers);
        if (uCut >= 2)
        {
            Bytes aShortened = Message(12, Bytes(aMsg.begin() + 2, aMsg.begin() + uCut));
            sGAME_START_INFO shortened;
            EXPECT_EQ(CASN1::DecodeGameStart(aShortened.data(), &shortened, (int)aShortened.size()),
                      KE_ERR_BADDATA);
            DeletePlayers(shortened.m_aPlayers);
        }
    }
}

TEST(CASN1, GameMessageFitsBufferMessageAndLimit)
{
    Bytes aMsg = Hex("AD 0E 80 0C 01 00 00 00 05 00 00 00 FF FF FF FF");
    unsigned char aOut[16] = {};
    int iCount = -1;
    ASSERT_EQ(CASN1::DecodeGameMessage(aMsg.data(), aOut, (int)sizeof(aOut), iCount, (int)aMsg.size()),
              KE_OK);
    EXPECT_EQ(iCount, 12);
    EXPECT_EQ(Bytes(aOut, aOut + 12), Hex("01 00 00 00 05 00 00 00 FF FF FF FF"));

    // A payload larger than the buffer, or running past the message, is refused.
    iCount = -1;
    EXPECT_EQ(CASN1::DecodeGameMessage(aMsg.data(), aOut, 11, iCount, (int)aMsg.size()), KE_ERR_BADDATA);
    Bytes aLying = Hex("AD 04 80 7F 01 02");
    EXPECT_EQ(CASN1::DecodeGameMessage(aLying.data(), aOut, 16, iCount, (int)aLying.size()), KE_ERR_BADDATA);
    EXPECT_EQ(iCount, -1);

    // The largest turn pack arrives whole; one byte more is refused whatever the buffer.
    Bytes aPayload(CASN1::MAX_GAME_MESSAGE_PAYLOAD + 1, 0x42);
    Bytes aBig = Message(13, Field(0x80, Block(Bytes(aPayload.begin(), aPayload.end() - 1))));
    ASSERT_EQ(CASN1::DecodeGameMessage(aBig.data(), aPayload.data(), (int)aPayload.size(), iCount,
                                       (int)aBig.size()),
              KE_OK);
    EXPECT_EQ(iCount, CASN1::MAX_GAME_MESSAGE_PAYLOAD);
    Bytes aTooBig = Message(13, Field(0x80, Block(aPayload)));
    Bytes aRoom(aPayload.size() + 10);
    EXPECT_EQ(CASN1::DecodeGameMessage(aTooBig.data(), aRoom.data(), (int)aRoom.size(), iCount,
                                       (int)aTooBig.size()),
              KE_ERR_BADDATA);
}

TEST(CASN1, ChallengeResponseOfSixAndSevenFields)
{
    Bytes aSix = Hex("BF 28 14 80 01 01 81 01 40 82 02 03 EA 83 02 03 E9 84 00 85 02 68 69");
    int a = 0, b = 0, c = 0, d = 0;
    CKorvelString t1("old"), t2("old");
    ASSERT_EQ(CASN1::DecodeChallengeResponse(aSix.data(), a, b, c, d, t1, t2, (int)aSix.size()), KE_OK);
    EXPECT_EQ(std::make_tuple(a, b, c, d, Utf8(t1), Utf8(t2)), std::make_tuple(1, 64, 1001, 1002, "", ""));

    Bytes aSeven = Message(40, Cat({Bytes(aSix.begin() + 3, aSix.end()), Hex("86 03 79 6F 75")}));
    ASSERT_EQ(CASN1::DecodeChallengeResponse(aSeven.data(), a, b, c, d, t1, t2, (int)aSeven.size()), KE_OK);
    EXPECT_EQ(Utf8(t2), "you");

    Bytes aFive = Message(40, Bytes(aSix.begin() + 3, aSix.end() - 4));
    EXPECT_EQ(CASN1::DecodeChallengeResponse(aFive.data(), a, b, c, d, t1, t2, (int)aFive.size()),
              KE_ERR_BADDATA);
}

TEST(CASN1, RandomKeyWithAndWithoutSecondText)
{
    Bytes aMsg = Hex("BF 3A 08 80 04 6B 33 79 39 81 00");
    CKorvelString strKey, t2("old");
    ASSERT_EQ(CASN1::DecodeRandomKey(aMsg.data(), strKey, t2, (int)aMsg.size()), KE_OK);
    EXPECT_EQ(std::make_tuple(Utf8(strKey), Utf8(t2)), std::make_tuple("k3y9", ""));

    Bytes aTwo = Hex("BF 3A 0A 80 04 6B 33 79 39 81 02 6F 6B");
    ASSERT_EQ(CASN1::DecodeRandomKey(aTwo.data(), strKey, t2, (int)aTwo.size()), KE_OK);
    EXPECT_EQ(Utf8(t2), "ok");

    // The key alone, with nothing after it.
    Bytes aKeyOnly = Hex("BF 3A 06 80 04 6B 33 79 39");
    ASSERT_EQ(CASN1::DecodeRandomKey(aKeyOnly.data(), strKey, t2, (int)aKeyOnly.size()), KE_OK);
    EXPECT_EQ(t2.GetLength(), 0);
}

TEST(CASN1, GameDisconnectAndBuddyRequest)
{
    Bytes aMsg = Hex("BF 48 07 80 01 01 81 02 03 EA");
    long long llSession = 0;
    int iPlayer = 0;
    ASSERT_EQ(CASN1::DecodeGameDisconnect(aMsg.data(), llSession, iPlayer, (int)aMsg.size()), KE_OK);
    EXPECT_EQ(std::make_tuple(llSession, iPlayer), std::make_tuple(1LL, 1002));

    // Fields arrive as b, a, c, d, t1, t2; reading stops at a tag out of turn.
    Bytes aBuddy = Hex("B6 15 80 01 02 81 01 01 82 01 03 83 01 04 84 01 78 85 01 79 86 01 7A");
    int a = 0, b = 0, c = 0, d = 0;
    CKorvelString t1, t2;
    ASSERT_EQ(CASN1::DecodeBuddyRequest(aBuddy.data(), a, b, c, d, t1, t2, (int)aBuddy.size()), KE_OK);
    EXPECT_EQ(std::make_tuple(a, b, c, d, Utf8(t1), Utf8(t2)), std::make_tuple(1, 2, 3, 4, "x", "y"));

    Bytes aOutOfTurn = Hex("B5 09 80 01 09 82 01 03 83 01 04");
    a = b = c = d = 0;
    ASSERT_EQ(CASN1::DecodeBuddyRequest(aOutOfTurn.data(), a, b, c, d, t1, t2, (int)aOutOfTurn.size()),
              KE_OK);
    EXPECT_EQ(std::make_tuple(b, c, d), std::make_tuple(9, 0, 0));
}

TEST(CASN1, PlayerImageIsCheckedBeforeItIsAllocated)
{
    Bytes aMsg = Hex("BF 55 0D 80 02 03 E9 81 01 01 82 04 89 50 4E 47");
    int iPlayer = 0, b = 0, iImageSize = 0;
    unsigned char* pImage = nullptr;
    ASSERT_EQ(CASN1::DecodePlayerImage(aMsg.data(), iPlayer, b, &pImage, iImageSize, (int)aMsg.size()),
              KE_OK);
    std::unique_ptr<unsigned char[]> owned(pImage);
    EXPECT_EQ(std::make_tuple(iPlayer, b), std::make_tuple(1001, 1));
    ASSERT_EQ(iImageSize, 4);
    EXPECT_EQ(Bytes(pImage, pImage + 4), Hex("89 50 4E 47"));

    // An image said to be 2 GB long inside a 20-byte message allocates nothing.
    Bytes aLying = Hex("BF 55 0F 80 02 03 E9 81 01 01 82 84 7F FF FF FF 89 50");
    pImage = nullptr;
    iImageSize = 77;
    EXPECT_EQ(CASN1::DecodePlayerImage(aLying.data(), iPlayer, b, &pImage, iImageSize, (int)aLying.size()),
              KE_ERR_BADDATA);
    EXPECT_EQ(std::make_tuple(pImage, iImageSize), std::make_tuple(nullptr, 77));
}

TEST(CASN1, RegistrationAnswersScanIntAndText)
{
    int iValue = 0;
    CKorvelString strText;
    Bytes aUser = Hex("A4 07 80 01 FE 81 02 6E 6F");
    ASSERT_EQ(CASN1::DecodeRegisterUserACK(aUser.data(), iValue, strText, (int)aUser.size()), KE_OK);
    EXPECT_EQ(std::make_tuple(iValue, Utf8(strText)), std::make_tuple(-2, "no"));
    Bytes aEmail = Hex("BF 53 03 80 01 05");
    ASSERT_EQ(CASN1::DecodeRegisterEmailACK(aEmail.data(), iValue, strText, (int)aEmail.size()), KE_OK);
    EXPECT_EQ(iValue, 5);
    EXPECT_EQ(CASN1::DecodeRegisterEmailACK(aUser.data(), iValue, strText, (int)aUser.size()),
              KE_ERR_BADDATA);
}

// What the client both writes and reads comes back as it went out (the fixed vectors
// above cover the field order; these cover long values and texts beyond ASCII).
TEST(CASN1, MessagesTheClientBothWritesAndReads)
{
    Bytes aBuf(64);
    int iValue = 0, a = 0, b = 0, c = 0, d = 0;
    int iAlive = CASN1::CreateAlive(aBuf.data(), 1234567, (int)aBuf.size());
    ASSERT_EQ(CASN1::DecodeAlive(aBuf.data(), iValue, iAlive), KE_OK);
    EXPECT_EQ(iValue, 1234567);

    int iLeft = CASN1::CreateGameDisconnect(aBuf.data(), 1LL << 40, 1002, (int)aBuf.size());
    long long llSession = 0;
    ASSERT_EQ(CASN1::DecodeGameDisconnect(aBuf.data(), llSession, a, iLeft), KE_OK);
    EXPECT_EQ(std::make_tuple(llSession, a), std::make_tuple(1LL << 40, 1002));

    CKorvelString strShown(L"hi \u00e9"), t1, t2;
    int iBuddy = CASN1::CreateBuddyRequest(aBuf.data(), 1001, 1002, 1, 2, strShown, (int)aBuf.size());
    ASSERT_EQ(CASN1::DecodeBuddyRequest(aBuf.data(), a, b, c, d, t1, t2, iBuddy), KE_OK);
    EXPECT_EQ(std::make_tuple(a, b, Utf8(t1)), std::make_tuple(1001, 1002, Utf8(strShown)));
}
