// The surface's GL texture mirror on Mesa: textures made, refreshed after software
// changes and read back through a framebuffer; the mipmap chain and its levels; restore.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
//
// Sections: GL call recording - fixture - refused pairs - packing - upload and refresh -
// mipmaps - restore.
#include <GLES2/gl2.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "support/TestApplication.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"

namespace
{

// ------------------------------------------------------------------- GL call recording

// The texture calls the engine makes, with the texture bound at the time. The test
// executable defines these entry points, so the engine's calls reach them first.
struct sTEX_CALL
{
    const char* m_pszName;
    GLuint m_uBound;
    GLint m_iLevel;
    GLsizei m_iWidth, m_iHeight;
    GLenum m_uParam;
    GLint m_iValue;
    std::vector<uint8_t> m_aData; // level uploads above 0 only
};

std::vector<sTEX_CALL> g_aTexCalls;
GLuint g_uBound = 0;

template <class T> T Real(const char* pszName)
{
    return reinterpret_cast<T>(dlsym(RTLD_NEXT, pszName));
}

size_t TexelBytes(GLenum uFormat, GLenum uType)
{
    return uType == GL_UNSIGNED_BYTE ? (uFormat == GL_RGBA ? 4 : 3) : 2;
}

} // namespace

extern "C" void GL_APIENTRY glBindTexture(GLenum uTarget, GLuint uName)
{
    static auto s_pReal = Real<void(GL_APIENTRY*)(GLenum, GLuint)>("glBindTexture");
    g_uBound = uName;
    s_pReal(uTarget, uName);
}

extern "C" void GL_APIENTRY glTexImage2D(GLenum uTarget, GLint iLevel, GLint iInternal, GLsizei iWidth,
                                         GLsizei iHeight, GLint iBorder, GLenum uFormat, GLenum uType,
                                         const void* pData)
{
    static auto s_pReal =
        Real<void(GL_APIENTRY*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*)>(
            "glTexImage2D");
    g_aTexCalls.push_back({"glTexImage2D", g_uBound, iLevel, iWidth, iHeight, 0, 0, {}});
    s_pReal(uTarget, iLevel, iInternal, iWidth, iHeight, iBorder, uFormat, uType, pData);
}

extern "C" void GL_APIENTRY glTexSubImage2D(GLenum uTarget, GLint iLevel, GLint iX, GLint iY, GLsizei iWidth,
                                            GLsizei iHeight, GLenum uFormat, GLenum uType, const void* pData)
{
    static auto s_pReal =
        Real<void(GL_APIENTRY*)(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*)>(
            "glTexSubImage2D");
    sTEX_CALL call{"glTexSubImage2D", g_uBound, iLevel, iWidth, iHeight, 0, 0, {}};
    if (iLevel > 0)
    {
        const uint8_t* p = static_cast<const uint8_t*>(pData);
        call.m_aData.assign(p, p + size_t(iWidth) * iHeight * TexelBytes(uFormat, uType));
    }
    g_aTexCalls.push_back(call);
    s_pReal(uTarget, iLevel, iX, iY, iWidth, iHeight, uFormat, uType, pData);
}

extern "C" void GL_APIENTRY glTexParameteri(GLenum uTarget, GLenum uParam, GLint iValue)
{
    static auto s_pReal = Real<void(GL_APIENTRY*)(GLenum, GLenum, GLint)>("glTexParameteri");
    g_aTexCalls.push_back({"glTexParameteri", g_uBound, 0, 0, 0, uParam, iValue, {}});
    s_pReal(uTarget, uParam, iValue);
}

