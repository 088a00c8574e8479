#include "KorvelSound/KorvelSoundCodec.h"

#include <new>

IKorvelSoundCodec::~IKorvelSoundCodec()
{
    Shutdown();
}

KE_RETVAL IKorvelSoundCodec::Startup(const SKE_WAVEFORMAT* pDecoded, const SKE_WAVEFORMAT* pEncoded)
{
    if (!pDecoded || !pEncoded)
        return KE_ERR_INVALIDARG;
    Shutdown();
    if (!AllocateAndCopyWaveFormat(pDecoded, &m_pDecoded) ||
        !AllocateAndCopyWaveFormat(pEncoded, &m_pEncoded))
    {
        Shutdown();
        return KE_ERR_OUTOFMEMORY;
    }
    return KE_OK;
}

void IKorvelSoundCodec::Shutdown()
{
    delete m_pEncoded;
    delete m_pDecoded;
    m_pEncoded = nullptr;
    m_pDecoded = nullptr;
}

SKE_WAVEFORMAT* IKorvelSoundCodec::AllocateAndCopyWaveFormat(const SKE_WAVEFORMAT* pSource,
                                                             SKE_WAVEFORMAT** ppTarget)
{
    SKE_WAVEFORMAT* pCopy = pSource ? new (std::nothrow) SKE_WAVEFORMAT(*pSource) : nullptr;
    if (ppTarget)
        *ppTarget = pCopy;
    return pCopy;
}
