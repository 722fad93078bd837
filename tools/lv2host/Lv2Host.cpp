#include "Lv2Host.h"

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace orxlv2host
{
namespace
{
constexpr std::size_t kAtomBufferBytes = 1 << 20;
}

struct Lv2Host::Features
{
    LV2_URID_Map mMap{};
    LV2_URID_Unmap mUnmap{};
    int32_t mMaxBlock = 0;
    LV2_Options_Option mOptions[2]{};
    LV2_Feature mMapFeature{LV2_URID__map, &mMap};
    LV2_Feature mUnmapFeature{LV2_URID__unmap, &mUnmap};
    LV2_Feature mOptionsFeature{LV2_OPTIONS__options, mOptions};
    LV2_Feature mBoundedFeature{LV2_BUF_SIZE__boundedBlockLength, nullptr};
    const LV2_Feature* mList[5] = {&mMapFeature, &mUnmapFeature, &mOptionsFeature, &mBoundedFeature,
                                   nullptr};
};

namespace
{

LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    return static_cast<Lv2Host*>(handle)->Map(uri);
}

// The state interface's callbacks work on one byte store: the host keeps a single property.
struct StateStore
{
    Lv2Host* mpHost = nullptr;
    uint32_t mChunkType = 0;
    std::vector<uint8_t>* mpBytes = nullptr;
};

LV2_State_Status Store(LV2_State_Handle handle, uint32_t /*key*/, const void* value, size_t size,
                       uint32_t type, uint32_t /*flags*/)
{
    auto* store = static_cast<StateStore*>(handle);
    if (type != store->mChunkType)
        return LV2_STATE_ERR_BAD_TYPE;
    const auto* bytes = static_cast<const uint8_t*>(value);
    store->mpBytes->assign(bytes, bytes + size);
    return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t /*key*/, size_t* size, uint32_t* type,
                     uint32_t* flags)
{
    auto* store = static_cast<StateStore*>(handle);
    *size = store->mpBytes->size();
    *type = store->mChunkType;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return store->mpBytes->data();
}

void SetPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type)
{
    auto* host = static_cast<Lv2Host*>(user);
    if (float* port = host->Control(symbol);
        port && size == sizeof(float) && type == host->Map(LV2_ATOM__Float))
        std::memcpy(port, value, sizeof(float));
}

} // namespace

Lv2Host::Lv2Host() : mpFeatures(std::make_unique<Features>())
{
    mpFeatures->mMap = {this, &MapUri};
    mpFeatures->mUnmap = {this,
                          [](LV2_URID_Unmap_Handle h, LV2_URID urid) -> const char*
                          {
                              auto* host = static_cast<Lv2Host*>(h);
                              return urid > 0 && urid <= host->mUriNames.size()
                                         ? host->mUriNames[urid - 1].c_str()
                                         : nullptr;
                          }};
    mIn.assign(kAtomBufferBytes / 8, 0);
    mOut.assign(kAtomBufferBytes / 8, 0);
}

Lv2Host::~Lv2Host()
{
    if (mpInstance)
    {
        if (mActive)
            lilv_instance_deactivate(mpInstance);
        lilv_instance_free(mpInstance);
    }
    if (mpWorld)
        lilv_world_free(mpWorld);
}

uint32_t Lv2Host::Map(const char* uri)
{
    auto [it, added] = mUris.emplace(uri, static_cast<uint32_t>(mUriNames.size() + 1));
    if (added)
        mUriNames.push_back(uri);
    return it->second;
}

