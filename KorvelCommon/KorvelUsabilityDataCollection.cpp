#include "KorvelCommon/KorvelUsabilityDataCollection.h"

#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelGraphics/KorvelApplication.h"
#include "KorvelInput/KorvelEvent.h"

#include <cstring>
#include <new>

namespace
{
const char MAGIC[4] = {'K', 'U', 'D', 'C'};

void PutU32(unsigned char* pOut, unsigned int uValue)
{
    for (int b = 0; b < 4; ++b)
        pOut[b] = static_cast<unsigned char>(uValue >> (8 * b));
}

bool ReadU32(CKorvelFile& file, unsigned int& uValue)
{
    unsigned char aBytes[4];
    if (file.Read(aBytes, 4) != 4)
        return false;
    uValue = aBytes[0] | (aBytes[1] << 8) | (aBytes[2] << 16) | (static_cast<unsigned int>(aBytes[3]) << 24);
    return true;
}

long long BytesLeft(const CKorvelFile& file)
{
    return static_cast<long long>(file.GetSize()) - file.GetPosition();
}

void DeleteFrame(SKE_USABILITYFRAME* pFrame)
{
    for (int i = 0; i < pFrame->m_Events.GetCount(); ++i)
        delete static_cast<CKorvelEvent*>(pFrame->m_Events[i]);
    delete pFrame;
}

// Reads one frame whose data must lie wholly in the file; null at a short or
// overlong frame.
SKE_USABILITYFRAME* ReadFrame(CKorvelFile& file)
{
    unsigned int uTime = 0, uEvents = 0;
    if (!ReadU32(file, uTime) || !ReadU32(file, uEvents))
        return nullptr;
    if (static_cast<long long>(uEvents) * CKorvelEvent::FILE_SIZE > BytesLeft(file))
        return nullptr;
    SKE_USABILITYFRAME* pFrame = new (std::nothrow) SKE_USABILITYFRAME;
    if (!pFrame)
        return nullptr;
    memcpy(&pFrame->m_fTime, &uTime, 4);
    for (unsigned int i = 0; i < uEvents; ++i)
    {
        CKorvelEvent* pEvent = new (std::nothrow) CKorvelEvent;
        if (!pEvent || !pEvent->Load(file) || pFrame->m_Events.Add(pEvent) < 0)
        {
            delete pEvent;
            DeleteFrame(pFrame);
            return nullptr;
        }
    }
    return pFrame;
}
} // namespace

int CKorvelUsabilityDataCollection::Startup(IKorvelApplication* pApp)
{
    m_pApp = pApp;
    m_uBytes = 0;
    return 1;
}

void CKorvelUsabilityDataCollection::Shutdown()
{
    for (int i = 0; i < m_Frames.GetCount(); ++i)
        DeleteFrame(static_cast<SKE_USABILITYFRAME*>(m_Frames[i]));
    m_Frames.Clear();
    m_uBytes = 0;
    m_pApp = nullptr;
}

int CKorvelUsabilityDataCollection::AddFrame(float fTime)
{
    SKE_USABILITYFRAME* pFrame = new (std::nothrow) SKE_USABILITYFRAME;
    if (!pFrame)
        return -1;
    pFrame->m_fTime = fTime;
    if (m_Frames.Add(pFrame) < 0)
    {
        delete pFrame;
        return -1;
    }
    m_uBytes += 4;
    return m_Frames.GetCount() - 1;
}

void CKorvelUsabilityDataCollection::AddEventToFrame(unsigned int uFrame, const CKorvelEvent& event)
{
    SKE_USABILITYFRAME* pFrame = GetFrame(uFrame);
    if (!pFrame)
        return;
    CKorvelEvent* pCopy = new (std::nothrow) CKorvelEvent;
    if (!pCopy)
        return;
    pCopy->Copy(event);
    if (pFrame->m_Events.Add(pCopy) < 0)
    {
        delete pCopy;
        return;
    }
    m_uBytes += 32;
}

SKE_USABILITYFRAME* CKorvelUsabilityDataCollection::GetFrame(unsigned int uFrame) const
{
    if (uFrame >= GetFrameCount())
        return nullptr;
    return static_cast<SKE_USABILITYFRAME*>(m_Frames[static_cast<int>(uFrame)]);
}

float CKorvelUsabilityDataCollection::GetFrameTime(unsigned int uFrame) const
{
    SKE_USABILITYFRAME* pFrame = GetFrame(uFrame);
    return pFrame ? pFrame->m_fTime : 0.0f;
}

