#include "KorvelSound/KorvelSoundCodecImaAdpcm.h"

#include <new>

// The tables of the published IMA/DVI ADPCM standard.
const int16_t CKorvelSoundCodecImaAdpcm::m_asStepsizeTable[89] = {
    7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
    31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
    130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
    544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
    2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

const int8_t CKorvelSoundCodecImaAdpcm::m_asIndexTable[16] = {-1, -1, -1, -1, 2, 4, 6, 8,
                                                              -1, -1, -1, -1, 2, 4, 6, 8};

CKorvelSoundCodecImaAdpcm* CKorvelSoundCodecImaAdpcm::New()
{
    return new (std::nothrow) CKorvelSoundCodecImaAdpcm();
}

KE_RETVAL CKorvelSoundCodecImaAdpcm::Encode(const void*, unsigned int, void*, unsigned int)
{
    return KE_ERR_NOTSUPPORTED;
}

unsigned int CKorvelSoundCodecImaAdpcm::QueryEncodeBufferSize(unsigned int uBytes)
{
    return uBytes / 4;
}

unsigned int CKorvelSoundCodecImaAdpcm::SamplesPerBlock(unsigned int uBlockAlign, unsigned int uChannels)
{
    if (uChannels == 0 || uBlockAlign == 0 || uBlockAlign % (4 * uChannels) != 0)
        return 0;
    return 1 + 8 * (uBlockAlign / (4 * uChannels) - 1);
}

unsigned int CKorvelSoundCodecImaAdpcm::QueryDecodeBufferSize(unsigned int uBytes)
{
    if (!m_pEncoded)
        return 0;
    const unsigned int uChannels = m_pEncoded->uChannels;
    const unsigned int uSamples = SamplesPerBlock(m_pEncoded->uBlockAlign, uChannels);
    if (uSamples == 0)
        return 0;
    // Exactly what Decode writes: every channel's samples of every whole block.
    const unsigned long long uSize =
        static_cast<unsigned long long>(uBytes / m_pEncoded->uBlockAlign) * uSamples * uChannels * 2;
    return uSize > 0xFFFFFFFFull ? 0 : static_cast<unsigned int>(uSize);
}

void CKorvelSoundCodecImaAdpcm::DecodeChannel(const uint8_t* pBlock, unsigned int uBlockAlign,
                                              unsigned int uChannels, unsigned int uChannel, int16_t* pOut)
{
    const uint8_t* pHeader = pBlock + 4 * static_cast<size_t>(uChannel);
    int iPredictor = static_cast<int16_t>(pHeader[0] | (pHeader[1] << 8));
    int iIndex = pHeader[2] > 88 ? 88 : pHeader[2]; // a corrupt header stays inside the table
    *pOut = static_cast<int16_t>(iPredictor);
    pOut += uChannels;

    const unsigned int uGroups = uBlockAlign / (4 * uChannels) - 1;
    for (unsigned int g = 0; g < uGroups; ++g)
    {
        const uint8_t* pWord =
            pBlock + 4 * static_cast<size_t>(uChannels) * (g + 1) + 4 * static_cast<size_t>(uChannel);
        for (int n = 0; n < 8; ++n)
        {
            const int iCode = (pWord[n / 2] >> ((n & 1) * 4)) & 0x0F;
            const int iStep = m_asStepsizeTable[iIndex];
            int iDiff = iStep >> 3;
            if (iCode & 4)
                iDiff += iStep;
            if (iCode & 2)
                iDiff += iStep >> 1;
            if (iCode & 1)
                iDiff += iStep >> 2;
            iPredictor += (iCode & 8) ? -iDiff : iDiff;
            iPredictor = iPredictor < -32768 ? -32768 : (iPredictor > 32767 ? 32767 : iPredictor);
            *pOut = static_cast<int16_t>(iPredictor);
            pOut += uChannels;
            iIndex += m_asIndexTable[iCode];
            iIndex = iIndex < 0 ? 0 : (iIndex > 88 ? 88 : iIndex);
        }
    }
}

KE_RETVAL CKorvelSoundCodecImaAdpcm::Decode(const void* pIn, unsigned int uInBytes, void* pOut,
                                            unsigned int uOutBytes)
{
    if (!m_pEncoded)
        return KE_ERR_NOTSTARTED;
    const unsigned int uChannels = m_pEncoded->uChannels;
    const unsigned int uBlockAlign = m_pEncoded->uBlockAlign;
    const unsigned int uSamples = SamplesPerBlock(uBlockAlign, uChannels);
    if (uSamples == 0)
        return KE_ERR_BADDATA;
    if (!pIn || !pOut)
        return KE_ERR_INVALIDARG;
    // Only blocks whose samples fit the output are decoded, whatever the caller sized.
    const unsigned int uBlockBytesOut = uSamples * uChannels * 2;
    unsigned int uBlocks = uInBytes / uBlockAlign;
    if (uBlocks > uOutBytes / uBlockBytesOut)
        uBlocks = uOutBytes / uBlockBytesOut;

    const uint8_t* pBlock = static_cast<const uint8_t*>(pIn);
    int16_t* pSamples = static_cast<int16_t*>(pOut);
    for (unsigned int b = 0; b < uBlocks; ++b)
    {
        for (unsigned int c = 0; c < uChannels; ++c)
            DecodeChannel(pBlock, uBlockAlign, uChannels, c, pSamples + c);
        pBlock += uBlockAlign;
        pSamples += static_cast<size_t>(uSamples) * uChannels;
    }
    return KE_OK;
}
