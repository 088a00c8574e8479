// A software surface that records every drawing slot call (arguments, flags, colour and
// the clip rectangle in force) and then draws through to its pixels, so tests can check
// both what a widget asked for and what landed. The older names (BltFast, Blt, BltRotate,
// Blend, StretchBlend) forward to the slots and are recorded as the slot. Header only.
#pragma once

#include <vector>

#include "KorvelGraphics/KorvelSurface.h"

class CRecordingSurface : public CKorvelSurface
{
public:
    enum eCall
    {
        CALL_FILL,
        CALL_GRADIENT_FILL,
        CALL_BLEND_FILL,
        CALL_FADE,
        CALL_DRAW,
        CALL_DRAW_STRETCHED,
        CALL_DRAW_ROTATED,
        CALL_DRAW_BLENDED,
        CALL_DRAW_STRETCHED_BLENDED,
        CALL_LINE,
        CALL_SET_CLIP
    };

    struct sCall
    {
        eCall m_eCall;
        bool m_bFloat = false;     // the float form was called
        bool m_bHasDest = false;   // a destination rectangle or position was given
        bool m_bHasSource = false; // a source rectangle was given
        CKorvelRect<int> m_rcDest; // destination (position in left/top; line ends as l,t - r,b)
        CKorvelRect<int> m_rcSource;
        CKorvelRect<float> m_rcDestF; // the same for the float forms
        CKorvelRect<float> m_rcSourceF;
        const IKorvelGraphicsContext* m_pSource = nullptr;
        unsigned int m_uFlags = 0;
        unsigned int m_uColor = 0;        // fill or blend colour; line start colour
        unsigned int m_auCorners[4] = {}; // gradient: top-left, top-right, bottom-right, bottom-left
        float m_fValue = 0.0f;            // rotation angle or fade level
        float m_fSize = 0.0f;             // rotation size
        CKorvelRect<int> m_rcClip;        // the clip in force (for CALL_SET_CLIP: the one set)
    };

    // An ARGB8888 surface of the given size, filled with transparent black.
    bool CreateRecording(int iWidth, int iHeight)
    {
        SKE_SURFACEDESC desc = {};
        desc.iWidth = iWidth;
        desc.iHeight = iHeight;
        desc.eFormat = KE_SURFACE_ARGB8888;
        if (Create(nullptr, desc) != KE_OK)
            return false;
        CKorvelSurface::Fill(0u, static_cast<const CKorvelRect<int>*>(nullptr));
        m_aCalls.clear();
        return true;
    }
    ~CRecordingSurface() override { Shutdown(); }

    const std::vector<sCall>& Calls() const { return m_aCalls; }
    void ClearCalls() { m_aCalls.clear(); }
    // The recorded calls of one kind, in order.
    std::vector<sCall> CallsOf(eCall eKind) const
    {
        std::vector<sCall> aOut;
        for (const sCall& c : m_aCalls)
            if (c.m_eCall == eKind)
                aOut.push_back(c);
        return aOut;
    }

    using CKorvelSurface::BlendFill;
    using CKorvelSurface::DrawStretched;
    using CKorvelSurface::DrawStretchedBlended;
    using CKorvelSurface::Fade;
    using CKorvelSurface::Fill;
    using CKorvelSurface::GradientFill;
    using CKorvelSurface::SetClipRect;

