#include "FontAtlas.h"

#include <algorithm>
#include <numeric>

bool PackShelves(const std::vector<std::pair<int, int>>& sizes, int iPageSize, int iPadding, int iMaxPages,
                 std::vector<sAtlasPlacement>& placements, int& iPageCount)
{
    placements.assign(sizes.size(), sAtlasPlacement());
    iPageCount = 1;
    std::vector<size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), 0);
    // Tallest first keeps shelves full; ties keep the glyph order so output is stable.
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b)
                     {
                         if (sizes[a].second != sizes[b].second)
                             return sizes[a].second > sizes[b].second;
                         return sizes[a].first > sizes[b].first;
                     });
    int iPage = 0, iX = iPadding, iY = iPadding, iShelf = 0;
    for (size_t i : order)
    {
        const int iW = sizes[i].first, iH = sizes[i].second;
        if (iW <= 0 || iH <= 0)
            continue;
        if (iW + 2 * iPadding > iPageSize || iH + 2 * iPadding > iPageSize)
            return false;
        if (iX + iW + iPadding > iPageSize)
        {
            iY += iShelf + iPadding;
            iX = iPadding;
            iShelf = 0;
        }
        if (iY + iH + iPadding > iPageSize)
        {
            if (++iPage >= iMaxPages)
                return false;
            iX = iPadding;
            iY = iPadding;
            iShelf = 0;
        }
        placements[i].iPage = iPage;
        placements[i].iX = iX;
        placements[i].iY = iY;
        iX += iW + iPadding;
        iShelf = std::max(iShelf, iH);
    }
    iPageCount = iPage + 1;
    return true;
}
