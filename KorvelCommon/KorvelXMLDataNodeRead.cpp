// CKorvelXMLDataNode: path lookup and creation, typed reads and writes of values.
#include "KorvelCommon/KorvelXMLDataNode.h"

#include "KorvelCommon/KorvelString.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace
{
// The name equals the segment [pSegment, pSegment + iLength) as a whole; a missing
// name counts as empty.
bool NameIs(const char* pName, const char* pSegment, size_t uLength)
{
    const char* p = pName ? pName : "";
    return strncmp(p, pSegment, uLength) == 0 && p[uLength] == 0;
}

CKorvelString ToString(const char* pText, size_t uLength)
{
    std::string strCopy(pText, uLength);
    return CKorvelString(strCopy.c_str());
}

// The text runs to its zero byte: no copy is needed to end it.
template <class T> T ScanNumber(const char* pText, const wchar_t* pFormat, T value)
{
    CKorvelString(pText).Scan(pFormat, &value);
    return value;
}

const char* TextOf(const signed char* pData)
{
    return pData ? reinterpret_cast<const char*>(pData) : "";
}

// Where the number of a given index starts: index k skips k separators, each single
// ',' and ' ' counting as one. Null when the text ends first.
const char* VectorItem(const char* pText, int iIndex)
{
    if (iIndex <= 0)
        return pText;
    int iSeparators = 0;
    for (const char* p = pText; *p; ++p)
        if ((*p == ',' || *p == ' ') && ++iSeparators == iIndex)
            return p + 1;
    return nullptr;
}
} // namespace

CKorvelXMLDataNode* CKorvelXMLDataNode::FindChild(const char* pName, unsigned int bRecursive) const
{
    if (!pName || !pName[0])
        return nullptr;
    for (CKorvelXMLDataNode* pChild = GetFirstChild(); pChild; pChild = pChild->m_pNext)
    {
        if (pChild->m_pName && strcmp(pChild->m_pName, pName) == 0)
            return pChild;
        if (bRecursive)
            if (CKorvelXMLDataNode* pFound = pChild->FindChild(pName, 1))
                return pFound;
    }
    return nullptr;
}

CKorvelXMLDataNode* CKorvelXMLDataNode::GotoPath(const char* pPath, int bCreate)
{
    if (!pPath)
        return this;
    CKorvelXMLDataNode* pNode = this;
    for (;;)
    {
        if (pNode->IsAttribute())
            return nullptr;
        const char* pSlash = strchr(pPath, '/');
        size_t uLength = pSlash ? static_cast<size_t>(pSlash - pPath) : strlen(pPath);
        CKorvelXMLDataNode* pChild = pNode->m_pFirstChild;
        while (pChild && !NameIs(pChild->m_pName, pPath, uLength))
            pChild = pChild->m_pNext;
        if (!pChild)
            break;
        // Only the first child of the name is followed.
        if (!pSlash)
            return pChild;
        pNode = pChild;
        pPath = pSlash + 1;
    }
    if (!bCreate)
        return nullptr;

    // Only the last segment may name an attribute: nothing can be created below one.
    for (const char* p = pPath; (p = strchr(p, '/')) != nullptr; ++p)
    {
        const char* pSegment = p;
        while (pSegment > pPath && pSegment[-1] != '/')
            --pSegment;
        if (pSegment[0] == '$')
            return nullptr;
    }
    while (*pPath)
    {
        const char* pSlash = strchr(pPath, '/');
        size_t uLength = pSlash ? static_cast<size_t>(pSlash - pPath) : strlen(pPath);
        CKorvelXMLDataNode* pChild = new (std::nothrow) CKorvelXMLDataNode();
        if (!pChild)
            return nullptr;
        std::string strName(pPath, uLength);
        pChild->SetName(strName.c_str(), 0);
        pNode->AddChild(pChild);
        pNode = pChild;
        if (!pSlash)
            break;
        pPath = pSlash + 1;
    }
    return pNode;
}

