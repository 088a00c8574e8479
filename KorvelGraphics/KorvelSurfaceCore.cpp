// Surface life cycle, locking, clip rectangle, coordinates, pixel access, colour packing,
// sprite sheet and colour key.
#include "KorvelGraphics/KorvelPaletteProvider.h"
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <climits>
#include <cstring>
#include <new>

using namespace KorvelPixel;

CKorvelSurface::CKorvelSurface()
    : m_pPixels(nullptr), m_auDC{0, 0, 0}, m_desc(), m_uColorKey(0), m_uBlockSize(0), m_bOwnsPixels(0),
      m_uLockFlags(0), m_pAlpha(nullptr), m_iSubFrameWidth(0), m_iSubFrameHeight(0), m_iSubFrameColumns(0),
      m_iSubFrameRows(0), m_pApp(nullptr), m_uTexture(0), m_uMipmaps(0), m_uGLFormat(0), m_uGLType(0)
{
}

CKorvelSurface::~CKorvelSurface() {}

KE_RETVAL CKorvelSurface::Create(IKorvelApplication* pApp, SKE_SURFACEDESC& desc)
{
    Shutdown();
    m_pApp = pApp;
    // A negative size would make a negative pitch; treat it as no size at all.
    if (desc.iWidth <= 0 || desc.iHeight <= 0)
        return KE_ERR_INVALIDARG;

    SKE_SURFACEDESC d = desc;
    if (d.eFormat == KE_SURFACE_COMPATIBLE)
        d.eFormat = CKorvelPaletteProvider::GetCompatibleDisplayFormat(pApp);
    if (!IsValidFormat(d.eFormat))
        return KE_ERR_DECODE;

    d.iBytesPerPixel = BytesPerPixel(d.eFormat);
    long long llPitch = static_cast<long long>(d.iWidth) * d.iBytesPerPixel;
    long long llBlock = llPitch * d.iHeight;
    if (llPitch > INT_MAX || llBlock > INT_MAX)
        return KE_ERR_OUTOFMEMORY;
    unsigned char* pPixels = new (std::nothrow) unsigned char[static_cast<size_t>(llBlock)];
    if (!pPixels)
        return KE_ERR_OUTOFMEMORY;

    d.iPitch = static_cast<int>(llPitch);
    m_desc = d;
    m_uBlockSize = static_cast<unsigned int>(llBlock);
    m_pPixels = pPixels;
    SetClipRect(nullptr);
    SetSubFrameCounts(1, 1);
    if (d.uFlags & KE_SURFACEDESC_TEXTURE)
        SurfaceToTexture(0);
    m_bOwnsPixels = 1;
    return KE_OK;
}

KE_RETVAL CKorvelSurface::CreateIndirect(IKorvelApplication* pApp, SKE_SURFACEDESC& desc, void* pPixels)
{
    Shutdown();
    m_pApp = pApp;
    m_desc = desc;
    int iBytes = BytesPerPixel(desc.eFormat);
    if (iBytes)
    {
        m_desc.iBytesPerPixel = iBytes;
        m_uBlockSize = static_cast<unsigned int>(desc.iWidth) * desc.iHeight * iBytes;
    }
    m_pPixels = static_cast<unsigned char*>(pPixels);
    SetClipRect(nullptr);
    SetSubFrameCounts(1, 1);
    m_bOwnsPixels = 0;
    return KE_OK;
}

KE_RETVAL CKorvelSurface::Create(IKorvelApplication* pApp, SKE_SURFACEDESC& desc, void* pWindow, void*)
{
    if (!pWindow)
        return KE_ERR_INVALIDARG;
    if (desc.iWidth == 0 || desc.iHeight == 0)
    {
        desc.iWidth = 0;
        desc.iHeight = 0;
        return KE_ERR_INVALIDARG;
    }
    KE_RETVAL ret = Create(pApp, desc);
    if (ret != KE_OK)
        return ret;
    Fill(0, nullptr);
    return GetDC(nullptr);
}

