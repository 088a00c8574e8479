// The layout loader: element geometry, template holders, imports with their gates and the
// guard against recursive imports, event and action binding, extra creators, and reloads
// that carry widgets over by unique name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Framework/Shell/VornDevice.h"
#include "Framework/UI/ActionCallbackMap.h"
#include "Framework/UI/ActionEntry.h"
#include "Framework/UI/ActionHandler.h"
#include "Framework/UI/Slider.h"
#include "KorvelCommon/KorvelThread.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "tests/Framework/Shell/ResourceTestMedia.h"
#include "tests/Framework/UI/UiLoaderTest.h"

class CKeptWidget;
template <> struct CWidgetTypeTraits<CKeptWidget>
{
    typedef CWidget Parent;
    static const char* Name() { return "kept"; }
};

// A widget that keeps a value across reloads and counts the live ones.
class CKeptWidget : public CWidget
{
public:
    CKeptWidget() { ++g_iLive; }
    ~CKeptWidget() override { --g_iLive; }
    KORVEL_WIDGET_GETTYPE(CKeptWidget)
    void SaveUniqueData() override
    {
        m_iSaved = m_iValue;
        m_iChildrenWhenSaved = GetWidgets().GetCount();
    }
    void LoadUniqueData() override
    {
        m_iRestored = m_iSaved;
        CWidget::LoadUniqueData();
    }

    int m_iValue = 0, m_iSaved = -1, m_iRestored = -1, m_iChildrenWhenSaved = -1;
    static int g_iLive;
    static std::vector<CWidget*> g_aCandidates;

    static CWidget* Create(CUIXMLLoader* pLoader, CKorvelXMLDataNode*, CWidget& parent, CWidget* pCandidate)
    {
        g_aCandidates.push_back(pCandidate);
        return CUIXMLLoader::TakeOrCreate<CKeptWidget>(pLoader, parent, pCandidate);
    }
};
int CKeptWidget::g_iLive = 0;
std::vector<CWidget*> CKeptWidget::g_aCandidates;

namespace
{
CWidget* CreateMarked(CUIXMLLoader* pLoader, CKorvelXMLDataNode*, CWidget& parent, CWidget*)
{
    CWidget* pWidget = new CWidget;
    pLoader->StandardStart(*pWidget, parent);
    pWidget->SetHighlightColor(0x12345678);
    return pWidget;
}

std::string Element(const std::string& strName, const std::string& strInner = "",
                    const std::string& strAttrs = "")
{
    return "<element name=\"" + strName + "\" " + strAttrs + ">" + strInner + "</element>";
}

int CountNamed(CWidget* pWidget, const char* pName)
{
    int n = pWidget->GetName().Compare(CKorvelString(pName)) == 0 ? 1 : 0;
    for (int i = 0; i < pWidget->GetWidgets().GetCount(); ++i)
        n += CountNamed(pWidget->GetWidgets()[i], pName);
    return n;
}

WidgetTree LoadFile(CUiTestApp& app, const char* pFile, int iWidth, int iHeight)
{
    CWidget* pRoot = new CWidget;
    pRoot->Startup(&app, &app, Rect(0, 0, iWidth, iHeight));
    CUIXMLLoader loader;
    loader.Startup(app, nullptr, nullptr, pRoot, nullptr, nullptr);
    loader.LoadFromFile(CKorvelString(pFile));
    loader.Shutdown();
    return WidgetTree(pRoot);
}
} // namespace

