// Packs: adding with their options, removal, the one open pack file, the
// resolution-neutral packs and raw files.
#include "Framework/Shell/VornResourceManager.h"

#include <cstdlib>
#include <new>

#include "Framework/Shell/VornApplication.h"
#include "Framework/UI/XMLLoaderWrapper.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelXMLDataNode.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelSound/KorvelSoundWave.h"

const int CVornResourceManager::RES_LADDER[8] = {1536, 1080, 768, 640, 480, 360, 320, 240};

namespace
{
const char* const kMetaItem = "/kmp.meta";

// The text after the last '.', empty when there is none or the only '.' leads.
CKorvelString Extension(const CKorvelString& strName)
{
    int i = strName.FindReverse('.', -1);
    if (i <= 0)
        return CKorvelString();
    return strName.Mid(i + 1, -1);
}

bool IsExtension(const CKorvelString& strExt, const char* pExt)
{
    return strExt.CompareNoCase(CKorvelString(pExt)) == 0;
}

// Reads the "file" elements of a "files" element into the map: path to bit 0 of the flag.
void ReadFileFlags(CKorvelXMLDataNode* pFiles, const char* pFlag,
                   CVornResourceManager::ResourcePack::FileInfoMap& files)
{
    for (CKorvelXMLDataNode* pNode = CXMLLoaderWrapper::FirstChild(pFiles); pNode;
         pNode = CXMLLoaderWrapper::GetNextNode(pNode))
    {
        const char* pName = CXMLLoaderWrapper::GetName(pNode);
        if (!pName || CKorvelString(pName).Compare(CKorvelString("file")) != 0)
            continue;
        const char* pPath = CXMLLoaderWrapper::GetText(pNode, "$path");
        if (!pPath)
            continue;
        CVornResourceManager::ResourcePack::FileInfo info;
        info.m_uFlags = CXMLLoaderWrapper::GetInt(pNode, pFlag, 0) != 0 ? 1u : 0u;
        files.Add(CHashString(pPath), info);
    }
}

// Records of the pack: those whose object is loaded lose their pack (the object stays
// usable and its last release frees it); the others are taken out. Records without an
// object member (other files) are always taken out.
template <class R, class O>
void DetachRecords(CKorvelMap<CHashString, R*>& map, const CVornResourceManager::ResourcePack* pPack,
                   O* R::*pObject)
{
    for (int i = map.GetCount() - 1; i >= 0; --i)
    {
        R* pRecord = map.GetAt(i).m_Second;
        if (pRecord->m_pPack != pPack)
            continue;
        if (pObject && pRecord->*pObject)
        {
            pRecord->m_pPack = nullptr;
            continue;
        }
        map.Remove(map.GetAt(i).m_First);
        delete pRecord;
    }
}
} // namespace

int CVornResourceManager::AddPack(const CKorvelString& strName, unsigned int uFullPath, unsigned int uTarget)
{
    CKorvelString strPath;
    if (uFullPath)
        strPath = strName;
    else
        IKorvelApplication::BuildFilepath(strPath, strName);

    CKorvelMediaPack* pMediaPack = new (std::nothrow) CKorvelMediaPack();
    if (!pMediaPack)
        return 0;
    if (pMediaPack->Startup(strPath, CKorvelString()) != KE_OK)
    {
        CKorvelString strJet(strPath);
        bool bOpened = strJet.Replace(CKorvelString(".kmp"), CKorvelString(".jet")) >= 0 &&
                       CKorvelFile::FileExists(strJet) &&
                       pMediaPack->Startup(strJet, CKorvelString()) == KE_OK;
        if (!bOpened)
        {
            pMediaPack->Shutdown();
            delete pMediaPack;
            return 0;
        }
        strPath = strJet;
    }

    ResourcePack* pPack = new (std::nothrow) ResourcePack();
    if (!pPack || m_aPacks.Add(pPack) < 0)
    {
        delete pPack;
        pMediaPack->Shutdown();
        delete pMediaPack;
        return 0;
    }
    pPack->m_strPath = strPath;
    pPack->m_pMediaPack = pMediaPack;
    pPack->m_uTarget = uTarget;
    LoadKmpMeta(pPack);
    RegisterItems(pPack);
    pPack->m_ImageFiles.Clear();
    pPack->m_FontFiles.Clear();

    if (m_pCurrentPack && m_pCurrentPack->m_pMediaPack)
    {
        m_pCurrentPack->m_pMediaPack->Shutdown();
        delete m_pCurrentPack->m_pMediaPack;
        m_pCurrentPack->m_pMediaPack = nullptr;
    }
    m_pCurrentPack = pPack;
    return 1;
}

