// What a window layer without system menus and dialogs draws itself (the X11 layer), tested
// without a screen: the menu's numbering, keys, pointer and placement, the text field's
// editing, the file chooser's rules over a real folder, and the idle-driven frame clock.

#include "DrawnMenu.h"
#include "FileChooser.h"
#include "FrameClock.h"
#include "LICE_Fill.h"
#include "LICE_MemBitmap.h"
#include "TempFolder.h"
#include "TextField.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using Item = IPopupMenu::Item;

// A, B > (B1, B2 > (X)), ---, C (disabled), | D, E (checked), F > (G checked) without the
// submenu's check, H > (I checked).
std::unique_ptr<IPopupMenu> SampleMenu()
{
    auto inner = std::make_unique<IPopupMenu>();
    inner->AddTextItem("X");
    auto b = std::make_unique<IPopupMenu>();
    b->AddTextItem("B1");
    b->AddSubmenu("B2", std::move(inner));
    auto f = std::make_unique<IPopupMenu>();
    f->AddTextItem("G", -1, Item::kChecked);
    auto h = std::make_unique<IPopupMenu>();
    h->AddTextItem("I", -1, Item::kChecked);
    auto menu = std::make_unique<IPopupMenu>();
    menu->AddTextItem("A");
    menu->AddSubmenu("B", std::move(b));
    menu->AddSeparator();
    menu->AddTextItem("C", -1, Item::kDisabled);
    menu->AddTextItem("D", -1, Item::kBreak);
    menu->AddTextItem("E", -1, Item::kChecked);
    menu->AddSubmenu("F", std::move(f))->SetFlag(Item::kNoSubmenuCheck, true);
    menu->AddSubmenu("H", std::move(h));
    return menu;
}

const IRect kScreen(0, 0, 1000, 800);

const DrawnMenu::Entry& EntryNamed(const DrawnMenu& m, int panel, const std::string& text)
{
    for (const auto& e : m.GetPanel(panel).mEntries)
        if (e.mpItem->Text() == text)
            return e;
    throw std::runtime_error("no entry " + text);
}

// The centre of an entry on the screen.
std::pair<int, int> Centre(const DrawnMenu& m, int panel, const std::string& text)
{
    const DrawnMenu::Panel& p = m.GetPanel(panel);
    const IRect& r = EntryNamed(m, panel, text).mRect;
    return {p.mScreen.mL + (r.mL + r.mR) / 2, p.mScreen.mT + (r.mT + r.mB) / 2};
}

std::string SelectedText(const DrawnMenu& m, int panel)
{
    const auto& p = m.GetPanel(panel);
    return p.mSelected < 0 ? "" : p.mEntries[static_cast<std::size_t>(p.mSelected)].mpItem->Text();
}
} // namespace

TEST(DrawnMenu, NumbersEntriesAsTheEditorCountsThemAndShowsTheirFlags)
{
    const auto menu = SampleMenu();
    DrawnMenu m(*menu, 100, 100, kScreen);
    // Every entry of every level carries the id whose flat index finds its item again.
    m.Key(DrawnMenu::EKey::kDown);
    m.Key(DrawnMenu::EKey::kDown);
    m.Key(DrawnMenu::EKey::kRight); // B's submenu
    m.Key(DrawnMenu::EKey::kDown);
    m.Key(DrawnMenu::EKey::kRight); // B2's submenu
    ASSERT_EQ(m.Panels(), 3);
    std::vector<int> ids;
    for (int p = 0; p < m.Panels(); ++p)
        for (const auto& e : m.GetPanel(p).mEntries)
        {
            EXPECT_EQ(menu->ItemAt(e.mId - 1), e.mpItem) << e.mpItem->Text();
            ids.push_back(e.mId);
        }
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 6, 7, 8, 9, 10, 12, 3, 4, 5}));

    EXPECT_TRUE(EntryNamed(m, 0, "E").mChecked);
    EXPECT_FALSE(EntryNamed(m, 0, "F").mChecked); // its submenu's check is not shown
    EXPECT_TRUE(EntryNamed(m, 0, "H").mChecked);
    EXPECT_EQ(EntryNamed(m, 0, "C").mColumn, 0);
    EXPECT_EQ(EntryNamed(m, 0, "D").mColumn, 1);
    EXPECT_GT(EntryNamed(m, 0, "D").mRect.mL, EntryNamed(m, 0, "A").mRect.mR);
    EXPECT_EQ(EntryNamed(m, 0, "D").mRect.mT, EntryNamed(m, 0, "A").mRect.mT);

    // Drawn: the selected entry on the selection colour, a disabled text in grey.
    const DrawnMenu::Panel& top = m.GetPanel(0);
    LICE_MemBitmap picture(top.mWidth, top.mHeight);
    m.Draw(0, picture);
    const IRect b = EntryNamed(m, 0, "B").mRect;
    EXPECT_EQ(LICE::ReadPixel(&picture, b.mL + 2, b.mT + 2) & 0xFFFFFF, 0x0078D7u);
    const IRect c = EntryNamed(m, 0, "C").mRect;
    bool grey = false;
    for (int x = c.mL; x < c.mR; ++x)
        for (int y = c.mT; y < c.mB; ++y)
            grey = grey || (LICE::ReadPixel(&picture, x, y) & 0xFFFFFF) == 0x969696u;
    EXPECT_TRUE(grey);
}

