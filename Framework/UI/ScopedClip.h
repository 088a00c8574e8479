// Narrows a context's clip for the life of the object and puts the saved clip back after.
#pragma once

#include "KorvelGraphics/KorvelGraphicsContext.h"

class CScopedClip
{
public:
    // The clip becomes rect within the clip in force.
    CScopedClip(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
        : m_pContext(pContext), m_rcSaved(pContext->m_rcClip)
    {
        const CKorvelRect<int> rcClip(rect.left > m_rcSaved.left ? rect.left : m_rcSaved.left,
                                      rect.top > m_rcSaved.top ? rect.top : m_rcSaved.top,
                                      rect.right < m_rcSaved.right ? rect.right : m_rcSaved.right,
                                      rect.bottom < m_rcSaved.bottom ? rect.bottom : m_rcSaved.bottom);
        m_pContext->SetClipRect(&rcClip);
    }
    // Clipping switched off.
    explicit CScopedClip(IKorvelGraphicsContext* pContext)
        : m_pContext(pContext), m_rcSaved(pContext->m_rcClip)
    {
        m_pContext->SetClipRect(nullptr);
    }
    ~CScopedClip() { m_pContext->SetClipRect(&m_rcSaved); }
    CScopedClip(const CScopedClip&) = delete;
    CScopedClip& operator=(const CScopedClip&) = delete;

private:
    IKorvelGraphicsContext* m_pContext;
    CKorvelRect<int> m_rcSaved;
};
