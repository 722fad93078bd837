// The window layer's logic driven through the headless backend: events, frame ticks, the
// value prompt's entry states, menus, keys and dialogs.

#include "GraphicsTestSupport.h"
#include "HeadlessWindow.h"
#include "IGraphicsWin.h"
#include "IKnobMultiControl.h"
#include "IPopupMenu.h"
#include "ISwitchControl.h"
#include "WindowSystem.h"

#include <gtest/gtest.h>

namespace
{
struct KeyControl : CountingControl
{
    using CountingControl::CountingControl;
    void HandleKey(int, int, int code) noexcept override { mKeys.push_back(code); }
    std::vector<int> mKeys;
};

struct Window : ::testing::Test
{
    EditorPlug mPlug;
    IGraphicsWin* mpG = new IGraphicsWin(&mPlug, 200, 100, &CreateWindowSystem);
    Filmstrip mStrip{30, 30, 101};
    Filmstrip mLed{16, 16, 2};
    IKnobMultiControl* mpKnob = new IKnobMultiControl(&mPlug, 10, 10, kGain, mStrip.mHandle, 1.0);
    ISwitchControl* mpMode = new ISwitchControl(&mPlug, 60, 10, kMode, mLed.mHandle);
    KeyControl* mpKeys = new KeyControl(&mPlug, IRect(100, 0, 200, 100));
    HeadlessWindow mW{*mpG};

    void SetUp() override
    {
        mpG->AddControl(mpKnob);
        mpG->AddControl(mpMode);
        mpG->AddControl(mpKeys);
        mPlug.AttachEditor(mpG);
        mW.Open();
    }
    double Gain() { return mPlug.GetParam(kGain)->Value(); }
};
} // namespace

TEST_F(Window, OpensWithItsTimerPaintsDirtyFramesAndCloses)
{
    EXPECT_TRUE(mpG->IsWindowOpen());
    EXPECT_EQ(mW.TimerPeriodMs(), 41); // frame rate 0 means 24
    mW.Tick();
    EXPECT_EQ(mW.Presents(), 1);
    EXPECT_EQ(mW.LastPresented(), IRect(10, 0, 200, 100));
    mW.Tick(3);
    EXPECT_EQ(mW.Presents(), 2); // the values the plug-in pushed paint on a second frame
    mW.Wheel(20, 20, 2);
    EXPECT_DOUBLE_EQ(mpKnob->GetValue(), 0.52);
    mW.Tick();
    EXPECT_EQ(mW.LastPresented(), mpKnob->GetRECT());

    // Opened again without closing: at the old place, everything painted anew.
    void* parent = mpG->ParentWindow();
    EXPECT_NE(mpG->OpenWindow(parent), nullptr);
    mW.Tick();
    EXPECT_EQ(mW.LastPresented(), IRect(10, 0, 200, 100));

    WindowEvent close;
    close.mKind = WindowEvent::kClose;
    mpG->HandleEvent(close);
    EXPECT_FALSE(mpG->IsWindowOpen());
    mpKnob->MarkDirty(false);
    mW.Tick();
    mW.Click(20, 20);
    EXPECT_EQ(mW.Presents(), 4);
    EXPECT_EQ(mpG->OpenWindow(nullptr), nullptr);
}

