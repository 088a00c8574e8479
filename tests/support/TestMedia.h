// Writers of small media files for tests that need real images and sounds.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes an 8-bit PNG; aRGBA holds iWidth*iHeight pixels as R,G,B,A bytes.
// With bAlpha false the file is RGB and the alpha bytes are ignored.
bool WriteTestPng(const std::string& strPath, int iWidth, int iHeight, const std::vector<uint8_t>& aRGBA,
                  bool bAlpha = true);

// Encodes a baseline (or progressive) JPEG; aRGB holds iWidth*iHeight pixels as
// R,G,B bytes. Empty on failure.
std::vector<uint8_t> EncodeTestJpeg(int iWidth, int iHeight, const std::vector<uint8_t>& aRGB, int iQuality = 95,
                                    bool bProgressive = false);

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
