// The lobby's assembly of downloaded item data files from outside bytes: the server's list
// of files (id, flag, size, MD5), then chunks as its answers bring them (id, offset, bytes,
// bytes remaining), a frame after each. A file never grows beyond its announced size, and a
// file the lobby takes as verified has the announced digest.
// Input: a byte giving the number of files (1 to 4), per file its id byte, flag byte, 16-bit
// little-endian size and 16 digest bytes; then chunks of an id byte, 32-bit offset, 32-bit
// remaining count and 16-bit length, followed by that many bytes (fewer at the end).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Shell/GenerateMD5.h"
#include "KorvelCommon/KorvelFile.h"
#include "WorkFolder.h"

namespace
{
const int kIds = 8; // few ids, so that chunks meet the listed files

class CReader
{
public:
    CReader(const uint8_t* pData, size_t uSize) : m_pData(pData), m_uLeft(uSize) {}
    bool Empty() const { return m_uLeft == 0; }
    uint32_t Bytes(int iCount)
    {
        uint32_t uValue = 0;
        for (int i = 0; i < iCount && m_uLeft > 0; ++i, --m_uLeft)
            uValue |= static_cast<uint32_t>(*m_pData++) << (8 * i);
        return uValue;
    }
    std::vector<unsigned char> Take(size_t uCount)
    {
        uCount = uCount < m_uLeft ? uCount : m_uLeft;
        std::vector<unsigned char> aOut(m_pData, m_pData + uCount);
        m_pData += uCount;
        m_uLeft -= uCount;
        return aOut;
    }

private:
    const uint8_t* m_pData;
    size_t m_uLeft;
};

// The lobby's item data part alone: no application, no session, no pages.
class CFuzzLobby : public CVornMenuState
{
public:
    CFuzzLobby() { m_pItemDataBuffer = new unsigned char[ITEM_DATA_BUFFER_SIZE]; }
    ~CFuzzLobby() override
    {
        delete[] m_pItemDataBuffer;
        m_pItemDataBuffer = nullptr;
    }
    using CVornMenuState::HandleShopItemDataLoading;

    void Check()
    {
        for (int i = 0; i < m_ItemFiles.GetCount(); ++i)
        {
            const sItemFileData& record = m_ItemFiles[i];
            CKorvelString strPath;
            GetItemFile(record.m_iItemId, strPath);
            CKorvelFile file;
            if (file.OpenFromFile(strPath, CKorvelFile::FLAG_READ) != KE_OK)
                continue;
            std::vector<unsigned char> aBytes(file.GetSize());
            const bool bRead = aBytes.empty() || file.Read(aBytes.data(), aBytes.size()) == aBytes.size();
            file.Close();
            if (!bRead || static_cast<long long>(aBytes.size()) > record.m_iSize)
                std::abort();
            if (record.m_iVerified)
            {
                CVornMD5 md5;
                md5.Init();
                md5.Update(aBytes.data(), static_cast<unsigned int>(aBytes.size()));
                md5.Finalize();
                if (std::memcmp(md5.GetDigest(), record.m_aDigest, sizeof(record.m_aDigest)) != 0)
                    std::abort();
            }
        }
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    CInWorkFolder folder;
    std::error_code ec;
    std::filesystem::remove_all("data", ec);
    std::filesystem::create_directory("data", ec);
    CReader in(pData, uSize);
    CFuzzLobby lobby;

    CKorvelArray<CASN1AvailableItemDatas::sItemData> aList;
    const int iFiles = 1 + static_cast<int>(in.Bytes(1) % 4);
    for (int i = 0; i < iFiles; ++i)
    {
        CASN1AvailableItemDatas::sItemData item;
        item.m_iItemId = static_cast<int>(in.Bytes(1) % kIds);
        item.m_iFlag = static_cast<int>(in.Bytes(1) & 1);
        item.m_iSize = static_cast<int>(in.Bytes(2));
        for (unsigned char& uDigest : item.m_aDigest)
            uDigest = static_cast<unsigned char>(in.Bytes(1));
        aList.Add(item);
    }
    lobby.OnAvailableShopItemDatas(aList);
    lobby.HandleShopItemDataLoading();
    lobby.Check();

    while (!in.Empty())
    {
        const int iId = static_cast<int>(in.Bytes(1) % kIds);
        const int iOffset = static_cast<int>(in.Bytes(4));
        const int iRemaining = static_cast<int>(in.Bytes(4));
        std::vector<unsigned char> aChunk = in.Take(in.Bytes(2));
        lobby.OnShopItemData(iId, iOffset, aChunk.empty() ? nullptr : aChunk.data(),
                             static_cast<int>(aChunk.size()), iRemaining);
        lobby.HandleShopItemDataLoading();
        lobby.Check();
    }
    return 0;
}
