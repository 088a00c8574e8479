// A state of the application's stack (the splash, the lobby that holds the game).
// Input hooks answer non-zero when they took the input; the defaults take it, so a
// state that does not override a hook hides that input from the states behind it.
#pragma once

#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"
#include "KorvelInput/KorvelInput.h"

class CVornApplication;

class IVornState
{
public:
    IVornState() : m_uExit(0), m_uRemove(0) {}
    virtual ~IVornState() {}

    virtual KE_RETVAL Startup(CVornApplication* pApplication) = 0;
    virtual void Shutdown() = 0;
    virtual void Activate() = 0;
    virtual void Deactivate() = 0;
    // Non-zero stops the update of the states behind this one.
    virtual unsigned int Update(float fSeconds) = 0;
    virtual void Draw() = 0;

    // The exit flag sends the state to the back of the stack at the next frame; the
    // remove flag deletes it there.
    virtual void Exit() { m_uExit = 1; }
    virtual void ResetExit() { m_uExit = 0; }
    virtual void Remove() { m_uRemove = 1; }
    virtual unsigned int GetExit() { return m_uExit; }
    virtual unsigned int GetRemove() { return m_uRemove; }
    virtual void ResetRemove() { m_uRemove = 0; }

    virtual unsigned int OnScreenChanged(int, int) { return 1; }
    virtual unsigned int OnFocusChange(unsigned int) { return 1; }
    virtual KE_RETVAL OnRestoreResources() { return KE_OK; }
    virtual KE_RETVAL OnReleaseResources() { return KE_OK; }
    virtual unsigned int OnMouseButton(unsigned int, int, int) { return 1; }
    virtual unsigned int OnMouseDrag(unsigned int, int, int) { return 1; }
    virtual unsigned int OnMouseButtonUp(unsigned int, int, int) { return 1; }
    virtual unsigned int OnMouseWheel(int, int, int) { return 1; }
    virtual unsigned int OnKeyDown(eKET_KEYCODE) { return 1; }
    virtual unsigned int OnChar(unsigned short) { return 1; }
    virtual KE_RETVAL OnLanguageChanged(const CKorvelString&) { return KE_OK; }

protected:
    unsigned int m_uExit;
    unsigned int m_uRemove;
};
