// Writers of the hand-built messages. Each is measured before it is written, so no
// scratch area is needed and nothing is written past the caller's buffer.
#include "Framework/Session/asn1_hile_handbuilt.h"
#include "Framework/Session/asn1_hile_handbuilt_wire.h"
#include "Framework/Session/asn1_hile_ids.h"

using HandBuilt::CContentWriter;
using HandBuilt::WriteMessage;

int CASN1::CreateConnection(unsigned char* pBuf, int a0, int a1, int a2, const CKorvelString& t3,
                            const CKorvelString& t4, int a5, int a6, const CKorvelString& t7,
                            const CKorvelString& t8, int a9, const CKorvelString& t10,
                            const CKorvelString& t11, const CKorvelString& t12, int a13,
                            const CKorvelString& t14, int a15, int a16, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_CONNECTION,
                        [&](CContentWriter& w)
                        {
                            w.Int(0, a0);
                            w.Int(1, a1);
                            w.Int(2, a2);
                            w.Text(3, t3);
                            w.Text(4, t4);
                            w.Int(5, a5);
                            w.Int(6, a6);
                            w.Text(7, t7);
                            w.Text(8, t8);
                            w.Int(9, a9);
                            w.Text(10, t10);
                            w.Text(11, t11);
                            w.Text(12, t12);
                            w.Int(13, a13);
                            w.Text(14, t14);
                            w.Int(15, a15);
                            if (a16 > 0)
                                w.Int(16, a16);
                        });
}

int CASN1::CreateRegisterUser(unsigned char* pBuf, const CKorvelString& a, const CKorvelString& b,
                              const CKorvelString& c, const CKorvelString& d, const CKorvelString& e, int f,
                              int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_REGISTER_USER,
                        [&](CContentWriter& w)
                        {
                            w.Text(0, a);
                            w.Text(1, c);
                            w.Text(2, b);
                            w.Text(3, d);
                            w.Text(4, e);
                            w.Int(5, f);
                        });
}

int CASN1::CreateLogin(unsigned char* pBuf, const CKorvelString& strUser, const CKorvelString& strHash,
                       int iValue, const CKorvelString& strText, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_LOGIN,
                        [&](CContentWriter& w)
                        {
                            w.Text(0, strUser);
                            w.Text(1, strHash);
                            w.Int(2, iValue);
                            w.Text(3, strText);
                        });
}

int CASN1::CreateQueueRegisterIn(unsigned char* pBuf, int iAppId, int a, int b, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_QUEUE_REGISTER_IN,
                        [&](CContentWriter& w)
                        {
                            w.Int(0, iAppId);
                            w.Int(1, a);
                            w.Int(2, b);
                        });
}

int CASN1::CreateQueueUnregisterFrom(unsigned char* pBuf, int iAppId, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_QUEUE_UNREGISTER_FROM,
                        [&](CContentWriter& w) { w.Int(0, iAppId); });
}

namespace
{
int WriteRawBytes(unsigned char* pBuf, int iSize, int iId, const unsigned char* pData, int iCount)
{
    if (iCount < 0 || (iCount > 0 && pData == nullptr))
        return 0;
    return WriteMessage(pBuf, iSize, iId, [&](CContentWriter& w) { w.Bytes(0, pData, iCount); });
}
} // namespace

int CASN1::CreateGameMessage(unsigned char* pBuf, const unsigned char* pData, int iCount, int iSize)
{
    if (iCount > MAX_GAME_MESSAGE_PAYLOAD)
        return 0;
    return WriteRawBytes(pBuf, iSize, eMSG_GAME_MESSAGE, pData, iCount);
}

int CASN1::CreateChatMessage(unsigned char* pBuf, const unsigned char* pData, int iCount, int iSize)
{
    return WriteRawBytes(pBuf, iSize, eMSG_CHAT_MESSAGE_RAW, pData, iCount);
}

int CASN1::CreateGameEnd(unsigned char* pBuf, long long llSession, int iAppId, int iValue,
                         CKorvelPtrArray* pPlayers, const CKorvelArray<int>& aResults, unsigned int uLeaving,
                         int iSize)
{
    CKorvelArray<int> aIds;
    int iPlayers = pPlayers != nullptr ? pPlayers->GetCount() : 0;
    if (iPlayers > 0 && !aIds.SetSize(iPlayers))
        return 0;
    for (int i = 0; i < iPlayers; ++i)
    {
        const sPLAYER* pPlayer = static_cast<const sPLAYER*>(pPlayers->GetAt(i));
        aIds[i] = pPlayer != nullptr ? pPlayer->m_iUserId : 0;
    }
    return WriteMessage(pBuf, iSize, eMSG_GAME_END,
                        [&](CContentWriter& w)
                        {
                            w.Long(0, llSession);
                            w.Int(1, iAppId);
                            w.Int(2, iValue);
                            w.IntList(3, aIds);
                            w.IntList(4, aResults);
                            w.Int(5, uLeaving != 0 ? 1 : 0);
                        });
}

