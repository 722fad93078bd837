#pragma once
// A popup menu that a window layer draws itself (the X11 layer; Windows shows its own): the
// panels of the open levels with their places on the screen, their entries laid out in
// columns, the rules by which keys and the pointer move through them, and their pictures. The
// platform part puts each panel in a window of its own and passes the input on; all positions
// here are screen pixels.
//
// Entries carry the ids a Windows menu built from the same IPopupMenu gives: numbered from 1,
// depth-first, an item with a submenu before its submenu's items. Separators take no
// selection; disabled entries can be selected but not chosen. An item with a submenu shows
// checked when its submenu has a checked item, unless it has kNoSubmenuCheck; an item flagged
// kHighlighted starts selected; kBreak starts a new column.
//
// Keys: up and down move through the deepest panel (wrapping); right opens the selected
// entry's submenu or moves to the next column; left moves to the previous column or closes
// the submenu; Return or space choose (or open a submenu); Escape closes the deepest submenu,
// the whole menu at the top. Pointer: moving over an entry selects it and opens its submenu; a
// press and release on an entry chooses it (the release alone does not: it may end the press
// that opened the menu); a press outside every panel closes the menu.

#include "IPopupMenu.h"
#include "IRect.h"
#include "ITextStyle.h"

#include <vector>

class LICE_IBitmap;

class DrawnMenu
{
public:
    enum class EState
    {
        kOpen,
        kChosen,
        kCancelled,
    };
    enum class EKey
    {
        kUp,
        kDown,
        kLeft,
        kRight,
        kReturn,
        kEscape,
    };

    struct Entry
    {
        const IPopupMenu::Item* mpItem = nullptr;
        int mId = 0;
        IRect mRect; // in its panel
        int mColumn = 0;
        bool mChecked = false;
    };
    struct Panel
    {
        const IPopupMenu* mpMenu = nullptr;
        std::vector<Entry> mEntries;
        IRect mScreen;
        int mSelected = -1;
        int mWidth = 0;
        int mHeight = 0;
    };

    // The top panel at (x, y), kept inside screen (shown to the left of or above the point
    // when it does not fit to the right or below).
    DrawnMenu(const IPopupMenu& menu, int x, int y, const IRect& screen);

    EState State() const noexcept { return mState; }
    // The chosen entry's id; 0 unless chosen.
    int ChosenId() const noexcept { return mChosenId; }
    // The open panels, the top one first.
    int Panels() const noexcept { return static_cast<int>(mPanels.size()); }
    const Panel& GetPanel(int i) const { return mPanels[static_cast<std::size_t>(i)]; }
    // Grows by one whenever a panel opens or closes: the platform's windows must follow.
    int Generation() const noexcept { return mGeneration; }

    void Key(EKey key);
    // buttonHeld: a press that began before the menu opened may still end on an entry.
    void PointerMoved(int x, int y, bool buttonHeld);
    // Answers false when the press was outside every panel (the menu is then cancelled).
    bool Pressed(int x, int y);
    void Released(int x, int y);

    // Panel i's picture; bitmap is its size.
    void Draw(int i, LICE_IBitmap& bitmap) const;

    static constexpr int kRowHeight = 20;
    static constexpr int kSeparatorHeight = 8;
    static constexpr int kBorder = 3;

private:
    void OpenPanel(const IPopupMenu& menu, int firstId, int x, int y, const IRect* besideEntry);
    void CloseBelow(int panel);
    void OpenSubmenu(int panel, bool selectFirst);
    bool Choose(int panel, int entry);
    // The panel and entry at a screen point; false when none.
    bool EntryAt(int x, int y, int& panel, int& entry) const;
    void MoveVertically(Panel& p, int step);
    bool MoveColumn(Panel& p, int step);

    IRect mScreen;
    ITextStyle mStyle;
    std::vector<Panel> mPanels;
    EState mState = EState::kOpen;
    int mChosenId = 0;
    int mGeneration = 0;
    bool mArmed = false;
};
