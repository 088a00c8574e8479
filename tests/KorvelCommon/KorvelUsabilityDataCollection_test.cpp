#include "KorvelCommon/KorvelUsabilityDataCollection.h"

#include "KorvelCommon/KorvelString.h"
#include "KorvelInput/KorvelEvent.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

CKorvelEvent KeyDown(int iKey)
{
    CKorvelEvent event;
    event.m_iType = KET_EVENT_KEYDOWN;
    event.m_iKey = iKey;
    return event;
}

void PutU32(std::vector<uint8_t>& aBytes, uint32_t uValue)
{
    for (int b = 0; b < 4; ++b)
        aBytes.push_back(static_cast<uint8_t>(uValue >> (8 * b)));
}

void PutF32(std::vector<uint8_t>& aBytes, float fValue)
{
    uint32_t uBits;
    memcpy(&uBits, &fValue, 4);
    PutU32(aBytes, uBits);
}

// Header with an empty title and a 0 x 0 size, then the frame count.
std::vector<uint8_t> Header(uint32_t uFrames)
{
    std::vector<uint8_t> aBytes = {'K', 'U', 'D', 'C'};
    PutU32(aBytes, 0);
    PutU32(aBytes, 0);
    PutU32(aBytes, 0);
    PutU32(aBytes, uFrames);
    return aBytes;
}

void PutEvent(std::vector<uint8_t>& aBytes, int iType, int iX)
{
    const int aFields[7] = {iType, 0, iX, 0, 0, 0, 0};
    for (int iField : aFields)
        PutU32(aBytes, static_cast<uint32_t>(iField));
}

class CKorvelUsabilityDataCollectionTest : public ::testing::Test
{
protected:
    void TearDown() override { m_Recording.Shutdown(); }

    KE_RETVAL LoadBytes(const std::vector<uint8_t>& aBytes)
    {
        std::string strPath = m_Dir.File("usage.dat");
        EXPECT_TRUE(WriteTestFile(strPath, aBytes));
        return m_Recording.Load(CKorvelString(strPath.c_str()));
    }

    CTestTempDir m_Dir;
    CKorvelUsabilityDataCollection m_Recording;
};

TEST_F(CKorvelUsabilityDataCollectionTest, FramesHoldCopiesOfTheirEvents)
{
    EXPECT_EQ(m_Recording.Startup(nullptr), 1);
    EXPECT_EQ(m_Recording.AddFrame(0.5f), 0);
    EXPECT_EQ(m_Recording.AddFrame(0.25f), 1);
    CKorvelEvent event = KeyDown('a');
    m_Recording.AddEventToFrame(1, event);
    m_Recording.AddEventToFrame(1, KeyDown('b'));
    m_Recording.AddEventToFrame(7, event); // no such frame
    event.m_iKey = 'z';

    EXPECT_EQ(m_Recording.GetFrameCount(), 2u);
    EXPECT_EQ(m_Recording.GetByteCount(), 4u + 4u + 32u + 32u);
    EXPECT_EQ(m_Recording.GetFrameTime(0), 0.5f);
    EXPECT_EQ(m_Recording.GetFrameTime(2), 0.0f);
    EXPECT_EQ(m_Recording.GetFrameEventCount(1), 2u);
    EXPECT_EQ(m_Recording.GetFrameEventCount(9), 0u);
    ASSERT_NE(m_Recording.GetFrameEvent(1, 0), nullptr);
    EXPECT_EQ(m_Recording.GetFrameEvent(1, 0)->m_iKey, 'a');
    EXPECT_EQ(m_Recording.GetFrameEvent(1, 5), nullptr);
    EXPECT_EQ(m_Recording.GetFrameEvent(3, 0), nullptr);
    EXPECT_EQ(m_Recording.GetFrame(2), nullptr);

    m_Recording.Shutdown();
    EXPECT_EQ(m_Recording.GetFrameCount(), 0u);
    EXPECT_EQ(m_Recording.GetByteCount(), 0u);
}

