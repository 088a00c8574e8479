#include "Framework/Shell/VornDevice.h"

#include "PlatformDeviceInfo.h"
#include "PlatformNavigator.h"

#include <vector>

namespace
{
// Each unit cut to its low byte.
std::vector<char> Narrow(const CKorvelString& strText)
{
    std::vector<char> aBytes(static_cast<size_t>(strText.GetLength()) + 1, 0);
    strText.MakeAnsi(aBytes.data());
    return aBytes;
}

// The device data's texts are UTF-8 on this platform.
CKorvelString DeviceText(const char* pszText)
{
    CKorvelString strText;
    if (pszText)
        strText.FromUTF8(pszText, -1);
    return strText;
}

CKorvelString DeviceDataField(int iField)
{
    plat::deviceinfo_data_t data = {};
    if (plat::deviceinfo_get_data(&data) != plat::BPS_SUCCESS)
        return CKorvelString();
    const CKorvelString strText = DeviceText(iField == 1 ? data.device_os : data.hardware_name);
    plat::deviceinfo_free_data(&data);
    return strText;
}
} // namespace

CVornDevice::CVornDevice() : m_pApp(nullptr), m_uVibrate(0) {}

CVornDevice::~CVornDevice() = default;

KE_RETVAL CVornDevice::Startup(IKorvelApplication* pApp)
{
    m_pApp = pApp;
    m_uVibrate = 1;
    m_Info.m_strModel = GetModelName(pApp);
    m_Info.m_strManufacturer = GetManufacturer(pApp);
    m_Info.m_strIMEI = GetIMEI(pApp);
    m_Info.m_strOSName = GetOSName(pApp);
    m_Info.m_strOSVersion = GetOSVersion(pApp);
    m_Info.m_strUserAgent = GetUserAgent(pApp);
    return KE_OK;
}

CKorvelString CVornDevice::GetModelName(IKorvelApplication*)
{
    return DeviceDataField(2);
}

CKorvelString CVornDevice::GetManufacturer(IKorvelApplication*)
{
    return CKorvelString(L"RIM");
}

CKorvelString CVornDevice::GetIMEI(IKorvelApplication*)
{
    plat::deviceinfo_identifying_data_t data = {};
    if (plat::deviceinfo_get_identifying_data(&data) != plat::BPS_SUCCESS)
        return CKorvelString();
    CKorvelString strId, strHigh;
    strId.FromUInt(data.id_low, 10);
    strHigh.FromUInt(data.id_high, 10);
    strId.Add(strHigh);
    plat::deviceinfo_free_identifying_data(&data);
    return strId;
}

CKorvelString CVornDevice::GetOSName(IKorvelApplication*)
{
    return DeviceDataField(1);
}

CKorvelString CVornDevice::GetOSVersion(IKorvelApplication*)
{
    return CKorvelString(L"10");
}

CKorvelString CVornDevice::GetUserAgent(IKorvelApplication*)
{
    return CKorvelString();
}

void CVornDevice::OpenUrl(IKorvelApplication*, const CKorvelString& strAddress)
{
    if (strAddress.GetLength() == 0)
        return;
    CKorvelString strCopy(strAddress);
    strCopy.ReplaceAll(CKorvelString(L" "), CKorvelString(L"_"));
    plat::navigator_invoke(Narrow(strCopy).data(), nullptr);
}

void CVornDevice::UrlEncode(CKorvelString* pText)
{
    if (!pText)
        return;
    static const char s_acHex[] = "0123456789ABCDEF";
    const std::vector<char> aBytes = Narrow(*pText);
    std::vector<char> aOut;
    for (size_t i = 0; i + 1 < aBytes.size(); ++i)
    {
        const unsigned char c = static_cast<unsigned char>(aBytes[i]);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        {
            aOut.push_back(static_cast<char>(c));
            continue;
        }
        aOut.push_back('%');
        aOut.push_back(s_acHex[c >> 4]);
        aOut.push_back(s_acHex[c & 15]);
    }
    aOut.push_back(0);
    pText->Set(aOut.data());
}
