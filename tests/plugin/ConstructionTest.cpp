// What an instance reads when it is built: the configuration file beside the library names the
// preset folder, whose tree the instance keeps.

#include "ModulePath.h"
#include "PluginTestSupport.h"
#include "PresetFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace
{

namespace fs = std::filesystem;

// A configuration file beside this program (the "library" of a statically linked instance),
// removed again when the test ends.
class ConfigurationFile
{
public:
    explicit ConfigurationFile(const std::string& text)
        : mPath(fs::path(orx::ModuleFolder()) / "Orlantix.ini")
    {
        std::ofstream(mPath) << text;
    }
    ~ConfigurationFile() { fs::remove(mPath); }

private:
    fs::path mPath;
};

} // namespace

TEST(Construction, ThePresetFolderComesFromTheConfigurationFile)
{
    const fs::path root = fs::temp_directory_path() / ("orx-presets-" + std::to_string(::getpid()));
    fs::create_directories(root / "Bass");
    std::ofstream(root / "Lead.preset") << "Orlantix V1.0\n";
    std::ofstream(root / "Bass" / "Deep.preset") << "Orlantix V1.0\n";
    {
        ConfigurationFile ini("PresetFolder \"" + root.string() + "\"\n");
        auto plug = MakePlug();
        EXPECT_EQ(std::string(plug->ConfigPool().StringValue(kConfigPresetFolder)), root.string());
        const PresetFolder* tree = plug->PresetTree();
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(tree->mFirstIndex, 1);
        EXPECT_EQ(tree->mLastIndex, 2);
        ASSERT_NE(tree->FindFile(2), nullptr);
    }
    // Without the file the folder is empty and so is the tree.
    auto plain = MakePlug();
    EXPECT_STREQ(plain->ConfigPool().StringValue(kConfigPresetFolder), "");
    EXPECT_TRUE(plain->PresetTree()->Empty());
    fs::remove_all(root);
}
