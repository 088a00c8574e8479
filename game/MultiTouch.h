// Touches as the game's screens read them: the platform's pointer events set the down
// flag and position of a record, and once per fixed step the tracker works out which
// touches went down, moved or were released, and the two-finger pinch of touches 0 and 1.
#pragma once

#include "KorvelCommon/KorvelMath.h"

struct sTouch
{
    CKorvelVector2 position;
    CKorvelVector2 previous;
    CKorvelVector2 delta; // position - previous, over the last step
    CKorvelVector2 start; // where the touch went down, also when it moved before the step
    CKorvelVector2 drag;  // position - start
    unsigned int down;    // set by the input events
    unsigned int previousDown;
    unsigned int moved;
    unsigned int pressed;   // went down in the last step
    unsigned int released;  // went up in the last step
    unsigned int upPending; // went up before any step saw it down: released one step later
};

class CMultiTouch
{
public:
    enum
    {
        TOUCH_COUNT = 16
    };

    CMultiTouch() { Reset(); }

    // Input events; indices of TOUCH_COUNT and above are ignored.
    void OnDown(unsigned int uIndex, int iX, int iY);
    void OnUp(unsigned int uIndex);
    void Reset();
    // Once at the start of every fixed step, before anything reads the records.
    void Step();

    unsigned int m_bAnyPressed;
    unsigned int m_bPinch;
    float m_fPinchDistance;
    float m_fPinchCurrent;
    float m_fPinchDelta; // positive when the fingers part
    CKorvelVector2 m_vPinchStart;
    CKorvelVector2 m_vPinchNow;
    sTouch m_Touches[TOUCH_COUNT];
};
