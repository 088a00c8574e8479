#include "Framework/Session/CatalogueTestBytes.h"
#include "Framework/Session/asn1_hile_handbuilt.h"

#include <functional>
#include <string>

namespace
{
const CKorvelString kEmpty;

// Lets a writer with extra arguments be called as write(buffer, size).
#define WRITER(call) [&](unsigned char* pBuf, int iSize) { return CASN1::call; }
} // namespace

// Each writer measured, refused one byte short and written into exactly its size.
TEST(CASN1, HandBuiltWritersFixedBytes)
{
    const CKorvelString a("a"), b("b"), c("c"), d("d"), e("e"), x("x");
    sPLAYER first, second;
    first.m_iUserId = 1001;
    second.m_iUserId = 1002;
    CKorvelPtrArray aPlayers;
    aPlayers.Add(&first);
    aPlayers.Add(&second);
    CKorvelArray<int> aResults, aNone, aIds;
    aResults.Add(1);
    aResults.Add(2);
    aIds.Add(1002);
    int iId = 200;
    Bytes aRaw = Hex("01 02");
    const struct
    {
        const char* pName;
        std::function<int(unsigned char*, int)> write;
        const char* pHex;
    } aCases[] = {
        {"Alive", WRITER(CreateAlive(pBuf, -1, iSize)), "BF 2C 03 80 01 FF"},
        {"GetRandomKey", WRITER(CreateGetRandomKey(pBuf, CKorvelString("bob"), iSize)),
         "BF 39 05 80 03 62 6F 62"},
        {"GetRandomKey 5", WRITER(CreateGetRandomKey(pBuf, CKorvelString("alice"), iSize)),
         "BF 39 07 80 05 61 6C 69 63 65"},
        {"Login as guest",
         WRITER(CreateLogin(pBuf, CKorvelString("guest"), CKorvelString("0"), 1, kEmpty, iSize)),
         "A5 0F 80 05 67 75 65 73 74 81 01 30 82 01 01 83 00"},
        {"QueueRegisterIn", WRITER(CreateQueueRegisterIn(pBuf, 64, 0, 2, iSize)),
         "A7 09 80 01 40 81 01 00 82 01 02"},
        {"QueueRegisterIn 1", WRITER(CreateQueueRegisterIn(pBuf, 64, 1, 2, iSize)),
         "A7 09 80 01 40 81 01 01 82 01 02"},
        {"QueueUnregisterFrom", WRITER(CreateQueueUnregisterFrom(pBuf, 64, iSize)), "A9 03 80 01 40"},
        {"ListPlayers header", WRITER(CreateListPlayers(pBuf, 32, -1, 0, kEmpty, 0, 0, iSize)),
         "B3 11 80 01 20 81 01 FF 82 01 00 83 00 84 01 00 85 01 00"},
        // A negative third value is left out.
        {"GetLatestGameSessions", WRITER(CreateGetLatestGameSessions(pBuf, 9, 6, -1, iSize)),
         "BF 4A 06 80 01 09 81 01 06"},
        {"GetLatestGameSessions 0", WRITER(CreateGetLatestGameSessions(pBuf, 9, 6, 0, iSize)),
         "BF 4A 09 80 01 09 81 01 06 82 01 00"},
        {"GameEnd", WRITER(CreateGameEnd(pBuf, 1, 64, 0, &aPlayers, aResults, 0, iSize)),
         "AF 1E 80 01 01 81 01 40 82 01 00 A3 08 02 02 03 E9 02 02 03 EA A4 06 02 01 01 02 01 02 85 01 00"},
        // Any non-zero leaving flag is sent as 1; no players give an empty list.
        {"GameEnd left", WRITER(CreateGameEnd(pBuf, 1, 64, 0, nullptr, aNone, 7, iSize)),
         "AF 10 80 01 01 81 01 40 82 01 00 A3 00 A4 00 85 01 01"},
        {"MakeChallenge", WRITER(CreateMakeChallenge(pBuf, 64, aIds, kEmpty, iSize)),
         "BF 26 0B 80 01 40 A1 04 02 02 03 EA 82 00"},
        // a, b, c, d go out as a, b, d, c.
        {"ChallengeResponse",
         WRITER(CreateChallengeResponse(pBuf, 1, 64, 1001, 1002, kEmpty, CKorvelString("hi"), iSize)),
         "BF 28 14 80 01 01 81 01 40 82 02 03 EA 83 02 03 E9 84 00 85 02 68 69"},
        // a, b go out as b, a; the acknowledgement differs only in its id.
        {"BuddyRequest", WRITER(CreateBuddyRequest(pBuf, 1, 2, 3, 4, x, iSize)),
         "B5 0F 80 01 02 81 01 01 82 01 03 83 01 04 84 01 78"},
        {"BuddyRequestACK", WRITER(CreateBuddyRequestACK(pBuf, 1, 2, 3, 4, x, iSize)),
         "B6 0F 80 01 02 81 01 01 82 01 03 83 01 04 84 01 78"},
        {"ChallengeReply", WRITER(CreateChallengeReply(pBuf, 5, -2, iSize)), "BF 38 06 80 01 05 81 01 FE"},
        // The second and third texts are sent swapped.
        {"RegisterUser", WRITER(CreateRegisterUser(pBuf, a, b, c, d, e, 7, iSize)),
         "A3 12 80 01 61 81 01 63 82 01 62 83 01 64 84 01 65 85 01 07"},
        {"RegisterEmail", WRITER(CreateRegisterEmail(pBuf, a, b, iSize)), "BF 52 06 80 01 61 81 01 62"},
        // The integer goes out in the long form.
        {"FbLogin", WRITER(CreateFbLogin(pBuf, a, iId, b, c, iSize)),
         "BF 51 0D 80 01 61 81 02 00 C8 82 01 62 83 01 63"},
        {"GetPlayerImage", WRITER(CreateGetPlayerImage(pBuf, 1001, 1, iSize)),
         "BF 54 07 80 02 03 E9 81 01 01"},
        {"GameDisconnect", WRITER(CreateGameDisconnect(pBuf, 1, 1002, iSize)),
         "BF 48 07 80 01 01 81 02 03 EA"},
        {"ChatMessage", WRITER(CreateChatMessage(pBuf, aRaw.data(), 2, iSize)), "BF 45 04 80 02 01 02"},
    };
    for (const auto& w : aCases)
        EXPECT_EQ(WriteExact(w.write), Hex(w.pHex)) << w.pName;
}

