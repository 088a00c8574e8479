#include "Platform/Music/MusicContext.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "Platform/Music/MusicEvents.h"

namespace plat
{
namespace
{

constexpr size_t kRingFrames = 32768; // about 0.74 s
constexpr size_t kDecodeRoom = 12000; // device frames one decoded piece may need
constexpr auto kPositionInterval = std::chrono::milliseconds(250);
constexpr auto kWakeInterval = std::chrono::milliseconds(20);

// Decimal milliseconds; false for anything else.
bool ParseMilliseconds(const char* pszText, long long& llMs)
{
    if (!pszText || !*pszText || strlen(pszText) > 15)
        return false;
    llMs = 0;
    for (const char* p = pszText; *p; ++p)
    {
        if (*p < '0' || *p > '9')
            return false;
        llMs = llMs * 10 + (*p - '0');
    }
    return true;
}

} // namespace

CMusicContext::CMusicContext(const std::string& strName, mmr_context_t* pHandle)
    : m_strName(strName), m_pHandle(pHandle), m_aRing(2 * kRingFrames, 0)
{
}

CMusicContext::~CMusicContext()
{
    if (m_bOutput)
    {
        if (m_bCapture)
            MusicCaptureRemove(this);
        else
            CAudioDevice::Detach(this);
    }
    StopThread();
}

int CMusicContext::Fail(uint32_t uCode, const char* pszText)
{
    m_Error.error_code = uCode;
    snprintf(m_Error.extra_text, sizeof(m_Error.extra_text), "%s", pszText);
    return -1;
}

int CMusicContext::AttachOutput(bool bCapture)
{
    if (m_bOutput)
        return 0;
    if (bCapture)
        MusicCaptureAdd(this);
    else if (!CAudioDevice::Attach(this))
        return Fail(MMR_ERROR_OUTPUT_UNAVAILABLE, "no audio device");
    m_bOutput = true;
    m_bCapture = bCapture;
    return 0;
}

int CMusicContext::AttachInput(const char* pszPath)
{
    DetachInput();
    {
        std::lock_guard<std::mutex> decoder(m_DecoderLock);
        if (!m_Decoder.Open(pszPath))
            return Fail(MMR_ERROR_MEDIA_UNAVAILABLE, "the track cannot be opened");
    }
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        RingClear();
        m_eState = MMR_STATE_STOPPED;
        m_llBaseMs = 0;
        m_uPlayed = 0;
        m_bEndOfTrack = m_bDecodeFailed = m_bAtEnd = false;
    }
    StartThread();
    return 0;
}

int CMusicContext::DetachInput()
{
    StopThread();
    std::lock_guard<std::mutex> decoder(m_DecoderLock);
    m_Decoder.Close();
    std::lock_guard<std::mutex> lock(m_Lock);
    RingClear();
    m_eState = MMR_STATE_IDLE;
    return 0;
}

int CMusicContext::SetSpeed(unsigned int uSpeed)
{
    if (uSpeed != 0 && uSpeed != MMR_SPEED_NORMAL)
        return Fail(MMR_ERROR_UNSUPPORTED_VALUE, "speed");
    std::lock_guard<std::mutex> lock(m_Lock);
    m_uSpeed = uSpeed;
    m_tLastPosition = Clock::now();
    PostLocked(MMRENDERER_STATE_CHANGE);
    m_Wake.notify_one();
    return 0;
}

int CMusicContext::Play()
{
    std::lock_guard<std::mutex> decoder(m_DecoderLock);
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_eState == MMR_STATE_IDLE)
        return Fail(MMR_ERROR_INVALID_STATE, "no input");
    if (m_bAtEnd)
        SeekLocked(0);
    m_eState = MMR_STATE_PLAYING;
    m_tLastPosition = Clock::now();
    PostLocked(MMRENDERER_STATE_CHANGE);
    m_Wake.notify_one();
    return 0;
}

int CMusicContext::Stop()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_eState == MMR_STATE_IDLE)
        return Fail(MMR_ERROR_INVALID_STATE, "no input");
    m_eState = MMR_STATE_STOPPED;
    PostLocked(MMRENDERER_STATE_CHANGE);
    m_Decoded.notify_all();
    return 0;
}

int CMusicContext::Seek(const char* pszPosition)
{
    long long llMs = 0;
    if (!ParseMilliseconds(pszPosition, llMs))
        return Fail(MMR_ERROR_INVALID_PARAMETER, "position");
    std::lock_guard<std::mutex> decoder(m_DecoderLock);
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_eState == MMR_STATE_IDLE)
        return Fail(MMR_ERROR_INVALID_STATE, "no input");
    SeekLocked(llMs);
    PostLocked(MMRENDERER_STATUS_UPDATE);
    return 0;
}

int CMusicContext::SetVolume(unsigned int uVolume)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_uVolume = std::min(uVolume, 100u);
    return 0;
}

void CMusicContext::SeekLocked(long long llMs)
{
    // Past the end the decoder refuses: the track then ends as soon as it plays.
    m_bEndOfTrack = !m_Decoder.SeekMs(llMs);
    m_bDecodeFailed = false;
    m_bAtEnd = false;
    RingClear();
    m_llBaseMs = llMs;
    m_uPlayed = 0;
    m_Wake.notify_one();
}

