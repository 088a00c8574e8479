// The lobby's keys and characters: the back key's rules per page, typed characters to the
// focused field (on the chat page to its field when none is), Enter pressing the page's
// default button and Tab moving between its text fields, as clicks on them would.
#include "Framework/Lobby/VornMenuState.h"

#include <vector>

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/UI/Button.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/TextWidget.h"
#include "KorvelInput/KorvelTextInput.h"

namespace
{

struct sDEFAULT_BUTTON
{
    const char* m_pPage;
    const char* m_pButton; // found at any depth in the page
};

// The button a typist means by Enter on each page that asks for something.
const sDEFAULT_BUTTON DEFAULT_BUTTONS[] = {
    {"loginscreen_root", "login_button"},
    {"loginscreen_playername", "validate_user_button"},
    {"loginscreen_confirm", "loginscreen_confirm_continue"},
    {"loginscreen_email", "validate_email_button"},
    {"loginscreen_thank", "thank_button"},
    {"loginscreen_error", "button_tryagain"},
    {"startup_language_chooser", "choose_language_button"},
    {"settings_language", "choose_language_button"},
    {"chat_root", "chat_send_button"},
    {"players_root", "search_button"},
};

// The character both Enter keys type.
const unsigned short ENTER_CHAR = 13;
// The character Tab types.
const unsigned short TAB_CHAR = 9;

// The editable text fields that show, in the page's order.
void ShownFields(CWidget* pWidget, std::vector<CTextWidget*>& aFields)
{
    if (!pWidget || !pWidget->GetVisible())
        return;
    CTextWidget* pText = widget_cast<CTextWidget*>(pWidget);
    if (pText && pText->GetEditable())
        aFields.push_back(pText);
    for (int i = 0; i < pWidget->GetWidgets().GetCount(); ++i)
        ShownFields(pWidget->GetWidgets()[i], aFields);
}

} // namespace

void CVornMenuState::MoveToNextField(bool bBackwards)
{
    CWidget* pPage = m_pPageView && m_pRoot ? m_pPageView->GetCurrentPage() : nullptr;
    std::vector<CTextWidget*> aFields;
    ShownFields(pPage, aFields);
    if (aFields.empty())
        return;
    const int iCount = static_cast<int>(aFields.size());
    int iAt = -1;
    for (int i = 0; i < iCount; ++i)
        if (aFields[size_t(i)]->IsEditing())
            iAt = i;
    if (iAt >= 0 && aFields[size_t(iAt)]->GetInput())
        aFields[size_t(iAt)]->SetText(aFields[size_t(iAt)]->GetInput()->GetText());
    const int iNext =
        iAt < 0 ? (bBackwards ? iCount - 1 : 0) : (iAt + (bBackwards ? iCount - 1 : 1)) % iCount;
    CTextWidget* pField = aFields[size_t(iNext)];
    ClickField(pField);
    // Selected whole, as a desktop form does: what is typed next replaces it.
    if (pField->IsEditing())
        m_pRoot->DoInputChar(CKorvelTextInput::SELECT_ALL);
}

void CVornMenuState::ClickField(CTextWidget* pField)
{
    if (!m_pRoot || !pField)
        return;
    int x = pField->GetWidth() / 2, y = pField->GetHeight() / 2;
    for (CWidget* p = pField; p; p = p->GetParent())
    {
        x += p->GetArea().left;
        y += p->GetArea().top;
    }
    // Whatever lies over the field would take the press instead.
    if (m_pRoot->FindWidget(x, y) != pField)
        return;
    m_pRoot->DoMouseButton(0, x, y);
    m_pRoot->DoMouseButtonUp(0, x, y);
}

void CVornMenuState::FocusFieldAgain()
{
    // Its text is back already: the press opens its input with it, as the player left it.
    ClickField(m_CarryOver.TakeFocusedField(m_pRoot));
}

void CVornMenuState::KeepChatFieldTyping()
{
    // A press on the lines or the card took the keyboard from the field, and a chat page has
    // nothing else to type into. Not while a press is held: it would end the gesture.
    if (CWidget::GetActiveWidget() || !CurrentPageName().IsEqual(CKorvelString("chat_root")))
        return;
    CTextWidget* pField = widget_cast<CTextWidget*>(FindInPages("//chat_root//chat_textfield"));
    const CTextWidget* pChosen = widget_cast<CTextWidget*>(m_pRoot->GetCurrentWidget());
    if (pField && pField->GetVisible() && !pField->IsEditing() && !(pChosen && pChosen->IsEditing()))
        ClickField(pField);
}

unsigned int CVornMenuState::OnKeyDown(eKET_KEYCODE eKey)
{
    m_CarryOver.Clear();
    if (!GetDialogVisible())
    {
        if (m_pGame)
            m_pGame->OnKeyDown(eKey);
        return 1;
    }
    m_pRoot->DoKeyDown(eKey);
    if (eKey == KET_KEY_TAB)
    {
        const unsigned char* pHeld = m_pKestrolund ? m_pKestrolund->GetKeybButtons() : nullptr;
        MoveToNextField(pHeld && (pHeld[KET_KEY_LSHIFT] || pHeld[KET_KEY_RSHIFT]));
    }
    CWidget* pPage = m_pPageView ? m_pPageView->GetCurrentPage() : nullptr;
    if (static_cast<int>(eKey) != KEY_BACK || !pPage)
        return 1;
    const CKorvelString& strPage = pPage->GetName();
    if (!m_pVornButtonRoot || !m_pVornButtonRoot->GetVisible())
    {
        if (strPage.IsEqual(CKorvelString("loginscreen_root")) ||
            strPage.IsEqual(CKorvelString("startup_language_chooser")))
        {
            if (pPage->FindWidget(CKorvelString("exit-button"), -1))
                actionExitApp(nullptr, this);
        }
        else if (!strPage.IsEqual(CKorvelString("loading_dialog")))
            m_pPageView->SwitchToPage(CKorvelString(":back"));
        return 1;
    }
    if (strPage.IsEqual(CKorvelString("challenge_received")) ||
        strPage.IsEqual(CKorvelString("challenge_waiting")))
    {
        actionRejectChallenge(nullptr, this);
        if (m_pPageView)
            m_pPageView->SwitchToPage(CKorvelString(":back"));
    }
    else
        OnMenuButtonClicked(nullptr, this);
    return 1;
}

unsigned int CVornMenuState::OnChar(unsigned short uChar)
{
    m_CarryOver.Clear();
    if (!GetDialogVisible())
    {
        if (m_pGame)
            m_pGame->OnChar(uChar);
        return 1;
    }
    // Tab's character follows its key, which has moved to the next field: it would end the
    // selection made there.
    if (uChar == TAB_CHAR)
        return 1;
    KeepChatFieldTyping();
    m_pRoot->DoInputChar(uChar);
    // Enter's character comes after its key and after everything typed before it: the
    // field it ended holds its text, and the button is pressed before any later input.
    if (uChar == ENTER_CHAR)
        PressDefaultButton();
    return 1;
}

void CVornMenuState::PressDefaultButton()
{
    CWidget* pPage = m_pPageView && GetDialogVisible() ? m_pPageView->GetCurrentPage() : nullptr;
    if (!pPage)
        return;
    for (const sDEFAULT_BUTTON& entry : DEFAULT_BUTTONS)
    {
        if (!pPage->GetName().IsEqual(CKorvelString(entry.m_pPage)))
            continue;
        CButton* pButton = widget_cast<CButton*>(pPage->FindWidget(CKorvelString(entry.m_pButton), -1));
        if (pButton && pButton->GetVisible())
            pButton->click();
        return;
    }
}
