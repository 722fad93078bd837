// The window system without a screen: the window, timer, pointer capture and entry box are
// records; painting goes to the surface only; menus and dialogs are answered by a chooser that
// tests script (HeadlessWindow.h). Used by the tests and tools on every platform that builds
// it.

#include "HeadlessWindow.h"
#include "IGraphicsWin.h"
#include "IPopupMenu.h"
#include "LICE_PngWrite.h"
#include "LICE_SysBitmap.h"
#include "ThreadRole.h"
#include "WindowSystem.h"

#include <atomic>
#include <deque>
#include <dlfcn.h>
#include <optional>
#include <unistd.h>
#include <variant>

namespace
{
// Whether editors on this backend are offered to hosts (see HeadlessWindow.h).
std::atomic<bool> gOffersEditor{false};
} // namespace

void HeadlessOffersEditor(bool offered) noexcept
{
    gOffersEditor.store(offered);
}

class HeadlessWindowSystem final : public WindowSystem
{
public:
    explicit HeadlessWindowSystem(IWindowEventSink& sink) : mSink(sink) {}

    bool CreateEditorWindow(void* parent, const IRect& rect) noexcept override
    {
        if (!parent)
            return false;
        mOpen = true;
        mRect = rect;
        mCaptured = false;
        return true;
    }
    void DestroyEditorWindow() noexcept override
    {
        mOpen = false;
        mTimerMs = 0;
        mEntry.reset();
    }
    void* EditorWindow() const noexcept override
    {
        return mOpen ? const_cast<HeadlessWindowSystem*>(this) : nullptr;
    }
    IRect EditorWindowRect() const noexcept override { return mRect; }
    void GrowEditorWindow(int dw, int dh) noexcept override
    {
        Invalidate(IRect(0, 0, mRect.W(), mRect.H()));
        mRect.mR += dw;
        mRect.mB += dh;
    }
    void FocusEditorWindow() noexcept override {}

    void StartFrameTimer(int periodMs) noexcept override { mTimerMs = periodMs; }
    void StopFrameTimer() noexcept override { mTimerMs = 0; }

    void CapturePointer() noexcept override { mCaptured = true; }
    void ReleasePointer() noexcept override { mCaptured = false; }
    bool PointerCaptured() const noexcept override { return mCaptured; }
    void TrackPointerLeave() noexcept override {}

    void Invalidate(const IRect& rect) noexcept override { mInvalid = mInvalid.Union(rect); }
    void UpdateNow() noexcept override
    {
        if (mInvalid.Empty())
            return;
        WindowEvent paint;
        paint.mKind = WindowEvent::kPaint;
        paint.mRect = mInvalid;
        mSink.HandleEvent(paint);
        mInvalid = {}; // what the paint added to the area was painted with it
    }
    bool Present(const LICE_IBitmap&, const IRect& rect) noexcept override
    {
        ++mPresents;
        mLastPresented = rect;
        return true;
    }

    int ShowPopupMenu(const IPopupMenu& menu) noexcept override
    {
        ModalLoop();
        ++mMenusShown;
        mLastMenu.clear();
        ListMenu(menu, "");
        const Answer answer = NextAnswer();
        if (const int* id = std::get_if<int>(&answer))
            return (*id >= 1 && *id <= menu.FlatCount()) ? *id : 0;
        if (const std::string* text = std::get_if<std::string>(&answer))
            for (int i = 0; i < menu.FlatCount(); ++i)
                if (menu.ItemAt(i)->Text() == *text)
                    return i + 1;
        return 0;
    }

    bool CreateEntryBox(const IRect& rect, const std::string& text, int) noexcept override
    {
        mEntry = Entry{rect, text};
        return true;
    }
    void DestroyEntryBox() noexcept override { mEntry.reset(); }
    std::string EntryText(int maxLength) const noexcept override
    {
        if (!mEntry)
            return {};
        return mEntry->mText.substr(0, static_cast<std::size_t>(maxLength));
    }
    void SetEntryText(const std::string& text) noexcept override
    {
        if (mEntry)
            mEntry->mText = text;
    }

    bool ChooseFile(std::string& path, bool save, const std::string& folder) noexcept override
    {
        ModalLoop();
        mLastFileFolder = folder;
        mLastFileDialog =
            save ? HeadlessWindow::EFileDialog::kSave : HeadlessWindow::EFileDialog::kOpen;
        const Answer answer = NextAnswer();
        const std::string* chosen = std::get_if<std::string>(&answer);
        if (!chosen || chosen->empty())
            return false;
        path = *chosen;
        return true;
    }
    bool ChooseColour(IColorARGB& color, const std::string&) noexcept override
    {
        ModalLoop();
        const Answer answer = NextAnswer();
        const IColorARGB* chosen = std::get_if<IColorARGB>(&answer);
        if (!chosen)
            return false;
        color = *chosen;
        return true;
    }
    bool AskYesNo(const std::string&, const std::string& text) noexcept override
    {
        ModalLoop();
        mMessages.push_back(text);
        const Answer answer = NextAnswer();
        const bool* yes = std::get_if<bool>(&answer);
        return yes && *yes;
    }
    void ShowMessage(const std::string&, const std::string& text) noexcept override
    {
        mMessages.push_back(text);
    }
    bool OpenUrl(const std::string& url) noexcept override
    {
        if (!mOnline)
            return false;
        mOpenedUrls.push_back(url);
        return true;
    }

