// Undo and redo of the editor's edits: every kind of edit a musician makes is one step, undoing
// them all gives back the state chunk the host would save, byte for byte, and redoing them all
// the last one; a new edit drops what could be redone; the host hears of every undo.

#include "ChordSequencerSpanControl.h"
#include "EditorHarness.h"
#include "MelodyGridLayout.h"
#include "OrlantixParamIndex.h"
#include "PresetNameControl.h"

#include <functional>
#include <map>
#include <random>

using namespace editor_test;
using namespace melody_grid;

namespace
{
using Chunk = std::vector<uint8_t>;
const IMouseKeys kCtrl{false, false, false, true, false};
const IMouseKeys kCtrlShift{false, false, true, true, false};

const char* const kPresets[] = {"Swung Groove", "Four Chords", "Modifier Play", "Triplet Roll"};
const char* const kCellItems[] = {"Flip L/R", "Flip T/B", "Rand", "Clear", "Copy", "Paste",
                                  "Disable",  "Enable",   "< 1",  "> 2",   "^ 1",  "v 3"};
const char* const kRowItems[] = {"Scramble (chord)",
                                 "Reverse (chord)",
                                 "Random (pulse)",
                                 "Flip T/B",
                                 "Clear",
                                 "Copy",
                                 "Paste",
                                 "^ 2",
                                 "< 3"};

IRect Cell(std::mt19937& r)
{
    return CanvasRect(static_cast<int>(r() % 12), static_cast<int>(r() % 4));
}

// One edit of a random kind on a random target, as a musician makes it with the mouse.
void RandomEdit(Harness& h, std::mt19937& r)
{
    auto centre = [&](int param) { return Harness::Centre(*h.ControlOf(param)); };
    auto pick = [&](auto& items) { return items[r() % std::size(items)]; };
    const IRect c = Cell(r);
    switch (r() % 15)
    {
    case 0: // a degree of a pulse
        h.Window().Click(c.mL + 2 + static_cast<int>(r() % 36),
                         c.mT + 2 + static_cast<int>(r() % 36));
        return;
    case 1:
        h.Window().AnswerMenu(pick(kCellItems));
        h.Window().RightClick(c.mL + 20, c.mT + 20);
        return;
    case 2:
    {
        const IRect row = RowControlRect(static_cast<int>(r() % 4));
        h.Window().AnswerMenu(pick(kRowItems));
        h.Window().RightClick(row.mL + 5, row.mT + 5);
        return;
    }
    case 3:
    {
        const IRect e = EnableRect(static_cast<int>(r() % 12), static_cast<int>(r() % 4));
        h.Window().Click((e.mL + e.mR) / 2, (e.mT + e.mB) / 2);
        return;
    }
    case 4:
    {
        const IRect n = CounterRect(static_cast<int>(r() % 12), static_cast<int>(r() % 4));
        h.Window().Wheel((n.mL + n.mR) / 2, (n.mT + n.mB) / 2, 1 + static_cast<int>(r() % 3));
        return;
    }
    case 5:
    {
        auto [x, y] = centre((r() % 2 ? kRowSolo1 : kRowMute1) + static_cast<int>(r() % 4));
        h.Window().Click(x, y);
        return;
    }
    case 6: // a groove stroke
    {
        const int x0 = 20 + static_cast<int>(r() % 660);
        h.Window().Drag(x0, 560 + static_cast<int>(r() % 50), x0 + static_cast<int>(r() % 100),
                        560 + static_cast<int>(r() % 50), 5);
        return;
    }
    case 7:
    {
        auto [x, y] = centre((r() % 2 ? kGrooveLock0 : kGrooveMute0) + static_cast<int>(r() % 48));
        h.Window().Click(x, y);
        return;
    }
    case 8: // a modifier step, its pin, a direction
    {
        const int which = static_cast<int>(r() % 8);
        const int param = r() % 3 == 0 ? kSMDir : (r() % 2 ? kStkMod1 : kStkModT1) + which;
        auto [x, y] = centre(param);
        if (param == kSMDir)
            h.Window().Wheel(x, y, 1);
        else
            h.Window().Click(x, y);
        return;
    }
    case 9:
    {
        ChordSequencerSpanControl& span = h.Editor().SpanControl();
        const int from = span.Low();
        h.Window().Drag(span.PositionX(from), 118,
                        span.PositionX(std::min(11, from + 1 + static_cast<int>(r() % 3))), 118, 3);
        return;
    }
    case 10: // a knob drag
    {
        auto [x, y] = centre(r() % 2 ? kSwing : kVel);
        h.Window().Drag(x, y, x, y - 5 - static_cast<int>(r() % 30), 4);
        return;
    }
    case 11: // a run of wheel turns on a spinner
    {
        auto [x, y] = centre(r() % 2 ? kTonic : kMode);
        for (int i = 0; i < 3; ++i)
            h.Window().Wheel(x, y, 1);
        return;
    }
    case 12:
        h.Window().AnswerMenu("Load ...");
        h.Window().AnswerFile(std::string(ORX_SOURCE_DIR) + "/presets/" + pick(kPresets) +
                              ".preset");
        h.Window().Click(600, 524);
        return;
    default: // a spinner's menu
    {
        auto [x, y] = centre(kMode);
        h.Window().AnswerMenu(r() % 2 ? "Dorian" : "Lydian");
        h.Window().RightClick(x, y);
        return;
    }
    }
}

void Undo(Harness& h)
{
    h.Window().Key(300, 300, 'Z', kCtrl);
    h.Window().Tick();
}

void Redo(Harness& h, bool y)
{
    h.Window().Key(300, 300, y ? 'Y' : 'Z', y ? kCtrl : kCtrlShift);
    h.Window().Tick();
}
} // namespace

