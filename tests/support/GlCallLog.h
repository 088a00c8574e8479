// Logs the GL calls that the engine makes, by name, while passing each on to the real
// GL: the test executable defines these entry points, so the engine's calls reach them
// first. Include it in ONE source file of a test executable.
#pragma once

#include <GLES2/gl2.h>
#include <dlfcn.h>
#include <string>
#include <vector>

inline std::vector<std::string>& GlCallLog()
{
    static std::vector<std::string> s_aCalls;
    return s_aCalls;
}

inline void ClearGlCallLog()
{
    GlCallLog().clear();
}

inline int CountGlCalls(const std::string& strName)
{
    int iCount = 0;
    for (const std::string& strCall : GlCallLog())
        iCount += strCall == strName;
    return iCount;
}

#define KORVEL_LOGGED_GL(ret, name, params, args)                                                            \
    extern "C" ret GL_APIENTRY name params                                                                   \
    {                                                                                                        \
        static auto s_pReal = reinterpret_cast<ret(GL_APIENTRY*) params>(dlsym(RTLD_NEXT, #name));           \
        GlCallLog().push_back(#name);                                                                        \
        return s_pReal args;                                                                                 \
    }

KORVEL_LOGGED_GL(void, glActiveTexture, (GLenum a), (a))
KORVEL_LOGGED_GL(void, glBindBuffer, (GLenum a, GLuint b), (a, b))
KORVEL_LOGGED_GL(void, glBindTexture, (GLenum a, GLuint b), (a, b))
KORVEL_LOGGED_GL(void, glBlendFunc, (GLenum a, GLenum b), (a, b))
KORVEL_LOGGED_GL(void, glClear, (GLbitfield a), (a))
KORVEL_LOGGED_GL(void, glDeleteProgram, (GLuint a), (a))
KORVEL_LOGGED_GL(void, glDeleteShader, (GLuint a), (a))
KORVEL_LOGGED_GL(void, glDepthMask, (GLboolean a), (a))
KORVEL_LOGGED_GL(void, glDisable, (GLenum a), (a))
KORVEL_LOGGED_GL(void, glDisableVertexAttribArray, (GLuint a), (a))
KORVEL_LOGGED_GL(void, glDrawArrays, (GLenum a, GLint b, GLsizei c), (a, b, c))
KORVEL_LOGGED_GL(void, glEnable, (GLenum a), (a))
KORVEL_LOGGED_GL(void, glEnableVertexAttribArray, (GLuint a), (a))
KORVEL_LOGGED_GL(GLint, glGetAttribLocation, (GLuint a, const GLchar* b), (a, b))
KORVEL_LOGGED_GL(void, glGetIntegerv, (GLenum a, GLint* b), (a, b))
KORVEL_LOGGED_GL(GLint, glGetUniformLocation, (GLuint a, const GLchar* b), (a, b))
KORVEL_LOGGED_GL(void, glScissor, (GLint a, GLint b, GLsizei c, GLsizei d), (a, b, c, d))
KORVEL_LOGGED_GL(void, glUseProgram, (GLuint a), (a))
KORVEL_LOGGED_GL(void, glVertexAttribPointer,
                 (GLuint a, GLint b, GLenum c, GLboolean d, GLsizei e, const void* f), (a, b, c, d, e, f))

#undef KORVEL_LOGGED_GL
