// Opening web pages on the X11 back end: the browser is started through xdg-open
// with the address as its only argument, detached, leaving no zombie. A script of
// the test stands in for xdg-open, so no browser is ever started.
#include "PlatformControl.h"
#include "PlatformNavigator.h"

#include "support/ScopedEnv.h"
#include "support/TestTempDir.h"
#include "support/TestWorkingDir.h"

#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace
{

using namespace plat;

class CPlatformNavigatorInvokeX11 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetPlatform(eBackend::X11);
        // Each run appends its argument count and arguments, one a line.
        m_strLog = m_Dir.File("opened.log");
        CTestWorkingDir::Put(m_Dir.File("xdg-open"),
                             "#!/bin/sh\n"
                             "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } >> '" +
                                 m_strLog + "'\n");
        ASSERT_EQ(chmod(m_Dir.File("xdg-open").c_str(), 0755), 0);
        const char* pszPath = getenv("PATH");
        m_pPath =
            std::make_unique<CScopedEnv>("PATH", (m_Dir.Path() + ":" + (pszPath ? pszPath : "")).c_str());
    }
    void TearDown() override { ResetPlatform(eBackend::Headless); }

    // Waits for the detached script to write that many lines; not an assertion on time.
    std::string LogOfLines(int iLines)
    {
        for (int i = 0; i < 3000; ++i)
        {
            const std::string strLog = CTestWorkingDir::Get(m_strLog);
            int iCount = 0;
            for (char c : strLog)
                iCount += c == '\n';
            if (iCount >= iLines)
                return strLog;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return CTestWorkingDir::Get(m_strLog);
    }

    CTestTempDir m_Dir;
    std::string m_strLog;
    std::unique_ptr<CScopedEnv> m_pPath;
};

TEST_F(CPlatformNavigatorInvokeX11, TheAddressReachesXdgOpenAsItsOnlyArgumentAndNoZombieRemains)
{
    ASSERT_EQ(GetSelectedBackend(), eBackend::X11);
    const std::string strAddress = "https://example.invalid/a b;$(touch x)&c='d'";
    EXPECT_EQ(navigator_invoke(strAddress.c_str(), nullptr), BPS_SUCCESS);
    EXPECT_EQ(LogOfLines(2), "1\n" + strAddress + "\n");

    // The intermediate process was reaped and the script is not our child.
    int iStatus = 0;
    EXPECT_EQ(waitpid(-1, &iStatus, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_FALSE(CTestWorkingDir::Exists("x"));
}

TEST_F(CPlatformNavigatorInvokeX11, RefusedAddressesAndASwitchedOffBrowserStartNothing)
{
    EXPECT_EQ(navigator_invoke("file:///etc/passwd", nullptr), BPS_FAILURE);
    {
        CScopedEnv noBrowser("KORVEL_NO_BROWSER", "1");
        EXPECT_EQ(navigator_invoke("https://example.invalid/off", nullptr), BPS_SUCCESS);
    }
    // A run started afterwards is the only one the script saw.
    EXPECT_EQ(navigator_invoke("http://example.invalid/on", nullptr), BPS_SUCCESS);
    EXPECT_EQ(LogOfLines(2), "1\nhttp://example.invalid/on\n");
}

} // namespace
