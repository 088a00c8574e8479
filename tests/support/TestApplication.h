// A small application on the headless platform for tests: counts the calls of its
// virtual operations and opens the application's state to the test. Header only.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "KorvelGraphics/KorvelApplication.h"
#include "PlatformControl.h"

class CTestApplication : public IKorvelApplication
{
public:
    void OnFlip() override { ++m_iFlips; }
    KE_RETVAL OnInitDone() override
    {
        ++m_iInitDone;
        return m_iInitDoneResult;
    }
    void OnExit() override { ++m_iExits; }
    void OnFocusChange(unsigned int uFocus) override
    {
        IKorvelApplication::OnFocusChange(uFocus);
        m_aFocus.push_back(uFocus);
    }

    // Starts on an 800 x 600 (or the given) headless screen: the window's buffers take
    // that size (upright angle unless ORIENTATION says otherwise).
    KE_RETVAL StartHeadless()
    {
        SKE_DISPLAYMODE mode = {};
        return Startup(nullptr, &mode);
    }

    using IKorvelApplication::m_aucButtonStates;
    using IKorvelApplication::m_aucKeyStates;
    using IKorvelApplication::m_pScreenContext;
    using IKorvelApplication::m_rcWindow;
    using IKorvelApplication::m_uRunning;

    KE_RETVAL m_iInitDoneResult = KE_OK;
    int m_iInitDone = 0;
    int m_iExits = 0;
    int m_iFlips = 0;
    std::vector<unsigned int> m_aFocus;
};

// The headless platform with a fresh call log and the given display size; ORIENTATION unset.
inline void ResetHeadlessPlatform(int iWidth = 800, int iHeight = 600)
{
    unsetenv("ORIENTATION");
    plat::ResetPlatform(plat::eBackend::Headless);
    plat::SetDisplaySize(iWidth, iHeight);
}
