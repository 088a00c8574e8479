#include "Framework/Shell/VornStatistics.h"

#include "support/StringUnits.h"
#include "support/TestText.h"
#include "support/TestWorkingDir.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
// "stats.dat" bytes as the format lays them out.
class CStatsBytes
{
public:
    CStatsBytes& U16(unsigned int v)
    {
        m_str += static_cast<char>(v & 0xFF);
        m_str += static_cast<char>((v >> 8) & 0xFF);
        return *this;
    }
    CStatsBytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    CStatsBytes& Text(const std::u16string& units)
    {
        U32(static_cast<uint32_t>(units.size()));
        for (char16_t c : units)
            U16(c);
        return *this;
    }
    CStatsBytes& Record(const std::u16string& name, unsigned int uType, uint32_t uValue)
    {
        return Text(name).U16(uType).U32(uValue);
    }
    CStatsBytes& Record(const std::u16string& name, const std::u16string& value)
    {
        return Text(name).U16(2).Text(value);
    }
    std::string m_str;
};

uint32_t FloatBits(float f)
{
    uint32_t u;
    memcpy(&u, &f, sizeof(u));
    return u;
}

// Named after the class under test; the class itself is ::CVornStatistics here.
class CVornStatistics : public ::testing::Test
{
protected:
    std::string StatsFile() const { return m_Dir.DataFile("stats.dat"); }
    void PutStats(const std::string& strBytes) const { CTestWorkingDir::Put(StatsFile(), strBytes); }
    // The store written by a child process running as an ordinary user (the super-user writes
    // anywhere and may change any file's mode): its result, or -1.
    int WrittenByAnotherUser()
    {
        const pid_t pid = fork();
        if (pid < 0)
            return -1;
        if (pid == 0)
        {
            if (geteuid() == 0 && (setgid(NOBODY) != 0 || setuid(NOBODY) != 0))
                _exit(100);
            _exit(m_Store.WriteStatistics());
        }
        int iStatus = 0;
        return waitpid(pid, &iStatus, 0) == pid && WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1;
    }
    static const uid_t NOBODY = 65534;

    CTestWorkingDir m_Dir;
    ::CVornStatistics m_Store;
};

TEST(CVornStatisticsProperty, EachSetterSwitchesTheTypeAndClearsTheOtherValues)
{
    CVornStatisticsProperty property;
    EXPECT_EQ(property.m_iType, CVornStatisticsProperty::TYPE_INT);
    ExpectEmpty(property.m_strName);

    struct sCASE
    {
        const char* m_pName;
        void (*m_pSet)(CVornStatisticsProperty&);
        int m_iType;
        int m_iInt;
        unsigned int m_uBool;
        const char* m_pText;
        float m_fFloat;
    };
    const sCASE aCases[] = {
        {"string", [](CVornStatisticsProperty& p) { p.SetString(S("abc")); }, 2, 0, 0, "abc", 0.0f},
        {"int", [](CVornStatisticsProperty& p) { p.SetInt(-7); }, 0, -7, 0, "", 0.0f},
        {"bool", [](CVornStatisticsProperty& p) { p.SetBool(5); }, 1, 0, 5, "", 0.0f},
        {"float", [](CVornStatisticsProperty& p) { p.SetFloat(2.5f); }, 3, 0, 0, "", 2.5f},
        {"string again", [](CVornStatisticsProperty& p) { p.SetString(S("x")); }, 2, 0, 0, "x", 0.0f},
        {"own text", [](CVornStatisticsProperty& p) { p.SetString(p.m_strStringValue); }, 2, 0, 0, "x", 0.0f},
    };
    // Run in order: every case starts from the previous case's value.
    for (const sCASE& c : aCases)
    {
        c.m_pSet(property);
        EXPECT_EQ(property.m_iType, c.m_iType) << c.m_pName;
        EXPECT_EQ(property.m_iIntValue, c.m_iInt) << c.m_pName;
        EXPECT_EQ(property.m_uBoolValue, c.m_uBool) << c.m_pName;
        EXPECT_EQ(Units(property.m_strStringValue), Units(S(c.m_pText))) << c.m_pName;
        EXPECT_EQ(property.m_fFloatValue, c.m_fFloat) << c.m_pName;
    }
}

