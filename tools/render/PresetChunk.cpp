#include "PresetChunk.h"

#include "Orlantix.h"
#include "ToolPlatform.h"
#include "Vst2Records.h"

#include <cstring>
#include <memory>
#include <new>

namespace orxrender
{
namespace
{

// The private instance has no host: whatever it asks is answered with nothing.
intptr_t ORX_VSTCALL NoHost(vst2::Effect*, int32_t opcode, int32_t, intptr_t, void*, float) noexcept
{
    return opcode == vst2::audioMasterVersion ? vst2::kVstVersion : 0;
}

bool StartsWithHeader(const std::string& path)
{
    static constexpr char kHeader[] = "Orlantix V";
    FilePtr file = OpenFile(path, "rb");
    char start[sizeof(kHeader) - 1] = {};
    return file && std::fread(start, 1, sizeof(start), file.get()) == sizeof(start) &&
           std::memcmp(start, kHeader, sizeof(start)) == 0;
}

} // namespace

bool ChunkFromPreset(const std::string& path, std::vector<uint8_t>& chunk, int32_t* uniqueId,
                     std::string& error)
{
    chunk.clear();
    std::unique_ptr<Orlantix> plug(new (std::nothrow) Orlantix(&NoHost));
    if (!plug)
    {
        error = "--preset: out of memory";
        return false;
    }
    vst2::Effect* effect = plug->GetEffect();
    *uniqueId = effect->uniqueID;
    // Opened as a host opens it, then the preset read as the plug-in's own menu reads it.
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
    if (!plug->ReadPreset(path.c_str()))
    {
        error = "--preset: cannot read " + path;
        return false;
    }
    if (!StartsWithHeader(path))
        std::fprintf(stderr,
                     "orlantix-render: warning: %s has no \"Orlantix V\" header line; only its "
                     "groove velocities are read\n",
                     path.c_str());
    // The bank chunk through the binding itself, header and all, as a host would get it.
    void* data = nullptr;
    const intptr_t size = effect->dispatcher(effect, vst2::effGetChunk, 0, 0, &data, 0.0f);
    if (size <= 0 || !data)
    {
        error = "--preset " + path + ": the plug-in wrote no state";
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    chunk.assign(bytes, bytes + size);
    return true;
}

} // namespace orxrender
