// Text widget wrapping: a word wider than a row is broken across rows. The font wraps at
// blanks only and lets such a word run past the row's end, where its tail is cut away.
#include "Framework/UI/TextWidget.h"

#include <vector>

#include "KorvelGraphics/KorvelBitmapFont.h"

namespace
{
bool IsLineBreak(unsigned short u)
{
    return u == 10 || u == 13;
}

// The font's pen step: a line's width in font units, held within its pen limit.
int Advance(int iLine, int iBy)
{
    const long long llMax = CKorvelBitmapFont::MAX_PEN;
    const long long ll = static_cast<long long>(iLine) + iBy;
    return static_cast<int>(ll > llMax ? llMax : (ll < -llMax ? -llMax : ll));
}
} // namespace

CKorvelString CTextWidget::BreakLongWords(const CKorvelBitmapFont& font, const CKorvelString& strText,
                                          int iWidth, unsigned int uFlags)
{
    // The font's own walk (blanks, tags and breaks as it reads them), noting where a row
    // holds no blank to break at and the next character would not fit.
    const int iLength = strText.GetLength();
    const unsigned short* pUnits = strText.GetBuffer();
    const float fScale = font.GetFontScale();
    const bool bTags = !(uFlags & KE_TEXT_NOTAGS);
    std::vector<int> aBreaks;
    int iLine = 0, iBlank = -1;
    for (int i = 0; i < iLength; ++i)
    {
        if (bTags && font.ParseTextTags(strText, i, nullptr))
        {
            i += CKorvelBitmapFont::TAG_LENGTH - 1;
            continue;
        }
        const unsigned short u = pUnits[i];
        if (IsLineBreak(u))
        {
            iLine = 0;
            iBlank = -1;
            continue;
        }
        if (u == 32 || u == 9)
            iBlank = i;
        const CKorvelBitmapFont::SKE_BMFONT_CHAR* pChar = font.GetCharInfo(u);
        if (!pChar)
            continue;
        auto fnFits = [&](int iFrom)
        { return static_cast<int>(static_cast<float>(Advance(iFrom, pChar->iXAdvance)) * fScale) <= iWidth; };
        if (fnFits(iLine))
            iLine = Advance(iLine, pChar->iXAdvance);
        else if (iBlank >= 0)
        {
            // The font breaks at the blank and reads on after it.
            iLine = 0;
            i = iBlank;
            iBlank = -1;
        }
        else if (iLine > 0)
        {
            aBreaks.push_back(i);
            iLine = fnFits(0) ? Advance(0, pChar->iXAdvance) : 0;
        }
    }
    if (aBreaks.empty())
        return strText;
    std::vector<unsigned short> aOut;
    aOut.reserve(static_cast<size_t>(iLength) + aBreaks.size() + 1);
    size_t uNext = 0;
    for (int i = 0; i < iLength; ++i)
    {
        if (uNext < aBreaks.size() && aBreaks[uNext] == i)
        {
            aOut.push_back(10);
            ++uNext;
        }
        aOut.push_back(pUnits[i]);
    }
    aOut.push_back(0);
    return CKorvelString(aOut.data());
}
