#include "Framework/asn1/ASN1Sequence.h"

#include "SocketEngine/SocketEngine.h"

#include <new>

KE_RETVAL CASN1_Message::Send(CSocketEngine& engine)
{
    unsigned int uSize = Encode(nullptr, 0);
    if (uSize == 0)
        return KE_ERR_BADDATA;
    unsigned char* pBuf = new (std::nothrow) unsigned char[uSize];
    if (pBuf == nullptr)
        return KE_ERR_OUTOFMEMORY;
    if (Encode(pBuf, (int)uSize) != uSize)
    {
        delete[] pBuf;
        return KE_ERR_BADDATA;
    }
    engine.Send(pBuf, (int)uSize);
    delete[] pBuf;
    return KE_OK;
}
