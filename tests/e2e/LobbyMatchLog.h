// The journeys' reading of the lobby server's JSON-lines log.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/TestJson.h"

namespace lobby_match
{

class CServerLog
{
public:
    explicit CServerLog(const std::string& strPath) : m_strPath(strPath) {}

    // Every record so far, in order.
    const std::vector<CTestJson>& Records();
    // The index of the first record from uFrom on that matches, or -1.
    int Find(const std::function<bool(const CTestJson&)>& fnMatch, size_t uFrom = 0);
    size_t Count() { return Records().size(); }

private:
    std::string m_strPath;
    size_t m_uOffset = 0;
    std::string m_strPartial; // bytes after the last whole line
    std::vector<CTestJson> m_aRecords;
};

bool IsMessage(const CTestJson& record, const char* pDirection, const std::string& strConn,
               const char* pName);
// The payload bytes of a logged GameMessage (as far as the log shows them).
std::vector<int> Payload(const CTestJson& record);
// Matches a GameMessage that came in on the connection with a game event of that type.
std::function<bool(const CTestJson&)> GameEvent(const std::string& strConn, int iType);

} // namespace lobby_match
