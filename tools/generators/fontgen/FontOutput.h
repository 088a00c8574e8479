// What fontgen writes: PNG pages, the ".fnt" description and the built-in font source.
#pragma once
#include <string>
#include <vector>

struct sFontGlyph
{
    unsigned int uId = 0;
    int iX = 0, iY = 0, iWidth = 0, iHeight = 0;
    int iXOffset = 0, iYOffset = 0, iXAdvance = 0, iPage = 0;
};

struct sFontDescription
{
    std::string strFace;
    int iSize = 0;
    int iBold = 0;
    int iLineHeight = 0;
    int iBase = 0;
    int iPageSize = 0;
    std::vector<std::string> pages; // page image names, page 0 first
    std::vector<sFontGlyph> glyphs;
};

// iChannels 1 (grey) or 4 (RGBA); compressed at a fixed level with no time stamp,
// so the same pixels always give the same bytes.
bool EncodePng(int iWidth, int iHeight, int iChannels, const std::vector<unsigned char>& pixels,
               std::vector<unsigned char>& png);
bool WriteWholeFile(const std::string& strPath, const void* pData, size_t uSize);

std::string FntText(const sFontDescription& desc);

// C++ source of the built-in font: its glyph table and its embedded page image.
std::string BuiltinSource(const sFontDescription& desc, const std::vector<unsigned char>& png);
