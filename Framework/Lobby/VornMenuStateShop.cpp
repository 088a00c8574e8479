// The wallet, the add-coins link and the item operations the game calls.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornWebHost.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/TextWidget.h"
#include "KorvelGraphics/KorvelApplication.h"

#include "Framework/Lobby/VornMenuWidgets.h"

using menu_widgets::Lobby;

namespace
{
const char* const COIN_WIDGETS[] = {"//shop_root//vorncoins_amount", "//list_me//vorncoins_amount",
                                    "//generic_error_dialog_more_coins//coins-value"};
} // namespace

void CVornMenuState::OnWalletBalance(int iCoins)
{
    m_iWalletBalance = iCoins;
    m_OwnCardAnswers.m_bCoins = true;
    if (!m_pPageView)
        return;
    CKorvelString strCoins;
    strCoins.Format(L"%d", iCoins);
    for (const char* pPath : COIN_WIDGETS)
        if (CTextWidget* pText = widget_cast<CTextWidget*>(FindInPages(pPath)))
            pText->SetText(strCoins);
}

KE_RETVAL CVornMenuState::actionShowShop(CWidget*, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    // A reload shows the balance the page showed.
    if (pThis && pThis->m_uReloading)
        return 1;
    if (CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr)
        pSession->SendWalletBalance();
    return 1;
}

CKorvelString CVornMenuState::AddCoinsLink() const
{
    CVornNetworkSession* pSession = Session();
    IVornGameState* pGame = m_pKestrolund ? m_pKestrolund->GetGameState() : nullptr;
    if (!pSession || !pGame)
        return CKorvelString();
    const CKorvelString& strToken = pSession->GetLoginToken();
    CVornDevice* pDevice = m_pKestrolund->GetDevice();
    const CKorvelString strDevice = pDevice ? pDevice->GetDeviceInfo().m_strIMEI : CKorvelString();
    const CKorvelString strSecret = pGame->GetAppSecret();
    CKorvelString strCheck;
    strCheck.Format(L"%d%s%s%s%d", pSession->GetOwnUserId(), strSecret.GetBuffer(), strToken.GetBuffer(),
                    strDevice.GetBuffer(), pSession->GetRelease());
    GenerateMD5(strCheck);

    CVornLanguage* pLanguage = m_pKestrolund->GetLanguage();
    const CKorvelString strLanguage = pLanguage && pLanguage->GetCurrentLanguage()
                                          ? pLanguage->GetCurrentLanguage()->m_strCode
                                          : CKorvelString();
    const CKorvelString strReseller = m_pKestrolund->GetResellerId();
    CKorvelString strQuery;
    strQuery.Format(L"link=add_coins&token=%s&check=%s&game=%d&release=%d&rid=%s&lang=%s",
                    strToken.GetBuffer(), strCheck.GetBuffer(), m_pKestrolund->GetAppId(),
                    m_pKestrolund->GetReleaseId(), strReseller.GetBuffer(), strLanguage.GetBuffer());
    CKorvelString strLink("https://");
    strLink.Add(CKorvelString(VORN_WEB_HOST));
    strLink.Add(CKorvelString("/api/forward.php?"));
    strLink.Add(strQuery);
    return strLink;
}

KE_RETVAL CVornMenuState::actionShopBuyCoins(CWidget*, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis)
        return 1;
    const CKorvelString strLink = pThis->AddCoinsLink();
    if (strLink.GetLength() > 0)
        CVornDevice::OpenUrl(pThis->m_pKestrolund, strLink);
    return 1;
}

void CVornMenuState::ShowRefillDialog(int iItemId)
{
    if (iItemId < 1)
        return;
    if (CVornNetworkSession* pSession = Session())
        pSession->SendBuyItem(iItemId, 0x802);
}

void CVornMenuState::UseItem(int iItemId, int iValue)
{
    if (CVornNetworkSession* pSession = Session())
        pSession->SendUseItem(iItemId, iValue);
}

void CVornMenuState::GetItemFile(int iItemId, CKorvelString& strPath)
{
    const int iAppId = m_pKestrolund ? m_pKestrolund->GetAppId() : 0;
    CKorvelString strName;
    strName.Format(L"data_%d_%d.kmp", iAppId, iItemId);
    IKorvelApplication::BuildWriteFilepath(strPath, strName);
}