void CKorvelSurface::Shutdown()
{
    ReleaseTexture();
    if (m_bOwnsPixels)
        delete[] m_pPixels;
    ReleaseAlphaChannel();
    m_desc = SKE_SURFACEDESC();
    m_rcClip = CKorvelRect<int>();
    m_uColorKey = 0;
    m_uBlockSize = 0;
    m_iSubFrameWidth = m_iSubFrameHeight = m_iSubFrameColumns = m_iSubFrameRows = 0;
    m_pPixels = nullptr;
    m_bOwnsPixels = 0;
    m_pApp = nullptr;
}

void* CKorvelSurface::Lock(SKE_SURFACEDESC* pDesc, unsigned int uFlags)
{
    m_uLockFlags = uFlags;
    if (pDesc)
        *pDesc = m_desc;
    return m_pPixels;
}

void CKorvelSurface::Unlock()
{
    if (!(m_uLockFlags & 1))
        SyncToTexture();
}

void CKorvelSurface::BeginWrite(CKorvelSurface* pSrc)
{
    m_uLockFlags = 0;
    if (pSrc)
        pSrc->m_uLockFlags = 0;
}

void CKorvelSurface::EndWrite(CKorvelSurface* pSrc)
{
    Unlock();
    if (pSrc && pSrc != this)
        pSrc->Unlock();
}

int CKorvelSurface::IsLinear() const
{
    if (!m_pPixels)
        return 0;
    return static_cast<unsigned int>(m_desc.iPitch) * m_desc.iHeight == m_uBlockSize ? 1 : 0;
}

KE_RETVAL CKorvelSurface::GetDC(void**)
{
    if (!m_pPixels)
        return KE_ERR_NOTSTARTED;
    return m_auDC[0] ? KE_ERR_LOCKED : KE_ERR_NOTSUPPORTED;
}

void CKorvelSurface::ReleaseDC(void*, unsigned int)
{
    if (m_pPixels)
        m_auDC[0] = m_auDC[1] = m_auDC[2] = 0;
}

int CKorvelSurface::CreateDIB(int, int, eKET_SURFACEFORMAT, void**)
{
    return 0;
}

const unsigned int* CKorvelSurface::Palette() const
{
    return CKorvelPaletteProvider::GetPalette(m_pApp);
}

const unsigned char* CKorvelSurface::LookupTable() const
{
    return CKorvelPaletteProvider::GetLookupTable(m_pApp);
}

// --- clip rectangle and coordinates ---

KE_RETVAL CKorvelSurface::SetClipRect(const CKorvelRect<int>* pRect)
{
    const int w = m_desc.iWidth, h = m_desc.iHeight;
    if (!pRect)
    {
        m_rcClip.Set(0, 0, w, h);
        return KE_OK;
    }
    auto clamp = [](int v, int hi) { return v < 0 ? 0 : (v > hi ? hi : v); };
    m_rcClip.Set(clamp(pRect->left, w), clamp(pRect->top, h), clamp(pRect->right, w),
                 clamp(pRect->bottom, h));
    return KE_OK;
}

KE_RETVAL CKorvelSurface::SetClipRect(const CKorvelRect<float>* pRect)
{
    if (!pRect)
        return SetClipRect(static_cast<const CKorvelRect<int>*>(nullptr));
    CKorvelRect<int> r(FloatToPixelX(pRect->left), FloatToPixelY(pRect->top), FloatToPixelX(pRect->right),
                       FloatToPixelY(pRect->bottom));
    return SetClipRect(&r);
}

int CKorvelSurface::FloatToPixelX(float f) const
{
    return CKorvelMath::TruncToInt(f * static_cast<float>(m_desc.iWidth));
}

int CKorvelSurface::FloatToPixelY(float f) const
{
    return CKorvelMath::TruncToInt(f * static_cast<float>(m_desc.iHeight));
}

float CKorvelSurface::PixelToFloatX(int i) const
{
    return static_cast<float>(i) / static_cast<float>(m_desc.iWidth);
}

float CKorvelSurface::PixelToFloatY(int i) const
{
    return static_cast<float>(i) / static_cast<float>(m_desc.iHeight);
}

float CKorvelSurface::GetAspectRatio() const
{
    return static_cast<float>(m_desc.iWidth) / static_cast<float>(m_desc.iHeight);
}

// --- pixels and colours ---

