#include "Framework/Shell/VornNotification.h"

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/UI/GameXMLLoader.h"
#include "Framework/UI/Widget.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"

CVornNotification::CVornNotification() : m_pApplication(nullptr), m_uRemove(0) {}

CVornNotification::~CVornNotification() {}

KE_RETVAL CVornNotification::Startup(CKestrolundApplication* pApplication)
{
    m_pApplication = pApplication;
    return KE_OK;
}

void CVornNotification::Shutdown() {}

unsigned int CVornNotification::OnScreenChanged(int, int)
{
    return 1;
}

unsigned int CVornNotification::OnMouseButton(unsigned int, int, int)
{
    return 1;
}

unsigned int CVornNotification::OnMouseButtonUp(unsigned int, int, int)
{
    return 1;
}

unsigned int CVornNotification::OnMouseDrag(unsigned int, int, int)
{
    return 1;
}

void CVornNotification::Remove()
{
    m_uRemove = 1;
}

unsigned int CVornNotification::GetRemove()
{
    return m_uRemove;
}

void CVornNotification::Draw() {}

void CVornNotification::Update(float) {}

CWidget* CVornNotification::LoadAreaTree(const char* pFile, int iWidth, int iHeight, CActions& actions,
                                         KE_RETVAL& iResult)
{
    iResult = KE_ERR_NOTSTARTED;
    if (!m_pApplication)
        return nullptr;
    CGameXMLLoader loader;
    loader.Startup(*m_pApplication, actions.Map(), nullptr);
    iResult = loader.LoadFromFile(CKorvelString(pFile));
    CWidget* pRoot = iResult == KE_OK ? loader.GetAreaWidget(iWidth, iHeight, nullptr) : nullptr;
    loader.Shutdown();
    if (iResult == KE_OK && !pRoot)
        iResult = KE_ERR_NOTFOUND;
    return pRoot;
}

void CVornNotification::DeleteTree(CWidget*& pRoot)
{
    if (!pRoot)
        return;
    pRoot->Shutdown();
    delete pRoot;
    pRoot = nullptr;
}

int CVornNotification::PassToTree(CWidget* pRoot, PointerInput pfnInput, unsigned int uButton, int iX, int iY)
{
    if (!pRoot)
        return 0;
    pRoot->MapFrom(nullptr, iX, iY);
    return (pRoot->*pfnInput)(uButton, iX, iY);
}

void CVornNotification::GetBackBufferSize(int& iWidth, int& iHeight) const
{
    IKorvelGraphicsContext* pBack = m_pApplication ? m_pApplication->GetBack() : nullptr;
    iWidth = pBack ? pBack->GetWidth() : 0;
    iHeight = pBack ? pBack->GetHeight() : 0;
}