TEST(CASN1, ConnectionWithLongContent)
{
    CKorvelString strId("standalone-id:64;full-version:1;standalone-version:1.62;opengl:1;user-agent:UA;"
                        "frame-version:2.05;lang_code:en");
    Bytes aOut = WriteExact(WRITER(
        CreateConnection(pBuf, 1, 1280, 768, CKorvelString("M1"), CKorvelString("1.0"), 1, 1,
                         CKorvelString("0.0.0.0"), CKorvelString("0.0.0.0"), 25, strId, CKorvelString("bb"),
                         CKorvelString("D1"), 1, CKorvelString("OS"), 0, 13, iSize)));
    EXPECT_EQ(
        aOut,
        Hex("A0 81 B4 80 01 01 81 02 05 00 82 02 03 00 83 02 4D 31 84 03 31 2E 30 85 01 01 86 01 01 87 07 30 "
            "2E 30 2E 30 2E 30 88 07 30 2E 30 2E 30 2E 30 89 01 19 8A 6E 73 74 61 6E 64 61 6C 6F 6E 65 2D 69 "
            "64 3A 36 34 3B 66 75 6C 6C 2D 76 65 72 73 69 6F 6E 3A 31 3B 73 74 61 6E 64 61 6C 6F 6E 65 2D 76 "
            "65 72 73 69 6F 6E 3A 31 2E 36 32 3B 6F 70 65 6E 67 6C 3A 31 3B 75 73 65 72 2D 61 67 65 6E 74 3A "
            "55 41 3B 66 72 61 6D 65 2D 76 65 72 73 69 6F 6E 3A 32 2E 30 35 3B 6C 61 6E 67 5F 63 6F 64 65 3A "
            "65 6E 8B 02 62 62 8C 02 44 31 8D 01 01 8E 02 4F 53 8F 01 00 90 01 0D"));

    // Without a positive last argument field 16 is left out.
    Bytes aShorter = WriteExact(WRITER(
        CreateConnection(pBuf, 1, 1280, 768, CKorvelString("M1"), CKorvelString("1.0"), 1, 1,
                         CKorvelString("0.0.0.0"), CKorvelString("0.0.0.0"), 25, strId, CKorvelString("bb"),
                         CKorvelString("D1"), 1, CKorvelString("OS"), 0, 0, iSize)));
    ASSERT_EQ(aShorter.size(), aOut.size() - 3);
    EXPECT_EQ(aShorter[2], 0xB1);
    EXPECT_EQ(Bytes(aShorter.begin() + 3, aShorter.end()), Bytes(aOut.begin() + 3, aOut.end() - 3));
}

