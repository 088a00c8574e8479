// Shared by the wire fuzz targets: the input is copied to an exactly sized block (any
// read past it is caught) and cut into messages by their length, as the session does.
#pragma once

#include "Framework/asn1/ASN1.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

inline void Check(bool bCondition)
{
    if (!bCondition)
        abort();
}

// whole(p, n) gets the whole input first, then message(p, n) each message in a copy of
// its own size. An incomplete or malformed tail ends the cut, or with bTail goes to
// message() as it is.
template <class FWhole, class FMessage>
int CutMessageStream(const uint8_t* pData, size_t uSize, bool bTail, FWhole whole, FMessage message)
{
    if (uSize > 1 << 20)
        return 0;
    std::vector<unsigned char> aInput(pData, pData + uSize);
    const unsigned char* p = aInput.empty() ? nullptr : aInput.data();
    int iLeft = (int)uSize;
    whole(p, iLeft);
    while (iLeft > 0)
    {
        int iLength = CASN1::GetMessageLength(p, iLeft);
        Check(iLength == CASN1::eMSGLEN_NEEDMORE || iLength == CASN1::eMSGLEN_MALFORMED || iLength >= 2);
        if (iLength < 0 || iLength > iLeft)
        {
            if (!bTail)
                break;
            iLength = iLeft;
        }
        std::vector<unsigned char> aMessage(p, p + iLength);
        message(aMessage.data(), iLength);
        p += iLength;
        iLeft -= iLength;
    }
    return 0;
}
