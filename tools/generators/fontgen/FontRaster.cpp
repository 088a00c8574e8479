#include "FontRaster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace
{
// 26.6 fixed point to whole pixels, rounded.
int Round26_6(long lValue)
{
    return static_cast<int>((lValue + 32) >> 6);
}
} // namespace

CFontRaster::CFontRaster() = default;

CFontRaster::~CFontRaster()
{
    if (m_pFace)
        FT_Done_Face(static_cast<FT_Face>(m_pFace));
    if (m_pLibrary)
        FT_Done_FreeType(static_cast<FT_Library>(m_pLibrary));
}

bool CFontRaster::Open(const std::string& strPath, int iPixelSize)
{
    if (iPixelSize < 1 || iPixelSize > 512)
    {
        m_strError = "pixel size must be 1..512";
        return false;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library))
    {
        m_strError = "FreeType did not start";
        return false;
    }
    m_pLibrary = library;
    FT_Face face = nullptr;
    if (FT_New_Face(library, strPath.c_str(), 0, &face))
    {
        m_strError = "cannot open font " + strPath;
        return false;
    }
    m_pFace = face;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(iPixelSize)))
    {
        m_strError = "the font has no size " + std::to_string(iPixelSize);
        return false;
    }
    m_iAscender = Round26_6(face->size->metrics.ascender);
    m_iLineHeight = Round26_6(face->size->metrics.height);
    m_bBold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    m_strFamily = face->family_name ? face->family_name : "";
    if (face->style_name && *face->style_name && std::string(face->style_name) != "Book")
        m_strFamily += std::string(" ") + face->style_name;
    return true;
}

bool CFontRaster::Render(unsigned int uCodePoint, sGlyphBitmap& out)
{
    FT_Face face = static_cast<FT_Face>(m_pFace);
    if (!face)
        return false;
    FT_UInt uIndex = FT_Get_Char_Index(face, uCodePoint);
    if (!uIndex)
        return false;
    if (FT_Load_Glyph(face, uIndex, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT))
        return false;
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows && bitmap.width)
        return false;
    out.iWidth = static_cast<int>(bitmap.width);
    out.iHeight = static_cast<int>(bitmap.rows);
    out.iLeft = slot->bitmap_left;
    out.iTop = slot->bitmap_top;
    out.iAdvance = Round26_6(slot->advance.x);
    out.coverage.assign(static_cast<size_t>(out.iWidth) * out.iHeight, 0);
    for (int y = 0; y < out.iHeight; ++y)
    {
        const unsigned char* pRow = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
        for (int x = 0; x < out.iWidth; ++x)
            out.coverage[static_cast<size_t>(y) * out.iWidth + x] = pRow[x];
    }
    return true;
}
