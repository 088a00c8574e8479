// The mixer pass of CKorvelSoundEngine, checked sample by sample on the
// capture sink: gains, pan, 3D, Doppler, stepping, looping and the master stage.
#include <gtest/gtest.h>

#include "KorvelSound/SoundTestSupport.h"

namespace
{
const size_t kFrames = 768; // the default 3072-byte block of 16-bit stereo

// A mono 16-bit buffer of n samples i * mul + add.
CKorvelSoundBuffer* Ramp(CSoundTestEngine& engine, unsigned int uRate, size_t n, int mul, int add,
                         unsigned int uFlags = 0)
{
    std::vector<int16_t> s(n);
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<int16_t>(static_cast<int>(i) * mul + add);
    return engine.Buffer(uRate, 1, s, uFlags);
}

int16_t Full(int32_t s)
{
    return MasterOut16(Q15Mul(32766, s), 32766); // volume 100 on both stages
}
} // namespace

TEST(CKorvelSoundEngine, MonoSourceAtCentreGetsGain32766OnBothSides)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer* p = engine.Buffer(44100, 1, {10000, -10000, 32767, -32768, 1, -1});
    p->Play(0);
    const std::vector<int16_t> out = engine.Pass();
    ASSERT_EQ(out.size(), 2 * kFrames);
    const int16_t want[] = {9998, -10000, 32763, -32765, 0, -1};
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(out[2 * static_cast<size_t>(i)], want[i]) << i;
        EXPECT_EQ(out[2 * i + 1], want[i]) << i;
    }
    EXPECT_EQ(out[12], 0) << "after its end the buffer adds nothing";
    EXPECT_FALSE(p->IsPlaying());
    EXPECT_EQ(p->GetPosition(), 0u);
}

TEST(CKorvelSoundEngine, VolumeAndPanGiveTheQ15SideGains)
{
    struct sCASE
    {
        int iVolume, iPan;
        int32_t iLeft, iRight;
    };
    // Volume 50 -> 16383 -> full 16382; pan 50 keeps trunc(0.5 x 32767) = 16383 of the far side.
    const sCASE cases[] = {
        {100, 50, 16382, 32766}, {100, -50, 32766, 16382}, {100, 100, 0, 32766}, {100, -100, 32766, 0},
        {50, 0, 16382, 16382},   {50, 25, 12286, 16382},   {0, 0, 0, 0},         {33, 0, 10812, 10812},
        {100, 150, 0, 32766}};
    for (const sCASE& c : cases)
    {
        CSoundTestEngine engine;
        CKorvelSoundBuffer* p = engine.Buffer(44100, 2, {20000, 20000});
        p->SetVolume(c.iVolume);
        p->SetPan(c.iPan);
        p->Play(0);
        const std::vector<int16_t> out = engine.Pass();
        EXPECT_EQ(out[0], Full(0) + MasterOut16(Q15Mul(c.iLeft, 20000), 32766)) << c.iVolume << "/" << c.iPan;
        EXPECT_EQ(out[1], MasterOut16(Q15Mul(c.iRight, 20000), 32766)) << c.iVolume << "/" << c.iPan;
    }
}

TEST(CKorvelSoundEngine, MasterVolumeAndPanScaleTheMix)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer* p = engine.Buffer(44100, 2, std::vector<int16_t>(4000, 16000));
    p->Play(1);
    const int32_t acc = Q15Mul(32766, 16000);
    engine->SetMasterPan(100);
    std::vector<int16_t> out = engine.Pass();
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], MasterOut16(acc, 32766));
    engine->SetMasterPan(-40);
    engine->SetMasterVolume(50); // Mq 16383, G 16382; right keeps (16383 x trunc(0.6 x 32767)) >> 15
    out = engine.Pass();
    EXPECT_EQ(out[0], MasterOut16(acc, 16382));
    EXPECT_EQ(out[1], MasterOut16(acc, (16383 * 19660) >> 15));
    engine->SetMasterVolume(0);
    EXPECT_EQ(engine.Pass(), std::vector<int16_t>(2 * kFrames, 0));
}

