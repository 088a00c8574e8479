// CKorvelString: UTF-8 in and out.
#include "KorvelCommon/KorvelString.h"

#include "KorvelCommon/KorvelUnitBuffer.h"

namespace
{
const unsigned short kReplacement = 0xFFFD;
} // namespace

// Well-formed sequences of one to four bytes are decoded (four-byte ones into a
// surrogate pair). Three-byte forms of surrogate halves are kept: our own writer and
// the network send non-BMP text that way. Anything else becomes U+FFFD, one per
// maximal invalid part, so no zero unit is made and nothing past the end is read.
void CKorvelString::FromUTF8(const char* pText, int iLen)
{
    Reset();
    if (!pText || (iLen < 1 && iLen != -1))
        return;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pText);
    // Called for i only after i - 1 was found present, so a zero byte is never passed.
    auto present = [&](int i) { return (iLen == -1 || i < iLen) && p[i] != 0; };

    CKorvelUnitBuffer out(MAX_LENGTH);
    int i = 0;
    while (present(i))
    {
        unsigned int uLead = p[i];
        unsigned int uCode = 0;
        int iNeed = 0;
        unsigned int uLow = 0x80, uHigh = 0xBF;
        if (uLead < 0x80)
            uCode = uLead;
        else if (uLead >= 0xC2 && uLead <= 0xDF)
        {
            uCode = uLead & 0x1F;
            iNeed = 1;
        }
        else if (uLead >= 0xE0 && uLead <= 0xEF)
        {
            uCode = uLead & 0x0F;
            iNeed = 2;
            if (uLead == 0xE0)
                uLow = 0xA0; // shorter forms are overlong
        }
        else if (uLead >= 0xF0 && uLead <= 0xF4)
        {
            uCode = uLead & 0x07;
            iNeed = 3;
            if (uLead == 0xF0)
                uLow = 0x90;
            else if (uLead == 0xF4)
                uHigh = 0x8F; // nothing above U+10FFFF
        }
        else
        {
            if (!out.Add(kReplacement))
                break;
            ++i;
            continue;
        }

        int j = 1;
        for (; j <= iNeed; ++j)
        {
            if (!present(i + j) || p[i + j] < uLow || p[i + j] > uHigh)
                break;
            uCode = (uCode << 6) | (p[i + j] & 0x3F);
            uLow = 0x80;
            uHigh = 0xBF;
        }
        if (j <= iNeed)
        {
            if (!out.Add(kReplacement))
                break;
            i += j;
            continue;
        }
        i += iNeed + 1;
        if (uCode >= 0x10000)
        {
            if (out.Room() < 2)
                break;
            uCode -= 0x10000;
            out.Add(static_cast<unsigned short>(0xD800 + (uCode >> 10)));
            out.Add(static_cast<unsigned short>(0xDC00 + (uCode & 0x3FF)));
        }
        else if (!out.Add(static_cast<unsigned short>(uCode)))
            break;
    }
    SetUnits(out.Data(), out.Count());
}

// Surrogate halves are written one by one as three-byte sequences.
int CKorvelString::MakeUTF8(char* pOut) const
{
    int iLength = GetLength();
    int iBytes = 0;
    for (int i = 0; i < iLength; ++i)
    {
        unsigned int u = m_pBuffer[i];
        if (u < 0x80)
        {
            if (pOut)
                pOut[iBytes] = static_cast<char>(u);
            iBytes += 1;
        }
        else if (u < 0x800)
        {
            if (pOut)
            {
                pOut[iBytes] = static_cast<char>(0xC0 | (u >> 6));
                pOut[iBytes + 1] = static_cast<char>(0x80 | (u & 0x3F));
            }
            iBytes += 2;
        }
        else
        {
            if (pOut)
            {
                pOut[iBytes] = static_cast<char>(0xE0 | (u >> 12));
                pOut[iBytes + 1] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                pOut[iBytes + 2] = static_cast<char>(0x80 | (u & 0x3F));
            }
            iBytes += 3;
        }
    }
    if (pOut)
        pOut[iBytes] = 0;
    return iBytes + 1;
}
