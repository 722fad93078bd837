#include "LayoutPreview.h"

#include "EditorLayoutTable.h"
#include "LICE_Blit.h"
#include "LICE_Fill.h"
#include "LICE_Pixel.h"
#include "LICE_PngResource.h"

#include <cstdlib>
#include <map>
#include <memory>

namespace orx::artwork
{

namespace
{

// Colours the editor's own controls paint with.
constexpr LICE_pixel kFrameLive = LICE_RGBA(255, 127, 0, 255);
constexpr LICE_pixel kStruckLive = LICE_RGBA(255, 255, 0, 255);
constexpr LICE_pixel kEnableLive = LICE_RGBA(0, 255, 0, 255);
constexpr LICE_pixel kEnableOff = LICE_RGBA(255, 0, 0, 255);
constexpr LICE_pixel kGrey = LICE_RGBA(127, 127, 127, 255);
constexpr LICE_pixel kWhite = LICE_RGBA(255, 255, 255, 255);
constexpr LICE_pixel kBlack = LICE_RGBA(0, 0, 0, 255);
constexpr LICE_pixel kBar = LICE_RGBA(235, 101, 20, 255);
constexpr LICE_pixel kSpanBar = LICE_RGBA(0, 64, 96, 255);
constexpr int kImageBlend = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;

class Composer
{
public:
    Composer(LICE_IBitmap& out, const std::vector<ImageEntry>& images) : mOut(out), mImages(images)
    {
    }

    const ImageEntry* Entry(int id) const { return FindImage(mImages, id); }

    // Frame i (0-based) of image id at (x, y), drawn as the editor's bitmap controls draw.
    void Frame(int id, int x, int y, int frame, int mode = kImageBlend)
    {
        const ImageEntry* e = Entry(id);
        const LICE_IBitmap* b = Bitmap(id);
        if (!e || !b)
            return;
        LICE::BlitPart(&mOut, b, x, y, 0, frame * e->mHeight, e->mWidth, e->mHeight, 1.0f, mode);
    }

    // Frame for a normalised value, by the bitmap controls' rule.
    void Value(int id, int x, int y, double value)
    {
        const ImageEntry* e = Entry(id);
        if (!e)
            return;
        int i = e->mFrames < 2 ? 1 : int(1.0 + (e->mFrames - 1) * value + 0.5);
        i = i < 1 ? 1 : (i > e->mFrames ? e->mFrames : i);
        Frame(id, x, y, i - 1);
    }

    void Fill(int l, int t, int r, int b, LICE_pixel c)
    {
        LICE::FillRectangle(&mOut, l, t, r - l, b - t, c, 1.0f, LICE_BLIT_MODE_COPY);
    }

    // The graphics context's outline: on the edge pixels of the rectangle, inside it.
    void Outline(int l, int t, int r, int b, LICE_pixel c)
    {
        Fill(l, t, r, t + 1, c);
        Fill(l, b - 1, r, b, c);
        Fill(l, t, l + 1, b, c);
        Fill(r - 1, t, r, b, c);
    }

    LICE_IBitmap& Out() { return mOut; }

private:
    const LICE_IBitmap* Bitmap(int id)
    {
        auto it = mCache.find(id);
        if (it == mCache.end())
            it = mCache.emplace(id, LICE::LoadPngResource(nullptr, id)).first;
        return it->second.get();
    }

