#pragma once
// The preset field: shows the current preset's name and, on any press, the preset menu: the
// preset folder's tree as nested submenus (files first, then each non-empty subfolder, each
// group in the tree's name order), then "Load ...", "Save", "Save As ..." and "Rescan".
// Choosing a file loads it. The menu is built from the tree each time it opens, so it always
// lists the tree as last scanned ("Rescan" and "Save As ..." scan again); item tags are file
// indices, numbered in the order shown, or the commands' negative tags.
//
// Files are read and written with the instance's preset operations (atomic saves); the file
// dialogs are the window layer's.

#include "ITextControl.h"

#include <memory>

class Orlantix;
class PresetFolder;

class PresetNameControl : public ITextControl
{
public:
    enum ETag
    {
        kLoad = -1,
        kSave = -2,
        kSaveAs = -3,
        kRescan = -4,
    };
    static const IColorARGB kOutline;

    // [main-thread] paramIdx is a blank parameter: the value prompt opens a menu only for a
    // control bound to one. The text starts as "PRESET".
    PresetNameControl(Orlantix& plug, const IRect& rect, int paramIdx, const ITextStyle& style);

    // Either button opens the menu.
    void HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept override;
    // An outline, then the text inside it.
    bool Paint(IGraphics& graphics) noexcept override;
    // Clear of the outline by a few pixels on either side: a long name is cut short there.
    IRect TextRect() const noexcept override;
    // (takes lock) The tree as it stands.
    std::unique_ptr<IPopupMenu> BuildParamMenu() noexcept override;
    // The chosen item's tag decides: a file index loads it, the four commands as named.
    void ApplyMenuChoice(IPopupMenu& menu, int item) noexcept override;
    // "Load <preset>" for a preset of the menu; the edit's name for its commands.
    std::string MenuEditName(const IPopupMenu& menu, int item) const override;

private:
    // The file dialogs start in the preset folder.
    void LoadWithDialog();
    void SaveAsWithDialog();
    const char* DialogFolder() const noexcept;

    Orlantix& mPlug;
};

// The menu of a preset tree: files as items tagged with their index (text: the display name),
// subfolders as submenus, then the four commands. An absent tree gives the commands alone.
std::unique_ptr<IPopupMenu> BuildPresetMenu(const PresetFolder* tree);