void CVornResourceManager::RegisterItems(ResourcePack* pPack)
{
    unsigned int uTarget = GetTargetIndex(pPack->m_uTarget);
    CKorvelMediaPack* pMediaPack = pPack->m_pMediaPack;
    for (unsigned int u = 0; u < pMediaPack->GetItemCount(); ++u)
    {
        const SKE_MEDIAPACKITEM* pItem = pMediaPack->GetItemInfo(u);
        if (!pItem)
            continue;
        CKorvelString strFile = GetFilename(pItem->strName);
        CHashString name(strFile);
        CKorvelString strExt = Extension(pItem->strName);
        if (IsExtension(strExt, "jpg") || IsExtension(strExt, "png"))
        {
            ResourceSurface* pRecord = new (std::nothrow) ResourceSurface();
            if (!pRecord)
                continue;
            pRecord->m_pPack = pPack;
            pRecord->m_pManager = this;
            int i = pPack->m_ImageFiles.Find(name);
            pRecord->m_uFlags = i >= 0 ? pPack->m_ImageFiles.GetAt(i).m_Second.m_uFlags : 0;
            if (!m_Surfaces[uTarget].Add(name, pRecord))
                delete pRecord;
        }
        else if (IsExtension(strExt, "wav") || IsExtension(strExt, "ogg"))
        {
            ResourceSound* pRecord = new (std::nothrow) ResourceSound();
            if (!pRecord)
                continue;
            pRecord->m_pPack = pPack;
            if (!m_Sounds[uTarget].Add(name, pRecord))
                delete pRecord;
        }
        else if (IsExtension(strExt, "fnt"))
        {
            ResourceFont* pRecord = new (std::nothrow) ResourceFont();
            if (!pRecord)
                continue;
            pRecord->m_pPack = pPack;
            int i = pPack->m_FontFiles.Find(name);
            pRecord->m_uFlags = i >= 0 ? pPack->m_FontFiles.GetAt(i).m_Second.m_uFlags : 0;
            if (!m_Fonts[uTarget].Add(name, pRecord))
                delete pRecord;
        }
        else if (strFile.Compare(CKorvelString("kmp.meta")) != 0)
        {
            ResourceOther* pRecord = new (std::nothrow) ResourceOther();
            if (!pRecord)
                continue;
            pRecord->m_pPack = pPack;
            if (!m_Others[uTarget].Add(name, pRecord))
                delete pRecord;
        }
    }
}