TEST(CKorvelSoundEngine, LoudSourcesClipInsteadOfWrapping)
{
    CSoundTestEngine engine;
    for (int i = 0; i < 5; ++i)
        engine.Buffer(44100, 2, {32767, -32768, -32768, 32767})->Play(0);
    const std::vector<int16_t> out = engine.Pass();
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], -32768);
    EXPECT_EQ(out[2], -32768);
    EXPECT_EQ(out[3], 32767);

    CSoundTestEngine mono8(44100, 8, 1);
    CKorvelSoundBuffer* a = mono8.Buffer(44100, 2, {32767, 32767});
    CKorvelSoundBuffer* b = mono8.Buffer(44100, 2, {32767, 32767});
    a->Play(0);
    b->Play(0);
    EXPECT_EQ(mono8.PassBytes()[0], 255);
}

TEST(CKorvelSoundEngine, ConvertsToEachOutputFormat)
{
    // Stereo source (left 8000, right -4000) into every output layout; bytes
    // 0-3 of the first block (8-bit silence is 128, 16-bit silence 0).
    const int64_t l = Q15Mul(32766, 8000), r = Q15Mul(32766, -4000);
    const int16_t mono16 = static_cast<int16_t>(((l + r) * 32766) >> 16);
    struct sCASE
    {
        unsigned int uBits, uChannels;
        std::vector<uint8_t> want;
    };
    const sCASE cases[] = {
        {16, 1, {static_cast<uint8_t>(mono16), static_cast<uint8_t>(mono16 >> 8), 0, 0}},
        {8,
         2,
         {static_cast<uint8_t>(((l * 32766) >> 23) + 128), static_cast<uint8_t>(((r * 32766) >> 23) + 128),
          128, 128}},
        {8, 1, {static_cast<uint8_t>((((l + r) * 32766) >> 24) + 128), 128, 128, 128}},
    };
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.uBits << " bits, " << c.uChannels << " channels");
        CSoundTestEngine engine(44100, c.uBits, c.uChannels);
        CKorvelSoundBuffer* p = engine.Buffer(44100, 2, {8000, -4000});
        p->Play(0);
        const std::vector<uint8_t> out = engine.PassBytes();
        ASSERT_EQ(out.size(), 3072u);
        EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 4), c.want);
    }
}

TEST(CKorvelSoundEngine, EightBitSourcesAreCentredAndWidened)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer* p = engine.Buffer(44100, 1, {0, 128, 255, 200}, 0, 8);
    p->Play(0);
    const std::vector<int16_t> out = engine.Pass();
    EXPECT_EQ(out[0], Full(-32768));
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[4], Full(127 * 256));
    EXPECT_EQ(out[6], Full(72 * 256));
}

TEST(CKorvelSoundEngine, StepsThroughSlowerSourcesNearestLower)
{
    CSoundTestEngine engine;
    // 22050 Hz: step 128, each source frame twice; after one pass 384 frames are used.
    CKorvelSoundBuffer* p = Ramp(engine, 22050, 2000, 10, 100);
    p->Play(0);
    const std::vector<int16_t> out = engine.Pass();
    for (size_t k = 0; k < kFrames; ++k)
        ASSERT_EQ(out[2 * k], Full(static_cast<int32_t>(k / 2) * 10 + 100)) << k;
    EXPECT_EQ(p->GetPosition(), 2u * 384);
}

TEST(CKorvelSoundEngine, NeverReadsPastTheEndOfABuffer)
{
    // A 3008-byte block is 752 frames. At 33249 Hz (step 193) the rounded
    // need of 566 source frames fits the 566 left, yet frame 751 would read
    // offset (751 x 193) >> 8 = 566, one past the end: the buffer must end
    // after the 750 frames it can fill.
    CSoundTestEngine engine(44100, 16, 2, 3000);
    CKorvelSoundBuffer* p = Ramp(engine, 44100, 566, 10, 7);
    p->SetFrequency(33249);
    p->Play(0);
    const std::vector<int16_t> out = engine.Pass();
    ASSERT_EQ(out.size(), 2u * 752);
    EXPECT_EQ(out[2 * size_t{749}], Full(749 * 193 / 256 * 10 + 7));
    EXPECT_EQ(out[2 * size_t{750}], 0);
    EXPECT_EQ(out[2 * size_t{751}], 0);
    EXPECT_FALSE(p->IsPlaying());
    EXPECT_EQ(p->GetPosition(), 0u);
}