TEST(CUIXMLLoader, ElementAreasFollowSizePositionAndAlignment)
{
    struct sCASE
    {
        const char* pInner;
        int iRefW, iRefH;
        CKorvelRect<int> expected;
    };
    const sCASE aCases[] = {
        {"<size w='0.5' h='0.25'/><align v='center'/>", 1024, 600, Rect(256, 0, 768, 150)},
        {"<size w='0.1' h='0.1'/><position x='0.3333'/>", 1000, 600, Rect(333, 0, 433, 60)},
        // "$v" is the horizontal word: "middle" is none of them, so x applies.
        {"<size w='0.1' h='0.1'/><position x='0.25' y='0.5'/><align v='middle'/>", 1000, 600,
         Rect(250, 300, 350, 360)},
        // Any "$h" counts as a vertical word: top stays 0 and y is ignored.
        {"<size w='0.1' h='0.1'/><position x='0.2' y='0.5'/><align h='center'/>", 1000, 600,
         Rect(200, 0, 300, 60)},
        {"<size w='0.25' h='0.5'/><position x='0.1' y='0.1'/><align v='right' h='bottom'/>", 1000, 600,
         Rect(750, 300, 1000, 600)},
        {"<size w='0.5' h='0.5'/><align v='left' h='middle'/><position x='0.5'/>", 1000, 600,
         Rect(0, 150, 500, 450)},
        // Halving truncates toward zero, sizes round halves away from zero, positions truncate.
        {"<size w='1.001' h='0.0005'/><align v='center'/>", 1000, 1000, Rect(0, 0, 1001, 1)},
        {"<size w='0.1' h='0.1'/><position x='-0.0015' y='0.0019'/>", 1000, 1000, Rect(-1, 1, 99, 101)},
        {"<position x='0.5' y='0.5'/>", 1000, 600, Rect(500, 300, 500, 300)},
    };
    CUiTestApp app;
    for (const sCASE& c : aCases)
    {
        WidgetTree tree =
            LoadLayout(app, "<layout>" + Element("e", c.pInner) + "</layout>", c.iRefW, c.iRefH);
        EXPECT_TRUE(HasArea(Find(tree, "e"), c.expected)) << c.pInner;
    }
}

TEST(CUIXMLLoader, ChildrenMeasureAgainstTheReferenceAndSitInTheirParent)
{
    CUiTestApp app;
    WidgetTree tree =
        LoadLayout(app,
                   "<layout>" +
                       Element("outer",
                               "<position x='0.5' y='0.5'/><size w='0.5' h='0.5'/>" +
                                   Element("inner", "<position x='0.1' y='0.1'/><size w='0.1' h='0.1'/>"),
                               "display='0'") +
                       Element("flagged", "<flags enabled='0' transparent='1' visible='0'/>") + "</layout>",
                   1000, 600);
    CWidget* pOuter = Find(tree, "outer");
    ASSERT_NE(pOuter, nullptr);
    EXPECT_TRUE(HasArea(pOuter, Rect(500, 300, 1000, 600)));
    EXPECT_EQ(pOuter->GetVisible(), 0u);
    EXPECT_EQ(pOuter->GetTransparent(), 1u) << "an unknown type is a transparent plain widget";
    ASSERT_EQ(pOuter->GetWidgets().GetCount(), 1);
    EXPECT_TRUE(HasArea(pOuter->GetWidgets()[0], Rect(100, 60, 200, 120)));
    CWidget* pFlagged = Find(tree, "flagged");
    ASSERT_NE(pFlagged, nullptr);
    EXPECT_EQ(pFlagged->GetEnabled(), 0u);
    EXPECT_EQ(pFlagged->GetVisible(), 0u);
}

TEST(CUIXMLLoader, TemplateNamesAreWrappedInAHolderOfTheSameName)
{
    struct sCASE
    {
        const char* pName;
        bool bWrapped;
    };
    const sCASE aCases[] = {{"item_template", true}, {"item_template2", true},   {"group_template", true},
                            {"template", false},     {"item_templates2", false}, {"item_template22", false},
                            {"_template", true},     {"x_template_y", false}};
    CUiTestApp app;
    for (const sCASE& c : aCases)
    {
        WidgetTree tree = LoadLayout(
            app,
            "<layout>" +
                Element("box", "<position x='0.1' y='0.1'/><size w='0.5' h='0.5'/>" +
                                   Element(c.pName, "<position x='0.2' y='0.3'/><size w='0.1' h='0.1'/>")) +
                "</layout>",
            1000, 1000);
        CWidget* pBox = Find(tree, "box");
        ASSERT_NE(pBox, nullptr);
        ASSERT_EQ(pBox->GetWidgets().GetCount(), 1) << c.pName;
        CWidget* pDirect = pBox->GetWidgets()[0];
        EXPECT_EQ(Text(pDirect->GetName()), c.pName);
        if (!c.bWrapped)
        {
            EXPECT_EQ(pDirect->GetWidgets().GetCount(), 0) << c.pName;
            EXPECT_TRUE(HasArea(pDirect, Rect(200, 300, 300, 400))) << c.pName;
            continue;
        }
        ASSERT_EQ(pDirect->GetWidgets().GetCount(), 1) << c.pName;
        EXPECT_TRUE(HasArea(pDirect, Rect(200, 300, 300, 400))) << "the holder takes the element's area";
        // The content is moved by minus the parent's top-left.
        EXPECT_TRUE(HasArea(pDirect->GetWidgets()[0], Rect(100, 200, 200, 300))) << c.pName;
    }
}

