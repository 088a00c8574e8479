// The RIFF/WAVE reader: the format chunk, then a scan over the other chunks
// for the sample data. Sizes come from outside, so every chunk is checked
// against the end of the sound before the reader moves past it, and a chunk
// running past the end ends the scan.
#include <cstring>
#include <new>

#include "KorvelSound/KorvelSoundCodecImaAdpcm.h"
#include "KorvelSound/KorvelSoundWave.h"

namespace
{

const unsigned int kLabelBytes = 1024; // longest label or note text, terminator included

bool ReadU32(CKorvelFile& file, uint32_t& uValue)
{
    uint8_t ab[4];
    if (file.Read(ab, 4) < 4)
        return false;
    uValue = ab[0] | (ab[1] << 8) | (ab[2] << 16) | (static_cast<uint32_t>(ab[3]) << 24);
    return true;
}

unsigned int U16At(const uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

unsigned int U32At(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned int>(p[3]) << 24);
}

bool IsId(const char* pId, const char* pName)
{
    return memcmp(pId, pName, 4) == 0;
}

// RIFF chunks are padded to an even size.
long long Padded(uint32_t uSize)
{
    return static_cast<long long>(uSize) + (uSize & 1);
}

void SeekTo(CKorvelFile& file, long long iPos)
{
    file.Seek(static_cast<int>(iPos), KET_SEEK_BEGIN);
}

// The formats this loader accepts: one or two channels at a rate above 0, PCM of
// 8 or 16 bits, or 4-bit IMA ADPCM whose block align holds whole groups of every
// channel. Anything else would reach the mixer as garbage or as a block align of 0.
// A PCM block align only sets the reading step: some writers put bits / 8 there,
// and the voice takes its own from the bits and channels.
bool IsSupportedFormat(unsigned int uTag, const SKE_WAVEFORMAT& format)
{
    if (format.uChannels < 1 || format.uChannels > 2 || format.uSamplesPerSec == 0)
        return false;
    if (uTag == CKorvelSoundWave::WAVE_FORMAT_PCM)
        return (format.uBitsPerSample == 8 || format.uBitsPerSample == 16) && format.uBlockAlign > 0;
    if (uTag == CKorvelSoundWave::WAVE_FORMAT_IMA_ADPCM)
        return format.uBitsPerSample == 4 &&
               CKorvelSoundCodecImaAdpcm::SamplesPerBlock(format.uBlockAlign, format.uChannels) > 0;
    return false;
}

// A "labl" or "note" sub-chunk at iSub inside a LIST/adtl ending at iListEnd.
// Returns where the next sub-chunk starts, -1 when the scan must end, -2 for a
// text of 1024 bytes without a terminator.
long long ReadLabel(CKorvelFile& file, long long iSub, bool bNote)
{
    uint32_t uSize = 0, uCueId = 0;
    if (!ReadU32(file, uSize) || !ReadU32(file, uCueId))
        return -1;
    char acText[kLabelBytes];
    unsigned int uLength = 0;
    for (;;)
    {
        if (uLength == kLabelBytes)
            return -2;
        if (file.Read(&acText[uLength], 1) < 1)
            return -1;
        if (acText[uLength++] == 0)
            break;
    }
    // The text is read and not kept. A size that covers it places the next
    // sub-chunk; a smaller one is not trusted and the text's end is used.
    if (uSize >= 4 + uLength)
        return iSub + 8 + Padded(uSize);
    return iSub + 12 + uLength + (bNote ? 1 : 0);
}

} // namespace

