// Action entries: the timing of triggers, sounds and vibrations.
#include "Framework/UI/ActionEntry.h"
#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "KorvelSound/KorvelSoundWave.h"

CActionEntry::CActionEntry()
    : m_pApp(nullptr), m_fTime(-1.0f), m_pTriggers(nullptr), m_pSounds(nullptr), m_pVibrations(nullptr),
      m_pSender(nullptr)
{
}

CActionEntry::~CActionEntry()
{
    Shutdown();
}

KE_RETVAL CActionEntry::Startup(const CKorvelString& strName)
{
    m_strName = strName;
    m_fTime = -1.0f;
    m_pSender = nullptr;
    return KE_OK;
}

KE_RETVAL CActionEntry::CallbackFunction(CWidget* pSender, void* pEntry)
{
    static_cast<CActionEntry*>(pEntry)->Start(pSender);
    return KE_OK;
}

void CActionEntry::AddTrigger(float fTime, const CActionCallback& callback)
{
    if (callback.IsEmpty())
        return;
    if (!m_pTriggers)
        m_pTriggers = new CKorvelTypedPtrArray<sTrigger>;
    m_pTriggers->Add(new sTrigger{0, fTime, callback});
}

void CActionEntry::AddSound(float fTime, CKorvelSoundWave* pSound)
{
    if (!pSound)
        return;
    if (!m_pSounds)
        m_pSounds = new CKorvelTypedPtrArray<sSound>;
    m_pSounds->Add(new sSound{0, fTime, pSound});
}

void CActionEntry::AddVibrate(float fTime, unsigned int uKind)
{
    if (fTime < 0.0f)
        return;
    if (!m_pVibrations)
        m_pVibrations = new CKorvelTypedPtrArray<sVibration>;
    m_pVibrations->Add(new sVibration{0, fTime, uKind});
}

template <class R> void CActionEntry::SetPending(CKorvelPtrArray* pList)
{
    if (pList)
        for (int i = 0; i < pList->GetCount(); ++i)
            static_cast<R*>(pList->GetAt(i))->m_uPending = 1;
}

void CActionEntry::Start(CWidget* pSender)
{
    if (m_fTime >= 0.0f)
        return;
    m_pSender = pSender;
    m_fTime = 0.0f;
    SetPending<sTrigger>(m_pTriggers);
    SetPending<sSound>(m_pSounds);
    SetPending<sVibration>(m_pVibrations);
    Update(0.0f);
}

void CActionEntry::Update(float fSeconds)
{
    if (m_fTime < 0.0f)
        return;
    m_fTime += fSeconds;
    bool bWaiting = FireTriggers();
    // A trigger may have stopped or restarted this entry.
    if (m_fTime < 0.0f)
        return;
    bWaiting = FireSounds() || bWaiting;
    bWaiting = FireVibrations() || bWaiting;
    if (!bWaiting)
        Stop();
}

bool CActionEntry::FireTriggers()
{
    bool bWaiting = false;
    for (int i = 0; m_pTriggers && i < m_pTriggers->GetCount(); ++i)
    {
        sTrigger* pRecord = m_pTriggers->GetAt(i);
        if (!pRecord->m_uPending)
            continue;
        if (m_fTime >= pRecord->m_fTime)
        {
            pRecord->m_uPending = 0;
            pRecord->m_Callback.Call(m_pSender);
            if (m_fTime < 0.0f)
                return false;
        }
        else
            bWaiting = true;
    }
    return bWaiting;
}

bool CActionEntry::FireSounds()
{
    bool bWaiting = false;
    for (int i = 0; m_pSounds && i < m_pSounds->GetCount(); ++i)
    {
        sSound* pRecord = m_pSounds->GetAt(i);
        if (!pRecord->m_uPending)
            continue;
        if (m_fTime >= pRecord->m_fTime)
        {
            pRecord->m_uPending = 0;
            PlaySound(pRecord->m_pSound);
        }
        else
            bWaiting = true;
    }
    return bWaiting;
}

bool CActionEntry::FireVibrations()
{
    bool bWaiting = false;
    for (int i = 0; m_pVibrations && i < m_pVibrations->GetCount(); ++i)
    {
        sVibration* pRecord = m_pVibrations->GetAt(i);
        if (!pRecord->m_uPending)
            continue;
        if (m_fTime >= pRecord->m_fTime)
        {
            pRecord->m_uPending = 0;
            Vibrate(pRecord->m_uKind);
        }
        else
            bWaiting = true;
    }
    return bWaiting;
}

// A sound still being decoded by the resource manager's loader is passed over: restarting
// it would race the loader writing into the same wave.
void CActionEntry::PlaySound(CKorvelSoundWave* pSound)
{
    if (!m_pApp || !m_pApp->IsSoundReady(pSound))
        return;
    pSound->RePlay(0, 0, 0);
}

void CActionEntry::Vibrate(unsigned int uKind)
{
    if (!m_pApp)
        return;
    if (CVornDevice* pDevice = m_pApp->GetDevice())
        pDevice->Vibrate(static_cast<CVornDevice::eVIBRA>(uKind));
}

void CActionEntry::Stop()
{
    m_pSender = nullptr;
    m_fTime = -1.0f;
}

void CActionEntry::Shutdown()
{
    if (m_pTriggers)
    {
        for (int i = 0; i < m_pTriggers->GetCount(); ++i)
            delete m_pTriggers->GetAt(i);
        delete m_pTriggers;
        m_pTriggers = nullptr;
    }
    if (m_pVibrations)
    {
        for (int i = 0; i < m_pVibrations->GetCount(); ++i)
            delete m_pVibrations->GetAt(i);
        delete m_pVibrations;
        m_pVibrations = nullptr;
    }
    if (m_pSounds)
    {
        for (int i = 0; i < m_pSounds->GetCount(); ++i)
        {
            sSound* pRecord = m_pSounds->GetAt(i);
            CKorvelSoundWave* pSound = pRecord->m_pSound;
            if (!m_pApp || !m_pApp->ReleaseSound(pSound))
            {
                if (pSound)
                    pSound->Shutdown();
                delete pSound;
            }
            delete pRecord;
        }
        delete m_pSounds;
        m_pSounds = nullptr;
    }
    m_pSender = nullptr;
}
