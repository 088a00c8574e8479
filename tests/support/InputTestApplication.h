// The test application with its input operations written down as text, one pass of
// the event loop, and a clock that a test moves by hand. Header only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "KorvelCommon/KorvelClock.h"
#include "KorvelInput/KorvelEvent.h"
#include "support/TestApplication.h"

// A member that resets the headless platform when it is built: declared before an
// application member, it gives that application the headless back end.
struct CHeadlessPlatform
{
    CHeadlessPlatform() { ResetHeadlessPlatform(); }
};

// Time stands still until the test (or a sleep) moves it.
class CManualClock : public IKorvelClock
{
public:
    uint64_t GetTicks() override { return m_uNow; }
    void Sleep(unsigned int uMilliseconds) override
    {
        m_aSleeps.push_back(uMilliseconds);
        Advance(uMilliseconds);
        if (m_fnSlept)
            m_fnSlept();
    }
    void Advance(unsigned int uMilliseconds) { m_uNow += uint64_t(uMilliseconds) * 1000000u; }
    unsigned int SleptMilliseconds() const
    {
        unsigned int uTotal = 0;
        for (unsigned int u : m_aSleeps)
            uTotal += u;
        return uTotal;
    }

    uint64_t m_uNow = 10000000000ull; // 10 s
    std::vector<unsigned int> m_aSleeps;
    std::function<void()> m_fnSlept; // after each sleep: what happened meanwhile
};

class CInputApplication : public CTestApplication
{
public:
    using IKorvelApplication::OnMouseButton;
    using IKorvelApplication::OnMouseButtonUp;
    using IKorvelApplication::OnMouseDrag;
    using IKorvelApplication::OnMouseWheel;

    // Pixel forms: "down 0 10,20"; normalised forms: "down 0 0.0125,0.0333".
    void OnMouseButton(unsigned int uIndex, int iX, int iY) override { Pixel("down", uIndex, iX, iY); }
    void OnMouseButton(unsigned int uIndex, const CKorvelVector2& v) override { Normal("down", uIndex, v); }
    void OnMouseDrag(unsigned int uIndex, int iX, int iY) override { Pixel("drag", uIndex, iX, iY); }
    void OnMouseDrag(unsigned int uIndex, const CKorvelVector2& v) override { Normal("drag", uIndex, v); }
    void OnMouseButtonUp(unsigned int uIndex, int iX, int iY) override { Pixel("up", uIndex, iX, iY); }
    void OnMouseButtonUp(unsigned int uIndex, const CKorvelVector2& v) override { Normal("up", uIndex, v); }
    void OnMouseWheel(int iDelta, int iX, int iY) override { Pixel("wheel", iDelta, iX, iY); }
    void OnMouseWheel(int iDelta, const CKorvelVector2& v) override { Normal("wheel", iDelta, v); }
    void OnKeyDown(eKET_KEYCODE eKey) override { m_aInput.push_back("key " + std::to_string(int(eKey))); }
    void OnChar(unsigned short uChar) override { m_aInput.push_back("char " + std::to_string(uChar)); }
    void OnTimer(int iId) override { m_aInput.push_back("timer " + std::to_string(iId)); }
    void OnFlip() override
    {
        CTestApplication::OnFlip();
        if (m_fnOnFlip)
            m_fnOnFlip();
    }

    // The pixel-form calls only, for tests that do not look at the normalised ones.
    std::vector<std::string> PixelInput() const
    {
        std::vector<std::string> aPixel;
        for (const std::string& strCall : m_aInput)
            if (strCall.find('.') == std::string::npos)
                aPixel.push_back(strCall);
        return aPixel;
    }

    // One pass of the loop's draining, without a frame.
    void Drain() { DrainPlatformEvents(); }

    static CKorvelEvent Event(int iType, int iIndex = 0, int iX = 0, int iY = 0)
    {
        CKorvelEvent event;
        event.m_iType = iType;
        event.m_iIndex = iIndex;
        event.m_iX = iX;
        event.m_iY = iY;
        return event;
    }

    using IKorvelApplication::m_uSleeping;

    std::vector<std::string> m_aInput;
    std::function<void()> m_fnOnFlip;

private:
    void Pixel(const char* pszWhat, long long iIndex, int iX, int iY)
    {
        m_aInput.push_back(std::string(pszWhat) + " " + std::to_string(iIndex) + " " + std::to_string(iX) +
                           "," + std::to_string(iY));
    }
    void Normal(const char* pszWhat, long long iIndex, const CKorvelVector2& v)
    {
        char szText[64];
        snprintf(szText, sizeof(szText), "%s %lld %.4f,%.4f", pszWhat, iIndex, double(v.x), double(v.y));
        m_aInput.push_back(szText);
    }
};