unsigned int CKorvelSurface::GetPixel(int x, int y) const
{
    if (!m_pPixels || x < 0 || y < 0 || x >= m_desc.iWidth || y >= m_desc.iHeight)
        return 0;
    const unsigned char* p = PixelAddress(x, y);
    switch (m_desc.eFormat)
    {
    case KE_SURFACE_P8:
        return *p;
    case KE_SURFACE_RGB444:
    case KE_SURFACE_RGB555:
    case KE_SURFACE_RGB565:
        return *reinterpret_cast<const unsigned short*>(p);
    case KE_SURFACE_RGB888:
        return Read24(p);
    case KE_SURFACE_ARGB8888:
    case KE_SURFACE_ABGR8888:
        return *reinterpret_cast<const unsigned int*>(p);
    default:
        return 0xFFFFFFFF;
    }
}

void CKorvelSurface::SetPixel(int x, int y, unsigned int uValue)
{
    if (!m_pPixels || x < 0 || y < 0 || x >= m_desc.iWidth || y >= m_desc.iHeight)
        return;
    unsigned char* p = PixelAddress(x, y);
    switch (m_desc.eFormat)
    {
    case KE_SURFACE_P8:
        *p = static_cast<unsigned char>(uValue);
        break;
    case KE_SURFACE_RGB444:
    case KE_SURFACE_RGB555:
    case KE_SURFACE_RGB565:
        *reinterpret_cast<unsigned short*>(p) = static_cast<unsigned short>(uValue);
        break;
    case KE_SURFACE_RGB888:
        Write24(p, uValue);
        break;
    case KE_SURFACE_ARGB8888:
    case KE_SURFACE_ABGR8888:
        *reinterpret_cast<unsigned int*>(p) = uValue;
        break;
    default:
        break;
    }
}

unsigned int CKorvelSurface::GetPixelDIB(int x, int y)
{
    m_uLockFlags = 1;
    if (!m_pPixels || x < 0 || y < 0 || x >= m_desc.iWidth || y >= m_desc.iHeight)
        return 0;
    unsigned int argb;
    ReadRowDIB(x, y, 1, false, &argb);
    Unlock();
    return argb;
}

unsigned int CKorvelSurface::MakeColor(unsigned int r, unsigned int g, unsigned int b, unsigned int a) const
{
    switch (m_desc.eFormat)
    {
    case KE_SURFACE_P8:
    {
        const unsigned char* pLut = LookupTable();
        return pLut ? pLut[LutIndex(r, g, b)] : 0;
    }
    case KE_SURFACE_RGB565:
        return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    case KE_SURFACE_RGB888:
        return (r << 16) | (g << 8) | b;
    case KE_SURFACE_ARGB8888:
        return b | (g << 8) | (r << 16) | (a << 24);
    case KE_SURFACE_ABGR8888:
        return r | (g << 8) | (b << 16) | (a << 24);
    default:
        return 0xFFFFFFFF;
    }
}

unsigned int CKorvelSurface::MakeColor(unsigned int argb) const
{
    return MakeColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, argb >> 24);
}

void CKorvelSurface::SetPixelDIB(int x, int y, unsigned int argb)
{
    m_uLockFlags = 0;
    if (!m_pPixels || x < 0 || y < 0 || x >= m_desc.iWidth || y >= m_desc.iHeight)
        return;
    SetPixel(x, y, MakeColor(argb));
    Unlock();
}

