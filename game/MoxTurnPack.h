// The turn pack: one event (type 43) carrying the recorded events of a turn, each as its
// type byte and its whole wire bytes, closed by two bytes of 99. Reading a pack is a
// function of its bytes alone, since the bytes come from the other device.
#pragma once

#include <vector>

#include "KorvelCommon/KorvelPtrArray.h"

class CMoxEvent;

enum : int
{
    TURN_PACK_WORK_SIZE = 65536, // the packed events and the two end bytes
    TURN_PACK_HEADER = 16,
    TURN_PACK_MAX_SIZE = TURN_PACK_HEADER + TURN_PACK_WORK_SIZE,
    TURN_PACK_END = 99
};

// Bytes of a pack of these records (CMoxEvent*): 18 plus 1 + size of each.
int MoxTurnPackSize(const CKorvelTypedPtrArray<CMoxEvent>& records);

// The whole pack event with that identifier and time stamp -1 into aPack; false, with
// aPack empty, when the packed events and end bytes would not fit the work size.
bool MoxBuildTurnPack(const CKorvelTypedPtrArray<CMoxEvent>& records, int iId,
                      std::vector<unsigned char>& aPack);

// One event taken from a pack: where its wire bytes start and how many there are.
struct sMoxPackedEvent
{
    int iOffset;
    int iSize;
};

// The events of a pack, in order. Reading starts at offset 16 and ends at a 99, at the
// end, or at an event that would run past the end; an event whose own type differs from
// the type byte in front of it is stepped over whole, any other byte alone.
std::vector<sMoxPackedEvent> MoxReadTurnPack(const unsigned char* pPack, int iSize);
