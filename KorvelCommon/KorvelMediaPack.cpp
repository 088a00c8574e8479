// CKorvelMediaPack: table reading and item lookup; CKorvelMediaPackItem: the
// loaders' reading of one item.
#include "KorvelCommon/KorvelMediaPack.h"

#include "KorvelCommon/KorvelDataScrambler.h"

#include <cstring>
#include <new>
#include <vector>

namespace
{
const unsigned int kHeaderSize = 8;   // magic and item count
const unsigned int kMinEntrySize = 7; // name length, one name byte, offset
const unsigned int kRecordHeader = 8; // skipped word and data size

// Targets start at zero, so a read past the end gives 0 (an invalid length or size).
unsigned int ReadU16(CKorvelFile& file)
{
    unsigned char a[2] = {0, 0};
    file.Read(a, sizeof(a));
    return a[0] | (a[1] << 8);
}

unsigned int ReadU32(CKorvelFile& file, bool* pComplete = nullptr)
{
    unsigned char a[4] = {0, 0, 0, 0};
    unsigned int uRead = file.Read(a, sizeof(a));
    if (pComplete)
        *pComplete = uRead == sizeof(a);
    return a[0] | (a[1] << 8) | (a[2] << 16) | (static_cast<unsigned int>(a[3]) << 24);
}

CKorvelString FileNameOf(const CKorvelString& strName)
{
    int iSlash = strName.FindReverse('/', -1);
    return iSlash < 0 ? strName : strName.Mid(iSlash + 1, -1);
}
} // namespace

CKorvelMediaPack::CKorvelMediaPack() : m_pFile(nullptr), m_pKey(nullptr) {}

CKorvelMediaPack::~CKorvelMediaPack()
{
    Shutdown();
}

CKorvelMediaPack* CKorvelMediaPack::New()
{
    return new (std::nothrow) CKorvelMediaPack();
}

KE_RETVAL CKorvelMediaPack::Startup(const CKorvelString& strPath, const CKorvelString& strKey)
{
    CKorvelFile* pFile = CKorvelFile::New();
    if (!pFile)
        return KE_ERR_OUTOFMEMORY;
    KE_RETVAL iResult = pFile->OpenFromFile(strPath, CKorvelFile::FLAG_READ);
    if (iResult != KE_OK)
    {
        delete pFile;
        return iResult;
    }
    char aMagic[4] = {0, 0, 0, 0};
    if (pFile->Read(aMagic, sizeof(aMagic)) != sizeof(aMagic) || memcmp(aMagic, "KMP2", 4) != 0)
    {
        delete pFile;
        return KE_ERR_BADDATA;
    }

    Shutdown();
    m_pFile = pFile;
    iResult = ReadTable();
    if (iResult != KE_OK)
    {
        Shutdown();
        return iResult;
    }
    if (strKey.GetLength() == 0)
        return KE_OK;
    m_pKey = new (std::nothrow) CKorvelString(strKey);
    if (!m_pKey || m_pKey->GetLength() != strKey.GetLength())
    {
        Shutdown();
        return KE_ERR_OUTOFMEMORY;
    }
    return KE_OK;
}

// Every entry must lie inside the file and point at a record header inside it, so
// later lookups never read beyond the data.
KE_RETVAL CKorvelMediaPack::ReadTable()
{
    unsigned int uFileSize = static_cast<unsigned int>(m_pFile->GetSize());
    unsigned int uCount = ReadU32(*m_pFile);
    if (uFileSize < kHeaderSize || uCount == 0 || uCount > (uFileSize - kHeaderSize) / kMinEntrySize)
        return KE_ERR_BADDATA;
    std::vector<char> aName;
    for (unsigned int i = 0; i < uCount; ++i)
    {
        unsigned int uLength = ReadU16(*m_pFile);
        if (uLength == 0)
            return KE_ERR_BADDATA;
        aName.assign(uLength + 1, 0);
        if (m_pFile->Read(aName.data(), uLength) != uLength)
            return KE_ERR_BADDATA;
        bool bComplete = false;
        unsigned int uOffset = ReadU32(*m_pFile, &bComplete);
        if (!bComplete || uOffset > uFileSize || uFileSize - uOffset < kRecordHeader)
            return KE_ERR_BADDATA;
        SKE_MEDIAPACKITEM* pItem = new (std::nothrow) SKE_MEDIAPACKITEM();
        if (!pItem)
            return KE_ERR_OUTOFMEMORY;
        pItem->uOffset = uOffset;
        pItem->strName.Set(aName.data());
        if (m_aItems.Add(pItem) < 0)
        {
            delete pItem;
            return KE_ERR_OUTOFMEMORY;
        }
    }
    return KE_OK;
}

