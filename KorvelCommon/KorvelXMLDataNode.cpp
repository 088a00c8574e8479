// CKorvelXMLDataNode: construction and loading, editing, writing and the
// brace-notation token reader.
#include "KorvelCommon/KorvelXMLDataNode.h"

#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelXMLText.h"

#include <climits>
#include <cstring>
#include <new>
#include <vector>

// --- construction and loading ---------------------------------------------------------

CKorvelXMLDataNode::CKorvelXMLDataNode() : m_pName(nullptr), m_pFirstChild(nullptr), m_pData(nullptr), m_pNext(nullptr)
{
}

CKorvelXMLDataNode::CKorvelXMLDataNode(const char* pName) : CKorvelXMLDataNode() { SetName(pName, 0); }

CKorvelXMLDataNode::CKorvelXMLDataNode(const char* pName, CKorvelFile& file) : CKorvelXMLDataNode(pName)
{
    StartupFromFile(file, 0);
}

CKorvelXMLDataNode::~CKorvelXMLDataNode()
{
    Shutdown();
    delete[] m_pName;
}

// Each node's children are spliced into the work list before it is deleted, so
// however deep a tree is, deleting it never recurses.
void CKorvelXMLDataNode::DeleteChain(CKorvelXMLDataNode* pFirst)
{
    CKorvelXMLDataNode* pWork = pFirst;
    while (pWork)
    {
        CKorvelXMLDataNode* pNode = pWork;
        pWork = pNode->m_pNext;
        if (CKorvelXMLDataNode* pChild = pNode->m_pFirstChild)
        {
            CKorvelXMLDataNode* pLast = pChild;
            while (pLast->m_pNext)
                pLast = pLast->m_pNext;
            pLast->m_pNext = pWork;
            pWork = pChild;
            pNode->m_pFirstChild = nullptr;
        }
        pNode->m_pNext = nullptr;
        delete pNode;
    }
}

void CKorvelXMLDataNode::Shutdown()
{
    DeleteChain(m_pFirstChild);
    m_pFirstChild = nullptr;
    delete[] m_pData;
    m_pData = nullptr;
}

KE_RETVAL CKorvelXMLDataNode::StartupFromFile(CKorvelFile& file, unsigned int uSize)
{
    if (uSize == 0)
        uSize = static_cast<unsigned int>(file.GetSize() > 0 ? file.GetSize() : 0);
    if (uSize == 0)
        return KE_ERR_NOTSTARTED;
    // A file borrowed from a pack reports the whole pack's size: only what is
    // really there is read.
    int iLeft = file.GetSize() - file.GetPosition();
    if (iLeft <= 0)
        return KE_ERR_NOTSTARTED;
    if (uSize > static_cast<unsigned int>(iLeft))
        uSize = static_cast<unsigned int>(iLeft);
    std::vector<signed char> aBlock;
    try
    {
        aBlock.resize(uSize);
    }
    catch (const std::bad_alloc&)
    {
        return KE_ERR_OUTOFMEMORY;
    }
    unsigned int uRead = file.Read(aBlock.data(), uSize);
    if (uRead == 0)
        return KE_ERR_NOTSTARTED;
    return StartupFromData(aBlock.data(), uRead);
}

KE_RETVAL CKorvelXMLDataNode::StartupFromFile(const CKorvelString& strPath)
{
    CKorvelFile file;
    KE_RETVAL iResult = file.OpenFromFile(strPath, CKorvelFile::FLAG_READ);
    if (iResult != KE_OK)
        return iResult;
    iResult = StartupFromFile(file, 0);
    file.Close();
    return iResult;
}

CKorvelXMLDataNode* CKorvelXMLDataNode::Clone() const
{
    CKorvelXMLDataNode* pCopy = new (std::nothrow) CKorvelXMLDataNode(m_pName);
    if (!pCopy)
        return nullptr;
    if (IsAttribute())
    {
        if (m_pData)
            pCopy->SetData(m_pData, 0);
        return pCopy;
    }
    CKorvelXMLDataNode* pTail = nullptr;
    for (const CKorvelXMLDataNode* pChild = m_pFirstChild; pChild; pChild = pChild->m_pNext)
    {
        CKorvelXMLDataNode* pChildCopy = pChild->Clone();
        if (!pChildCopy)
            break;
        if (pTail)
            pTail = pTail->m_pNext = pChildCopy;
        else
            pTail = pCopy->m_pFirstChild = pChildCopy;
    }
    return pCopy;
}

