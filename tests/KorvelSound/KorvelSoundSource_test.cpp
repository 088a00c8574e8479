#include "KorvelSound/KorvelSoundSource.h"

#include <gtest/gtest.h>

#include "KorvelSound/SoundTestSupport.h"

namespace
{
// A source whose voices share one silent block of 200 bytes of 16-bit mono.
class CTestSource : public IKorvelSoundSource
{
public:
    CTestSource(CKorvelSoundEngine* pEngine, int iVoices)
    {
        for (int i = 0; i < iVoices; ++i)
        {
            CKorvelSoundBuffer* pVoice = CKorvelSoundBuffer::New();
            if (i == 0)
            {
                SKE_WAVEFORMAT format;
                CKorvelSoundEngine::FillWaveFormat(22050, 16, 1, format);
                pVoice->Startup(pEngine, &format, 200, 0);
                m_Format = pVoice->GetFormat();
                m_uLength = pVoice->GetSize();
            }
            else
            {
                pVoice->StartupAsDuplicate(*GetBuffer(0));
            }
            m_Voices.Add(pVoice);
        }
    }
    unsigned int IsStreaming() const override { return 0; }
};
} // namespace

TEST(IKorvelSoundSource, BadVoicesAreRefused)
{
    CSoundTestEngine engine;
    CTestSource source(engine.Get(), 3);
    EXPECT_EQ(source.Play(0, 5, 0), KE_ERR_INVALIDARG);
    EXPECT_EQ(source.RePlay(0, 3, 0), KE_ERR_INVALIDARG);
    // Every per-voice call checks the index itself: an unchecked one reads past the voices.
    for (KE_RETVAL iResult :
         {source.SetVolume(50, 5), source.SetPan(50, 5), source.SetFrequency(5000, 5),
          source.SetPlaybackSpeed(1.5f, 5), source.Stop(5), source.Pause(5), source.SetPosition(0, 5)})
        EXPECT_EQ(iResult, KE_ERR_NOTSTARTED);
    EXPECT_EQ(source.GetVolume(5) + source.GetPan(5), 0);
    EXPECT_EQ(source.GetFrequency(5) + source.IsPlaying(5), 0u);
    EXPECT_EQ(source.GetPlaybackSpeed(5), 0.0f);
    EXPECT_EQ(source.GetPosition(5), 3u);
    EXPECT_EQ(source.GetBuffer(3), nullptr);
    SKE_SOUND3DPARAMETERS params{};
    EXPECT_EQ(source.SetAll3DParameters(params, 3), KE_ERR_NOTSTARTED);
    CKorvelMatrix4RH m;
    m.Identity();
    EXPECT_EQ(source.Update3DParameters(CKorvelVector3(0, 0, 0), m, CKorvelVector3(0, 0, 0), m, 3),
              KE_ERR_NOTSTARTED);
    EXPECT_EQ(source.Update3DParameters(CKorvelVector3(0, 0, 0), m, CKorvelVector3(0, 0, 0), m, 2), KE_OK);
    source.Shutdown();

    CTestSource empty(engine.Get(), 0);
    EXPECT_EQ(empty.GetNextFreeDuplicateIndex(), 0u);
    EXPECT_EQ(empty.Play(0, 0, IKorvelSoundSource::PLAY_FREE_VOICE), KE_ERR_INVALIDARG);
    empty.Shutdown();
}

TEST(IKorvelSoundSource, SettersClampPerVoice)
{
    CSoundTestEngine engine;
    CTestSource source(engine.Get(), 2);
    EXPECT_EQ(source.SetPan(150, 0), KE_OK);
    EXPECT_EQ(source.GetPan(0), 100);
    source.SetPan(-150, 1);
    EXPECT_EQ(source.GetPan(1), -100);
    source.SetVolume(-5, 0);
    EXPECT_EQ(source.GetVolume(0), 0);
    source.SetVolume(500, 1);
    EXPECT_EQ(source.GetVolume(1), 100);
    source.SetFrequency(10, 0);
    EXPECT_EQ(source.GetFrequency(0), 1000u);
    source.SetPlaybackSpeed(2.0f, 1);
    EXPECT_EQ(source.GetFrequency(1), 44100u);
    source.Shutdown();
    EXPECT_EQ(source.GetLength(), 0u);
    EXPECT_EQ(source.GetDuplicateCount(), 0u);
    EXPECT_EQ(engine->GetSoundCount(), 0u);
}

