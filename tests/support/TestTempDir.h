// A fresh directory for one test, removed with everything in it afterwards.
#pragma once
#include <string>

class CTestTempDir
{
public:
    CTestTempDir();
    ~CTestTempDir();
    CTestTempDir(const CTestTempDir&) = delete;
    CTestTempDir& operator=(const CTestTempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    // Path of a file inside the directory.
    std::string File(const std::string& strName) const { return m_strPath + "/" + strName; }

private:
    std::string m_strPath;
};
