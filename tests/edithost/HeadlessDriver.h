#pragma once
// An input driver over the headless window layer, for the script runner's tests: the host's
// windows are records, input goes straight into the loaded editors as a platform would send it
// (HeadlessWindow.h), every 40 ms waited is one frame and one idle call, and a popup menu is
// answered by the layer's chooser with the item the plan chooses (or the one its down keys and
// return reach). Its counts are the host windows and the editors open in them.

#include "HeadlessWindow.h"
#include "IGraphicsWin.h"
#include "IPlugVST.h"
#include "InputDriver.h"
#include "VstHost.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

class HeadlessDriver final : public edithost::InputDriver
{
public:
    // What a test sets.
    std::string mWindowProblem;
    bool mReadsMenus = true;
    // The value prompt's entry box shown as a popup that holds the host's thread (as the X11
    // layer's file chooser does), so the commands while it is open make one edit.
    bool mEntryIsPopup = false;
    // What a test reads.
    int mIdleCalls = 0;

    void Run(const std::function<void()>& script, const std::function<void()>& idle) override
    {
        mIdle = idle;
        script();
        mIdle = nullptr;
    }
    bool OnHostThread(const std::function<void()>& fn, int) override
    {
        fn();
        return true;
    }
    void Wait(int ms) override
    {
        for (int frame = 0; frame < std::max(1, ms / 40); ++frame)
        {
            for (auto& [name, editor] : mEditors)
                editor.mWindow->Tick();
            if (mIdle && mIdleMs > 0)
            {
                mIdle();
                ++mIdleCalls;
            }
        }
    }
    int SettleMs() const override { return 120; }
    void SetIdleInterval(int ms) override { mIdleMs = ms; }

    void PlugInLoaded(const std::string& name, orxhost::VstHost& host) override
    {
        auto* plug = static_cast<IPlugVST*>(host.Effect()->object);
        if (auto* graphics = plug ? dynamic_cast<IGraphicsWin*>(plug->GetEditor()) : nullptr)
            mEditors[name] = {graphics, std::make_unique<HeadlessWindow>(*graphics)};
    }
    std::string WindowProblem() override { return mWindowProblem; }

    bool MakeHostWindow(const edithost::HostWindowSpec& spec, int& width, int& height) override
    {
        mHostWindows.emplace(spec.mName, 0);
        width = spec.mWidth;
        height = spec.mHeight;
        return true;
    }
    void* HostWindow(const std::string& name) override
    {
        const auto it = mHostWindows.find(name);
        return it == mHostWindows.end() ? nullptr : &it->second;
    }
    void DestroyHostWindow(const std::string& name) override { mHostWindows.erase(name); }
    void Target(const std::string& name) override { mTarget = name; }
    int WindowsIn(const std::string& name) override
    {
        const Editor* e = Open(name);
        return e ? 1 + (e->mWindow->EntryOpen() ? 1 : 0) : 0;
    }
    bool EditorPlace(const std::string& name, int& x, int& y) override
    {
        x = y = 0;
        return Open(name) != nullptr;
    }
    std::string EditorTitle(const std::string& name) override
    {
        return Open(name) ? "headless" : "";
    }
    std::string EditorClass(const std::string&) override { return {}; }
    std::vector<edithost::Area> EditorChildAreas(const std::string& name) override
    {
        const Editor* e = Open(name);
        if (!e || !e->mWindow->EntryOpen())
            return {};
        const IRect r = e->mWindow->EntryRect();
        return {{r.mL, r.mT, r.mR, r.mB}};
    }
    bool Cover(const std::string& name) override { return Open(name) != nullptr; }
    std::vector<std::string> Popups() override
    {
        const auto it = mEditors.find(mTarget);
        if (mEntryIsPopup && it != mEditors.end() && it->second.mWindow->EntryOpen())
            return {"Value"};
        return {};
    }