TEST(CUIXMLLoader, ImportGatesDecideWhetherAnImportLoads)
{
    CUiTestApp app;
    CVornDevice device;
    device.Startup(&app);
    app.m_pDevice = &device;
    CKorvelString strOs = device.GetDeviceInfo().m_strOSName;
    ASSERT_GT(strOs.GetLength(), 0);
    CKorvelString strUpper(strOs);
    strUpper.MakeUpper();
    const std::string os = "some " + Text(strUpper) + " build";

    struct sCASE
    {
        std::string strAttrs;
        bool bLoads;
    };
    const sCASE aCases[] = {
        {"", true},
        {"platform_id='7 13'", true},
        {"platform_id='13'", true},
        {"platform_id='113'", false},
        {"platform_id='7 130'", false},
        {"platform_id_not='13 7'", false},
        {"platform_id_not='113'", true},
        {"renderer='gles2'", true},
        {"renderer='opengl gles2 es'", true},
        {"renderer='GLES2'", false},
        {"renderer='gl'", false},
        {"device_os='" + os + "'", true},
        {"device_os='nothing'", false},
        {"platform_id='13' renderer='gl'", false},
    };
    for (const sCASE& c : aCases)
    {
        WidgetTree tree = LoadLayout(
            app, "<layout><import " + c.strAttrs + ">" + Element("inside") + "</import></layout>", 100, 100);
        EXPECT_EQ(Find(tree, "inside") != nullptr, c.bLoads) << c.strAttrs;
    }
    app.m_pDevice = nullptr;
    WidgetTree noDevice = LoadLayout(
        app, "<layout><import device_os='" + os + "'>" + Element("inside") + "</import></layout>", 100, 100);
    EXPECT_EQ(Find(noDevice, "inside"), nullptr) << "without device information the gate cannot pass";
}

TEST(CUIXMLLoader, ImportsThatWouldRecurseLoadEachFileOnce)
{
    CUiTestApp app;
    TestPackItems files = {
        {"self.xml", "<layout>" + Element("self") + "<import path='self.xml'/></layout>"},
        {"a.xml", "<layout>" + Element("in_a") + "<import path='b.xml'/></layout>"},
        {"b.xml", "<layout>" + Element("in_b") + "<import path='a.xml'/></layout>"},
        {"leaf.xml", "<layout>" + Element("leaf") + "</layout>"},
        {"twice.xml", "<layout><import path='leaf.xml'/><import path='leaf.xml'/>" +
                          Element("box", "<import path='leaf.xml'/>") + "</layout>"},
    };
    // A chain of distinct files: f0 imports f1, ... f29.
    for (int i = 0; i < 30; ++i)
        files.push_back({"f" + std::to_string(i) + ".xml", "<layout>" + Element("deep") + "<import path='f" +
                                                               std::to_string(i + 1) + ".xml'/></layout>"});
    ASSERT_TRUE(app.AddFiles(files));

    EXPECT_EQ(CountNamed(LoadFile(app, "self.xml", 10, 10).get(), "self"), 1);
    WidgetTree cycle = LoadFile(app, "a.xml", 10, 10);
    EXPECT_EQ(CountNamed(cycle.get(), "in_a"), 1);
    EXPECT_EQ(CountNamed(cycle.get(), "in_b"), 1);
    EXPECT_EQ(CountNamed(LoadFile(app, "twice.xml", 10, 10).get(), "leaf"), 3)
        << "imports side by side or in separate elements do not nest";
    EXPECT_EQ(CountNamed(LoadFile(app, "f0.xml", 10, 10).get(), "deep"), 1 + CUIXMLLoader::MAX_IMPORT_DEPTH);

    // An import also carries its own children after its file's; a failed file leaves those.
    WidgetTree missing =
        LoadLayout(app, "<layout><import path='none.xml'>" + Element("own") + "</import></layout>", 10, 10);
    EXPECT_NE(Find(missing, "own"), nullptr);
}

