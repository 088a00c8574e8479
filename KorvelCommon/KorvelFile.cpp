// CKorvelFile: files on paths, in memory and on borrowed streams; name and matrix
// records.
#include "KorvelCommon/KorvelFile.h"

#include "Korvel3D/KorvelMatrix4RH.h"
#include "KorvelCommon/KorvelAtomicFile.h"
#include "KorvelCommon/KorvelID.h"
#include "KorvelCommon/KorvelString.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
std::atomic<unsigned int> g_uDescriptorShortage{0};

// Kept for TakeDescriptorShortage: the failure of an open that errno tells.
void NoteOpenFailure()
{
    if (errno == EMFILE || errno == ENFILE)
        g_uDescriptorShortage.store(1);
}

// fopen's stream; an owner-only file is made (or, made by an older build, turned) so first.
FILE* OpenStream(const char* pPath, const char* pMode, unsigned int uFlags)
{
    const bool bWrite = (uFlags & (CKorvelFile::FLAG_WRITE | CKorvelFile::FLAG_APPEND)) != 0;
    if (!bWrite || !(uFlags & CKorvelFile::FLAG_OWNER_ONLY))
        return fopen(pPath, pMode);
    const int iFlags =
        O_WRONLY | O_CREAT | O_CLOEXEC | ((uFlags & CKorvelFile::FLAG_APPEND) ? O_APPEND : O_TRUNC);
    const int iDescriptor = open(pPath, iFlags, CKorvelAtomicFile::FILE_MODE);
    if (iDescriptor < 0)
        return nullptr;
    FILE* pStream =
        fchmod(iDescriptor, CKorvelAtomicFile::FILE_MODE) == 0 ? fdopen(iDescriptor, pMode) : nullptr;
    if (!pStream)
        close(iDescriptor);
    return pStream;
}

// Paths and names reach the platform and files as 8-bit text (each unit's low byte).
std::vector<char> NarrowText(const CKorvelString& strPath)
{
    std::vector<char> aPath(strPath.GetLength() + 1);
    strPath.MakeAnsi(aPath.data());
    return aPath;
}

bool IsRegularFile(FILE* pStream)
{
    struct stat info;
    return fstat(fileno(pStream), &info) == 0 && S_ISREG(info.st_mode);
}
} // namespace

CKorvelFile::CKorvelFile()
    : m_pMemory(nullptr), m_iSize(0), m_iPosition(0), m_bOwnsStream(0), m_uFlags(FLAG_READ),
      m_pStream(nullptr), m_bWritable(0)
{
}

CKorvelFile::~CKorvelFile()
{
    Close();
}

CKorvelFile* CKorvelFile::New()
{
    return new (std::nothrow) CKorvelFile();
}

KE_RETVAL CKorvelFile::OpenFromFile(const CKorvelString& strPath, unsigned int uFlags)
{
    Close();
    const char* pMode = (uFlags & FLAG_APPEND) ? "ab" : (uFlags & FLAG_WRITE) ? "wb" : "rb";
    FILE* pStream = OpenStream(NarrowText(strPath).data(), pMode, uFlags);
    if (!pStream)
    {
        NoteOpenFailure();
        return KE_ERR_FILEOPEN;
    }
    // Sizes and positions are signed 32-bit: directories, devices and files of
    // 2 GiB or more cannot be served.
    long iSize = -1;
    if (IsRegularFile(pStream) && fseek(pStream, 0, SEEK_END) == 0)
        iSize = ftell(pStream);
    if (iSize < 0 || iSize > INT_MAX || fseek(pStream, 0, SEEK_SET) != 0)
    {
        fclose(pStream);
        return KE_ERR_FILEOPEN;
    }
    m_pStream = pStream;
    m_bOwnsStream = 1;
    m_iSize = static_cast<int>(iSize);
    m_uFlags = uFlags;
    m_iPosition = (uFlags & FLAG_APPEND) ? m_iSize : 0;
    m_bWritable = (uFlags & (FLAG_WRITE | FLAG_APPEND)) ? 1 : 0;
    return KE_OK;
}