// --- editing ---------------------------------------------------------------------------

CKorvelXMLDataNode* CKorvelXMLDataNode::LastChild() const
{
    CKorvelXMLDataNode* pLast = m_pFirstChild;
    while (pLast && pLast->m_pNext)
        pLast = pLast->m_pNext;
    return pLast;
}

void CKorvelXMLDataNode::AppendChain(CKorvelXMLDataNode* pFirst)
{
    if (CKorvelXMLDataNode* pLast = LastChild())
        pLast->m_pNext = pFirst;
    else
        m_pFirstChild = pFirst;
}

void CKorvelXMLDataNode::AddChild(CKorvelXMLDataNode* pChild)
{
    if (!pChild || IsAttribute())
        return;
    pChild->m_pNext = nullptr;
    AppendChain(pChild);
}

void CKorvelXMLDataNode::AddChildToBegin(CKorvelXMLDataNode* pChild)
{
    if (!pChild || IsAttribute())
        return;
    pChild->m_pNext = m_pFirstChild;
    m_pFirstChild = pChild;
}

CKorvelXMLDataNode* CKorvelXMLDataNode::CreateChild(const char* pName, const signed char* pData)
{
    CKorvelXMLDataNode* pChild = new (std::nothrow) CKorvelXMLDataNode(pName);
    if (!pChild)
        return nullptr;
    if (pData)
        pChild->SetData(pData, 0);
    AddChild(pChild);
    return pChild;
}

int CKorvelXMLDataNode::RemoveChild(CKorvelXMLDataNode* pChild)
{
    if (!pChild || IsAttribute())
        return 0;
    for (CKorvelXMLDataNode** ppLink = &m_pFirstChild; *ppLink; ppLink = &(*ppLink)->m_pNext)
    {
        if (*ppLink == pChild)
        {
            *ppLink = pChild->m_pNext;
            pChild->m_pNext = nullptr;
            return 1;
        }
    }
    return 0;
}

CKorvelXMLDataNode* CKorvelXMLDataNode::CutFirstChild()
{
    CKorvelXMLDataNode* pFirst = GetFirstChild();
    if (pFirst)
        RemoveChild(pFirst);
    return pFirst;
}

void CKorvelXMLDataNode::AdoptChildren(CKorvelXMLDataNode* pOther)
{
    if (!pOther || pOther == this || IsAttribute() || pOther->IsAttribute())
        return;
    AppendChain(pOther->m_pFirstChild);
    pOther->m_pFirstChild = nullptr;
}

int CKorvelXMLDataNode::ChildCount() const
{
    int iCount = 0;
    for (const CKorvelXMLDataNode* pChild = GetFirstChild(); pChild; pChild = pChild->m_pNext)
        ++iCount;
    return iCount;
}

void CKorvelXMLDataNode::SetName(const char* pText, int iLength)
{
    char* pName = nullptr;
    if (pText)
    {
        int iMax = StringLen(pText);
        pName = KorvelXMLCopyText(pText, iLength < 1 || iLength > iMax ? iMax : iLength);
        if (!pName)
            return;
    }
    delete[] m_pName;
    m_pName = pName;
}

void CKorvelXMLDataNode::SetData(const signed char* pText, int iLength)
{
    if (!IsAttribute())
        return;
    signed char* pData = nullptr;
    if (pText)
    {
        const char* pChars = reinterpret_cast<const char*>(pText);
        pData = reinterpret_cast<signed char*>(KorvelXMLCopyText(pChars, iLength < 1 ? StringLen(pChars) : iLength));
        if (!pData)
            return;
    }
    delete[] m_pData;
    m_pData = pData;
}

// --- writing ------------------------------------------------------------------------------

KE_RETVAL CKorvelXMLDataNode::Save(CKorvelFile& file, unsigned char bHeader, int iDepth)
{
    std::string strOut;
    if (bHeader == 1)
        strOut = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n";
    KE_RETVAL iResult = KE_OK;
    if (!m_pName || !m_pName[0])
        iResult = KE_ERR_NOTSTARTED;
    else
        SaveTo(strOut, iDepth);
    if (!strOut.empty() && file.Write(strOut.data(), static_cast<unsigned int>(strOut.size())) != strOut.size())
        return KE_ERR_DEVICE;
    return iResult;
}

