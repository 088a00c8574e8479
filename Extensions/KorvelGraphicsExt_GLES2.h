// The screen target: draws into the application's window with OpenGL ES 2.0 through
// EGL. Every drawing is a quad (a four-vertex fan, top-left, bottom-left, bottom-right,
// top-right) or a line, built in one small client-side vertex array and drawn with one
// of seven built-in programs. Sources are software surfaces that mirror themselves into
// GL textures; the target never uploads pixels itself. Main thread only.
//
// Sources: KorvelGraphicsExt_GLES2.cpp (life cycle, programs, activation caching, clip),
// KorvelGraphicsExt_GLES2Draw.cpp (fills, textured, tinted and rotated quads, lines),
// KorvelGraphicsExt_GLES2Shaders.cpp (the built-in shader texts).
#pragma once

#include "Korvel3D/Korvel3DColor.h"
#include "Korvel3D/Korvel3DProgram.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelGraphics/KorvelGraphicsExt.h"

class CKorvelGraphicsExt_GLES2 : public IKorvelGraphicsExt
{
public:
    CKorvelGraphicsExt_GLES2();
    // Frees the program list's storage only: the owner calls Extension_Shutdown first.
    virtual ~CKorvelGraphicsExt_GLES2();

    using IKorvelGraphicsContext::BlendFill;
    using IKorvelGraphicsContext::DrawStretched;
    using IKorvelGraphicsContext::DrawStretchedBlended;
    using IKorvelGraphicsContext::Fade;
    using IKorvelGraphicsContext::Fill;
    using IKorvelGraphicsContext::GradientFill;
    using IKorvelGraphicsContext::SetClipRect;

    // Frames in a row that are not presented while a new window size waits to be followed;
    // then they are shown anyway, so an application that never follows is not left blank.
    static constexpr int MAX_FRAMES_LEFT_OUT = 8;

    int GetContextType() const override { return KE_CONTEXT_GLES2; }

