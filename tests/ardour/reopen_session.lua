-- Opens the session again, headless, and saves it as the snapshot "reopened": the state Ardour
-- stores there is what the plug-in hands out after the session gave it back its saved state.
-- From the environment: ORX_SESSION_DIR, ORX_SESSION_NAME, ORX_RATE, ORX_BLOCK.
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

local s = load_session(dir, name)
assert(s, "session not loaded")
s:save_state("reopened", false, false, false, false, false)
close_session()
print("ORX reopened")
