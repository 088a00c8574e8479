#include "tests/e2e/LobbyMatchLog.h"

#include <fstream>
#include <iterator>

namespace lobby_match
{

const std::vector<CTestJson>& CServerLog::Records()
{
    std::ifstream file(m_strPath, std::ios::binary);
    file.seekg(std::streamoff(m_uOffset));
    std::string strChunk((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    m_uOffset += strChunk.size();
    m_strPartial += strChunk;
    size_t uNewline;
    while ((uNewline = m_strPartial.find('\n')) != std::string::npos)
    {
        CTestJson record;
        std::string strError;
        if (CTestJson::Parse(m_strPartial.substr(0, uNewline), record, strError))
            m_aRecords.push_back(record);
        m_strPartial.erase(0, uNewline + 1);
    }
    return m_aRecords;
}

int CServerLog::Find(const std::function<bool(const CTestJson&)>& fnMatch, size_t uFrom)
{
    const std::vector<CTestJson>& aRecords = Records();
    for (size_t u = uFrom; u < aRecords.size(); ++u)
        if (fnMatch(aRecords[u]))
            return int(u);
    return -1;
}

bool IsMessage(const CTestJson& record, const char* pDirection, const std::string& strConn, const char* pName)
{
    return record["event"].String() == pDirection && record["conn"].String() == strConn &&
           record["name"].String() == pName;
}

std::vector<int> Payload(const CTestJson& record)
{
    const std::string strHex = record["fields"]["payload"]["hex"].String();
    std::vector<int> aBytes;
    for (size_t u = 0; u + 1 < strHex.size(); u += 2)
        aBytes.push_back(std::stoi(strHex.substr(u, 2), nullptr, 16));
    return aBytes;
}

std::function<bool(const CTestJson&)> GameEvent(const std::string& strConn, int iType)
{
    return [=](const CTestJson& record)
    {
        if (!IsMessage(record, "in", strConn, "GameMessage"))
            return false;
        const std::vector<int> aBytes = Payload(record);
        return !aBytes.empty() && aBytes[0] == iType;
    };
}

} // namespace lobby_match
