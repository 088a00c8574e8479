// Facts about the device that the framework reports to its servers (model, maker,
// identifier, operating system, user agent), the user's vibration switch, and the
// opening of web pages in the platform's browser.
#pragma once

#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class IKorvelApplication;

class CVornDevice
{
public:
    enum eVIBRA
    {
        VIBRA_SHORT = 0,
        VIBRA_LONG = 1
    };

    struct sDEVICEINFO
    {
        CKorvelString m_strModel;
        CKorvelString m_strManufacturer;
        CKorvelString m_strIMEI; // the device identifier; empty when the platform has none
        CKorvelString m_strOSName;
        CKorvelString m_strOSVersion;
        CKorvelString m_strUserAgent;
    };

    CVornDevice();
    virtual ~CVornDevice();
    CVornDevice(const CVornDevice&) = delete;
    CVornDevice& operator=(const CVornDevice&) = delete;

    // Fills the record and switches vibration on; 1.
    KE_RETVAL Startup(IKorvelApplication* pApp);
    void Shutdown() {}

    const sDEVICEINFO& GetDeviceInfo() const { return m_Info; }
    // The application puts its own generated id here when the platform has none.
    void SetDeviceId(const CKorvelString& strId) { m_Info.m_strIMEI.Set(strId); }
    void SetVibrate(unsigned int uVibrate) { m_uVibrate = uVibrate; }
    unsigned int GetVibrate() const { return m_uVibrate; }
    // This platform has no vibration motor to drive.
    void Vibrate(eVIBRA) {}

    // An empty address is ignored; spaces become '_' and each unit is cut to a byte.
    static void OpenUrl(IKorvelApplication* pApp, const CKorvelString& strAddress);
    // Replaces the text by its percent-encoded bytes: each unit is cut to its low byte
    // (as the servers read it), ASCII letters and digits are kept, every other byte
    // becomes "%XX" with capital hex digits.
    static void UrlEncode(CKorvelString* pText);

    static CKorvelString GetModelName(IKorvelApplication* pApp);
    static CKorvelString GetManufacturer(IKorvelApplication* pApp);
    static CKorvelString GetIMEI(IKorvelApplication* pApp);
    static CKorvelString GetOSName(IKorvelApplication* pApp);
    static CKorvelString GetOSVersion(IKorvelApplication* pApp);
    static CKorvelString GetUserAgent(IKorvelApplication* pApp);

private:
    IKorvelApplication* m_pApp;
    sDEVICEINFO m_Info;
    unsigned int m_uVibrate;
};
