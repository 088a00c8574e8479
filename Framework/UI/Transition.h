// A page slide between two widgets: the page being left and the page being entered are
// moved by an animation step chosen by the direction, eased by a curve, for a duration;
// at the end the page left is hidden and the page entered shown. CTransitionable holds
// and drives a widget's transitions, at most one of each type.
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"

class CWidget;
class IEasingCurve;

class CTransition
{
public:
    enum eTransitionType : int
    {
        TYPE_IN = 0,  // a forward switch
        TYPE_OUT = 1, // a switch back
        TYPE_NONE = 2
    };
    enum eTransitionDirection : int
    {
        DIRECTION_TOP = 0,
        DIRECTION_BOTTOM = 1,
        DIRECTION_RIGHT = 2,
        DIRECTION_LEFT = 3,
        DIRECTION_CENTER = 4,
        DIRECTION_NONE = 5
    };

    CTransition();
    virtual ~CTransition();

    // ---- virtual operations, in slot order
    virtual unsigned int Startup(unsigned int uMoveOther, eTransitionDirection eDirection,
                                 eTransitionType eType, float fDuration);
    // Forgets the pages and deletes both curves.
    virtual void Shutdown();
    virtual void Update(float fSeconds);
    virtual void Start();
    // Hides the page left and shows the page entered.
    virtual void Stop();
    virtual void JumpToEnd();
    // The page entered comes in from above (top) or from below (bottom) to its place.
    virtual void AnimateTop(float fSeconds);
    virtual void AnimateBottom(float fSeconds);
    // In only: the page entered slides in from the right edge.
    virtual void AnimateRight(float fSeconds);
    // Out only: the page left slides off to the right, the page entered following.
    virtual void AnimateLeft(float fSeconds);
    // Nothing moves: the time runs and the pages switch at the end.
    virtual void AnimateCenter(float fSeconds);
    virtual void AnimateNone(float fSeconds);

    // Ignored while running.
    void SetDirection(eTransitionDirection eDirection);
    eTransitionDirection GetDirection() const { return m_eDirection; }
    eTransitionType GetType() const { return m_eType; }
    float GetDuration() const { return m_fDuration; }
    float GetElapsed() const { return m_fElapsed; }
    float GetDistance() const { return m_fDistance; }
    unsigned int GetRunning() const { return m_uRunning; }
    unsigned int GetMoveOther() const { return m_uMoveOther; }
    CWidget* GetFrom() const { return m_pFrom; }
    CWidget* GetTo() const { return m_pTo; }
    void SetFrom(CWidget* pFrom) { m_pFrom = pFrom; }
    void SetTo(CWidget* pTo) { m_pTo = pTo; }
    IEasingCurve* GetEasingIn() const { return m_pEasingIn; }
    IEasingCurve* GetEasingOut() const { return m_pEasingOut; }
    // The transition owns the curve; the previous one is deleted.
    void SetEasingIn(IEasingCurve* pCurve);
    void SetEasingOut(IEasingCurve* pCurve);

private:
    typedef void (CTransition::*AnimationStep)(float);

    CTransition(const CTransition&) = delete;
    CTransition& operator=(const CTransition&) = delete;

    // The curve at the elapsed share of the duration; a duration of 0 or less is over at once.
    float Progress(const IEasingCurve* pCurve) const;
    // The vertical slides: the page entered moves from iStart to 0.
    void AnimateVertical(float fSeconds, bool bFromAbove);

    AnimationStep m_pStep;
    float m_fDuration;
    float m_fElapsed;
    float m_fDistance;
    int m_iEndPosition;
    int m_iStartPosition;
    unsigned int m_uRunning;
    unsigned int m_uMoveOther;
    unsigned int m_uFirstStep;
    CWidget* m_pFrom;           // not owned
    CWidget* m_pTo;             // not owned
    IEasingCurve* m_pEasingIn;  // owned
    IEasingCurve* m_pEasingOut; // owned
    eTransitionDirection m_eDirection;
    eTransitionType m_eType;
};

class CTransitionable
{
public:
    CTransitionable() {}
    virtual ~CTransitionable();

    // ---- virtual operations, in slot order
    // Empties the list without deleting; 1.
    virtual unsigned int Startup();
    // Shuts down and deletes every transition.
    virtual void Shutdown();
    virtual void Update(float fSeconds);

    // Takes ownership; one of the same type already held is deleted. Null does nothing.
    void AddTransition(CTransition* pTransition);
    CTransition* GetTransition(int iType) const;
    int GetTransitionCount() const { return m_Transitions.GetCount(); }
    void StartTransition(int iType, CWidget* pFrom, CWidget* pTo);
    void StopTransition(int iType);
    void StopTransitions();
    unsigned int TransitionRunning() const;
    // The first transition's distance, 0 without transitions.
    float GetDistDifference() const;

private:
    CTransitionable(const CTransitionable&) = delete;
    CTransitionable& operator=(const CTransitionable&) = delete;

    CKorvelTypedPtrArray<CTransition> m_Transitions; // owned
};
