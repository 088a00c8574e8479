// One music track played by the platform's multimedia renderer. The player
// hears the renderer's state and position events as an event listener of the
// application and runs fades and the looping restart as a per-frame runnable.
// Volume, mute and fades reach the renderer's output volume.
#pragma once

#include "KorvelCommon/KorvelRunnable.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"
#include "KorvelInput/KorvelEvent.h"

class IKorvelApplication;

namespace plat
{
struct mmr_connection_t;
struct mmr_context_t;
} // namespace plat

class CKorvelSoundMusicPlayer : public IKorvelEventListener_Blackberry, public IKorvelRunnable
{
public:
    enum eSTATE
    {
        STATE_NOTSTARTED = 0,
        STATE_STOPPED = 1,
        STATE_PLAYING = 2,
        STATE_PAUSED = 3
    };

    static CKorvelSoundMusicPlayer* New();
    CKorvelSoundMusicPlayer();
    ~CKorvelSoundMusicPlayer() override; // does not shut down: owners call Shutdown first

    // 9 when the renderer's connection, context or output cannot be made, 8 when
    // the track cannot be attached; the caller then shuts the player down.
    KE_RETVAL Startup(IKorvelApplication* pApplication, const CKorvelString& strPath);
    void Shutdown();

    KE_RETVAL Play(unsigned int uLoop); // 3 before start-up; playing already: 1, nothing changes
    KE_RETVAL Pause();                  // 3 before start-up; 1 when not playing
    KE_RETVAL Stop();
    KE_RETVAL SetPosition(float fSeconds); // seeks to whole milliseconds
    float GetPosition() const { return m_fPosition; }
    float GetDuration() const { return m_fDuration; } // the furthest position reported
    unsigned int IsAtEnd() const { return m_uState == STATE_PLAYING && m_uAtEnd; }
    unsigned int GetState() const { return m_uState; }
    void SetLooping(unsigned int uLoop);

    void SetVolume(int iVolume); // 0..100
    int GetVolume() const;
    void Mute(unsigned int uMuted);
    unsigned int IsMuted() const { return m_uMuted; }
    void FadeIn(float fSeconds);
    void FadeOut(float fSeconds); // pauses the track at the end of the fade

    // Takes the renderer's events for this player; never consumes an event.
    int ProcessEvent(plat::bps_event_t* pEvent) override;
    // Fades, and the restart of a looping track that reached its end.
    void Update(float fSeconds) override;

    static void KEPrintMmrError(plat::mmr_context_t* pContext);

private:
    // Volume changes: the kept volume follows while muted, and the renderer hears it.
    void ChangeVolume(int iVolume);
    void SendVolume();
    void StartFade(float fSeconds, bool bIn);

    plat::mmr_context_t* m_pContext;
    plat::mmr_connection_t* m_pConnection;
    int m_iOutputId;
    int m_iEventRequest;
    int m_iLastState;
    float m_fPosition;
    float m_fDuration;
    IKorvelApplication* m_pApplication;
    unsigned int m_uState;
    int m_iVolume;
    int m_iStartupVolume;
    unsigned int m_uMuted;
    int m_iMutedVolume;
    int m_iFadeTarget;
    float m_fFadeValue;
    float m_fFadeRate; // volume units per second; 0 = no fade
    unsigned int m_uAtEnd;
    unsigned int m_uLoop;
    int m_iSentVolume; // what the renderer was last told, -1 for nothing yet
};
