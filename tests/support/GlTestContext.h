// A real OpenGL ES 2.0 context on Mesa with no X server: EGL surfaceless
// platform and a pbuffer, for tests that draw and read pixels back.
#pragma once
#include <EGL/egl.h>
#include <cstdint>
#include <string>

class CGlTestContext
{
public:
    // iRedBits/iGreenBits/iBlueBits pick the config by exact sizes (8/8/8 or 5/6/5).
    CGlTestContext(int iWidth = 64, int iHeight = 64, int iRedBits = 8, int iGreenBits = 8, int iBlueBits = 8,
                   int iAlphaBits = 0);
    ~CGlTestContext();
    CGlTestContext(const CGlTestContext&) = delete;
    CGlTestContext& operator=(const CGlTestContext&) = delete;

    bool IsValid() const { return m_pContext != EGL_NO_CONTEXT; }
    const std::string& GetError() const { return m_strError; }
    bool MakeCurrent();
    // Pixel at (iX, iY) with y counted from the top of the picture, as 0xAABBGGRR bytes RGBA.
    uint32_t ReadPixel(int iX, int iY) const;
    EGLDisplay GetDisplay() const { return m_pDisplay; }
    EGLSurface GetSurface() const { return m_pSurface; }
    EGLConfig GetConfig() const { return m_pConfig; }

private:
    EGLDisplay m_pDisplay = EGL_NO_DISPLAY;
    EGLSurface m_pSurface = EGL_NO_SURFACE;
    EGLContext m_pContext = EGL_NO_CONTEXT;
    EGLConfig m_pConfig = nullptr;
    int m_iWidth;
    int m_iHeight;
    std::string m_strError;
};

// Pixel of the current GL drawing buffer of the given height, y from the top, as ReadPixel gives it.
uint32_t ReadGlPixel(int iX, int iY, int iHeight);

// Channels of a pixel read with ReadPixel.
inline int PixelR(uint32_t uPixel)
{
    return uPixel & 0xFF;
}
inline int PixelG(uint32_t uPixel)
{
    return (uPixel >> 8) & 0xFF;
}
inline int PixelB(uint32_t uPixel)
{
    return (uPixel >> 16) & 0xFF;
}
inline int PixelA(uint32_t uPixel)
{
    return (uPixel >> 24) & 0xFF;
}
