// Menus: depth-first numbering, totals, tags and flags, and the menus controls build from their
// parameters.

#include "GraphicsTestSupport.h"
#include "IGraphicsLice.h"
#include "IPopupMenu.h"

#include <gtest/gtest.h>

namespace
{
// a, s1 [b, s2 [c, d], e], f
std::unique_ptr<IPopupMenu> NestedMenu()
{
    auto s2 = std::make_unique<IPopupMenu>();
    s2->AddTextItem("c")->SetTag(3);
    s2->AddTextItem("d")->SetTag(4);
    auto s1 = std::make_unique<IPopupMenu>();
    s1->AddTextItem("b")->SetTag(2);
    s1->AddSubmenu("s2", std::move(s2))->SetTag(20);
    s1->AddTextItem("e")->SetTag(5);
    auto root = std::make_unique<IPopupMenu>();
    root->AddTextItem("a")->SetTag(1);
    root->AddSubmenu("s1", std::move(s1))->SetTag(10);
    root->AddTextItem("f")->SetTag(6);
    return root;
}
} // namespace

TEST(IPopupMenu, FlatIndicesRunDepthFirstThroughNestedSubmenus)
{
    auto menu = NestedMenu();
    std::vector<std::string> order;
    for (int i = 0; i < menu->FlatCount(); ++i)
        order.push_back(menu->ItemAt(i)->Text());
    EXPECT_EQ(order, (std::vector<std::string>{"a", "s1", "b", "s2", "c", "d", "e", "f"}));
    EXPECT_EQ(menu->ItemAt(8), nullptr);
    EXPECT_EQ(menu->ItemAt(-1), nullptr);
    // Totals count the entries below, a submenu item by its submenu.
    EXPECT_EQ(menu->GetItem(1)->Submenu()->Total(), 4);
    EXPECT_EQ(menu->Total(), 6);

    EXPECT_EQ(menu->FindByTag(4)->Text(), "d");
    EXPECT_EQ(menu->FindByTag(20)->Text(), "s2");
    EXPECT_EQ(menu->FindByTag(99), nullptr);
    EXPECT_FALSE(menu->SetChecked(99, true));
    EXPECT_FALSE(menu->AnyChecked());
    EXPECT_TRUE(menu->SetChecked(3, true));
    EXPECT_TRUE(menu->AnyChecked());
    EXPECT_TRUE(menu->SetEnabled(5, false));
    EXPECT_FALSE(menu->ItemAt(6)->Enabled());
    menu->EnableAll(true);
    menu->CheckAll(false);
    EXPECT_TRUE(menu->ItemAt(6)->Enabled());
    EXPECT_FALSE(menu->AnyChecked());

    // Insertion positions are limited to the item count.
    menu->AddTextItem("first", 0);
    menu->AddSeparator(99);
    menu->AddMarkedItem("marked", 2);
    EXPECT_EQ(menu->GetItem(0)->Text(), "first");
    EXPECT_EQ(menu->GetItem(2)->Flags(), IPopupMenu::Item::kNoSubmenuCheck);
    EXPECT_TRUE(menu->GetItem(menu->NItems() - 1)->IsSeparator());
    EXPECT_EQ(menu->ItemAt(menu->FlatCount() - 2)->Text(), "f");
}

TEST(IPopupMenu, ControlsListTheirParametersChoicesInColumns)
{
    EditorPlug plug;
    plug.AttachEditor(new IGraphicsLice(&plug, 10, 10));
    IParameter* mode = plug.GetParam(kMode);
    CountingControl enumControl(&plug, IRect(0, 0, 1, 1), kMode);
    mode->SetValue(1.0);
    auto menu = enumControl.BuildParamMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->NItems(), 3);
    EXPECT_FALSE(menu->GetItem(0)->Checked());
    EXPECT_TRUE(menu->GetItem(1)->Checked());
    enumControl.ApplyMenuChoice(*menu, 2);
    EXPECT_EQ(enumControl.GetValue(), 1.0);
    EXPECT_EQ(mode->Value(), 2.0);

    // 30 choices: a new column at item 24 only.
    IParameter* on = plug.GetParam(kOn);
    CountingControl boolControl(&plug, IRect(0, 0, 1, 1), kOn);
    EXPECT_EQ(boolControl.BuildParamMenu()->NItems(), 2); // "off", "on"
    for (int k = 2; k < 30; ++k)
        on->AddDisplayText(k, ("t" + std::to_string(k)).c_str());
    menu = boolControl.BuildParamMenu();
    ASSERT_EQ(menu->NItems(), 30);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ((menu->GetItem(i)->Flags() & IPopupMenu::Item::kBreak) != 0, i == 24) << i;
    EXPECT_TRUE(menu->GetItem(0)->Checked());

    CountingControl realControl(&plug, IRect(0, 0, 1, 1), kGain);
    EXPECT_EQ(realControl.BuildParamMenu(), nullptr);
    CountingControl unbound(&plug, IRect(0, 0, 1, 1));
    EXPECT_EQ(unbound.BuildParamMenu(), nullptr);
}