TEST_F(CVornStatistics, KeepsInsertionOrderAndDuplicatesAndFindsTheFirstByExactName)
{
    CVornStatisticsProperty* pFirst = m_Store.AddProperty(S("volume"));
    CVornStatisticsProperty* pOther = m_Store.AddProperty(S("mute"));
    CVornStatisticsProperty* pSecond = m_Store.AddProperty(S("volume"));
    ASSERT_EQ(m_Store.GetPropertyCount(), 3);
    EXPECT_EQ(m_Store.GetProperty(0), pFirst);
    EXPECT_EQ(m_Store.GetProperty(2), pSecond);
    EXPECT_EQ(m_Store.GetProperty(-1), nullptr);
    EXPECT_EQ(m_Store.GetProperty(3), nullptr);
    EXPECT_EQ(m_Store.GetProperty(S("volume")), pFirst);
    EXPECT_EQ(m_Store.GetProperty(S("Volume")), nullptr);
    EXPECT_EQ(m_Store.GetProperty(S("vol")), nullptr);
    EXPECT_EQ(pOther->m_iType, CVornStatisticsProperty::TYPE_INT);
    EXPECT_EQ(pOther->m_iIntValue, 0);
}

TEST_F(CVornStatistics, RemovingGivesThePropertyUpWithoutDeletingIt)
{
    CVornStatisticsProperty* pA = m_Store.AddProperty(S("a"));
    CVornStatisticsProperty* pB = m_Store.AddProperty(S("b"));
    CVornStatisticsProperty* pC = m_Store.AddProperty(S("c"));

    EXPECT_EQ(m_Store.RemoveProperty(5), 0);
    EXPECT_EQ(m_Store.RemoveProperty(-1), 0);
    EXPECT_EQ(m_Store.RemoveProperty(S("none")), 0);
    EXPECT_EQ(m_Store.RemoveProperty(static_cast<CVornStatisticsProperty*>(nullptr)), 0);

    EXPECT_EQ(m_Store.RemoveProperty(1), 1);
    EXPECT_EQ(m_Store.RemoveProperty(pA), 1);
    EXPECT_EQ(m_Store.RemoveProperty(pA), 0);
    EXPECT_EQ(m_Store.RemoveProperty(S("c")), 1);
    EXPECT_EQ(m_Store.GetPropertyCount(), 0);
    // The caller owns them now (a double delete would show under the sanitizer).
    pB->SetString(S("still alive"));
    delete pA;
    delete pB;
    delete pC;
}

