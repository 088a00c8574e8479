// Frame widget: its surfaces, the shared shader and the life cycle.
#include "Framework/UI/FrameWidget.h"

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "Framework/Shell/VornResourceManager.h"
#include "Framework/UI/HeldSurface.h"
#include "Korvel3D/Korvel3DProgram.h"
#include "KorvelGraphics/KorvelApplication.h"
#include "KorvelGraphics/KorvelSurface.h"

int CFrameWidget::m_arrLocations[CFrameWidget::LOCATION_COUNT] = {-1, -1, -1, -1, -1};
const char* const CFrameWidget::SHADER_NAME = "framewidget_shader";

const char* CFrameWidget::VertexSource()
{
    return "attribute vec2 position;\n"
           "attribute vec4 uv;\n"
           "varying vec4 texCoord;\n"
           "void main()\n"
           "{\n"
           "    texCoord = uv;\n"
           "    gl_Position = vec4(position, 0.0, 1.0);\n"
           "}\n";
}

// The border laid over the image; the alpha comes from the mask.
const char* CFrameWidget::FragmentSource()
{
    return "precision mediump float;\n"
           "varying vec4 texCoord;\n"
           "uniform sampler2D texture01;\n"
           "uniform sampler2D texture02;\n"
           "uniform sampler2D texture03;\n"
           "void main()\n"
           "{\n"
           "    vec4 t01 = texture2D(texture01, texCoord.xy);\n"
           "    vec4 t02 = texture2D(texture02, texCoord.zw);\n"
           "    float t03 = texture2D(texture03, texCoord.zw).w;\n"
           "    vec4 c;\n"
           "    c.xyz = t02.xyz + (t01.xyz * (1.0 - t02.w));\n"
           "    c.w = t03;\n"
           "    gl_FragColor = c;\n"
           "}\n";
}

CFrameWidget::CFrameWidget() : m_pMask(nullptr), m_pBorder(nullptr), m_pShader(nullptr) {}

KE_RETVAL CFrameWidget::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                                const CKorvelRect<int>& area)
{
    if (!pApp || !pResources)
        return KE_ERR_INVALIDARG;
    const KE_RETVAL r = CImageWidget::Startup(pApp, pResources, area);
    m_pMask = nullptr;
    m_pBorder = nullptr;
    m_pShader = nullptr;
    SetTransparent(0);
    return r;
}

void CFrameWidget::Release(CKorvelSurface*& pHeld)
{
    ReleaseHeldSurface(m_pResources, pHeld);
}

void CFrameWidget::Replace(CKorvelSurface*& pHeld, CKorvelSurface* pSurface)
{
    ReplaceHeldSurface(m_pResources, pHeld, pSurface);
}

void CFrameWidget::ReleaseShader()
{
    CKorvel3DProgram* pShader = m_pShader;
    m_pShader = nullptr;
    if (!pShader || (m_pResources && m_pResources->ReleaseShader(pShader)))
        return;
    pShader->Shutdown();
    delete pShader;
}

void CFrameWidget::Shutdown()
{
    ReleaseShader();
    Release(m_pMask);
    Release(m_pBorder);
    CImageWidget::Shutdown();
}

void CFrameWidget::SetImage(CKorvelSurface* pImage)
{
    if (pImage == GetImage())
        return;
    CImageWidget::SetImage(pImage);
}

void CFrameWidget::initializeClone(const CWidget& source)
{
    CImageWidget::initializeClone(source);
    const CFrameWidget* pSource = widget_cast<const CFrameWidget*>(&source);
    if (!pSource)
        return;
    // Two owners of a surface the manager does not count would both delete it.
    CKorvelSurface* apSource[2] = {pSource->m_pMask, pSource->m_pBorder};
    for (CKorvelSurface*& p : apSource)
        if (p && !(m_pResources && m_pResources->IncrementSurface(p)))
            p = nullptr;
    SetMask(apSource[0]);
    SetBorder(apSource[1]);
    for (CKorvelSurface* p : apSource)
        if (p)
            m_pResources->ReleaseSurface(p);
}

void CFrameWidget::VerifyShader()
{
    if (m_pShader || !m_pResources || !m_pApp)
        return;
    const CKorvelString strName(SHADER_NAME);
    if ((m_pShader = m_pResources->GetShader(strName)) != nullptr)
        return;
    // Only a started GL ES 2.0 screen (it has its own programs then) can build one.
    IKorvelGraphicsContext* pBack = m_pApp->GetBack();
    CKorvelGraphicsExt_GLES2* pGl = pBack && pBack->GetContextType() == KE_CONTEXT_GLES2
                                        ? dynamic_cast<CKorvelGraphicsExt_GLES2*>(pBack)
                                        : nullptr;
    if (!pGl || !pGl->GetColorProgram())
        return;
    CKorvel3DProgram* pProgram = new CKorvel3DProgram;
    if (pProgram->Startup(pBack, CKorvelString(VertexSource()), CKorvelString(FragmentSource())) != KE_OK)
    {
        CKorvelString strError;
        pProgram->GetError(strError);
        pProgram->Shutdown();
        delete pProgram;
        return;
    }
    m_pResources->AddShader(strName, pProgram);
    m_pShader = pProgram;
    static const char* const s_apNames[LOCATION_COUNT] = {"position", "uv", "texture01", "texture02",
                                                          "texture03"};
    for (int i = 0; i < LOCATION_COUNT; ++i)
    {
        const CKorvelString strLocation(s_apNames[i]);
        m_arrLocations[i] = i < LOCATION_TEXTURE01 ? pProgram->GetAttributeLocation(strLocation)
                                                   : pProgram->GetUniformLocation(strLocation);
    }
}

KE_RETVAL CFrameWidget::update(float fSeconds)
{
    VerifyShader();
    return CImageWidget::update(fSeconds);
}

void CFrameWidget::GetCenterRect(const CKorvelRect<int>& rect, const CKorvelSurface* pImage,
                                 CKorvelRect<int>& imageCenter, const CKorvelSurface* pBorder,
                                 CKorvelRect<int>& borderCenter)
{
    int bw = pBorder ? pBorder->GetSubFrameWidth() : 0, bh = pBorder ? pBorder->GetSubFrameHeight() : 0;
    if (pBorder && (bw <= 0 || bh <= 0))
    {
        bw = pBorder->GetWidth();
        bh = pBorder->GetHeight();
    }
    borderCenter = CKorvelRect<int>(rect.left + bw, rect.top + bh, rect.right - bw, rect.bottom - bh);
    const int iw = pImage ? pImage->GetWidth() : 0, ih = pImage ? pImage->GetHeight() : 0;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int l = w != 0 ? static_cast<int>(roundf(static_cast<float>(bw) / static_cast<float>(w) * iw)) : 0;
    const int t = h != 0 ? static_cast<int>(roundf(static_cast<float>(bh) / static_cast<float>(h) * ih)) : 0;
    imageCenter = CKorvelRect<int>(l, t, iw - l, ih - t);
}
