// The built-in font's data: its glyph table and its page image (a grey PNG), made by
// tools/generators/fontgen in KorvelBitmapFontDefaultData.cpp.
#pragma once
#include "KorvelGraphics/KorvelBitmapFont.h"

enum
{
    KE_DEFAULTFONT_CHARS = 218,
    KE_DEFAULTFONT_LINEHEIGHT = 10
};

extern const CKorvelBitmapFont::SKE_BMFONT_CHAR g_KEDefaultFontChars[KE_DEFAULTFONT_CHARS];
extern const unsigned char g_KEDefaultFontImage[];
extern const unsigned int g_KEDefaultFontImageSize;
