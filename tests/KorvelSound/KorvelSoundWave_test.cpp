// Loading sounds into voices: PCM and IMA ADPCM WAV files from paths and
// memory, duplicates sharing the block, and what a failed load leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "SoundTestSupport.h"
#include "WaveTestFiles.h"
#include "support/TestAudio.h"
#include "support/TestMedia.h"
#include "support/TestPack.h"
#include "support/TestTempDir.h"

namespace
{

void ExpectFormat(const SKE_WAVEFORMAT& format, unsigned int uChannels, unsigned int uRate,
                  unsigned int uBits)
{
    EXPECT_EQ(uChannels, format.uChannels);
    EXPECT_EQ(uRate, format.uSamplesPerSec);
    EXPECT_EQ(uBits, format.uBitsPerSample);
    EXPECT_EQ(uChannels * uBits / 8, format.uBlockAlign);
}

} // namespace

TEST(CKorvelSoundWave, LoadsPcmFilesAsTheyAre)
{
    CSoundTestEngine engine;
    CTestTempDir dir;
    const std::vector<int16_t> aStereo = {1, -1, 300, -300, 32767, -32768};
    ASSERT_TRUE(WriteTestWav(dir.File("s16.wav"), 2, 44100, 16, aStereo));
    CLoadedWave stereo;
    ASSERT_EQ(KE_OK, stereo.Load(engine.Get(), dir.File("s16.wav")));
    ExpectFormat(stereo.m_Wave.GetFormat(), 2, 44100, 16);
    EXPECT_EQ(12u, stereo.m_Wave.GetLength());
    EXPECT_EQ(aStereo, VoiceSamples(stereo.m_Wave));
    EXPECT_EQ(0u, stereo.m_Wave.IsStreaming());

    ASSERT_TRUE(WriteTestWav(dir.File("u8.wav"), 1, 11025, 8, {-32768, 0, 32512}));
    CLoadedWave mono;
    ASSERT_EQ(KE_OK, mono.Load(engine.Get(), dir.File("u8.wav")));
    ExpectFormat(mono.m_Wave.GetFormat(), 1, 11025, 8);
    EXPECT_EQ((std::vector<uint8_t>{0, 128, 255}), VoiceBytes(mono.m_Wave));
}

TEST(CKorvelSoundWave, PcmBlockAlignIsTheReadingStepOnly)
{
    // Some writers put bits / 8 or other values in a PCM block align: the data is read
    // in steps of it, whole steps only, and the voice keeps bits x channels / 8.
    CSoundTestEngine engine;
    const std::vector<int16_t> aSamples = {100, -100, 2000, -2000};
    struct sCASE
    {
        unsigned int uAlign;
        std::vector<int16_t> aExpected;
    };
    const sCASE aCases[] = {{2, aSamples}, {1, aSamples}, {8, aSamples}, {3, {100, -100, 2000, 0}}};
    for (const sCASE& c : aCases)
    {
        CLoadedWave wave;
        ASSERT_EQ(KE_OK, wave.LoadBytes(engine.Get(), CRiffBuilder()
                                                          .Chunk("fmt ", FmtBody(1, 2, 22050, 16, c.uAlign))
                                                          .Chunk("data", Pcm16Bytes(aSamples))
                                                          .Chunk("junk", {9, 9, 9, 9})
                                                          .Bytes()))
            << c.uAlign;
        ExpectFormat(wave.m_Wave.GetFormat(), 2, 22050, 16);
        EXPECT_EQ(8u, wave.m_Wave.GetLength()) << c.uAlign;
        EXPECT_EQ(c.aExpected, VoiceSamples(wave.m_Wave)) << c.uAlign;
    }
}

