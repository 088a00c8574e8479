#include "KorvelCommon/KorvelMath.h"
#include "KorvelSound/KorvelSoundBuffer.h"

#include <gtest/gtest.h>

#include "KorvelSound/SoundTestSupport.h"

TEST(CKorvelSoundBuffer, StartupRegistersASilentBlock)
{
    CSoundTestEngine engine(22050, 8, 1);
    CKorvelSoundBuffer buffer;
    EXPECT_EQ(buffer.Startup(nullptr, nullptr, 100, 0), KE_ERR_INVALIDARG);
    ASSERT_EQ(buffer.Startup(engine.Get(), nullptr, 100, 0), KE_OK);
    EXPECT_EQ(engine->GetSoundCount(), 1u);
    // No format given: the engine's output format; 8-bit silence is 128.
    EXPECT_EQ(buffer.GetFormat().uSamplesPerSec, 22050u);
    EXPECT_EQ(buffer.GetFormat().uBitsPerSample, 8u);
    void* pData = nullptr;
    unsigned int uSize = 0;
    ASSERT_EQ(buffer.Lock(0, 0, &pData, &uSize, 1), KE_OK);
    EXPECT_EQ(uSize, 100u);
    EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(pData), static_cast<uint8_t*>(pData) + 100),
              std::vector<uint8_t>(100, 128));
    buffer.Unlock(pData, uSize);

    // Starting it again begins afresh rather than listing it twice.
    SKE_WAVEFORMAT format;
    CKorvelSoundEngine::FillWaveFormat(44100, 16, 2, format);
    format.uBlockAlign = 99; // recomputed
    ASSERT_EQ(buffer.Startup(engine.Get(), &format, 64, CKorvelSoundBuffer::FLAG_NOTIFY), KE_OK);
    EXPECT_EQ(engine->GetSoundCount(), 1u);
    EXPECT_EQ(buffer.GetFormat().uBlockAlign, 4u);
    buffer.Shutdown();
    EXPECT_EQ(engine->GetSoundCount(), 0u);

    engine->AddSound(&buffer); // listed by someone else: the start fails and shuts it down
    EXPECT_EQ(buffer.Startup(engine.Get(), nullptr, 16, 0), 0);
    EXPECT_EQ(engine->GetSoundCount(), 0u);
}

TEST(CKorvelSoundBuffer, FrequencyAndSpeedAreClamped)
{
    CSoundTestEngine engine;
    SKE_WAVEFORMAT format;
    CKorvelSoundEngine::FillWaveFormat(22050, 16, 1, format);
    CKorvelSoundBuffer buffer;
    ASSERT_EQ(buffer.Startup(engine.Get(), &format, 64, 0), KE_OK);
    buffer.SetPlaybackSpeed(2.0f);
    EXPECT_EQ(buffer.GetFrequency(), 44100u);
    buffer.SetFrequency(30000);
    EXPECT_EQ(buffer.GetPlaybackSpeed(), 2.0f) << "SetFrequency leaves the speed";
    buffer.SetPlaybackSpeed(-1.0f);
    EXPECT_EQ(buffer.GetFrequency(), 1000u);
    EXPECT_EQ(buffer.GetPlaybackSpeed(), -1.0f);
    buffer.Shutdown();

    CKorvelSoundEngine::FillWaveFormat(48000, 16, 1, format);
    ASSERT_EQ(buffer.Startup(engine.Get(), &format, 64, 0), KE_OK);
    buffer.SetPlaybackSpeed(2.0f);
    EXPECT_EQ(buffer.GetFrequency(), 88200u);
    buffer.Shutdown();
}

