#include "support/TestGameState.h"

#include "Framework/Shell/VornApplication.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"

const char* const CTestGameState::SECRET = "q7w2e9r4t1y8u3i6o0p5a2s7d4f9g1h";

KE_RETVAL CTestGameState::Startup(CVornApplication*)
{
    Log("Startup");
    return m_iStartupResult;
}

unsigned int CTestGameState::Update(float fSeconds)
{
    Log("Update", std::to_string(fSeconds));
    return m_uUpdateResult;
}

void CTestGameState::Draw()
{
    Log("Draw");
    if (m_pApplication && m_pApplication->GetBack())
        m_pApplication->GetBack()->Fill(DRAW_COLOUR, static_cast<const CKorvelRect<int>*>(nullptr));
}

unsigned int CTestGameState::OnFocusChange(unsigned int uFocus)
{
    Log("OnFocusChange", std::to_string(uFocus));
    return 1;
}

KE_RETVAL CTestGameState::OnRestoreResources()
{
    Log("OnRestoreResources");
    return KE_OK;
}

KE_RETVAL CTestGameState::OnReleaseResources()
{
    Log("OnReleaseResources");
    return KE_OK;
}

unsigned int CTestGameState::OnMouseButton(unsigned int uButton, int iX, int iY)
{
    Log("OnMouseButton", std::to_string(uButton) + "," + std::to_string(iX) + "," + std::to_string(iY));
    return 1;
}

unsigned int CTestGameState::OnMouseDrag(unsigned int uButton, int iX, int iY)
{
    Log("OnMouseDrag", std::to_string(uButton) + "," + std::to_string(iX) + "," + std::to_string(iY));
    return 1;
}

unsigned int CTestGameState::OnMouseButtonUp(unsigned int uButton, int iX, int iY)
{
    Log("OnMouseButtonUp", std::to_string(uButton) + "," + std::to_string(iX) + "," + std::to_string(iY));
    return 1;
}

unsigned int CTestGameState::OnKeyDown(eKET_KEYCODE eKey)
{
    Log("OnKeyDown", std::to_string(static_cast<int>(eKey)));
    return 1;
}

unsigned int CTestGameState::OnScreenChanged(int iWidth, int iHeight)
{
    Log("OnScreenChanged", std::to_string(iWidth) + "," + std::to_string(iHeight));
    return 1;
}

CKorvelString CTestGameState::GetResellerId() const
{
    return CKorvelString(m_strResellerId.c_str());
}
