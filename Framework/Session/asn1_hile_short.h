// Descriptor messages without field tables: the short messages (no field, or one to
// three integers, or one 64-bit integer) and the rematch message. They hold references
// to the caller's variables. The short readers store the received id into the bound id
// without comparing it and read their fields by position.
#pragma once

#include "Framework/Session/asn1_hile_ids.h"

class CASN1ShortMessage
{
public:
    explicit CASN1ShortMessage(eMESSAGE_ID& eId) : m_eId(eId) {}
    unsigned int Encode(unsigned char* pBuf, int iSize);
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    eMESSAGE_ID& m_eId;
};

class CASN1ShortIntMessage
{
public:
    CASN1ShortIntMessage(eMESSAGE_ID& eId, int& iValue) : m_eId(eId), m_iValue(iValue) {}
    unsigned int Encode(unsigned char* pBuf, int iSize);
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    eMESSAGE_ID& m_eId;
    int& m_iValue;
};

class CASN1ShortInt2Message
{
public:
    CASN1ShortInt2Message(eMESSAGE_ID& eId, int& iValue1, int& iValue2)
        : m_eId(eId), m_iValue1(iValue1), m_iValue2(iValue2)
    {
    }
    unsigned int Encode(unsigned char* pBuf, int iSize);
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    eMESSAGE_ID& m_eId;
    int& m_iValue1;
    int& m_iValue2;
};

class CASN1ShortInt3Message
{
public:
    CASN1ShortInt3Message(eMESSAGE_ID& eId, int& iValue1, int& iValue2, int& iValue3)
        : m_eId(eId), m_iValue1(iValue1), m_iValue2(iValue2), m_iValue3(iValue3)
    {
    }
    unsigned int Encode(unsigned char* pBuf, int iSize);
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    eMESSAGE_ID& m_eId;
    int& m_iValue1;
    int& m_iValue2;
    int& m_iValue3;
};

class CASN1ShortInt64Message
{
public:
    CASN1ShortInt64Message(eMESSAGE_ID& eId, long long& llValue) : m_eId(eId), m_llValue(llValue) {}
    unsigned int Encode(unsigned char* pBuf, int iSize);
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    eMESSAGE_ID& m_eId;
    long long& m_llValue;
};

// 70 (written only): game session id, wish (1 yes, 0 no), 1.
class CASN1RematchMessage
{
public:
    CASN1RematchMessage(long long& llSession, int& iWish, int& iValue)
        : m_llSession(llSession), m_iWish(iWish), m_iValue(iValue)
    {
    }
    unsigned int Encode(unsigned char* pBuf, int iSize);

private:
    long long& m_llSession;
    int& m_iWish;
    int& m_iValue;
};
