#include "KorvelCommon/KorvelID.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace
{
std::string Narrow(const CKorvelString& str)
{
    std::string text(str.GetLength() + 1, '\0');
    str.MakeAnsi(&text[0]);
    text.pop_back();
    return text;
}
} // namespace

TEST(CKorvelID, NameAndIdentifierComeFromTheAddress)
{
    CKorvelID first;
    std::unique_ptr<CKorvelID> second(CKorvelID::New());
    ASSERT_NE(second, nullptr);
    unsigned int uLow = static_cast<unsigned int>(reinterpret_cast<uintptr_t>(&first));
    char aExpected[16];
    snprintf(aExpected, sizeof(aExpected), "0x%08x", uLow);
    EXPECT_EQ(Narrow(first.GetName()), aExpected);
    EXPECT_EQ(first.GetId(), static_cast<int>(uLow));
    EXPECT_NE(first.GetName().Compare(second->GetName()), 0);
    EXPECT_NE(first.GetId(), second->GetId());
}

TEST(CKorvelID, SetNameKeepsASeparateCopy)
{
    CKorvelID object;
    CKorvelString strName(L"ship");
    object.SetName(strName);
    strName.SetAt(0, 'c');
    EXPECT_EQ(Narrow(object.GetName()), "ship");
    EXPECT_NE(object.GetName().GetBuffer(), strName.GetBuffer());
    object.SetId(-3);
    EXPECT_EQ(object.GetId(), -3);
    object.SetIdAsThis();
    object.SetNameAsThis();
    EXPECT_EQ(object.GetId(), static_cast<int>(reinterpret_cast<uintptr_t>(&object)));
    EXPECT_EQ(Narrow(object.GetName()).size(), 10u);
}

TEST(CKorvelSafeMemory, FactoryPassThroughAndSilentDebugMessages)
{
    int iObject = 0;
    EXPECT_EQ(CKorvelSafeMemory::AddNew(&iObject, sizeof(iObject), __FILE__, __LINE__), &iObject);
    CKorvelString strText(L"text");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    CKorvelSafeMemory::DebugMessage(1, __FILE__, __LINE__, "value %d of %s", 5, strText.GetBuffer());
    CKorvelSafeMemory::DebugMessage(1, __FILE__, __LINE__, CKorvelString(L"%d"), 5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}
