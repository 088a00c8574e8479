// Engine lifecycle, device opening, the lists and the format tables. The
// mixing pass itself is in KorvelSoundMixer.cpp.
//
// Sections: start-up and shutdown - the thread - device opening (MixerStartup) -
// pause, mute and master settings - the lists - devices and formats.
#include "KorvelSound/KorvelSoundEngine.h"

#include <initializer_list>
#include <new>

#include "PlatformPcm.h"

namespace
{
const std::memory_order kRelaxed = std::memory_order_relaxed;

int ClampVolume(int iVolume)
{
    return iVolume < 0 ? 0 : (iVolume > 100 ? 100 : iVolume);
}

float Ratio(unsigned int a, unsigned int b)
{
    const float fa = static_cast<float>(a);
    const float fb = static_cast<float>(b);
    if (fa == fb)
        return 1.0f;
    // A zero in the request never wins over a real entry, and never divides by zero.
    if (fa == 0.0f || fb == 0.0f)
        return 10000.0f;
    return fa > fb ? fa / fb : fb / fa;
}
} // namespace

CKorvelSoundEngine* CKorvelSoundEngine::New()
{
    return new (std::nothrow) CKorvelSoundEngine();
}

CKorvelSoundEngine::CKorvelSoundEngine() {}

CKorvelSoundEngine::~CKorvelSoundEngine()
{
    // Owners shut down first; an engine deleted while running must still not
    // leave its thread mixing into freed members or its device open.
    IKorvelThread::Shutdown();
    if (m_pPcm || m_piAccumulator)
        MixerShutdown();
}

KE_RETVAL CKorvelSoundEngine::Startup(plat::_screen_window* pWindow, unsigned int uSamplesPerSec,
                                      unsigned int uBitsPerSample, unsigned int uChannels, SKE_DEVICE*,
                                      unsigned int uFlags, unsigned int uBufferBytes)
{
    if (m_pPcm || m_piAccumulator || m_uThreadRunning)
        Shutdown();
    m_pWindow = pWindow;
    SKE_WAVEFORMAT format;
    FillWaveFormat(uSamplesPerSec, uBitsPerSample, uChannels, format);
    m_Format = format;
    m_uFlags = uFlags;
    const KE_RETVAL ret = MixerStartup(&format, uBufferBytes);
    if (ret != KE_OK)
    {
        Shutdown();
        return ret;
    }
    m_uStarted.store(1);
    // The primary buffer listed itself while starting; it is not a sound.
    m_Lock.Enter();
    m_Sounds.Clear();
    m_Lock.Leave();
    if (!(uFlags & STARTUP_NO_THREAD))
    {
        if (!IKorvelThread::Startup(MIXER_PRIORITY))
        {
            Shutdown();
            return KE_ERR_DEVICE;
        }
        m_uThreadRunning = 1;
    }
    return KE_OK;
}

void CKorvelSoundEngine::Shutdown()
{
    IKorvelThread::Shutdown();
    m_uThreadRunning = 0;
    m_Lock.Enter();
    m_NotifyHandlers.Clear();
    m_Lock.Leave();
    MixerShutdown();
    m_Lock.Enter();
    m_Sounds.Clear();
    m_Lock.Leave();
    m_pWindow = nullptr;
}

void CKorvelSoundEngine::Update(float)
{
    if (m_uFlags & STARTUP_NO_THREAD)
        InnerUpdate();
}

unsigned int CKorvelSoundEngine::ThreadProc()
{
    while (IsRunning())
    {
        InnerUpdate();
        Sleep(5);
        // Paused: nothing to write, so nothing paces the loop; idle in short
        // steps so that Shutdown is not kept waiting.
        for (int i = 0; i < 50 && IsPaused() && IsRunning(); ++i)
            Sleep(10);
    }
    return 0;
}

