#include "KorvelSound/KorvelSoundWave.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelSound/KorvelSoundEngine.h"

CKorvelSoundWave* CKorvelSoundWave::New()
{
    return new (std::nothrow) CKorvelSoundWave();
}

KE_RETVAL CKorvelSoundWave::Load(CKorvelSoundEngine* pEngine, const CKorvelString& strPath,
                                 unsigned int uFlags, unsigned int uDuplicates)
{
    CKorvelFile file;
    const KE_RETVAL iOpen = file.OpenFromFile(strPath, CKorvelFile::FLAG_READ);
    return LoadOpened(pEngine, file, iOpen, file.GetSize(), uFlags, uDuplicates);
}

KE_RETVAL CKorvelSoundWave::LoadFromMemory(CKorvelSoundEngine* pEngine, void* pData, unsigned int uSize,
                                           unsigned int uFlags, unsigned int uDuplicates)
{
    CKorvelFile file;
    const KE_RETVAL iOpen = file.OpenFromMemory(pData, uSize, CKorvelFile::FLAG_READ);
    return LoadOpened(pEngine, file, iOpen, static_cast<int>(uSize), uFlags, uDuplicates);
}

KE_RETVAL CKorvelSoundWave::LoadOpened(CKorvelSoundEngine* pEngine, CKorvelFile& file, KE_RETVAL iOpen,
                                       int iSize, unsigned int uFlags, unsigned int uDuplicates)
{
    KE_RETVAL iResult = iOpen;
    if (iResult == KE_OK)
        iResult = LoadFromHandle(pEngine, file, iSize, uFlags);
    if (iResult == KE_OK)
        iResult = CreateDuplicates(uDuplicates);
    file.Close();
    if (iResult != KE_OK)
        Shutdown();
    return iResult;
}

KE_RETVAL CKorvelSoundWave::LoadFromPack(CKorvelSoundEngine* pEngine, CKorvelMediaPack* pPack,
                                         const CKorvelString& strName, unsigned int uIndex,
                                         unsigned int uFlags, unsigned int uDuplicates)
{
    if (!pPack)
        return KE_ERR_INVALIDARG;
    CKorvelMediaPackItem item;
    const KE_RETVAL iOpen = item.Open(*pPack, strName, uIndex);
    return LoadOpened(pEngine, item.GetFile(), iOpen, static_cast<int>(item.GetSize()), uFlags, uDuplicates);
}

KE_RETVAL CKorvelSoundWave::LoadFromHandle(CKorvelSoundEngine* pEngine, CKorvelFile& file, int iSize,
                                           unsigned int uFlags)
{
    if (m_Voices.GetCount() > 0)
        Shutdown(); // a second load replaces the sound
    char acMagic[4];
    const unsigned int uRead = file.Read(acMagic, 4);
    file.Seek(-static_cast<int>(uRead), KET_SEEK_CURRENT);
    if (uRead < 4)
        return KE_ERR_INVALIDARG;
    KE_RETVAL iResult = KE_ERR_DEVICE;
    if (memcmp(acMagic, "OggS", 4) == 0)
        iResult = DecodeOgg(pEngine, file, iSize, uFlags);
    else if (memcmp(acMagic, "RIFF", 4) == 0)
        iResult = DecodeWave(pEngine, file, uFlags, iSize);
    return iResult == KE_OK ? KE_OK : KE_ERR_DEVICE;
}

KE_RETVAL CKorvelSoundWave::CreateDuplicates(unsigned int uCount)
{
    CKorvelSoundBuffer* pFirst = GetBuffer(0);
    if (!pFirst)
        return KE_ERR_NOTSTARTED;
    for (unsigned int i = 0; i < uCount; ++i)
    {
        CKorvelSoundBuffer* pVoice = CKorvelSoundBuffer::New();
        if (!pVoice)
        {
            Shutdown();
            return KE_ERR_OUTOFMEMORY;
        }
        const KE_RETVAL iResult = pVoice->StartupAsDuplicate(*pFirst);
        if (iResult != KE_OK)
        {
            delete pVoice;
            Shutdown();
            return iResult;
        }
        if (AppendVoice(pVoice) != KE_OK)
        {
            Shutdown();
            return KE_ERR_OUTOFMEMORY;
        }
    }
    m_uLength = pFirst->GetSize();
    m_Format = pFirst->GetFormat();
    return KE_OK;
}

