// One log of calls shared by the test doubles of one test application: who was called,
// what, and with which arguments, in order. Header only.
#pragma once

#include <string>
#include <vector>

class CTestCallLog
{
public:
    // Entries read "who.what(args)".
    void Add(const std::string& strWho, const std::string& strWhat, const std::string& strArgs = "")
    {
        m_aEntries.push_back(strWho + "." + strWhat + "(" + strArgs + ")");
    }
    const std::vector<std::string>& Entries() const { return m_aEntries; }
    // The entries that begin with the prefix (for example "theme." or "game.Update").
    std::vector<std::string> With(const std::string& strPrefix) const
    {
        std::vector<std::string> aFound;
        for (const std::string& strEntry : m_aEntries)
            if (strEntry.compare(0, strPrefix.size(), strPrefix) == 0)
                aFound.push_back(strEntry);
        return aFound;
    }
    int Count(const std::string& strPrefix) const { return static_cast<int>(With(strPrefix).size()); }
    // Index of the first entry at or after iFrom that begins with the prefix; -1 when none.
    int Find(const std::string& strPrefix, int iFrom = 0) const
    {
        for (size_t u = static_cast<size_t>(iFrom < 0 ? 0 : iFrom); u < m_aEntries.size(); ++u)
            if (m_aEntries[u].compare(0, strPrefix.size(), strPrefix) == 0)
                return static_cast<int>(u);
        return -1;
    }
    void Clear() { m_aEntries.clear(); }

private:
    std::vector<std::string> m_aEntries;
};
