#include "IPopupMenu.h"
#include "ThreadRole.h"

#include <algorithm>

IPopupMenu::Item::Item(const char* text, int flags, std::unique_ptr<IPopupMenu> submenu)
    : mFlags(flags), mText(text ? text : ""), mpSubmenu(std::move(submenu))
{
    if (mpSubmenu)
        mCount = mpSubmenu->Total();
}

IPopupMenu::Item* IPopupMenu::AddItem(std::unique_ptr<Item> item, int position)
{
    ORX_MAIN_THREAD();
    if (!item)
        return nullptr;
    mTotal += item->mCount;
    Item* added = item.get();
    if (position < 0)
    {
        mItems.push_back(std::move(item));
    }
    else
    {
        const auto at = std::min<std::size_t>(static_cast<std::size_t>(position), mItems.size());
        mItems.insert(mItems.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    }
    return added;
}

IPopupMenu::Item* IPopupMenu::AddTextItem(const char* text, int position, int flags)
{
    ORX_MAIN_THREAD();
    return AddItem(std::make_unique<Item>(text, flags), position);
}

IPopupMenu::Item* IPopupMenu::AddSubmenu(const char* text, std::unique_ptr<IPopupMenu> submenu,
                                         int position)
{
    ORX_MAIN_THREAD();
    return AddItem(std::make_unique<Item>(text, 0, std::move(submenu)), position);
}

IPopupMenu::Item* IPopupMenu::AddSeparator(int position)
{
    ORX_MAIN_THREAD();
    return AddItem(std::make_unique<Item>("", Item::kSeparator), position);
}

IPopupMenu::Item* IPopupMenu::AddMarkedItem(const char* text, int position)
{
    ORX_MAIN_THREAD();
    return AddItem(std::make_unique<Item>(text, Item::kNoSubmenuCheck), position);
}

void IPopupMenu::RemoveItem(int idx) noexcept
{
    ORX_MAIN_THREAD();
    if (idx < 0 || idx >= NItems())
        return;
    mTotal -= mItems[static_cast<std::size_t>(idx)]->mCount;
    mItems.erase(mItems.begin() + idx);
}

IPopupMenu::Item* IPopupMenu::GetItem(int idx) const noexcept
{
    if (idx < 0 || idx >= NItems())
        return nullptr;
    return mItems[static_cast<std::size_t>(idx)].get();
}

int IPopupMenu::FlatCount() const noexcept
{
    int n = 0;
    for (const auto& item : mItems)
        n += 1 + (item->mpSubmenu ? item->mpSubmenu->FlatCount() : 0);
    return n;
}

IPopupMenu::Item* IPopupMenu::ItemAtFlat(int& n) const noexcept
{
    // Skipping a submenu skips all of its items, headers of nested submenus included, so the
    // numbering matches the ids a window layer gives when it shows the menu.
    for (const auto& item : mItems)
    {
        if (n == 0)
            return item.get();
        --n;
        if (item->mpSubmenu)
        {
            const int inside = item->mpSubmenu->FlatCount();
            if (n < inside)
                return item->mpSubmenu->ItemAtFlat(n);
            n -= inside;
        }
    }
    return nullptr;
}

IPopupMenu::Item* IPopupMenu::ItemAt(int n) const noexcept
{
    if (n < 0)
        return nullptr;
    return ItemAtFlat(n);
}

std::string IPopupMenu::ParentTextAt(int n) const
{
    if (n < 0)
        return {};
    for (const auto& item : mItems)
    {
        if (n == 0)
            return {};
        --n;
        if (!item->mpSubmenu)
            continue;
        const int inside = item->mpSubmenu->FlatCount();
        if (n < inside)
        {
            std::string inner = item->mpSubmenu->ParentTextAt(n);
            return inner.empty() ? item->mText : inner;
        }
        n -= inside;
    }
    return {};
}

IPopupMenu::Item* IPopupMenu::FindByTag(int tag) const noexcept
{
    for (const auto& item : mItems)
    {
        if (item->mTag == tag)
            return item.get();
        if (item->mpSubmenu)
            if (Item* found = item->mpSubmenu->FindByTag(tag))
                return found;
    }
    return nullptr;
}

bool IPopupMenu::SetEnabled(int tag, bool on) noexcept
{
    Item* item = FindByTag(tag);
    if (!item)
        return false;
    item->SetFlag(Item::kDisabled, !on);
    return true;
}

bool IPopupMenu::SetChecked(int tag, bool on) noexcept
{
    Item* item = FindByTag(tag);
    if (!item)
        return false;
    item->SetFlag(Item::kChecked, on);
    return true;
}

void IPopupMenu::CheckAll(bool on) noexcept
{
    for (const auto& item : mItems)
    {
        item->SetFlag(Item::kChecked, on);
        if (item->mpSubmenu)
            item->mpSubmenu->CheckAll(on);
    }
}

void IPopupMenu::EnableAll(bool on) noexcept
{
    for (const auto& item : mItems)
    {
        item->SetFlag(Item::kDisabled, !on);
        if (item->mpSubmenu)
            item->mpSubmenu->EnableAll(on);
    }
}

bool IPopupMenu::AnyChecked() const noexcept
{
    for (const auto& item : mItems)
        if (item->Checked() || (item->mpSubmenu && item->mpSubmenu->AnyChecked()))
            return true;
    return false;
}
