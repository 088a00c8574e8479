// The value fields: 32-bit integer, 64-bit integer, UTF-8 text and byte array.
#pragma once

#include "Framework/asn1/ASN1Field.h"

class CKorvelString;

class CASN1_IntField : public CASN1_Field
{
public:
    explicit CASN1_IntField(int& iValue) : m_iValue(iValue) {}
    unsigned int Encode(unsigned char* pBuf, int iSize) override;
    unsigned int Decode(const unsigned char* pBuf, int iSize) override;

private:
    int& m_iValue;
};

class CASN1_LongIntField : public CASN1_Field
{
public:
    explicit CASN1_LongIntField(long long& llValue) : m_llValue(llValue) {}
    unsigned int Encode(unsigned char* pBuf, int iSize) override;
    unsigned int Decode(const unsigned char* pBuf, int iSize) override;

private:
    long long& m_llValue;
};

class CASN1_StringField : public CASN1_Field
{
public:
    explicit CASN1_StringField(CKorvelString& strText) : m_pText(&strText), m_pWritable(&strText) {}
    // For texts that are only written; decoding into it fails.
    explicit CASN1_StringField(const CKorvelString& strText) : m_pText(&strText), m_pWritable(nullptr) {}
    unsigned int Encode(unsigned char* pBuf, int iSize) override;
    // Empties the text and converts the bytes with the engine's UTF-8 reader.
    unsigned int Decode(const unsigned char* pBuf, int iSize) override;

private:
    const CKorvelString* m_pText;
    CKorvelString* m_pWritable;
};

// Bound to a data pointer and a byte count. Decoding into a null pointer allocates the
// bytes with array new (the caller owns them); into a supplied buffer, the count on
// entry is its capacity, and an array that does not fit sets the count to -1.
class CASN1_ByteArrayField : public CASN1_Field
{
public:
    CASN1_ByteArrayField(unsigned char** ppData, int& iSize) : m_ppData(ppData), m_iSize(iSize) {}
    unsigned int Encode(unsigned char* pBuf, int iSize) override;
    unsigned int Decode(const unsigned char* pBuf, int iSize) override;

private:
    unsigned char** m_ppData;
    int& m_iSize;
};
