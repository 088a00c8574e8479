// The RIFF/WAVE chunk reader on files built in memory: where it finds the
// format and the data, which formats it accepts, and that damaged sizes and
// counts end the scan instead of running on.
#include <gtest/gtest.h>

#include "KorvelSound/KorvelSoundWave.h"
#include "WaveTestFiles.h"

namespace
{

class CWaveOpen
{
public:
    explicit CWaveOpen(std::vector<uint8_t> aBytes, int iSize = -1) : m_aBytes(std::move(aBytes))
    {
        m_File.OpenFromMemory(m_aBytes.data(), static_cast<unsigned int>(m_aBytes.size()),
                              CKorvelFile::FLAG_READ);
        m_iResult = CKorvelSoundWave::WaveOpen(&m_File, &m_Handler, iSize);
    }
    ~CWaveOpen() { CKorvelSoundWave::WaveClose(&m_Handler); }

    KE_RETVAL m_iResult;
    SKE_WAVEHANDLER m_Handler;

private:
    std::vector<uint8_t> m_aBytes;
    CKorvelFile m_File;
};

const std::vector<uint8_t> kFour = {1, 2, 3, 4};

std::vector<uint8_t> Pcm16Mono(const std::vector<uint8_t>& aData)
{
    return CRiffBuilder().Chunk("fmt ", FmtBody(1, 1, 22050, 16, 2)).Chunk("data", aData).Bytes();
}

} // namespace

TEST(CKorvelSoundWave, FindsFormatAndDataAmongOtherChunks)
{
    std::vector<uint8_t> aCue;
    PutLE(aCue, 2, 4);
    aCue.resize(4 + 2 * 24, 0);
    const std::vector<uint8_t> aLabel = {'i', 'n', 't', 'r', 'o', 0};
    CWaveOpen wave(CRiffBuilder()
                       .Chunk("fmt ", FmtBody(1, 2, 44100, 16, 4, true))
                       .Chunk("fact", kFour)
                       .Raw({'P', 'r', 'M', 'r', 0, 0, 0, 0})
                       .Chunk("LIST", AdtlLabel("labl", aLabel))
                       .Chunk("LIST", AdtlLabel("note", {'n', 'o', 't', 'e', 0}))
                       .Chunk("cue ", aCue)
                       .Chunk("data", {10, 11, 12, 13, 14, 15, 16, 17})
                       .Chunk("junk", {1, 2, 3})
                       .Bytes());
    ASSERT_EQ(KE_OK, wave.m_iResult);
    const SKE_WAVEFORMAT& format = *wave.m_Handler.pFileFormat;
    EXPECT_EQ(2u, format.uChannels);
    EXPECT_EQ(44100u, format.uSamplesPerSec);
    EXPECT_EQ(16u, format.uBitsPerSample);
    EXPECT_EQ(4u, format.uBlockAlign);
    EXPECT_EQ(nullptr, wave.m_Handler.pCodec);
    EXPECT_EQ(8u, wave.m_Handler.uDataSize);

    uint8_t abOut[8] = {};
    unsigned int uBlocks = 0;
    ASSERT_EQ(KE_OK, CKorvelSoundWave::WaveGetBlockCount(&wave.m_Handler, uBlocks));
    EXPECT_EQ(2u, uBlocks);
    EXPECT_EQ(1, CKorvelSoundWave::WaveReadBlocks(&wave.m_Handler, abOut, 1, 1));
    EXPECT_EQ(14, abOut[0]);
    EXPECT_EQ(17, abOut[3]);
    EXPECT_EQ(0, CKorvelSoundWave::WaveReadBlocks(&wave.m_Handler, abOut, 2, 1)); // past the data
}

