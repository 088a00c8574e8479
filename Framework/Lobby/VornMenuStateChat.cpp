// The post-game chat page: the coloured backlog shown one line per frame, the rematch button's
// delay, the notifier dots beside the vorn button, the chat page's send and rematch actions and
// its two one-time hints. The avatar strip and the player card are in VornMenuStateChatPlayers.cpp.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Session/VornLobby.h"
#include "Framework/Session/VornPlayer.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornStatistics.h"
#include "Framework/Shell/VornTextFormat.h"
#include "Framework/UI/Bubble.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/RunningList.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/Theme.h"
#include "Framework/UI/ToggleButton.h"
#include "KorvelGraphics/KorvelBitmapFont.h"

#include "Framework/Lobby/VornMenuWidgets.h"

using menu_widgets::Lobby;

namespace
{
unsigned int ThemeColor(CKestrolundApplication* pApp, const char* pName, unsigned int uDefault)
{
    CVornTheme* pTheme = pApp ? pApp->GetTheme() : nullptr;
    unsigned int uColor = uDefault;
    if (pTheme && pTheme->GetColorByName(CKorvelString(pName), uColor))
        return uColor;
    return uDefault;
}

const char* const KEY_MESSAGE_SENT = "__Vorn_ChatMessageSent";
const char* const KEY_RETURN_HINT = "__Vorn_StartChangePageChat";

bool HasKey(CKestrolundApplication* pApp, const char* pName)
{
    CVornStatistics* pStore = pApp ? pApp->GetStatistics() : nullptr;
    return pStore && pStore->GetProperty(CKorvelString(pName));
}

// Makes the key true and writes the store; false when it existed (or there is no store).
bool MarkOnce(CKestrolundApplication* pApp, const char* pName)
{
    CVornStatistics* pStore = pApp ? pApp->GetStatistics() : nullptr;
    if (!pStore || pStore->GetProperty(CKorvelString(pName)))
        return false;
    if (CVornStatisticsProperty* pKey = pStore->AddProperty(CKorvelString(pName)))
        pKey->SetBool(1);
    pStore->WriteStatistics();
    return true;
}

// The chat page's list of lines and the line it clones, or null.
CTextWidget* ChatLineTemplate(CRunningList* pList)
{
    return pList ? widget_cast<CTextWidget*>(pList->GetItemTemplate()) : nullptr;
}

void AppendChatLine(CRunningList* pList, CTextWidget* pTemplate, const CKorvelString& strText,
                    unsigned int uColor)
{
    CTextWidget* pItem = widget_cast<CTextWidget*>(pTemplate->Clone());
    if (!pItem)
        return;
    CKorvelRect<int> area = pItem->GetArea();
    if (CKorvelBitmapFont* pFont = pItem->GetFont())
    {
        // As many rows as the line needs, its long words broken as the line will draw them.
        const int iWidth = pTemplate->GetArea().GetWidth();
        CKorvelRect<int> measured(0, 0, iWidth, static_cast<int>(pFont->GetLineHeight()));
        pFont->CalcRect(measured,
                        CTextWidget::BreakLongWords(*pFont, strText, iWidth, pItem->GetTextAlign()));
        area = CKorvelRect<int>(area.left, area.top, area.left + measured.GetWidth(),
                                area.top + measured.GetHeight());
    }
    pItem->SetArea(area);
    pItem->SetText(strText);
    pItem->SetColor(uColor);
    pList->AddItem(pItem);
}
} // namespace

void CVornMenuState::UpdateChatBacklog(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived)
{
    AddChatRecord(pMessage, uReceived);
}

