#pragma once
// The window layer: puts the graphics context on screen as a child window of the host's
// window. All its logic is here, the same for every platform: the handling of the window's
// events, the frame tick, the value prompt (a menu of choices, or an entry box with its entry
// states), parameter menus, the rules of the dialogs, folders and resizing. The platform's part
// is a WindowSystem (WindowSystem.h), made at construction.
//
// Entry states of the value prompt (mEntryState, meaningful while an entry box is open):
//   0 box open, editor active   1 box has the focus (the editor takes no ticks)
//   2 refresh the box's text    3 cancel (next tick)   4 commit (next tick)
//
// Everything runs on the editor's thread ([main-thread], ThreadTags.h).

#include "IGraphicsLice.h"
#include "IWindowEventSink.h"
#include "WindowEvent.h"
#include "WindowSystem.h"

#include <memory>
#include <string>

class IPopupMenu;

class IGraphicsWin : public IGraphicsLice, public IWindowEventSink
{
public:
    static constexpr int kEntryWidth = 36;
    static constexpr int kEntryHeight = 16;
    static constexpr int kEntryFontHeight = 14;
    static constexpr int kMaxEntryText = 1000;

    // [main-thread] The window system comes from factory (the backend the program links),
    // given windowClassTag, a number naming the plug-in its windows belong to.
    IGraphicsWin(IEditorHost* plug, int width, int height, WindowSystemFactory factory,
                 int windowClassTag = 0, int fps = 0);
    // Closes the window first.
    ~IGraphicsWin() override;

    // IWindowEventSink: [main-thread] One native message, translated by the window system.
    void HandleEvent(const WindowEvent& event) noexcept override;

    // [main-thread] Opens the editor window in parent (again at the old place and size when
    // one is open); null when it cannot be made. Every control paints on the first frame.
    void* OpenWindow(void* parent) noexcept override;
    void CloseWindow() noexcept override;
    void* WindowHandle() const noexcept override;
    bool IsWindowOpen() const noexcept override;
    // As the window system says.
    bool HasScreen() const noexcept override;
    // The window system's idle time (WindowSystem::Idle).
    void IdleWindow() noexcept override;
    // The timer period for the frame rate, in milliseconds (41 at 24 frames per second).
    int FramePeriodMs() const noexcept { return 1000 / FPS(); }

    bool PresentRect(const IRect& rect) noexcept override;
    // As the context, then the window and its child-window parents grow with it.
    void Resize(int width, int height) noexcept override;

    void PromptUserInput(IControl* control, IParameter* param, bool textMode) noexcept override;
    void PopupParamMenu(IControl* control, IParameter* param, int perColumn) noexcept override;
    void HostProgramFolder(std::string& folder) noexcept override;
    void PluginFolder(std::string& folder) noexcept override;
    // Needs an open window. Starts in folder, or in the host program's folder without one.
    bool PromptForFile(std::string& path, int action, const char* folder = nullptr,
                       const char* extensions = nullptr) noexcept override;
    // Needs an open window; alpha is left as it is.
    bool PromptForColour(IColorARGB& color, const char* prompt) noexcept override;
    // With confirm: asks first. With error: shown when the address could not be opened.
    bool OpenUrl(const char* url, const char* title = nullptr, const char* confirm = nullptr,
                 const char* error = nullptr) noexcept override;

    bool EntryOpen() const noexcept { return mEntryOpen; }
    int EntryState() const noexcept { return mEntryState; }
    IControl* PromptControl() const noexcept { return mpPromptControl; }
    void* ParentWindow() const noexcept { return mpParentWnd; }
    WindowSystem& System() const noexcept { return *mpSystem; }

private:
    // The ids of the history items a right-click menu starts with.
    static constexpr int kUndoItem = 1;
    static constexpr int kRedoItem = 2;

    // The items a right-click menu offers for MIDI learn, and the entry box's item on a control
    // without a menu of its own.
    static constexpr const char* kTypeValueItem = "Type a value...";
    static constexpr const char* kLearnItem = "Learn MIDI CC";
    static constexpr const char* kCancelLearnItem = "Cancel MIDI learn";

    // Puts "Undo <step>", "Redo <step>" (greyed when there is none) and a separator before the
    // menu's items; answers how many went in.
    int AddHistoryItems(IPopupMenu& menu) noexcept;
    // Appends a separator, "Learn MIDI CC" ("Cancel MIDI learn" while paramIdx waits for its
    // controller) and, when a controller is bound, "Forget CC n (channel c)"; answers how many
    // items went in.
    int AddLearnItems(IPopupMenu& menu, int paramIdx) noexcept;
    // item counts from the separator AddLearnItems put in.
    void ApplyLearnItem(int item, int paramIdx) noexcept;
    void OnFrameTick() noexcept;
    // A paint request of the window system: area and whatever else is dirty.
    void OnPaint(const IRect& area) noexcept;
    // One step of the entry state machine, on a tick.
    void HandleEntryState() noexcept;
    void CommitEntry() noexcept;
    // Destroys the entry box and forgets the prompt.
    void CloseEntry() noexcept;

    std::unique_ptr<WindowSystem> mpSystem;
    void* mpParentWnd = nullptr;
    IControl* mpPromptControl = nullptr;
    IParameter* mpPromptParam = nullptr;
    bool mEntryOpen = false;
    int mEntryState = 0;
};

// The folder part of a file name: up to and including its last '/' or '\'; empty without one.
std::string FolderOfPath(const std::string& path);
