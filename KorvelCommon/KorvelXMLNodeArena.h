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
        const size_t uNeed = kHeaderBytes + ((uSize + kAlign - 1) & ~(kAlign - 1));
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
    struct sCHUNK;
    static constexpr size_t kAlign = alignof(std::max_align_t);
    static constexpr size_t kHeaderBytes = kAlign; // the chunk of the block, padded
    void* AllocateInNewChunk(size_t uSize);
    // Writes the header at pAt for the current chunk, which then counts one more block.
    void* Place(char* pAt);

    sCHUNK* m_pChunk = nullptr;
    char* m_pNext = nullptr; // where the next block's header goes
    char* m_pEnd = nullptr;
};
