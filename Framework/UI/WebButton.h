// A button that opens a web address in the browser, with the application's identity
// filled into placeholders of the address, before its OnClick runs.
#pragma once

#include "Framework/UI/Button.h"

class CWebButton : public CButton
{
public:
    // ---- added virtual operations, in slot order
    virtual const CKorvelString& GetUrl() const { return m_strUrl; }
    virtual void SetUrl(const CKorvelString& strUrl) { m_strUrl = strUrl; }

    // The address with "&amp;" as "&" and, with the framework's application, the first
    // APPLICATION_ID, RELEASE_ID, RESELLER_ID, LANGUAGE, APPLICATION_TOKEN and
    // APPLICATION_CHECK filled in.
    CKorvelString BuildUrl() const;

    void click() override;
    CWidget* New() const override { return new CWebButton; }
    KORVEL_WIDGET_GETTYPE(CWebButton)
    void initializeClone(const CWidget& source) override;

private:
    CKorvelString m_strUrl;
};
