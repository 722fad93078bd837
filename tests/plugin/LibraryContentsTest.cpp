// Every built plug-in library carries the editor's 26 images, byte for byte, even before the
// editor draws with them. The Windows libraries are checked when their presets have been built.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace
{

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The image files named in resources/images.txt ("id name" lines).
std::vector<std::string> ImageFiles()
{
    std::ifstream list(std::string(ORX_SOURCE_DIR) + "/resources/images.txt");
    std::vector<std::string> files;
    std::string line;
    while (std::getline(list, line))
    {
        std::istringstream fields(line);
        int id = 0;
        std::string name;
        if (line.empty() || !(line[0] >= '0' && line[0] <= '9') || !(fields >> id >> name))
            continue;
        files.push_back(std::string(ORX_SOURCE_DIR) + "/resources/img/" + name);
    }
    return files;
}

void ExpectImagesInside(const std::string& library)
{
    const std::string bytes = ReadBytes(library);
    if (bytes.empty())
        GTEST_SKIP() << library << " has not been built";
    const std::vector<std::string> images = ImageFiles();
    ASSERT_EQ(images.size(), 26u);
    for (const std::string& image : images)
    {
        const std::string png = ReadBytes(image);
        ASSERT_GT(png.size(), 8u) << image;
        EXPECT_NE(bytes.find(png), std::string::npos) << image << " is not inside " << library;
    }
}

} // namespace

TEST(LibraryContents, LinuxLibraryHoldsEveryImage)
{
    ExpectImagesInside(ORX_PLUGIN_PATH);
}

TEST(LibraryContents, Win32LibraryHoldsEveryImage)
{
    ExpectImagesInside(ORX_WIN32_PLUGIN_PATH);
}

TEST(LibraryContents, Win64LibraryHoldsEveryImage)
{
    ExpectImagesInside(ORX_WIN64_PLUGIN_PATH);
}
