// CKorvelString: the engine's own printf (Format) and sscanf (Scan) over 16-bit text.
//
// Sections: formatting; scanning.
#include "KorvelCommon/KorvelString.h"

#include "KorvelCommon/KorvelUnitBuffer.h"

namespace
{
bool IsDigit(unsigned short u)
{
    return u >= '0' && u <= '9';
}

int HexValue(unsigned short u)
{
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

void AddString(CKorvelUnitBuffer& out, const CKorvelString& str)
{
    out.Add(str.GetBuffer(), str.GetLength());
}
} // namespace

// --- formatting -----------------------------------------------------------------------

void CKorvelString::FormatVA(const unsigned short* pFormat, ...)
{
    va_list args;
    va_start(args, pFormat);
    FormatV(pFormat, args);
    va_end(args);
}

// Directive state carries over: a fill and width apply to the next %d %u %x %X %l,
// a precision to the next %f (9 until set, and again after each %f).
void CKorvelString::FormatV(const unsigned short* pFormat, va_list args)
{
    if (!pFormat)
        return;
    // Built apart and set at the end, so a "%s" argument may be this string's own text.
    CKorvelUnitBuffer out(MAX_LENGTH);
    int iPrecision = 9;
    int iWidth = 0;
    unsigned short uFill = ' ';
    CKorvelString strNumber;

    for (const unsigned short* p = pFormat; *p; ++p)
    {
        if (*p != '%')
        {
            out.Add(*p);
            continue;
        }
        ++p;
        if (*p == '.')
        {
            ++p;
            if (IsDigit(*p))
                iPrecision = *p++ - '0';
        }
        else if (IsDigit(*p))
        {
            unsigned short uDigit = *p++;
            if (IsDigit(*p))
            {
                uFill = uDigit;
                iWidth = *p++ - '0';
            }
        }
        if (*p == 0)
            break; // the format ended inside a directive

        bool bNumber = true;
        switch (*p)
        {
        case 'd':
            strNumber.FromInt(va_arg(args, int), 10);
            break;
        case 'u':
            strNumber.FromUInt(va_arg(args, unsigned int), 10);
            break;
        case 'x':
            strNumber.FromUInt(va_arg(args, unsigned int), 16);
            break;
        case 'X':
            strNumber.FromUInt(va_arg(args, unsigned int), 16);
            strNumber.MakeUpper();
            break;
        case 'l':
            strNumber.FromInt64(va_arg(args, long long), 10);
            break;
        case 'f':
            strNumber.FromFloat(static_cast<float>(va_arg(args, double)), iPrecision);
            AddString(out, strNumber);
            iPrecision = 9;
            bNumber = false;
            break;
        case 's':
        case 'S':
        {
            const unsigned short* pText = va_arg(args, const unsigned short*);
            if (pText)
                for (; *pText && out.Room() > 0; ++pText)
                    out.Add(*pText);
            bNumber = false;
            break;
        }
        case '%':
            out.Add('%');
            bNumber = false;
            break;
        default: // an unknown letter is dropped and takes no argument
            bNumber = false;
            break;
        }
        if (!bNumber)
            continue;

        int iPad = iWidth - strNumber.GetLength();
        const unsigned short* pDigits = strNumber.GetBuffer();
        int iDigits = strNumber.GetLength();
        // Zero fill goes between the sign and the digits: "%04d" of -5 is "-005".
        if (uFill == '0' && iDigits && pDigits[0] == '-')
        {
            out.Add('-');
            ++pDigits;
            --iDigits;
        }
        for (int i = 0; i < iPad; ++i)
            out.Add(uFill);
        out.Add(pDigits, iDigits);
        iWidth = 0;
    }
    SetUnits(out.Data(), out.Count());
}

// --- scanning ------------------------------------------------------------------------------

int CKorvelString::ScanVA(int iBufferUnits, const unsigned short* pFormat, ...) const
{
    va_list args;
    va_start(args, pFormat);
    int iCount = ScanCore(iBufferUnits, pFormat, args);
    va_end(args);
    return iCount;
}

int CKorvelString::ScanV(const unsigned short* pFormat, va_list args) const
{
    return ScanCore(-1, pFormat, args);
}

int CKorvelString::ScanBoundedV(int iBufferUnits, const unsigned short* pFormat, va_list args) const
{
    return iBufferUnits < 1 ? 0 : ScanCore(iBufferUnits, pFormat, args);
}

// A literal in the format skips to the next occurrence of that unit; a number
// conversion searches forward to the first digit (a '-' passed over makes it
// negative) and counts even when it finds none. iBufferUnits -1: "%s" unbounded.
int CKorvelString::ScanCore(int iBufferUnits, const unsigned short* pFormat, va_list args) const
{
    int iLength = GetLength();
    if (!pFormat || iLength == 0)
        return 0;
    const unsigned short* s = m_pBuffer;
    int iPos = 0;
    int iCount = 0;

    for (const unsigned short* p = pFormat; *p; ++p)
    {
        if (*p != '%')
        {
            if (*p > 0x20)
            {
                int iFound = Find(*p, iPos);
                if (iFound >= 0)
                    iPos = iFound + 1;
            }
            continue;
        }
        ++p;
        if (*p == 0)
            break;
        while (iPos < iLength && s[iPos] <= 0x20)
            ++iPos;

        switch (*p)
        {
        case 'd':
        case 'l':
        case 'f':
        {
            void* pTarget = *p == 'd'   ? static_cast<void*>(va_arg(args, int*))
                            : *p == 'l' ? static_cast<void*>(va_arg(args, long long*))
                                        : static_cast<void*>(va_arg(args, float*));
            if (!pTarget)
                break;
            bool bNegative = false;
            while (iPos < iLength && !IsDigit(s[iPos]))
            {
                if (s[iPos] == '-')
                    bNegative = true;
                ++iPos;
            }
            if (*p == 'f')
            {
                float fValue = 0.0f, fScale = 0.1f;
                bool bFraction = false;
                for (; iPos < iLength && (IsDigit(s[iPos]) || s[iPos] == '.' || s[iPos] == ','); ++iPos)
                {
                    if (!IsDigit(s[iPos]))
                        bFraction = true;
                    else if (!bFraction)
                        fValue = fValue * 10.0f + static_cast<float>(s[iPos] - '0');
                    else
                    {
                        fValue += static_cast<float>(s[iPos] - '0') * fScale;
                        fScale *= 0.1f;
                    }
                }
                *static_cast<float*>(pTarget) = bNegative ? -fValue : fValue;
            }
            else
            {
                // Unsigned arithmetic: overlong digit runs wrap instead of overflowing.
                unsigned long long uValue = 0;
                for (; iPos < iLength && IsDigit(s[iPos]); ++iPos)
                    uValue = uValue * 10 + (s[iPos] - '0');
                if (bNegative)
                    uValue = 0 - uValue;
                if (*p == 'd')
                    *static_cast<int*>(pTarget) = static_cast<int>(static_cast<unsigned int>(uValue));
                else
                    *static_cast<long long*>(pTarget) = static_cast<long long>(uValue);
            }
            ++iCount;
            break;
        }
        case 'x':
        {
            unsigned int* pTarget = va_arg(args, unsigned int*);
            if (!pTarget)
                break;
            unsigned int uValue = 0;
            for (; iPos < iLength && HexValue(s[iPos]) >= 0; ++iPos)
                uValue = uValue * 16 + HexValue(s[iPos]);
            *pTarget = uValue;
            ++iCount;
            break;
        }
        case 's':
        {
            unsigned short* pTarget = va_arg(args, unsigned short*);
            if (!pTarget)
                break;
            // The format unit after "%s" is where the copy stops; it is used up here.
            unsigned short uStop = p[1];
            bool bStop = uStop != 0 && uStop != '%';
            if (bStop)
                ++p;
            int iOut = 0;
            for (; iPos < iLength && !(bStop && s[iPos] == uStop); ++iPos)
                if (iBufferUnits < 0 || iOut < iBufferUnits - 1)
                    pTarget[iOut++] = s[iPos];
            pTarget[iOut] = 0; // the position stays on the stop unit
            ++iCount;
            break;
        }
        default:
            break;
        }
        if (iPos >= iLength)
            break;
    }
    return iCount;
}
