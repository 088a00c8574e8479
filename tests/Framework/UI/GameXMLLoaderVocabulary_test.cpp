// The complete element vocabulary: every element name of the creator table makes its class,
// the elements of pages and content widgets carry their attributes into their fields, and a
// layout using every element type is loaded and drawn on the headless GL screen.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <GLES2/gl2.h>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/FrameWidget.h"
#include "Framework/UI/GameXMLLoader.h"
#include "Framework/UI/GradientWidget.h"
#include "Framework/UI/PageButton.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/PieWidget.h"
#include "Framework/UI/ProgressBar.h"
#include "Framework/UI/RotatingImageWidget.h"
#include "Framework/UI/Slider.h"
#include "Framework/UI/Theme.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "support/GlTestContext.h"
#include "tests/Framework/Shell/ResourceTestMedia.h"
#include "tests/Framework/UI/UiLoaderTest.h"

namespace vocabulary_test
{
// A w x h PNG whose RGBA pixels come from the function.
std::string PatternPng(int w, int h, const std::function<uint32_t(int, int)>& rgba)
{
    std::vector<uint8_t> aBytes;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c)
                aBytes.push_back(static_cast<uint8_t>(rgba(x, y) >> (24 - 8 * c)));
    CTestTempDir dir;
    WriteTestPng(dir.File("p.png"), w, h, aBytes);
    return ResourceBytes(ReadTestFile(dir.File("p.png")));
}

// The pictures of the layouts: solid sheets, a 3 x 3 border sheet with red corners and green
// edges around a clear middle, and a mask clear in its middle only.
TestPackItems Pictures()
{
    auto middle = [](int x, int y) { return x >= 10 && x < 20 && y >= 10 && y < 20; };
    auto corner = [](int x, int y) { return (x < 10 || x >= 20) && (y < 10 || y >= 20); };
    return {
        {"red.png", SolidPng(16, 16, 0xFF0000FFu)},
        {"blue.png", SolidPng(16, 16, 0x0000FFFFu)},
        {"yellow.png", SolidPng(16, 16, 0xFFFF00FFu)},
        {"grey.png", SolidPng(16, 16, 0x808080FFu)},
        {"sheet.png", SolidPng(8, 4)},
        {"border.png", PatternPng(30, 30,
                                  [&](int x, int y) {
                                      return middle(x, y) ? 0u : (corner(x, y) ? 0xFF0000FFu : 0x00FF00FFu);
                                  })},
        {"mask.png", PatternPng(30, 30, [&](int x, int y) { return middle(x, y) ? 0u : 0xFFFFFFFFu; })},
    };
}

class CUIXMLLoaderCreators : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_App.m_iStarted, KE_OK);
        ASSERT_TRUE(m_App.AddFiles(Pictures()));
        m_Theme.AddColorConfig({S("brand"), 0x11223344});
        m_App.m_pTheme = &m_Theme;
    }
    WidgetTree Load(const std::string& strType, const std::string& strInner, const std::string& strAttrs = "")
    {
        return LoadLayout(m_App,
                          "<layout><element name='e' type='" + strType + "' " + strAttrs + ">" + strInner +
                              "</element></layout>",
                          800, 600);
    }
    template <class T> T* Loaded(const WidgetTree& tree)
    {
        CWidget* pWidget = Find(tree, "e");
        EXPECT_TRUE(pWidget && pWidget->GetType() == CWidgetTypeInfo<T>::GetType());
        return widget_cast<T*>(pWidget);
    }
    CKorvelSurface* Picture(const char* pName)
    {
        CKorvelSurface* p = m_App.HaveSurface(S(pName));
        CKorvelSurface* pCopy = p;
        m_App.ReleaseSurface(pCopy);
        return p;
    }

    CUiTestApp m_App{1024, 600, true};
    CVornTheme m_Theme;
};

