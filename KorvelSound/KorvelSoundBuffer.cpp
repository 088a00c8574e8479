#include "KorvelSound/KorvelSoundBuffer.h"

#include <cmath>
#include <cstring>
#include <new>

#include "KorvelSound/KorvelSoundEngine.h"

namespace
{
const std::memory_order kRelaxed = std::memory_order_relaxed;

SKE_SOUND3DPARAMETERS Default3D()
{
    SKE_SOUND3DPARAMETERS p;
    p.fMinDistance = 20.0f;
    p.fMaxDistance = 100.0f;
    p.fDopplerFactor = 1.0f;
    p.uConeInsideAngle = 360;
    p.uConeOutsideAngle = 360;
    p.iConeOutsideVolume = 0;
    p.vPosition.Set(0.0f, 0.0f, 0.0f);
    p.vVelocity.Set(0.0f, 0.0f, 0.0f);
    p.vOrientation.Set(0.0f, 0.0f, 1.0f);
    return p;
}
} // namespace

CKorvelSoundBuffer* CKorvelSoundBuffer::New()
{
    return new (std::nothrow) CKorvelSoundBuffer();
}

CKorvelSoundBuffer::CKorvelSoundBuffer() : m_3D(Default3D()) {}

CKorvelSoundBuffer::~CKorvelSoundBuffer()
{
    // An owner that forgot Shutdown still must not leak the block.
    if (!m_uShared)
        delete[] m_pData;
}

KE_RETVAL CKorvelSoundBuffer::Startup(CKorvelSoundEngine* pEngine, const SKE_WAVEFORMAT* pFormat,
                                      unsigned int uSize, unsigned int uFlags)
{
    if (!pEngine)
        return KE_ERR_INVALIDARG;
    // Starting a started buffer again begins afresh instead of leaking its block.
    if (m_pData)
        Shutdown();
    m_pEngine = pEngine;
    const SKE_WAVEFORMAT& src = pFormat ? *pFormat : pEngine->GetPrimaryBuffer().GetFormat();
    CKorvelSoundEngine::FillWaveFormat(src.uSamplesPerSec, src.uBitsPerSample, src.uChannels, m_Format);
    m_pData = new (std::nothrow) uint8_t[uSize ? uSize : 1];
    if (!m_pData)
    {
        Shutdown();
        return KE_ERR_OUTOFMEMORY;
    }
    m_uShared = 0;
    m_uLocked.store(0);
    m_uPosition.store(0, kRelaxed);
    m_uSize = uSize;
    FillWithSilence();
    if (uFlags & FLAG_3D)
    {
        const KE_RETVAL ret = Create3DBuffer();
        if (ret != KE_OK)
        {
            Shutdown();
            return ret;
        }
    }
    m_uFlags = uFlags;
    return Register();
}

