// The base of the game's screens. A screen never replaces itself: it names the screen
// that should follow, asks to be removed, and the root state makes the follower at the
// end of the step. Screens take no pointer events; they read the root state's tracker.
#pragma once

class CMoxPhysics;
class CMoxRenderer;
class CStateGame;

enum STATE_ID : int
{
    STATE_NONE = 0,
    STATE_MENU = 1,
    STATE_EDITOR = 2,
    STATE_PLAY = 3,
    STATE_CONNECTING = 4,
    STATE_INTRO = 5,
    STATE_TRAINING = 6,
    STATE_ID_COUNT = 7
};

class CMoxState
{
public:
    CMoxState()
        : m_pGame(nullptr), m_pRenderer(nullptr), m_pPhysics(nullptr), m_iNextStateID(STATE_NONE),
          m_iStateID(STATE_NONE), m_bRemove(0), m_iUserInt(0)
    {
    }
    virtual ~CMoxState() {}

    // Keeps the game, its renderer and physics world; subclasses then set m_iStateID.
    virtual int Startup(CStateGame* pGame);
    virtual void Shutdown() {}
    virtual void Reset()
    {
        m_bRemove = 0;
        m_iNextStateID = STATE_NONE;
    }
    virtual int Update(float fSeconds) = 0;
    virtual void Draw() = 0;
    virtual void Remove() { m_bRemove = 1; }
    virtual unsigned int GetRemove() { return m_bRemove; }
    virtual STATE_ID GetNextStateID() { return m_iNextStateID; }
    virtual STATE_ID GetStateID() { return m_iStateID; }
    // Fetches the screen's surfaces again after the GL context came back.
    virtual void RestoreResources() = 0;
    virtual void SetUserInt(int iValue) { m_iUserInt = iValue; }
    virtual int GetUserInt() { return m_iUserInt; }
    virtual void OnBackButton() {}
    virtual CStateGame* GetMasterState() { return m_pGame; }
    virtual void OnScreenChanged(int, int) {}
    virtual int OnChar(unsigned short) { return 0; }

protected:
    CStateGame* m_pGame;
    CMoxRenderer* m_pRenderer;
    CMoxPhysics* m_pPhysics;
    STATE_ID m_iNextStateID;
    STATE_ID m_iStateID;
    unsigned int m_bRemove;
    int m_iUserInt; // the match: 1 when the own player won; the training chooser: its scene

private:
    CMoxState(const CMoxState&) = delete;
    CMoxState& operator=(const CMoxState&) = delete;
};
