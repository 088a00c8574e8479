#include "support/TestAudio.h"
#include "KorvelCommon/KorvelMath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <vorbis/vorbisenc.h>

#include "support/TestMedia.h"

namespace
{

void AppendPage(std::vector<uint8_t>& aOut, const ogg_page& page)
{
    aOut.insert(aOut.end(), page.header, page.header + page.header_len);
    aOut.insert(aOut.end(), page.body, page.body + page.body_len);
}

} // namespace

std::vector<uint8_t> EncodeTestOgg(int iChannels, int iRate, const std::vector<float>& aSamples, int iSerial,
                                   float fQuality)
{
    std::vector<uint8_t> aOut;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, iChannels, iRate, fQuality) != 0)
    {
        vorbis_info_clear(&info);
        return aOut;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, iSerial);

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(aOut, page);

    const int iFrames = static_cast<int>(aSamples.size()) / iChannels;
    const int kChunk = 1024;
    for (int iDone = 0;; iDone += kChunk)
    {
        const int iLeft = iFrames > iDone ? iFrames - iDone : 0;
        const int iCount = iLeft < kChunk ? iLeft : kChunk;
        if (iCount > 0)
        {
            float** ppIn = vorbis_analysis_buffer(&dsp, iCount);
            for (int i = 0; i < iCount; ++i)
                for (int c = 0; c < iChannels; ++c)
                    ppIn[c][i] = aSamples[static_cast<size_t>(iDone + i) * iChannels + c];
        }
        vorbis_analysis_wrote(&dsp, iCount); // 0 marks the end
        while (vorbis_analysis_blockout(&dsp, &block) == 1)
        {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet))
            {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                    AppendPage(aOut, page);
            }
        }
        if (iCount == 0)
            break;
    }
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(aOut, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return aOut;
}

std::vector<float> TestSine(int iChannels, int iRate, int iFrames, float fHz, float fAmplitude)
{
    std::vector<float> aOut;
    aOut.reserve(static_cast<size_t>(iFrames) * iChannels);
    for (int i = 0; i < iFrames; ++i)
    {
        const float fValue = fAmplitude * std::sin(KE_TWO_PI * fHz * i / iRate);
        for (int c = 0; c < iChannels; ++c)
            aOut.push_back(fValue);
    }
    return aOut;
}

std::vector<int16_t> TestSine16(int iChannels, int iRate, int iFrames, float fHz, float fAmplitude)
{
    std::vector<int16_t> aOut;
    for (float f : TestSine(iChannels, iRate, iFrames, fHz, fAmplitude))
        aOut.push_back(static_cast<int16_t>(std::lround(f * 32767.0f)));
    return aOut;
}

int TestPeak(const std::vector<int16_t>& aSamples)
{
    int iPeak = 0;
    for (int16_t s : aSamples)
        iPeak = std::max(iPeak, std::abs(static_cast<int>(s)));
    return iPeak;
}

bool WriteTestMp3(const std::string& strPath, int iChannels, int iRate, float fSeconds, float fHz,
                  float fAmplitude)
{
    const std::string strWav = strPath + ".src.wav";
    const int iFrames = static_cast<int>(fSeconds * iRate);
    if (!WriteTestWav(strWav, iChannels, iRate, 16, TestSine16(iChannels, iRate, iFrames, fHz, fAmplitude)))
        return false;
    const std::string strCommand =
        "lame --quiet --cbr -b 128 '" + strWav + "' '" + strPath + "' < /dev/null > /dev/null 2>&1";
    const bool bOk = std::system(strCommand.c_str()) == 0;
    std::remove(strWav.c_str());
    return bOk;
}
