// The match screen run frame by frame by the root state on the manual clock: the
// training hand-over from the chooser, flomps held in place, frames until a condition.
// Header only.
#pragma once

#include "game/MoxButtons.h"
#include "tests/game/PlayRulesFixture.h"

class CPlayFlowTest : public CPlayRulesTest
{
protected:
    // The root state's training chooser asks for scene iScene: one step makes the match,
    // the next runs its first frame (the scene loads, the count-down starts).
    void HandOver(int iScene)
    {
        ASSERT_NO_FATAL_FAILURE(StartMatch());
        m_pGame->RemoveState(m_pPlay);
        m_pPlay = nullptr;
        m_pGame->AddState(STATE_TRAINING);
        m_Fakes.apOther[STATE_TRAINING]->Leave(STATE_PLAY, iScene);
        Step();
        m_pPlay = dynamic_cast<CMoxPlayState*>(m_pGame->GetState(STATE_PLAY));
        ASSERT_NE(m_pPlay, nullptr);
        Step();
    }
    // Both flomps held in place, so that they settle and stay dry.
    void HoldBoth()
    {
        for (int i = 0; i < 2; ++i)
        {
            Body(i).m_uType = BODY_HELD;
            Body(i).m_vPosition.Set(i ? 0.5f : -0.5f, 1.0f);
        }
    }
    // Frames of one step until the condition holds; the number of frames run.
    template <class F> int FramesUntil(F fnDone, int iLimit = 2000)
    {
        int i = 0;
        for (; i < iLimit && !fnDone(); ++i)
            Step();
        return i;
    }
    bool Shown(int iId)
    {
        CMoxButton* pButton = m_pPlay->m_pButtons->GetButtonByID(iId);
        return pButton && pButton->m_bVisible;
    }
    // The own turn's replay is over with only these flomps alive; frames until the
    // continue button shows.
    int EndTrainingRound(bool bOwnAlive, bool bMentorAlive)
    {
        Player(0).m_bAlive = bOwnAlive;
        Player(1).m_bAlive = bMentorAlive;
        m_pPlay->m_bOwnPlaybackDone = m_pPlay->m_bTurnPackReady = m_pPlay->m_bActionTaken = 1;
        return FramesUntil([&] { return Shown(PLAY_BUTTON_CONTINUE); }, 500);
    }
};
