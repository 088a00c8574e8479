// Sound engine started on the PCM capture sink with no mixer thread, so that
// every Update is one mixer pass and one captured block.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "KorvelSound/KorvelSoundEngine.h"
#include "PlatformPcmControl.h"

// A started buffer holding the given 16-bit samples (or the low bytes as 8-bit ones).
inline CKorvelSoundBuffer* MakeSoundBuffer(CKorvelSoundEngine* pEngine, unsigned int uRate,
                                           unsigned int uChannels, const std::vector<int16_t>& samples,
                                           unsigned int uFlags = 0, unsigned int uBits = 16)
{
    SKE_WAVEFORMAT format;
    CKorvelSoundEngine::FillWaveFormat(uRate, uBits, uChannels, format);
    CKorvelSoundBuffer* pBuffer = CKorvelSoundBuffer::New();
    const unsigned int uBytes = static_cast<unsigned int>(samples.size() * uBits / 8);
    if (pBuffer->Startup(pEngine, &format, uBytes, uFlags) != KE_OK)
    {
        delete pBuffer;
        return nullptr;
    }
    void* pData = nullptr;
    unsigned int uSize = 0;
    pBuffer->Lock(0, 0, &pData, &uSize, 1);
    if (uBits == 16 && uSize > 0)
        memcpy(pData, samples.data(), uSize);
    else
        for (unsigned int i = 0; i < uSize; ++i)
            static_cast<uint8_t*>(pData)[i] = static_cast<uint8_t>(samples[i]);
    pBuffer->Unlock(pData, uSize);
    return pBuffer;
}

inline void FreeSoundBuffer(CKorvelSoundBuffer* pBuffer)
{
    if (pBuffer)
        pBuffer->Shutdown();
    delete pBuffer;
}

class CSoundTestEngine
{
public:
    explicit CSoundTestEngine(unsigned int uRate = 44100, unsigned int uBits = 16, unsigned int uChannels = 2,
                              unsigned int uBytes = 0)
    {
        plat::PcmControlReset();
        plat::PcmControlUseCaptureSink(true);
        m_iStartup = m_Engine.Startup(nullptr, uRate, uBits, uChannels, nullptr,
                                      CKorvelSoundEngine::STARTUP_NO_THREAD, uBytes);
    }
    ~CSoundTestEngine()
    {
        for (CKorvelSoundBuffer* pBuffer : m_Buffers)
            FreeSoundBuffer(pBuffer);
        m_Engine.Shutdown();
        plat::PcmControlReset();
    }

    CKorvelSoundEngine* operator->() { return &m_Engine; }
    CKorvelSoundEngine* Get() { return &m_Engine; }
    KE_RETVAL StartupResult() const { return m_iStartup; }

    // A buffer as MakeSoundBuffer makes it, freed with the engine.
    CKorvelSoundBuffer* Buffer(unsigned int uRate, unsigned int uChannels,
                               const std::vector<int16_t>& samples, unsigned int uFlags = 0,
                               unsigned int uBits = 16)
    {
        m_Buffers.push_back(MakeSoundBuffer(&m_Engine, uRate, uChannels, samples, uFlags, uBits));
        return m_Buffers.back();
    }

    // One pass; the block it wrote (empty when it wrote none).
    std::vector<uint8_t> PassBytes()
    {
        const size_t uBefore = plat::PcmCaptureBlockCount();
        m_Engine.Update(0.0f);
        if (plat::PcmCaptureBlockCount() == uBefore)
            return {};
        return plat::PcmCaptureBlock(uBefore);
    }
    std::vector<int16_t> Pass()
    {
        const std::vector<uint8_t> bytes = PassBytes();
        std::vector<int16_t> samples(bytes.size() / 2);
        if (!samples.empty())
            memcpy(samples.data(), bytes.data(), bytes.size());
        return samples;
    }

private:
    CKorvelSoundEngine m_Engine;
    KE_RETVAL m_iStartup;
    std::vector<CKorvelSoundBuffer*> m_Buffers;
};

// Reference arithmetic of the mixer, written out once for the expectations.
// Q15 product with an arithmetic shift.
inline int32_t Q15Mul(int32_t iGain, int32_t iSample)
{
    return (iGain * iSample) >> 15;
}
// 16-bit output of one accumulator sample at a master gain, clamped.
inline int16_t MasterOut16(int64_t iAcc, int32_t iGain)
{
    const int64_t v = (iAcc * iGain) >> 15;
    return static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
}
