// A page of the web inside the layout, type "web_view". This platform has none: the layout
// creates no web view, so widget_cast<CWebView*> finds none in a loaded layout. A port with
// a browser component implements these operations; it fires "google_cookie" for each
// cookie a page sets, "google_loaded" when a page has loaded and "google_show" when shown.
#pragma once

#include "Framework/UI/Widget.h"

class CWebView : public CWidget
{
public:
    KORVEL_WIDGET_GETTYPE(CWebView)

    virtual void OpenUrl(const CKorvelString& strUrl) = 0;
    // An empty text clears the page.
    virtual void LoadText(const CKorvelString& strText) = 0;
    // The current text or address.
    virtual CKorvelString GetText() const = 0;
    // The cookie just received.
    virtual CKorvelString GetCookieName() const = 0;
    virtual CKorvelString GetCookieValue() const = 0;
    virtual void ForgetCookie(const CKorvelString& strName) = 0;
    // The terms were accepted: the login page may begin.
    virtual void Start() = 0;

protected:
    CWebView() = default;
};
