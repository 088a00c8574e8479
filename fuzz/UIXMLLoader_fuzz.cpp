// Outside bytes as layout files and theme files: an area file built into widget trees and
// rebuilt over the previous tree, a layout loaded into a root of its own (with every
// creator registered, an extra creator and bound actions, run for a few frames), and a
// theme's colour file.
// Every file the loaders ask for is the input itself, so imports of "layout.xml" meet
// the guard against recursive imports.
#include <cstdint>
#include <cstring>
#include <string>

#include "Framework/UI/ActionCallbackMap.h"
#include "Framework/UI/ActionHandler.h"
#include "Framework/UI/GameXMLLoader.h"
#include "Framework/UI/Theme.h"
#include "Framework/UI/UIXMLLoader.h"
#include "tests/support/HeadlessVornApplication.h"

namespace
{
class CFuzzApplication : public CHeadlessVornApplication
{
public:
    // The input for the layout and the theme's colour file; no other file exists.
    unsigned int GetFileData(const CKorvelString& strName, unsigned char** ppData) override
    {
        *ppData = nullptr;
        if (strName.Compare(CKorvelString("layout.xml")) != 0 &&
            strName.Compare(CKorvelString("theme_.xml")) != 0)
            return 0;
        *ppData = new unsigned char[m_strInput.size() + 1];
        std::memcpy(*ppData, m_strInput.data(), m_strInput.size());
        (*ppData)[m_strInput.size()] = 0;
        return static_cast<unsigned int>(m_strInput.size());
    }
    std::string m_strInput;
};

KE_RETVAL Nothing(CWidget*, void*)
{
    return KE_OK;
}

CWidget* CreateExtra(CUIXMLLoader* pLoader, CKorvelXMLDataNode*, CWidget& parent, CWidget* pCandidate)
{
    return CUIXMLLoader::TakeOrCreate<CWidget>(pLoader, parent, pCandidate);
}

void DeleteTree(CWidget* pWidget)
{
    if (pWidget)
    {
        pWidget->Shutdown();
        delete pWidget;
    }
}

CFuzzApplication& App()
{
    static CFuzzApplication* s_pApp = nullptr;
    if (!s_pApp)
    {
        s_pApp = new CFuzzApplication;
        s_pApp->Start(false);
        // Held for the process: otherwise the font goes with the last text widget of a run
        // and is decoded again for the next, most of a run's time.
        s_pApp->GetFont(CKorvelString("default"));
    }
    return *s_pApp;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    CFuzzApplication& app = App();
    app.m_strInput.assign(reinterpret_cast<const char*>(pData), uSize);

    CVornTheme theme;
    CUIXMLLoader themeLoader;
    themeLoader.Startup(app, nullptr, nullptr, nullptr, nullptr, nullptr);
    themeLoader.LoadTheme(&theme);
    themeLoader.Shutdown();
    app.m_pTheme = &theme;

    CActionHandler handler;
    CActionCallbackMap actions;
    actions.Startup(&handler);
    actions.RegisterAction(CKorvelString("go"), CActionCallback(Nothing, nullptr), 0);
    actions.RegisterAction(CKorvelString("home"), CActionCallback(Nothing, nullptr), 1);
    CUIXMLLoader::CreatorMap extra;
    extra.Add(CHashString("extra"), CreateExtra);

    CGameXMLLoader areas;
    areas.Startup(app, &actions, &extra);
    if (areas.LoadFromFile(CKorvelString("layout.xml")) == KE_OK)
    {
        CWidget* pRoot = areas.GetAreaWidget(800, 480, nullptr);
        CWidget* pReloaded = areas.GetAreaWidget(480, 800, pRoot);
        if (!pReloaded)
            DeleteTree(pRoot);
        DeleteTree(pReloaded);
    }
    areas.Shutdown();

    CWidget root;
    root.Startup(&app, &app, CKorvelRect<int>(0, 0, 640, 360));
    CUIXMLLoader loader;
    loader.Startup(app, &actions, &extra, &root, nullptr, nullptr);
    loader.LoadFromFile(CKorvelString("layout.xml"));
    loader.Shutdown();
    // A few frames take the templates out and place the children.
    for (int i = 0; i < 3; ++i)
        root.DoUpdate(0.1f);
    root.Shutdown();
    handler.Update(0.5f);

    handler.Shutdown();
    actions.Shutdown();
    app.m_pTheme = nullptr;
    theme.Shutdown();
    return 0;
}