TEST_F(CKorvelUsabilityDataCollectionTest, SavesTheDocumentedLayoutAndLoadAppends)
{
    m_Recording.Startup(nullptr);
    m_Recording.AddFrame(0.5f);
    m_Recording.AddEventToFrame(0, KeyDown(0xF00D));
    m_Recording.AddFrame(0.25f);
    std::string strPath = m_Dir.File("usage.dat");
    ASSERT_EQ(m_Recording.Save(CKorvelString(strPath.c_str())), KE_OK);

    std::vector<uint8_t> aExpected = Header(2);
    PutF32(aExpected, 0.5f);
    PutU32(aExpected, 1);
    const int aEvent[7] = {1, 0, 0, 0, 0, 0xF00D, 0};
    for (int iField : aEvent)
        PutU32(aExpected, static_cast<uint32_t>(iField));
    PutF32(aExpected, 0.25f);
    PutU32(aExpected, 0);
    EXPECT_EQ(ReadTestFile(strPath), aExpected);

    // Loading appends to the frames held; the byte count stays that of the recording.
    unsigned int uBytes = m_Recording.GetByteCount();
    EXPECT_EQ(m_Recording.Load(CKorvelString(strPath.c_str())), KE_OK);
    EXPECT_EQ(m_Recording.Load(CKorvelString(strPath.c_str())), KE_OK);
    ASSERT_EQ(m_Recording.GetFrameCount(), 6u);
    EXPECT_EQ(m_Recording.GetFrameTime(4), 0.5f);
    ASSERT_NE(m_Recording.GetFrameEvent(4, 0), nullptr);
    EXPECT_EQ(m_Recording.GetFrameEvent(4, 0)->m_iKey, 0xF00D);
    EXPECT_EQ(m_Recording.GetByteCount(), uBytes);
}

TEST_F(CKorvelUsabilityDataCollectionTest, FilesThatCannotBeReadOrAreNotRecordingsOrHoldCountsBeyondTheData)
{
    EXPECT_EQ(m_Recording.Load(CKorvelString(m_Dir.File("absent.dat").c_str())), KE_ERR_FILEOPEN);
    EXPECT_EQ(m_Recording.Save(CKorvelString(m_Dir.File("no/such/folder.dat").c_str())), KE_ERR_FILEOPEN);
    std::vector<uint8_t> aBytes = Header(0);
    aBytes[3] = 'X';
    EXPECT_EQ(LoadBytes(aBytes), KE_ERR_DECODE);
    EXPECT_EQ(LoadBytes({'K', 'U'}), KE_ERR_DECODE);
    EXPECT_EQ(m_Recording.GetFrameCount(), 0u);

    // Counts beyond the data are rejected.
    std::vector<uint8_t> aHuge = Header(0xFFFFFFFFu);
    PutF32(aHuge, 0.1f);
    PutU32(aHuge, 0x40000000u);
    PutEvent(aHuge, KET_EVENT_BUTTONDOWN, 1);
    EXPECT_EQ(LoadBytes(aHuge), KE_ERR_BADDATA);
    EXPECT_EQ(m_Recording.GetFrameCount(), 0u);
    std::vector<uint8_t> aTitle = {'K', 'U', 'D', 'C'};
    PutU32(aTitle, 0x7FFFFFFFu);
    EXPECT_EQ(LoadBytes(aTitle), KE_ERR_BADDATA);
}

TEST_F(CKorvelUsabilityDataCollectionTest, DataEndingEarlyKeepsTheWholeFramesBeforeIt)
{
    std::vector<uint8_t> aBytes = Header(3);
    PutF32(aBytes, 0.1f);
    PutU32(aBytes, 1);
    PutEvent(aBytes, KET_EVENT_BUTTONDOWN, 40);
    PutF32(aBytes, 0.2f);
    PutU32(aBytes, 2);
    PutEvent(aBytes, KET_EVENT_MOVE, 41);
    // The second event and the third frame are missing.
    EXPECT_EQ(LoadBytes(aBytes), KE_ERR_BADDATA);
    ASSERT_EQ(m_Recording.GetFrameCount(), 1u);
    EXPECT_EQ(m_Recording.GetFrameEvent(0, 0)->m_iX, 40);

    m_Recording.Shutdown();
    aBytes.resize(aBytes.size() - 2); // cut inside an event
    EXPECT_EQ(LoadBytes(aBytes), KE_ERR_BADDATA);
    EXPECT_EQ(m_Recording.GetFrameCount(), 1u);
}

} // namespace
