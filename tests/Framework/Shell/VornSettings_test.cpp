#include "Framework/Shell/VornSettings.h"

#include "support/StringUnits.h"
#include "support/TestTempDir.h"
#include "support/TestText.h"
#include "support/TestWorkingDir.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
// Named after the class under test; the class itself is ::CVornSettings here.
class CVornSettings : public ::testing::Test
{
protected:
    // Starts the settings on a file of that text.
    void Start(const std::string& strText)
    {
        CTestWorkingDir::Put(m_Dir.File("settings.txt"), strText);
        m_Settings.Startup(S(m_Dir.File("settings.txt").c_str()));
    }
    int Int(const char* pSection, const char* pKey, int iDefault)
    {
        return m_Settings.GetIntValue(S(pSection), S(pKey), iDefault);
    }

    CTestTempDir m_Dir;
    ::CVornSettings m_Settings;
};

TEST_F(CVornSettings, WithoutContentEveryQueryGivesItsDefault)
{
    const char* aStarts[] = {"missing", "empty", "folder"};
    for (const char* pStart : aStarts)
    {
        const std::string strStart = pStart;
        if (strStart == "missing")
            m_Settings.Startup(S(m_Dir.File("settings.txt").c_str()));
        else if (strStart == "empty")
            Start("");
        else
            m_Settings.Startup(S(m_Dir.Path().c_str()));
        EXPECT_EQ(Int("AUDIO", "frequency", 44100), 44100) << pStart;
        EXPECT_EQ(Int("NETWORK", "port", 5000), 5000) << pStart;
        EXPECT_EQ(m_Settings.GetFloatValue(S("GRAPHICS"), S("resx"), 1.5f), 1.5f) << pStart;
        EXPECT_EQ(Units(m_Settings.GetStringValue(S("NETWORK"), S("server"), S("lobby"))), u"lobby")
            << pStart;
    }
}

TEST_F(CVornSettings, ServesTheFileAsAnIniFileAndASecondStartReplacesIt)
{
    Start("; audio and network\r\n"
          "[GRAPHICS]\r\n"
          "resx=1280\r\n"
          "[AUDIO]\r\n"
          "// frequency=8000\r\n"
          "frequency=22050\r\n"
          "[NETWORK]\r\n"
          "server=\"127.0.0.1\"\r\n"
          "port=5100\r\n");
    EXPECT_EQ(Int("AUDIO", "frequency", 44100), 22050);
    EXPECT_EQ(Int("AUDIO", "bps", 16), 16);
    EXPECT_EQ(Int("GRAPHICS", "resx", 800), 1280);
    EXPECT_EQ(Int("NETWORK", "port", 5000), 5100);
    EXPECT_EQ(Units(m_Settings.GetStringValue(S("NETWORK"), S("server"), S(""))), u"127.0.0.1");

    Start("[AUDIO]\nchannels=1\n");
    EXPECT_EQ(Int("AUDIO", "channels", 2), 1);
    EXPECT_EQ(Int("AUDIO", "frequency", 44100), 44100);

    // The file is read once: later changes on disk do not reach the settings.
    CTestWorkingDir::Put(m_Dir.File("settings.txt"), "[AUDIO]\nchannels=6\n");
    EXPECT_EQ(Int("AUDIO", "channels", 2), 1);

    m_Settings.Shutdown();
    EXPECT_EQ(Int("AUDIO", "channels", 2), 2);
}

} // namespace
