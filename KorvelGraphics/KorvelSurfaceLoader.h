// Decoding of encoded images (PNG, JPEG) into surfaces through the platform image
// library: the decoded 32-bit rows are converted into the surface's own format with the
// colour premultiplied by alpha.
#pragma once

#include "KorvelGraphics/KorvelSurface.h"

class CKorvelFile;
class CKorvelString;

class CKorvelSurfaceLoader
{
public:
    // Decodes size bytes from the file's position into surface (created at the image's
    // size, or at desc's when it asks for scaling, in desc's format unless the surface
    // already has that size), then makes the texture mirror when desc's flags have 2.
    // 11 for no or undecodable data, 7 for memory, else Create's or the texture's code.
    static KE_RETVAL LoadImageFromFile(CKorvelSurface& surface, CKorvelFile& file, unsigned int uSize,
                                       SKE_SURFACEDESC& desc);
    // Rows of source.iPitch bytes in source.eFormat (7, 6, 4, 3 or 2) into the surface's
    // format; alpha from byte 3 of 4-byte pixels when hasAlpha, colour premultiplied
    // when premultiply. Surfaces below 32 bits get an alpha plane for an image with alpha.
    static KE_RETVAL ImageToSurface(IKorvelApplication* pApp, const void* pPixels,
                                    const SKE_SURFACEDESC& source, unsigned int uHasAlpha,
                                    unsigned int uPremultiply, CKorvelSurface& surface,
                                    const SKE_SURFACEDESC& desc);
    // Images are never written: 6, or 3 for a surface that was never created.
    static KE_RETVAL SaveImage(CKorvelSurface& surface, const CKorvelString& strName);
};

// The platform decode: reads the bytes, decodes them as 32-bit B, G, R, A rows, resizes
// when desc asks for a size, and converts with premultiplication.
KE_RETVAL LoadImageBlackberry(IKorvelApplication* pApp, SKE_SURFACEDESC& desc, CKorvelSurface& surface,
                              CKorvelFile& file, unsigned int uSize);
