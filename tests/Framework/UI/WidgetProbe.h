// A widget for tests that logs its hooks ("name:hook x,y") into a shared log and answers
// input with a chosen result.
#pragma once

#include <string>
#include <vector>

#include "Framework/UI/Widget.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"

typedef std::vector<std::string> WidgetLog;

inline bool SameRect(const CKorvelRect<int>& a, const CKorvelRect<int>& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class CProbeWidget : public CWidget
{
public:
    CProbeWidget(WidgetLog* pLog, const char* pName, int iResult = 1)
        : m_pLog(pLog), m_strProbe(pName), m_iResult(iResult)
    {
        ++s_iLive;
    }
    ~CProbeWidget() override { --s_iLive; }

    // Started with the given area and named after the probe.
    static CProbeWidget* Make(WidgetLog* pLog, const char* pName, const CKorvelRect<int>& area,
                              CWidget* pParent = nullptr)
    {
        CProbeWidget* p = new CProbeWidget(pLog, pName);
        p->Startup(nullptr, nullptr, area);
        p->SetName(CKorvelString(pName));
        if (pParent)
            pParent->AddWidget(p);
        return p;
    }

    CWidget* New() const override { return new CProbeWidget(m_pLog, m_strProbe.c_str(), m_iResult); }

    int mouseButton(unsigned int, int x, int y) override { return Log("press", x, y); }
    int mouseDrag(unsigned int, int x, int y) override { return Log("drag", x, y); }
    int mouseButtonUp(unsigned int, int x, int y) override { return Log("release", x, y); }
    int mouseWheel(int, int x, int y) override { return Log("wheel", x, y); }
    int keyDown(eKET_KEYCODE eKey) override { return Log("key", eKey, 0); }
    int inputChar(unsigned short uChar) override { return Log("char", uChar, 0); }
    void gainFocus(CWidget* pPrevious) override { Note("gain", pPrevious); }
    void loseFocus(CWidget* pNext) override { Note("lose", pNext); }
    KE_RETVAL update(float) override
    {
        Add("update");
        return m_iDrawResult;
    }
    KE_RETVAL draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override
    {
        Add("draw");
        pContext->Fill(m_uColor, &rect);
        return m_iDrawResult;
    }
    void areaUpdated(const CKorvelRect<int>&, const CKorvelRect<int>&) override { Add("area"); }
    void childAreaUpdated(CWidget* pChild, const CKorvelRect<int>&) override
    {
        Add("child_area " + std::string(static_cast<CProbeWidget*>(pChild)->m_strProbe));
    }

    int m_iDrawResult = KE_OK;
    unsigned int m_uColor = 0xFF808080;
    static int s_iLive;

private:
    void Add(const std::string& strText)
    {
        if (m_pLog)
            m_pLog->push_back(m_strProbe + ":" + strText);
    }
    int Log(const char* pHook, int x, int y)
    {
        Add(std::string(pHook) + " " + std::to_string(x) + "," + std::to_string(y));
        return m_iResult;
    }
    void Note(const char* pHook, CWidget* pOther)
    {
        Add(std::string(pHook) + " " + (pOther ? static_cast<CProbeWidget*>(pOther)->m_strProbe : "-"));
    }

    WidgetLog* m_pLog;
    std::string m_strProbe;
    int m_iResult;
};

inline int CProbeWidget::s_iLive = 0;

// A callback that appends "tag:widget name" to the log given as context.
inline KE_RETVAL LogCallback(CWidget* pWidget, void* pContext)
{
    char aName[128];
    pWidget->GetName().MakeAnsi(aName);
    static_cast<WidgetLog*>(pContext)->push_back(std::string("cb:") + aName);
    return KE_OK;
}

// Deletes a whole tree the way owners do: Shutdown on the root, then delete.
struct sTreeDeleter
{
    void operator()(CWidget* p) const
    {
        p->Shutdown();
        delete p;
    }
};
