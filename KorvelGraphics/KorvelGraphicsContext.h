// The one drawing interface: software surfaces and the GL screen target implement it.
// Every drawing operation comes twice: integer pixels of the target, and floats that are
// fractions (0..1, y down) of the target's size. A null rectangle is the whole target (or
// the whole source); colours are 0xAARRGGBB words.
#pragma once

#include "KorvelCommon/KorvelID.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelTypes.h"

#include <cstddef>

// Pixel formats of surfaces and drawing targets (any other value is unsupported).
enum eKET_SURFACEFORMAT : int
{
    KE_SURFACE_COMPATIBLE = 0, // the application's display format, resolved at creation
    KE_SURFACE_P8 = 1,         // 8-bit palette index
    KE_SURFACE_RGB444 = 2,     // 16-bit word, red bits 8-11, green 4-7, blue 0-3
    KE_SURFACE_RGB555 = 3,     // 16-bit word, red bits 10-14, green 5-9, blue 0-4
    KE_SURFACE_RGB565 = 4,     // 16-bit word, red bits 11-15, green 5-10, blue 0-4
    KE_SURFACE_RGB888 = 5,     // bytes R, G, B
    KE_SURFACE_ARGB8888 = 6,   // 32-bit word 0xAARRGGBB (bytes B, G, R, A)
    KE_SURFACE_ABGR8888 = 7    // 32-bit word 0xAABBGGRR (bytes R, G, B, A)
};

// Draw flags shared by the surface blits, the GL target and text drawing.
enum : unsigned int
{
    KE_DRAW_COLORKEY = 0x1,  // skip source pixels equal to the source's colour key
    KE_DRAW_HALFBLEND = 0x2, // 50% blend (multiply on GL)
    KE_DRAW_MIRROR_H = 0x4,
    KE_DRAW_MIRROR_V = 0x8,
    KE_DRAW_NOCLIP = 0x10,    // the caller keeps the area inside the target
    KE_DRAW_BOXSHRINK = 0x20, // stretched surface draws: box-averaging shrink
    KE_DRAW_SRCALPHA = 0x80,
    KE_DRAW_CENTER_H = 0x100,
    KE_DRAW_CENTER_V = 0x200,
    KE_DRAW_ALPHAONLY = 0x400 // surfaces: copy alpha only (highlight on GL)
};

// Context types reported by GetContextType.
enum : int
{
    KE_CONTEXT_SURFACE = 0,
    KE_CONTEXT_GLES2 = 1,
    KE_CONTEXT_GL_OTHER = 2
};

class IKorvelGraphicsContext : public CKorvelID
{
public:
    // Right and bottom are exclusive; implementers set it to their whole area when sized.
    CKorvelRect<int> m_rcClip;

    virtual ~IKorvelGraphicsContext() {}

    virtual int GetContextType() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual eKET_SURFACEFORMAT GetFormat() const { return KE_SURFACE_COMPATIBLE; }

