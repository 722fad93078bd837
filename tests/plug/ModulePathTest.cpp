#include "ModulePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

TEST(ModulePath, NamesTheFileThatHoldsThisCode)
{
    const std::string path = orx::ModuleFilePath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_NE(path.find("plug_tests"), std::string::npos) << path;
    EXPECT_EQ(orx::ModuleFolder(), path.substr(0, path.rfind('/') + 1));
    EXPECT_NE(orx::ModuleHandle(), nullptr);
}
