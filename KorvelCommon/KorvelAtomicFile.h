// Replaces a file as a whole. The new content is collected in memory, written to a
// temporary file beside the target, flushed to the disk and renamed over the target,
// so that a crash or a kill at any moment leaves either the old or the new file.
#pragma once
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

#include <cstdint>
#include <string>

class CKorvelAtomicFile
{
public:
    // The files and folders made here: what is written is the player's own (a remembered
    // login among it), readable by no one else.
    static const unsigned int FILE_MODE = 0600;
    static const unsigned int FOLDER_MODE = 0700;

    CKorvelAtomicFile();
    // An uncommitted temporary file is removed; the target stays as it was.
    ~CKorvelAtomicFile();
    CKorvelAtomicFile(const CKorvelAtomicFile&) = delete;
    CKorvelAtomicFile& operator=(const CKorvelAtomicFile&) = delete;

    // Creates the missing folders of the path and the temporary file:
    // 1, or 10 when either cannot be created.
    KE_RETVAL Open(const CKorvelString& strPath);

    // Little-endian values and raw bytes, kept until Commit.
    void Write(const void* pData, unsigned int uCount);
    void WriteU16(unsigned int uValue);
    void WriteU32(uint32_t uValue);

    // 1 when the target now holds exactly the written bytes; 9 when a write, the
    // flush or the rename failed (the temporary file is removed, the target kept);
    // 3 when the file is not open.
    KE_RETVAL Commit();
    void Abort();

    // The name of the temporary file of a target (its path and ".tmp").
    static std::string TemporaryPath(const std::string& strTarget);
    // A path as the platform takes it: each unit's low byte.
    static std::string NarrowPath(const CKorvelString& strPath);

private:
    std::string m_strTarget;
    std::string m_strTemporary;
    std::string m_strContent;
    int m_iDescriptor;
};
