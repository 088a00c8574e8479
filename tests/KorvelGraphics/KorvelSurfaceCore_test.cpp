#include "KorvelGraphics/KorvelPaletteProvider.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

namespace
{
std::vector<int> Edges(const CKorvelRect<int>& r)
{
    return {r.left, r.top, r.right, r.bottom};
}
std::vector<float> Edges(const CKorvelRect<float>& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

class CFormatHost : public IKorvelSurfaceHost
{
public:
    explicit CFormatHost(eKET_SURFACEFORMAT e) : m_eFormat(e) {}
    unsigned int* GetPalette() override { return nullptr; }
    unsigned char* GetPaletteLookupTable() override { return nullptr; }
    eKET_SURFACEFORMAT GetCompatibleDisplayFormat() override { return m_eFormat; }
    eKET_SURFACEFORMAT m_eFormat;
};
} // namespace

TEST(CKorvelSurface, CreateSetsUpTheDescriptionAndRefusesBadSizesAndFormats)
{
    CKorvelSurface s;
    SKE_SURFACEDESC desc = {10, 4, 999, KE_SURFACE_RGB888, 0, 0};
    ASSERT_EQ(KE_OK, s.Create(nullptr, desc));
    SKE_SURFACEDESC got;
    EXPECT_NE(nullptr, s.Lock(&got, 1));
    EXPECT_EQ(30, got.iPitch);
    EXPECT_EQ(3, got.iBytesPerPixel);
    EXPECT_EQ(1, s.IsLinear());

    desc.iWidth = 0;
    EXPECT_EQ(KE_ERR_INVALIDARG, s.Create(nullptr, desc));
    EXPECT_EQ(nullptr, s.Lock(nullptr, 1));
    desc.iWidth = -5;
    EXPECT_EQ(KE_ERR_INVALIDARG, s.Create(nullptr, desc));
    desc.iWidth = 4;
    desc.eFormat = static_cast<eKET_SURFACEFORMAT>(9);
    EXPECT_EQ(KE_ERR_DECODE, s.Create(nullptr, desc));
    desc.iWidth = 1 << 16;
    desc.iHeight = 1 << 16;
    desc.eFormat = KE_SURFACE_ARGB8888;
    EXPECT_EQ(KE_ERR_OUTOFMEMORY, s.Create(nullptr, desc)); // 16 GiB does not fit the 32-bit block size
    s.Shutdown();
}

TEST(CKorvelSurface, FormatZeroTakesTheHostsDisplayFormatOrSeven)
{
    CTestSurface none(2, 2, KE_SURFACE_COMPATIBLE);
    EXPECT_EQ(KE_SURFACE_ABGR8888, none.GetFormat());

    int iApp = 0;
    IKorvelApplication* pApp = reinterpret_cast<IKorvelApplication*>(&iApp);
    CFormatHost host(KE_SURFACE_RGB565);
    CKorvelPaletteProvider::Register(pApp, &host);
    {
        CTestSurface s(2, 2, KE_SURFACE_COMPATIBLE, false, pApp);
        EXPECT_EQ(KE_SURFACE_RGB565, s.GetFormat());
        host.m_eFormat = KE_SURFACE_COMPATIBLE;
        CTestSurface t(2, 2, KE_SURFACE_COMPATIBLE, false, pApp);
        EXPECT_EQ(KE_SURFACE_ABGR8888, t.GetFormat());
    }
    CKorvelPaletteProvider::Unregister(pApp);
}

TEST(CKorvelSurface, CreateIndirectAdoptsTheCallersPixelsAndPitch)
{
    unsigned short aPixels[2 * 8] = {};
    aPixels[8 + 2] = 0xABCD; // row 1 starts 16 bytes in
    CKorvelSurface s;
    SKE_SURFACEDESC desc = {3, 2, 16, KE_SURFACE_RGB565, 0, 0};
    EXPECT_EQ(KE_OK, s.CreateIndirect(nullptr, desc, aPixels));
    EXPECT_EQ(0xABCDu, s.GetPixel(2, 1));
    EXPECT_EQ(0, s.IsLinear()); // 16 x 2 bytes of rows, 12 bytes of pixels
    s.SetPixel(0, 1, 0x1234);
    EXPECT_EQ(0x1234, aPixels[8]);
    s.Shutdown(); // must not free the caller's buffer
    EXPECT_EQ(0x1234, aPixels[8]);
}

TEST(CKorvelSurface, RawPixelsInEveryLayout)
{
    CTestSurface s24(3, 2, KE_SURFACE_RGB888);
    s24.SetPixel(1, 1, 0x123456);
    unsigned char* p = static_cast<unsigned char*>(s24.Lock(nullptr, 1));
    EXPECT_EQ(0x12, p[9 + 3]);
    EXPECT_EQ(0x34, p[9 + 4]);
    EXPECT_EQ(0x56, p[9 + 5]);
    EXPECT_EQ(0x123456u, s24.GetPixel(1, 1));

    // Values are cut to the pixel's width.
    const struct
    {
        eKET_SURFACEFORMAT eFormat;
        unsigned int uSet, uGet;
    } aCases[] = {{KE_SURFACE_P8, 0x1FF, 0xFF},
                  {KE_SURFACE_RGB444, 0x12345, 0x2345},
                  {KE_SURFACE_ABGR8888, 0x89ABCDEF, 0x89ABCDEF}};
    for (const auto& c : aCases)
    {
        CTestSurface s(2, 2, c.eFormat);
        s.SetPixel(1, 1, c.uSet);
        EXPECT_EQ(c.uGet, s.GetPixel(1, 1)) << c.eFormat;
    }
    CTestSurface s32(2, 2, KE_SURFACE_ABGR8888);

    // Outside: reads 0, writes nothing.
    s32.SetPixel(2, 0, 1);
    s32.SetPixel(-1, 0, 1);
    EXPECT_EQ(0u, s32.GetPixel(2, 0));
    EXPECT_EQ(0u, s32.GetPixel(0, -1));
    CKorvelSurface empty;
    EXPECT_EQ(0u, empty.GetPixel(0, 0));
}

TEST(CKorvelSurface, ColourValuesOfPixels)
{
    CTestSurface s565(2, 1, KE_SURFACE_RGB565);
    s565.SetPixel(0, 0, 0xFFFF);
    EXPECT_EQ(0xFFF8FCF8u, s565.GetPixelDIB(0, 0));
    s565.CreateAlphaChannel();
    s565.GetAlphaChannel()[0] = 0x40;
    EXPECT_EQ(0x40F8FCF8u, s565.GetPixelDIB(0, 0));
    EXPECT_EQ(0u, s565.GetPixelDIB(5, 0));

    CTestSurface s7(1, 1, KE_SURFACE_ABGR8888);
    s7.SetPixel(0, 0, 0x80302010);
    EXPECT_EQ(0x80102030u, s7.GetPixelDIB(0, 0));
    CTestSurface s6(1, 1, KE_SURFACE_ARGB8888);
    s6.SetPixel(0, 0, 0x80302010);
    EXPECT_EQ(0x80302010u, s6.GetPixelDIB(0, 0));

    // The default palette: index 0x24 has 3-bit red and green of 1 (36) and blue 0.
    CTestSurface s8(1, 1, KE_SURFACE_P8);
    s8.SetPixel(0, 0, 0x24);
    EXPECT_EQ(0xFF242400u, s8.GetPixelDIB(0, 0));
    s8.SetPixel(0, 0, 0xFF);
    EXPECT_EQ(0xFFFFFFFFu, s8.GetPixelDIB(0, 0));

    for (eKET_SURFACEFORMAT e : {KE_SURFACE_RGB444, KE_SURFACE_RGB555, KE_SURFACE_RGB888})
    {
        CTestSurface s(1, 1, e);
        s.SetPixel(0, 0, 0);
        EXPECT_EQ(0xFFFFFFFFu, s.GetPixelDIB(0, 0));
    }
}

TEST(CKorvelSurface, MakeColorPacksIntoEachFormat)
{
    const unsigned int c = 0xFF102030;
    EXPECT_EQ(0xFF302010u, CTestSurface(1, 1, KE_SURFACE_ABGR8888).MakeColor(c));
    EXPECT_EQ(0xFF102030u, CTestSurface(1, 1, KE_SURFACE_ARGB8888).MakeColor(c));
    EXPECT_EQ(0x102030u, CTestSurface(1, 1, KE_SURFACE_RGB888).MakeColor(c));
    EXPECT_EQ((2u << 11) | (8u << 5) | 6u, CTestSurface(1, 1, KE_SURFACE_RGB565).MakeColor(c));
    EXPECT_EQ(0xFFFFFFFFu, CTestSurface(1, 1, KE_SURFACE_RGB555).MakeColor(c));
    EXPECT_EQ(0xFFFFFFFFu, CTestSurface(1, 1, KE_SURFACE_RGB444).MakeColor(c));
    CTestSurface s8(1, 1, KE_SURFACE_P8);
    EXPECT_EQ(0xFFu, s8.MakeColor(0xFFFFFFFF));
    EXPECT_EQ(0u, s8.MakeColor(0));
    // Channels beyond a byte still index inside the lookup table.
    s8.MakeColor(1000, 1000, 1000, 0);

    CTestSurface s24(1, 1, KE_SURFACE_RGB888);
    s24.SetPixelDIB(0, 0, 0x80ABCDEF);
    EXPECT_EQ(0xABCDEFu, s24.GetPixel(0, 0));
    CTestSurface s555(1, 1, KE_SURFACE_RGB555);
    s555.SetPixelDIB(0, 0, 0);
    EXPECT_EQ(0xFFFFu, s555.GetPixel(0, 0)); // no packing for 5-5-5
}

TEST(CKorvelSurface, SetPieceDIBWritesTheSelectedNeighbours)
{
    CTestSurface s(4, 4, KE_SURFACE_ARGB8888);
    s.Fill(0, nullptr);
    EXPECT_EQ(KE_OK, s.SetPieceDIB(1, 1, 0xFF00FF00, 1 | 4 | 32));
    EXPECT_EQ(0xFF00FF00u, s.GetPixel(1, 1));
    EXPECT_EQ(0xFF00FF00u, s.GetPixel(2, 1));
    EXPECT_EQ(0xFF00FF00u, s.GetPixel(1, 2));
    EXPECT_EQ(0xFF00FF00u, s.GetPixel(0, 0));
    EXPECT_EQ(0u, s.GetPixel(2, 2));
    // A border position is refused but reported as done.
    EXPECT_EQ(KE_OK, s.SetPieceDIB(3, 1, 0xFFFFFFFF, 0xFF));
    EXPECT_EQ(0u, s.GetPixel(3, 1));
    CKorvelSurface empty;
    EXPECT_EQ(KE_ERR_NOTSTARTED, empty.SetPieceDIB(1, 1, 0, 0));
}

TEST(CKorvelSurface, SpriteSheetFrames)
{
    CTestSurface s(256, 64, KE_SURFACE_P8);
    CKorvelRect<int> r;
    s.GetSubFrame(17, r); // 1 x 1: the whole surface whatever n is
    EXPECT_EQ(256, r.right);
    s.SetSubFrameCounts(4, 2);
    s.GetSubFrame(5, r);
    EXPECT_EQ((std::vector<int>{64, 32, 128, 64}), Edges(r));
    CKorvelRect<float> f;
    s.GetSubFrame(5, f);
    EXPECT_EQ((std::vector<float>{0.25f, 0.5f, 0.5f, 1.0f}), Edges(f)); // exact binary fractions
    // Frames that do not exist are empty rather than somewhere past the sheet.
    s.GetSubFrame(8, r);
    EXPECT_EQ(0, r.GetWidth());
    s.GetSubFrame(-1, f);
    EXPECT_EQ(0.0f, f.right);

    s.SetSubFrameSizes(32, 16);
    s.GetSubFrame(9, r);
    EXPECT_EQ((std::vector<int>{32, 16, 64, 32}), Edges(r));
    s.SetSubFrameSizes(CKorvelVector2(0.5f, 0.25f));
    s.GetSubFrame(3, r);
    EXPECT_EQ((std::vector<int>{128, 16, 256, 32}), Edges(r));

    // Ignored: zero counts, fractions outside 0..1 and fractions giving 0-pixel frames.
    s.SetSubFrameCounts(0, 3);
    s.SetSubFrameSizes(CKorvelVector2(1.5f, 0.5f));
    s.SetSubFrameSizes(CKorvelVector2(0.001f, 0.5f));
    s.GetSubFrame(3, r);
    EXPECT_EQ((std::vector<int>{128, 16, 256, 32}), Edges(r));
}

TEST(CKorvelSurface, ColourKeyKeepsTheLow24Bits)
{
    CTestSurface s(2, 2, KE_SURFACE_ARGB8888);
    s.SetColorKey(0xFF123456);
    EXPECT_EQ(0x123456u, s.GetColorKey());
    s.SetPixel(1, 1, 0xAB654321);
    EXPECT_EQ(KE_OK, s.SetAutoColorKey(1, 1));
    EXPECT_EQ(0x654321u, s.GetColorKey());
    EXPECT_EQ(KE_OK, s.SetAutoColorKey(7, 7));
    EXPECT_EQ(0u, s.GetColorKey());
    EXPECT_EQ(KE_ERR_NOTSTARTED, CKorvelSurface().SetAutoColorKey(0, 0));
}

TEST(CKorvelSurface, ClipRectangleAndCoordinates)
{
    CTestSurface s(801, 100, KE_SURFACE_ARGB8888);
    CKorvelRect<int> r(-5, 10, 900, 50);
    s.SetClipRect(&r);
    EXPECT_EQ(0, s.m_rcClip.left);
    EXPECT_EQ(801, s.m_rcClip.right);
    EXPECT_EQ(10, s.m_rcClip.top);
    CKorvelRect<float> f(0.5f, 0.25f, 1.0f, 0.5f);
    s.SetClipRect(&f);
    EXPECT_EQ(400, s.m_rcClip.left); // 400.5 truncated
    EXPECT_EQ(25, s.m_rcClip.top);
    s.SetClipRect(nullptr);
    EXPECT_EQ(100, s.m_rcClip.bottom);

    EXPECT_EQ(400, s.FloatToPixelX(0.5f));
    EXPECT_FLOAT_EQ(400.0f / 801.0f, s.PixelToFloatX(s.FloatToPixelX(0.5f)));
    EXPECT_EQ(-50, s.FloatToPixelY(-0.5f));
    EXPECT_FLOAT_EQ(8.01f, s.GetAspectRatio());
}

TEST(CKorvelSurface, LockRecordsTheFlagsAndShutdownEmpties)
{
    CTestSurface s(3, 3, KE_SURFACE_RGB565, true);
    SKE_SURFACEDESC d;
    void* p = s.Lock(&d, 1);
    EXPECT_NE(nullptr, p);
    EXPECT_EQ(KE_SURFACE_RGB565, d.eFormat);
    s.Unlock();
    s.Shutdown();
    EXPECT_EQ(nullptr, s.Lock(&d, 0));
    EXPECT_EQ(nullptr, s.GetAlphaChannel());
    EXPECT_EQ(KE_ERR_BADDATA, s.SyncToTexture()) << "no texture to refresh";
}
