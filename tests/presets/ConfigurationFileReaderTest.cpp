#include "ConfigurationFileReader.h"
#include "CheckCapture.h"
#include "HomeDirectory.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace
{
// A pool as the plug-in registers it, then read from a configuration file with text.
std::string PresetFolderAfterReading(const std::string& text)
{
    TempFolder folder;
    const std::string path = folder.Write("Orlantix.ini", text);
    ConfigurablePool pool;
    pool.RegisterDefaults();
    ReadConfiguration(pool, path.c_str());
    return pool.StringValue(kConfigPresetFolder);
}
} // namespace

TEST(ConfigurationFile, QuotedValuesCommentsAndBlankLines)
{
    EXPECT_EQ(
        PresetFolderAfterReading("; presets\n\n   \nPresetFolder \"C:\\My Presets\\x\" more\n"),
        "C:\\My Presets\\x");
    EXPECT_EQ(PresetFolderAfterReading("PresetFolder\t'/a b/c' ; comment \"ignored\"\n"), "/a b/c");
    EXPECT_EQ(PresetFolderAfterReading("PresetFolder /plain;comment"), "/plain");
    // A quote without its closing twin runs to the end of the line.
    EXPECT_EQ(PresetFolderAfterReading("PresetFolder \"/open end  \n"), "/open end  ");
}

TEST(ConfigurationFile, KeysMatchExactlyAndTheLastLineWins)
{
    EXPECT_EQ(PresetFolderAfterReading("presetfolder /lower\nPRESETFOLDER /upper\n"), "");
    EXPECT_EQ(
        PresetFolderAfterReading("PresetFolder /first\r\nOther /x\r\nPresetFolder /second\r\n"),
        "/second");
    EXPECT_EQ(PresetFolderAfterReading(""), "");
}

TEST(ConfigurationFile, LongLinesAreCutToTheLineLimit)
{
    const std::string value(300, 'v');
    const std::string got =
        PresetFolderAfterReading("PresetFolder " + value + "\nPresetFolder2 x\n");
    // 128 characters of line: the key, one space, and what is left of the value.
    EXPECT_EQ(got, std::string(128 - 13, 'v'));
}

TEST(ConfigurationFile, MissingFileLeavesDefaults)
{
    ConfigurablePool pool;
    pool.RegisterDefaults();
    ReadConfiguration(pool, "/nonexistent/folder/Orlantix.ini");
    ReadConfiguration(pool, "");
    EXPECT_STREQ(pool.StringValue(kConfigPresetFolder), "");
    EXPECT_EQ(pool.Get(kConfigPresetFolder)->Name(), "PresetFolder");
}

TEST(ConfigurationFile, NumericValueIsTheLeadingWholeNumber)
{
    EXPECT_EQ(LeadingWholeNumber("  -42abc"), -42.0);
    EXPECT_EQ(LeadingWholeNumber("+7"), 7.0);
    EXPECT_EQ(LeadingWholeNumber("x12"), 0.0);
    EXPECT_GT(LeadingWholeNumber(std::string(400, '9').c_str()), 1e299);
}

TEST(ConfigurationFile, TokensKeepTheirLimitButScanToTheirEnd)
{
    char buf[5];
    const char* line = "  abcdefgh next";
    const char* rest = ReadToken(line, 4, buf);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_STREQ(rest, " next");
    CheckCapture checks;
    EXPECT_EQ(ReadToken(nullptr, 4, buf), nullptr);
    EXPECT_TRUE(checks.Fired("src/Configurable", "pStart"));
}

TEST(ConfigurablePool, IndexChecks)
{
    ConfigurablePool pool;
    pool.RegisterDefaults();
    CheckCapture checks;
    EXPECT_EQ(pool.Get(1), nullptr);
    EXPECT_EQ(pool.Get(-1), nullptr);
    EXPECT_TRUE(checks.Fired("src/ConfigurablePool",
                             "configIdx >= 0 && configIdx < mConfigurables.GetSize()"));
    pool.SetString(0, nullptr);
    EXPECT_TRUE(checks.Fired("src/Configurable", "pString"));
}

TEST(HomeDirectory, CutAtTheLastSeparator)
{
    char home[kHomePathSize];
    ASSERT_TRUE(HomeDirectoryFromModulePath("/usr/lib/vst/Orlantix.so", home));
    EXPECT_STREQ(home, "/usr/lib/vst");
    ASSERT_TRUE(HomeDirectoryFromModulePath("Orlantix.so", home));
    EXPECT_STREQ(home, "Orlantix.so");
    EXPECT_FALSE(HomeDirectoryFromModulePath(std::string(1025, 'a').c_str(), home));
    EXPECT_STREQ(home, "");

    char path[kHomePathSize];
    ConfigurationFilePath("/opt/x", path);
    EXPECT_STREQ(path, "/opt/x/Orlantix.ini");
    ConfigurationFilePath(std::string(1011, 'a').c_str(), path);
    EXPECT_STREQ(path, std::string(1011, 'a').append("/Orlantix.ini").c_str());
    ConfigurationFilePath(std::string(1012, 'a').c_str(), path);
    EXPECT_STREQ(path, "");

    EXPECT_EQ(ResolveBesideLibrary("presets", "/opt/orx"), "/opt/orx/presets");
    EXPECT_EQ(ResolveBesideLibrary("/abs/presets", "/opt/orx"), "/abs/presets");
    EXPECT_EQ(ResolveBesideLibrary("", "/opt/orx"), "");
    EXPECT_EQ(ResolveBesideLibrary("presets", ""), "presets");

    // The module running this test has a real folder.
    ASSERT_TRUE(HomeDirectory(home));
    EXPECT_NE(home[0], '\0');
}
