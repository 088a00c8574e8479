// The surface's GL texture mirror: making the texture for a GL format and type, uploading
// the pixels (as they are, or packed for the texture), software mipmap levels, restore
// after a context loss and release.
//
// Sections: format table and packing - making and releasing - uploading - mipmap levels.
#include <GLES2/gl2.h>
#include <memory>
#include <new>
#include <vector>

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelGraphics/KorvelApplication.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{

const GLenum GL_TEXTURE_MAX_LEVEL_APPLE_ = 0x813D;

// ---------------------------------------------------------- format table and packing

// Bytes per uploaded pixel of an accepted format and type pair; 0 for a refused pair.
// RGBA takes only the 16-bit types that have a packing here besides bytes.
unsigned int UploadBytes(unsigned int uFormat, unsigned int uType)
{
    if (uFormat == GL_RGB)
        return uType == GL_UNSIGNED_BYTE ? 3 : uType == GL_UNSIGNED_SHORT_5_6_5 ? 2 : 0;
    if (uFormat == GL_RGBA)
        return uType == GL_UNSIGNED_BYTE                                                    ? 4
               : (uType == GL_UNSIGNED_SHORT_4_4_4_4 || uType == GL_UNSIGNED_SHORT_5_5_5_1) ? 2
                                                                                            : 0;
    return 0;
}

// Whether the surface's own pixels already have the texture's layout.
bool IsDirectUpload(eKET_SURFACEFORMAT eFormat, unsigned int uGLFormat, unsigned int uGLType)
{
    return (eFormat == KE_SURFACE_RGB565 && uGLFormat == GL_RGB && uGLType == GL_UNSIGNED_SHORT_5_6_5) ||
           (eFormat == KE_SURFACE_ABGR8888 && uGLFormat == GL_RGBA && uGLType == GL_UNSIGNED_BYTE);
}

// One 0xAARRGGBB colour packed for the texture at pOut.
void PackTexel(unsigned int argb, unsigned int uFormat, unsigned int uType, unsigned char* pOut)
{
    const unsigned int a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    unsigned short uWord = 0;
    switch (uType)
    {
    case GL_UNSIGNED_BYTE:
        pOut[0] = static_cast<unsigned char>(r);
        pOut[1] = static_cast<unsigned char>(g);
        pOut[2] = static_cast<unsigned char>(b);
        if (uFormat == GL_RGBA)
            pOut[3] = static_cast<unsigned char>(a);
        return;
    case GL_UNSIGNED_SHORT_4_4_4_4:
        uWord = static_cast<unsigned short>((r >> 4) << 12 | (g >> 4) << 8 | (b >> 4) << 4 | a >> 4);
        break;
    case GL_UNSIGNED_SHORT_5_5_5_1:
        uWord = static_cast<unsigned short>((r >> 3) << 11 | (g >> 3) << 6 | (b >> 3) << 1 | (a ? 1 : 0));
        break;
    case GL_UNSIGNED_SHORT_5_6_5:
        uWord = static_cast<unsigned short>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
        break;
    default:
        return;
    }
    // GL reads 16-bit texels as native shorts.
    *reinterpret_cast<unsigned short*>(pOut) = uWord;
}

void PackRow(const unsigned int* pArgb, size_t uCount, unsigned int uFormat, unsigned int uType,
             unsigned int uBytesPerPixel, unsigned char* pOut)
{
    for (size_t i = 0; i < uCount; ++i, pOut += uBytesPerPixel)
        PackTexel(pArgb[i], uFormat, uType, pOut);
}

// Rows of upload data are packed without padding; GL's default row alignment is 4.
class CUnpackAlignment
{
public:
    CUnpackAlignment()
    {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &m_iSaved);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    ~CUnpackAlignment() { glPixelStorei(GL_UNPACK_ALIGNMENT, m_iSaved); }

private:
    GLint m_iSaved = 4;
};

// ---------------------------------------------------------- mipmap levels

// A level of w x h colours 0xAARRGGBB shrunk from a source of sw x sh with the box of the
// surface blits' box-averaging shrink: steps ((sw + 1) << 16) / w, boxes (step >> 16) + 1
// wide, every channel (alpha too) averaged over the box pixels inside the source.
template <class TGet>
void ShrinkLevel(TGet get, int sw, int sh, int w, int h, std::vector<unsigned int>& aOut)
{
    const long long sx = (static_cast<long long>(sw + 1) << 16) / w;
    const long long sy = (static_cast<long long>(sh + 1) << 16) / h;
    const int iBoxW = static_cast<int>(sx >> 16) + 1, iBoxH = static_cast<int>(sy >> 16) + 1;
    aOut.resize(static_cast<size_t>(w) * h);
    for (int j = 0; j < h; ++j)
    {
        const int iTop = static_cast<int>((j * sy) >> 16);
        for (int i = 0; i < w; ++i)
        {
            const int iLeft = static_cast<int>((i * sx) >> 16);
            unsigned int auSum[4] = {0, 0, 0, 0};
            unsigned int uCount = 0;
            for (int v = iTop; v < iTop + iBoxH && v < sh; ++v)
                for (int u = iLeft; u < iLeft + iBoxW && u < sw; ++u)
                {
                    const unsigned int c = get(u, v);
                    for (int k = 0; k < 4; ++k)
                        auSum[k] += (c >> (8 * k)) & 0xFF;
                    ++uCount;
                }
            if (uCount == 0)
                uCount = 1;
            unsigned int argb = 0;
            for (int k = 0; k < 4; ++k)
                argb |= (auSum[k] / uCount) << (8 * k);
            aOut[static_cast<size_t>(j) * w + i] = argb;
        }
    }
}

} // namespace