TEST_F(CUIXMLLoaderCreators, EveryElementNameOfTheTableMakesItsClass)
{
    // In table order; the class's type name, or null where nothing is made.
    const std::pair<const char*, const char*> aTable[] = {
        {"button", "button"},
        {"toggle_button", "toggle_button"},
        {"image", "image"},
        {"gradient", "gradient"},
        {"text", "text_widget"},
        {"page_layout", "page_layout"},
        {"page_button", "page_button"},
        {"slidearea", "slide_area"},
        {"grid_layout", "grid_layout"},
        {"divider_layout", "divider"},
        {"ratio_layout", "ratio_divider_layout"},
        {"aspect_layout", "aspect_layout"},
        {"anchor_layout", "alignment"},
        {"expand_layout", "expandable"},
        {"frame", "frame"},
        {"infinite_list", "infinite_list"},
        {"running_list", "running_list"},
        {"web_button", "web_button"},
        {"slider", "slider"},
        {"progressbar", "progressbar"},
        {"web_view", nullptr},
        {"pie", "pie"},
        {"rotating_image", "rotating_image"},
        {"bubble", "bubble"},
    };
    CUIXMLLoader loader;
    ASSERT_EQ(loader.Startup(m_App, nullptr, nullptr, nullptr, nullptr, nullptr), KE_OK);
    EXPECT_EQ(loader.GetCreators().GetCount(), 24);
    for (const auto& row : aTable)
    {
        EXPECT_GE(loader.GetCreators().Find(CHashString(row.first)), 0) << row.first;
        WidgetTree tree = Load(row.first, "");
        CWidget* pWidget = Find(tree, "e");
        if (!row.second)
        {
            EXPECT_EQ(pWidget, nullptr) << row.first;
            continue;
        }
        ASSERT_NE(pWidget, nullptr) << row.first;
        EXPECT_EQ(Text(pWidget->GetType().GetName().GetText()), row.second) << row.first;
    }
    WidgetTree root(loader.GetRootWidget());
    loader.Shutdown();
}

TEST_F(CUIXMLLoaderCreators, GradientElementsSetModeRadiusColoursAndImage)
{
    WidgetTree tree = Load("gradient", "<dir value='horizontal'/><radius value='2.5'/>"
                                       "<colors color1='brand' color2='00ff00'/><image path='sheet.png'/>");
    CGradientWidget* p = Loaded<CGradientWidget>(tree);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetDrawFlags() & CGradientWidget::MODE_MASK, CGradientWidget::MODE_HORIZONTAL);
    EXPECT_EQ(p->GetRadius(), 2.5f);
    EXPECT_EQ(p->GetColor1(), 0xFF223344u) << "theme colour, made opaque";
    EXPECT_EQ(p->GetColor2(), 0xFF00FF00u);
    EXPECT_EQ(p->GetImage(), Picture("sheet.png"));
    EXPECT_EQ(p->GetTransparent(), 1u);

    WidgetTree plain = Load("gradient", "<dir value='sideways'/><radius value='0'/><colors color1='zz'/>");
    CGradientWidget* q = Loaded<CGradientWidget>(plain);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->GetDrawFlags() & CGradientWidget::MODE_MASK, CGradientWidget::MODE_VERTICAL);
    EXPECT_EQ(q->GetRadius(), 1.0f);
    EXPECT_EQ(q->GetColor1(), 0xFFFFFFFFu) << "a colour that does not parse changes nothing";
}

TEST_F(CUIXMLLoaderCreators, PageLayoutsTakeTransitionsOnlyWithAHistory)
{
    struct sCASE
    {
        const char* pWhat;
        const char* pInner;
        int iLimit;
        bool bIn, bOut;
    };
    const sCASE aCases[] = {
        {"history of 5", "<history max-size='5'/><transition type='in'/><transition type='out'/>", 5, true,
         true},
        {"history of 0", "<history max-size='0'/><transition type='in'/><transition type='out'/>", 0, false,
         false},
        {"no history", "<transition type='in'/><transition type='out'/>", 0, false, false},
        {"only in", "<history max-size='2'/><transition type='in'/>", 2, true, false},
        {"first without a type", "<history max-size='2'/><transition/><transition type='in'/>", 2, false,
         false},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pWhat);
        WidgetTree tree = Load("page_layout", c.pInner);
        CPageView* p = Loaded<CPageView>(tree);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->GetHistoryLimit(), c.iLimit);
        EXPECT_EQ(p->GetTransition(CTransition::TYPE_IN) != nullptr, c.bIn);
        EXPECT_EQ(p->GetTransition(CTransition::TYPE_OUT) != nullptr, c.bOut);
        EXPECT_EQ(p->GetTransparent(), 1u);
        EXPECT_EQ(Text(p->GetBackPrefix()), ":back");
    }
}

