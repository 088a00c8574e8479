// Life cycle of the GL screen target: EGL start-up on the application's window, the
// built-in programs, resizing, presenting, release and restore; program and texture
// activation with their caches; the clip rectangle.
#include "Extensions/KorvelGraphicsExt_GLES2.h"

#include "Extensions/KorvelGraphicsExt_GLES2Shaders.h"
#include "KorvelGraphics/KorvelApplication.h"
#include "PlatformEgl.h"

#include <GLES2/gl2.h>
#include <cstring>
#include <new>

namespace
{
// Extensions holding the process's one EGL display: the last one to let go terminates it.
int g_iDisplayUsers = 0;
} // namespace

CKorvelGraphicsExt_GLES2::CKorvelGraphicsExt_GLES2()
    : m_pDisplay(nullptr), m_pSurface(nullptr), m_pContext(nullptr), m_pConfig(nullptr), m_iEGLMajor(0),
      m_iEGLMinor(0), m_uTextureMaxLevel(0), m_pSpriteProgram(nullptr), m_pTextureProgram(nullptr),
      m_pHighlightProgram(nullptr), m_pColorProgram(nullptr), m_pTintProgram(nullptr),
      m_pTextProgram1(nullptr), m_pTextProgram2(nullptr), m_uTextureBinds(0), m_uProgramSwitches(0),
      m_uCurrentProgram(0), m_uCurrentTexture(0), m_pCurrentVertices(nullptr), m_bScissor(false)
{
    SetName(g_KEGraphicsExtensionGLES2);
    std::memset(m_aiColorBits, 0, sizeof(m_aiColorBits));
    std::memset(m_afVertices, 0, sizeof(m_afVertices));
}

CKorvelGraphicsExt_GLES2::~CKorvelGraphicsExt_GLES2()
{
    m_Programs.SetSize(0);
}

// ---- start-up, presenting, size

