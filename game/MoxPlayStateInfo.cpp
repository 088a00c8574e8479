// The match screen's information overlay: the count-down, the turn banner, the clock and
// the result texts. Which texts show is worked out apart from drawing them.
#include <cmath>

#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornLanguage.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

namespace
{
enum : int
{
    TEXT_COUNTDOWN = 0,
    TEXT_OWN_TURN = 1,
    TEXT_OPPONENT_TURN = 2,
    TEXT_OWN_WIN = 3,
    TEXT_OPPONENT_WIN = 4,
    TEXT_TIE = 5,
    TEXT_TIMED_OUT = 6,
    TEXT_WAITING_READY = 7,
    TEXT_TIME_OUT_WIN = 8,
    TEXT_TIME_OUT_LOSS = 9,
    TEXT_OPPONENT_LEFT = 10,
    TEXT_TRAINING_WIN = 16,
    TEXT_TRAINING_LOSS = 17,
    TEXTURE_TIMER = 27
};
const unsigned int kFlags = 385;
const unsigned int kCentred = 131;
// The end notices, in screen heights: the winner's name with the result a line below it at
// 0.4, and a reason line at 0.25. When any of them would lie over the winner's flomp they
// move: name and result just above it with the reason over them, below the action buttons;
// when that leaves no room, all three go below the flomp, the reason last.
const float kNoticeName = 0.4f;
const float kNoticeLine = 0.07f;
const float kNoticeHalfLine = 0.035f;
const float kNoticeGap = 0.01f;
const float kNoticeReason = 0.25f;

// A centred notice: its middle and half height in screen heights, its half width in pixels.
struct sNoticeBox
{
    float fMiddle, fHalf, fHalfWidth;
};
} // namespace

void CMoxPlayState::PlaceNotices(int iWinner, int iWidest, int iReasonWidth, int iReasonHeight, float& fName,
                                 float& fReason)
{
    fName = kNoticeName;
    fReason = kNoticeReason;
    const float W = m_pRenderer ? m_pRenderer->GetScreenWidth() : 0.0f;
    const float H = m_pRenderer ? m_pRenderer->GetScreenHeight() : 0.0f;
    float fLeft = 0.0f, fTop = 0.0f, fRight = 0.0f, fBottom = 0.0f;
    if (H <= 0.0f || !m_pScene || !m_pScene->PlayerScreenSpan(iWinner, fLeft, fTop, fRight, fBottom))
        return;
    // A wrapped reason is as many lines high as it takes.
    const bool bReason = iReasonHeight > 0;
    const float fReasonHalf =
        0.5f * (float)iReasonHeight / H > kNoticeHalfLine ? 0.5f * (float)iReasonHeight / H : kNoticeHalfLine;
    const float fButtons = m_rcButtons[PLAY_BUTTON_JUMP].bottom / H + kNoticeGap;
    const auto Clear = [&](float fNameAt, float fReasonAt, bool bBelowButtons)
    {
        const sNoticeBox aBoxes[3] = {{fNameAt, kNoticeHalfLine, 0.5f * (float)iWidest},
                                      {fNameAt + kNoticeLine, kNoticeHalfLine, 0.5f * (float)iWidest},
                                      {fReasonAt, fReasonHalf, 0.5f * (float)iReasonWidth}};
        for (int i = 0; i < (bReason ? 3 : 2); ++i)
        {
            const sNoticeBox& box = aBoxes[i];
            const float fBoxTop = box.fMiddle - box.fHalf - kNoticeGap,
                        fBoxBottom = box.fMiddle + box.fHalf + kNoticeGap;
            if (bBelowButtons && fBoxTop < fButtons)
                return false;
            const bool bBeside = fRight < 0.5f * W - box.fHalfWidth || fLeft > 0.5f * W + box.fHalfWidth;
            if (!bBeside && fBoxTop * H < fBottom && fBoxBottom * H > fTop)
                return false;
        }
        return true;
    };
    // The reason stands over the name, never lower than its usual place.
    const auto ReasonOver = [&](float fNameAt)
    {
        const float f = fNameAt - kNoticeHalfLine - fReasonHalf;
        return f < kNoticeReason ? f : kNoticeReason;
    };
    if (Clear(fName, ReasonOver(fName), false))
    {
        fReason = ReasonOver(fName);
        return;
    }
    const float fAbove = fTop / H - kNoticeGap - kNoticeHalfLine - kNoticeLine;
    if (Clear(fAbove, ReasonOver(fAbove), true))
    {
        fName = fAbove;
        fReason = ReasonOver(fAbove);
        return;
    }
    fName = fBottom / H + kNoticeGap + kNoticeHalfLine;
    fReason = fName + kNoticeLine + kNoticeHalfLine + fReasonHalf;
}

