// A sound decoded whole at load time into one PCM buffer (voice 0) plus any
// number of duplicate voices sharing its block. Loads RIFF/WAVE files (PCM of
// 8 or 16 bits, IMA ADPCM) and Ogg Vorbis files from a path, a memory block or
// a media-pack item; the first four bytes ("RIFF" or "OggS") pick the decoder.
//
// Sources: KorvelSoundWave.cpp (loading, voices, WAV decoding),
// KorvelSoundWaveReader.cpp (the RIFF chunk reader), KorvelSoundWaveOgg.cpp
// (Ogg Vorbis).
#pragma once

#include <cstdint>

#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelSound/KorvelSoundCodec.h"
#include "KorvelSound/KorvelSoundSource.h"

class CKorvelMediaPack;
class CKorvelSoundEngine;

// The state of one WAV read.
struct SKE_WAVEHANDLER
{
    CKorvelFile* pFile;
    SKE_WAVEFORMAT* pFileFormat;    // owned
    uint8_t* pFormatChunk;          // owned: the 18-byte format header and its extra bytes
    SKE_WAVEFORMAT* pDecodedFormat; // owned
    unsigned int uDataOffset;       // of the sample data in the file
    unsigned int uDataSize;         // bytes, clamped to what the file holds
    IKorvelSoundCodec* pCodec;      // owned; null for PCM
    unsigned int uEnd;              // position where the sound's bytes end in the file
};

class CKorvelSoundWave : public IKorvelSoundSource
{
public:
    enum
    {
        WAVE_FORMAT_PCM = 1,
        WAVE_FORMAT_IMA_ADPCM = 17,
        OGG_READ_BYTES = 4096,
        OGG_BLOCK_BYTES = 1048576,
    };
    // Decoded sounds larger than this are refused (7) rather than grown further.
    static const unsigned int MAX_DECODED_BYTES = 256u * 1024u * 1024u;

    static CKorvelSoundWave* New();
    CKorvelSoundWave() {}

    unsigned int IsStreaming() const override { return 0; }

    // Every load leaves the wave shut down (no voices) when it fails.
    KE_RETVAL Load(CKorvelSoundEngine* pEngine, const CKorvelString& strPath, unsigned int uFlags,
                   unsigned int uDuplicates);
    // The block stays the caller's.
    KE_RETVAL LoadFromMemory(CKorvelSoundEngine* pEngine, void* pData, unsigned int uSize,
                             unsigned int uFlags, unsigned int uDuplicates);
    // 2 without a pack, 8 when no item matches.
    KE_RETVAL LoadFromPack(CKorvelSoundEngine* pEngine, CKorvelMediaPack* pPack, const CKorvelString& strName,
                           unsigned int uIndex, unsigned int uFlags, unsigned int uDuplicates);
    // Reads iSize bytes from the file's position: 2 for fewer than 4 bytes,
    // 9 for an unknown type or any decoding failure.
    KE_RETVAL LoadFromHandle(CKorvelSoundEngine* pEngine, CKorvelFile& file, int iSize, unsigned int uFlags);
    KE_RETVAL CreateDuplicates(unsigned int uCount);
    // Voice 0 as a silent buffer of the format and size, and the duplicates.
    KE_RETVAL Startup(CKorvelSoundEngine* pEngine, SKE_WAVEFORMAT* pFormat, unsigned int uSize,
                      unsigned int uFlags, unsigned int uDuplicates);

    // iSize -1: to the end of the file.
    KE_RETVAL DecodeWave(CKorvelSoundEngine* pEngine, CKorvelFile& file, unsigned int uFlags, int iSize = -1);
    KE_RETVAL DecodeOgg(CKorvelSoundEngine* pEngine, CKorvelFile& file, int iSize, unsigned int uFlags);

    // The WAV reader. WaveOpen reads the header and the chunks from the file's
    // position; iSize -1 lets the chunks run to the end of the file.
    static KE_RETVAL WaveOpen(CKorvelFile* pFile, SKE_WAVEHANDLER* pHandler, int iSize = -1);
    static KE_RETVAL WaveReadChunkInfo(CKorvelFile* pFile, SKE_WAVEHANDLER* pHandler);
    static KE_RETVAL WaveGetBlockCount(SKE_WAVEHANDLER* pHandler, unsigned int& uCount);
    // 1 when any byte was read, else 0.
    static KE_RETVAL WaveReadBlocks(SKE_WAVEHANDLER* pHandler, void* pOut, unsigned int uFirst,
                                    unsigned int uCount);
    static void WaveClose(SKE_WAVEHANDLER* pHandler);

    // Reads min(iWanted, iBudget) bytes and takes them off the budget.
    static int ReadFile(void* pOut, CKorvelFile& file, int& iBudget, int iWanted);
    // A decoded float sample as 16 bits: floor(0.5 + 32767 x), clamped.
    static int16_t FloatToSample(float fValue);

private:
    // The rest of a load once the file was opened with iOpen: decoding, the
    // duplicates, closing the file, and shutting down on failure.
    KE_RETVAL LoadOpened(CKorvelSoundEngine* pEngine, CKorvelFile& file, KE_RETVAL iOpen, int iSize,
                         unsigned int uFlags, unsigned int uDuplicates);
    // A new started buffer in *ppBuffer, or its failure (7 when it cannot be made).
    static KE_RETVAL StartBuffer(CKorvelSoundEngine* pEngine, const SKE_WAVEFORMAT& format,
                                 unsigned int uSize, unsigned int uFlags, CKorvelSoundBuffer** ppBuffer);
    static void FreeBuffer(CKorvelSoundBuffer* pBuffer);
    KE_RETVAL AppendVoice(CKorvelSoundBuffer* pBuffer); // frees the buffer when it cannot be kept
};