TEST_F(CVornStatistics, WritesTheFileByteForByteAndReadsAllFourTypesBack)
{
    m_Store.AddProperty(S("__Vorn_Sounds_Volume"))->SetInt(-80);
    m_Store.AddProperty(S("mute"))->SetBool(0x12345678);
    m_Store.AddProperty(S("theme"))->SetString(FromUnits(u"caf\u00e9 \u0141"));
    m_Store.AddProperty(S("ratio"))->SetFloat(-1.25f);
    m_Store.AddProperty(S(""))->SetInt(99);
    m_Store.AddProperty(S("empty"))->SetString(S(""));
    m_Store.AddProperty(S("theme"))->SetInt(2);
    ASSERT_EQ(m_Store.WriteStatistics(), KE_OK);

    const std::string strExpected = CStatsBytes()
                                        .U32(1)
                                        .U32(6)
                                        .Record(u"__Vorn_Sounds_Volume", 0, static_cast<uint32_t>(-80))
                                        .Record(u"mute", 1, 0x12345678)
                                        .Record(u"theme", u"caf\u00e9 \u0141")
                                        .Record(u"ratio", 3, FloatBits(-1.25f))
                                        .Record(u"empty", u"")
                                        .Record(u"theme", 0, 2)
                                        .m_str;
    EXPECT_EQ(CTestWorkingDir::Get(StatsFile()), strExpected);
    EXPECT_FALSE(CTestWorkingDir::Exists(StatsFile() + ".tmp"));

    ::CVornStatistics store;
    store.AddProperty(S("replaced"));
    ASSERT_EQ(store.Startup(nullptr), KE_OK);
    ASSERT_EQ(store.GetPropertyCount(), 6);
    EXPECT_EQ(store.GetProperty(S("replaced")), nullptr);
    EXPECT_EQ(store.GetProperty(S("__Vorn_Sounds_Volume"))->m_iIntValue, -80);
    EXPECT_EQ(store.GetProperty(S("mute"))->m_iType, CVornStatisticsProperty::TYPE_BOOL);
    EXPECT_EQ(store.GetProperty(S("mute"))->m_uBoolValue, 0x12345678u);
    EXPECT_EQ(Units(store.GetProperty(S("theme"))->m_strStringValue), u"caf\u00e9 \u0141");
    EXPECT_EQ(store.GetProperty(S("ratio"))->m_fFloatValue, -1.25f);
    // The unnamed property is gone; the empty text is still a text.
    const CVornStatisticsProperty* pEmpty = store.GetProperty(4);
    EXPECT_EQ(Units(pEmpty->m_strName), u"empty");
    EXPECT_EQ(pEmpty->m_iType, CVornStatisticsProperty::TYPE_STRING);
    ExpectEmpty(pEmpty->m_strStringValue);
    // Both of the same name survive; the lookup finds the first.
    EXPECT_EQ(store.GetProperty(5)->m_iIntValue, 2);
    EXPECT_EQ(store.GetProperty(S("theme"))->m_iType, CVornStatisticsProperty::TYPE_STRING);
}

TEST_F(CVornStatistics, ReadingResultsByFileContent)
{
    struct sCASE
    {
        const char* m_pName;
        std::string m_strBytes;
        KE_RETVAL m_iResult;
        int m_iCount; // properties afterwards; the store holds one before
    };
    const sCASE aCases[] = {
        {"unknown type 7 reads as an int", CStatsBytes().U32(1).U32(1).Record(u"x", 7, 0xFFFFFFFE).m_str,
         KE_OK, 1},
        {"version 2 is ignored", CStatsBytes().U32(2).U32(1).Record(u"x", 0, 5).m_str, KE_ERR_DECODE, 1},
        {"empty file", "", KE_ERR_BADDATA, 1},
        {"no count", CStatsBytes().U32(1).m_str, KE_ERR_BADDATA, 0},
        {"zero records", CStatsBytes().U32(1).U32(0).m_str, KE_OK, 0},
        {"name length 0", CStatsBytes().U32(1).U32(2).Record(u"a", 0, 1).U32(0).U16(0).U32(0).m_str,
         KE_ERR_BADDATA, 1},
        {"huge name length",
         CStatsBytes().U32(1).U32(2).Record(u"a", 0, 1).U32(0x7FFFFFFF).U16(0).U32(0).m_str, KE_ERR_BADDATA,
         1},
        {"negative name length", CStatsBytes().U32(1).U32(1).U32(0xFFFFFFFF).U16(0).U16(0).U32(0).m_str,
         KE_ERR_BADDATA, 0},
        {"huge text length",
         CStatsBytes().U32(1).U32(2).Record(u"a", 0, 1).Text(u"b").U16(2).U32(0x40000000).m_str,
         KE_ERR_BADDATA, 1},
        {"count beyond the records", CStatsBytes().U32(1).U32(0xFFFFFFFF).Record(u"a", 3, 0).m_str,
         KE_ERR_BADDATA, 1},
    };
    for (const sCASE& c : aCases)
    {
        ::CVornStatistics store;
        store.AddProperty(S("before"))->SetInt(42);
        PutStats(c.m_strBytes);
        EXPECT_EQ(store.ReadStatistics(), c.m_iResult) << c.m_pName;
        EXPECT_EQ(store.GetPropertyCount(), c.m_iCount) << c.m_pName;
    }

    ::CVornStatistics store;
    PutStats(aCases[0].m_strBytes);
    ASSERT_EQ(store.ReadStatistics(), KE_OK);
    EXPECT_EQ(store.GetProperty(0)->m_iType, CVornStatisticsProperty::TYPE_INT);
    EXPECT_EQ(store.GetProperty(0)->m_iIntValue, -2);

    // The properties already in memory are untouched by another version.
    store.GetProperty(0)->SetString(S("kept"));
    PutStats(aCases[1].m_strBytes);
    EXPECT_EQ(store.ReadStatistics(), KE_ERR_DECODE);
    EXPECT_EQ(Units(store.GetProperty(0)->m_strStringValue), u"kept");

    unlink(StatsFile().c_str());
    EXPECT_EQ(store.ReadStatistics(), KE_ERR_FILEOPEN);
    EXPECT_EQ(store.GetPropertyCount(), 1);
}

