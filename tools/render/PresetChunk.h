#pragma once
// A text preset as the plug-in's state chunk. A host cannot ask a VST 2 plug-in to read a
// preset file, so the renderer reads the preset into a private instance of the plug-in's own
// code and hands the hosted plug-in the state that instance then writes, header included, as
// the binding's get-chunk writes it: the hosted plug-in ends in the state it would have after
// loading the preset itself.

#include <cstdint>
#include <string>
#include <vector>

namespace orxrender
{

// The chunk for the preset at path, and the unique id of the plug-in it is meant for; false
// with a one-line reason.
bool ChunkFromPreset(const std::string& path, std::vector<uint8_t>& chunk, int32_t* uniqueId,
                     std::string& error);

} // namespace orxrender
