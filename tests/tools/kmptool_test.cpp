#include "tools/packtool/KmpInputs.h"
#include "tools/packtool/KmpPackBuilder.h"

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"

#include "support/TestMedia.h"
#include "support/TestTempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{
sKmpItem Item(const std::string& strName, const std::string& strData)
{
    return sKmpItem{strName, std::vector<unsigned char>(strData.begin(), strData.end()), strName};
}

std::string Read(CKorvelMediaPack& pack, const char* pName)
{
    CKorvelMediaPackItem item;
    if (item.Open(pack, CKorvelString(pName), 0) != KE_OK)
        return "<none>";
    std::string strData(item.GetSize(), '\0');
    item.GetFile().Read(&strData[0], item.GetSize());
    return strData;
}

// The error of a refused item list ("" when it is accepted).
std::string Refusal(const std::vector<sKmpItem>& aItems, const std::string& strKey = "")
{
    std::string strError;
    return KmpCheckItems(aItems, strKey, strError) ? "" : strError;
}

std::string Font(const std::string& strPage)
{
    return "<font><common lineHeight=\"10\"/><pages><page id=\"0\" file=\"" + strPage +
           "\"/></pages><chars count=\"1\"><char id=\"65\"/></chars></font>";
}

// Runs the tool with the arguments; its exit code, standard output and error.
int RunTool(const CTestTempDir& dir, const std::string& strArgs, std::string* pOut = nullptr,
            std::string* pErr = nullptr)
{
    std::string strCommand = std::string(KMPTOOL_PATH) + " " + strArgs + " >" + dir.File("stdout.txt") +
                             " 2>" + dir.File("stderr.txt");
    int iStatus = std::system(strCommand.c_str());
    std::vector<uint8_t> aOut = ReadTestFile(dir.File("stdout.txt"));
    std::vector<uint8_t> aErr = ReadTestFile(dir.File("stderr.txt"));
    if (pOut)
        pOut->assign(aOut.begin(), aOut.end());
    if (pErr)
        pErr->assign(aErr.begin(), aErr.end());
    return WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1;
}
} // namespace

// --- the builder --------------------------------------------------------------------------

TEST(KmpPackBuilder, WritesPacksThatTheEngineReads)
{
    CTestTempDir dir;
    std::vector<sKmpItem> aItems = {Item("/lang.txt", "NAME=English"),
                                    Item("/gfx/b.png", std::string(3000, 'b')), Item("/kmp.meta", "<kmp/>")};
    std::string strError;
    ASSERT_TRUE(KmpWritePack(dir.File("p.kmp"), aItems, "", strError)) << strError;
    CKorvelMediaPack pack;
    ASSERT_EQ(pack.Startup(CKorvelString(dir.File("p.kmp").c_str()), CKorvelString()), KE_OK);
    EXPECT_EQ(pack.GetItemCount(), 3u);
    EXPECT_EQ(Read(pack, "/b.png"), std::string(3000, 'b'));
    EXPECT_EQ(Read(pack, "/kmp.meta"), "<kmp/>");
    EXPECT_EQ(pack.SeekToItem(CKorvelString(), 0), 12u);
    std::vector<uint8_t> aFile = ReadTestFile(dir.File("p.kmp"));
    EXPECT_EQ(std::string(aFile.begin(), aFile.begin() + 4), "KMP2");
    EXPECT_EQ(ReadTestFile(dir.File("p.kmp.tmp")).size(), 0u);
}

TEST(KmpPackBuilder, KeyedPacksAreScrambledOnDisk)
{
    CTestTempDir dir;
    const std::string strSecret = "plain words that must not show";
    std::string strError;
    ASSERT_TRUE(KmpWritePack(dir.File("k.kmp"), {Item("/s.txt", strSecret)}, "k3y!", strError)) << strError;
    std::vector<uint8_t> aFile = ReadTestFile(dir.File("k.kmp"));
    EXPECT_EQ(std::string(aFile.begin(), aFile.end()).find(strSecret), std::string::npos);

    CKorvelMediaPack pack;
    ASSERT_EQ(pack.Startup(CKorvelString(dir.File("k.kmp").c_str()), CKorvelString("k3y!")), KE_OK);
    EXPECT_EQ(Read(pack, "/s.txt"), strSecret);
    EXPECT_TRUE(KmpVerifyPack(dir.File("k.kmp"), {Item("/s.txt", strSecret)}, "k3y!", strError));
    EXPECT_FALSE(KmpVerifyPack(dir.File("k.kmp"), {Item("/s.txt", strSecret)}, "", strError));
}

