// Readers of the hand-built messages. Scanning readers (LoginACK, QueueUpdate, the
// registration answers) take any byte whose low five bits name a field as that field's
// tag; positional readers pass over one tag byte per field and trust the order. Every
// read stays inside the message's own content.
#include "Framework/Session/asn1_hile_handbuilt.h"
#include "Framework/Session/asn1_hile_handbuilt_wire.h"
#include "Framework/Session/asn1_hile_ids.h"

#include <cstring>
#include <new>

using HandBuilt::CReader;
using HandBuilt::ScanFields;

namespace
{
KE_RETVAL Result(bool bRead)
{
    return bRead ? KE_OK : KE_ERR_BADDATA;
}

// A player list at the reader; with no array to take them the players are dropped.
bool ReadPlayers(CReader& reader, CKorvelPtrArray* pPlayers)
{
    CKorvelPtrArray aDropped;
    CKorvelPtrArray* pInto = pPlayers != nullptr ? pPlayers : &aDropped;
    int iFirst = pInto->GetCount();
    int iConsumed = 0;
    KE_RETVAL eResult = CASN1::DecodePlayersList(reader.Here(), pInto, iConsumed, reader.Left());
    if (pInto == &aDropped)
    {
        for (int i = iFirst; i < aDropped.GetCount(); ++i)
            delete static_cast<sPLAYER*>(aDropped.GetAt(i));
    }
    return eResult == KE_OK && reader.Skip(iConsumed);
}

KE_RETVAL DecodeIntAndText(const unsigned char* pBuf, int iId, int& iValue, CKorvelString& strText, int iSize)
{
    CReader reader(pBuf, iSize);
    if (!reader.OpenMessage(iId))
        return KE_ERR_BADDATA;
    return Result(ScanFields(
        reader, 2, [&](int iIndex) { return iIndex == 0 ? reader.Int(iValue) : reader.Text(strText); }));
}
} // namespace

KE_RETVAL CASN1::DecodeLoginACK(const unsigned char* pBuf, int& a, CKorvelString& t1, CKorvelString& t2,
                                CKorvelString& t3, int& b, CKorvelString& t4, int iSize)
{
    CReader reader(pBuf, iSize);
    if (!reader.OpenMessage(eMSG_LOGIN_ACK))
        return KE_ERR_BADDATA;
    b = 0;
    return Result(ScanFields(reader, 6,
                             [&](int iIndex)
                             {
                                 switch (iIndex)
                                 {
                                 case 0:
                                     return reader.Int(a);
                                 case 1:
                                     return reader.Text(t1);
                                 case 2:
                                     return reader.Text(t2);
                                 case 3:
                                     return reader.Text(t3);
                                 case 4:
                                     return reader.Int(b);
                                 default:
                                     return reader.Text(t4);
                                 }
                             }));
}

KE_RETVAL CASN1::DecodeQueueUpdate(const unsigned char* pBuf, CKorvelPtrArray* pPlayers, int& a, int& b,
                                   int& c, int iSize)
{
    CReader reader(pBuf, iSize);
    if (!reader.OpenMessage(eMSG_QUEUE_UPDATE))
        return KE_ERR_BADDATA;
    a = b = c = -1;
    return Result(ScanFields(reader, 4,
                             [&](int iIndex)
                             {
                                 switch (iIndex)
                                 {
                                 case 0:
                                     return ReadPlayers(reader, pPlayers);
                                 case 1:
                                     return reader.Int(a);
                                 case 2:
                                     return reader.Int(b);
                                 default:
                                     return reader.Int(c);
                                 }
                             }));
}

KE_RETVAL CASN1::DecodeGameStart(const unsigned char* pBuf, sGAME_START_INFO* pInfo, int iSize)
{
    if (pInfo == nullptr)
        return KE_ERR_INVALIDARG;
    CReader reader(pBuf, iSize);
    if (!reader.OpenMessage(eMSG_GAME_START))
        return KE_ERR_BADDATA;
    int iFlag1 = 0;
    int iFlag2 = 0;
    bool bRead = reader.Skip(1) && reader.Long(pInfo->m_llSessionId) && reader.Skip(1) &&
                 ReadPlayers(reader, &pInfo->m_aPlayers) && reader.Skip(1) && reader.Int(iFlag1);
    if (bRead)
        pInfo->m_iFlag1 = iFlag1 != 0 ? 1 : 0;
    bRead = bRead && reader.Skip(1) && reader.Int(iFlag2);
    if (bRead)
        pInfo->m_iFlag2 = iFlag2 != 0 ? 1 : 0;
    bRead = bRead && reader.Skip(1) && reader.Text(pInfo->m_strServer) && reader.Skip(1) &&
            reader.Int(pInfo->m_iValue);
    return Result(bRead);
}

KE_RETVAL CASN1::DecodeGameMessage(const unsigned char* pBuf, unsigned char* pOut, int iCapacity, int& iCount,
                                   int iSize)
{
    CReader reader(pBuf, iSize);
    CReader payload;
    if (!reader.OpenMessage(eMSG_GAME_MESSAGE) || !reader.Skip(1) || !reader.Block(payload))
        return KE_ERR_BADDATA;
    int iLength = payload.Left();
    if (iLength > MAX_GAME_MESSAGE_PAYLOAD || iLength > iCapacity || (iLength > 0 && pOut == nullptr))
        return KE_ERR_BADDATA;
    if (iLength > 0)
        memcpy(pOut, payload.Here(), (size_t)iLength);
    iCount = iLength;
    return KE_OK;
}

