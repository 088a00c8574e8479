// The software mixer and its PCM output. Every started sound buffer is in the
// sound list; each pass (every 5 ms on the mixer thread, or on Update with
// start-up flag 4) mixes the playing buffers into a stereo 32-bit accumulator
// with Q15 gains, applies the master volume and pan, converts to the output
// format and writes one block to the device, whose blocking write paces the
// thread. The lists are shared with the main thread under the process-wide
// critical section, which the mixer also holds while delivering notifications.
// Files: KorvelSoundEngine.cpp (devices, buffers, the thread), KorvelSoundMixer.cpp (mixing).
#pragma once

#include <atomic>
#include <cstdint>

#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelThread.h"
#include "KorvelCommon/KorvelTypes.h"
#include "KorvelSound/KorvelSoundBuffer.h"
#include "KorvelSound/KorvelSoundTypes.h"

namespace plat
{
struct snd_pcm_t;
struct _screen_window;
} // namespace plat

class CKorvelSoundEngine : private IKorvelThread
{
public:
    enum
    {
        STARTUP_NO_THREAD = 4, // no mixer thread: the caller runs each pass with Update
    };
    static const unsigned int DEFAULT_BUFFER_BYTES = 3072;
    static const unsigned int MIXER_PRIORITY = 252;

    static CKorvelSoundEngine* New();
    CKorvelSoundEngine();
    ~CKorvelSoundEngine() override; // owners call Shutdown first; this only stops the thread and device

    // Opens the device in the listed format nearest the request (written back
    // by MixerStartup) with a block of uBufferBytes (rounded up to 16; 0 is
    // 3072). 11 no format, 2/7 from the primary buffer, 9 a device call failed
    // or the block exceeds the device's largest fragment, 7 no memory.
    KE_RETVAL Startup(plat::_screen_window* pWindow, unsigned int uSamplesPerSec, unsigned int uBitsPerSample,
                      unsigned int uChannels, SKE_DEVICE* pDevice, unsigned int uFlags,
                      unsigned int uBufferBytes);
    void Shutdown();
    // One mixer pass when started with STARTUP_NO_THREAD; otherwise nothing.
    virtual void Update(float fSeconds);

    // Stops every listed sound, on pausing and on resuming alike.
    void Pause(unsigned int uPaused);
    unsigned int IsPaused() const { return m_uPaused.load(std::memory_order_relaxed); }
    // While muted every pass writes silence; the master volume is kept aside
    // and comes back (with any change made meanwhile) on unmuting.
    void Mute(unsigned int uMuted);
    unsigned int IsMuted() const { return m_uMuted.load(std::memory_order_relaxed); }
    static unsigned int DeviceIsMuted() { return 0; }

    KE_RETVAL SetMasterVolume(int iVolume); // clamped to 0..100
    int GetMasterVolume() const;
    KE_RETVAL SetMasterPan(int iPan);
    int GetMasterPan() const;
    unsigned int GetMinBufferSize() const;

    KE_RETVAL AddSound(CKorvelSoundBuffer* pBuffer); // 2 null, 0 already listed, 1 added
    void RemoveSound(CKorvelSoundBuffer* pBuffer);
    KE_RETVAL AddNotifyHandler(IKorvelSoundNotifyHandler* pHandler);
    void RemoveNotifyHandler(IKorvelSoundNotifyHandler* pHandler);
    unsigned int NextNotifyId() { return ++m_uNotifyCounter; }

    static void GetSoundDevices(CKorvelPtrArray* pDevices);     // appends new SKE_DEVICE
    static void ReleaseSoundDevices(CKorvelPtrArray* pDevices); // deletes and empties
    static void GetSoundFormats(SKE_DEVICE* pDevice, CKorvelPtrArray* pFormats);
    static void ReleaseSoundFormats(CKorvelPtrArray* pFormats);
    static KE_RETVAL AddWaveFormatToList(CKorvelPtrArray* pFormats, unsigned int uRate, unsigned int uBits,
                                         unsigned int uChannels);
    static void FillWaveFormat(unsigned int uRate, unsigned int uBits, unsigned int uChannels,
                               SKE_WAVEFORMAT& format);
    static unsigned int GetFormatAvgBytesPerSec(const SKE_WAVEFORMAT& format);
    static void KEPrintSndStatus(plat::snd_pcm_t* pPcm);

    const SKE_WAVEFORMAT& GetFormat() const { return m_Format; }
    CKorvelSoundBuffer& GetPrimaryBuffer() { return m_Primary; }
    const CKorvelSoundBuffer& GetPrimaryBuffer() const { return m_Primary; }
    unsigned int GetSoundCount();
    unsigned int IsThreadRunning() const { return m_uThreadRunning; }

private:
    friend class CKorvelSoundBuffer; // copies its 3D record under m_Lock

    unsigned int ThreadProc() override;
    KE_RETVAL MixerStartup(SKE_WAVEFORMAT* pFormat, unsigned int uBufferBytes);
    void MixerShutdown();
    void InnerUpdate();

    // KorvelSoundMixer.cpp
    KE_RETVAL MixerPlayBuffer(unsigned int uBlock);
    bool MixSound(CKorvelSoundBuffer& buffer, unsigned int uFrames);
    void WriteMaster(void* pBlock, unsigned int uFrames, bool bMixed);

    CKorvelSoundBuffer m_Primary; // the output block; its volume and pan are the master's
    plat::_screen_window* m_pWindow = nullptr;
    SKE_WAVEFORMAT m_Format = {0, 0, 0, 0};
    unsigned int m_uNotifyCounter = 0;
    CKorvelPtrArray m_Sounds;         // CKorvelSoundBuffer*, not owned
    CKorvelPtrArray m_NotifyHandlers; // IKorvelSoundNotifyHandler*, not owned
    std::atomic<unsigned int> m_uPaused{0};
    CKorvelCriticalSection m_Lock;
    std::atomic<unsigned int> m_uMuted{0};
    int m_iVolumeAside = 0;
    unsigned int m_uThreadRunning = 0;
    int32_t* m_piAccumulator = nullptr; // stereo, 2 samples per output frame
    unsigned int m_uAccLength = 0;      // samples
    unsigned int m_uAccBytes = 0;
    unsigned int m_uFlags = 0;
    std::atomic<unsigned int> m_uStarted{0};
    plat::snd_pcm_t* m_pPcm = nullptr;
};
