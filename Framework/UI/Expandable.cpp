// Expandable: expansion levels, the eased resize, the settling first update, clipping.
#include "Framework/UI/Expandable.h"

#include "Framework/UI/ScopedClip.h"

namespace
{
void CopyArray(CKorvelArray<int>& aTo, const CKorvelArray<int>& aFrom)
{
    aTo.RemoveAll();
    for (int i = 0; i < aFrom.GetCount(); ++i)
        aTo.Add(aFrom[i]);
}
} // namespace

CExpandable::CExpandable()
    : m_iLevel(-1), m_iStartWidth(0), m_iStartHeight(0), m_uFirstUpdate(1), m_uResizing(0), m_fTimeLeft(0.0f),
      m_fWidthDelta(0.0f), m_fHeightDelta(0.0f), m_fTransitionTime(0.25f)
{
}

KE_RETVAL CExpandable::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                               const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CButton::Startup(pApp, pResources, area);
    m_aWidths.RemoveAll();
    m_aHeights.RemoveAll();
    m_uResizing = 0;
    m_fTimeLeft = 0.0f;
    m_uFirstUpdate = 1;
    m_iLevel = -1;
    m_fTransitionTime = 0.25f;
    return r;
}

void CExpandable::Shutdown()
{
    m_aWidths.RemoveAll();
    m_aHeights.RemoveAll();
    CButton::Shutdown();
}

void CExpandable::SetSizes(const CKorvelArray<int>& aWidths, const CKorvelArray<int>& aHeights)
{
    CopyArray(m_aWidths, aWidths);
    CopyArray(m_aHeights, aHeights);
}

int CExpandable::GetNumberOfExpansionLevels() const
{
    return m_aWidths.GetCount() > m_aHeights.GetCount() ? m_aWidths.GetCount() : m_aHeights.GetCount();
}

int CExpandable::ChooseLevel(int iLevel) const
{
    const int iCount = GetNumberOfExpansionLevels();
    if (iCount == 0)
        return -1;
    const int iChosen = iLevel % iCount;
    return iChosen < 0 ? 0 : iChosen;
}

int CExpandable::TargetWidth() const
{
    const int iCount = m_aWidths.GetCount();
    return (iCount > 0 && m_iLevel >= 0) ? m_aWidths[m_iLevel % iCount] : GetWidth();
}

int CExpandable::GetTargetHeight() const
{
    const int iCount = m_aHeights.GetCount();
    return (iCount > 0 && m_iLevel >= 0) ? m_aHeights[m_iLevel % iCount] : GetHeight();
}

int CExpandable::GetExpansionHeight(int iLevel) const
{
    if (iLevel < 0 || iLevel >= GetNumberOfExpansionLevels() || iLevel >= m_aHeights.GetCount())
        return GetHeight();
    return m_aHeights[iLevel];
}

bool CExpandable::SwitchLevel(int iLevel)
{
    const int iChosen = ChooseLevel(iLevel);
    if (iChosen < 0 || iChosen == m_iLevel)
        return false;
    m_iLevel = iChosen;
    m_iStartWidth = GetWidth();
    m_iStartHeight = GetHeight();
    return true;
}

void CExpandable::SetExpansionLevel(int iLevel)
{
    if (!SwitchLevel(iLevel))
        return;
    m_fTimeLeft = m_fTransitionTime;
    m_uResizing = 1;
    m_fWidthDelta = static_cast<float>(m_aWidths.GetCount() ? TargetWidth() - m_iStartWidth : 0);
    m_fHeightDelta = static_cast<float>(m_aHeights.GetCount() ? GetTargetHeight() - m_iStartHeight : 0);
    m_OnBeginExpand.Call(this);
}

// A resize already running goes on.
void CExpandable::SetExpansionLevelSkipAnimation(int iLevel)
{
    if (!SwitchLevel(iLevel))
        return;
    m_OnBeginExpand.Call(this);
    JumpToTarget();
    m_OnEndExpand.Call(this);
}

void CExpandable::JumpToTarget()
{
    const int iWidth = TargetWidth(), iHeight = GetTargetHeight();
    SetArea(CKorvelRect<int>(m_rcArea.left, m_rcArea.top, m_rcArea.left + iWidth, m_rcArea.top + iHeight));
}

KE_RETVAL CExpandable::update(float fSeconds)
{
    if (m_uFirstUpdate)
    {
        m_uFirstUpdate = 0;
        const bool bUntouched = m_uResizing && m_fTimeLeft == m_fTransitionTime;
        SetExpansionLevelSkipAnimation(0);
        if (bUntouched)
            m_fTimeLeft = fSeconds / 2.0f;
    }
    const KE_RETVAL r = CButton::update(fSeconds);
    if (r != KE_OK)
        return r;
    if (!m_uResizing)
        return KE_OK;
    m_fTimeLeft -= fSeconds;
    // A transition time of 0 or less completes at once.
    if (m_fTimeLeft <= 0.0f || m_fTransitionTime <= 0.0f)
    {
        m_uResizing = 0;
        m_fTimeLeft = 0.0f;
        JumpToTarget();
        m_OnEndExpand.Call(this);
        return KE_OK;
    }
    // Starts slowly and accelerates.
    const float p = m_fTimeLeft / m_fTransitionTime;
    const float q = (1.0f - p) * (1.0f - p);
    const int iWidth = static_cast<int>(static_cast<float>(m_iStartWidth) + m_fWidthDelta * q);
    const int iHeight = static_cast<int>(static_cast<float>(m_iStartHeight) + m_fHeightDelta * q);
    SetArea(CKorvelRect<int>(m_rcArea.left, m_rcArea.top, m_rcArea.left + iWidth, m_rcArea.top + iHeight));
    return KE_OK;
}

void CExpandable::arrangeChildren()
{
    const CKorvelRect<int> rcClient = GetClientArea();
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        m_aChildren[i]->SetArea(rcClient);
}

void CExpandable::widgetAdded(CWidget* pWidget)
{
    CButton::widgetAdded(pWidget);
    arrangeChildren();
}

void CExpandable::widgetRemoved(CWidget* pWidget)
{
    CButton::widgetRemoved(pWidget);
    arrangeChildren();
}

void CExpandable::areaUpdated(const CKorvelRect<int>& oldArea, const CKorvelRect<int>& newArea)
{
    CButton::areaUpdated(oldArea, newArea);
    arrangeChildren();
}

// Content taller than the current size is cut off, during and after the resize.
KE_RETVAL CExpandable::DrawAt(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    CScopedClip clip(pContext, rect);
    CButton::DrawAt(pContext, rect);
    return KE_OK;
}

// The clone settles at level 0 at its first update.
void CExpandable::initializeClone(const CWidget& source)
{
    CButton::initializeClone(source);
    const CExpandable* pSource = widget_cast<const CExpandable*>(&source);
    if (!pSource)
        return;
    for (int i = 0; i < pSource->m_aWidths.GetCount(); ++i)
        m_aWidths.Add(pSource->m_aWidths[i]);
    for (int i = 0; i < pSource->m_aHeights.GetCount(); ++i)
        m_aHeights.Add(pSource->m_aHeights[i]);
    m_fTransitionTime = pSource->m_fTransitionTime;
    m_OnBeginExpand = pSource->m_OnBeginExpand;
    m_OnEndExpand = pSource->m_OnEndExpand;
    m_iLevel = -1;
    m_uResizing = 0;
}
