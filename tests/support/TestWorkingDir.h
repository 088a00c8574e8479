// A fresh temporary directory that is the working directory for one test, so the
// application's folders ("app/native/" and "data/") lie inside it. Header only.
#pragma once

#include "support/TestTempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

class CTestWorkingDir
{
public:
    CTestWorkingDir()
    {
        char szDir[4096];
        m_strSaved = getcwd(szDir, sizeof(szDir)) ? szDir : ".";
        EXPECT_EQ(chdir(m_Dir.Path().c_str()), 0);
    }
    ~CTestWorkingDir() { EXPECT_EQ(chdir(m_strSaved.c_str()), 0); }
    CTestWorkingDir(const CTestWorkingDir&) = delete;
    CTestWorkingDir& operator=(const CTestWorkingDir&) = delete;

    const std::string& Path() const { return m_Dir.Path(); }
    std::string AppFile(const std::string& strName) const { return Path() + "/app/native/" + strName; }
    std::string DataFile(const std::string& strName) const { return Path() + "/data/" + strName; }

    // Writes the bytes, creating the file's folders.
    static void Put(const std::string& strPath, const std::string& strBytes)
    {
        for (size_t u = strPath.find('/', 1); u != std::string::npos; u = strPath.find('/', u + 1))
            mkdir(strPath.substr(0, u).c_str(), 0755);
        std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
        out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
        EXPECT_TRUE(out.good()) << strPath;
    }
    // The file's bytes; "" when it cannot be read.
    static std::string Get(const std::string& strPath)
    {
        std::ifstream in(strPath, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static bool Exists(const std::string& strPath)
    {
        struct stat info;
        return stat(strPath.c_str(), &info) == 0;
    }

private:
    CTestTempDir m_Dir;
    std::string m_strSaved;
};