void CMoxPlayState::InformationTexts(std::vector<sInfoText>& aTexts)
{
    aTexts.clear();
    const auto Add = [&aTexts](int iText, float fHeight, unsigned int uAlpha = 255,
                               const CKorvelString& strLiteral = CKorvelString(),
                               unsigned int uFlags = kFlags) {
        aTexts.push_back(sInfoText{iText, strLiteral, fHeight, uAlpha, uFlags});
    };
    CPlayer* aPlayers = m_pScene ? m_pScene->m_Players : nullptr;

    // An opponent gone before the round started ends the match: its result, not a count-down
    // to a round that never comes.
    if (!m_bStarted && !m_bOpponentLeft)
    {
        unsigned int uAlpha = 255;
        if (m_fCountdown < 1.0f)
            uAlpha = (unsigned int)(255.0f * (m_fCountdown < 0.0f ? 0.0f : m_fCountdown));
        Add(TEXT_COUNTDOWN, 0.45f, uAlpha);
        Add(-1, 0.55f, uAlpha, m_pScene ? m_pScene->m_strName : CKorvelString());
        return;
    }
    const bool bDecided = m_bRoundEnded || HasMatchEnded() || m_ePlayState == PLAYSTATE_GAME_OVER ||
                          m_ePlayState == PLAYSTATE_ROUND_ENDED || m_ePlayState == PLAYSTATE_BETWEEN_ROUNDS;
    if (bDecided && (m_iResult < 0 || m_iResult > 1))
        Add(TEXT_TIE, 0.1f, 255, CKorvelString(), kCentred);
    else if (bDecided && aPlayers)
    {
        const bool bOwnWin = m_iResult == m_iOwnPlayer;
        const int iResultText = !HasMatchEnded()  ? -1
                                : m_bSinglePlayer ? (bOwnWin ? TEXT_TRAINING_WIN : TEXT_TRAINING_LOSS)
                                                  : (bOwnWin ? TEXT_OWN_WIN : TEXT_OPPONENT_WIN);
        const int iReason = m_bOpponentLeft  ? TEXT_OPPONENT_LEFT
                            : m_bTimeOutLoss ? (bOwnWin ? TEXT_TIME_OUT_WIN : TEXT_TIME_OUT_LOSS)
                                             : -1;
        CVornLanguage* pLanguage = m_pGame ? m_pGame->GetGameLanguage() : nullptr;
        int iWidest = m_pRenderer ? m_pRenderer->TextWidth(aPlayers[m_iResult].m_strName, FONT_MAIN) : 0;
        if (iResultText >= 0 && pLanguage)
        {
            const int iWidth =
                m_pRenderer ? m_pRenderer->TextWidth(pLanguage->GetText(iResultText), FONT_MAIN) : 0;
            iWidest = iWidth > iWidest ? iWidth : iWidest;
        }
        int iReasonWidth = 0, iReasonHeight = 0;
        if (iReason >= 0 && pLanguage && m_pRenderer)
            m_pRenderer->WrappedTextSize(pLanguage->GetText(iReason), FONT_MAIN, iReasonWidth, iReasonHeight);
        float fName = kNoticeName, fReason = kNoticeReason;
        PlaceNotices(m_iResult, iWidest, iReasonWidth, iReasonHeight, fName, fReason);
        Add(-1, fName, 255, aPlayers[m_iResult].m_strName);
        if (iResultText >= 0)
            Add(iResultText, fName + kNoticeLine);
        if (iReason >= 0)
            Add(iReason, fReason);
    }
    const bool bRoundRuns = !bDecided;
    const bool bBothLive = aPlayers && aPlayers[0].m_bAlive && aPlayers[1].m_bAlive;
    if (bRoundRuns && bBothLive && m_fBannerFade > 0.0f && (m_iTurnPlayer == 0 || m_iTurnPlayer == 1))
    {
        const unsigned int uAlpha = m_fBannerFade < 255.0f ? (unsigned int)m_fBannerFade : 255u;
        if (m_bTimedOut)
            Add(TEXT_TIMED_OUT, 0.3f, uAlpha);
        Add(-1, 0.4f, uAlpha, aPlayers[m_iTurnPlayer].m_strName);
        const bool bOwn = m_iTurnPlayer == m_iOwnPlayer && !m_bOwnTurnPlayed;
        Add(bOwn ? TEXT_OWN_TURN : TEXT_OPPONENT_TURN, 0.47f, uAlpha);
    }
    if (m_ePlayState == PLAYSTATE_BETWEEN_ROUNDS && m_bReadySent)
        Add(TEXT_WAITING_READY, 0.6f);
}

