// The characters each kind of font carries, as (id in the description, Unicode code point).
#pragma once
#include <utility>
#include <vector>

using GlyphSet = std::vector<std::pair<unsigned int, unsigned int>>;

// Game fonts: ASCII 32-126, Latin-1 160-255 and the typographic quotes, dashes,
// ellipsis and euro, each under its own Unicode value.
GlyphSet GameGlyphSet();

// The engine's built-in font: the 218 slots 32-126, 128, 130-140, 142, 145-156 and
// 158-255, where 128-159 hold the Windows-1252 characters of those slots.
GlyphSet BuiltinGlyphSet();
