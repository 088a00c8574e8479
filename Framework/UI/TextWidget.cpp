// Text widget: stored and displayed text, font reference, language texts, cloning, drawing.
#include "Framework/UI/TextWidget.h"

#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornResourceManager.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "KorvelInput/KorvelTextInput.h"

namespace
{
const CVornLanguage* LanguageOf(IKorvelApplication* pApp)
{
    CVornApplication* pVorn = dynamic_cast<CVornApplication*>(pApp);
    return pVorn ? pVorn->GetLanguage() : nullptr;
}

// Typed text the font cannot draw (another script, a line separator, a direction override)
// would otherwise take no room at all in a field.
const unsigned short NO_GLYPH_MARK = '?';
} // namespace

CTextWidget::CTextWidget()
    : m_uEditable(0), m_uPasswordMode(0), m_uEditing(0), m_pFont(nullptr), m_uDisplayColor(0xFFFFFFFF),
      m_uColor(0xFFFFFFFF), m_pInput(nullptr), m_uTextAlign(0), m_fBlink(0.0f), m_uMaxLength(0),
      m_iLocalizedText(-1), m_iLocalizedTitle(-1)
{
}

CTextWidget::~CTextWidget()
{
    CloseInput();
}

KE_RETVAL CTextWidget::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                               const CKorvelRect<int>& area)
{
    return Startup(pApp, pResources, area, nullptr);
}

KE_RETVAL CTextWidget::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                               const CKorvelRect<int>& area, CKorvelBitmapFont* pFont)
{
    const KE_RETVAL r = CWidget::Startup(pApp, pResources, area);
    m_uColor = m_uDisplayColor = 0xFFFFFFFF;
    m_strText.Reset();
    m_strDisplayText.Reset();
    m_strInputBoxTitle.Reset();
    m_uTextAlign = 0;
    m_fBlink = 0.0f;
    m_iLocalizedText = m_iLocalizedTitle = -1;
    m_uEditing = 0;
    m_uPasswordMode = 0;
    m_uEditable = 0;
    CloseInput();
    SetFont(pFont);
    return r;
}

void CTextWidget::Shutdown()
{
    ReleaseFont();
    CloseInput();
    CWidget::Shutdown();
}

void CTextWidget::CloseInput()
{
    if (!m_pInput)
        return;
    m_pInput->Shutdown();
    delete m_pInput;
    m_pInput = nullptr;
}

void CTextWidget::SetFont(CKorvelBitmapFont* pFont)
{
    if (pFont == m_pFont)
        return;
    ReleaseFont();
    if (m_pResources)
        m_pResources->IncrementFont(pFont);
    m_pFont = pFont;
}

void CTextWidget::ReleaseFont()
{
    CKorvelBitmapFont* pOld = m_pFont;
    m_pFont = nullptr;
    if (!pOld || (m_pResources && m_pResources->ReleaseFont(pOld)))
        return;
    // A font the manager does not know is this widget's own.
    pOld->Shutdown();
    delete pOld;
}

void CTextWidget::SetText(const CKorvelString& strText)
{
    SetDisplayText(strText);
    if (strText.Compare(m_strText) == 0)
        return;
    m_strText = strText;
    m_OnChanged.Call(this);
}

void CTextWidget::SetDisplayText(const CKorvelString& strText)
{
    if (!m_uPasswordMode)
    {
        m_strDisplayText = strText;
        return;
    }
    m_strDisplayText.Reset();
    for (int i = 0; i < strText.GetLength(); ++i)
        m_strDisplayText.Add(static_cast<unsigned short>('*'));
}

void CTextWidget::SetPasswordMode(unsigned int uPassword)
{
    if (uPassword == m_uPasswordMode)
        return;
    m_uPasswordMode = uPassword;
    SetDisplayText(m_strText);
}

void CTextWidget::SetEditable(unsigned int uEditable, int iMaxLength)
{
    m_uEditable = uEditable;
    m_uMaxLength = static_cast<unsigned int>(iMaxLength);
    SetTransparent(uEditable ? 0 : 1);
    if (!uEditable)
        CloseInput();
}

void CTextWidget::SetLocalizedText(int iId)
{
    m_iLocalizedText = iId;
    LoadLocalizedText();
}

void CTextWidget::SetLocalizedInputBoxTitle(int iId)
{
    m_iLocalizedTitle = iId;
    LoadLocalizedText();
}

// The stored text is left alone, so a label shows in the display colour while none is stored.
void CTextWidget::LoadLocalizedText()
{
    const CVornLanguage* pLanguage = LanguageOf(m_pApp);
    if (pLanguage && m_iLocalizedText != -1)
        SetDisplayText(pLanguage->GetText(m_iLocalizedText));
    if (pLanguage && m_iLocalizedTitle != -1)
        m_strInputBoxTitle = pLanguage->GetText(m_iLocalizedTitle);
    CWidget::LoadLocalizedText();
}

