#pragma once
// The whole render: host the plug-in, set it up, play the transport block by block, and write
// what it sent as an event listing, a MIDI file and, through a synthesiser, a WAV file.

#include "RenderEvent.h"
#include "RenderOptions.h"

#include <cstdio>
#include <string>
#include <vector>

namespace orxrender
{

struct RenderResult
{
    std::vector<RenderEvent> mEvents; // every MIDI event sent inside a process call, in order
    int64_t mFrames = 0;
    int mBlocks = 0;
};

// standardOutput takes a listing to "-". False with a one-line reason; the outputs written so
// far may then be incomplete.
bool Render(const RenderOptions& options, std::FILE* standardOutput, RenderResult& result,
            std::string& error);

} // namespace orxrender
