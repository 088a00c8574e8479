// The process entry with the game's two hooks played by the test: flags first, then
// the application made, run to the navigator's exit and deleted.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "KorvelCommon/KorvelEntry.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "support/TestApplication.h"

namespace
{

struct sHOOKS
{
    unsigned int uFlags = 0;
    KE_RETVAL iInitDone = KE_OK;
    // What the entry did, in order.
    std::vector<std::string> aSteps;
    unsigned int uFlagsAtInit = 0;
    void* pHandle = reinterpret_cast<void*>(1);
};

sHOOKS g_Hooks;

class CEntryApplication : public CTestApplication
{
public:
    ~CEntryApplication() override { g_Hooks.aSteps.push_back("deleted"); }
    void OnExit() override { g_Hooks.aSteps.push_back("exit"); }
};

} // namespace

unsigned int KorvelAppGlobalFlags()
{
    g_Hooks.aSteps.push_back("flags");
    return g_Hooks.uFlags;
}

// As the game does it: the application started at 800 x 600, or null after deleting it.
IKorvelApplication* InitKorvelApp(void* pHandle)
{
    g_Hooks.aSteps.push_back("init");
    g_Hooks.uFlagsAtInit = g_KEAppGlobalFlags;
    g_Hooks.pHandle = pHandle;
    CEntryApplication* pApplication = new CEntryApplication;
    pApplication->m_iInitDoneResult = g_Hooks.iInitDone;
    SKE_DISPLAYMODE mode = {800, 600, KE_SURFACE_COMPATIBLE, 0, 0, 0};
    if (pApplication->Startup(pHandle, &mode) != KE_OK)
    {
        delete pApplication;
        return nullptr;
    }
    plat::InjectNavigatorExit(); // the user closes it at once
    return pApplication;
}

namespace
{

class CKorvelProcessEntryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetHeadlessPlatform();
        g_Hooks = sHOOKS();
    }
    void TearDown() override { g_KEAppGlobalFlags = 0; }
};

TEST_F(CKorvelProcessEntryTest, RunsTheGamesApplicationToItsExitAndDeletesIt)
{
    g_Hooks.uFlags = 1;
    EXPECT_EQ(::KorvelProcessEntry(), 0);
    EXPECT_EQ(g_Hooks.aSteps, (std::vector<std::string>{"flags", "init", "exit", "deleted"}));
    EXPECT_EQ(g_Hooks.uFlagsAtInit, 1u) << "the flags are stored before the application exists";
    EXPECT_EQ(g_Hooks.pHandle, nullptr);
    EXPECT_EQ(plat::CountCalls("navigator_rotation_lock"), 1);
    EXPECT_EQ(plat::GetCallNames().back(), "screen_destroy_context");
}

TEST_F(CKorvelProcessEntryTest, AnApplicationThatDoesNotStartEndsTheProcessWithAFailure)
{
    g_Hooks.iInitDone = KE_ERR_NOTSTARTED;
    EXPECT_EQ(::KorvelProcessEntry(), EXIT_FAILURE);
    EXPECT_EQ(g_Hooks.aSteps, (std::vector<std::string>{"flags", "init", "exit", "deleted"}))
        << "one exit from the failed start-up, nothing run";
    EXPECT_EQ(plat::CountCalls("screen_destroy_window"), 1);
}

} // namespace
