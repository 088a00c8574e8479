// Sets an environment variable for one test and puts the old value back.
#pragma once
#include <cstdlib>
#include <string>

class CScopedEnv
{
public:
    CScopedEnv(const char* pName, const char* pValue) : m_strName(pName)
    {
        const char* pOld = getenv(pName);
        m_bHad = pOld != nullptr;
        if (m_bHad)
            m_strOld = pOld;
        setenv(pName, pValue, 1);
    }
    ~CScopedEnv()
    {
        if (m_bHad)
            setenv(m_strName.c_str(), m_strOld.c_str(), 1);
        else
            unsetenv(m_strName.c_str());
    }
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    std::string m_strName;
    std::string m_strOld;
    bool m_bHad = false;
};