    LICE_IBitmap& mOut;
    const std::vector<ImageEntry>& mImages;
    std::map<int, std::unique_ptr<LICE_MemBitmap>> mCache;
};

int KnobImage(int frames)
{
    switch (frames)
    {
    case 8:
        return 121;
    case 16:
        return 108;
    case 17:
        return 107;
    case 128:
        return 105;
    default:
        return 106;
    }
}

// Normalised values that show the knobs in a few positions.
double SampleKnobValue(const std::string& param)
{
    static const std::map<std::string, double> values = {
        {"TimeUnits", 3.0 / 16}, {"LengthUnits", 3.0 / 16}, {"Vel", 100.0 / 127},
        {"NumPulse", 1.0},       {"SeqSteps", 1.0},         {"StkLen", 1.0},
        {"MelLen", 1.0},         {"Swing", 0.25},           {"LenJitt", 0.1},
    };
    const auto it = values.find(param);
    return it == values.end() ? 0.0 : it->second;
}

void DrawMelodyGrid(Composer& c)
{
    // A few struck degrees per cell so the grid reads as in use; pulse columns for 4 pulses.
    static const int kColumns[4][2] = {{1, 9}, {11, 19}, {21, 29}, {31, 39}};
    static const int kRows[5][2] = {{33, 40}, {25, 32}, {17, 24}, {9, 16}, {1, 8}};
    constexpr layout::Grid cells = layout::kMelodyCells;
    for (int k = 0; k < cells.mColumns; ++k)
    {
        for (int v = 0; v < cells.mRows; ++v)
        {
            const int a = cells.mX + cells.mDx * k;
            const int b = cells.mY + cells.mDy * v;
            const bool live = v != 3 || k % 3 != 0;
            const int top = b + 10;
            c.Outline(a, top, a + 41, b + 51, live ? kFrameLive : kGrey);
            for (int y : {32, 24, 16, 8})
                c.Fill(a, top + y, a + 41, top + y + 1, live ? kFrameLive : kGrey);
            for (int x : {10, 20, 30})
                c.Fill(a + x, top, a + x + 1, top + 41, live ? kFrameLive : kGrey);
            for (int p = 0; p < 4; ++p)
            {
                const int d = (k + v * 2 + p * 3) % 5;
                c.Fill(a + kColumns[p][0] + 1, top + kRows[d][0] + 1, a + kColumns[p][1],
                       top + kRows[d][1], live ? kStruckLive : LICE_RGBA(145, 145, 0, 255));
            }
            c.Fill(a, b, a + 8, b + 8, live ? kEnableLive : kEnableOff);
            if (k == 2 && v == 0)
                c.Fill(a + 11, b + 53, a + 19, b + 55, kWhite);
        }
    }
    constexpr layout::Grid rows = layout::kMelodyRows;
    constexpr layout::Pair switches = layout::kRowSwitches;
    for (int r = 0; r < rows.mRows; ++r)
    {
        const int t = rows.mY + rows.mDy * r;
        c.Fill(rows.mX, t, rows.mX + 17, t + 15, kGrey);
        const ImageEntry* solo = c.Entry(switches.mImage);
        const int y = switches.mY + switches.mDy * r;
        c.Frame(switches.mImage, switches.mX, y, r == 1 ? 1 : 0);
        c.Frame(switches.mImage2, switches.mX + 2 + (solo ? solo->mWidth : 15), y, r == 3 ? 1 : 0);
    }
}

void DrawSpan(Composer& c)
{
    constexpr layout::Span span = layout::kChordSpan;
    const ImageEntry* thumb = c.Entry(span.mImage);
    if (!thumb)
        return;
    const int w = thumb->mWidth;
    const int h = w / 2;
    const int left = span.mX - h;
    const int right = span.mR + w - h;
    const int track = left + h;
    const int cell = (right - w / 4 - h - left) / 12;
    const int low = track - h;
    const int high = track + cell * 12 - h;
    const int middle = span.mY + thumb->mHeight / 2;
    c.Fill(low + h, middle - 1, high + h, middle + 2, kSpanBar);
    c.Frame(span.mImage, low, span.mY, 0);
    c.Frame(span.mImage, high, span.mY, 0);
}

void DrawGroove(Composer& c)
{
    constexpr layout::Area bars = layout::kGrooveCanvas;
    constexpr layout::Area marker = layout::kGrooveMarker;
    constexpr layout::Row locks = layout::kGrooveLocks;
    constexpr layout::Row mutes = layout::kGrooveMutes;
    for (int i = 0; i < 48; ++i)
    {
        const int velocity = 128 - (i % 4) * 24 - (i % 16 == 12 ? 30 : 0);
        const bool muted = i == 14 || i == 30;
        const int x = bars.mX + 14 * i;
        c.Fill(x, bars.mB - velocity / 2, x + 12, bars.mB, muted ? kGrey : kBar);
        c.Fill(marker.mX + 14 * i, marker.mY, marker.mX + 14 * i + 12, marker.mB,
               i == 0 ? kWhite : kBlack);
        c.Frame(locks.mImage, locks.mX + locks.mDx * i, locks.mY, i == 5 ? 1 : 0);
        c.Frame(mutes.mImage, mutes.mX + mutes.mDx * i, mutes.mY, muted ? 1 : 0);
    }
}

void DrawModifierPanes(Composer& c)
{
    static const int kStrike[8] = {11, 0, 11, 4, 8, 11, 9, 12};
    static const int kMelody[8] = {16, 2, 16, 8, 0, 17, 16, 18};
    for (int pane = 0; pane < 2; ++pane)
    {
        const layout::Pane& p = pane == 0 ? layout::kStrikePane : layout::kMelodyPane;
        const ImageEntry* tape = c.Entry(p.mRunImage);
        const ImageEntry* pin = c.Entry(p.mPinImage);
        const ImageEntry* button = c.Entry(p.mImage);
        if (!tape || !pin || !button)
            continue;
        c.Frame(p.mRunImage, p.mX, p.mY, 1);
        const int x0 = tape->mWidth + p.mX + 5;
        const int buttonTop = p.mButtonY + pin->mHeight;
        const int markerTop = buttonTop + button->mHeight + 1;
        for (int i = 0; i < 8; ++i)
        {
            const int x = x0 + p.mPitch * i;
            c.Frame(p.mImage, x, buttonTop, pane == 0 ? kStrike[i] : kMelody[i]);
            c.Frame(p.mPinImage, x, p.mY, i % 3 == 1 ? 1 : 0);
            c.Fill(x, markerTop, x + p.mMarkerW, markerTop + p.mMarkerH,
                   i == 1 ? kWhite : (pane == 1 && i == 7 ? LICE_RGBA(255, 0, 0, 255) : kGrey));
        }
    }
}

} // namespace

bool ComposeLayoutPreview(LICE_IBitmap& out, const std::vector<ImageEntry>& images,
                          const std::vector<LayoutEntry>& layout, const LICE_IBitmap* textLayer)
{
    const auto background = LICE::LoadPngResource(nullptr, 100);
    if (!background)
        return false;
    LICE::Copy(&out, background.get());
    Composer c(out, images);
    for (const LayoutEntry& e : layout)
    {
        if (e.mKind == "knob" && !e.mFields.empty())
            c.Value(KnobImage(std::atoi(e.mFields[0].c_str())), e.mX, e.mY,
                    SampleKnobValue(e.mParam));
        else if ((e.mKind == "switch" || e.mKind == "button") && !e.mFields.empty())
            c.Frame(std::atoi(e.mFields[0].c_str()), e.mX, e.mY, e.mKind == "switch" ? 1 : 0);
    }
    DrawMelodyGrid(c);
    DrawSpan(c);
    DrawGroove(c);
    DrawModifierPanes(c);
    constexpr layout::Area name = layout::kPresetName;
    c.Outline(name.mX, name.mY, name.mR, name.mB, kWhite);
    if (textLayer)
        LICE::Blit(&out, textLayer, 0, 0, nullptr, 1.0f, kImageBlend);
    return true;
}

} // namespace orx::artwork
