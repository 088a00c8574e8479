// The image library stand-in: memory streams, PNG and JPEG decoding into 32-bit
// B, G, R, A rows, refusal of damaged and oversized images, and resizing.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "PlatformControl.h"
#include "PlatformImage.h"
#include "support/TestMedia.h"

namespace
{

using namespace plat;

// Decodes through a memory stream as the engine does; the pixels come back as a vector.
class CDecoded
{
public:
    explicit CDecoded(const std::vector<uint8_t>& aData, img_format_t format = IMG_FMT_ARGB8888_LE,
                      unsigned int uFlags = IMG_FORMAT)
    {
        EXPECT_EQ(img_lib_attach(&m_pLib), IMG_ERR_OK);
        io_stream_t* pStream = io_open(IO_MEMORY, IO_READ, aData.size(), aData.data());
        EXPECT_NE(pStream, nullptr);
        m_Img.format = format;
        m_Img.flags = uFlags;
        m_iResult = img_load(m_pLib, pStream, nullptr, &m_Img);
        io_close(pStream);
    }
    ~CDecoded()
    {
        free(m_Img.data);
        img_lib_detach(m_pLib);
    }
    int Result() const { return m_iResult; }
    const img_t& Image() const { return m_Img; }
    // Bytes B, G, R, A of a pixel packed as 0xAARRGGBB.
    uint32_t Pixel(unsigned int x, unsigned int y) const
    {
        const unsigned char* p = m_Img.data + (size_t(y) * m_Img.w + x) * 4;
        return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }

private:
    img_lib_t m_pLib = nullptr;
    img_t m_Img{};
    int m_iResult;
};

// A smooth colour ramp, which JPEG (with its halved chroma) keeps within a few levels.
std::vector<uint8_t> Ramp(int iWidth, int iHeight)
{
    std::vector<uint8_t> aRGB;
    for (int y = 0; y < iHeight; ++y)
        for (int x = 0; x < iWidth; ++x)
            aRGB.insert(aRGB.end(), {uint8_t(60 + 100 * x / iWidth), uint8_t(80 + 100 * y / iHeight),
                                     uint8_t(120 + 50 * (x + y) / (iWidth + iHeight))});
    return aRGB;
}

TEST(img_load, PngOfEveryColourTypeBecomesBgraRows)
{
    struct sCASE
    {
        const char* m_pszName;
        sTestPngLayout m_Layout;
        std::vector<uint32_t> m_aExpected; // 0xAARRGGBB, row by row
    };
    const std::vector<sCASE> aCases = {
        {"grey 8", {2, 1, PNG_COLOR_TYPE_GRAY, 8, {0x00, 0xC8}}, {0xFF000000, 0xFFC8C8C8}},
        {"grey 1", {3, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0}}, {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}},
        {"grey alpha",
         {2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x40, 0x80, 0xFF, 0x00}},
         {0x80404040, 0x00FFFFFF}},
        {"palette with transparency",
         {2, 2, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 1, 0}, {255, 0, 0, 0, 0, 255}, {128}},
         {0x80FF0000, 0xFF0000FF, 0xFF0000FF, 0x80FF0000}},
        {"rgb 16", {1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF}}, {0xFF12ABFF}},
        {"rgba interlaced", {3, 3, PNG_COLOR_TYPE_RGBA, 8, {}, {}, {}, true}, {}},
    };
    for (sCASE c : aCases)
    {
        SCOPED_TRACE(c.m_pszName);
        if (c.m_Layout.m_iColorType == PNG_COLOR_TYPE_RGBA)
            for (uint32_t i = 0; i < 9; ++i)
            {
                const uint8_t aPixel[4] = {uint8_t(i * 20), uint8_t(i * 7), uint8_t(200 - i),
                                           uint8_t(i * 30)};
                c.m_Layout.m_aRows.insert(c.m_Layout.m_aRows.end(), aPixel, aPixel + 4);
                c.m_aExpected.push_back(uint32_t(aPixel[3]) << 24 | aPixel[0] << 16 | aPixel[1] << 8 |
                                        aPixel[2]);
            }
        CDecoded decoded(EncodeTestPng(c.m_Layout));
        ASSERT_EQ(decoded.Result(), IMG_ERR_OK);
        EXPECT_EQ(decoded.Image().w, c.m_Layout.m_uWidth);
        EXPECT_EQ(decoded.Image().h, c.m_Layout.m_uHeight);
        EXPECT_EQ(decoded.Image().format, IMG_FMT_ARGB8888_LE);
        for (size_t i = 0; i < c.m_aExpected.size(); ++i)
            EXPECT_EQ(decoded.Pixel(unsigned(i % c.m_Layout.m_uWidth), unsigned(i / c.m_Layout.m_uWidth)),
                      c.m_aExpected[i])
                << "pixel " << i;
    }
}

