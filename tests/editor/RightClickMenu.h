#pragma once
// A right-click menu as the headless window listed it starts with the plug-in's undo and redo
// and a separator; what follows is the control's own menu.

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline std::vector<std::string> ControlItems(const std::vector<std::string>& shown)
{
    EXPECT_GE(shown.size(), 3u);
    if (shown.size() < 3)
        return shown;
    EXPECT_EQ(shown[0].rfind("Undo", 0), 0u) << shown[0];
    EXPECT_EQ(shown[1].rfind("Redo", 0), 0u) << shown[1];
    EXPECT_EQ(shown[2], "---");
    return {shown.begin() + 3, shown.end()};
}