    KE_RETVAL Fill(unsigned int argb, const CKorvelRect<int>* pRect) override
    {
        sCall& c = Record(CALL_FILL, pRect);
        c.m_uColor = argb;
        return CKorvelSurface::Fill(argb, pRect);
    }
    KE_RETVAL Fill(unsigned int argb, const CKorvelRect<float>* pRect) override
    {
        sCall& c = Record(CALL_FILL, pRect);
        c.m_uColor = argb;
        return CKorvelSurface::Fill(argb, pRect);
    }
    KE_RETVAL GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl,
                           const CKorvelRect<int>* pRect) override
    {
        SetCorners(Record(CALL_GRADIENT_FILL, pRect), tl, tr, br, bl);
        return CKorvelSurface::GradientFill(tl, tr, br, bl, pRect);
    }
    KE_RETVAL GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl,
                           const CKorvelRect<float>* pRect) override
    {
        SetCorners(Record(CALL_GRADIENT_FILL, pRect), tl, tr, br, bl);
        return CKorvelSurface::GradientFill(tl, tr, br, bl, pRect);
    }
    KE_RETVAL BlendFill(unsigned int argb, const CKorvelRect<int>* pRect) override
    {
        Record(CALL_BLEND_FILL, pRect).m_uColor = argb;
        return CKorvelSurface::BlendFill(argb, pRect);
    }
    KE_RETVAL BlendFill(unsigned int argb, const CKorvelRect<float>* pRect) override
    {
        Record(CALL_BLEND_FILL, pRect).m_uColor = argb;
        return CKorvelSurface::BlendFill(argb, pRect);
    }
    KE_RETVAL Fade(const CKorvelRect<int>* pRect, float fLevel) override
    {
        Record(CALL_FADE, pRect).m_fValue = fLevel;
        return CKorvelSurface::Fade(pRect, fLevel);
    }
    KE_RETVAL Fade(const CKorvelRect<float>* pRect, float fLevel) override
    {
        Record(CALL_FADE, pRect).m_fValue = fLevel;
        return CKorvelSurface::Fade(pRect, fLevel);
    }

    KE_RETVAL Draw(int x, int y, IKorvelGraphicsContext& src, const CKorvelRect<int>* pSrcRect,
                   unsigned int uFlags) override
    {
        RecordBlit(CALL_DRAW, At(x, y), src, pSrcRect, uFlags, 0);
        return CKorvelSurface::Draw(x, y, src, pSrcRect, uFlags);
    }
    KE_RETVAL Draw(const CKorvelVector2& pos, IKorvelGraphicsContext& src, const CKorvelRect<float>* pSrcRect,
                   unsigned int uFlags) override
    {
        RecordBlit(CALL_DRAW, At(pos), src, pSrcRect, uFlags, 0);
        return CKorvelSurface::Draw(pos, src, pSrcRect, uFlags);
    }
    KE_RETVAL DrawStretched(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                            const CKorvelRect<int>* pSrcRect, unsigned int uFlags) override
    {
        RecordBlit(CALL_DRAW_STRETCHED, pDstRect, src, pSrcRect, uFlags, 0);
        return CKorvelSurface::DrawStretched(pDstRect, src, pSrcRect, uFlags);
    }
    KE_RETVAL DrawStretched(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext& src,
                            const CKorvelRect<float>* pSrcRect, unsigned int uFlags) override
    {
        RecordBlit(CALL_DRAW_STRETCHED, pDstRect, src, pSrcRect, uFlags, 0);
        return CKorvelSurface::DrawStretched(pDstRect, src, pSrcRect, uFlags);
    }
    KE_RETVAL DrawRotated(int x, int y, IKorvelGraphicsContext& src, float fAngle, int iRadius,
                          unsigned int uFlags) override
    {
        sCall& c = RecordBlit(CALL_DRAW_ROTATED, At(x, y), src, static_cast<const CKorvelRect<int>*>(nullptr),
                              uFlags, 0);
        c.m_fValue = fAngle;
        c.m_fSize = static_cast<float>(iRadius);
        return CKorvelSurface::DrawRotated(x, y, src, fAngle, iRadius, uFlags);
    }
    KE_RETVAL DrawRotated(const CKorvelVector2& pos, IKorvelGraphicsContext& src, float fAngle, float fRadius,
                          unsigned int uFlags) override
    {
        sCall& c = RecordBlit(CALL_DRAW_ROTATED, At(pos), src,
                              static_cast<const CKorvelRect<float>*>(nullptr), uFlags, 0);
        c.m_fValue = fAngle;
        c.m_fSize = fRadius;
        return CKorvelSurface::DrawRotated(pos, src, fAngle, fRadius, uFlags);
    }
    KE_RETVAL DrawBlended(int x, int y, IKorvelGraphicsContext& src, const CKorvelRect<int>* pSrcRect,
                          unsigned int argb, unsigned int uFlags) override
    {
        RecordBlit(CALL_DRAW_BLENDED, At(x, y), src, pSrcRect, uFlags, argb);
        return CKorvelSurface::DrawBlended(x, y, src, pSrcRect, argb, uFlags);
    }
    KE_RETVAL DrawBlended(const CKorvelVector2& pos, IKorvelGraphicsContext& src,
                          const CKorvelRect<float>* pSrcRect, unsigned int argb, unsigned int uFlags) override
    {
        RecordBlit(CALL_DRAW_BLENDED, At(pos), src, pSrcRect, uFlags, argb);
        return CKorvelSurface::DrawBlended(pos, src, pSrcRect, argb, uFlags);
    }
    KE_RETVAL DrawStretchedBlended(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                                   const CKorvelRect<int>* pSrcRect, unsigned int argb,
                                   unsigned int uFlags) override
    {
        RecordBlit(CALL_DRAW_STRETCHED_BLENDED, pDstRect, src, pSrcRect, uFlags, argb);
        return CKorvelSurface::DrawStretchedBlended(pDstRect, src, pSrcRect, argb, uFlags);
    }
    KE_RETVAL DrawStretchedBlended(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext& src,
                                   const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                   unsigned int uFlags) override
    {
        RecordBlit(CALL_DRAW_STRETCHED_BLENDED, pDstRect, src, pSrcRect, uFlags, argb);
        return CKorvelSurface::DrawStretchedBlended(pDstRect, src, pSrcRect, argb, uFlags);
    }
    KE_RETVAL Line(int x1, int y1, int x2, int y2, unsigned int argbFrom, unsigned int argbTo) override
    {
        const CKorvelRect<int> rcEnds(x1, y1, x2, y2);
        sCall& c = Record(CALL_LINE, &rcEnds);
        c.m_uColor = argbFrom;
        c.m_auCorners[0] = argbFrom;
        c.m_auCorners[1] = argbTo;
        return CKorvelSurface::Line(x1, y1, x2, y2, argbFrom, argbTo);
    }
    KE_RETVAL Line(const CKorvelVector2& from, const CKorvelVector2& to, unsigned int argbFrom,
                   unsigned int argbTo) override
    {
        const CKorvelRect<float> rcEnds(from.x, from.y, to.x, to.y);
        sCall& c = Record(CALL_LINE, &rcEnds);
        c.m_uColor = argbFrom;
        c.m_auCorners[0] = argbFrom;
        c.m_auCorners[1] = argbTo;
        return CKorvelSurface::Line(from, to, argbFrom, argbTo);
    }
    KE_RETVAL SetClipRect(const CKorvelRect<int>* pRect) override
    {
        KE_RETVAL r = CKorvelSurface::SetClipRect(pRect);
        Record(CALL_SET_CLIP, pRect);
        return r;
    }
    KE_RETVAL SetClipRect(const CKorvelRect<float>* pRect) override
    {
        KE_RETVAL r = CKorvelSurface::SetClipRect(pRect);
        Record(CALL_SET_CLIP, pRect);
        return r;
    }

