// One voice of PCM as the mixer sees it: a block of samples with a play
// position, flags, volume, pan, frequency, optional 3D parameters and
// notifications. A started buffer is in its engine's sound list; it owns its
// block or shares another buffer's (a duplicate).
//
// The main thread changes the playback fields while the mixer thread reads
// them and advances the position, so those fields are relaxed atomics; the 3D
// record is copied under the engine's critical section, and Lock is an atomic
// exchange so that only one holder at a time gets the block.
#pragma once

#include <atomic>
#include <cstdint>

#include "Korvel3D/KorvelMatrix4RH.h"
#include "KorvelCommon/KorvelTypes.h"
#include "KorvelSound/KorvelSoundNotify.h"
#include "KorvelSound/KorvelSoundTypes.h"

class CKorvelSoundBuffer : public IKorvelSoundNotifyHandler
{
public:
    enum
    {
        FLAG_3D = 1,     // mixed with the 3D gains and Doppler
        FLAG_NOTIFY = 2, // registered as a notify handler
    };

    static CKorvelSoundBuffer* New();
    CKorvelSoundBuffer();
    ~CKorvelSoundBuffer() override; // does not shut down: owners call Shutdown first

    // Allocates a silent block of uSize bytes in the format (the engine's
    // output format when null) and registers with the engine. 2 without an
    // engine, 7 without memory, 0 when the engine already holds the buffer.
    KE_RETVAL Startup(CKorvelSoundEngine* pEngine, const SKE_WAVEFORMAT* pFormat, unsigned int uSize,
                      unsigned int uFlags);
    // A voice sharing the other buffer's block; shut it down before that buffer.
    KE_RETVAL StartupAsDuplicate(const CKorvelSoundBuffer& other);
    void Shutdown();

    KE_RETVAL Play(unsigned int uLoop);
    KE_RETVAL Stop(); // keeps the position
    unsigned int IsPlaying() const { return m_uPlaying.load(std::memory_order_relaxed); }
    unsigned int IsLooping() const { return m_uLooping.load(std::memory_order_relaxed); }

    KE_RETVAL SetPosition(unsigned int uBytes); // 2 at or past the end
    unsigned int GetPosition() const { return m_uPosition.load(std::memory_order_relaxed); }

    KE_RETVAL SetVolume(int iVolume); // stored as given; sources clamp
    int GetVolume() const { return m_iVolume.load(std::memory_order_relaxed); }
    KE_RETVAL SetPan(int iPan);
    int GetPan() const { return m_iPan.load(std::memory_order_relaxed); }
    KE_RETVAL SetFrequency(unsigned int uHz); // clamped to 1000..88200
    unsigned int GetFrequency() const { return m_uFrequency.load(std::memory_order_relaxed); }
    // Frequency = speed x the format's rate, clamped; the speed is kept as given.
    KE_RETVAL SetPlaybackSpeed(float fSpeed);
    float GetPlaybackSpeed() const { return m_fSpeed.load(std::memory_order_relaxed); }

    const SKE_WAVEFORMAT& GetFormat() const { return m_Format; }
    unsigned int GetSize() const { return m_uSize; }
    unsigned int GetFlags() const { return m_uFlags; }
    unsigned int IsShared() const { return m_uShared; }

    // With uWhole the whole block, else uBytes from uOffset (2 when that range
    // leaves the block). 1000 with null outputs when already locked.
    KE_RETVAL Lock(unsigned int uOffset, unsigned int uBytes, void** ppData, unsigned int* puSize,
                   unsigned int uWhole);
    KE_RETVAL Unlock(void* pData, unsigned int uSize);
    void FillWithSilence();

    KE_RETVAL GetAll3DParameters(SKE_SOUND3DPARAMETERS& params) const;
    KE_RETVAL SetAll3DParameters(const SKE_SOUND3DPARAMETERS& params);
    // Position = source translation - listener translation (elements 12-14);
    // velocity = the listener's 3x3 applied to (source - listener velocity).
    KE_RETVAL Update3DParameters(const CKorvelVector3& vSourceVelocity, const CKorvelMatrix4RH& mSource,
                                 const CKorvelVector3& vListenerVelocity, const CKorvelMatrix4RH& mListener);
    KE_RETVAL Create3DBuffer(); // the default 3D record, at the listener

    void UpdateNotifies() override;

private:
    friend class CKorvelSoundEngine; // the mixer reads the block and advances the position

    // Lists the buffer with its engine (and as a notify handler with FLAG_NOTIFY);
    // shuts it down when the engine refuses.
    KE_RETVAL Register();
    void EnterEngineLock() const;
    void LeaveEngineLock() const;
    void Store3D(const SKE_SOUND3DPARAMETERS& params);

    SKE_WAVEFORMAT m_Format = {0, 0, 0, 0};
    unsigned int m_uSize = 0;
    unsigned int m_uFlags = 0;
    unsigned int m_uPreviousPlaying = 0; // mixer thread only, for started/stopped
    SKE_SOUND3DPARAMETERS m_3D;          // under the engine's critical section once started
    std::atomic<int> m_iVolume{100};
    std::atomic<int> m_iPan{0};
    std::atomic<unsigned int> m_uFrequency{0};
    std::atomic<float> m_fSpeed{1.0f};
    uint8_t* m_pData = nullptr;
    std::atomic<unsigned int> m_uPlaying{0};
    std::atomic<unsigned int> m_uPosition{0};
    std::atomic<unsigned int> m_uLooping{0};
    std::atomic<unsigned int> m_uLocked{0};
    unsigned int m_uShared = 0;
};

// Linear volume 0..100 to hundredths of a decibel (100 -> 0, below 1 -> -10000).
int LinearVolumeToLogarithmic(int iVolume);
