#pragma once
// Writes a Standard MIDI File (format 0, one track) from MIDI events stamped with absolute
// sample positions, at a constant tempo and time signature, so that a sequencer imports the
// notes where they sounded.

#include <cstdint>
#include <string>
#include <vector>

namespace orxrender
{

struct TimedMidiEvent
{
    long long mSample; // absolute sample position
    uint8_t mStatus;
    uint8_t mData1;
    uint8_t mData2;
};

struct MidiFileSettings
{
    double mSampleRate = 44100.0;
    double mTempo = 120.0; // quarter notes per minute
    int mNumerator = 4;
    int mDenominator = 4; // a power of two, as the file format stores its logarithm
    int mTicksPerQuarter = 960;
    long long mEndSample = -1; // where the track ends; -1: at its last event
};

// Empty when the file format can hold the settings, else the reason.
std::string CheckMidiFileSettings(const MidiFileSettings& settings);

// The file's bytes (empty when CheckMidiFileSettings objects). Events keep their order; their
// sample positions become ticks rounded to the nearest tick; system messages are left out.
std::vector<uint8_t> BuildMidiFile(const std::vector<TimedMidiEvent>& events,
                                   const MidiFileSettings& settings);

// The sample position as a tick of the file.
long long SampleToTick(long long sample, const MidiFileSettings& settings);

} // namespace orxrender
