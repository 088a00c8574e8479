// CKorvelXMLDataNode: construction, node blocks, loading from files, cloning and
// editing.
#include "KorvelCommon/KorvelXMLDataNode.h"

#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelXMLNodeArena.h"
#include "KorvelCommon/KorvelXMLText.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

// --- construction and loading ---------------------------------------------------------

CKorvelXMLDataNode::CKorvelXMLDataNode()
    : m_pName(nullptr), m_pFirstChild(nullptr), m_pData(nullptr), m_pNext(nullptr), m_uInline(0)
{
}

CKorvelXMLDataNode::CKorvelXMLDataNode(const char* pName) : CKorvelXMLDataNode()
{
    SetName(pName, 0);
}

CKorvelXMLDataNode::CKorvelXMLDataNode(const char* pName, CKorvelFile& file) : CKorvelXMLDataNode(pName)
{
    StartupFromFile(file, 0);
}

CKorvelXMLDataNode::~CKorvelXMLDataNode()
{
    Shutdown();
    FreeName();
}

void* CKorvelXMLDataNode::operator new(size_t uSize)
{
    void* pBlock = CKorvelXMLNodeArena::AllocateSingle(uSize);
    if (!pBlock)
        throw std::bad_alloc();
    return pBlock;
}

void* CKorvelXMLDataNode::operator new(size_t uSize, const std::nothrow_t&) noexcept
{
    return CKorvelXMLNodeArena::AllocateSingle(uSize);
}

void CKorvelXMLDataNode::operator delete(void* pBlock) noexcept
{
    CKorvelXMLNodeArena::Free(pBlock);
}

void CKorvelXMLDataNode::operator delete(void* pBlock, const std::nothrow_t&) noexcept
{
    CKorvelXMLNodeArena::Free(pBlock);
}

void CKorvelXMLDataNode::FreeName()
{
    if (!(m_uInline & NAME_INLINE))
        delete[] m_pName;
    m_pName = nullptr;
    m_uInline &= static_cast<unsigned char>(~NAME_INLINE);
}

void CKorvelXMLDataNode::FreeData()
{
    if (!(m_uInline & DATA_INLINE))
        delete[] m_pData;
    m_pData = nullptr;
    m_uInline &= static_cast<unsigned char>(~DATA_INLINE);
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
        if (pNode->m_uInline & NAME_INLINE)
        {
            // Only the parser makes nodes with the name in their block, always of this
            // class: with the children gone, freeing the data and the block is all the
            // destructor would do.
            pNode->FreeData();
            CKorvelXMLNodeArena::Free(pNode);
        }
        else
            delete pNode;
    }
}

void CKorvelXMLDataNode::Shutdown()
{
    DeleteChain(m_pFirstChild);
    m_pFirstChild = nullptr;
    FreeData();
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
    FreeName();
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
        pData = reinterpret_cast<signed char*>(
            KorvelXMLCopyText(pChars, iLength < 1 ? StringLen(pChars) : iLength));
        if (!pData)
            return;
    }
    FreeData();
    m_pData = pData;
}