TEST_F(CVornStatistics, AFileCutAnywhereKeepsTheCompleteRecordsBeforeTheCut)
{
    CStatsBytes bytes;
    bytes.U32(1).U32(4);
    std::vector<size_t> aRecordEnds;
    bytes.Record(u"first", 0, 1);
    aRecordEnds.push_back(bytes.m_str.size());
    bytes.Record(u"second", u"some text");
    aRecordEnds.push_back(bytes.m_str.size());
    bytes.Record(u"third", 3, FloatBits(0.5f));
    aRecordEnds.push_back(bytes.m_str.size());
    bytes.Record(u"fourth", u"");
    aRecordEnds.push_back(bytes.m_str.size());

    for (size_t uCut = 0; uCut <= bytes.m_str.size(); ++uCut)
    {
        // An exact-size copy, so that the sanitizer sees any read past the end.
        PutStats(bytes.m_str.substr(0, uCut));
        ::CVornStatistics store;
        const KE_RETVAL ret = store.ReadStatistics();
        int iComplete = 0;
        for (size_t uEnd : aRecordEnds)
            iComplete += uEnd <= uCut;
        EXPECT_EQ(store.GetPropertyCount(), iComplete) << "cut at " << uCut;
        EXPECT_EQ(ret, uCut == bytes.m_str.size() ? KE_OK : KE_ERR_BADDATA) << "cut at " << uCut;
    }
}