TEST(DrawnMenu, KeysWalkLevelsAndColumnsChooseOrCancel)
{
    const auto menu = SampleMenu();
    {
        DrawnMenu m(*menu, 100, 100, kScreen);
        m.Key(DrawnMenu::EKey::kUp); // from nothing: the last entry
        EXPECT_EQ(SelectedText(m, 0), "H");
        m.Key(DrawnMenu::EKey::kDown); // wraps
        EXPECT_EQ(SelectedText(m, 0), "A");
        m.Key(DrawnMenu::EKey::kRight); // no submenu: the next column, same height
        EXPECT_EQ(SelectedText(m, 0), "D");
        m.Key(DrawnMenu::EKey::kLeft);
        EXPECT_EQ(SelectedText(m, 0), "A");
        m.Key(DrawnMenu::EKey::kDown);
        m.Key(DrawnMenu::EKey::kDown); // the separator is passed over
        EXPECT_EQ(SelectedText(m, 0), "C");
        m.Key(DrawnMenu::EKey::kReturn); // disabled: nothing happens
        EXPECT_EQ(m.State(), DrawnMenu::EState::kOpen);
        m.Key(DrawnMenu::EKey::kUp);
        m.Key(DrawnMenu::EKey::kReturn); // B: its submenu opens, first entry selected
        ASSERT_EQ(m.Panels(), 2);
        EXPECT_EQ(SelectedText(m, 1), "B1");
        m.Key(DrawnMenu::EKey::kLeft); // closes it again
        EXPECT_EQ(m.Panels(), 1);
        m.Key(DrawnMenu::EKey::kRight);
        m.Key(DrawnMenu::EKey::kDown);
        m.Key(DrawnMenu::EKey::kRight);
        m.Key(DrawnMenu::EKey::kReturn);
        EXPECT_EQ(m.State(), DrawnMenu::EState::kChosen);
        EXPECT_EQ(m.ChosenId(), 5);
        EXPECT_EQ(menu->ItemAt(m.ChosenId() - 1)->Text(), "X");
    }
    {
        DrawnMenu m(*menu, 100, 100, kScreen);
        m.Key(DrawnMenu::EKey::kDown);
        m.Key(DrawnMenu::EKey::kDown);
        m.Key(DrawnMenu::EKey::kRight);
        m.Key(DrawnMenu::EKey::kEscape); // the submenu first
        EXPECT_EQ(m.Panels(), 1);
        EXPECT_EQ(m.State(), DrawnMenu::EState::kOpen);
        m.Key(DrawnMenu::EKey::kEscape);
        EXPECT_EQ(m.State(), DrawnMenu::EState::kCancelled);
        EXPECT_EQ(m.ChosenId(), 0);
    }
    // An entry flagged highlighted starts selected.
    IPopupMenu lit;
    lit.AddTextItem("one");
    lit.AddTextItem("two", -1, Item::kHighlighted);
    DrawnMenu m(lit, 0, 0, kScreen);
    EXPECT_EQ(SelectedText(m, 0), "two");
    m.Key(DrawnMenu::EKey::kReturn);
    EXPECT_EQ(m.ChosenId(), 2);
}

