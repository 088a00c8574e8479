// Packs of the resource manager: registration by file name and target, the ".jet" twin,
// the resolution-neutral packs, raw files and the one open pack file.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "Framework/Shell/ResourceTestMedia.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "support/TestText.h"
#include "support/TestVornApplication.h"

namespace
{
std::string AppPath(const std::string& strName)
{
    CKorvelString strPath;
    IKorvelApplication::BuildFilepath(strPath, S(strName));
    char acPath[PATH_MAX] = {};
    strPath.MakeAnsi(acPath);
    return acPath;
}

// Open descriptors of pack files ("*.kmp") in this process.
int OpenPackFiles()
{
    int iCount = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    {
        std::error_code ec;
        std::string strTarget = std::filesystem::read_symlink(entry.path(), ec).string();
        if (!ec && strTarget.size() > 4 && strTarget.compare(strTarget.size() - 4, 4, ".kmp") == 0)
            ++iCount;
    }
    return iCount;
}

class CVornResourceManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pApp = std::make_unique<CTestVornApplication>();
        ASSERT_EQ(m_pApp->StartHeadless(), KE_OK);
    }

    // Width of the named surface as the manager gives it (0 for none); released again.
    int SurfaceWidth(const std::string& strName)
    {
        CKorvelSurface* pSurface = m_pApp->GetSurface(S(strName));
        int iWidth = pSurface ? pSurface->GetWidth() : 0;
        m_pApp->ReleaseSurface(pSurface);
        return iWidth;
    }

    std::string FileText(const std::string& strName)
    {
        unsigned char* pData = nullptr;
        unsigned int uSize = m_pApp->GetFileData(S(strName), &pData);
        std::string str = pData ? std::string(reinterpret_cast<char*>(pData), uSize) : "<none>";
        delete[] pData;
        return str;
    }

    std::unique_ptr<CTestVornApplication> m_pApp;
};

TEST_F(CVornResourceManager, FirstPackOfATargetWinsAndTargetOneHidesTargetZero)
{
    ASSERT_TRUE(m_pApp->WritePack("a.kmp", {{"/x.png", SolidPng(4, 4)}, {"/t.txt", "from a"}}));
    ASSERT_TRUE(m_pApp->WritePack("b.kmp", {{"/x.png", SolidPng(8, 8)}, {"/t.txt", "from b"}}));
    ASSERT_TRUE(m_pApp->WritePack("c.kmp", {{"/x.png", SolidPng(2, 2)}, {"/t.txt", "from c"}}));
    ASSERT_EQ(m_pApp->AddPack(S("a.kmp"), 0, 0), 1);
    ASSERT_EQ(m_pApp->AddPack(S("b.kmp"), 0, 0), 1);
    EXPECT_EQ(SurfaceWidth("x.png"), 4);
    EXPECT_EQ(FileText("t.txt"), "from a");

    ASSERT_EQ(m_pApp->AddPack(S("c.kmp"), 0, 7), 1) << "any non-zero target is target 1";
    EXPECT_EQ(SurfaceWidth("x.png"), 2);
    EXPECT_EQ(FileText("t.txt"), "from c");

    // Removing the target-1 pack uncovers the target-0 item again.
    EXPECT_EQ(m_pApp->RemovePack(S("c.kmp"), 1), 1);
    EXPECT_EQ(SurfaceWidth("x.png"), 4);
    EXPECT_EQ(m_pApp->RemovePack(S("c.kmp"), 1), 0);
}

TEST_F(CVornResourceManager, ItemsAreKnownByTheirFileName)
{
    ASSERT_TRUE(m_pApp->WritePack("f.kmp", {{"/a/b/x.png", SolidPng(3, 3)},
                                            {"/a\\y.png", SolidPng(5, 5)},
                                            {"/deep/notes.TXT", "notes"},
                                            {"/kmp.meta", PackMeta(0, 0)},
                                            {"/Upper.PNG", SolidPng(6, 6)}}));
    ASSERT_EQ(m_pApp->AddPack(S("f.kmp"), 0, 0), 1);
    EXPECT_EQ(SurfaceWidth("x.png"), 3);
    EXPECT_EQ(SurfaceWidth("y.png"), 5) << "an item under a backslash folder loads too";
    EXPECT_EQ(SurfaceWidth("Upper.PNG"), 6) << "extensions compare without case";
    EXPECT_EQ(SurfaceWidth("b/x.png"), 0);
    EXPECT_EQ(FileText("notes.TXT"), "notes");
    EXPECT_EQ(FileText("kmp.meta"), "<none>") << "the options file is no item of its own";
}

