// A framed image drawn with its own shader: the image stretched under a nine-patch border,
// cut out by a mask. The border surface is a sprite sheet whose frame size is the size of
// its corners. The shader is built once and shared through the resource manager. On a
// target other than the GL ES 2.0 screen the frame draws as a plain image widget.
//
// Sources: FrameWidget.cpp (surfaces, shader, life cycle), FrameWidgetDraw.cpp (the grid).
#pragma once

#include "Framework/UI/ImageWidget.h"

class CKorvel3DProgram;

class CFrameWidget : public CImageWidget
{
public:
    enum
    {
        LOCATION_POSITION = 0,
        LOCATION_UV,
        LOCATION_TEXTURE01,
        LOCATION_TEXTURE02,
        LOCATION_TEXTURE03,
        LOCATION_COUNT
    };
    // The shared program's locations: attributes "position", "uv", then the three samplers.
    static int m_arrLocations[LOCATION_COUNT];
    static const char* const SHADER_NAME;

    CFrameWidget();

    // ---- added virtual operations, in slot order
    virtual CKorvelSurface* GetMask() const { return m_pMask; }
    virtual void SetMask(CKorvelSurface* pMask) { Replace(m_pMask, pMask); }
    virtual CKorvelSurface* GetBorder() const { return m_pBorder; }
    virtual void SetBorder(CKorvelSurface* pBorder) { Replace(m_pBorder, pBorder); }
    // Takes the shared program, or builds and shares it; a failed build is retried later.
    virtual void VerifyShader();
    virtual void updateImage() {}

    CKorvel3DProgram* GetShader() const { return m_pShader; }
    // The border's inner rectangle on the target and the image's matching inner rectangle.
    static void GetCenterRect(const CKorvelRect<int>& rect, const CKorvelSurface* pImage,
                              CKorvelRect<int>& imageCenter, const CKorvelSurface* pBorder,
                              CKorvelRect<int>& borderCenter);
    // The program's source texts.
    static const char* VertexSource();
    static const char* FragmentSource();

    // ---- overrides
    void SetImage(CKorvelSurface* pImage) override;
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    CWidget* New() const override { return new CFrameWidget; }
    KORVEL_WIDGET_GETTYPE(CFrameWidget)
    void initializeClone(const CWidget& source) override;
    KE_RETVAL update(float fSeconds) override;
    KE_RETVAL draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;

private:
    void Replace(CKorvelSurface*& pHeld, CKorvelSurface* pSurface);
    void Release(CKorvelSurface*& pHeld);
    void ReleaseShader();
    KE_RETVAL DrawFramed(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect);

    CKorvelSurface* m_pMask;
    CKorvelSurface* m_pBorder;
    CKorvel3DProgram* m_pShader;
};
