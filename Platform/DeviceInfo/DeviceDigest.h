// The digest that turns the machine id into the device identifier. The platform
// layer sits below the framework's digest code, so it keeps this small one.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace plat
{

// MD5 (RFC 1321) of the bytes.
std::array<uint8_t, 16> DeviceDigest(const std::string& strBytes);

// Internal reset of the device-information and navigator stand-ins (ResetPlatform).
void ResetDeviceInfo();
void ResetInvokedAddresses();

} // namespace plat
