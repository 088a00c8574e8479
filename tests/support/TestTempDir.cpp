#include "support/TestTempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

CTestTempDir::CTestTempDir()
{
    const char* pBase = getenv("TMPDIR");
    std::string strName = "korvel-";
    if (const testing::TestInfo* pInfo = testing::UnitTest::GetInstance()->current_test_info())
        strName += std::string(pInfo->test_suite_name()) + "-" + pInfo->name() + "-";
    for (char& c : strName)
        if (c == '/')
            c = '_';
    std::string strTemplate = std::string(pBase && *pBase ? pBase : "/tmp") + "/" + strName + "XXXXXX";
    std::vector<char> aBuf(strTemplate.begin(), strTemplate.end());
    aBuf.push_back(0);
    if (!mkdtemp(aBuf.data()))
        throw std::runtime_error("mkdtemp failed");
    m_strPath = aBuf.data();
}

CTestTempDir::~CTestTempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_strPath, ec);
}
