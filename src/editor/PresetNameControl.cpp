#include "PresetNameControl.h"

#include "IGraphics.h"
#include "IPopupMenu.h"
#include "Orlantix.h"
#include "PresetFolder.h"

#include <new>
#include <string>

const IColorARGB PresetNameControl::kOutline{255, 255, 255, 255};

namespace
{

// A folder's files, then its subfolders as submenus, into menu.
void AddFolder(IPopupMenu& menu, const PresetFolder& folder)
{
    for (const PresetFile* f = folder.Files().First(); f; f = NodeList<PresetFile>::Next(f))
        menu.AddTextItem(f->DisplayName().c_str())->SetTag(f->mIndex);
    for (const PresetFolder* sub = folder.Subfolders().First(); sub;
         sub = NodeList<PresetFolder>::Next(sub))
    {
        auto submenu = std::make_unique<IPopupMenu>();
        AddFolder(*submenu, *sub);
        menu.AddSubmenu(sub->Name().c_str(), std::move(submenu));
    }
}

} // namespace

std::unique_ptr<IPopupMenu> BuildPresetMenu(const PresetFolder* tree)
{
    auto menu = std::make_unique<IPopupMenu>();
    if (tree)
        AddFolder(*menu, *tree);
    menu->AddSeparator();
    menu->AddTextItem("Load ...")->SetTag(PresetNameControl::kLoad);
    menu->AddSeparator();
    menu->AddTextItem("Save")->SetTag(PresetNameControl::kSave);
    menu->AddTextItem("Save As ...")->SetTag(PresetNameControl::kSaveAs);
    menu->AddSeparator();
    menu->AddTextItem("Rescan")->SetTag(PresetNameControl::kRescan);
    menu->CheckAll(false);
    menu->EnableAll(true);
    return menu;
}

PresetNameControl::PresetNameControl(Orlantix& plug, const IRect& rect, int paramIdx,
                                     const ITextStyle& style)
    : ITextControl(&plug, rect, paramIdx, style), mPlug(plug)
{
    mText = PresetName::kNoPresetText;
}

void PresetNameControl::HandleMouseDown(int, int, const IMouseKeys&) noexcept
{
    PromptForValue();
}

bool PresetNameControl::Paint(IGraphics& graphics) noexcept
{
    const bool outline = graphics.DrawRectOutline(kOutline, GetRECT());
    return PaintText(graphics) && outline;
}

IRect PresetNameControl::TextRect() const noexcept
{
    constexpr int kMargin = 4; // the outline and three pixels
    const IRect& r = GetRECT();
    return {r.mL + kMargin, r.mT, r.mR - kMargin, r.mB};
}

std::unique_ptr<IPopupMenu> PresetNameControl::BuildParamMenu() noexcept
{
    try
    {
        // Built from a tree that stays as long as this copy holds it, without the lock.
        return BuildPresetMenu(mPlug.SharedPresetTree().get());
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

void PresetNameControl::ApplyMenuChoice(IPopupMenu& menu, int item) noexcept
{
    const IPopupMenu::Item* chosen = menu.ItemAt(item);
    if (!chosen)
        return;
    try
    {
        switch (const int tag = chosen->Tag())
        {
        case kLoad:
            LoadWithDialog();
            return;
        case kSave:
        {
            std::string path;
            {
                IMutexLock lock(mPlug.Mutex());
                path = mPlug.CurrentPresetName().FullPath();
            }
            // A preset without a file of its own is saved as a new one.
            if (path.empty())
                SaveAsWithDialog();
            else
                mPlug.WritePreset(path.c_str());
            return;
        }
        case kSaveAs:
            SaveAsWithDialog();
            return;
        case kRescan:
            mPlug.RebuildPresetTree();
            return;
        default:
            if (tag >= 0)
                mPlug.LoadPresetById(tag);
            return;
        }
    }
    catch (const std::bad_alloc&)
    {
        // Nothing was loaded or written.
    }
}

std::string PresetNameControl::MenuEditName(const IPopupMenu& menu, int item) const
{
    const IPopupMenu::Item* chosen = menu.ItemAt(item);
    if (!chosen || chosen->Tag() < 0)
        return EditName();
    return "Load " + chosen->Text();
}

void PresetNameControl::LoadWithDialog()
{
    IGraphics* graphics = GetGUI();
    std::string path;
    if (graphics && graphics->PromptForFile(path, 0, DialogFolder(), "preset"))
        mPlug.ReadPreset(path.c_str());
}

void PresetNameControl::SaveAsWithDialog()
{
    IGraphics* graphics = GetGUI();
    std::string path;
    if (graphics && graphics->PromptForFile(path, 1, DialogFolder(), "preset"))
        mPlug.SavePresetAs(path);
}

const char* PresetNameControl::DialogFolder() const noexcept
{
    return mPlug.ConfigPool().StringValue(kConfigPresetFolder);
}