void CVornResourceManager::LoadKmpMeta(ResourcePack* pPack)
{
    if (!pPack || !pPack->m_pMediaPack)
        return;
    CKorvelMediaPackItem item;
    if (item.Open(*pPack->m_pMediaPack, CKorvelString(kMetaItem), 0) != KE_OK || item.GetSize() == 0)
        return;
    unsigned int uSize = item.GetSize();
    unsigned char* pData = new (std::nothrow) unsigned char[uSize + 1];
    if (!pData)
        return;
    if (item.GetFile().Read(pData, uSize) != uSize)
    {
        delete[] pData;
        return;
    }
    pData[uSize] = 0;
    item.Close();

    CXMLLoaderWrapper loader;
    if (m_pApp)
        loader.Startup(*m_pApp);
    if (loader.LoadFromData(pData, uSize) == KE_OK)
    {
        CKorvelXMLDataNode* pRoot = loader.GetRootNode();
        if (CKorvelXMLDataNode* pImage = CXMLLoaderWrapper::FindChild(pRoot, "image"))
        {
            pPack->m_iImageOriginalSize =
                CXMLLoaderWrapper::GetInt(CXMLLoaderWrapper::FindChild(pImage, "original_size"), "$value", 0);
            pPack->m_uSeparateAlpha =
                CXMLLoaderWrapper::GetInt(CXMLLoaderWrapper::FindChild(pImage, "separate_alpha"), "$value",
                                          0) != 0;
            ReadFileFlags(CXMLLoaderWrapper::FindChild(pImage, "files"), "$no_mipmaps", pPack->m_ImageFiles);
        }
        if (CKorvelXMLDataNode* pFont = CXMLLoaderWrapper::FindChild(pRoot, "font"))
        {
            pPack->m_iFontOriginalSize =
                CXMLLoaderWrapper::GetInt(CXMLLoaderWrapper::FindChild(pFont, "original_size"), "$value", 0);
            ReadFileFlags(CXMLLoaderWrapper::FindChild(pFont, "files"), "$keep_color", pPack->m_FontFiles);
        }
    }
    loader.Shutdown();
    delete[] pData;
}

int CVornResourceManager::HavePack(const CKorvelString& strPath)
{
    for (int i = 0; i < m_aPacks.GetCount(); ++i)
        if (m_aPacks[i]->m_strPath.Compare(strPath) == 0)
            return 1;
    return 0;
}

int CVornResourceManager::RemovePack(const CKorvelString& strName, unsigned int uRelative)
{
    CKorvelString strPath;
    if (uRelative)
        IKorvelApplication::BuildFilepath(strPath, strName);
    else
        strPath = strName;
    CKorvelString strJet(strPath);
    bool bJet = strJet.Replace(CKorvelString(".kmp"), CKorvelString(".jet")) >= 0;

    int iFound = -1;
    for (int i = 0; i < m_aPacks.GetCount() && iFound < 0; ++i)
        if (m_aPacks[i]->m_strPath.Compare(strPath) == 0 ||
            (bJet && m_aPacks[i]->m_strPath.Compare(strJet) == 0))
            iFound = i;
    if (iFound < 0)
        return 0;

    ResourcePack* pPack = m_aPacks[iFound];
    if (m_pCurrentPack == pPack)
        m_pCurrentPack = nullptr;
    DetachPackRecords(pPack);
    for (int i = iFound; i < m_aPacks.GetCount() - 1; ++i)
        m_aPacks[i] = m_aPacks[i + 1];
    m_aPacks.SetSize(m_aPacks.GetCount() - 1);
    if (pPack->m_pMediaPack)
    {
        pPack->m_pMediaPack->Shutdown();
        delete pPack->m_pMediaPack;
    }
    delete pPack;
    return 1;
}

void CVornResourceManager::DetachPackRecords(ResourcePack* pPack)
{
    unsigned int t = GetTargetIndex(pPack->m_uTarget);
    DetachRecords(m_Surfaces[t], pPack, &ResourceSurface::m_pSurface);
    DetachRecords(m_Sounds[t], pPack, &ResourceSound::m_pWave);
    DetachRecords(m_Fonts[t], pPack, &ResourceFont::m_pFont);
    DetachRecords(m_Others[t], pPack, static_cast<ResourcePack * ResourceOther::*>(nullptr));
}

