// One action a layout declared: a small timed script of triggers (calls of other named
// actions), sounds and vibrations that starts when the action is invoked and runs over the
// following frames.
#pragma once

#include "Framework/UI/Callback.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"

class CKorvelSoundWave;
class CVornApplication;

class CActionEntry
{
public:
    struct sTrigger
    {
        unsigned int m_uPending;
        float m_fTime;
        CActionCallback m_Callback;
    };
    struct sSound
    {
        unsigned int m_uPending;
        float m_fTime;
        CKorvelSoundWave* m_pSound; // handed out by the resource manager
    };
    struct sVibration
    {
        unsigned int m_uPending;
        float m_fTime;
        unsigned int m_uKind;
    };

    CActionEntry();
    ~CActionEntry();

    KE_RETVAL Startup(const CKorvelString& strName);
    void SetApplication(CVornApplication* pApp) { m_pApp = pApp; }
    CVornApplication* GetApplication() const { return m_pApp; }
    const CKorvelString& GetName() const { return m_strName; }

    // Records fire once their time is reached after Start; negative times fire at Start.
    void AddTrigger(float fTime, const CActionCallback& callback);
    void AddSound(float fTime, CKorvelSoundWave* pSound);
    void AddVibrate(float fTime, unsigned int uKind);

    // Starts a run unless one is going (then the first sender stays); records due at 0 fire
    // before it returns.
    void Start(CWidget* pSender);
    void Update(float fSeconds);
    void Stop();
    // Hands the sounds back to the resource manager and frees every record.
    void Shutdown();

    unsigned int IsRunning() const { return m_fTime >= 0.0f ? 1 : 0; }
    float GetTime() const { return m_fTime; }
    CWidget* GetSender() const { return m_pSender; }

    // The function CreateAction binds: starts the entry given as context.
    static KE_RETVAL CallbackFunction(CWidget* pSender, void* pEntry);

private:
    CActionEntry(const CActionEntry&) = delete;
    CActionEntry& operator=(const CActionEntry&) = delete;

    // Fires the list's due records; true when one is still waiting.
    bool FireTriggers();
    bool FireSounds();
    bool FireVibrations();
    void PlaySound(CKorvelSoundWave* pSound);
    void Vibrate(unsigned int uKind);
    template <class R> static void SetPending(CKorvelPtrArray* pList);

    CVornApplication* m_pApp; // not owned
    CKorvelString m_strName;
    float m_fTime; // seconds since the run started; negative while idle
    CKorvelTypedPtrArray<sTrigger>* m_pTriggers;
    CKorvelTypedPtrArray<sSound>* m_pSounds;
    CKorvelTypedPtrArray<sVibration>* m_pVibrations;
    CWidget* m_pSender;
};