TEST(CKorvelSoundWave, CuePointsAreSteppedOverByTheirCount)
{
    // Cue points name the "data" chunk inside themselves; a scan that loses its step
    // finds that name instead of the chunk. The chunk's size field is not used.
    std::vector<uint8_t> aCue;
    PutLE(aCue, 3, 4);
    for (uint32_t i = 0; i < 3; ++i)
    {
        for (uint32_t uWord : {i + 1, 100 * i})
            PutLE(aCue, uWord, 4);
        aCue.insert(aCue.end(), {'d', 'a', 't', 'a'});
        for (uint32_t uWord : {0u, 0u, 100 * i})
            PutLE(aCue, uWord, 4);
    }
    for (const uint32_t uSizeField : {static_cast<uint32_t>(aCue.size()), 0u})
    {
        CWaveOpen wave(CRiffBuilder()
                           .Chunk("fmt ", FmtBody(1, 1, 8000, 8, 1))
                           .ChunkSized("cue ", uSizeField, aCue)
                           .Chunk("data", {1, 2, 3, 4, 5, 6})
                           .Bytes());
        ASSERT_EQ(KE_OK, wave.m_iResult) << uSizeField;
        EXPECT_EQ(6u, wave.m_Handler.uDataSize) << uSizeField;
        EXPECT_EQ(12u + 24u + 8u + aCue.size() + 8u, wave.m_Handler.uDataOffset) << uSizeField;
    }
}

TEST(CKorvelSoundWave, HonoursPadBytesAndFormatAnywhere)
{
    // An odd-sized chunk is followed by a pad byte; the format may come after the data.
    CWaveOpen wave(CRiffBuilder()
                       .Chunk("junk", {1, 2, 3})
                       .Chunk("data", {5, 6, 7, 8})
                       .Chunk("fmt ", FmtBody(1, 1, 8000, 8, 1))
                       .Bytes());
    ASSERT_EQ(KE_OK, wave.m_iResult);
    EXPECT_EQ(4u, wave.m_Handler.uDataSize);
    EXPECT_EQ(12u + 12u + 8u, wave.m_Handler.uDataOffset);
    EXPECT_EQ(8000u, wave.m_Handler.pFileFormat->uSamplesPerSec);
}

TEST(CKorvelSoundWave, RejectsHeadersAndFormatsItCannotPlay)
{
    CKorvelFile file;
    SKE_WAVEHANDLER handler;
    uint8_t abShort[10] = {'R', 'I', 'F', 'F'};
    file.OpenFromMemory(abShort, sizeof(abShort), CKorvelFile::FLAG_READ);
    EXPECT_EQ(KE_ERR_INVALIDARG, CKorvelSoundWave::WaveOpen(&file, &handler));
    EXPECT_EQ(KE_ERR_INVALIDARG, CKorvelSoundWave::WaveOpen(nullptr, &handler));

    std::vector<uint8_t> aRifx = Pcm16Mono(kFour);
    aRifx[3] = 'X';
    EXPECT_EQ(KE_ERR_DECODE, CWaveOpen(aRifx).m_iResult);
    EXPECT_EQ(KE_ERR_DECODE, CWaveOpen(CRiffBuilder().Chunk("data", kFour).Bytes()).m_iResult);
    EXPECT_EQ(KE_ERR_DEVICE,
              CWaveOpen(CRiffBuilder().Chunk("fmt ", FmtBody(1, 1, 8000, 8, 1)).Bytes()).m_iResult)
        << "no data chunk";

    struct sCASE
    {
        const char* pName;
        unsigned int uTag, uChannels, uRate, uBits, uAlign;
    };
    const sCASE aBad[] = {
        {"float", 3, 1, 8000, 32, 4},
        {"no channels", 1, 0, 8000, 16, 0},
        {"three channels", 1, 3, 8000, 16, 6},
        {"24-bit", 1, 1, 8000, 24, 3},
        {"rate 0", 1, 1, 0, 16, 2},
        {"PCM align 0", 1, 2, 8000, 16, 0},
        {"IMA 3 bits", 17, 1, 8000, 3, 256},
        {"IMA odd align", 17, 2, 8000, 4, 260},
        {"IMA align 0", 17, 1, 8000, 4, 0},
    };
    for (const sCASE& c : aBad)
    {
        CWaveOpen wave(CRiffBuilder()
                           .Chunk("fmt ", FmtBody(c.uTag, c.uChannels, c.uRate, c.uBits, c.uAlign, true))
                           .Chunk("data", std::vector<uint8_t>(1024, 0))
                           .Bytes());
        EXPECT_EQ(KE_ERR_DEVICE, wave.m_iResult) << c.pName;
        EXPECT_EQ(nullptr, wave.m_Handler.pFileFormat) << c.pName << ": the handler is closed";
    }
}

