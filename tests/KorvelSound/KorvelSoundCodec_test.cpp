#include "KorvelSound/KorvelSoundCodec.h"

#include <gtest/gtest.h>

namespace
{
class CNullCodec : public IKorvelSoundCodec
{
public:
    KE_RETVAL Encode(const void*, unsigned int, void*, unsigned int) override { return KE_ERR_NOTSUPPORTED; }
    unsigned int QueryEncodeBufferSize(unsigned int uBytes) override { return uBytes; }
    KE_RETVAL Decode(const void*, unsigned int, void*, unsigned int) override { return KE_ERR_NOTSUPPORTED; }
    unsigned int QueryDecodeBufferSize(unsigned int uBytes) override { return uBytes; }
};
} // namespace

TEST(IKorvelSoundCodec, KeepsItsOwnCopiesOfBothFormats)
{
    CNullCodec codec;
    SKE_WAVEFORMAT decoded = {2, 44100, 16, 4};
    SKE_WAVEFORMAT encoded = {2, 44100, 4, 2048};
    EXPECT_EQ(codec.Startup(&decoded, nullptr), KE_ERR_INVALIDARG);
    EXPECT_EQ(codec.GetDecodedFormat(), nullptr);
    ASSERT_EQ(codec.Startup(&decoded, &encoded), KE_OK);
    decoded.uChannels = 1;
    EXPECT_EQ(codec.GetDecodedFormat()->uChannels, 2u);
    EXPECT_EQ(codec.GetEncodedFormat()->uBlockAlign, 2048u);
    ASSERT_EQ(codec.Startup(&decoded, &encoded), KE_OK) << "a second start replaces the copies";
    EXPECT_EQ(codec.GetDecodedFormat()->uChannels, 1u);
    codec.Shutdown();
    EXPECT_EQ(codec.GetEncodedFormat(), nullptr);

    SKE_WAVEFORMAT* pCopy = nullptr;
    EXPECT_EQ(IKorvelSoundCodec::AllocateAndCopyWaveFormat(&encoded, &pCopy), pCopy);
    ASSERT_NE(pCopy, nullptr);
    EXPECT_EQ(pCopy->uBitsPerSample, 4u);
    delete pCopy;
    EXPECT_EQ(IKorvelSoundCodec::AllocateAndCopyWaveFormat(nullptr, &pCopy), nullptr);
    // The destructor frees what a last Startup kept.
    codec.Startup(&decoded, &encoded);
}
