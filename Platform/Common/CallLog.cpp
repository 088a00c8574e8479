// Call log and failure injection: one process-wide list, guarded because the
// services may be called from the music and sound threads.
#include "Platform/Common/CallLog.h"

#include <map>
#include <mutex>

#include "PlatformControl.h"

namespace plat
{

namespace
{

struct sCALL_LOG_STATE
{
    std::mutex m_Lock;
    std::vector<sPlatformCall> m_aCalls;
    std::map<std::string, int> m_mapFailures; // name -> calls left to fail, -1 for ever
};

sCALL_LOG_STATE& LogState()
{
    static sCALL_LOG_STATE s_State;
    return s_State;
}

// Caller holds the lock.
bool TakeFailure(sCALL_LOG_STATE& state, const char* pszName)
{
    auto it = state.m_mapFailures.find(pszName);
    if (it == state.m_mapFailures.end())
        return false;
    if (it->second > 0 && --it->second == 0)
        state.m_mapFailures.erase(it);
    return true;
}

} // namespace

bool RecordCall(const char* pszName, std::initializer_list<long long> aArgs)
{
    sCALL_LOG_STATE& state = LogState();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    const bool bFail = TakeFailure(state, pszName);
    state.m_aCalls.push_back(sPlatformCall{pszName, std::vector<long long>(aArgs), bFail});
    return bFail;
}

bool ShouldFail(const char* pszName)
{
    sCALL_LOG_STATE& state = LogState();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    return TakeFailure(state, pszName);
}

void ResetCallLog()
{
    sCALL_LOG_STATE& state = LogState();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    state.m_aCalls.clear();
    state.m_mapFailures.clear();
}

std::string sPlatformCall::ToString() const
{
    std::string strText = m_strName + "(";
    for (size_t i = 0; i < m_aArgs.size(); ++i)
        strText += (i ? ", " : "") + std::to_string(m_aArgs[i]);
    return strText + ")";
}

std::vector<sPlatformCall> GetCallLog()
{
    sCALL_LOG_STATE& state = LogState();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    return state.m_aCalls;
}

std::vector<std::string> GetCallNames()
{
    std::vector<std::string> aNames;
    for (const sPlatformCall& call : GetCallLog())
        aNames.push_back(call.m_strName);
    return aNames;
}

int CountCalls(const std::string& strName)
{
    int iCount = 0;
    for (const sPlatformCall& call : GetCallLog())
        iCount += call.m_strName == strName;
    return iCount;
}

void ClearCallLog()
{
    sCALL_LOG_STATE& state = LogState();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    state.m_aCalls.clear();
}

void FailCall(const std::string& strName, int iTimes)
{
    sCALL_LOG_STATE& state = LogState();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    if (iTimes == 0)
        state.m_mapFailures.erase(strName);
    else
        state.m_mapFailures[strName] = iTimes < 0 ? -1 : iTimes;
}

void ClearCallFailures()
{
    sCALL_LOG_STATE& state = LogState();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    state.m_mapFailures.clear();
}

} // namespace plat