    virtual KE_RETVAL Fill(unsigned int argb, const CKorvelRect<int>* pRect) = 0;
    virtual KE_RETVAL Fill(unsigned int argb, const CKorvelRect<float>* pRect) = 0;
    // Corner colours: top-left, top-right, bottom-right, bottom-left.
    virtual KE_RETVAL GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl,
                                   const CKorvelRect<int>* pRect) = 0;
    virtual KE_RETVAL GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl,
                                   const CKorvelRect<float>* pRect) = 0;
    virtual KE_RETVAL BlendFill(unsigned int argb, const CKorvelRect<int>* pRect) = 0;
    virtual KE_RETVAL BlendFill(unsigned int argb, const CKorvelRect<float>* pRect) = 0;
    virtual KE_RETVAL Fade(const CKorvelRect<int>* pRect, float fLevel) = 0;
    virtual KE_RETVAL Fade(const CKorvelRect<float>* pRect, float fLevel) = 0;

    virtual KE_RETVAL Draw(int x, int y, IKorvelGraphicsContext& src, const CKorvelRect<int>* pSrcRect,
                           unsigned int uFlags) = 0;
    virtual KE_RETVAL Draw(const CKorvelVector2& pos, IKorvelGraphicsContext& src,
                           const CKorvelRect<float>* pSrcRect, unsigned int uFlags) = 0;
    virtual KE_RETVAL DrawStretched(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                                    const CKorvelRect<int>* pSrcRect, unsigned int uFlags) = 0;
    virtual KE_RETVAL DrawStretched(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext& src,
                                    const CKorvelRect<float>* pSrcRect, unsigned int uFlags) = 0;
    // The two kinds of target read position and size differently (see the implementers).
    virtual KE_RETVAL DrawRotated(int x, int y, IKorvelGraphicsContext& src, float fAngle, int iSize,
                                  unsigned int uFlags) = 0;
    virtual KE_RETVAL DrawRotated(const CKorvelVector2& pos, IKorvelGraphicsContext& src, float fAngle,
                                  float fSize, unsigned int uFlags) = 0;
    virtual KE_RETVAL DrawBlended(int x, int y, IKorvelGraphicsContext& src, const CKorvelRect<int>* pSrcRect,
                                  unsigned int argb, unsigned int uFlags) = 0;
    virtual KE_RETVAL DrawBlended(const CKorvelVector2& pos, IKorvelGraphicsContext& src,
                                  const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                  unsigned int uFlags) = 0;
    virtual KE_RETVAL DrawStretchedBlended(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                                           const CKorvelRect<int>* pSrcRect, unsigned int argb,
                                           unsigned int uFlags) = 0;
    virtual KE_RETVAL DrawStretchedBlended(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext& src,
                                           const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                           unsigned int uFlags) = 0;
    virtual KE_RETVAL Line(int x1, int y1, int x2, int y2, unsigned int argbFrom, unsigned int argbTo) = 0;
    virtual KE_RETVAL Line(const CKorvelVector2& from, const CKorvelVector2& to, unsigned int argbFrom,
                           unsigned int argbTo) = 0;

    virtual int FloatToPixelX(float f) const = 0;
    virtual int FloatToPixelY(float f) const = 0;
    virtual float PixelToFloatX(int i) const = 0;
    virtual float PixelToFloatY(int i) const = 0;
    virtual float GetAspectRatio() const = 0;
    virtual KE_RETVAL SetClipRect(const CKorvelRect<int>* pRect) = 0;
    virtual KE_RETVAL SetClipRect(const CKorvelRect<float>* pRect) = 0;

    // Older names, kept for callers; each forwards to its slot above unchanged.
    virtual KE_RETVAL BltFast(int x, int y, IKorvelGraphicsContext* pSrc, const CKorvelRect<int>* pSrcRect,
                              unsigned int uFlags);
    virtual KE_RETVAL BltFast(const CKorvelVector2& pos, IKorvelGraphicsContext* pSrc,
                              const CKorvelRect<float>* pSrcRect, unsigned int uFlags);
    virtual KE_RETVAL Blt(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext* pSrc,
                          const CKorvelRect<int>* pSrcRect, unsigned int uFlags);
    virtual KE_RETVAL Blt(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext* pSrc,
                          const CKorvelRect<float>* pSrcRect, unsigned int uFlags);
    virtual KE_RETVAL BltRotate(int x, int y, IKorvelGraphicsContext* pSrc, float fAngle, int iSize,
                                unsigned int uFlags);
    virtual KE_RETVAL BltRotate(const CKorvelVector2& pos, IKorvelGraphicsContext* pSrc, float fAngle,
                                float fSize, unsigned int uFlags);
    virtual KE_RETVAL Blend(int x, int y, IKorvelGraphicsContext* pSrc, const CKorvelRect<int>* pSrcRect,
                            unsigned int argb, unsigned int uFlags);
    virtual KE_RETVAL Blend(const CKorvelVector2& pos, IKorvelGraphicsContext* pSrc,
                            const CKorvelRect<float>* pSrcRect, unsigned int argb, unsigned int uFlags);
    virtual KE_RETVAL StretchBlend(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext* pSrc,
                                   const CKorvelRect<int>* pSrcRect, unsigned int argb, unsigned int uFlags);
    virtual KE_RETVAL StretchBlend(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext* pSrc,
                                   const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                   unsigned int uFlags);

    // A literal null rectangle would match both forms; these take it as the pixel form.
    // (Implementers bring them into scope with a using-declaration.)
    KE_RETVAL Fill(unsigned int argb, std::nullptr_t) { return Fill(argb, (const CKorvelRect<int>*)nullptr); }
    KE_RETVAL GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl, std::nullptr_t)
    {
        return GradientFill(tl, tr, br, bl, (const CKorvelRect<int>*)nullptr);
    }
    KE_RETVAL BlendFill(unsigned int argb, std::nullptr_t)
    {
        return BlendFill(argb, (const CKorvelRect<int>*)nullptr);
    }
    KE_RETVAL Fade(std::nullptr_t, float fLevel) { return Fade((const CKorvelRect<int>*)nullptr, fLevel); }
    KE_RETVAL SetClipRect(std::nullptr_t) { return SetClipRect((const CKorvelRect<int>*)nullptr); }
    KE_RETVAL DrawStretched(std::nullptr_t, IKorvelGraphicsContext& src, const CKorvelRect<int>* pSrcRect,
                            unsigned int uFlags)
    {
        return DrawStretched((const CKorvelRect<int>*)nullptr, src, pSrcRect, uFlags);
    }
    KE_RETVAL DrawStretchedBlended(std::nullptr_t, IKorvelGraphicsContext& src,
                                   const CKorvelRect<int>* pSrcRect, unsigned int argb, unsigned int uFlags)
    {
        return DrawStretchedBlended((const CKorvelRect<int>*)nullptr, src, pSrcRect, argb, uFlags);
    }
};
