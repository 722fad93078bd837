#include "ManualPictures.h"

#include "EditorLayout.h"
#include "MelodyGridLayout.h"

#include <cstring>
#include <initializer_list>

namespace orx::docs
{
namespace
{

using namespace orx::layout;

// One bar of 4/4 at 120 BPM and 44.1 kHz.
constexpr long long kBar = 88200;

// Controls of the layout table by name; a name it lacks goes into the missing list.
class Layout
{
public:
    explicit Layout(std::vector<std::string>& missing) : mMissing(missing) {}

    // A knob with its read-out.
    IRect Knob(const char* name) const
    {
        for (const orx::layout::Knob& k : kKnobs)
            if (std::strcmp(k.mName, name) == 0)
            {
                const Image* image = FindImage(editor_layout::KnobImageFor(k.mFrames));
                const IRect knob(k.mX, k.mY, k.mX + (image ? image->mW : 0),
                                 k.mY + (image ? image->mH : 0));
                return knob.Union(editor_layout::ReadOutRect(k));
            }
        return Missing("knob", name);
    }
    IRect Spinner(const char* name) const
    {
        for (const orx::layout::Spinner& s : kSpinners)
            if (std::strcmp(s.mName, name) == 0)
                return editor_layout::SpinnerRect(s);
        return Missing("spinner", name);
    }
    IRect Switch(const char* name) const
    {
        for (const orx::layout::Switch& s : kSwitches)
            if (std::strcmp(s.mName, name) == 0)
                return ImageAt(s.mX, s.mY, s.mImage);
        return Missing("switch", name);
    }
    IRect Button(const char* name) const
    {
        for (const orx::layout::Button& b : kButtons)
            if (std::strcmp(b.mName, name) == 0)
                return ImageAt(b.mX, b.mY, b.mImage);
        return Missing("button", name);
    }
    IRect Buttons(std::initializer_list<const char*> names) const
    {
        IRect all;
        for (const char* name : names)
            all = all.Union(Button(name));
        return all;
    }

    static IRect ImageAt(int x, int y, int id)
    {
        const Image* image = FindImage(id);
        return image ? IRect(x, y, x + image->mW, y + image->mH) : IRect();
    }
    static IRect AreaOf(const Area& a) { return {a.mX, a.mY, a.mR, a.mB}; }
    static IRect RowOf(const Row& r)
    {
        const IRect first = ImageAt(r.mX, r.mY, r.mImage);
        return {first.mL, first.mT, first.mR + r.mDx * (r.mCount - 1), first.mB};
    }
    static IRect SpanOf(const Span& s)
    {
        const Image* thumb = FindImage(s.mImage);
        const int w = thumb ? thumb->mW : 0;
        return {s.mX - w / 2, s.mY, s.mR + w - w / 2, s.mB};
    }

    // The parts of a modifier pane, as the editor places them.
    struct PaneParts
    {
        IRect mRun;
        IRect mPins[8], mButtons[8], mMarkers[8];
        IRect mAll;
    };
    static PaneParts PaneOf(const Pane& p)
    {
        PaneParts parts;
        parts.mRun = ImageAt(p.mX, p.mY, p.mRunImage);
        const Image* pin = FindImage(p.mPinImage);
        const Image* button = FindImage(p.mImage);
        const int x0 = parts.mRun.mR + 5;
        parts.mAll = parts.mRun;
        for (int i = 0; i < 8; ++i)
        {
            const int x = x0 + p.mPitch * i;
            parts.mPins[i] = ImageAt(x, p.mY, p.mPinImage);
            const int buttonTop = p.mButtonY + (pin ? pin->mH : 0);
            parts.mButtons[i] = ImageAt(x, buttonTop, p.mImage);
            const int markerTop = buttonTop + (button ? button->mH : 0) + 1;
            parts.mMarkers[i] = {x, markerTop, x + p.mMarkerW, markerTop + p.mMarkerH};
            parts.mAll = parts.mAll.Union(parts.mPins[i]).Union(parts.mMarkers[i]);
        }
        return parts;
    }

private:
    IRect Missing(const char* kind, const char* name) const
    {
        mMissing.push_back(std::string(kind) + " " + name);
        return {};
    }