namespace
{
bool IsText(const CKorvelXMLDataNode& node) { return strcmp(node.GetName(), "$ORIG_DATA") == 0; }

// A tag name ending in "--" would form a comment's closing marker with the '>'.
void AppendTagName(std::string& strOut, const char* pTag)
{
    strOut += pTag;
    size_t uLength = strlen(pTag);
    if (uLength >= 2 && pTag[uLength - 1] == '-' && pTag[uLength - 2] == '-')
        strOut += ' ';
}
} // namespace

// Attributes go into the start tag and "$ORIG_DATA" becomes the element's text,
// which is what the reader turns back into the same nodes. Nameless children are
// left out, as a nameless node on its own writes nothing.
void CKorvelXMLDataNode::SaveTo(std::string& strOut, int iDepth) const
{
    if (!m_pName || !m_pName[0])
        return;
    strOut.append(iDepth > 0 ? static_cast<size_t>(iDepth) : 0, '\t');
    const char* pTag = IsAttribute() ? m_pName + 1 : m_pName;
    strOut += '<';
    AppendTagName(strOut, pTag);
    if (IsAttribute())
    {
        strOut += '>';
        KorvelXMLAppendEncoded(strOut, reinterpret_cast<const char*>(m_pData), false);
    }
    else
    {
        const CKorvelXMLDataNode* pText = nullptr;
        bool bElements = false;
        for (const CKorvelXMLDataNode* pChild = m_pFirstChild; pChild; pChild = pChild->m_pNext)
        {
            if (!pChild->m_pName || !pChild->m_pName[0])
                continue;
            if (!pChild->IsAttribute())
                bElements = true;
            else if (IsText(*pChild))
                pText = pText ? pText : pChild;
            else
            {
                strOut += ' ';
                strOut += pChild->m_pName + 1;
                strOut += "=\"";
                KorvelXMLAppendEncoded(strOut, reinterpret_cast<const char*>(pChild->m_pData), true);
                strOut += '"';
            }
        }
        if (bElements)
        {
            strOut += ">\r\n";
            for (const CKorvelXMLDataNode* pChild = m_pFirstChild; pChild; pChild = pChild->m_pNext)
                if (pChild->m_pName && pChild->m_pName[0] && !pChild->IsAttribute())
                    pChild->SaveTo(strOut, iDepth + 1);
            strOut.append(iDepth > 0 ? static_cast<size_t>(iDepth) : 0, '\t');
        }
        else if (pText && pText->m_pData && pText->m_pData[0])
        {
            strOut += '>';
            KorvelXMLAppendEncoded(strOut, reinterpret_cast<const char*>(pText->m_pData), false);
        }
        else
        {
            strOut += "/>\r\n";
            return;
        }
    }
    strOut += "</";
    AppendTagName(strOut, pTag);
    strOut += ">\r\n";
}

// --- brace-notation tokens ---------------------------------------------------------------

namespace
{
bool IsTokenSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '"' || c == '{' || c == '=';
}

// Moves the file past the next occurrence of c; false at the end of the file.
bool SkipPast(CKorvelFile& file, char c)
{
    char cRead;
    while (file.Read(&cRead, 1) == 1)
        if (cRead == c)
            return true;
    return false;
}
} // namespace

int CKorvelXMLDataNode::GetNextItem(CKorvelFile& file, char* pBuffer, int iMax)
{
    if (!pBuffer || iMax <= 0)
        return 0;
    pBuffer[0] = 0;
    char c;
    for (;;)
    {
        if (file.Read(&c, 1) != 1 || c == '}')
            return 0;
        if (c == ';')
        {
            // A comment runs to the next line end.
            while (file.Read(&c, 1) == 1 && c != '\r' && c != '\n')
            {
            }
            continue;
        }
        if (!IsTokenSeparator(c))
            break;
    }
    int iLength = 0;
    pBuffer[iLength++] = c;
    while (iLength < iMax && file.Read(&c, 1) == 1)
    {
        if (IsTokenSeparator(c))
        {
            // The separator takes part in the search below.
            file.Seek(-1, KET_SEEK_CURRENT);
            break;
        }
        pBuffer[iLength++] = c;
    }
    pBuffer[iLength] = 0;
    if (pBuffer[0] != '$')
        SkipPast(file, '{');
    else if (SkipPast(file, '='))
        SkipPast(file, '"');
    return iLength;
}