TEST(CKorvelSoundWave, LabelTextsUpTo1024BytesWithTheTerminator)
{
    for (const bool bTerminated : {true, false})
    {
        std::vector<uint8_t> aText(1023, 'a');
        aText.push_back(bTerminated ? 0 : 'a');
        EXPECT_EQ(bTerminated ? KE_OK : KE_ERR_DEVICE, CWaveOpen(CRiffBuilder()
                                                                     .Chunk("fmt ", FmtBody(1, 1, 8000, 8, 1))
                                                                     .Chunk("LIST", AdtlLabel("labl", aText))
                                                                     .Chunk("data", kFour)
                                                                     .Bytes())
                                                           .m_iResult);
    }
}

TEST(CKorvelSoundWave, DamagedSizesAndCountsEndTheScan)
{
    const std::vector<uint8_t> aFmt = FmtBody(1, 1, 8000, 8, 1);
    // A size that would wrap a signed seek back to the chunk: the scan ends, data already seen stays.
    CWaveOpen wrap(
        CRiffBuilder().Chunk("fmt ", aFmt).Chunk("data", kFour).ChunkSized("junk", 0xFFFFFFF8u, {}).Bytes());
    EXPECT_EQ(KE_OK, wrap.m_iResult);
    EXPECT_EQ(4u, wrap.m_Handler.uDataSize);
    // The same before the data: no data is found.
    EXPECT_EQ(KE_ERR_DEVICE, CWaveOpen(CRiffBuilder()
                                           .Chunk("fmt ", aFmt)
                                           .ChunkSized("junk", 0xFFFFFFF8u, {})
                                           .Chunk("data", kFour)
                                           .Bytes())
                                 .m_iResult);
    // A LIST too short for its type, and a cue count no file can hold.
    EXPECT_EQ(
        KE_ERR_DEVICE,
        CWaveOpen(
            CRiffBuilder().Chunk("fmt ", aFmt).ChunkSized("LIST", 2, {'a', 'd'}).Chunk("data", kFour).Bytes())
            .m_iResult);
    std::vector<uint8_t> aCue;
    PutLE(aCue, 0xFFFFFFFFu, 4);
    EXPECT_EQ(KE_ERR_DEVICE,
              CWaveOpen(CRiffBuilder().Chunk("fmt ", aFmt).Chunk("cue ", aCue).Chunk("data", kFour).Bytes())
                  .m_iResult);
    // A data size beyond the file is clamped to the bytes present.
    CWaveOpen clamped(
        CRiffBuilder().Chunk("fmt ", aFmt).ChunkSized("data", 0x7FFFFFF0u, {1, 2, 3, 4, 5, 6}).Bytes());
    ASSERT_EQ(KE_OK, clamped.m_iResult);
    EXPECT_EQ(6u, clamped.m_Handler.uDataSize);
    // A format chunk larger than the file.
    EXPECT_EQ(KE_ERR_DECODE, CWaveOpen(CRiffBuilder().ChunkSized("fmt ", 4000, aFmt).Bytes()).m_iResult);
}

TEST(CKorvelSoundWave, SoundSizeBoundsTheChunks)
{
    // Inside a pack the next item follows the sound: chunks past the size are not read.
    std::vector<uint8_t> aBytes = Pcm16Mono({1, 2, 3, 4, 5, 6, 7, 8});
    const int iSize = static_cast<int>(aBytes.size()) - 4; // cuts the data short
    aBytes.insert(aBytes.end(), {'d', 'a', 't', 'a', 2, 0, 0, 0, 9, 9});
    CWaveOpen wave(aBytes, iSize);
    ASSERT_EQ(KE_OK, wave.m_iResult);
    EXPECT_EQ(4u, wave.m_Handler.uDataSize);
}

TEST(CKorvelSoundWave, BlockQueriesWithoutAnOpenHandler)
{
    SKE_WAVEHANDLER handler = {};
    unsigned int uCount = 7;
    EXPECT_EQ(KE_ERR_INVALIDARG, CKorvelSoundWave::WaveGetBlockCount(nullptr, uCount));
    EXPECT_EQ(KE_ERR_NOTSTARTED, CKorvelSoundWave::WaveGetBlockCount(&handler, uCount));
    SKE_WAVEFORMAT format = {1, 8000, 8, 0};
    handler.pFileFormat = &format;
    EXPECT_EQ(KE_ERR_DEVICE, CKorvelSoundWave::WaveGetBlockCount(&handler, uCount));
    EXPECT_EQ(KE_ERR_INVALIDARG, CKorvelSoundWave::WaveReadChunkInfo(nullptr, &handler));
}
