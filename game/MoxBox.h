// The physics' boxes: world rectangles with y up (bottom < top).
#pragma once

#include "KorvelCommon/KorvelRect.h"

typedef CKorvelRect<float> CMoxBox;

// Strict overlap: boxes that only share an edge or a corner do not overlap.
inline bool MoxBoxesOverlap(const CMoxBox& a, const CMoxBox& b)
{
    return !(a.right <= b.left || a.left >= b.right || a.top <= b.bottom || a.bottom >= b.top);
}