TEST_F(Window, EntryBoxCommitsCancelsAndFollowsTheValue)
{
    mW.RightClick(25, 25);
    ASSERT_TRUE(mW.EntryOpen());
    EXPECT_EQ(mW.EntryRect(), IRect(7, 17, 43, 33));
    EXPECT_EQ(mW.EntryText(), "5.00");

    mW.TypeIntoEntry("2.5");
    mW.PressReturn();
    EXPECT_TRUE(mW.EntryOpen()); // applied on the next tick
    mW.Tick();
    EXPECT_FALSE(mW.EntryOpen());
    EXPECT_EQ(Gain(), 2.5);
    EXPECT_DOUBLE_EQ(mpKnob->GetValue(), 0.25);

    // A right press in the editor cancels and reaches no control.
    mW.RightClick(25, 25);
    mW.TypeIntoEntry("9");
    mW.RightClick(65, 15);
    mW.Tick();
    EXPECT_FALSE(mW.EntryOpen());
    EXPECT_EQ(Gain(), 2.5);
    EXPECT_EQ(mpMode->GetValue(), 0.0);

    // A left press commits and still reaches the control under it.
    mW.RightClick(25, 25);
    mW.TypeIntoEntry("7");
    mW.Click(65, 15);
    EXPECT_EQ(mpMode->GetValue(), 1.0);
    mW.Tick();
    EXPECT_EQ(Gain(), 7.0);

    // Text that is no number leaves the value; Escape cancels.
    mW.RightClick(25, 25);
    mW.TypeIntoEntry("abc");
    mW.PressReturn();
    mW.Tick();
    mW.RightClick(25, 25);
    mW.TypeIntoEntry("1");
    mW.PressEscape();
    mW.Tick();
    EXPECT_FALSE(mW.EntryOpen());
    EXPECT_EQ(Gain(), 7.0);

    // While the box has the focus the editor neither paints nor takes a left click.
    mW.Tick();
    const int presents = mW.Presents();
    mW.RightClick(25, 25);
    mW.FocusEntry();
    mpKnob->MarkDirty(false);
    mW.Tick();
    mW.Click(65, 15);
    EXPECT_EQ(mW.Presents(), presents);
    EXPECT_EQ(mpMode->GetValue(), 1.0);
    mW.BlurEntry();
    // A repaint asks the box to show the current value on the next tick.
    mPlug.GetParam(kGain)->SetValue(3.0);
    mPlug.PushValuesToEditor();
    mW.Tick();
    EXPECT_EQ(mW.Presents(), presents + 1);
    EXPECT_EQ(mW.EntryText(), "7.00");
    mW.Tick();
    EXPECT_EQ(mW.EntryText(), "3.00");
    mW.FocusEntry();
    mW.RightClick(65, 15);
    mW.Tick();
    EXPECT_FALSE(mW.EntryOpen());
    EXPECT_EQ(Gain(), 3.0);
}

TEST_F(Window, PaintAskedByTheSystemAlsoPaintsWhatChangedSinceTheLastTick)
{
    mW.Tick(3);
    const int paints = mpKeys->mPaints;
    mpKeys->MarkDirty(false); // changed after the last tick
    WindowEvent uncovered;    // e.g. where a closed entry box was
    uncovered.mKind = WindowEvent::kPaint;
    uncovered.mRect = IRect(10, 10, 40, 40);
    mpG->HandleEvent(uncovered);
    EXPECT_EQ(mpKeys->mPaints, paints + 1);
    EXPECT_EQ(mW.LastPresented(), IRect(10, 0, 200, 100));
    mW.Tick(); // nothing left to paint
    EXPECT_EQ(mpKeys->mPaints, paints + 1);
}

TEST_F(Window, MenusAnswerPromptsAndNumberEntriesDepthFirst)
{
    // A right-click menu starts with the plug-in's undo and redo, greyed when there is none;
    // the choice is one edit, named after the parameter its menu sets.
    mW.AnswerMenu("Sine");
    mW.RightClick(65, 15);
    EXPECT_FALSE(mW.EntryOpen());
    EXPECT_EQ(mW.LastMenu(),
              (std::vector<std::string>{"Undo", "Redo", "---", "[x] Saw", "Square", "Sine"}));
    EXPECT_EQ(mPlug.GetParam(kMode)->Value(), 2.0);
    EXPECT_EQ(mPlug.mEdits, (std::vector<std::string>{"Mode", "=Mode", "/"}));
    mW.RightClick(65, 15); // dismissed
    EXPECT_EQ(mW.MenusShown(), 2);
    EXPECT_EQ(mPlug.GetParam(kMode)->Value(), 2.0);
    mPlug.mEdits.clear();
    mPlug.mUndoName = "Mode";
    mW.AnswerMenu("Undo Mode");
    mW.RightClick(65, 15);
    EXPECT_EQ(mW.LastMenu()[0], "Undo Mode");
    EXPECT_EQ(mPlug.mEdits, (std::vector<std::string>{"Mode", "/", "undo"}));
    EXPECT_FALSE(mW.Captured());

    mW.AnswerMenu(2);
    mpG->PopupParamMenu(mpMode, mPlug.GetParam(kMode), 2);
    EXPECT_EQ(mW.LastMenu(), (std::vector<std::string>{"Saw", "Square", "|[x] Sine"}));
    EXPECT_EQ(mPlug.GetParam(kMode)->Value(), 1.0);
    EXPECT_EQ(mpMode->GetValue(), 0.5);

    // The chooser picks by text; the id it answers is ItemAt's index + 1.
    IPopupMenu menu;
    auto inner = std::make_unique<IPopupMenu>();
    inner->AddTextItem("x");
    inner->AddTextItem("y");
    auto outer = std::make_unique<IPopupMenu>();
    outer->AddSubmenu("in", std::move(inner));
    outer->AddSeparator();
    menu.AddSubmenu("out", std::move(outer));
    menu.AddTextItem("z");
    mW.AnswerMenu("y");
    mW.AnswerMenu("z");
    mW.AnswerMenu(99);
    const int y = mpG->System().ShowPopupMenu(menu);
    EXPECT_EQ(menu.ItemAt(y - 1)->Text(), "y");
    EXPECT_EQ(y, 4);
    EXPECT_EQ(menu.ItemAt(mpG->System().ShowPopupMenu(menu) - 1)->Text(), "z");
    EXPECT_EQ(mpG->System().ShowPopupMenu(menu), 0);
    EXPECT_EQ(mW.LastMenu(),
              (std::vector<std::string>{"out", "> in", "> > x", "> > y", "> ---", "z"}));
}

