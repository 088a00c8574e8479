// Prints where a widget of the shipped lobby layout sits on a window of a given size, so
// that the end-to-end driver clicks what a player would see, not coordinates of its own.
//
//   e2e_layout_probe WIDTH HEIGHT PATH[=TEXT|~LITERAL]...   (run in a folder holding app/native/)
//
// One line per path: "left top right bottom width" in window pixels, or "none" (for a
// list's "item_template", its first row). The width
// is that of the text a text widget shows in English (language text TEXT, or the literal
// text, when given), 0
// for other widgets. A widget on a page of a page view is placed as when its page is the
// one shown. Exit 1 when the layout cannot be built.
#include <cstdio>
#include <cstdlib>

#include <algorithm>
#include <string>
#include <vector>

#include "Framework/Shell/VornLanguage.h"
#include "Framework/UI/GameXMLLoader.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/TextWidget.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "tests/support/HeadlessVornApplication.h"

namespace
{

// The shipped English texts, so that labels show what a player reads.
class CProbeApplication : public CHeadlessVornApplication
{
public:
    CProbeApplication(int iWidth, int iHeight) : CHeadlessVornApplication(iWidth, iHeight) {}
    ~CProbeApplication() override { m_Language.Shutdown(); }
    bool StartLanguage()
    {
        return m_Language.Startup(this, CKorvelString("vornlanguage")) == KE_OK &&
               m_Language.SetCurrentLanguage(CKorvelString("en")) == KE_OK;
    }
    CVornLanguage* GetLanguage() override { return &m_Language; }

private:
    CVornLanguage m_Language;
};

// Shows every page on the way from the root to the widget.
void ShowPagesOf(CWidget* pWidget)
{
    for (CWidget* p = pWidget; p && p->GetParent(); p = p->GetParent())
        if (CPageView* pView = widget_cast<CPageView*>(p->GetParent()))
            pView->SetActivePage(pView->GetPageIndex(p), 0);
}

// After the path: "=N" for language text N, "~text" for that text, nothing for its own.
int TextWidth(CProbeApplication& app, CWidget* pWidget, const std::string& strWhich)
{
    CTextWidget* pText = widget_cast<CTextWidget*>(pWidget);
    if (!pText || !pText->GetFont())
        return 0;
    CKorvelString strText = pText->GetDisplayText();
    if (!strWhich.empty() && strWhich[0] == '=')
        strText = app.GetLanguage()->GetText(std::atoi(strWhich.c_str() + 1));
    else if (!strWhich.empty())
        strText = CKorvelString(strWhich.c_str() + 1);
    return pText->GetFont()->GetTextWidth(strText, pText->GetTextAlign());
}

const char* const TEMPLATE = "item_template";

// iRowHeight > 0: the first row of the list pWidget.
void Print(CWidget* pRoot, CWidget* pWidget, int iWidth, int iRowHeight)
{
    if (!pWidget)
    {
        std::printf("none\n");
        return;
    }
    int iLeft = 0, iTop = 0, iRight = pWidget->GetWidth();
    int iBottom = iRowHeight > 0 ? iRowHeight : pWidget->GetHeight();
    pWidget->MapTo(pRoot, iLeft, iTop);
    pWidget->MapTo(pRoot, iRight, iBottom);
    std::printf("%d %d %d %d %d\n", iLeft, iTop, iRight, iBottom, iWidth);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT PATH...\n", argv[0]);
        return 2;
    }
    const int iWidth = std::atoi(argv[1]), iHeight = std::atoi(argv[2]);
    int iResult = 0;
    {
        CProbeApplication app(iWidth, iHeight);
        // The packs the lobby's start adds, so sizes taken from pictures are the shipped ones.
        if (app.Start(true) != KE_OK || !app.AddPack(CKorvelString("vornlayouts.kmp"), 0, 0) ||
            app.AddResNeutralPack(CKorvelString("vornfonts"), nullptr, nullptr) != KE_OK ||
            app.AddResNeutralPack(CKorvelString("vornlobby"), nullptr, nullptr) != KE_OK ||
            !app.StartLanguage())
        {
            std::fprintf(stderr, "the application folder's packs cannot be read\n");
            return 1;
        }
        CGameXMLLoader loader;
        loader.Startup(app, nullptr, nullptr);
        CWidget* pRoot = nullptr;
        if (loader.LoadFromFile(CKorvelString("menu_root.xml")) == KE_OK)
            pRoot = loader.GetAreaWidget(iWidth, iHeight, nullptr);
        loader.Shutdown();
        if (!pRoot)
        {
            std::fprintf(stderr, "menu_root.xml yields no widget tree for %dx%d\n", iWidth, iHeight);
            iResult = 1;
        }
        // A list's item template leaves the tree at the list's first update: its height
        // is read before any, and its first row is printed.
        std::vector<int> aTemplateHeights(size_t(argc), 0);
        for (int i = 3; pRoot && i < argc; ++i)
        {
            CWidget* pTemplate = pRoot->FindWidgetByPath(CKorvelString(argv[i]));
            if (pTemplate && pTemplate->GetName().IsEqual(CKorvelString(TEMPLATE)))
                aTemplateHeights[size_t(i)] = pTemplate->GetHeight();
        }
        for (int i = 3; pRoot && i < argc; ++i)
        {
            const std::string strArg = argv[i];
            const size_t uEnd = std::min(strArg.find('='), strArg.find('~'));
            const std::string strWhich = uEnd == std::string::npos ? "" : strArg.substr(uEnd);
            std::string strPath = strArg.substr(0, uEnd);
            const int iRowHeight = aTemplateHeights[size_t(i)];
            if (iRowHeight > 0)
                strPath.erase(strPath.rfind("//"));
            CWidget* pWidget = pRoot->FindWidgetByPath(CKorvelString(strPath.c_str()));
            ShowPagesOf(pWidget);
            pRoot->DoUpdate(0.0f);
            pWidget = pRoot->FindWidgetByPath(CKorvelString(strPath.c_str()));
            Print(pRoot, pWidget, pWidget ? TextWidth(app, pWidget, strWhich) : 0, iRowHeight);
        }
        if (pRoot)
        {
            pRoot->Shutdown();
            delete pRoot;
        }
    }
    return iResult;
}
