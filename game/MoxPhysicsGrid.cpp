#include "game/MoxPhysicsGrid.h"

#include "game/MoxPhysics.h"

#include <algorithm>

namespace
{
// Cells per axis at most, and cells one body may fill before it is tested always.
const int kGridMax = 64;
const int kBodyCellsMax = 64;

bool IsFinite(const CMoxBox& b)
{
    return b.left - b.left == 0.0f && b.bottom - b.bottom == 0.0f && b.right - b.right == 0.0f &&
           b.top - b.top == 0.0f;
}

// Cells along one axis for an extent and the mean body size along it.
int CellsFor(float extent, float meanSize)
{
    if (!(extent > 0.0f) || !(meanSize > 0.0f))
        return 1;
    float n = extent / meanSize;
    return n >= static_cast<float>(kGridMax) ? kGridMax : (n < 1.0f ? 1 : static_cast<int>(n));
}

template <class F>
void ForEachFixed(const CKorvelTypedPtrArray<CBody>& bodies, const std::vector<int>& moving, F f)
{
    size_t next = 0;
    for (int i = 0; i < bodies.GetCount(); ++i)
    {
        if (next < moving.size() && moving[next] == i)
        {
            ++next;
            continue;
        }
        f(i, bodies[i]);
    }
}
} // namespace

// Monotonic in x, so a body and a box that overlap always share a cell.
int CMoxFixedGrid::CellX(float x) const
{
    float f = (x - m_fLeft) * m_fScaleX;
    if (!(f > 0.0f))
        return 0;
    return f >= static_cast<float>(m_iWidth) ? m_iWidth - 1 : static_cast<int>(f);
}

int CMoxFixedGrid::CellY(float y) const
{
    float f = (y - m_fBottom) * m_fScaleY;
    if (!(f > 0.0f))
        return 0;
    return f >= static_cast<float>(m_iHeight) ? m_iHeight - 1 : static_cast<int>(f);
}

void CMoxFixedGrid::Build(const CKorvelTypedPtrArray<CBody>& bodies, const std::vector<int>& moving)
{
    float left = 0.0f, bottom = 0.0f, right = 0.0f, top = 0.0f, sumW = 0.0f, sumH = 0.0f;
    int placed = 0;
    ForEachFixed(bodies, moving,
                 [&](int, const CBody* body)
                 {
                     CMoxBox b = body->CurrentBox();
                     if (!IsFinite(b))
                         return;
                     left = placed ? std::min(left, b.left) : b.left;
                     bottom = placed ? std::min(bottom, b.bottom) : b.bottom;
                     right = placed ? std::max(right, b.right) : b.right;
                     top = placed ? std::max(top, b.top) : b.top;
                     sumW += b.right - b.left;
                     sumH += b.top - b.bottom;
                     ++placed;
                 });
    m_iWidth = placed ? CellsFor(right - left, sumW / static_cast<float>(placed)) : 1;
    m_iHeight = placed ? CellsFor(top - bottom, sumH / static_cast<float>(placed)) : 1;
    m_fLeft = left;
    m_fBottom = bottom;
    m_fScaleX = right - left > 0.0f ? static_cast<float>(m_iWidth) / (right - left) : 0.0f;
    m_fScaleY = top - bottom > 0.0f ? static_cast<float>(m_iHeight) / (top - bottom) : 0.0f;

    // Counting, then filling, so that each cell lists its bodies in list order.
    const int cells = m_iWidth * m_iHeight;
    m_aCells.assign(cells, sCELL{0, 0});
    m_aAlways.clear();
    for (int pass = 0; pass < 2; ++pass)
    {
        ForEachFixed(bodies, moving,
                     [&](int i, const CBody* body)
                     {
                         sENTRY e{i, body->m_uCollisionMask, body->CurrentBox(), 0, 0};
                         int x1 = 0, y1 = 0;
                         if (IsFinite(e.m_Box))
                         {
                             e.m_iCellX = CellX(e.m_Box.left), x1 = CellX(e.m_Box.right);
                             e.m_iCellY = CellY(e.m_Box.bottom), y1 = CellY(e.m_Box.top);
                         }
                         if (!IsFinite(e.m_Box) ||
                             (x1 - e.m_iCellX + 1) * (y1 - e.m_iCellY + 1) > kBodyCellsMax)
                         {
                             if (pass == 0)
                                 m_aAlways.push_back(e);
                             return;
                         }
                         for (int y = e.m_iCellY; y <= y1; ++y)
                             for (int x = e.m_iCellX; x <= x1; ++x)
                             {
                                 int c = y * m_iWidth + x;
                                 if (pass == 0)
                                     ++m_aCells[c].m_iCount;
                                 else
                                     m_aEntries[m_aCells[c].m_iFirst + m_aFill[c]++] = e;
                             }
                     });
        if (pass == 0)
        {
            int first = 0;
            for (sCELL& cell : m_aCells)
            {
                cell.m_iFirst = first;
                first += cell.m_iCount;
            }
            m_aEntries.resize(first);
            m_aFill.assign(cells, 0);
        }
    }
}

void CMoxFixedGrid::Query(const CMoxBox& box, unsigned int mask, int after, std::vector<int>& out) const
{
    const int x0 = CellX(box.left), x1 = CellX(box.right);
    const int y0 = CellY(box.bottom), y1 = CellY(box.top);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
        {
            const sCELL& cell = m_aCells[y * m_iWidth + x];
            const sENTRY* e = m_aEntries.data() + cell.m_iFirst;
            for (int k = 0; k < cell.m_iCount; ++k, ++e)
            {
                // A body in several cells answers only in the first cell the query shares with it.
                if (e->m_iIndex <= after || !(e->m_uMask & mask) || x != std::max(x0, e->m_iCellX) ||
                    y != std::max(y0, e->m_iCellY) || !MoxBoxesOverlap(box, e->m_Box))
                    continue;
                out.push_back(e->m_iIndex);
            }
        }
    for (const sENTRY& e : m_aAlways)
        if (e.m_iIndex > after && (e.m_uMask & mask) && MoxBoxesOverlap(box, e.m_Box))
            out.push_back(e.m_iIndex);
}
