// MIDI learn and key play as a musician reaches them in the editor: the right-click menus, the
// mark a control shows while it waits for its controller and once it is bound, cancelling with
// Escape or a second choice, and the history's steps.

#include "EditorHarness.h"
#include "IControl.h"
#include "OrlantixParamIndex.h"
#include "RightClickMenu.h"

using namespace editor_test;

namespace
{
constexpr int kEscape = 0x1B;

IMidiMessage Cc(int channel, int controller, int value)
{
    IMidiMessage msg;
    msg.mStatus = static_cast<uint8_t>(0xB0 | channel);
    msg.mData1 = static_cast<uint8_t>(controller);
    msg.mData2 = static_cast<uint8_t>(value);
    return msg;
}
} // namespace

TEST(MidiLearnEditor, LearnMoveForgetAndUndoFromTheKnobsMenuWithItsMark)
{
    Harness h;
    IControl& knob = *h.ControlOf(kVel);
    const auto [x, y] = Harness::Centre(knob);
    HeadlessWindow& w = h.Window();

    // A knob has no menu of its own: its entry box is the first item.
    w.AnswerMenu("Type a value...");
    w.RightClick(x, y);
    EXPECT_EQ(ControlItems(w.LastMenu()),
              (std::vector<std::string>{"Type a value...", "---", "Learn MIDI CC"}));
    EXPECT_TRUE(w.EntryOpen());
    w.PressEscape();
    w.Tick();
    EXPECT_FALSE(w.EntryOpen());

    // Learning shows an outline at the next frame; a second choice and Escape cancel it.
    w.AnswerMenu("Learn MIDI CC");
    w.RightClick(x, y);
    EXPECT_EQ(h.Plug().LearningParam(), kVel);
    w.Tick();
    EXPECT_EQ(knob.MidiMark(), IControl::kMidiMarkLearning);
    w.AnswerMenu("Cancel MIDI learn");
    w.RightClick(x, y);
    EXPECT_EQ(h.Plug().LearningParam(), -1);
    w.Tick();
    EXPECT_EQ(knob.MidiMark(), IControl::kMidiMarkNone);
    w.AnswerMenu("Learn MIDI CC");
    w.RightClick(x, y);
    w.Key(x, y, kEscape);
    EXPECT_EQ(h.Plug().LearningParam(), -1);
    h.Plug().HandleMidiMessage(Cc(2, 74, 50));
    EXPECT_EQ(h.Plug().Controller(74).mParamIdx, -1);

    // Learnt from the next controller: the knob follows it and is marked at the next frame,
    // which makes the learn a step of the history.
    w.AnswerMenu("Learn MIDI CC");
    w.RightClick(x, y);
    h.Plug().HandleMidiMessage(Cc(2, 74, 127));
    EXPECT_EQ(h.Plug().GetParam(kVel)->Value(), 127.0);
    w.Tick();
    EXPECT_EQ(knob.MidiMark(), IControl::kMidiMarkBound);
    EXPECT_EQ(h.Plug().UndoName(), "Learn CC 74 (channel 3)");
    h.Plug().HandleMidiMessage(Cc(2, 74, 10));
    EXPECT_EQ(h.Plug().GetParam(kVel)->Value(), 10.0);

    // Forgotten from the same menu; the menu's undo brings the binding back.
    w.AnswerMenu("Forget CC 74 (channel 3)");
    w.RightClick(x, y);
    EXPECT_EQ(ControlItems(w.LastMenu()).back(), "Forget CC 74 (channel 3)");
    w.Tick();
    EXPECT_EQ(knob.MidiMark(), IControl::kMidiMarkNone);
    h.Plug().HandleMidiMessage(Cc(2, 74, 90));
    EXPECT_EQ(h.Plug().GetParam(kVel)->Value(), 10.0);
    w.AnswerMenu("Undo Forget CC 74 (channel 3)");
    w.RightClick(x, y);
    w.Tick();
    EXPECT_EQ(knob.MidiMark(), IControl::kMidiMarkBound);
    h.Plug().HandleMidiMessage(Cc(2, 74, 90));
    EXPECT_EQ(h.Plug().GetParam(kVel)->Value(), 90.0);

    // Closing the editor ends a learn that waits.
    w.AnswerMenu("Learn MIDI CC");
    w.RightClick(Harness::Centre(*h.ControlOf(kSwing)).first,
                 Harness::Centre(*h.ControlOf(kSwing)).second);
    EXPECT_EQ(h.Plug().LearningParam(), kSwing);
    h.Graphics().CloseWindow();
    EXPECT_EQ(h.Plug().LearningParam(), -1);
}

TEST(MidiLearnEditor, TheKeySpinnersMenuChoosesKeyPlayAsAnUndoableStep)
{
    Harness h;
    const auto [x, y] = Harness::Centre(*h.ControlOf(kTonic));
    HeadlessWindow& w = h.Window();
    w.AnswerMenu("Transpose + gate");
    w.RightClick(x, y);
    const std::vector<std::string> items = ControlItems(w.LastMenu());
    // The notes, then the modes in their submenu, then MIDI learn.
    const auto at = std::find(items.begin(), items.end(), "Play from keys");
    ASSERT_NE(at, items.end());
    EXPECT_EQ(*(at - 1), "---");
    EXPECT_EQ(std::vector<std::string>(at + 1, at + 4),
              (std::vector<std::string>{"> [x] Off", "> Transpose", "> Transpose + gate"}));
    EXPECT_EQ(items.back(), "Learn MIDI CC");
    EXPECT_EQ(h.Plug().GetKeyPlayMode(), KeyPlayMode::kGate);
    EXPECT_EQ(h.Plug().UndoName(), "Play from keys");
    EXPECT_TRUE(h.Plug().Undo());
    EXPECT_EQ(h.Plug().GetKeyPlayMode(), KeyPlayMode::kOff);
}
