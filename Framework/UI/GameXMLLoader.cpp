#include "Framework/UI/GameXMLLoader.h"

#include <cstring>
#include <new>

#include "Framework/Shell/VornApplication.h"
#include "Framework/UI/Widget.h"

void CAreaDescription::SetAspect(unsigned int uWidth, unsigned int uHeight)
{
    m_iWidth = static_cast<int>(uWidth);
    m_iHeight = static_cast<int>(uHeight);
    m_fAspect = static_cast<float>(m_iWidth) / static_cast<float>(m_iHeight);
}

CGameXMLLoader::CGameXMLLoader() : m_pActions(nullptr), m_pExtraCreators(nullptr) {}

CGameXMLLoader::~CGameXMLLoader()
{
    Shutdown();
}

KE_RETVAL CGameXMLLoader::Startup(CVornApplication& app, CActionCallbackMap* pActions,
                                  CUIXMLLoader::CreatorMap* pExtraCreators)
{
    m_pActions = pActions;
    m_pExtraCreators = pExtraCreators;
    return CXMLLoaderWrapper::Startup(app);
}

KE_RETVAL CGameXMLLoader::LoadFromFile(const CKorvelString& strFile)
{
    KE_RETVAL iResult = CXMLLoaderWrapper::LoadFromFile(strFile);
    if (iResult != KE_OK)
        return iResult;
    CKorvelXMLDataNode* pArea = FindChild(GetRootNode(), "area");
    for (; pArea; pArea = GetNextNode(pArea))
        iResult = LoadArea(pArea);
    return iResult;
}

KE_RETVAL CGameXMLLoader::LoadArea(CKorvelXMLDataNode* pNode)
{
    int iWidth = GetInt(pNode, "$width", 1);
    int iHeight = GetInt(pNode, "$height", 1);
    // A size that gives no aspect cannot be chosen for any screen.
    if (iWidth <= 0 || iHeight <= 0)
        return KE_OK;
    for (int i = 0; i < m_Areas.GetCount(); ++i)
        if (m_Areas[i]->EqualAspectSize(static_cast<unsigned int>(iWidth),
                                        static_cast<unsigned int>(iHeight)))
            return KE_OK;
    CAreaDescription* pArea = new (std::nothrow) CAreaDescription;
    if (!pArea)
        return KE_OK;
    pArea->m_pNode = pNode;
    pArea->SetAspect(static_cast<unsigned int>(iWidth), static_cast<unsigned int>(iHeight));
    const char* pName = GetText(pNode, "$name");
    pArea->m_strName.Set(pName ? pName : "rootwidget");
    if (m_Areas.Add(pArea) < 0)
        delete pArea;
    return KE_OK;
}

CAreaDescription* CGameXMLLoader::FindAreaDescription(int iWidth, int iHeight)
{
    if (iWidth <= 0 || iHeight <= 0)
        return nullptr;
    for (int i = 0; i < m_Areas.GetCount(); ++i)
        if (m_Areas[i]->EqualAspectSize(static_cast<unsigned int>(iWidth),
                                        static_cast<unsigned int>(iHeight)))
            return m_Areas[i];
    return nullptr;
}

CAreaDescription* CGameXMLLoader::FindClosestAreaDescription(int iWidth, int iHeight)
{
    if (iWidth == 0 || iHeight == 0)
        return nullptr;
    if (CAreaDescription* pExact = FindAreaDescription(iWidth, iHeight))
        return pExact;
    int n = m_Areas.GetCount();
    if (n == 0)
        return nullptr;
    float a = static_cast<float>(iWidth) / static_cast<float>(iHeight);
    CAreaDescription* pMiddle = m_Areas[(n - 1) / 2];
    if (a > 1.0f)
    {
        for (int i = n - 1; i >= 0 && m_Areas[i]->GetAspect() >= 1.0f; --i)
            if (m_Areas[i]->GetAspect() <= a)
                return m_Areas[i];
    }
    else
    {
        for (int i = 0; i < n && m_Areas[i]->GetAspect() <= 1.0f; ++i)
            if (m_Areas[i]->GetAspect() >= a)
                return m_Areas[i];
    }
    return pMiddle;
}

CWidget* CGameXMLLoader::GetAreaWidget(int iWidth, int iHeight, CWidget* pOldRoot)
{
    CAreaDescription* pArea = FindClosestAreaDescription(iWidth, iHeight);
    if (!pArea || !m_pApp)
        return nullptr;
    CWidget* pRoot = new CWidget;
    pRoot->Startup(m_pApp, nullptr, CKorvelRect<int>(0, 0, iWidth, iHeight));
    pRoot->SetName(pArea->m_strName);
    CUIXMLLoader loader;
    loader.Startup(*m_pApp, m_pActions, m_pExtraCreators, pRoot, nullptr, pOldRoot);
    loader.LoadFromNode(pArea->m_pNode);
    pRoot->LoadUniqueData();
    loader.Shutdown();
    return pRoot;
}

void CGameXMLLoader::Shutdown()
{
    for (int i = 0; i < m_Areas.GetCount(); ++i)
        delete m_Areas[i];
    m_Areas.SetSize(0);
    ReleaseXmlDoc();
}