unsigned int CTextWidget::LanguageFlags() const
{
    const CVornLanguage* pLanguage = LanguageOf(m_pApp);
    const sLANGUAGE_INFO* pCurrent = pLanguage ? pLanguage->GetCurrentLanguage() : nullptr;
    return pCurrent ? pCurrent->m_uTextFlags : 0;
}

KE_RETVAL CTextWidget::draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    if (!m_pFont)
        return KE_OK;
    if (m_uEditable && m_uEditing)
        return DrawEditing(pContext, rect);
    const unsigned int uColor = m_strText.GetLength() > 0 ? m_uColor : m_uDisplayColor;
    const unsigned int uFlags = (m_uTextAlign & RowsOf(rect)) | LanguageFlags() | TEXT_FLAGS;
    CKorvelString strMarked;
    const CKorvelString& strShown = Drawn(strMarked);
    if (uFlags & KE_TEXT_MULTILINE)
        m_pFont->DrawText(rect, *pContext, BreakLongWords(*m_pFont, strShown, rect.GetWidth(), uFlags),
                          uColor, uFlags, nullptr);
    else
        m_pFont->DrawText(rect, *pContext, strShown, uColor, uFlags, nullptr);
    return KE_OK;
}

const CKorvelString& CTextWidget::Drawn(CKorvelString& strMarked) const
{
    const unsigned short* pUnits = m_strDisplayText.GetBuffer();
    int i = 0;
    while (m_uEditable && m_pFont && i < m_strDisplayText.GetLength() && m_pFont->GetCharInfo(pUnits[i]))
        ++i;
    if (!m_uEditable || !m_pFont || i == m_strDisplayText.GetLength())
        return m_strDisplayText;
    strMarked.Reset();
    for (i = 0; i < m_strDisplayText.GetLength(); ++i)
        strMarked.Add(m_pFont->GetCharInfo(pUnits[i]) ? pUnits[i] : NO_GLYPH_MARK);
    return strMarked;
}

// A field with room for one row keeps to it, idle as while typed: a long entry runs on past
// its right edge rather than wrapping into rows that the field would cut.
unsigned int CTextWidget::RowsOf(const CKorvelRect<int>& rect) const
{
    const bool bOneRow = m_uEditable && rect.GetHeight() < 2 * static_cast<int>(m_pFont->GetLineHeight());
    return bOneRow ? ~static_cast<unsigned int>(KE_TEXT_MULTILINE) : ~0u;
}

// The end of a text wider than the field stays in view, with the cursor at the right edge.
KE_RETVAL CTextWidget::DrawEditing(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    const CKorvelString strCursor("|");
    const unsigned int uFlags = (m_uTextAlign & RowsOf(rect)) | EDIT_TEXT_FLAGS;
    CKorvelString strMarked;
    const CKorvelString& strText = Drawn(strMarked);
    const int iCursorWidth = m_pFont->GetTextWidth(strCursor, uFlags);
    const int iTextWidth = m_pFont->GetTextWidth(strText, uFlags);
    const bool bOverflow = iTextWidth > rect.GetWidth();
    CKorvelRect<int> rcText = rect;
    rcText.right -= iCursorWidth;
    m_pFont->DrawText(rcText, *pContext, strText, m_uColor, uFlags | (bOverflow ? TEXT_RIGHT : 0), nullptr);
    if (m_fBlink >= 0.0f)
    {
        const int x = bOverflow ? rect.right - iCursorWidth : rect.left + iTextWidth;
        const CKorvelRect<int> rcCursor(x, rect.top, x + iCursorWidth, rect.bottom);
        m_pFont->DrawText(rcCursor, *pContext, strCursor, m_uColor, uFlags, nullptr);
    }
    return KE_OK;
}

// The input-box title and its id stay the clone's own.
void CTextWidget::initializeClone(const CWidget& source)
{
    CWidget::initializeClone(source);
    const CTextWidget* pSource = widget_cast<const CTextWidget*>(&source);
    if (!pSource)
        return;
    // Only a counted font can be shared: two owners of one unmanaged font would both delete it.
    CKorvelBitmapFont* pFont = pSource->m_pFont;
    if (pFont != m_pFont)
    {
        ReleaseFont();
        if (pFont && m_pResources && m_pResources->IncrementFont(pFont))
            m_pFont = pFont;
    }
    m_uColor = pSource->m_uColor;
    m_uDisplayColor = pSource->m_uDisplayColor;
    m_strText = pSource->m_strText;
    m_strDisplayText = pSource->m_strDisplayText;
    m_OnChanged = pSource->m_OnChanged;
    m_OnFinished = pSource->m_OnFinished;
    m_iLocalizedText = pSource->m_iLocalizedText;
    m_uEditable = pSource->m_uEditable;
    m_uPasswordMode = pSource->m_uPasswordMode;
    m_uTextAlign = pSource->m_uTextAlign;
    m_uMaxLength = pSource->m_uMaxLength;
    m_fBlink = 0.0f;
}
