// One TrueType face at one pixel size, rendered glyph by glyph into grey coverage.
#pragma once
#include <string>
#include <vector>

struct sGlyphBitmap
{
    unsigned int uId = 0; // the id written to the description (code unit or 8-bit slot)
    int iWidth = 0;
    int iHeight = 0;
    int iLeft = 0;                       // pen to the bitmap's left edge
    int iTop = 0;                        // baseline to the bitmap's top row (up is positive)
    int iAdvance = 0;                    // pen advance in whole pixels
    std::vector<unsigned char> coverage; // iWidth x iHeight, rows top to bottom
};

class CFontRaster
{
public:
    CFontRaster();
    ~CFontRaster();
    CFontRaster(const CFontRaster&) = delete;
    CFontRaster& operator=(const CFontRaster&) = delete;

    // Opens the face and sets the pixel size; false with a message in Error().
    bool Open(const std::string& strPath, int iPixelSize);
    // Renders the character uCodePoint; false when the face has no glyph for it.
    bool Render(unsigned int uCodePoint, sGlyphBitmap& out);

    int GetAscender() const { return m_iAscender; }
    int GetLineHeight() const { return m_iLineHeight; }
    bool IsBold() const { return m_bBold; }
    const std::string& GetFamily() const { return m_strFamily; }
    const std::string& Error() const { return m_strError; }

private:
    void* m_pLibrary = nullptr; // FT_Library
    void* m_pFace = nullptr;    // FT_Face
    int m_iAscender = 0;
    int m_iLineHeight = 0;
    bool m_bBold = false;
    std::string m_strFamily;
    std::string m_strError;
};
