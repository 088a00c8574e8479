// Game messages from the other device, from arbitrary bytes: the receive decision reads
// nothing outside the message and is consistent with what the handlers may read. The
// first input byte picks how many identifiers (of the message's own) count as taken.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "game/MoxEventWire.h"
#include "game/MoxGameMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize < 1)
        return 0;
    const int iTaken = pData[0] % 3;
    // An exact-size copy, so that any read past the end is caught.
    std::vector<uint8_t> aMessage(pData + 1, pData + uSize);
    const unsigned int uLength = (unsigned int)aMessage.size();
    const unsigned char* pMessage = aMessage.empty() ? nullptr : aMessage.data();
    std::vector<int> aIds;
    if (uLength >= 12 && iTaken > 0)
        aIds.assign(size_t(iTaken), MoxGetI32(pMessage, MoxField::ID));
    const sMoxRecvDecision d =
        MoxClassifyGameMessage(pMessage, uLength, aIds.empty() ? nullptr : aIds.data(), (int)aIds.size());
    const bool bTaken = d.eAction == RECV_APPLY_NOW || d.eAction == RECV_APPLY_PLAYBACK;
    // Whatever is taken is whole for its handler, never a repeat and never an acknowledgement.
    if (bTaken && (uLength < (unsigned int)MoxEventMinimumSize(d.iType) || !aIds.empty() ||
                   d.iType == EVENT_ACK || !MoxEventForm(d.iType)))
        std::abort();
    if (uLength < 12 && d.eAction != RECV_DROP)
        std::abort();
    if (d.eAction == RECV_APPLY_NOW && d.iTime != -1)
        std::abort();
    if (d.eAction == RECV_APPLY_PLAYBACK && d.iTime < 0)
        std::abort();
    unsigned char aAck[12];
    MoxWriteAck(aAck, d.iId);
    if (aAck[0] != EVENT_ACK || MoxGetI32(aAck, MoxField::ID) != d.iId ||
        MoxGetI32(aAck, MoxField::TIME) != -1)
        std::abort();
    return 0;
}
