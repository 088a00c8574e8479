// Display modes, the software back buffer, screen changes and the palette of the
// application base.
#include "KorvelGraphics/KorvelApplication.h"

#include <cstring>
#include <new>

void IKorvelApplication::OnScreenChanged(int iWidth, int iHeight)
{
    UpdateScreenRects();
    if (m_pGraphicsExt)
    {
        m_pGraphicsExt->Extension_Resize(iWidth, iHeight);
        return;
    }
    m_DisplayMode.iWidth = iWidth;
    m_DisplayMode.iHeight = iHeight;
    CreateBackBuffer(m_BackBuffer.GetFormat());
}

KE_RETVAL IKorvelApplication::CreateBackBuffer(eKET_SURFACEFORMAT eFormat)
{
    SKE_SURFACEDESC desc = {m_rcWindow.right & ~1, m_rcWindow.bottom, 0, eFormat, 0, 0};
    if (!m_DisplayMode.iWidth)
        m_DisplayMode.iWidth = desc.iWidth;
    if (!m_DisplayMode.iHeight)
        m_DisplayMode.iHeight = desc.iHeight;
    IKorvelGraphicsContext* pTarget = GetBack();
    if (pTarget->GetWidth() == desc.iWidth && pTarget->GetHeight() == desc.iHeight)
        return KE_OK;
    const KE_RETVAL iResult = m_BackBuffer.Create(this, desc);
    if (iResult != KE_OK)
        return iResult;
    GetBack()->Fill(0, nullptr);
    SolveFlipFunction();
    return KE_OK;
}

eKET_SURFACEFORMAT IKorvelApplication::GetCompatibleDisplayFormat()
{
    const eKET_SURFACEFORMAT eFormat = GetBack()->GetFormat();
    return eFormat == KE_SURFACE_COMPATIBLE ? KE_SURFACE_ABGR8888 : eFormat;
}

int IKorvelApplication::ModeToBPP(eKET_SURFACEFORMAT eFormat)
{
    static const int s_aiBits[8] = {0, 8, 16, 16, 16, 24, 32, 32};
    return (eFormat >= 1 && eFormat <= 7) ? s_aiBits[eFormat] : 0;
}

int IKorvelApplication::BPPToMode(int iBitsPerPixel)
{
    switch (iBitsPerPixel)
    {
    case 8:
        return KE_SURFACE_P8;
    case 14:
        return KE_SURFACE_RGB444;
    case 15:
        return KE_SURFACE_RGB555;
    case 16:
        return KE_SURFACE_RGB565;
    case 24: // 24-bit surfaces are drawn as 32-bit ones
    case 32:
        return KE_SURFACE_ABGR8888;
    default:
        return -1;
    }
}

void IKorvelApplication::LockWindowSize(unsigned int uLock)
{
    if (uLock == 1)
        m_DisplayMode.uFlags |= KE_DISPLAYMODE_LOCKSIZE;
    else
        m_DisplayMode.uFlags &= ~KE_DISPLAYMODE_LOCKSIZE;
}

void IKorvelApplication::SetResources(int a, int b, int c)
{
    m_aiResources[0] = a;
    m_aiResources[1] = b;
    m_aiResources[2] = c;
}

void IKorvelApplication::GetDefaultDisplayMode(SKE_DISPLAYMODE& mode)
{
    mode.eFormat = KE_SURFACE_ABGR8888;
    mode.uReserved = 0;
    mode.uWindowed = 0;
    mode.uFlags = 0;
    int aiSize[2] = {0, 0};
    if (plat::screen_get_display_property_iv(m_pDisplay, plat::SCREEN_PROPERTY_SIZE, aiSize) != 0)
        return;
    mode.iWidth = aiSize[0];
    mode.iHeight = aiSize[1];
}

void IKorvelApplication::GetDisplayModes(CKorvelPtrArray* pModes)
{
    if (!pModes)
        return;
    SKE_DISPLAYMODE* pMode = new (std::nothrow) SKE_DISPLAYMODE();
    if (!pMode)
        return;
    GetDefaultDisplayMode(*pMode);
    if (pModes->Add(pMode) < 0)
        delete pMode;
}

void IKorvelApplication::ReleaseDisplayModes(CKorvelPtrArray* pModes)
{
    if (!pModes)
        return;
    for (int i = 0; i < pModes->GetCount(); ++i)
        delete static_cast<SKE_DISPLAYMODE*>((*pModes)[i]);
    pModes->Clear();
}

void IKorvelApplication::ReleaseDisplayDevices(CKorvelPtrArray* pDevices)
{
    if (!pDevices)
        return;
    for (int i = 0; i < pDevices->GetCount(); ++i)
        delete static_cast<CKorvelString*>((*pDevices)[i]);
    pDevices->Clear();
}

void IKorvelApplication::KorvelErrorToText(KE_RETVAL iError, CKorvelString& strText)
{
    strText.Format(L"Error: %d", iError);
}

// ---- palette

void IKorvelApplication::SetPalette(const unsigned int* puColours)
{
    if (!m_puPalette)
        m_puPalette = new (std::nothrow) unsigned int[CKorvelPaletteProvider::PALETTE_SIZE];
    if (!m_puPalette)
        return;
    if (puColours)
        std::memmove(m_puPalette, puColours, CKorvelPaletteProvider::PALETTE_SIZE * sizeof(unsigned int));
    else
        CKorvelPaletteProvider::BuildDefaultPalette(m_puPalette);
    if (!m_pucPaletteLookup)
        m_pucPaletteLookup = new (std::nothrow) unsigned char[CKorvelPaletteProvider::LOOKUP_SIZE];
    if (!m_pucPaletteLookup)
        return;
    CKorvelPaletteProvider::BuildLookupTable(m_puPalette, m_pucPaletteLookup);
}

unsigned char* IKorvelApplication::GetPaletteLookupTable()
{
    if (!m_pucPaletteLookup)
        SetPalette(nullptr);
    return m_pucPaletteLookup;
}

unsigned char IKorvelApplication::GetClosestFromPalette(const unsigned int* puPalette, unsigned int uColour)
{
    return CKorvelPaletteProvider::GetClosestFromPalette(puPalette, uColour);
}