// ---------------------------------------------------------- making and releasing

KE_RETVAL CKorvelSurface::SurfaceToTexture(unsigned int uGLFormat, unsigned int uGLType,
                                           unsigned int uMipmaps)
{
    if (!m_pPixels)
        return KE_ERR_BADDATA;
    ReleaseTexture();
    if (!UploadBytes(uGLFormat, uGLType))
        return KE_ERR_DECODE;

    GLuint uName = 0;
    glGenTextures(1, &uName);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, uName);
    const int iWidth = m_desc.iWidth, iHeight = m_desc.iHeight;
    glTexImage2D(GL_TEXTURE_2D, 0, uGLFormat, iWidth, iHeight, 0, uGLFormat, uGLType, nullptr);
    // The flag follows the texture just made, so refreshes never write levels that were
    // not allocated.
    m_uMipmaps = 0;
    if (uMipmaps && CKorvelMath::IsPowerOfTwo(iWidth) && CKorvelMath::IsPowerOfTwo(iHeight))
    {
        int iLevel = 1;
        for (int w = iWidth / 2, h = iHeight / 2; w >= 1 || h >= 1; w /= 2, h /= 2, ++iLevel)
        {
            w = w < 1 ? 1 : w;
            h = h < 1 ? 1 : h;
            glTexImage2D(GL_TEXTURE_2D, iLevel, uGLFormat, w, h, 0, uGLFormat, uGLType, nullptr);
        }
        m_uMipmaps = 1;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    m_uGLFormat = uGLFormat;
    m_uGLType = uGLType;
    m_uTexture = uName;

    const KE_RETVAL ret = SyncToTexture();
    if (ret != KE_OK)
    {
        ReleaseTexture();
        return ret;
    }
    return KE_OK;
}

KE_RETVAL CKorvelSurface::SurfaceToTexture(unsigned int uMipmaps)
{
    if (GetBpp() > 31)
        return SurfaceToTexture(GL_RGBA, GL_UNSIGNED_BYTE, uMipmaps);
    // A separate alpha plane needs a texture with alpha: 5-6-5 has none.
    if (m_pAlpha)
        return SurfaceToTexture(GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, uMipmaps);
    return SurfaceToTexture(GL_RGB, GL_UNSIGNED_SHORT_5_6_5, uMipmaps);
}

KE_RETVAL CKorvelSurface::RestoreTexture()
{
    if (!m_pPixels || !m_uGLFormat || !m_uGLType)
        return KE_ERR_BADDATA;
    return SurfaceToTexture(m_uGLFormat, m_uGLType, m_uMipmaps);
}

void CKorvelSurface::ReleaseTexture()
{
    if (m_uTexture)
    {
        GLuint uName = m_uTexture;
        glDeleteTextures(1, &uName);
    }
    m_uTexture = 0;
}

