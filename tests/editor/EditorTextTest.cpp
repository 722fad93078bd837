// The editor's texts: every text it can show lies inside its control, and no sequence of value
// changes and partial repaints leaves anything but the pixels of a full repaint, texts
// included (text is blended over what lies beneath, so a text painted twice grows bolder and
// a text reaching past what a frame repaints leaves slivers behind).

#include "CounterControl.h"
#include "EditorHarness.h"
#include "IKnobMultiControl.h"
#include "ISpinnerControl.h"
#include "ITextControl.h"
#include "LICE_Fill.h"
#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"
#include "PresetNameControl.h"
#include "TextRenderer.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <sstream>

using namespace editor_test;

namespace
{

// Where a text's ink lies when drawn unclipped at rect (empty when it leaves none).
IRect InkOf(const ITextStyle& style, const std::string& text, const IRect& rect)
{
    constexpr int kMargin = 48;
    LICE_MemBitmap scratch(rect.W() + 2 * kMargin, rect.H() + 2 * kMargin);
    LICE::FillRectangle(&scratch, 0, 0, scratch.getWidth(), scratch.getHeight(), 0, 1.0f, 0);
    const IRect at(kMargin, kMargin, kMargin + rect.W(), kMargin + rect.H());
    DrawTextOnSurface(scratch, style, text.c_str(), at);
    IRect ink;
    for (int y = 0; y < scratch.getHeight(); ++y)
        for (int x = 0; x < scratch.getWidth(); ++x)
            if (scratch.getBits()[y * scratch.getRowSpan() + x] >> 24)
            {
                const IRect px(x + rect.mL - kMargin, y + rect.mT - kMargin,
                               x + rect.mL - kMargin + 1, y + rect.mT - kMargin + 1);
                ink = ink.Union(px);
            }
    return ink;
}

// A text the layout makes room for leaves a little more than it needs: another platform's
// rasteriser may round its letters' widths the other way.
constexpr int kSpareRoom = 2;

bool Roomy(const ITextStyle& style, const std::string& text, const IRect& r)
{
    const TextFont* font = style.Font();
    return !font ||
           font->LineWidth(text.data(), static_cast<int>(text.size())) + kSpareRoom <= r.W();
}

bool Inside(const IRect& inner, const IRect& outer)
{
    return inner.Empty() || (inner.mL >= outer.mL && inner.mT >= outer.mT && inner.mR <= outer.mR &&
                             inner.mB <= outer.mB);
}

std::string Describe(const IRect& r)
{
    std::ostringstream s;
    s << "(" << r.mL << ", " << r.mT << ")-(" << r.mR << ", " << r.mB << ")";
    return s.str();
}

// The normalised values of a parameter that show each of its texts: every step of a stepped
// one, a hundredth of the range apart for a continuous one.
std::vector<double> ShownValues(const IParameter& param)
{
    std::vector<double> values;
    const double range = param.Max() - param.Min();
    if (param.Type() == IParameter::kTypeDouble || param.Step() <= 0.0 || range <= 0.0)
    {
        for (int i = 0; i <= 100; ++i)
            values.push_back(i / 100.0);
        return values;
    }
    const int steps = static_cast<int>(range / param.Step() + 0.5);
    for (int i = 0; i <= steps; ++i)
        values.push_back(param.ToNormalised(param.Min() + i * param.Step()));
    return values;
}

// The parameters the editor's knobs and spinners show.
std::vector<int> ShownParams(IGraphics& g)
{
    std::set<int> params;
    for (int i = 0; i < g.NControls(); ++i)
    {
        const IControl* c = g.GetControl(i);
        if (c->ParamIdx() >= 0 &&
            (dynamic_cast<const IKnobMultiControl*>(c) || dynamic_cast<const ISpinnerControl*>(c)))
            params.insert(c->ParamIdx());
    }
    return {params.begin(), params.end()};
}

// A preset name of n characters, words of varied widths.
std::string NameOfLength(int n)
{
    static const std::string kWords = "Wide Mixolydian groove with jitter, melody and swing ";
    std::string name;
    for (int i = 0; i < n; ++i)
        name += kWords[static_cast<std::size_t>(i) % kWords.size()];
    return name;
}

constexpr int kLongestName = 64;

// The field shows a preset's name as a load tells it: under the instance lock.
void ShowPresetName(Harness& h, const std::string& name)
{
    IMutexLock lock(h.Plug().Mutex());
    h.Editor().ShowPresetName(name.c_str());
}

// The surface as it is, then as a full repaint leaves it: differing pixels described.
::testing::AssertionResult SameAsFullRepaint(Harness& h, const std::string& after)
{
    const LICE_SysBitmap& surface = *h.Graphics().Surface();
    const int w = surface.getWidth(), hgt = surface.getHeight();
    std::vector<LICE_pixel> painted(static_cast<std::size_t>(w) * hgt);
    for (int y = 0; y < hgt; ++y)
        std::copy_n(surface.getBits() + y * surface.getRowSpan(), w, &painted[y * w]);
    h.Graphics().MarkAllDirty();
    h.Window().Tick();
    int differing = 0;
    std::ostringstream first;
    for (int y = 0; y < hgt; ++y)
        for (int x = 0; x < w; ++x)
        {
            const LICE_pixel a = painted[y * w + x] & 0xFFFFFFu;
            const LICE_pixel b = surface.getBits()[y * surface.getRowSpan() + x] & 0xFFFFFFu;
            if (a != b && differing++ == 0)
            {
                first << " (first at " << x << ", " << y << ": " << std::hex << a << " where a "
                      << "full repaint paints " << b << std::dec << "; controls there:";
                for (int i = 1; i < h.Graphics().NControls(); ++i)
                    if (const IControl* c = h.Graphics().GetControl(i); c->GetRECT().Contains(x, y))
                    {
                        const auto* t = dynamic_cast<const ITextControl*>(c);
                        first << " " << i << " " << Describe(c->GetRECT())
                              << (t ? " \"" + std::string(t->GetText()) + "\"" : "");
                    }
                first << ")";
            }
        }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << differing << " pixels differ from a full repaint after " << after << first.str();
}

} // namespace

