// Hand-built readers of nested records: queue and game-start players with their
// statistics, past matches (LatestGameSessions) and the item reader of PlayerList.
// Each record is a length field and tagged fields; its fields are found by the low five
// bits of their tags and never read past the record's own length.
#include "Framework/Session/asn1_hile_handbuilt.h"
#include "Framework/Session/asn1_hile_handbuilt_wire.h"
#include "Framework/Session/asn1_hile_ids.h"
#include "Framework/Session/asn1_hile_players.h"

#include <new>

using HandBuilt::CReader;
using HandBuilt::ScanFields;

namespace
{
const int kRecordTag = 0x30;

// Elements of the hand-built lists may be preceded by the universal tag 0x30.
bool NextElement(CReader& list, CReader& element)
{
    if (*list.Here() == kRecordTag && !list.Skip(1))
        return false;
    return list.Block(element);
}

// Reads the block's tagged integers into aValues while their index is below iCount.
bool ReadTaggedInts(CReader& block, int* const* apValues, int iCount)
{
    int iTag = 0;
    while (block.Next(iTag))
    {
        int iIndex = iTag & 0x1F;
        if (iIndex >= iCount)
            break;
        if (!block.Int(*apValues[iIndex]))
            return false;
    }
    return true;
}
} // namespace

KE_RETVAL CASN1::DecodePlayersList(const unsigned char* pBuf, CKorvelPtrArray* pPlayers, int& iConsumed,
                                   int iSize)
{
    if (pPlayers == nullptr)
        return KE_ERR_INVALIDARG;
    CReader reader(pBuf, iSize);
    CReader list;
    if (!reader.Block(list))
        return KE_ERR_BADDATA;
    while (!list.AtEnd())
    {
        if (*list.Here() == kRecordTag && !list.Skip(1))
            return KE_ERR_BADDATA;
        sPLAYER* pPlayer = new (std::nothrow) sPLAYER();
        if (pPlayer == nullptr)
            return KE_ERR_OUTOFMEMORY;
        if (pPlayers->Add(pPlayer) < 0)
        {
            delete pPlayer;
            return KE_ERR_OUTOFMEMORY;
        }
        int iUsed = 0;
        KE_RETVAL eResult = DecodePlayer(list.Here(), pPlayer, iUsed, list.Left());
        if (eResult != KE_OK)
            return eResult;
        list.Skip(iUsed);
    }
    iConsumed = reader.GetPos();
    return KE_OK;
}

KE_RETVAL CASN1::DecodePlayer(const unsigned char* pBuf, sPLAYER* pPlayer, int& iConsumed, int iSize)
{
    if (pPlayer == nullptr)
        return KE_ERR_INVALIDARG;
    CReader reader(pBuf, iSize);
    CReader body;
    if (!reader.Block(body))
        return KE_ERR_BADDATA;
    *pPlayer = sPLAYER();
    int iTag = 0;
    bool bRead = true;
    bool bEnded = false;
    while (bRead && !bEnded && body.Next(iTag))
    {
        int iUsed = 0;
        switch (iTag & 0x1F)
        {
        case 0:
            bRead = body.Int(pPlayer->m_iUserId);
            break;
        case 1:
            bRead = body.Text(pPlayer->m_strName);
            break;
        case 2:
            bRead = body.Text(pPlayer->m_strSecond);
            break;
        case 3:
            bRead = body.Date(pPlayer->m_Date);
            break;
        case 4:
            bRead = body.Int(pPlayer->m_iValue);
            break;
        case 5:
            bRead = body.Text(pPlayer->m_strThird);
            break;
        case 6:
            bRead = DecodePlayerStats(body.Here(), pPlayer->m_Stats, iUsed, body.Left()) == KE_OK &&
                    body.Skip(iUsed);
            break;
        case 7:
            pPlayer->m_iFlag = 1;
            bEnded = true;
            break;
        default:
            bEnded = true;
            break;
        }
    }
    if (!bRead)
        return KE_ERR_BADDATA;
    iConsumed = reader.GetPos();
    return KE_OK;
}

KE_RETVAL CASN1::DecodePlayerStats(const unsigned char* pBuf, sPLAYER_STATS& stats, int& iConsumed, int iSize)
{
    CReader reader(pBuf, iSize);
    CReader block;
    if (!reader.Block(block))
        return KE_ERR_BADDATA;
    int* const apValues[6] = {&stats.m_aValues[0], &stats.m_aValues[1], &stats.m_aValues[2],
                              &stats.m_aValues[3], &stats.m_aValues[4], &stats.m_aValues[5]};
    if (!ReadTaggedInts(block, apValues, 6))
        return KE_ERR_BADDATA;
    iConsumed = reader.GetPos();
    return KE_OK;
}