namespace
{

const GLenum GL_TEXTURE_MAX_LEVEL_APPLE_ = 0x813D;

std::vector<const sTEX_CALL*> Calls(const char* pszName)
{
    std::vector<const sTEX_CALL*> aOut;
    for (const sTEX_CALL& call : g_aTexCalls)
        if (!strcmp(call.m_pszName, pszName))
            aOut.push_back(&call);
    return aOut;
}

// The last value set for a texture parameter, -1 when it was not set.
GLint LastParam(GLenum uParam)
{
    GLint iValue = -1;
    for (const sTEX_CALL* pCall : Calls("glTexParameteri"))
        if (pCall->m_uParam == uParam)
            iValue = pCall->m_iValue;
    return iValue;
}

// ------------------------------------------------------------------- fixture

class CKorvelSurfaceTexture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetHeadlessPlatform(320, 240);
        m_pApp = std::make_unique<CTestApplication>();
        ASSERT_EQ(m_pApp->StartHeadless(), KE_OK);
        g_aTexCalls.clear();
    }
    void TearDown() override
    {
        m_Surface.Shutdown();
        m_pApp.reset();
    }

    void Make(int iWidth, int iHeight, eKET_SURFACEFORMAT eFormat, unsigned int argbFill)
    {
        SKE_SURFACEDESC desc = {iWidth, iHeight, 0, eFormat, 0, 0};
        ASSERT_EQ(m_Surface.Create(m_pApp.get(), desc), KE_OK);
        m_Surface.Fill(argbFill, static_cast<const CKorvelRect<int>*>(nullptr));
    }

    // Level 0 of a texture as R, G, B, A bytes, rows in upload order.
    static std::vector<uint8_t> ReadTexture(GLuint uTexture, int iWidth, int iHeight)
    {
        GLuint uFbo = 0;
        glGenFramebuffers(1, &uFbo);
        glBindFramebuffer(GL_FRAMEBUFFER, uFbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, uTexture, 0);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
        std::vector<uint8_t> aPixels(size_t(iWidth) * iHeight * 4);
        glReadPixels(0, 0, iWidth, iHeight, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &uFbo);
        return aPixels;
    }
    static uint32_t TexelRgba(const std::vector<uint8_t>& aPixels, int iWidth, int x, int y)
    {
        const uint8_t* p = &aPixels[(size_t(y) * iWidth + x) * 4];
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    }

    std::unique_ptr<CTestApplication> m_pApp;
    CKorvelSurface m_Surface;
};

// ------------------------------------------------------------------- refused pairs

TEST_F(CKorvelSurfaceTexture, RefusedPairsAndMissingPixelsMakeNoTexture)
{
    CKorvelSurface empty;
    EXPECT_EQ(empty.SurfaceToTexture(GL_RGBA, GL_UNSIGNED_BYTE, 0), KE_ERR_BADDATA);
    EXPECT_EQ(empty.RestoreTexture(), KE_ERR_BADDATA);

    Make(8, 8, KE_SURFACE_ABGR8888, 0xFFFF0000);
    g_aTexCalls.clear();
    EXPECT_EQ(m_Surface.SyncToTexture(), KE_ERR_BADDATA);
    EXPECT_EQ(m_Surface.RestoreTexture(), KE_ERR_BADDATA) << "nothing recorded yet";
    EXPECT_TRUE(g_aTexCalls.empty()) << "no GL call without a texture";

    EXPECT_EQ(m_Surface.SurfaceToTexture(GL_RGBA, GL_UNSIGNED_SHORT_5_6_5, 0), KE_ERR_DECODE);
    EXPECT_EQ(m_Surface.SurfaceToTexture(GL_RGB, GL_UNSIGNED_SHORT_4_4_4_4, 0), KE_ERR_DECODE);
    EXPECT_EQ(m_Surface.SurfaceToTexture(GL_ALPHA, GL_UNSIGNED_BYTE, 0), KE_ERR_DECODE);
    EXPECT_EQ(m_Surface.SurfaceToTexture(GL_RGBA, GL_FLOAT, 0), KE_ERR_DECODE) << "no packing for it";
    EXPECT_EQ(m_Surface.GetTexture(), 0u);
    EXPECT_TRUE(Calls("glTexImage2D").empty());
}

// ------------------------------------------------------------------- packing

