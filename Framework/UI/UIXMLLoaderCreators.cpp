// The built-in element creators and the attribute readers they share.
#include "Framework/UI/UIXMLLoader.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "Framework/UI/Theme.h"
#include "Framework/VornApplication.h"

namespace
{
struct sCreator
{
    const char* m_pType;
    CUIXMLLoader::CreatorFunction m_pCreate;
};

// In table order. Types whose class the toolkit does not have yet load as plain widgets.
const sCreator BUILT_IN_CREATORS[] = {
    {"web_view", &CUIXMLLoader::CreateWebView},
};
} // namespace

void CUIXMLLoader::RegisterBuiltInCreators()
{
    for (const sCreator& creator : BUILT_IN_CREATORS)
        m_Creators.Add(CHashString(creator.m_pType), creator.m_pCreate);
}

bool CUIXMLLoader::ScanHex(const char* pText, unsigned int& uValue)
{
    if (!pText)
        return false;
    const char* p = pText;
    while (*p == ' ' || *p == '\t')
        ++p;
    if (!std::isxdigit(static_cast<unsigned char>(*p)))
        return false;
    unsigned int uRead = 0;
    if (CKorvelString(pText).Scan(L"%x", &uRead) != 1)
        return false;
    uValue = uRead;
    return true;
}

bool CUIXMLLoader::ParseColor(CUIXMLLoader* pLoader, const char* pText, unsigned int& uColor)
{
    if (!pText)
        return false;
    CKorvelString strText(pText);
    CVornTheme* pTheme = pLoader ? pLoader->GetTheme() : nullptr;
    if (pTheme && pTheme->GetColorByName(strText, uColor))
        return true;
    return ScanHex(pText, uColor);
}

unsigned int CUIXMLLoader::ParseOpaqueColor(CUIXMLLoader* pLoader, const char* pText)
{
    if (!pText)
        return 0;
    unsigned int uColor = 0;
    CVornTheme* pTheme = pLoader ? pLoader->GetTheme() : nullptr;
    if (pTheme && pTheme->GetColorByName(CKorvelString(pText), uColor))
        return uColor;
    if (!ScanHex(pText, uColor))
        return 0;
    if (std::strlen(pText) <= 6)
        uColor |= 0xFF000000u;
    return uColor;
}

IEasingCurve* CUIXMLLoader::ParseEasing(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, const char* pChildName,
                                        unsigned int uRequireLimitedRange)
{
    CKorvelXMLDataNode* pChild = FindChild(pElement, pChildName);
    const char* pCurve = GetText(pChild, "$curve");
    if (!pLoader || !pCurve)
        return nullptr;
    float aParams[8];
    unsigned int uCount = 0;
    char aName[16];
    for (; uCount < 8; ++uCount)
    {
        std::snprintf(aName, sizeof(aName), "$param%u", uCount + 1);
        if (!GetText(pChild, aName))
            break;
        aParams[uCount] = GetFloat(pChild, aName, 0.0f);
    }
    return pLoader->GetEasingCurve(CKorvelString(pCurve), uRequireLimitedRange, uCount, aParams);
}
