#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"

#include "support/TestMedia.h"
#include "support/TestPack.h"
#include "support/TestTempDir.h"
#include "support/TestText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
std::string ReadItem(CKorvelMediaPack& pack, const char* pName, unsigned int uIndex = 0)
{
    CKorvelMediaPackItem item;
    if (item.Open(pack, S(pName), uIndex) != KE_OK)
        return "<none>";
    std::string strData(item.GetSize(), '\0');
    EXPECT_EQ(item.GetFile().Read(&strData[0], item.GetSize()), item.GetSize());
    return strData;
}

// A pack file in the test's folder, by its engine path.
CKorvelString Write(const CTestTempDir& dir, const std::string& strName, const std::string& strBytes)
{
    EXPECT_TRUE(WriteTestFile(dir.File(strName), strBytes));
    return CKorvelString(dir.File(strName).c_str());
}

const TestPackItems g_Items = {{"gfx/a.png", "AAAA"}, {"/snd/b.wav", "BBBBBB"}, {"/kmp.meta", "<kmp/>"}};
} // namespace

TEST(CKorvelMediaPack, ReadsTheTableAndEveryItemAlsoThroughABorrowedHandle)
{
    CTestTempDir dir;
    CKorvelMediaPack pack;
    ASSERT_EQ(pack.Startup(Write(dir, "p.kmp", TestPackBytes(g_Items)), S("")), KE_OK);
    ASSERT_EQ(pack.GetItemCount(), 3u);
    EXPECT_EQ(pack.GetKey(), nullptr);
    EXPECT_EQ(pack.GetItemInfo(1)->strName.Compare(S("/snd/b.wav")), 0);
    EXPECT_EQ(pack.GetItemInfo(0)->uOffset, 8u + 3 * 6 + 9 + 10 + 9);
    EXPECT_EQ(pack.GetItemInfo(3), nullptr);
    EXPECT_EQ(ReadItem(pack, "/kmp.meta"), "<kmp/>");
    EXPECT_EQ(ReadItem(pack, "", 1), "BBBBBB");

    // A handle borrowed from the pack reads the item data; closing it leaves the pack's stream open.
    ASSERT_EQ(pack.SeekToItem(S("/snd/"), 0), 6u);
    CKorvelFile borrowed;
    ASSERT_EQ(borrowed.OpenFromHandle(*pack.GetFile()), KE_OK);
    char aData[3] = {};
    EXPECT_EQ(borrowed.Read(aData, 3), 3u);
    EXPECT_EQ(std::string(aData, 3), "BBB");
    borrowed.Close();
    EXPECT_EQ(ReadItem(pack, "a.png"), "AAAA");
}

TEST(CKorvelMediaPack, ABadStartLeavesTheEarlierPackUsable)
{
    CTestTempDir dir;
    CKorvelMediaPack pack;
    ASSERT_EQ(pack.Startup(Write(dir, "good.kmp", TestPackBytes(g_Items)), S("")), KE_OK);
    std::string strBad = TestPackBytes(g_Items);
    strBad[3] = '1';
    EXPECT_EQ(pack.Startup(Write(dir, "bad.kmp", strBad), S("")), KE_ERR_BADDATA);
    EXPECT_EQ(pack.Startup(Write(dir, "short.kmp", "KM"), S("")), KE_ERR_BADDATA);
    EXPECT_EQ(pack.Startup(S((dir.Path() + "/missing.kmp").c_str()), S("")), KE_ERR_FILEOPEN);
    EXPECT_EQ(pack.GetItemCount(), 3u);
    EXPECT_EQ(ReadItem(pack, "a.png"), "AAAA");
}

TEST(CKorvelMediaPack, TableFailuresLeaveThePackEmptyAndShutdownIsSafe)
{
    CTestTempDir dir;
    std::string strNoItems = "KMP2";
    PutTestU32(strNoItems, 0);
    std::string strEmptyName = TestPackBytes({{"x", "1"}});
    strEmptyName[8] = 0; // name length 0
    std::string strCut = TestPackBytes(g_Items).substr(0, 30);

    for (const std::string& strBytes : {strNoItems, strEmptyName, strCut})
    {
        CKorvelMediaPack pack;
        ASSERT_EQ(pack.Startup(Write(dir, "good.kmp", TestPackBytes(g_Items)), S("key")), KE_OK);
        EXPECT_EQ(pack.Startup(Write(dir, "bad.kmp", strBytes), S("")), KE_ERR_BADDATA);
        EXPECT_EQ(pack.GetItemCount(), 0u);
        EXPECT_EQ(pack.GetFile(), nullptr);
        EXPECT_EQ(pack.GetKey(), nullptr);
        EXPECT_EQ(pack.SeekToItem(S(""), 0), 0u);
        EXPECT_EQ(pack.FindItem(S("a.png"), 0), 0u);
    }

    // Shutdown is safe when never started.
    CKorvelMediaPack* pPack = CKorvelMediaPack::New();
    ASSERT_NE(pPack, nullptr);
    pPack->Shutdown();
    pPack->Shutdown();
    EXPECT_EQ(pPack->GetItemCount(), 0u);
    EXPECT_EQ(pPack->SeekToItem(S(""), 0), 0u);
    EXPECT_EQ(pPack->GetItemInfo(0), nullptr);
    delete pPack;
}

