// Device information and the opening of web pages on the headless back end.
#include "PlatformControl.h"
#include "PlatformDeviceInfo.h"
#include "PlatformDeviceInfoControl.h"
#include "PlatformNavigator.h"

#include "support/TestTempDir.h"
#include "support/TestWorkingDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{

using namespace plat;

class CPlatformDeviceInfo : public ::testing::Test
{
protected:
    void SetUp() override { ResetPlatform(eBackend::Headless); }
    void TearDown() override { ResetPlatform(eBackend::Headless); }

    CTestTempDir m_Dir;
};
using PlatformNavigatorInvoke = CPlatformDeviceInfo;

TEST_F(CPlatformDeviceInfo, DataComesFromTheHostOrTheControlAndIsFreed)
{
    deviceinfo_data_t data = {};
    ASSERT_EQ(deviceinfo_get_data(&data), BPS_SUCCESS);
    for (const char* psz : {data.hardware_id, data.device_os, data.hardware_name, data.os_build})
    {
        ASSERT_NE(psz, nullptr);
        EXPECT_GT(std::string(psz).size(), 0u);
    }
    deviceinfo_free_data(&data);
    EXPECT_EQ(data.device_os, nullptr);

    DeviceInfoControlSetData("arm", "QNX", "Z10", "10.2");
    ASSERT_EQ(deviceinfo_get_data(&data), BPS_SUCCESS);
    EXPECT_STREQ(data.hardware_id, "arm");
    EXPECT_STREQ(data.device_os, "QNX");
    EXPECT_STREQ(data.hardware_name, "Z10");
    EXPECT_STREQ(data.os_build, "10.2");
    deviceinfo_free_data(&data);

    FailCall("deviceinfo_get_data");
    EXPECT_EQ(deviceinfo_get_data(&data), BPS_FAILURE);
    EXPECT_EQ(data.device_os, nullptr);
    EXPECT_EQ(CountCalls("deviceinfo_get_data"), 3);
    EXPECT_EQ(CountCalls("deviceinfo_free_data"), 2);
}

TEST_F(CPlatformDeviceInfo, TheIdentifierIsASaltedDigestOfTheMachineId)
{
    EXPECT_STREQ(kDeviceIdSalt, "korvel-device-id/1:") << "a new salt changes every stored identifier";
    // The first two little-endian words of MD5(salt + id), computed elsewhere.
    struct sCASE
    {
        std::string m_strId;
        uint32_t m_uLow, m_uHigh;
    };
    const sCASE aCases[] = {
        {"3d1219c7c4c5404aaa1f6d2a48adfda4", 0x02f05ee8, 0x378a029b},
        {"x", 0x6068dd66, 0x9cb2d901},
        {std::string(120, 'f'), 0xbe56df8a, 0x9bac4342}, // three blocks of digest input
    };
    for (const sCASE& c : aCases)
    {
        const std::string& strId = c.m_strId;
        CTestWorkingDir::Put(m_Dir.File("machine-id"), "  " + strId + "\n");
        DeviceInfoControlUseHost(m_Dir.File("machine-id"));
        deviceinfo_identifying_data_t data = {};
        ASSERT_EQ(deviceinfo_get_identifying_data(&data), BPS_SUCCESS) << strId;
        EXPECT_EQ(data.id_low, c.m_uLow) << strId;
        EXPECT_EQ(data.id_high, c.m_uHigh) << strId;
        EXPECT_EQ(data.size, sizeof(data));
        deviceinfo_free_identifying_data(&data);
        EXPECT_EQ(data.id_low, 0u);
    }
}

TEST_F(CPlatformDeviceInfo, TheIdentifyingCallFailsWithoutAMachineIdOrWhenMadeToFail)
{
    deviceinfo_identifying_data_t data = {1, 2, 3, 4};
    DeviceInfoControlUseHost(m_Dir.File("absent"));
    EXPECT_EQ(deviceinfo_get_identifying_data(&data), BPS_FAILURE);
    CTestWorkingDir::Put(m_Dir.File("blank"), "\n");
    DeviceInfoControlUseHost(m_Dir.File("blank"));
    EXPECT_EQ(deviceinfo_get_identifying_data(&data), BPS_FAILURE);
    EXPECT_EQ(data.id_low, 3u) << "a failed call leaves the record alone";

    DeviceInfoControlSetIdentifyingData(16, 0, 12, 345);
    ASSERT_EQ(deviceinfo_get_identifying_data(&data), BPS_SUCCESS);
    EXPECT_EQ(data.id_low, 12u);
    EXPECT_EQ(data.id_high, 345u);
    FailCall("deviceinfo_get_identifying_data");
    EXPECT_EQ(deviceinfo_get_identifying_data(&data), BPS_FAILURE);
}

TEST_F(PlatformNavigatorInvoke, OnlyWebAddressesAreAcceptedAndEveryCallIsRecorded)
{
    struct sCASE
    {
        const char* m_pszAddress;
        bool m_bAccepted;
    };
    const sCASE aCases[] = {
        {"https://example.invalid/a?b=c", true},
        {"http://127.0.0.1:8080/", true},
        {"HTTPS://EXAMPLE.INVALID", true},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"httpx://example.invalid", false},
        {"-https://example.invalid", false},
        {"", false},
        {"mailto:someone@example.invalid", false},
    };
    std::vector<sInvokedAddress> aExpected;
    for (const sCASE& c : aCases)
    {
        char* pszError = reinterpret_cast<char*>(0x1);
        EXPECT_EQ(navigator_invoke(c.m_pszAddress, &pszError), c.m_bAccepted ? BPS_SUCCESS : BPS_FAILURE)
            << c.m_pszAddress;
        EXPECT_EQ(pszError, nullptr);
        aExpected.push_back(sInvokedAddress{c.m_pszAddress, !c.m_bAccepted});
    }
    FailCall("navigator_invoke");
    EXPECT_EQ(navigator_invoke("https://example.invalid/failed", nullptr), BPS_FAILURE);
    aExpected.push_back(sInvokedAddress{"https://example.invalid/failed", true});
    EXPECT_EQ(navigator_invoke(nullptr, nullptr), BPS_FAILURE);

    const std::vector<sInvokedAddress> aSeen = NavigatorControlInvokedAddresses();
    ASSERT_EQ(aSeen.size(), aExpected.size());
    for (size_t i = 0; i < aSeen.size(); ++i)
    {
        EXPECT_EQ(aSeen[i].m_strAddress, aExpected[i].m_strAddress);
        EXPECT_EQ(aSeen[i].m_bRefused, aExpected[i].m_bRefused) << aSeen[i].m_strAddress;
    }
    EXPECT_EQ(CountCalls("navigator_invoke"), static_cast<int>(aExpected.size()) + 1);

    ResetPlatform(eBackend::Headless);
    EXPECT_TRUE(NavigatorControlInvokedAddresses().empty());
}

} // namespace
