// The screen list and the transitions between screens.
#include "game/StateGame.h"

#include "Framework/Shell/VornApplication.h"

CMoxState* CStateGame::GetState(STATE_ID eId)
{
    if (eId == STATE_NONE)
        return nullptr;
    for (int i = 0; i < m_States.GetCount(); ++i)
    {
        CMoxState* pState = GetStateAt(i);
        if (pState && pState->GetStateID() == eId)
            return pState;
    }
    return nullptr;
}

CMoxPlayStateBase* CStateGame::GetPlayState()
{
    return dynamic_cast<CMoxPlayStateBase*>(GetState(STATE_PLAY));
}

CMoxMenuStateBase* CStateGame::GetMenuState()
{
    return dynamic_cast<CMoxMenuStateBase*>(GetState(STATE_MENU));
}

CMoxIntroStateBase* CStateGame::GetIntroState()
{
    return dynamic_cast<CMoxIntroStateBase*>(GetState(STATE_INTRO));
}

CMoxState* CStateGame::AddState(STATE_ID eId)
{
    if (eId <= STATE_NONE || eId >= STATE_ID_COUNT)
        return nullptr;
    if (GetState(eId))
        RemoveState(eId);
    const std::function<CMoxState*()>& create = m_Context.m_ScreenTable.m_aCreators[eId];
    CMoxState* pState = create ? create() : nullptr;
    if (!pState)
        return nullptr;
    pState->Startup(this);
    pState->Reset();
    m_States.Add(pState);
    return pState;
}

void CStateGame::RemoveState(STATE_ID eId)
{
    for (int i = 0; i < m_States.GetCount();)
    {
        CMoxState* pState = GetStateAt(i);
        if (pState && pState->GetStateID() == eId)
        {
            m_States.RemoveAt(i);
            pState->Shutdown();
            delete pState;
        }
        else
            ++i;
    }
}

void CStateGame::RemoveState(CMoxState* pState)
{
    for (int i = 0; i < m_States.GetCount(); ++i)
    {
        if (GetStateAt(i) == pState)
        {
            m_States.RemoveAt(i);
            pState->Shutdown();
            delete pState;
            return;
        }
    }
}

void CStateGame::RemoveStates()
{
    // Taken out of the list first, so that a screen's shut-down never sees itself listed.
    while (m_States.GetCount() > 0)
    {
        CMoxState* pState = GetStateAt(m_States.GetCount() - 1);
        m_States.RemoveAt(m_States.GetCount() - 1);
        if (pState)
        {
            pState->Shutdown();
            delete pState;
        }
    }
}

void CStateGame::StartTrainingMatch()
{
    CMoxState* pTraining = GetState(STATE_TRAINING);
    const int iScene = pTraining ? pTraining->GetUserInt() : 0;
    CMoxPlayStateBase* pPlay = dynamic_cast<CMoxPlayStateBase*>(AddState(STATE_PLAY));
    if (pPlay)
    {
        pPlay->Reset();
        pPlay->SetSinglePlayerMode(1);
        pPlay->m_iOwnPlayer = 0;
        pPlay->m_iOpponent = 1;
        pPlay->LoadGame(0, iScene, 0, 0);
        pPlay->m_bMaster = 1;
        pPlay->StartGame(0);
        pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
    }
    if (m_pApp)
        m_pApp->StopMusic();
}

void CStateGame::HandleStates()
{
    for (int i = 0; i < m_States.GetCount();)
    {
        CMoxState* pState = GetStateAt(i);
        if (!pState || !pState->GetRemove())
        {
            ++i;
            continue;
        }
        const STATE_ID eNext = pState->GetNextStateID();
        switch (pState->GetStateID())
        {
        case STATE_MENU:
            if (eNext == STATE_EDITOR)
                AddState(STATE_EDITOR);
            else if (eNext == STATE_PLAY)
            {
                if (m_pApp)
                    m_pApp->StopMusic();
                AddState(STATE_CONNECTING);
                QuickPlay();
            }
            else if (eNext == STATE_TRAINING)
                AddState(STATE_TRAINING);
            else if (eNext == STATE_INTRO)
            {
                if (m_pApp)
                    m_pApp->StopMusic();
                UnloadResources(0);
                AddState(STATE_INTRO);
            }
            break;
        case STATE_EDITOR:
        case STATE_CONNECTING:
            if (eNext == STATE_MENU)
                AddState(STATE_MENU);
            break;
        case STATE_PLAY:
            if (eNext == STATE_TRAINING)
            {
                CMoxPlayStateBase* pPlay = GetPlayState();
                if (pState->GetUserInt() > 0 && pPlay)
                    SetSceneCleared(pPlay->GetCurrentSceneIndex());
                AddState(STATE_TRAINING);
            }
            else if (eNext == STATE_MENU)
                AddState(STATE_MENU);
            break;
        case STATE_INTRO:
            if (eNext == STATE_MENU)
            {
                if (CMoxIntroStateBase* pIntro = GetIntroState())
                    pIntro->Unload();
                AddState(STATE_MENU);
            }
            break;
        case STATE_TRAINING:
            if (eNext == STATE_MENU)
                AddState(STATE_MENU);
            else if (eNext == STATE_PLAY)
                StartTrainingMatch();
            break;
        default:
            break;
        }
        // The walk goes on with whatever now stands at this position.
        RemoveState(pState);
    }
}
