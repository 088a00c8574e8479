// Texture mirror hooks. Every pixel change ends in Unlock, which calls SyncToTexture; a
// surface without a GL texture has nothing to upload and reports 4.
#include "KorvelGraphics/KorvelSurface.h"

KE_RETVAL CKorvelSurface::SurfaceToTexture(unsigned int)
{
    if (!m_pPixels)
        return KE_ERR_BADDATA;
    return KE_ERR_NOTSUPPORTED;
}

KE_RETVAL CKorvelSurface::SyncToTexture()
{
    if (!m_pPixels || !m_uTexture)
        return KE_ERR_BADDATA;
    return KE_ERR_NOTSUPPORTED;
}

void CKorvelSurface::ReleaseTexture()
{
    m_uTexture = 0;
}
