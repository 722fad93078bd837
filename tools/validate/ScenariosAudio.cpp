// Sample rates, block sizes, resume, the three process entries and every shape of time info,
// including the absurd ones hosts send.

#include "Scenario.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace orxvalidate
{
namespace
{

std::string Num(double v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", v);
    return text;
}

// The one place where the cut may show: a note-off on the sample of a note-on of the same key
// and channel (a retrigger) may come a sample earlier when both fall in one block, so that the
// receiver sees the off before the on. Such note-offs move back a sample, everything else
// keeps its order, before logs of different block sizes are compared.
std::vector<std::string> Retriggers(const std::vector<std::string>& log)
{
    struct Line
    {
        long long mSample;
        unsigned mStatus, mKey, mValue;
        std::size_t mIndex;
    };
    std::vector<Line> lines;
    std::set<std::tuple<long long, unsigned, unsigned>> ons;
    for (std::size_t i = 0; i < log.size(); ++i)
    {
        Line l{};
        l.mIndex = i;
        std::sscanf(log[i].c_str(), "%lld %x %x %x", &l.mSample, &l.mStatus, &l.mKey, &l.mValue);
        if ((l.mStatus & 0xF0) == 0x90 && l.mValue > 0)
            ons.insert({l.mSample, l.mStatus & 0x0F, l.mKey});
        lines.push_back(l);
    }
    for (Line& l : lines)
    {
        const bool off = (l.mStatus & 0xF0) == 0x80 || ((l.mStatus & 0xF0) == 0x90 && !l.mValue);
        if (off && ons.count({l.mSample, l.mStatus & 0x0F, l.mKey}))
            --l.mSample;
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return a.mSample < b.mSample; });
    std::vector<std::string> out;
    for (const Line& l : lines)
    {
        char text[64];
        std::snprintf(text, sizeof(text), "%lld %02x %02x %02x", l.mSample, l.mStatus, l.mKey,
                      l.mValue);
        out.push_back(text);
    }
    return out;
}

void SampleRates(Context& cx)
{
    const float rates[] = {0.0f,      22050.0f, 44100.0f, 48000.0f, 96000.0f,  192000.0f, 1.0f,
                           -44100.0f, 1.0e9f,   NAN,      INFINITY, -INFINITY, 3.0e38f,   11025.5f};
    for (const float rate : rates)
    {
        auto s = cx.Make(true, rate, 512);
        if (!s)
            return;
        s->PlayFor(512 * cx.Rounds(200, 2000), 512);
        // Changed while suspended, as hosts do when the device changes, then played on.
        s->Host().Suspend();
        s->Host().SetSampleRate(48000.0f);
        s->Host().Resume();
        s->PlayFor(48000, 512);
        s->StopAndDrain();
        cx.Judge(*s, "sample rate " + Num(rate));
        cx.ExpectNormalisedParams(*s, "sample rate " + Num(rate));
        const bool sane = rate >= 22050.0f && rate <= 192000.0f;
        if (sane && s->SendsMidi() && s->Checker().NoteOns() == 0)
            cx.Fail("sample rate " + Num(rate) + ": no note in " +
                    std::to_string(cx.Rounds(200, 2000) * 512) + " frames");
    }
}

void BlockSizes(Context& cx)
{
    const int64_t length = cx.Rounds(44100 * 6, 44100 * 60);
    auto reference = cx.Make(true, 44100.0f, 512);
    if (!reference)
        return;
    reference->PlayFor(length, 512);
    reference->StopAndDrain();
    cx.Judge(*reference, "blocks of 512");

    for (const int size : {1, 7, 333, 4096, 8192})
    {
        auto s = cx.Make(true, 44100.0f, size);
        const int64_t frames = length;
        s->PlayFor(frames, size);
        s->StopAndDrain(size);
        const std::string step = "blocks of " + std::to_string(size);
        cx.Judge(*s, step);
        const auto got = Retriggers(s->TimelineLog(frames));
        const auto want = Retriggers(reference->TimelineLog(frames));
        if (got != want)
            cx.Fail(step + ": the events differ from those in blocks of 512" +
                    FirstDifference(got, want));
    }

    // Announced 8192, then blocks of any size up to it, empty ones among them; then a new
    // block size announced while resumed.
    auto s = cx.Make(true, 44100.0f, 8192);
    int64_t done = 0;
    while (done < length)
    {
        const int frames = cx.Rng().Below(8) == 0 ? 0 : 1 + cx.Rng().Below(8192);
        s->Play(frames);
        done += frames;
    }
    const auto got = Retriggers(s->TimelineLog(length));
    const auto want = Retriggers(reference->TimelineLog(length));
    if (got != want)
        cx.Fail("blocks of random sizes: the events differ from those in blocks of 512" +
                FirstDifference(got, want));
    s->Host().SetBlockSize(64);
    s->PlayFor(44100, 64);
    s->Host().SetBlockSize(0);
    s->Play(0);
    s->Host().SetBlockSize(2048);
    s->PlayFor(44100, 2048);
    s->StopAndDrain();
    cx.Judge(*s, "blocks of random sizes and block size changes");
}

void ResumeAndEntries(Context& cx)
{
    {
        auto s = cx.Make(false); // processed without ever being resumed
        if (!s)
            return;
        s->Host().Open();
        s->Host().SetSampleRate(44100.0f);
        s->Host().SetBlockSize(512);
        s->PlayFor(44100, 512);
        s->Host().Resume();
        s->PlayFor(44100, 512);
        s->Host().Suspend(); // and processed while suspended
        s->PlayFor(44100, 512);
        s->Host().Resume();
        s->StopAndDrain();
        cx.Judge(*s, "processing without resume");
    }
    // Only the entries the plug-in declares: a host must not call the others (their pointers
    // may be anything).
    auto s = cx.Make();
    std::vector<orxhost::ProcessEntry> entries = {orxhost::ProcessEntry::kAccumulating};
    if (s->Effect()->flags & vst2::kFlagCanReplacing)
        entries.push_back(orxhost::ProcessEntry::kReplacing);
    if (s->Effect()->flags & vst2::kFlagCanDoubleReplacing)
        entries.push_back(orxhost::ProcessEntry::kDoubleReplacing);
    for (int k = 0; k < cx.Rounds(600, 6000); ++k)
        s->Play(
            1 + cx.Rng().Below(512),
            entries[static_cast<std::size_t>(cx.Rng().Below(static_cast<int>(entries.size())))]);
    s->StopAndDrain();
    cx.Judge(*s, "replacing, accumulating and double entries mixed");
}

void TimeInfo(Context& cx)
{
    auto s = cx.Make();
    if (!s)
        return;
    orxhost::Transport& t = s->Transport();
    // No time info at all.
    t.mProvideTimeInfo = false;
    s->PlayFor(44100 * 2, 512);
    t.mProvideTimeInfo = true;
    s->StopAndDrain();
    cx.Judge(*s, "no time info");

    // Every combination of the flags a host sets, a few blocks each.
    const int32_t bits[] = {vst2::kTimeChanged,   vst2::kTimePlaying,    vst2::kTimeCycleActive,
                            vst2::kTimeRecording, vst2::kTimePpqValid,   vst2::kTimeTempoValid,
                            vst2::kTimeBarsValid, vst2::kTimeCycleValid, vst2::kTimeSigValid};
    const int combos = 1 << 9;
    auto f = cx.Make();
    orxhost::Transport& ft = f->Transport();
    ft.mCycleStart = 4.0;
    ft.mCycleEnd = 8.0;
    for (int c = 0; c < combos; ++c)
    {
        int32_t valid = 0;
        for (int b = 0; b < 9; ++b)
            if (c & (1 << b))
                valid |= bits[b];
        ft.mValidFlags = valid & ~(vst2::kTimePlaying | vst2::kTimeCycleActive);
        ft.mPlaying = (valid & vst2::kTimePlaying) != 0;
        ft.mCycling = (valid & vst2::kTimeCycleActive) != 0;
        ft.mHonourRequestMask = (c & 1) != 0;
        for (int k = 0; k < cx.Rounds(6, 24); ++k)
            f->Play(128 + cx.Rng().Below(400));
    }
    ft = orxhost::Transport{};
    ft.mSamplePos = 44100.0 * 10;
    f->PlayFor(44100, 512);
    f->StopAndDrain();
    cx.Judge(*f, "every combination of time-info flags");

    // Absurd tempos and time signatures, each for a while, playing from where the last left.
    const double tempos[] = {
        0.0,    -120.0, NAN,   INFINITY, -INFINITY,
        1.0e-9, 1.0e6,  999.0, 1.0e300,  std::numeric_limits<double>::denorm_min()};
    const int32_t signatures[][2] = {{0, 0},    {0, 4}, {4, 0},    {-3, 4},        {3, -4},
                                     {1000, 1}, {7, 8}, {1, 1024}, {INT32_MAX, 3}, {5, 3}};
    auto a = cx.Make();
    orxhost::Transport& at = a->Transport();
    for (const double tempo : tempos)
    {
        at.mTempo = tempo;
        a->PlayFor(512 * cx.Rounds(20, 200), 512);
    }
    at.mTempo = 120.0;
    for (const auto& sig : signatures)
    {
        at.mNumerator = sig[0];
        at.mDenominator = sig[1];
        a->PlayFor(512 * cx.Rounds(20, 200), 512);
    }
    at.mNumerator = 4;
    at.mDenominator = 4;
    at.mSamplePos = -1.0e6; // before the song's start
    a->PlayFor(44100, 512);
    at.mSamplePos = 1.0e15; // centuries in
    a->PlayFor(44100, 512);
    at.mSamplePos = NAN;
    at.mAdvance = false;
    a->PlayFor(44100, 512);
    at.mSamplePos = 0.0;
    at.mAdvance = true;
    a->PlayFor(44100, 512);
    a->StopAndDrain();
    cx.Judge(*a, "absurd tempos, time signatures and positions");
    cx.ExpectNormalisedParams(*a, "absurd tempos, time signatures and positions");
}

} // namespace

void AddAudioScenarios(std::vector<Scenario>& out)
{
    out.push_back({"sample-rates", "0, 22050 ... 192000 and absurd rates, changed while suspended",
                   false, SampleRates});
    out.push_back({"block-sizes",
                   "blocks of 1, 7, 333, 4096, 8192 and random sizes (empty ones too) give the "
                   "events of blocks of 512; block size changed while resumed",
                   false, BlockSizes});
    out.push_back({"resume-and-entries",
                   "processing before resume and while suspended; the three process entries mixed",
                   false, ResumeAndEntries});
    out.push_back({"time-info",
                   "no time info; every combination of its flags; tempo 0, negative, NaN, huge; "
                   "time signatures 0/0 and worse; absurd positions",
                   false, TimeInfo});
}

} // namespace orxvalidate