TEST(IKorvelSoundSource, PauseKeepsThePositionAndStopRewinds)
{
    CSoundTestEngine engine;
    CTestSource source(engine.Get(), 1);
    source.Play(0, 0, 0);
    source.SetPosition(120, 0);
    EXPECT_EQ(source.Pause(0), KE_OK);
    EXPECT_FALSE(source.IsPlaying(0));
    EXPECT_EQ(source.GetPosition(0), 120u);
    source.Play(0, 0, 0);
    EXPECT_EQ(source.GetPosition(0), 120u) << "Play continues";
    EXPECT_EQ(source.Stop(0), KE_OK);
    EXPECT_EQ(source.GetPosition(0), 0u);
    EXPECT_EQ(source.SetPosition(200, 0), KE_ERR_INVALIDARG);
    source.Shutdown();
}

TEST(IKorvelSoundSource, FreeVoiceChoice)
{
    CSoundTestEngine engine;
    CTestSource source(engine.Get(), 4);
    EXPECT_EQ(source.GetNextFreeDuplicateIndex(), 0u);
    for (unsigned int i = 0; i < 4; ++i)
        source.Play(1, i, 0);
    // All playing and looping, with 100, 40, 40 and 70 bytes left.
    const unsigned int left[] = {100, 40, 40, 70};
    for (unsigned int i = 0; i < 4; ++i)
        source.SetPosition(200 - left[i], i);
    EXPECT_EQ(source.GetNextFreeDuplicateIndex(), 1u);
    EXPECT_EQ(source.Play(0, 0, IKorvelSoundSource::PLAY_FREE_VOICE), KE_OK);
    EXPECT_EQ(source.GetPosition(1), 160u) << "Play lets voice 1 run on";
    EXPECT_FALSE(source.GetBuffer(1)->IsLooping());
    // Voice 1 is now the first not looping, although voice 2 has as few bytes left.
    source.SetPosition(10, 2);
    EXPECT_EQ(source.GetNextFreeDuplicateIndex(), 1u);
    source.GetBuffer(1)->Play(1);
    EXPECT_EQ(source.RePlay(0, 0, IKorvelSoundSource::PLAY_FREE_VOICE), KE_OK);
    EXPECT_EQ(source.GetPosition(1), 0u) << "RePlay restarts voice 1";
    EXPECT_TRUE(source.IsPlaying(1));
    source.Pause(3);
    EXPECT_EQ(source.GetNextFreeDuplicateIndex(), 3u) << "a voice not playing comes first";
    source.Shutdown();
}

TEST(IKorvelSoundSource, VoicesMixTogether)
{
    CSoundTestEngine engine;
    CTestSource source(engine.Get(), 2);
    void* pData = nullptr;
    unsigned int uSize = 0;
    source.GetBuffer(0)->Lock(0, 0, &pData, &uSize, 1);
    for (unsigned int i = 0; i < uSize / 2; ++i)
        static_cast<int16_t*>(pData)[i] = 1000;
    source.GetBuffer(0)->Unlock(pData, uSize);
    source.Play(0, 0, 0);
    source.Play(0, 1, 0);
    source.SetVolume(50, 1);
    const std::vector<int16_t> out = engine.Pass();
    EXPECT_EQ(out[0], MasterOut16(Q15Mul(32766, 1000) + Q15Mul(16382, 1000), 32766));
    source.Shutdown();
}
