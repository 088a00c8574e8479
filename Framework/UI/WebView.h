// The web view's place in the type tree. There is no web view on this platform: no widget
// is ever of this class, so widget_cast<CWebView*> yields null for every widget.
#pragma once

#include "Framework/UI/Widget.h"

class CWebView : public CWidget
{
public:
    CWebView() = delete;
};
