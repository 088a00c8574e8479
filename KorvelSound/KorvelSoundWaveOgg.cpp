// Ogg Vorbis decoding with the libogg/libvorbis packet API: every logical
// stream of the file in turn, read in 4096-byte pieces, decoded whole into a
// block of 16-bit samples that grows in 1 MiB steps.
#include <cstring>
#include <new>

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include "KorvelSound/KorvelSoundWave.h"

namespace
{

class COggDecoder
{
public:
    COggDecoder(CKorvelFile& file, int iBudget) : m_File(file), m_iBudget(iBudget) { ogg_sync_init(&m_Sync); }
    ~COggDecoder()
    {
        ogg_sync_clear(&m_Sync);
        delete[] m_pBlock;
    }

    // Decodes every stream; 1 with the samples in Samples()/Used() and Format().
    KE_RETVAL Run();
    const uint8_t* Samples() const { return m_pBlock; }
    unsigned int Used() const { return m_uUsed; }
    const SKE_WAVEFORMAT& Format() const { return m_Format; }

private:
    // Reads up to 4096 more bytes into the sync layer; returns how many.
    int ReadMore();
    // Moves the next whole page into the stream, passing over damaged ones;
    // false when more data is needed.
    bool NextPage(ogg_stream_state& stream, ogg_page& page);
    KE_RETVAL DecodeStream(ogg_page& page);
    KE_RETVAL ReadHeaders(ogg_stream_state& stream, vorbis_info& info, vorbis_comment& comment,
                          ogg_page& page);
    KE_RETVAL DecodeAudio(ogg_stream_state& stream, vorbis_info& info, ogg_page& page);
    KE_RETVAL TakeSamples(vorbis_dsp_state& dsp);
    bool Reserve(unsigned int uBytes);

