#include "KorvelGraphics/KorvelGraphicsExt.h"

#include "KorvelCommon/KorvelMath.h"

const CKorvelString g_KEGraphicsExtensionGLES2("KorvelEngine OpenGL ES 2.0 Extension");
const CKorvelString g_KEGraphicsExtensionGL2("KorvelEngine Desktop OpenGL 2.x Extension");
const CKorvelString g_KEGraphicsExtensionDX9("KorvelEngine DirectX9 Extension");
const CKorvelString g_KEGraphicsExtensionDX11("KorvelEngine DirectX11 Extension");

namespace
{

float ToFraction(int i, int iSize)
{
    return iSize ? float(i) / float(iSize) : 0.0f;
}

} // namespace

int IKorvelGraphicsExt::FloatToPixelX(float f) const
{
    return CKorvelMath::TruncToInt(f * float(m_iWidth));
}

int IKorvelGraphicsExt::FloatToPixelY(float f) const
{
    return CKorvelMath::TruncToInt(f * float(m_iHeight));
}

float IKorvelGraphicsExt::PixelToFloatX(int i) const
{
    return ToFraction(i, m_iWidth);
}

float IKorvelGraphicsExt::PixelToFloatY(int i) const
{
    return ToFraction(i, m_iHeight);
}

float IKorvelGraphicsExt::GetAspectRatio() const
{
    return m_iHeight ? float(m_iWidth) / float(m_iHeight) : 0.0f;
}
