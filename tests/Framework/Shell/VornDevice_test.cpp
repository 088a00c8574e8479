#include "Framework/Shell/VornDevice.h"

#include "PlatformControl.h"
#include "PlatformDeviceInfoControl.h"

#include "support/StringUnits.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{

// Named after the class under test; the class itself is ::CVornDevice here.
class CVornDevice : public ::testing::Test
{
protected:
    void SetUp() override { plat::ResetPlatform(plat::eBackend::Headless); }
    void TearDown() override { plat::ResetPlatform(plat::eBackend::Headless); }

    static std::vector<std::string> Opened()
    {
        std::vector<std::string> aOpened;
        for (const plat::sInvokedAddress& address : plat::NavigatorControlInvokedAddresses())
            aOpened.push_back(address.m_strAddress + (address.m_bRefused ? " (refused)" : ""));
        return aOpened;
    }
};

TEST_F(CVornDevice, StartupFillsTheRecordFromThePlatform)
{
    plat::DeviceInfoControlSetData("armle-v7", "QNX \xc3\xa9", "Z10 STL100-2", "10.2.1");
    plat::DeviceInfoControlSetIdentifyingData(16, 7, 12, 345);
    ::CVornDevice device;
    EXPECT_EQ(device.GetVibrate(), 0u);
    ASSERT_EQ(device.Startup(nullptr), KE_OK);
    EXPECT_EQ(device.GetVibrate(), 1u);

    const ::CVornDevice::sDEVICEINFO& info = device.GetDeviceInfo();
    EXPECT_EQ(Units(info.m_strModel), u"Z10 STL100-2");
    EXPECT_EQ(Units(info.m_strManufacturer), u"RIM");
    EXPECT_EQ(Units(info.m_strIMEI), u"12345");
    EXPECT_EQ(Units(info.m_strOSName), u"QNX \u00e9");
    EXPECT_EQ(Units(info.m_strOSVersion), u"10");
    ExpectEmpty(info.m_strUserAgent);
    // Every record taken from the platform was given back.
    EXPECT_EQ(plat::CountCalls("deviceinfo_get_data"), plat::CountCalls("deviceinfo_free_data"));
    EXPECT_EQ(plat::CountCalls("deviceinfo_free_identifying_data"), 1);

    // Both words are unsigned.
    plat::DeviceInfoControlSetIdentifyingData(16, 0, 0xFFFFFFFF, 0);
    EXPECT_EQ(Units(::CVornDevice::GetIMEI(nullptr)), u"42949672950");

    device.SetVibrate(0);
    device.Vibrate(::CVornDevice::VIBRA_SHORT);
    EXPECT_EQ(device.GetVibrate(), 0u);
}

TEST_F(CVornDevice, FailingPlatformCallsLeaveEmptyFields)
{
    plat::DeviceInfoControlSetData("a", "b", "c", "d");
    plat::FailCall("deviceinfo_get_identifying_data");
    plat::FailCall("deviceinfo_get_data", 2);
    ::CVornDevice device;
    ASSERT_EQ(device.Startup(nullptr), KE_OK);
    ExpectEmpty(device.GetDeviceInfo().m_strIMEI);
    ExpectEmpty(device.GetDeviceInfo().m_strModel);
    ExpectEmpty(device.GetDeviceInfo().m_strOSName);
    EXPECT_EQ(Units(device.GetDeviceInfo().m_strManufacturer), u"RIM");
    EXPECT_EQ(plat::CountCalls("deviceinfo_free_data"), 0);
}

TEST_F(CVornDevice, UrlEncodeKeepsLettersAndDigitsAndEncodesEveryOtherByte)
{
    const struct
    {
        std::u16string m_In;
        std::u16string m_Out;
    } aCases[] = {
        {u"a b-c._~", u"a%20b%2Dc%2E%5F%7E"},
        {u"\u0141", u"A"},
        {u"\u00e9", u"%E9"},
        {u"", u""},
        {u"Az09", u"Az09"},
        {u"%/?&=+", u"%25%2F%3F%26%3D%2B"},
        {u"\u0100x", u"%00x"},
        {u"\u00ff\u007f", u"%FF%7F"},
    };
    for (const auto& c : aCases)
    {
        CKorvelString strText = FromUnits(c.m_In);
        ::CVornDevice::UrlEncode(&strText);
        EXPECT_EQ(Units(strText), c.m_Out) << std::string(c.m_In.begin(), c.m_In.end());
    }
    ::CVornDevice::UrlEncode(nullptr);
}

TEST_F(CVornDevice, OpenUrlHandsTheAddressToTheNavigator)
{
    ::CVornDevice::OpenUrl(nullptr, CKorvelString());
    EXPECT_EQ(plat::CountCalls("navigator_invoke"), 0);

    ::CVornDevice::OpenUrl(nullptr, CKorvelString("https://x y"));
    ::CVornDevice::OpenUrl(nullptr, FromUnits(u"https://example.invalid/?q=a b \u0141"));
    ::CVornDevice::OpenUrl(nullptr, CKorvelString("file:///etc/passwd"));
    EXPECT_EQ(Opened(), (std::vector<std::string>{"https://x_y", "https://example.invalid/?q=a_b_A",
                                                  "file:///etc/passwd (refused)"}));
}

} // namespace