TEST(CUIXMLLoader, ImportsChooseTheirParentAndReferenceSize)
{
    CUiTestApp app;
    const std::string strSize = "<size w='0.5' h='0.5'/>";
    WidgetTree tree = LoadLayout(
        app,
        "<layout>" + Element("target", "<position x='0.2' y='0.3'/><size w='0.2' h='0.2'/>") +
            Element("panel",
                    "<position x='0.1' y='0.1'/>" + strSize + "<import use_parent='target'>" +
                        Element("moved", "<position x='0.1' y='0.1'/>" + strSize) +
                        "</import><import use_parent='root'>" + Element("top", "<size w='0.1' h='0.1'/>") +
                        "</import><import use_parent='nowhere'>" + Element("stays", strSize) +
                        "</import><import use_root_coordinates='1'>" + Element("rootsized", strSize) +
                        "</import><import aspect='1'>" + Element("square", "<size w='1' h='1'/>") +
                        "</import><import>" + Element("local", strSize) + "</import>") +
            "</layout>",
        1000, 600);
    CWidget* pPanel = Find(tree, "panel");
    CWidget* pTarget = Find(tree, "target");
    ASSERT_NE(pPanel, nullptr);
    ASSERT_NE(pTarget, nullptr);
    ASSERT_TRUE(HasArea(pPanel, Rect(100, 60, 600, 360)));
    struct sCASE
    {
        const char* pName;
        CWidget* pParent;
        CKorvelRect<int> expected;
    };
    const sCASE aCases[] = {
        // Sized against the panel (500 x 300), moved by the panel's top-left into the target.
        {"moved", pTarget, Rect(150, 90, 400, 240)}, {"top", tree.get(), Rect(100, 60, 150, 90)},
        {"stays", pPanel, Rect(0, 0, 250, 150)},     {"rootsized", pPanel, Rect(0, 0, 500, 300)},
        {"square", pPanel, Rect(0, 0, 300, 300)},    {"local", pPanel, Rect(0, 0, 250, 150)},
    };
    for (const sCASE& c : aCases)
    {
        CWidget* pWidget = Find(tree, c.pName);
        ASSERT_NE(pWidget, nullptr) << c.pName;
        EXPECT_EQ(pWidget->GetParent(), c.pParent) << c.pName;
        EXPECT_TRUE(HasArea(pWidget, c.expected)) << c.pName;
    }
}

namespace
{
struct sFIRED
{
    std::vector<std::string>* pLog;
    const char* pTag;
};

KE_RETVAL Fire(CWidget*, void* pContext)
{
    sFIRED* p = static_cast<sFIRED*>(pContext);
    p->pLog->push_back(p->pTag);
    return KE_OK;
}
} // namespace

TEST(CUIXMLLoader, EventsBindOnlyKnownNamesToBoundActions)
{
    CUiTestApp app;
    std::vector<std::string> log;
    sFIRED go{&log, "go"};
    CActionHandler handler;
    CActionCallbackMap actions;
    actions.Startup(&handler);
    actions.RegisterAction(S("go"), CActionCallback(Fire, &go), 0);
    sLoadOptions options;
    options.pActions = &actions;
    WidgetTree tree = LoadLayout(app,
                                 "<layout>" +
                                     Element("w", "<events><onshow action='go'/><onhide action='unbound'/>"
                                                  "<onclick action='go'/><onfoo action='go'/><onclone/>"
                                                  "<onshutdown action='go'/></events>") +
                                     "</layout>",
                                 100, 100, options);
    CWidget* pWidget = Find(tree, "w");
    ASSERT_NE(pWidget, nullptr);
    EXPECT_EQ(pWidget->GetOnShow(), actions.GetActionCallback(S("go")));
    EXPECT_TRUE(pWidget->GetOnHide().IsEmpty()) << "an unbound action changes nothing";
    EXPECT_TRUE(pWidget->GetOnClone().IsEmpty());
    EXPECT_TRUE(pWidget->GetOnStartup().IsEmpty());
    tree.reset();
    EXPECT_EQ(log, std::vector<std::string>{"go"}) << "the shutdown event fired once";

    // Without an action map nothing is bound.
    WidgetTree plain = LoadLayout(
        app, "<layout>" + Element("w", "<events><onshow action='go'/></events>") + "</layout>", 100, 100);
    EXPECT_TRUE(Find(plain, "w")->GetOnShow().IsEmpty());
}

namespace
{
// The values a slider reported to its action.
KE_RETVAL RecordSliderValue(CWidget* pSender, void* pContext)
{
    const CSlider* pSlider = widget_cast<CSlider*>(pSender);
    static_cast<std::vector<float>*>(pContext)->push_back(pSlider ? pSlider->GetValue() : -1.0f);
    return KE_OK;
}
} // namespace

