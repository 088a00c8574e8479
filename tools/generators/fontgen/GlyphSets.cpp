#include "GlyphSets.h"

GlyphSet GameGlyphSet()
{
    GlyphSet set;
    for (unsigned int u = 32; u <= 126; ++u)
        set.emplace_back(u, u);
    for (unsigned int u = 160; u <= 255; ++u)
        set.emplace_back(u, u);
    for (unsigned int u : {0x2013u, 0x2014u, 0x2018u, 0x2019u, 0x201Cu, 0x201Du, 0x2026u, 0x20ACu})
        set.emplace_back(u, u);
    return set;
}

GlyphSet BuiltinGlyphSet()
{
    // Windows-1252 0x80-0x9F; 0 marks the slots the built-in font leaves out.
    static const unsigned int s_uCp1252[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    GlyphSet set;
    for (unsigned int u = 32; u <= 126; ++u)
        set.emplace_back(u, u);
    for (unsigned int u = 128; u < 160; ++u)
        if (s_uCp1252[u - 128])
            set.emplace_back(u, s_uCp1252[u - 128]);
    for (unsigned int u = 160; u <= 255; ++u)
        set.emplace_back(u, u);
    return set;
}