int CASN1::CreateListPlayers(unsigned char* pBuf, int iKind, int iFirst, int iCount,
                             const CKorvelString& strFilter, int a, int b, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_LIST_PLAYERS,
                        [&](CContentWriter& w)
                        {
                            w.Int(0, iKind);
                            w.Int(1, iFirst);
                            w.Int(2, iCount);
                            w.Text(3, strFilter);
                            w.Int(4, a);
                            w.Int(5, b);
                        });
}

namespace
{
// The request and its acknowledgement share one layout, with the first two swapped.
int WriteBuddy(unsigned char* pBuf, int iSize, int iId, int a, int b, int c, int d,
               const CKorvelString& strText)
{
    return WriteMessage(pBuf, iSize, iId,
                        [&](CContentWriter& w)
                        {
                            w.Int(0, b);
                            w.Int(1, a);
                            w.Int(2, c);
                            w.Int(3, d);
                            w.Text(4, strText);
                        });
}
} // namespace

int CASN1::CreateBuddyRequest(unsigned char* pBuf, int a, int b, int c, int d, const CKorvelString& strText,
                              int iSize)
{
    return WriteBuddy(pBuf, iSize, eMSG_BUDDY_REQUEST, a, b, c, d, strText);
}

int CASN1::CreateBuddyRequestACK(unsigned char* pBuf, int a, int b, int c, int d,
                                 const CKorvelString& strText, int iSize)
{
    return WriteBuddy(pBuf, iSize, eMSG_BUDDY_REQUEST_ACK, a, b, c, d, strText);
}

int CASN1::CreateBindAccount(unsigned char* pBuf, int a, const CKorvelString& t1, const CKorvelString& t2,
                             const CKorvelString& t3, const CKorvelString& t4, int b, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_BIND_ACCOUNT,
                        [&](CContentWriter& w)
                        {
                            w.Int(0, a);
                            w.Text(1, t1);
                            w.Text(2, t2);
                            w.Text(3, t3);
                            w.Text(4, t4);
                            w.Int(5, b);
                        });
}

int CASN1::CreateMakeChallenge(unsigned char* pBuf, int iAppId, const CKorvelArray<int>& aIds,
                               const CKorvelString& strText, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_MAKE_CHALLENGE,
                        [&](CContentWriter& w)
                        {
                            w.Int(0, iAppId);
                            w.IntList(1, aIds);
                            w.Text(2, strText);
                        });
}

int CASN1::CreateChallengeResponse(unsigned char* pBuf, int a, int b, int c, int d, const CKorvelString& t1,
                                   const CKorvelString& t2, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_CHALLENGE_RESPONSE,
                        [&](CContentWriter& w)
                        {
                            w.Int(0, a);
                            w.Int(1, b);
                            w.Int(2, d);
                            w.Int(3, c);
                            w.Text(4, t1);
                            w.Text(5, t2);
                        });
}

int CASN1::CreateAlive(unsigned char* pBuf, int iValue, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_ALIVE, [&](CContentWriter& w) { w.Int(0, iValue); });
}

int CASN1::CreateChallengeReply(unsigned char* pBuf, int a, int b, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_CHALLENGE_REPLY,
                        [&](CContentWriter& w)
                        {
                            w.Int(0, a);
                            w.Int(1, b);
                        });
}

int CASN1::CreateGetRandomKey(unsigned char* pBuf, const CKorvelString& strUser, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_GET_RANDOM_KEY, [&](CContentWriter& w) { w.Text(0, strUser); });
}

int CASN1::CreateGameDisconnect(unsigned char* pBuf, long long llSession, int iValue, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_GAME_DISCONNECT,
                        [&](CContentWriter& w)
                        {
                            w.Long(0, llSession);
                            w.Int(1, iValue);
                        });
}

int CASN1::CreateGetLatestGameSessions(unsigned char* pBuf, int iAppId, int a, int b, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_GET_LATEST_GAME_SESSIONS,
                        [&](CContentWriter& w)
                        {
                            w.Int(0, iAppId);
                            w.Int(1, a);
                            if (b >= 0)
                                w.Int(2, b);
                        });
}

int CASN1::CreateFbLogin(unsigned char* pBuf, const CKorvelString& t0, const int& iId,
                         const CKorvelString& t2, const CKorvelString& t3, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_FB_LOGIN,
                        [&](CContentWriter& w)
                        {
                            w.Text(0, t0);
                            w.Long(1, iId);
                            w.Text(2, t2);
                            w.Text(3, t3);
                        });
}

int CASN1::CreateRegisterEmail(unsigned char* pBuf, const CKorvelString& t0, const CKorvelString& t1,
                               int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_REGISTER_EMAIL,
                        [&](CContentWriter& w)
                        {
                            w.Text(0, t0);
                            w.Text(1, t1);
                        });
}

int CASN1::CreateGetPlayerImage(unsigned char* pBuf, int a, int b, int iSize)
{
    return WriteMessage(pBuf, iSize, eMSG_GET_PLAYER_IMAGE,
                        [&](CContentWriter& w)
                        {
                            w.Int(0, a);
                            w.Int(1, b);
                        });
}