TEST(KmpPackBuilder, RefusesItemsThatALookupCannotReach)
{
    const struct
    {
        std::vector<sKmpItem> aItems;
        std::string strKey, strError;
    } aCases[] = {{{Item("/a.png.old", "1"), Item("/a.png", "2")}, "", "would return '/a.png.old'"},
                  {{Item("a.png", "1")}, "", "must begin with '/'"},
                  {{Item("/x/a.png", "1"), Item("/y/a.png", "2")}, "", "share the file name 'a.png'"},
                  {{Item("/a.png", "")}, "", "is empty"},
                  {{}, "", "at least one item"},
                  {{Item("/a", "1")}, "ab", "at least 3"},
                  {{Item("/caf\xe9", "1")}, "", "printable ASCII"},
                  {{Item("/old_f_0.png", "x"), Item("/F.FNT", Font("f_0.png")), Item("/f_0.png", "png")},
                   "",
                   "would read its page 'f_0.png' from '/old_f_0.png'"},
                  {{Item("/f.fnt", Font("g_0.png"))}, "", "not in the pack"},
                  {{Item("/f.fnt", "<font/>")}, "", "lists no pages"}};
    for (const auto& c : aCases)
        EXPECT_NE(Refusal(c.aItems, c.strKey).find(c.strError), std::string::npos) << c.strError;
    // The same items in the other order are fine, and font pages found by their names.
    EXPECT_EQ(Refusal({Item("/a.png", "2"), Item("/a.png.old", "1")}), "");
    EXPECT_EQ(Refusal({Item("/f.fnt", Font("f_0.png")), Item("/f_0.png", "png")}), "");
}

TEST(KmpPackBuilder, ARefusedPackLeavesTheOutputAlone)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestFile(dir.File("p.kmp"), "earlier"));
    std::string strError;
    EXPECT_FALSE(KmpWritePack(dir.File("p.kmp"), {Item("b", "1")}, "", strError));
    EXPECT_EQ(ReadTestFile(dir.File("p.kmp")), (std::vector<uint8_t>{'e', 'a', 'r', 'l', 'i', 'e', 'r'}));
    EXPECT_FALSE(KmpWritePack(dir.File("missing/p.kmp"), {Item("/b", "1")}, "", strError));
    EXPECT_NE(strError.find("cannot create"), std::string::npos);
}

TEST(KmpPackBuilder, ListsAndFoldersNameTheirItems)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestFile(dir.File("a.txt"), "A"));
    ASSERT_TRUE(WriteTestFile(dir.File("b.txt"), "B"));
    ASSERT_TRUE(WriteTestFile(dir.File("items.list"), "# comment\n\n/ui/first.txt <- a.txt\n  b.txt  \n"));
    std::vector<sKmpItem> aItems;
    std::string strError;
    ASSERT_TRUE(KmpAddListFile(aItems, dir.File("items.list"), strError)) << strError;
    ASSERT_EQ(aItems.size(), 2u);
    EXPECT_EQ(aItems[0].strName, "/ui/first.txt");
    EXPECT_EQ(aItems[1].strName, "/b.txt");
    EXPECT_EQ(aItems[1].aData, std::vector<unsigned char>{'B'});

    ASSERT_TRUE(WriteTestFile(dir.File("bad.list"), "/x <-\n"));
    EXPECT_FALSE(KmpAddListFile(aItems, dir.File("bad.list"), strError));
    EXPECT_NE(strError.find("bad.list:1"), std::string::npos);
    ASSERT_TRUE(WriteTestFile(dir.File("gone.list"), "nothing.txt\n"));
    EXPECT_FALSE(KmpAddListFile(aItems, dir.File("gone.list"), strError));
    EXPECT_FALSE(KmpAddNamedFile(aItems, "=a.txt", strError));

    std::vector<sKmpItem> aFolder;
    ASSERT_TRUE(KmpAddFolder(aFolder, dir.Path(), strError)) << strError;
    ASSERT_GE(aFolder.size(), 2u);
    EXPECT_EQ(aFolder[0].strName, "/a.txt");
}

// --- the program ------------------------------------------------------------------------------

