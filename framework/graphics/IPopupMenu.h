#pragma once
// A popup menu as the editor builds it, before any platform shows it: items with flags, text,
// an optional submenu and a tag. Deleting a menu deletes its items and their submenus.
//
// Items are numbered depth-first, an item with a submenu before its submenu's items; ItemAt
// answers the item of a flat index in that order, which is also the order in which window
// layers number the entries they show (id = flat index + 1).

#include <memory>
#include <string>
#include <vector>

class IPopupMenu
{
public:
    class Item
    {
    public:
        enum EFlags
        {
            kDisabled = 1,
            kNoSubmenuCheck = 2, // not shown checked when its submenu has a checked item
            kChecked = 4,
            kSeparator = 8,
            kBreak = 16, // starts a new column
            kHighlighted = 32,
        };

        Item(const char* text, int flags = 0, std::unique_ptr<IPopupMenu> submenu = nullptr);

        const std::string& Text() const noexcept { return mText; }
        int Flags() const noexcept { return mFlags; }
        void SetFlag(int flag, bool on) noexcept
        {
            mFlags = on ? (mFlags | flag) : (mFlags & ~flag);
        }
        bool Checked() const noexcept { return (mFlags & kChecked) != 0; }
        bool Enabled() const noexcept { return (mFlags & kDisabled) == 0; }
        bool IsSeparator() const noexcept { return (mFlags & kSeparator) != 0; }
        IPopupMenu* Submenu() const noexcept { return mpSubmenu.get(); }
        int Tag() const noexcept { return mTag; }
        void SetTag(int tag) noexcept { mTag = tag; }
        // 1, or the submenu's total when the item was added.
        int Count() const noexcept { return mCount; }

    private:
        friend class IPopupMenu;
        int mFlags;
        std::string mText;
        std::unique_ptr<IPopupMenu> mpSubmenu;
        int mTag = -1;
        int mCount = 1;
    };

    IPopupMenu() = default;
    IPopupMenu(const IPopupMenu&) = delete;
    IPopupMenu& operator=(const IPopupMenu&) = delete;
    virtual ~IPopupMenu() = default;

    // [main-thread] position -1 appends; any other position inserts there (limited to the item
    // count). The menu takes the item; total grows by its count.
    virtual Item* AddItem(std::unique_ptr<Item> item, int position = -1);
    virtual Item* AddTextItem(const char* text, int position = -1, int flags = 0);
    // The item's count is the submenu's total at this moment.
    virtual Item* AddSubmenu(const char* text, std::unique_ptr<IPopupMenu> submenu,
                             int position = -1);
    virtual Item* AddSeparator(int position = -1);
    virtual Item* AddMarkedItem(const char* text, int position = -1);
    // [main-thread] Takes the item at idx out (total shrinks by its count); nothing for an index
    // out of range.
    void RemoveItem(int idx) noexcept;

    int NItems() const noexcept { return static_cast<int>(mItems.size()); }
    Item* GetItem(int idx) const noexcept;
    // The sum of the counts of the items added: the entries reachable below this menu, items
    // with a submenu counted by their submenu.
    int Total() const noexcept { return mTotal; }
    // Every item below this menu, items with a submenu included: the number of flat indices.
    int FlatCount() const noexcept;
    // The item at flat index n (depth-first), or null.
    Item* ItemAt(int n) const noexcept;
    // The text of the item whose submenu holds the item at flat index n (the innermost one);
    // empty for an item of this menu itself, or none.
    std::string ParentTextAt(int n) const;
    // Depth-first, an item before its submenu; null when no item has tag.
    Item* FindByTag(int tag) const noexcept;
    // False when no item has tag.
    bool SetEnabled(int tag, bool on) noexcept;
    bool SetChecked(int tag, bool on) noexcept;
    // Every item, recursively into submenus.
    void CheckAll(bool on) noexcept;
    void EnableAll(bool on) noexcept;
    // True when an item below this menu is checked.
    bool AnyChecked() const noexcept;

    // The item chosen when the menu was last shown, as a flat index; -1 for none.
    int GetChosenItemIdx() const noexcept { return mChosenItemIdx; }
    void SetChosenItemIdx(int idx) noexcept { mChosenItemIdx = idx; }

private:
    Item* ItemAtFlat(int& n) const noexcept;

    int mChosenItemIdx = -1;
    std::vector<std::unique_ptr<Item>> mItems;
    int mTotal = 0;
};
