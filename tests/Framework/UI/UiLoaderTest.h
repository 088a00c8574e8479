// Helpers of the layout loader's tests: an application whose theme the test sets, layouts
// loaded from text into a root of a given size, and pack files for imports. Header only.
#pragma once

#include <memory>
#include <string>

#include "Framework/UI/UIXMLLoader.h"
#include "Framework/UI/XMLLoaderWrapper.h"
#include "support/TestText.h"
#include "support/TestVornApplication.h"
#include "support/UiTestFiles.h"
#include "tests/Framework/UI/WidgetProbe.h"

// The engine's XML reader takes attribute values in double quotes; tests write single ones.
inline std::string Quoted(std::string str)
{
    for (char& c : str)
        if (c == '\'')
            c = '"';
    return str;
}

class CUiTestApp : public CTestVornApplication
{
public:
    // With bGl the engine starts on the headless display (surfaces, fonts).
    explicit CUiTestApp(int iWidth = 1024, int iHeight = 600, bool bGl = false)
        : CTestVornApplication(iWidth, iHeight)
    {
        if (bGl)
            m_iStarted = StartHeadless();
        else
            StartResourcesOnly();
    }
    CVornTheme* GetTheme() override { return m_pTheme; }

    // The files in a pack of their own, added to the resource manager.
    bool AddFiles(const TestPackItems& files)
    {
        std::string strPack = "ui" + std::to_string(++m_iPacks) + ".kmp";
        TestPackItems quoted;
        for (const auto& file : files)
            quoted.push_back(
                {file.first, file.first.size() > 4 && file.first.substr(file.first.size() - 4) == ".xml"
                                 ? Quoted(file.second)
                                 : file.second});
        return WriteUiPack(Dir(), strPack, quoted) && AddPack(CKorvelString(strPack.c_str()), 0, 0) == 1;
    }

    CVornTheme* m_pTheme = nullptr; // not owned
    int m_iPacks = 0;
    KE_RETVAL m_iStarted = KE_OK;
};

typedef std::unique_ptr<CWidget, sTreeDeleter> WidgetTree;

inline std::string Text(const CKorvelString& str)
{
    std::string out;
    for (int i = 0; i < str.GetLength(); ++i)
        out += static_cast<char>(str.GetBuffer()[i]);
    return out;
}

inline CKorvelRect<int> Rect(int l, int t, int r, int b)
{
    return CKorvelRect<int>(l, t, r, b);
}

inline ::testing::AssertionResult HasArea(const CWidget* pWidget, const CKorvelRect<int>& expected)
{
    if (!pWidget)
        return ::testing::AssertionFailure() << "no widget";
    const CKorvelRect<int>& a = pWidget->GetArea();
    if (SameRect(a, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "area {" << a.left << "," << a.top << "," << a.right << "," << a.bottom << "}, expected {"
           << expected.left << "," << expected.top << "," << expected.right << "," << expected.bottom << "}";
}

struct sLoadOptions
{
    CActionCallbackMap* pActions = nullptr;
    CUIXMLLoader::CreatorMap* pExtraCreators = nullptr;
    CWidget* pOldRoot = nullptr;
};

// The layout text loaded into a new root of that size named "root".
inline WidgetTree LoadLayout(CUiTestApp& app, const std::string& strXml, int iWidth, int iHeight,
                             const sLoadOptions& options = sLoadOptions())
{
    CWidget* pRoot = new CWidget;
    pRoot->Startup(&app, &app, Rect(0, 0, iWidth, iHeight));
    pRoot->SetName(CKorvelString("root"));
    CXMLLoaderWrapper document;
    document.Startup(app);
    std::string strCopy = Quoted(strXml);
    document.LoadFromData(reinterpret_cast<unsigned char*>(&strCopy[0]),
                          static_cast<unsigned int>(strCopy.size()));
    CUIXMLLoader loader;
    loader.Startup(app, options.pActions, options.pExtraCreators, pRoot, nullptr, options.pOldRoot);
    loader.LoadFromNode(document.GetRootNode());
    pRoot->LoadUniqueData();
    loader.Shutdown();
    document.Shutdown();
    return WidgetTree(pRoot);
}

inline CWidget* Find(const WidgetTree& tree, const char* pName)
{
    return tree->FindWidget(CKorvelString(pName), -1);
}
