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

enum : int
{
    // Messages taken in at once, and again each second. A real opponent keeps one event in
    // flight and sends it again only after 10 s, a few messages a second; a peer that sends
    // more gets no more answers than this, well below what the send thread writes (one a
    // millisecond), so its flood cannot pile up answers waiting to be sent.
    MOX_RECV_BUDGET = 128,
    MOX_RECV_REPORT_MS = 10000 // at most one line on standard error in this time
};

// Reads only within uSize; aIds holds iIdCount identifiers already applied.
sMoxRecvDecision MoxClassifyGameMessage(const unsigned char* pData, unsigned int uSize, const int* aIds,
                                        int iIdCount);
// The smallest record of a type a handler may read (a turn pack: its header and two end
// bytes; a type no event has: its header).
int MoxEventMinimumSize(int iType);
// The 12-byte acknowledgement of that identifier.
void MoxWriteAck(unsigned char aAck[12], int iId);

// The receive side's budget and what it tells of messages a real opponent never sends. A
// message over the budget is treated as lost on the way: neither applied nor answered, so
// the sender's resend brings it again once the budget has room.
class CMoxRecvBudget
{
public:
    enum eUNTAKEN : int
    {
        UNTAKEN_UNREAD,      // answered, not applied (unknown or cut short)
        UNTAKEN_DROPPED,     // dropped unanswered (no header, too long, bad time stamp)
        UNTAKEN_OVER_BUDGET, // not taken in at all
        UNTAKEN_KINDS
    };

    // Whether one more message may be taken in at iNowMs, a millisecond clock; a clock that
    // went back counts from its new reading.
    bool Take(int iNowMs);
    void Count(eUNTAKEN eKind) { ++m_aiCounts[eKind]; }
    // Writes the counts gathered since the last line as one line when there are any and the
    // report time has passed since that line (or at once with bNow); true when written.
    bool Report(int iNowMs, bool bNow);

private:
    long long m_llCredit = (long long)MOX_RECV_BUDGET * 1000; // thousandths of a message
    int m_iLastMs = 0;
    bool m_bStarted = false;
    int m_aiCounts[UNTAKEN_KINDS] = {};
    int m_iReportedMs = 0;
    bool m_bReported = false;
};