TEST(img_load, BaselineAndProgressiveJpegDecodeOpaqueCloseToTheSource)
{
    const std::vector<uint8_t> aRGB = Ramp(16, 8);
    for (bool bProgressive : {false, true})
    {
        SCOPED_TRACE(bProgressive ? "progressive" : "baseline");
        CDecoded decoded(EncodeTestJpeg(16, 8, aRGB, 100, bProgressive));
        ASSERT_EQ(decoded.Result(), IMG_ERR_OK);
        ASSERT_EQ(decoded.Image().w, 16u);
        ASSERT_EQ(decoded.Image().h, 8u);
        for (unsigned int y = 0; y < 8; ++y)
            for (unsigned int x = 0; x < 16; ++x)
            {
                const uint32_t uPixel = decoded.Pixel(x, y);
                const uint8_t* pSrc = &aRGB[(size_t{y} * 16 + x) * 3];
                EXPECT_EQ(uPixel >> 24, 0xFFu);
                EXPECT_NEAR(int((uPixel >> 16) & 0xFF), pSrc[0], 8);
                EXPECT_NEAR(int((uPixel >> 8) & 0xFF), pSrc[1], 8);
                EXPECT_NEAR(int(uPixel & 0xFF), pSrc[2], 8);
            }
    }
}

TEST(img_load, DamagedDataFailsWithoutPixels)
{
    sTestPngLayout layout{8, 8, PNG_COLOR_TYPE_GRAY, 8, std::vector<uint8_t>(64, 0x55)};
    const std::vector<uint8_t> aPng = EncodeTestPng(layout);
    const std::vector<uint8_t> aJpeg = EncodeTestJpeg(32, 32, Ramp(32, 32));
    ASSERT_FALSE(aPng.empty());
    ASSERT_FALSE(aJpeg.empty());

    std::vector<std::vector<uint8_t>> aBad;
    for (const std::vector<uint8_t>* pGood : {&aPng, &aJpeg})
        for (size_t uKeep : {size_t(3), size_t(20), pGood->size() / 2, pGood->size() - 12})
            aBad.emplace_back(pGood->begin(), pGood->begin() + long(uKeep));
    std::vector<uint8_t> aBadCrc = aPng;
    aBadCrc[aBadCrc.size() - 20] ^= 0x5A; // inside the image data: its CRC no longer matches
    aBad.push_back(aBadCrc);
    for (size_t i = 0; i < aBad.size(); ++i)
    {
        CDecoded decoded(aBad[i]);
        EXPECT_NE(decoded.Result(), IMG_ERR_OK) << "case " << i;
        EXPECT_EQ(decoded.Image().data, nullptr) << "case " << i;
    }

    CDecoded text(std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0});
    EXPECT_EQ(text.Result(), IMG_ERR_NOTIMPL);
    CDecoded empty(std::vector<uint8_t>{});
    EXPECT_EQ(empty.Result(), IMG_ERR_NOTIMPL);
}

TEST(img_load, ImagesOverTheSizeLimitAreRefusedFromTheHeader)
{
    // One row too wide: small files, so the refusal must come from the declared size.
    sTestPngLayout wide{IMG_MAX_SIZE + 1, 1, PNG_COLOR_TYPE_GRAY, 1,
                        std::vector<uint8_t>((IMG_MAX_SIZE + 8) / 8, 0)};
    CDecoded png(EncodeTestPng(wide));
    EXPECT_EQ(png.Result(), IMG_ERR_TOOBIG);
    CDecoded jpeg(
        EncodeTestJpeg(1, IMG_MAX_SIZE + 1, std::vector<uint8_t>((size_t{IMG_MAX_SIZE} + 1) * 3, 0)));
    EXPECT_EQ(jpeg.Result(), IMG_ERR_TOOBIG);

    // A header that claims the largest size and has no data behind it is refused as
    // damaged, after the size check let it through.
    sTestPngLayout edge{IMG_MAX_SIZE, 1, PNG_COLOR_TYPE_GRAY, 1, std::vector<uint8_t>(IMG_MAX_SIZE / 8, 0)};
    std::vector<uint8_t> aEdge = EncodeTestPng(edge);
    aEdge.resize(40);
    CDecoded truncated(aEdge);
    EXPECT_EQ(truncated.Result(), IMG_ERR_CORRUPT);
}

TEST(img_load, OnlyTheThirtyTwoBitFormatIsDelivered)
{
    const std::vector<uint8_t> aJpeg = EncodeTestJpeg(4, 4, Ramp(4, 4));
    CDecoded other(aJpeg, 0x1234, IMG_FORMAT);
    EXPECT_EQ(other.Result(), IMG_ERR_FORMAT);
    CDecoded unset(aJpeg, 0, 0);
    ASSERT_EQ(unset.Result(), IMG_ERR_OK);
    EXPECT_EQ(unset.Image().format, IMG_FMT_ARGB8888_LE);
}

