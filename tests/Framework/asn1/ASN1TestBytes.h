// Helpers of the codec tests: byte vectors from hex text, and a field encoded into a
// block of exactly its measured size (so the sanitizer sees any write past it).
#pragma once

#include "Framework/asn1/ASN1Field.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

inline Bytes Hex(const char* pText)
{
    Bytes aOut;
    unsigned int u = 0;
    int iChars = 0;
    while (sscanf(pText, " %2x%n", &u, &iChars) == 1)
    {
        aOut.push_back((unsigned char)u);
        pText += iChars;
    }
    return aOut;
}

inline Bytes EncodeExact(CASN1_Field& field)
{
    unsigned int uSize = field.Encode(nullptr, 0);
    Bytes aOut(uSize);
    if (uSize > 0)
    {
        EXPECT_EQ(field.Encode(aOut.data(), (int)uSize), uSize);
    }
    return aOut;
}

// Decodes from a heap copy of exactly the given bytes (fields and descriptors alike).
template <class D> unsigned int DecodeExact(D& decoder, const Bytes& aBytes)
{
    Bytes aCopy(aBytes);
    return decoder.Decode(aCopy.empty() ? nullptr : aCopy.data(), (int)aCopy.size());
}
