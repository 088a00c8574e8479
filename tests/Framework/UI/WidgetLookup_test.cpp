#include "Framework/UI/Widget.h"
#include "tests/Framework/UI/WidgetProbe.h"

#include <gtest/gtest.h>
#include <memory>
#include <typeinfo>

namespace
{
typedef CKorvelRect<int> Rect;

KE_RETVAL LogCopyCallback(CWidget* pWidget, void* pContext)
{
    char aName[128];
    pWidget->GetName().MakeAnsi(aName);
    static_cast<WidgetLog*>(pContext)->push_back(std::string("copy:") + aName);
    return KE_OK;
}

// A widget of another run-time type, for shape checks.
class CSliderTyped : public CProbeWidget
{
public:
    using CProbeWidget::CProbeWidget;
    const CWidgetType& GetType() const override { return CWidgetTypeInfo<CSlider>::GetType(); }
};

// A class that does not override New: copies are made as its base class.
class CNoNew : public CProbeWidget
{
public:
    using CProbeWidget::CProbeWidget;
};

class CWidgetLookup : public ::testing::Test
{
protected:
    void SetUp() override { CWidget::SetActiveWidget(nullptr); }
    void TearDown() override
    {
        m_pRoot.reset();
        EXPECT_EQ(CProbeWidget::s_iLive, 0);
    }
    CProbeWidget* Add(const char* pName, CWidget* pParent)
    {
        return CProbeWidget::Make(&m_Log, pName, Rect(0, 0, 10, 10), pParent);
    }
    std::string Name(const CWidget* p) const
    {
        if (!p)
            return "null";
        char aName[128];
        p->GetName().MakeAnsi(aName);
        return aName;
    }
    // root: loading_dialog(box(text_title, dup, dup2), dup2), page_root(panel(button_agree, me), dup),
    //       a(b(c), x), x, "end/"
    void BuildTree()
    {
        m_pRoot.reset(Add("root", nullptr));
        CWidget* pDialog = Add("loading_dialog", m_pRoot.get());
        CWidget* pBox = Add("box", pDialog);
        Add("text_title", pBox);
        Add("dup", pBox);
        Add("dup2", pBox)->SetData(this);
        Add("dup2", pDialog);
        CWidget* pPageRoot = Add("page_root", m_pRoot.get());
        CWidget* pPanel = Add("panel", pPageRoot);
        Add("button_agree", pPanel);
        m_pMe = Add("me", pPanel);
        Add("dup", pPageRoot);
        CWidget* pA = Add("a", m_pRoot.get());
        m_pB = Add("b", pA);
        m_pC = Add("c", m_pB);
        m_pInnerX = Add("x", pA);
        Add("x", m_pRoot.get());
        Add("end/", m_pRoot.get());
    }

    WidgetLog m_Log;
    std::unique_ptr<CWidget, sTreeDeleter> m_pRoot;
    CWidget* m_pMe = nullptr;
    CWidget* m_pB = nullptr;
    CWidget* m_pC = nullptr;
    CWidget* m_pInnerX = nullptr;
};
} // namespace

TEST_F(CWidgetLookup, FindByNameAndDepth)
{
    BuildTree();
    CWidget* pRoot = m_pRoot.get();
    struct
    {
        const char* pName;
        int iDepth;
        const char* pExpected; // name of the found widget's parent, or "null"
    } aCases[] = {
        {"b", 0, "null"},
        {"b", 1, "a"},
        {"c", 1, "null"},
        {"c", 2, "b"},
        {"c", -1, "b"},
        {"c", -7, "b"},
        {"x", -1, "root"},  // a direct child wins over a deeper match in an earlier branch
        {"dup", -1, "box"}, // the first branch is searched to the bottom before the next
        {"dup2", -1, "loading_dialog"},
        {"X", -1, "null"}, // names compare exactly
    };
    for (const auto& c : aCases)
    {
        CWidget* pFound = pRoot->FindWidget(CKorvelString(c.pName), c.iDepth);
        EXPECT_EQ(pFound ? Name(pFound->GetParent()) : "null", c.pExpected) << c.pName << " " << c.iDepth;
    }
}