private:
    static CKorvelRect<int> At(int x, int y) { return CKorvelRect<int>(x, y, x, y); }
    static CKorvelRect<float> At(const CKorvelVector2& pos)
    {
        return CKorvelRect<float>(pos.x, pos.y, pos.x, pos.y);
    }

    sCall& Record(eCall eKind, const CKorvelRect<int>* pDest)
    {
        sCall c;
        c.m_eCall = eKind;
        c.m_bHasDest = pDest != nullptr;
        if (pDest)
            c.m_rcDest = *pDest;
        c.m_rcClip = m_rcClip;
        m_aCalls.push_back(c);
        return m_aCalls.back();
    }
    sCall& Record(eCall eKind, const CKorvelRect<float>* pDest)
    {
        sCall c;
        c.m_eCall = eKind;
        c.m_bFloat = true;
        c.m_bHasDest = pDest != nullptr;
        if (pDest)
            c.m_rcDestF = *pDest;
        c.m_rcClip = m_rcClip;
        m_aCalls.push_back(c);
        return m_aCalls.back();
    }
    template <class R>
    sCall& RecordBlit(eCall eKind, const R& dest, IKorvelGraphicsContext& src, const R* pSrcRect,
                      unsigned int uFlags, unsigned int argb)
    {
        return RecordBlit(eKind, &dest, src, pSrcRect, uFlags, argb);
    }
    template <class R>
    sCall& RecordBlit(eCall eKind, const R* pDest, IKorvelGraphicsContext& src, const R* pSrcRect,
                      unsigned int uFlags, unsigned int argb)
    {
        sCall& c = Record(eKind, pDest);
        c.m_pSource = &src;
        c.m_uFlags = uFlags;
        c.m_uColor = argb;
        c.m_bHasSource = pSrcRect != nullptr;
        if (pSrcRect)
            SetSource(c, *pSrcRect);
        return c;
    }
    static void SetSource(sCall& c, const CKorvelRect<int>& r) { c.m_rcSource = r; }
    static void SetSource(sCall& c, const CKorvelRect<float>& r) { c.m_rcSourceF = r; }
    static void SetCorners(sCall& c, unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl)
    {
        c.m_auCorners[0] = tl;
        c.m_auCorners[1] = tr;
        c.m_auCorners[2] = br;
        c.m_auCorners[3] = bl;
    }

    std::vector<sCall> m_aCalls;
};
