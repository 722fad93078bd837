#include "PresetFolder.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

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
    // The root's own files take 1 and 2 in whatever order the file system listed them.
    std::set<int> rootIndices;
    for (auto* f = root->Files().First(); f; f = NodeList<PresetFile>::Next(f))
        rootIndices.insert(f->mIndex);
    EXPECT_EQ(rootIndices, (std::set<int>{1, 2}));

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
