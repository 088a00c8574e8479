// The bodies that hold still during a step (everything not dynamic when it starts), in a
// uniform grid, so that each moving body meets only the ones near it.
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"
#include "game/MoxBox.h"

#include <vector>

class CBody;

class CMoxFixedGrid
{
public:
    // From every body of the list whose index is not in `moving` (ascending).
    void Build(const CKorvelTypedPtrArray<CBody>& bodies, const std::vector<int>& moving);
    // Appends the list indices above `after` of the bodies whose boxes overlap `box` strictly
    // and whose masks share a bit with `mask`, each once, in no particular order.
    void Query(const CMoxBox& box, unsigned int mask, int after, std::vector<int>& out) const;

private:
    struct sENTRY
    {
        int m_iIndex;
        unsigned int m_uMask;
        CMoxBox m_Box;
        int m_iCellX, m_iCellY; // the body's first cell
    };
    struct sCELL
    {
        int m_iFirst; // into m_aEntries
        int m_iCount;
    };
    std::vector<sENTRY> m_aEntries; // by cell, each cell in list order
    std::vector<sENTRY> m_aAlways;  // too large or not finite: tested against every query
    std::vector<sCELL> m_aCells;
    std::vector<int> m_aFill;
    float m_fLeft = 0.0f, m_fBottom = 0.0f, m_fScaleX = 0.0f, m_fScaleY = 0.0f;
    int m_iWidth = 1, m_iHeight = 1;

    int CellX(float x) const;
    int CellY(float y) const;
};
