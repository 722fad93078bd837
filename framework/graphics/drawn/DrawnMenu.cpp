#include "DrawnMenu.h"

#include "LICE_Draw.h"
#include "LICE_Fill.h"
#include "LICE_IBitmap.h"
#include "LICE_Pixel.h"
#include "TextRenderer.h"

#include <algorithm>

namespace
{
constexpr LICE_pixel kFace = 0xFFF2F2F2u;
constexpr LICE_pixel kFrame = 0xFF8C8C8Cu;
constexpr LICE_pixel kRule = 0xFFC8C8C8u;
constexpr LICE_pixel kSelectionFace = 0xFF0078D7u;
const IColorARGB kText(255, 0, 0, 0);
const IColorARGB kSelectedText(255, 255, 255, 255);
const IColorARGB kDisabledText(255, 150, 150, 150);
constexpr int kCheckArea = 22; // left of the text: the check mark
constexpr int kArrowArea = 22; // right of the text: the submenu arrow
constexpr int kMinTextWidth = 60;

LICE_pixel Packed(const IColorARGB& c) noexcept
{
    return 0xFF000000u | (static_cast<unsigned>(c.mR) << 16) | (static_cast<unsigned>(c.mG) << 8) |
           static_cast<unsigned>(c.mB);
}

bool Selectable(const DrawnMenu::Entry& e) noexcept
{
    return !e.mpItem->IsSeparator();
}
} // namespace

DrawnMenu::DrawnMenu(const IPopupMenu& menu, int x, int y, const IRect& screen)
    : mScreen(screen), mStyle("Arial", 14, kText)
{
    OpenPanel(menu, 1, x, y, nullptr);
    Panel& top = mPanels.front();
    for (int i = 0; i < static_cast<int>(top.mEntries.size()); ++i)
        if (top.mEntries[static_cast<std::size_t>(i)].mpItem->Flags() &
            IPopupMenu::Item::kHighlighted)
        {
            top.mSelected = i;
            break;
        }
}

void DrawnMenu::OpenPanel(const IPopupMenu& menu, int firstId, int x, int y,
                          const IRect* besideEntry)
{
    Panel p;
    p.mpMenu = &menu;
    const TextFont* font = mStyle.Font();
    // Entries into columns: a column's width is its widest text's.
    std::vector<int> columnWidths{kMinTextWidth};
    std::vector<int> columnHeights{0};
    int id = firstId;
    for (int i = 0; i < menu.NItems(); ++i)
    {
        const IPopupMenu::Item* item = menu.GetItem(i);
        if ((item->Flags() & IPopupMenu::Item::kBreak) && i > 0)
        {
            columnWidths.push_back(kMinTextWidth);
            columnHeights.push_back(0);
        }
        Entry e;
        e.mpItem = item;
        e.mId = id;
        e.mColumn = static_cast<int>(columnWidths.size()) - 1;
        const IPopupMenu* sub = item->Submenu();
        e.mChecked = item->Checked() || (sub && sub->AnyChecked() &&
                                         !(item->Flags() & IPopupMenu::Item::kNoSubmenuCheck));
        id += 1 + (sub ? sub->FlatCount() : 0);
        const int h = item->IsSeparator() ? kSeparatorHeight : kRowHeight;
        int& columnHeight = columnHeights.back();
        e.mRect = IRect(0, columnHeight, 0, columnHeight + h); // left and right below
        columnHeight += h;
        if (font && !item->IsSeparator())
        {
            const int w =
                font->LineWidth(item->Text().data(), static_cast<int>(item->Text().size()));
            columnWidths.back() = std::max(columnWidths.back(), w);
        }
        p.mEntries.push_back(e);
    }
    std::vector<int> columnLeft;
    int left = kBorder;
    for (const int w : columnWidths)
    {
        columnLeft.push_back(left);
        left += kCheckArea + w + kArrowArea + 1; // one pixel for the rule between columns
    }
    for (Entry& e : p.mEntries)
    {
        const int l = columnLeft[static_cast<std::size_t>(e.mColumn)];
        e.mRect =
            IRect(l, e.mRect.mT + kBorder,
                  l + kCheckArea + columnWidths[static_cast<std::size_t>(e.mColumn)] + kArrowArea,
                  e.mRect.mB + kBorder);
    }
    p.mWidth = left - 1 + kBorder;
    p.mHeight =
        std::max(kRowHeight, *std::max_element(columnHeights.begin(), columnHeights.end())) +
        2 * kBorder;

    // Beside the parent entry for a submenu, at the point for the top; always on the screen.
    int px = x, py = y;
    if (besideEntry)
    {
        px = besideEntry->mR - 2;
        py = besideEntry->mT - kBorder;
        if (px + p.mWidth > mScreen.mR)
            px = besideEntry->mL + 2 - p.mWidth;
    }
    else if (px + p.mWidth > mScreen.mR)
    {
        px -= p.mWidth;
    }
    if (py + p.mHeight > mScreen.mB)
        py = besideEntry ? mScreen.mB - p.mHeight : py - p.mHeight;
    px = std::max(mScreen.mL, std::min(px, mScreen.mR - p.mWidth));
    py = std::max(mScreen.mT, std::min(py, mScreen.mB - p.mHeight));
    p.mScreen = IRect(px, py, px + p.mWidth, py + p.mHeight);
    mPanels.push_back(std::move(p));
    ++mGeneration;
}

