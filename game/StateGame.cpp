#include "game/StateGame.h"

#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornStatistics.h"
#include "KorvelInput/KorvelInput.h"
#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"

namespace
{
const int kMaxStepsPerFrame = 5;
} // namespace

CStateGame::CStateGame()
    : m_pApp(nullptr), m_bChatHelpPlayed(0), m_iSimulatedTime(0), m_bLobbyDisconnected(0),
      m_bGameDisconnected(0), m_bSessionEnded(1), m_bVolumeTouched(0), m_strEditorScene("newscene.scn"),
      m_pRenderer(nullptr), m_pPhysics(nullptr), m_pChat(nullptr), m_iStampBase(0), m_bResourcesLoaded(0),
      m_iPreloadIndex(0), m_iStepsPerSecond(0), m_iStepMs(0), m_iLastTick(0), m_iAccumulated(0),
      m_iStepsDue(0), m_pClock(&IKorvelClock::System())
{
    m_StepTimer.Startup(0);
    m_StampTimer.Startup(0);
}

CStateGame::~CStateGame()
{
    Shutdown();
}

int CStateGame::Tick(CKorvelTimer& timer)
{
    timer.EndTimerAt(m_pClock->GetTicks());
    return timer.GetElapsedMilliseconds();
}

KE_RETVAL CStateGame::Startup(CVornApplication* pApp)
{
    m_pApp = pApp;
    _SetApp(pApp);
    if (!m_pLanguage)
        m_pLanguage = new CVornLanguage();
    const KE_RETVAL iLanguage = m_pLanguage->Startup(pApp, CKorvelString("quorvalinlanguage"));
    if (iLanguage != KE_OK)
        return iLanguage;

    for (const CKorvelString& strPack : res_main_pack_filenames)
        pApp->AddPack(strPack, 0, 0);

    m_StepTimer.BeginTimerAt(m_pClock->GetTicks());
    m_StampTimer.BeginTimerAt(m_pClock->GetTicks());
    m_iStepsPerSecond = GAME_STEPS_PER_SECOND;
    m_iStepMs = GAME_STEP_MS;
    m_iAccumulated = m_iStepsDue = m_iSimulatedTime = 0;
    m_bLobbyDisconnected = m_bGameDisconnected = 0;
    m_iLastTick = Tick(m_StepTimer);

    m_pRenderer = new CMoxRenderer();
    m_pRenderer->Startup(this);
    m_pPhysics = new CMoxPhysics();
    m_pPhysics->Startup(1.0f / (float)m_iStepsPerSecond, 4);
    if (m_Context.m_ScreenTable.m_ChatCreator)
        m_pChat = m_Context.m_ScreenTable.m_ChatCreator();
    if (m_pChat)
        m_pChat->Startup(this);

    InitResources();
    InitVolume();
    m_Context.MultiTouch.Reset();

    CVornStatistics* pStats = pApp->GetStatistics();
    m_bChatHelpPlayed = pStats && pStats->GetProperty(CKorvelString("quorvalin_chathelpplayed")) ? 1 : 0;
    return KE_OK;
}

void CStateGame::Shutdown()
{
    if (!m_pApp)
        return;
    m_RecvBudget.Report(Tick(m_StepTimer), true);
    m_pApp->StopMusic();
    UnloadResources(1);
    RemoveStates();
    delete m_pRenderer;
    m_pRenderer = nullptr;
    delete m_pPhysics;
    m_pPhysics = nullptr;
    delete m_pChat;
    m_pChat = nullptr;
    if (m_pLanguage)
    {
        m_pLanguage->Shutdown();
        delete m_pLanguage;
        m_pLanguage = nullptr;
    }
    m_pApp = nullptr;
    m_pApplication = nullptr;
}

void CStateGame::Activate()
{
    if (m_pApp)
        m_pApp->SetAppTitle(CKorvelString("Quorvalin"));
    RemoveStates();
    m_bLobbyDisconnected = m_bGameDisconnected = 0;
    AddState(STATE_MENU);
    m_Context.MultiTouch.Reset();
}

void CStateGame::Deactivate()
{
    if (CMoxIntroStateBase* pIntro = GetIntroState())
        pIntro->Deactivate();
    if (m_pApp)
        m_pApp->StopMusic();
}

unsigned int CStateGame::Update(float)
{
    int iNow = Tick(m_StepTimer);
    if (iNow < m_iLastTick)
    {
        // The clock went back: start counting again from here.
        iNow = Tick(m_StepTimer);
        m_iAccumulated = 0;
        m_iLastTick = iNow;
    }
    m_iAccumulated += iNow - m_iLastTick;
    m_iLastTick = iNow;

    if (m_iStepMs > 0 && m_iAccumulated >= m_iStepMs)
    {
        const int iDue = m_iAccumulated / m_iStepMs;
        m_iAccumulated %= m_iStepMs;
        // After a stall the missed steps are dropped, not caught up.
        m_iStepsDue = iDue > kMaxStepsPerFrame ? 1 : iDue;
        while (m_iStepsDue > 0)
        {
            --m_iStepsDue;
            Step();
        }
    }

    // What a flood left untold since the last line.
    m_RecvBudget.Report(iNow, false);

    if (!m_bResourcesLoaded)
    {
        CMoxMenuStateBase* pMenu = GetMenuState();
        if (pMenu && pMenu->HasDrawn() && !pMenu->ControlsReady())
            PreloadResources(1);
    }
    return 1;
}

