#include "KorvelInput/KorvelTextInput.h"

#include "KorvelGraphics/KorvelApplication.h"

#include "PlatformVirtualKeyboard.h"

CKorvelTextInput::CKorvelTextInput()
    : m_uMaxLength(0), m_uCompleted(0), m_uPassword(0), m_uAllSelected(0), m_pWindow(nullptr), m_pApp(nullptr)
{
}

int CKorvelTextInput::Startup(IKorvelApplication* pApp, const CKorvelString& strText,
                              const CKorvelString& strSecond, unsigned int uMaxLength)
{
    m_uMaxLength = uMaxLength;
    m_strText.Set(strText);
    m_strSecond.Set(strSecond);
    m_pApp = pApp;
    m_pWindow = pApp ? pApp->GetWindow() : nullptr;
    if (plat::virtualkeyboard_request_events(0) != plat::BPS_SUCCESS)
        return 0;
    plat::virtualkeyboard_change_options(0, 0); // the platform's default layout and Enter key
    return 1;
}

void CKorvelTextInput::Shutdown()
{
    plat::virtualkeyboard_hide();
    m_uCompleted = 0;
}

void CKorvelTextInput::AddChar(unsigned short uChar)
{
    if (m_uCompleted)
        return;
    if (uChar == SELECT_ALL)
    {
        m_uAllSelected = 1;
        return;
    }
    // What is typed over the whole text replaces it.
    if (m_uAllSelected && (uChar == 8 || uChar > 13))
        m_strText.SetLength(0);
    m_uAllSelected = 0;
    if (uChar == 10 || uChar == 13)
    {
        Shutdown();
        m_uCompleted = 1;
    }
    else if (uChar == 8)
    {
        if (m_strText.GetLength() > 0)
            m_strText.SetLength(m_strText.GetLength() - 1);
    }
    else if (uChar > 13 && static_cast<unsigned int>(m_strText.GetLength()) < m_uMaxLength)
    {
        m_strText.Add(uChar);
    }
}

void CKorvelTextInput::Touch()
{
    m_uCompleted = 0;
    plat::virtualkeyboard_show();
}

void CKorvelTextInput::SetText(const CKorvelString& strText)
{
    m_uAllSelected = 0;
    m_strText.Set(strText);
    if (static_cast<unsigned int>(m_strText.GetLength()) > m_uMaxLength)
        m_strText.SetLength(static_cast<int>(m_uMaxLength));
}

CKorvelString& CKorvelTextInput::GetDisplayText()
{
    if (!m_uPassword)
        return m_strText;
    m_strDisplay.Reset();
    for (int i = 0; i < m_strText.GetLength(); ++i)
        m_strDisplay.Add(static_cast<unsigned short>('*'));
    return m_strDisplay;
}