long long CMusicContext::PositionMsLocked() const
{
    return m_llBaseMs + static_cast<long long>(m_uPlayed * 1000 / kAudioDeviceRate);
}

void CMusicContext::PostLocked(int iCode, bool bError, uint32_t uErrorCode)
{
    sMusicEvent event;
    event.m_eState = m_eState;
    event.m_strPosition = std::to_string(PositionMsLocked());
    if (bError)
    {
        event.m_bError = true;
        event.m_Error.error_code = uErrorCode;
        event.m_strErrorPosition = event.m_strPosition;
    }
    MusicPostEvent(m_pHandle, m_strName, iCode, event);
}

void CMusicContext::RingAppend(const int16_t* piFrames, size_t uFrames)
{
    uFrames = std::min(uFrames, RingFree());
    const size_t uCapacity = m_aRing.size() / 2;
    for (size_t i = 0; i < uFrames; ++i)
    {
        const size_t uSlot = (m_uRingHead + m_uRingFrames + i) % uCapacity;
        m_aRing[2 * uSlot] = piFrames[2 * i];
        m_aRing[2 * uSlot + 1] = piFrames[2 * i + 1];
    }
    m_uRingFrames += uFrames;
}

void CMusicContext::RingClear()
{
    m_uRingHead = 0;
    m_uRingFrames = 0;
}

void CMusicContext::MixInto(int32_t* piAcc, int iFrames)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_eState != MMR_STATE_PLAYING || m_uSpeed == 0 || iFrames <= 0)
        return;
    const size_t uFrames = std::min(static_cast<size_t>(iFrames), m_uRingFrames);
    const size_t uCapacity = m_aRing.size() / 2;
    const int32_t iVolume = static_cast<int32_t>(m_uVolume);
    for (size_t i = 0; i < uFrames; ++i)
    {
        const size_t uSlot = (m_uRingHead + i) % uCapacity;
        piAcc[2 * i] += m_aRing[2 * uSlot] * iVolume / 100;
        piAcc[2 * i + 1] += m_aRing[2 * uSlot + 1] * iVolume / 100;
    }
    m_uRingHead = (m_uRingHead + uFrames) % uCapacity;
    m_uRingFrames -= uFrames;
    m_uPlayed += uFrames;
    if (RingFree() >= kDecodeRoom || uFrames < static_cast<size_t>(iFrames))
        m_Wake.notify_one();
}

void CMusicContext::Pull(int32_t* piAcc, int iFrames, int iTimeoutMs)
{
    {
        std::unique_lock<std::mutex> lock(m_Lock);
        m_Decoded.wait_for(lock, std::chrono::milliseconds(iTimeoutMs),
                           [&]
                           {
                               return m_uRingFrames >= static_cast<size_t>(iFrames) || m_bEndOfTrack ||
                                      m_bDecodeFailed || m_eState != MMR_STATE_PLAYING || m_uSpeed == 0 ||
                                      m_bQuit;
                           });
    }
    MixInto(piAcc, iFrames);
}

void CMusicContext::StartThread()
{
    StopThread();
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_bQuit = false;
    }
    m_Thread = std::thread([this] { ThreadProc(); });
}

void CMusicContext::StopThread()
{
    if (!m_Thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_bQuit = true;
    }
    m_Wake.notify_all();
    m_Decoded.notify_all();
    m_Thread.join();
}

void CMusicContext::ThreadProc()
{
    std::vector<int16_t> aPiece;
    std::unique_lock<std::mutex> lock(m_Lock);
    while (!m_bQuit)
    {
        const bool bAdvancing = m_eState == MMR_STATE_PLAYING && m_uSpeed > 0;
        if (bAdvancing && m_uRingFrames == 0 && (m_bEndOfTrack || m_bDecodeFailed))
        {
            // Everything decoded has been played: the end of the track (or of what decoded).
            m_eState = MMR_STATE_STOPPED;
            m_bAtEnd = true;
            PostLocked(MMRENDERER_STATE_CHANGE, true,
                       m_bDecodeFailed ? MMR_ERROR_MEDIA_CORRUPTED : MMR_ERROR_NONE);
            m_Decoded.notify_all();
            continue;
        }
        if (bAdvancing && Clock::now() - m_tLastPosition >= kPositionInterval)
        {
            m_tLastPosition = Clock::now();
            PostLocked(MMRENDERER_STATUS_UPDATE);
        }
        if (!m_bEndOfTrack && !m_bDecodeFailed && RingFree() >= kDecodeRoom)
        {
            lock.unlock();
            aPiece.clear();
            std::lock_guard<std::mutex> decoder(m_DecoderLock);
            const int iFrames = m_Decoder.Decode(aPiece);
            lock.lock();
            // A jump made while this piece decoded waited for the decoder: the piece is current.
            if (iFrames > 0)
                RingAppend(aPiece.data(), static_cast<size_t>(iFrames));
            else if (iFrames == 0)
                m_bEndOfTrack = true;
            else
                m_bDecodeFailed = true;
            m_Decoded.notify_all();
            continue;
        }
        m_Wake.wait_for(lock, kWakeInterval);
    }
}

} // namespace plat
