// Overlays that record their calls, with their visibility and toast type set by the
// test; while visible they take every press. Header only.
#pragma once

#include <string>

#include "Framework/Lobby/VornAdvertisement.h"
#include "Framework/Lobby/VornToastNotification.h"
#include "Framework/Shell/VornNotification.h"
#include "support/TestCallLog.h"
#include "support/TestText.h"

// The calls every overlay records, under its name in the log.
template <class TBase> class CTestOverlay : public TBase
{
public:
    CTestOverlay(CTestCallLog& log, const char* pName) : m_Log(log), m_strWho(pName) {}
    ~CTestOverlay() override { m_Log.Add(m_strWho, "~"); }

    KE_RETVAL Startup(CKestrolundApplication*) override
    {
        m_Log.Add(m_strWho, "Startup");
        return m_iStartupResult;
    }
    void Shutdown() override { m_Log.Add(m_strWho, "Shutdown"); }
    unsigned int OnScreenChanged(int iWidth, int iHeight) override
    {
        m_Log.Add(m_strWho, "OnScreenChanged", std::to_string(iWidth) + "," + std::to_string(iHeight));
        return 1;
    }
    unsigned int OnMouseButton(unsigned int, int iX, int iY) override
    {
        return Press("OnMouseButton", iX, iY);
    }
    unsigned int OnMouseButtonUp(unsigned int, int iX, int iY) override
    {
        return Press("OnMouseButtonUp", iX, iY);
    }
    unsigned int OnMouseDrag(unsigned int, int iX, int iY) override { return Press("OnMouseDrag", iX, iY); }
    void Remove() override { m_uRemoveFlag = 1; }
    unsigned int GetRemove() override { return m_uRemoveFlag; }
    void Draw() override { m_Log.Add(m_strWho, "Draw"); }
    void Update(float) override { m_Log.Add(m_strWho, "Update"); }

    KE_RETVAL m_iStartupResult = KE_OK;
    unsigned int m_uVisible = 0;
    unsigned int m_uRemoveFlag = 0;

protected:
    unsigned int Press(const char* pWhat, int iX, int iY)
    {
        m_Log.Add(m_strWho, pWhat, std::to_string(iX) + "," + std::to_string(iY));
        return m_uVisible;
    }

    CTestCallLog& m_Log;
    std::string m_strWho;
};

class CTestNotification : public CTestOverlay<CVornNotification>
{
public:
    explicit CTestNotification(CTestCallLog& log) : CTestOverlay(log, "notification") {}
};

// A toast queued, as the log holds it: "toast.Add(text,type,seconds)".
inline void LogToastAdd(CTestCallLog& log, const CKorvelString& strText, int iType, float fSeconds)
{
    log.Add("toast", "Add", Narrow(strText) + "," + std::to_string(iType) + "," + std::to_string(fSeconds));
}

class CTestToast : public CTestOverlay<CVornToastNotification>
{
public:
    explicit CTestToast(CTestCallLog& log) : CTestOverlay(log, "toast") {}

    void Add(const CKorvelString& strText, int iType, float fSeconds) override
    {
        LogToastAdd(m_Log, strText, iType, fSeconds);
    }
    unsigned int GetVisible() override { return m_uVisible; }
    int GetType() override { return m_iType; }
    bool Holds(int iType) const override { return m_uVisible && m_iType == iType; }
    unsigned int OnThemeChanged() override
    {
        m_Log.Add(m_strWho, "OnThemeChanged");
        return 1;
    }

    int m_iType = 1;
};

// The application's own toast, whose queued toasts the log holds as the double's.
class CRecordedToast : public CVornToastNotification
{
public:
    explicit CRecordedToast(CTestCallLog& log) : m_Log(log) {}

    void Add(const CKorvelString& strText, int iType, float fSeconds) override
    {
        LogToastAdd(m_Log, strText, iType, fSeconds);
        CVornToastNotification::Add(strText, iType, fSeconds);
    }

private:
    CTestCallLog& m_Log;
};

class CTestAdvertisement : public CTestOverlay<CVornAdvertisement>
{
public:
    explicit CTestAdvertisement(CTestCallLog& log) : CTestOverlay(log, "advertisement") {}

    // Every value in order; the picture as its bytes, the frames joined by spaces.
    unsigned int DisplayAd(const CKorvelString& strFirstText, const CKorvelString& strLink, int iImageSize,
                           const unsigned char* pImage, int iIntervalMs, int iDisplayMs,
                           const CKorvelArray<int>& aFrameMs, const CKorvelString& strOkLink, int iFlags,
                           const CKorvelString& strTitle, const CKorvelString& strTitleLink) override
    {
        std::string strFrames;
        for (int i = 0; i < aFrameMs.GetCount(); ++i)
            strFrames += (i ? " " : "") + std::to_string(aFrameMs[i]);
        const std::string strImage =
            pImage && iImageSize > 0 ? std::string(reinterpret_cast<const char*>(pImage), iImageSize) : "";
        m_Log.Add(m_strWho, "DisplayAd",
                  Narrow(strFirstText) + "," + Narrow(strLink) + "," + std::to_string(iImageSize) + "," +
                      strImage + "," + std::to_string(iIntervalMs) + "," + std::to_string(iDisplayMs) + "," +
                      strFrames + "," + Narrow(strOkLink) + "," + std::to_string(iFlags) + "," +
                      Narrow(strTitle) + "," + Narrow(strTitleLink));
        return 1;
    }
    void ShowExitAd() override { m_Log.Add(m_strWho, "ShowExitAd"); }
    unsigned int OnThemeChanged() override
    {
        m_Log.Add(m_strWho, "OnThemeChanged");
        return 1;
    }
    unsigned int GetVisible() override { return m_uVisible; }
    void SetVisible(unsigned int uVisible) override
    {
        m_Log.Add(m_strWho, "SetVisible", std::to_string(uVisible));
        m_uVisible = uVisible;
    }
};
