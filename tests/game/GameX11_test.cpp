// End to end under Xvfb: the test build's game executable in a folder of generated
// packs starts, shows the splash, runs the game's root state under the lobby
// (whose activation opens the main menu: once the game's resources are loaded its play
// button covers the centre), and ends with 0 when the window manager's close message
// arrives; the statistics store then counts one launch.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "support/ChildProcess.h"
#include "support/TestShellPacks.h"
#include "support/TestTempDir.h"
#include "support/WaitLimit.h"
#include "support/X11TestClient.h"
#include "tests/Framework/Shell/ShellTestStats.h"
#include "tests/game/GameTestPacks.h"

namespace
{

const int WIDTH = 800, HEIGHT = 600;

// A guard against hanging, not a measurement.
const int WAIT_SECONDS = int(TEST_WAIT_LIMIT.count());

class CGame
{
public:
    // Starts the executable in the folder with stderr into a file there.
    CGame(const std::string& strDir) : m_strDir(strDir)
    {
        const char* pBuild = std::getenv("KORVEL_BINARY_DIR");
        const std::string strExe = std::string(pBuild ? pBuild : ".") + "/game/quorvalin";
        const pid_t parent = getpid();
        m_iPid = fork();
        if (m_iPid == 0)
        {
            DieWithTest(parent);
            if (chdir(strDir.c_str()) != 0)
                _exit(126);
            const int iErr = open((strDir + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (iErr >= 0)
                dup2(iErr, 2);
            execl(strExe.c_str(), strExe.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~CGame()
    {
        if (m_iPid > 0 && !m_bEnded)
        {
            kill(m_iPid, SIGKILL);
            waitpid(m_iPid, nullptr, 0);
        }
    }
    // The exit status once it ended by itself; -1 when it did not end or was killed.
    int Wait()
    {
        int iStatus = 0;
        m_bEnded = TestWaitFor([&] { return waitpid(m_iPid, &iStatus, WNOHANG) == m_iPid; }, WAIT_SECONDS);
        return m_bEnded && WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1;
    }
    std::string Stderr() const
    {
        const std::vector<uint8_t> aBytes = ReadTestFile(m_strDir + "/stderr.txt");
        return std::string(aBytes.begin(), aBytes.end());
    }

private:
    std::string m_strDir;
    pid_t m_iPid = -1;
    bool m_bEnded = false;
};

// The top-level window of that title, or 0.
Window FindWindow(Display* pDisplay, const char* pTitle)
{
    Window root = DefaultRootWindow(pDisplay), parent = 0, *pChildren = nullptr;
    unsigned int uCount = 0;
    Window found = 0;
    if (!XQueryTree(pDisplay, root, &root, &parent, &pChildren, &uCount))
        return 0;
    for (unsigned int u = 0; u < uCount && !found; ++u)
    {
        char* pName = nullptr;
        if (XFetchName(pDisplay, pChildren[u], &pName) && pName)
        {
            if (std::string(pName) == pTitle)
                found = pChildren[u];
            XFree(pName);
        }
    }
    if (pChildren)
        XFree(pChildren);
    return found;
}

// The window's centre pixel as 0xRRGGBB.
unsigned long CentrePixel(Display* pDisplay, Window window)
{
    XImage* pImage = XGetImage(pDisplay, window, WIDTH / 2, HEIGHT / 2, 1, 1, AllPlanes, ZPixmap);
    if (!pImage)
        return 0xFFFFFFFFul;
    const unsigned long uPixel = XGetPixel(pImage, 0, 0) & 0xFFFFFFul;
    XDestroyImage(pImage);
    return uPixel;
}

bool Near(unsigned long uPixel, unsigned int uRgb)
{
    for (int iShift : {0, 8, 16})
        if (std::abs(int((uPixel >> iShift) & 0xFF) - int((uRgb >> iShift) & 0xFF)) > 12)
            return false;
    return true;
}

class CStateGameX11 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strApp = m_Dir.Path() + "/app/native";
        std::filesystem::create_directories(m_strApp);
        ASSERT_TRUE(WriteGameTestPacks(m_strApp));
        ASSERT_TRUE(
            WriteTestFile(m_strApp + "/settings.txt", "[GRAPHICS]\nresx=800\nresy=600\nfullscreen=0\n"));
        m_pDisplay = XOpenDisplay(nullptr);
        ASSERT_NE(m_pDisplay, nullptr) << "runs under its own X server";
    }
    void TearDown() override
    {
        if (m_pDisplay)
            XCloseDisplay(m_pDisplay);
    }

    CTestTempDir m_Dir;
    std::string m_strApp;
    Display* m_pDisplay = nullptr;
};

TEST_F(CStateGameX11, StartsShowsTheSplashRunsTheGameAndEndsOnClose)
{
    ASSERT_TRUE(WriteShellStartupPacks(m_strApp, WIDTH, HEIGHT));
    // The lobby keeps an in-game dialog open, so the game's menu is in front.
    ASSERT_TRUE(WriteLobbyStubLayout(m_strApp));
    CGame game(m_Dir.Path());
    Window window = 0;
    ASSERT_TRUE(
        TestWaitFor([&] { return (window = FindWindow(m_pDisplay, "Quorvalin")) != 0; }, WAIT_SECONDS))
        << game.Stderr();
    XClassHint classHint = {};
    ASSERT_TRUE(XGetClassHint(m_pDisplay, window, &classHint));
    EXPECT_STREQ(classHint.res_class, "quorvalin");
    XFree(classHint.res_name);
    XFree(classHint.res_class);
    // Drawn and hit for one size only: the window manager is asked to keep it at its size.
    XSizeHints sizeHints = {};
    XWindowAttributes attributes = {};
    const bool bFixed = TestWaitFor(
        [&]
        {
            long lSupplied = 0;
            return XGetWMNormalHints(m_pDisplay, window, &sizeHints, &lSupplied) &&
                   XGetWindowAttributes(m_pDisplay, window, &attributes) &&
                   (sizeHints.flags & (PMinSize | PMaxSize)) == (PMinSize | PMaxSize) &&
                   sizeHints.min_width == attributes.width && sizeHints.max_width == attributes.width &&
                   sizeHints.min_height == attributes.height && sizeHints.max_height == attributes.height;
        },
        WAIT_SECONDS);
    EXPECT_TRUE(bFixed) << "a " << attributes.width << "x" << attributes.height << " window may take "
                        << sizeHints.min_width << "x" << sizeHints.min_height << " to " << sizeHints.max_width
                        << "x" << sizeHints.max_height;

    bool bSplash = false;
    const bool bMenu = TestWaitFor(
        [&]
        {
            const unsigned long uPixel = CentrePixel(m_pDisplay, window);
            for (int i = 0; i < 12 && !bSplash; ++i)
                bSplash = Near(uPixel, TestIntroFrameColour(i));
            // After the splash the game's menu: its play button ("nextround.png") in the middle.
            return bSplash && Near(uPixel, GameTestTextureColour(60));
        },
        WAIT_SECONDS);
    EXPECT_TRUE(bSplash) << "the splash was shown";
    EXPECT_TRUE(bMenu) << "the game's menu showed after the splash";

    TestX11Close(m_pDisplay, window);
    EXPECT_EQ(game.Wait(), 0) << game.Stderr();

    char acPrevious[4096];
    const std::string strPrevious = getcwd(acPrevious, sizeof(acPrevious)) ? acPrevious : ".";
    ASSERT_EQ(chdir(m_Dir.Path().c_str()), 0);
    const std::map<std::string, std::string> stored = StoredSettings();
    ASSERT_EQ(chdir(strPrevious.c_str()), 0);
    EXPECT_EQ(stored.count("__Vorn_TimesLaunched") ? stored.at("__Vorn_TimesLaunched") : "", "1");
}

TEST_F(CStateGameX11, WithoutTheFrameworksPacksItEndsAtStartUpNamingThePack)
{
    ASSERT_TRUE(WriteTestFile(m_strApp + "/vornlanguage_en.kmp",
                              TestLanguagePackBytes("English", "en", TestFrameworkTexts())));
    CGame game(m_Dir.Path());
    EXPECT_EQ(game.Wait(), EXIT_FAILURE);
    EXPECT_NE(game.Stderr().find("start-up: vornsounds.kmp failed"), std::string::npos) << game.Stderr();
}

} // namespace
