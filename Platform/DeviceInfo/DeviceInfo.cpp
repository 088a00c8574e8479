// Device information on Linux: the OS name from /etc/os-release, the model from the
// firmware's product name, and an identifier derived from /etc/machine-id through a
// salted digest, so that the raw machine id never leaves the process.
#include "PlatformDeviceInfo.h"
#include "PlatformDeviceInfoControl.h"

#include "Platform/Common/CallLog.h"
#include "Platform/DeviceInfo/DeviceDigest.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sys/utsname.h>

namespace plat
{

const char* const kDeviceIdSalt = "korvel-device-id/1:";

namespace
{
struct sDEVICE_INFO_STATE
{
    std::mutex m_Lock;
    bool m_bDataSet = false;
    std::string m_aData[4];
    bool m_bIdSet = false;
    uint32_t m_aId[4] = {0, 0, 0, 0};
    std::string m_strMachineIdPath;
};

sDEVICE_INFO_STATE& State()
{
    static sDEVICE_INFO_STATE s_State;
    return s_State;
}

std::string Trim(const std::string& strText)
{
    const size_t uFirst = strText.find_first_not_of(" \t\r\n\"'");
    if (uFirst == std::string::npos)
        return std::string();
    const size_t uLast = strText.find_last_not_of(" \t\r\n\"'");
    return strText.substr(uFirst, uLast - uFirst + 1);
}

std::string FirstLine(const char* pszPath)
{
    std::ifstream in(pszPath);
    std::string strLine;
    std::getline(in, strLine);
    return Trim(strLine);
}

std::string OsReleaseName()
{
    std::ifstream in("/etc/os-release");
    std::string strLine;
    while (std::getline(in, strLine))
        if (strLine.compare(0, 5, "NAME=") == 0)
            return Trim(strLine.substr(5));
    return std::string();
}

char* Copy(const std::string& strText)
{
    char* psz = static_cast<char*>(std::malloc(strText.size() + 1));
    if (psz)
        std::memcpy(psz, strText.c_str(), strText.size() + 1);
    return psz;
}

void HostData(std::string aData[4])
{
    utsname names = {};
    uname(&names);
    const std::string strOsName = OsReleaseName();
    const std::string strProduct = FirstLine("/sys/class/dmi/id/product_name");
    aData[0] = names.machine;
    aData[1] = strOsName.empty() ? std::string(names.sysname) : strOsName;
    aData[2] = strProduct.empty() ? std::string(names.machine) : strProduct;
    aData[3] = names.release;
}

bool HostId(const std::string& strPath, uint32_t aId[4])
{
    const std::string strMachineId = FirstLine(strPath.empty() ? "/etc/machine-id" : strPath.c_str());
    if (strMachineId.empty())
        return false;
    const std::array<uint8_t, 16> aDigest = DeviceDigest(kDeviceIdSalt + strMachineId);
    aId[0] = sizeof(deviceinfo_identifying_data_t);
    aId[1] = 0;
    for (size_t i = 0; i < 2; ++i)
        aId[2 + i] = aDigest[i * 4] | (aDigest[i * 4 + 1] << 8) | (aDigest[i * 4 + 2] << 16) |
                     (static_cast<uint32_t>(aDigest[i * 4 + 3]) << 24);
    return true;
}
} // namespace

int deviceinfo_get_data(deviceinfo_data_t* pData)
{
    if (RecordCall("deviceinfo_get_data") || !pData)
        return BPS_FAILURE;
    std::string aData[4];
    bool bSet;
    {
        sDEVICE_INFO_STATE& state = State();
        std::lock_guard<std::mutex> guard(state.m_Lock);
        bSet = state.m_bDataSet;
        for (int i = 0; i < 4; ++i)
            aData[i] = state.m_aData[i];
    }
    if (!bSet)
        HostData(aData);
    deviceinfo_data_t data = {Copy(aData[0]), Copy(aData[1]), Copy(aData[2]), Copy(aData[3])};
    if (!data.hardware_id || !data.device_os || !data.hardware_name || !data.os_build)
    {
        deviceinfo_free_data(&data);
        return BPS_FAILURE;
    }
    *pData = data;
    return BPS_SUCCESS;
}

void deviceinfo_free_data(deviceinfo_data_t* pData)
{
    RecordCall("deviceinfo_free_data");
    if (!pData)
        return;
    std::free(pData->hardware_id);
    std::free(pData->device_os);
    std::free(pData->hardware_name);
    std::free(pData->os_build);
    *pData = deviceinfo_data_t{nullptr, nullptr, nullptr, nullptr};
}

int deviceinfo_get_identifying_data(deviceinfo_identifying_data_t* pData)
{
    if (RecordCall("deviceinfo_get_identifying_data") || !pData)
        return BPS_FAILURE;
    uint32_t aId[4] = {0, 0, 0, 0};
    std::string strPath;
    bool bSet;
    {
        sDEVICE_INFO_STATE& state = State();
        std::lock_guard<std::mutex> guard(state.m_Lock);
        bSet = state.m_bIdSet;
        std::memcpy(aId, state.m_aId, sizeof(aId));
        strPath = state.m_strMachineIdPath;
    }
    if (!bSet && !HostId(strPath, aId))
        return BPS_FAILURE;
    *pData = deviceinfo_identifying_data_t{aId[0], aId[1], aId[2], aId[3]};
    return BPS_SUCCESS;
}

void deviceinfo_free_identifying_data(deviceinfo_identifying_data_t* pData)
{
    RecordCall("deviceinfo_free_identifying_data");
    if (pData)
        *pData = deviceinfo_identifying_data_t{0, 0, 0, 0};
}

void DeviceInfoControlSetData(const std::string& strHardwareId, const std::string& strOsName,
                              const std::string& strModel, const std::string& strOsBuild)
{
    sDEVICE_INFO_STATE& state = State();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    state.m_bDataSet = true;
    state.m_aData[0] = strHardwareId;
    state.m_aData[1] = strOsName;
    state.m_aData[2] = strModel;
    state.m_aData[3] = strOsBuild;
}

void DeviceInfoControlSetIdentifyingData(uint32_t uSize, uint32_t uPin, uint32_t uIdLow, uint32_t uIdHigh)
{
    sDEVICE_INFO_STATE& state = State();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    state.m_bIdSet = true;
    state.m_aId[0] = uSize;
    state.m_aId[1] = uPin;
    state.m_aId[2] = uIdLow;
    state.m_aId[3] = uIdHigh;
}

void DeviceInfoControlUseHost(const std::string& strMachineIdPath)
{
    sDEVICE_INFO_STATE& state = State();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    state.m_bDataSet = false;
    state.m_bIdSet = false;
    state.m_strMachineIdPath = strMachineIdPath;
}

void ResetDeviceInfo()
{
    DeviceInfoControlUseHost();
}

} // namespace plat
