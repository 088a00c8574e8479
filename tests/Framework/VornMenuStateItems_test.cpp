// The item operations the game calls through the application.
// KORVEL_GL_TEST
#include "VornMenuStateMatchTest.h"

using namespace menu_state_test;

namespace
{

class CVornMenuState : public CMatchTest
{
};

TEST_F(CVornMenuState, ItemFilesLiveInTheDataFolderUnderTheGamesAppId)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const struct
    {
        int iItem;
        const char* pName;
    } aCases[] = {{7, "data_64_7.kmp"}, {123456, "data_64_123456.kmp"}, {-2, "data_64_-2.kmp"}};
    for (const auto& c : aCases)
    {
        CKorvelString strPath;
        m_App.GetItemFile(c.iItem, strPath);
        EXPECT_EQ(Narrow(strPath), m_App.DataFile(c.pName)) << c.iItem;
    }
}

TEST_F(CVornMenuState, UsingAnItemTellsTheServer)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const size_t uBefore = In("UseItem").size();
    m_App.UseItem(31, 2);
    ASSERT_TRUE(WaitFor([&] { return In("UseItem").size() == uBefore + 1; }));
    EXPECT_EQ(In("UseItem").back()["item"].Int(), 31);
    EXPECT_EQ(In("UseItem").back()["a"].Int(), 2);
}

} // namespace
