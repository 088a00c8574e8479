// Helpers of the catalogue tests: writers run into blocks of exactly their measured
// size (so the sanitizer sees any write past them), descriptors encoded the same way,
// and a small independent builder of wire bytes for the messages the client only reads.
#pragma once

#include "Framework/asn1/ASN1TestBytes.h"
#include "KorvelCommon/KorvelString.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

// A hand-built writer called as write(buffer, size): measured with a null buffer,
// refused one byte short, then written into exactly the measured size.
template <class W> Bytes WriteExact(W write)
{
    int iSize = write(nullptr, 0);
    EXPECT_GT(iSize, 0);
    if (iSize <= 0)
        return Bytes();
    Bytes aShort(iSize - 1, 0xEE);
    EXPECT_EQ(write(aShort.empty() ? nullptr : aShort.data(), iSize - 1), aShort.empty() ? iSize : 0);
    for (unsigned char u : aShort)
        EXPECT_EQ(u, 0xEE);
    Bytes aOut(iSize);
    EXPECT_EQ(write(aOut.data(), iSize), iSize);
    return aOut;
}

// A descriptor (Encode without a field base), written as a hand-built writer is.
template <class D> Bytes EncodeDescriptor(D& descriptor)
{
    return WriteExact([&](unsigned char* pBuf, int iSize) { return (int)descriptor.Encode(pBuf, iSize); });
}

// --- an independent builder of wire bytes ---------------------------------------------------

inline Bytes Cat(std::initializer_list<Bytes> aParts)
{
    Bytes aOut;
    for (const Bytes& part : aParts)
        aOut.insert(aOut.end(), part.begin(), part.end());
    return aOut;
}

inline Bytes LengthOf(size_t uLength)
{
    if (uLength < 128)
        return Bytes{(unsigned char)uLength};
    Bytes aDigits;
    for (size_t u = uLength; u > 0; u >>= 8)
        aDigits.insert(aDigits.begin(), (unsigned char)(u & 0xFF));
    aDigits.insert(aDigits.begin(), (unsigned char)(0x80 | aDigits.size()));
    return aDigits;
}

// A length field and the bytes it covers.
inline Bytes Block(const Bytes& aBody)
{
    return Cat({LengthOf(aBody.size()), aBody});
}

// The count byte and the fewest two's complement bytes.
inline Bytes IntBytes(long long llValue)
{
    Bytes aOut;
    int n = 1;
    while (n < 8 && !(llValue >= -(1LL << (8 * n - 1)) && llValue < (1LL << (8 * n - 1))))
        ++n;
    aOut.push_back((unsigned char)n);
    for (int i = n - 1; i >= 0; --i)
        aOut.push_back((unsigned char)((unsigned long long)llValue >> (8 * i)));
    return aOut;
}

inline Bytes TextBytes(const std::string& strUtf8)
{
    return Block(Bytes(strUtf8.begin(), strUtf8.end()));
}

// A field: its tag byte and its encoding.
inline Bytes Field(unsigned char uTag, const Bytes& aValue)
{
    return Cat({Bytes{uTag}, aValue});
}

// A whole message: identifier, length field, content.
inline Bytes Message(int iId, const Bytes& aContent)
{
    Bytes aId = iId < 31 ? Bytes{(unsigned char)(0xA0 | iId)} : Bytes{0xBF, (unsigned char)iId};
    return Cat({aId, Block(aContent)});
}

inline std::string Utf8(const CKorvelString& strText)
{
    std::string strOut(strText.MakeUTF8(nullptr), '\0');
    strText.MakeUTF8(&strOut[0]);
    strOut.resize(strOut.size() - 1);
    return strOut;
}