// The ink of every text lies inside its control (inside the box it keeps for its text): every
// value of every knob's read-out and every spinner, every display text of the enumerated
// parameters, every repeat count. The preset field cuts a long name short with an ellipsis,
// clear of its outline.
TEST(EditorText, EveryTextTheEditorShowsLiesInsideItsControl)
{
    Harness h;
    IGraphicsWin& g = h.Graphics();
    std::set<std::pair<int, std::string>> seen;
    std::vector<std::string> outside;
    const auto checkAll = [&]
    {
        for (int i = 0; i < g.NControls(); ++i)
        {
            const auto* text = dynamic_cast<const ITextControl*>(g.GetControl(i));
            if (!text || !seen.insert({i, text->GetText()}).second)
                continue;
            const IRect r = text->TextRect();
            const std::string shown =
                ITextControl::FittedText(text->Style(), text->GetText(), r.W());
            const IRect ink = InkOf(text->Style(), shown, r);
            const bool cut = shown != text->GetText();
            const bool field = text == &h.Editor().PresetField();
            if (!Inside(ink, r) || (!field && (cut || !Roomy(text->Style(), text->GetText(), r))))
                outside.push_back("\"" + std::string(text->GetText()) + "\"" +
                                  (cut ? " (cut to \"" + shown + "\"; whole, its ink " +
                                             Describe(InkOf(text->Style(), text->GetText(), r)) +
                                             ")"
                                       : "") +
                                  " of control " + std::to_string(i) + " at " + Describe(r) +
                                  ": ink " + Describe(ink));
        }
    };
    h.Window().Tick(2);
    checkAll();
    for (int param : ShownParams(g))
        for (double v : ShownValues(*h.Plug().GetParam(param)))
        {
            g.SetControlsForParam(param, v);
            h.Window().Tick();
            checkAll();
        }
    // Repeat counts: each counter shows 1 ... kMaxCount.
    for (int i = 0; i < g.NControls(); ++i)
        if (const auto* counter = dynamic_cast<const CounterControl*>(g.GetControl(i)))
            for (int n = 1; n <= CounterControl::kMaxCount; ++n)
            {
                const std::string count = std::to_string(n);
                const IRect r = counter->TextRect();
                const IRect ink = InkOf(counter->Style(), count, r);
                if (!Inside(ink, r) || !Roomy(counter->Style(), count, r))
                    outside.push_back("count " + count + " at " + Describe(r) + ": ink " +
                                      Describe(ink));
            }
    for (int n = 1; n <= kLongestName; ++n)
    {
        ShowPresetName(h, NameOfLength(n));
        h.Window().Tick();
        checkAll();
    }
    std::ostringstream all;
    for (const std::string& s : outside)
        all << "\n  " << s;
    EXPECT_TRUE(outside.empty()) << outside.size()
                                 << " texts reach outside their controls:" << all.str();

    // The longest names are cut, their beginning kept.
    const PresetNameControl& field = h.Editor().PresetField();
    const std::string longest = NameOfLength(kLongestName);
    const std::string shown =
        ITextControl::FittedText(field.Style(), longest, field.TextRect().W());
    EXPECT_LT(shown.size(), longest.size());
    EXPECT_EQ(shown.substr(0, shown.size() - 3), longest.substr(0, shown.size() - 3));
    EXPECT_EQ(shown.substr(shown.size() - 3), "\xE2\x80\xA6");
}

