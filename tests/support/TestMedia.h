// Writers of small media files for tests that need real images and sounds.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes an 8-bit PNG; aRGBA holds iWidth*iHeight pixels as R,G,B,A bytes.
// With bAlpha false the file is RGB and the alpha bytes are ignored.
bool WriteTestPng(const std::string& strPath, int iWidth, int iHeight, const std::vector<uint8_t>& aRGBA,
                  bool bAlpha = true);

// A PNG of any colour type, bit depth and interlacing, written with libpng's full
// writer. m_aRows holds the packed rows in the file's own layout; the palette is
// R, G, B triples and m_aTrns the palette's alpha values.
struct sTestPngLayout
{
    unsigned int m_uWidth, m_uHeight;
    int m_iColorType, m_iBitDepth; // PNG_COLOR_TYPE_*, 1..16
    std::vector<uint8_t> m_aRows;
    std::vector<uint8_t> m_aPalette = {};
    std::vector<uint8_t> m_aTrns = {};
    bool m_bInterlace = false;
};
std::vector<uint8_t> EncodeTestPng(const sTestPngLayout& layout);

// Encodes a baseline (or progressive) JPEG; aRGB holds iWidth*iHeight pixels as
// R,G,B bytes. Empty on failure.
std::vector<uint8_t> EncodeTestJpeg(int iWidth, int iHeight, const std::vector<uint8_t>& aRGB,
                                    int iQuality = 95, bool bProgressive = false);

// Writes a PCM WAV file; aSamples are interleaved 16-bit samples, or (for 8 bits)
// values that are narrowed to unsigned bytes by >>8 + 128.
bool WriteTestWav(const std::string& strPath, int iChannels, int iRate, int iBits,
                  const std::vector<int16_t>& aSamples);

// Writes raw bytes to a file.
bool WriteTestFile(const std::string& strPath, const std::vector<uint8_t>& aBytes);
bool WriteTestFile(const std::string& strPath, const std::string& strText);
std::vector<uint8_t> ReadTestFile(const std::string& strPath);

// The source tree (for checked-in test data).
std::string TestSourceDir();
