// The script's actions: the host's windows and editors, a user's input with the menus it
// opens, the host's idle time and its transport.

#include "ScriptReport.h"
#include "ScriptSession.h"

#include <cstdlib>

#include <thread>

namespace edithost
{

namespace
{
constexpr int kHostWaitMs = 10000; // for the host's thread, when no popup holds it
constexpr int kDragStepMs = 30;
constexpr int kPlayBlock = 512;
} // namespace

bool ScriptSession::MakeWindow(Slot& slot, int line)
{
    bool hasEditor = false, sized = false;
    int w = 0, h = 0;
    if (!mDriver.OnHostThread(
            [&]
            {
                hasEditor = slot.mHost.HasEditor();
                sized = slot.mHost.EditorSize(w, h);
            },
            kHostWaitMs))
    {
        mReport.Check(false, line, "the host's thread is held: no window for " + slot.mName);
        return false;
    }
    mReport.Check(hasEditor, line, slot.mName + " has the has-editor flag");
    if (!sized)
    {
        mReport.Check(false, line, slot.mName + " gives its editor's size");
        return false;
    }
    const HostWindowSpec spec{slot.mName, slot.mOrder, static_cast<int>(mSlots.size()), w, h};
    int width = 0, height = 0;
    if (!mDriver.MakeHostWindow(spec, width, height))
    {
        mReport.Check(false, line, "the host window for " + slot.mName + " is made");
        return false;
    }
    mReport.Check(width == w && height == h, line,
                  slot.mName + " host window's client area is the editor's size " +
                      std::to_string(w) + " x " + std::to_string(h));
    return true;
}

bool ScriptSession::Window(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    if (Slot* slot = Find(c.mArgs[0], c.mLine))
        MakeWindow(*slot, c.mLine);
    return true;
}

bool ScriptSession::Open(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    Slot* slot = Find(c.mArgs[0], c.mLine);
    if (!slot || !MakeWindow(*slot, c.mLine))
        return true;
    void* parent = mDriver.HostWindow(slot->mName);
    bool opened = false;
    mDriver.OnHostThread(
        [&]
        {
            opened = slot->mHost.OpenEditor(parent);
            slot->mOpen = opened;
        },
        kHostWaitMs);
    mReport.Check(opened, c.mLine, "effEditOpen opens " + slot->mName + "'s editor");
    mpTarget = slot;
    mDriver.Target(slot->mName);
    Settle();
    return true;
}

bool ScriptSession::Close(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    if (Slot* slot = Find(c.mArgs[0], c.mLine))
    {
        bool closed = false;
        mDriver.OnHostThread(
            [&]
            {
                closed = slot->mHost.CloseEditor();
                slot->mOpen = false;
            },
            kHostWaitMs);
        mReport.Check(closed, c.mLine, "effEditClose closes " + slot->mName + "'s editor");
        Settle();
        slot->mWatch->Checker().EditorClosed("effEditClose");
    }
    return true;
}

// The editor keeps its idle time while its window goes, as a host's idle timer runs on: it
// learns of its window's end from the platform, in its own time.
bool ScriptSession::DestroyWindow(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    if (Slot* slot = Find(c.mArgs[0], c.mLine))
    {
        mDriver.DestroyHostWindow(slot->mName);
        Settle();
        mDriver.OnHostThread([&] { slot->mOpen = false; }, kHostWaitMs);
        slot->mWatch->Checker().EditorClosed("its window destroyed");
    }
    return true;
}

bool ScriptSession::SetTarget(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    mpTarget = Find(c.mArgs[0], c.mLine);
    mDriver.Target(mpTarget ? mpTarget->mName : std::string());
    return true;
}

bool ScriptSession::Pump(const Command& c)
{
    int ms = 0;
    if (c.mArgs.size() != 1 || !c.Int(0, ms) || ms < 0)
        return false;
    mDriver.Wait(ms);
    return true;
}

bool ScriptSession::IdleEvery(const Command& c)
{
    int ms = 0;
    if (c.mArgs.size() != 1 || !c.Int(0, ms) || ms <= 0)
        return false;
    mDriver.SetIdleInterval(ms);
    return true;
}

bool ScriptSession::Idle(const Command& c)
{
    if (c.mArgs.size() != 1 || c.mArgs[0] != "off")
        return false;
    mDriver.SetIdleInterval(0);
    return true;
}

void ScriptSession::CheckMenu(const MenuOutcome& outcome, int line)
{
    mReport.Check(outcome.mShown, line, "a popup menu shows");
    if (!outcome.mShown)
        return;
    if (!mMenu.mShotPng.empty())
        mReport.Check(outcome.mShotTaken, line,
                      "screenshot " + mMenu.mShotPng.substr(mOut.size() + 1) +
                          " of the popup menu written");
    if (!mMenu.mChoice.empty())
    {
        std::string path;
        for (const std::string& item : mMenu.mChoice)
            path += (path.empty() ? "" : " > ") + item;
        mReport.Check(outcome.mChoiceFound, line, "the menu has the item " + path);
    }
    mReport.Check(outcome.mKeysTyped, line, "the menu keys were all typed into the popup menu");
}

bool ScriptSession::Click(const Command& c)
{
    int x = 0, y = 0;
    if (c.mArgs.size() != 2 || !c.Int(0, x) || !c.Int(1, y))
        return false;
    const MouseButton button = c.mName == "rclick" ? MouseButton::kRight : MouseButton::kLeft;
    const bool control = c.mName == "ctrlclick";
    if (mMenu.Pending())
    {
        CheckMenu(mDriver.ClickIntoMenu(button, control, x, y, mMenu), c.mLine);
        mMenu = MenuPlan();
    }
    else
    {
        mDriver.Click(button, control, x, y);
    }
    Settle();
    return true;
}

bool ScriptSession::DoubleClick(const Command& c)
{
    int x = 0, y = 0;
    if (c.mArgs.size() != 2 || !c.Int(0, x) || !c.Int(1, y))
        return false;
    mDriver.DoubleClick(x, y);
    Settle();
    return true;
}

bool ScriptSession::Drag(const Command& c)
{
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0, steps = 0;
    if (c.mArgs.size() != 5 || !c.Int(0, x0) || !c.Int(1, y0) || !c.Int(2, x1) || !c.Int(3, y1) ||
        !c.Int(4, steps) || steps <= 0)
        return false;
    mDriver.Press(x0, y0);
    mDriver.Wait(kDragStepMs);
    for (int i = 1; i <= steps; ++i)
    {
        mDriver.MoveTo(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
        mDriver.Wait(kDragStepMs);
    }
    mDriver.Release(x1, y1);
    Settle();
    return true;
}

bool ScriptSession::PressMoveRelease(const Command& c)
{
    int x = 0, y = 0;
    if (c.mArgs.size() != 2 || !c.Int(0, x) || !c.Int(1, y))
        return false;
    if (c.mName == "press")
        mDriver.Press(x, y);
    else if (c.mName == "move")
        mDriver.MoveTo(x, y);
    else
        mDriver.Release(x, y);
    Settle();
    return true;
}

bool ScriptSession::Wheel(const Command& c)
{
    int x = 0, y = 0, notches = 0;
    if (c.mArgs.size() != 3 || !c.Int(0, x) || !c.Int(1, y) || !c.Int(2, notches))
        return false;
    mDriver.Wheel(x, y, notches);
    Settle();
    return true;
}

bool ScriptSession::MenuKeys(const Command& c)
{
    if (c.mArgs.empty())
        return false;
    std::vector<ScriptKey> keys;
    for (const std::string& name : c.mArgs)
    {
        ScriptKey key;
        if (!ReadKey(name, key))
        {
            mReport.Check(false, c.mLine, "unknown key " + name);
            return true;
        }
        // A menu's keys go in as a user's at the menu, without modifiers.
        if (key.mControl || key.mShift)
        {
            mReport.Check(false, c.mLine, "a menu takes no modifier keys: " + name);
            return true;
        }
        keys.push_back(key);
    }
    mMenu.mKeys.insert(mMenu.mKeys.end(), keys.begin(), keys.end());
    return true;
}

bool ScriptSession::MenuChoose(const Command& c)
{
    if (c.mArgs.empty())
        return false;
    if (!mDriver.ReadsMenuItems())
    {
        mReport.Check(false, c.mLine, "this host cannot read a popup menu's items to choose one");
        return true;
    }
    std::vector<std::string> choice(1);
    for (const std::string& word : c.mArgs)
    {
        if (word == ">")
            choice.emplace_back();
        else
            choice.back() += (choice.back().empty() ? "" : " ") + word;
    }
    mMenu.mChoice = choice;
    return true;
}

bool ScriptSession::MenuShot(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    mMenu.mShotPng = Out(c.mArgs[0] + ".png");
    return true;
}

bool ScriptSession::Type(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    const std::string untyped = mDriver.Type(c.mArgs[0]);
    if (!untyped.empty())
        mReport.Check(false, c.mLine, "cannot type '" + untyped + "'");
    Settle();
    return true;
}

bool ScriptSession::Key(const Command& c)
{
    int times = 1;
    if (c.mArgs.empty() || c.mArgs.size() > 2 || (c.mArgs.size() == 2 && !c.Int(1, times)) ||
        times <= 0)
        return false;
    ScriptKey key;
    if (!ReadKey(c.mArgs[0], key))
    {
        mReport.Check(false, c.mLine, "unknown key " + c.mArgs[0]);
        return true;
    }
    for (int i = 0; i < times; ++i)
        if (!mDriver.Key(key))
        {
            mReport.Check(false, c.mLine, "this host has no key " + c.mArgs[0]);
            break;
        }
    Settle();
    return true;
}

bool ScriptSession::Play(const Command& c)
{
    int from = 0, frames = 0;
    if (c.mArgs.size() != 3 || !c.Int(1, from) || !c.Int(2, frames) || from < 0 || frames < 0)
        return false;
    Slot* slot = Find(c.mArgs[0], c.mLine);
    if (!slot)
        return true;
    const PlayedStretch stretch{from, frames, kPlayBlock};
    const int before = slot->mHost.ProcessCalls();
    std::atomic<bool> done{false};
    std::thread audio(
        [&]
        {
            PlayThenStop(slot->mHost, stretch);
            done = true;
        });
    while (!done)
        mDriver.Wait(20);
    audio.join();
    slot->mPlayed.push_back(stretch);
    Settle();
    const int blocks = slot->mHost.ProcessCalls() - before;
    const std::size_t events = slot->mHost.EventsFrom(0).size(); // under the callbacks' lock
    mReport.Check(blocks == (frames + kPlayBlock - 1) / kPlayBlock + 1, c.mLine,
                  slot->mName + "'s host played " + std::to_string(blocks) +
                      " blocks with the editor open, the last one stopped (" +
                      std::to_string(events) + " events so far)");
    return true;
}

bool ScriptSession::Midi(const Command& c)
{
    int data1 = 0, data2 = 0;
    if (c.mArgs.size() != 4 || !c.Int(2, data1) || !c.Int(3, data2) || data1 < 0 || data1 > 127 ||
        data2 < 0 || data2 > 127)
        return false;
    char* end = nullptr;
    const unsigned long status = std::strtoul(c.mArgs[1].c_str(), &end, 16);
    if (!end || *end || status < 0x80 || status > 0xEF)
        return false;
    Slot* slot = Find(c.mArgs[0], c.mLine);
    if (!slot)
        return true;
    // A host delivers input on its audio thread; this one has no other while nothing plays.
    slot->mHost.SendMidi(static_cast<uint8_t>(status), static_cast<uint8_t>(data1),
                         static_cast<uint8_t>(data2));
    Settle();
    return true;
}

bool ScriptSession::Cover(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    if (Slot* slot = Find(c.mArgs[0], c.mLine))
        mReport.Check(mDriver.Cover(slot->mName), c.mLine,
                      slot->mName + "'s window covered and uncovered");
    return true;
}

} // namespace edithost
