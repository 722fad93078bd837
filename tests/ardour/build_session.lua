-- Makes the session: a MIDI track with Orlantix as its first processor, set to the preset named
-- in ORX_PRESET, and the capture processor after it; saved and closed. Everything it needs comes
-- from the environment: ORX_SESSION_DIR, ORX_SESSION_NAME, ORX_RATE, ORX_BLOCK, ORX_PRESET, and
-- the plug-in as ORX_PLUGIN_TYPE (LXVST or LV2) and ORX_PLUGIN_ID (its name or URI).
local dir, name = os.getenv("ORX_SESSION_DIR"), os.getenv("ORX_SESSION_NAME")
local rate, block = tonumber(os.getenv("ORX_RATE")), tonumber(os.getenv("ORX_BLOCK"))

local be = AudioEngine:set_backend("None (Dummy)", "", "")
assert(be, "no dummy backend")
be:set_device_name("Silence")
be:set_sample_rate(rate)
be:set_buffer_size(block)
assert(AudioEngine:start(false) == 0, "the engine does not start")
-- Automatic connections deadlock a headless session while processors are added.
ARDOUR.config():set_output_auto_connect(ARDOUR.AutoConnectOption.ManualConnect)
ARDOUR.config():set_input_auto_connect(ARDOUR.AutoConnectOption.ManualConnect)

local s = create_session(dir, name, rate)
assert(s, "no session")
local midi = ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1)
local tracks = s:new_midi_track(midi, midi, false, ARDOUR.PluginInfo(), nil, nil, 1, "Orlantix",
	ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
assert(tracks:size() == 1, "no MIDI track")
local track = tracks:front()

local kind = ARDOUR.PluginType[os.getenv("ORX_PLUGIN_TYPE")]
local orx = ARDOUR.LuaAPI.new_plugin(s, os.getenv("ORX_PLUGIN_ID"), kind, "")
assert(not orx:isnil(), "Ardour does not know Orlantix (scanner cache, LV2 path)")
assert(track:add_processor_by_index(orx, 0, nil, true) == 0, "Orlantix not added")
local plugin = orx:to_insert():plugin(0)
local preset = plugin:preset_by_label(os.getenv("ORX_PRESET"))
assert(preset, "no preset " .. os.getenv("ORX_PRESET"))
assert(plugin:load_preset(preset), "preset not loaded")
print("ORX preset " .. preset.label)

local capture = ARDOUR.LuaAPI.new_luaproc(s, "Orlantix MIDI Capture")
assert(not capture:isnil(), "no capture processor (script path)")
assert(track:add_processor_by_index(capture, -1, nil, true) == 0, "capture not added")
for i = 0, 20 do
	local p = track:nth_processor(i)
	if p:isnil() then break end
	print("ORX processor " .. i .. " " .. p:display_name())
end
s:save_state("", false, false, false, false, false)
close_session()
print("ORX built")
