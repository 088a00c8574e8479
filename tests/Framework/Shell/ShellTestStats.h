// The statistics store of the working directory's "data/stats.dat" for the shell's tests:
// read as text per name, and written with chosen settings before a start. Header only.
#pragma once

#include <sys/stat.h>

#include <map>
#include <string>

#include "Framework/Shell/VornStatistics.h"
#include "support/TestText.h"

// Name to value as text; a bool reads "0" or "1". Empty without a file.
inline std::map<std::string, std::string> StoredSettings()
{
    CVornStatistics store;
    store.Startup(nullptr);
    std::map<std::string, std::string> values;
    for (int i = 0; i < store.GetPropertyCount(); ++i)
    {
        const CVornStatisticsProperty* p = store.GetProperty(i);
        std::string strValue;
        switch (p->m_iType)
        {
        case CVornStatisticsProperty::TYPE_BOOL:
            strValue = std::to_string(p->m_uBoolValue);
            break;
        case CVornStatisticsProperty::TYPE_STRING:
            strValue = Narrow(p->m_strStringValue);
            break;
        default:
            strValue = std::to_string(p->m_iIntValue);
            break;
        }
        values.emplace(Narrow(p->m_strName), strValue);
    }
    store.Shutdown();
    return values;
}

// Writes a store of int settings (creating "data/").
inline void StoreIntSettings(const std::map<std::string, int>& settings)
{
    mkdir("data", 0755);
    CVornStatistics store;
    store.Startup(nullptr);
    for (const auto& setting : settings)
        store.AddProperty(CKorvelString(setting.first.c_str()))->SetInt(setting.second);
    store.WriteStatistics();
    store.Shutdown();
}