KE_RETVAL CKorvelFile::OpenFromMemory(void* pBlock, unsigned int uSize, unsigned int uFlags)
{
    if (!pBlock || uSize == 0 || uSize > static_cast<unsigned int>(INT_MAX))
        return KE_ERR_INVALIDARG;
    // A private copy taken earlier would otherwise be lost.
    if (m_uFlags & FLAG_COPY)
    {
        delete[] m_pMemory;
        m_pMemory = nullptr;
        m_uFlags &= ~FLAG_COPY;
    }
    unsigned char* pMemory = static_cast<unsigned char*>(pBlock);
    if (uFlags & FLAG_COPY)
    {
        pMemory = new (std::nothrow) unsigned char[uSize];
        if (!pMemory)
            return KE_ERR_OUTOFMEMORY;
        memcpy(pMemory, pBlock, uSize);
    }
    m_pMemory = pMemory;
    m_iSize = static_cast<int>(uSize);
    m_uFlags = uFlags;
    m_bWritable = (uFlags & (FLAG_WRITE | FLAG_APPEND)) ? 1 : 0;
    return KE_OK;
}

KE_RETVAL CKorvelFile::OpenFromHandle(const CKorvelFile& other)
{
    if (&other == this)
        return KE_OK;
    Close();
    m_pMemory = other.m_pMemory;
    m_iSize = other.m_iSize;
    m_iPosition = other.m_iPosition;
    m_pStream = other.m_pStream;
    m_uFlags = other.m_uFlags & ~FLAG_COPY;
    m_bWritable = other.m_bWritable;
    m_bOwnsStream = 0;
    return KE_OK;
}

void CKorvelFile::Close()
{
    if (m_pStream && m_bOwnsStream)
        fclose(m_pStream);
    if (m_uFlags & FLAG_COPY)
        delete[] m_pMemory;
    m_pStream = nullptr;
    m_bOwnsStream = 0;
    m_pMemory = nullptr;
    m_iSize = 0;
    m_iPosition = 0;
    m_uFlags = 0;
    m_bWritable = 0;
}

unsigned int CKorvelFile::MemoryRoom(unsigned int uCount) const
{
    // Seek does not clamp, so the position may lie outside the block.
    if (m_iPosition < 0 || m_iPosition >= m_iSize)
        return 0;
    unsigned int uLeft = static_cast<unsigned int>(m_iSize - m_iPosition);
    return uCount < uLeft ? uCount : uLeft;
}

unsigned int CKorvelFile::Read(void* pBuffer, unsigned int uCount)
{
    if (!pBuffer || uCount == 0)
        return 0;
    if (m_pMemory)
    {
        unsigned int uMoved = MemoryRoom(uCount);
        if (uMoved)
            memcpy(pBuffer, m_pMemory + m_iPosition, uMoved);
        m_iPosition += static_cast<int>(uMoved);
        return uMoved;
    }
    if (!m_pStream || m_iPosition < 0)
        return 0;
    // Positions stay within the signed 32-bit range.
    unsigned int uMax = static_cast<unsigned int>(INT_MAX - m_iPosition);
    if (uCount > uMax)
        uCount = uMax;
    if (fseek(m_pStream, m_iPosition, SEEK_SET) != 0)
        return 0;
    clearerr(m_pStream);
    unsigned int uMoved = static_cast<unsigned int>(fread(pBuffer, 1, uCount, m_pStream));
    m_iPosition += static_cast<int>(uMoved);
    return uMoved;
}

unsigned int CKorvelFile::Write(const void* pBuffer, unsigned int uCount)
{
    if (!m_bWritable || !pBuffer || uCount == 0)
        return 0;
    if (m_pMemory)
    {
        // A memory file never grows.
        unsigned int uMoved = MemoryRoom(uCount);
        if (uMoved)
            memcpy(m_pMemory + m_iPosition, pBuffer, uMoved);
        m_iPosition += static_cast<int>(uMoved);
        return uMoved;
    }
    if (!m_pStream || m_iPosition < 0)
        return 0;
    // In append mode the data always lands at the end, whatever the position.
    bool bAppend = (m_uFlags & FLAG_APPEND) != 0;
    int iStart = bAppend ? m_iSize : m_iPosition;
    unsigned int uMax = static_cast<unsigned int>(INT_MAX - iStart);
    if (uCount > uMax)
        uCount = uMax;
    if (fseek(m_pStream, iStart, SEEK_SET) != 0)
        return 0;
    clearerr(m_pStream);
    unsigned int uMoved = static_cast<unsigned int>(fwrite(pBuffer, 1, uCount, m_pStream));
    m_iPosition = iStart + static_cast<int>(uMoved);
    if (m_iPosition > m_iSize)
        m_iSize = m_iPosition;
    return uMoved;
}

