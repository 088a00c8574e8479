// fontgen: makes the project's bitmap fonts from a TrueType font.
//
//   fontgen --ttf FILE --size PX --name NAME --out DIR [--page-size N] [--padding N]
//       writes DIR/NAME.fnt and its pages DIR/NAME_0.png, ... (RGBA: white, alpha = coverage)
//   fontgen --builtin --ttf FILE [--size PX] --out-cpp FILE [--out-png FILE]
//       writes the engine's built-in font: 218 glyphs on one 128 x 128 grey page, line height 10
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "FontAtlas.h"
#include "FontOutput.h"
#include "FontRaster.h"
#include "GlyphSets.h"

namespace
{
const int BUILTIN_PAGE = 128;
const int BUILTIN_LINE = 10;
const int BUILTIN_MAX_GLYPH = 10;

int Usage()
{
    std::fprintf(stderr,
                 "usage: fontgen --ttf FILE --size PX --name NAME --out DIR [--page-size N] [--padding N]\n"
                 "       fontgen --builtin --ttf FILE [--size PX] --out-cpp FILE [--out-png FILE]\n");
    return 2;
}

int Fail(const std::string& strMessage)
{
    std::fprintf(stderr, "fontgen: %s\n", strMessage.c_str());
    return 1;
}

// Renders every glyph of the set that the face has; a missing one is reported and left out.
std::vector<sGlyphBitmap> RenderSet(CFontRaster& raster, const GlyphSet& set)
{
    std::vector<sGlyphBitmap> glyphs;
    for (const auto& entry : set)
    {
        sGlyphBitmap glyph;
        if (!raster.Render(entry.second, glyph))
        {
            std::fprintf(stderr, "fontgen: no glyph for U+%04X, left out\n", entry.second);
            continue;
        }
        glyph.uId = entry.first;
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}

// Copies each glyph's coverage onto its page; iChannels 4 gives white with alpha coverage.
std::vector<std::vector<unsigned char>> PaintPages(const std::vector<sGlyphBitmap>& glyphs,
                                                   const std::vector<sFontGlyph>& placed, int iPageSize,
                                                   int iPageCount, int iChannels)
{
    std::vector<std::vector<unsigned char>> pages(iPageCount);
    for (auto& page : pages)
    {
        page.assign(static_cast<size_t>(iPageSize) * iPageSize * iChannels, 0);
        if (iChannels == 4)
            for (size_t i = 0; i < page.size(); i += 4)
                page[i] = page[i + 1] = page[i + 2] = 255;
    }
    for (size_t i = 0; i < glyphs.size(); ++i)
    {
        const sGlyphBitmap& src = glyphs[i];
        const sFontGlyph& dst = placed[i];
        for (int y = 0; y < dst.iHeight; ++y)
            for (int x = 0; x < dst.iWidth; ++x)
            {
                const size_t uAt = (static_cast<size_t>(dst.iY + y) * iPageSize + dst.iX + x) * iChannels;
                pages[dst.iPage][uAt + iChannels - 1] = src.coverage[static_cast<size_t>(y) * src.iWidth + x];
            }
    }
    return pages;
}

bool Place(const std::vector<sGlyphBitmap>& glyphs, int iPageSize, int iPadding, int iMaxPages,
           std::vector<sFontGlyph>& placed, int& iPageCount)
{
    std::vector<std::pair<int, int>> sizes;
    for (const auto& g : glyphs)
        sizes.emplace_back(g.iWidth, g.iHeight);
    std::vector<sAtlasPlacement> at;
    if (!PackShelves(sizes, iPageSize, iPadding, iMaxPages, at, iPageCount))
        return false;
    for (size_t i = 0; i < glyphs.size(); ++i)
    {
        placed[i].iX = at[i].iX;
        placed[i].iY = at[i].iY;
        placed[i].iPage = at[i].iPage;
    }
    return true;
}

// Fits a rendered glyph into the built-in font's limits: inside a 10-pixel line,
// at most 10 x 10 pixels, x offset -2..1, advance 2..10; blanks become one empty pixel.
void FitBuiltinGlyph(sGlyphBitmap& g, int iBaseline, sFontGlyph& out)
{
    int iYOffset = iBaseline - g.iTop;
    int iSkipRows = 0;
    if (iYOffset < 0)
    {
        iSkipRows = -iYOffset;
        iYOffset = 0;
    }
    const int iHeight = std::min({g.iHeight - iSkipRows, BUILTIN_LINE - iYOffset, BUILTIN_MAX_GLYPH});
    const int iWidth = std::min(g.iWidth, BUILTIN_MAX_GLYPH);
    std::vector<unsigned char> cropped;
    if (iHeight > 0 && iWidth > 0)
    {
        for (int y = 0; y < iHeight; ++y)
            for (int x = 0; x < iWidth; ++x)
                cropped.push_back(g.coverage[static_cast<size_t>(y + iSkipRows) * g.iWidth + x]);
        g.iWidth = iWidth;
        g.iHeight = iHeight;
    }
    else
    {
        cropped.assign(1, 0);
        g.iWidth = g.iHeight = 1;
        iYOffset = BUILTIN_LINE - 1;
    }
    g.coverage.swap(cropped);
    out.uId = g.uId;
    out.iWidth = g.iWidth;
    out.iHeight = g.iHeight;
    out.iXOffset = std::clamp(g.iLeft, -2, 1);
    out.iYOffset = iYOffset;
    out.iXAdvance = std::clamp(g.iAdvance, 2, 10);
}

int MakeBuiltin(std::map<std::string, std::string>& args)
{
    const int iSize = args.count("--size") ? std::atoi(args["--size"].c_str()) : 8;
    if (!args.count("--ttf") || !args.count("--out-cpp"))
        return Usage();
    CFontRaster raster;
    if (!raster.Open(args["--ttf"], iSize))
        return Fail(raster.Error());
    if (raster.GetAscender() > BUILTIN_LINE)
        return Fail("size too large for a 10-pixel line");
    std::vector<sGlyphBitmap> glyphs = RenderSet(raster, BuiltinGlyphSet());
    if (glyphs.size() != BuiltinGlyphSet().size())
        return Fail("the built-in font needs every one of its glyphs");
    sFontDescription desc;
    desc.strFace = raster.GetFamily();
    desc.iSize = iSize;
    desc.iLineHeight = BUILTIN_LINE;
    desc.iBase = raster.GetAscender();
    desc.iPageSize = BUILTIN_PAGE;
    desc.pages.push_back("default_font_image.png");
    desc.glyphs.resize(glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i)
        FitBuiltinGlyph(glyphs[i], raster.GetAscender(), desc.glyphs[i]);
    int iPages = 0;
    if (!Place(glyphs, BUILTIN_PAGE, 1, 1, desc.glyphs, iPages))
        return Fail("the glyphs do not fit one 128 x 128 page");
    std::vector<unsigned char> png;
    if (!EncodePng(BUILTIN_PAGE, BUILTIN_PAGE, 1, PaintPages(glyphs, desc.glyphs, BUILTIN_PAGE, 1, 1)[0],
                   png))
        return Fail("PNG encoding failed");
    const std::string strSource = BuiltinSource(desc, png);
    if (!WriteWholeFile(args["--out-cpp"], strSource.data(), strSource.size()))
        return Fail("cannot write " + args["--out-cpp"]);
    if (args.count("--out-png") && !WriteWholeFile(args["--out-png"], png.data(), png.size()))
        return Fail("cannot write " + args["--out-png"]);
    return 0;
}

int MakeFont(std::map<std::string, std::string>& args)
{
    if (!args.count("--ttf") || !args.count("--size") || !args.count("--name") || !args.count("--out"))
        return Usage();
    const int iSize = std::atoi(args["--size"].c_str());
    const int iPadding = args.count("--padding") ? std::atoi(args["--padding"].c_str()) : 2;
    const std::string strName = args["--name"];
    if (strName.empty() || strName.find('/') != std::string::npos || iPadding < 0 || iPadding > 16)
        return Usage();
    CFontRaster raster;
    if (!raster.Open(args["--ttf"], iSize))
        return Fail(raster.Error());
    std::vector<sGlyphBitmap> glyphs = RenderSet(raster, GameGlyphSet());
    sFontDescription desc;
    desc.strFace = raster.GetFamily();
    desc.iSize = iSize;
    desc.iBold = raster.IsBold() ? 1 : 0;
    desc.iLineHeight = raster.GetLineHeight();
    desc.iBase = raster.GetAscender();
    desc.glyphs.resize(glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i)
    {
        sFontGlyph& g = desc.glyphs[i];
        g.uId = glyphs[i].uId;
        g.iWidth = glyphs[i].iWidth;
        g.iHeight = glyphs[i].iHeight;
        g.iXOffset = glyphs[i].iLeft;
        g.iYOffset = raster.GetAscender() - glyphs[i].iTop;
        g.iXAdvance = glyphs[i].iAdvance;
    }
    // The smallest square page that holds everything; very large sizes spill onto more pages.
    int iPages = 0;
    bool bPlaced = false;
    if (args.count("--page-size"))
    {
        desc.iPageSize = std::atoi(args["--page-size"].c_str());
        bPlaced = desc.iPageSize >= 16 && desc.iPageSize <= 4096 &&
                  Place(glyphs, desc.iPageSize, iPadding, 64, desc.glyphs, iPages);
    }
    else
    {
        for (desc.iPageSize = 64; !bPlaced && desc.iPageSize <= 2048; desc.iPageSize *= 2)
            bPlaced = Place(glyphs, desc.iPageSize, iPadding, 1, desc.glyphs, iPages);
        desc.iPageSize /= 2;
        if (!bPlaced)
            bPlaced = Place(glyphs, desc.iPageSize = 2048, iPadding, 64, desc.glyphs, iPages);
    }
    if (!bPlaced)
        return Fail("the glyphs do not fit the pages");
    const auto pages = PaintPages(glyphs, desc.glyphs, desc.iPageSize, iPages, 4);
    const std::string strDir = args["--out"] + "/";
    for (int p = 0; p < iPages; ++p)
    {
        desc.pages.push_back(strName + "_" + std::to_string(p) + ".png");
        std::vector<unsigned char> png;
        if (!EncodePng(desc.iPageSize, desc.iPageSize, 4, pages[p], png))
            return Fail("PNG encoding failed");
        if (!WriteWholeFile(strDir + desc.pages.back(), png.data(), png.size()))
            return Fail("cannot write " + strDir + desc.pages.back());
    }
    const std::string strFnt = FntText(desc);
    if (!WriteWholeFile(strDir + strName + ".fnt", strFnt.data(), strFnt.size()))
        return Fail("cannot write " + strDir + strName + ".fnt");
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    std::map<std::string, std::string> args;
    bool bBuiltin = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        if (strArg == "--builtin")
            bBuiltin = true;
        else if (strArg.rfind("--", 0) == 0 && i + 1 < argc)
            args[strArg] = argv[++i];
        else
            return Usage();
    }
    return bBuiltin ? MakeBuiltin(args) : MakeFont(args);
}