KE_RETVAL CASN1::DecodeBuddyRequest(const unsigned char* pBuf, int& a, int& b, int& c, int& d,
                                    CKorvelString& t1, CKorvelString& t2, int iSize)
{
    CReader reader(pBuf, iSize);
    if (!reader.OpenMessage(eMSG_BUDDY_REQUEST))
    {
        reader = CReader(pBuf, iSize);
        if (!reader.OpenMessage(eMSG_BUDDY_REQUEST_ACK))
            return KE_ERR_BADDATA;
    }
    int* const aInts[4] = {&b, &a, &c, &d};
    int iTag = 0;
    // Reading stops at the first tag that is not the next index.
    for (int iIndex = 0; iIndex < 6 && reader.Next(iTag) && (iTag & 0x1F) == iIndex; ++iIndex)
    {
        bool bRead = iIndex < 4 ? reader.Int(*aInts[iIndex]) : reader.Text(iIndex == 4 ? t1 : t2);
        if (!bRead)
            return KE_ERR_BADDATA;
    }
    return KE_OK;
}

KE_RETVAL CASN1::DecodeChallengeResponse(const unsigned char* pBuf, int& a, int& b, int& c, int& d,
                                         CKorvelString& t1, CKorvelString& t2, int iSize)
{
    CReader reader(pBuf, iSize);
    if (!reader.OpenMessage(eMSG_CHALLENGE_RESPONSE))
        return KE_ERR_BADDATA;
    bool bRead = reader.Skip(1) && reader.Int(a) && reader.Skip(1) && reader.Int(b) && reader.Skip(1) &&
                 reader.Int(d) && reader.Skip(1) && reader.Int(c) && reader.Skip(1) && reader.Text(t1) &&
                 reader.Skip(1) && reader.Text(t2);
    if (!bRead)
        return KE_ERR_BADDATA;
    // Peers answer with a seventh field whose text is the one shown; six fields mean none.
    if (reader.AtEnd())
    {
        t2.Reset();
        return KE_OK;
    }
    return Result(reader.Skip(1) && reader.Text(t2));
}

KE_RETVAL CASN1::DecodeRandomKey(const unsigned char* pBuf, CKorvelString& strKey, CKorvelString& t2,
                                 int iSize)
{
    CReader reader(pBuf, iSize);
    if (!reader.OpenMessage(eMSG_RANDOM_KEY) || !reader.Skip(1) || !reader.Text(strKey))
        return KE_ERR_BADDATA;
    int iTag = 0;
    if (reader.Next(iTag) && (iTag & 0x1F) == 1)
        return Result(reader.Text(t2));
    t2.Reset();
    return KE_OK;
}

KE_RETVAL CASN1::DecodeGameDisconnect(const unsigned char* pBuf, long long& llSession, int& iPlayer,
                                      int iSize)
{
    CReader reader(pBuf, iSize);
    return Result(reader.OpenMessage(eMSG_GAME_DISCONNECT) && reader.Skip(1) && reader.Long(llSession) &&
                  reader.Skip(1) && reader.Int(iPlayer));
}

KE_RETVAL CASN1::DecodePlayerImage(const unsigned char* pBuf, int& iPlayer, int& b, unsigned char** ppImage,
                                   int& iImageSize, int iSize)
{
    if (ppImage == nullptr)
        return KE_ERR_INVALIDARG;
    CReader reader(pBuf, iSize);
    CReader image;
    if (!(reader.OpenMessage(eMSG_PLAYER_IMAGE) && reader.Skip(1) && reader.Int(iPlayer) && reader.Skip(1) &&
          reader.Int(b) && reader.Skip(1) && reader.Block(image)))
        return KE_ERR_BADDATA;
    // The length has been checked against the message before anything is allocated.
    iImageSize = 0;
    *ppImage = nullptr;
    if (image.Left() == 0)
        return KE_OK;
    unsigned char* pImage = new (std::nothrow) unsigned char[image.Left()];
    if (pImage == nullptr)
        return KE_ERR_OUTOFMEMORY;
    memcpy(pImage, image.Here(), (size_t)image.Left());
    *ppImage = pImage;
    iImageSize = image.Left();
    return KE_OK;
}

KE_RETVAL CASN1::DecodeRegisterUserACK(const unsigned char* pBuf, int& iValue, CKorvelString& strText,
                                       int iSize)
{
    return DecodeIntAndText(pBuf, eMSG_REGISTER_USER_ACK, iValue, strText, iSize);
}

KE_RETVAL CASN1::DecodeRegisterEmailACK(const unsigned char* pBuf, int& iValue, CKorvelString& strText,
                                        int iSize)
{
    return DecodeIntAndText(pBuf, eMSG_REGISTER_EMAIL_ACK, iValue, strText, iSize);
}
