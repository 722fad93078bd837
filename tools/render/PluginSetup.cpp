#include "PluginSetup.h"

#include "FileIo.h"
#include "HostParamAccess.h"
#include "PresetChunk.h"
#include "ToolPlatform.h"

namespace orxrender
{
namespace
{

constexpr std::size_t kMaxStateBytes = 64u << 20; // far beyond any real state chunk

bool HandChunk(orxhost::VstHost& host, const std::vector<uint8_t>& chunk, const std::string& what,
               std::string& error)
{
    // The bank chunk, as a host restoring its project hands it back.
    if (host.SetChunk(chunk, true) != 1)
    {
        error = "the plug-in rejected the state from " + what;
        return false;
    }
    return true;
}

bool KeepsChunks(orxhost::VstHost& host, const char* option, std::string& error)
{
    if (host.Effect()->flags & vst2::kFlagProgramChunks)
        return true;
    error = std::string(option) + ": the plug-in keeps no state chunk";
    return false;
}

} // namespace

std::string DefaultPluginPath()
{
    // The build names the plug-in relative to this program's folder (empty: none).
    const std::string relative = ORX_DEFAULT_PLUGIN;
    if (relative.empty())
        return {};
    const std::string self = ExecutablePath();
    const std::size_t slash = self.find_last_of("/\\");
    return slash == std::string::npos ? relative : self.substr(0, slash + 1) + relative;
}

bool LoadAndStart(orxhost::VstHost& host, const RenderOptions& options, std::string& error)
{
    const std::string path = options.mPlugin.empty() ? DefaultPluginPath() : options.mPlugin;
    if (path.empty())
    {
        error = "no plug-in given and none built beside this program: use --plugin PATH";
        return false;
    }
    if (!host.Load(path))
    {
        error = host.Error();
        return false;
    }
    if (!host.Effect()->processReplacing && !host.Effect()->process)
    {
        error = path + ": the plug-in has no process entry";
        return false;
    }
    host.SetProductString(options.mHostProduct);
    orxhost::Transport& t = host.GetTransport();
    t.mAdvance = false; // the renderer moves the position itself: stops and loops
    t.mSamplePos = static_cast<double>(options.mStart);
    t.mTempo = options.mTempo;
    t.mNumerator = options.mNumerator;
    t.mDenominator = options.mDenominator;
    if (options.mLoopEnd >= 0)
    {
        // Reported the way hosts report a loop; the jump itself is what a plug-in sees.
        const double quartersPerSample = options.mTempo / 60.0 / options.mSampleRate;
        t.mValidFlags |= vst2::kTimeCycleValid;
        t.mCycling = true;
        t.mCycleStart = static_cast<double>(options.mLoopStart) * quartersPerSample;
        t.mCycleEnd = static_cast<double>(options.mLoopEnd) * quartersPerSample;
    }
    host.Start(static_cast<float>(options.mSampleRate), MakePlan(options).MaxBlock());
    return true;
}

orxhost::ProcessEntry ProcessEntryOf(const vst2::Effect& effect)
{
    return effect.processReplacing ? orxhost::ProcessEntry::kReplacing
                                   : orxhost::ProcessEntry::kAccumulating;
}

bool ApplySettings(orxhost::VstHost& host, const RenderOptions& options, std::string& error)
{
    if (!options.mLoadState.empty())
    {
        std::vector<uint8_t> chunk;
        if (!KeepsChunks(host, "--load-state", error) ||
            !ReadWholeFile(options.mLoadState, chunk, kMaxStateBytes, error) ||
            !HandChunk(host, chunk, options.mLoadState, error))
            return false;
    }
    if (!options.mPreset.empty())
    {
        std::vector<uint8_t> chunk;
        int32_t id = 0;
        if (!KeepsChunks(host, "--preset", error) ||
            !ChunkFromPreset(options.mPreset, chunk, &id, error))
            return false;
        if (host.Effect()->uniqueID != id)
        {
            error = "--preset: text presets are Orlantix's, and the hosted plug-in is " +
                    host.EffectName();
            return false;
        }
        if (!HandChunk(host, chunk, "the preset " + options.mPreset, error))
            return false;
    }
    HostParamAccess params(host);
    for (const ParamSetting& setting : options.mParams)
    {
        const ParamValue value = FindParamValue(params, setting.mName, setting.mValue);
        if (!value.mError.empty())
        {
            error = value.mError;
            return false;
        }
        host.SetParameter(value.mIndex, value.mNormalised);
    }
    if (!options.mSaveState.empty())
    {
        if (!KeepsChunks(host, "--save-state", error))
            return false;
        const std::vector<uint8_t> chunk = host.GetChunk(true);
        if (chunk.empty())
        {
            error = "--save-state: the plug-in gave no state";
            return false;
        }
        if (!WriteWholeFile(options.mSaveState, chunk.data(), chunk.size(), error))
            return false;
    }
    return true;
}

} // namespace orxrender
