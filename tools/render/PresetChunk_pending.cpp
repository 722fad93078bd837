// Built while the plug-in's code has no preset reader to link: --preset says so.

#include "PresetChunk.h"

namespace orxrender
{

bool ChunkFromPreset(const std::string& path, std::vector<uint8_t>& chunk, std::string& error)
{
    chunk.clear();
    error = "--preset " + path +
            ": text presets are not available yet in this build (the plug-in has no preset "
            "reader to link); use --load-state with a saved state instead";
    return false;
}

} // namespace orxrender
