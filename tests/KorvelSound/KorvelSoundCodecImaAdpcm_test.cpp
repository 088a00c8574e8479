// IMA ADPCM blocks worked out by hand from the standard's tables: nibble
// order, channel interleaving, clamping, and the sizes the loader relies on.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "KorvelSound/KorvelSoundCodecImaAdpcm.h"

namespace
{

struct CStartedCodec
{
    CStartedCodec(unsigned int uChannels, unsigned int uBlockAlign)
    {
        const SKE_WAVEFORMAT encoded = {uChannels, 22050, 4, uBlockAlign};
        const SKE_WAVEFORMAT decoded = {uChannels, 22050, 16, 2 * uChannels};
        EXPECT_EQ(KE_OK, m_Codec.Startup(&decoded, &encoded));
    }
    std::vector<int16_t> Decode(const std::vector<uint8_t>& aIn, size_t uOutSamples)
    {
        std::vector<int16_t> aOut(uOutSamples, 0x5555);
        m_iResult = m_Codec.Decode(aIn.data(), static_cast<unsigned int>(aIn.size()), aOut.data(),
                                   static_cast<unsigned int>(aOut.size() * 2));
        return aOut;
    }
    CKorvelSoundCodecImaAdpcm m_Codec;
    KE_RETVAL m_iResult = 0;
};

} // namespace

TEST(CKorvelSoundCodecImaAdpcm, DecodesCodesLowNibbleFirst)
{
    CStartedCodec codec(1, 8);
    // Predictor 1000, step index 0; codes 4, 4, 12, 0, 0, 0, 0, 0.
    const std::vector<int16_t> aOut = codec.Decode({0xE8, 0x03, 0, 0, 0x44, 0x0C, 0x00, 0x00}, 9);
    EXPECT_EQ(KE_OK, codec.m_iResult);
    EXPECT_EQ((std::vector<int16_t>{1000, 1007, 1017, 1005, 1006, 1007, 1008, 1009, 1010}), aOut);
}

TEST(CKorvelSoundCodecImaAdpcm, InterleavesChannels)
{
    CStartedCodec codec(2, 16);
    // Left predictor 100 rising by 1 (code 1), right -100 falling by 1 (code 9).
    const std::vector<int16_t> aOut =
        codec.Decode({100, 0, 0, 0, 0x9C, 0xFF, 0, 0, 0x11, 0x11, 0x11, 0x11, 0x99, 0x99, 0x99, 0x99}, 18);
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_EQ(100 + i, aOut[2 * static_cast<size_t>(i)]) << i;
        EXPECT_EQ(-100 - i, aOut[2 * i + 1]) << i;
    }
}

TEST(CKorvelSoundCodecImaAdpcm, ClampsPredictorAndStepIndex)
{
    CStartedCodec codec(1, 8);
    // Predictor 32767 with a header step index of 100 (read as 88); codes 7, 15, 15.
    const std::vector<int16_t> aOut = codec.Decode({0xFF, 0x7F, 100, 0, 0xF7, 0x0F, 0, 0}, 9);
    EXPECT_EQ(32767, aOut[0]);
    EXPECT_EQ(32767, aOut[1]);
    EXPECT_EQ(32767 - 61436, aOut[2]);
    EXPECT_EQ(-32768, aOut[3]);
}

TEST(CKorvelSoundCodecImaAdpcm, SizesOfWholeBlocks)
{
    CStartedCodec mono(1, 256);
    EXPECT_EQ(505u, CKorvelSoundCodecImaAdpcm::SamplesPerBlock(256, 1));
    EXPECT_EQ(10100u, mono.m_Codec.QueryDecodeBufferSize(2560));
    EXPECT_EQ(10100u, mono.m_Codec.QueryDecodeBufferSize(2560 + 255)) << "a partial block decodes to nothing";
    CStartedCodec stereo(2, 2048);
    EXPECT_EQ(2041u * 4, stereo.m_Codec.QueryDecodeBufferSize(2048));
    EXPECT_EQ(0u, CKorvelSoundCodecImaAdpcm::SamplesPerBlock(260, 2));

    CKorvelSoundCodecImaAdpcm idle;
    EXPECT_EQ(0u, idle.QueryDecodeBufferSize(2560));
    EXPECT_EQ(KE_ERR_NOTSTARTED, idle.Decode(nullptr, 0, nullptr, 0));
    EXPECT_EQ(KE_ERR_NOTSUPPORTED, idle.Encode(nullptr, 0, nullptr, 0));
    EXPECT_EQ(25u, idle.QueryEncodeBufferSize(100));
}

TEST(CKorvelSoundCodecImaAdpcm, DecodesOnlyBlocksThatFitTheOutput)
{
    CStartedCodec codec(1, 8);
    const std::vector<uint8_t> aTwoBlocks = {0xE8, 0x03, 0, 0, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<int16_t> aOut = codec.Decode(aTwoBlocks, 12); // room for one block and 3 samples
    EXPECT_EQ(KE_OK, codec.m_iResult);
    EXPECT_EQ(1000, aOut[0]);
    EXPECT_EQ(0x5555, aOut[9]) << "the second block would not fit";
}

// The base keeps its own copies of both formats; a second start and the
// destructor free the earlier ones (the sanitizer's leak check sees a miss).
TEST(IKorvelSoundCodec, KeepsItsOwnCopiesOfBothFormats)
{
    CKorvelSoundCodecImaAdpcm codec;
    SKE_WAVEFORMAT decoded = {2, 44100, 16, 4};
    const SKE_WAVEFORMAT encoded = {2, 44100, 4, 2048};
    EXPECT_EQ(codec.Startup(&decoded, nullptr), KE_ERR_INVALIDARG);
    EXPECT_EQ(codec.GetDecodedFormat(), nullptr);
    ASSERT_EQ(codec.Startup(&decoded, &encoded), KE_OK);
    decoded.uChannels = 1;
    EXPECT_EQ(codec.GetDecodedFormat()->uChannels, 2u);
    ASSERT_EQ(codec.Startup(&decoded, &encoded), KE_OK);
    EXPECT_EQ(codec.GetDecodedFormat()->uChannels, 1u);
    codec.Shutdown();
    EXPECT_EQ(codec.GetEncodedFormat(), nullptr);
    codec.Startup(&decoded, &encoded);
}