unsigned char* CKorvelSurface::ConvertToTextureFormat(unsigned int uGLFormat, unsigned int uGLType,
                                                      unsigned int uBytesPerPixel,
                                                      CKorvelSurface& source) const
{
    if (UploadBytes(uGLFormat, uGLType) != uBytesPerPixel || !uBytesPerPixel)
        return nullptr;
    const int w = source.m_desc.iWidth, h = source.m_desc.iHeight;
    unsigned char* pOut = new (std::nothrow) unsigned char[static_cast<size_t>(w) * h * uBytesPerPixel];
    if (!pOut)
        return nullptr;
    // Row by row: a call per pixel costs more than the packing itself.
    std::unique_ptr<unsigned int[]> pRow(new (std::nothrow) unsigned int[w > 0 ? w : 1]);
    if (!pRow)
    {
        delete[] pOut;
        return nullptr;
    }
    const size_t uRowBytes = static_cast<size_t>(w) * uBytesPerPixel;
    for (int y = 0; y < h; ++y)
    {
        source.ReadRowDIB(0, y, w, false, pRow.get());
        PackRow(pRow.get(), static_cast<size_t>(w), uGLFormat, uGLType, uBytesPerPixel, pOut + y * uRowBytes);
    }
    source.m_uLockFlags = 1; // as reading through GetPixelDIB leaves it
    return pOut;
}

// ---------------------------------------------------------- uploading

KE_RETVAL CKorvelSurface::SyncToTexture()
{
    if (!m_pPixels || !m_uTexture)
        return KE_ERR_BADDATA;
    const unsigned int uBytes = UploadBytes(m_uGLFormat, m_uGLType);
    if (!uBytes)
        return KE_ERR_DECODE;
    const int iWidth = m_desc.iWidth, iHeight = m_desc.iHeight;
    unsigned char* pConverted = nullptr;
    if (!IsDirectUpload(m_desc.eFormat, m_uGLFormat, m_uGLType))
    {
        pConverted = ConvertToTextureFormat(m_uGLFormat, m_uGLType, uBytes, *this);
        if (!pConverted)
            return KE_ERR_OUTOFMEMORY;
    }

    CUnpackAlignment alignment;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m_uTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, iWidth, iHeight, m_uGLFormat, m_uGLType,
                    pConverted ? pConverted : m_pPixels);
    delete[] pConverted;

    // Levels are made in plain buffers and go into this texture while it stays bound.
    int iLevels = 0;
    if (m_uMipmaps)
    {
        try
        {
            std::vector<unsigned int> aPrevious, aLevel;
            std::vector<unsigned char> aUpload;
            int pw = iWidth, ph = iHeight;
            for (int w = iWidth / 2, h = iHeight / 2; w >= 1 || h >= 1; w /= 2, h /= 2)
            {
                w = w < 1 ? 1 : w;
                h = h < 1 ? 1 : h;
                if (iLevels == 0)
                {
                    // The surface's colours, read once row by row, are the first level's source.
                    aPrevious.resize(static_cast<size_t>(pw) * ph);
                    for (int y = 0; y < ph; ++y)
                        ReadRowDIB(0, y, pw, false, &aPrevious[static_cast<size_t>(y) * pw]);
                    m_uLockFlags = 1; // as reading through GetPixelDIB leaves it
                }
                ShrinkLevel([&aPrevious, pw](int u, int v)
                            { return aPrevious[static_cast<size_t>(v) * pw + u]; },
                            pw, ph, w, h, aLevel);
                aUpload.resize(aLevel.size() * uBytes);
                PackRow(aLevel.data(), aLevel.size(), m_uGLFormat, m_uGLType, uBytes, aUpload.data());
                ++iLevels;
                glTexSubImage2D(GL_TEXTURE_2D, iLevels, 0, 0, w, h, m_uGLFormat, m_uGLType, aUpload.data());
                aPrevious.swap(aLevel);
                pw = w;
                ph = h;
            }
        }
        catch (const std::bad_alloc&)
        {
            glBindTexture(GL_TEXTURE_2D, 0);
            return KE_ERR_OUTOFMEMORY;
        }
    }

    IKorvelGraphicsContext* pBack = m_pApp ? m_pApp->GetBack() : nullptr;
    if (pBack &&
        (pBack->GetContextType() == KE_CONTEXT_GLES2 || pBack->GetContextType() == KE_CONTEXT_GL_OTHER))
    {
        const CKorvelGraphicsExt_GLES2* pGL = dynamic_cast<const CKorvelGraphicsExt_GLES2*>(pBack);
        if (pGL && pGL->HasTextureMaxLevel())
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL_APPLE_, iLevels);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, m_uMipmaps ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    return KE_OK;
}
