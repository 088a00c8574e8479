// Bitmap font: the description, the glyph lookup, the queries and the final release.
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <cstring>
#include <new>

#include "KorvelCommon/KorvelXMLDataNode.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <GLES2/gl2.h>

void CKorvelBitmapFont::SKE_PRERENDERED_TEXT::DeleteBatches()
{
    for (int i = 0; i < aBatches.GetCount(); ++i)
        delete aBatches[i];
    aBatches.Clear();
}

CKorvelBitmapFont::CKorvelBitmapFont()
    : m_pApp(nullptr), m_iBold(0), m_uLineHeight(0), m_iCharCount(0), m_pChars(nullptr), m_ppLookup(nullptr),
      m_bTextMode(0), m_pVertices(nullptr), m_fScale(1.0f), m_pProgram(nullptr), m_pCacheSurface(nullptr),
      m_uOsFontSize(0), m_uLoadFlags(0)
{
}

CKorvelBitmapFont::~CKorvelBitmapFont() {}

namespace
{
int Metric(int i)
{
    const int iMax = CKorvelBitmapFont::MAX_METRIC;
    return i < -iMax ? -iMax : (i > iMax ? iMax : i);
}
} // namespace

KE_RETVAL CKorvelBitmapFont::Startup(CKorvelXMLDataNode& root)
{
    CKorvelXMLDataNode* pChars = root.GotoPath("font/chars", 0);
    CKorvelXMLDataNode* pPages = root.GotoPath("font/pages", 0);
    CKorvelXMLDataNode* pCommon = root.GotoPath("font/common", 0);
    if (!pChars || !pPages || !pCommon)
        return KE_ERR_NOTFOUND;
    // Attributes of <pages> itself are no pages.
    int iPageElements = 0;
    for (CKorvelXMLDataNode* p = pPages->GetFirstChild(); p; p = p->GetNext())
        iPageElements += p->IsAttribute() ? 0 : 1;
    if (!iPageElements)
        return KE_ERR_NOTFOUND;

    CKorvelXMLDataNode* pInfo = root.GotoPath("font/info", 0);
    m_iBold = pInfo ? pInfo->GetInt("$bold", 0) : 0;
    m_uLineHeight = static_cast<unsigned int>(pCommon->GetInt("$lineHeight", 0));
    if (!m_uLineHeight)
        return KE_ERR_NOTFOUND;
    if (m_uLineHeight > MAX_METRIC)
        m_uLineHeight = MAX_METRIC;

    for (CKorvelXMLDataNode* p = pPages->GetFirstChild(); p; p = p->GetNext())
    {
        if (p->IsAttribute())
            continue;
        SKE_BMFONT_IMAGE* pPage = new (std::nothrow) SKE_BMFONT_IMAGE();
        if (!pPage)
            return KE_ERR_OUTOFMEMORY;
        const signed char* pFile = p->Get("$file", nullptr);
        if (pFile)
            pPage->strFile.Set(reinterpret_cast<const char*>(pFile));
        if (m_aPages.Add(pPage) < 0)
        {
            delete pPage;
            return KE_ERR_OUTOFMEMORY;
        }
    }

    const int iCount = pChars->GetInt("$count", -1);
    if (iCount < 1)
        return KE_ERR_BADDATA;
    // Ids are 16-bit units, so more records than that are never needed.
    m_iCharCount = iCount > MAX_CHARS ? static_cast<int>(MAX_CHARS) : iCount;
    m_pChars = new (std::nothrow) SKE_BMFONT_CHAR[static_cast<size_t>(m_iCharCount)]();
    if (!m_pChars)
    {
        m_iCharCount = 0;
        return KE_ERR_OUTOFMEMORY;
    }
    int iFilled = 0;
    for (CKorvelXMLDataNode* p = pChars->GetFirstChild(); p && iFilled < m_iCharCount; p = p->GetNext())
    {
        if (!p->GetName() || std::strcmp(p->GetName(), "char") != 0)
            continue;
        const int iPage = p->GetInt("$page", 0);
        // A glyph on a page the font does not have could never be drawn safely.
        if (iPage < 0 || iPage >= m_aPages.GetCount())
            continue;
        SKE_BMFONT_CHAR& c = m_pChars[iFilled++];
        c.iId = p->GetInt("$id", 0);
        c.iX = p->GetInt("$x", -1);
        c.iY = p->GetInt("$y", -1);
        c.iWidth = p->GetInt("$width", -1);
        c.iHeight = p->GetInt("$height", -1);
        c.iXOffset = Metric(p->GetInt("$xoffset", 0));
        c.iYOffset = Metric(p->GetInt("$yoffset", 0));
        c.iXAdvance = Metric(p->GetInt("$xadvance", 0));
        c.iPage = iPage;
    }
    BuildLookupTable();
    return KE_OK;
}

void CKorvelBitmapFont::BuildLookupTable()
{
    delete[] m_ppLookup;
    m_ppLookup = new (std::nothrow) SKE_BMFONT_CHAR*[256]();
    for (int i = 0; i < m_iCharCount; ++i)
        m_pChars[i].iIndex = i;
    if (!m_ppLookup)
        return;
    // The first record of each id wins: walk backwards so earlier ones overwrite.
    for (int i = m_iCharCount - 1; i >= 0; --i)
        if (m_pChars[i].iId >= 0 && m_pChars[i].iId < 256)
            m_ppLookup[m_pChars[i].iId] = &m_pChars[i];
}

const CKorvelBitmapFont::SKE_BMFONT_CHAR* CKorvelBitmapFont::GetCharInfo(unsigned short uUnit) const
{
    if (m_ppLookup && uUnit < 256)
        return m_ppLookup[uUnit];
    for (int i = 0; i < m_iCharCount; ++i)
        if (m_pChars[i].iId == uUnit)
            return &m_pChars[i];
    return nullptr;
}

int CKorvelBitmapFont::HasUnknownChars(const CKorvelString& strText) const
{
    const unsigned short* pUnits = strText.GetBuffer();
    for (int i = 0; i < strText.GetLength(); ++i)
        if (pUnits[i] > 255)
            return 1;
    return 0;
}

void CKorvelBitmapFont::FreePages()
{
    for (int i = 0; i < m_aPages.GetCount(); ++i)
    {
        SKE_BMFONT_IMAGE* pPage = PageAt(i);
        delete[] pPage->pBits;
        if (pPage->uTexture)
        {
            // An RGBA page's texture is its surface's own, which the surface deletes.
            if (!pPage->pSurface || pPage->pSurface->GetTexture() != pPage->uTexture)
                glDeleteTextures(1, &pPage->uTexture);
        }
        if (pPage->pSurface)
        {
            pPage->pSurface->Shutdown();
            delete pPage->pSurface;
        }
        delete pPage;
    }
    m_aPages.Clear();
}

void CKorvelBitmapFont::Shutdown()
{
    delete[] m_ppLookup;
    m_ppLookup = nullptr;
    delete[] m_pChars;
    m_pChars = nullptr;
    m_iCharCount = 0;
    FreePages();
    ClearCache();
    if (m_pCacheSurface)
    {
        m_pCacheSurface->Shutdown();
        delete m_pCacheSurface;
        m_pCacheSurface = nullptr;
    }
    delete[] m_pVertices;
    m_pVertices = nullptr;
}