void CStateGame::Step()
{
    const float fSeconds = (float)m_iStepMs / 1000.0f;
    m_Context.MultiTouch.Step();
    if (m_pChat)
    {
        m_pChat->Handle();
        m_pChat->Update(fSeconds);
    }
    m_bVolumeTouched = HandleVolume() ? 1 : 0;
    for (int i = 0; i < m_States.GetCount(); ++i)
        if (CMoxState* pState = GetStateAt(i))
            pState->Update(fSeconds);
    if (m_bSessionEnded)
        if (CMoxPlayStateBase* pPlay = GetPlayState())
            pPlay->GameSessionEnd();
    HandleStates();
}

void CStateGame::TimingFreshStart()
{
    m_iAccumulated = m_iStepMs + 1;
    m_iLastTick = Tick(m_StepTimer);
}

void CStateGame::ResetTimeStamp()
{
    m_iSimulatedTime = 0;
    m_iStampBase = Tick(m_StampTimer);
}

unsigned int CStateGame::GetTimeStamp()
{
    int t = Tick(m_StampTimer) - m_iStampBase;
    if (t < 0)
    {
        t = 0;
        ResetTimeStamp();
    }
    CMoxPlayStateBase* pPlay = GetPlayState();
    if (pPlay && pPlay->m_bSimulating)
        return (unsigned int)m_iSimulatedTime;
    return (unsigned int)t;
}

void CStateGame::Draw()
{
    if (!m_pApp)
        return;
    m_pApp->ResetInactivityTime();
    if (m_States.GetCount() == 0)
    {
        CKorvelSurface* pTitle = m_Context.psrfGameTextures[TEXTURE_TITLE];
        if (pTitle && m_pRenderer)
        {
            const float w = m_pRenderer->GetScreenWidth(), h = m_pRenderer->GetScreenHeight();
            m_pRenderer->renderScreenQuad(CKorvelVector2(w * 0.5f, h * 0.5f), CKorvelVector2(h, h * 0.5f),
                                          pTitle, CKorvel3DColor(1.0f, 1.0f, 1.0f, 1.0f));
        }
        else if (m_pApp->GetBack())
            m_pApp->GetBack()->Fill(0u, static_cast<const CKorvelRect<int>*>(nullptr));
    }
    for (int i = 0; i < m_States.GetCount(); ++i)
        if (CMoxState* pState = GetStateAt(i))
            pState->Draw();
    CMoxMenuStateBase* pMenu = GetMenuState();
    if ((pMenu && pMenu->ControlsReady()) || GetPlayState() || GetIntroState())
        RenderVolume();
}

unsigned int CStateGame::OnMouseButton(unsigned int uTouch, int iX, int iY)
{
    m_Context.MultiTouch.OnDown(uTouch, iX, iY);
    return 1;
}

unsigned int CStateGame::OnMouseDrag(unsigned int uTouch, int iX, int iY)
{
    m_Context.MultiTouch.OnDown(uTouch, iX, iY);
    return 1;
}

unsigned int CStateGame::OnMouseButtonUp(unsigned int uTouch, int, int)
{
    m_Context.MultiTouch.OnUp(uTouch);
    return 1;
}

unsigned int CStateGame::OnKeyDown(eKET_KEYCODE eKey)
{
    if (eKey != KET_KEY_BACK || m_States.GetCount() == 0)
        return 0;
    if (CMoxState* pFront = GetStateAt(m_States.GetCount() - 1))
        pFront->OnBackButton();
    return 1;
}

unsigned int CStateGame::OnChar(unsigned short uChar)
{
    for (int i = 0; i < m_States.GetCount(); ++i)
        if (CMoxState* pState = GetStateAt(i))
            pState->OnChar(uChar);
    return 1;
}

unsigned int CStateGame::OnScreenChanged(int iWidth, int iHeight)
{
    if (m_pRenderer)
    {
        m_pRenderer->SetScreenSize((float)iWidth, (float)iHeight);
        // In the corner of the new size: a narrower window would leave it outside.
        InitVolume();
        for (int i = 0; i < m_States.GetCount(); ++i)
            if (CMoxState* pState = GetStateAt(i))
                pState->OnScreenChanged(iWidth, iHeight);
    }
    return 0;
}

KE_RETVAL CStateGame::OnRestoreResources()
{
    if (!m_pApp)
        return KE_OK;
    if (m_pRenderer)
        m_pRenderer->createShaders();
    if (!GetIntroState())
        while (!m_bResourcesLoaded)
            PreloadResources(1);
    for (int i = 0; i < m_States.GetCount(); ++i)
        if (CMoxState* pState = GetStateAt(i))
            pState->RestoreResources();
    return KE_OK;
}

KE_RETVAL CStateGame::OnReleaseResources()
{
    UnloadResources(0);
    if (CMoxPlayStateBase* pPlay = GetPlayState())
        pPlay->ReleaseVirtuaIItems();
    if (CMoxIntroStateBase* pIntro = GetIntroState())
        pIntro->Unload();
    if (m_pRenderer)
        m_pRenderer->clean();
    return KE_OK;
}

KE_RETVAL CStateGame::OnLanguageChanged(const CKorvelString& strCode)
{
    if (!m_pLanguage)
        return KE_OK;
    const CKorvelString strBase(m_pLanguage->GetBaseName());
    m_pLanguage->Shutdown();
    delete m_pLanguage;
    m_pLanguage = new CVornLanguage();
    const KE_RETVAL iResult = m_pLanguage->Startup(m_pApp, strBase);
    m_pLanguage->SetCurrentLanguage(strCode);
    if (iResult == KE_OK)
        if (CMoxPlayStateBase* pPlay = GetPlayState())
            pPlay->LoadSinglePlayerHelp();
    return KE_OK;
}