TEST(CKorvelSoundEngine, LoopingWrapsWithinThePassAndStoppingRewinds)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer* once = Ramp(engine, 44100, 100, 3, 50);
    once->SetPosition(2 * 40);
    once->Play(0);
    std::vector<int16_t> out = engine.Pass();
    EXPECT_EQ(out[0], Full(40 * 3 + 50));
    EXPECT_EQ(out[2 * size_t{59}], Full(99 * 3 + 50));
    EXPECT_EQ(out[2 * size_t{60}], 0);
    EXPECT_FALSE(once->IsPlaying());
    EXPECT_EQ(once->GetPosition(), 0u);

    CKorvelSoundBuffer* loop = Ramp(engine, 44100, 100, 3, 50);
    loop->Play(1);
    out = engine.Pass();
    for (size_t k = 0; k < kFrames; ++k)
        ASSERT_EQ(out[2 * k], Full(static_cast<int32_t>(k % 100) * 3 + 50)) << k;
    EXPECT_TRUE(loop->IsPlaying());
    EXPECT_EQ(loop->GetPosition(), 2u * 68);
    out = engine.Pass();
    EXPECT_EQ(out[0], Full(68 * 3 + 50)) << "the next pass goes on from there";
}

TEST(CKorvelSoundEngine, TooShortLoopsAndLockedBuffersAreSkippedForThePass)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer* tiny = engine.Buffer(44100, 1, {30000});
    tiny->SetFrequency(88200); // one source frame gives no output frame at twice the rate
    tiny->Play(1);
    CKorvelSoundBuffer* empty = engine.Buffer(44100, 1, {});
    empty->Play(1);
    CKorvelSoundBuffer* locked = engine.Buffer(44100, 1, std::vector<int16_t>(2000, 7000));
    locked->Play(0);
    void* pData = nullptr;
    unsigned int uSize = 0;
    ASSERT_EQ(locked->Lock(0, 0, &pData, &uSize, 1), KE_OK);
    engine.Buffer(44100, 1, std::vector<int16_t>(2000, 5000))->Play(0);
    EXPECT_EQ(engine.Pass()[0], Full(5000)) << "the pass ends and mixes the others";
    EXPECT_TRUE(tiny->IsPlaying());
    EXPECT_TRUE(empty->IsPlaying());
    EXPECT_EQ(locked->GetPosition(), 0u);
    locked->Unlock(pData, uSize);
    EXPECT_EQ(engine.Pass()[0], MasterOut16(Q15Mul(32766, 5000) + Q15Mul(32766, 7000), 32766));
}

TEST(CKorvelSoundEngine, FrequencyIsClampedTo1000And88200)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer* slow = Ramp(engine, 44100, 5000, 1, 0);
    slow->SetFrequency(500);
    EXPECT_EQ(slow->GetFrequency(), 1000u);
    slow->Play(0);
    CKorvelSoundBuffer* fast = Ramp(engine, 44100, 5000, 1, 0);
    fast->SetFrequency(100000);
    fast->Play(0);
    engine.Pass();
    // Step (1000 << 8) / 44100 = 5 and (88200 << 8) / 44100 = 512.
    EXPECT_EQ(slow->GetPosition(), 2u * (767 * 5 / 256 + 1));
    EXPECT_EQ(fast->GetPosition(), 2u * (767 * 2 + 1));
}

