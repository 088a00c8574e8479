// The mixer pass: playing buffers into the stereo 32-bit accumulator, then the
// master stage into the output block and the device write.
//
// Sections: gains (Q15 volume, pan, 3D and Doppler) - stepping a buffer -
// MixerPlayBuffer - master stage.
#include <cstring>

#include "KorvelCommon/KorvelMath.h"
#include "KorvelSound/KorvelSoundEngine.h"
#include "PlatformPcm.h"

namespace
{
const float kSpeedOfSound = 340.0f;

struct sGAINS
{
    int32_t iLeft;
    int32_t iRight;
};

int ClampInt(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

// Volume 0..100 as a Q15 gain: 100 is 32767, else trunc(volume / 100 x 32767).
int32_t VolumeQ15(int iVolume)
{
    iVolume = ClampInt(iVolume, 0, 100); // values outside would overflow the Q15 products
    if (iVolume == 100)
        return 32767;
    if (iVolume == 0)
        return 0;
    return CKorvelMath::TruncToInt(static_cast<float>(iVolume) / 100.0f * 32767.0f);
}

// Left and right gains of a Q15 volume at a pan of -100 (left) .. 100 (right).
sGAINS PanGains(int32_t iVolumeQ15, int iPan)
{
    iPan = ClampInt(iPan, -100, 100);
    const int32_t iFull = (iVolumeQ15 * 32767) >> 15;
    if (iPan == 0)
        return {iFull, iFull};
    const int iAway = iPan > 0 ? iPan : -iPan;
    const int32_t iSide =
        iAway == 100
            ? 0
            : (iVolumeQ15 * CKorvelMath::TruncToInt(static_cast<float>(100 - iAway) / 100.0f * 32767.0f)) >>
                  15;
    return iPan > 0 ? sGAINS{iSide, iFull} : sGAINS{iFull, iSide};
}

// Gains of a 3D buffer from its listener-relative position and distances.
sGAINS Gains3D(int32_t iVolumeQ15, const SKE_SOUND3DPARAMETERS& p)
{
    const CKorvelVector3& pos = p.vPosition;
    const float fZ = pos.z == 0.0f ? 1e-5f : pos.z;
    const float fAngle = CKorvelMath::ATan(pos.x / fZ);
    const float fSide = pos.z >= 0.0f ? CKorvelMath::Sin(fAngle - KE_PI) : CKorvelMath::Sin(fAngle);
    uint32_t uL = 32767;
    uint32_t uR = 32767;
    if (fSide > 0.0f)
        uR = static_cast<uint32_t>(CKorvelMath::TruncToInt((1.0f - fSide) * 32767.0f));
    else
        uL = static_cast<uint32_t>(CKorvelMath::TruncToInt((1.0f + fSide) * 32767.0f));

    // A minimum distance of 0 (or less) would divide by zero: no attenuation then.
    uint32_t uT = 32767;
    const float fMin = p.fMinDistance;
    if (fMin > 0.0f)
    {
        float fDist = pos.Length();
        if (fDist < fMin)
            fDist = fMin;
        if (fDist > p.fMaxDistance)
            fDist = p.fMaxDistance;
        const int iT = CKorvelMath::TruncToInt(32767.0f / CKorvelMath::Pow(2.0f, (fDist - fMin) / fMin));
        uT = static_cast<uint32_t>(ClampInt(iT, 0, 32767)); // a maximum below the minimum must not amplify
    }
    const int32_t iL = static_cast<int32_t>((uL * uT) / 32767u);
    const int32_t iR = static_cast<int32_t>((uR * uT) / 32767u);
    return {(iVolumeQ15 * iL) >> 15, (iVolumeQ15 * iR) >> 15};
}

// Frequency shifted by the source's motion along the line to the listener.
unsigned int DopplerFrequency(unsigned int uHz, const SKE_SOUND3DPARAMETERS& p)
{
    CKorvelVector3 vDir(p.vPosition);
    vDir.Normalize();
    CKorvelVector3 vVel(p.vVelocity);
    const float fSpeed = vVel.Length();
    vVel.Normalize();
    const float fFactor = (kSpeedOfSound - vDir.Dot(vVel) * fSpeed * p.fDopplerFactor) / kSpeedOfSound;
    const float fHz = static_cast<float>(uHz) * fFactor;
    // Receding at the speed of sound or faster gives 0 or less: the lowest rate.
    if (!(fHz > static_cast<float>(KE_SOUND_MIN_FREQUENCY)))
        return KE_SOUND_MIN_FREQUENCY;
    if (fHz >= static_cast<float>(KE_SOUND_MAX_FREQUENCY))
        return KE_SOUND_MAX_FREQUENCY;
    return static_cast<unsigned int>(fHz);
}

// Adds n output frames from source frame uFirst, stepping 8.8 fixed point.
template <bool b16, bool bStereo>
void MixFrames(const uint8_t* pData, uint32_t uFirst, uint32_t uStep, uint32_t n, sGAINS g, int32_t* pAcc)
{
    uint32_t uFrac = 0;
    for (uint32_t k = 0; k < n; ++k, uFrac += uStep)
    {
        const uint32_t uFrame = uFirst + (uFrac >> 8);
        int32_t iL;
        int32_t iR;
        if (b16)
        {
            const int16_t* p =
                reinterpret_cast<const int16_t*>(pData) + static_cast<size_t>(uFrame) * (bStereo ? 2 : 1);
            iL = p[0];
            iR = bStereo ? p[1] : iL;
        }
        else
        {
            const uint8_t* p = pData + static_cast<size_t>(uFrame) * (bStereo ? 2 : 1);
            iL = (static_cast<int32_t>(p[0]) - 128) * 256;
            iR = bStereo ? (static_cast<int32_t>(p[1]) - 128) * 256 : iL;
        }
        pAcc[2 * static_cast<size_t>(k)] += (g.iLeft * iL) >> 15;
        pAcc[2 * k + 1] += (g.iRight * iR) >> 15;
    }
}

template <typename T> T Clamp64(int64_t v, int64_t lo, int64_t hi)
{
    return static_cast<T>(v < lo ? lo : (v > hi ? hi : v));
}
} // namespace

bool CKorvelSoundEngine::MixSound(CKorvelSoundBuffer& buffer, unsigned int uFrames)
{
    const SKE_WAVEFORMAT& fmt = buffer.m_Format;
    const bool b16 = fmt.uBitsPerSample == 16;
    if ((fmt.uBitsPerSample != 8 && !b16) || (fmt.uChannels != 1 && fmt.uChannels != 2) ||
        fmt.uBlockAlign == 0)
        return false; // no format the mixer can read

    const int32_t iVolume = VolumeQ15(buffer.GetVolume());
    sGAINS gains;
    unsigned int uHz = buffer.GetFrequency();
    if (buffer.m_uFlags & CKorvelSoundBuffer::FLAG_3D)
    {
        // The 3D record is written under the critical section, which the mixer holds.
        gains = Gains3D(iVolume, buffer.m_3D);
        uHz = DopplerFrequency(uHz, buffer.m_3D);
    }
    else
    {
        gains = PanGains(iVolume, buffer.GetPan());
    }
    const uint32_t f = KorvelClampFrequency(uHz);

    void* pLocked = nullptr;
    unsigned int uSize = 0;
    if (buffer.Lock(0, 0, &pLocked, &uSize, 1) != KE_OK)
        return false; // a loader is filling it: skip this pass
    const uint8_t* pData = static_cast<const uint8_t*>(pLocked);
    if (!pData)
    {
        buffer.Unlock(pLocked, uSize);
        return false;
    }

    const uint32_t uAlign = fmt.uBlockAlign;
    const uint32_t uTotal = uSize / uAlign; // source frames
    const uint32_t r = m_Format.uSamplesPerSec;
    const uint32_t uStep = (f << 8) / r;
    const bool bStereo = fmt.uChannels == 2;
    uint32_t o = 0;
    while (o < 2 * uFrames && buffer.IsPlaying())
    {
        uint32_t n = (2 * uFrames - o) / 2;
        const uint32_t uFirst = buffer.GetPosition() / uAlign;
        const uint32_t uLeft = uFirst < uTotal ? uTotal - uFirst : 0;
        const uint64_t uNeed = static_cast<uint64_t>(f) * n / r;
        // Whole request only when the last frame it reads is inside the block
        // (with a slower step the rounded need can fall one frame short).
        const bool bWhole = uLeft >= uNeed && (((n - 1) * uStep) >> 8) < uLeft;
        if (!bWhole)
            n = static_cast<uint32_t>(static_cast<uint64_t>(r) * uLeft / f);
        int32_t* pAcc = m_piAccumulator + o;
        if (b16)
            bStereo ? MixFrames<true, true>(pData, uFirst, uStep, n, gains, pAcc)
                    : MixFrames<true, false>(pData, uFirst, uStep, n, gains, pAcc);
        else
            bStereo ? MixFrames<false, true>(pData, uFirst, uStep, n, gains, pAcc)
                    : MixFrames<false, false>(pData, uFirst, uStep, n, gains, pAcc);
        o += 2 * n;
        if (bWhole)
        {
            buffer.m_uPosition.store((uFirst + (((n - 1) * uStep) >> 8) + 1) * uAlign,
                                     std::memory_order_relaxed);
            continue;
        }
        buffer.m_uPosition.store(0, std::memory_order_relaxed);
        if (!buffer.IsLooping())
            buffer.Stop();
        else if (n == 0 && uFirst == 0)
            break; // too short to give one frame even from its start: skip it for this pass
    }
    buffer.Unlock(pLocked, uSize);
    return true;
}

KE_RETVAL CKorvelSoundEngine::MixerPlayBuffer(unsigned int uBlock)
{
    if (!m_piAccumulator)
        return KE_ERR_NOTSTARTED;
    memset(m_piAccumulator, 0, m_uAccBytes);
    const unsigned int uFrames = m_uAccLength / 2;
    bool bMixed = false;
    if (!IsPaused())
    {
        m_Lock.Enter();
        for (int i = 0; i < m_Sounds.GetCount(); ++i)
        {
            CKorvelSoundBuffer* pBuffer = static_cast<CKorvelSoundBuffer*>(m_Sounds.GetAt(i));
            if (pBuffer->IsPlaying() && MixSound(*pBuffer, uFrames))
                bMixed = true;
        }
        m_Lock.Leave();
    }

    const unsigned int uBytes = m_Primary.GetSize();
    void* pBlock = nullptr;
    unsigned int uSize = 0;
    const KE_RETVAL ret = m_Primary.Lock(uBlock * uBytes, uBytes, &pBlock, &uSize, 0);
    if (ret != KE_OK)
        return ret;
    if (!pBlock)
    {
        m_Primary.Unlock(pBlock, uSize);
        return 0;
    }
    WriteMaster(pBlock, uFrames, bMixed);
    m_uStarted.store(0);
    if (m_pPcm)
        plat::snd_pcm_plugin_write(m_pPcm, pBlock, uSize);
    m_Primary.Unlock(pBlock, uSize);
    return KE_OK;
}

void CKorvelSoundEngine::WriteMaster(void* pBlock, unsigned int uFrames, bool bMixed)
{
    const bool b16 = m_Format.uBitsPerSample == 16;
    if (!bMixed || IsMuted())
    {
        memset(pBlock, b16 ? 0 : 128, m_Primary.GetSize());
        return;
    }
    // The products are 64-bit so that loud mixes clip instead of wrapping.
    const sGAINS g = PanGains(VolumeQ15(m_Primary.GetVolume()), m_Primary.GetPan());
    const int64_t iMono = (g.iLeft + g.iRight) >> 1;
    const int32_t* acc = m_piAccumulator;
    if (b16)
    {
        int16_t* out = static_cast<int16_t*>(pBlock);
        if (m_Format.uChannels == 2)
        {
            for (unsigned int i = 0; i < 2 * uFrames; i += 2)
            {
                out[i] = Clamp64<int16_t>((static_cast<int64_t>(acc[i]) * g.iLeft) >> 15, -32768, 32767);
                out[i + 1] =
                    Clamp64<int16_t>((static_cast<int64_t>(acc[i + 1]) * g.iRight) >> 15, -32768, 32767);
            }
        }
        else
        {
            for (unsigned int i = 0; i < uFrames; ++i)
            {
                const int64_t iSum = static_cast<int64_t>(acc[2 * static_cast<size_t>(i)]) + acc[2 * i + 1];
                out[i] = Clamp64<int16_t>((iSum * iMono) >> 16, -32768, 32767);
            }
        }
        return;
    }
    uint8_t* out = static_cast<uint8_t*>(pBlock);
    if (m_Format.uChannels == 2)
    {
        for (unsigned int i = 0; i < 2 * uFrames; i += 2)
        {
            out[i] = Clamp64<uint8_t>(((static_cast<int64_t>(acc[i]) * g.iLeft) >> 23) + 128, 0, 255);
            out[i + 1] =
                Clamp64<uint8_t>(((static_cast<int64_t>(acc[i + 1]) * g.iRight) >> 23) + 128, 0, 255);
        }
    }
    else
    {
        for (unsigned int i = 0; i < uFrames; ++i)
        {
            const int64_t iSum = static_cast<int64_t>(acc[2 * static_cast<size_t>(i)]) + acc[2 * i + 1];
            out[i] = Clamp64<uint8_t>(((iSum * iMono) >> 24) + 128, 0, 255);
        }
    }
}