TEST(CUIXMLLoader, ASliderGetsItsKnobAndRunsItsValueChangedActionWhenItsValueChanges)
{
    CUiTestApp app;
    std::vector<float> values;
    CActionHandler handler;
    CActionCallbackMap actions;
    actions.Startup(&handler);
    actions.RegisterAction(S("volume"), CActionCallback(RecordSliderValue, &values), 0);
    sLoadOptions options;
    options.pActions = &actions;
    const std::string strEvents = "<events><onvaluechanged action='volume'/></events>";
    const std::string strPlace = "<position x='0.2' y='0.5'/><size w='0.5' h='0.1'/>";
    const std::string strKnob = Element("knob_template", "<size w='0.1' h='0.1'/>");
    WidgetTree tree = LoadLayout(
        app, "<layout>" + Element("s", strEvents + strPlace + strKnob, "type='slider'") + "</layout>", 100,
        100, options);
    CSlider* pSlider = widget_cast<CSlider*>(Find(tree, "s"));
    ASSERT_NE(pSlider, nullptr);
    tree->DoUpdate(0.0f);
    ASSERT_NE(pSlider->GetKnob(), nullptr);
    EXPECT_TRUE(HasArea(pSlider->GetKnob(), Rect(0, 0, 10, 10))) << "in the slider, where it is drawn";
    pSlider->SetValue(0.25f);
    pSlider->SetValue(0.25f);
    pSlider->SetValue(2.0f);
    EXPECT_EQ(values, (std::vector<float>{0.25f, 1.0f})) << "once per change, with the new value";

    // A clone (a list row, a reloaded page) keeps the action.
    CSlider* pClone = widget_cast<CSlider*>(pSlider->Clone());
    ASSERT_NE(pClone, nullptr);
    pClone->SetValue(0.0f);
    pClone->Shutdown();
    delete pClone;
    EXPECT_EQ(values.size(), 3u);
}

TEST(CUIXMLLoader, ActionsFromTheLayoutFireTheirTriggersSoundsAndVibrations)
{
    CUiTestApp app;
    ASSERT_EQ(app.StartSound(false), KE_OK);
    ASSERT_TRUE(app.AddFiles({{"tap.wav", SineWav()}}));
    CVornDevice device;
    device.Startup(&app);
    app.m_pDevice = &device;
    std::vector<std::string> log;
    sFIRED first{&log, "first"}, later{&log, "later"}, appLevel{&log, "app"};
    CActionHandler handler;
    CActionCallbackMap actions;
    actions.Startup(&handler);
    actions.RegisterAction(S("first"), CActionCallback(Fire, &first), 0);
    actions.RegisterAction(S("later"), CActionCallback(Fire, &later), 0);
    actions.RegisterAction(S("login"), CActionCallback(Fire, &appLevel), 1);
    sLoadOptions options;
    options.pActions = &actions;
    LoadLayout(app,
               "<layout><actions>"
               "<action name='tap'><trigger action='later' time='0.5'/><trigger action='first'/>"
               "<trigger action='unknown'/><sound path='tap.wav' time='0.25'/><sound path='none.wav'/>"
               "<vibrate time='0.75'/></action>"
               "<action name='login'><trigger action='login'/></action>"
               "<action><trigger action='first'/></action>"
               "</actions></layout>",
               100, 100, options);
    ASSERT_EQ(handler.GetCount(), 2) << "an action without a name is skipped";
    CActionEntry* pTap = handler.GetAt(0);
    EXPECT_EQ(pTap->GetApplication(), &app);
    CKorvelSoundWave* pHeld = app.HaveSound(S("tap.wav"));
    ASSERT_NE(pHeld, nullptr) << "the sound was taken from the resource manager";
    // The loader's thread takes its time on a loaded machine; a hang ends at the test's limit.
    while (!app.IsSoundReady(pHeld))
    {
        app.Tick();
        IKorvelThread::Sleep(1);
    }

    actions.GetActionCallback(S("tap")).Call(static_cast<CWidget*>(nullptr));
    EXPECT_EQ(log, std::vector<std::string>{"first"});
    handler.Update(0.125f);
    EXPECT_EQ(pHeld->IsPlaying(0), 0u) << "the sound is due at 0.25 s";
    handler.Update(0.375f);
    EXPECT_NE(pHeld->IsPlaying(0), 0u);
    app.ReleaseSound(pHeld);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "later"}));
    EXPECT_EQ(pTap->IsRunning(), 1u) << "the vibration at 0.75 s is still due";
    handler.Update(0.5f);
    EXPECT_EQ(pTap->IsRunning(), 0u);

    // The action triggering its own name reaches the application-level handler.
    log.clear();
    actions.GetActionCallback(S("login")).Call(static_cast<CWidget*>(nullptr));
    EXPECT_EQ(log, std::vector<std::string>{"app"});
    handler.Shutdown();
    actions.Shutdown();
}