TEST(EditorUndo, UndoingEveryEditGivesBackEveryStateAndRedoingItTheLast)
{
    for (unsigned seed = 1; seed <= 3; ++seed)
    {
        Harness h;
        std::mt19937 random(seed);
        std::vector<Chunk> states{h.Host().GetChunk(true)};
        for (int i = 0; i < 60; ++i)
        {
            RandomEdit(h, random);
            h.Window().Tick(13); // a run of wheel turns ends
            Chunk now = h.Host().GetChunk(true);
            if (now != states.back())
                states.push_back(std::move(now));
        }
        ASSERT_GT(states.size(), 30u) << "too few edits changed anything";
        for (std::size_t k = states.size() - 1; k > 0; --k)
        {
            Undo(h);
            ASSERT_EQ(h.Host().GetChunk(true), states[k - 1]) << "seed " << seed << " undo " << k;
        }
        Undo(h); // nothing left: nothing changes
        EXPECT_EQ(h.Host().GetChunk(true), states.front());
        for (std::size_t k = 1; k < states.size(); ++k)
        {
            Redo(h, k % 2 == 0);
            ASSERT_EQ(h.Host().GetChunk(true), states[k]) << "seed " << seed << " redo " << k;
        }
        // Undo some, edit: nothing to redo any more.
        Undo(h);
        Undo(h);
        EXPECT_FALSE(h.Plug().RedoName().empty());
        auto [x, y] = Harness::Centre(*h.ControlOf(kSwing));
        h.Window().Drag(x, y, x, y - 12, 3);
        EXPECT_TRUE(h.Plug().RedoName().empty());
        EXPECT_EQ(h.Plug().UndoName(), "Swing");
    }
}

TEST(EditorUndo, TheHistoryStaysWithinItsBoundOverTenThousandEdits)
{
    Harness h;
    std::mt19937 random(5);
    std::size_t most = 0;
    for (int i = 0; i < 10000; ++i)
    {
        h.Plug().BeginEdit("edit");
        if (i % 500 == 0)
            h.Plug().ReadPreset((std::string(ORX_SOURCE_DIR) + "/presets/" +
                                 kPresets[random() % std::size(kPresets)] + ".preset")
                                    .c_str());
        else
            h.Plug().SetParameterFromGUI(static_cast<int>(random() % kNumDeclaredParams),
                                         (random() % 1000) / 999.0);
        h.Plug().EndEdit();
        most = std::max(most, h.Plug().UndoBytesHeld());
    }
    EXPECT_LE(most, UndoHistory::kBudget);
    EXPECT_GE(h.Plug().UndoStepCount(), UndoHistory::kMinSteps);
}

