// The preset name shown to the user, cut from the path the preset was read from.

#include "PresetName.h"

#include <gtest/gtest.h>

#include <string>

TEST(PresetName, NameIsTheFileNameWithoutItsLastExtension)
{
    PresetName name;
    EXPECT_STREQ(name.Name(), "");
    EXPECT_EQ(name.FullPath(), "");
    const struct
    {
        const char* mPath;
        const char* mName;
    } cases[] = {
        {"/home/me/presets/My Groove.v2.preset", "My Groove.v2"},
        {"C:\\Presets\\Funk\\Slap.preset", "Slap"},
        {"Macintosh HD:Presets:Drift.preset", "Drift"},
        {"mixed/dir\\name:last.preset", "last"},
        {"folder.d/NoExtension", "NoExtension"},
        {".preset", ""},
        {"/trailing/", ""},
        {"plain", "plain"},
    };
    for (const auto& c : cases)
    {
        name.Set(c.mPath);
        EXPECT_STREQ(name.Name(), c.mName) << c.mPath;
        EXPECT_EQ(name.FullPath(), c.mPath);
    }
    name.Set(nullptr);
    EXPECT_STREQ(name.Name(), "");
    EXPECT_EQ(name.FullPath(), "");
}

TEST(PresetName, LongNamesAreCutAt262Characters)
{
    PresetName name;
    const std::string longName(300, 'x');
    name.Set(("/p/" + longName + ".preset").c_str());
    EXPECT_EQ(std::string(name.Name()), std::string(262, 'x'));
    EXPECT_EQ(name.FullPath().size(), 3 + 300 + 7u);
}
