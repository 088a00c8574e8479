// CKorvelXMLDataNode: loading from memory, comment blanking and the one-pass
// recursive parser.
#include "KorvelCommon/KorvelXMLDataNode.h"

#include "KorvelCommon/KorvelXMLNodeArena.h"
#include "KorvelCommon/KorvelXMLText.h"

#include <climits>
#include <cstring>
#include <new>

struct CKorvelXMLDataNode::SParse
{
    signed char* pData;
    int iLength;
    int iPosition;
    bool bFailed; // nesting too deep or memory ran out: every level stops
    CKorvelXMLNodeArena arena;
};

namespace
{
// What the scans stop at, one bit per kind of scan. The '>' that ends a tag stops every
// scan within the tag, so those need no separate bound.
enum : unsigned char
{
    SCAN_SPACE = 1,
    SCAN_ELEMENT_NAME_END = 2,   // white space, '/' or '>'
    SCAN_ATTRIBUTE_NAME_END = 4, // white space, '=' or '>'
    SCAN_VALUE_STOP = 8,         // either quote, '&', a zero byte or '>'
    SCAN_EQUALS_OR_SPACE = 16
};

struct CScanTable
{
    unsigned char a[256] = {};
    constexpr CScanTable()
    {
        for (char c : {' ', '\r', '\n'})
            Mark(c, SCAN_SPACE | SCAN_ELEMENT_NAME_END | SCAN_ATTRIBUTE_NAME_END | SCAN_EQUALS_OR_SPACE);
        Mark('/', SCAN_ELEMENT_NAME_END);
        Mark('=', SCAN_ATTRIBUTE_NAME_END | SCAN_EQUALS_OR_SPACE);
        for (char c : {'"', '\'', '&', '\0'})
            Mark(c, SCAN_VALUE_STOP);
        Mark('>', SCAN_ELEMENT_NAME_END | SCAN_ATTRIBUTE_NAME_END | SCAN_VALUE_STOP);
    }
    constexpr void Mark(char c, int iKinds)
    {
        a[static_cast<unsigned char>(c)] = static_cast<unsigned char>(iKinds);
    }
    constexpr unsigned char operator[](unsigned char c) const { return a[c]; }
};
constexpr CScanTable kScan;

const int kShortLook = 16;

inline bool Is(char c, unsigned char uKind)
{
    return (kScan[static_cast<unsigned char>(c)] & uKind) != 0;
}

inline bool IsTagSpace(char c)
{
    return Is(c, SCAN_SPACE);
}

bool HasVisibleText(const char* p)
{
    for (; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return true;
    return false;
}

int TextLength(const char* p, int iMax)
{
    const char* pZero =
        iMax > 0 ? static_cast<const char*>(memchr(p, 0, static_cast<size_t>(iMax))) : nullptr;
    return pZero ? static_cast<int>(pZero - p) : (iMax > 0 ? iMax : 0);
}

const char* FindByte(const char* p, char c, int iFrom, int iEnd)
{
    return iFrom < iEnd ? static_cast<const char*>(memchr(p + iFrom, c, static_cast<size_t>(iEnd - iFrom)))
                        : nullptr;
}
} // namespace

// In this file so that the parser's calls are inlined.
CKorvelXMLDataNode* CKorvelXMLDataNode::NewParsed(CKorvelXMLNodeArena& arena, const char* pName,
                                                  int iNameLength, bool bDollar, int iDataRoom)
{
    const size_t uName = (bDollar ? 1 : 0) + static_cast<size_t>(iNameLength) + 1;
    const size_t uData = iDataRoom > 0 ? static_cast<size_t>(iDataRoom) + 1 : 0;
    void* pBlock = arena.Allocate(sizeof(CKorvelXMLDataNode) + uName + uData);
    if (!pBlock)
        return nullptr;
    CKorvelXMLDataNode* pNode = ::new (pBlock) CKorvelXMLDataNode();
    char* pText = reinterpret_cast<char*>(pNode + 1);
    if (bDollar)
        *pText++ = '$';
    KorvelXMLCopyShort(pText, pName, iNameLength);
    pText[iNameLength] = 0;
    pNode->m_pName = reinterpret_cast<char*>(pNode + 1);
    pNode->m_uInline = NAME_INLINE;
    if (uData)
    {
        pNode->m_pData = reinterpret_cast<signed char*>(pNode->m_pName + uName);
        pNode->m_pData[0] = 0;
        pNode->m_uInline |= DATA_INLINE;
    }
    return pNode;
}

void CKorvelXMLDataNode::RemoveComments(signed char* pData, int iLength)
{
    if (!pData || iLength <= 0)
        return;
    char* p = reinterpret_cast<char*>(pData);
    int iOpen = 0;
    int i = 0;
    while (i < iLength)
    {
        if (iOpen == 0)
        {
            // Outside comments only a '-' can belong to a marker.
            const char* pDash = FindByte(p, '-', i, iLength);
            if (!pDash)
                return;
            int j = static_cast<int>(pDash - p);
            if (j >= 2 && j + 1 < iLength && p[j - 2] == '<' && p[j - 1] == '!' && p[j + 1] == '-')
            {
                memset(p + j - 2, ' ', 4);
                iOpen = 1;
                i = j + 2;
            }
            else if (j + 2 < iLength && p[j + 1] == '-' && p[j + 2] == '>')
            {
                memset(p + j, ' ', 3); // a stray closing marker is blanked too
                i = j + 3;
            }
            else
                i = j + 1;
            continue;
        }
        if (i + 3 < iLength && memcmp(p + i, "<!--", 4) == 0)
        {
            memset(p + i, ' ', 4);
            ++iOpen;
            i += 4;
        }
        else if (i + 2 < iLength && memcmp(p + i, "-->", 3) == 0)
        {
            memset(p + i, ' ', 3);
            --iOpen;
            i += 3;
        }
        else
            p[i++] = ' ';
    }
}

KE_RETVAL CKorvelXMLDataNode::StartupFromData(signed char* pData, unsigned int uSize)
{
    if (!pData || uSize == 0)
        return KE_OK;
    if (uSize > static_cast<unsigned int>(INT_MAX))
        return KE_ERR_INVALIDARG;
    RemoveComments(pData, static_cast<int>(uSize));
    if (IsAttribute())
        return KE_OK;
    SParse parse = {pData, static_cast<int>(uSize), 0, false, {}};
    CKorvelXMLDataNode* pTail = LastChild();
    while (CKorvelXMLDataNode* pItem = ParseItem(parse, 0))
    {
        if (pTail)
            pTail = pTail->m_pNext = pItem;
        else
            pTail = m_pFirstChild = pItem;
    }
    return parse.bFailed ? KE_ERR_BADDATA : KE_OK;
}

CKorvelXMLDataNode* CKorvelXMLDataNode::ParseXmlItem(signed char* pData, int iLength, int& iPosition)
{
    if (!pData || iLength <= 0 || iPosition < 0)
        return nullptr;
    SParse parse = {pData, iLength, iPosition, false, {}};
    CKorvelXMLDataNode* pNode = ParseItem(parse, 0);
    iPosition = parse.iPosition;
    return pNode;
}

CKorvelXMLDataNode* CKorvelXMLDataNode::ParseItem(SParse& parse, int iDepth)
{
    const char* p = reinterpret_cast<const char*>(parse.pData);
    const int n = parse.iLength;
    for (;;)
    {
        // Between tags there is mostly a line break and indentation: a short look before
        // the library search.
        const char* pOpen = nullptr;
        for (int j = parse.iPosition; j < n && j < parse.iPosition + kShortLook; ++j)
            if (p[j] == '<')
            {
                pOpen = p + j;
                break;
            }
        if (!pOpen)
            pOpen = FindByte(p, '<', parse.iPosition + kShortLook, n);
        const char* pClose = pOpen ? FindByte(p, '>', static_cast<int>(pOpen - p) + 1, n) : nullptr;
        if (!pClose)
        {
            parse.iPosition = n;
            return nullptr;
        }
        const int iTagEnd = static_cast<int>(pClose - p);
        int i = static_cast<int>(pOpen - p) + 1;
        while (IsTagSpace(p[i]))
            ++i;
        parse.iPosition = iTagEnd + 1;
        if (p[i] == '?' || p[i] == '!')
            continue; // declaration, processing instruction or document type
        if (p[i] == '/')
            return nullptr; // a closing tag; its name is not checked

        const int iNameStart = i;
        while (!Is(p[i], SCAN_ELEMENT_NAME_END))
            ++i;
        if (iDepth >= MAX_DEPTH)
        {
            parse.bFailed = true;
            return nullptr;
        }
        CKorvelXMLDataNode* pNode = NewParsed(parse.arena, p + iNameStart, i - iNameStart, false, 0);
        if (!pNode)
        {
            parse.bFailed = true;
            return nullptr;
        }
        const bool bAttribute = pNode->IsAttribute();
        int iAttributes = 0;
        if (i < iTagEnd && IsTagSpace(p[i]) && !bAttribute)
            iAttributes = ParseAttributes(parse, *pNode, i, iTagEnd);
        if (parse.bFailed || p[iTagEnd - 1] == '/')
            return pNode; // self-closing

        CKorvelXMLDataNode* pTail = pNode->LastChild();
        bool bChildren = false;
        while (CKorvelXMLDataNode* pChild = ParseItem(parse, iDepth + 1))
        {
            bChildren = true;
            if (bAttribute)
                DeleteChain(pChild);
            else if (pTail)
                pTail = pTail->m_pNext = pChild;
            else
                pTail = pNode->m_pFirstChild = pChild;
        }
        if (parse.bFailed || bChildren || bAttribute)
            return pNode;

        // The element's text runs to the next '<'. Beside attributes any text is
        // kept; alone, only text that is more than white space.
        const int iText = iTagEnd + 1;
        const char* pTextEnd = FindByte(p, '<', iText, n);
        // Node texts end at a zero byte.
        const int iTextLength =
            TextLength(p + iText, (pTextEnd ? static_cast<int>(pTextEnd - p) : n) - iText);
        if (iTextLength <= 0)
            return pNode;
        CKorvelXMLDataNode* pText = NewParsed(parse.arena, "ORIG_DATA", 9, true, iTextLength);
        if (!pText)
        {
            parse.bFailed = true;
            return pNode;
        }
        char* pValue = reinterpret_cast<char*>(pText->m_pData);
        if (KorvelXMLDecodeEntities(p + iText, iTextLength, pValue) > 0 &&
            (iAttributes > 0 || HasVisibleText(pValue)))
        {
            if (pTail)
                pTail->m_pNext = pText;
            else
                pNode->m_pFirstChild = pText;
        }
        else
            delete pText;
        return pNode;
    }
}

// Attributes are read within the tag only, so a quote missing from one tag never
// sends the scan through the rest of the document. Values may be enclosed in double
// quotes or apostrophes.
int CKorvelXMLDataNode::ParseAttributes(SParse& parse, CKorvelXMLDataNode& node, int iFrom, int iTagEnd)
{
    const char* p = reinterpret_cast<const char*>(parse.pData);
    CKorvelXMLDataNode* pTail = node.LastChild();
    int iCount = 0;
    int i = iFrom;
    for (;;)
    {
        // A value without its closing quote ends past the tag's '>'.
        while (i < iTagEnd && IsTagSpace(p[i]))
            ++i;
        if (i >= iTagEnd || p[i] == '/')
            return iCount;
        const int iNameStart = i;
        while (!Is(p[i], SCAN_ATTRIBUTE_NAME_END))
            ++i;
        const int iNameLength = i - iNameStart;
        while (Is(p[i], SCAN_EQUALS_OR_SPACE))
            ++i;
        // A value opened by an apostrophe runs to the next apostrophe; any other value
        // (quoted or not) to the next double quote.
        char cQuote = '"';
        if (i < iTagEnd && (p[i] == '"' || p[i] == '\''))
            cQuote = p[i++];
        // One pass finds the closing quote, the first zero byte (where the text ends) and
        // whether there is any entity to decode.
        const int iValue = i;
        int iZero = -1;
        bool bEntity = false;
        for (;; ++i)
        {
            const char c = p[i];
            if (!Is(c, SCAN_VALUE_STOP))
                continue;
            if (c == cQuote || c == '>')
                break;
            if (c == 0 && iZero < 0)
                iZero = i;
            else if (c == '&')
                bEntity = true;
        }
        const int iValueEnd = i;
        i = iValueEnd + 1;
        const int iValueLength = (iZero >= 0 ? iZero : iValueEnd) - iValue;

        CKorvelXMLDataNode* pAttribute =
            NewParsed(parse.arena, p + iNameStart, iNameLength, true, iValueLength);
        if (!pAttribute)
        {
            parse.bFailed = true;
            return iCount;
        }
        char* pOut = reinterpret_cast<char*>(pAttribute->m_pData);
        // A value that is empty, or that decoding leaves empty, is no value.
        if (iValueLength <= 0 || (bEntity && KorvelXMLDecodeEntities(p + iValue, iValueLength, pOut) == 0))
            pAttribute->FreeData();
        else if (!bEntity)
        {
            KorvelXMLCopyShort(pOut, p + iValue, iValueLength);
            pOut[iValueLength] = 0;
        }
        if (pTail)
            pTail = pTail->m_pNext = pAttribute;
        else
            pTail = node.m_pFirstChild = pAttribute;
        ++iCount;
    }
}