TEST(CKorvelSoundWave, ImaMonoBlocksOf505Samples)
{
    CSoundTestEngine engine;
    std::vector<uint8_t> aData;
    for (int b = 0; b < 10; ++b)
    {
        PutLE(aData, static_cast<uint32_t>(b * 100), 2); // each block restarts at its predictor
        aData.resize(aData.size() + 254, 0);
    }
    std::vector<uint8_t> aExtra;
    PutLE(aExtra, 505, 2);
    CLoadedWave ima;
    ASSERT_EQ(KE_OK,
              ima.LoadBytes(engine.Get(), CRiffBuilder()
                                              .Chunk("fmt ", FmtBody(17, 1, 22050, 4, 256, true, aExtra))
                                              .Chunk("fact", {0xBA, 0x13, 0, 0})
                                              .Chunk("data", aData)
                                              .Bytes()));
    ExpectFormat(ima.m_Wave.GetFormat(), 1, 22050, 16);
    EXPECT_EQ(10100u, ima.m_Wave.GetLength());
    const std::vector<int16_t> aSamples = VoiceSamples(ima.m_Wave);
    ASSERT_EQ(5050u, aSamples.size());
    EXPECT_EQ(0, aSamples[0]);
    EXPECT_EQ(300, aSamples[3 * size_t{505}]);
    EXPECT_EQ(900, aSamples[9 * size_t{505}]);
}

TEST(CKorvelSoundWave, ImaMatchesSoxDecoding)
{
    CSoundTestEngine engine;
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestWav(dir.File("src.wav"), 2, 22050, 16, TestSine16(2, 22050, 9000, 440.0f, 0.7f)));
    const std::string strSox = "sox -D '" + dir.File("src.wav") + "' -e ima-adpcm '" + dir.File("ima.wav") +
                               "' && sox -D '" + dir.File("ima.wav") + "' -e signed-integer -b 16 '" +
                               dir.File("dec.wav") + "'";
    ASSERT_EQ(0, std::system(strSox.c_str())) << "sox is in tools/debian-packages.txt";

    CLoadedWave ima, reference;
    ASSERT_EQ(KE_OK, ima.Load(engine.Get(), dir.File("ima.wav")));
    ASSERT_EQ(KE_OK, reference.Load(engine.Get(), dir.File("dec.wav")));
    ExpectFormat(ima.m_Wave.GetFormat(), 2, 22050, 16);
    const std::vector<int16_t> aOurs = VoiceSamples(ima.m_Wave);
    const std::vector<int16_t> aTheirs = VoiceSamples(reference.m_Wave);
    // Ours holds every whole block; the reference stops at the sample count of the "fact" chunk.
    ASSERT_GT(aTheirs.size(), 17000u);
    ASSERT_LE(aTheirs.size(), aOurs.size());
    EXPECT_TRUE(std::equal(aTheirs.begin(), aTheirs.end(), aOurs.begin()));
}

TEST(CKorvelSoundWave, DuplicatesShareTheBlock)
{
    CSoundTestEngine engine;
    CLoadedWave wave;
    ASSERT_EQ(
        KE_OK,
        wave.LoadBytes(
            engine.Get(),
            CRiffBuilder().Chunk("fmt ", FmtBody(1, 1, 8000, 16, 2)).Chunk("data", {1, 0, 2, 0}).Bytes(), 3));
    EXPECT_EQ(3u, wave.m_Wave.GetDuplicateCount());
    for (unsigned int i = 1; i <= 3; ++i)
    {
        EXPECT_EQ(1u, wave.m_Wave.GetBuffer(i)->IsShared());
        EXPECT_EQ((std::vector<uint8_t>{1, 0, 2, 0}), VoiceBytes(wave.m_Wave, i));
    }
    // Loading again replaces the sound and its voices.
    ASSERT_EQ(KE_OK,
              wave.LoadBytes(
                  engine.Get(),
                  CRiffBuilder().Chunk("fmt ", FmtBody(1, 1, 8000, 8, 1)).Chunk("data", {7}).Bytes(), 1));
    EXPECT_EQ(1u, wave.m_Wave.GetDuplicateCount());
    EXPECT_EQ(1u, wave.m_Wave.GetLength());
}