TEST_F(CUIXMLLoaderCreators, TransitionsReadDirectionDurationMovingAndCurves)
{
    WidgetTree tree =
        Load("page_layout", "<history max-size='3'/>"
                            "<transition type='out' direction='sideways'/>"
                            "<transition type='in' direction='left' duration='0.3' move_other='1'>"
                            "<easing_out curve='pow2'/></transition>");
    CPageView* p = Loaded<CPageView>(tree);
    ASSERT_NE(p, nullptr);
    CTransition* pIn = p->GetTransition(CTransition::TYPE_IN);
    CTransition* pOut = p->GetTransition(CTransition::TYPE_OUT);
    ASSERT_TRUE(pIn && pOut);
    EXPECT_EQ(pIn->GetDirection(), CTransition::DIRECTION_LEFT);
    EXPECT_FLOAT_EQ(pIn->GetDuration(), 0.3f);
    EXPECT_EQ(pIn->GetMoveOther(), 1u);
    EXPECT_FLOAT_EQ(pIn->GetEasingIn()->Easing(0.5f), 0.5f) << "missing: linear";
    EXPECT_FLOAT_EQ(pIn->GetEasingOut()->Easing(0.5f), 0.25f);
    EXPECT_EQ(pOut->GetDirection(), CTransition::DIRECTION_NONE) << "a word outside the list";
    EXPECT_EQ(pOut->GetDuration(), 0.0f);
    EXPECT_EQ(pOut->GetMoveOther(), 0u);
    EXPECT_EQ(pIn->GetRunning() + pOut->GetRunning(), 0u);
    static const char* const s_apWords[] = {"up", "down", "right", "left", "center"};
    for (int i = 0; i < 5; ++i)
    {
        WidgetTree one =
            Load("page_layout", std::string("<history max-size='1'/><transition type='in' direction='") +
                                    s_apWords[i] + "'/>");
        CPageView* q = Loaded<CPageView>(one);
        ASSERT_TRUE(q && q->GetTransition(CTransition::TYPE_IN));
        EXPECT_EQ(q->GetTransition(CTransition::TYPE_IN)->GetDirection(), i) << s_apWords[i];
    }
}

TEST_F(CUIXMLLoaderCreators, ContentElementsFillTheirWidgets)
{
    WidgetTree button = Load("page_button", "<target name='&lt;menu_root/view' page='p1'/>");
    CPageButton* pButton = Loaded<CPageButton>(button);
    ASSERT_NE(pButton, nullptr);
    EXPECT_EQ(Text(pButton->GetPageViewPath()), "<menu_root/view");
    EXPECT_EQ(Text(pButton->GetPagePath()), "p1");
    EXPECT_EQ(pButton->GetTransparent(), 0u);

    WidgetTree slider = Load("slider", "", "min-value='10' max-value='20' value='12'");
    CSlider* pSlider = Loaded<CSlider>(slider);
    ASSERT_NE(pSlider, nullptr);
    EXPECT_FLOAT_EQ(pSlider->GetValue(), 12.0f);
    EXPECT_FLOAT_EQ(pSlider->GetMinValue(), 10.0f);
    EXPECT_EQ(pSlider->GetTransparent(), 0u);

    WidgetTree bar = Load("progressbar", "<background path='grey.png'/><progress path='red.png'/>"
                                         "<progresslow path='blue.png'/><progresslowlimit value='0.3'/>"
                                         "<side value='7'/>");
    CProgressBar* pBar = Loaded<CProgressBar>(bar);
    ASSERT_NE(pBar, nullptr);
    EXPECT_EQ(pBar->GetImage(), Picture("grey.png"));
    EXPECT_EQ(pBar->GetProgressImage(), Picture("red.png"));
    EXPECT_EQ(pBar->GetProgressLowImage(), Picture("blue.png"));
    EXPECT_FLOAT_EQ(pBar->GetProgressLowLimit(), 0.3f);
    EXPECT_EQ(pBar->GetSide(), CProgressBar::SIDE_BOTTOM);

    WidgetTree pie = Load("pie", "<color value='ff0000'/><segments value='3'/><angle value='1.5'/>");
    CPieWidget* pPie = Loaded<CPieWidget>(pie);
    ASSERT_NE(pPie, nullptr);
    EXPECT_EQ(pPie->GetColor(), 0xFFFF0000u);
    EXPECT_EQ(pPie->GetSegments(), 6);
    EXPECT_FLOAT_EQ(pPie->GetAngle(), 1.5f);

    WidgetTree spinner = Load("rotating_image", "<image path='red.png'/><blend_color value='brand'/>"
                                                "<rotation speed='2' angle='0.5' steps='8'/>");
    CRotatingImageWidget* pSpinner = Loaded<CRotatingImageWidget>(spinner);
    ASSERT_NE(pSpinner, nullptr);
    EXPECT_EQ(pSpinner->GetImage(), Picture("red.png"));
    EXPECT_EQ(pSpinner->GetBlendColor(), 0x11223344u);
    EXPECT_FLOAT_EQ(pSpinner->GetRotationSpeed(), 2.0f);
    EXPECT_FLOAT_EQ(pSpinner->GetRotationAngle(), 0.5f);
    EXPECT_EQ(pSpinner->GetRotationSteps(), 8);
}