TEST(DrawnMenu, PointerOpensSubmenusAndChoosesOnlyWhatWasPressed)
{
    const auto menu = SampleMenu();
    DrawnMenu m(*menu, 100, 100, kScreen);
    auto [bx, by] = Centre(m, 0, "B");
    m.PointerMoved(bx, by, false);
    ASSERT_EQ(m.Panels(), 2); // hovering opens the submenu beside its entry
    EXPECT_GE(m.GetPanel(1).mScreen.mL,
              m.GetPanel(0).mScreen.mL + EntryNamed(m, 0, "B").mRect.mR - 2);
    auto [x1, y1] = Centre(m, 1, "B1");
    m.Released(x1, y1); // the release of the press that opened the menu chooses nothing
    EXPECT_EQ(m.State(), DrawnMenu::EState::kOpen);
    m.PointerMoved(x1, y1, false);
    EXPECT_TRUE(m.Pressed(x1, y1));
    m.Released(x1, y1);
    EXPECT_EQ(m.State(), DrawnMenu::EState::kChosen);
    EXPECT_EQ(m.ChosenId(), 3);

    DrawnMenu held(*menu, 100, 100, kScreen); // a press held from before, dragged onto E
    auto [ex, ey] = Centre(held, 0, "E");
    held.PointerMoved(ex, ey, true);
    held.Released(ex, ey);
    EXPECT_EQ(held.ChosenId(), 9);

    DrawnMenu outside(*menu, 100, 100, kScreen);
    EXPECT_FALSE(outside.Pressed(5, 5));
    EXPECT_EQ(outside.State(), DrawnMenu::EState::kCancelled);
}

TEST(DrawnMenu, StaysOnTheScreenAtItsEdges)
{
    const auto menu = SampleMenu();
    DrawnMenu m(*menu, 990, 790, kScreen); // at the corner: shown to the left and above
    const IRect top = m.GetPanel(0).mScreen;
    EXPECT_LE(top.mR, 990);
    EXPECT_LE(top.mB, 790);
    auto [bx, by] = Centre(m, 0, "B");
    m.PointerMoved(bx, by, false);
    auto [x2, y2] = Centre(m, 1, "B2");
    m.PointerMoved(x2, y2, false);
    ASSERT_EQ(m.Panels(), 3);
    for (int p = 0; p < 3; ++p)
    {
        const IRect r = m.GetPanel(p).mScreen;
        EXPECT_TRUE(r.mL >= 0 && r.mT >= 0 && r.mR <= 1000 && r.mB <= 800) << p;
    }
    // B's submenu fits to the right of B; B2's does not, and opens on the left of B2.
    EXPECT_GE(m.GetPanel(1).mScreen.mL, top.mL + EntryNamed(m, 0, "B").mRect.mR - 2);
    EXPECT_LE(m.GetPanel(2).mScreen.mR,
              m.GetPanel(1).mScreen.mL + EntryNamed(m, 1, "B2").mRect.mL + 2);
}

TEST(TextField, EditsByCharactersAndDrawsCaretAndSelection)
{
    TextField f;
    f.SetText("1.25", true);
    f.Type("0.5"); // typing replaces the selection
    EXPECT_EQ(f.Text(), "0.5");
    f.Key(TextField::kBackspace);
    f.Type("75\n"); // control characters do not go in
    EXPECT_EQ(f.Text(), "0.75");
    f.Key(TextField::kHome);
    f.Key(TextField::kDelete);
    EXPECT_EQ(f.Text(), ".75");
    f.SetText("aäb");
    f.Key(TextField::kLeft);
    f.Key(TextField::kLeft, true); // over the two-byte ä, selecting it
    EXPECT_EQ(f.SelectionStart(), 1u);
    EXPECT_EQ(f.SelectionEnd(), 3u);
    f.Type("o");
    EXPECT_EQ(f.Text(), "aob");
    f.Key(TextField::kEnd);
    f.Key(TextField::kBackspace);
    f.Key(TextField::kBackspace);
    f.Key(TextField::kBackspace);
    f.Key(TextField::kBackspace); // nothing left to take
    EXPECT_EQ(f.Text(), "");
    f.SetText("2.5");
    f.Key(TextField::kSelectAll);
    EXPECT_EQ(f.SelectionEnd() - f.SelectionStart(), 3u);

    // Drawn centred: the selection on its colour; without one the caret, where a click put it.
    const ITextStyle style("Arial", 14, IColorARGB(255, 0, 0, 0), ITextStyle::kStyleNormal,
                           ITextStyle::kAlignCenter);
    LICE_MemBitmap box(36, 16);
    f.Draw(box, style, true);
    EXPECT_EQ(LICE::ReadPixel(&box, 18, 13) & 0xFFFFFF, 0x3399FFu);
    EXPECT_EQ(LICE::ReadPixel(&box, 1, 8) & 0xFFFFFF, 0xFFFFFFu);
    f.PlaceCaret(0, 36, style);
    EXPECT_EQ(f.Caret(), 0u);
    f.PlaceCaret(35, 36, style);
    EXPECT_EQ(f.Caret(), 3u);
    f.Draw(box, style, true);
    int caretColumn = -1;
    for (int x = 18; x < 36 && caretColumn < 0; ++x)
        if ((LICE::ReadPixel(&box, x, 1) & 0xFFFFFF) == 0)
            caretColumn = x;
    EXPECT_GT(caretColumn, 18); // right of the centre, after the text
}

