#include "KorvelCommon/KorvelID.h"

#include "support/StringUnits.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <string>

TEST(CKorvelID, NameAndIdentifierComeFromTheAddress)
{
    CKorvelID first;
    std::unique_ptr<CKorvelID> second(CKorvelID::New());
    ASSERT_NE(second, nullptr);
    unsigned int uLow = static_cast<unsigned int>(reinterpret_cast<uintptr_t>(&first));
    char aExpected[16];
    snprintf(aExpected, sizeof(aExpected), "0x%08x", uLow);
    EXPECT_EQ(Units(first.GetName()), std::u16string(aExpected, aExpected + 10));
    EXPECT_EQ(first.GetId(), static_cast<int>(uLow));
    EXPECT_NE(first.GetName().Compare(second->GetName()), 0);
    EXPECT_NE(first.GetId(), second->GetId());

    // SetName keeps a separate copy; the "as this" setters go back to the address.
    CKorvelString strName(L"ship");
    first.SetName(strName);
    strName.SetAt(0, 'c');
    EXPECT_EQ(Units(first.GetName()), u"ship");
    EXPECT_NE(first.GetName().GetBuffer(), strName.GetBuffer());
    first.SetId(-3);
    first.SetIdAsThis();
    first.SetNameAsThis();
    EXPECT_EQ(first.GetId(), static_cast<int>(uLow));
    EXPECT_EQ(Units(first.GetName()), std::u16string(aExpected, aExpected + 10));
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