TEST(kmptool, BuildsListsAndExtracts)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestFile(dir.File("one.txt"), "first item"));
    ASSERT_TRUE(WriteTestFile(dir.File("meta.xml"), "<kmp/>"));
    ASSERT_TRUE(WriteTestFile(dir.File("more.list"), "/two.txt <- one.txt\n"));
    std::string strOut, strErr;
    ASSERT_EQ(RunTool(dir,
                      "build " + dir.File("p.kmp") + " /sub/one.txt=" + dir.File("one.txt") + " --list " +
                          dir.File("more.list") + " --meta " + dir.File("meta.xml") + " --key secret",
                      &strOut, &strErr),
              0)
        << strErr;
    ASSERT_EQ(RunTool(dir, "list " + dir.File("p.kmp"), &strOut), 0);
    EXPECT_EQ(strOut,
              "    0         10 /sub/one.txt\n    1         10 /two.txt\n    2          6 /kmp.meta\n");
    ASSERT_EQ(RunTool(dir, "extract " + dir.File("p.kmp") + " one.txt --key secret", &strOut), 0);
    EXPECT_EQ(strOut, "first item");
    ASSERT_EQ(
        RunTool(dir, "extract " + dir.File("p.kmp") + " /kmp.meta --key secret -o " + dir.File("x.xml")), 0);
    EXPECT_EQ(ReadTestFile(dir.File("x.xml")), ReadTestFile(dir.File("meta.xml")));
    EXPECT_EQ(RunTool(dir, "extract " + dir.File("p.kmp") + " none.txt", nullptr, &strErr), 1);
    EXPECT_NE(strErr.find("no readable item 'none.txt'"), std::string::npos);
}

TEST(kmptool, RefusesAnAmbiguousPackWithAClearMessage)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestFile(dir.File("x.png"), "png"));
    std::string strErr;
    EXPECT_EQ(RunTool(dir,
                      "build " + dir.File("p.kmp") + " /old/b.png.bak=" + dir.File("x.png") +
                          " /b.png=" + dir.File("x.png"),
                      nullptr, &strErr),
              1);
    EXPECT_NE(strErr.find("looking up '/b.png' would return '/old/b.png.bak' instead of '/b.png'"),
              std::string::npos)
        << strErr;
    EXPECT_TRUE(ReadTestFile(dir.File("p.kmp")).empty());
    EXPECT_EQ(RunTool(dir, "build", nullptr, &strErr), 2);
    EXPECT_NE(strErr.find("usage:"), std::string::npos);
    EXPECT_EQ(RunTool(dir, "frobnicate"), 2);
    EXPECT_EQ(RunTool(dir, "list " + dir.File("missing.kmp"), nullptr, &strErr), 1);
    EXPECT_NE(strErr.find("result 10"), std::string::npos);
}

TEST(kmptool, UniqueRefusesTwoPacksSharingAFileName)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestFile(dir.File("x.txt"), "x"));
    const std::string strX = dir.File("x.txt");
    for (const char* pPack : {"a.kmp /ui/click.wav=", "b.kmp /kmp.meta=", "c.kmp /sounds/click.wav="})
    {
        const std::string strPack(pPack);
        ASSERT_EQ(RunTool(dir, "build " + dir.File(strPack.substr(0, 5)) + " /own_" + strPack.substr(0, 1) +
                                   ".txt=" + strX + " " + strPack.substr(6) + strX),
                  0);
    }
    std::string strErr;
    // A meta item in every pack is fine; the same file name in two packs is not.
    EXPECT_EQ(RunTool(dir, "unique " + dir.File("a.kmp") + " " + dir.File("b.kmp"), nullptr, &strErr), 0)
        << strErr;
    EXPECT_EQ(RunTool(dir, "unique " + dir.File("a.kmp") + " " + dir.File("b.kmp") + " " + dir.File("c.kmp"),
                      nullptr, &strErr),
              1);
    EXPECT_NE(strErr.find("the packs '" + dir.File("a.kmp") + "' and '" + dir.File("c.kmp") +
                          "' both hold the file name 'click.wav'"),
              std::string::npos)
        << strErr;
    EXPECT_EQ(RunTool(dir, "unique " + dir.File("a.kmp") + " " + dir.File("none.kmp"), nullptr, &strErr), 1);
    EXPECT_NE(strErr.find("cannot open the pack"), std::string::npos);
}