// The value prompt opens with its whole text selected and the caret at its end, as system entry
// boxes do: an arrow key ends the selection at that side, and typing goes in there.
TEST(TextField, AnArrowOnTheOpeningSelectionPutsTheCaretAtThatSide)
{
    struct Case
    {
        TextField::EKey mKey;
        bool mShift;
        const char* mTyped;
        const char* mExpected;
    };
    const Case cases[] = {
        {TextField::kRight, false, "5", "1.255"}, {TextField::kLeft, false, "5", "51.25"},
        {TextField::kEnd, false, "5", "1.255"},   {TextField::kHome, false, "5", "51.25"},
        {TextField::kLeft, true, "5", "55"}, // the selection shrinks from the caret's end
        {TextField::kRight, true, "5", "5"}, // already at the end: all still selected
        {TextField::kBackspace, false, "5", "5"}, {TextField::kDelete, false, "", ""},
    };
    for (const Case& c : cases)
    {
        TextField f;
        f.SetText("1.25", true);
        EXPECT_EQ(f.Caret(), 4u);
        f.Key(c.mKey, c.mShift);
        f.Type(c.mTyped);
        EXPECT_EQ(f.Text(), c.mExpected) << c.mKey << (c.mShift ? " with shift" : "");
    }
    // Shift and an arrow from the opening selection, then a plain arrow: the caret goes to the
    // side of the arrow.
    TextField f;
    f.SetText("1.25", true);
    f.Key(TextField::kLeft, true);
    EXPECT_EQ(f.SelectionStart(), 0u);
    EXPECT_EQ(f.SelectionEnd(), 3u);
    f.Key(TextField::kRight);
    f.Type("0");
    EXPECT_EQ(f.Text(), "1.205");
}

TEST(FileChooser, ListsFoldersAndFilesAndOpensOnlyWhatExists)
{
    TempFolder root;
    root.Write("b.preset", "x");
    root.Write("A.preset", "x");
    root.Write(".hidden", "x");
    root.Write("Sub/inner.preset", "x");
    root.MakeFolder("apple");
    FileChooser c(false, root.Str());
    std::vector<std::string> names;
    for (const auto& e : c.Entries())
        names.push_back(e.mName + (e.mFolder ? "/" : ""));
    EXPECT_EQ(names, (std::vector<std::string>{"../", "apple/", "Sub/", "A.preset", "b.preset"}));

    c.Key(FileChooser::EKey::kDown, false);
    c.Key(FileChooser::EKey::kDown);
    c.Key(FileChooser::EKey::kDown);
    EXPECT_EQ(c.Name(), ""); // a folder's name does not go into the field
    c.Key(FileChooser::EKey::kReturn);
    EXPECT_EQ(c.Folder(), root.Str() + "/Sub");
    c.Key(FileChooser::EKey::kHome);
    c.Key(FileChooser::EKey::kReturn); // ".."
    EXPECT_EQ(c.Folder(), root.Str());
    c.Type("missing.preset");
    c.Key(FileChooser::EKey::kReturn);
    EXPECT_EQ(c.State(), FileChooser::EState::kOpen);
    EXPECT_EQ(c.Message(), "File not found: missing.preset");
    c.Key(FileChooser::EKey::kSelectAll);
    c.Type("Sub"); // a folder's name typed opens it
    c.Key(FileChooser::EKey::kReturn);
    EXPECT_EQ(c.Folder(), root.Str() + "/Sub");
    c.Key(FileChooser::EKey::kEnd);
    EXPECT_EQ(c.Name(), "inner.preset");
    c.Key(FileChooser::EKey::kReturn);
    EXPECT_EQ(c.State(), FileChooser::EState::kChosen);
    EXPECT_EQ(c.Path(), root.Str() + "/Sub/inner.preset");

    // The mouse: a click selects, a double click takes it, a press outside is refused.
    FileChooser m(false, root.Str());
    const int rowA = FileChooser::kList.mT + 3 * FileChooser::kRowHeight + 5;
    EXPECT_TRUE(m.Click(40, rowA, false));
    EXPECT_EQ(m.Name(), "A.preset");
    m.Wheel(-5); // nothing to scroll in five entries
    EXPECT_TRUE(m.Click(40, rowA, true));
    EXPECT_EQ(m.Path(), root.Str() + "/A.preset");
    FileChooser n(false, root.Str());
    EXPECT_FALSE(n.Click(-1, 10, false));
    EXPECT_TRUE(
        n.Click(FileChooser::kCancelButton.mL + 2, FileChooser::kCancelButton.mT + 2, false));
    EXPECT_EQ(n.State(), FileChooser::EState::kCancelled);

    // A folder that is not there: the home folder instead.
    FileChooser home(false, root.Str() + "/nowhere");
    EXPECT_NE(home.Folder(), root.Str() + "/nowhere");
}

