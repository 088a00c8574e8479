#include "game/MoxTurnPack.h"

#include <cstring>

#include "Framework/asn1/ASN1.h"
#include "game/MoxEvent.h"
#include "game/MoxEventWire.h"

static_assert((int)TURN_PACK_MAX_SIZE == (int)CASN1::MAX_GAME_MESSAGE_PAYLOAD,
              "a full turn pack fits one game message");

int MoxTurnPackSize(const CKorvelTypedPtrArray<CMoxEvent>& records)
{
    long long llSize = TURN_PACK_HEADER + 2;
    for (int i = 0; i < records.GetCount(); ++i)
        if (const CMoxEvent* pEvent = records[i])
            llSize += 1 + pEvent->m_iSize;
    // Anything above the limit is refused anyway; keep the count from wrapping.
    return llSize > 0x7FFFFFFF ? 0x7FFFFFFF : (int)llSize;
}

bool MoxBuildTurnPack(const CKorvelTypedPtrArray<CMoxEvent>& records, int iId,
                      std::vector<unsigned char>& aPack)
{
    aPack.clear();
    const int iSize = MoxTurnPackSize(records);
    if (iSize > TURN_PACK_MAX_SIZE)
        return false;
    aPack.assign((size_t)iSize, 0);
    unsigned char* p = aPack.data();
    p[MoxField::TYPE] = EVENT_TURN_PACK;
    MoxPutI32(p, MoxField::ID, iId);
    MoxPutI32(p, MoxField::TIME, -1);
    size_t uAt = TURN_PACK_HEADER;
    for (int i = 0; i < records.GetCount(); ++i)
    {
        const CMoxEvent* pEvent = records[i];
        if (!pEvent)
            continue;
        p[uAt++] = pEvent->m_uType;
        if (pEvent->m_iSize > 0)
            std::memcpy(p + uAt, pEvent->m_pPayload, (size_t)pEvent->m_iSize);
        uAt += (size_t)pEvent->m_iSize;
    }
    p[uAt] = TURN_PACK_END;
    p[uAt + 1] = TURN_PACK_END;
    return true;
}

std::vector<sMoxPackedEvent> MoxReadTurnPack(const unsigned char* pPack, int iSize)
{
    std::vector<sMoxPackedEvent> aEvents;
    if (!pPack)
        return aEvents;
    int iAt = TURN_PACK_HEADER;
    while (iAt < iSize)
    {
        const int iType = pPack[iAt];
        if (iType == TURN_PACK_END)
            break;
        ++iAt;
        const int iLength = MoxPackedEventSize(iType);
        if (iLength == 0)
            continue; // not an event the pack carries: stepped over alone
        if (iLength > iSize - iAt)
            break; // a damaged pack: nothing is read beyond its end
        if (pPack[iAt] == iType)
            aEvents.push_back({iAt, iLength});
        iAt += iLength;
    }
    return aEvents;
}