TEST(CASN1, ListPlayersWithLongFilter)
{
    // A filter long enough for a content of 128 bytes or more takes the long length form.
    CKorvelString strFilter(std::string(120, 'x').c_str());
    Bytes aOut = WriteExact(WRITER(CreateListPlayers(pBuf, 0, 0, 20, strFilter, 0, 0, iSize)));
    ASSERT_GE(aOut.size(), 3u);
    EXPECT_EQ(aOut[0], 0xB3);
    EXPECT_EQ(aOut[1], 0x81);
    EXPECT_EQ(aOut[2], aOut.size() - 3);
    EXPECT_GE(aOut[2], 128);
}

TEST(CASN1, GameMessageCarriesPayloadUpToTheLimit)
{
    Bytes aEvent = Hex("19 00 00 00 05 00 00 00 FF FF FF FF 01 00 00 00");
    EXPECT_EQ(WriteExact(WRITER(CreateGameMessage(pBuf, aEvent.data(), (int)aEvent.size(), iSize))),
              Hex("AD 12 80 10 19 00 00 00 05 00 00 00 FF FF FF FF 01 00 00 00"));

    Bytes aPayload(300, 0x5A);
    Bytes aOut = WriteExact(WRITER(CreateGameMessage(pBuf, aPayload.data(), 300, iSize)));
    ASSERT_EQ(aOut.size(), 308u);
    EXPECT_EQ(Bytes(aOut.begin(), aOut.begin() + 8), Hex("AD 82 01 30 80 82 01 2C"));

    // The largest turn pack goes out (its length needs three length bytes); one byte
    // more is refused.
    Bytes aLargest(CASN1::MAX_GAME_MESSAGE_PAYLOAD + 1, 0x11);
    int iSize = CASN1::CreateGameMessage(nullptr, aLargest.data(), CASN1::MAX_GAME_MESSAGE_PAYLOAD, 0);
    EXPECT_EQ(iSize, 1 + 4 + 1 + 4 + CASN1::MAX_GAME_MESSAGE_PAYLOAD);
    Bytes aBig(iSize);
    EXPECT_EQ(CASN1::CreateGameMessage(aBig.data(), aLargest.data(), CASN1::MAX_GAME_MESSAGE_PAYLOAD, iSize),
              iSize);
    EXPECT_EQ(CASN1::CreateGameMessage(nullptr, aLargest.data(), CASN1::MAX_GAME_MESSAGE_PAYLOAD + 1, 0), 0);
    EXPECT_EQ(CASN1::CreateGameMessage(nullptr, nullptr, 4, 0), 0);
    EXPECT_EQ(CASN1::CreateGameMessage(nullptr, aEvent.data(), -1, 0), 0);
}

TEST(CASN1, LongUserTextsAreMeasuredNotCut)
{
    // Texts far beyond any fixed scratch area, with units of every UTF-8 length.
    std::u32string strLong;
    for (int i = 0; i < 400; ++i)
        strLong += i % 3 == 0 ? U'a' : (i % 3 == 1 ? U'\u00e9' : U'\u20ac');
    CKorvelString strText;
    strText.Set(std::wstring(strLong.begin(), strLong.end()).c_str());
    ASSERT_EQ(strText.GetLength(), 400);
    Bytes aOut = WriteExact(WRITER(CreateBindAccount(pBuf, 1, strText, strText, strText, strText, 2, iSize)));
    // 400 units: 134 of one byte, 133 of two and 133 of three = 799 bytes per text.
    EXPECT_EQ(aOut.size(), 2u + 3u + 3u + 4 * (1u + 3u + 799u) + 3u);

    CKorvelArray<int> aIds;
    for (int i = 0; i < 1000; ++i)
        aIds.Add(100000 + i);
    aOut = WriteExact(WRITER(CreateMakeChallenge(pBuf, 64, aIds, strText, iSize)));
    EXPECT_EQ(aOut[0], 0xBF);
    aOut = WriteExact(WRITER(CreateChallengeResponse(pBuf, 1, 64, 2, 3, strText, strText, iSize)));
    EXPECT_EQ(aOut[1], 0x28);
}