TEST(FileChooser, SavesIntoExistingFoldersAndAsksBeforeReplacing)
{
    TempFolder root;
    root.Write("old.preset", "x");
    FileChooser c(true, root.Str());
    c.Type("nowhere/new.preset");
    c.Key(FileChooser::EKey::kReturn);
    EXPECT_EQ(c.State(), FileChooser::EState::kOpen);
    EXPECT_NE(c.Message().find("does not exist"), std::string::npos);
    c.Key(FileChooser::EKey::kSelectAll);
    c.Type("old.preset");
    c.Key(FileChooser::EKey::kReturn);
    EXPECT_EQ(c.State(), FileChooser::EState::kOpen);
    EXPECT_NE(c.Message().find("Replace it?"), std::string::npos);
    c.Type("zzz");                     // nothing is typed while it asks
    c.Key(FileChooser::EKey::kEscape); // no: back to the name
    EXPECT_EQ(c.State(), FileChooser::EState::kOpen);
    EXPECT_EQ(c.Name(), "old.preset");
    c.Key(FileChooser::EKey::kReturn);
    c.Key(FileChooser::EKey::kReturn); // yes
    EXPECT_EQ(c.State(), FileChooser::EState::kChosen);
    EXPECT_EQ(c.Path(), root.Str() + "/old.preset");

    FileChooser fresh(true, root.Str());
    fresh.Type("new.preset");
    fresh.Key(FileChooser::EKey::kReturn);
    EXPECT_EQ(fresh.Path(), root.Str() + "/new.preset");
    FileChooser cancelled(true, root.Str());
    cancelled.Key(FileChooser::EKey::kEscape);
    EXPECT_EQ(cancelled.State(), FileChooser::EState::kCancelled);
    LICE_MemBitmap picture(FileChooser::kWidth, FileChooser::kHeight);
    cancelled.Draw(picture); // drawn whole, the title bar in its colour
    EXPECT_EQ(LICE::ReadPixel(&picture, 5, 5) & 0xFFFFFF, 0x2B579Au);
}

TEST(FrameClock, GivesTwentyFourFramesASecondWhateverTheIdleRate)
{
    using namespace std::chrono;
    const FrameClock::Clock::time_point t0{};
    auto frames = [&](int everyMs, int forMs)
    {
        FrameClock clock;
        clock.Start(41, t0);
        int n = 0, most = 0;
        for (int t = 0; t <= forMs; t += everyMs)
        {
            int now = 0;
            // A host may call twice at the same moment: never two frames for it.
            for (int k = 0; k < 2; ++k)
                now += clock.Due(t0 + milliseconds(t));
            n += now;
            most = std::max(most, now);
        }
        EXPECT_EQ(most, 1);
        return n;
    };
    EXPECT_EQ(frames(1, 999), 25);   // 0, 41, ... 984
    const int late = frames(7, 999); // each a little late, never early, none made up
    EXPECT_TRUE(late == 24 || late == 25) << late;
    EXPECT_EQ(frames(200, 1000), 6); // a slow host: one frame per call, none made up
    FrameClock clock;
    EXPECT_EQ(clock.MsUntilDue(t0), 1000); // stopped
    clock.Start(41, t0);
    EXPECT_EQ(clock.MsUntilDue(t0), 0);
    clock.Due(t0);
    EXPECT_EQ(clock.MsUntilDue(t0 + milliseconds(40)), 2);
}
