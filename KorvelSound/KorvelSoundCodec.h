// Interface of a sample-format converter (the IMA ADPCM decoder is one). It
// keeps its own copies of the encoded and decoded formats.
#pragma once

#include "KorvelCommon/KorvelTypes.h"
#include "KorvelSound/KorvelSoundTypes.h"

class IKorvelSoundCodec
{
public:
    IKorvelSoundCodec() {}
    virtual ~IKorvelSoundCodec(); // frees the format copies
    IKorvelSoundCodec(const IKorvelSoundCodec&) = delete;
    IKorvelSoundCodec& operator=(const IKorvelSoundCodec&) = delete;

    virtual KE_RETVAL Encode(const void* pIn, unsigned int uInBytes, void* pOut, unsigned int uOutBytes) = 0;
    virtual unsigned int QueryEncodeBufferSize(unsigned int uBytes) = 0;
    virtual KE_RETVAL Decode(const void* pIn, unsigned int uInBytes, void* pOut, unsigned int uOutBytes) = 0;
    virtual unsigned int QueryDecodeBufferSize(unsigned int uBytes) = 0;

    // Keeps copies of both formats: 2 unless both are given, 7 without memory.
    KE_RETVAL Startup(const SKE_WAVEFORMAT* pDecoded, const SKE_WAVEFORMAT* pEncoded);
    void Shutdown();
    // *ppTarget becomes a new copy of the source (null when out of memory).
    static SKE_WAVEFORMAT* AllocateAndCopyWaveFormat(const SKE_WAVEFORMAT* pSource,
                                                     SKE_WAVEFORMAT** ppTarget);

    const SKE_WAVEFORMAT* GetEncodedFormat() const { return m_pEncoded; }
    const SKE_WAVEFORMAT* GetDecodedFormat() const { return m_pDecoded; }

protected:
    SKE_WAVEFORMAT* m_pEncoded = nullptr;
    SKE_WAVEFORMAT* m_pDecoded = nullptr;
};
