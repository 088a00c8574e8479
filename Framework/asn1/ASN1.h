// The wire codec: the field library (fields, lists, sequences, messages) and the
// static byte-level helpers of CASN1. Every helper that reads takes the number of
// bytes it may look at and never reads past them.
#pragma once

#include "Framework/asn1/ASN1Field.h"
#include "Framework/asn1/ASN1Sequence.h"
#include "Framework/asn1/ASN1SequenceOf.h"
#include "Framework/asn1/ASN1ValueFields.h"
#include "KorvelCommon/KorvelTypes.h"

class CKorvelString;

struct sDATE
{
    int m_iYear;
    int m_iMonth;
    int m_iDay;
    int m_iHour;
    int m_iMinute;
    int m_iSecond;
};

class CASN1
{
public:
    // Answers of GetMessageLength besides a total length.
    enum eMESSAGELENGTH
    {
        eMSGLEN_NEEDMORE = -1, // too few bytes to know the length yet
        eMSGLEN_MALFORMED = -2 // can never become a message: the stream is garbage
    };

    CASN1() {}
    ~CASN1() {}

    // Total length of the message at pBuf (identifier + length field + content), which
    // may exceed iSize (the rest has not arrived); or eMSGLEN_NEEDMORE, or
    // eMSGLEN_MALFORMED for an identifier of more than two bytes, a length field of
    // more than four bytes or a length of 2^31 or more.
    static int GetMessageLength(const unsigned char* pBuf, int iSize);
    // The message id (pBuf[1] after 0xBF, else the low five bits), or -1 when the
    // identifier is cut short.
    static int GetMessageID(const unsigned char* pBuf, int iSize);
    // 2 after 0xBF, else 1; 0 for no bytes.
    static int GetMessageIndexLength(const unsigned char* pBuf, int iSize);

    // Length field: writes it and returns its size. DecodeLength returns the header
    // size, or -1 when it is cut short, has more than four bytes or is 2^31 or more.
    static int EncodeLength(unsigned char* pBuf, int iLength);
    static int DecodeLength(const unsigned char* pBuf, int& iLength, int iSize);

    // 32-bit integers (count byte and minimal two's complement); return 1 + n.
    static int EncodeInt(unsigned char* pBuf, int iValue);
    static int EncodePositiveInt(unsigned char* pBuf, int iValue);
    static int EncodeNegativeInt(unsigned char* pBuf, int iValue);
    // 0x01 and the value's low byte; returns 2.
    static int EncodeShortInt(unsigned char* pBuf, int iValue);
    // 64-bit integers as the long-integer field writes them; returns 1 + n.
    static int EncodeLongInt(unsigned char* pBuf, long long llValue);
    // Readers return 1 + n, or 0 when the count is too large or the bytes are cut short.
    static int DecodeInt(const unsigned char* pBuf, int& iValue, int iSize);
    static int DecodeKE_UINT(const unsigned char* pBuf, unsigned int& uValue, int iSize);
    static int DecodeLongInt(const unsigned char* pBuf, long long& llValue, int iSize);

    // 1 when a is later, -1 when earlier, 0 when equal (year down to second).
    static int CompareDates(sDATE a, sDATE b);
    // The hexadecimal digits at the end of the text, the last one least significant;
    // reading stops at the first character that is not a digit.
    static unsigned int ChangeStringToKE_UINT(CKorvelString& strText);

    // Logout (id 59, no fields): BF 3B 00; returns 3.
    static int CreateLogout(unsigned char* pBuf);
    // Alive (id 44): KE_OK with its integer, KE_ERR_BADDATA for another message or
    // one that is cut short.
    static KE_RETVAL DecodeAlive(const unsigned char* pBuf, int& iValue, int iSize);
};