TEST_F(CVornResourceManager, ItemsStoredWithoutAFolderAreReadUnlessAnEarlierNameHoldsTheirs)
{
    // Added as a downloaded pack is: by its full path, target 1.
    ASSERT_TRUE(m_pApp->WritePack("bare.kmp", {{"epic.png", SolidPng(7, 7)},
                                               {"pic.png", SolidPng(4, 4)},
                                               {"pic2.png", SolidPng(9, 9)},
                                               {"colours.txt", "bare text"}}));
    ASSERT_EQ(m_pApp->AddPack(S(m_pApp->AppFile("bare.kmp")), 1, 1), 1);
    EXPECT_EQ(SurfaceWidth("epic.png"), 7);
    EXPECT_EQ(SurfaceWidth("pic2.png"), 9);
    EXPECT_EQ(FileText("colours.txt"), "bare text");
    // Lookups find the first item containing the text, "epic.png" here: nothing rather than
    // the wrong picture.
    EXPECT_EQ(SurfaceWidth("pic.png"), 0);
}

TEST_F(CVornResourceManager, JetTwinStandsInForAMissingPack)
{
    ASSERT_TRUE(m_pApp->WritePack("p.jet", {{"/j.txt", "jet"}}));
    EXPECT_EQ(m_pApp->AddPack(S("p.kmp"), 0, 0), 1);
    EXPECT_EQ(m_pApp->HavePack(S(AppPath("p.jet"))), 1);
    EXPECT_EQ(m_pApp->HavePack(S(AppPath("p.kmp"))), 0);
    EXPECT_EQ(FileText("j.txt"), "jet");
    EXPECT_EQ(m_pApp->RemovePack(S("p.kmp"), 1), 1);
    EXPECT_EQ(FileText("j.txt"), "<none>");

    EXPECT_EQ(m_pApp->AddPack(S("missing.kmp"), 0, 0), 0);
    ASSERT_TRUE(WriteTestFile(m_pApp->AppFile("bad.kmp"), std::string("not a pack")));
    EXPECT_EQ(m_pApp->AddPack(S("bad.kmp"), 0, 0), 0);
    EXPECT_EQ(m_pApp->m_aPacks.GetCount(), 0);

    // A full path is taken as it stands.
    EXPECT_EQ(m_pApp->AddPack(S(m_pApp->AppFile("p.jet")), 1, 0), 1);
    EXPECT_EQ(m_pApp->RemovePack(S(m_pApp->AppFile("p.jet")), 0), 1);
}

TEST_F(CVornResourceManager, AddingAPackTwiceListsItTwice)
{
    ASSERT_TRUE(m_pApp->WritePack("d.kmp", {{"/d.txt", "d"}}));
    EXPECT_EQ(m_pApp->AddPack(S("d.kmp"), 0, 0), 1);
    EXPECT_EQ(m_pApp->AddPack(S("d.kmp"), 0, 0), 1);
    EXPECT_EQ(m_pApp->m_aPacks.GetCount(), 2);
    EXPECT_EQ(m_pApp->RemovePack(S("d.kmp"), 1), 1);
    EXPECT_EQ(m_pApp->RemovePack(S("d.kmp"), 1), 1);
    EXPECT_EQ(m_pApp->RemovePack(S("d.kmp"), 1), 0);
}

TEST_F(CVornResourceManager, FileDataIsAZeroTerminatedCopy)
{
    ASSERT_TRUE(m_pApp->WritePack("g.kmp", {{"/g.txt", std::string("a\0b", 3)}, {"/empty.txt", ""}}));
    ASSERT_EQ(m_pApp->AddPack(S("g.kmp"), 0, 0), 1);
    unsigned char* pData = nullptr;
    ASSERT_EQ(m_pApp->GetFileData(S("g.txt"), &pData), 3u);
    ASSERT_NE(pData, nullptr);
    EXPECT_EQ(std::memcmp(pData, "a\0b\0", 4), 0);
    delete[] pData;

    for (const char* pName : {"", "empty.txt", "unknown.txt"})
    {
        pData = reinterpret_cast<unsigned char*>(1);
        EXPECT_EQ(m_pApp->GetFileData(S(pName), &pData), 0u) << pName;
        EXPECT_EQ(pData, nullptr) << pName;
    }
}

