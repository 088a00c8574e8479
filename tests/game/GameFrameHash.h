// The 800 x 600 back buffer of the game tests read back, and its FNV-1a hash for golden
// frames. Header only.
#pragma once

#include <GLES2/gl2.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "support/TestMedia.h"

inline uint32_t Fnv1a(const std::vector<uint8_t>& aBytes)
{
    uint32_t h = 2166136261u;
    for (uint8_t b : aBytes)
        h = (h ^ b) * 16777619u;
    return h;
}

// The frame as RGBA rows, bottom row first; written as a PNG to the file that
// KORVEL_GOLDEN_PNG names, for checking a golden frame by eye.
inline std::vector<uint8_t> ReadGameFrame()
{
    std::vector<uint8_t> aPixels(size_t{800} * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
    if (const char* pOut = std::getenv("KORVEL_GOLDEN_PNG"))
        WriteTestPng(pOut, 800, 600, aPixels);
    return aPixels;
}