void DrawnMenu::CloseBelow(int panel)
{
    if (static_cast<int>(mPanels.size()) > panel + 1)
    {
        mPanels.resize(static_cast<std::size_t>(panel) + 1);
        ++mGeneration;
    }
}

void DrawnMenu::OpenSubmenu(int panel, bool selectFirst)
{
    Panel& p = mPanels[static_cast<std::size_t>(panel)];
    if (p.mSelected < 0)
        return;
    const Entry& e = p.mEntries[static_cast<std::size_t>(p.mSelected)];
    const IPopupMenu* sub = e.mpItem->Submenu();
    if (!sub || !e.mpItem->Enabled())
        return;
    // Already open from this entry.
    if (static_cast<int>(mPanels.size()) > panel + 1 &&
        mPanels[static_cast<std::size_t>(panel) + 1].mpMenu == sub)
        return;
    CloseBelow(panel);
    const IRect entryOnScreen(p.mScreen.mL + e.mRect.mL, p.mScreen.mT + e.mRect.mT,
                              p.mScreen.mL + e.mRect.mR, p.mScreen.mT + e.mRect.mB);
    OpenPanel(*sub, e.mId + 1, 0, 0, &entryOnScreen);
    if (selectFirst)
        MoveVertically(mPanels.back(), 1);
}

bool DrawnMenu::Choose(int panel, int entry)
{
    const Entry& e =
        mPanels[static_cast<std::size_t>(panel)].mEntries[static_cast<std::size_t>(entry)];
    if (e.mpItem->IsSeparator() || !e.mpItem->Enabled())
        return false;
    if (e.mpItem->Submenu())
    {
        mPanels[static_cast<std::size_t>(panel)].mSelected = entry;
        OpenSubmenu(panel, true);
        return true;
    }
    mChosenId = e.mId;
    mState = EState::kChosen;
    return true;
}

void DrawnMenu::MoveVertically(Panel& p, int step)
{
    const int n = static_cast<int>(p.mEntries.size());
    if (n == 0)
        return;
    int i = p.mSelected < 0 ? (step > 0 ? -1 : n) : p.mSelected;
    for (int tries = 0; tries < n; ++tries)
    {
        i = (i + step + n) % n;
        if (Selectable(p.mEntries[static_cast<std::size_t>(i)]))
        {
            p.mSelected = i;
            return;
        }
    }
}

bool DrawnMenu::MoveColumn(Panel& p, int step)
{
    if (p.mSelected < 0)
        return false;
    const Entry& from = p.mEntries[static_cast<std::size_t>(p.mSelected)];
    const int column = from.mColumn + step;
    int best = -1, bestDistance = 0;
    for (int i = 0; i < static_cast<int>(p.mEntries.size()); ++i)
    {
        const Entry& e = p.mEntries[static_cast<std::size_t>(i)];
        if (e.mColumn != column || !Selectable(e))
            continue;
        const int d = std::abs(e.mRect.mT - from.mRect.mT);
        if (best < 0 || d < bestDistance)
        {
            best = i;
            bestDistance = d;
        }
    }
    if (best < 0)
        return false;
    p.mSelected = best;
    return true;
}

void DrawnMenu::Key(EKey key)
{
    if (mState != EState::kOpen)
        return;
    const int deepest = Panels() - 1;
    Panel& p = mPanels.back();
    switch (key)
    {
    case EKey::kUp:
    case EKey::kDown:
        MoveVertically(p, key == EKey::kDown ? 1 : -1);
        return;
    case EKey::kRight:
        if (p.mSelected >= 0 && p.mEntries[static_cast<std::size_t>(p.mSelected)].mpItem->Submenu())
            OpenSubmenu(deepest, true);
        else
            MoveColumn(p, 1);
        return;
    case EKey::kLeft:
        if (!MoveColumn(p, -1) && deepest > 0)
            CloseBelow(deepest - 1);
        return;
    case EKey::kReturn:
        if (p.mSelected >= 0)
            Choose(deepest, p.mSelected);
        return;
    case EKey::kEscape:
        if (deepest > 0)
            CloseBelow(deepest - 1);
        else
            mState = EState::kCancelled;
        return;
    }
}