KE_RETVAL CKorvelSoundEngine::MixerStartup(SKE_WAVEFORMAT* pFormat, unsigned int uBufferBytes)
{
    CKorvelPtrArray formats;
    GetSoundFormats(nullptr, &formats);
    if (formats.GetCount() == 0)
        return KE_ERR_DECODE;
    const SKE_WAVEFORMAT* pBest = nullptr;
    float fBest = 10000.0f;
    for (int i = 0; i < formats.GetCount(); ++i)
    {
        const SKE_WAVEFORMAT* p = static_cast<const SKE_WAVEFORMAT*>(formats.GetAt(i));
        const float fScore = Ratio(p->uSamplesPerSec, pFormat->uSamplesPerSec) *
                             Ratio(p->uBitsPerSample, pFormat->uBitsPerSample) *
                             Ratio(p->uChannels, pFormat->uChannels);
        if (fScore < fBest)
        {
            fBest = fScore;
            pBest = p;
        }
    }
    if (!pBest)
        pBest = static_cast<const SKE_WAVEFORMAT*>(formats.GetAt(0));
    *pFormat = *pBest;
    m_Format = *pBest;
    ReleaseSoundFormats(&formats);

    const unsigned int uBytes = uBufferBytes == 0 ? DEFAULT_BUFFER_BYTES : (uBufferBytes + 15) & ~15u;
    KE_RETVAL ret = m_Primary.Startup(this, &m_Format, uBytes, 0);
    if (ret != KE_OK)
        return ret;

    int iCard = -1;
    int iDevice = 0;
    if (plat::snd_pcm_open_preferred(&m_pPcm, &iCard, &iDevice, plat::SND_PCM_OPEN_PLAYBACK) != 0)
    {
        m_pPcm = nullptr;
        MixerShutdown();
        return KE_ERR_DEVICE;
    }
    plat::snd_pcm_channel_info_t info = {};
    info.channel = plat::SND_PCM_CHANNEL_PLAYBACK;
    if (plat::snd_pcm_plugin_info(m_pPcm, &info) != 0 ||
        uBytes > static_cast<unsigned int>(info.max_fragment_size))
    {
        MixerShutdown();
        return KE_ERR_DEVICE;
    }
    plat::snd_pcm_channel_params_t params = {};
    params.channel = plat::SND_PCM_CHANNEL_PLAYBACK;
    params.mode = plat::SND_PCM_MODE_BLOCK;
    params.format.interleave = m_Format.uChannels > 1 ? 1 : 0;
    // The mixer writes unsigned bytes for 8-bit output; the device must be told so.
    params.format.format = m_Format.uBitsPerSample == 8 ? plat::SND_PCM_SFMT_U8 : plat::SND_PCM_SFMT_S16_LE;
    params.format.rate = static_cast<int32_t>(m_Format.uSamplesPerSec);
    params.format.voices = static_cast<int32_t>(m_Format.uChannels);
    params.start_mode = plat::SND_PCM_START_FULL;
    params.stop_mode = plat::SND_PCM_STOP_ROLLOVER;
    params.buf.block.frag_size = static_cast<int32_t>(uBytes);
    params.buf.block.frags_min = 1;
    params.buf.block.frags_max = 1;
    if (plat::snd_pcm_plugin_params(m_pPcm, &params) != 0 ||
        plat::snd_pcm_plugin_prepare(m_pPcm, plat::SND_PCM_CHANNEL_PLAYBACK) != 0)
    {
        MixerShutdown();
        return KE_ERR_DEVICE;
    }

    // Always stereo: F = bytes / block align frames, two samples each.
    m_uAccLength = (3 - m_Format.uChannels) * uBytes / (m_Format.uBitsPerSample / 8);
    m_uAccBytes = m_uAccLength * 4;
    m_piAccumulator = new (std::nothrow) int32_t[m_uAccLength];
    if (!m_piAccumulator)
    {
        MixerShutdown();
        return KE_ERR_OUTOFMEMORY;
    }
    return KE_OK;
}

void CKorvelSoundEngine::MixerShutdown()
{
    if (m_pPcm)
    {
        plat::snd_pcm_close(m_pPcm);
        m_pPcm = nullptr;
    }
    m_Primary.Shutdown();
    delete[] m_piAccumulator;
    m_piAccumulator = nullptr;
    m_uAccLength = 0;
    m_uAccBytes = 0;
}

void CKorvelSoundEngine::InnerUpdate()
{
    if (IsPaused() || !m_piAccumulator)
        return;
    MixerPlayBuffer(0);
    m_Lock.Enter();
    for (int i = 0; i < m_NotifyHandlers.GetCount(); ++i)
        static_cast<IKorvelSoundNotifyHandler*>(m_NotifyHandlers.GetAt(i))->UpdateNotifies();
    m_Lock.Leave();
}

void CKorvelSoundEngine::Pause(unsigned int uPaused)
{
    if (uPaused == m_uPaused.load(kRelaxed))
        return;
    m_uPaused.store(uPaused, kRelaxed);
    m_Lock.Enter();
    for (int i = 0; i < m_Sounds.GetCount(); ++i)
        static_cast<CKorvelSoundBuffer*>(m_Sounds.GetAt(i))->Stop();
    m_Lock.Leave();
}

void CKorvelSoundEngine::Mute(unsigned int uMuted)
{
    const unsigned int uWas = m_uMuted.load(kRelaxed);
    if (uMuted && !uWas)
        m_iVolumeAside = m_Primary.GetVolume();
    else if (!uMuted && uWas)
        m_Primary.SetVolume(m_iVolumeAside);
    m_uMuted.store(uMuted, kRelaxed);
}

KE_RETVAL CKorvelSoundEngine::SetMasterVolume(int iVolume)
{
    iVolume = ClampVolume(iVolume);
    if (IsMuted())
        m_iVolumeAside = iVolume;
    else
        m_Primary.SetVolume(iVolume);
    return KE_OK;
}

int CKorvelSoundEngine::GetMasterVolume() const
{
    return IsMuted() ? m_iVolumeAside : m_Primary.GetVolume();
}

KE_RETVAL CKorvelSoundEngine::SetMasterPan(int iPan)
{
    return m_Primary.SetPan(iPan);
}

int CKorvelSoundEngine::GetMasterPan() const
{
    return m_Primary.GetPan();
}