    bool ShowsOnScreen() const noexcept override { return gOffersEditor.load(); }

    std::string HostProgramPath() const noexcept override
    {
        char buf[4096];
        const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
        return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
    }
    std::string ModulePath(void*) const noexcept override
    {
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(&CreateWindowSystem), &info) && info.dli_fname)
            return info.dli_fname;
        return {};
    }

    using Answer = std::variant<std::monostate, int, std::string, IColorARGB, bool>;

    // A menu or dialog runs a loop of its own, as the platforms' do: the release of the press
    // that opened it goes to that loop, never to the editor.
    void ModalLoop() noexcept
    {
        if (mButtonDown)
            mReleaseEaten = true;
    }

    Answer NextAnswer()
    {
        if (mAnswers.empty())
            return {};
        Answer a = std::move(mAnswers.front());
        mAnswers.pop_front();
        return a;
    }

    void ListMenu(const IPopupMenu& menu, const std::string& indent)
    {
        for (int i = 0; i < menu.NItems(); ++i)
        {
            const IPopupMenu::Item& item = *menu.GetItem(i);
            std::string line = indent;
            if (item.Flags() & IPopupMenu::Item::kBreak)
                line += "|";
            if (item.IsSeparator())
                line += "---";
            else
                line += (item.Checked() ? "[x] " : "") + item.Text();
            mLastMenu.push_back(line);
            if (item.Submenu())
                ListMenu(*item.Submenu(), indent + "> ");
        }
    }

    struct Entry
    {
        IRect mRect;
        std::string mText;
    };

    IWindowEventSink& mSink;
    bool mOpen = false;
    IRect mRect;
    int mTimerMs = 0;
    bool mCaptured = false;
    bool mButtonDown = false;   // between a press and its release
    bool mReleaseEaten = false; // a modal loop took the release of the press
    IRect mInvalid;
    int mPresents = 0;
    IRect mLastPresented;
    std::optional<Entry> mEntry;
    std::deque<Answer> mAnswers;
    std::vector<std::string> mLastMenu;
    int mMenusShown = 0;
    std::string mLastFileFolder;
    HeadlessWindow::EFileDialog mLastFileDialog = HeadlessWindow::EFileDialog::kNone;
    std::vector<std::string> mMessages;
    std::vector<std::string> mOpenedUrls;
    bool mOnline = true;
};

std::unique_ptr<WindowSystem> CreateWindowSystem(IWindowEventSink& sink, int) noexcept
{
    ORX_MAIN_THREAD();
    try
    {
        return std::make_unique<HeadlessWindowSystem>(sink);
    }
    catch (...)
    {
        return nullptr;
    }
}

// ---- test hooks ----

namespace
{
HeadlessWindowSystem& HeadlessOf(IGraphicsWin& graphics)
{
    return dynamic_cast<HeadlessWindowSystem&>(graphics.System());
}

// The pretend host window the editor opens in.
int gHostWindow;
} // namespace

HeadlessWindow::HeadlessWindow(IGraphicsWin& graphics)
    : mGraphics(graphics), mSystem(HeadlessOf(graphics))
{
}

void HeadlessWindow::Open()
{
    mGraphics.OpenWindow(&gHostWindow);
}

static void Send(IGraphicsWin& g, WindowEvent::EKind kind, int x, int y, const IMouseKeys& keys,
                 bool right = false)
{
    WindowEvent e;
    e.mKind = kind;
    e.mX = x;
    e.mY = y;
    e.mKeys = keys;
    e.mRightButton = right;
    g.HandleEvent(e);
}

void HeadlessWindow::Press(int x, int y, const IMouseKeys& keys)
{
    IMouseKeys held = keys;
    if (!held.mR)
        held.mL = true;
    mSystem.mButtonDown = true;
    Send(mGraphics, WindowEvent::kMouseDown, x, y, held, held.mR);
}

void HeadlessWindow::Release(int x, int y, const IMouseKeys& keys)
{
    mSystem.mButtonDown = false;
    if (mSystem.mReleaseEaten)
    {
        mSystem.mReleaseEaten = false;
        return;
    }
    IMouseKeys after = keys;
    const bool right = keys.mR;
    after.mL = after.mR = false;
    Send(mGraphics, WindowEvent::kMouseUp, x, y, after, right);
}

void HeadlessWindow::Move(int x, int y, const IMouseKeys& keys)
{
    Send(mGraphics, WindowEvent::kMouseMove, x, y, keys);
}

void HeadlessWindow::Click(int x, int y, const IMouseKeys& keys)
{
    Press(x, y, keys);
    Release(x, y, keys);
}