// At start a file that does not read whole, or a folder in its place, is set aside with one
// line on the terminal: nothing of it is overwritten, and the store can be saved again.
TEST_F(CVornStatistics, AStoreThatCannotBeReadIsSetAsideWithALineAndSavingGoesOn)
{
    const std::string strGood = CStatsBytes().U32(1).U32(1).Record(u"kept", 0, 7).m_str;
    struct sCASE
    {
        const char* m_pName;
        std::string m_strBytes; // the file's; empty: a folder holding one file
        const char* m_pLine;    // what the terminal line says; null: no line
        int m_iCount;           // properties read
    };
    const sCASE aCases[] = {
        {"a whole file", strGood, nullptr, 1},
        {"cut in its second record", CStatsBytes().U32(1).U32(2).Record(u"kept", 0, 7).U32(9).m_str,
         "is damaged", 1},
        {"another version", CStatsBytes().U32(2).U32(0).m_str, "is damaged", 0},
        {"a folder", "", "is a folder", 0},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.m_pName);
        CTestWorkingDir dir;
        const std::string strFile = dir.DataFile("stats.dat");
        if (c.m_strBytes.empty())
            CTestWorkingDir::Put(strFile + "/notes.txt", "mine");
        else
            CTestWorkingDir::Put(strFile, c.m_strBytes);

        ::CVornStatistics store;
        testing::internal::CaptureStderr();
        EXPECT_EQ(store.Startup(nullptr), KE_OK);
        const std::string strLines = testing::internal::GetCapturedStderr();
        EXPECT_EQ(store.GetPropertyCount(), c.m_iCount);
        if (!c.m_pLine)
        {
            EXPECT_EQ(strLines, "");
            EXPECT_EQ(CTestWorkingDir::Get(strFile), c.m_strBytes);
            continue;
        }
        EXPECT_EQ(std::count(strLines.begin(), strLines.end(), '\n'), 1) << strLines;
        EXPECT_NE(strLines.find(c.m_pLine), std::string::npos) << strLines;
        EXPECT_NE(strLines.find("stats.dat.bad"), std::string::npos) << strLines;
        if (c.m_strBytes.empty())
            EXPECT_EQ(CTestWorkingDir::Get(strFile + ".bad/notes.txt"), "mine");
        else
            EXPECT_EQ(CTestWorkingDir::Get(strFile + ".bad"), c.m_strBytes);

        store.AddProperty(S("after"))->SetInt(1);
        ASSERT_EQ(store.WriteStatistics(), KE_OK);
        ::CVornStatistics again;
        ASSERT_EQ(again.ReadStatistics(), KE_OK);
        EXPECT_EQ(again.GetPropertyCount(), c.m_iCount + 1);
    }
}

TEST_F(CVornStatistics, WritingCreatesTheDataFolderAndReportsWhatCannotBeWritten)
{
    m_Store.AddProperty(S("a"))->SetInt(1);
    ASSERT_FALSE(CTestWorkingDir::Exists(m_Dir.Path() + "/data"));
    ASSERT_EQ(m_Store.WriteStatistics(), KE_OK);
    // The owner's only: the store holds a remembered login.
    const auto Mode = [](const std::string& strPath)
    {
        struct stat info = {};
        return stat(strPath.c_str(), &info) == 0 ? info.st_mode & 0777 : 0u;
    };
    EXPECT_EQ(Mode(StatsFile()), 0600u);
    EXPECT_EQ(Mode(m_Dir.Path() + "/data"), 0700u);
    // Files of an older build, readable by everyone, are the owner's after the next save.
    CTestWorkingDir::Put(StatsFile() + ".tmp", "left by a killed writer");
    chmod((StatsFile() + ".tmp").c_str(), 0644);
    chmod(StatsFile().c_str(), 0644);
    ASSERT_EQ(m_Store.WriteStatistics(), KE_OK);
    EXPECT_EQ(Mode(StatsFile()), 0600u);
    const std::string strOld = CTestWorkingDir::Get(StatsFile());
    ASSERT_FALSE(strOld.empty());

    m_Store.AddProperty(S("b"))->SetString(S("a longer text that makes the file grow"));
    // A write that the file-size limit refuses fails and keeps the old file.
    {
        struct sigaction ignore = {}, saved = {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &saved);
        rlimit limit = {}, savedLimit = {};
        getrlimit(RLIMIT_FSIZE, &savedLimit);
        limit.rlim_cur = 10;
        limit.rlim_max = savedLimit.rlim_max;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const KE_RETVAL ret = m_Store.WriteStatistics();
        setrlimit(RLIMIT_FSIZE, &savedLimit);
        sigaction(SIGXFSZ, &saved, nullptr);
        EXPECT_EQ(ret, KE_ERR_DEVICE);
    }
    EXPECT_EQ(CTestWorkingDir::Get(StatsFile()), strOld);
    EXPECT_FALSE(CTestWorkingDir::Exists(StatsFile() + ".tmp"));

    // A data "folder" that is a file cannot be created.
    CTestWorkingDir other;
    CTestWorkingDir::Put(other.Path() + "/data", "not a folder");
    EXPECT_EQ(m_Store.WriteStatistics(), KE_ERR_FILEOPEN);
    EXPECT_EQ(CTestWorkingDir::Get(other.Path() + "/data"), "not a folder");
}