unsigned int CVornMenuState::AddChatRecord(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived)
{
    CVornNetworkSession* pSession = Session();
    CVornLobby* pLobby = pSession ? pSession->GetLobby() : nullptr;
    if (!m_pPageView || !pMessage || !pLobby)
        return 0;
    CVornPlayer* pSender = pLobby->FindPlayerById(pMessage->m_iSender);
    if (!pSender)
        return 0;
    const CKorvelString& strName = pSender->m_strName;
    const unsigned int uInfo = ThemeColor(m_pKestrolund, "chat_info", 0xFF2F9BCE);

    sChatLine line;
    unsigned int uResult = 0;
    switch (pMessage->m_iType)
    {
    case CVornNetworkSession::CHAT_ENTERED:
        if (uReceived && strName.GetLength() > 0)
        {
            line.m_strText = CVornTextFormat::Format(LanguageText(180), {strName});
            line.m_uColor = uInfo;
        }
        break;
    case CVornNetworkSession::CHAT_REMATCH_DECLINED:
        if (uReceived && strName.GetLength() > 0)
        {
            line.m_strText = CVornTextFormat::Format(LanguageText(181), {strName});
            line.m_uColor = uInfo;
            uResult = 1;
        }
        break;
    case CVornNetworkSession::CHAT_LINE:
        if (strName.GetLength() > 0 && pMessage->m_strText.GetLength() > 0)
        {
            line.m_strText = CVornTextFormat::Format(CKorvelString("%s: %s"), {strName, pMessage->m_strText});
            line.m_uColor = uReceived ? ThemeColor(m_pKestrolund, "chat_message_default", 0xFFFFFFFF)
                                      : ThemeColor(m_pKestrolund, "chat_message_own", 0xFFFFC000);
            m_uChatLineSeen = 1;
            uResult = 1;
        }
        break;
    case CVornNetworkSession::CHAT_INFO:
        if (pMessage->m_strText.GetLength() > 0)
        {
            line.m_strText = pMessage->m_strText;
            line.m_uColor = uInfo;
        }
        break;
    case CVornNetworkSession::CHAT_REMATCH_REQUEST:
        if (!uReceived)
            line.m_strText = LanguageText(183);
        else if (strName.GetLength() > 0)
        {
            line.m_strText = CVornTextFormat::Format(LanguageText(182), {strName});
            if (CToggleButton* pRematch = RematchButton())
                pRematch->SetToggled(1);
        }
        line.m_uColor = ThemeColor(m_pKestrolund, "chat_highlight", 0xFFFF6600);
        uResult = line.m_strText.GetLength() == 0 ? 0 : 1;
        break;
    case CVornNetworkSession::CHAT_LEFT:
        if (uReceived && strName.GetLength() > 0 && !HasPlayerDisconnected(pMessage->m_iSender))
        {
            line.m_strText = CVornTextFormat::Format(LanguageText(198), {strName});
            line.m_uColor = uInfo;
            m_DisconnectedPlayers.Add(pMessage->m_iSender);
            uResult = 1;
        }
        break;
    default:
        break;
    }
    if (line.m_strText.GetLength() > 0)
    {
        if (m_ChatBacklog.GetCount() >= CHAT_BACKLOG_LINES)
            DropOldestChatLine();
        m_ChatBacklog.Add(line);
        m_aChatLines.Add(m_ChatBacklog.GetCount() - 1);
        m_aPendingChatLines.Add(m_ChatBacklog.GetCount() - 1);
    }
    return uResult;
}

int CVornMenuState::ShownChatLineCount() const
{
    // Before its first update the list still holds its template.
    const CRunningList* pList = widget_cast<CRunningList*>(FindInPages("//chat_root//chat_backlog"));
    return pList && pList->GetItemTemplate() ? pList->GetWidgets().GetCount() : 0;
}

void CVornMenuState::QueueChatLinesAgain(int iShown)
{
    // The lines still to show are the newest; those shown came just before them. A window is
    // resized at will: the lines shown go back at once, so that the first frame at the new size
    // shows the chat where it was; only those still to show keep the pace of one a frame.
    CRunningList* pList = widget_cast<CRunningList*>(FindInPages("//chat_root//chat_backlog"));
    CTextWidget* pTemplate = ChatLineTemplate(pList);
    const int iCount = m_aChatLines.GetCount();
    const int iFirstWaiting = iCount - m_aPendingChatLines.GetCount();
    const int iAgain = iShown + m_aPendingChatLines.GetCount();
    m_aPendingChatLines.SetSize(0);
    for (int i = iAgain < iCount ? iCount - iAgain : 0; i < iCount; ++i)
    {
        const int iLine = m_aChatLines[i];
        if (i >= iFirstWaiting || !pTemplate)
            m_aPendingChatLines.Add(iLine);
        else if (iLine >= 0 && iLine < m_ChatBacklog.GetCount())
            AppendChatLine(pList, pTemplate, m_ChatBacklog[iLine].m_strText, m_ChatBacklog[iLine].m_uColor);
    }
}

