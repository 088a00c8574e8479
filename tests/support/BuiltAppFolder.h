// The framework's content as the build made it (<build>/run/app/native/), linked file by
// file into a test application's own folder, so that nothing a test writes reaches the
// build's copy. Header only.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// False when the built folder is missing or a link could not be made.
inline bool LinkBuiltAppFolder(const std::string& strAppFolder)
{
    const char* pBinary = std::getenv("KORVEL_BINARY_DIR");
    const std::filesystem::path built = std::filesystem::path(pBinary ? pBinary : ".") / "run/app/native";
    std::error_code ec;
    if (!std::filesystem::is_directory(built, ec))
        return false;
    for (const auto& entry : std::filesystem::directory_iterator(built, ec))
    {
        const std::filesystem::path link = std::filesystem::path(strAppFolder) / entry.path().filename();
        std::filesystem::remove(link, ec);
        std::filesystem::create_symlink(std::filesystem::absolute(entry.path()), link, ec);
        if (ec)
            return false;
    }
    return !ec;
}
