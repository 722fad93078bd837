// What the host hears of a musician's edits in the editor: every edit that changes what the
// project would save is followed, at the next frame, by one state-changed call; every gesture
// the host sees is balanced, whatever the mouse does; a preset loaded from the editor's menu
// and a span drag move the host's views of the parameters they change; and no host call is
// ever made while the instance lock is held.

#include "ChordSequencerSpanControl.h"
#include "EditorHarness.h"
#include "OrlantixParamIndex.h"

#include <functional>
#include <map>

using namespace editor_test;

namespace
{
struct Call
{
    int32_t mOpcode;
    bool mUnderLock;
    std::size_t mGesture;    // the host's gesture record this call adds, if it is one
    std::size_t mAutomation; // the same for automation
};

// Records every host callback with whether the instance lock was held by the calling thread.
// The audio thread's own requests (time, events, MIDI wish) run inside process by design.
class CallLog
{
public:
    explicit CallLog(Harness& h) : mH(h)
    {
        h.Host().SetCallbackHook(
            [this](orxhost::VstHost& host, int32_t opcode)
            {
                mCalls.push_back({opcode, mH.Plug().Mutex().HeldByCaller(), host.Gestures().size(),
                                  host.Automation().size()});
            });
    }
    // The values the host was told outside a gesture of their parameter, in call order.
    std::vector<int> ValuesOutsideGestures() const
    {
        const auto& gestures = mH.Host().Gestures();
        const auto& automation = mH.Host().Automation();
        std::map<int, bool> open;
        std::vector<int> outside;
        for (const Call& c : mCalls)
        {
            if ((c.mOpcode == vst2::audioMasterBeginEdit ||
                 c.mOpcode == vst2::audioMasterEndEdit) &&
                c.mGesture < gestures.size())
                open[gestures[c.mGesture].mIndex] = gestures[c.mGesture].mBegin;
            if (c.mOpcode == vst2::audioMasterAutomate && c.mAutomation < automation.size() &&
                !open[automation[c.mAutomation].mIndex])
                outside.push_back(automation[c.mAutomation].mIndex);
        }
        return outside;
    }
    int Count(int32_t opcode) const
    {
        int n = 0;
        for (const Call& c : mCalls)
            n += c.mOpcode == opcode;
        return n;
    }
    std::vector<int32_t> UnderLock() const
    {
        std::vector<int32_t> bad;
        for (const Call& c : mCalls)
            if (c.mUnderLock && c.mOpcode != vst2::audioMasterGetTime &&
                c.mOpcode != vst2::audioMasterProcessEvents &&
                c.mOpcode != vst2::audioMasterWantMidi)
                bad.push_back(c.mOpcode);
        return bad;
    }
    void Clear() { mCalls.clear(); }

private:
    Harness& mH;
    std::vector<Call> mCalls;
};

// Every begin ended, no end without its begin, and every value the editor sent inside a
// gesture of its parameter: the host's record of them, as a message or empty.
std::string GestureFault(const orxhost::VstHost& host)
{
    std::map<int, int> open;
    for (const auto& g : host.Gestures())
    {
        int& depth = open[g.mIndex];
        if (g.mBegin && depth++ != 0)
            return "begin on open gesture " + std::to_string(g.mIndex);
        if (!g.mBegin && depth-- != 1)
            return "end without begin " + std::to_string(g.mIndex);
    }
    for (const auto& [idx, depth] : open)
        if (depth != 0)
            return "gesture left open " + std::to_string(idx);
    return {};
}

const IMouseKeys kControlClick{true, false, false, true, false};
constexpr int kCellX = 20 + 14; // chord step 0, pulse 1
constexpr int kCellY = 128 + 10 + 20;
} // namespace

TEST(EditorHostNotices, EveryEditorOnlyEditMarksTheProjectOnceAFrame)
{
    Harness h;
    CallLog log(h);
    ChordSequencerSpanControl& span = h.Editor().SpanControl();
    const std::string preset = std::string(ORX_SOURCE_DIR) + "/presets/Swung Groove.preset";
    const std::vector<std::pair<std::string, std::function<void()>>> edits = {
        {"degree click", [&] { h.Window().Click(kCellX, kCellY); }},
        {"groove stroke", [&] { h.Window().Drag(26, 590, 26 + 14 * 5, 600, 6); }},
        {"cell menu",
         [&]
         {
             h.Window().AnswerMenu("Flip T/B");
             h.Window().RightClick(kCellX, kCellY);
         }},
        {"row menu",
         [&]
         {
             h.Window().AnswerMenu("^ 1");
             h.Window().RightClick(8, 138 + 5);
         }},
        {"span drag", [&] { h.Window().Drag(span.PositionX(0), 118, span.PositionX(3), 118, 3); }},
        {"preset from the menu",
         [&]
         {
             h.Window().AnswerMenu("Load ...");
             h.Window().AnswerFile(preset);
             h.Window().Click(600, 524);
         }},
    };
    for (const auto& [name, edit] : edits)
    {
        const auto before = h.Host().GetChunk(true);
        log.Clear();
        edit();
        EXPECT_NE(h.Host().GetChunk(true), before) << name << " changed nothing";
        EXPECT_EQ(log.Count(vst2::audioMasterUpdateDisplay), 0) << name << ": before a frame";
        h.Window().Tick(3);
        EXPECT_EQ(log.Count(vst2::audioMasterUpdateDisplay), 1) << name;
        EXPECT_EQ(log.UnderLock(), std::vector<int32_t>{}) << name;
    }
    // Frames without edits, and edits that save nothing (a selection), tell the host nothing.
    log.Clear();
    h.Window().Click(kCellX, kCellY, kControlClick);
    h.Window().Tick(5);
    EXPECT_EQ(log.Count(vst2::audioMasterUpdateDisplay), 0);
    EXPECT_EQ(GestureFault(h.Host()), "");
}

