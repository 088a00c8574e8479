#include <algorithm>
#include <mutex>

#include "Platform/Music/MusicContext.h"
#include "Platform/Music/MusicEvents.h"
#include "PlatformMmrControl.h"

namespace plat
{
namespace
{

struct sCAPTURE
{
    std::mutex m_Lock; // held while pulling, so a context leaves only between pulls
    bool m_bEnabled = false;
    std::vector<CMusicContext*> m_aContexts;
};

sCAPTURE& Capture()
{
    static sCAPTURE* s_pCapture = new sCAPTURE;
    return *s_pCapture;
}

constexpr int kPullFrames = 4096;

} // namespace

bool MusicCaptureEnabled()
{
    sCAPTURE& c = Capture();
    std::lock_guard<std::mutex> guard(c.m_Lock);
    return c.m_bEnabled;
}

void MusicCaptureAdd(CMusicContext* pContext)
{
    sCAPTURE& c = Capture();
    std::lock_guard<std::mutex> guard(c.m_Lock);
    c.m_aContexts.push_back(pContext);
}

void MusicCaptureRemove(CMusicContext* pContext)
{
    sCAPTURE& c = Capture();
    std::lock_guard<std::mutex> guard(c.m_Lock);
    c.m_aContexts.erase(std::remove(c.m_aContexts.begin(), c.m_aContexts.end(), pContext),
                        c.m_aContexts.end());
}

void MmrControlReset()
{
    MmrControlUseCaptureOutput(false);
    MusicResetRequests();
}

void MmrControlUseCaptureOutput(bool bCapture)
{
    sCAPTURE& c = Capture();
    std::lock_guard<std::mutex> guard(c.m_Lock);
    c.m_bEnabled = bCapture;
}

std::vector<int16_t> MmrCapturePull(int iFrames, int iTimeoutMs)
{
    if (iFrames <= 0)
        return {};
    std::vector<int32_t> aAcc(2 * static_cast<size_t>(iFrames), 0);
    {
        sCAPTURE& c = Capture();
        std::lock_guard<std::mutex> guard(c.m_Lock);
        for (CMusicContext* pContext : c.m_aContexts)
            for (int iDone = 0; iDone < iFrames; iDone += kPullFrames)
                pContext->Pull(aAcc.data() + 2 * static_cast<ptrdiff_t>(iDone),
                               std::min(kPullFrames, iFrames - iDone), iTimeoutMs);
    }
    std::vector<int16_t> aOut(aAcc.size());
    for (size_t i = 0; i < aAcc.size(); ++i)
        aOut[i] = static_cast<int16_t>(std::clamp<int32_t>(aAcc[i], -32768, 32767));
    return aOut;
}

int MmrControlInjectEvent(const char* pszContextName, mmr_state_t eState, const char* pszPosition,
                          int iErrorCode, const char* pszErrorPosition)
{
    if (!pszContextName)
        return -1;
    sMusicEvent event;
    event.m_eState = eState;
    event.m_strPosition = pszPosition ? pszPosition : "";
    if (iErrorCode >= 0)
    {
        event.m_bError = true;
        event.m_Error.error_code = static_cast<uint32_t>(iErrorCode);
        event.m_strErrorPosition = pszErrorPosition ? pszErrorPosition : "";
    }
    return MusicPostEvent(nullptr, pszContextName, MMRENDERER_STATE_CHANGE, event) > 0 ? 0 : -1;
}

} // namespace plat
