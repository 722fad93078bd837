-- Makes the session the GUI test opens: a MIDI track with Orlantix as its first processor, in its
-- state as a fresh instance; saved and closed. From the environment: ORX_SESSION_DIR,
-- ORX_SESSION_NAME, ORX_RATE, ORX_BLOCK, and the plug-in as ORX_PLUGIN_TYPE (LXVST or LV2) and
-- ORX_PLUGIN_ID (its name or URI).
local dir, name = os.getenv("ORX_SESSION_DIR"), os.getenv("ORX_SESSION_NAME")
local rate, block = tonumber(os.getenv("ORX_RATE")), tonumber(os.getenv("ORX_BLOCK"))

local be = AudioEngine:set_backend("None (Dummy)", "", "")
assert(be, "no dummy backend")
be:set_device_name("Silence")
be:set_sample_rate(rate)
be:set_buffer_size(block)
assert(AudioEngine:start(false) == 0, "the engine does not start")
ARDOUR.config():set_output_auto_connect(ARDOUR.AutoConnectOption.ManualConnect)
ARDOUR.config():set_input_auto_connect(ARDOUR.AutoConnectOption.ManualConnect)

local s = create_session(dir, name, rate)
assert(s, "no session")
local midi = ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1)
local tracks = s:new_midi_track(midi, midi, false, ARDOUR.PluginInfo(), nil, nil, 1, "Orlantix",
	ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
assert(tracks:size() == 1, "no MIDI track")
local kind = ARDOUR.PluginType[os.getenv("ORX_PLUGIN_TYPE")]
local orx = ARDOUR.LuaAPI.new_plugin(s, os.getenv("ORX_PLUGIN_ID"), kind, "")
assert(not orx:isnil(), "Ardour does not know Orlantix (scanner cache, LV2 path)")
assert(tracks:front():add_processor_by_index(orx, 0, nil, true) == 0, "Orlantix not added")
s:save_state("", false, false, false, false, false)
close_session()
print("ORX built")
