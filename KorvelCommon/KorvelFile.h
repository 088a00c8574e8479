// The engine's one file abstraction: a byte stream with its own position, backed by
// a stdio stream on a path, by a memory block, or by another file's stream.
//
// The object, not the stream, owns the position: every stream access seeks first,
// so several objects can borrow one stream (OpenFromHandle) and read in turn.
#pragma once
#include "KorvelCommon/KorvelTypes.h"
#include <cstdio>

class CKorvelString;
class CKorvelID;
class CKorvelMatrix4RH;

enum eKET_SEEKMODE
{
    KET_SEEK_BEGIN = 0,
    KET_SEEK_END = 1, // offset 0 names the last byte
    KET_SEEK_CURRENT = 2
};

class CKorvelFile
{
public:
    // Open flags.
    enum : unsigned int
    {
        FLAG_READ = 1,
        FLAG_WRITE = 2,      // create or truncate
        FLAG_COPY = 8,       // memory files: keep a private copy of the block
        FLAG_APPEND = 16,    // wins over FLAG_WRITE
        FLAG_OWNER_ONLY = 32 // writing: the file is the owner's only (the player's data)
    };

    CKorvelFile();
    virtual ~CKorvelFile();
    CKorvelFile(const CKorvelFile&) = delete;
    CKorvelFile& operator=(const CKorvelFile&) = delete;
    static CKorvelFile* New();

    KE_RETVAL OpenFromFile(const CKorvelString& strPath, unsigned int uFlags);
    // Borrows the block unless uFlags has FLAG_COPY; the block must outlive the file.
    KE_RETVAL OpenFromMemory(void* pBlock, unsigned int uSize, unsigned int uFlags);
    // Borrows the other file's stream or block, starting at its position.
    KE_RETVAL OpenFromHandle(const CKorvelFile& other);
    void Close();

    // Both return the bytes moved; fewer than asked marks the end of the data.
    unsigned int Read(void* pBuffer, unsigned int uCount);
    unsigned int Write(const void* pBuffer, unsigned int uCount);
    // Only moves the stored position (no clamping); returns it.
    int Seek(int iOffset, eKET_SEEKMODE eMode);
    int GetPosition() const { return m_iPosition; }
    int GetSize() const { return m_iSize; }

    static int FileExists(const CKorvelString& strPath);
    // 1 when an open failed, since the last call, because the process or the system had no
    // descriptor left (a missing file does not count); the call clears it. The game cannot
    // go on without the files it needs, and whoever ends it asks here.
    static unsigned int TakeDescriptorShortage();
    // 1 removed, 8 no such file, 9 the file could not be removed.
    static KE_RETVAL RemoveFile(const CKorvelString& strPath);

    // Name record: 8-bit text and a zero byte (a null object writes only the zero).
    static unsigned int WriteName(CKorvelFile& file, CKorvelID* pObject);
    static void ReadName(CKorvelFile& file, CKorvelString& strName);
    // Matrix record: the first three floats of each group of four (48 bytes).
    static unsigned int WriteMatrix(CKorvelFile& file, CKorvelMatrix4RH& matrix);
    static unsigned int ReadMatrix(CKorvelFile& file, CKorvelMatrix4RH& matrix);

private:
    // Bytes a memory access of uCount may move at the position (0 outside the block).
    unsigned int MemoryRoom(unsigned int uCount) const;

    unsigned char* m_pMemory;
    int m_iSize;
    int m_iPosition;
    int m_bOwnsStream;
    unsigned int m_uFlags;
    FILE* m_pStream;
    int m_bWritable;
};
