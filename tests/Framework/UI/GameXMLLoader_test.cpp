// Area files: reading the areas, choosing the one that fits a screen, and building its tree.
#include <gtest/gtest.h>

#include "Framework/UI/GameXMLLoader.h"
#include "tests/Framework/UI/UiLoaderTest.h"

namespace
{
const char* const kAreas = "<menu>"
                           "<area width='800' height='480' name='small'><element name='in_small'/></area>"
                           "<area width='1024' height='600' name='wide'><element name='in_wide'/></area>"
                           "<area width='600' height='1024' name='tall'><element name='in_tall'/></area>"
                           "<area width='800' height='480' name='duplicate'/>"
                           "</menu>";

class CGameXMLLoader : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_App.AddFiles({{"areas.xml", kAreas},
                                    {"empty.xml", "<menu><notarea/></menu>"},
                                    {"unnamed.xml", "<menu><area width='10' height='10'/></menu>"}}));
        ASSERT_EQ(m_Loader.Startup(m_App, nullptr, nullptr), KE_OK);
    }
    void TearDown() override { m_Loader.Shutdown(); }

    CUiTestApp m_App;
    ::CGameXMLLoader m_Loader;
};

TEST_F(CGameXMLLoader, AreasAreChosenByExactSizeThenByAspect)
{
    ASSERT_EQ(m_Loader.LoadFromFile(S("areas.xml")), KE_OK);
    ASSERT_EQ(m_Loader.GetAreas().GetCount(), 3) << "the second 800 x 480 area is ignored";
    struct sCASE
    {
        int iWidth, iHeight;
        const char* pArea; // null: none
    };
    const sCASE aCases[] = {
        {1024, 600, "wide"},   {1280, 720, "wide"}, {1280, 1024, "small"}, {540, 960, "tall"},
        {480, 800, "small"},   {800, 480, "small"}, {0, 600, nullptr},     {600, 0, nullptr},
        {1000, 1000, "small"}, {2000, 480, "wide"},
    };
    for (const sCASE& c : aCases)
    {
        CAreaDescription* pArea = m_Loader.FindClosestAreaDescription(c.iWidth, c.iHeight);
        if (!c.pArea)
        {
            EXPECT_EQ(pArea, nullptr) << c.iWidth << "x" << c.iHeight;
            continue;
        }
        ASSERT_NE(pArea, nullptr) << c.iWidth << "x" << c.iHeight;
        EXPECT_EQ(Text(pArea->m_strName), c.pArea) << c.iWidth << "x" << c.iHeight;
    }
    EXPECT_EQ(m_Loader.FindAreaDescription(1280, 720), nullptr) << "exact sizes only";
    EXPECT_NE(m_Loader.FindAreaDescription(600, 1024), nullptr);
}

TEST_F(CGameXMLLoader, TheAreaWidgetIsANewRootNamedAfterTheArea)
{
    ASSERT_EQ(m_Loader.LoadFromFile(S("areas.xml")), KE_OK);
    WidgetTree root(m_Loader.GetAreaWidget(1280, 720, nullptr));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Text(root->GetName()), "wide");
    EXPECT_TRUE(HasArea(root.get(), Rect(0, 0, 1280, 720))) << "the screen's size, not the area's";
    EXPECT_NE(Find(root, "in_wide"), nullptr);
    EXPECT_EQ(Find(root, "in_small"), nullptr);

    // A size with no area leaves the old root to its owner.
    CWidget* pOld = root.get();
    EXPECT_EQ(m_Loader.GetAreaWidget(0, 600, pOld), nullptr);
    EXPECT_EQ(Text(pOld->GetName()), "wide");
}

TEST_F(CGameXMLLoader, FilesWithoutAreasGiveNoRoot)
{
    EXPECT_EQ(m_Loader.LoadFromFile(S("missing.xml")), KE_ERR_NOTFOUND);
    EXPECT_EQ(m_Loader.LoadFromFile(S("empty.xml")), KE_OK);
    EXPECT_EQ(m_Loader.GetAreaWidget(800, 480, nullptr), nullptr);

    ASSERT_EQ(m_Loader.LoadFromFile(S("unnamed.xml")), KE_OK);
    WidgetTree root(m_Loader.GetAreaWidget(10, 10, nullptr));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Text(root->GetName()), "rootwidget");
}

TEST_F(CGameXMLLoader, AScreenChangeMovesUniqueWidgetsIntoTheNewArea)
{
    ASSERT_TRUE(m_App.AddFiles(
        {{"reload.xml", "<menu>"
                        "<area width='100' height='50'><element name='a' uniquename='u'/></area>"
                        "<area width='50' height='100'><element name='b' uniquename='u'>"
                        "<size w='1' h='1'/></element></area></menu>"}}));
    ASSERT_EQ(m_Loader.LoadFromFile(S("reload.xml")), KE_OK);
    WidgetTree landscape(m_Loader.GetAreaWidget(100, 50, nullptr));
    CWidget* pKept = Find(landscape, "a");
    ASSERT_NE(pKept, nullptr);
    WidgetTree portrait(m_Loader.GetAreaWidget(50, 100, landscape.release()));
    ASSERT_NE(portrait, nullptr);
    EXPECT_EQ(Find(portrait, "b"), pKept);
    EXPECT_TRUE(HasArea(pKept, Rect(0, 0, 50, 100)));
}
} // namespace
