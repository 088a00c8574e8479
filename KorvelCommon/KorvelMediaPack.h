// Read-only pack of named items ("KMP2"): the item table is read once and kept in
// memory, the pack file stays open, and a lookup positions that file at one item's
// data and reports its size.
//
// File format (little-endian): "KMP2", u32 item count (>= 1); per item u16 name
// length (>= 1), the 8-bit name, u32 record offset; each record: 4 bytes the reader
// skips, u32 data size, the data (scrambled when the pack is used with a key).
#pragma once
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

struct SKE_MEDIAPACKITEM
{
    unsigned int uOffset; // where the item's record starts
    CKorvelString strName;
};

class CKorvelMediaPack
{
public:
    CKorvelMediaPack();
    virtual ~CKorvelMediaPack();
    CKorvelMediaPack(const CKorvelMediaPack&) = delete;
    CKorvelMediaPack& operator=(const CKorvelMediaPack&) = delete;
    static CKorvelMediaPack* New();

    // An empty key opens the pack plain. A started pack is replaced only once the
    // new file has passed the magic test.
    KE_RETVAL Startup(const CKorvelString& strPath, const CKorvelString& strKey);
    void Shutdown();

    unsigned int GetItemCount() const { return static_cast<unsigned int>(m_aItems.GetCount()); }
    // Null for an index at or beyond the item count.
    SKE_MEDIAPACKITEM* GetItemInfo(unsigned int uIndex) const;
    // The data size (0 = not found), the pack file standing at the first data byte.
    // An empty name takes the item at the index; any other name the first item
    // whose whole name contains it, whatever the index (which must still be valid).
    unsigned int SeekToItem(const CKorvelString& strName, unsigned int uIndex) const;
    // Like SeekToItem, by the exact file name (the part after the item name's last '/').
    unsigned int FindItem(const CKorvelString& strName, unsigned int uUnused) const;

    // Loaders borrow this stream (CKorvelFile::OpenFromHandle) after a lookup.
    CKorvelFile* GetFile() const { return m_pFile; }
    // Null when the pack was started without a key.
    const CKorvelString* GetKey() const { return m_pKey; }

private:
    SKE_MEDIAPACKITEM* ItemAt(int iIndex) const
    {
        return static_cast<SKE_MEDIAPACKITEM*>(m_aItems.GetAt(iIndex));
    }
    unsigned int PositionAt(const SKE_MEDIAPACKITEM& item) const;
    KE_RETVAL ReadTable();

    CKorvelFile* m_pFile;
    CKorvelPtrArray m_aItems;
    CKorvelString* m_pKey;
};

// One item opened the way every loader reads it: a plain pack's item through a
// file that borrows the pack's stream, a keyed pack's item through a descrambled
// copy in memory. The pack must not be used for anything else while the item is read.
class CKorvelMediaPackItem
{
public:
    CKorvelMediaPackItem() : m_pBlock(nullptr), m_uSize(0) {}
    ~CKorvelMediaPackItem() { Close(); }
    CKorvelMediaPackItem(const CKorvelMediaPackItem&) = delete;
    CKorvelMediaPackItem& operator=(const CKorvelMediaPackItem&) = delete;

    // 1; 8 when SeekToItem finds nothing; 7 when the copy cannot be allocated.
    KE_RETVAL Open(const CKorvelMediaPack& pack, const CKorvelString& strName, unsigned int uIndex);
    void Close();

    CKorvelFile& GetFile() { return m_File; }
    unsigned int GetSize() const { return m_uSize; }

private:
    CKorvelFile m_File;
    unsigned char* m_pBlock;
    unsigned int m_uSize;
};
