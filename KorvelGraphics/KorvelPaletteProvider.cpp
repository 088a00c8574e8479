#include "KorvelGraphics/KorvelPaletteProvider.h"

#include <vector>

namespace
{
// One host per application: two applications in one process each keep their own palette.
struct sHOST
{
    IKorvelApplication* pApp;
    IKorvelSurfaceHost* pHost;
};
std::vector<sHOST>& Hosts()
{
    static std::vector<sHOST> s_aHosts;
    return s_aHosts;
}

struct sDEFAULT_PALETTE
{
    unsigned int auPalette[CKorvelPaletteProvider::PALETTE_SIZE];
    unsigned char auLookup[CKorvelPaletteProvider::LOOKUP_SIZE];

    sDEFAULT_PALETTE()
    {
        CKorvelPaletteProvider::BuildDefaultPalette(auPalette);
        CKorvelPaletteProvider::BuildLookupTable(auPalette, auLookup);
    }
};

const sDEFAULT_PALETTE& DefaultPalette()
{
    static const sDEFAULT_PALETTE s_palette;
    return s_palette;
}

IKorvelSurfaceHost* HostOf(IKorvelApplication* pApp)
{
    for (const sHOST& host : Hosts())
        if (pApp && host.pApp == pApp)
            return host.pHost;
    return nullptr;
}

int Channel(unsigned int c, int shift)
{
    return static_cast<int>((c >> shift) & 0xFF);
}
} // namespace

void CKorvelPaletteProvider::Register(IKorvelApplication* pApp, IKorvelSurfaceHost* pHost)
{
    if (!pApp)
        return;
    Unregister(pApp);
    if (pHost)
        Hosts().push_back({pApp, pHost});
}

void CKorvelPaletteProvider::Unregister(IKorvelApplication* pApp)
{
    std::vector<sHOST>& aHosts = Hosts();
    for (size_t u = 0; u < aHosts.size(); ++u)
        if (aHosts[u].pApp == pApp)
        {
            aHosts.erase(aHosts.begin() + long(u));
            return;
        }
}

const unsigned int* CKorvelPaletteProvider::GetPalette(IKorvelApplication* pApp)
{
    if (IKorvelSurfaceHost* pHost = HostOf(pApp))
    {
        pHost->GetPaletteLookupTable(); // builds the default palette when there is none
        return pHost->GetPalette();
    }
    return DefaultPalette().auPalette;
}

const unsigned char* CKorvelPaletteProvider::GetLookupTable(IKorvelApplication* pApp)
{
    if (IKorvelSurfaceHost* pHost = HostOf(pApp))
        return pHost->GetPaletteLookupTable();
    return DefaultPalette().auLookup;
}

eKET_SURFACEFORMAT CKorvelPaletteProvider::GetCompatibleDisplayFormat(IKorvelApplication* pApp)
{
    eKET_SURFACEFORMAT eFormat = KE_SURFACE_COMPATIBLE;
    if (IKorvelSurfaceHost* pHost = HostOf(pApp))
        eFormat = pHost->GetCompatibleDisplayFormat();
    return eFormat == KE_SURFACE_COMPATIBLE ? KE_SURFACE_ABGR8888 : eFormat;
}

void CKorvelPaletteProvider::BuildDefaultPalette(unsigned int* pPalette)
{
    for (unsigned int i = 0; i < PALETTE_SIZE; ++i)
    {
        unsigned int r = ((i >> 5) & 7) * 255 / 7;
        unsigned int g = ((i >> 2) & 7) * 255 / 7;
        unsigned int b = (i & 3) * 85;
        pPalette[i] = (r << 16) | (g << 8) | b;
    }
}

void CKorvelPaletteProvider::BuildLookupTable(const unsigned int* pPalette, unsigned char* pTable)
{
    for (unsigned int v = 0; v < LOOKUP_SIZE; ++v)
    {
        unsigned int c = (((v >> 8) & 15) << 20) | (((v >> 4) & 15) << 12) | ((v & 15) << 4);
        pTable[v] = GetClosestFromPalette(pPalette, c);
    }
}

unsigned char CKorvelPaletteProvider::GetClosestFromPalette(const unsigned int* pPalette, unsigned int colour)
{
    if (!pPalette)
        return 0;
    colour &= 0x00FFFFFF;
    int iBest = 255;
    int iBestDistance = 0xFFFFFF;
    for (int i = 0; i < PALETTE_SIZE; ++i)
    {
        unsigned int entry = pPalette[i];
        if (entry == colour)
            return static_cast<unsigned char>(i);
        int iDistance = 0;
        for (int shift = 0; shift <= 16; shift += 8)
        {
            int d = Channel(entry, shift) - Channel(colour, shift);
            iDistance += d < 0 ? -d : d;
        }
        if (iDistance < iBestDistance)
        {
            iBestDistance = iDistance;
            iBest = i;
        }
    }
    return static_cast<unsigned char>(iBest);
}