KE_RETVAL CKorvelSoundWave::WaveOpen(CKorvelFile* pFile, SKE_WAVEHANDLER* pHandler, int iSize)
{
    if (!pFile || !pHandler)
        return KE_ERR_INVALIDARG;
    memset(pHandler, 0, sizeof(*pHandler));
    const long long iStart = pFile->GetPosition();
    long long iEnd = pFile->GetSize();
    if (iSize >= 0 && iStart + iSize < iEnd)
        iEnd = iStart + iSize;
    pHandler->uEnd = static_cast<unsigned int>(iEnd < iStart ? iStart : iEnd);

    uint8_t abHead[16];
    if (pFile->Read(abHead, 16) < 16)
        return KE_ERR_INVALIDARG;
    if (memcmp(abHead, "RIFF", 4) != 0 || memcmp(abHead + 8, "WAVE", 4) != 0)
        return KE_ERR_DECODE;

    // Find the format chunk.
    char acId[4];
    memcpy(acId, abHead + 12, 4);
    long long iChunk = iStart + 12; // the current chunk's identifier
    bool bFirst = true;
    uint32_t uFormatSize = 0;
    for (;;)
    {
        if (!ReadU32(*pFile, uFormatSize))
            return KE_ERR_DECODE;
        if (IsId(acId, "fmt "))
            break;
        bFirst = false;
        iChunk += 8 + Padded(uFormatSize);
        if (iChunk + 8 > iEnd)
            return KE_ERR_DECODE;
        SeekTo(*pFile, iChunk);
        if (pFile->Read(acId, 4) < 4)
            return KE_ERR_DECODE;
    }
    const long long iFormat = iChunk + 8;
    if (uFormatSize < 16 || iFormat + uFormatSize > iEnd)
        return KE_ERR_DECODE;

    uint8_t abFormat[18] = {};
    pFile->Read(abFormat, uFormatSize >= 18 ? 18 : 16);
    const unsigned int uTag = U16At(abFormat);
    unsigned int uExtra = (uTag == WAVE_FORMAT_PCM || uFormatSize < 18) ? 0 : U16At(abFormat + 16);
    if (18 + uExtra > uFormatSize)
        uExtra = uFormatSize > 18 ? uFormatSize - 18 : 0;

    pHandler->pFormatChunk = new (std::nothrow) uint8_t[18 + uExtra];
    pHandler->pFileFormat = new (std::nothrow) SKE_WAVEFORMAT;
    if (!pHandler->pFormatChunk || !pHandler->pFileFormat)
    {
        WaveClose(pHandler);
        return KE_ERR_OUTOFMEMORY;
    }
    memcpy(pHandler->pFormatChunk, abFormat, 18);
    if (uExtra > 0)
        pFile->Read(pHandler->pFormatChunk + 18, uExtra);

    SKE_WAVEFORMAT& format = *pHandler->pFileFormat;
    format.uChannels = U16At(abFormat + 2);
    format.uSamplesPerSec = U32At(abFormat + 4);
    format.uBlockAlign = U16At(abFormat + 12);
    format.uBitsPerSample = U16At(abFormat + 14);

    // With the format first, the other chunks follow it; otherwise scan them all.
    SeekTo(*pFile, bFirst ? iFormat + Padded(uFormatSize) : iStart + 12);
    KE_RETVAL iResult = WaveReadChunkInfo(pFile, pHandler);
    if (iResult == KE_OK && !IsSupportedFormat(uTag, format))
        iResult = KE_ERR_DEVICE;
    if (iResult != KE_OK)
    {
        WaveClose(pHandler);
        return iResult;
    }

    pHandler->pDecodedFormat = new (std::nothrow) SKE_WAVEFORMAT(format);
    if (!pHandler->pDecodedFormat)
    {
        WaveClose(pHandler);
        return KE_ERR_OUTOFMEMORY;
    }
    if (uTag == WAVE_FORMAT_IMA_ADPCM)
    {
        pHandler->pDecodedFormat->uBitsPerSample = 16;
        pHandler->pDecodedFormat->uBlockAlign = 2 * format.uChannels;
        pHandler->pCodec = CKorvelSoundCodecImaAdpcm::New();
        if (!pHandler->pCodec || pHandler->pCodec->Startup(pHandler->pDecodedFormat, &format) != KE_OK)
        {
            WaveClose(pHandler);
            return KE_ERR_OUTOFMEMORY;
        }
    }
    pHandler->pFile = pFile;
    return KE_OK;
}

