// A two-colour gradient: vertical, horizontal, or radial through a cached 64 x 64 surface
// shared under a name made from the two colours. The mode lies in the draw flags' top
// four bits.
#pragma once

#include "Framework/UI/ImageWidget.h"

class CGradientWidget : public CImageWidget
{
public:
    enum : unsigned int
    {
        MODE_MASK = 0xF0000000u,
        MODE_VERTICAL = 0x00000000u,
        MODE_HORIZONTAL = 0x10000000u,
        MODE_RADIAL = 0x20000000u
    };
    static const int RADIAL_SIZE = 64;

    CGradientWidget() : m_uColor1(0xFFFFFFFFu), m_uColor2(0xFF000000u), m_fRadius(1.0f) {}

    // Colours are always opaque.
    void SetColor1(unsigned int argb) { m_uColor1 = argb | 0xFF000000u; }
    unsigned int GetColor1() const { return m_uColor1; }
    void SetColor2(unsigned int argb) { m_uColor2 = argb | 0xFF000000u; }
    unsigned int GetColor2() const { return m_uColor2; }
    void SetRadius(float fRadius) { m_fRadius = fRadius; }
    float GetRadius() const { return m_fRadius; }

    // The shared radial surface of the two colours (outer, inner) with one reference that
    // the caller gives back; made, registered and mirrored into a texture when missing.
    static CKorvelSurface* GetRadialSurface(IKorvelApplication* pApp, CVornResourceManager* pResources,
                                            unsigned int uOuter, unsigned int uInner, float fRadius);

    // ---- overrides
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    CWidget* New() const override { return new CGradientWidget; }
    KORVEL_WIDGET_GETTYPE(CGradientWidget)
    void initializeClone(const CWidget& source) override;
    KE_RETVAL draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;

private:
    unsigned int m_uColor1;
    unsigned int m_uColor2;
    float m_fRadius;
};