void CVornMenuState::DropOldestChatLine()
{
    const int iCount = m_ChatBacklog.GetCount();
    if (iCount == 0)
        return;
    for (int i = 1; i < iCount; ++i)
        m_ChatBacklog[i - 1] = m_ChatBacklog[i];
    m_ChatBacklog[iCount - 1] = sChatLine();
    m_ChatBacklog.SetSize(iCount - 1);
    // The lists hold backlog indices: every one moves down, the dropped line's goes.
    for (CKorvelArray<int>* pList : {&m_aChatLines, &m_aPendingChatLines})
    {
        int iKept = 0;
        for (int i = 0; i < pList->GetCount(); ++i)
            if ((*pList)[i] > 0)
                (*pList)[iKept++] = (*pList)[i] - 1;
        pList->SetSize(iKept);
    }
}

void CVornMenuState::OnChatMessage(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived)
{
    if (!pMessage)
        return;
    unsigned int uGameShowed = 0;
    if (pMessage->m_iType == CVornNetworkSession::CHAT_LINE && m_pGame)
        uGameShowed = m_pGame->OnChatMessage(pMessage, uReceived) ? 1 : 0;
    if (!uReceived)
        return;
    if (AddChatRecord(pMessage, uReceived) == 1 && !uGameShowed)
    {
        const unsigned int uDialog = GetDialogVisible();
        if (!uDialog && m_pChatNotifier)
        {
            m_pChatNotifier->SetVisible(1);
            m_fChatDotTime = 0.0f;
        }
        const bool bOnChat = CurrentPageName().CompareNoCase(CKorvelString("chat_root")) == 0;
        if (!(uDialog && bOnChat))
            if (CImageWidget* pImage = widget_cast<CImageWidget*>(FindInRoot("vorn-image")))
                pImage->Highlight();
    }
    if (pMessage->m_iType == CVornNetworkSession::CHAT_ENTERED)
        m_uOpponentInChat = 1;
    else if (pMessage->m_iType == CVornNetworkSession::CHAT_REMATCH_DECLINED ||
             pMessage->m_iType == CVornNetworkSession::CHAT_LEFT)
    {
        SetChatButtonVisibility(0);
        m_uOpponentInChat = 0;
    }
}

CToggleButton* CVornMenuState::RematchButton()
{
    return widget_cast<CToggleButton*>(FindInPages("//chat_root//rematch-button"));
}

void CVornMenuState::AddPendingChatLine()
{
    // The chat goes on after the match's end, where the players talk and ask for a rematch.
    if (!m_uChatStarted || !m_pPageView || !m_pPageView->GetVisible() || m_aPendingChatLines.GetCount() == 0)
        return;
    CRunningList* pList = widget_cast<CRunningList*>(FindInPages("//chat_root//chat_backlog"));
    CTextWidget* pTemplate = ChatLineTemplate(pList);
    if (!pTemplate)
        return;
    const int iLine = m_aPendingChatLines[0];
    for (int i = 1; i < m_aPendingChatLines.GetCount(); ++i)
        m_aPendingChatLines[i - 1] = m_aPendingChatLines[i];
    m_aPendingChatLines.SetSize(m_aPendingChatLines.GetCount() - 1);
    if (iLine >= 0 && iLine < m_ChatBacklog.GetCount())
        AppendChatLine(pList, pTemplate, m_ChatBacklog[iLine].m_strText, m_ChatBacklog[iLine].m_uColor);
}

void CVornMenuState::UpdateRematchDelay(float fSeconds)
{
    if (!m_uOpponentInChat || m_fRematchDelay <= 0.0f)
        return;
    m_fRematchDelay -= fSeconds;
    if (m_fRematchDelay > 0.0f)
        return;
    m_fRematchDelay = 0.0f;
    if (CWidget* pButton = RematchButton())
        pButton->SetVisible(1);
}

