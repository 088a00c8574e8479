// IMA/DVI ADPCM to 16-bit PCM. A block of block-align bytes starts with one
// 4-byte header per channel (i16 predictor, u8 step index, a reserved byte),
// followed by groups of one 32-bit word per channel, each word 8 samples of
// its channel as 4-bit codes, lowest nibble first.
#pragma once

#include <cstdint>

#include "KorvelSound/KorvelSoundCodec.h"

class CKorvelSoundCodecImaAdpcm : public IKorvelSoundCodec
{
public:
    static CKorvelSoundCodecImaAdpcm* New();
    CKorvelSoundCodecImaAdpcm() {}

    // Encoding is not offered: 6.
    KE_RETVAL Encode(const void* pIn, unsigned int uInBytes, void* pOut, unsigned int uOutBytes) override;
    unsigned int QueryEncodeBufferSize(unsigned int uBytes) override;
    // Decodes the whole blocks of the input that fit the output, interleaved by
    // channel. 3 without an encoded format, 4 when its layout does not fit blocks.
    KE_RETVAL Decode(const void* pIn, unsigned int uInBytes, void* pOut, unsigned int uOutBytes) override;
    // Bytes of 16-bit PCM that the whole blocks of uBytes decode to.
    unsigned int QueryDecodeBufferSize(unsigned int uBytes) override;

    // Samples per channel in a block of uBlockAlign bytes; 0 when the layout is invalid.
    static unsigned int SamplesPerBlock(unsigned int uBlockAlign, unsigned int uChannels);

    static const int16_t m_asStepsizeTable[89];
    static const int8_t m_asIndexTable[16];

private:
    // One channel of one block, its samples uChannels apart in the output.
    static void DecodeChannel(const uint8_t* pBlock, unsigned int uBlockAlign, unsigned int uChannels,
                              unsigned int uChannel, int16_t* pOut);
};
