#include "Framework/Lobby/VornToastNotification.h"

#include <cmath>
#include <new>

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/Widget.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"

namespace
{
CWidget* Find(CWidget* pRoot, const char* pName)
{
    return pRoot ? pRoot->FindWidget(CKorvelString(pName), -1) : nullptr;
}

int Round(float fValue)
{
    return static_cast<int>(std::floor(fValue + 0.5f));
}
} // namespace

CVornToastNotification::CVornToastNotification()
    : m_pRoot(nullptr), m_pHitArea(nullptr), m_pBackground(nullptr), m_pActions(nullptr), m_fShowTime(-1.0f),
      m_fDuration(DEFAULT_SECONDS), m_uHiding(0), m_uVisible(0), m_iType(TYPE_MESSAGE)
{
}

CVornToastNotification::~CVornToastNotification()
{
    ClearQueue();
    ReleaseLayout();
}

KE_RETVAL CVornToastNotification::Startup(CKestrolundApplication* pApplication)
{
    CVornNotification::Startup(pApplication);
    int iWidth = 0, iHeight = 0;
    GetBackBufferSize(iWidth, iHeight);
    LoadLayout(iWidth, iHeight);
    return KE_OK;
}

void CVornToastNotification::Shutdown()
{
    ClearQueue();
    ReleaseLayout();
    CVornNotification::Shutdown();
}

void CVornToastNotification::ClearQueue()
{
    for (int i = 0; i < m_aQueue.GetCount(); ++i)
        delete m_aQueue[i];
    m_aQueue.Clear();
}

void CVornToastNotification::ReleaseLayout()
{
    DeleteTree(m_pRoot);
    m_pHitArea = nullptr;
    m_pBackground = nullptr;
    delete m_pActions;
    m_pActions = nullptr;
}

unsigned int CVornToastNotification::OnScreenChanged(int iWidth, int iHeight)
{
    LoadLayout(iWidth, iHeight);
    return 1;
}

KE_RETVAL CVornToastNotification::LoadLayout(int iWidth, int iHeight)
{
    ReleaseLayout();
    m_pActions = new (std::nothrow) CActions;
    if (!m_pActions)
        return KE_ERR_OUTOFMEMORY;
    m_pActions->Register("toast_click", ToastClick, this);
    KE_RETVAL iResult = KE_OK;
    m_pRoot = LoadAreaTree("toast-root.xml", iWidth, iHeight, *m_pActions, iResult);
    if (!m_pRoot)
        return iResult;
    m_pHitArea = Find(m_pRoot, "toast_hitarea");
    m_pBackground = Find(m_pRoot, "toast_bg");
    if (m_fShowTime > 0.0f && m_Current.m_fDuration > m_fShowTime)
    {
        const float fShowTime = m_fShowTime;
        const sToastRequest current = m_Current;
        LoadRequest(current);
        m_fShowTime = fShowTime;
    }
    return KE_OK;
}

unsigned int CVornToastNotification::OnThemeChanged()
{
    return 1;
}

void CVornToastNotification::SetVisible(unsigned int uVisible)
{
    m_uVisible = uVisible;
}

unsigned int CVornToastNotification::GetVisible()
{
    return m_uVisible;
}

int CVornToastNotification::GetType()
{
    return m_iType;
}

void CVornToastNotification::Add(const CKorvelString& strText, int iType, float fSeconds)
{
    CKorvelString strShown(strText);
    if (iType == TYPE_ACHIEVEMENT)
        strShown.Add(CKorvelString("\n\nAchievement unlocked!"));
    for (int i = 0; i < m_aQueue.GetCount(); ++i)
        if (m_aQueue[i]->m_strText.Compare(strShown) == 0)
            return;
    sToastRequest* pRequest = new (std::nothrow) sToastRequest;
    if (!pRequest)
        return;
    pRequest->m_strText = strShown;
    pRequest->m_fDuration = fSeconds == 0.0f ? DEFAULT_SECONDS : fSeconds;
    pRequest->m_iType = iType;
    if (m_uVisible)
    {
        if (m_aQueue.Add(pRequest) < 0)
            delete pRequest;
        return;
    }
    LoadRequest(*pRequest);
    delete pRequest;
}

void CVornToastNotification::LoadRequest(const sToastRequest& request)
{
    if (!m_pHitArea)
        return;
    CWidget* apIcons[] = {Find(m_pRoot, "toast_icon_message"), Find(m_pRoot, "toast_icon_challenge"),
                          Find(m_pRoot, "toast_icon_achievement")};
    if (!apIcons[0] || !apIcons[1] || !apIcons[2])
        return;
    for (CWidget* pIcon : apIcons)
        pIcon->SetVisible(0);
    if (request.m_iType == TYPE_MESSAGE)
        apIcons[0]->SetVisible(1);
    else if (request.m_iType == -1 || request.m_iType == TYPE_CHALLENGE)
        apIcons[1]->SetVisible(1);
    else if (request.m_iType == TYPE_ACHIEVEMENT)
        apIcons[2]->SetVisible(1);
    if (CTextWidget* pMessage = widget_cast<CTextWidget*>(Find(m_pRoot, "toast_message")))
        pMessage->SetText(request.m_strText);
    m_fDuration = request.m_fDuration;
    m_iType = request.m_iType;
    m_uVisible = 1;
    m_fShowTime = 0.0f;
    m_Current = request;
}

