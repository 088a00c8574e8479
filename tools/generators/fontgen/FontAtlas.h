// Shelf packing of glyph rectangles onto square pages.
#pragma once
#include <vector>

struct sAtlasPlacement
{
    int iPage = 0;
    int iX = 0;
    int iY = 0;
};

// Places rectangles (width, height) with iPadding pixels around each, tallest first,
// onto pages of iPageSize x iPageSize, opening at most iMaxPages pages. Empty
// rectangles take no room and sit at (0, 0) of page 0. False when they do not fit.
bool PackShelves(const std::vector<std::pair<int, int>>& sizes, int iPageSize, int iPadding, int iMaxPages,
                 std::vector<sAtlasPlacement>& placements, int& iPageCount);