void HeadlessWindow::RightClick(int x, int y)
{
    IMouseKeys keys;
    keys.mR = true;
    Click(x, y, keys);
}

void HeadlessWindow::DoubleClick(int x, int y, const IMouseKeys& keys)
{
    Click(x, y, keys);
    IMouseKeys held = keys;
    held.mL = true;
    mSystem.mButtonDown = true;
    Send(mGraphics, WindowEvent::kDoubleClick, x, y, held);
    Release(x, y, keys);
}

void HeadlessWindow::Drag(int x0, int y0, int x1, int y1, int steps, const IMouseKeys& keys)
{
    IMouseKeys held = keys;
    held.mL = true;
    Press(x0, y0, keys);
    for (int i = 1; i <= steps; ++i)
        Move(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, held);
    Release(x1, y1, keys);
}

void HeadlessWindow::Wheel(int x, int y, int notches, const IMouseKeys& keys)
{
    WindowEvent e;
    e.mKind = WindowEvent::kWheel;
    e.mX = x;
    e.mY = y;
    e.mKeys = keys;
    e.mNotches = notches;
    mGraphics.HandleEvent(e);
}

void HeadlessWindow::Key(int x, int y, int virtualKey, const IMouseKeys& keys)
{
    WindowEvent e;
    e.mKind = WindowEvent::kKeyDown;
    e.mX = x;
    e.mY = y;
    e.mVirtualKey = virtualKey;
    e.mKeys = keys;
    mGraphics.HandleEvent(e);
}

void HeadlessWindow::Leave()
{
    Send(mGraphics, WindowEvent::kMouseLeave, 0, 0, {});
}

void HeadlessWindow::Tick(int n)
{
    for (int i = 0; i < n && mSystem.mTimerMs > 0; ++i)
        Send(mGraphics, WindowEvent::kTimer, 0, 0, {});
}

void HeadlessWindow::AnswerMenu(int id)
{
    mSystem.mAnswers.emplace_back(id);
}

void HeadlessWindow::AnswerMenu(const std::string& text)
{
    mSystem.mAnswers.emplace_back(text);
}

void HeadlessWindow::AnswerFile(const std::string& path)
{
    mSystem.mAnswers.emplace_back(path);
}

void HeadlessWindow::AnswerColour(const IColorARGB& color)
{
    mSystem.mAnswers.emplace_back(color);
}

void HeadlessWindow::AnswerYesNo(bool yes)
{
    mSystem.mAnswers.emplace_back(yes);
}

void HeadlessWindow::SetOnline(bool online)
{
    mSystem.mOnline = online;
}

bool HeadlessWindow::EntryOpen() const
{
    return mSystem.mEntry.has_value();
}

std::string HeadlessWindow::EntryText() const
{
    return mSystem.mEntry ? mSystem.mEntry->mText : std::string();
}

IRect HeadlessWindow::EntryRect() const
{
    return mSystem.mEntry ? mSystem.mEntry->mRect : IRect();
}

void HeadlessWindow::TypeIntoEntry(const std::string& text)
{
    // The box's text starts all selected, so typing replaces it.
    if (mSystem.mEntry)
        mSystem.mEntry->mText = text;
}

void HeadlessWindow::FocusEntry()
{
    Send(mGraphics, WindowEvent::kEntryFocus, 0, 0, {});
}

void HeadlessWindow::BlurEntry()
{
    Send(mGraphics, WindowEvent::kEntryBlur, 0, 0, {});
}

void HeadlessWindow::PressReturn()
{
    Send(mGraphics, WindowEvent::kEntryCommit, 0, 0, {});
}

void HeadlessWindow::PressEscape()
{
    Send(mGraphics, WindowEvent::kEntryCancel, 0, 0, {});
}

const std::vector<std::string>& HeadlessWindow::LastMenu() const
{
    return mSystem.mLastMenu;
}

int HeadlessWindow::MenusShown() const
{
    return mSystem.mMenusShown;
}

int HeadlessWindow::Presents() const
{
    return mSystem.mPresents;
}

IRect HeadlessWindow::LastPresented() const
{
    return mSystem.mLastPresented;
}

bool HeadlessWindow::Captured() const
{
    return mSystem.mCaptured;
}

int HeadlessWindow::TimerPeriodMs() const
{
    return mSystem.mTimerMs;
}

const std::vector<std::string>& HeadlessWindow::OpenedUrls() const
{
    return mSystem.mOpenedUrls;
}

const std::vector<std::string>& HeadlessWindow::Messages() const
{
    return mSystem.mMessages;
}

const std::string& HeadlessWindow::LastFileFolder() const
{
    return mSystem.mLastFileFolder;
}

HeadlessWindow::EFileDialog HeadlessWindow::LastFileDialog() const
{
    return mSystem.mLastFileDialog;
}

bool HeadlessWindow::Snapshot(const char* path) const
{
    const LICE_SysBitmap* surface = mGraphics.Surface();
    return surface && LICE::WritePngFile(path, *surface, false);
}
