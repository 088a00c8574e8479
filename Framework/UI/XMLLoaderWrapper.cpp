#include "Framework/UI/XMLLoaderWrapper.h"

#include <new>

#include "Framework/Shell/VornApplication.h"
#include "KorvelCommon/KorvelXMLDataNode.h"

CXMLLoaderWrapper::CXMLLoaderWrapper() : m_pApp(nullptr), m_pDocument(nullptr) {}

CXMLLoaderWrapper::~CXMLLoaderWrapper()
{
    ReleaseXmlDoc();
}

KE_RETVAL CXMLLoaderWrapper::Startup(CVornApplication& app)
{
    m_pApp = &app;
    return KE_OK;
}

void CXMLLoaderWrapper::Shutdown()
{
    ReleaseXmlDoc();
}

void CXMLLoaderWrapper::ReleaseXmlDoc()
{
    if (!m_pDocument)
        return;
    m_pDocument->Shutdown();
    delete m_pDocument;
    m_pDocument = nullptr;
}

KE_RETVAL CXMLLoaderWrapper::LoadFromData(unsigned char* pData, unsigned int uSize)
{
    ReleaseXmlDoc();
    m_pDocument = new (std::nothrow) CKorvelXMLDataNode();
    if (!m_pDocument)
        return KE_ERR_OUTOFMEMORY;
    KE_RETVAL iResult = m_pDocument->StartupFromData(reinterpret_cast<signed char*>(pData), uSize);
    if (iResult != KE_OK)
        ReleaseXmlDoc();
    return iResult;
}

KE_RETVAL CXMLLoaderWrapper::LoadFromFile(const CKorvelString& strName)
{
    if (!m_pApp)
        return KE_ERR_NOTFOUND;
    unsigned char* pData = nullptr;
    unsigned int uSize = m_pApp->GetFileData(strName, &pData);
    KE_RETVAL iResult = uSize > 0 && pData ? LoadFromData(pData, uSize) : KE_ERR_NOTFOUND;
    delete[] pData;
    return iResult;
}

CKorvelXMLDataNode* CXMLLoaderWrapper::GetRootNode() const
{
    return m_pDocument ? FirstChild(m_pDocument) : nullptr;
}

CKorvelXMLDataNode* CXMLLoaderWrapper::FirstChild(CKorvelXMLDataNode* pNode)
{
    return pNode ? pNode->GetFirstChild() : nullptr;
}

CKorvelXMLDataNode* CXMLLoaderWrapper::GetNextNode(CKorvelXMLDataNode* pNode)
{
    return pNode ? pNode->GetNext() : nullptr;
}

const char* CXMLLoaderWrapper::GetName(CKorvelXMLDataNode* pNode)
{
    return pNode ? pNode->GetName() : nullptr;
}

CKorvelXMLDataNode* CXMLLoaderWrapper::FindChild(CKorvelXMLDataNode* pNode, const char* pName)
{
    return pNode && pName ? pNode->FindChild(pName, 0) : nullptr;
}

const char* CXMLLoaderWrapper::GetText(CKorvelXMLDataNode* pNode, const char* pPath)
{
    if (!pNode)
        return nullptr;
    return reinterpret_cast<const char*>(pNode->Get(pPath, nullptr));
}

int CXMLLoaderWrapper::GetInt(CKorvelXMLDataNode* pNode, const char* pPath, int iDefault)
{
    return pNode ? pNode->GetInt(pPath, iDefault) : iDefault;
}

float CXMLLoaderWrapper::GetFloat(CKorvelXMLDataNode* pNode, const char* pPath, float fDefault)
{
    return pNode ? pNode->GetFloat(pPath, fDefault) : fDefault;
}
