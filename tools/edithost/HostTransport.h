#pragma once
// The transport of the editor test host: stretches of playing, each ended by the host's stop at
// the position it reached, and their record beside a screenshot. The comparison program plays
// the same record into the headless editor after loading the screenshot's state, so both sides
// show the same play markers, cursors and step highlights. Portable: both sides process the
// blocks with this one function.

#include <string>
#include <vector>

namespace orxhost
{
class VstHost;
}

namespace edithost
{

// One stretch: frames from sample position from, in blocks of block frames.
struct PlayedStretch
{
    long long mFrom = 0;
    long long mFrames = 0;
    int mBlock = 512;
};

// Plays the stretch with the transport running, then processes one block with the transport
// stopped where it ended (a host's stop: sounding notes are released, nothing moves on). Runs
// on the calling thread; the editor may be painting on another.
void PlayThenStop(orxhost::VstHost& host, const PlayedStretch& stretch);

// The record's text, one "play FROM FRAMES BLOCK" line per stretch, and back. Reading stops at
// the first line it cannot read and answers false.
std::string WritePlayed(const std::vector<PlayedStretch>& played);
bool ReadPlayed(const std::string& text, std::vector<PlayedStretch>& played);

} // namespace edithost