const signed char* CKorvelXMLDataNode::Lookup(const char* pPath, bool& bFound)
{
    CKorvelXMLDataNode* pNode = GotoPath(pPath, 0);
    bFound = pNode != nullptr;
    return pNode ? pNode->GetData() : nullptr;
}

const signed char* CKorvelXMLDataNode::Get(const char* pPath, const signed char* pDefault)
{
    bool bFound;
    const signed char* pData = Lookup(pPath, bFound);
    return bFound ? pData : pDefault;
}

int CKorvelXMLDataNode::GetInt(const char* pPath, int iDefault)
{
    bool bFound;
    const signed char* pData = Lookup(pPath, bFound);
    if (!bFound)
        return iDefault;
    if (!pData)
        return 0;
    return ScanNumber(TextOf(pData), L"%d", iDefault);
}

float CKorvelXMLDataNode::GetFloat(const char* pPath, float fDefault)
{
    bool bFound;
    const signed char* pData = Lookup(pPath, bFound);
    if (!bFound)
        return fDefault;
    return ScanNumber(TextOf(pData), L"%f", 0.0f);
}

const char* CKorvelXMLDataNode::VectorItemAt(const char* pPath, int iIndex)
{
    bool bFound;
    const signed char* pData = Lookup(pPath, bFound);
    return bFound ? VectorItem(TextOf(pData), iIndex) : nullptr;
}

int CKorvelXMLDataNode::GetIntFromVector(const char* pPath, int iIndex, int iDefault)
{
    const char* pItem = VectorItemAt(pPath, iIndex);
    return pItem ? ScanNumber(pItem, L"%d", 0) : iDefault;
}

float CKorvelXMLDataNode::GetFloatFromVector(const char* pPath, int iIndex, float fDefault)
{
    const char* pItem = VectorItemAt(pPath, iIndex);
    return pItem ? ScanNumber(pItem, L"%f", 0.0f) : fDefault;
}

int CKorvelXMLDataNode::ReadVector(const char* pPath, int* pValues, int iCount, const int* pDefaults)
{
    if (iCount > 0 && !pValues)
        return 0;
    if (pDefaults && iCount > 0)
        memcpy(pValues, pDefaults, sizeof(int) * static_cast<size_t>(iCount));
    bool bFound;
    const char* pText = TextOf(Lookup(pPath, bFound));
    if (!bFound)
        return 0;
    if (!pText[0])
        return iCount <= 0 ? 1 : 0;
    int iRead = 0;
    for (int i = 0; i < iCount && pText; ++i)
    {
        const char* pComma = strchr(pText, ',');
        size_t uLength = pComma ? static_cast<size_t>(pComma - pText) : strlen(pText);
        if (ToString(pText, uLength).Scan(L"%d", &pValues[i]) == 1)
            ++iRead;
        pText = pComma ? pComma + 1 : nullptr;
    }
    return iRead >= iCount ? 1 : 0;
}

void CKorvelXMLDataNode::Set(const char* pPath, const signed char* pText)
{
    if (CKorvelXMLDataNode* pNode = GotoPath(pPath, 1))
        pNode->SetData(pText, 0);
}

void CKorvelXMLDataNode::SetInt(const char* pPath, int iValue)
{
    CKorvelString strValue;
    strValue.Format(L"%d", iValue);
    std::vector<char> aText(static_cast<size_t>(strValue.GetLength()) + 1);
    strValue.MakeAnsi(aText.data());
    Set(pPath, reinterpret_cast<const signed char*>(aText.data()));
}

int CKorvelXMLDataNode::StringLen(const char* pText)
{
    return pText ? static_cast<int>(strlen(pText)) : 0;
}

void CKorvelXMLDataNode::StringCopy(const char* pSource, char* pDest, int iMax)
{
    if (!pDest || iMax < 0)
        return;
    int i = 0;
    for (; pSource && i < iMax && pSource[i]; ++i)
        pDest[i] = pSource[i];
    pDest[i] = 0;
}
