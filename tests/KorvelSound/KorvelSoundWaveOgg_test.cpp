// Ogg Vorbis sounds encoded at test time: the decoded format and length, the
// float-to-16-bit conversion with clamping, chained streams, and files the
// decoder must refuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "KorvelSound/KorvelSoundWave.h"
#include "SoundTestSupport.h"
#include "WaveTestFiles.h"
#include "support/TestAudio.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"

namespace
{

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(CKorvelSoundWave, FloatSamplesRoundAndClamp)
{
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    // floor(x * 32767 + 0.5), clamped; NaN gives silence.
    const std::pair<float, int> cases[] = {{1.0f, 32767}, {-1.0f, -32767}, {0.5f, 16384}, {-0.5f, -16383},
                                           {1.5f, 32767}, {-1.5f, -32768}, {inf, 32767},  {nan, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.second, CKorvelSoundWave::FloatToSample(c.first)) << c.first;
}

TEST(CKorvelSoundWave, OggMono22050BecomesA16BitVoice)
{
    CSoundTestEngine engine;
    const std::vector<float> aSine = TestSine(1, 22050, 11025, 880.0f, 0.5f);
    CLoadedWave ogg;
    ASSERT_EQ(KE_OK, ogg.LoadBytes(engine.Get(), EncodeTestOgg(1, 22050, aSine)));
    const SKE_WAVEFORMAT& format = ogg.m_Wave.GetFormat();
    EXPECT_EQ(1u, format.uChannels);
    EXPECT_EQ(22050u, format.uSamplesPerSec);
    EXPECT_EQ(16u, format.uBitsPerSample);
    EXPECT_EQ(2u, format.uBlockAlign);
    EXPECT_EQ(22050u, ogg.m_Wave.GetLength());
    const std::vector<int16_t> aSamples = VoiceSamples(ogg.m_Wave);
    ASSERT_EQ(aSine.size(), aSamples.size());
    int iWorst = 0;
    for (size_t i = 0; i < aSine.size(); ++i)
        iWorst = std::max(iWorst, std::abs(aSamples[i] - static_cast<int>(aSine[i] * 32767.0f)));
    EXPECT_LT(iWorst, 2500) << "lossy, but the same sine";
}

TEST(CKorvelSoundWave, OggOverdriveIsClamped)
{
    // A full-scale square wave decodes with overshoot past 1.0 on both sides.
    std::vector<float> aSquare;
    for (int i = 0; i < 8000; ++i)
        aSquare.push_back((i / 40) % 2 ? 1.0f : -1.0f);
    CSoundTestEngine engine;
    CLoadedWave ogg;
    ASSERT_EQ(KE_OK, ogg.LoadBytes(engine.Get(), EncodeTestOgg(1, 16000, aSquare)));
    const std::vector<int16_t> aSamples = VoiceSamples(ogg.m_Wave);
    EXPECT_EQ(32767, *std::max_element(aSamples.begin(), aSamples.end()));
    EXPECT_EQ(-32768, *std::min_element(aSamples.begin(), aSamples.end()));
    // Clamped, not wrapped: inside each half period the sign is the source's.
    ASSERT_EQ(aSquare.size(), aSamples.size());
    for (size_t i = 0; i < aSamples.size(); ++i)
    {
        if (i % 40 >= 10 && i % 40 < 30)
        {
            ASSERT_EQ(aSquare[i] > 0, aSamples[i] > 0) << i;
        }
    }
}

TEST(CKorvelSoundWave, OggChainedStreamsFollowEachOther)
{
    CSoundTestEngine engine;
    CTestTempDir dir;
    const std::vector<uint8_t> aFirst = EncodeTestOgg(2, 44100, TestSine(2, 44100, 5000, 440.0f, 0.3f), 1);
    const std::vector<uint8_t> aSecond = EncodeTestOgg(2, 44100, TestSine(2, 44100, 7000, 660.0f, 0.3f), 2);
    ASSERT_TRUE(WriteTestFile(dir.File("chain.ogg"), Concat(aFirst, aSecond)));
    CLoadedWave chain;
    ASSERT_EQ(KE_OK, chain.Load(engine.Get(), dir.File("chain.ogg"), 1));
    EXPECT_EQ(2u, chain.m_Wave.GetFormat().uChannels);
    EXPECT_EQ(12000u * 4, chain.m_Wave.GetLength());
    EXPECT_EQ(1u, chain.m_Wave.GetDuplicateCount());
}

TEST(CKorvelSoundWave, OggFilesItRefuses)
{
    CSoundTestEngine engine;
    const std::vector<uint8_t> aGood = EncodeTestOgg(1, 22050, TestSine(1, 22050, 2000, 440.0f, 0.5f));
    std::vector<uint8_t> aGarbage = {'O', 'g', 'g', 'S'};
    aGarbage.resize(9000, 0x5A);
    std::vector<uint8_t> aSurround = EncodeTestOgg(3, 22050, TestSine(3, 22050, 2000, 440.0f, 0.5f));
    std::vector<uint8_t> aMixedRates =
        Concat(aGood, EncodeTestOgg(1, 44100, TestSine(1, 44100, 2000, 440.0f, 0.5f), 7));

    struct sCASE
    {
        const char* pName;
        std::vector<uint8_t> aBytes;
    };
    const sCASE aCases[] = {
        {"not Ogg after the magic", aGarbage},
        {"headers cut short", std::vector<uint8_t>(aGood.begin(), aGood.begin() + 100)},
        {"three channels", aSurround},
        {"chained streams of different rates", aMixedRates},
    };
    for (const sCASE& c : aCases)
    {
        CLoadedWave ogg;
        EXPECT_EQ(KE_ERR_DEVICE, ogg.LoadBytes(engine.Get(), c.aBytes)) << c.pName;
        EXPECT_EQ(nullptr, ogg.m_Wave.GetBuffer(0)) << c.pName;
    }
}
