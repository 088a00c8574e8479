// Arabic letters to their contextual presentation forms.
#include "KorvelGraphics/KorvelArabic.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<unsigned short> Shape(std::vector<unsigned short> units)
{
    units.push_back(0);
    const CKorvelString result = Arabize(CKorvelString(units.data()));
    return std::vector<unsigned short>(result.GetBuffer(), result.GetBuffer() + result.GetLength());
}
} // namespace

TEST(Arabize, PicksInitialMedialFinalAndIsolatedForms)
{
    EXPECT_EQ(Shape({0x0644, 0x0645, 0x0627}), (std::vector<unsigned short>{0xFEDF, 0xFEE4, 0xFE8E}));
    EXPECT_EQ(Shape({0x0628}), (std::vector<unsigned short>{0xFE8F}));
    // Alef does not join forward, so the beh after it stands alone.
    EXPECT_EQ(Shape({0x0627, 0x0628}), (std::vector<unsigned short>{0xFE8D, 0xFE8F}));
    EXPECT_EQ(Shape({0x0628, 0x0628, 0x0628}), (std::vector<unsigned short>{0xFE91, 0xFE92, 0xFE90}));
}

TEST(Arabize, LeavesOtherUnitsAndUnlistedLettersAlone)
{
    EXPECT_EQ(Shape({0x0640}), (std::vector<unsigned short>{0x0640}));
    EXPECT_EQ(Shape({'a', 0x0628, ' ', 0x0628}), (std::vector<unsigned short>{'a', 0xFE8F, ' ', 0xFE8F}));
    EXPECT_EQ(Shape({}), (std::vector<unsigned short>{}));
    // Hamza takes its "initial" form before a joining letter, yet does not join to it.
    EXPECT_EQ(Shape({0x0621, 0x0628}), (std::vector<unsigned short>{0xFE80, 0xFE8F}));
}
