// Shader programs on a real GLES2 context (Mesa, surfaceless pbuffer).
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "Korvel3D/Korvel3DProgram.h"

#include <gtest/gtest.h>

#include "support/GlCallLog.h"
#include "support/GlTestContext.h"

namespace
{

const char* const g_pszVertex = "\tattribute mediump vec3 position;\tattribute mediump vec2 uv;"
                                "\tvarying mediump vec2 texCoord;"
                                "\tvoid main()\t{\t\tgl_Position = vec4(position, 1.0);\t\ttexCoord = uv;\t}";
const char* const g_pszFragment = "\tprecision mediump float;\tuniform sampler2D texture01;"
                                  "\tvarying mediump vec2 texCoord;"
                                  "\tvoid main()\t{\t\tgl_FragColor = texture2D(texture01, texCoord);\t}";
const char* const g_pszBrokenFragment =
    "\tprecision mediump float;\tvoid main()\t{\t\tgl_FragColor = nope;\t}";
// Compiles, but its varying's type differs from the vertex shader's: the link fails.
const char* const g_pszMismatchedFragment = "\tprecision mediump float;\tvarying vec3 texCoord;"
                                            "\tvoid main()\t{\t\tgl_FragColor = vec4(texCoord, 1.0);\t}";

// Named after the class under test; the class itself is ::CKorvel3DProgram here.
class CKorvel3DProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Gl.IsValid()) << m_Gl.GetError();
        ClearGlCallLog();
    }

    // Shader and program objects that still exist among the first names GL hands out.
    static int LiveObjects()
    {
        int iLive = 0;
        for (GLuint u = 1; u < 32; ++u)
            iLive += (glIsShader(u) ? 1 : 0) + (glIsProgram(u) ? 1 : 0);
        return iLive;
    }

    CGlTestContext m_Gl;
};

TEST_F(CKorvel3DProgram, StartupBuildsALinkedProgramWithBothShadersAttached)
{
    ::CKorvel3DProgram program;
    ASSERT_EQ(program.Startup(nullptr, g_pszVertex, g_pszFragment), KE_OK);
    ASSERT_NE(program.GetHandle(), 0u);
    CKorvelString strLog;
    EXPECT_EQ(::CKorvel3DProgram::GetProgramError(program.GetHandle(), strLog), 1);
    GLint iAttached = 0;
    glGetProgramiv(program.GetHandle(), GL_ATTACHED_SHADERS, &iAttached);
    EXPECT_EQ(iAttached, 2);
    program.Shutdown();
    EXPECT_EQ(program.GetHandle(), 0u);
    EXPECT_EQ(LiveObjects(), 0);
}

TEST_F(CKorvel3DProgram, LocationsAreCachedOnlyWhenFound)
{
    ::CKorvel3DProgram program;
    ASSERT_EQ(program.Startup(nullptr, g_pszVertex, g_pszFragment), KE_OK);
    ClearGlCallLog();
    const int iTexture = program.GetUniformLocation("texture01");
    EXPECT_GE(iTexture, 0);
    EXPECT_EQ(program.GetUniformLocation("texture01"), iTexture);
    EXPECT_EQ(CountGlCalls("glGetUniformLocation"), 1) << "the second call is answered from the cache";

    EXPECT_EQ(program.GetAttributeLocation("missing"), -1);
    EXPECT_EQ(program.GetAttributeLocation("missing"), -1);
    EXPECT_EQ(CountGlCalls("glGetAttribLocation"), 2) << "a missing name is asked of GL every time";

    const int iUv = program.GetAttributeLocation("uv");
    const int iPosition = program.GetAttributeLocation("position");
    EXPECT_GE(iUv, 0);
    EXPECT_GE(iPosition, 0);
    EXPECT_NE(iUv, iPosition);
    EXPECT_EQ(glGetAttribLocation(program.GetHandle(), "uv"), iUv);
    program.Shutdown();
}

TEST_F(CKorvel3DProgram, AFragmentShaderThatDoesNotCompileLeavesNothingBehind)
{
    ::CKorvel3DProgram program;
    EXPECT_EQ(program.Startup(nullptr, g_pszVertex, g_pszBrokenFragment), KE_ERR_INVALIDARG);
    EXPECT_EQ(program.GetHandle(), 0u);
    EXPECT_EQ(CountGlCalls("glDeleteShader"), 2) << "the failed fragment shader and the vertex shader";
    EXPECT_EQ(LiveObjects(), 0);
    EXPECT_EQ(program.GetUniformLocation("texture01"), -1);

    unsigned int uShader = 99;
    EXPECT_EQ(::CKorvel3DProgram::CompileFragmentShader(g_pszBrokenFragment, uShader), KE_ERR_INVALIDARG);
    EXPECT_EQ(uShader, 0u);
}

TEST_F(CKorvel3DProgram, ALinkFailureDeletesAllThreeObjects)
{
    unsigned int uVertex = 0, uFragment = 0, uProgram = 0;
    EXPECT_EQ(
        ::CKorvel3DProgram::BuildProgram(g_pszVertex, g_pszMismatchedFragment, uVertex, uFragment, uProgram),
        KE_ERR_INVALIDARG);
    EXPECT_EQ(uVertex, 0u);
    EXPECT_EQ(uFragment, 0u);
    EXPECT_EQ(uProgram, 0u);
    EXPECT_EQ(LiveObjects(), 0);
}

TEST_F(CKorvel3DProgram, ShaderErrorGivesTheLogOfAFailedCompile)
{
    const GLuint uShader = glCreateShader(GL_FRAGMENT_SHADER);
    const char* pszText = g_pszBrokenFragment;
    glShaderSource(uShader, 1, &pszText, nullptr);
    glCompileShader(uShader);
    CKorvelString strLog;
    EXPECT_EQ(::CKorvel3DProgram::GetShaderError(uShader, strLog), 0);
    EXPECT_GT(strLog.GetLength(), 0);
    EXPECT_GE(strLog.Find(CKorvelString("nope"), 0), 0) << "Mesa names the unknown identifier";
    glDeleteShader(uShader);
}

TEST_F(CKorvel3DProgram, RestoreRebuildsFromTheKeptSourcesWithFreshCaches)
{
    ::CKorvel3DProgram program;
    ASSERT_EQ(program.Startup(nullptr, g_pszVertex, g_pszFragment), KE_OK);
    program.GetUniformLocation("texture01");
    program.Shutdown();
    EXPECT_EQ(program.GetHandle(), 0u);

    program.Restore();
    ASSERT_NE(program.GetHandle(), 0u);
    ClearGlCallLog();
    EXPECT_GE(program.GetUniformLocation("texture01"), 0);
    EXPECT_EQ(CountGlCalls("glGetUniformLocation"), 1) << "the old location was forgotten";
    program.Shutdown();
}

TEST_F(CKorvel3DProgram, ErrorTextIsThreeEmptySections)
{
    ::CKorvel3DProgram program;
    CKorvelString strText;
    program.GetError(strText);
    EXPECT_TRUE(strText.IsEqual(CKorvelString("VERTEX SHADER:\n\nFRAGMENT SHADER:\n\nPROGRAM:\n")));
}

} // namespace