TEST_F(CVornStatistics, AReadOnlyDataFolderFailsAndKeepsTheOldFile)
{
    m_Store.AddProperty(S("a"))->SetInt(1);
    ASSERT_EQ(m_Store.WriteStatistics(), KE_OK);
    const std::string strOld = CTestWorkingDir::Get(StatsFile());
    m_Store.GetProperty(0)->SetInt(2);

    ASSERT_EQ(chmod(m_Dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(chmod((m_Dir.Path() + "/data").c_str(), 0555), 0);
    EXPECT_EQ(WrittenByAnotherUser(), KE_ERR_FILEOPEN);
    chmod((m_Dir.Path() + "/data").c_str(), 0755);
    EXPECT_EQ(CTestWorkingDir::Get(StatsFile()), strOld);
}

TEST_F(CVornStatistics, ATemporaryFileThatCannotBeMadeTheWritersOwnFailsAndIsNotLeftBehind)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only the super-user can leave a file another user cannot change the mode of";
    m_Store.AddProperty(S("a"))->SetInt(1);
    ASSERT_EQ(m_Store.WriteStatistics(), KE_OK);
    const std::string strOld = CTestWorkingDir::Get(StatsFile());
    m_Store.GetProperty(0)->SetInt(2);
    // Left by another user's writer in a folder everyone may write: the writer may open it but
    // not make it its own only.
    ASSERT_EQ(chmod(m_Dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(chmod((m_Dir.Path() + "/data").c_str(), 0777), 0);
    CTestWorkingDir::Put(StatsFile() + ".tmp", "left by another user");
    ASSERT_EQ(chmod((StatsFile() + ".tmp").c_str(), 0666), 0);
    EXPECT_EQ(WrittenByAnotherUser(), KE_ERR_FILEOPEN);
    EXPECT_FALSE(CTestWorkingDir::Exists(StatsFile() + ".tmp"));
    EXPECT_EQ(CTestWorkingDir::Get(StatsFile()), strOld);
}

TEST_F(CVornStatistics, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewStore)
{
    ::CVornStatistics storeA, storeB;
    storeA.AddProperty(S("__Vorn_Language_vornlanguage"))->SetString(S("fi"));
    storeA.AddProperty(S("launches"))->SetInt(3);
    for (int i = 0; i < 200; ++i)
        storeB.AddProperty(S("scene_cleared"))->SetBool(static_cast<unsigned int>(i));
    ASSERT_EQ(storeB.WriteStatistics(), KE_OK);
    const std::string strB = CTestWorkingDir::Get(StatsFile());
    ASSERT_EQ(storeA.WriteStatistics(), KE_OK);
    const std::string strA = CTestWorkingDir::Get(StatsFile());

    std::mt19937 random(22);
    for (int iRound = 0; iRound < 1000; ++iRound)
    {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
        {
            for (unsigned int k = 0;; ++k)
                (k & 1 ? storeA : storeB).WriteStatistics();
        }
        usleep(random() % 4000);
        ASSERT_EQ(kill(pid, SIGKILL), 0);
        int iStatus = 0;
        ASSERT_EQ(waitpid(pid, &iStatus, 0), pid);
        const std::string strNow = CTestWorkingDir::Get(StatsFile());
        ASSERT_TRUE(strNow == strA || strNow == strB)
            << "round " << iRound << ": " << strNow.size() << " bytes";
    }
    ::CVornStatistics store;
    EXPECT_EQ(store.ReadStatistics(), KE_OK);
    EXPECT_TRUE(store.GetPropertyCount() == 2 || store.GetPropertyCount() == 200);
}

} // namespace