TEST(CKorvelMediaPack, OffsetsAndSizesBeyondTheFileAreRefused)
{
    CTestTempDir dir;
    // A record offset past the end fails the start; a count the file cannot hold too.
    std::string strOffset = TestPackBytes({{"/a", "xyz"}});
    strOffset[8 + 2 + 2 + 1] = 0x7F;
    CKorvelMediaPack pack;
    EXPECT_EQ(pack.Startup(Write(dir, "offset.kmp", strOffset), S("")), KE_ERR_BADDATA);
    std::string strCount = TestPackBytes({{"/a", "xyz"}});
    strCount[7] = 0x40;
    EXPECT_EQ(pack.Startup(Write(dir, "count.kmp", strCount), S("")), KE_ERR_BADDATA);

    // An offset inside the file leaves room for the 8-byte record header or is refused;
    // a short read there would otherwise give a size from the item's own bytes.
    const std::string strOne = TestPackBytes({{"/a", "xyz"}});
    for (unsigned int uFromEnd : {8u, 7u, 6u, 1u})
    {
        std::string strNear = strOne;
        strNear[12] = static_cast<char>(strOne.size() - uFromEnd);
        EXPECT_EQ(pack.Startup(Write(dir, "near.kmp", strNear), S("")), uFromEnd < 8 ? KE_ERR_BADDATA : KE_OK)
            << uFromEnd;
        EXPECT_EQ(pack.SeekToItem(S(""), 0), 0u) << uFromEnd;
    }

    // A data size running past the end is "not found", never a huge read.
    std::string strSize = TestPackBytes({{"/a", "xyz"}, {"/b", "ok"}});
    size_t uSizeField = 8 + 2 * (2 + 2 + 4) + 4;
    strSize[uSizeField + 3] = 0x10;
    ASSERT_EQ(pack.Startup(Write(dir, "size.kmp", strSize), S("")), KE_OK);
    EXPECT_EQ(pack.SeekToItem(S("/a"), 0), 0u);
    EXPECT_EQ(pack.FindItem(S("a"), 0), 0u);
    EXPECT_EQ(ReadItem(pack, "/b"), "ok");
}

TEST(CKorvelMediaPack, SeekToItemAndFindItemRules)
{
    CTestTempDir dir;
    CKorvelMediaPack pack;
    ASSERT_EQ(
        pack.Startup(Write(dir, "p.kmp", TestPackBytes({{"gfx/b.png.old", "old"}, {"gfx/b.png", "new"}})),
                     S("")),
        KE_OK);
    EXPECT_EQ(pack.SeekToItem(S(""), 2), 0u);
    EXPECT_EQ(pack.SeekToItem(S("gfx/b.png"), 5), 0u);
    EXPECT_EQ(pack.SeekToItem(S(""), 1), 3u);
    // The name search starts at the first entry whatever the index says.
    EXPECT_EQ(ReadItem(pack, "/b.png", 1), "old");
    EXPECT_EQ(ReadItem(pack, "b.png.old"), "old");
    EXPECT_EQ(pack.SeekToItem(S("/c.png"), 0), 0u);

    // FindItem compares the whole file name.
    ASSERT_EQ(pack.Startup(Write(dir, "p.kmp",
                                 TestPackBytes({{"gfx/ab.png", "ab"}, {"gfx/b.png", "b"}, {"c.png", "c"}})),
                           S("")),
              KE_OK);
    EXPECT_EQ(pack.FindItem(S("b.png"), 0), 1u);
    char c = 0;
    EXPECT_EQ(pack.GetFile()->Read(&c, 1), 1u);
    EXPECT_EQ(c, 'b');
    EXPECT_EQ(pack.FindItem(S("gfx/b.png"), 0), 0u);
    EXPECT_EQ(pack.FindItem(S("c.png"), 0), 1u); // a name without '/' is its own file name
    EXPECT_EQ(pack.FindItem(S(""), 0), 0u);
}

TEST(CKorvelMediaPack, KeyedPackItemsAreDescrambledInMemory)
{
    CTestTempDir dir;
    CKorvelMediaPack pack;
    ASSERT_EQ(pack.Startup(Write(dir, "keyed.kmp", TestPackBytes(g_Items, "secret")), S("secret")), KE_OK);
    ASSERT_NE(pack.GetKey(), nullptr);
    EXPECT_EQ(pack.GetKey()->Compare(S("secret")), 0);
    EXPECT_EQ(ReadItem(pack, "/kmp.meta"), "<kmp/>");
    EXPECT_EQ(ReadItem(pack, "b.wav"), "BBBBBB");
    // The same pack read plain gives the scrambled bytes.
    ASSERT_EQ(pack.Startup(Write(dir, "keyed.kmp", TestPackBytes(g_Items, "secret")), S("")), KE_OK);
    EXPECT_NE(ReadItem(pack, "/kmp.meta"), "<kmp/>");
    CKorvelMediaPackItem item;
    EXPECT_EQ(item.Open(pack, S("/nothing"), 0), KE_ERR_NOTFOUND);
}