bool Lv2Host::Load(const std::string& lv2Path, const std::string& uri, double rate, int maxBlock)
{
    mRate = rate;
    mpWorld = lilv_world_new();
    // lilv takes the folders as URIs: they must be absolute.
    std::string folders;
    for (std::size_t at = 0; at <= lv2Path.size();)
    {
        const std::size_t end = std::min(lv2Path.find(':', at), lv2Path.size());
        if (end > at)
            folders += (folders.empty() ? "" : ":") +
                       std::filesystem::absolute(lv2Path.substr(at, end - at)).string();
        at = end + 1;
    }
    LilvNode* path = lilv_new_string(mpWorld, folders.c_str());
    lilv_world_set_option(mpWorld, LILV_OPTION_LV2_PATH, path);
    lilv_node_free(path);
    lilv_world_load_all(mpWorld);
    LilvNode* name = lilv_new_uri(mpWorld, uri.c_str());
    mpPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mpWorld), name);
    lilv_node_free(name);
    if (!mpPlugin)
    {
        mError = "no plug-in " + uri + " in " + lv2Path;
        return false;
    }
    Features& f = *mpFeatures;
    f.mMaxBlock = maxBlock;
    f.mOptions[0] = {
        LV2_OPTIONS_INSTANCE, 0,           Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
        Map(LV2_ATOM__Int),   &f.mMaxBlock};
    f.mOptions[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    mpInstance = lilv_plugin_instantiate(mpPlugin, rate, f.mList);
    if (!mpInstance)
    {
        mError = "the plug-in refused to be instantiated";
        return false;
    }
    const uint32_t ports = lilv_plugin_get_num_ports(mpPlugin);
    std::vector<float> defaults(ports, 0.0f);
    lilv_plugin_get_port_ranges_float(mpPlugin, nullptr, nullptr, defaults.data());
    LilvNode* control = lilv_new_uri(mpWorld, LV2_CORE__ControlPort);
    LilvNode* atom = lilv_new_uri(mpWorld, LV2_ATOM__AtomPort);
    LilvNode* input = lilv_new_uri(mpWorld, LV2_CORE__InputPort);
    mControls.assign(ports, 0.0f);
    for (uint32_t i = 0; i < ports; ++i)
    {
        const LilvPort* port = lilv_plugin_get_port_by_index(mpPlugin, i);
        if (lilv_port_is_a(mpPlugin, port, control))
        {
            mControls[i] = std::isnan(defaults[i]) ? 0.0f : defaults[i];
            mControlIndex[lilv_node_as_string(lilv_port_get_symbol(mpPlugin, port))] = i;
            lilv_instance_connect_port(mpInstance, i, &mControls[i]);
        }
        else if (lilv_port_is_a(mpPlugin, port, atom))
            lilv_instance_connect_port(
                mpInstance, i, lilv_port_is_a(mpPlugin, port, input) ? mIn.data() : mOut.data());
        else
            lilv_instance_connect_port(mpInstance, i, nullptr);
    }
    lilv_node_free(control);
    lilv_node_free(atom);
    lilv_node_free(input);
    return true;
}

void Lv2Host::Activate()
{
    if (mpInstance && !mActive)
        lilv_instance_activate(mpInstance);
    mActive = true;
}

void Lv2Host::Deactivate()
{
    if (mpInstance && mActive)
        lilv_instance_deactivate(mpInstance);
    mActive = false;
}

float* Lv2Host::Control(const std::string& symbol)
{
    const auto it = mControlIndex.find(symbol);
    return it == mControlIndex.end() ? nullptr : &mControls[it->second];
}

int Lv2Host::PortIndex(const std::string& symbol) const
{
    const auto it = mControlIndex.find(symbol);
    return it == mControlIndex.end() ? -1 : static_cast<int>(it->second);
}

void* Lv2Host::InstanceHandle() const noexcept
{
    return mpInstance ? lilv_instance_get_handle(mpInstance) : nullptr;
}

std::vector<uint8_t> Lv2Host::SaveState()
{
    std::vector<uint8_t> bytes;
    const auto* state = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(mpInstance, LV2_STATE__interface));
    StateStore store{this, Map(LV2_ATOM__Chunk), &bytes};
    if (!state || state->save(lilv_instance_get_handle(mpInstance), &Store, &store, 0,
                              mpFeatures->mList) != LV2_STATE_SUCCESS)
        bytes.clear();
    return bytes;
}

bool Lv2Host::RestoreState(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> copy = bytes;
    const auto* state = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(mpInstance, LV2_STATE__interface));
    StateStore store{this, Map(LV2_ATOM__Chunk), &copy};
    return state && state->restore(lilv_instance_get_handle(mpInstance), &Retrieve, &store, 0,
                                   mpFeatures->mList) == LV2_STATE_SUCCESS;
}

std::vector<std::string> Lv2Host::PresetLabels()
{
    std::vector<std::string> labels;
    LilvNode* presetClass = lilv_new_uri(mpWorld, LV2_PRESETS__Preset);
    LilvNode* label = lilv_new_uri(mpWorld, LILV_NS_RDFS "label");
    LilvNodes* presets = lilv_plugin_get_related(mpPlugin, presetClass);
    LILV_FOREACH(nodes, i, presets)
    {
        const LilvNode* preset = lilv_nodes_get(presets, i);
        lilv_world_load_resource(mpWorld, preset);
        if (LilvNode* text = lilv_world_get(mpWorld, preset, label, nullptr))
        {
            labels.push_back(lilv_node_as_string(text));
            lilv_node_free(text);
        }
    }
    lilv_nodes_free(presets);
    lilv_node_free(label);
    lilv_node_free(presetClass);
    std::sort(labels.begin(), labels.end());
    return labels;
}

bool Lv2Host::ApplyPreset(const std::string& wanted)
{
    bool applied = false;
    LilvNode* presetClass = lilv_new_uri(mpWorld, LV2_PRESETS__Preset);
    LilvNode* label = lilv_new_uri(mpWorld, LILV_NS_RDFS "label");
    LilvNodes* presets = lilv_plugin_get_related(mpPlugin, presetClass);
    LILV_FOREACH(nodes, i, presets)
    {
        const LilvNode* preset = lilv_nodes_get(presets, i);
        lilv_world_load_resource(mpWorld, preset);
        LilvNode* text = lilv_world_get(mpWorld, preset, label, nullptr);
        const bool match = text && wanted == lilv_node_as_string(text);
        lilv_node_free(text);
        if (!match || applied)
            continue;
        if (LilvState* state = lilv_state_new_from_world(mpWorld, &mpFeatures->mMap, preset))
        {
            lilv_state_restore(state, mpInstance, &SetPortValue, this, 0, mpFeatures->mList);
            lilv_state_free(state);
            applied = true;
        }
    }
    lilv_nodes_free(presets);
    lilv_node_free(label);
    lilv_node_free(presetClass);
    return applied;
}

