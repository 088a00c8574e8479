#include "KorvelInput/KorvelTextInput.h"

#include "PlatformControl.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class CKorvelTextInputTest : public ::testing::Test
{
protected:
    void SetUp() override { plat::ResetPlatform(plat::eBackend::Headless); }

    void Type(const char* pText)
    {
        for (; *pText; ++pText)
            m_Input.AddChar(static_cast<unsigned short>(*pText));
    }

    CKorvelTextInput m_Input;
};

TEST_F(CKorvelTextInputTest, StartupRequestsKeyboardEventsWithDefaultOptions)
{
    EXPECT_EQ(m_Input.Startup(nullptr, CKorvelString("abc"), CKorvelString("Name"), 8), 1);
    std::vector<std::string> aExpected = {"virtualkeyboard_request_events", "virtualkeyboard_change_options"};
    EXPECT_EQ(plat::GetCallNames(), aExpected);
    EXPECT_EQ(plat::GetCallLog()[1].ToString(), "virtualkeyboard_change_options(0, 0)");
    EXPECT_EQ(Narrow(m_Input.GetSecondText()), "Name");
}

TEST_F(CKorvelTextInputTest, StartupFailsWhenKeyboardEventsAreRefused)
{
    plat::FailCall("virtualkeyboard_request_events");
    EXPECT_EQ(m_Input.Startup(nullptr, CKorvelString(""), CKorvelString(""), 8), 0);
    EXPECT_EQ(plat::CountCalls("virtualkeyboard_change_options"), 0);
}

TEST_F(CKorvelTextInputTest, EditingKeepsToTheMaximumLength)
{
    m_Input.Startup(nullptr, CKorvelString(""), CKorvelString(""), 3);
    m_Input.AddChar(8); // backspace on empty text
    EXPECT_EQ(Narrow(m_Input.GetText()), "");
    Type("abcd");
    EXPECT_EQ(Narrow(m_Input.GetText()), "abc");
    m_Input.AddChar(9); // tab
    m_Input.AddChar(0);
    m_Input.AddChar(12);
    m_Input.AddChar(8);
    EXPECT_EQ(Narrow(m_Input.GetText()), "ab");
    m_Input.AddChar(0x20AC); // any unit above 13
    EXPECT_EQ(m_Input.GetText().GetBuffer()[2], 0x20AC);
}

TEST_F(CKorvelTextInputTest, EnterCompletesUntilTouched)
{
    m_Input.Startup(nullptr, CKorvelString("x"), CKorvelString(""), 10);
    plat::ClearCallLog();
    m_Input.AddChar(13);
    EXPECT_EQ(m_Input.IsCompleted(), 1u);
    EXPECT_EQ(plat::CountCalls("virtualkeyboard_hide"), 1);
    Type("y");
    EXPECT_EQ(Narrow(m_Input.GetText()), "x");

    m_Input.Touch();
    EXPECT_EQ(m_Input.IsCompleted(), 0u);
    EXPECT_EQ(plat::CountCalls("virtualkeyboard_show"), 1);
    Type("y\n");
    EXPECT_EQ(Narrow(m_Input.GetText()), "xy");
    EXPECT_EQ(m_Input.IsCompleted(), 1u);

    m_Input.Shutdown();
    EXPECT_EQ(m_Input.IsCompleted(), 0u);
    EXPECT_EQ(plat::CountCalls("virtualkeyboard_hide"), 3);
}

TEST_F(CKorvelTextInputTest, PasswordModeShowsOneStarPerUnit)
{
    m_Input.Startup(nullptr, CKorvelString("abc"), CKorvelString(""), 10);
    EXPECT_EQ(Narrow(m_Input.GetDisplayText()), "abc");
    m_Input.SetPasswordMode(1);
    EXPECT_EQ(Narrow(m_Input.GetDisplayText()), "***");
    m_Input.AddChar(8);
    EXPECT_EQ(Narrow(m_Input.GetDisplayText()), "**");
    EXPECT_EQ(Narrow(m_Input.GetText()), "ab");
    m_Input.AddChar(8);
    m_Input.AddChar(8);
    EXPECT_EQ(Narrow(m_Input.GetDisplayText()), "");
}

TEST_F(CKorvelTextInputTest, StartupKeepsALongTextWholeButSetTextCutsIt)
{
    m_Input.Startup(nullptr, CKorvelString("abcdef"), CKorvelString(""), 4);
    EXPECT_EQ(Narrow(m_Input.GetText()), "abcdef");
    Type("g"); // already over the maximum: dropped
    EXPECT_EQ(Narrow(m_Input.GetText()), "abcdef");
    m_Input.SetText(CKorvelString("abcdef"));
    EXPECT_EQ(Narrow(m_Input.GetText()), "abcd");
}

} // namespace
