#include "game/MultiTouch.h"

namespace
{
// A move shorter than about a third of a pixel is not a move (squared length).
const float kMovedThresholdSq = 0.1f;
} // namespace

void CMultiTouch::OnDown(unsigned int uIndex, int iX, int iY)
{
    if (uIndex >= TOUCH_COUNT)
        return;
    sTouch& t = m_Touches[uIndex];
    // Where it went down, even when moves come before the next step.
    if (!t.down)
        t.start.Set((float)iX, (float)iY);
    t.down = 1;
    t.upPending = 0;
    t.position.Set((float)iX, (float)iY);
}

void CMultiTouch::OnUp(unsigned int uIndex)
{
    if (uIndex >= TOUCH_COUNT)
        return;
    sTouch& t = m_Touches[uIndex];
    // A press and release within one frame is a tap: the press is stepped first.
    if (t.down && !t.previousDown)
        t.upPending = 1;
    else
        t.down = 0;
}

void CMultiTouch::Reset()
{
    m_bAnyPressed = 0;
    m_bPinch = 0;
    m_fPinchDistance = m_fPinchCurrent = m_fPinchDelta = 0.0f;
    m_vPinchStart.Set(0.0f, 0.0f);
    m_vPinchNow.Set(0.0f, 0.0f);
    for (sTouch& t : m_Touches)
    {
        t.position.Set(0.0f, 0.0f);
        t.previous.Set(0.0f, 0.0f);
        t.delta.Set(0.0f, 0.0f);
        t.start.Set(0.0f, 0.0f);
        t.drag.Set(0.0f, 0.0f);
        t.down = t.previousDown = t.moved = t.pressed = t.released = t.upPending = 0;
    }
}

void CMultiTouch::Step()
{
    m_bAnyPressed = 0;
    for (sTouch& t : m_Touches)
    {
        // A tap's release comes a step after its press, which saw the touch down.
        if (t.upPending && t.previousDown)
        {
            t.down = 0;
            t.upPending = 0;
        }
        if (t.down && !t.previousDown)
        {
            t.pressed = 1;
            t.previous = t.position;
            m_bAnyPressed = 1;
        }
        else
            t.pressed = 0;
        t.released = (!t.down && t.previousDown) ? 1 : 0;
        t.previousDown = t.down;
        t.delta.Sub(t.position, t.previous);
        t.drag.Sub(t.position, t.start);
        t.moved = t.delta.LengthSq() > kMovedThresholdSq ? 1 : 0;
        t.previous = t.position;
    }

    if (m_Touches[0].down && m_Touches[1].down)
    {
        CKorvelVector2 vNow;
        vNow.Sub(m_Touches[1].position, m_Touches[0].position);
        if (!m_bPinch)
        {
            m_bPinch = 1;
            m_vPinchStart = vNow;
            m_fPinchDistance = vNow.Length();
        }
        m_vPinchNow = vNow;
        m_fPinchCurrent = vNow.Length();
        m_fPinchDelta = m_fPinchCurrent - m_fPinchDistance;
        m_fPinchDistance = m_fPinchCurrent;
    }
    else
        m_bPinch = 0;
}
