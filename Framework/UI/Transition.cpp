// Page transitions: the animation steps of the six directions, and the holder that
// starts, stops and advances them.
#include "Framework/UI/Transition.h"

#include <cmath>

#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/Widget.h"

namespace
{
// floor(v + 0.5) as a pixel position; curves stay near 0..1, but a wild one must not overflow.
int RoundPixel(float v)
{
    const float f = std::floor(v + 0.5f);
    if (!(f > -1073741824.0f))
        return -1073741824;
    if (!(f < 1073741824.0f))
        return 1073741824;
    return static_cast<int>(f);
}
} // namespace

CTransition::CTransition()
    : m_pStep(&CTransition::AnimateNone), m_fDuration(0.0f), m_fElapsed(0.0f), m_fDistance(0.0f),
      m_iEndPosition(0), m_iStartPosition(0), m_uRunning(0), m_uMoveOther(0), m_uFirstStep(0),
      m_pFrom(nullptr), m_pTo(nullptr), m_pEasingIn(nullptr), m_pEasingOut(nullptr),
      m_eDirection(DIRECTION_NONE), m_eType(TYPE_NONE)
{
}

CTransition::~CTransition()
{
    delete m_pEasingIn;
    delete m_pEasingOut;
}

unsigned int CTransition::Startup(unsigned int uMoveOther, eTransitionDirection eDirection,
                                  eTransitionType eType, float fDuration)
{
    m_eType = eType;
    m_fDuration = fDuration;
    m_uMoveOther = uMoveOther;
    SetDirection(eDirection);
    return 1;
}

void CTransition::Shutdown()
{
    m_pFrom = nullptr;
    m_pTo = nullptr;
    SetEasingIn(nullptr);
    SetEasingOut(nullptr);
}

void CTransition::SetEasingIn(IEasingCurve* pCurve)
{
    if (pCurve != m_pEasingIn)
        delete m_pEasingIn;
    m_pEasingIn = pCurve;
}

void CTransition::SetEasingOut(IEasingCurve* pCurve)
{
    if (pCurve != m_pEasingOut)
        delete m_pEasingOut;
    m_pEasingOut = pCurve;
}

void CTransition::SetDirection(eTransitionDirection eDirection)
{
    if (m_uRunning)
        return;
    m_eDirection = eDirection;
    switch (eDirection)
    {
    case DIRECTION_TOP:
        m_pStep = &CTransition::AnimateTop;
        break;
    case DIRECTION_BOTTOM:
        m_pStep = &CTransition::AnimateBottom;
        break;
    case DIRECTION_RIGHT:
        m_pStep = &CTransition::AnimateRight;
        break;
    case DIRECTION_LEFT:
        m_pStep = &CTransition::AnimateLeft;
        break;
    case DIRECTION_CENTER:
        m_pStep = &CTransition::AnimateCenter;
        break;
    default:
        m_pStep = &CTransition::AnimateNone;
        break;
    }
}

void CTransition::Start()
{
    m_uFirstStep = 1;
    m_uRunning = 1;
    Update(0.0f);
}

void CTransition::Update(float fSeconds)
{
    if (!m_uRunning)
        return;
    if (m_pFrom && m_pTo && m_pEasingIn && m_pEasingOut)
    {
        (this->*m_pStep)(fSeconds);
        if (m_fElapsed < m_fDuration)
            return;
    }
    Stop();
}

void CTransition::Stop()
{
    m_uRunning = 0;
    m_fElapsed = 0.0f;
    m_fDistance = 0.0f;
    m_iEndPosition = 0;
    m_iStartPosition = 0;
    if (m_pFrom)
        m_pFrom->SetVisible(0);
    m_pFrom = nullptr;
    if (m_pTo)
        m_pTo->SetVisible(1);
    m_pTo = nullptr;
}

void CTransition::JumpToEnd()
{
    if (!m_uRunning)
        return;
    m_fElapsed = m_fDuration;
    Update(0.0f);
}

float CTransition::Progress(const IEasingCurve* pCurve) const
{
    // Without a duration the share would be 0 / 0: the pages go straight to their ends.
    if (!(m_fDuration > 0.0f))
        return pCurve->Easing(1.0f);
    const float t = m_fElapsed < m_fDuration ? m_fElapsed : m_fDuration;
    return pCurve->Easing(t / m_fDuration);
}

void CTransition::AnimateLeft(float fSeconds)
{
    m_fElapsed += fSeconds;
    if (m_eType != TYPE_OUT)
        return;
    if (m_uFirstStep)
    {
        m_pFrom->SetVisible(1);
        m_iEndPosition = m_pFrom->GetWidth();
        m_iStartPosition = 0;
        if (m_uMoveOther)
        {
            m_pTo->SetVisible(1);
            m_pTo->SetPosition(-m_pTo->GetWidth(), m_pTo->GetArea().top);
        }
        m_uFirstStep = 0;
    }
    const float e = Progress(m_pEasingOut);
    m_fDistance = e * static_cast<float>(m_iEndPosition);
    int x = RoundPixel(e * static_cast<float>(m_iEndPosition) + static_cast<float>(m_iStartPosition));
    if (x > m_iEndPosition)
        x = m_iEndPosition;
    m_pFrom->SetPosition(x, m_pFrom->GetArea().top);
    if (m_uMoveOther)
        m_pTo->SetPosition(x - m_pTo->GetWidth(), m_pTo->GetArea().top);
}