    std::vector<std::string>& mMissing;
};

IRect Around(std::initializer_list<IRect> rects, int pad = 0)
{
    IRect all;
    for (const IRect& r : rects)
        all = all.Union(r);
    return {all.mL - pad, all.mT - pad, all.mR + pad, all.mB + pad};
}

IRect SoloSwitch(int row)
{
    return Layout::ImageAt(melody_grid::kSoloSwitchX, melody_grid::RowSwitchTop(row),
                           kRowSwitches.mImage);
}

IRect MuteSwitch(int row)
{
    const Image* solo = FindImage(kRowSwitches.mImage);
    return Layout::ImageAt(melody_grid::MuteSwitchX(solo ? solo->mW : 0),
                           melody_grid::RowSwitchTop(row), kRowSwitches.mImage2);
}

IRect AllCells()
{
    return melody_grid::CanvasRect(0, 0)
        .Union(melody_grid::EnableRect(0, 0))
        .Union(melody_grid::CounterRect(kMelodyCells.mColumns - 1, 0))
        .Union(melody_grid::PlayMarkerRect(kMelodyCells.mColumns - 1, kMelodyCells.mRows - 1));
}

Picture Overview(const Layout& l)
{
    Picture p{"overview.png",
              {"Modifier Play", kBar + 2 * kBar / 16 + 1000, {}},
              {{0, 0, 720, 650}, 1},
              {}};
    const Layout::PaneParts strike = Layout::PaneOf(kStrikePane);
    const Layout::PaneParts melody = Layout::PaneOf(kMelodyPane);
    const IRect rows =
        melody_grid::RowControlRect(0).Union(melody_grid::RowControlRect(kMelodyCells.mRows - 1));
    const IRect switches = SoloSwitch(0).Union(MuteSwitch(kMelodyCells.mRows - 1));
    p.mCallouts = {
        {1,
         "Key and scale",
         {Around({l.Spinner("Tonic"), l.Spinner("mode"), l.Spinner("Scale"), l.Spinner("Interval"),
                  l.Spinner("Chan")},
                 1)},
         Side::kOn},
        {2,
         "Rhythm and feel",
         {Around({l.Knob("NumPulse"), l.Knob("TimeUnits"), l.Knob("Swing"), l.Knob("Human"),
                  l.Knob("LengthUnits"), l.Knob("LenJitt"), l.Knob("Vel"), l.Knob("VelJitt")},
                 1)},
         Side::kOn},
        {3,
         "Chord progression",
         {Around({l.Spinner("ival1"), l.Spinner("ival12"), l.Spinner("StepDir"),
                  Layout::SpanOf(kChordSpan)},
                 1)},
         Side::kOn},
        {4, "Melody grid", {Around({AllCells(), rows, switches}, 2)}, Side::kOn},
        {5,
         "Strike modifier",
         {Around({strike.mAll, l.Spinner("SMDir"), l.Spinner("StkProb"), l.Knob("StkLen")}, 1)},
         Side::kOn},
        {6, "Life", {Around({l.Knob("LifeProb")}, 1)}, Side::kOn},
        {7,
         "Melody modifier",
         {Around({melody.mAll, l.Spinner("MelDir"), l.Spinner("MelProb"), l.Knob("MelLen")}, 1)},
         Side::kOn},
        {8,
         "Groove",
         {Around({l.Switch("SeqEnab"), l.Knob("SeqSteps")}, 1),
          Around({Layout::AreaOf(kGrooveCanvas), Layout::RowOf(kGrooveMutes)}, 1)},
         Side::kOn},
        {9, "Edit buttons", {Around({l.Buttons({"M L", "R LRp"})}, 1)}, Side::kOn},
        {10, "Preset", {Around({Layout::AreaOf(kPresetName)}, 1)}, Side::kOn},
    };
    return p;
}

Picture TopBar(const Layout& l)
{
    Picture p{"top-bar.png", {"Swung Groove", 0, {}}, {{0, 0, 720, 86}, 1}, {}};
    p.mCallouts = {
        {1, "Key", {l.Spinner("Tonic")}, Side::kLeft},
        {2, "Mode", {l.Spinner("mode")}, Side::kLeft},
        {3, "Scale", {l.Spinner("Scale")}, Side::kLeft},
        {4, "Chord", {l.Spinner("Interval")}, Side::kBottom},
        {5, "MIDI ch", {l.Spinner("Chan")}, Side::kTop},
        {6, "Pulses", {l.Knob("NumPulse")}, Side::kTop},
        {7, "Rate", {l.Knob("TimeUnits")}, Side::kTop},
        {8, "Swing", {l.Knob("Swing")}, Side::kTop},
        {9, "Humanize", {l.Knob("Human")}, Side::kBottom},
        {10, "Length", {l.Knob("LengthUnits")}, Side::kTop},
        {11, "Len jitter", {l.Knob("LenJitt")}, Side::kBottom},
        {12, "Velocity", {l.Knob("Vel")}, Side::kTop},
        {13, "Vel jitter", {l.Knob("VelJitt")}, Side::kBottom},
    };
    return p;
}

Picture Grid(const Layout& l)
{
    Picture p{"melody-grid.png",
              {"Variations", 3 * kBar + kBar / 4, {2 * 4 + 1, 3 * 4 + 1}},
              {{0, 82, 720, 376}, 1},
              {}};
    p.mCallouts = {
        {1, "Chord degrees", {Around({l.Spinner("ival1"), l.Spinner("ival12")})}, Side::kTop},
        {2, "Span", {Layout::SpanOf(kChordSpan)}, Side::kLeft},
        {3, "Direction", {l.Spinner("StepDir")}, Side::kTop},
        {4, "Row selector", {melody_grid::RowControlRect(0)}, Side::kLeft},
        {5,
         "Melody cell",
         {melody_grid::CanvasRect(0, 0)
              .Union(melody_grid::CounterRect(0, 0))
              .Union(melody_grid::PlayMarkerRect(0, 0))},
         Side::kBottom},
        {6,
         "Selected cells",
         {melody_grid::CanvasRect(2, 1).Union(melody_grid::CanvasRect(3, 1))},
         Side::kBottom},
        {7,
         "Inactive chord steps",
         {melody_grid::CanvasRect(4, 3).Union(melody_grid::PlayMarkerRect(11, 3))},
         Side::kBottom},
        {8, "Solo", {SoloSwitch(0)}, Side::kRight},
        {9, "Mute", {MuteSwitch(0)}, Side::kRight},
    };
    return p;
}

Picture Cell()
{
    const int step = 1, variation = 0;
    const IRect canvas = melody_grid::CanvasRect(step, variation);
    const IRect enable = melody_grid::EnableRect(step, variation);
    const IRect counter = melody_grid::CounterRect(step, variation);
    const IRect marker = melody_grid::PlayMarkerRect(step, variation);
    const auto column = [&canvas](int pulse)
    {
        const melody_grid::PixelSpan x = melody_grid::PulseColumn(4, pulse);
        return IRect(canvas.mL + x.mFrom, canvas.mT + 1, canvas.mL + x.mTo + 1, canvas.mB - 1);
    };
    const auto row = [&canvas](int degree)
    {
        const melody_grid::PixelSpan y = melody_grid::DegreeRow(degree);
        return IRect(canvas.mL + 1, canvas.mT + y.mFrom, canvas.mR - 1, canvas.mT + y.mTo + 1);
    };
    Picture p{"melody-cell.png",
              // The "Variations" preset plays a sixteenth per pulse, a quarter per chord step:
              // this is the third pulse of step 1, lit under the pulse the callout names.
              {"Variations", kBar / 4 + 2 * kBar / 16 + 1000, {}},
              {{enable.mL - 6, counter.mT - 3, counter.mR + 6, marker.mB + 4}, 6},
              {}};
    p.mCallouts = {
        {1, "On/off square", {enable}, Side::kLeft}, {2, "Repeat count", {counter}, Side::kTop},
        {3, "A pulse", {column(2)}, Side::kTop},     {4, "A pitch degree", {row(4)}, Side::kRight},
        {5, "Play marker", {marker}, Side::kBottom},
    };
    return p;
}

Picture Modifiers(const Layout& l)
{
    const Layout::PaneParts strike = Layout::PaneOf(kStrikePane);
    const Layout::PaneParts melody = Layout::PaneOf(kMelodyPane);
    Picture p{"modifiers.png",
              {"Modifier Play", kBar + 2 * kBar / 16 + 1000, {}},
              {{0, 372, 720, 488}, 1},
              {}};
    p.mCallouts = {
        {1, "Direction", {l.Spinner("SMDir"), l.Spinner("MelDir")}, Side::kTop},
        {2, "Count", {l.Spinner("StkCount"), l.Spinner("MelCount")}, Side::kTop},
        {3, "From", {l.Knob("StkBegin"), l.Knob("MelBegin")}, Side::kTop},
        {4, "Len", {l.Knob("StkLen"), l.Knob("MelLen")}, Side::kTop},
        {5, "Prob", {l.Spinner("StkProb"), l.Spinner("MelProb")}, Side::kTop},
        {6, "Run", {strike.mRun, melody.mRun}, Side::kBottom},
        {7, "Pin", {strike.mPins[0], melody.mPins[0]}, Side::kBottom},
        {8, "Step value", {strike.mButtons[2], melody.mButtons[2]}, Side::kBottom},
        {9, "Step light", {strike.mMarkers[4], melody.mMarkers[4]}, Side::kBottom},
        {10, "Life", {l.Knob("LifeProb")}, Side::kBottom},
    };
    return p;
}

Picture Groove(const Layout& l)
{
    Picture p{"groove.png", {"Swung Groove", 5 * kBar / 8 + 1000, {}}, {{0, 488, 720, 650}, 1}, {}};
    p.mCallouts = {
        {1, "On", {l.Switch("SeqEnab")}, Side::kTop},
        {2, "Steps", {l.Knob("SeqSteps")}, Side::kTop},
        {3, "Cells buttons", {l.Buttons({"M L", "M TB"})}, Side::kTop},
        {4, "Rows buttons", {l.Buttons({"R L", "R TB"})}, Side::kTop},
        {5, "Row pulses buttons", {l.Buttons({"R Lp", "R LRp"})}, Side::kTop},
        {6, "Preset", {Layout::AreaOf(kPresetName)}, Side::kTop},
        {7, "Velocity bars", {Layout::AreaOf(kGrooveCanvas)}, Side::kLeft},
        {8, "Step light", {Layout::AreaOf(kGrooveMarker)}, Side::kLeft},
        {9, "Locks", {Layout::RowOf(kGrooveLocks)}, Side::kLeft},
        {10, "Mutes", {Layout::RowOf(kGrooveMutes)}, Side::kLeft},
    };
    return p;
}

} // namespace

std::vector<Picture> ManualPictures(std::vector<std::string>& missing)
{
    const Layout layout(missing);
    return {Overview(layout), TopBar(layout),    Grid(layout),
            Cell(),           Modifiers(layout), Groove(layout)};
}

} // namespace orx::docs
