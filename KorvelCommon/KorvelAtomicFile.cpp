#include "KorvelCommon/KorvelAtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
// The folder part of a path, "" when it has none.
std::string FolderOf(const std::string& strPath)
{
    const size_t uSlash = strPath.find_last_of('/');
    return uSlash == std::string::npos ? std::string() : strPath.substr(0, uSlash);
}

// Like "mkdir -p": true when the folder exists afterwards.
bool MakeFolders(const std::string& strFolder)
{
    if (strFolder.empty())
        return true;
    struct stat info;
    if (stat(strFolder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    if (!MakeFolders(FolderOf(strFolder)))
        return false;
    return mkdir(strFolder.c_str(), CKorvelAtomicFile::FOLDER_MODE) == 0 || errno == EEXIST;
}

bool WriteAll(int iDescriptor, const char* pData, size_t uCount)
{
    while (uCount > 0)
    {
        const ssize_t iWritten = write(iDescriptor, pData, uCount);
        if (iWritten < 0 && errno == EINTR)
            continue;
        if (iWritten <= 0)
            return false;
        pData += iWritten;
        uCount -= static_cast<size_t>(iWritten);
    }
    return true;
}

// Makes the rename itself durable; some file systems cannot sync a folder, which
// does not make the replacement fail.
void SyncFolder(const std::string& strFolder)
{
    const int iFolder = open(strFolder.empty() ? "." : strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (iFolder < 0)
        return;
    fsync(iFolder);
    close(iFolder);
}
} // namespace

CKorvelAtomicFile::CKorvelAtomicFile() : m_iDescriptor(-1) {}

CKorvelAtomicFile::~CKorvelAtomicFile()
{
    Abort();
}

std::string CKorvelAtomicFile::NarrowPath(const CKorvelString& strPath)
{
    std::vector<char> aPath(strPath.GetLength() + 1);
    strPath.MakeAnsi(aPath.data());
    return std::string(aPath.data());
}

std::string CKorvelAtomicFile::TemporaryPath(const std::string& strTarget)
{
    return strTarget + ".tmp";
}

KE_RETVAL CKorvelAtomicFile::Open(const CKorvelString& strPath)
{
    Abort();
    m_strTarget = NarrowPath(strPath);
    if (m_strTarget.empty() || !MakeFolders(FolderOf(m_strTarget)))
        return KE_ERR_FILEOPEN;
    // A temporary file left by a killed writer is simply reused.
    m_strTemporary = TemporaryPath(m_strTarget);
    m_iDescriptor = open(m_strTemporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, FILE_MODE);
    // A reused temporary file keeps the mode it was made with, and older builds made them
    // readable by everyone.
    if (m_iDescriptor >= 0 && fchmod(m_iDescriptor, FILE_MODE) != 0)
    {
        close(m_iDescriptor);
        m_iDescriptor = -1;
        // Not left behind for good: the next writer makes its own.
        unlink(m_strTemporary.c_str());
    }
    if (m_iDescriptor < 0)
    {
        m_strTemporary.clear();
        return KE_ERR_FILEOPEN;
    }
    m_strContent.clear();
    return KE_OK;
}

void CKorvelAtomicFile::Write(const void* pData, unsigned int uCount)
{
    if (pData && uCount)
        m_strContent.append(static_cast<const char*>(pData), uCount);
}

void CKorvelAtomicFile::WriteU16(unsigned int uValue)
{
    const unsigned char aBytes[2] = {static_cast<unsigned char>(uValue),
                                     static_cast<unsigned char>(uValue >> 8)};
    Write(aBytes, 2);
}

void CKorvelAtomicFile::WriteU32(uint32_t uValue)
{
    const unsigned char aBytes[4] = {
        static_cast<unsigned char>(uValue), static_cast<unsigned char>(uValue >> 8),
        static_cast<unsigned char>(uValue >> 16), static_cast<unsigned char>(uValue >> 24)};
    Write(aBytes, 4);
}

KE_RETVAL CKorvelAtomicFile::Commit()
{
    if (m_iDescriptor < 0)
        return KE_ERR_NOTSTARTED;
    bool bOk = WriteAll(m_iDescriptor, m_strContent.data(), m_strContent.size());
    bOk = bOk && fsync(m_iDescriptor) == 0;
    bOk = close(m_iDescriptor) == 0 && bOk;
    m_iDescriptor = -1;
    bOk = bOk && rename(m_strTemporary.c_str(), m_strTarget.c_str()) == 0;
    if (!bOk)
    {
        Abort();
        return KE_ERR_DEVICE;
    }
    m_strTemporary.clear();
    m_strContent.clear();
    SyncFolder(FolderOf(m_strTarget));
    return KE_OK;
}

void CKorvelAtomicFile::Abort()
{
    if (m_iDescriptor >= 0)
        close(m_iDescriptor);
    m_iDescriptor = -1;
    if (!m_strTemporary.empty())
        unlink(m_strTemporary.c_str());
    m_strTemporary.clear();
    m_strContent.clear();
}