KE_RETVAL CKorvelSoundBuffer::Register()
{
    // Flags and frequency are in place before the mixer can see the buffer.
    m_uPreviousPlaying = 0;
    m_uFrequency.store(m_Format.uSamplesPerSec, kRelaxed);
    const KE_RETVAL ret = m_pEngine->AddSound(this);
    if (ret != KE_OK)
    {
        Shutdown();
        return ret;
    }
    if (m_uFlags & FLAG_NOTIFY)
        m_pEngine->AddNotifyHandler(this);
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::StartupAsDuplicate(const CKorvelSoundBuffer& other)
{
    if (!other.m_pEngine)
        return KE_ERR_INVALIDARG;
    if (m_pData)
        Shutdown();
    m_Format = other.m_Format;
    m_uSize = other.m_uSize;
    m_pData = other.m_pData;
    m_uLocked.store(other.m_uLocked.load());
    m_uFlags = other.m_uFlags;
    m_pEngine = other.m_pEngine;
    m_uPosition.store(0, kRelaxed);
    m_uShared = 1;
    if (m_uFlags & FLAG_3D)
    {
        const KE_RETVAL ret = Create3DBuffer();
        if (ret != KE_OK)
            return ret;
    }
    return Register();
}

void CKorvelSoundBuffer::Shutdown()
{
    // Leave the engine's lists first: after that the mixer no longer reads the
    // block or walks the notifications.
    if (m_pEngine)
    {
        m_pEngine->RemoveNotifyHandler(this);
        m_pEngine->RemoveSound(this);
    }
    RemoveAllNotifies();
    if (!m_uShared)
        delete[] m_pData;
    m_pData = nullptr;
}

KE_RETVAL CKorvelSoundBuffer::Play(unsigned int uLoop)
{
    m_uLooping.store(uLoop, kRelaxed);
    m_uPlaying.store(1, kRelaxed);
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::Stop()
{
    m_uPlaying.store(0, kRelaxed);
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::SetPosition(unsigned int uBytes)
{
    if (uBytes >= m_uSize)
        return KE_ERR_INVALIDARG;
    m_uPosition.store(uBytes, kRelaxed);
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::SetVolume(int iVolume)
{
    m_iVolume.store(iVolume, kRelaxed);
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::SetPan(int iPan)
{
    m_iPan.store(iPan, kRelaxed);
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::SetFrequency(unsigned int uHz)
{
    m_uFrequency.store(KorvelClampFrequency(uHz), kRelaxed);
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::SetPlaybackSpeed(float fSpeed)
{
    m_fSpeed.store(fSpeed, kRelaxed);
    // Clamped as a float: a negative, huge or NaN speed has no unsigned value.
    const float fHz = fSpeed * static_cast<float>(m_Format.uSamplesPerSec);
    unsigned int uHz = KE_SOUND_MIN_FREQUENCY;
    if (fHz >= static_cast<float>(KE_SOUND_MAX_FREQUENCY))
        uHz = KE_SOUND_MAX_FREQUENCY;
    else if (fHz > static_cast<float>(KE_SOUND_MIN_FREQUENCY))
        uHz = static_cast<unsigned int>(fHz);
    m_uFrequency.store(uHz, kRelaxed);
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::Lock(unsigned int uOffset, unsigned int uBytes, void** ppData,
                                   unsigned int* puSize, unsigned int uWhole)
{
    if (!ppData || !puSize)
        return KE_ERR_INVALIDARG;
    if (!uWhole && (uOffset > m_uSize || uBytes > m_uSize - uOffset))
    {
        *ppData = nullptr;
        *puSize = 0;
        return KE_ERR_INVALIDARG;
    }
    if (m_uLocked.exchange(1, std::memory_order_acquire))
    {
        *ppData = nullptr;
        *puSize = 0;
        return KE_ERR_LOCKED;
    }
    if (uWhole)
    {
        *ppData = m_pData;
        *puSize = m_uSize;
    }
    else
    {
        *ppData = m_pData ? m_pData + uOffset : nullptr;
        *puSize = uBytes;
    }
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::Unlock(void*, unsigned int)
{
    m_uLocked.store(0, std::memory_order_release);
    return KE_OK;
}

void CKorvelSoundBuffer::FillWithSilence()
{
    void* pData = nullptr;
    unsigned int uSize = 0;
    if (Lock(0, 0, &pData, &uSize, 1) != KE_OK)
        return;
    if (pData)
        memset(pData, m_Format.uBitsPerSample == 8 ? 128 : 0, uSize);
    Unlock(pData, uSize);
}

void CKorvelSoundBuffer::EnterEngineLock() const
{
    if (m_pEngine)
        m_pEngine->m_Lock.Enter();
}

void CKorvelSoundBuffer::LeaveEngineLock() const
{
    if (m_pEngine)
        m_pEngine->m_Lock.Leave();
}

KE_RETVAL CKorvelSoundBuffer::GetAll3DParameters(SKE_SOUND3DPARAMETERS& params) const
{
    EnterEngineLock();
    params = m_3D;
    LeaveEngineLock();
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::SetAll3DParameters(const SKE_SOUND3DPARAMETERS& params)
{
    Store3D(params);
    return KE_OK;
}

void CKorvelSoundBuffer::Store3D(const SKE_SOUND3DPARAMETERS& params)
{
    EnterEngineLock();
    m_3D = params;
    LeaveEngineLock();
}

KE_RETVAL CKorvelSoundBuffer::Update3DParameters(const CKorvelVector3& vSourceVelocity,
                                                 const CKorvelMatrix4RH& mSource,
                                                 const CKorvelVector3& vListenerVelocity,
                                                 const CKorvelMatrix4RH& mListener)
{
    const float* s = mSource.m;
    const float* l = mListener.m;
    CKorvelVector3 vPosition(s[12] - l[12], s[13] - l[13], s[14] - l[14]);
    CKorvelVector3 v;
    v.Sub(vSourceVelocity, vListenerVelocity);
    CKorvelVector3 vVelocity(l[0] * v.x + l[1] * v.y + l[2] * v.z, l[4] * v.x + l[5] * v.y + l[6] * v.z,
                             l[8] * v.x + l[9] * v.y + l[10] * v.z);
    EnterEngineLock();
    m_3D.vPosition = vPosition;
    m_3D.vVelocity = vVelocity;
    LeaveEngineLock();
    return KE_OK;
}

KE_RETVAL CKorvelSoundBuffer::Create3DBuffer()
{
    Store3D(Default3D());
    CKorvelMatrix4RH mAt;
    mAt.Identity();
    const CKorvelVector3 vStill(0.0f, 0.0f, 0.0f);
    return Update3DParameters(vStill, mAt, vStill, mAt);
}

void CKorvelSoundBuffer::UpdateNotifies()
{
    if (!(m_uFlags & FLAG_NOTIFY))
        return;
    const unsigned int uPlaying = IsPlaying();
    if (uPlaying)
        SendNotifies(eKET_SOUNDNOTIFY_POSITION, GetPosition());
    if (uPlaying != m_uPreviousPlaying)
        SendNotifies(uPlaying ? eKET_SOUNDNOTIFY_STARTED : eKET_SOUNDNOTIFY_STOPPED, 0);
    m_uPreviousPlaying = uPlaying;
}

int LinearVolumeToLogarithmic(int iVolume)
{
    if (iVolume == 100)
        return 0;
    if (iVolume < 1)
        return -10000;
    return static_cast<int>(std::floor(0.5f + 2000.0f * std::log10(static_cast<float>(iVolume) / 100.0f)));
}