KE_RETVAL CKorvelGraphicsExt_GLES2::Extension_Startup(IKorvelApplication* pApplication)
{
    // A second start-up would make a second surface on the same window: give up the first.
    if (m_pDisplay)
        Extension_ReleaseResources();
    m_pApplication = pApplication;
    plat::screen_window_t window = pApplication ? pApplication->GetWindow() : nullptr;

    EGLDisplay display = plat::eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display == EGL_NO_DISPLAY)
        return KE_ERR_DEVICE;
    m_pDisplay = display;
    EGLint iMajor = 0, iMinor = 0;
    if (!eglInitialize(display, &iMajor, &iMinor))
        return KE_ERR_DEVICE;
    m_bDisplayHeld = true;
    ++g_iDisplayUsers;
    m_iEGLMajor = iMajor;
    m_iEGLMinor = iMinor;
    if (!eglBindAPI(EGL_OPENGL_ES_API))
        return KE_ERR_DEVICE;

    static const EGLint s_aConfig[] = {EGL_RED_SIZE,
                                       5,
                                       EGL_GREEN_SIZE,
                                       6,
                                       EGL_BLUE_SIZE,
                                       5,
                                       EGL_ALPHA_SIZE,
                                       0,
                                       EGL_DEPTH_SIZE,
                                       8,
                                       EGL_SURFACE_TYPE,
                                       EGL_WINDOW_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_ES2_BIT,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint iFound = 0;
    if (!plat::eglChooseConfig(display, s_aConfig, &config, 1, &iFound) || iFound < 1)
        return KE_ERR_DEVICE;
    m_pConfig = config;

    static const EGLint s_aContext[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    m_pContext = eglCreateContext(display, config, EGL_NO_CONTEXT, s_aContext);
    if (m_pContext == EGL_NO_CONTEXT)
        return KE_ERR_DEVICE;
    m_pSurface = plat::eglCreateWindowSurface(display, config, window, nullptr);
    if (m_pSurface == EGL_NO_SURFACE)
        return KE_ERR_DEVICE;
    if (!eglMakeCurrent(display, m_pSurface, m_pSurface, m_pContext))
        return KE_ERR_DEVICE;
    LiveSurfaceSize(m_aiSurfaceSize[0], m_aiSurfaceSize[1]);
    m_bFollowPending = false;
    m_iFramesLeftOut = 0;

    m_uCurrentProgram = m_uCurrentTexture = 0;
    m_pCurrentVertices = nullptr;
    const KE_RETVAL iResult = BuildDefaultPrograms();
    if (iResult != KE_OK)
        return iResult;

    glGetIntegerv(GL_RED_BITS, &m_aiColorBits[0]);
    glGetIntegerv(GL_GREEN_BITS, &m_aiColorBits[1]);
    glGetIntegerv(GL_BLUE_BITS, &m_aiColorBits[2]);
    glGetIntegerv(GL_ALPHA_BITS, &m_aiColorBits[3]);

    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glDisable(GL_STENCIL_TEST);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    std::memset(m_afVertices, 0, sizeof(m_afVertices));
    const char* pszExtensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    m_uTextureMaxLevel = (pszExtensions && std::strstr(pszExtensions, "GL_APPLE_texture_max_level")) ? 1 : 0;

    glDepthFunc(GL_LEQUAL);
    glClearDepthf(1.0f);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    SetClipRect(static_cast<const CKorvelRect<int>*>(nullptr));
    return KE_OK;
}

KE_RETVAL CKorvelGraphicsExt_GLES2::BuildDefaultPrograms()
{
    CKorvel3DProgram** const apSlots[KE_PROGRAM_COUNT] = {
        &m_pSpriteProgram,    &m_pTextureProgram, &m_pColorProgram, &m_pTintProgram,
        &m_pHighlightProgram, &m_pTextProgram1,   &m_pTextProgram2};
    for (int i = 0; i < KE_PROGRAM_COUNT; ++i)
    {
        CKorvel3DProgram* pProgram = new (std::nothrow) CKorvel3DProgram;
        if (!pProgram)
            return KE_ERR_OUTOFMEMORY;
        const KE_RETVAL iResult =
            pProgram->Startup(this, g_KEBuiltinShaders[i].pszVertex, g_KEBuiltinShaders[i].pszFragment);
        if (iResult != KE_OK || m_Programs.Add(pProgram) < 0)
        {
            pProgram->Shutdown();
            delete pProgram;
            return iResult != KE_OK ? iResult : KE_ERR_OUTOFMEMORY;
        }
        *apSlots[i] = pProgram;
        if (i != KE_PROGRAM_COLOR)
        {
            const int iTexture = pProgram->GetUniformLocation("texture01");
            if (iTexture >= 0)
            {
                glUseProgram(pProgram->GetHandle());
                glUniform1i(iTexture, 0);
            }
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    for (GLenum eUnit : {GL_TEXTURE2, GL_TEXTURE1, GL_TEXTURE0})
    {
        glActiveTexture(eUnit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glUseProgram(0);
    return KE_OK;
}

void CKorvelGraphicsExt_GLES2::Extension_Shutdown()
{
    m_iWidth = m_iHeight = 0;
    Extension_ReleaseResources();
}

int CKorvelGraphicsExt_GLES2::Extension_Flip()
{
    m_uTextureBinds = 0;
    m_uProgramSwitches = 0;
    // A window system may resize the window while a frame is drawn, after the frame's events
    // were read: shown, that frame would put the old picture in a corner beside pixels nothing
    // drew, or crop it. It is left out; the next frame is drawn at the new size. The platform
    // keeps the window's size from this look until the frame is presented, and holds
    // presenting to the display's rate, sleeping on the frame loop's clock.
    IKorvelClock& clock = m_pApplication ? m_pApplication->GetClock() : IKorvelClock::System();
    return plat::eglSwapBuffers(m_pDisplay, m_pSurface, clock, [this] { return !FrameOutsized(); });
}

bool CKorvelGraphicsExt_GLES2::LiveSurfaceSize(int& iWidth, int& iHeight) const
{
    EGLint iW = 0, iH = 0;
    if (!m_pDisplay || m_pSurface == EGL_NO_SURFACE ||
        !eglQuerySurface(m_pDisplay, m_pSurface, EGL_WIDTH, &iW) ||
        !eglQuerySurface(m_pDisplay, m_pSurface, EGL_HEIGHT, &iH))
        return false;
    iWidth = iW;
    iHeight = iH;
    return true;
}

bool CKorvelGraphicsExt_GLES2::FrameOutsized()
{
    int aiSize[2] = {0, 0};
    if (LiveSurfaceSize(aiSize[0], aiSize[1]) &&
        (aiSize[0] != m_aiSurfaceSize[0] || aiSize[1] != m_aiSurfaceSize[1]))
    {
        m_aiSurfaceSize[0] = aiSize[0];
        m_aiSurfaceSize[1] = aiSize[1];
        // Followed already when the size came before the frame's events were read.
        m_bFollowPending = aiSize[0] != m_iWidth || aiSize[1] != m_iHeight;
        m_iFramesLeftOut = 0;
        if (m_bFollowPending)
            RenewSurface();
    }
    if (!m_bFollowPending || m_iFramesLeftOut >= MAX_FRAMES_LEFT_OUT)
        return false;
    ++m_iFramesLeftOut;
    return true;
}

void CKorvelGraphicsExt_GLES2::RenewSurface()
{
    plat::screen_window_t window = m_pApplication ? m_pApplication->GetWindow() : nullptr;
    if (!window)
        return;
    // The window takes one surface at a time: the old one goes before the new one is made.
    eglMakeCurrent(m_pDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(m_pDisplay, m_pSurface);
    m_pSurface = plat::eglCreateWindowSurface(m_pDisplay, m_pConfig, window, nullptr);
    if (m_pSurface == EGL_NO_SURFACE || !eglMakeCurrent(m_pDisplay, m_pSurface, m_pSurface, m_pContext))
        return;
    // Its pixels are whatever the memory held until something draws them.
    const bool bScissor = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (bScissor)
        glEnable(GL_SCISSOR_TEST);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::Extension_Resize(int iWidth, int iHeight)
{
    m_iWidth = iWidth;
    m_iHeight = iHeight;
    m_bFollowPending = false;
    glViewport(0, 0, iWidth, iHeight);
    SetClipRect(static_cast<const CKorvelRect<int>*>(nullptr));
    return KE_OK;
}

void CKorvelGraphicsExt_GLES2::Extension_MakeCurrent()
{
    if (m_pDisplay && m_pContext != EGL_NO_CONTEXT && eglGetCurrentContext() != m_pContext)
        eglMakeCurrent(m_pDisplay, m_pSurface, m_pSurface, m_pContext);
}

void CKorvelGraphicsExt_GLES2::Extension_ReleaseResources()
{
    // The programs are deleted in the own context, not in another application's.
    Extension_MakeCurrent();
    for (int i = 0; i < m_Programs.m_iCount; ++i)
    {
        m_Programs.m_pData[i]->Shutdown();
        delete m_Programs.m_pData[i];
        m_Programs.m_pData[i] = nullptr;
    }
    m_Programs.SetSize(0);
    // Nothing may draw with the old programs until the next start-up builds new ones.
    m_pSpriteProgram = m_pTextureProgram = m_pHighlightProgram = m_pColorProgram = nullptr;
    m_pTintProgram = m_pTextProgram1 = m_pTextProgram2 = nullptr;
    if (!m_pDisplay)
        return;
    if (m_pSurface != EGL_NO_SURFACE)
        eglSwapBuffers(m_pDisplay, m_pSurface);
    eglMakeCurrent(m_pDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_pContext != EGL_NO_CONTEXT)
        eglDestroyContext(m_pDisplay, m_pContext);
    if (m_pSurface != EGL_NO_SURFACE)
        eglDestroySurface(m_pDisplay, m_pSurface);
    // Another application may still draw on this display.
    if (m_bDisplayHeld && --g_iDisplayUsers == 0)
        eglTerminate(m_pDisplay);
    m_bDisplayHeld = false;
    m_pDisplay = nullptr;
    m_pSurface = m_pContext = m_pConfig = nullptr;
}

KE_RETVAL CKorvelGraphicsExt_GLES2::Extension_RestoreResources()
{
    return Extension_Startup(m_pApplication);
}

int CKorvelGraphicsExt_GLES2::GetBackColorBits(int iChannel) const
{
    return (iChannel >= 0 && iChannel < 4) ? m_aiColorBits[iChannel] : 0;
}

// ---- activation caches

int CKorvelGraphicsExt_GLES2::ActivateProgram(CKorvel3DProgram& program, const void* pVertices)
{
    GLint iCurrent = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &iCurrent);
    const bool bProgramChanged = program.GetHandle() != GLuint(iCurrent);
    const bool bVerticesChanged = pVertices && pVertices != m_pCurrentVertices;
    if (!bProgramChanged && !bVerticesChanged)
        return 0;

    const bool bTinted = &program == m_pTintProgram || &program == m_pHighlightProgram;
    const bool bBuiltin2D = bTinted || &program == m_pTextureProgram || &program == m_pColorProgram;
    if (bProgramChanged)
    {
        // The tinted programs' colour array would otherwise stay on for programs without it.
        for (CKorvel3DProgram* pTinted : {m_pTintProgram, m_pHighlightProgram})
            if (pTinted && m_uCurrentProgram && pTinted->GetHandle() == m_uCurrentProgram)
            {
                const int iColor = pTinted->GetAttributeLocation("color");
                if (iColor >= 0)
                    glDisableVertexAttribArray(iColor);
            }
        glUseProgram(program.GetHandle());
        m_uCurrentProgram = program.GetHandle();
        ++m_uProgramSwitches;
        if (bBuiltin2D)
        {
            // Quads of either winding, no depth.
            glDisable(GL_DEPTH_TEST);
            glDisable(GL_CULL_FACE);
            glDepthMask(GL_FALSE);
            glBindBuffer(GL_ARRAY_BUFFER, 0);
        }
    }

    m_pCurrentVertices = pVertices;
    if (!bBuiltin2D)
        return 1; // other programs point their own attributes
    struct sATTRIBUTE
    {
        const char* pszName;
        int iSize;
        int iOffset;
    };
    static const sATTRIBUTE s_aTextured[] = {{"position", 3, 0}, {"uv", 2, 12}, {nullptr, 0, 0}};
    static const sATTRIBUTE s_aColored[] = {{"position", 3, 0}, {"color", 4, 12}, {nullptr, 0, 0}};
    static const sATTRIBUTE s_aTinted[] = {{"position", 2, 0}, {"uv", 2, 8}, {"color", 4, 16}};
    const sATTRIBUTE* pAttributes =
        bTinted ? s_aTinted : (&program == m_pColorProgram ? s_aColored : s_aTextured);
    const int iStride = bTinted ? 32 : (&program == m_pColorProgram ? 28 : 20);
    const char* pBase = static_cast<const char*>(pVertices);
    for (int i = 0; i < 3 && pAttributes[i].pszName; ++i)
    {
        const int iLocation = program.GetAttributeLocation(pAttributes[i].pszName);
        if (iLocation < 0)
            continue;
        glVertexAttribPointer(iLocation, pAttributes[i].iSize, GL_FLOAT, GL_FALSE, iStride,
                              pBase ? pBase + pAttributes[i].iOffset : nullptr);
        glEnableVertexAttribArray(iLocation);
    }
    return 1;
}

void CKorvelGraphicsExt_GLES2::ActivateTexture(unsigned int uUnit, unsigned int uTexture)
{
    glActiveTexture(uUnit);
    GLint iBound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &iBound);
    if (GLuint(iBound) == uTexture)
        return;
    glBindTexture(GL_TEXTURE_2D, uTexture);
    m_uCurrentTexture = uTexture;
    ++m_uTextureBinds;
}

// ---- clip rectangle

KE_RETVAL CKorvelGraphicsExt_GLES2::SetClipRect(const CKorvelRect<float>* pRect)
{
    if (!pRect)
        return SetClipRect(static_cast<const CKorvelRect<int>*>(nullptr));
    const CKorvelRect<int> rect(FloatToPixelX(pRect->left), FloatToPixelY(pRect->top),
                                FloatToPixelX(pRect->right), FloatToPixelY(pRect->bottom));
    return SetClipRect(&rect);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::SetClipRect(const CKorvelRect<int>* pRect)
{
    CKorvelRect<int> r = pRect ? *pRect : CKorvelRect<int>(0, 0, m_iWidth, m_iHeight);
    auto clamp = [](int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); };
    r.left = clamp(r.left, 0, m_iWidth);
    r.top = clamp(r.top, 0, m_iHeight);
    r.right = clamp(r.right < r.left ? r.left : r.right, 0, m_iWidth);
    r.bottom = clamp(r.bottom < r.top ? r.top : r.bottom, 0, m_iHeight);
    m_rcClip = r;
    m_bScissor = pRect != nullptr;
    ApplyClip();
    return KE_OK;
}

void CKorvelGraphicsExt_GLES2::ApplyClip()
{
    if (!m_bScissor)
    {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(m_rcClip.left, m_iHeight - m_rcClip.bottom, m_rcClip.right - m_rcClip.left,
              m_rcClip.bottom - m_rcClip.top);
}
