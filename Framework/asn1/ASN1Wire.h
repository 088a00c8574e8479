// Byte-level primitives of the wire format, shared by the field classes and the
// static CASN1 helpers. Every reader takes the number of bytes it may look at and
// never reads past them.
#pragma once

class CKorvelString;

namespace ASN1Wire
{
// Results of ReadLength besides a header size.
enum eLENGTHREAD
{
    eLENGTH_NEEDMORE = 0,  // the length field is cut short
    eLENGTH_MALFORMED = -1 // more than four length bytes, or a length of 2^31 or more
};

// Lengths: short form below 128, else 0x80|n and n big-endian bytes (n = 1..4).
int LengthSize(int iLength);
int WriteLength(unsigned char* pBuf, int iLength);
// Returns the header size (>= 1), eLENGTH_NEEDMORE or eLENGTH_MALFORMED. Only the
// low four bits of a long-form first byte count: 0x80 and 0x90 read as length 0.
int ReadLength(const unsigned char* pBuf, int iSize, int& iLength);

// Start of a length field over llContent bytes and that content: iTotal gets the whole
// size. Returns the length field's size once written; 0 when only measuring (null
// buffer or iSize <= 0); -1 when the buffer is too small or the size exceeds an int.
int BeginConstructed(unsigned char* pBuf, int iSize, long long llContent, int& iTotal);

// 32-bit integers: one count byte n (1..4), then n bytes of minimal two's complement.
int IntSize(int iValue);
int WriteInt(unsigned char* pBuf, int iValue);
// Returns 1 + n, or 0 when n is above 4 or the bytes are cut short. n = 0 reads as 0.
int ReadInt(const unsigned char* pBuf, int iSize, int& iValue);

// 64-bit integers: count byte n, then n big-endian bytes. Non-negative values take the
// fewest bytes with a leading 0x00 when the top bit would be set; negative values take
// all eight bytes, so the unsigned reader gives them back unchanged.
int LongIntSize(long long llValue);
int WriteLongInt(unsigned char* pBuf, long long llValue);
// Unsigned read of at most eight bytes; returns 1 + n or 0.
int ReadLongInt(const unsigned char* pBuf, int iSize, long long& llValue);

// Text: every 16-bit unit written on its own as UTF-8 (surrogate halves as three bytes each).
int TextByteCount(const CKorvelString& strText);
int WriteText(unsigned char* pBuf, const CKorvelString& strText);

// Skips one tag-free element (a count or length field and what it covers), bounded by
// iSize. Returns the bytes it covers, or 0 when they are not all there.
int SkipElement(const unsigned char* pBuf, int iSize);
} // namespace ASN1Wire