TEST_F(CWidgetLookup, FindByPath)
{
    BuildTree();
    CWidget* pRoot = m_pRoot.get();
    CWidget* pA = m_pB->GetParent();
    struct
    {
        CWidget* pStart;
        const char* pPath;
        std::string strExpected; // "parent/name" of the result, or "null"
    } aCases[] = {
        {pRoot, "", "-/root"},
        {pRoot, "//loading_dialog//text_title", "box/text_title"},
        {m_pMe, "<page_root//button_agree", "panel/button_agree"},
        {m_pMe, "<nowhere//button_agree", "null"},
        {m_pMe, "<me", "null"},                                 // ancestors only, starting at the parent
        {pRoot, "loading_dialog/text_title", "box/text_title"}, // a first or "/" step searches two levels
        {pRoot, "a/b/c", "b/c"},
        {pRoot, "a/zzz/c", "null"},
        {pRoot, "end/", "root/end/"}, // a separator at the very end belongs to the name
        {pRoot, "a//", "null"},       // "/" then the name "/"
        {pRoot, "///a", "null"},      // "//" with an empty name
        {pRoot, ".", "-/root"},
        {m_pB, "..", "root/a"},
        {pRoot, "..", "null"},
        {pRoot, "a/b/..", "root/a"},
        {pRoot, "a/./b", "a/b"},
        {pA, "..//x", "root/x"},
        {pA, "/b", "a/b"}, // a leading "/" with a name starts at the current widget
        {m_pC, "/a", "null"},
        {m_pC, "<a/x", "a/x"},
        {m_pC, "<a//.", "root/a"},
    };
    for (const auto& c : aCases)
    {
        CWidget* pFound = c.pStart->FindWidgetByPath(CKorvelString(c.pPath));
        std::string strGot = "null";
        if (pFound)
            strGot = (pFound->GetParent() ? Name(pFound->GetParent()) : "-") + "/" + Name(pFound);
        EXPECT_EQ(strGot, c.strExpected) << c.pPath;
    }
}

TEST_F(CWidgetLookup, CloneCallsEveryCallbackChildrenFirst)
{
    m_pRoot.reset(Add("top", nullptr));
    CWidget* pX = Add("x", m_pRoot.get());
    Add("y", pX);
    Add("z", m_pRoot.get());
    for (CWidget* p : {m_pRoot.get(), pX, pX->GetWidgets()[0], m_pRoot->GetWidgets()[1]})
    {
        p->SetOnClone(CActionCallback(LogCallback, &m_Log));
        p->SetOnCloned(CActionCallback(LogCopyCallback, &m_Log));
    }
    m_Log.clear();

    std::unique_ptr<CWidget, sTreeDeleter> pCopy(m_pRoot->Clone());
    WidgetLog log;
    for (const std::string& s : m_Log)
        if (s.compare(0, 3, "cb:") == 0 || s.compare(0, 5, "copy:") == 0)
            log.push_back(s);
    EXPECT_EQ(log, (WidgetLog{"cb:top", "cb:x", "cb:y", "copy:y", "copy:x", "cb:z", "copy:z", "copy:top"}));
    ASSERT_EQ(pCopy->GetWidgets().GetCount(), 2);
    EXPECT_EQ(Name(pCopy->FindWidgetByPath(CKorvelString("x/y"))), "y");
    EXPECT_NE(pCopy->GetWidgets()[0], pX);
    EXPECT_EQ(pCopy->GetWidgets()[0]->GetParent(), pCopy.get());
}

TEST_F(CWidgetLookup, InitializeCloneCopiesStateButNotIdentity)
{
    m_pRoot.reset(Add("src", nullptr));
    CWidget* pSource = m_pRoot.get();
    pSource->SetArea(Rect(5, 6, 70, 80));
    pSource->SetEnabled(0);
    pSource->SetTransparent(1);
    pSource->SetIgnoreChildren(1);
    pSource->SetData(&m_Log);
    pSource->SetBlendColor(0x80112233);
    pSource->SetHighlightColor(0x40445566);
    pSource->SetUniqueName(CKorvelString("only_once"));
    const CActionCallback cb(LogCallback, &m_Log);
    pSource->SetOnShow(cb);
    pSource->SetOnHide(cb);
    pSource->SetOnStartup(cb);
    pSource->SetOnShutdown(cb);
    pSource->SetVisible(0);

    std::unique_ptr<CWidget, sTreeDeleter> pCopy(pSource->Clone());
    EXPECT_TRUE(SameRect(pCopy->GetArea(), Rect(5, 6, 70, 80)));
    EXPECT_EQ(pCopy->GetVisible(), 0u);
    EXPECT_EQ(pCopy->GetEnabled(), 0u);
    EXPECT_EQ(pCopy->GetTransparent(), 1u);
    EXPECT_EQ(pCopy->GetIgnoreChildren(), 1u);
    EXPECT_EQ(Name(pCopy.get()), "src");
    EXPECT_EQ(pCopy->GetData(), &m_Log);
    EXPECT_EQ(pCopy->GetBlendColor(), 0x80112233u);
    EXPECT_EQ(pCopy->GetHighlightColor(), 0x40445566u);
    EXPECT_TRUE(pCopy->GetOnShow() == cb && pCopy->GetOnHide() == cb && pCopy->GetOnStartup() == cb &&
                pCopy->GetOnShutdown() == cb);
    EXPECT_EQ(pCopy->GetUniqueName(), nullptr);
    ASSERT_NE(pSource->GetUniqueName(), nullptr);
    pSource->SetUniqueName(CKorvelString("second"));
    EXPECT_EQ(pSource->GetUniqueName()->GetText().Compare(CKorvelString("only_once")), 0);
    pCopy->SetUniqueName(CKorvelString(""));
    EXPECT_EQ(pCopy->GetUniqueName(), nullptr);

    // A class without its own New is copied as its nearest base class that has one.
    CNoNew* pPlain = new CNoNew(&m_Log, "plain");
    pPlain->Startup(nullptr, nullptr, Rect());
    pSource->AddWidget(pPlain);
    std::unique_ptr<CWidget, sTreeDeleter> pSecond(pSource->Clone());
    EXPECT_EQ(typeid(*pSecond->GetWidgets()[0]), typeid(CProbeWidget));
}