TEST_F(CUIXMLLoaderCreators, FramesTakeAnImageOrAMadeRadialBackground)
{
    WidgetTree framed =
        Load("frame", "<background_image path='blue.png'/><background_gradient color1='ffffff'/>"
                      "<mask_image path='mask.png'/><border_image path='border.png' frames_x='3' "
                      "frames_y='3'/>");
    CFrameWidget* p = Loaded<CFrameWidget>(framed);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetImage(), Picture("blue.png"));
    EXPECT_EQ(p->GetMask(), Picture("mask.png"));
    EXPECT_EQ(p->GetBorder(), Picture("border.png"));
    EXPECT_EQ(p->GetBorder()->GetSubFrameWidth(), 10);
    EXPECT_EQ(p->GetTransparent(), 1u);

    // Colours that do not parse are 0; colour 2 comes first in the name.
    WidgetTree radial = Load("frame", "<background_gradient radius='0.5' color1='ffffff' color2='zz'/>");
    CFrameWidget* q = Loaded<CFrameWidget>(radial);
    ASSERT_NE(q, nullptr);
    ASSERT_NE(q->GetImage(), nullptr);
    EXPECT_EQ(q->GetImage(), Picture("radial_gradient_00000000_00ffffff"));
    EXPECT_EQ(q->GetImage()->GetWidth(), 64);
    EXPECT_NE(q->GetImage()->GetTexture(), 0u) << "mirrored into a texture";
    EXPECT_EQ(q->GetMask(), nullptr);
}

// ---- the whole vocabulary on the GL screen

// One cell of a 5 x 5 grid over the reference area.
std::string Cell(int iColumn, int iRow, float fWidth = 0.18f, float fHeight = 0.15f)
{
    char aText[160];
    std::snprintf(aText, sizeof(aText), "<position x='%.2f' y='%.2f'/><size w='%.2f' h='%.2f'/>",
                  0.01 + 0.2 * iColumn, 0.02 + 0.2 * iRow, static_cast<double>(fWidth),
                  static_cast<double>(fHeight));
    return aText;
}

std::string Element(const char* pName, const char* pType, int iColumn, int iRow, const std::string& strInner)
{
    return std::string("<element name='") + pName + "' type='" + pType + "'>" + Cell(iColumn, iRow) +
           strInner + "</element>";
}

