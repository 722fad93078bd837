-- Opens the session, plays its loop range from the loop's start until the transport has wrapped
-- ORX_WRAPS times and a second more (a minute at most), stops, and prints what the capture
-- processor recorded, one "ORX event" line per event.
local dir, name = os.getenv("ORX_SESSION_DIR"), os.getenv("ORX_SESSION_NAME")
local rate, block = tonumber(os.getenv("ORX_RATE")), tonumber(os.getenv("ORX_BLOCK"))

local be = AudioEngine:set_backend("None (Dummy)", "", "")
be:set_device_name("Silence")
be:set_sample_rate(rate)
be:set_buffer_size(block)
assert(AudioEngine:start(false) == 0, "the engine does not start")
ARDOUR.config():set_output_auto_connect(ARDOUR.AutoConnectOption.ManualConnect)
ARDOUR.config():set_input_auto_connect(ARDOUR.AutoConnectOption.ManualConnect)

local s = load_session(dir, name)
assert(s, "session not loaded")
local loop = s:locations():auto_loop_location()
assert(loop, "no loop range")
print("ORX loop " .. loop:start():samples() .. " " .. loop:_end():samples())

local track = s:route_by_name("Orlantix")
assert(not track:isnil(), "no track")
local capture = nil
for i = 0, 20 do
	local p = track:nth_processor(i)
	if p:isnil() then break end
	if p:display_name() == "Orlantix MIDI Capture" then capture = p end
end
assert(capture, "no capture processor")

s:request_locate(loop:start():samples(), false, ARDOUR.LocateTransportDisposition.MustStop,
	ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(300000)
s:request_play_loop(true, true)
local wraps, last, waited = 0, s:transport_sample(), 0
while wraps < tonumber(os.getenv("ORX_WRAPS")) and waited < 60000000 do
	ARDOUR.LuaAPI.usleep(100000)
	waited = waited + 100000
	local now = s:transport_sample()
	if now < last then wraps = wraps + 1 end
	last = now
end
ARDOUR.LuaAPI.usleep(1000000)
print("ORX wrapped " .. wraps .. " times")
s:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(500000)

local shm = capture:to_insert():plugin(0):to_luaproc():shmem():to_int(0):array()
for k = 0, shm[1] - 1 do
	local b = 2 + k * 6
	print(string.format("ORX event %d %d %d %d %d %d", shm[b], shm[b + 1], shm[b + 2],
		shm[b + 3], shm[b + 4], shm[b + 5]))
end
close_session()
print("ORX played")
