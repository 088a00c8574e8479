// The root state's tests run on the shell's test application at 800 x 600 (headless Mesa
// GL, sound on the capture sink, music on the capture output, session and lobby doubles)
// with the game's packs written into its folder, a clock moved by hand, and fake screens
// and a fake chat overlay in the game's screen table. Header only.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "Framework/Shell/VornStatistics.h"
#include "game/StateGame.h"
#include "support/InputTestApplication.h"
#include "support/TestKestrolundApplication.h"
#include "tests/game/GameFakeScreens.h"
#include "tests/game/GameTestPacks.h"

class CGameTestApplication : public CTestKestrolundApplication
{
public:
    CGameTestApplication() : CTestKestrolundApplication(800, 600) {}
    using CKestrolundApplication::m_uMusicLoop;
    using CKestrolundApplication::m_uResultsSent;
    using CVornResourceManager::m_aPacks;
};

class CGameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_App.WritePacks(false));
        ASSERT_TRUE(WriteGameTestPacks(m_App.Dir() + "/app/native"));
        ASSERT_EQ(m_App.Start(), KE_OK);
    }
    void TearDown() override
    {
        // Before the application: the game's programs need its GL context.
        m_pGame.reset();
    }
    // Starts the game (made here unless given) with the fakes on the manual clock.
    void StartGame(CStateGame* pGame = nullptr, bool bChat = true)
    {
        m_pGame.reset(pGame ? pGame : new CStateGame());
        m_pGame->SetClock(&m_Clock);
        m_Fakes.Install(*m_pGame, bChat);
        ASSERT_EQ(m_pGame->Startup(&m_App), KE_OK);
    }
    // Moves the clock and runs one frame of the game.
    void Frame(unsigned int uMilliseconds)
    {
        m_Clock.Advance(uMilliseconds);
        m_pGame->Update(0.0f);
    }
    // One frame of exactly one step.
    void Step() { Frame(33); }
    // The boolean setting as the application holds it.
    unsigned int Setting(const char* pName)
    {
        CVornStatisticsProperty* pProperty = m_App.GetStatistics()->GetProperty(CKorvelString(pName));
        return pProperty ? pProperty->m_uBoolValue : 0xFFu;
    }
    std::vector<std::string> ScreenNames()
    {
        std::vector<std::string> aNames;
        for (int i = 0; i < m_pGame->GetStateCount(); ++i)
            aNames.push_back(std::to_string(int(m_pGame->GetStateAt(i)->GetStateID())));
        return aNames;
    }

    CGameTestApplication m_App;
    CManualClock m_Clock;
    sFakeScreens m_Fakes;
    std::unique_ptr<CStateGame> m_pGame;
};
