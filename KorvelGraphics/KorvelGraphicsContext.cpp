// The older entry points of the drawing interface: each passes its arguments unchanged
// to the slot that does the work (a missing source is refused rather than dereferenced).
#include "KorvelGraphics/KorvelGraphicsContext.h"

KE_RETVAL IKorvelGraphicsContext::BltFast(int x, int y, IKorvelGraphicsContext* pSrc,
                                          const CKorvelRect<int>* pSrcRect, unsigned int uFlags)
{
    return pSrc ? Draw(x, y, *pSrc, pSrcRect, uFlags) : KE_ERR_INVALIDARG;
}

KE_RETVAL IKorvelGraphicsContext::BltFast(const CKorvelVector2& pos, IKorvelGraphicsContext* pSrc,
                                          const CKorvelRect<float>* pSrcRect, unsigned int uFlags)
{
    return pSrc ? Draw(pos, *pSrc, pSrcRect, uFlags) : KE_ERR_INVALIDARG;
}

KE_RETVAL IKorvelGraphicsContext::Blt(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext* pSrc,
                                      const CKorvelRect<int>* pSrcRect, unsigned int uFlags)
{
    return pSrc ? DrawStretched(pDstRect, *pSrc, pSrcRect, uFlags) : KE_ERR_INVALIDARG;
}

KE_RETVAL IKorvelGraphicsContext::Blt(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext* pSrc,
                                      const CKorvelRect<float>* pSrcRect, unsigned int uFlags)
{
    return pSrc ? DrawStretched(pDstRect, *pSrc, pSrcRect, uFlags) : KE_ERR_INVALIDARG;
}

KE_RETVAL IKorvelGraphicsContext::BltRotate(int x, int y, IKorvelGraphicsContext* pSrc, float fAngle,
                                            int iSize, unsigned int uFlags)
{
    return pSrc ? DrawRotated(x, y, *pSrc, fAngle, iSize, uFlags) : KE_ERR_INVALIDARG;
}

KE_RETVAL IKorvelGraphicsContext::BltRotate(const CKorvelVector2& pos, IKorvelGraphicsContext* pSrc,
                                            float fAngle, float fSize, unsigned int uFlags)
{
    return pSrc ? DrawRotated(pos, *pSrc, fAngle, fSize, uFlags) : KE_ERR_INVALIDARG;
}

KE_RETVAL IKorvelGraphicsContext::Blend(int x, int y, IKorvelGraphicsContext* pSrc,
                                        const CKorvelRect<int>* pSrcRect, unsigned int argb,
                                        unsigned int uFlags)
{
    return pSrc ? DrawBlended(x, y, *pSrc, pSrcRect, argb, uFlags) : KE_ERR_INVALIDARG;
}

KE_RETVAL IKorvelGraphicsContext::Blend(const CKorvelVector2& pos, IKorvelGraphicsContext* pSrc,
                                        const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                        unsigned int uFlags)
{
    return pSrc ? DrawBlended(pos, *pSrc, pSrcRect, argb, uFlags) : KE_ERR_INVALIDARG;
}

KE_RETVAL IKorvelGraphicsContext::StretchBlend(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext* pSrc,
                                               const CKorvelRect<int>* pSrcRect, unsigned int argb,
                                               unsigned int uFlags)
{
    return pSrc ? DrawStretchedBlended(pDstRect, *pSrc, pSrcRect, argb, uFlags) : KE_ERR_INVALIDARG;
}

KE_RETVAL IKorvelGraphicsContext::StretchBlend(const CKorvelRect<float>* pDstRect,
                                               IKorvelGraphicsContext* pSrc,
                                               const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                               unsigned int uFlags)
{
    return pSrc ? DrawStretchedBlended(pDstRect, *pSrc, pSrcRect, argb, uFlags) : KE_ERR_INVALIDARG;
}