TEST(CKorvelSoundWave, FailedLoadsLeaveNoVoices)
{
    CSoundTestEngine engine;
    CTestTempDir dir;
    struct sCASE
    {
        const char* pName;
        std::vector<uint8_t> aBytes;
        KE_RETVAL iExpected;
    };
    const sCASE aCases[] = {
        {"unknown type", {'M', 'T', 'h', 'd', 0, 0, 0, 6}, KE_ERR_DEVICE},
        {"three bytes", {'R', 'I', 'F'}, KE_ERR_INVALIDARG},
        {"float WAV",
         CRiffBuilder().Chunk("fmt ", FmtBody(3, 1, 8000, 32, 4)).Chunk("data", {0, 0, 0, 0}).Bytes(),
         KE_ERR_DEVICE},
        {"no data", CRiffBuilder().Chunk("fmt ", FmtBody(1, 1, 8000, 16, 2)).Bytes(), KE_ERR_DEVICE},
        {"no whole sample",
         CRiffBuilder().Chunk("fmt ", FmtBody(1, 2, 8000, 16, 4)).Chunk("data", {1, 2}).Bytes(),
         KE_ERR_DEVICE},
        {"block align past the data",
         CRiffBuilder()
             .Chunk("fmt ", FmtBody(1, 2, 8000, 16, 16))
             .Chunk("data", std::vector<uint8_t>(8, 1))
             .Bytes(),
         KE_ERR_DEVICE},
    };
    for (const sCASE& c : aCases)
    {
        CLoadedWave wave;
        ASSERT_TRUE(WriteTestFile(dir.File("bad"), c.aBytes));
        EXPECT_EQ(c.iExpected, wave.Load(engine.Get(), dir.File("bad"), 2)) << c.pName;
        EXPECT_EQ(0u, wave.m_Wave.GetLength()) << c.pName;
        EXPECT_EQ(nullptr, wave.m_Wave.GetBuffer(0)) << c.pName;
    }
    CLoadedWave missing;
    EXPECT_EQ(KE_ERR_FILEOPEN, missing.Load(engine.Get(), dir.File("absent.wav")));
    CLoadedWave noEngine;
    EXPECT_EQ(
        KE_ERR_DEVICE,
        noEngine.LoadBytes(
            nullptr, CRiffBuilder().Chunk("fmt ", FmtBody(1, 1, 8000, 8, 1)).Chunk("data", {7}).Bytes()));
}

TEST(CKorvelSoundWave, LoadsPackItemsByName)
{
    CSoundTestEngine engine;
    CTestTempDir dir;
    const std::vector<uint8_t> aWav =
        CRiffBuilder().Chunk("fmt ", FmtBody(1, 1, 8000, 16, 2)).Chunk("data", Pcm16Bytes({5, 6, 7})).Bytes();
    const std::vector<uint8_t> aOther =
        CRiffBuilder().Chunk("fmt ", FmtBody(1, 1, 8000, 8, 1)).Chunk("data", {1}).Bytes();
    // The sound is followed by another item: its chunk scan must stop at its own end.
    const std::string strPack =
        TestPackBytes({{"/snd/hit.wav", std::string(aWav.begin(), aWav.end())},
                       {"/snd/other.wav", std::string(aOther.begin(), aOther.end())}});
    ASSERT_TRUE(WriteTestFile(dir.File("p.kmp"), strPack));
    CKorvelMediaPack pack;
    ASSERT_EQ(KE_OK, pack.Startup(CKorvelString(dir.File("p.kmp").c_str()), CKorvelString("")));

    CKorvelSoundWave wave;
    ASSERT_EQ(KE_OK, wave.LoadFromPack(engine.Get(), &pack, CKorvelString("hit.wav"), 0, 0, 1));
    EXPECT_EQ((std::vector<uint8_t>{5, 0, 6, 0, 7, 0}), VoiceBytes(wave));
    EXPECT_EQ(1u, wave.GetDuplicateCount());
    wave.Shutdown();

    EXPECT_EQ(KE_ERR_NOTFOUND, wave.LoadFromPack(engine.Get(), &pack, CKorvelString("miss.wav"), 0, 0, 0));
    EXPECT_EQ(nullptr, wave.GetBuffer(0));
    EXPECT_EQ(KE_ERR_INVALIDARG, wave.LoadFromPack(engine.Get(), nullptr, CKorvelString("hit.wav"), 0, 0, 0));
}
