// The game's shader programs on Mesa's GLES 2: building, locations, rebuilding after a
// context loss, the failure texts, and what the block program computes.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxShader.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include "game/MoxRenderer.h"
#include "support/GlTestContext.h"
#include "support/TestTexture.h"
#include "tests/game/GameTestFixture.h"

namespace
{

class CMoxShader : public CGameTest
{
protected:
    void SetUp() override
    {
        CGameTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartGame());
    }
    CMoxRenderer& Renderer() { return *m_pGame->GetRenderer(); }
    std::vector<::CMoxShader*> Programs()
    {
        CMoxRenderer& r = Renderer();
        return {r.m_pWaterShader,         r.m_pBlockShader, r.m_pFlompShader,     r.m_pScreenShader,
                r.m_pScreenOverlayShader, r.m_pWorldShader, r.m_pBackgroundShader};
    }
};

TEST_F(CMoxShader, AllSevenBuildAndFindEveryLocation)
{
    for (::CMoxShader* pShader : Programs())
    {
        ASSERT_NE(pShader, nullptr);
        EXPECT_NE(pShader->m_uProgram, 0u);
        EXPECT_EQ(Narrow(pShader->m_strError), "");
    }
    CMoxRenderer& r = Renderer();
    const CMoxBlockShader& block = *r.m_pBlockShader;
    for (int iLocation : {block.m_iPosition, block.m_iUV0, block.m_iUV1, block.m_iShadeVS,
                          block.m_iProjectionMatrix, block.m_iTexture0, block.m_iTexture1})
        EXPECT_GE(iLocation, 0);
    const CMoxWaterShader& water = *r.m_pWaterShader;
    for (int iLocation : {water.m_iPosition, water.m_iUV0, water.m_iProjectionMatrix, water.m_iTexture0})
        EXPECT_GE(iLocation, 0);
    const std::pair<const CMoxQuadShader*, bool> quads[] = {{r.m_pFlompShader, true},
                                                            {r.m_pWorldShader, true},
                                                            {r.m_pBackgroundShader, true},
                                                            {r.m_pScreenShader, false},
                                                            {r.m_pScreenOverlayShader, false}};
    for (const auto& quad : quads)
    {
        for (int iLocation :
             {quad.first->m_iPosition, quad.first->m_iUV0, quad.first->m_iColor0, quad.first->m_iTexture0})
            EXPECT_GE(iLocation, 0);
        EXPECT_EQ(quad.first->m_iProjectionMatrix >= 0, quad.second);
    }
}

TEST_F(CMoxShader, ARebuildDeletesTheOldProgramsAndMakesNewOnes)
{
    std::vector<GLuint> aOld;
    for (::CMoxShader* pShader : Programs())
        aOld.push_back(pShader->m_uProgram);
    Renderer().clean();
    for (::CMoxShader* pShader : Programs())
        EXPECT_EQ(pShader, nullptr);
    for (GLuint uOld : aOld)
        EXPECT_EQ(glIsProgram(uOld), GL_FALSE) << uOld;

    Renderer().createShaders();
    for (::CMoxShader* pShader : Programs())
    {
        ASSERT_NE(pShader, nullptr);
        EXPECT_EQ(glIsProgram(pShader->m_uProgram), GL_TRUE);
        EXPECT_EQ(Narrow(pShader->m_strError), "");
    }
    EXPECT_GE(Renderer().m_pBlockShader->m_iTexture1, 0);
}

TEST_F(CMoxShader, FailuresAreWrittenIntoTheErrorText)
{
    ::CStateGame unstarted;
    CMoxWorldShader noExtension(strWorldVS, strWorldFS, &unstarted);
    EXPECT_EQ(noExtension.m_uProgram, 0u);
    EXPECT_EQ(noExtension.m_uVertexShader, 0u);
    EXPECT_EQ(noExtension.m_uFragmentShader, 0u);
    EXPECT_EQ(Narrow(noExtension.m_strError), "NULL Extension \n");

    CMoxBlockShader broken("void main(void) { oops }", strBlockFS, m_pGame.get());
    EXPECT_EQ(broken.m_uProgram, 0u);
    EXPECT_EQ(Narrow(broken.m_strError), "Failed to create shader program \n"
                                         "BLOCK SHADER 0: Failed to get uniform location texture0 \n"
                                         "BLOCK SHADER 1: Failed to get uniform location texture1 \n");
    EXPECT_EQ(broken.m_iPosition, -1);
}

TEST_F(CMoxShader, TheBlocksAlphaIsItsMaterialsAlone)
{
    // An RGBA target: the headless back buffer has no alpha channel.
    GLuint uTarget = 0, uFramebuffer = 0;
    glGenTextures(1, &uTarget);
    glBindTexture(GL_TEXTURE_2D, uTarget);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &uFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, uFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, uTarget, 0);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, 4, 4);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_CULL_FACE);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    CTestTexture material(1, 1, [](int, int) { return 0x80C86432u; }); // alpha 128, (200, 100, 50)
    CTestTexture shading(1, 1, [](int, int) { return 0x00FF80FFu; });  // alpha 0, (255, 128, 255)
    const CMoxBlockShader& block = *Renderer().m_pBlockShader;
    glUseProgram(block.m_uProgram);
    const float afIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glUniformMatrix4fv(block.m_iProjectionMatrix, 1, GL_FALSE, afIdentity);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shading.GetTexture());
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, material.GetTexture());
    BlockVertex aQuad[4];
    const float afCorners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    for (int i = 0; i < 4; ++i)
    {
        aQuad[i].position = CKorvelVector3(afCorners[i][0], afCorners[i][1], 0.0f);
        aQuad[i].uv0.Set(0.5f, 0.5f);
        aQuad[i].uv1.Set(0.5f, 0.5f);
        aQuad[i].shade = 0.5f;
    }
    const int aiAttributes[4] = {block.m_iPosition, block.m_iUV0, block.m_iUV1, block.m_iShadeVS};
    const void* apData[4] = {&aQuad[0].position, &aQuad[0].uv0, &aQuad[0].uv1, &aQuad[0].shade};
    const int aiSizes[4] = {3, 2, 2, 1};
    for (int i = 0; i < 4; ++i)
    {
        glEnableVertexAttribArray(GLuint(aiAttributes[i]));
        glVertexAttribPointer(GLuint(aiAttributes[i]), aiSizes[i], GL_FLOAT, GL_FALSE, sizeof(BlockVertex),
                              apData[i]);
    }
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    for (int iAttribute : aiAttributes)
        glDisableVertexAttribArray(GLuint(iAttribute));

    unsigned char aucPixel[4] = {};
    glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, aucPixel);
    EXPECT_NEAR(aucPixel[3], 128, 1) << "alpha of texture0 alone";
    EXPECT_NEAR(aucPixel[0], 100, 2) << "200 x 1.0 x 0.5";
    EXPECT_NEAR(aucPixel[1], 25, 2) << "100 x 0.5 x 0.5";
    EXPECT_NEAR(aucPixel[2], 25, 2) << "50 x 1.0 x 0.5";

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &uFramebuffer);
    glDeleteTextures(1, &uTarget);
    glViewport(0, 0, 800, 600);
}

} // namespace
