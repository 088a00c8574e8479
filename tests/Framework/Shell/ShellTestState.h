// A state for the stack tests: records its calls under its name in a call log, and sets
// its own exit or remove flag, or takes input, as the test says. Header only.
#pragma once

#include <string>

#include "Framework/Shell/VornState.h"
#include "support/TestCallLog.h"

class CShellTestState : public IVornState
{
public:
    CShellTestState(CTestCallLog& log, const std::string& strName) : m_Log(log), m_strName(strName) {}
    ~CShellTestState() override { m_Log.Add(m_strName, "~"); }

    KE_RETVAL Startup(CVornApplication*) override
    {
        m_Log.Add(m_strName, "Startup");
        return m_iStartupResult;
    }
    void Shutdown() override { m_Log.Add(m_strName, "Shutdown"); }
    void Activate() override { m_Log.Add(m_strName, "Activate"); }
    void Deactivate() override { m_Log.Add(m_strName, "Deactivate"); }
    unsigned int Update(float) override
    {
        m_Log.Add(m_strName, "Update");
        return m_uUpdateResult;
    }
    void Draw() override { m_Log.Add(m_strName, "Draw"); }
    unsigned int OnMouseButton(unsigned int, int, int) override { return Input("OnMouseButton"); }
    unsigned int OnMouseDrag(unsigned int, int, int) override { return Input("OnMouseDrag"); }
    unsigned int OnMouseButtonUp(unsigned int, int, int) override { return Input("OnMouseButtonUp"); }
    unsigned int OnKeyDown(eKET_KEYCODE) override { return Input("OnKeyDown"); }
    unsigned int OnScreenChanged(int, int) override { return Input("OnScreenChanged"); }
    unsigned int OnFocusChange(unsigned int) override { return Input("OnFocusChange"); }

    KE_RETVAL m_iStartupResult = KE_OK;
    unsigned int m_uUpdateResult = 0;
    unsigned int m_uTakesInput = 1;

private:
    unsigned int Input(const char* pWhat)
    {
        m_Log.Add(m_strName, pWhat);
        return m_uTakesInput;
    }

    CTestCallLog& m_Log;
    std::string m_strName;
};