TEST_F(CKorvelSurfaceTexture, ConvertPacksEachTypeFromTheColourValue)
{
    Make(2, 1, KE_SURFACE_ARGB8888, 0);
    m_Surface.SetPixelDIB(0, 0, 0x80FF8040);
    m_Surface.SetPixelDIB(1, 0, 0x00123456);
    struct sCASE
    {
        GLenum m_uFormat, m_uType;
        unsigned int m_uBytes;
        std::vector<uint8_t> m_aExpected;
    };
    const uint16_t u4444 = 0xF848, u5551 = 0xFC11, u565 = 0xFC08;
    const sCASE aCases[] = {
        {GL_RGBA, GL_UNSIGNED_BYTE, 4, {0xFF, 0x80, 0x40, 0x80, 0x12, 0x34, 0x56, 0x00}},
        {GL_RGB, GL_UNSIGNED_BYTE, 3, {0xFF, 0x80, 0x40, 0x12, 0x34, 0x56}},
        {GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, 2, {uint8_t(u4444), uint8_t(u4444 >> 8), 0x50, 0x13}},
        {GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, 2, {uint8_t(u5551), uint8_t(u5551 >> 8), 0x94, 0x11}},
        {GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2, {uint8_t(u565), uint8_t(u565 >> 8), 0xAA, 0x11}},
    };
    for (const sCASE& c : aCases)
    {
        std::unique_ptr<unsigned char[]> pOut(
            m_Surface.ConvertToTextureFormat(c.m_uFormat, c.m_uType, c.m_uBytes, m_Surface));
        ASSERT_NE(pOut, nullptr) << std::hex << c.m_uType;
        EXPECT_EQ(std::vector<uint8_t>(pOut.get(), pOut.get() + 2 * static_cast<size_t>(c.m_uBytes)),
                  c.m_aExpected)
            << std::hex << c.m_uFormat << " " << c.m_uType;
    }

    // Rows one after the other without padding, each from its own row (odd width, 5-6-5).
    Make(3, 2, KE_SURFACE_RGB565, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            m_Surface.SetPixelDIB(x, y,
                                  0xFF000000u | unsigned(x * 0x50) << 16 | unsigned(y * 0x80) << 8 | 0x18);
    std::unique_ptr<unsigned char[]> pOut(
        m_Surface.ConvertToTextureFormat(GL_RGB, GL_UNSIGNED_BYTE, 3, m_Surface));
    ASSERT_NE(pOut, nullptr);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
        {
            const unsigned int argb = m_Surface.GetPixelDIB(x, y);
            const unsigned char* p = &pOut[size_t(y * 3 + x) * 3];
            EXPECT_EQ((std::vector<unsigned>{p[0], p[1], p[2]}),
                      (std::vector<unsigned>{(argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF}))
                << x << "," << y;
        }
}

// ------------------------------------------------------------------- upload and refresh

TEST_F(CKorvelSurfaceTexture, TextureFollowsEverySoftwareChange)
{
    // Own pixels (format 7 as RGBA bytes, format 4 as 5-6-5) and converted ones (format 6).
    for (eKET_SURFACEFORMAT eFormat : {KE_SURFACE_ABGR8888, KE_SURFACE_RGB565, KE_SURFACE_ARGB8888})
    {
        SCOPED_TRACE(int(eFormat));
        Make(5, 3, eFormat, 0xFFFF0000); // odd width: rows are not 4-byte aligned
        ASSERT_EQ(m_Surface.SurfaceToTexture(0), KE_OK);
        const GLuint uTexture = m_Surface.GetTexture();
        ASSERT_NE(uTexture, 0u);
        EXPECT_EQ(TexelRgba(ReadTexture(uTexture, 5, 3), 5, 4, 2), 0xFF0000FFu);

        CKorvelRect<int> rect(2, 1, 5, 3);
        m_Surface.Fill(0xFF00FF00, &rect);
        const std::vector<uint8_t> aAfter = ReadTexture(uTexture, 5, 3);
        EXPECT_EQ(TexelRgba(aAfter, 5, 4, 2), 0x00FF00FFu) << "refreshed by the fill's Unlock";
        EXPECT_EQ(TexelRgba(aAfter, 5, 1, 1), 0xFF0000FFu);
        EXPECT_EQ(TexelRgba(aAfter, 5, 0, 0), 0xFF0000FFu);
        EXPECT_EQ(m_Surface.GetTexture(), uTexture) << "the same texture is refreshed";
        EXPECT_EQ(LastParam(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        EXPECT_EQ(LastParam(GL_TEXTURE_MAX_LEVEL_APPLE_), 0) << "no levels made";
        m_Surface.Shutdown();
        EXPECT_FALSE(glIsTexture(uTexture)) << "Shutdown deletes the texture";
    }
}

TEST_F(CKorvelSurfaceTexture, LoadWithTheTextureFlagMirrorsTheDecodedImage)
{
    CTestTempDir dir;
    std::vector<uint8_t> aPixels;
    for (int i = 0; i < 6; ++i)
        aPixels.insert(aPixels.end(), {100, 50, 200, 255});
    ASSERT_TRUE(WriteTestPng(dir.File("i.png"), 3, 2, aPixels));
    std::vector<uint8_t> aPng = ReadTestFile(dir.File("i.png"));
    SKE_SURFACEDESC desc = {0, 0, 0, KE_SURFACE_RGB565, KE_SURFACEDESC_TEXTURE, 0};
    ASSERT_EQ(m_Surface.LoadFromMemory(m_pApp.get(), aPng.data(), unsigned(aPng.size()), &desc), KE_OK);
    ASSERT_NE(m_Surface.GetTexture(), 0u) << "a 16-bit image with its alpha plane is mirrored";
    // 5-6-5 pixels (96, 48, 200) in 4-4-4-4 texels, read back with each nibble doubled.
    EXPECT_EQ(TexelRgba(ReadTexture(m_Surface.GetTexture(), 3, 2), 3, 2, 1), 0x6633CCFFu);
}

// ------------------------------------------------------------------- mipmaps

TEST_F(CKorvelSurfaceTexture, PowerOfTwoSurfaceGetsAChainDownToOnePixelWithMaxLevel)
{
    auto* pExt = dynamic_cast<CKorvelGraphicsExt_GLES2*>(m_pApp->GetGraphicsExtension());
    ASSERT_NE(pExt, nullptr);
    ASSERT_TRUE(pExt->HasTextureMaxLevel()) << "Mesa offers GL_APPLE_texture_max_level";

    Make(64, 16, KE_SURFACE_ABGR8888, 0xFF204060);
    g_aTexCalls.clear();
    ASSERT_EQ(m_Surface.SurfaceToTexture(GL_RGBA, GL_UNSIGNED_BYTE, 1), KE_OK);
    const GLuint uTexture = m_Surface.GetTexture();
    EXPECT_EQ(m_Surface.HasMipmaps(), 1u);

    const int aiSizes[7][2] = {{64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}};
    const std::vector<const sTEX_CALL*> aUploads = Calls("glTexSubImage2D");
    for (const std::vector<const sTEX_CALL*>& aCalls : {Calls("glTexImage2D"), aUploads})
    {
        ASSERT_EQ(aCalls.size(), 7u);
        for (int i = 0; i < 7; ++i)
        {
            SCOPED_TRACE(i);
            EXPECT_EQ(aCalls[i]->m_iLevel, i);
            EXPECT_EQ(aCalls[i]->m_iWidth, aiSizes[i][0]);
            EXPECT_EQ(aCalls[i]->m_iHeight, aiSizes[i][1]);
            EXPECT_EQ(aCalls[i]->m_uBound, uTexture) << "every level goes into the mirror's texture";
        }
    }
    EXPECT_EQ(aUploads[6]->m_aData, (std::vector<uint8_t>{0x20, 0x40, 0x60, 0xFF}));
    EXPECT_EQ(LastParam(GL_TEXTURE_MAX_LEVEL_APPLE_), 6);
    EXPECT_EQ(LastParam(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);

    glBindTexture(GL_TEXTURE_2D, uTexture);
    GLint iMaxLevel = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL_APPLE_, &iMaxLevel);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(iMaxLevel, 6);

    // A refresh remakes every level again.
    g_aTexCalls.clear();
    m_Surface.Fill(0xFFFFFFFF, static_cast<const CKorvelRect<int>*>(nullptr));
    EXPECT_EQ(Calls("glTexSubImage2D").size(), 7u);
}

TEST_F(CKorvelSurfaceTexture, OtherSizesGetNoChain)
{
    Make(100, 64, KE_SURFACE_RGB565, 0xFFFFFFFF);
    g_aTexCalls.clear();
    ASSERT_EQ(m_Surface.SurfaceToTexture(GL_RGB, GL_UNSIGNED_BYTE, 1), KE_OK);
    EXPECT_EQ(m_Surface.HasMipmaps(), 0u);
    EXPECT_EQ(Calls("glTexImage2D").size(), 1u);
    EXPECT_EQ(LastParam(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    // Converted through the colour value: 5-6-5 white reads back as 0xF8FCF8.
    EXPECT_EQ(TexelRgba(ReadTexture(m_Surface.GetTexture(), 100, 64), 100, 99, 63), 0xF8FCF8FFu);
}

TEST_F(CKorvelSurfaceTexture, SixteenBitSurfaceWithAlphaKeepsAlphaInEveryLevel)
{
    // Left half transparent, right half opaque, in the alpha plane.
    Make(4, 4, KE_SURFACE_RGB565, 0xFFFFFFFF);
    ASSERT_EQ(m_Surface.CreateAlphaChannel(), KE_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            m_Surface.GetAlphaChannel()[y * 4 + x] = x < 2 ? 0 : 255;
    g_aTexCalls.clear();
    ASSERT_EQ(m_Surface.SurfaceToTexture(1), KE_OK) << "an alpha plane gets a texture with alpha";
    const std::vector<const sTEX_CALL*> aUploads = Calls("glTexSubImage2D");
    ASSERT_EQ(aUploads.size(), 3u);

    // Level 1 (2 x 2): boxes of 3 x 3 from columns 0 and 2: alpha 255 / 3 = 85 and 255.
    // Level 2 (1 x 1): the 2 x 2 level averaged: (85 + 255) / 2 = 170.
    auto Alpha = [](const std::vector<uint8_t>& aData, int i)
    { return (aData[2 * static_cast<size_t>(i)] | aData[2 * i + 1] << 8) & 0xF; };
    ASSERT_EQ(aUploads[1]->m_aData.size(), 8u);
    EXPECT_EQ(Alpha(aUploads[1]->m_aData, 0), 85 >> 4);
    EXPECT_EQ(Alpha(aUploads[1]->m_aData, 1), 0xF);
    EXPECT_EQ(Alpha(aUploads[1]->m_aData, 2), 85 >> 4);
    EXPECT_EQ(Alpha(aUploads[2]->m_aData, 0), 170 >> 4);

    const std::vector<uint8_t> aLevel0 = ReadTexture(m_Surface.GetTexture(), 4, 4);
    EXPECT_EQ(TexelRgba(aLevel0, 4, 0, 0) & 0xFF, 0u);
    EXPECT_EQ(TexelRgba(aLevel0, 4, 3, 3) & 0xFF, 0xFFu);
}

// ------------------------------------------------------------------- restore

TEST_F(CKorvelSurfaceTexture, RestoreRebuildsTheSameTextureAfterRelease)
{
    Make(8, 8, KE_SURFACE_RGB565, 0xFF0000FF);
    ASSERT_EQ(m_Surface.SurfaceToTexture(GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, 1), KE_OK);
    const GLuint uOld = m_Surface.GetTexture();
    m_Surface.ReleaseTexture();
    EXPECT_EQ(m_Surface.GetTexture(), 0u);
    EXPECT_FALSE(glIsTexture(uOld));

    g_aTexCalls.clear();
    ASSERT_EQ(m_Surface.RestoreTexture(), KE_OK);
    EXPECT_NE(m_Surface.GetTexture(), 0u);
    EXPECT_EQ(Calls("glTexImage2D").size(), 4u) << "8 x 8 with its chain of 4, 2 and 1";
    EXPECT_EQ(TexelRgba(ReadTexture(m_Surface.GetTexture(), 8, 8), 8, 7, 7), 0x0000FFFFu);

    m_Surface.Shutdown();
    EXPECT_EQ(m_Surface.RestoreTexture(), KE_ERR_BADDATA) << "no pixels after Shutdown";
}

} // namespace
