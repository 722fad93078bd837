#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end
// of the test.

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class TempFolder
{
public:
    TempFolder()
    {
        static int counter = 0;
        mPath = std::filesystem::temp_directory_path() /
                ("orlantix-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(mPath);
        std::filesystem::create_directories(mPath);
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(mPath, ec);
    }

    const std::filesystem::path& Path() const { return mPath; }
    std::string Str() const { return mPath.string(); }

    // Writes content to a file below the folder, creating its parent folders.
    std::string Write(const std::string& relative, const std::string& content) const
    {
        const auto p = mPath / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    void MakeFolder(const std::string& relative) const
    {
        std::filesystem::create_directories(mPath / relative);
    }

private:
    std::filesystem::path mPath;
};
