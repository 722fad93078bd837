#include "MidiFileWriter.h"

#include <cmath>

namespace orxrender
{
namespace
{

constexpr uint32_t kMaxDelta = 0x0FFFFFFF; // a variable-length quantity holds at most 28 bits

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutVarLen(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t bytes[4];
    int n = 0;
    bytes[n++] = v & 0x7F;
    while ((v >>= 7) != 0 && n < 4)
        bytes[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
    while (n > 0)
        out.push_back(bytes[--n]);
}

// Moves the track from lastTick to tick. A gap too long for one delta is bridged with empty
// text events, which readers skip.
void PutDelta(std::vector<uint8_t>& track, long long& lastTick, long long tick)
{
    long long delta = tick > lastTick ? tick - lastTick : 0;
    while (delta > kMaxDelta)
    {
        PutVarLen(track, kMaxDelta);
        track.insert(track.end(), {0xFF, 0x01, 0x00});
        delta -= kMaxDelta;
    }
    PutVarLen(track, static_cast<uint32_t>(delta));
    if (tick > lastTick)
        lastTick = tick;
}

// Number of data bytes that follow a channel status byte; -1 for anything else.
int DataBytes(uint8_t status)
{
    switch (status & 0xF0)
    {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        return 2;
    default:
        return -1;
    }
}

int Log2(int v)
{
    int n = 0;
    while (v > 1)
    {
        v >>= 1;
        ++n;
    }
    return n;
}

uint32_t MicrosPerQuarter(double tempo)
{
    return static_cast<uint32_t>(std::llround(60000000.0 / tempo));
}

} // namespace

std::string CheckMidiFileSettings(const MidiFileSettings& s)
{
    if (!(s.mSampleRate > 0.0) || !std::isfinite(s.mSampleRate))
        return "the sample rate must be a positive number";
    // The tempo is stored as microseconds per quarter note in 24 bits.
    if (!(s.mTempo > 0.0) || MicrosPerQuarter(s.mTempo) > 0xFFFFFF ||
        MicrosPerQuarter(s.mTempo) == 0)
        return "a MIDI file cannot hold the tempo";
    if (s.mNumerator < 1 || s.mNumerator > 255)
        return "a MIDI file holds time-signature numerators from 1 to 255";
    if (s.mDenominator < 1 || (s.mDenominator & (s.mDenominator - 1)) != 0 || s.mDenominator > 128)
        return "a MIDI file holds time-signature denominators that are powers of two up to 128";
    if (s.mTicksPerQuarter < 1 || s.mTicksPerQuarter > 0x7FFF)
        return "a MIDI file holds 1 to 32767 ticks per quarter note";
    return {};
}

long long SampleToTick(long long sample, const MidiFileSettings& s)
{
    const double samplesPerQuarter = s.mSampleRate * 60.0 / s.mTempo;
    return std::llround(static_cast<double>(sample) / samplesPerQuarter * s.mTicksPerQuarter);
}

std::vector<uint8_t> BuildMidiFile(const std::vector<TimedMidiEvent>& events,
                                   const MidiFileSettings& s)
{
    if (!CheckMidiFileSettings(s).empty())
        return {};
    std::vector<uint8_t> track;
    const uint32_t micros = MicrosPerQuarter(s.mTempo);
    track.insert(track.end(), {0x00, 0xFF, 0x51, 0x03});
    track.push_back(static_cast<uint8_t>(micros >> 16));
    track.push_back(static_cast<uint8_t>(micros >> 8));
    track.push_back(static_cast<uint8_t>(micros));
    track.insert(track.end(), {0x00, 0xFF, 0x58, 0x04});
    track.push_back(static_cast<uint8_t>(s.mNumerator));
    track.push_back(static_cast<uint8_t>(Log2(s.mDenominator)));
    track.push_back(24); // MIDI clocks per metronome click
    track.push_back(8);  // 32nd notes per quarter note

    long long lastTick = 0;
    for (const TimedMidiEvent& e : events)
    {
        const int n = DataBytes(e.mStatus);
        if (n < 0)
            continue;
        PutDelta(track, lastTick, SampleToTick(e.mSample, s));
        track.push_back(e.mStatus);
        track.push_back(e.mData1 & 0x7F);
        if (n == 2)
            track.push_back(e.mData2 & 0x7F);
    }
    PutDelta(track, lastTick, s.mEndSample >= 0 ? SampleToTick(s.mEndSample, s) : lastTick);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
    file.push_back(static_cast<uint8_t>(s.mTicksPerQuarter >> 8));
    file.push_back(static_cast<uint8_t>(s.mTicksPerQuarter));
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    Put32(file, static_cast<uint32_t>(track.size()));
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

} // namespace orxrender