    CKorvelFile& m_File;
    int m_iBudget;
    int m_iLastRead = 0;
    ogg_sync_state m_Sync;
    uint8_t* m_pBlock = nullptr;
    unsigned int m_uCapacity = 0;
    unsigned int m_uUsed = 0;
    SKE_WAVEFORMAT m_Format = {0, 0, 0, 0};
};

int COggDecoder::ReadMore()
{
    char* pBuffer = ogg_sync_buffer(&m_Sync, CKorvelSoundWave::OGG_READ_BYTES);
    m_iLastRead =
        pBuffer ? CKorvelSoundWave::ReadFile(pBuffer, m_File, m_iBudget, CKorvelSoundWave::OGG_READ_BYTES)
                : 0;
    ogg_sync_wrote(&m_Sync, m_iLastRead);
    return m_iLastRead;
}

bool COggDecoder::NextPage(ogg_stream_state& stream, ogg_page& page)
{
    for (;;)
    {
        const int iPage = ogg_sync_pageout(&m_Sync, &page);
        if (iPage < 0)
            continue; // a damaged stretch was skipped
        if (iPage == 0)
            return false;
        ogg_stream_pagein(&stream, &page);
        return true;
    }
}

bool COggDecoder::Reserve(unsigned int uBytes)
{
    if (uBytes > CKorvelSoundWave::MAX_DECODED_BYTES - m_uUsed)
        return false;
    if (m_uCapacity > m_uUsed + uBytes)
        return true;
    unsigned int uCapacity = m_uCapacity;
    while (uCapacity <= m_uUsed + uBytes)
        uCapacity += CKorvelSoundWave::OGG_BLOCK_BYTES;
    uint8_t* pBlock = new (std::nothrow) uint8_t[uCapacity];
    if (!pBlock)
        return false;
    if (m_uUsed > 0)
        memcpy(pBlock, m_pBlock, m_uUsed);
    delete[] m_pBlock;
    m_pBlock = pBlock;
    m_uCapacity = uCapacity;
    return true;
}

KE_RETVAL COggDecoder::Run()
{
    if (!Reserve(0))
        return KE_ERR_OUTOFMEMORY;
    for (;;)
    {
        ReadMore();
        ogg_page page;
        if (ogg_sync_pageout(&m_Sync, &page) != 1)
        {
            if (m_iLastRead < CKorvelSoundWave::OGG_READ_BYTES)
                break;            // the data ended
            return KE_ERR_DECODE; // a whole piece without a page: not Ogg
        }
        const KE_RETVAL iResult = DecodeStream(page);
        if (iResult != KE_OK)
            return iResult;
    }
    return m_uUsed > 0 ? KE_OK : KE_ERR_DECODE;
}

KE_RETVAL COggDecoder::DecodeStream(ogg_page& page)
{
    ogg_stream_state stream;
    vorbis_info info;
    vorbis_comment comment;
    ogg_stream_init(&stream, ogg_page_serialno(&page));
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
    KE_RETVAL iResult = ReadHeaders(stream, info, comment, page);
    if (iResult == KE_OK)
        iResult = DecodeAudio(stream, info, page);
    ogg_stream_clear(&stream);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return iResult;
}

KE_RETVAL COggDecoder::ReadHeaders(ogg_stream_state& stream, vorbis_info& info, vorbis_comment& comment,
                                   ogg_page& page)
{
    ogg_packet packet;
    if (ogg_stream_pagein(&stream, &page) < 0 || ogg_stream_packetout(&stream, &packet) != 1 ||
        vorbis_synthesis_headerin(&info, &comment, &packet) < 0)
        return KE_ERR_DECODE;
    // One or two channels at a real rate, and every stream of a chain alike:
    // the samples of all streams go into one buffer of one format.
    if (info.channels < 1 || info.channels > 2 || info.rate <= 0)
        return KE_ERR_DECODE;
    const unsigned int uChannels = static_cast<unsigned int>(info.channels);
    const unsigned int uRate = static_cast<unsigned int>(info.rate);
    if (m_uUsed > 0 && (m_Format.uChannels != uChannels || m_Format.uSamplesPerSec != uRate))
        return KE_ERR_DECODE;
    m_Format = {uChannels, uRate, 16, 2 * uChannels};

    int iHeaders = 0;
    while (iHeaders < 2)
    {
        while (iHeaders < 2 && NextPage(stream, page))
        {
            while (iHeaders < 2)
            {
                const int iPacket = ogg_stream_packetout(&stream, &packet);
                if (iPacket == 0)
                    break;
                if (iPacket < 0 || vorbis_synthesis_headerin(&info, &comment, &packet) < 0)
                    return KE_ERR_BADDATA;
                ++iHeaders;
            }
        }
        if (ReadMore() == 0 && iHeaders < 2)
            return KE_ERR_BADDATA;
    }
    return KE_OK;
}

KE_RETVAL COggDecoder::DecodeAudio(ogg_stream_state& stream, vorbis_info& info, ogg_page& page)
{
    vorbis_dsp_state dsp;
    vorbis_block block;
    if (vorbis_synthesis_init(&dsp, &info) != 0)
        return KE_OK; // a stream that cannot be decoded is passed over
    vorbis_block_init(&dsp, &block);
    KE_RETVAL iResult = KE_OK;
    bool bEnd = false;
    while (!bEnd && iResult == KE_OK)
    {
        while (!bEnd && iResult == KE_OK && NextPage(stream, page))
        {
            ogg_packet packet;
            int iPacket;
            while (iResult == KE_OK && (iPacket = ogg_stream_packetout(&stream, &packet)) != 0)
            {
                if (iPacket < 0)
                    continue; // a gap in the data
                if (vorbis_synthesis(&block, &packet) == 0)
                    vorbis_synthesis_blockin(&dsp, &block);
                iResult = TakeSamples(dsp);
            }
            if (ogg_page_eos(&page))
                bEnd = true;
        }
        if (!bEnd && iResult == KE_OK && ReadMore() == 0)
            bEnd = true;
    }
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    return iResult;
}

KE_RETVAL COggDecoder::TakeSamples(vorbis_dsp_state& dsp)
{
    const int iChannels = static_cast<int>(m_Format.uChannels);
    const int iMost = CKorvelSoundWave::OGG_READ_BYTES / iChannels;
    float** ppPcm = nullptr;
    int iSamples;
    while ((iSamples = vorbis_synthesis_pcmout(&dsp, &ppPcm)) > 0)
    {
        const int iTaken = iSamples < iMost ? iSamples : iMost;
        const unsigned int uBytes = static_cast<unsigned int>(iTaken * iChannels * 2);
        if (!Reserve(uBytes))
            return KE_ERR_OUTOFMEMORY;
        int16_t* pOut = reinterpret_cast<int16_t*>(m_pBlock + m_uUsed);
        for (int i = 0; i < iTaken; ++i)
            for (int c = 0; c < iChannels; ++c)
                *pOut++ = CKorvelSoundWave::FloatToSample(ppPcm[c][i]);
        m_uUsed += uBytes;
        vorbis_synthesis_read(&dsp, iTaken);
    }
    return KE_OK;
}

} // namespace

KE_RETVAL CKorvelSoundWave::DecodeOgg(CKorvelSoundEngine* pEngine, CKorvelFile& file, int iSize,
                                      unsigned int uFlags)
{
    COggDecoder decoder(file, iSize);
    KE_RETVAL iResult = decoder.Run();
    if (iResult != KE_OK)
        return iResult;
    CKorvelSoundBuffer* pBuffer = nullptr;
    iResult = StartBuffer(pEngine, decoder.Format(), decoder.Used(), uFlags, &pBuffer);
    void* pData = nullptr;
    unsigned int uLocked = 0;
    if (iResult == KE_OK)
        iResult = pBuffer->Lock(0, 0, &pData, &uLocked, 1);
    if (iResult == KE_OK)
    {
        memcpy(pData, decoder.Samples(), uLocked < decoder.Used() ? uLocked : decoder.Used());
        pBuffer->Unlock(pData, uLocked);
    }
    if (iResult != KE_OK)
    {
        FreeBuffer(pBuffer);
        Shutdown();
        return iResult;
    }
    return AppendVoice(pBuffer);
}