void CVornToastNotification::Hide()
{
    if (m_uHiding)
        return;
    if (m_fShowTime < m_fDuration - SLIDE_SECONDS)
        m_fShowTime = m_fDuration - SLIDE_SECONDS;
    m_uHiding = 1;
    m_Current.m_fDuration = 0.0f;
    m_Current.m_strText.Reset();
}

void CVornToastNotification::Drop(int iType)
{
    for (int i = m_aQueue.GetCount() - 1; i >= 0; --i)
        if (m_aQueue[i]->m_iType == iType)
        {
            delete m_aQueue[i];
            m_aQueue.RemoveAt(i);
        }
    if (!m_uVisible || m_iType != iType)
        return;
    Hide();
    m_iType = 0;
}

bool CVornToastNotification::Holds(int iType) const
{
    for (int i = 0; i < m_aQueue.GetCount(); ++i)
        if (m_aQueue[i]->m_iType == iType)
            return true;
    return m_uVisible && !m_uHiding && m_iType == iType;
}

KE_RETVAL CVornToastNotification::ToastClick(CWidget*, void* pContext)
{
    static_cast<CVornToastNotification*>(pContext)->Hide();
    return KE_OK;
}

void CVornToastNotification::MoveTo(int iY)
{
    m_pHitArea->SetPosition(m_pHitArea->GetArea().left, iY);
    if (m_pBackground)
        m_pBackground->SetPosition(m_pBackground->GetArea().left, iY);
}

void CVornToastNotification::Update(float fSeconds)
{
    if (!m_uVisible)
        return;
    m_fShowTime += fSeconds;
    if (m_pRoot)
        m_pRoot->DoUpdate(fSeconds);
    const float t = m_fShowTime;
    if (m_pHitArea && m_pHitArea->GetParent())
    {
        // The hit area rests on the bottom edge; the layout gives it a clear strip below
        // the picture so that the picture itself keeps off the edge.
        const float fBottom = static_cast<float>(m_pHitArea->GetParent()->GetClientArea().bottom);
        const float fHeight = static_cast<float>(m_pHitArea->GetHeight());
        const float fLeaving = m_fDuration - SLIDE_SECONDS;
        if (t <= SLIDE_SECONDS)
            MoveTo(Round(fBottom - fHeight * t / SLIDE_SECONDS));
        else if (t <= fLeaving)
            MoveTo(static_cast<int>(fBottom - fHeight));
        else if (t < m_fDuration)
            MoveTo(Round(fBottom - fHeight * (1.0f - (t - fLeaving) / SLIDE_SECONDS)));
    }
    if (t < m_fDuration)
        return;
    m_uVisible = 0;
    m_uHiding = 0;
    m_fShowTime = -1.0f;
    m_Current.m_strText.Reset();
    if (m_aQueue.GetCount() > 0)
    {
        sToastRequest* pNext = m_aQueue[0];
        m_aQueue.RemoveAt(0);
        LoadRequest(*pNext);
        delete pNext;
    }
}

void CVornToastNotification::Draw()
{
    if (!m_uVisible || !m_pRoot || !m_pApplication)
        return;
    m_pApplication->ResetInactivityTime();
    if (IKorvelGraphicsContext* pBack = m_pApplication->GetBack())
        m_pRoot->DoDraw(pBack);
}

unsigned int CVornToastNotification::OnMouseButton(unsigned int uButton, int iX, int iY)
{
    if (!m_pHitArea || !m_pRoot || !m_uVisible)
        return 0;
    return PassToTree(m_pRoot, &CWidget::DoMouseButton, uButton, iX, iY) ? 1 : 0;
}

// Release and drag reach the tree, and count as taken inside the hit area only.
unsigned int CVornToastNotification::OnMouseButtonUp(unsigned int uButton, int iX, int iY)
{
    if (!m_pHitArea || !m_pRoot || !m_uVisible)
        return 0;
    PassToTree(m_pRoot, &CWidget::DoMouseButtonUp, uButton, iX, iY);
    return InsideHitArea(iX, iY);
}

unsigned int CVornToastNotification::OnMouseDrag(unsigned int uButton, int iX, int iY)
{
    if (!m_pHitArea || !m_pRoot || !m_uVisible)
        return 0;
    PassToTree(m_pRoot, &CWidget::DoMouseDrag, uButton, iX, iY);
    return InsideHitArea(iX, iY);
}

unsigned int CVornToastNotification::InsideHitArea(int iX, int iY) const
{
    m_pHitArea->MapFrom(nullptr, iX, iY);
    return iX >= 0 && iY >= 0 && iX <= m_pHitArea->GetWidth() && iY <= m_pHitArea->GetHeight() ? 1 : 0;
}