void CVornMenuState::AnimateChatNotifier(float fSeconds)
{
    if (!m_pChatNotifier || !m_pChatNotifier->GetVisible() || m_pChatNotifier->GetWidgets().GetCount() == 0)
        return;
    CTextWidget* pDots = widget_cast<CTextWidget*>(m_pChatNotifier->GetWidgets()[0]);
    if (!pDots)
        return;
    m_fChatDotTime += fSeconds;
    const char* pText = m_fChatDotTime < 0.5f   ? ""
                        : m_fChatDotTime < 1.0f ? "."
                        : m_fChatDotTime < 1.5f ? ".."
                                                : "...";
    pDots->SetText(CKorvelString(pText));
    if (m_fChatDotTime >= 2.0f)
        m_fChatDotTime = 0.0f;
}

void CVornMenuState::SetChatButtonVisibility(unsigned int uVisible)
{
    if (uVisible)
        m_fRematchDelay = 2.0f;
    else
    {
        m_fRematchDelay = 0.0f;
        if (CWidget* pButton = RematchButton())
            pButton->SetVisible(0);
    }
    if (CWidget* pBack = FindInPages("//chat_root//button_back"))
        // A guest whose opponent left has no other way out of the chat.
        pBack->SetVisible(!IsGuestLogin() || m_DisconnectedPlayers.GetCount() > 0 ? 1 : 0);
}

void CVornMenuState::ClearChatBacklog()
{
    m_uOpponentInChat = 0;
    m_uChatLineSeen = 0;
    m_ChatBacklog.RemoveAll();
    m_aChatLines.RemoveAll();
    m_aPendingChatLines.RemoveAll();
    if (CRunningList* pList = widget_cast<CRunningList*>(FindInPages("//chat_root//chat_backlog")))
        pList->Clear();
    // A draft was meant for this chat's players: the next chat starts with an empty field.
    if (CTextWidget* pField = widget_cast<CTextWidget*>(FindInPages("//chat_root//chat_textfield")))
        pField->SetText(CKorvelString());
    SetChatButtonVisibility(0);
}

KE_RETVAL CVornMenuState::actionChatSend(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis)
        return 0;
    if (pThis->m_pChatSubmitBubble)
        pThis->m_pChatSubmitBubble->SetVisible(0);
    // Recorded even for an empty field: the hint has done its job once a send was tried.
    MarkOnce(pThis->m_pKestrolund, KEY_MESSAGE_SENT);
    CTextWidget* pField = widget_cast<CTextWidget*>(pThis->FindInPages("//chat_root//chat_textfield"));
    if (pField && pField->GetText().GetLength() > 0 && pThis->m_pKestrolund)
    {
        const CKorvelString strText = pField->GetText();
        pField->SetText(CKorvelString());
        pThis->m_pKestrolund->SendChatMessage(strText, CVornNetworkSession::CHAT_LINE);
    }
    // The input ended with the send (Enter completes it, as a tablet's keyboard closes); on a
    // desktop the field stays ready for the next line.
    if (pField && pField->GetVisible() && !pField->IsEditing() && pThis->GetDialogVisible() &&
        pThis->CurrentPageName().CompareNoCase(CKorvelString("chat_root")) == 0)
        pThis->ClickField(pField);
    return 1;
}

KE_RETVAL CVornMenuState::actionChatRematch(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis || !pThis->m_pKestrolund)
        return 0;
    pThis->m_pKestrolund->Rematch(1, 0);
    pThis->m_uRematchAsked = 1;
    return 1;
}

KE_RETVAL CVornMenuState::actionChatTextfieldChanged(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (pThis && pThis->m_pChatSubmitBubble && !HasKey(pThis->m_pKestrolund, KEY_MESSAGE_SENT))
        pThis->m_pChatSubmitBubble->SetVisible(1);
    return 1;
}

KE_RETVAL CVornMenuState::actionStartChangePageChat(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    // Only while the match still runs: afterwards there is no game to go back to.
    if (!pThis || !pThis->m_uInMatch || !pThis->m_pKestrolund || pThis->m_pKestrolund->IsRematchAnswerOpen())
        return 1;
    if (MarkOnce(pThis->m_pKestrolund, KEY_RETURN_HINT) && pThis->m_pReturnBubble)
        pThis->m_pReturnBubble->SetVisible(1);
    return 1;
}