int CKorvelFile::Seek(int iOffset, eKET_SEEKMODE eMode)
{
    long long iPosition;
    switch (eMode)
    {
    case KET_SEEK_BEGIN:
        iPosition = iOffset;
        break;
    case KET_SEEK_END:
        iPosition = static_cast<long long>(m_iSize) - 1 - iOffset;
        break;
    case KET_SEEK_CURRENT:
        iPosition = static_cast<long long>(m_iPosition) + iOffset;
        break;
    default:
        return m_iPosition;
    }
    // No clamping to the data, only to what the position can hold.
    if (iPosition > INT_MAX)
        iPosition = INT_MAX;
    if (iPosition < INT_MIN)
        iPosition = INT_MIN;
    m_iPosition = static_cast<int>(iPosition);
    return m_iPosition;
}

int CKorvelFile::FileExists(const CKorvelString& strPath)
{
    FILE* pStream = fopen(NarrowText(strPath).data(), "r");
    if (!pStream)
    {
        NoteOpenFailure();
        return 0;
    }
    int bExists = IsRegularFile(pStream) ? 1 : 0;
    fclose(pStream);
    return bExists;
}

unsigned int CKorvelFile::TakeDescriptorShortage()
{
    return g_uDescriptorShortage.exchange(0);
}

// Removed directly, never through a shell, and nothing is left at the path.
KE_RETVAL CKorvelFile::RemoveFile(const CKorvelString& strPath)
{
    std::vector<char> aPath = NarrowText(strPath);
    struct stat info;
    if (lstat(aPath.data(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? KE_ERR_NOTFOUND : KE_ERR_DEVICE;
    return unlink(aPath.data()) == 0 ? KE_OK : KE_ERR_DEVICE;
}

unsigned int CKorvelFile::WriteName(CKorvelFile& file, CKorvelID* pObject)
{
    if (!pObject)
    {
        unsigned char uZero = 0;
        return file.Write(&uZero, 1);
    }
    std::vector<char> aName = NarrowText(pObject->GetName());
    return file.Write(aName.data(), static_cast<unsigned int>(aName.size()));
}

// Names hold at most 511 bytes; the rest of a longer record is read and dropped so
// that whatever follows it is read from the right place.
void CKorvelFile::ReadName(CKorvelFile& file, CKorvelString& strName)
{
    char aName[512];
    int iCount = 0;
    char c;
    while (file.Read(&c, 1) == 1 && c != 0)
        if (iCount < static_cast<int>(sizeof(aName)) - 1)
            aName[iCount++] = c;
    aName[iCount] = 0;
    strName.Set(aName);
}

// Each group of four floats keeps its first three in the record; matrices stored in
// the GL order (translation in m[12..14]) come back whole.
unsigned int CKorvelFile::WriteMatrix(CKorvelFile& file, CKorvelMatrix4RH& matrix)
{
    unsigned int uTotal = 0;
    for (int iGroup = 0; iGroup < 4; ++iGroup)
    {
        unsigned char aBytes[12];
        for (int i = 0; i < 3; ++i)
        {
            unsigned int uBits;
            memcpy(&uBits, &matrix.m[4 * iGroup + i], sizeof(uBits));
            for (int b = 0; b < 4; ++b)
                aBytes[4 * i + b] = static_cast<unsigned char>(uBits >> (8 * b));
        }
        uTotal += file.Write(aBytes, sizeof(aBytes));
    }
    return uTotal;
}

unsigned int CKorvelFile::ReadMatrix(CKorvelFile& file, CKorvelMatrix4RH& matrix)
{
    matrix.Identity();
    unsigned int uTotal = 0;
    for (int iGroup = 0; iGroup < 4; ++iGroup)
    {
        unsigned char aBytes[12];
        unsigned int uRead = file.Read(aBytes, sizeof(aBytes));
        uTotal += uRead;
        // Only whole floats are taken from a short read.
        for (unsigned int i = 0; i < uRead / 4; ++i)
        {
            unsigned int uBits = 0;
            for (int b = 0; b < 4; ++b)
                uBits |= static_cast<unsigned int>(aBytes[4 * i + b]) << (8 * b);
            memcpy(&matrix.m[4 * iGroup + i], &uBits, sizeof(uBits));
        }
    }
    return uTotal;
}