TEST(EditorHostNotices, APresetFromTheMenuMovesTheHostsViewsOfWhatChanged)
{
    Harness h;
    const std::string preset = std::string(ORX_SOURCE_DIR) + "/presets/Swung Groove.preset";
    std::vector<float> before;
    for (int i = 0; i < kNumDeclaredParams; ++i)
        before.push_back(h.Host().GetParameter(i));
    h.Host().ClearCaptures();
    h.Window().AnswerMenu("Load ...");
    h.Window().AnswerFile(preset);
    h.Window().Click(600, 524);

    std::map<int, float> told;
    for (const auto& a : h.Host().Automation())
        told[a.mIndex] = a.mValue;
    int moved = 0;
    for (int i = 0; i < kNumDeclaredParams; ++i)
    {
        const float now = h.Host().GetParameter(i);
        if (now == before[i])
        {
            EXPECT_EQ(told.count(i), 0u) << "told of unmoved parameter " << i;
            continue;
        }
        ++moved;
        ASSERT_EQ(told.count(i), 1u) << "not told of parameter " << i;
        EXPECT_FLOAT_EQ(told[i], now) << i;
    }
    EXPECT_GE(moved, 2) << "the preset should move Swing and more";
    EXPECT_EQ(told.count(kSwing), 1u);
}

TEST(EditorHostNotices, GesturesStayBalancedWhateverTheMouseDoes)
{
    Harness h;
    CallLog log(h);
    auto centre = [&](int paramIdx) { return Harness::Centre(*h.ControlOf(paramIdx)); };

    // A right-click menu on an enumerated spinner: the value inside its gesture, then the
    // mouse is free: a wheel turn over another control goes to that one.
    auto [mx, my] = centre(kMode);
    h.Window().AnswerMenu("Dorian");
    h.Window().RightClick(mx, my);
    EXPECT_FALSE(h.Window().Captured());
    auto [tx, ty] = centre(kTonic);
    const double tonic = h.Plug().GetParam(kTonic)->Value();
    h.Window().Wheel(tx, ty, 1);
    EXPECT_EQ(h.Plug().GetParam(kTonic)->Value(), tonic + 1);
    EXPECT_EQ(h.Plug().GetParam(kMode)->Value(), 1.0);

    // A double click on a knob: its default, in one balanced gesture.
    auto [vx, vy] = centre(kVel);
    h.Window().Drag(vx, vy, vx, vy - 20);
    h.Window().DoubleClick(vx, vy);

    // A drag cut short by the editor closing, and a press whose release never comes.
    h.Window().Press(vx, vy);
    h.Window().Move(vx, vy - 10, {true, false, false, false, false});
    h.Host().CloseEditor();
    h.Window().Open();
    h.Window().Press(vx, vy);
    h.Window().Press(tx, ty);
    h.Window().Release(tx, ty);

    EXPECT_EQ(GestureFault(h.Host()), "");
    EXPECT_EQ(log.ValuesOutsideGestures(), std::vector<int>{});
    EXPECT_GE(h.Host().Gestures().size(), 12u);
    EXPECT_GE(h.Host().Automation().size(), 4u);
    EXPECT_EQ(log.UnderLock(), std::vector<int32_t>{});
}

TEST(EditorHostNotices, TheSpanDragMovesTheHostsLanes)
{
    Harness h;
    CallLog log(h);
    ChordSequencerSpanControl& span = h.Editor().SpanControl();
    h.Host().ClearCaptures();
    h.Window().Drag(span.PositionX(0), 118, span.PositionX(2) + 5, 118, 2);
    h.Window().Tick();
    std::map<int, float> told;
    for (const auto& a : h.Host().Automation())
        told[a.mIndex] = a.mValue;
    EXPECT_FLOAT_EQ(told[kStepOne], h.Normalised(kStepOne, 3));
    EXPECT_FLOAT_EQ(told[kNumStep], h.Normalised(kNumStep, 10));
    EXPECT_EQ(GestureFault(h.Host()), "");
    EXPECT_EQ(log.ValuesOutsideGestures(), std::vector<int>{});
    EXPECT_EQ(log.UnderLock(), std::vector<int32_t>{});
}
