// The item operations the game calls through the application.
// KORVEL_GL_TEST
#include "VornMenuStateMatchTest.h"

#include "Framework/GenerateMD5.h"
#include "support/TestMedia.h"

#include <algorithm>
#include <cstring>

using namespace menu_state_test;

namespace
{

class CVornMenuState : public CMatchTest
{
protected:
    static constexpr int CHUNK = 16384;

    // 40 KB of item data and its server record.
    CVornMenuState() : m_aData(40 * 1024)
    {
        for (size_t i = 0; i < m_aData.size(); ++i)
            m_aData[i] = static_cast<unsigned char>(i * 7 + i / 300);
    }
    CASN1AvailableItemDatas::sItemData Record(int iId, int iFlag) const
    {
        CASN1AvailableItemDatas::sItemData record;
        record.m_iItemId = iId;
        record.m_iFlag = iFlag;
        record.m_iSize = static_cast<int>(m_aData.size());
        CVornMD5 md5;
        md5.MD5(m_aData.data(), static_cast<unsigned int>(m_aData.size()));
        std::memcpy(record.m_aDigest, md5.GetDigest(), 16);
        return record;
    }
    void Announce(std::initializer_list<CASN1AvailableItemDatas::sItemData> records)
    {
        CKorvelArray<CASN1AvailableItemDatas::sItemData> aRecords;
        for (const auto& record : records)
            aRecords.Add(record);
        Lobby()->OnAvailableShopItemDatas(aRecords);
        Frame(0.1f);
        Settle();
    }
    // The chunks asked for the item since the test started, as offsets.
    std::vector<int> Asked(int iId) const
    {
        std::vector<int> aOffsets;
        for (const CTestJson& message : In("GetShopItemData"))
            if (message["item"].Int() == iId)
                aOffsets.push_back(static_cast<int>(message["offset"].Int()));
        return aOffsets;
    }
    int Starts(int iId) const
    {
        const std::vector<int> aOffsets = Asked(iId);
        return static_cast<int>(std::count(aOffsets.begin(), aOffsets.end(), 0));
    }
    // Answers the chunk at iOffset from the data, or from aBytes when given.
    void Chunk(int iId, int iOffset, std::vector<unsigned char>* pBytes = nullptr)
    {
        std::vector<unsigned char>& aBytes = pBytes ? *pBytes : m_aData;
        const int iSize = std::min<int>(CHUNK, static_cast<int>(aBytes.size()) - iOffset);
        Lobby()->OnShopItemData(iId, iOffset, aBytes.data() + iOffset, iSize,
                                static_cast<int>(aBytes.size()) - iOffset - iSize);
    }
    std::vector<unsigned char> FileOf(int iId) const
    {
        const std::string strPath = m_App.DataFile("data_64_" + std::to_string(iId) + ".kmp");
        std::vector<uint8_t> aBytes = ReadTestFile(strPath);
        return std::vector<unsigned char>(aBytes.begin(), aBytes.end());
    }
    int GameCalls(const char* pWhat) { return m_App.m_Log.Count(std::string("game.") + pWhat); }

    std::vector<unsigned char> m_aData;
};

TEST_F(CVornMenuState, AnItemFileArrivesInChunksIsVerifiedAndNotFetchedAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    Announce({Record(5, 1), Record(6, 0)});
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 1; }));
    EXPECT_TRUE(Lobby()->IsLoading());
    EXPECT_TRUE(Asked(6).empty()) << "flag 0 and no item uses it";

    Chunk(5, 0);
    Chunk(5, 0);     // repeated: dropped
    Chunk(5, 100);   // not asked for: dropped
    Chunk(7, 0);     // no transfer: dropped
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 2; }));
    EXPECT_EQ(FileOf(5).size(), static_cast<size_t>(CHUNK));
    Chunk(5, CHUNK);
    Chunk(5, 2 * CHUNK);
    Frame(0.1f);
    Settle();
    EXPECT_EQ(Asked(5), std::vector<int>({0, CHUNK, 2 * CHUNK}));
    EXPECT_EQ(FileOf(5), m_aData);
    EXPECT_FALSE(Lobby()->IsLoading());

    // The same list again with the file present: nothing moves.
    Announce({Record(5, 1), Record(6, 0)});
    Frame(0.1f);
    Settle();
    EXPECT_EQ(Asked(5).size(), 3u);
    EXPECT_FALSE(Lobby()->IsLoading());
}

TEST_F(CVornMenuState, ACorruptedFileIsFetchedAgainFromTheStartAndThenPasses)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    Announce({Record(5, 1)});
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 1; }));
    std::vector<unsigned char> aBad = m_aData;
    aBad[CHUNK + 5] ^= 0xFF;
    for (int iOffset = 0; iOffset < 3 * CHUNK; iOffset += CHUNK)
        Chunk(5, iOffset, &aBad);
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 4; }));
    EXPECT_EQ(Asked(5).back(), 0);
    for (int iOffset = 0; iOffset < 3 * CHUNK; iOffset += CHUNK)
        Chunk(5, iOffset);
    Frame(0.1f);
    EXPECT_EQ(FileOf(5), m_aData);
    EXPECT_FALSE(Lobby()->IsLoading());
}

TEST_F(CVornMenuState, AStalledOrHopelessTransferEndsAsFailedAndTheLobbyGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    Announce({Record(5, 1)});
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 1; }));
    Chunk(5, 0);
    for (int i = 0; i < 290; ++i)
        Frame(0.1f);
    EXPECT_TRUE(Lobby()->IsLoading()) << "29 s without a chunk is not yet a stall";
    for (int i = 0; i < 20; ++i)
        Frame(0.1f);
    EXPECT_FALSE(Lobby()->IsLoading());
    EXPECT_TRUE(FileOf(5).empty()) << "the half file is removed";
    EXPECT_EQ(Asked(5).size(), 2u);

    // A new list starts it again; three corrupt transfers give up.
    Announce({Record(5, 1)});
    std::vector<unsigned char> aBad(m_aData.size(), 0);
    for (int iAttempt = 0; iAttempt < 3; ++iAttempt)
    {
        ASSERT_TRUE(WaitFor([&] { return Starts(5) == 2 + iAttempt; })) << iAttempt;
        for (int iOffset = 0; iOffset < 3 * CHUNK; iOffset += CHUNK)
            Chunk(5, iOffset, &aBad);
    }
    Frame(0.1f);
    Settle();
    EXPECT_EQ(Starts(5), 4) << "one start before, three with the new list";
    EXPECT_TRUE(FileOf(5).empty());
    EXPECT_FALSE(Lobby()->IsLoading());
}

TEST_F(CVornMenuState, ItemFilesLiveInTheDataFolderUnderTheGamesAppId)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const struct
    {
        int iItem;
        const char* pName;
    } aCases[] = {{7, "data_64_7.kmp"}, {123456, "data_64_123456.kmp"}, {-2, "data_64_-2.kmp"}};
    for (const auto& c : aCases)
    {
        CKorvelString strPath;
        m_App.GetItemFile(c.iItem, strPath);
        EXPECT_EQ(Narrow(strPath), m_App.DataFile(c.pName)) << c.iItem;
    }
}

TEST_F(CVornMenuState, UsingAnItemTellsTheServer)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const size_t uBefore = In("UseItem").size();
    m_App.UseItem(31, 2);
    ASSERT_TRUE(WaitFor([&] { return In("UseItem").size() == uBefore + 1; }));
    EXPECT_EQ(In("UseItem").back()["item"].Int(), 31);
    EXPECT_EQ(In("UseItem").back()["a"].Int(), 2);
}

} // namespace
