// A widget that draws a string in a bitmap font and, when editable, lets the user change
// it through the virtual keyboard, with password masking and texts taken from the
// current language by number.
//
// Sources: TextWidget.cpp (values, font, language, cloning, drawing), TextWidgetEdit.cpp
// (focus, pointer and keyboard input, the end of the editing), TextWidgetWrap.cpp (words
// wider than a row).
#pragma once

#include "Framework/UI/Widget.h"

class CKorvelBitmapFont;
class CKorvelTextInput;

class CTextWidget : public CWidget
{
public:
    // Added to the drawing flags: the text's own colour tags are not read, and blending.
    static const unsigned int EDIT_TEXT_FLAGS = 0x400080;
    static const unsigned int TEXT_FLAGS = 0x80;
    static const unsigned int TEXT_RIGHT = 0x40000;

    CTextWidget();
    ~CTextWidget() override;

    // ---- added virtual operation
    virtual KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                              const CKorvelRect<int>& area, CKorvelBitmapFont* pFont);

    const CKorvelString& GetText() const { return m_strText; }
    // Refreshes the display text; stores t and calls OnChanged only when it differs.
    void SetText(const CKorvelString& strText);
    const CKorvelString& GetDisplayText() const { return m_strDisplayText; }
    // What is drawn: t, or one '*' per unit of it in password mode. No callback.
    void SetDisplayText(const CKorvelString& strText);
    const CKorvelString& GetInputBoxTitle() const { return m_strInputBoxTitle; }
    void SetInputBoxTitle(const CKorvelString& strTitle) { m_strInputBoxTitle = strTitle; }
    CKorvelBitmapFont* GetFont() const { return m_pFont; }
    // Counted like images: a font the resource manager does not take back is deleted.
    void SetFont(CKorvelBitmapFont* pFont);
    unsigned int GetColor() const { return m_uColor; }
    void SetColor(unsigned int argb) { m_uColor = argb; }
    unsigned int GetDisplayColor() const { return m_uDisplayColor; }
    void SetDisplayColor(unsigned int argb) { m_uDisplayColor = argb; }
    unsigned int GetTextAlign() const { return m_uTextAlign; }
    void SetTextAlign(unsigned int uFlags) { m_uTextAlign = uFlags; }
    unsigned int GetEditable() const { return m_uEditable; }
    // A label that is not editable is transparent, so it never catches presses.
    void SetEditable(unsigned int uEditable, int iMaxLength);
    unsigned int GetPasswordMode() const { return m_uPasswordMode; }
    void SetPasswordMode(unsigned int uPassword);
    const CActionCallback& GetOnChanged() const { return m_OnChanged; }
    void SetOnChanged(const CActionCallback& cb) { m_OnChanged = cb; }
    const CActionCallback& GetOnFinished() const { return m_OnFinished; }
    void SetOnFinished(const CActionCallback& cb) { m_OnFinished = cb; }
    // -1 for none.
    void SetLocalizedText(int iId);
    void SetLocalizedInputBoxTitle(int iId);
    int GetLocalizedText() const { return m_iLocalizedText; }
    int GetLocalizedInputBoxTitle() const { return m_iLocalizedTitle; }
    unsigned int IsEditing() const { return m_uEditing; }
    // The keyboard input while it is open, else null.
    CKorvelTextInput* GetInput() const { return m_pInput; }
    // The text with a line break wherever a word wider than iWidth pixels would run past a
    // row's end as the font wraps it; the font breaks at the blanks itself.
    static CKorvelString BreakLongWords(const CKorvelBitmapFont& font, const CKorvelString& strText,
                                        int iWidth, unsigned int uFlags);

    // ---- overrides
    // Without a font.
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    CWidget* New() const override { return new CTextWidget; }
    KORVEL_WIDGET_GETTYPE(CTextWidget)
    KE_RETVAL update(float fSeconds) override;
    KE_RETVAL draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;
    int keyDown(eKET_KEYCODE eKey) override;
    int inputChar(unsigned short uChar) override;
    int mouseButton(unsigned int uButton, int x, int y) override;
    int mouseButtonUp(unsigned int uButton, int x, int y) override;
    void gainFocus(CWidget* pPrevious) override;
    void loseFocus(CWidget* pNext) override;
    void initializeClone(const CWidget& source) override;
    void LoadLocalizedText() override;

private:
    void CloseInput();
    // The input completed: OnFinished, and the editing ends.
    void FinishInput();
    void ReleaseFont();
    // The text flags of the current language (right alignment, right to left).
    unsigned int LanguageFlags() const;
    KE_RETVAL DrawEditing(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect);
    // The mask of the alignment flags drawn in rect: a field one row high does not wrap.
    unsigned int RowsOf(const CKorvelRect<int>& rect) const;
    // The display text as a field draws it: what the font has no glyph for shows as a mark
    // (made in strMarked when there is any).
    const CKorvelString& Drawn(CKorvelString& strMarked) const;

    unsigned int m_uEditable;
    unsigned int m_uPasswordMode;
    unsigned int m_uEditing; // set while the widget has the focus
    CKorvelString m_strText;
    CKorvelString m_strDisplayText;
    CKorvelString m_strInputBoxTitle;
    CKorvelBitmapFont* m_pFont;
    unsigned int m_uDisplayColor; // while the stored text is empty
    unsigned int m_uColor;
    CKorvelTextInput* m_pInput; // owned; only while the keyboard is open
    CActionCallback m_OnChanged;
    CActionCallback m_OnFinished;
    unsigned int m_uTextAlign;
    float m_fBlink; // -0.5 .. 0.5; the cursor shows from 0
    unsigned int m_uMaxLength;
    int m_iLocalizedText;
    int m_iLocalizedTitle;
};
