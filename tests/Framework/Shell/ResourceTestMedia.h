// Pack items for the resource manager's tests, made with the shared media writers:
// pictures, sounds and a small bitmap font, as the bytes a pack stores. Header only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/TestAudio.h"
#include "support/TestMedia.h"
#include "support/TestPack.h"
#include "support/TestTempDir.h"

inline std::string ResourceBytes(const std::vector<uint8_t>& aBytes)
{
    return std::string(aBytes.begin(), aBytes.end());
}

// A PNG of one colour (R, G, B, A bytes) through a scratch file.
inline std::string SolidPng(int iWidth, int iHeight, uint32_t uRGBA = 0xFF0000FFu)
{
    std::vector<uint8_t> aRGBA;
    for (int i = 0; i < iWidth * iHeight; ++i)
        for (int c = 0; c < 4; ++c)
            aRGBA.push_back(static_cast<uint8_t>(uRGBA >> (24 - 8 * c)));
    CTestTempDir dir;
    WriteTestPng(dir.File("solid.png"), iWidth, iHeight, aRGBA);
    return ResourceBytes(ReadTestFile(dir.File("solid.png")));
}

// A grey JPEG.
inline std::string GreyJpeg(int iWidth, int iHeight, uint8_t uLevel)
{
    return ResourceBytes(EncodeTestJpeg(
        iWidth, iHeight, std::vector<uint8_t>(static_cast<size_t>(iWidth) * iHeight * 3, uLevel), 100));
}

// A mono 16-bit WAV of a sine, iFrames long.
inline std::string SineWav(int iFrames = 2205)
{
    CTestTempDir dir;
    WriteTestWav(dir.File("s.wav"), 1, 22050, 16, TestSine16(1, 22050, iFrames, 440.0f, 0.5f));
    return ResourceBytes(ReadTestFile(dir.File("s.wav")));
}

// "/kmp.meta" options: image and font original sizes (0 leaves them out), separate alpha,
// and the image files without mipmaps.
inline std::string PackMeta(int iImageSize, int iFontSize, bool bSeparateAlpha = false,
                            const std::vector<std::string>& aNoMipmaps = {})
{
    std::string s = "<kmp>\n<image>\n";
    if (iImageSize)
        s += "<original_size value=\"" + std::to_string(iImageSize) + "\"/>\n";
    s += std::string("<separate_alpha value=\"") + (bSeparateAlpha ? "1" : "0") + "\"/>\n<files>\n";
    for (const std::string& strFile : aNoMipmaps)
        s += "<file path=\"" + strFile + "\" no_mipmaps=\"1\"/>\n";
    s += "</files>\n</image>\n<font>\n";
    if (iFontSize)
        s += "<original_size value=\"" + std::to_string(iFontSize) + "\"/>\n";
    return s + "</font>\n</kmp>\n";
}
