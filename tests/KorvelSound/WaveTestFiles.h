// RIFF/WAVE files built chunk by chunk in memory, for the loader tests that
// need layouts and damage no ordinary writer makes; loaded sounds read back.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "KorvelSound/KorvelSoundWave.h"

inline void PutLE(std::vector<uint8_t>& aOut, uint32_t uValue, int iBytes)
{
    for (int i = 0; i < iBytes; ++i)
        aOut.push_back(static_cast<uint8_t>(uValue >> (8 * i)));
}

// The format chunk's body: the 16-byte record, then (when bExtra) the extra
// size and extra bytes.
inline std::vector<uint8_t> FmtBody(unsigned int uTag, unsigned int uChannels, unsigned int uRate,
                                    unsigned int uBits, unsigned int uBlockAlign, bool bExtra = false,
                                    const std::vector<uint8_t>& aExtra = {})
{
    std::vector<uint8_t> aOut;
    PutLE(aOut, uTag, 2);
    PutLE(aOut, uChannels, 2);
    PutLE(aOut, uRate, 4);
    PutLE(aOut, uRate * uBlockAlign, 4);
    PutLE(aOut, uBlockAlign, 2);
    PutLE(aOut, uBits, 2);
    if (bExtra)
    {
        PutLE(aOut, static_cast<uint32_t>(aExtra.size()), 2);
        aOut.insert(aOut.end(), aExtra.begin(), aExtra.end());
    }
    return aOut;
}

class CRiffBuilder
{
public:
    // A chunk with its true size, padded to an even length.
    CRiffBuilder& Chunk(const char* pId, const std::vector<uint8_t>& aBody)
    {
        return ChunkSized(pId, static_cast<uint32_t>(aBody.size()), aBody, true);
    }
    // A chunk whose size field says uSize whatever the body holds.
    CRiffBuilder& ChunkSized(const char* pId, uint32_t uSize, const std::vector<uint8_t>& aBody,
                             bool bPad = false)
    {
        m_aBody.insert(m_aBody.end(), pId, pId + 4);
        PutLE(m_aBody, uSize, 4);
        m_aBody.insert(m_aBody.end(), aBody.begin(), aBody.end());
        if (bPad && (aBody.size() & 1))
            m_aBody.push_back(0);
        return *this;
    }
    CRiffBuilder& Raw(const std::vector<uint8_t>& aBytes)
    {
        m_aBody.insert(m_aBody.end(), aBytes.begin(), aBytes.end());
        return *this;
    }
    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> aOut = {'R', 'I', 'F', 'F'};
        PutLE(aOut, static_cast<uint32_t>(4 + m_aBody.size()), 4);
        aOut.insert(aOut.end(), {'W', 'A', 'V', 'E'});
        aOut.insert(aOut.end(), m_aBody.begin(), m_aBody.end());
        return aOut;
    }

private:
    std::vector<uint8_t> m_aBody;
};

inline std::vector<uint8_t> Pcm16Bytes(const std::vector<int16_t>& aSamples)
{
    std::vector<uint8_t> aOut;
    for (int16_t s : aSamples)
        PutLE(aOut, static_cast<uint16_t>(s), 2);
    return aOut;
}

// A "LIST" body of type "adtl" holding one label with the given text bytes
// (the terminator, if any, is part of aText).
inline std::vector<uint8_t> AdtlLabel(const char* pSubId, const std::vector<uint8_t>& aText)
{
    std::vector<uint8_t> aOut = {'a', 'd', 't', 'l'};
    aOut.insert(aOut.end(), pSubId, pSubId + 4);
    PutLE(aOut, static_cast<uint32_t>(4 + aText.size()), 4);
    PutLE(aOut, 1, 4); // cue identifier
    aOut.insert(aOut.end(), aText.begin(), aText.end());
    if (aText.size() & 1)
        aOut.push_back(0);
    return aOut;
}

inline std::vector<uint8_t> VoiceBytes(const CKorvelSoundWave& wave, unsigned int uVoice = 0)
{
    CKorvelSoundBuffer* pBuffer = wave.GetBuffer(uVoice);
    if (!pBuffer)
        return {};
    void* pData = nullptr;
    unsigned int uSize = 0;
    if (pBuffer->Lock(0, 0, &pData, &uSize, 1) != KE_OK)
        return {};
    std::vector<uint8_t> aOut(static_cast<uint8_t*>(pData), static_cast<uint8_t*>(pData) + uSize);
    pBuffer->Unlock(pData, uSize);
    return aOut;
}

inline std::vector<int16_t> VoiceSamples(const CKorvelSoundWave& wave)
{
    const std::vector<uint8_t> aBytes = VoiceBytes(wave);
    std::vector<int16_t> aOut(aBytes.size() / 2);
    memcpy(aOut.data(), aBytes.data(), aOut.size() * 2);
    return aOut;
}

// A sound loaded from a path or from bytes it keeps, shut down at the end.
class CLoadedWave
{
public:
    ~CLoadedWave() { m_Wave.Shutdown(); }
    KE_RETVAL Load(CKorvelSoundEngine* pEngine, const std::string& strPath, unsigned int uDuplicates = 0)
    {
        return m_Wave.Load(pEngine, CKorvelString(strPath.c_str()), 0, uDuplicates);
    }
    KE_RETVAL LoadBytes(CKorvelSoundEngine* pEngine, std::vector<uint8_t> aBytes,
                        unsigned int uDuplicates = 0)
    {
        m_aBytes = std::move(aBytes);
        return m_Wave.LoadFromMemory(pEngine, m_aBytes.data(), static_cast<unsigned int>(m_aBytes.size()), 0,
                                     uDuplicates);
    }
    CKorvelSoundWave m_Wave;

private:
    std::vector<uint8_t> m_aBytes;
};