TEST(CKorvelSoundEngine, ThreeDGainsFollowSideAndDistance)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer* p =
        engine.Buffer(44100, 1, std::vector<int16_t>(4000, 20000), CKorvelSoundBuffer::FLAG_3D);
    p->SetPan(100); // ignored in 3D
    p->Play(1);
    SKE_SOUND3DPARAMETERS params;
    p->GetAll3DParameters(params);
    auto mixAt = [&](float x, float y, float z)
    {
        params.vPosition.Set(x, y, z);
        p->SetAll3DParameters(params);
        return engine.Pass();
    };
    // In front inside the minimum distance: attenuation 32767; sin(-pi) in
    // single precision is just above 0, so the right side keeps 32766 of 32767.
    std::vector<int16_t> out = mixAt(0, 0, 10);
    EXPECT_EQ(out[0], Full(20000));
    EXPECT_EQ(out[1], MasterOut16(Q15Mul(32765, 20000), 32766));
    // Twice the minimum distance: attenuation 16383.
    out = mixAt(0, 0, 40);
    EXPECT_EQ(out[0], MasterOut16(Q15Mul(16382, 20000), 32766));
    EXPECT_EQ(out[1], MasterOut16(Q15Mul(16381, 20000), 32766));
    // Beyond the maximum distance it stays at 100: 32767 / 2^4 = 2047.
    out = mixAt(0, 0, 500);
    EXPECT_EQ(out[0], MasterOut16(Q15Mul((32767 * 2047) >> 15, 20000), 32766));
    // Full right, full left, and behind the listener.
    out = mixAt(15, 0, 0);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], Full(20000));
    out = mixAt(-15, 0, 0);
    EXPECT_EQ(out[0], Full(20000));
    EXPECT_EQ(out[1], 0);
    out = mixAt(0, 0, -10);
    EXPECT_EQ(out[0], Full(20000));
    EXPECT_EQ(out[1], Full(20000));
    // A minimum distance of 0 means no attenuation at all.
    params.fMinDistance = 0.0f;
    out = mixAt(0, 0, 90);
    EXPECT_EQ(out[0], Full(20000));
}

TEST(CKorvelSoundEngine, DopplerShiftsTheFrequencyWithinTheLimits)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer* p = Ramp(engine, 44100, 8000, 1, 0, CKorvelSoundBuffer::FLAG_3D);
    SKE_SOUND3DPARAMETERS params;
    p->GetAll3DParameters(params);
    params.vPosition.Set(0, 0, 50);
    auto positionAfterPass = [&](float vz, float fDoppler)
    {
        params.vVelocity.Set(0, 0, vz);
        params.fDopplerFactor = fDoppler;
        p->SetAll3DParameters(params);
        p->SetPosition(0);
        p->Play(1);
        engine.Pass();
        return p->GetPosition() / 2;
    };
    // Receding at 34 units/s: factor 0.9, 39690 Hz, step 230.
    EXPECT_EQ(positionAfterPass(34, 1.0f), 767u * 230 / 256 + 1);
    // Twice the Doppler factor doubles the shift: 0.8, 35280 Hz, step 204.
    EXPECT_EQ(positionAfterPass(34, 2.0f), 767u * 204 / 256 + 1);
    // Receding faster than sound: the lowest rate; approaching very fast: the highest.
    EXPECT_EQ(positionAfterPass(400, 1.0f), 767u * 5 / 256 + 1);
    EXPECT_EQ(positionAfterPass(-1e6f, 1.0f), 767u * 512 / 256 + 1);
    EXPECT_EQ(positionAfterPass(0, 1.0f), 768u) << "still: the buffer's own frequency";
}

TEST(CKorvelSoundEngine, DuplicatePlaysWhatTheOwnerWrote)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer* owner = engine.Buffer(44100, 1, std::vector<int16_t>(1000, 100));
    CKorvelSoundBuffer dup;
    ASSERT_EQ(dup.StartupAsDuplicate(*owner), KE_OK);
    void* pData = nullptr;
    unsigned int uSize = 0;
    owner->Lock(0, 0, &pData, &uSize, 1);
    static_cast<int16_t*>(pData)[0] = 12345;
    owner->Unlock(pData, uSize);
    dup.Play(0);
    EXPECT_EQ(engine.Pass()[0], Full(12345));
    EXPECT_EQ(owner->GetPosition(), 0u) << "voices keep their own positions";
    dup.Shutdown();
}
