// A software surface with a GL texture made directly by the test (nearest filtering,
// so that read-back pixels are exact), for drawing on the GL screen target. Needs a
// current GL context. Header only.
#pragma once

#include <GLES2/gl2.h>
#include <cstdint>
#include <functional>
#include <vector>

#include "KorvelGraphics/KorvelSurface.h"

class CTestTexture : public CKorvelSurface
{
public:
    // colour(x, y) gives each texel as 0xAARRGGBB, alpha premultiplied; row 0 is the top.
    CTestTexture(int iWidth, int iHeight, const std::function<uint32_t(int, int)>& colour)
    {
        SKE_SURFACEDESC desc = {iWidth, iHeight, 0, KE_SURFACE_ABGR8888, 0, 0};
        Create(nullptr, desc);
        std::vector<uint8_t> aBytes(size_t(iWidth) * iHeight * 4);
        for (int y = 0; y < iHeight; ++y)
            for (int x = 0; x < iWidth; ++x)
            {
                const uint32_t argb = colour(x, y);
                uint8_t* p = &aBytes[(size_t(y) * iWidth + x) * 4];
                p[0] = uint8_t(argb >> 16);
                p[1] = uint8_t(argb >> 8);
                p[2] = uint8_t(argb);
                p[3] = uint8_t(argb >> 24);
            }
        glGenTextures(1, &m_uTexture);
        glBindTexture(GL_TEXTURE_2D, m_uTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, iWidth, iHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, aBytes.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    ~CTestTexture()
    {
        glDeleteTextures(1, &m_uTexture);
        m_uTexture = 0;
        Shutdown();
    }
};
