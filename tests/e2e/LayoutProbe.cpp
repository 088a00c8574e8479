// Prints where a widget of the shipped lobby layout sits on a window of a given size, so
// that the end-to-end driver clicks what a player would see, not coordinates of its own.
//
//   e2e_layout_probe WIDTH HEIGHT PATH...   (run in a folder holding app/native/)
//
// One line per path: "left top right bottom" in window pixels, or "none". A widget on a
// page of a page view is placed as when its page is the one shown. Exit 1 when the
// layout cannot be built.
#include <cstdio>
#include <cstdlib>

#include "Framework/UI/GameXMLLoader.h"
#include "Framework/UI/PageView.h"
#include "tests/support/HeadlessVornApplication.h"

namespace
{

// Shows every page on the way from the root to the widget.
void ShowPagesOf(CWidget* pWidget)
{
    for (CWidget* p = pWidget; p && p->GetParent(); p = p->GetParent())
        if (CPageView* pView = widget_cast<CPageView*>(p->GetParent()))
            pView->SetActivePage(pView->GetPageIndex(p), 0);
}

void Print(CWidget* pRoot, CWidget* pWidget)
{
    if (!pWidget)
    {
        std::printf("none\n");
        return;
    }
    int iLeft = 0, iTop = 0, iRight = pWidget->GetWidth(), iBottom = pWidget->GetHeight();
    pWidget->MapTo(pRoot, iLeft, iTop);
    pWidget->MapTo(pRoot, iRight, iBottom);
    std::printf("%d %d %d %d\n", iLeft, iTop, iRight, iBottom);
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
        CHeadlessVornApplication app(iWidth, iHeight);
        // The packs the lobby's start adds, so sizes taken from pictures are the shipped ones.
        if (app.Start(true) != KE_OK || !app.AddPack(CKorvelString("vornlayouts.kmp"), 0, 0) ||
            app.AddResNeutralPack(CKorvelString("vornfonts"), nullptr, nullptr) != KE_OK ||
            app.AddResNeutralPack(CKorvelString("vornlobby"), nullptr, nullptr) != KE_OK)
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
        for (int i = 3; pRoot && i < argc; ++i)
        {
            CWidget* pWidget = pRoot->FindWidgetByPath(CKorvelString(argv[i]));
            ShowPagesOf(pWidget);
            pRoot->DoUpdate(0.0f);
            Print(pRoot, pWidget);
        }
        if (pRoot)
        {
            pRoot->Shutdown();
            delete pRoot;
        }
    }
    return iResult;
}
