#include "KorvelSound/KorvelSoundSource.h"

namespace
{
int ClampInt(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}
} // namespace

IKorvelSoundSource::IKorvelSoundSource() {}

IKorvelSoundSource::~IKorvelSoundSource() {}

void IKorvelSoundSource::Shutdown()
{
    // Duplicates first: none may stay registered with the mixer once voice 0 frees the block.
    for (int i = m_Voices.GetCount() - 1; i >= 0; --i)
    {
        CKorvelSoundBuffer* pVoice = static_cast<CKorvelSoundBuffer*>(m_Voices.GetAt(i));
        pVoice->Shutdown();
        delete pVoice;
    }
    m_Voices.Clear();
    m_uLength = 0;
}

int IKorvelSoundSource::ChooseVoice(unsigned int uIndex, unsigned int uFlags) const
{
    const unsigned int uVoice = (uFlags & PLAY_FREE_VOICE) ? GetNextFreeDuplicateIndex() : uIndex;
    return GetBuffer(uVoice) ? static_cast<int>(uVoice) : -1;
}

KE_RETVAL IKorvelSoundSource::Play(unsigned int uLoop, unsigned int uIndex, unsigned int uFlags)
{
    const int iVoice = ChooseVoice(uIndex, uFlags);
    if (iVoice < 0)
        return KE_ERR_INVALIDARG;
    return GetBuffer(static_cast<unsigned int>(iVoice))->Play(uLoop);
}

KE_RETVAL IKorvelSoundSource::RePlay(unsigned int uLoop, unsigned int uIndex, unsigned int uFlags)
{
    const int iVoice = ChooseVoice(uIndex, uFlags);
    if (iVoice < 0)
        return KE_ERR_INVALIDARG;
    Stop(static_cast<unsigned int>(iVoice));
    return GetBuffer(static_cast<unsigned int>(iVoice))->Play(uLoop);
}

KE_RETVAL IKorvelSoundSource::Stop(unsigned int uIndex)
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    if (!pVoice)
        return KE_ERR_NOTSTARTED;
    pVoice->Stop();
    return SetPosition(0, uIndex);
}

KE_RETVAL IKorvelSoundSource::Pause(unsigned int uIndex)
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    if (!pVoice)
        return KE_ERR_NOTSTARTED;
    return pVoice->Stop();
}

KE_RETVAL IKorvelSoundSource::SetPosition(unsigned int uBytes, unsigned int uIndex)
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->SetPosition(uBytes) : KE_ERR_NOTSTARTED;
}

unsigned int IKorvelSoundSource::GetPosition(unsigned int uIndex) const
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->GetPosition() : static_cast<unsigned int>(KE_ERR_NOTSTARTED);
}

KE_RETVAL IKorvelSoundSource::SetPan(int iPan, unsigned int uIndex)
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->SetPan(ClampInt(iPan, -100, 100)) : KE_ERR_NOTSTARTED;
}

int IKorvelSoundSource::GetPan(unsigned int uIndex) const
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->GetPan() : 0;
}

KE_RETVAL IKorvelSoundSource::SetVolume(int iVolume, unsigned int uIndex)
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->SetVolume(ClampInt(iVolume, 0, 100)) : KE_ERR_NOTSTARTED;
}

int IKorvelSoundSource::GetVolume(unsigned int uIndex) const
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->GetVolume() : 0;
}

KE_RETVAL IKorvelSoundSource::SetFrequency(unsigned int uHz, unsigned int uIndex)
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->SetFrequency(KorvelClampFrequency(uHz)) : KE_ERR_NOTSTARTED;
}

unsigned int IKorvelSoundSource::GetFrequency(unsigned int uIndex) const
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->GetFrequency() : 0;
}

KE_RETVAL IKorvelSoundSource::SetPlaybackSpeed(float fSpeed, unsigned int uIndex)
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->SetPlaybackSpeed(fSpeed) : KE_ERR_NOTSTARTED;
}

float IKorvelSoundSource::GetPlaybackSpeed(unsigned int uIndex) const
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->GetPlaybackSpeed() : 0.0f;
}

unsigned int IKorvelSoundSource::IsPlaying(unsigned int uIndex) const
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    return pVoice ? pVoice->IsPlaying() : 0;
}

const SKE_WAVEFORMAT& IKorvelSoundSource::GetFormat() const
{
    return m_Format;
}

unsigned int IKorvelSoundSource::GetLength() const
{
    return m_uLength;
}

unsigned int IKorvelSoundSource::GetDuplicateCount() const
{
    const int iCount = m_Voices.GetCount();
    return iCount > 0 ? static_cast<unsigned int>(iCount - 1) : 0;
}

unsigned int IKorvelSoundSource::GetNextFreeDuplicateIndex() const
{
    const int iCount = m_Voices.GetCount();
    for (int i = 0; i < iCount; ++i)
        if (!static_cast<CKorvelSoundBuffer*>(m_Voices.GetAt(i))->IsPlaying())
            return static_cast<unsigned int>(i);
    for (int i = 0; i < iCount; ++i)
        if (!static_cast<CKorvelSoundBuffer*>(m_Voices.GetAt(i))->IsLooping())
            return static_cast<unsigned int>(i);
    unsigned int uBest = 0;
    int iFewest = 0;
    for (int i = 0; i < iCount; ++i)
    {
        const CKorvelSoundBuffer* pVoice = static_cast<CKorvelSoundBuffer*>(m_Voices.GetAt(i));
        const int iLeft = static_cast<int>(pVoice->GetSize() - pVoice->GetPosition());
        if (i == 0 || iLeft < iFewest)
        {
            iFewest = iLeft;
            uBest = static_cast<unsigned int>(i);
        }
    }
    return uBest;
}

unsigned int IKorvelSoundSource::GetOriginalFrequency() const
{
    return GetFormat().uSamplesPerSec;
}

CKorvelSoundBuffer* IKorvelSoundSource::GetBuffer(unsigned int uIndex) const
{
    if (uIndex >= static_cast<unsigned int>(m_Voices.GetCount()))
        return nullptr;
    return static_cast<CKorvelSoundBuffer*>(m_Voices.GetAt(static_cast<int>(uIndex)));
}

KE_RETVAL IKorvelSoundSource::Update3DParameters(const CKorvelVector3& vSourceVelocity,
                                                 const CKorvelMatrix4RH& mSource,
                                                 const CKorvelVector3& vListenerVelocity,
                                                 const CKorvelMatrix4RH& mListener, unsigned int uIndex)
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    if (!pVoice)
        return KE_ERR_NOTSTARTED;
    return pVoice->Update3DParameters(vSourceVelocity, mSource, vListenerVelocity, mListener);
}

KE_RETVAL IKorvelSoundSource::SetAll3DParameters(const SKE_SOUND3DPARAMETERS& params, unsigned int uIndex)
{
    CKorvelSoundBuffer* pVoice = GetBuffer(uIndex);
    if (!pVoice)
        return KE_ERR_NOTSTARTED;
    return pVoice->SetAll3DParameters(params);
}
