// The engine's software image: pixels in memory in one of seven formats, with a clip
// rectangle, an optional 8-bit alpha plane (below 32 bits), a colour key, a sprite-sheet
// division and a GL texture mirror. It is also a drawing target (context type 0).
//
// Sections: records - life cycle and locking - drawing slots - pixels and colours -
// sprite sheet, colour key and alpha - texture mirror - loading - span kernels - blitters -
// internals.
// Sources: KorvelSurfaceCore.cpp (life cycle, pixels, sheet, key), KorvelSurfaceAlpha.cpp,
// KorvelSurfaceKernels.cpp / KorvelSurfaceZoom.cpp (span kernels), KorvelSurfaceBlitters.cpp
// (Draw_N), KorvelSurfaceBlits.cpp / KorvelSurfaceStretch.cpp / KorvelSurfaceRotate.cpp,
// KorvelSurfaceConvert.cpp (mixed formats), KorvelSurfaceFills.cpp / KorvelSurfaceLine.cpp,
// KorvelSurfaceTexture.cpp (texture mirror), KorvelSurfaceLoad.cpp (loading; decoding in
// KorvelSurfaceLoader.cpp).
#pragma once

#include "KorvelGraphics/KorvelGraphicsContext.h"

class IKorvelApplication;
class CKorvelMediaPack;
class CKorvelString;

// Description of a surface: six 32-bit fields.
struct SKE_SURFACEDESC
{
    int iWidth;
    int iHeight;
    int iPitch; // bytes from one row to the next
    eKET_SURFACEFORMAT eFormat;
    unsigned int uFlags; // KE_SURFACEDESC_*
    int iBytesPerPixel;
};

enum : unsigned int
{
    KE_SURFACEDESC_TEXTURE = 2,    // make the GL texture mirror at create or load
    KE_SURFACEDESC_COMPANION = 16, // this load is itself a companion alpha image
    KE_SURFACEDESC_LOADALPHA = 32  // also load and apply the companion alpha image
};

class CKorvelSurface : public IKorvelGraphicsContext
{
public:
    // One blended span: source (null for the colour blends), destination, source alpha
    // row or null, pixel count, global alpha, tint (or fill colour), colour key, flags.
    struct BLEND_HORLINE_PARAMS
    {
        const void* pSrc;
        void* pDst;
        const unsigned char* pAlphaRow;
        int iCount;
        unsigned int uAlpha, uRed, uGreen, uBlue;
        unsigned int uColorKey;
        unsigned int uFlags;
    };

    // One stretched span. A mirrored span has a negative source width and its source
    // pointers at the span's last source pixel.
    struct ZOOM_PARAMS
    {
        const void* pSrc;
        void* pDst;
        int iSrcWidth;
        int iCount;
        unsigned int uColorKey;
        const unsigned char* pSrcAlpha;
        unsigned char* pDstAlpha;
        unsigned int uAlpha, uRed, uGreen, uBlue;
        unsigned int uFlags;
    };

    // --- life cycle and locking ---
    CKorvelSurface();
    // Releases nothing: owners call Shutdown (or Release) first.
    virtual ~CKorvelSurface();
    static CKorvelSurface* New() { return new CKorvelSurface; }

    KE_RETVAL Create(IKorvelApplication* pApp, SKE_SURFACEDESC& desc);
    // Adopts pixels that the caller keeps owning; the description is taken as given.
    KE_RETVAL CreateIndirect(IKorvelApplication* pApp, SKE_SURFACEDESC& desc, void* pPixels);
    // Device-context form: there is no device context on this platform (result 3 or 6).
    KE_RETVAL Create(IKorvelApplication* pApp, SKE_SURFACEDESC& desc, void* pWindow, void* pDC);
    void Shutdown();
    void Release() { Shutdown(); }

    // Records how the next Unlock behaves (bit 0: read-only); there is no exclusion.
    void* Lock(SKE_SURFACEDESC* pDesc, unsigned int uFlags);
    // Refreshes the texture mirror unless the lock was read-only.
    void Unlock();