// Every element type, one to a cell.
std::string AllTypesLayout()
{
    const std::string strRed = "<image path='red.png'/>";
    const std::string strChild =
        "<element name='child' type='image'><size w='0.05' h='0.05'/>" + strRed + "</element>";
    std::string s;
    s += Element("button", "button", 0, 0, strRed);
    s += Element("toggle", "toggle_button", 1, 0, "<image path='blue.png'/>");
    s += Element("image", "image", 2, 0, "<image path='yellow.png'/>");
    s += Element("gradient", "gradient", 3, 0, "<colors color1='accent' color2='panel'/>");
    s += Element("text", "text", 4, 0, "<text value='Vocabulary' color='ffffff'/>");
    s += "<element name='menu_root'>" + Cell(0, 1) +
         "<element name='view' type='page_layout'><size w='0.18' h='0.15'/><history max-size='4'/>"
         "<transition type='in' direction='right' duration='0.3'/>"
         "<element name='p0' type='image'><size w='0.18' h='0.15'/><image path='grey.png'/></element>"
         "<element name='p1' type='image'><size w='0.18' h='0.15'/><image path='blue.png'/></element>"
         "</element></element>";
    s += Element("page_button", "page_button", 1, 1,
                 "<image path='yellow.png'/><target name='../menu_root/view' page='p1'/>");
    s += Element("slidearea", "slidearea", 2, 1, strChild);
    s += Element("grid", "grid_layout", 3, 1, strChild + strChild);
    s += Element("divider", "divider_layout", 4, 1, strChild + strChild);
    s += Element("ratio", "ratio_layout", 0, 2, strChild + strChild);
    s += Element("aspect", "aspect_layout", 1, 2, strChild);
    s += Element("anchor", "anchor_layout", 2, 2, strChild);
    s += Element("expand", "expand_layout", 3, 2, "<width value='0.1'/><height value='0.1'/>" + strRed);
    s += Element(
        "frame", "frame", 4, 2,
        "<background_gradient radius='0.7' color1='ffffff' color2='0000ff'/><mask_image path='mask.png'/>"
        "<border_image path='border.png' frames_x='3' frames_y='3'/>");
    s += Element("infinite", "infinite_list", 0, 3, "");
    s += Element("running", "running_list", 1, 3, "");
    s += Element("web", "web_button", 2, 3, "<image path='grey.png'/><target url='http://localhost/'/>");
    // Templates keep their place relative to their parent's corner: the slider sits at its box's.
    s += "<element name='slider_box'>" + Cell(3, 3) +
         "<element name='slider' type='slider'><size w='0.18' h='0.15'/>"
         "<element name='knob_template' type='image'><size w='0.03' h='0.15'/>" +
         strRed + "</element></element></element>";
    s += Element("progress", "progressbar", 4, 3,
                 "<background path='grey.png'/><progress path='blue.png'/><side value='0'/>");
    s += Element("webview", "web_view", 0, 4, strChild);
    s += Element("pie", "pie", 1, 4, "<color value='accent'/><angle value='3.1416'/>");
    s += Element("spinner", "rotating_image", 2, 4,
                 "<image path='yellow.png'/><rotation speed='1' steps='4'/>");
    s += Element("bubble", "bubble", 3, 4, "<image path='grey.png'/><arrow value='left-up'/>");
    return "<menu><area width='1024' height='600' name='wide'>" + s +
           "</area><area width='600' height='1024' name='tall'><element name='only'/></area></menu>";
}

uint64_t Fnv1a(const std::vector<uint8_t>& aBytes)
{
    uint64_t h = 14695981039346656037ull;
    for (uint8_t b : aBytes)
    {
        h ^= b;
        h *= 1099511628211ull;
    }
    return h;
}

// The FNV-1a hash (64 bits) of the 1024 x 600 RGBA read-back below, on Debian's Mesa
// (llvmpipe). Another Mesa may round differently. To regenerate: run this test, look at
// the picture it writes when KORVEL_VOCABULARY_PPM names a file, and when it is right,
// put the hash that the failure reports here.
const uint64_t GOLDEN_HASH = 0x81360cc0baa6d813ull;