TEST_F(Window, KeysAndDialogs)
{
    for (int vk : {int('Q'), int('q'), 0x26, 0x27, int('7'), int(' '), 0x2E})
        mW.Key(150, 50, vk);
    EXPECT_EQ(mpKeys->mKeys, (std::vector<int>{31, 31, 1, 4, 12, 0}));

    std::string path = "old";
    EXPECT_EQ(mW.LastFileDialog(), HeadlessWindow::EFileDialog::kNone);
    EXPECT_FALSE(mpG->PromptForFile(path, 0)); // nothing queued: cancelled
    EXPECT_EQ(path, "");
    EXPECT_EQ(mW.LastFileDialog(), HeadlessWindow::EFileDialog::kOpen);
    std::string host;
    mpG->HostProgramFolder(host);
    EXPECT_EQ(mW.LastFileFolder(), host);
    ASSERT_FALSE(host.empty());
    EXPECT_EQ(host.back(), '/');
    mW.AnswerFile("/presets/a.preset");
    EXPECT_TRUE(mpG->PromptForFile(path, 1, "/presets/"));
    EXPECT_EQ(path, "/presets/a.preset");
    EXPECT_EQ(mW.LastFileFolder(), "/presets/");
    EXPECT_EQ(mW.LastFileDialog(), HeadlessWindow::EFileDialog::kSave);
    std::string plugin;
    mpG->PluginFolder(plugin);
    EXPECT_FALSE(plugin.empty());

    IColorARGB color(17, 1, 2, 3);
    mW.AnswerColour({255, 9, 8, 7});
    EXPECT_TRUE(mpG->PromptForColour(color, "Pick"));
    EXPECT_EQ(color, IColorARGB(17, 9, 8, 7));

    mW.AnswerYesNo(false);
    EXPECT_FALSE(mpG->OpenUrl("https://example.org", "Web", "Open the page?"));
    mW.AnswerYesNo(true);
    EXPECT_TRUE(mpG->OpenUrl("https://example.org", "Web", "Open the page?"));
    mW.SetOnline(false);
    EXPECT_FALSE(mpG->OpenUrl("https://example.org", "Web", nullptr, "No connection"));
    EXPECT_EQ(mW.OpenedUrls(), (std::vector<std::string>{"https://example.org"}));
    EXPECT_EQ(mW.Messages().back(), "No connection");

    mpG->CloseWindow();
    mW.AnswerFile("/x");
    EXPECT_FALSE(mpG->PromptForFile(path, 0));
    EXPECT_FALSE(mpG->PromptForColour(color, "Pick"));
}

TEST_F(Window, ResizeDropsTheControlsAndGrowsTheWindow)
{
    mW.RightClick(25, 25);
    mpG->Resize(300, 150);
    EXPECT_FALSE(mW.EntryOpen());
    EXPECT_EQ(mpG->NControls(), 0);
    EXPECT_EQ(mPlug.mLog.back(), "resized");
    EXPECT_EQ(mpG->System().EditorWindowRect(), IRect(0, 0, 300, 150));
    mpG->OpenWindow(mpG->ParentWindow());
    EXPECT_EQ(mpG->System().EditorWindowRect(), IRect(0, 0, 300, 150));
    mW.Tick();
    mW.Click(20, 20);
}