KE_RETVAL CASN1::DecodeLatestGameSessions(const unsigned char* pBuf,
                                          CKorvelTypedPtrArray<sGAME_SESSION>& aSessions, int iSize)
{
    CReader reader(pBuf, iSize);
    CReader list;
    if (!reader.OpenMessage(eMSG_LATEST_GAME_SESSIONS) || !reader.Skip(1) || !reader.Block(list))
        return KE_ERR_BADDATA;
    while (!list.AtEnd())
    {
        CReader element;
        if (!NextElement(list, element))
            return KE_ERR_BADDATA;
        sGAME_SESSION* pSession = new (std::nothrow) sGAME_SESSION();
        if (pSession == nullptr)
            return KE_ERR_OUTOFMEMORY;
        if (aSessions.Add(pSession) < 0)
        {
            delete pSession;
            return KE_ERR_OUTOFMEMORY;
        }
        int* const apInts[4] = {&pSession->m_iValue0, &pSession->m_iResult, &pSession->m_iPoints,
                                &pSession->m_iValue3};
        bool bRead = ScanFields(element, 6,
                                [&](int iIndex)
                                {
                                    if (iIndex < 4)
                                        return element.Int(*apInts[iIndex]);
                                    return iIndex == 4 ? element.Text(pSession->m_strOpponent)
                                                       : element.Date(pSession->m_Date);
                                });
        if (!bRead)
            return KE_ERR_BADDATA;
    }
    return KE_OK;
}

namespace
{
bool ReadListItem(CReader& item, sPLAYERLISTITEM& record)
{
    CKorvelString* const apTexts[7] = {
        nullptr, &record.m_strName,   &record.m_strSecond, &record.m_strThird, &record.m_strLocation,
        nullptr, &record.m_strComment};
    int iTag = 0;
    while (item.Next(iTag))
    {
        int iIndex = iTag & 0x1F;
        bool bRead;
        CReader block;
        if (iIndex < 7 && apTexts[iIndex] != nullptr)
            bRead = item.Text(*apTexts[iIndex]);
        else if (iIndex == 0)
            bRead = item.Int(record.m_iPlayerId);
        else if (iIndex == 5)
            bRead = item.Int(record.m_iFlags);
        else if (iIndex == 7)
        {
            // Six statistics here; the follower counts come as fields 8 and 9.
            int* const apStats[6] = {&record.m_aValues[0], &record.m_aValues[1], &record.m_aValues[2],
                                     &record.m_iWins,      &record.m_iLosses,    &record.m_iTies};
            bRead = item.Block(block) && ReadTaggedInts(block, apStats, 6);
        }
        else if (iIndex == 8)
            bRead = item.Int(record.m_iFollowers1);
        else if (iIndex == 9)
            bRead = item.Int(record.m_iFollowers2);
        else
            bRead = item.Block(block);
        if (!bRead)
            return false;
    }
    return true;
}
} // namespace

KE_RETVAL CASN1::DecodePlayerList(const unsigned char* pBuf, int& a, int& b, int& c,
                                  CKorvelArray<sPLAYERLISTITEM*>& aItems, int iSize)
{
    CReader reader(pBuf, iSize);
    if (!reader.OpenMessage(eMSG_PLAYER_LIST))
        return KE_ERR_BADDATA;
    int* const apInts[3] = {&a, &b, &c};
    int iTag = 0;
    while (reader.Next(iTag))
    {
        int iIndex = iTag & 0x1F;
        CReader list;
        if (iIndex < 3)
        {
            if (!reader.Int(*apInts[iIndex]))
                return KE_ERR_BADDATA;
            continue;
        }
        if (!reader.Block(list))
            return KE_ERR_BADDATA;
        if (iIndex != 3)
            continue;
        for (int k = 0; !list.AtEnd(); ++k)
        {
            CReader item;
            if (!NextElement(list, item))
                return KE_ERR_BADDATA;
            if (k < aItems.GetCount() && aItems[k] != nullptr && !ReadListItem(item, *aItems[k]))
                return KE_ERR_BADDATA;
        }
    }
    return KE_OK;
}
