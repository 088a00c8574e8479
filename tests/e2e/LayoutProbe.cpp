// Prints where a widget of the shipped lobby layout sits on a window of a given size, so
// that the end-to-end driver clicks what a player would see, not coordinates of its own.
//
//   e2e_layout_probe WIDTH HEIGHT PATH[=TEXT|~LITERAL]...   (run in a folder holding app/native/)
//
// One line per path: "left top right bottom width" in window pixels, or "none". A path
// through a list's "item_template" or "group_template" is placed in the list's first row.
// The width is that of the text a text widget shows in English (language text TEXT, or
// the literal text, when given), 0 for other widgets. A widget on a page of a page view
// is placed as when its page is the one shown. Exit 1 when the layout cannot be built.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <algorithm>
#include <string>
#include <vector>

#include "Framework/Shell/VornLanguage.h"
#include "Framework/UI/GameXMLLoader.h"
#include "Framework/UI/InfiniteList.h"
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

// A list's templates leave the tree at the list's first update, and its rows are clones
// of them: a path through one is placed in the list's first row.
const char* const TEMPLATES[] = {"//item_template", "//group_template"};

// A path through a template, read before any update: where its widget sits in the
// template, and its text's width.
struct sInRow
{
    std::string m_strList; // empty: not inside a template
    int m_iLeft = 0, m_iTop = 0, m_iWidth = 0, m_iHeight = 0;
    int m_iTextWidth = 0;
};

sInRow ReadInRow(CProbeApplication& app, CWidget* pRoot, const std::string& strPath,
                 const std::string& strWhich)
{
    sInRow row;
    for (const char* pTemplate : TEMPLATES)
    {
        const size_t uAt = strPath.find(pTemplate);
        if (uAt == std::string::npos)
            continue;
        CWidget* pRow =
            pRoot->FindWidgetByPath(CKorvelString(strPath.substr(0, uAt + std::strlen(pTemplate)).c_str()));
        CWidget* pPart = pRoot->FindWidgetByPath(CKorvelString(strPath.c_str()));
        if (!pRow || !pPart)
            return row;
        // The loader holds a template in a widget of its name; the list takes what it holds.
        if (pRow->GetWidgets().GetCount() > 0)
            pRow = pRow->GetWidgets()[0];
        if (pPart->GetWidgets().GetCount() > 0 && pPart->GetWidgets()[0] == pRow)
            pPart = pRow;
        row.m_strList = strPath.substr(0, uAt);
        pPart->MapTo(pRow, row.m_iLeft, row.m_iTop);
        row.m_iWidth = pPart->GetWidth();
        row.m_iHeight = pPart->GetHeight();
        row.m_iTextWidth = TextWidth(app, pPart, strWhich);
        return row;
    }
    return row;
}

// Where the list's first row sits: an infinite list is given one row, as its owner would.
void FirstRow(CWidget* pRoot, CWidget* pList, int& x, int& y)
{
    CWidget* pFirst = pList;
    if (CInfiniteList* pInfinite = widget_cast<CInfiniteList*>(pList))
    {
        pInfinite->SetCount(1);
        pRoot->DoUpdate(0.0f);
        if (pInfinite->GetWidgets().GetCount() > 0)
            pFirst = pInfinite->GetWidgets()[0];
    }
    x = y = 0;
    pFirst->MapTo(pRoot, x, y);
}

void Print(CWidget* pRoot, CWidget* pWidget, int iWidth)
{
    if (!pWidget)
    {
        std::printf("none\n");
        return;
    }
    int iLeft = 0, iTop = 0, iRight = pWidget->GetWidth(), iBottom = pWidget->GetHeight();
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
        // Every path through a template is read before the first update takes them out.
        std::vector<sInRow> aInRows(static_cast<size_t>(argc));
        std::vector<std::string> aPaths(static_cast<size_t>(argc)), aWhich(static_cast<size_t>(argc));
        for (int i = 3; pRoot && i < argc; ++i)
        {
            const std::string strArg = argv[i];
            const size_t uEnd = std::min(strArg.find('='), strArg.find('~'));
            aWhich[size_t(i)] = uEnd == std::string::npos ? "" : strArg.substr(uEnd);
            aPaths[size_t(i)] = strArg.substr(0, uEnd);
            aInRows[size_t(i)] = ReadInRow(app, pRoot, aPaths[size_t(i)], aWhich[size_t(i)]);
        }
        for (int i = 3; pRoot && i < argc; ++i)
        {
            const sInRow& row = aInRows[size_t(i)];
            const std::string& strPath = row.m_strList.empty() ? aPaths[size_t(i)] : row.m_strList;
            ShowPagesOf(pRoot->FindWidgetByPath(CKorvelString(strPath.c_str())));
            pRoot->DoUpdate(0.0f);
            CWidget* pWidget = pRoot->FindWidgetByPath(CKorvelString(strPath.c_str()));
            if (row.m_strList.empty())
                Print(pRoot, pWidget, pWidget ? TextWidth(app, pWidget, aWhich[size_t(i)]) : 0);
            else if (!pWidget)
                std::printf("none\n");
            else
            {
                int x = 0, y = 0;
                FirstRow(pRoot, pWidget, x, y);
                x += row.m_iLeft;
                y += row.m_iTop;
                std::printf("%d %d %d %d %d\n", x, y, x + row.m_iWidth, y + row.m_iHeight, row.m_iTextWidth);
            }
        }
        if (pRoot)
        {
            pRoot->Shutdown();
            delete pRoot;
        }
    }
    return iResult;
}