void Lv2Host::QueueMidi(int64_t frame, std::vector<uint8_t> bytes)
{
    mQueued.push_back({mBlock, frame, std::move(bytes)});
}

void Lv2Host::WriteBlock(int /*frames*/, const Position* position)
{
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &mpFeatures->mMap);
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(mIn.data()), kAtomBufferBytes);
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    if (position)
    {
        const double beats = position->mFrame * position->mBeatsPerMinute / (60.0 * mRate) *
                             position->mBeatUnit / 4.0;
        const double bar = std::floor(beats / position->mBeatsPerBar);
        lv2_atom_forge_frame_time(&forge, 0);
        LV2_Atom_Forge_Frame object;
        lv2_atom_forge_object(&forge, &object, 0, Map(LV2_TIME__Position));
        lv2_atom_forge_key(&forge, Map(LV2_TIME__frame));
        lv2_atom_forge_long(&forge, position->mFrame);
        lv2_atom_forge_key(&forge, Map(LV2_TIME__speed));
        lv2_atom_forge_float(&forge, position->mRolling ? 1.0f : 0.0f);
        lv2_atom_forge_key(&forge, Map(LV2_TIME__bar));
        lv2_atom_forge_long(&forge, static_cast<int64_t>(bar));
        lv2_atom_forge_key(&forge, Map(LV2_TIME__barBeat));
        lv2_atom_forge_float(&forge, static_cast<float>(beats - bar * position->mBeatsPerBar));
        lv2_atom_forge_key(&forge, Map(LV2_TIME__beatsPerBar));
        lv2_atom_forge_float(&forge, static_cast<float>(position->mBeatsPerBar));
        lv2_atom_forge_key(&forge, Map(LV2_TIME__beatUnit));
        lv2_atom_forge_int(&forge, position->mBeatUnit);
        lv2_atom_forge_key(&forge, Map(LV2_TIME__beatsPerMinute));
        lv2_atom_forge_float(&forge, static_cast<float>(position->mBeatsPerMinute));
        lv2_atom_forge_pop(&forge, &object);
    }
    std::stable_sort(mQueued.begin(), mQueued.end(),
                     [](const Lv2Event& a, const Lv2Event& b) { return a.mFrame < b.mFrame; });
    for (const Lv2Event& e : mQueued)
    {
        lv2_atom_forge_frame_time(&forge, e.mFrame);
        lv2_atom_forge_atom(&forge, static_cast<uint32_t>(e.mBytes.size()),
                            Map(LV2_MIDI__MidiEvent));
        lv2_atom_forge_write(&forge, e.mBytes.data(), static_cast<uint32_t>(e.mBytes.size()));
    }
    mQueued.clear();
    lv2_atom_forge_pop(&forge, &sequence);
    // The output's capacity in its size, as hosts give it.
    auto* out = reinterpret_cast<LV2_Atom_Sequence*>(mOut.data());
    out->atom.type = Map(LV2_ATOM__Chunk);
    out->atom.size = static_cast<uint32_t>(kAtomBufferBytes - sizeof(LV2_Atom));
}

void Lv2Host::Run(int frames, const Position* position)
{
    WriteBlock(frames, position);
    RunPlugin(frames);
    ReadBlock();
}

void Lv2Host::RunPlugin(int frames)
{
    lilv_instance_run(mpInstance, static_cast<uint32_t>(frames));
}

void Lv2Host::ReadBlock()
{
    const int block = mBlock++;
    const auto* out = reinterpret_cast<const LV2_Atom_Sequence*>(mOut.data());
    if (out->atom.type != Map(LV2_ATOM__Sequence))
        return;
    const uint32_t midi = Map(LV2_MIDI__MidiEvent);
    const uint32_t object = Map(LV2_ATOM__Object);
    const uint32_t changed = Map(LV2_STATE__StateChanged);
    LV2_ATOM_SEQUENCE_FOREACH(out, ev)
    {
        if (ev->body.type == midi)
        {
            const auto* bytes = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&ev->body));
            mEvents.push_back(
                {block, ev->time.frames, std::vector<uint8_t>(bytes, bytes + ev->body.size)});
        }
        else if (ev->body.type == object &&
                 reinterpret_cast<const LV2_Atom_Object*>(&ev->body)->body.otype == changed)
            ++mStateChanged;
    }
}

} // namespace orxlv2host