unsigned int CKorvelSoundEngine::GetMinBufferSize() const
{
    const unsigned int uFour = 4 * m_Primary.GetSize();
    return uFour > 50000 ? uFour : 50000;
}

KE_RETVAL CKorvelSoundEngine::AddSound(CKorvelSoundBuffer* pBuffer)
{
    if (!pBuffer)
        return KE_ERR_INVALIDARG;
    KE_RETVAL ret = KE_OK;
    m_Lock.Enter();
    for (int i = 0; i < m_Sounds.GetCount() && ret == KE_OK; ++i)
        if (m_Sounds.GetAt(i) == pBuffer)
            ret = 0;
    if (ret == KE_OK && m_Sounds.Add(pBuffer) < 0)
        ret = KE_ERR_OUTOFMEMORY;
    m_Lock.Leave();
    return ret;
}

void CKorvelSoundEngine::RemoveSound(CKorvelSoundBuffer* pBuffer)
{
    if (!pBuffer)
        return;
    m_Lock.Enter();
    m_Sounds.Remove(pBuffer);
    m_Lock.Leave();
}

KE_RETVAL CKorvelSoundEngine::AddNotifyHandler(IKorvelSoundNotifyHandler* pHandler)
{
    m_Lock.Enter();
    const int iCount = m_NotifyHandlers.Add(pHandler);
    m_Lock.Leave();
    return iCount < 0 ? KE_ERR_OUTOFMEMORY : KE_OK;
}

void CKorvelSoundEngine::RemoveNotifyHandler(IKorvelSoundNotifyHandler* pHandler)
{
    m_Lock.Enter();
    m_NotifyHandlers.Remove(pHandler);
    m_Lock.Leave();
}

unsigned int CKorvelSoundEngine::GetSoundCount()
{
    m_Lock.Enter();
    const unsigned int uCount = static_cast<unsigned int>(m_Sounds.GetCount());
    m_Lock.Leave();
    return uCount;
}

void CKorvelSoundEngine::GetSoundDevices(CKorvelPtrArray* pDevices)
{
    if (!pDevices)
        return;
    SKE_DEVICE* pDevice = new (std::nothrow) SKE_DEVICE;
    if (!pDevice)
        return;
    pDevice->strName = CKorvelString("Blackberry QSA sound device");
    if (pDevices->Add(pDevice) < 0)
        delete pDevice;
}

void CKorvelSoundEngine::ReleaseSoundDevices(CKorvelPtrArray* pDevices)
{
    if (!pDevices)
        return;
    for (int i = 0; i < pDevices->GetCount(); ++i)
        delete static_cast<SKE_DEVICE*>(pDevices->GetAt(i));
    pDevices->Clear();
}

void CKorvelSoundEngine::GetSoundFormats(SKE_DEVICE*, CKorvelPtrArray* pFormats)
{
    static const unsigned int s_auRates[] = {44100, 22050, 11025};
    for (unsigned int uChannels = 2; uChannels >= 1; --uChannels)
        for (unsigned int uBits : {16u, 8u})
            for (unsigned int uRate : s_auRates)
                AddWaveFormatToList(pFormats, uRate, uBits, uChannels);
}

void CKorvelSoundEngine::ReleaseSoundFormats(CKorvelPtrArray* pFormats)
{
    if (!pFormats)
        return;
    for (int i = 0; i < pFormats->GetCount(); ++i)
        delete static_cast<SKE_WAVEFORMAT*>(pFormats->GetAt(i));
    pFormats->Clear();
}

KE_RETVAL CKorvelSoundEngine::AddWaveFormatToList(CKorvelPtrArray* pFormats, unsigned int uRate,
                                                  unsigned int uBits, unsigned int uChannels)
{
    if (!pFormats)
        return KE_ERR_INVALIDARG;
    SKE_WAVEFORMAT* pFormat = new (std::nothrow) SKE_WAVEFORMAT;
    if (!pFormat)
        return KE_ERR_OUTOFMEMORY;
    FillWaveFormat(uRate, uBits, uChannels, *pFormat);
    if (pFormats->Add(pFormat) < 0)
    {
        delete pFormat;
        return KE_ERR_OUTOFMEMORY;
    }
    return KE_OK;
}

void CKorvelSoundEngine::FillWaveFormat(unsigned int uRate, unsigned int uBits, unsigned int uChannels,
                                        SKE_WAVEFORMAT& format)
{
    format.uChannels = uChannels;
    format.uSamplesPerSec = uRate;
    format.uBitsPerSample = uBits;
    format.uBlockAlign = uBits * uChannels / 8;
}

unsigned int CKorvelSoundEngine::GetFormatAvgBytesPerSec(const SKE_WAVEFORMAT& format)
{
    return format.uSamplesPerSec * format.uBlockAlign;
}

void CKorvelSoundEngine::KEPrintSndStatus(plat::snd_pcm_t* pPcm)
{
    plat::snd_pcm_channel_status_t status = {};
    status.channel = plat::SND_PCM_CHANNEL_PLAYBACK;
    plat::snd_pcm_channel_status(pPcm, &status);
}
