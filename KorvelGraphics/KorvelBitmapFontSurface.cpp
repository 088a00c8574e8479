// Bitmap font text on software surfaces: one entry per glyph, clipped, then the page
// coverage written (solid or blended) into the surface's pixels.
#include "KorvelGraphics/KorvelBitmapFont.h"

#include "KorvelGraphics/KorvelPaletteProvider.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
// Channel layouts of the 16-bit formats: bits of red, green, blue.
struct sLAYOUT16
{
    int iRed, iGreen, iBlue;
};

bool Layout16(eKET_SURFACEFORMAT eFormat, sLAYOUT16& out)
{
    switch (eFormat)
    {
    case KE_SURFACE_RGB444:
        out = {4, 4, 4};
        return true;
    case KE_SURFACE_RGB555:
        out = {5, 5, 5};
        return true;
    case KE_SURFACE_RGB565:
        out = {5, 6, 5};
        return true;
    default:
        return false;
    }
}

unsigned int Pack16(const sLAYOUT16& l, unsigned int r, unsigned int g, unsigned int b)
{
    return ((r >> (8 - l.iRed)) << (l.iGreen + l.iBlue)) | ((g >> (8 - l.iGreen)) << l.iBlue) |
           (b >> (8 - l.iBlue));
}

unsigned int LutIndex(unsigned int r, unsigned int g, unsigned int b)
{
    return ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4);
}

// (destination x (65536 - k) + colour x k) >> 16 for 8-bit channels.
unsigned int Mix(unsigned int uDst, unsigned int uSrc, unsigned int k)
{
    return (uDst * (65536 - k) + uSrc * k) >> 16;
}

// One 8-bit channel of a packed field of iBits bits at iShift, shifted up to 8 bits.
unsigned int Field(unsigned int uPixel, int iShift, int iBits)
{
    return ((uPixel >> iShift) & ((1u << iBits) - 1)) << (8 - iBits);
}
} // namespace

void CKorvelBitmapFont::DrawTextToSurface(const CKorvelRect<int>& rect, CKorvelSurface& target,
                                          const CKorvelString& strText, unsigned int uColor,
                                          unsigned int uFlags, SKE_PRERENDERED_TEXT& record)
{
    if (!m_aPages.GetCount())
        return;
    const bool bClip = !(uFlags & 0x10);
    if (bClip && (rect.top >= target.m_rcClip.bottom || rect.left >= target.m_rcClip.right))
        return;
    sPen pen;
    StartLayout(rect, target, strText, uColor, uFlags, record, pen, false);
    // Without clipping the glyphs are still kept inside the surface's memory.
    const CKorvelRect<int> rcLimit =
        bClip ? record.rcClip : CKorvelRect<int>(0, 0, target.GetWidth(), target.GetHeight());

    unsigned int uCurrent = uColor;
    const CKorvelString& strWrapped = pen.strWrapped;
    for (int i = 0; i < strWrapped.GetLength(); ++i)
    {
        if (!(uFlags & KE_TEXT_NOTAGS) && ParseTextTags(strWrapped, i, &uCurrent))
        {
            i += TAG_LENGTH - 1;
            continue;
        }
        if (StepLineBreak(pen, i, rect, uFlags))
            continue;
        const SKE_BMFONT_CHAR* pChar = GetCharInfo(strWrapped.GetBuffer()[i]);
        if (!pChar)
            continue;
        const int iPenX = pen.x;
        pen.x = PenStep(pen.x, pChar->iXAdvance);
        const SKE_BMFONT_IMAGE* pPage = PageAt(pChar->iPage);
        // Rectangles that leave their page come from a broken description.
        if (!pPage->pBits || pChar->iX < 0 || pChar->iY < 0 || pChar->iWidth <= 0 || pChar->iHeight <= 0 ||
            pChar->iX > pPage->iWidth - pChar->iWidth || pChar->iY > pPage->iHeight - pChar->iHeight)
            continue;
        int gx = iPenX + pChar->iXOffset, gy = pen.y + pChar->iYOffset;
        int w = pChar->iWidth, h = pChar->iHeight;
        const unsigned char* pCoverage =
            pPage->pBits + static_cast<size_t>(pChar->iY) * pPage->iWidth + pChar->iX;
        if (gx + w > rcLimit.right)
            w = rcLimit.right - gx;
        if (gy + h > rcLimit.bottom)
            h = rcLimit.bottom - gy;
        if (w <= 0 || h <= 0 || gx + w <= rcLimit.left || gy + h <= rcLimit.top)
            continue;
        if (gy < rcLimit.top)
        {
            pCoverage += static_cast<size_t>(rcLimit.top - gy) * pPage->iWidth;
            h -= rcLimit.top - gy;
            gy = rcLimit.top;
        }
        if (gx < rcLimit.left)
        {
            pCoverage += rcLimit.left - gx;
            w -= rcLimit.left - gx;
            gx = rcLimit.left;
        }
        auto* pEntry = new SKE_TEXT_BATCH();
        pEntry->pGlyph = pChar;
        pEntry->uColor = uCurrent;
        pEntry->pCoverage = pCoverage;
        pEntry->iX = gx;
        pEntry->iY = gy;
        pEntry->iWidth = w;
        pEntry->iHeight = h;
        pEntry->iGlyphs = 1;
        if (record.aBatches.Add(pEntry) < 0)
            delete pEntry;
    }
    DrawTextPrerendered(record);
}

