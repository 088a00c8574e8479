// Bitmap font layout: colour tags, wrapping, line breaks and measuring. No drawing here.
#include "KorvelGraphics/KorvelBitmapFont.h"

#include "KorvelGraphics/KorvelGraphicsContext.h"

namespace
{
const unsigned short kColorTag[9] = {'$', 'C', 'O', 'L', 'O', 'R', '=', '0', 'x'};

bool IsBreak(unsigned short u)
{
    return u == 10 || u == 13;
}

// A carriage return directly before a line feed is part of one line break.
bool IsCrBeforeLf(const unsigned short* pUnits, int iLength, int i)
{
    return pUnits[i] == 13 && i + 1 < iLength && pUnits[i + 1] == 10;
}
} // namespace

int CKorvelBitmapFont::PenStep(int iAt, long long llBy)
{
    const long long llMax = MAX_PEN;
    const long long ll = static_cast<long long>(iAt) + llBy;
    return static_cast<int>(ll < -llMax ? -llMax : (ll > llMax ? llMax : ll));
}

int CKorvelBitmapFont::ParseTextTags(const CKorvelString& strText, int iIndex, unsigned int* puColor) const
{
    const int iLength = strText.GetLength();
    if (iIndex < 0 || iIndex + 9 > iLength)
        return 0;
    const unsigned short* pUnits = strText.GetBuffer() + iIndex;
    for (int i = 0; i < 9; ++i)
        if (pUnits[i] != kColorTag[i])
            return 0;
    if (puColor)
        strText.Mid(iIndex + 9, 8).Scan(L"%x", puColor);
    return 16;
}

void CKorvelBitmapFont::GetNextLine(const CKorvelString& strText, int iStart, CKorvelString& strOut) const
{
    strOut.Reset();
    const int iLength = strText.GetLength();
    const unsigned short* pUnits = strText.GetBuffer();
    int i = iStart < 0 ? 0 : iStart;
    while (i < iLength && pUnits[i] < 32)
        ++i;
    int iEnd = i;
    while (iEnd < iLength && pUnits[iEnd] >= 32)
        ++iEnd;
    if (iEnd > i)
        strOut = strText.Mid(i, iEnd - i);
}

int CKorvelBitmapFont::GetTextWidth(const CKorvelString& strText, unsigned int uFlags) const
{
    const int iLength = strText.GetLength();
    if (!iLength)
        return 0;
    const unsigned short* pUnits = strText.GetBuffer();
    int iLine = 0, iLargest = 0;
    for (int i = 0; i < iLength; ++i)
    {
        if (!(uFlags & KE_TEXT_NOTAGS) && ParseTextTags(strText, i, nullptr))
        {
            i += TAG_LENGTH - 1;
            continue;
        }
        if ((uFlags & KE_TEXT_MULTILINE) && IsBreak(pUnits[i]))
        {
            iLine = 0;
            continue;
        }
        if (const SKE_BMFONT_CHAR* pChar = GetCharInfo(pUnits[i]))
        {
            iLine = PenStep(iLine, pChar->iXAdvance);
            if (iLine > iLargest)
                iLargest = iLine;
        }
    }
    const SKE_BMFONT_CHAR* pFirst = GetCharInfo(pUnits[0]);
    const int iFirstOffset = pFirst ? pFirst->iXOffset : 0;
    return static_cast<int>(1.0 + static_cast<float>(iLargest - iFirstOffset) * m_fScale);
}

void CKorvelBitmapFont::ScanForLineFeeds(const CKorvelString& strIn, CKorvelString& strOut,
                                         const CKorvelRect<int>& rect, unsigned int uFlags) const
{
    strOut = strIn;
    const int iLength = strIn.GetLength();
    const unsigned short* pUnits = strIn.GetBuffer();
    const bool bMultiLine = (uFlags & KE_TEXT_MULTILINE) != 0;
    int iLine = 0, iBlank = -1;
    for (int i = 0; i < iLength; ++i)
    {
        if (!(uFlags & KE_TEXT_NOTAGS) && ParseTextTags(strIn, i, nullptr))
        {
            i += TAG_LENGTH - 1;
            continue;
        }
        const unsigned short u = pUnits[i];
        if (IsBreak(u))
        {
            if (bMultiLine)
            {
                iLine = 0;
                iBlank = -1;
            }
            else
                strOut.SetAt(i, 32);
            continue;
        }
        if (u == 32 || u == 9)
            iBlank = i;
        const SKE_BMFONT_CHAR* pChar = GetCharInfo(u);
        if (!pChar)
            continue;
        if (static_cast<int>(PenStep(iLine, pChar->iXAdvance) * m_fScale) + rect.left <= rect.right)
            iLine = PenStep(iLine, pChar->iXAdvance);
        else if (bMultiLine && iBlank >= 0)
        {
            strOut.SetAt(iBlank, 10);
            iLine = 0;
            i = iBlank; // the walk goes on after the new line break
            iBlank = -1;
        }
    }
}

