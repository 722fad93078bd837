#pragma once
// MIDI fed to the plug-in: read from a Standard MIDI File (format 0 or 1, its tempo map
// followed) or from a listing in the form --events writes ("sample status data1 data2": the
// sample in decimal, the status in hex, the data bytes in decimal; one event a line, "#"
// starting a comment). Samples count on the render's timeline from its first frame's host
// position, --start.

#include <cstdint>
#include <string>
#include <vector>

namespace orxrender
{

struct InputEvent
{
    int64_t mSample = 0;
    uint8_t mStatus = 0;
    uint8_t mData1 = 0;
    uint8_t mData2 = 0;
};

// The channel messages of bytes, in time order (events at one sample in file order; a MIDI
// file's tracks merged, earlier tracks first). False with a one-line reason.
bool ParseMidiInput(const std::vector<uint8_t>& bytes, double sampleRate,
                    std::vector<InputEvent>& out, std::string& error);

// The listing's events; false with the line that is not one.
bool ParseEventListing(const std::string& text, std::vector<InputEvent>& out, std::string& error);

// A Standard MIDI File's channel messages (system and meta events are left out).
bool ParseMidiFile(const std::vector<uint8_t>& bytes, double sampleRate,
                   std::vector<InputEvent>& out, std::string& error);

} // namespace orxrender