TEST(CGameXMLLoaderVocabulary, TheWholeVocabularyIsDrawnOnGl)
{
    CUiTestApp app(1024, 600, true);
    ASSERT_EQ(app.m_iStarted, KE_OK);
    ASSERT_TRUE(app.AddFiles(Pictures()));
    ASSERT_TRUE(app.AddFiles({{"vocabulary.xml", AllTypesLayout()}}));
    ASSERT_TRUE(WriteTestFile(
        app.AppFile("vorntheme_vocabulary.kmp"),
        TestPackBytes(
            {{"/theme_vocabulary.xml", Quoted("<theme><config type='color'><color id='panel' value='203040'/>"
                                              "<color id='accent' value='ff00ff'/></config></theme>")}})));
    CVornTheme theme;
    ASSERT_EQ(theme.Startup(&app, S("vocabulary")), KE_OK);
    app.m_pTheme = &theme;

    CGameXMLLoader loader;
    ASSERT_EQ(loader.Startup(app, nullptr, nullptr), KE_OK);
    ASSERT_EQ(loader.LoadFromFile(S("vocabulary.xml")), KE_OK);
    EXPECT_EQ(loader.GetAreas().GetCount(), 2);
    EXPECT_NE(loader.FindAreaDescription(600, 1024), nullptr);
    WidgetTree root(loader.GetAreaWidget(1024, 600, nullptr));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Find(root, "webview"), nullptr);
    CPageButton* pPageButton = widget_cast<CPageButton*>(Find(root, "page_button"));
    ASSERT_NE(pPageButton, nullptr);
    for (int i = 0; i < 10; ++i)
    {
        if (i == 2)
            pPageButton->click();
        root->DoUpdate(0.1f);
    }
    EXPECT_NE(pPageButton->GetPageView(), nullptr);
    EXPECT_EQ(pPageButton->GetToggled(), 1u);
    EXPECT_NE(static_cast<CFrameWidget*>(Find(root, "frame"))->GetShader(), nullptr);

    IKorvelGraphicsContext* pBack = app.GetBack();
    pBack->Fill(0xFF000000u, static_cast<const CKorvelRect<int>*>(nullptr));
    ASSERT_EQ(root->DoDraw(pBack), KE_OK);
    std::vector<uint8_t> aPixels(size_t{1024} * 600 * 4);
    glReadPixels(0, 0, 1024, 600, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
    if (const char* pDump = std::getenv("KORVEL_VOCABULARY_PPM"))
    {
        std::string strPpm = "P6\n1024 600\n255\n";
        for (int y = 599; y >= 0; --y)
            for (int x = 0; x < 1024; ++x)
                strPpm.append(reinterpret_cast<const char*>(&aPixels[(size_t(y) * 1024 + x) * 4]), 3);
        WriteTestFile(pDump, strPpm);
    }

    // Probes: where a mismatch lies. Cells are 184 x 90 pixels at (10 + 205 c, 12 + 120 r).
    auto at = [](int c, int r, int dx, int dy)
    { return ReadGlPixel(10 + 205 * c + dx, 12 + 120 * r + dy, 600); };
    EXPECT_GT(PixelR(at(0, 0, 90, 45)), 200) << "the button's red image";
    EXPECT_LT(PixelG(at(0, 0, 90, 45)), 40);
    bool bText = false;
    for (int x = 0; x < 184 && !bText; ++x)
        for (int y = 0; y < 90 && !bText; ++y)
            bText =
                PixelR(at(4, 0, x, y)) > 200 && PixelG(at(4, 0, x, y)) > 200 && PixelB(at(4, 0, x, y)) > 200;
    EXPECT_TRUE(bText) << "the text line in white";
    EXPECT_GT(PixelR(at(4, 2, 4, 4)), 200) << "the frame's red corner";
    EXPECT_GT(PixelG(at(4, 2, 90, 4)), 200) << "the frame's green edge";
    EXPECT_GT(PixelB(at(0, 1, 90, 45)), 200) << "the page view shows the page the button chose";
    EXPECT_GT(PixelR(at(3, 3, 92, 45)), 200) << "the slider's knob in the middle";
    EXPECT_GT(PixelR(at(1, 4, 60, 45)), 200) << "the pie's left half";
    EXPECT_LT(PixelR(at(1, 4, 130, 45)), 40) << "and not its right half";

    const uint64_t uHash = Fnv1a(aPixels);
    EXPECT_EQ(uHash, GOLDEN_HASH) << std::hex << "read-back hash 0x" << uHash;
    loader.Shutdown();
}
} // namespace vocabulary_test