    void Click(edithost::MouseButton button, bool control, int x, int y) override
    {
        IMouseKeys keys;
        keys.mC = control;
        if (button == edithost::MouseButton::kRight)
            Window().RightClick(x, y);
        else
            Window().Click(x, y, keys);
    }
    edithost::MenuOutcome ClickIntoMenu(edithost::MouseButton button, bool control, int x, int y,
                                        const edithost::MenuPlan& plan) override
    {
        const int before = Window().MenusShown();
        int downs = 0;
        for (const edithost::ScriptKey& key : plan.mKeys)
            downs += key.mNamed == edithost::ScriptKey::kDown ? 1 : 0;
        const bool chosen =
            !plan.mKeys.empty() && plan.mKeys.back().mNamed == edithost::ScriptKey::kReturn;
        if (!plan.mChoice.empty())
            Window().AnswerMenu(plan.mChoice.back());
        else
            Window().AnswerMenu(chosen ? downs : 0);
        Click(button, control, x, y);
        edithost::MenuOutcome outcome;
        outcome.mShown = Window().MenusShown() > before;
        outcome.mShotTaken =
            outcome.mShown && !plan.mShotPng.empty() && Window().Snapshot(plan.mShotPng.c_str());
        const std::vector<std::string>& items = Window().LastMenu();
        outcome.mChoiceFound =
            outcome.mShown && !plan.mChoice.empty() &&
            std::find(items.begin(), items.end(), plan.mChoice.back()) != items.end();
        outcome.mKeysTyped = outcome.mShown;
        return outcome;
    }
    bool ReadsMenuItems() const override { return mReadsMenus; }
    void DoubleClick(int x, int y) override { Window().DoubleClick(x, y); }
    void Press(int x, int y) override
    {
        Window().Press(x, y);
        mHeld = true;
    }
    void MoveTo(int x, int y) override
    {
        IMouseKeys keys;
        keys.mL = mHeld;
        Window().Move(x, y, keys);
    }
    void Release(int x, int y) override
    {
        if (Open(mTarget))
            Window().Release(x, y);
        mHeld = false;
    }
    void Wheel(int x, int y, int notches) override { Window().Wheel(x, y, notches); }
    std::string Type(const std::string& text) override
    {
        if (!Window().EntryOpen())
            return text; // nothing takes characters but the entry box
        Window().TypeIntoEntry(text);
        return {};
    }
    bool Key(const edithost::ScriptKey& key) override
    {
        if (!mEditors.count(mTarget))
            return false;
        if (key.mNamed == edithost::ScriptKey::kReturn)
            Window().PressReturn();
        else if (key.mNamed == edithost::ScriptKey::kEscape)
            Window().PressEscape();
        else if (key.mNamed == edithost::ScriptKey::kCharacter)
        {
            IMouseKeys held;
            held.mC = key.mControl;
            held.mS = key.mShift;
            Window().Key(0, 0, std::toupper(static_cast<unsigned char>(key.mCharacter)), held);
        }
        else
            return false; // the other named keys are not needed here
        return true;
    }

    bool CaptureHostWindow(const std::string& name, const std::string& png) override
    {
        const Editor* e = Open(name);
        return e && e->mWindow->Snapshot(png.c_str());
    }
    bool CaptureScreen(const std::string& png) override { return CaptureHostWindow(mTarget, png); }
    edithost::Counts TakeCounts() override
    {
        edithost::Counts c;
        long open = 0;
        for (const auto& [name, editor] : mEditors)
            open += editor.mGraphics->IsWindowOpen() ? 1 : 0;
        c.mValues["open editors"] = open;
        c.mValues["host windows"] = static_cast<long>(mHostWindows.size());
        return c;
    }
    std::optional<bool> FontFamilyIs(const std::string&, const std::string&) override
    {
        return std::nullopt;
    }

private:
    struct Editor
    {
        IGraphicsWin* mGraphics = nullptr;
        std::unique_ptr<HeadlessWindow> mWindow;
    };

    // name's editor when it is open in its host window.
    const Editor* Open(const std::string& name) const
    {
        const auto it = mEditors.find(name);
        return it != mEditors.end() && mHostWindows.count(name) &&
                       it->second.mGraphics->IsWindowOpen()
                   ? &it->second
                   : nullptr;
    }
    HeadlessWindow& Window() { return *mEditors.at(mTarget).mWindow; }

    std::map<std::string, Editor> mEditors;
    std::map<std::string, int> mHostWindows;
    std::string mTarget;
    std::function<void()> mIdle;
    int mIdleMs = 15;
    bool mHeld = false;
};