// A random order of every edit above, one to three at a time between frames, with parts of
// the window repainted at random as a window system asks: after each stretch the surface
// holds the pixels of a full repaint. ORX_TEXT_SEED picks another order.
TEST(EditorText, PartialRepaintsLeaveThePixelsOfAFullRepaint)
{
    Harness h;
    IGraphicsWin& g = h.Graphics();
    const char* seedText = std::getenv("ORX_TEXT_SEED");
    const unsigned seed =
        seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 19;
    std::mt19937 rng(seed);

    struct Edit
    {
        std::string mWhat;
        std::function<void()> mApply;
    };
    std::vector<Edit> edits;
    for (int param : ShownParams(g))
        for (double v : ShownValues(*h.Plug().GetParam(param)))
            edits.push_back(
                {std::string(h.Plug().GetParam(param)->Name()) + " at " + std::to_string(v),
                 [&g, param, v] { g.SetControlsForParam(param, v); }});
    for (int n = 1; n <= kLongestName; ++n)
        edits.push_back({"a preset name of " + std::to_string(n) + " characters",
                         [&h, n] { ShowPresetName(h, NameOfLength(n)); }});
    std::shuffle(edits.begin(), edits.end(), rng);
    ASSERT_GT(edits.size(), 500u);

    std::uniform_int_distribution<int> x(0, g.Width() - 1), y(0, g.Height() - 1);
    std::uniform_int_distribution<int> side(1, 120), batch(1, 3), coin(0, 3);
    std::size_t next = 0;
    for (int stretch = 0; next < edits.size(); ++stretch)
    {
        std::string last;
        for (int frames = 0; frames < 12 && next < edits.size(); ++frames)
        {
            for (int n = batch(rng); n > 0 && next < edits.size(); --n, ++next)
            {
                edits[next].mApply();
                last = edits[next].mWhat;
            }
            if (coin(rng) == 0)
            {
                // The system asks for a part of the window, as when a popup goes.
                WindowEvent paint;
                paint.mKind = WindowEvent::kPaint;
                const int left = x(rng), top = y(rng);
                paint.mRect = IRect(left, top, std::min(left + side(rng), g.Width()),
                                    std::min(top + side(rng), g.Height()));
                g.HandleEvent(paint);
            }
            h.Window().Tick();
        }
        ASSERT_TRUE(SameAsFullRepaint(h, "stretch " + std::to_string(stretch) + " (last: " + last +
                                             ", seed " + std::to_string(seed) + ")"));
    }
}