void CMoxPlayState::RenderInformation()
{
    if (!m_pRenderer || !m_pGame)
        return;
    std::vector<sInfoText> aTexts;
    InformationTexts(aTexts);
    const float W = m_pRenderer->GetScreenWidth(), H = m_pRenderer->GetScreenHeight();
    IKorvelGraphicsContext* pContext = m_pRenderer->GetGraphicsContext();
    if (!m_bStarted && !m_bOpponentLeft && pContext)
    {
        // The band is darkest half-way through the four-second count-down.
        float fFade = std::fabs(m_fCountdown - 2.0f);
        fFade = fFade < 0.01f ? 0.01f : fFade > 0.99f ? 0.99f : fFade;
        const CKorvelRect<float> band(0.0f, 0.35f * H, W, 0.65f * H);
        pContext->Fade(&band, fFade);
    }
    if (m_ePlayState == PLAYSTATE_BETWEEN_ROUNDS && m_bReadySent && pContext)
        pContext->Fade(nullptr, 0.2f);
    CVornLanguage* pLanguage = m_pGame->GetGameLanguage();
    for (const sInfoText& text : aTexts)
    {
        const CKorvelString strText =
            text.iText >= 0 && pLanguage ? pLanguage->GetText(text.iText) : text.strLiteral;
        const unsigned int uColour = (text.uAlpha << 24) | 0xFFFFFFu;
        m_pRenderer->DrawShadowedText(0, (int)(text.fHeight * H), strText, uColour, text.uFlags, FONT_MAIN);
    }
    const bool bRoundRuns = m_bStarted && !m_bRoundEnded && !HasMatchEnded();
    if (m_ePlayState == PLAYSTATE_OWN_TURN && bRoundRuns && !m_bOwnTurnPlayed)
    {
        int f = (int)(m_fTurnElapsed / 30.0f * 16.0f);
        f = f < 0 ? 0 : f > 15 ? 15 : f;
        const float fHalf = W / 25.0f * (1.0f + m_fAlertScale);
        const CKorvelVector2 centre(0.5f * W, H - 3.5f * W / 30.0f);
        m_pRenderer->renderScreenAnimation(centre, CKorvelVector2(fHalf, fHalf), CKorvel3DColor(0xFFFFFFFFu),
                                           f % 4, f / 4, 4, 4,
                                           m_pGame->GetContext().psrfGameTextures[TEXTURE_TIMER]);
        const CPlayer* pOwn = m_pScene && (m_iOwnPlayer == 0 || m_iOwnPlayer == 1)
                                  ? &m_pScene->m_Players[m_iOwnPlayer]
                                  : nullptr;
        if (pOwn && pOwn->m_iTimeOutsLeft > 0)
        {
            CKorvelString strLeft;
            strLeft.Format(L"%d", pOwn->m_iTimeOutsLeft);
            m_pRenderer->DrawShadowedText((int)(centre.x + 1.5f * W / 25.0f), (int)centre.y, strLeft,
                                          0xFFFFFFFFu, 400, FONT_MAIN);
        }
    }
}