    // Drawing needs a started target: without its programs every drawing slot returns 3.
    // Fill works on pixels and clears with the clip rectangle ignored.
    KE_RETVAL Fill(unsigned int argb, const CKorvelRect<int>* pRect) override;
    KE_RETVAL Fill(unsigned int argb, const CKorvelRect<float>* pRect) override;
    KE_RETVAL GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl,
                           const CKorvelRect<int>* pRect) override;
    KE_RETVAL GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl,
                           const CKorvelRect<float>* pRect) override;
    // Adds the colour times its alpha to the target.
    KE_RETVAL BlendFill(unsigned int argb, const CKorvelRect<int>* pRect) override;
    KE_RETVAL BlendFill(unsigned int argb, const CKorvelRect<float>* pRect) override;
    // Multiplies the target by the level.
    KE_RETVAL Fade(const CKorvelRect<int>* pRect, float fLevel) override;
    KE_RETVAL Fade(const CKorvelRect<float>* pRect, float fLevel) override;

    KE_RETVAL Draw(int x, int y, IKorvelGraphicsContext& src, const CKorvelRect<int>* pSrcRect,
                   unsigned int uFlags) override;
    KE_RETVAL Draw(const CKorvelVector2& pos, IKorvelGraphicsContext& src, const CKorvelRect<float>* pSrcRect,
                   unsigned int uFlags) override;
    KE_RETVAL DrawStretched(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                            const CKorvelRect<int>* pSrcRect, unsigned int uFlags) override;
    KE_RETVAL DrawStretched(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext& src,
                            const CKorvelRect<float>* pSrcRect, unsigned int uFlags) override;
    // The position is the unrotated image's top-left corner; the image turns about its
    // centre (positive angles counter-clockwise). The integer form's size is the length
    // that the source's larger side gets; the float form's is a scale factor.
    KE_RETVAL DrawRotated(int x, int y, IKorvelGraphicsContext& src, float fAngle, int iSize,
                          unsigned int uFlags) override;
    KE_RETVAL DrawRotated(const CKorvelVector2& pos, IKorvelGraphicsContext& src, float fAngle, float fScale,
                          unsigned int uFlags) override;
    // Tinted draws treat the texture as premultiplied, as the surfaces' textures are.
    KE_RETVAL DrawBlended(int x, int y, IKorvelGraphicsContext& src, const CKorvelRect<int>* pSrcRect,
                          unsigned int argb, unsigned int uFlags) override;
    KE_RETVAL DrawBlended(const CKorvelVector2& pos, IKorvelGraphicsContext& src,
                          const CKorvelRect<float>* pSrcRect, unsigned int argb,
                          unsigned int uFlags) override;
    KE_RETVAL DrawStretchedBlended(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                                   const CKorvelRect<int>* pSrcRect, unsigned int argb,
                                   unsigned int uFlags) override;
    KE_RETVAL DrawStretchedBlended(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext& src,
                                   const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                   unsigned int uFlags) override;
    KE_RETVAL Line(int x1, int y1, int x2, int y2, unsigned int argbFrom, unsigned int argbTo) override;
    KE_RETVAL Line(const CKorvelVector2& from, const CKorvelVector2& to, unsigned int argbFrom,
                   unsigned int argbTo) override;

    // Clamps to the target and scissors to it; null turns clipping off.
    KE_RETVAL SetClipRect(const CKorvelRect<int>* pRect) override;
    KE_RETVAL SetClipRect(const CKorvelRect<float>* pRect) override;

    // 1, 9 when an EGL step fails, or the code of a program that does not build.
    KE_RETVAL Extension_Startup(IKorvelApplication* pApplication) override;
    void Extension_Shutdown() override;
    // The present's result (paced to the display by the platform); the per-frame
    // counters start again.
    int Extension_Flip() override;
    KE_RETVAL Extension_Resize(int iWidth, int iHeight) override;
    // For a caller working on this application outside its frame, start-up and shut-down.
    void MakeCurrent() { Extension_MakeCurrent(); }
    void Extension_MakeCurrent() override;
    void Extension_ReleaseResources() override;
    KE_RETVAL Extension_RestoreResources() override;

    // Back-buffer bits of channel 0 red, 1 green, 2 blue, 3 alpha (0 for others).
    int GetBackColorBits(int iChannel) const;
    // 1 when the program or the vertex pointer changed (attributes set again), else 0
    // after asking GL for the current program only.
    int ActivateProgram(CKorvel3DProgram& program, const void* pVertices);
    // uUnit is the GL enumerant (GL_TEXTURE0 and up); binds only when GL has another texture there.
    void ActivateTexture(unsigned int uUnit, unsigned int uTexture);
    // The source rectangle stretched into the destination and turned about its centre,
    // tinted by the colour.
    KE_RETVAL StretchRotateBlend(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext* pSrc,
                                 const CKorvelRect<float>* pSrcRect, float fAngle, unsigned int argb,
                                 unsigned int uFlags);
    KE_RETVAL StretchRotateBlend(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext* pSrc,
                                 const CKorvelRect<int>* pSrcRect, float fAngle, unsigned int argb,
                                 unsigned int uFlags);

    // The built-in programs (null while released).
    CKorvel3DProgram* GetSpriteProgram() const { return m_pSpriteProgram; }
    CKorvel3DProgram* GetTextureProgram() const { return m_pTextureProgram; }
    CKorvel3DProgram* GetHighlightProgram() const { return m_pHighlightProgram; }
    CKorvel3DProgram* GetColorProgram() const { return m_pColorProgram; }
    CKorvel3DProgram* GetTintProgram() const { return m_pTintProgram; }
    CKorvel3DProgram* GetTextProgram(int iIndex) const { return iIndex ? m_pTextProgram2 : m_pTextProgram1; }

    // 1 when GL offers GL_APPLE_texture_max_level (read by the surfaces' texture code).
    unsigned int HasTextureMaxLevel() const { return m_uTextureMaxLevel; }
    unsigned int GetTextureBindCount() const { return m_uTextureBinds; }
    unsigned int GetProgramSwitchCount() const { return m_uProgramSwitches; }
    void GetEGLVersion(int& iMajor, int& iMinor) const
    {
        iMajor = m_iEGLMajor;
        iMinor = m_iEGLMinor;
    }