CKorvelMediaPack* CVornResourceManager::GetMediaPack(ResourcePack* pPack)
{
    if (!pPack)
        return nullptr;
    if (pPack == m_pCurrentPack && pPack->m_pMediaPack)
        return pPack->m_pMediaPack;
    if (!pPack->m_pMediaPack)
    {
        CKorvelMediaPack* pMediaPack = new (std::nothrow) CKorvelMediaPack();
        if (!pMediaPack)
            return nullptr;
        if (pMediaPack->Startup(pPack->m_strPath, CKorvelString()) != KE_OK)
        {
            pMediaPack->Shutdown();
            delete pMediaPack;
            return nullptr;
        }
        pPack->m_pMediaPack = pMediaPack;
    }
    if (m_pCurrentPack && m_pCurrentPack != pPack && m_pCurrentPack->m_pMediaPack)
    {
        m_pCurrentPack->m_pMediaPack->Shutdown();
        delete m_pCurrentPack->m_pMediaPack;
        m_pCurrentPack->m_pMediaPack = nullptr;
    }
    m_pCurrentPack = pPack;
    return pPack->m_pMediaPack;
}

int CVornResourceManager::ResNeutralStartIndex(int iSide)
{
    int iBest = 0;
    for (int i = 0; i < RES_LADDER_COUNT; ++i)
    {
        int iDiff = std::abs(RES_LADDER[i] - iSide);
        if (iDiff == 0)
            return i;
        if (iDiff < std::abs(RES_LADDER[iBest] - iSide))
            iBest = i;
    }
    return iBest;
}

KE_RETVAL CVornResourceManager::AddResNeutralPack(const CKorvelString& strBase, CKorvelString* pOutName,
                                                  int* pOutSize)
{
    for (int i = ResNeutralStartIndex(GetScreenSide()); i < RES_LADDER_COUNT; ++i)
    {
        CKorvelString strName;
        strName.Format(L"%s_%d.kmp", strBase.GetBuffer(), RES_LADDER[i]);
        if (AddPack(strName, 0, 0))
        {
            if (pOutName)
                *pOutName = strName;
            if (pOutSize)
                *pOutSize = RES_LADDER[i];
            return KE_OK;
        }
    }
    return KE_ERR_NOTFOUND;
}

unsigned int CVornResourceManager::GetFileData(const CKorvelString& strName, unsigned char** ppData)
{
    if (!ppData)
        return 0;
    *ppData = nullptr;
    if (strName.GetLength() == 0)
        return 0;
    CHashString name(strName);
    ResourcePack* pPack = nullptr;
    bool bEnd = false;
    for (int t = TARGET_COUNT - 1; t >= 0 && !pPack && !bEnd; --t)
    {
        int i = m_Surfaces[t].Find(name);
        if (i >= 0)
        {
            // A surface made elsewhere has no bytes to give.
            pPack = m_Surfaces[t].GetAt(i).m_Second->m_pPack;
            bEnd = true;
            continue;
        }
        if ((i = m_Sounds[t].Find(name)) >= 0 && m_Sounds[t].GetAt(i).m_Second->m_pPack)
            pPack = m_Sounds[t].GetAt(i).m_Second->m_pPack;
        else if ((i = m_Fonts[t].Find(name)) >= 0 && m_Fonts[t].GetAt(i).m_Second->m_pPack)
            pPack = m_Fonts[t].GetAt(i).m_Second->m_pPack;
        else if ((i = m_Others[t].Find(name)) >= 0 && m_Others[t].GetAt(i).m_Second->m_pPack)
            pPack = m_Others[t].GetAt(i).m_Second->m_pPack;
    }
    CKorvelMediaPack* pMediaPack = GetMediaPack(pPack);
    if (!pMediaPack)
        return 0;
    CKorvelMediaPackItem item;
    if (item.Open(*pMediaPack, GetItemPath(*pMediaPack, strName), 0) != KE_OK)
        return 0;
    unsigned int uSize = item.GetSize();
    unsigned char* pData = new (std::nothrow) unsigned char[uSize + 1];
    if (!pData)
        return 0;
    unsigned int uRead = item.GetFile().Read(pData, uSize);
    pData[uRead] = 0;
    *ppData = pData;
    return uRead;
}