bool DrawnMenu::EntryAt(int x, int y, int& panel, int& entry) const
{
    // The deepest panel is on top of the others.
    for (int i = Panels() - 1; i >= 0; --i)
    {
        const Panel& p = mPanels[static_cast<std::size_t>(i)];
        if (!p.mScreen.Contains(x, y))
            continue;
        panel = i;
        entry = -1;
        for (int j = 0; j < static_cast<int>(p.mEntries.size()); ++j)
            if (p.mEntries[static_cast<std::size_t>(j)].mRect.Contains(x - p.mScreen.mL,
                                                                       y - p.mScreen.mT))
                entry = j;
        return true;
    }
    return false;
}

void DrawnMenu::PointerMoved(int x, int y, bool buttonHeld)
{
    if (mState != EState::kOpen)
        return;
    int panel = -1, entry = -1;
    if (!EntryAt(x, y, panel, entry))
    {
        Panel& p = mPanels.back();
        p.mSelected = -1; // nothing under the pointer; an open submenu keeps its entry lit
        return;
    }
    Panel& p = mPanels[static_cast<std::size_t>(panel)];
    if (entry < 0 || !Selectable(p.mEntries[static_cast<std::size_t>(entry)]))
    {
        if (panel == Panels() - 1)
            p.mSelected = -1;
        return;
    }
    if (buttonHeld)
        mArmed = true;
    if (p.mSelected != entry)
    {
        p.mSelected = entry;
        CloseBelow(panel);
    }
    OpenSubmenu(panel, false);
}

bool DrawnMenu::Pressed(int x, int y)
{
    if (mState != EState::kOpen)
        return true;
    int panel = -1, entry = -1;
    if (!EntryAt(x, y, panel, entry))
    {
        mState = EState::kCancelled;
        return false;
    }
    mArmed = true;
    PointerMoved(x, y, true);
    return true;
}

void DrawnMenu::Released(int x, int y)
{
    if (mState != EState::kOpen || !mArmed)
        return;
    int panel = -1, entry = -1;
    if (EntryAt(x, y, panel, entry) && entry >= 0 &&
        !mPanels[static_cast<std::size_t>(panel)]
             .mEntries[static_cast<std::size_t>(entry)]
             .mpItem->Submenu())
        Choose(panel, entry);
}

void DrawnMenu::Draw(int i, LICE_IBitmap& bitmap) const
{
    const Panel& p = mPanels[static_cast<std::size_t>(i)];
    LICE::FillRectangle(&bitmap, 0, 0, p.mWidth, p.mHeight, kFrame, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::FillRectangle(&bitmap, 1, 1, p.mWidth - 2, p.mHeight - 2, kFace, 1.0f,
                        LICE_BLIT_MODE_COPY);
    ITextStyle style = mStyle;
    for (int j = 0; j < static_cast<int>(p.mEntries.size()); ++j)
    {
        const Entry& e = p.mEntries[static_cast<std::size_t>(j)];
        const IRect& r = e.mRect;
        if (e.mColumn > 0 && r.mT == kBorder)
            LICE::FillRectangle(&bitmap, r.mL - 1, kBorder, 1, p.mHeight - 2 * kBorder, kRule, 1.0f,
                                LICE_BLIT_MODE_COPY);
        if (e.mpItem->IsSeparator())
        {
            LICE::FillRectangle(&bitmap, r.mL + 4, r.mT + kSeparatorHeight / 2, r.W() - 8, 1, kRule,
                                1.0f, LICE_BLIT_MODE_COPY);
            continue;
        }
        const bool selected = j == p.mSelected;
        if (selected)
            LICE::FillRectangle(&bitmap, r.mL, r.mT, r.W(), r.H(), kSelectionFace, 1.0f,
                                LICE_BLIT_MODE_COPY);
        style.mColor = !e.mpItem->Enabled() ? kDisabledText : selected ? kSelectedText : kText;
        const LICE_pixel ink = Packed(style.mColor);
        const int textTop = r.mT + (kRowHeight - style.mSize) / 2;
        DrawTextOnSurface(bitmap, style, e.mpItem->Text().c_str(),
                          IRect(r.mL + kCheckArea, textTop, r.mR - kArrowArea, r.mB));
        const int cy = r.mT + kRowHeight / 2;
        if (e.mChecked)
        {
            const int cx = r.mL + 7;
            LICE::DrawLineSegment(&bitmap, cx, cy, cx + 3, cy + 3, ink, 1.0f, LICE_BLIT_MODE_COPY,
                                  true);
            LICE::DrawLineSegment(&bitmap, cx + 3, cy + 3, cx + 9, cy - 4, ink, 1.0f,
                                  LICE_BLIT_MODE_COPY, true);
        }
        if (e.mpItem->Submenu())
        {
            const int ax = r.mR - kArrowArea + 8;
            for (int k = 0; k < 4; ++k)
                LICE::FillRectangle(&bitmap, ax + k, cy - 3 + k, 1, 7 - 2 * k, ink, 1.0f,
                                    LICE_BLIT_MODE_COPY);
        }
    }
}