KE_RETVAL CKorvelSurface::SetPieceDIB(int x, int y, unsigned int argb, unsigned int uMask)
{
    if (!m_pPixels)
        return KE_ERR_NOTSTARTED;
    m_uLockFlags = 0;
    if (!IsValidFormat(m_desc.eFormat))
        return KE_ERR_DECODE;
    if (x >= 1 && x < m_desc.iWidth - 1 && y >= 1 && y < m_desc.iHeight - 1)
    {
        static const int s_aiOffsets[8][2] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                              {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
        unsigned int uValue = MakeColor(argb);
        SetPixel(x, y, uValue);
        for (int i = 0; i < 8; ++i)
            if (uMask & (1u << i))
                SetPixel(x + s_aiOffsets[i][0], y + s_aiOffsets[i][1], uValue);
    }
    Unlock();
    return KE_OK;
}

unsigned int CKorvelSurface::GetMiddleMask() const
{
    static const unsigned int s_auMasks[8] = {0xFFFFFFFF, 0,        0x0EEE,     0x7BDE,
                                              0xF7DE,     0xFEFEFE, 0xFEFEFEFE, 0xFEFEFEFE};
    return IsValidFormat(m_desc.eFormat) ? s_auMasks[m_desc.eFormat] : 0xFFFFFFFF;
}

// --- sprite sheet and colour key ---

void CKorvelSurface::SetSubFrameCounts(int iColumns, int iRows)
{
    if (iColumns < 1 || iRows < 1)
        return;
    m_iSubFrameColumns = iColumns;
    m_iSubFrameRows = iRows;
    m_iSubFrameWidth = m_desc.iWidth / iColumns;
    m_iSubFrameHeight = m_desc.iHeight / iRows;
}

void CKorvelSurface::SetSubFrameSizes(int iFrameWidth, int iFrameHeight)
{
    if (iFrameWidth < 1 || iFrameHeight < 1)
        return;
    m_iSubFrameWidth = iFrameWidth;
    m_iSubFrameHeight = iFrameHeight;
    m_iSubFrameColumns = m_desc.iWidth / iFrameWidth;
    m_iSubFrameRows = m_desc.iHeight / iFrameHeight;
}

void CKorvelSurface::SetSubFrameSizes(const CKorvelVector2& fraction)
{
    if (!(fraction.x >= 0.0f && fraction.x <= 1.0f && fraction.y >= 0.0f && fraction.y <= 1.0f))
        return;
    // A frame of 0 pixels has no meaning (and would divide by zero): refused.
    SetSubFrameSizes(CKorvelMath::TruncToInt(static_cast<float>(m_desc.iWidth) * fraction.x),
                     CKorvelMath::TruncToInt(static_cast<float>(m_desc.iHeight) * fraction.y));
}

namespace
{
// Where frame n of a columns x rows sheet lies: 1 with its cell, 0 for the whole surface
// (no sheet or a 1 x 1 sheet), -1 for a frame that does not exist.
int FrameCell(int n, int cols, int rows, int& row, int& col)
{
    if (cols == 0 || rows == 0 || (cols == 1 && rows == 1))
        return 0;
    if (n < 0 || n >= cols * rows)
        return -1;
    row = n / cols;
    col = n - row * cols;
    return 1;
}
} // namespace

void CKorvelSurface::GetSubFrame(int n, CKorvelRect<int>& out) const
{
    int row = 0, col = 0;
    switch (FrameCell(n, m_iSubFrameColumns, m_iSubFrameRows, row, col))
    {
    case 0:
        out.Set(0, 0, m_desc.iWidth, m_desc.iHeight);
        break;
    case 1:
        out.Set(col * m_iSubFrameWidth, row * m_iSubFrameHeight, (col + 1) * m_iSubFrameWidth,
                (row + 1) * m_iSubFrameHeight);
        break;
    default:
        out.Set(0, 0, 0, 0);
        break;
    }
}

void CKorvelSurface::GetSubFrame(int n, CKorvelRect<float>& out) const
{
    int row = 0, col = 0;
    const float cols = static_cast<float>(m_iSubFrameColumns), rows = static_cast<float>(m_iSubFrameRows);
    switch (FrameCell(n, m_iSubFrameColumns, m_iSubFrameRows, row, col))
    {
    case 0:
        out.Set(0.0f, 0.0f, 1.0f, 1.0f);
        break;
    case 1:
        out.Set(col / cols, row / rows, (col + 1) / cols, (row + 1) / rows);
        break;
    default:
        out.Set(0.0f, 0.0f, 0.0f, 0.0f);
        break;
    }
}

KE_RETVAL CKorvelSurface::SetAutoColorKey(int x, int y)
{
    if (!m_pPixels)
        return KE_ERR_NOTSTARTED;
    m_uLockFlags = 1;
    m_uColorKey = GetPixel(x, y) & 0xFFFFFF;
    Unlock();
    return KE_OK;
}