TEST(CKorvelSoundBuffer, LockAndPositionAreBounded)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer buffer;
    ASSERT_EQ(buffer.Startup(engine.Get(), nullptr, 64, 0), KE_OK);
    void* pWhole = nullptr;
    unsigned int uSize = 0;
    EXPECT_EQ(buffer.Lock(0, 0, nullptr, &uSize, 1), KE_ERR_INVALIDARG);
    ASSERT_EQ(buffer.Lock(0, 0, &pWhole, &uSize, 1), KE_OK);
    void* pAgain = &uSize;
    unsigned int uAgain = 5;
    EXPECT_EQ(buffer.Lock(0, 0, &pAgain, &uAgain, 1), KE_ERR_LOCKED);
    EXPECT_EQ(pAgain, nullptr);
    EXPECT_EQ(uAgain, 0u);
    buffer.FillWithSilence(); // locked: leaves the block alone
    static_cast<uint8_t*>(pWhole)[10] = 77;
    buffer.Unlock(pWhole, uSize);

    void* pPart = nullptr;
    EXPECT_EQ(buffer.Lock(60, 8, &pPart, &uSize, 0), KE_ERR_INVALIDARG) << "range past the block";
    ASSERT_EQ(buffer.Lock(8, 8, &pPart, &uSize, 0), KE_OK);
    EXPECT_EQ(pPart, static_cast<uint8_t*>(pWhole) + 8);
    EXPECT_EQ(uSize, 8u);
    EXPECT_EQ(static_cast<uint8_t*>(pPart)[2], 77);
    buffer.Unlock(pPart, uSize);
    buffer.FillWithSilence();
    EXPECT_EQ(static_cast<uint8_t*>(pWhole)[10], 0);

    EXPECT_EQ(buffer.SetPosition(64), KE_ERR_INVALIDARG);
    EXPECT_EQ(buffer.SetPosition(63), KE_OK);
    buffer.Play(1);
    buffer.Stop();
    EXPECT_EQ(buffer.GetPosition(), 63u) << "Stop keeps the position";
    buffer.Shutdown();
}

TEST(CKorvelSoundBuffer, DuplicateSharesTheBlockAndKeepsItsOwnSettings)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer owner;
    ASSERT_EQ(owner.Startup(engine.Get(), nullptr, 64, CKorvelSoundBuffer::FLAG_3D), KE_OK);
    owner.SetVolume(40);
    owner.SetPosition(8);
    CKorvelSoundBuffer dup;
    EXPECT_EQ(dup.StartupAsDuplicate(CKorvelSoundBuffer()), KE_ERR_INVALIDARG) << "a buffer never started";
    ASSERT_EQ(dup.StartupAsDuplicate(owner), KE_OK);
    EXPECT_TRUE(dup.IsShared());
    EXPECT_EQ(dup.GetFlags(), static_cast<unsigned int>(CKorvelSoundBuffer::FLAG_3D));
    EXPECT_EQ(dup.GetVolume(), 100);
    EXPECT_EQ(dup.GetPosition(), 0u);
    EXPECT_EQ(engine->GetSoundCount(), 2u); // the mixer test checks the shared samples
    dup.Shutdown();
    owner.Shutdown();
    EXPECT_EQ(engine->GetSoundCount(), 0u);
}

TEST(CKorvelSoundBuffer, ThreeDMatrixUpdate)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer buffer;
    ASSERT_EQ(buffer.Startup(engine.Get(), nullptr, 64, CKorvelSoundBuffer::FLAG_3D), KE_OK);
    SKE_SOUND3DPARAMETERS p;
    // Source at (10, 20, 30) in elements 12-14, listener at (1, 2, 3) turned a
    // quarter about z: the position is not rotated, the velocity is.
    CKorvelMatrix4RH source;
    source.Identity();
    source.m[12] = 10;
    source.m[13] = 20;
    source.m[14] = 30;
    CKorvelMatrix4RH listener;
    listener.RotateZ(KE_PI / 2);
    listener.m[12] = 1;
    listener.m[13] = 2;
    listener.m[14] = 3;
    ASSERT_EQ(buffer.Update3DParameters(CKorvelVector3(5, 0, 1), source, CKorvelVector3(1, 0, 0), listener),
              KE_OK);
    buffer.GetAll3DParameters(p);
    EXPECT_EQ(p.vPosition.x, 9.0f);
    EXPECT_EQ(p.vPosition.y, 18.0f);
    EXPECT_EQ(p.vPosition.z, 27.0f);
    EXPECT_NEAR(p.vVelocity.x, 0.0f, 1e-5f);
    EXPECT_NEAR(p.vVelocity.y, 4.0f, 1e-5f);
    EXPECT_EQ(p.vVelocity.z, 1.0f);
    EXPECT_EQ(p.fMinDistance, 20.0f) << "the other fields are kept";
    buffer.Shutdown();
}

TEST(CKorvelSoundBuffer, LinearVolumeToLogarithmic)
{
    const int cases[][2] = {{100, 0}, {50, -602}, {1, -4000}, {0, -10000}, {-7, -10000}};
    for (const auto& c : cases)
        EXPECT_EQ(LinearVolumeToLogarithmic(c[0]), c[1]) << c[0];
}
