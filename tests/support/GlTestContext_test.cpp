// KORVEL_GL_TEST: Mesa keeps memory after eglTerminate, so leak checks are off here.
#include "support/GlTestContext.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>
#include <string>

static GLuint CompileTestShader(GLenum eType, const char* pSource)
{
    GLuint uShader = glCreateShader(eType);
    glShaderSource(uShader, 1, &pSource, nullptr);
    glCompileShader(uShader);
    GLint iOk = 0;
    glGetShaderiv(uShader, GL_COMPILE_STATUS, &iOk);
    EXPECT_TRUE(iOk);
    return uShader;
}

TEST(CGlTestContext, ClearsAndDrawsATriangleThatReadsBack)
{
    CGlTestContext gl(32, 32);
    ASSERT_TRUE(gl.IsValid()) << gl.GetError();
    // Mesa gives a newer ES context for a version 2 request; it must still be ES.
    EXPECT_EQ(0, std::string(reinterpret_cast<const char*>(glGetString(GL_VERSION))).rfind("OpenGL ES ", 0));

    glViewport(0, 0, 32, 32);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    uint32_t uCorner = gl.ReadPixel(0, 0);
    EXPECT_EQ(0, PixelR(uCorner));
    EXPECT_EQ(255, PixelB(uCorner));

    GLuint uProgram = glCreateProgram();
    glAttachShader(uProgram, CompileTestShader(
                                 GL_VERTEX_SHADER,
                                 "attribute vec2 pos; void main() { gl_Position = vec4(pos, 0.0, 1.0); }"));
    glAttachShader(uProgram,
                   CompileTestShader(
                       GL_FRAGMENT_SHADER,
                       "precision mediump float; void main() { gl_FragColor = vec4(1.0, 1.0, 0.0, 1.0); }"));
    glBindAttribLocation(uProgram, 0, "pos");
    glLinkProgram(uProgram);
    GLint iLinked = 0;
    glGetProgramiv(uProgram, GL_LINK_STATUS, &iLinked);
    ASSERT_TRUE(iLinked);
    glUseProgram(uProgram);
    // Lower-left half of the viewport (GL's y grows upward).
    const GLfloat aTriangle[] = {-1.0f, -1.0f, 1.0f, -1.0f, -1.0f, 1.0f};
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, aTriangle);
    glEnableVertexAttribArray(0);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glFinish();
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());

    uint32_t uInside = gl.ReadPixel(4, 27); // near the bottom-left corner of the picture
    EXPECT_EQ(255, PixelR(uInside));
    EXPECT_EQ(255, PixelG(uInside));
    EXPECT_EQ(0, PixelB(uInside));
    uint32_t uOutside = gl.ReadPixel(28, 3); // top-right: still the clear colour
    EXPECT_EQ(0, PixelR(uOutside));
    EXPECT_EQ(255, PixelB(uOutside));
    glDeleteProgram(uProgram);
}
