// Text widget editing: a press gives the focus, a release inside opens the keyboard input,
// and characters go into it. Each character reaches the widget's text at once, so a press
// or Enter that comes after it in the same frame finds it there; the frame's update ends
// the editing once Enter completed the input.
#include "Framework/UI/TextWidget.h"

#include "KorvelInput/KorvelTextInput.h"

#include <new>

void CTextWidget::gainFocus(CWidget* /*pPrevious*/)
{
    m_uEditing = 1;
}

void CTextWidget::loseFocus(CWidget* /*pNext*/)
{
    m_uEditing = 0;
    if (GetActiveWidget() == this)
        SetActiveWidget(nullptr);
    // What was typed stays when a press elsewhere takes the focus.
    if (m_pInput)
        SetText(m_pInput->GetText());
    CloseInput();
}

// A text widget consumes every press that reaches it.
int CTextWidget::mouseButton(unsigned int /*uButton*/, int /*x*/, int /*y*/)
{
    return 1;
}

int CTextWidget::mouseButtonUp(unsigned int uButton, int x, int y)
{
    if (!m_uEditable)
        return 0;
    if (!m_uEditing || uButton != 0)
        return 1;
    if (PointIn(x, y))
    {
        SetDisplayText(m_strText);
        CloseInput();
        m_pInput = new (std::nothrow) CKorvelTextInput();
        if (!m_pInput)
            return 1;
        // A keyboard whose events cannot be requested still takes the characters we pass on.
        m_pInput->Startup(m_pApp, m_strText, m_strInputBoxTitle, m_uMaxLength);
        m_pInput->SetPasswordMode(m_uPasswordMode);
        m_pInput->Touch();
        m_fBlink = 0.0f;
        return 1;
    }
    // Released outside: losing the focus keeps what was typed.
    loseFocus(nullptr);
    return 1;
}

int CTextWidget::inputChar(unsigned short uChar)
{
    if (!m_uEditing || !m_pInput)
        return 0;
    m_pInput->AddChar(uChar);
    SetText(m_pInput->GetText());
    // Enter ends the editing now, before whatever follows it in the frame.
    if (m_pInput && m_pInput->IsCompleted())
        FinishInput();
    return 1;
}

void CTextWidget::FinishInput()
{
    m_OnFinished.Call(this);
    CloseInput();
    m_uEditing = 0;
    loseFocus(nullptr);
}

int CTextWidget::keyDown(eKET_KEYCODE /*eKey*/)
{
    return (m_uEditing && m_pInput) ? 1 : 0;
}

KE_RETVAL CTextWidget::update(float fSeconds)
{
    if (!m_uEditable || !m_uEditing || !m_pInput)
        return KE_OK;
    SetText(m_pInput->GetText());
    // OnChanged may have closed the input or ended the editing.
    if (m_pInput && m_pInput->IsCompleted())
    {
        FinishInput();
        return KE_OK;
    }
    if (m_fBlink < 0.5f)
        m_fBlink += fSeconds;
    else
        m_fBlink = -0.5f;
    return KE_OK;
}
