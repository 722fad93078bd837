#pragma once
// The file prompt of a window layer without a system file dialog (X11): a panel the layer
// draws itself, with the folder's entries in a list and a name field. Portable, so its rules
// are tested without a screen; the platform part shows Draw's picture in a window and passes
// the input on (coordinates in the panel's pixels).
//
// The list holds ".." (but at the root), the subfolders, then the files, each group in name
// order (NameOrder.h: without regard to case, numbers by value); names starting with "." are
// left out. Keys: up, down, page up, page down, home and end move through the list (a file's
// name goes into the name field); typing edits the name field; Return opens the selected
// folder, or takes the selected file or the typed name (a folder's name opens the folder);
// Escape cancels. A click selects, a double click acts as Return on the entry; the wheel
// scrolls; the two buttons act as Return and Escape. Opening wants an existing file; saving
// wants an existing folder and asks before replacing a file (Return: replace, Escape: back).

#include "IRect.h"
#include "ITextStyle.h"
#include "TextField.h"

#include <string>
#include <vector>

class LICE_IBitmap;

class FileChooser
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
        kPageUp,
        kPageDown,
        kHome,
        kEnd,
        kReturn,
        kEscape,
        kLeft,
        kRight,
        kBackspace,
        kDelete,
        kSelectAll,
    };
    struct Listed
    {
        std::string mName;
        bool mFolder = false;
    };

    static constexpr int kWidth = 440;
    static constexpr int kHeight = 330;
    static constexpr int kRowHeight = 18;
    static const IRect kList;
    static const IRect kNameField;
    static const IRect kOkButton;
    static const IRect kCancelButton;

    // Starts in folder (the home folder, or the root, when it is not a folder).
    FileChooser(bool save, const std::string& folder);

    EState State() const noexcept { return mState; }
    // The panel's title, "Save As" or "Open"; the platform names its window so too.
    const char* Title() const noexcept { return mSave ? "Save As" : "Open"; }
    // The chosen file's full path once chosen.
    const std::string& Path() const noexcept { return mPath; }
    const std::string& Folder() const noexcept { return mFolder; }
    const std::vector<Listed>& Entries() const noexcept { return mEntries; }
    int Selected() const noexcept { return mSelected; }
    const std::string& Name() const noexcept { return mName.Text(); }
    // What the panel tells the user (a file not found, a question); empty for nothing.
    const std::string& Message() const noexcept { return mMessage; }

    void Key(EKey key, bool shift = false);
    void Type(const std::string& utf8);
    // False for a press outside the panel (the platform then cancels).
    bool Click(int x, int y, bool doubleClick);
    void Wheel(int notches);
    void Cancel() noexcept { mState = EState::kCancelled; }

    void Draw(LICE_IBitmap& bitmap) const;

private:
    void Load(const std::string& folder);
    void Select(int index);
    void Return();
    void Accept(const std::string& name);
    int VisibleRows() const noexcept { return kList.H() / kRowHeight; }

    bool mSave;
    std::string mFolder;
    std::vector<Listed> mEntries;
    int mSelected = -1;
    int mTop = 0;
    bool mListActive = false; // the list was used last (else the name field)
    TextField mName;
    std::string mMessage;
    bool mConfirming = false;
    std::string mPath;
    EState mState = EState::kOpen;
    ITextStyle mStyle;
};
