// One renderer context: its track, the decoded frames waiting for the output,
// the playing state and the thread that decodes ahead, notices the end of the
// track and posts position events.
//
// Locks: m_DecoderLock (the decoder) is taken before m_Lock (everything else);
// the output's callback takes m_Lock only, briefly, and never waits.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Audio/AudioDevice.h"
#include "Platform/Music/MusicDecoder.h"
#include "PlatformMmr.h"

namespace plat
{

class CMusicContext : public IAudioInput
{
public:
    // pHandle is the context as the renderer's callers know it (for its events).
    CMusicContext(const std::string& strName, mmr_context_t* pHandle);
    ~CMusicContext() override;
    CMusicContext(const CMusicContext&) = delete;
    CMusicContext& operator=(const CMusicContext&) = delete;

    int AttachOutput(bool bCapture);
    int AttachInput(const char* pszPath);
    int DetachInput();
    int SetSpeed(unsigned int uSpeed);
    int Play();
    int Stop();
    int Seek(const char* pszPosition);
    int SetVolume(unsigned int uVolume);
    const mmr_error_info_t* ErrorInfo() const { return &m_Error; }
    // Records a failure for mmr_error_info; returns -1.
    int Fail(uint32_t uCode, const char* pszText);

    // The output's pull: adds up to iFrames playing frames at the volume.
    void MixInto(int32_t* piAcc, int iFrames) override;
    // The capture output's pull: waits up to iTimeoutMs for decoded frames first.
    void Pull(int32_t* piAcc, int iFrames, int iTimeoutMs);

private:
    using Clock = std::chrono::steady_clock;

    void StartThread();
    void StopThread();
    void ThreadProc();
    // The ring of decoded device frames (m_Lock held).
    size_t RingFree() const { return m_aRing.size() / 2 - m_uRingFrames; }
    void RingAppend(const int16_t* piFrames, size_t uFrames);
    void RingClear();
    // Jumps to the millisecond (both locks held).
    void SeekLocked(long long llMs);
    long long PositionMsLocked() const;
    void PostLocked(int iCode, bool bError = false, uint32_t uErrorCode = MMR_ERROR_NONE);

    const std::string m_strName;
    mmr_context_t* const m_pHandle;
    std::mutex m_DecoderLock;
    CMusicDecoder m_Decoder;

    mutable std::mutex m_Lock;
    std::condition_variable m_Wake;    // the thread: room in the ring, a change, the end
    std::condition_variable m_Decoded; // capture pulls: new frames
    std::vector<int16_t> m_aRing;
    size_t m_uRingHead = 0;
    size_t m_uRingFrames = 0;
    mmr_state_t m_eState = MMR_STATE_IDLE;
    unsigned int m_uSpeed = MMR_SPEED_NORMAL;
    unsigned int m_uVolume = 100;
    long long m_llBaseMs = 0;         // track position of the ring's first frame after a jump
    unsigned long long m_uPlayed = 0; // frames output since then
    bool m_bEndOfTrack = false;       // the decoder has nothing more
    bool m_bDecodeFailed = false;
    bool m_bAtEnd = false; // stopped by the end: the next play starts over
    bool m_bQuit = false;
    Clock::time_point m_tLastPosition;
    mmr_error_info_t m_Error = {};
    bool m_bOutput = false;
    bool m_bCapture = false;
    std::thread m_Thread;
};

// The context handle of the renderer's calls.
struct mmr_context_t
{
    explicit mmr_context_t(const std::string& strName) : m_Music(strName, this) {}
    CMusicContext m_Music;
};

// The capture output (MmrControl.cpp).
bool MusicCaptureEnabled();
void MusicCaptureAdd(CMusicContext* pContext);
// Once this returns, the context is not pulled again.
void MusicCaptureRemove(CMusicContext* pContext);

} // namespace plat