TEST(io_open, LibraryAndMemoryStreamAreLoggedAndCanBeMadeToFail)
{
    ResetPlatform(eBackend::Headless);
    img_lib_t pLib = nullptr;
    ASSERT_EQ(img_lib_attach(&pLib), IMG_ERR_OK);
    img_lib_detach(pLib);
    FailCall("img_lib_attach");
    EXPECT_NE(img_lib_attach(&pLib), IMG_ERR_OK);
    EXPECT_EQ(pLib, nullptr);
    const std::vector<std::string> aExpected = {"img_lib_attach", "img_lib_detach", "img_lib_attach"};
    EXPECT_EQ(GetCallNames(), aExpected);

    const uint8_t aBytes[4] = {1, 2, 3, 4};
    io_stream_t* pStream = io_open(IO_MEMORY, IO_READ, sizeof(aBytes), aBytes);
    EXPECT_NE(pStream, nullptr);
    io_close(pStream);
    EXPECT_EQ(io_open(IO_MEMORY, IO_READ, 4, nullptr), nullptr);
    FailCall("io_open");
    EXPECT_EQ(io_open(IO_MEMORY, IO_READ, sizeof(aBytes), aBytes), nullptr);
    ResetPlatform(eBackend::Headless);
}

// A source image from 0xAARRGGBB values.
struct sSOURCE
{
    std::vector<uint8_t> m_aBytes;
    img_t m_Img{};
    sSOURCE(unsigned int w, unsigned int h, const std::vector<uint32_t>& aArgb)
    {
        for (uint32_t u : aArgb)
            m_aBytes.insert(m_aBytes.end(),
                            {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)});
        m_Img = {w, h, IMG_FMT_ARGB8888_LE, IMG_FORMAT, m_aBytes.data()};
    }
};

uint32_t PixelOf(const img_t& img, unsigned int x, unsigned int y)
{
    const unsigned char* p = img.data + (size_t(y) * img.w + x) * 4;
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

TEST(img_resize_fs, ShrinkAveragesBoxesGrowInterpolatesAndTransparencyDoesNotTint)
{
    const std::vector<uint32_t> aFour = {0xFF000000, 0xFF804020, 0xFFFFFFFF, 0xFFFFFFFF, //
                                         0xFF000000, 0xFF804020, 0xFF000000, 0xFF000000};
    struct sCASE
    {
        const char* m_pszName;
        unsigned int m_uSrcW, m_uSrcH;
        std::vector<uint32_t> m_aSrc;
        unsigned int m_uDstW, m_uDstH;
        std::vector<uint32_t> m_aWant; // 0xAARRGGBB, row by row
    };
    const sCASE aCases[] = {
        {"boxes; height 0 keeps the source's",
         4,
         2,
         aFour,
         2,
         0,
         {0xFF402010, 0xFFFFFFFF, 0xFF402010, 0xFF000000}},
        // red (0 + 128 + 255 + 255 + 0 + 128 + 0 + 0) / 8
        {"one box", 4, 2, aFour, 1, 1, {0xFF605048}},
        // Output centres fall at -0.25 (clamped), 0.25, 0.75 and 1.25 (clamped) source pixels.
        {"grow", 2, 1, {0xFF000000, 0xFFFF8040}, 4, 1, {0xFF000000, 0xFF402010, 0xFFBF6030, 0xFFFF8040}},
        {"invisible red beside opaque green", 2, 1, {0x00FF0000, 0xFF00FF00}, 1, 1, {0x8000FF00}},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.m_pszName);
        sSOURCE src(c.m_uSrcW, c.m_uSrcH, c.m_aSrc);
        img_t dst{c.m_uDstW, c.m_uDstH, 0, 0, nullptr};
        ASSERT_EQ(img_resize_fs(&src.m_Img, &dst), IMG_ERR_OK);
        ASSERT_EQ(dst.w * dst.h, c.m_aWant.size());
        EXPECT_EQ(dst.format, IMG_FMT_ARGB8888_LE);
        for (size_t i = 0; i < c.m_aWant.size(); ++i)
            EXPECT_EQ(PixelOf(dst, unsigned(i % dst.w), unsigned(i / dst.w)), c.m_aWant[i]) << "pixel " << i;
        free(dst.data);
    }

    sSOURCE src(2, 1, {0x00FF0000, 0xFF00FF00});
    img_t tooBig{IMG_MAX_SIZE + 1, 1, 0, 0, nullptr};
    EXPECT_EQ(img_resize_fs(&src.m_Img, &tooBig), IMG_ERR_TOOBIG);
    EXPECT_EQ(tooBig.data, nullptr);
}

} // namespace
