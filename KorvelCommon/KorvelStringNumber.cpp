// CKorvelString: numbers to text.
#include "KorvelCommon/KorvelString.h"

#include "KorvelCommon/KorvelUnitBuffer.h"

#include <cstring>

namespace
{
// Digits most significant first, lowercase beyond 9.
void AddDigits(CKorvelUnitBuffer& out, unsigned __int128 uValue, unsigned int uRadix)
{
    unsigned short aDigits[130];
    int iCount = 0;
    do
    {
        unsigned int uDigit = static_cast<unsigned int>(uValue % uRadix);
        aDigits[iCount++] = static_cast<unsigned short>(uDigit < 10 ? '0' + uDigit : 'a' + uDigit - 10);
        uValue /= uRadix;
    } while (uValue);
    while (iCount)
        out.Add(aDigits[--iCount]);
}

unsigned int CheckedRadix(int iRadix)
{
    return (iRadix >= 2 && iRadix <= 36) ? iRadix : 10;
}

void AddText(CKorvelUnitBuffer& out, const char* pText)
{
    while (*pText)
        out.Add(static_cast<unsigned short>(*pText++));
}
} // namespace

void CKorvelString::FromInt(int iValue, int iRadix)
{
    FromInt64(iValue, iRadix);
}

void CKorvelString::FromUInt(unsigned int uValue, int iRadix)
{
    CKorvelUnitBuffer out(MAX_LENGTH);
    AddDigits(out, uValue, CheckedRadix(iRadix));
    SetUnits(out.Data(), out.Count());
}

void CKorvelString::FromInt64(long long iValue, int iRadix)
{
    CKorvelUnitBuffer out(MAX_LENGTH);
    // The magnitude in unsigned arithmetic also covers the most negative value.
    unsigned long long uMagnitude = static_cast<unsigned long long>(iValue);
    if (iValue < 0)
    {
        out.Add('-');
        uMagnitude = 0 - uMagnitude;
    }
    AddDigits(out, uMagnitude, CheckedRadix(iRadix));
    SetUnits(out.Data(), out.Count());
}

// Works on the single-precision bits. The fraction is held exactly (as a binary
// fraction of 120 bits) and its digits are truncated, never rounded: 2.756 with two
// digits is "2.75", 0.1 with three is "0.100". An integral value shows one '0' after
// the point whatever the digits ("2.0").
void CKorvelString::FromFloat(float fValue, int iDigits)
{
    const int kFractionBits = 120;
    unsigned int uBits;
    memcpy(&uBits, &fValue, sizeof(uBits));
    int iBiased = (uBits >> 23) & 0xFF;
    unsigned int uMantissa = uBits & 0x7FFFFF;

    CKorvelUnitBuffer out(MAX_LENGTH);
    if (uBits >> 31)
        out.Add('-');
    if (iBiased == 0xFF)
    {
        AddText(out, uMantissa ? "nan" : "inf");
        SetUnits(out.Data(), out.Count());
        return;
    }
    // value = m x 2^(e - 23)
    unsigned int m = iBiased ? (uMantissa | 0x800000) : uMantissa;
    int e = iBiased ? iBiased - 127 : -126;
    unsigned __int128 uInteger = 0, uFraction = 0;
    if (e >= 23)
        uInteger = static_cast<unsigned __int128>(m) << (e - 23);
    else if (e >= 0)
    {
        int iBelow = 23 - e;
        uInteger = m >> iBelow;
        uFraction = static_cast<unsigned __int128>(m & ((1u << iBelow) - 1)) << (kFractionBits - iBelow);
    }
    else
    {
        int iBelow = 23 - e; // 24 .. 149
        if (iBelow <= kFractionBits)
            uFraction = static_cast<unsigned __int128>(m) << (kFractionBits - iBelow);
        else if (iBelow - kFractionBits < 32)
            uFraction = m >> (iBelow - kFractionBits);
    }
    AddDigits(out, uInteger, 10);

    if (iDigits > 0)
    {
        out.Add('.');
        const unsigned __int128 uMask = (static_cast<unsigned __int128>(1) << kFractionBits) - 1;
        if (uFraction == 0)
            out.Add('0');
        else
            for (int i = 0; i < iDigits && out.Room() > 0; ++i)
            {
                uFraction *= 10;
                out.Add(
                    static_cast<unsigned short>('0' + static_cast<unsigned int>(uFraction >> kFractionBits)));
                uFraction &= uMask;
            }
    }
    SetUnits(out.Data(), out.Count());
}
