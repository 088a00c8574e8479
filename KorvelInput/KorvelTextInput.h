// One-line text entry over the platform's virtual keyboard: the owner feeds it the
// characters the application receives, shows GetDisplayText() and takes the text
// once IsCompleted() reports that Enter ended the editing.
#pragma once

#include "KorvelCommon/KorvelString.h"

#include "PlatformScreen.h"

class IKorvelApplication;

class CKorvelTextInput
{
public:
    // The character Ctrl+A types: the whole text is selected.
    static const unsigned short SELECT_ALL = 1;

    CKorvelTextInput();
    virtual ~CKorvelTextInput() {}
    static CKorvelTextInput* New() { return new CKorvelTextInput(); }

    // Keeps the text whole even when it is longer than uMaxLength. 1, or 0 when the
    // keyboard's events could not be requested.
    int Startup(IKorvelApplication* pApp, const CKorvelString& strText, const CKorvelString& strSecond,
                unsigned int uMaxLength);
    // Hides the keyboard and returns to editing.
    void Shutdown();

    // LF or CR completes, backspace removes the last unit, units above 13 are
    // appended while the text is shorter than the maximum; the rest is ignored, and
    // everything is once completed. After SELECT_ALL the next backspace or unit
    // replaces the whole text.
    virtual void AddChar(unsigned short uChar);
    // Reopens editing and shows the keyboard.
    virtual void Touch();

    void SetText(const CKorvelString& strText); // cut to the maximum length
    const CKorvelString& GetText() const { return m_strText; }
    const CKorvelString& GetSecondText() const { return m_strSecond; }
    void SetPasswordMode(unsigned int uOn) { m_uPassword = uOn; }
    // The text, or in password mode one '*' per unit of it.
    CKorvelString& GetDisplayText();
    void Complete() { m_uCompleted = 1; }
    unsigned int IsCompleted() const { return m_uCompleted; }
    unsigned int GetMaxLength() const { return m_uMaxLength; }

private:
    CKorvelString m_strText;
    CKorvelString m_strSecond; // the input box's title, kept for the owner
    CKorvelString m_strDisplay;
    unsigned int m_uMaxLength;
    unsigned int m_uCompleted;
    unsigned int m_uPassword;
    unsigned int m_uAllSelected; // Ctrl+A: the next key replaces the text
    plat::screen_window_t m_pWindow;
    IKorvelApplication* m_pApp;
};
