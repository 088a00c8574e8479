// The journeys' reading of the lobby server's JSON-lines log: a step that does not happen
// throws sFailure with what was missing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/TestJson.h"

namespace lobby_match
{

// Guards against hanging, not measurements.
const int STEP_SECONDS = 60;

struct sFailure
{
    std::string m_strStep;
};

[[noreturn]] void Fail(const std::string& strStep);
// One line "e2e: <text>" on standard output, at once.
void Say(const std::string& strText);
void Pause(int iMilliseconds);

class CServerLog
{
public:
    explicit CServerLog(const std::string& strPath) : m_strPath(strPath) {}

    // Every record so far, in order.
    const std::vector<CTestJson>& Records();
    // The index of the first record from uFrom on that matches, or -1.
    int Find(const std::function<bool(const CTestJson&)>& fnMatch, size_t uFrom = 0);
    // The first matching record from uFrom on; fails with "no <what> within N s".
    CTestJson WaitFor(const std::string& strWhat, const std::function<bool(const CTestJson&)>& fnMatch,
                      int iSeconds = STEP_SECONDS, size_t uFrom = 0, int* pIndex = nullptr);
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
