// A sound that plays several times at once: voice 0 owns the PCM block and
// voices 1..N share it. Every operation names the voice it applies to; the
// operations reach each other through the virtual slots, so a subclass that
// overrides one changes the others.
#pragma once

#include "Korvel3D/KorvelMatrix4RH.h"
#include "KorvelCommon/KorvelID.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelTypes.h"
#include "KorvelSound/KorvelSoundBuffer.h"
#include "KorvelSound/KorvelSoundTypes.h"

class IKorvelSoundSource : public CKorvelID
{
public:
    enum
    {
        PLAY_FREE_VOICE = 8, // Play/RePlay flag: use GetNextFreeDuplicateIndex instead of the index
    };

    IKorvelSoundSource();
    ~IKorvelSoundSource() override; // does not shut down: owners call Shutdown first

    // Shuts down and deletes every voice, duplicates first.
    virtual void Shutdown();
    // 2 for a bad voice; the voice continues from its position.
    virtual KE_RETVAL Play(unsigned int uLoop, unsigned int uIndex, unsigned int uFlags);
    // Like Play, from the start.
    virtual KE_RETVAL RePlay(unsigned int uLoop, unsigned int uIndex, unsigned int uFlags);
    virtual KE_RETVAL Stop(unsigned int uIndex);  // rewinds; 3 for a bad voice
    virtual KE_RETVAL Pause(unsigned int uIndex); // keeps the position; 3 for a bad voice
    virtual KE_RETVAL SetPosition(unsigned int uBytes, unsigned int uIndex);
    virtual unsigned int GetPosition(unsigned int uIndex) const; // 3 for a bad voice
    virtual KE_RETVAL SetPan(int iPan, unsigned int uIndex);     // clamped to -100..100
    virtual int GetPan(unsigned int uIndex) const;
    virtual KE_RETVAL SetVolume(int iVolume, unsigned int uIndex); // clamped to 0..100
    virtual int GetVolume(unsigned int uIndex) const;
    virtual KE_RETVAL SetFrequency(unsigned int uHz, unsigned int uIndex); // clamped to 1000..88200
    virtual unsigned int GetFrequency(unsigned int uIndex) const;
    virtual KE_RETVAL SetPlaybackSpeed(float fSpeed, unsigned int uIndex);
    virtual float GetPlaybackSpeed(unsigned int uIndex) const;
    virtual unsigned int IsPlaying(unsigned int uIndex) const;
    virtual unsigned int IsStreaming() const = 0;
    virtual const SKE_WAVEFORMAT& GetFormat() const;
    virtual unsigned int GetLength() const;
    virtual unsigned int GetDuplicateCount() const;
    // The first voice not playing, else the first not looping, else the one
    // with the fewest bytes left; 0 without voices.
    virtual unsigned int GetNextFreeDuplicateIndex() const;
    virtual unsigned int GetOriginalFrequency() const;
    virtual CKorvelSoundBuffer* GetBuffer(unsigned int uIndex) const; // null for a bad voice
    virtual KE_RETVAL Update3DParameters(const CKorvelVector3& vSourceVelocity,
                                         const CKorvelMatrix4RH& mSource,
                                         const CKorvelVector3& vListenerVelocity,
                                         const CKorvelMatrix4RH& mListener, unsigned int uIndex);

    KE_RETVAL SetAll3DParameters(const SKE_SOUND3DPARAMETERS& params, unsigned int uIndex);

protected:
    SKE_WAVEFORMAT m_Format = {0, 0, 0, 0};
    CKorvelPtrArray m_Voices; // owned CKorvelSoundBuffer*
    unsigned int m_uLength = 0;

private:
    // The voice Play and RePlay act on, or -1 for a bad one.
    int ChooseVoice(unsigned int uIndex, unsigned int uFlags) const;
};
