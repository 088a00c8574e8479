// A screen target: the drawing interface plus start-up on the application's window,
// presenting a frame, resizing, and giving up and rebuilding its GPU resources.
// It keeps the application it was started on and its size in pixels, and does the
// pixel/fraction conversions from that size.
#pragma once

#include "KorvelCommon/KorvelString.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"

class IKorvelApplication;

// Names of the graphics extensions; this system has only the first kind.
extern const CKorvelString g_KEGraphicsExtensionGLES2;
extern const CKorvelString g_KEGraphicsExtensionGL2;
extern const CKorvelString g_KEGraphicsExtensionDX9;
extern const CKorvelString g_KEGraphicsExtensionDX11;

class IKorvelGraphicsExt : public IKorvelGraphicsContext
{
public:
    IKorvelGraphicsExt() : m_pApplication(nullptr), m_iWidth(0), m_iHeight(0) {}
    virtual ~IKorvelGraphicsExt() {}

    int GetWidth() const override { return m_iWidth; }
    int GetHeight() const override { return m_iHeight; }
    // Before the first resize the size is 0: the conversions then give 0.
    int FloatToPixelX(float f) const override;
    int FloatToPixelY(float f) const override;
    float PixelToFloatX(int i) const override;
    float PixelToFloatY(int i) const override;
    float GetAspectRatio() const override;

    virtual KE_RETVAL Extension_Startup(IKorvelApplication* pApplication) = 0;
    virtual void Extension_Shutdown() = 0;
    // The platform's presenting result.
    virtual int Extension_Flip() = 0;
    virtual KE_RETVAL Extension_Resize(int, int) { return KE_OK; }
    virtual void Extension_ReleaseResources() {}
    // Makes the own drawing context the current one; nothing when already so. Two
    // applications in one process each draw only into their own.
    virtual void Extension_MakeCurrent() {}
    virtual KE_RETVAL Extension_RestoreResources() { return KE_OK; }

    IKorvelApplication* GetApplication() const { return m_pApplication; }

protected:
    IKorvelApplication* m_pApplication; // not owned
    int m_iWidth;
    int m_iHeight;
};