TEST_F(CWidgetLookup, DeepInitializeCloneStopsAtTheFirstMismatch)
{
    // source: s(s1(ss1, ss2)); target: t(t1(tt1)) differs in the child count one level down.
    m_pRoot.reset(Add("s", nullptr));
    CWidget* pS1 = Add("s1", m_pRoot.get());
    Add("ss1", pS1);
    Add("ss2", pS1);
    std::unique_ptr<CWidget, sTreeDeleter> pTarget(Add("t", nullptr));
    CWidget* pT1 = Add("t1", pTarget.get());
    CWidget* pTT1 = Add("tt1", pT1);
    EXPECT_EQ(CWidget::deepInitializeClone(*pTarget, *m_pRoot), 0u);
    EXPECT_EQ(Name(pTarget.get()), "s");
    EXPECT_EQ(Name(pT1), "s1");
    EXPECT_EQ(Name(pTT1), "tt1");

    // Same shape: every level is re-initialised.
    Add("tt2", pT1);
    EXPECT_EQ(CWidget::deepInitializeClone(*pTarget, *m_pRoot), 1u);
    EXPECT_EQ(Name(pT1->GetWidgets()[1]), "ss2");

    // Another type one level down: that level is left alone.
    CSliderTyped* pOther = new CSliderTyped(&m_Log, "other");
    pOther->Startup(nullptr, nullptr, Rect());
    pOther->SetName(CKorvelString("other"));
    pTarget->InsertWidget(pOther, 0);
    m_pRoot->InsertWidget(Add("plain", nullptr), 0);
    m_pRoot->SetName(CKorvelString("s_again"));
    EXPECT_EQ(CWidget::deepInitializeClone(*pTarget, *m_pRoot), 0u);
    EXPECT_EQ(Name(pTarget.get()), "s_again");
    EXPECT_EQ(Name(pOther), "other");
}

TEST_F(CWidgetLookup, ExtractTemplate)
{
    m_pRoot.reset(Add("list", nullptr));
    CWidget* pBare = Add("bare_template", m_pRoot.get());
    CWidget* pHolder = Add("item_template", m_pRoot.get());
    CWidget* pRow = Add("row", pHolder);
    Add("extra", pHolder);
    CWidget* pDeepHolder = Add("deep_template", Add("inner", Add("group", m_pRoot.get())));
    CWidget* pDeepRow = Add("deep_row", pDeepHolder);
    ASSERT_EQ(CProbeWidget::s_iLive, 9);

    std::unique_ptr<CWidget, sTreeDeleter> pA(m_pRoot->ExtractTemplate(CKorvelString("bare_template")));
    EXPECT_EQ(pA.get(), pBare);
    EXPECT_EQ(pBare->GetParent(), nullptr);

    // A holder gives its first child; the holder and its other children go.
    std::unique_ptr<CWidget, sTreeDeleter> pB(m_pRoot->ExtractTemplate(CKorvelString("item_template")));
    EXPECT_EQ(pB.get(), pRow);
    EXPECT_EQ(pRow->GetParent(), nullptr);
    EXPECT_EQ(CProbeWidget::s_iLive, 7);

    // A template deeper down leaves its own parent's list too.
    std::unique_ptr<CWidget, sTreeDeleter> pC(m_pRoot->ExtractTemplate(CKorvelString("deep_template")));
    EXPECT_EQ(pC.get(), pDeepRow);
    EXPECT_EQ(m_pRoot->FindWidget(CKorvelString("deep_template"), -1), nullptr);
    EXPECT_EQ(m_pRoot->FindWidgetByPath(CKorvelString("group/inner"))->GetWidgets().GetCount(), 0);
    EXPECT_EQ(CProbeWidget::s_iLive, 6);
    EXPECT_EQ(m_pRoot->GetWidgets().GetCount(), 1);

    EXPECT_EQ(m_pRoot->ExtractTemplate(CKorvelString("missing")), nullptr);
}