TEST(CUIXMLLoader, ExtraCreatorsAddNamesButNeverReplaceBuiltIns)
{
    CUiTestApp app;
    CUIXMLLoader::CreatorMap extra;
    extra.Add(CHashString("web_view"), CreateMarked);
    extra.Add(CHashString("gadget"), CreateMarked);
    sLoadOptions options;
    options.pExtraCreators = &extra;
    WidgetTree tree = LoadLayout(app,
                                 "<layout>" + Element("built_in", "", "type='web_view'") +
                                     Element("extra", "<size w='1' h='1'/>", "type='gadget'") + "</layout>",
                                 100, 100, options);
    EXPECT_EQ(Find(tree, "built_in"), nullptr) << "the built-in web view creator still drops the element";
    CWidget* pExtra = Find(tree, "extra");
    ASSERT_NE(pExtra, nullptr);
    EXPECT_EQ(pExtra->GetHighlightColor(), 0x12345678u);
    EXPECT_TRUE(HasArea(pExtra, Rect(0, 0, 100, 100)));
}

TEST(CUIXMLLoader, AReloadCarriesWidgetsOverByUniqueName)
{
    CUiTestApp app;
    CUIXMLLoader::CreatorMap extra;
    extra.Add(CHashString("kept"), CKeptWidget::Create);
    sLoadOptions options;
    options.pExtraCreators = &extra;
    const int iLiveBefore = CKeptWidget::g_iLive;
    WidgetTree first = LoadLayout(app,
                                  "<layout>" + Element("e", "", "uniquename='keep'") +
                                      Element("a", Element("a_child"), "type='kept' uniquename='keep'") +
                                      Element("b", "", "type='kept' uniquename='gone'") +
                                      Element("c", "", "uniquename='swap'") +
                                      Element("d", "", "type='kept' uniquename='swap2'") + "</layout>",
                                  100, 100, options);
    CKeptWidget* pKept = widget_cast<CKeptWidget*>(Find(first, "a"));
    ASSERT_NE(pKept, nullptr);
    pKept->m_iValue = 7;
    CWidget* pOldRoot = first.release();
    pOldRoot->SetUniqueName(S("rootkeep"));
    ASSERT_EQ(CKeptWidget::g_iLive - iLiveBefore, 3);

    CKeptWidget::g_aCandidates.clear();
    options.pOldRoot = pOldRoot;
    WidgetTree second = LoadLayout(
        app,
        "<layout>" + Element("a2", Element("a2_child"), "type='kept' uniquename='keep'") +
            Element("c2", "", "type='kept' uniquename='swap'") + Element("d2", "", "uniquename='swap2'") +
            Element("r", "", "uniquename='rootkeep'") + "</layout>",
        100, 100, options);
    CWidget* pA2 = Find(second, "a2");
    EXPECT_EQ(pA2, pKept) << "the same object";
    ASSERT_FALSE(CKeptWidget::g_aCandidates.empty());
    EXPECT_EQ(CKeptWidget::g_aCandidates[0], pKept) << "handed to its creator";
    EXPECT_EQ(pKept->m_iChildrenWhenSaved, 1) << "saved before its old children went";
    EXPECT_EQ(pKept->m_iRestored, 7);
    ASSERT_EQ(pKept->GetWidgets().GetCount(), 1);
    EXPECT_EQ(Text(pKept->GetWidgets()[0]->GetName()), "a2_child") << "new children only";
    // The tree is taken apart from the last child up: the earlier "e" of the same unique name
    // was not kept.
    EXPECT_EQ(Find(second, "e"), nullptr);

    // A unique name reused by another type gives a widget of the new element's class.
    EXPECT_NE(widget_cast<CKeptWidget*>(Find(second, "c2")), nullptr);
    CWidget* pD2 = Find(second, "d2");
    ASSERT_NE(pD2, nullptr);
    EXPECT_EQ(widget_cast<CKeptWidget*>(pD2), nullptr);
    EXPECT_NE(Find(second, "r"), pOldRoot) << "the old root is never kept";
    EXPECT_EQ(CKeptWidget::g_iLive - iLiveBefore, 2) << "a and the new c2: b and d were deleted";
    second.reset();
    EXPECT_EQ(CKeptWidget::g_iLive, iLiveBefore);
}