void CKorvelMediaPack::Shutdown()
{
    delete m_pFile;
    m_pFile = nullptr;
    for (int i = 0; i < m_aItems.GetCount(); ++i)
        delete ItemAt(i);
    m_aItems.Clear();
    delete m_pKey;
    m_pKey = nullptr;
}

SKE_MEDIAPACKITEM* CKorvelMediaPack::GetItemInfo(unsigned int uIndex) const
{
    return uIndex < GetItemCount() ? ItemAt(static_cast<int>(uIndex)) : nullptr;
}

unsigned int CKorvelMediaPack::PositionAt(const SKE_MEDIAPACKITEM& item) const
{
    m_pFile->Seek(static_cast<int>(item.uOffset + 4), KET_SEEK_BEGIN);
    unsigned int uSize = ReadU32(*m_pFile);
    // A size running past the end of the file is a damaged item, not a short one.
    unsigned int uLeft = static_cast<unsigned int>(m_pFile->GetSize()) - (item.uOffset + kRecordHeader);
    return uSize <= uLeft ? uSize : 0;
}

unsigned int CKorvelMediaPack::SeekToItem(const CKorvelString& strName, unsigned int uIndex) const
{
    if (uIndex >= GetItemCount())
        return 0;
    if (strName.GetLength() == 0)
        return PositionAt(*ItemAt(static_cast<int>(uIndex)));
    for (int i = 0; i < m_aItems.GetCount(); ++i)
        if (ItemAt(i)->strName.Find(strName, 0) >= 0)
            return PositionAt(*ItemAt(i));
    return 0;
}

unsigned int CKorvelMediaPack::FindItem(const CKorvelString& strName, unsigned int) const
{
    if (strName.GetLength() == 0)
        return 0;
    for (int i = 0; i < m_aItems.GetCount(); ++i)
        if (FileNameOf(ItemAt(i)->strName).Compare(strName) == 0)
            return PositionAt(*ItemAt(i));
    return 0;
}

// --- reading one item ---------------------------------------------------------------

KE_RETVAL CKorvelMediaPackItem::Open(const CKorvelMediaPack& pack, const CKorvelString& strName,
                                     unsigned int uIndex)
{
    Close();
    unsigned int uSize = pack.SeekToItem(strName, uIndex);
    if (uSize == 0)
        return KE_ERR_NOTFOUND;
    const CKorvelString* pKey = pack.GetKey();
    if (!pKey)
    {
        m_File.OpenFromHandle(*pack.GetFile());
        m_uSize = uSize;
        return KE_OK;
    }
    m_pBlock = new (std::nothrow) unsigned char[uSize];
    if (!m_pBlock)
        return KE_ERR_OUTOFMEMORY;
    // The size was checked against the file, so the whole item is there.
    memset(m_pBlock, 0, uSize);
    pack.GetFile()->Read(m_pBlock, uSize);
    CKorvelDataScrambler().DeScramble(*pKey, m_pBlock, uSize);
    m_File.OpenFromMemory(m_pBlock, uSize, CKorvelFile::FLAG_READ);
    m_uSize = uSize;
    return KE_OK;
}

void CKorvelMediaPackItem::Close()
{
    m_File.Close();
    delete[] m_pBlock;
    m_pBlock = nullptr;
    m_uSize = 0;
}
