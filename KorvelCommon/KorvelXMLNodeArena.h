// Memory of XML tree nodes. A parse takes its nodes (with their names and texts) from
// shared chunks instead of one malloc each; a chunk is freed when the last node in it is.
// Nodes made one at a time get a block of their own. Both kinds carry a small header in
// front, so one Free serves either. Not thread-safe: a chunk's nodes are freed on one thread.
#pragma once
#include <cstddef>

class CKorvelXMLNodeArena
{
public:
    CKorvelXMLNodeArena() = default;
    // Gives up the parse's hold on its current chunk.
    ~CKorvelXMLNodeArena();
    CKorvelXMLNodeArena(const CKorvelXMLNodeArena&) = delete;
    CKorvelXMLNodeArena& operator=(const CKorvelXMLNodeArena&) = delete;

    // uSize bytes from the current chunk (a new one when it is full); null when memory ran out.
    void* Allocate(size_t uSize)
    {
        const size_t uNeed = Need(uSize);
        if (uNeed > static_cast<size_t>(m_pEnd - m_pNext))
            return AllocateInNewChunk(uSize);
        void* pBlock = Place(m_pNext);
        m_pNext += uNeed;
        return pBlock;
    }
    // A block of its own; null when memory ran out.
    static void* AllocateSingle(size_t uSize);
    // Either kind of block; null is ignored.
    static void Free(void* pBlock);

private:
    static constexpr size_t kAlign = alignof(std::max_align_t);
    struct alignas(kAlign) sCHUNK
    {
        size_t uLive; // blocks not yet freed, plus one while a parse still fills the chunk
    };
    // In front of every block: its chunk, or null for a block of its own. Padded so the
    // block keeps malloc's alignment.
    struct alignas(kAlign) sBLOCK_HEADER
    {
        sCHUNK* pChunk;
    };
    static constexpr size_t kHeaderBytes = sizeof(sBLOCK_HEADER);

    // A block's room in a chunk: its header and its bytes, rounded to keep the alignment.
    static size_t Need(size_t uSize) { return kHeaderBytes + ((uSize + kAlign - 1) & ~(kAlign - 1)); }
    void* AllocateInNewChunk(size_t uSize);
    // Writes the header at pAt for the current chunk, which then counts one more block.
    void* Place(char* pAt)
    {
        sBLOCK_HEADER* pHeader = reinterpret_cast<sBLOCK_HEADER*>(pAt);
        pHeader->pChunk = m_pChunk;
        ++m_pChunk->uLive;
        return pHeader + 1;
    }

    sCHUNK* m_pChunk = nullptr;
    char* m_pNext = nullptr; // where the next block's header goes
    char* m_pEnd = nullptr;
};