void CKorvelBitmapFont::DrawGlyphsToSurface(const SKE_PRERENDERED_TEXT& record)
{
    CKorvelSurface& surface = static_cast<CKorvelSurface&>(*record.pTarget);
    SKE_SURFACEDESC desc;
    unsigned char* pPixels = static_cast<unsigned char*>(surface.Lock(&desc, 2));
    const bool bBlend = (record.uFlags & 0x80) != 0;
    const unsigned int* pPalette = CKorvelPaletteProvider::GetPalette(surface.GetApplication());
    const unsigned char* pLut = CKorvelPaletteProvider::GetLookupTable(surface.GetApplication());
    sLAYOUT16 layout = {0, 0, 0};
    const bool b16 = Layout16(desc.eFormat, layout);
    const bool b32 = desc.eFormat == KE_SURFACE_ARGB8888 || desc.eFormat == KE_SURFACE_ABGR8888;
    const bool b8 = desc.eFormat == KE_SURFACE_P8 && pLut;
    for (int e = 0; pPixels && (b16 || b32 || b8) && e < record.aBatches.GetCount(); ++e)
    {
        const SKE_TEXT_BATCH& entry = *record.aBatches[e];
        unsigned int c = entry.uColor;
        if (desc.eFormat == KE_SURFACE_ABGR8888)
            c = (c & 0xFF00FF00) | ((c >> 16) & 0xFF) | ((c & 0xFF) << 16);
        const unsigned int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF, a = c >> 24;
        const int iStride = PageAt(entry.pGlyph->iPage)->iWidth;
        for (int row = 0; row < entry.iHeight; ++row)
        {
            unsigned char* pRow = pPixels + static_cast<long>(entry.iY + row) * desc.iPitch;
            const unsigned char* pCov = entry.pCoverage + static_cast<size_t>(row) * iStride;
            for (int col = 0; col < entry.iWidth; ++col)
            {
                const unsigned int uCov = pCov[col];
                const unsigned int k = uCov * a;
                if (!uCov || (bBlend && !k))
                    continue;
                const int px = entry.iX + col;
                if (b32)
                {
                    unsigned int* p = reinterpret_cast<unsigned int*>(pRow) + px;
                    if (!bBlend)
                        *p = (r << 16) | (g << 8) | b;
                    else
                        *p = (*p & 0xFF000000) | (Mix((*p >> 16) & 0xFF, r, k) << 16) |
                             (Mix((*p >> 8) & 0xFF, g, k) << 8) | Mix(*p & 0xFF, b, k);
                }
                else if (b16)
                {
                    unsigned short* p = reinterpret_cast<unsigned short*>(pRow) + px;
                    if (!bBlend)
                        *p = static_cast<unsigned short>(Pack16(layout, r, g, b));
                    else
                    {
                        const int iGB = layout.iGreen + layout.iBlue;
                        *p = static_cast<unsigned short>(
                            Pack16(layout, Mix(Field(*p, iGB, layout.iRed), r, k),
                                   Mix(Field(*p, layout.iBlue, layout.iGreen), g, k),
                                   Mix(Field(*p, 0, layout.iBlue), b, k)));
                    }
                }
                else
                {
                    unsigned char* p = pRow + px;
                    if (!bBlend || !pPalette)
                        *p = pLut[LutIndex(r, g, b)];
                    else
                    {
                        // Blend with the palette colour of the index, then back to the nearest index.
                        const unsigned int d = pPalette[*p];
                        *p = pLut[LutIndex(Mix((d >> 16) & 0xFF, r, k), Mix((d >> 8) & 0xFF, g, k),
                                           Mix(d & 0xFF, b, k))];
                    }
                }
            }
        }
    }
    surface.Unlock();
}