    unsigned char* GetAlphaChannel() { return m_pAlpha; }
    const unsigned char* GetAlphaChannel() const { return m_pAlpha; }
    int GetBpp() const { return m_desc.iBytesPerPixel * 8; }
    int IsLinear() const;
    IKorvelApplication* GetApplication() const { return m_pApp; }
    KE_RETVAL GetDC(void** ppDC);
    void ReleaseDC(void* pDC, unsigned int uFlags);
    int CreateDIB(int iWidth, int iHeight, eKET_SURFACEFORMAT eFormat, void** ppBits);

    // --- drawing slots ---
    using IKorvelGraphicsContext::BlendFill;
    using IKorvelGraphicsContext::DrawStretched;
    using IKorvelGraphicsContext::DrawStretchedBlended;
    using IKorvelGraphicsContext::Fade;
    using IKorvelGraphicsContext::Fill;
    using IKorvelGraphicsContext::GradientFill;
    using IKorvelGraphicsContext::SetClipRect;

    int GetContextType() const override { return KE_CONTEXT_SURFACE; }
    int GetWidth() const override { return m_desc.iWidth; }
    int GetHeight() const override { return m_desc.iHeight; }
    eKET_SURFACEFORMAT GetFormat() const override { return m_desc.eFormat; }

    // Fill is bounded by the surface, not by the clip rectangle.
    KE_RETVAL Fill(unsigned int argb, const CKorvelRect<int>* pRect) override;
    KE_RETVAL Fill(unsigned int argb, const CKorvelRect<float>* pRect) override;
    KE_RETVAL GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl,
                           const CKorvelRect<int>* pRect) override;
    KE_RETVAL GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl,
                           const CKorvelRect<float>* pRect) override;
    KE_RETVAL BlendFill(unsigned int argb, const CKorvelRect<int>* pRect) override;
    KE_RETVAL BlendFill(unsigned int argb, const CKorvelRect<float>* pRect) override;
    KE_RETVAL Fade(const CKorvelRect<int>* pRect, float fLevel) override;
    KE_RETVAL Fade(const CKorvelRect<float>* pRect, float fLevel) override;
    // Fills the area with outer, then moves the disc of radius min(w, h) x scale / 2 around
    // its centre towards inner.
    KE_RETVAL RadialGradientFill(unsigned int outer, unsigned int inner, float fScale,
                                 const CKorvelRect<int>* pRect);
    KE_RETVAL RadialGradientFill(unsigned int outer, unsigned int inner, float fScale,
                                 const CKorvelRect<float>* pRect);
    KE_RETVAL RadialGradientFill(unsigned int outer, unsigned int inner, float fScale, std::nullptr_t)
    {
        return RadialGradientFill(outer, inner, fScale, static_cast<const CKorvelRect<int>*>(nullptr));
    }

    KE_RETVAL Draw(int x, int y, IKorvelGraphicsContext& src, const CKorvelRect<int>* pSrcRect,
                   unsigned int uFlags) override;
    KE_RETVAL Draw(const CKorvelVector2& pos, IKorvelGraphicsContext& src, const CKorvelRect<float>* pSrcRect,
                   unsigned int uFlags) override;
    KE_RETVAL DrawStretched(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                            const CKorvelRect<int>* pSrcRect, unsigned int uFlags) override;
    KE_RETVAL DrawStretched(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext& src,
                            const CKorvelRect<float>* pSrcRect, unsigned int uFlags) override;
    // (x, y) is the centre; the source is drawn into the square of side 2 x radius.
    KE_RETVAL DrawRotated(int x, int y, IKorvelGraphicsContext& src, float fAngle, int iRadius,
                          unsigned int uFlags) override;
    KE_RETVAL DrawRotated(const CKorvelVector2& pos, IKorvelGraphicsContext& src, float fAngle, float fRadius,
                          unsigned int uFlags) override;
    KE_RETVAL DrawBlended(int x, int y, IKorvelGraphicsContext& src, const CKorvelRect<int>* pSrcRect,
                          unsigned int argb, unsigned int uFlags) override;
    KE_RETVAL DrawBlended(const CKorvelVector2& pos, IKorvelGraphicsContext& src,
                          const CKorvelRect<float>* pSrcRect, unsigned int argb,
                          unsigned int uFlags) override;
    KE_RETVAL DrawStretchedBlended(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                                   const CKorvelRect<int>* pSrcRect, unsigned int argb,
                                   unsigned int uFlags) override;
    KE_RETVAL DrawStretchedBlended(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext& src,
                                   const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                   unsigned int uFlags) override;
    KE_RETVAL Line(int x1, int y1, int x2, int y2, unsigned int argbFrom, unsigned int argbTo) override;
    KE_RETVAL Line(const CKorvelVector2& from, const CKorvelVector2& to, unsigned int argbFrom,
                   unsigned int argbTo) override;

    int FloatToPixelX(float f) const override;
    int FloatToPixelY(float f) const override;
    float PixelToFloatX(int i) const override;
    float PixelToFloatY(int i) const override;
    float GetAspectRatio() const override;
    KE_RETVAL SetClipRect(const CKorvelRect<int>* pRect) override;
    KE_RETVAL SetClipRect(const CKorvelRect<float>* pRect) override;

    // --- pixels and colours ---
    // Raw stored values; 0 outside the surface.
    unsigned int GetPixel(int x, int y) const;
    void SetPixel(int x, int y, unsigned int uValue);
    // 0xAARRGGBB of a pixel (alpha from the plane, else 255; 32-bit words carry their own).
    unsigned int GetPixelDIB(int x, int y);
    void SetPixelDIB(int x, int y, unsigned int argb);
    // Writes the pixel and the neighbours that mask selects (1 right, then clockwise by 45
    // degrees: 2 down-right, 4 down, ... 128 up-right); border pixels are refused.
    KE_RETVAL SetPieceDIB(int x, int y, unsigned int argb, unsigned int uMask);
    // A colour packed into this surface's format (0xFFFFFFFF for formats 2, 3 and others).
    unsigned int MakeColor(unsigned int r, unsigned int g, unsigned int b, unsigned int a) const;
    unsigned int MakeColor(unsigned int argb) const;
    // Clears the lowest bit of every channel, for carry-free 50% blends.
    unsigned int GetMiddleMask() const;

    // --- sprite sheet, colour key and alpha ---
    void SetSubFrameCounts(int iColumns, int iRows);
    void SetSubFrameSizes(int iFrameWidth, int iFrameHeight);
    // Fractions of the surface's size; refused when a frame would be 0 pixels.
    void SetSubFrameSizes(const CKorvelVector2& fraction);
    // Frame n, row by row; the whole surface for a 1 x 1 sheet; empty for a frame that
    // does not exist.
    void GetSubFrame(int n, CKorvelRect<int>& out) const;
    void GetSubFrame(int n, CKorvelRect<float>& out) const;
    // The sheet's columns and rows (0 before the surface is made) and one frame's size.
    int GetSubFrameCountX() const { return m_iSubFrameColumns; }
    int GetSubFrameCountY() const { return m_iSubFrameRows; }
    int GetSubFrameWidth() const { return m_iSubFrameWidth; }
    int GetSubFrameHeight() const { return m_iSubFrameHeight; }

    // A raw pixel value of this surface's format; only the low 24 bits are kept.
    void SetColorKey(unsigned int uKey) { m_uColorKey = uKey & 0xFFFFFF; }
    unsigned int GetColorKey() const { return m_uColorKey; }
    KE_RETVAL SetAutoColorKey(int x, int y);

    KE_RETVAL CreateAlphaChannel();
    void ReleaseAlphaChannel();
    // An 8-bit alpha image (format 1) of the surface's size, rows desc.iPitch apart: fills
    // the alpha plane (below 32 bits) or the alpha bytes and premultiplies the colours.
    KE_RETVAL ApplyAlphaChannel(const SKE_SURFACEDESC& desc, const void* pAlpha);
    // The same from the blue channel of a mask surface of the same size.
    KE_RETVAL ApplyAlphaChannel(CKorvelSurface& mask);
    // Alpha := the grey value of each pixel in the rectangle (no texture refresh).
    KE_RETVAL AlphaToGrayscaleValue(const CKorvelRect<int>& rect);
    // Complements the colour bits of every pixel (palette surfaces are left alone).
    void Negate();

    // --- texture mirror (KorvelSurfaceTexture.cpp) ---
    // (Re)makes the texture with a GL format and type and uploads the pixels; mipmaps
    // make a chain down to 1 x 1 when both sides are powers of two.
    KE_RETVAL SurfaceToTexture(unsigned int uGLFormat, unsigned int uGLType, unsigned int uMipmaps);
    // Picks the pair by the surface: 32 bits -> RGBA bytes; an alpha plane -> RGBA 4-4-4-4;
    // else RGB 5-6-5.
    KE_RETVAL SurfaceToTexture(unsigned int uMipmaps);
    // Uploads the pixels (and remakes the mipmap levels) into the mirror; 4 when there is
    // no texture.
    KE_RETVAL SyncToTexture();
    // Rebuilds the texture after a context loss from the recorded format, type and mipmaps.
    KE_RETVAL RestoreTexture();
    void ReleaseTexture();
    unsigned int GetTexture() const { return m_uTexture; }
    unsigned int HasMipmaps() const { return m_uMipmaps; }
    // The source's pixels packed for upload, rows without padding; array delete; null
    // when memory runs out or the pair is refused.
    unsigned char* ConvertToTextureFormat(unsigned int uGLFormat, unsigned int uGLType,
                                          unsigned int uBytesPerPixel, CKorvelSurface& source) const;

    // --- loading (KorvelSurfaceLoad.cpp; decoding in KorvelSurfaceLoader) ---
    // A null description stands for all fields 0 (the image's size, the compatible format).
    KE_RETVAL Load(IKorvelApplication* pApp, const CKorvelString& strPath, SKE_SURFACEDESC* pDesc);
    // An item found by name, or by index when the name is empty; named after it.
    KE_RETVAL LoadFromPack(IKorvelApplication* pApp, CKorvelMediaPack* pPack, const CKorvelString& strName,
                           unsigned int uIndex, SKE_SURFACEDESC* pDesc);
    KE_RETVAL LoadFromMemory(IKorvelApplication* pApp, void* pData, unsigned int uSize,
                             SKE_SURFACEDESC* pDesc);
    // Applies the companion alpha image "name_alpha.ext" (from the pack, else by path).
    KE_RETVAL LoadExternalAlphaChannel(const CKorvelString& strName, CKorvelMediaPack* pPack);
    // Images are never written: 3 without an application, else 6.
    KE_RETVAL Save(const CKorvelString& strPath);

    // --- span kernels (one row each; no clipping, no locking) ---
    void Horline_SetLightness_8(void* pDst, int iCount, unsigned int r, unsigned int g, unsigned int b);
    void Horline_SetLightness_12(void*, int, unsigned int, unsigned int, unsigned int) {}
    void Horline_SetLightness_15(void*, int, unsigned int, unsigned int, unsigned int) {}
    void Horline_SetLightness_16(void* pDst, int iCount, unsigned int r, unsigned int g, unsigned int b);
    void Horline_SetLightness_24(void*, int, unsigned int, unsigned int, unsigned int) {}
    void Horline_SetLightness_32(void* pDst, int iCount, unsigned int r, unsigned int g, unsigned int b);

    void Horline_Blend_8(const BLEND_HORLINE_PARAMS& p);
    void Horline_Blend_12(const BLEND_HORLINE_PARAMS&) {}
    void Horline_Blend_15(const BLEND_HORLINE_PARAMS&) {}
    void Horline_Blend_16(const BLEND_HORLINE_PARAMS& p);
    void Horline_Blend_24(const BLEND_HORLINE_PARAMS&) {}
    void Horline_Blend_32(const BLEND_HORLINE_PARAMS& p);

    void Horline_Blend_Color_8(const BLEND_HORLINE_PARAMS& p);
    void Horline_Blend_Color_12(const BLEND_HORLINE_PARAMS&) {}
    void Horline_Blend_Color_15(const BLEND_HORLINE_PARAMS&) {}
    void Horline_Blend_Color_16(const BLEND_HORLINE_PARAMS& p);
    void Horline_Blend_Color_24(const BLEND_HORLINE_PARAMS&) {}
    void Horline_Blend_Color_32(const BLEND_HORLINE_PARAMS& p);

    void Horline_Zoom_8(const ZOOM_PARAMS& p);
    void Horline_Zoom_16(const ZOOM_PARAMS& p);
    void Horline_Zoom_24(const ZOOM_PARAMS&) {}
    void Horline_Zoom_32(const ZOOM_PARAMS& p);
    void Horline_Zoom_CC_8(const ZOOM_PARAMS& p);
    void Horline_Zoom_CC_16(const ZOOM_PARAMS& p);
    void Horline_Zoom_CC_24(const ZOOM_PARAMS&) {}
    void Horline_Zoom_CC_32(const ZOOM_PARAMS& p);
    void Horline_Zoom_Alpha_8(const ZOOM_PARAMS& p);
    void Horline_Zoom_Alpha_12(const ZOOM_PARAMS&) {}
    void Horline_Zoom_Alpha_15(const ZOOM_PARAMS&) {}
    void Horline_Zoom_Alpha_16(const ZOOM_PARAMS& p);
    void Horline_Zoom_Alpha_32(const ZOOM_PARAMS& p);
    void Horline_Zoom_Copy_Alpha_16(const ZOOM_PARAMS& p);
    void Horline_Zoom_Copy_Alpha_32(const ZOOM_PARAMS& p);

    // Channels in 16.16 fixed point (8-bit value x 65535); width >= 1 is the length the
    // colours are interpolated over, count the pixels written.
    void Horline_Gouraud_8(void* pDst, int iWidth, int iCount, int r0, int g0, int b0, int r1, int g1,
                           int b1);
    void Horline_Gouraud_12(void*, int, int, int, int, int, int, int, int) {}
    void Horline_Gouraud_15(void*, int, int, int, int, int, int, int, int) {}
    void Horline_Gouraud_16(void* pDst, int iWidth, int iCount, int r0, int g0, int b0, int r1, int g1,
                            int b1);
    void Horline_Gouraud_24(void*, int, int, int, int, int, int, int, int) {}
    void Horline_Gouraud_32(void* pDst, int iWidth, int iCount, int r0, int g0, int b0, int r1, int g1,
                            int b1);

    static void HorlineFill_8(unsigned char* pDst, unsigned int uCount, unsigned int uValue);
    static void HorlineFill_16(unsigned short* pDst, unsigned int uCount, unsigned int uValue);
    static void HorlineFill_24(unsigned char* pDst, unsigned int uCount, unsigned int uValue);
    static void HorlineFill_32(unsigned int* pDst, unsigned int uCount, unsigned int uValue);
    // Palette indices to pixels through a palette of 0x00RRGGBB colours.
    static void HorlineCopy_8to12(const unsigned char* pSrc, unsigned char* pDst,
                                  const unsigned int* pPalette, unsigned int uCount);
    static void HorlineCopy_8to16(const unsigned char* pSrc, unsigned char* pDst,
                                  const unsigned int* pPalette, unsigned int uCount);
    static void HorlineCopy_8to32(const unsigned char* pSrc, unsigned char* pDst,
                                  const unsigned int* pPalette, unsigned int uCount);
    // Copies dstPitch bytes per row.
    static void CopyImageHorlines(int iRows, void* pDst, int iDstPitch, const void* pSrc, int iSrcPitch);

    // --- per-format copy blitters (same pixel layout on both sides; already clipped) ---
    int Draw_8(int x, int y, CKorvelSurface* pSrc, CKorvelRect<int>& rect, unsigned int uFlags);
    int Draw_16(int x, int y, CKorvelSurface* pSrc, CKorvelRect<int>& rect, unsigned int uFlags);
    int Draw_24(int x, int y, CKorvelSurface* pSrc, CKorvelRect<int>& rect, unsigned int uFlags);
    int Draw_32(int x, int y, CKorvelSurface* pSrc, CKorvelRect<int>& rect, unsigned int uFlags);

    // --- blit internals ---
    // Clips a position and source rectangle against the clip (or the whole surface when
    // null); mirrored axes cut the source on the opposite side.
    void RectClip(int& x, int& y, const CKorvelRect<int>* pSrcRect, const CKorvelRect<int>* pClip,
                  CKorvelRect<int>* pOut, unsigned int uFlags) const;
    static void SetRect(const CKorvelRect<int>* pRect, CKorvelRect<int>& out,
                        IKorvelGraphicsContext* pContext);
    KE_RETVAL Blt_SW(const CKorvelRect<int>& dst, CKorvelSurface& src, const CKorvelRect<int>& srcRect,
                     unsigned int argb, unsigned int uFlags);
    KE_RETVAL Blt_QS(const CKorvelRect<int>& dst, CKorvelSurface& src, const CKorvelRect<int>& srcRect,
                     unsigned int argb, unsigned int uFlags);
    KE_RETVAL DrawAlpha_8(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                          unsigned int uFlags);
    KE_RETVAL DrawAlpha_12(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                           unsigned int uFlags);
    KE_RETVAL DrawAlpha_15(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                           unsigned int uFlags);
    KE_RETVAL DrawAlpha_16(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                           unsigned int uFlags);
    KE_RETVAL DrawAlpha_24(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                           unsigned int uFlags);
    KE_RETVAL DrawAlpha_32(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                           unsigned int uFlags);
    KE_RETVAL BltRotate_8(int x, int y, CKorvelSurface& src, float fAngle, int iRadius, unsigned int uFlags);
    KE_RETVAL BltRotate_16(int x, int y, CKorvelSurface& src, float fAngle, int iRadius, unsigned int uFlags);
    KE_RETVAL BltRotate_24(int x, int y, CKorvelSurface& src, float fAngle, int iRadius, unsigned int uFlags);
    KE_RETVAL BltRotate_32(int x, int y, CKorvelSurface& src, float fAngle, int iRadius, unsigned int uFlags);

