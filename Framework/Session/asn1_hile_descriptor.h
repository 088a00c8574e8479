// The field-by-field writer and reader behind the descriptor messages (the short
// messages, the rematch message and the shop answers), which have no field tables.
#pragma once

#include "Framework/asn1/ASN1Field.h"

namespace Descriptor
{
// Identifier (class constructed), the length field and each field after the tag
// 0x80|index. A null pBuf or iSize <= 0 measures; 0 when the message does not fit.
unsigned int Encode(int iId, CASN1_Field* const* apFields, int iCount, unsigned char* pBuf, int iSize);

// Positional reader: field i comes after one tag byte of class aClasses[i] (index not
// looked at). iExpectedId < 0 accepts any id; *pDecodedId gets it before the fields
// are read. Returns the whole message's size, or 0 when it is not wholly inside iSize,
// has another id, or a field is missing or does not decode (earlier fields keep their
// values).
unsigned int Decode(const unsigned char* pBuf, int iSize, int iExpectedId, int* pDecodedId,
                    CASN1_Field* const* apFields, const unsigned char* aClasses, int iCount);

// The same with the fields given as temporaries bound to the caller's variables.
template <class... F> unsigned int EncodeFields(int iId, unsigned char* pBuf, int iSize, F&&... fields)
{
    CASN1_Field* apFields[] = {&fields..., nullptr};
    return Encode(iId, apFields, (int)sizeof...(F), pBuf, iSize);
}

template <class... F>
unsigned int DecodeFields(const unsigned char* pBuf, int iSize, int iExpectedId, int* pDecodedId,
                          const unsigned char* aClasses, F&&... fields)
{
    CASN1_Field* apFields[] = {&fields..., nullptr};
    return Decode(pBuf, iSize, iExpectedId, pDecodedId, apFields, aClasses, (int)sizeof...(F));
}
} // namespace Descriptor
