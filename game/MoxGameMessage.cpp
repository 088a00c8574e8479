// The receive decision for one game message.
#include "game/MoxGameMessage.h"

#include "game/MoxEventWire.h"
#include "game/MoxTurnPack.h"

int MoxEventMinimumSize(int iType)
{
    if (iType == EVENT_TURN_PACK)
        return TURN_PACK_HEADER + 2;
    const sMoxEventForm* pForm = MoxEventForm(iType);
    return pForm && pForm->iSize > 0 ? pForm->iSize : MoxField::HEADER_SIZE;
}

void MoxWriteAck(unsigned char aAck[12], int iId)
{
    for (int i = 0; i < 12; ++i)
        aAck[i] = 0;
    aAck[MoxField::TYPE] = EVENT_ACK;
    MoxPutI32(aAck, MoxField::ID, iId);
    MoxPutI32(aAck, MoxField::TIME, -1);
}

sMoxRecvDecision MoxClassifyGameMessage(const unsigned char* pData, unsigned int uSize, const int* aIds,
                                        int iIdCount)
{
    sMoxRecvDecision d = {RECV_DROP, -1, -1, -1};
    // Without a whole header there is no identifier to answer.
    if (!pData || uSize < (unsigned int)MoxField::HEADER_SIZE || uSize > MOX_RECV_MAX_SIZE)
        return d;
    d.iType = pData[MoxField::TYPE];
    d.iId = MoxGetI32(pData, MoxField::ID);
    d.iTime = MoxGetI32(pData, MoxField::TIME);
    if (d.iType == EVENT_ACK)
    {
        d.eAction = RECV_ACK_QUEUE;
        return d;
    }
    // Unknown or cut short: answered so that the sender moves on, never applied.
    if (!MoxEventForm(d.iType) || uSize < (unsigned int)MoxEventMinimumSize(d.iType))
    {
        d.eAction = RECV_ACK_UNREAD;
        return d;
    }
    for (int i = 0; aIds && i < iIdCount; ++i)
        if (aIds[i] == d.iId)
        {
            d.eAction = RECV_ACK_REPEAT;
            return d;
        }
    if (d.iTime == -1)
        d.eAction = RECV_APPLY_NOW;
    else if (d.iTime >= 0)
        d.eAction = RECV_APPLY_PLAYBACK;
    return d;
}