void CTransition::AnimateRight(float fSeconds)
{
    m_fElapsed += fSeconds;
    if (m_eType != TYPE_IN)
        return;
    if (m_uFirstStep)
    {
        m_pTo->SetVisible(1);
        m_iStartPosition = m_pTo->GetWidth();
        m_iEndPosition = 0;
        m_pTo->SetPosition(m_iStartPosition, m_pTo->GetArea().top);
        if (m_uMoveOther)
            m_pFrom->SetVisible(1);
        m_uFirstStep = 0;
    }
    const float e = Progress(m_pEasingIn);
    const float fStart = static_cast<float>(m_iStartPosition);
    m_fDistance = e * fStart;
    int x = RoundPixel(fStart - e * fStart);
    if (x < m_iEndPosition)
        x = m_iEndPosition;
    m_pTo->SetPosition(x, m_pTo->GetArea().top);
    if (m_uMoveOther)
        m_pFrom->SetPosition(x - m_pFrom->GetWidth(), m_pFrom->GetArea().top);
}

void CTransition::AnimateVertical(float fSeconds, bool bFromAbove)
{
    m_fElapsed += fSeconds;
    if (m_uFirstStep)
    {
        m_pTo->SetVisible(1);
        const int iHeight = m_pTo->GetHeight();
        m_iStartPosition = bFromAbove ? -iHeight : iHeight;
        m_iEndPosition = 0;
        m_pTo->SetPosition(m_pTo->GetArea().left, m_iStartPosition);
        if (m_uMoveOther)
            m_pFrom->SetVisible(1);
        m_uFirstStep = 0;
    }
    const float e = Progress(m_eType == TYPE_OUT ? m_pEasingOut : m_pEasingIn);
    const int iHeight = bFromAbove ? -m_iStartPosition : m_iStartPosition;
    m_fDistance = e * static_cast<float>(iHeight);
    const int iMoved = RoundPixel(e * static_cast<float>(iHeight));
    int y = 0;
    if (bFromAbove)
        y = m_iStartPosition + iMoved < m_iEndPosition ? m_iStartPosition + iMoved : m_iEndPosition;
    else
        y = m_iStartPosition - iMoved > m_iEndPosition ? m_iStartPosition - iMoved : m_iEndPosition;
    m_pTo->SetPosition(m_pTo->GetArea().left, y);
    if (m_uMoveOther)
        m_pFrom->SetPosition(m_pFrom->GetArea().left,
                             bFromAbove ? y + m_pTo->GetHeight() : y - m_pFrom->GetHeight());
}

void CTransition::AnimateTop(float fSeconds)
{
    AnimateVertical(fSeconds, true);
}

void CTransition::AnimateBottom(float fSeconds)
{
    AnimateVertical(fSeconds, false);
}

void CTransition::AnimateCenter(float fSeconds)
{
    m_fElapsed += fSeconds;
}

void CTransition::AnimateNone(float fSeconds)
{
    m_fElapsed += fSeconds;
}

// ---- CTransitionable

CTransitionable::~CTransitionable()
{
    for (int i = 0; i < m_Transitions.GetCount(); ++i)
        delete m_Transitions[i];
    m_Transitions.Clear();
}

unsigned int CTransitionable::Startup()
{
    m_Transitions.Clear();
    return 1;
}

void CTransitionable::Shutdown()
{
    for (int i = 0; i < m_Transitions.GetCount(); ++i)
    {
        m_Transitions[i]->Shutdown();
        delete m_Transitions[i];
    }
    m_Transitions.Clear();
}

void CTransitionable::Update(float fSeconds)
{
    for (int i = 0; i < m_Transitions.GetCount(); ++i)
        m_Transitions[i]->Update(fSeconds);
}

void CTransitionable::AddTransition(CTransition* pTransition)
{
    if (!pTransition)
        return;
    for (int i = 0; i < m_Transitions.GetCount(); ++i)
    {
        CTransition* pHeld = m_Transitions[i];
        if (pHeld->GetType() == pTransition->GetType() && pHeld != pTransition)
        {
            m_Transitions.RemoveAt(i);
            pHeld->Shutdown();
            delete pHeld;
            break;
        }
    }
    m_Transitions.Add(pTransition);
}

CTransition* CTransitionable::GetTransition(int iType) const
{
    for (int i = 0; i < m_Transitions.GetCount(); ++i)
        if (m_Transitions[i]->GetType() == iType)
            return m_Transitions[i];
    return nullptr;
}

void CTransitionable::StartTransition(int iType, CWidget* pFrom, CWidget* pTo)
{
    for (int i = 0; i < m_Transitions.GetCount(); ++i)
    {
        CTransition* p = m_Transitions[i];
        if (p->GetType() != iType)
            continue;
        p->SetFrom(pFrom);
        p->SetTo(pTo);
        p->Start();
    }
}

void CTransitionable::StopTransition(int iType)
{
    for (int i = 0; i < m_Transitions.GetCount(); ++i)
        if (m_Transitions[i]->GetType() == iType)
            m_Transitions[i]->JumpToEnd();
}

void CTransitionable::StopTransitions()
{
    for (int i = 0; i < m_Transitions.GetCount(); ++i)
        m_Transitions[i]->JumpToEnd();
}

unsigned int CTransitionable::TransitionRunning() const
{
    for (int i = 0; i < m_Transitions.GetCount(); ++i)
        if (m_Transitions[i]->GetRunning())
            return 1;
    return 0;
}

float CTransitionable::GetDistDifference() const
{
    return m_Transitions.GetCount() > 0 ? m_Transitions[0]->GetDistance() : 0.0f;
}
