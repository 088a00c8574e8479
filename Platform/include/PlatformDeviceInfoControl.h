// Test control of device information and of the addresses handed to
// navigator_invoke. ResetPlatform returns both to the host's answers and
// forgets the addresses. Either query fails through FailCall with its name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat
{

// The texts deviceinfo_get_data gives instead of the host's, in field order.
void DeviceInfoControlSetData(const std::string& strHardwareId, const std::string& strOsName,
                              const std::string& strModel, const std::string& strOsBuild);
// The four numbers deviceinfo_get_identifying_data gives instead of the host's.
void DeviceInfoControlSetIdentifyingData(uint32_t uSize, uint32_t uPin, uint32_t uIdLow, uint32_t uIdHigh);
// The host's answers again; the identifier from the machine-id file at that path
// ("" for the system's /etc/machine-id).
void DeviceInfoControlUseHost(const std::string& strMachineIdPath = "");

// The fixed text hashed before the machine id, so that the id itself never leaves
// the process: the identifier is the first 8 bytes of MD5(salt + machine id).
extern const char* const kDeviceIdSalt;

struct sInvokedAddress
{
    std::string m_strAddress;
    bool m_bRefused; // not an "http:" or "https:" address, or the call was made to fail
};
// Every address given to navigator_invoke since the last reset, in order.
std::vector<sInvokedAddress> NavigatorControlInvokedAddresses();

} // namespace plat