KE_RETVAL CKorvelSoundWave::Startup(CKorvelSoundEngine* pEngine, SKE_WAVEFORMAT* pFormat, unsigned int uSize,
                                    unsigned int uFlags, unsigned int uDuplicates)
{
    if (!pFormat)
        return KE_ERR_INVALIDARG;
    CKorvelSoundBuffer* pBuffer = nullptr;
    KE_RETVAL iResult = StartBuffer(pEngine, *pFormat, uSize, uFlags, &pBuffer);
    if (iResult == KE_OK)
        iResult = AppendVoice(pBuffer);
    if (iResult == KE_OK)
        iResult = CreateDuplicates(uDuplicates);
    if (iResult != KE_OK)
        Shutdown();
    return iResult;
}

KE_RETVAL CKorvelSoundWave::StartBuffer(CKorvelSoundEngine* pEngine, const SKE_WAVEFORMAT& format,
                                        unsigned int uSize, unsigned int uFlags,
                                        CKorvelSoundBuffer** ppBuffer)
{
    *ppBuffer = nullptr;
    CKorvelSoundBuffer* pBuffer = CKorvelSoundBuffer::New();
    if (!pBuffer)
        return KE_ERR_OUTOFMEMORY;
    const KE_RETVAL iResult = pBuffer->Startup(pEngine, &format, uSize, uFlags);
    if (iResult != KE_OK)
    {
        FreeBuffer(pBuffer);
        return iResult;
    }
    *ppBuffer = pBuffer;
    return KE_OK;
}

void CKorvelSoundWave::FreeBuffer(CKorvelSoundBuffer* pBuffer)
{
    if (!pBuffer)
        return;
    pBuffer->Shutdown();
    delete pBuffer;
}

KE_RETVAL CKorvelSoundWave::AppendVoice(CKorvelSoundBuffer* pBuffer)
{
    if (m_Voices.Add(pBuffer) < 0)
    {
        FreeBuffer(pBuffer);
        return KE_ERR_OUTOFMEMORY;
    }
    return KE_OK;
}

KE_RETVAL CKorvelSoundWave::DecodeWave(CKorvelSoundEngine* pEngine, CKorvelFile& file, unsigned int uFlags,
                                       int iSize)
{
    SKE_WAVEHANDLER handler;
    KE_RETVAL iResult = WaveOpen(&file, &handler, iSize);
    if (iResult != KE_OK)
        return iResult;
    unsigned int uBlocks = 0;
    iResult = WaveGetBlockCount(&handler, uBlocks);
    if (iResult == KE_OK && uBlocks == 0)
        iResult = KE_ERR_DEVICE; // not one whole block: nothing would be read
    const unsigned int uBufferSize =
        handler.pCodec ? handler.pCodec->QueryDecodeBufferSize(handler.uDataSize) : handler.uDataSize;

    CKorvelSoundBuffer* pBuffer = nullptr;
    if (iResult == KE_OK)
        iResult = StartBuffer(pEngine, *handler.pDecodedFormat, uBufferSize, uFlags, &pBuffer);
    void* pData = nullptr;
    unsigned int uLocked = 0;
    if (iResult == KE_OK)
        iResult = pBuffer->Lock(0, 0, &pData, &uLocked, 1);
    if (iResult == KE_OK)
    {
        const unsigned int uEncoded = uBlocks * handler.pFileFormat->uBlockAlign;
        if (handler.pCodec)
        {
            std::unique_ptr<uint8_t[]> pEncoded(new (std::nothrow) uint8_t[handler.uDataSize]);
            if (!pEncoded)
                iResult = KE_ERR_OUTOFMEMORY;
            else if (!WaveReadBlocks(&handler, pEncoded.get(), 0, uBlocks))
                iResult = KE_ERR_DEVICE;
            else
                iResult = handler.pCodec->Decode(pEncoded.get(), uEncoded, pData, uLocked);
        }
        else if (!WaveReadBlocks(&handler, pData, 0, uBlocks))
        {
            iResult = KE_ERR_DEVICE;
        }
        pBuffer->Unlock(pData, uLocked);
    }
    WaveClose(&handler);
    if (iResult != KE_OK)
    {
        FreeBuffer(pBuffer);
        Shutdown();
        return iResult;
    }
    return AppendVoice(pBuffer);
}

int CKorvelSoundWave::ReadFile(void* pOut, CKorvelFile& file, int& iBudget, int iWanted)
{
    const int iCount = iWanted < iBudget ? iWanted : iBudget;
    if (iCount <= 0)
        return 0;
    const int iRead = static_cast<int>(file.Read(pOut, static_cast<unsigned int>(iCount)));
    iBudget -= iRead;
    return iRead;
}

int16_t CKorvelSoundWave::FloatToSample(float fValue)
{
    const float fScaled = std::floor(0.5f + 32767.0f * fValue);
    if (fScaled >= 32767.0f)
        return 32767;
    if (fScaled <= -32768.0f)
        return -32768;
    if (fScaled != fScaled)
        return 0; // NaN
    return static_cast<int16_t>(fScaled);
}
