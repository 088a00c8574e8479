#include "KorvelCommon/KorvelXMLNodeArena.h"

#include <cstdlib>

namespace
{
// Large enough that a layout's nodes need few chunks, below the size malloc maps pages for.
const size_t kChunkBytes = size_t{32} * 1024;
// Blocks above this get their own allocation so a long text wastes no chunk tail.
const size_t kLargestShared = kChunkBytes / 8;

// A few freed chunks are kept for the thread's next parse: handing them back to malloc at
// once lets it trim the heap, and the next parse pays page faults for fresh memory.
const int kSpareChunks = 4;

struct sSPARE_CHUNKS
{
    void* a[kSpareChunks] = {};
    int iCount = 0;
    ~sSPARE_CHUNKS()
    {
        while (iCount > 0)
            free(a[--iCount]);
    }
};

thread_local sSPARE_CHUNKS g_SpareChunks;

void* NewChunk()
{
    return g_SpareChunks.iCount > 0 ? g_SpareChunks.a[--g_SpareChunks.iCount] : malloc(kChunkBytes);
}

void FreeChunk(void* pChunk)
{
    if (g_SpareChunks.iCount < kSpareChunks)
        g_SpareChunks.a[g_SpareChunks.iCount++] = pChunk;
    else
        free(pChunk);
}
} // namespace

CKorvelXMLNodeArena::~CKorvelXMLNodeArena()
{
    if (m_pChunk && --m_pChunk->uLive == 0)
        FreeChunk(m_pChunk);
}

void* CKorvelXMLNodeArena::AllocateSingle(size_t uSize)
{
    sBLOCK_HEADER* pHeader = static_cast<sBLOCK_HEADER*>(malloc(kHeaderBytes + uSize));
    if (!pHeader)
        return nullptr;
    pHeader->pChunk = nullptr;
    return pHeader + 1;
}

void* CKorvelXMLNodeArena::AllocateInNewChunk(size_t uSize)
{
    const size_t uNeed = Need(uSize);
    if (uNeed > kLargestShared)
        return AllocateSingle(uSize);
    sCHUNK* pChunk = static_cast<sCHUNK*>(NewChunk());
    if (!pChunk)
        return nullptr;
    if (m_pChunk && --m_pChunk->uLive == 0)
        FreeChunk(m_pChunk);
    pChunk->uLive = 1;
    m_pChunk = pChunk;
    m_pNext = reinterpret_cast<char*>(pChunk + 1);
    m_pEnd = reinterpret_cast<char*>(pChunk) + kChunkBytes;
    void* pBlock = Place(m_pNext);
    m_pNext += uNeed;
    return pBlock;
}

void CKorvelXMLNodeArena::Free(void* pBlock)
{
    if (!pBlock)
        return;
    sBLOCK_HEADER* pHeader = static_cast<sBLOCK_HEADER*>(pBlock) - 1;
    sCHUNK* pChunk = pHeader->pChunk;
    if (!pChunk)
        free(pHeader);
    else if (--pChunk->uLive == 0)
        FreeChunk(pChunk);
}