// What a musician does: a row scrambled by mistake, taken back from the menu and with the keys,
// done again; a groove stroke and a knob drag each one step, the host seeing balanced gestures
// and the values moving back; a preset loaded by mistake taken back with its name.
TEST(EditorUndo, AMusiciansMistakesTakenBack)
{
    Harness h;
    const IRect row = RowControlRect(0);
    const auto rowMenu = [&](const std::string& item)
    {
        h.Window().AnswerMenu(item);
        h.Window().RightClick(row.mL + 5, row.mT + 5);
    };
    // Something to scramble: four different melodies along row 0.
    for (int k = 0; k < 4; ++k)
    {
        const IRect c = CanvasRect(k, 0);
        h.Window().Click(c.mL + 3 + 10 * k, c.mT + 35);
    }
    const Chunk before = h.Host().GetChunk(true);
    rowMenu("Scramble (chord)");
    const Chunk scrambled = h.Host().GetChunk(true);
    ASSERT_NE(scrambled, before);
    EXPECT_EQ(h.Plug().UndoName(), "Scramble (chord)");

    rowMenu(""); // the menu, dismissed: it names the step
    ASSERT_GE(h.Window().LastMenu().size(), 2u);
    EXPECT_EQ(h.Window().LastMenu()[0], "Undo Scramble (chord)");
    EXPECT_EQ(h.Window().LastMenu()[1], "Redo");
    rowMenu("Undo Scramble (chord)");
    EXPECT_EQ(h.Host().GetChunk(true), before);
    Redo(h, true);
    EXPECT_EQ(h.Host().GetChunk(true), scrambled);
    Undo(h);
    EXPECT_EQ(h.Host().GetChunk(true), before);
    rowMenu("Redo Scramble (chord)");
    EXPECT_EQ(h.Host().GetChunk(true), scrambled);

    // A stroke over many steps is one step.
    GrooveMaker& groove = h.Plug().Engine().mGroove;
    h.Window().Drag(30, 600, 400, 580, 12);
    EXPECT_LT(groove.Velocity(10), 64);
    EXPECT_LT(groove.Velocity(20), 64);
    EXPECT_EQ(h.Plug().UndoName(), "Groove stroke");
    Undo(h);
    EXPECT_EQ(h.Host().GetChunk(true), scrambled);
    for (int step = 0; step < 30; ++step)
        EXPECT_EQ(groove.Velocity(step), 128) << step;

    // A knob drag is one step; its undo moves the host's view back in a gesture of its own.
    auto [x, y] = Harness::Centre(*h.ControlOf(kSwing));
    const double swing = h.Plug().GetParam(kSwing)->Value();
    h.Window().Drag(x, y, x, y - 30, 10);
    ASSERT_NE(h.Plug().GetParam(kSwing)->Value(), swing);
    h.Host().ClearCaptures();
    Undo(h);
    EXPECT_EQ(h.Plug().GetParam(kSwing)->Value(), swing);
    const auto& gestures = h.Host().Gestures();
    ASSERT_EQ(gestures.size(), 2u);
    EXPECT_TRUE(gestures[0].mBegin);
    EXPECT_FALSE(gestures[1].mBegin);
    EXPECT_EQ(gestures[1].mIndex, kSwing);
    ASSERT_EQ(h.Host().Automation().size(), 1u);
    EXPECT_FLOAT_EQ(h.Host().Automation()[0].mValue,
                    static_cast<float>(h.Plug().GetParam(kSwing)->Normalised()));
    EXPECT_GE(h.Host().CallbackCount(vst2::audioMasterUpdateDisplay), 1);

    // A preset loaded by mistake: undone with the host's key opcode, its name goes too.
    h.Window().AnswerMenu("Load ...");
    h.Window().AnswerFile(std::string(ORX_SOURCE_DIR) + "/presets/Four Chords.preset");
    h.Window().Click(600, 524);
    h.Window().Tick();
    EXPECT_STREQ(h.Editor().PresetField().GetText(), "Four Chords");
    EXPECT_EQ(h.Plug().UndoName(), "Load preset");
    EXPECT_EQ(h.Host().Dispatch(vst2::effEditKeyDown, 'z', 0, nullptr,
                                static_cast<float>(vst2::kModifierControl)),
              1);
    h.Window().Tick(2);
    EXPECT_STREQ(h.Editor().PresetField().GetText(), "PRESET");
    EXPECT_EQ(h.Host().GetChunk(true), scrambled);
    // Closing and opening the editor keeps the history.
    h.Host().CloseEditor();
    h.Window().Open();
    EXPECT_EQ(h.Plug().RedoName(), "Load preset");
}