KE_RETVAL CKorvelSoundWave::WaveReadChunkInfo(CKorvelFile* pFile, SKE_WAVEHANDLER* pHandler)
{
    if (!pFile || !pHandler)
        return KE_ERR_INVALIDARG;
    const long long iEnd = pHandler->uEnd ? pHandler->uEnd : pFile->GetSize();
    bool bData = false;
    for (;;)
    {
        const long long iChunk = pFile->GetPosition();
        char acId[4];
        if (iChunk + 4 > iEnd || pFile->Read(acId, 4) < 4)
            break;
        if (IsId(acId, "PrMr"))
        {
            // Only its size field is skipped: what follows is read as chunks.
            if (iChunk + 8 > iEnd)
                break;
            SeekTo(*pFile, iChunk + 8);
            continue;
        }
        uint32_t uSize = 0;
        if (!ReadU32(*pFile, uSize))
            break;
        const long long iBody = iChunk + 8;
        long long iNext = iBody + Padded(uSize);

        if (IsId(acId, "data"))
        {
            bData = true;
            pHandler->uDataOffset = static_cast<unsigned int>(iBody);
            const long long iPresent = iEnd - iBody;
            pHandler->uDataSize = static_cast<unsigned int>(uSize < iPresent ? uSize : iPresent);
        }
        else if (IsId(acId, "LIST"))
        {
            char acType[4];
            if (uSize < 4 || pFile->Read(acType, 4) < 4)
                break;
            const long long iListEnd = iBody + uSize;
            if (iListEnd > iEnd)
                break;
            if (IsId(acType, "adtl"))
            {
                long long iSub = iBody + 4;
                while (iSub + 8 <= iListEnd)
                {
                    SeekTo(*pFile, iSub);
                    char acSub[4];
                    if (pFile->Read(acSub, 4) < 4)
                        break;
                    const bool bNote = IsId(acSub, "note");
                    if (!bNote && !IsId(acSub, "labl"))
                        break; // the rest of the list is skipped
                    iSub = ReadLabel(*pFile, iSub, bNote);
                    if (iSub == -2)
                        return KE_ERR_DEVICE;
                    if (iSub < 0)
                        break;
                }
            }
        }
        else if (IsId(acId, "cue "))
        {
            // A count of cue points of 24 bytes each, read and not kept.
            uint32_t uCount = 0;
            if (!ReadU32(*pFile, uCount))
                break;
            iNext = iBody + 4 + 24ll * uCount;
        }
        if (iNext > iEnd)
            break;
        SeekTo(*pFile, iNext);
    }
    return bData ? KE_OK : KE_ERR_DEVICE;
}

KE_RETVAL CKorvelSoundWave::WaveGetBlockCount(SKE_WAVEHANDLER* pHandler, unsigned int& uCount)
{
    if (!pHandler)
        return KE_ERR_INVALIDARG;
    if (!pHandler->pFileFormat)
        return KE_ERR_NOTSTARTED;
    if (pHandler->pFileFormat->uBlockAlign == 0)
        return KE_ERR_DEVICE;
    uCount = pHandler->uDataSize / pHandler->pFileFormat->uBlockAlign;
    return KE_OK;
}

KE_RETVAL CKorvelSoundWave::WaveReadBlocks(SKE_WAVEHANDLER* pHandler, void* pOut, unsigned int uFirst,
                                           unsigned int uCount)
{
    if (!pHandler || !pHandler->pFile || !pHandler->pFileFormat || !pOut)
        return 0;
    const unsigned long long uAlign = pHandler->pFileFormat->uBlockAlign;
    const unsigned long long uFrom = uAlign * uFirst;
    unsigned long long uBytes = uAlign * uCount;
    if (uFrom >= pHandler->uDataSize)
        return 0;
    if (uBytes > pHandler->uDataSize - uFrom)
        uBytes = pHandler->uDataSize - uFrom;
    pHandler->pFile->Seek(static_cast<int>(pHandler->uDataOffset + uFrom), KET_SEEK_BEGIN);
    return pHandler->pFile->Read(pOut, static_cast<unsigned int>(uBytes)) > 0 ? 1 : 0;
}

void CKorvelSoundWave::WaveClose(SKE_WAVEHANDLER* pHandler)
{
    if (!pHandler)
        return;
    if (pHandler->pCodec)
        pHandler->pCodec->Shutdown();
    delete pHandler->pCodec;
    delete pHandler->pFileFormat;
    delete[] pHandler->pFormatChunk;
    delete pHandler->pDecodedFormat;
    memset(pHandler, 0, sizeof(*pHandler));
}
