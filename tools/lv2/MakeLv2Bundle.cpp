// orx-lv2-bundle: writes the LV2 bundle's description beside its library, from a private
// instance of the plug-in's own code: manifest.ttl, Orlantix.ttl and presets.ttl with every
// factory preset of the given folder.
//
//   orx-lv2-bundle --out <bundle folder> --library <file name> --presets <folder>

#include "Lv2Description.h"
#include "Lv2Ports.h"
#include "Orlantix.h"
#include "OrlantixUri.h"
#include "PresetChunk.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{

intptr_t ORX_VSTCALL NoHost(vst2::Effect*, int32_t opcode, int32_t, intptr_t, void*, float) noexcept
{
    return opcode == vst2::audioMasterVersion ? vst2::kVstVersion : 0;
}

// A fresh instance, opened as a host opens it.
std::unique_ptr<Orlantix> OpenInstance()
{
    auto plug = std::make_unique<Orlantix>(&NoHost);
    plug->EnsureDefaultPreset();
    vst2::Effect* effect = plug->GetEffect();
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
    return plug;
}

bool WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out)
        std::fprintf(stderr, "orx-lv2-bundle: cannot write %s\n", path.string().c_str());
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    std::string out;
    std::string library;
    std::string presetFolder;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string key = argv[i];
        if (key == "--out")
            out = argv[i + 1];
        else if (key == "--library")
            library = argv[i + 1];
        else if (key == "--presets")
            presetFolder = argv[i + 1];
    }
    if (out.empty() || library.empty() || presetFolder.empty())
    {
        std::fprintf(stderr,
                     "usage: orx-lv2-bundle --out <folder> --library <name> --presets <folder>\n");
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(presetFolder))
        if (entry.path().extension() == ".preset")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    std::vector<orxlv2::PresetEntry> presets;
    for (const auto& file : files)
    {
        orxlv2::PresetEntry preset;
        preset.mName = file.stem().string();
        std::string error;
        int32_t uniqueId = 0;
        if (!orxrender::ChunkFromPreset(file.string(), preset.mChunk, &uniqueId, error))
        {
            std::fprintf(stderr, "orx-lv2-bundle: %s\n", error.c_str());
            return 1;
        }
        // The ports show what the state holds: read it back into a fresh instance.
        std::unique_ptr<Orlantix> plug = OpenInstance();
        vst2::Effect* effect = plug->GetEffect();
        if (effect->dispatcher(effect, vst2::effSetChunk, 0,
                               static_cast<intptr_t>(preset.mChunk.size()), preset.mChunk.data(),
                               0.0f) != 1)
        {
            std::fprintf(stderr, "orx-lv2-bundle: %s: state not taken back\n",
                         file.string().c_str());
            return 1;
        }
        for (int idx : lv2ports::ControlParams(*plug))
        {
            const IParameter& param = *plug->GetParam(idx);
            preset.mPortValues.push_back(lv2ports::PortValue(param, param.Value()));
        }
        presets.push_back(std::move(preset));
    }

    const std::unique_ptr<Orlantix> plug = OpenInstance();
    const std::filesystem::path dir(out);
    std::filesystem::create_directories(dir);
    const bool ok =
        WriteFile(dir / "manifest.ttl", orxlv2::ManifestTtl(kOrlantixUri, library, presets)) &&
        WriteFile(dir / "Orlantix.ttl", orxlv2::PluginTtl(kOrlantixUri, *plug)) &&
        WriteFile(dir / "presets.ttl", orxlv2::PresetsTtl(kOrlantixUri, *plug, presets));
    return ok ? 0 : 1;
}
