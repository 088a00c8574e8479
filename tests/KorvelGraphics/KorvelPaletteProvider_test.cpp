#include "KorvelGraphics/KorvelPaletteProvider.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

namespace
{
// A host with a two-colour palette whose lookup table maps everything to one index.
class CTestHost : public IKorvelSurfaceHost
{
public:
    unsigned int auPalette[256] = {};
    unsigned char auLookup[4096] = {};
    bool bHasPalette = true;
    int iLookupCalls = 0;
    unsigned int* GetPalette() override { return bHasPalette ? auPalette : nullptr; }
    unsigned char* GetPaletteLookupTable() override
    {
        ++iLookupCalls;
        return bHasPalette ? auLookup : nullptr;
    }
    eKET_SURFACEFORMAT GetCompatibleDisplayFormat() override { return KE_SURFACE_RGB565; }
};
} // namespace

TEST(CKorvelPaletteProvider, DefaultPaletteIs332)
{
    unsigned int pal[256];
    CKorvelPaletteProvider::BuildDefaultPalette(pal);
    EXPECT_EQ(0x242400u, pal[0x24]);
    EXPECT_EQ(0x000055u, pal[1]);
    EXPECT_EQ(0xDA0000u, pal[0xC0]); // 6 x 255 / 7 = 218
    const unsigned char* pLut = CKorvelPaletteProvider::GetLookupTable(nullptr);
    EXPECT_EQ(255, pLut[0xFFF]);
    EXPECT_EQ(0, pLut[0]);
    EXPECT_EQ(0xE0, pLut[0xF00]); // pure red
}

TEST(CKorvelPaletteProvider, ClosestColourPrefersExactThenFirstNearest)
{
    unsigned int pal[256] = {};
    pal[0] = 0x01FF0000; // same channels as red, but not equal as a word
    pal[5] = 0x00FF0000;
    EXPECT_EQ(5, CKorvelPaletteProvider::GetClosestFromPalette(pal, 0xAAFF0000));
    pal[5] = 0x00FE0000;
    EXPECT_EQ(0, CKorvelPaletteProvider::GetClosestFromPalette(pal, 0xFF0000));
    // Ties go to the first entry.
    pal[0] = 0x000010;
    pal[1] = 0x000010;
    EXPECT_EQ(0, CKorvelPaletteProvider::GetClosestFromPalette(pal, 0x000011));
    EXPECT_EQ(0, CKorvelPaletteProvider::GetClosestFromPalette(nullptr, 0x123456));
}

TEST(CKorvelPaletteProvider, RegisteredHostServesItsOwnSurfacesOnly)
{
    int iApp = 0, iOther = 0;
    IKorvelApplication* pApp = reinterpret_cast<IKorvelApplication*>(&iApp);
    IKorvelApplication* pOther = reinterpret_cast<IKorvelApplication*>(&iOther);
    CTestHost host;
    host.auPalette[7] = 0x123456;
    CKorvelPaletteProvider::Register(pApp, &host);

    CTestSurface mine(1, 1, KE_SURFACE_P8, false, pApp);
    mine.SetPixel(0, 0, 7);
    EXPECT_EQ(0xFF123456u, mine.GetPixelDIB(0, 0));
    EXPECT_GT(host.iLookupCalls, 0); // the host builds its palette before it is read
    EXPECT_EQ(KE_SURFACE_RGB565, CKorvelPaletteProvider::GetCompatibleDisplayFormat(pApp));

    CTestSurface theirs(1, 1, KE_SURFACE_P8, false, pOther);
    theirs.SetPixel(0, 0, 0xFF);
    EXPECT_EQ(0xFFFFFFFFu, theirs.GetPixelDIB(0, 0)); // default palette

    // Without a palette the host's surfaces read 0 and their kernels write nothing.
    host.bHasPalette = false;
    EXPECT_EQ(0u, mine.GetPixelDIB(0, 0));
    EXPECT_EQ(0u, mine.MakeColor(0xFFFFFFFF));
    mine.Fade(nullptr, 0.5f);
    EXPECT_EQ(7u, mine.GetPixel(0, 0));

    CKorvelPaletteProvider::Unregister(pOther); // not the registered one: no change
    EXPECT_EQ(nullptr, CKorvelPaletteProvider::GetPalette(pApp));
    CKorvelPaletteProvider::Unregister(pApp);
    EXPECT_NE(nullptr, CKorvelPaletteProvider::GetPalette(pApp));
}

TEST(CKorvelPaletteProvider, TwoApplicationsKeepTheirOwnHosts)
{
    int iFirst = 0, iSecond = 0;
    IKorvelApplication* pFirst = reinterpret_cast<IKorvelApplication*>(&iFirst);
    IKorvelApplication* pSecond = reinterpret_cast<IKorvelApplication*>(&iSecond);
    CTestHost first, second;
    first.auPalette[3] = 0x111111;
    second.auPalette[3] = 0x222222;
    CKorvelPaletteProvider::Register(pFirst, &first);
    CKorvelPaletteProvider::Register(pSecond, &second);

    CTestSurface a(1, 1, KE_SURFACE_P8, false, pFirst), b(1, 1, KE_SURFACE_P8, false, pSecond);
    a.SetPixel(0, 0, 3);
    b.SetPixel(0, 0, 3);
    EXPECT_EQ(0xFF111111u, a.GetPixelDIB(0, 0));
    EXPECT_EQ(0xFF222222u, b.GetPixelDIB(0, 0));

    // Either one going leaves the other registered.
    CKorvelPaletteProvider::Unregister(pFirst);
    EXPECT_EQ(0xFF222222u, b.GetPixelDIB(0, 0));
    CKorvelPaletteProvider::Register(pFirst, &first);
    CKorvelPaletteProvider::Unregister(pSecond);
    EXPECT_EQ(0xFF111111u, a.GetPixelDIB(0, 0));
    CKorvelPaletteProvider::Unregister(pFirst);
}