unsigned int CKorvelUsabilityDataCollection::GetFrameEventCount(unsigned int uFrame) const
{
    SKE_USABILITYFRAME* pFrame = GetFrame(uFrame);
    return pFrame ? static_cast<unsigned int>(pFrame->m_Events.GetCount()) : 0;
}

CKorvelEvent* CKorvelUsabilityDataCollection::GetFrameEvent(unsigned int uFrame, unsigned int uEvent) const
{
    if (uEvent >= GetFrameEventCount(uFrame))
        return nullptr;
    return static_cast<CKorvelEvent*>(GetFrame(uFrame)->m_Events[static_cast<int>(uEvent)]);
}

KE_RETVAL CKorvelUsabilityDataCollection::Save(const CKorvelString& strPath) const
{
    CKorvelFile file;
    KE_RETVAL iResult = file.OpenFromFile(strPath, CKorvelFile::FLAG_WRITE);
    if (iResult != KE_OK)
        return iResult;
    CKorvelString strTitle;
    unsigned int uWidth = 0, uHeight = 0;
    if (m_pApp)
    {
        strTitle.Set(m_pApp->GetAppTitle());
        IKorvelGraphicsContext* pBack = m_pApp->GetBack();
        uWidth = static_cast<unsigned int>(pBack->GetWidth());
        uHeight = static_cast<unsigned int>(pBack->GetHeight());
    }

    // A failed write leaves the position where it was, so a short file shows at the end.
    long long llExpected = 4 + 4 + 2LL * strTitle.GetLength() + 12;
    file.Write(MAGIC, 4);
    strTitle.Save(file);
    unsigned char aHeader[12];
    PutU32(aHeader, uWidth);
    PutU32(aHeader + 4, uHeight);
    PutU32(aHeader + 8, GetFrameCount());
    file.Write(aHeader, 12);
    for (unsigned int f = 0; f < GetFrameCount(); ++f)
    {
        const SKE_USABILITYFRAME* pFrame = GetFrame(f);
        unsigned int uTime;
        memcpy(&uTime, &pFrame->m_fTime, 4);
        unsigned char aFrame[8];
        PutU32(aFrame, uTime);
        PutU32(aFrame + 4, static_cast<unsigned int>(pFrame->m_Events.GetCount()));
        file.Write(aFrame, 8);
        for (int e = 0; e < pFrame->m_Events.GetCount(); ++e)
            static_cast<const CKorvelEvent*>(pFrame->m_Events[e])->Save(file);
        llExpected += 8 + static_cast<long long>(CKorvelEvent::FILE_SIZE) * pFrame->m_Events.GetCount();
    }
    bool bComplete = file.GetPosition() == llExpected;
    file.Close();
    return bComplete ? KE_OK : KE_ERR_DEVICE;
}

KE_RETVAL CKorvelUsabilityDataCollection::Load(const CKorvelString& strPath)
{
    CKorvelFile file;
    KE_RETVAL iResult = file.OpenFromFile(strPath, CKorvelFile::FLAG_READ);
    if (iResult != KE_OK)
        return iResult;
    iResult = Load(file);
    file.Close();
    return iResult;
}

// Every count is checked against the bytes left before it is used: the file is
// outside input.
KE_RETVAL CKorvelUsabilityDataCollection::Load(CKorvelFile& file)
{
    char aMagic[4] = {0, 0, 0, 0};
    if (file.Read(aMagic, 4) != 4 || memcmp(aMagic, MAGIC, 4) != 0)
        return KE_ERR_DECODE;
    // Title, width and height are not needed for playback.
    unsigned int uTitleUnits = 0, uWidth = 0, uHeight = 0, uFrames = 0;
    if (!ReadU32(file, uTitleUnits) || 2LL * uTitleUnits > BytesLeft(file))
        return KE_ERR_BADDATA;
    file.Seek(static_cast<int>(2 * uTitleUnits), KET_SEEK_CURRENT);
    if (!ReadU32(file, uWidth) || !ReadU32(file, uHeight) || !ReadU32(file, uFrames))
        return KE_ERR_BADDATA;
    for (unsigned int f = 0; f < uFrames; ++f)
    {
        SKE_USABILITYFRAME* pFrame = ReadFrame(file);
        if (!pFrame)
            return KE_ERR_BADDATA;
        if (m_Frames.Add(pFrame) < 0)
        {
            DeleteFrame(pFrame);
            return KE_ERR_OUTOFMEMORY;
        }
    }
    return KE_OK;
}
