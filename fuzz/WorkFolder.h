// A folder of the process's own for fuzz targets whose code writes files under the working
// folder (its data/ folder). Header only.
#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace
{
// The folder the code under test writes its data/ into while an input runs; libFuzzer's own paths
// are relative to the folder it was started in, which is restored after each input.
const char* WorkFolder()
{
    static char s_aFolder[] = "/tmp/fuzz_work_XXXXXX";
    static const bool s_bMade = []
    {
        if (!mkdtemp(s_aFolder))
            std::abort();
        std::atexit([] { std::filesystem::remove_all(s_aFolder); });
        return true;
    }();
    return s_bMade ? s_aFolder : nullptr;
}

class CInWorkFolder
{
public:
    CInWorkFolder() : m_iBack(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (m_iBack < 0 || chdir(WorkFolder()) != 0)
            std::abort();
    }
    ~CInWorkFolder()
    {
        if (fchdir(m_iBack) != 0)
            std::abort();
        close(m_iBack);
    }

private:
    int m_iBack;
};
} // namespace