protected:
    // Row access for the drawing code.
    unsigned char* Row(int y) const { return m_pPixels + static_cast<long>(y) * m_desc.iPitch; }
    unsigned char* PixelAddress(int x, int y) const
    {
        return Row(y) + static_cast<long>(x) * m_desc.iBytesPerPixel;
    }
    unsigned char* AlphaAddress(int x, int y) const
    {
        return m_pAlpha + static_cast<long>(y) * m_desc.iWidth + x;
    }
    const unsigned int* Palette() const;
    const unsigned char* LookupTable() const;
    // Marks a write (lock flags 0) of this surface and of pSrc; EndWrite unlocks both.
    void BeginWrite(CKorvelSurface* pSrc = nullptr);
    void EndWrite(CKorvelSurface* pSrc = nullptr);
    // GetPixelDIB of count pixels of row y from column x, going left with bMirror.
    void ReadRowDIB(int x, int y, int iCount, bool bMirror, unsigned int* pOut) const;
    // MakeColor of count colours into raw pixels at pDst.
    void PackRowDIB(const unsigned int* pArgb, int iCount, unsigned char* pDst) const;
    // Copy between surfaces of different formats, pixel by pixel through the colour values.
    KE_RETVAL DrawConverted(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                            unsigned int uFlags);
    // A copy of src's rectangle in this surface's format (alpha carried, key mapped);
    // null when the formats cannot be converted or memory runs out.
    CKorvelSurface* ConvertedCopy(CKorvelSurface& src, const CKorvelRect<int>& rect,
                                  CKorvelRect<int>& outRect);
    // Cuts the source rectangle to the source surface; the destination follows the cut.
    static bool ClipToSource(const CKorvelSurface& src, CKorvelRect<int>& rect, int& x, int& y,
                             unsigned int uFlags);
    // DrawStretched and DrawStretchedBlended: both rectangles clipped, then Blt_QS or Blt_SW.
    KE_RETVAL Stretch(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                      const CKorvelRect<int>* pSrcRect, unsigned int argb, unsigned int uFlags,
                      bool bBlended);
    // Centring, the cut to the source and the clip of Draw and DrawBlended; false when
    // nothing is left to draw.
    bool PlaceBlit(CKorvelSurface& src, const CKorvelRect<int>* pSrcRect, int& x, int& y,
                   CKorvelRect<int>& out, unsigned int uFlags) const;
    bool HasPixels() const { return m_pPixels != nullptr; }

    unsigned char* m_pPixels;
    unsigned int m_auDC[3]; // device-context state; never set on this platform
    SKE_SURFACEDESC m_desc;
    unsigned int m_uColorKey;
    unsigned int m_uBlockSize;
    int m_bOwnsPixels;
    unsigned int m_uLockFlags;
    unsigned char* m_pAlpha; // width x height bytes, below 32 bits only
    int m_iSubFrameWidth, m_iSubFrameHeight, m_iSubFrameColumns, m_iSubFrameRows;
    IKorvelApplication* m_pApp;
    // GL texture mirror: name, mipmap flag, GL format and type (kept across Shutdown).
    unsigned int m_uTexture, m_uMipmaps, m_uGLFormat, m_uGLType;

private:
    CKorvelSurface(const CKorvelSurface&) = delete;
    CKorvelSurface& operator=(const CKorvelSurface&) = delete;
};