private:
    CKorvelGraphicsExt_GLES2(const CKorvelGraphicsExt_GLES2&) = delete;
    CKorvelGraphicsExt_GLES2& operator=(const CKorvelGraphicsExt_GLES2&) = delete;

    // Texture coordinates of a quad: left, top, right, bottom.
    struct sUV
    {
        float fLeft, fTop, fRight, fBottom;
    };
    // An upright quad in clip space: left, top, width, height (y up).
    struct sQuad
    {
        float fLeft, fTop, fWidth, fHeight;
    };
    // Corners in quad order, each x, y, u, v.
    typedef float Corners[4][4];

    KE_RETVAL BuildDefaultPrograms();
    // The window surface's size as the window system has it now; false when EGL cannot tell.
    bool LiveSurfaceSize(int& iWidth, int& iHeight) const;
    // True when the window took another size since the application last followed one, so
    // that the frame just drawn is not for the window it would be shown in.
    bool FrameOutsized();
    // A surface of its own on the window, cleared: a buffer already drawn on keeps its size
    // until it is presented, so the next frame needs a new one.
    void RenewSurface();
    // The scissor of the stored clip rectangle, or none.
    void ApplyClip();
    // 3 without the program, 2 for a source that is not a software surface with a
    // texture, else 1 and the source's texture.
    static KE_RETVAL CheckSource(const CKorvel3DProgram* pProgram, IKorvelGraphicsContext& src,
                                 unsigned int& uTexture);
    static sUV SourceUV(const CKorvelRect<float>* pSrcRect);
    static void Mirror(sUV& uv, unsigned int uFlags);
    // The source (or its rectangle) at its pixel size with its top-left at the position.
    sQuad ImageQuad(const CKorvelVector2& pos, const IKorvelGraphicsContext& src,
                    const CKorvelRect<float>* pSrcRect) const;
    // The destination rectangle, or the whole target.
    static sQuad StretchedQuad(const CKorvelRect<float>* pDstRect);
    // Centring and mirroring by the flags, then the corners.
    static void UprightCorners(sQuad quad, sUV uv, unsigned int uFlags, Corners& corners);
    // The corners of an image turned by the angle about its centre, with its unrotated
    // top-left corner at the anchor (fractions of the target). The corners lie at plus
    // and minus the half sizes, in pixels, before the scaling to the target's size; the
    // image is thus that many pixels wide and high.
    void RotatedCorners(float fAnchorX, float fAnchorY, float fHalfWidth, float fHalfHeight, float fAngle,
                        unsigned int uFlags, sUV uv, Corners& corners) const;
    // Flag 2 multiplies, 0x80 blends premultiplied alpha, anything else replaces.
    static void SetTexturedBlend(unsigned int uFlags);
    // One fan with the texture program, blended by the flags.
    KE_RETVAL DrawTextured(const Corners& corners, unsigned int uTexture, unsigned int uFlags);
    // One fan with the tint program (or the highlight program), the colour on every corner,
    // blended as premultiplied.
    KE_RETVAL DrawTinted(const Corners& corners, unsigned int uTexture, const CKorvel3DColor& color,
                         CKorvel3DProgram& program);
    // Colours in quad order.
    KE_RETVAL DrawColoredQuad(const CKorvelRect<float>* pRect, const CKorvel3DColor aColors[4]);

    void* m_pDisplay;            // EGL handles; the display is null while not started
    bool m_bDisplayHeld = false; // counted among the display's users
    void* m_pSurface;
    void* m_pContext;
    void* m_pConfig;
    int m_aiColorBits[4];
    int m_iEGLMajor;
    int m_iEGLMinor;
    unsigned int m_uTextureMaxLevel;
    CKorvelArray<CKorvel3DProgram*> m_Programs; // owned
    CKorvel3DProgram* m_pSpriteProgram;
    CKorvel3DProgram* m_pTextureProgram;
    CKorvel3DProgram* m_pHighlightProgram;
    CKorvel3DProgram* m_pColorProgram;
    CKorvel3DProgram* m_pTintProgram;
    CKorvel3DProgram* m_pTextProgram1;
    CKorvel3DProgram* m_pTextProgram2;
    unsigned int m_uTextureBinds;
    unsigned int m_uProgramSwitches;
    int m_aiSurfaceSize[2] = {0, 0}; // the window surface's size when last looked at
    bool m_bFollowPending = false;   // the window's new size is not yet followed
    int m_iFramesLeftOut = 0;        // frames in a row not presented while it was pending
    unsigned int m_uCurrentProgram;
    unsigned int m_uCurrentTexture;
    const void* m_pCurrentVertices;
    float m_afVertices[32];
    bool m_bScissor; // a clip rectangle is in force
};
