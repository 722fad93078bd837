#include "PianoRoll.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

namespace orxrender
{
namespace
{

constexpr int kLabelWidth = 6;

struct Note
{
    int mKey = 0;
    int mVelocity = 0;
    int64_t mOn = 0;
    int64_t mOff = 0;
};

// Pairs note-ons with their note-offs. A note-on of velocity 0 ends a note as MIDI says, and
// a note still held at the end lasts to the end of the render.
std::vector<Note> PairNotes(const std::vector<RenderEvent>& events, int64_t end)
{
    std::vector<Note> notes;
    std::map<int, std::size_t> sounding; // channel × 128 + key → index in notes
    for (const RenderEvent& e : events)
    {
        const int kind = e.mStatus & 0xF0;
        if (kind != 0x80 && kind != 0x90)
            continue;
        const int slot = (e.mStatus & 0x0F) * 128 + e.mData1;
        if (const auto held = sounding.find(slot); held != sounding.end())
        {
            notes[held->second].mOff = e.mTimeline;
            sounding.erase(held);
        }
        if (kind == 0x90 && e.mData2 > 0)
        {
            sounding[slot] = notes.size();
            notes.push_back({e.mData1, e.mData2, e.mTimeline, end});
        }
    }
    return notes;
}

} // namespace

std::string NoteName(int note)
{
    static constexpr std::array<const char*, 12> kNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                           "F#", "G",  "G#", "A",  "A#", "B"};
    if (note < 0 || note > 127)
        return "?";
    return kNames[static_cast<std::size_t>(note % 12)] + std::to_string(note / 12);
}

std::string RenderSummary(const std::vector<RenderEvent>& events, const RollSettings& s)
{
    const int64_t end = s.mStart + s.mFrames;
    const std::vector<Note> notes = PairNotes(events, end);
    const double quartersPerBar = 4.0 * s.mNumerator / s.mDenominator;
    const double samplesPerQuarter = s.mSampleRate * 60.0 / s.mTempo;
    const double bars = static_cast<double>(s.mFrames) / (samplesPerQuarter * quartersPerBar);

    char head[160];
    std::snprintf(head, sizeof(head), "%.4g bars of %d/%d at %.6g BPM, %d Hz: ", bars, s.mNumerator,
                  s.mDenominator, s.mTempo, s.mSampleRate);
    std::string text = head;
    if (notes.empty())
        return text + "no notes\n";
    int low = 127, high = 0, quiet = 127, loud = 0;
    for (const Note& n : notes)
    {
        low = std::min(low, n.mKey);
        high = std::max(high, n.mKey);
        quiet = std::min(quiet, n.mVelocity);
        loud = std::max(loud, n.mVelocity);
    }
    text += std::to_string(notes.size()) + " notes from " + NoteName(low) + " to " +
            NoteName(high) + ", velocities " + std::to_string(quiet) + " to " +
            std::to_string(loud) + "\n";

    // One column per sixteenth note, or per beat when the beat is shorter.
    const int perWhole = std::max(16, s.mDenominator);
    const int columnsPerBar = s.mNumerator * perWhole / s.mDenominator;
    const int columnsPerBeat = perWhole / s.mDenominator;
    const double samplesPerColumn = samplesPerQuarter * 4.0 / perWhole;
    const int shownBars = std::max(1, std::min(s.mBars, static_cast<int>(std::ceil(bars))));
    const int columns = shownBars * columnsPerBar;
    const auto columnOf = [&](int64_t t)
    { return static_cast<int>(std::floor(static_cast<double>(t - s.mStart) / samplesPerColumn)); };

    std::map<int, std::string, std::greater<int>> rows;
    for (const Note& n : notes)
    {
        const int first = columnOf(n.mOn);
        if (first >= columns)
            continue;
        std::string& row =
            rows.try_emplace(n.mKey, static_cast<std::size_t>(columns), '.').first->second;
        const int last = std::min(columns - 1, columnOf(std::max(n.mOn, n.mOff - 1)));
        for (int c = std::max(first + 1, 0); c <= last; ++c)
            if (row[static_cast<std::size_t>(c)] != '#')
                row[static_cast<std::size_t>(c)] = '=';
        if (first >= 0)
            row[static_cast<std::size_t>(first)] = '#';
    }
    text += "The first " + std::to_string(shownBars) + (shownBars == 1 ? " bar" : " bars") +
            ", one column per 1/" + std::to_string(perWhole) +
            " note (# a note begins, = it holds):\n";
    std::string barLine(kLabelWidth, ' ');
    std::string beatLine(kLabelWidth, ' ');
    for (int c = 0; c < columns; ++c)
    {
        const bool barStart = c % columnsPerBar == 0;
        if (barStart && barLine.size() <= static_cast<std::size_t>(kLabelWidth + c))
            barLine += std::to_string(c / columnsPerBar + 1);
        else if (barLine.size() <= static_cast<std::size_t>(kLabelWidth + c))
            barLine += ' ';
        beatLine += barStart ? '|' : c % columnsPerBeat == 0 ? ':' : ' ';
    }
    text += barLine + "\n" + beatLine + "\n";
    for (const auto& [key, row] : rows)
    {
        std::string label = NoteName(key);
        label.resize(kLabelWidth, ' ');
        text += label + row + "\n";
    }
    return text;
}

} // namespace orxrender
