// Where 8-bit surfaces get their palette and format 0 its meaning. Surfaces only hold an
// IKorvelApplication pointer and cannot call into the application class; the application
// registers itself here as the host of its surfaces. Surfaces without a registered host
// use a process-wide default palette, so palette surfaces work without an application.
#pragma once

#include "KorvelGraphics/KorvelGraphicsContext.h"

class IKorvelApplication;

// What a surface needs of its application (the application base implements it).
class IKorvelSurfaceHost
{
public:
    virtual ~IKorvelSurfaceHost() {}
    // 256 colours 0x00RRGGBB, or null when there is none yet.
    virtual unsigned int* GetPalette() = 0;
    // 4096 entries indexed by 4-4-4 colour; builds the default palette when there is none.
    virtual unsigned char* GetPaletteLookupTable() = 0;
    virtual eKET_SURFACEFORMAT GetCompatibleDisplayFormat() = 0;
};

class CKorvelPaletteProvider
{
public:
    enum
    {
        PALETTE_SIZE = 256,
        LOOKUP_SIZE = 4096
    };

    // One host at a time (the process has one application); null app or host unregisters.
    static void Register(IKorvelApplication* pApp, IKorvelSurfaceHost* pHost);
    static void Unregister(IKorvelApplication* pApp);

    // The palette and lookup table that pApp's surfaces use: the host's when pApp is the
    // registered application, else the default palette. Null only when the host has none.
    static const unsigned int* GetPalette(IKorvelApplication* pApp);
    static const unsigned char* GetLookupTable(IKorvelApplication* pApp);
    // The host's display format, or 7 (32-bit, red lowest) without one or when it reports 0.
    static eKET_SURFACEFORMAT GetCompatibleDisplayFormat(IKorvelApplication* pApp);

    // Building blocks of the application's palette operations.
    // Entry i = R << 16 | G << 8 | B, R and G from 3 bits each (x 255 / 7), B from 2 (x 85).
    static void BuildDefaultPalette(unsigned int* pPalette);
    // Entry v = the palette entry closest to the 4-4-4 colour v (nibbles in the high halves).
    static void BuildLookupTable(const unsigned int* pPalette, unsigned char* pTable);
    // Exact match first; otherwise the first entry with the least |dR| + |dG| + |dB|.
    static unsigned char GetClosestFromPalette(const unsigned int* pPalette, unsigned int colour);
};