TEST_F(CVornResourceManager, OnlyOnePackFileIsOpenAtATime)
{
    ASSERT_TRUE(m_pApp->WritePack("one.kmp", {{"/1.txt", "one"}}));
    ASSERT_TRUE(m_pApp->WritePack("two.kmp", {{"/2.txt", "two"}}));
    int iBefore = OpenPackFiles();
    ASSERT_EQ(m_pApp->AddPack(S("one.kmp"), 0, 0), 1);
    ASSERT_EQ(m_pApp->AddPack(S("two.kmp"), 0, 0), 1);
    EXPECT_EQ(OpenPackFiles() - iBefore, 1);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(FileText("1.txt"), "one");
        EXPECT_EQ(m_pApp->m_pCurrentPack, m_pApp->m_aPacks[0]);
        EXPECT_EQ(m_pApp->m_aPacks[1]->m_pMediaPack, nullptr);
        EXPECT_EQ(OpenPackFiles() - iBefore, 1);
        EXPECT_EQ(FileText("2.txt"), "two");
        EXPECT_EQ(m_pApp->m_aPacks[0]->m_pMediaPack, nullptr);
        EXPECT_EQ(OpenPackFiles() - iBefore, 1);
    }
    // A pack file gone since leaves its items without data and the open pack unchanged.
    ASSERT_TRUE(std::filesystem::remove(m_pApp->AppFile("one.kmp")));
    EXPECT_EQ(FileText("1.txt"), "<none>");
    EXPECT_EQ(m_pApp->m_pCurrentPack, m_pApp->m_aPacks[1]);
    m_pApp->::CVornResourceManager::Shutdown();
    EXPECT_EQ(OpenPackFiles() - iBefore, 0);
}

// ------------------------------------------------------------ resolution-neutral packs

TEST_F(CVornResourceManager, ResolutionNeutralStartIsTheNearestSizeAndTheLargerOnATie)
{
    struct sCASE
    {
        int m_iSide, m_iStart;
    } const aCases[] = {{600, 640},   {800, 768},   {1600, 1536}, {1000, 1080}, {1308, 1536},
                        {1309, 1536}, {1307, 1080}, {340, 360},   {280, 320},   {240, 240},
                        {100, 240},   {0, 240},     {5000, 1536}};
    for (const sCASE& c : aCases)
        EXPECT_EQ(::CVornResourceManager::RES_LADDER[::CVornResourceManager::ResNeutralStartIndex(c.m_iSide)],
                  c.m_iStart)
            << c.m_iSide;
}

TEST_F(CVornResourceManager, ResolutionNeutralPacksAreTriedDownwardsFromTheNearestSize)
{
    struct sCASE
    {
        int m_iWidth, m_iHeight;
        std::vector<int> m_aPresent;
        KE_RETVAL m_iResult;
        int m_iChosen;
    } const aCases[] = {
        {1024, 600, {480}, KE_OK, 480},          {1024, 600, {640, 480}, KE_OK, 640},
        {1024, 600, {768}, KE_ERR_NOTFOUND, 0},  {1024, 600, {}, KE_ERR_NOTFOUND, 0},
        {1024, 600, {240}, KE_OK, 240},          {1280, 800, {1536, 768, 640}, KE_OK, 768},
        {2000, 1600, {1536, 1080}, KE_OK, 1536}, {1600, 1000, {1536, 1080, 768}, KE_OK, 1080},
    };
    m_pApp.reset(); // one headless screen at a time
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(std::to_string(c.m_iWidth) + "x" + std::to_string(c.m_iHeight));
        CTestVornApplication app(c.m_iWidth, c.m_iHeight);
        ASSERT_EQ(app.StartHeadless(), KE_OK);
        for (int iSize : c.m_aPresent)
            ASSERT_TRUE(app.WritePack("vornfonts_" + std::to_string(iSize) + ".kmp", {{"/f.txt", "f"}}));
        CKorvelString strName("unset");
        int iSize = -1;
        EXPECT_EQ(app.AddResNeutralPack(S("vornfonts"), &strName, &iSize), c.m_iResult);
        if (c.m_iResult == KE_OK)
        {
            EXPECT_EQ(strName.Compare(S("vornfonts_" + std::to_string(c.m_iChosen) + ".kmp")), 0);
            EXPECT_EQ(iSize, c.m_iChosen);
            EXPECT_EQ(app.m_aPacks.GetCount(), 1);
        }
        else
        {
            EXPECT_EQ(strName.Compare(S("unset")), 0);
            EXPECT_EQ(iSize, -1);
        }
    }
    // The outputs are optional.
    CTestVornApplication app;
    ASSERT_EQ(app.StartHeadless(), KE_OK);
    ASSERT_TRUE(app.WritePack("vornlobby_360.kmp", {{"/l.txt", "l"}}));
    EXPECT_EQ(app.AddResNeutralPack(S("vornlobby"), nullptr, nullptr), KE_OK);
}

} // namespace
