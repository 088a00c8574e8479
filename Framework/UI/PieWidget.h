// A pie sector of one colour drawn as a triangle fan on the GL ES 2.0 screen: it starts
// straight up and grows counter-clockwise to the angle. On other targets it draws nothing.
#pragma once

#include "Framework/UI/Widget.h"

class CPieWidget : public CWidget
{
public:
    static const int MIN_SEGMENTS = 6;
    static const int MAX_SEGMENTS = 256;
    static const int FLOATS_PER_VERTEX = 7; // x, y, z, red, green, blue, alpha

    CPieWidget();
    ~CPieWidget() override;

    // Clamped into 0..2 pi.
    void SetAngle(float fRadians);
    float GetAngle() const { return m_fAngle; }
    // Clamped into 6..256; the vertex array is made again for segments + 1 vertices.
    void SetSegments(int iSegments);
    int GetSegments() const { return m_iSegments; }
    unsigned int GetColor() const { return m_uColor; }
    // Written by the layout loader.
    void SetColor(unsigned int argb) { m_uColor = argb; }
    // The fan as last filled by draw: segments + 1 vertices, or null before Startup.
    const float* GetVertices() const { return m_pVertices; }
    // Fills the fan for the rect on a target of that pixel scale (PixelToFloatX/Y of 1 pixel).
    void FillVertices(const CKorvelRect<int>& rect, float fPixelX, float fPixelY);

    // ---- overrides
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    CWidget* New() const override { return new CPieWidget; }
    KORVEL_WIDGET_GETTYPE(CPieWidget)
    void initializeClone(const CWidget& source) override;
    KE_RETVAL update(float) override { return KE_OK; }
    KE_RETVAL draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;

private:
    void Reallocate();

    unsigned int m_uColor;
    float m_fAngle;
    int m_iSegments;
    float* m_pVertices; // owned, segments + 1 vertices
};
