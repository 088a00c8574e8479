#include "KorvelInput/KorvelEvent.h"

#include "KorvelCommon/KorvelFile.h"

#include <gtest/gtest.h>

#include <array>

namespace
{

std::array<int, 7> Fields(const CKorvelEvent& e)
{
    return {e.m_iType, e.m_iIndex, e.m_iX, e.m_iY, e.m_iWheel, e.m_iKey, e.m_iChar};
}

TEST(CKorvelEvent, SavesSevenLittleEndianWordsAndLoadsThemBack)
{
    CKorvelEvent event;
    EXPECT_EQ(Fields(event), (std::array<int, 7>{KET_EVENT_NONE, 0, 0, 0, 0, 0, 0}));
    event.m_iType = KET_EVENT_BUTTONDOWN;
    event.m_iIndex = 2;
    event.m_iX = -5;
    event.m_iY = 0x01020304;
    event.m_iWheel = -120;
    event.m_iKey = 0xF00D;
    event.m_iChar = 13;

    unsigned char aBlock[CKorvelEvent::FILE_SIZE + 4] = {};
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromMemory(aBlock, sizeof(aBlock), CKorvelFile::FLAG_WRITE), KE_OK);
    event.Save(file);
    EXPECT_EQ(file.GetPosition(), CKorvelEvent::FILE_SIZE);
    EXPECT_EQ(aBlock[0], 4);
    EXPECT_EQ(aBlock[8], 0xFB); // -5
    EXPECT_EQ(aBlock[11], 0xFF);
    EXPECT_EQ(aBlock[12], 0x04);
    EXPECT_EQ(aBlock[15], 0x01);

    file.Seek(0, KET_SEEK_BEGIN);
    CKorvelEvent loaded, copy;
    EXPECT_EQ(loaded.Load(file), 1);
    EXPECT_EQ(Fields(loaded), Fields(event));
    copy.Copy(event);
    EXPECT_EQ(Fields(copy), Fields(event));
}

TEST(CKorvelEvent, AShortReadIsReported)
{
    unsigned char aBlock[10] = {1, 0, 0, 0, 7, 0, 0, 0, 9, 9};
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromMemory(aBlock, sizeof(aBlock), CKorvelFile::FLAG_READ), KE_OK);
    CKorvelEvent event;
    EXPECT_EQ(event.Load(file), 0);
    EXPECT_EQ(event.m_iType, 1);
    EXPECT_EQ(event.m_iIndex, 7);
    EXPECT_EQ(event.m_iX, 0);
}

} // namespace