void CKorvelBitmapFont::CalcRect(CKorvelRect<int>& rect, const CKorvelString& strText) const
{
    const int iLength = strText.GetLength();
    const unsigned short* pUnits = strText.GetBuffer();
    const int iWidth = rect.right - rect.left;
    const int iLineHeight = static_cast<int>(static_cast<unsigned int>(m_fScale * m_uLineHeight));
    int y = rect.top, iLine = 0, iWidest = 0, iBlank = -1;
    for (int i = 0; i < iLength; ++i)
    {
        if (ParseTextTags(strText, i, nullptr))
        {
            i += TAG_LENGTH - 1;
            continue;
        }
        const unsigned short u = pUnits[i];
        if (IsBreak(u))
        {
            if (IsCrBeforeLf(pUnits, iLength, i))
                continue;
            const int iLinePixels = static_cast<int>(iLine * m_fScale);
            if (iLinePixels > iWidest)
                iWidest = iLinePixels;
            y = PenStep(y, iLineHeight);
            iLine = 0;
            iBlank = -1;
            continue;
        }
        if (u == 32 || u == 9)
            iBlank = i;
        const SKE_BMFONT_CHAR* pChar = GetCharInfo(u);
        if (!pChar)
            continue;
        const int iPixels = static_cast<int>(PenStep(iLine, pChar->iXAdvance) * m_fScale);
        if (iPixels <= iWidth)
        {
            iLine = PenStep(iLine, pChar->iXAdvance);
            if (iPixels > iWidest)
                iWidest = iPixels;
        }
        else if (iBlank >= 0)
        {
            i = iBlank;
            y = PenStep(y, iLineHeight);
            iLine = 0;
            iBlank = -1;
            iWidest = iWidth;
        }
    }
    const int iLast = static_cast<int>(iLine * m_fScale);
    rect.right = rect.left + (iWidest > iLast ? iWidest : iLast);
    rect.bottom = y + iLineHeight;
}

int CKorvelBitmapFont::LineStartX(const CKorvelRect<int>& rect, const CKorvelString& strLine,
                                  unsigned int uFlags) const
{
    if (!(uFlags & (KE_TEXT_RIGHT | 0x100)))
        return rect.left;
    const int iWidth = GetTextWidth(strLine, 0);
    if (uFlags & 0x100)
        return rect.left + (rect.right - rect.left) / 2 - (iWidth >> 1);
    return rect.right - iWidth;
}

int CKorvelBitmapFont::TextStartY(const CKorvelRect<int>& rect, const CKorvelString& strWrapped,
                                  unsigned int uFlags) const
{
    if (!(uFlags & 0x200))
        return rect.top;
    if (uFlags & KE_TEXT_MULTILINE)
    {
        CKorvelRect<int> r(rect.left, rect.top, rect.right, 0);
        CalcRect(r, strWrapped);
        return rect.top + (rect.bottom - rect.top) / 2 - (r.bottom - r.top) / 2;
    }
    return rect.top + (rect.bottom - rect.top) / 2 -
           static_cast<int>(static_cast<unsigned int>(m_uLineHeight * m_fScale) >> 1);
}

void CKorvelBitmapFont::StartLayout(const CKorvelRect<int>& rect, IKorvelGraphicsContext& target,
                                    const CKorvelString& strText, unsigned int uColor, unsigned int uFlags,
                                    SKE_PRERENDERED_TEXT& record, sPen& pen, bool bScaledOffset) const
{
    record.pTarget = &target;
    record.uZero = 0;
    record.uColor = uColor;
    record.uFlags = uFlags;
    record.rcClip = rect;
    target.m_rcClip.Intersect(rect, &record.rcClip);
    record.aBatches.Clear();
    ScanForLineFeeds(strText, pen.strWrapped, rect, uFlags);
    GetNextLine(pen.strWrapped, 0, pen.strLine);
    pen.x = LineStartX(rect, pen.strLine, uFlags);
    pen.y = TextStartY(rect, pen.strWrapped, uFlags);
    if (const SKE_BMFONT_CHAR* pFirst = GetCharInfo(strText.GetBuffer()[0]))
        pen.x -= bScaledOffset ? static_cast<int>(pFirst->iXOffset * m_fScale) : pFirst->iXOffset;
}

int CKorvelBitmapFont::StepLineBreak(sPen& pen, int i, const CKorvelRect<int>& rect,
                                     unsigned int uFlags) const
{
    const unsigned short* pUnits = pen.strWrapped.GetBuffer();
    if (!IsBreak(pUnits[i]))
        return 0;
    if ((uFlags & KE_TEXT_MULTILINE) && !IsCrBeforeLf(pUnits, pen.strWrapped.GetLength(), i))
    {
        pen.y = PenStep(pen.y, static_cast<unsigned int>(m_uLineHeight * m_fScale));
        GetNextLine(pen.strWrapped, i, pen.strLine);
        pen.x = LineStartX(rect, pen.strLine, uFlags);
    }
    return 1;
}
