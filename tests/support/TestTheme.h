// A theme that records its calls and fails to start for the listed names. Header only.
#pragma once

#include <set>
#include <string>

#include "Framework/UI/Theme.h"
#include "support/TestCallLog.h"
#include "support/TestText.h"

class CTestTheme : public CVornTheme
{
public:
    CTestTheme(CTestCallLog& log, const std::set<std::string>& failing) : m_Log(log), m_Failing(failing) {}

    KE_RETVAL Startup(CVornApplication*, const CKorvelString& strName) override
    {
        m_strName = Narrow(strName);
        m_Log.Add("theme", "Startup", m_strName);
        return m_Failing.count(m_strName) ? KE_ERR_NOTFOUND : KE_OK;
    }
    void Shutdown() override { m_Log.Add("theme", "Shutdown", m_strName); }

    std::string m_strName;

private:
    CTestCallLog& m_Log;
    std::set<std::string> m_Failing;
};
