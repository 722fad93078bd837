#pragma once
// The editor in a state worth showing, painted off screen: a fresh instance hosted in process
// by our own VST 2 host, its editor open in the headless window layer, a preset loaded, a few
// cells selected and the host's transport played for a while, so that play markers, step
// highlights and the groove cursor show as they do while music plays.

#include "LICE_MemBitmap.h"

#include <string>
#include <vector>

namespace orx::docs
{

struct Scene
{
    std::string mPreset;             // a factory preset's name; empty for a fresh instance
    long long mPlayFrames = 0;       // played from the song's start, 120 BPM, 44.1 kHz
    std::vector<int> mSelectedCells; // chord step * 4 + variation, selected with control held
};

// Paints scene; the presets are read from source/presets. False with a reason.
bool PaintScene(const Scene& scene, const std::string& source, LICE_MemBitmap& out,
                std::string& error);

} // namespace orx::docs
