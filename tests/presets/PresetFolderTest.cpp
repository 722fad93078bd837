#include "PresetFolder.h"
#include "NameOrder.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace
{
std::set<std::string> DisplayNames(const PresetFolder& folder)
{
    std::set<std::string> names;
    for (auto* f = folder.Files().First(); f; f = NodeList<PresetFile>::Next(f))
        names.insert(f->DisplayName());
    return names;
}
} // namespace

TEST(PresetFolder, NumbersFilesBeforeSubfolders)
{
    TempFolder t;
    t.Write("x.preset", "");
    t.Write("y.preset", "");
    t.Write("sub/z.preset", "");
    auto root = BuildPresetTree(t.Str().c_str());
    EXPECT_EQ(root->mFirstIndex, 1);
    EXPECT_EQ(root->mLastIndex, 3);
    const PresetFolder* sub = root->Subfolders().First();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->Name(), "sub");
    EXPECT_EQ(sub->mFirstIndex, 3);
    EXPECT_EQ(sub->Files().First()->mIndex, 3);
    // The root's own files take 1 and 2 in name order.
    ASSERT_NE(root->FindFile(1), nullptr);
    EXPECT_EQ(root->FindFile(1)->FileName(), "x.preset");
    EXPECT_EQ(root->FindFile(2)->FileName(), "y.preset");

    PresetFile* z = root->FindFile(3);
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(z->FileName(), "z.preset");
    std::string path;
    ASSERT_TRUE(PresetFolder::FilePath(*z, path));
    EXPECT_EQ(path, t.Str() + "/sub/z.preset");
    EXPECT_EQ(root->FindFile(0), nullptr);
    EXPECT_EQ(root->FindFile(4), nullptr);
}

TEST(PresetFolder, EmptyFoldersAndDotlessFilesAreDropped)
{
    TempFolder t;
    t.MakeFolder("only-empty/inner/deeper");
    t.Write("README", "");
    t.Write("a.preset", "");
    t.Write("a.txt", "");
    t.Write("archive.tar.gz", "");
    auto root = BuildPresetTree((t.Str() + "/").c_str());
    EXPECT_TRUE(root->Subfolders().Empty());
    EXPECT_EQ(DisplayNames(*root), (std::set<std::string>{"a", "archive.tar"}));
    EXPECT_EQ(root->mLastIndex, 3); // a.preset, a.txt and archive.tar.gz
}

TEST(PresetFolder, MissingOrTooLongRootGivesAnEmptyTree)
{
    auto missing = BuildPresetTree("/nonexistent/presets");
    EXPECT_TRUE(missing->Empty());
    EXPECT_EQ(missing->mLastIndex, 0);
    EXPECT_EQ(missing->FindFile(1), nullptr);

    auto none = BuildPresetTree("");
    EXPECT_TRUE(none->Empty());

    TempFolder t;
    t.Write("a.preset", "");
    std::string longRoot = t.Str();
    while (longRoot.size() < 260)
        longRoot += "/.";
    EXPECT_TRUE(BuildPresetTree(longRoot.c_str())->Empty());
}

TEST(PresetFolder, DeepFolderBeyondThePathLimitIsNotScanned)
{
    TempFolder t;
    std::string deep;
    while (t.Str().size() + deep.size() < 270)
        deep += "/dddddddddd";
    t.Write(deep.substr(1) + "/far.preset", "");
    t.Write("near.preset", "");
    auto root = BuildPresetTree(t.Str().c_str());
    EXPECT_EQ(DisplayNames(*root), (std::set<std::string>{"near"}));
    EXPECT_TRUE(root->Subfolders().Empty());
}

// Names as a musician reads them: case aside, numbers by value, anything else by its byte; equal
// names in those terms still in one fixed order, so the listing order cannot show through.
TEST(PresetFolder, NameOrderIsOneTotalOrderWhateverTheListing)
{
    const std::vector<std::string> expected = {" lead",
                                               "-pad",
                                               "007",
                                               "7",
                                               "08 bars",
                                               "8 Bars",
                                               "9",
                                               "010",
                                               "10",
                                               "99 bottles",
                                               "100",
                                               "_init",
                                               "a",
                                               "A1",
                                               "a01",
                                               "a1",
                                               "a1b",
                                               "a2",
                                               "a10",
                                               "A10b",
                                               "Bass 2",
                                               "bass 2 (soft)",
                                               "Bass 10",
                                               "bass10",
                                               "Beta",
                                               "beta",
                                               "Zeta",
                                               "zeta",
                                               "zz",
                                               "\xc3\x84rger",
                                               "\xc3\xa9t\xc3\xa9"};
    for (std::size_t i = 0; i < expected.size(); ++i)
        for (std::size_t j = 0; j < expected.size(); ++j)
        {
            const int c = orx::CompareNames(expected[i], expected[j]);
            EXPECT_EQ(c < 0, i < j) << expected[i] << " / " << expected[j];
            EXPECT_EQ(c == 0, i == j) << expected[i] << " / " << expected[j];
        }
    std::mt19937 shuffle(19);
    for (int round = 0; round < 20; ++round)
    {
        std::vector<std::string> names = expected;
        std::shuffle(names.begin(), names.end(), shuffle);
        std::sort(names.begin(), names.end(), orx::NameBefore);
        ASSERT_EQ(names, expected) << "round " << round;
    }
}
