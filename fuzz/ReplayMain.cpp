// Runs a fuzz target over every file of its corpus folder, so the seeds and every
// crash once found stay regression tests in an ordinary build.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize);

int main(int argc, char** argv)
{
    size_t uCount = 0;
    for (int i = 1; i < argc; ++i)
    {
        std::error_code ec;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i], ec))
        {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<uint8_t> aBytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(aBytes.data(), aBytes.size());
            ++uCount;
        }
    }
    // An empty input is always worth a run too.
    LLVMFuzzerTestOneInput(nullptr, 0);
    printf("replayed %zu inputs\n", uCount);
    return 0;
}
