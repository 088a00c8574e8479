#include "KorvelInput/KorvelEvent.h"

#include "KorvelCommon/KorvelFile.h"

#include <gtest/gtest.h>

namespace
{

TEST(CKorvelEvent, StartsAsNoEvent)
{
    CKorvelEvent event;
    EXPECT_EQ(event.m_iType, KET_EVENT_NONE);
    EXPECT_EQ(event.m_iIndex | event.m_iX | event.m_iY | event.m_iWheel | event.m_iKey | event.m_iChar, 0);
}

TEST(CKorvelEvent, SavesSevenLittleEndianWordsAndLoadsThemBack)
{
    CKorvelEvent event;
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
    CKorvelEvent loaded;
    EXPECT_EQ(loaded.Load(file), 1);
    EXPECT_EQ(loaded.m_iType, event.m_iType);
    EXPECT_EQ(loaded.m_iIndex, event.m_iIndex);
    EXPECT_EQ(loaded.m_iX, event.m_iX);
    EXPECT_EQ(loaded.m_iY, event.m_iY);
    EXPECT_EQ(loaded.m_iWheel, event.m_iWheel);
    EXPECT_EQ(loaded.m_iKey, event.m_iKey);
    EXPECT_EQ(loaded.m_iChar, event.m_iChar);

    CKorvelEvent copy;
    copy.Copy(event);
    EXPECT_EQ(copy.m_iWheel, -120);
    EXPECT_EQ(copy.m_iChar, 13);
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
