// What the receiving side does with one game message from the other device, decided from
// its bytes and the identifiers already taken: a pure function, so that the fuzz target
// and the root state's receive entry share it.
#pragma once

enum MOX_RECV_ACTION : int
{
    RECV_DROP,          // nothing done, no answer (too short, too long, bad time stamp)
    RECV_ACK_QUEUE,     // an acknowledgement: to the acknowledgement queue
    RECV_ACK_UNREAD,    // answered, not applied, not remembered (unknown or cut short)
    RECV_ACK_REPEAT,    // answered again, already applied once
    RECV_APPLY_NOW,     // to the local queue, remembered and answered
    RECV_APPLY_PLAYBACK // to the playback queue at its time stamp, remembered and answered
};

struct sMoxRecvDecision
{
    MOX_RECV_ACTION eAction;
    int iType;
    int iId;   // meaningful once the header is there
    int iTime; // the wire time stamp
};

enum : unsigned int
{
    MOX_RECV_MAX_SIZE = 65552, // the network's largest game message
    MOX_RECV_ID_LIST = 100     // identifiers kept before the next one is appended
};

// Reads only within uSize; aIds holds iIdCount identifiers already applied.
sMoxRecvDecision MoxClassifyGameMessage(const unsigned char* pData, unsigned int uSize, const int* aIds,
                                        int iIdCount);
// The smallest record of a type a handler may read (a turn pack: its header and two end
// bytes; a type no event has: its header).
int MoxEventMinimumSize(int iType);
// The 12-byte acknowledgement of that identifier.
void MoxWriteAck(unsigned char aAck[12], int iId);
