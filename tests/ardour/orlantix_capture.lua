ardour {
	["type"]    = "dsp",
	name        = "Orlantix MIDI Capture",
	category    = "Utility",
	license     = "MIT",
	author      = "Orlantix tests",
	description = [[Records every MIDI event that reaches it, with the transport position of its cycle]]
}

-- Shared memory: [1] = events kept, then per event: cycle position, offset (1-based),
-- rolling flag, status, data 1, data 2. MIDI passes through unchanged.
local capacity = 20000
local width = 6

function dsp_ioconfig ()
	return { { midi_in = 1, midi_out = 1, audio_in = -1, audio_out = -1 } }
end

function dsp_init (rate)
	self:shmem():allocate(1 + capacity * width)
	self:shmem():clear()
end

function dsp_configure (ins, outs)
	n_out = outs
end

function dsp_runmap (bufs, in_map, out_map, n_samples, offset)
	ARDOUR.DSP.process_map(bufs, n_out, in_map, out_map, n_samples, offset)
	local ib = in_map:get(ARDOUR.DataType("midi"), 0)
	if ib == ARDOUR.ChanMapping.Invalid then
		return
	end
	local shm = self:shmem():to_int(0):array()
	local pos = Session:transport_sample()
	local rolling = Session:transport_rolling() and 1 or 0
	for _, e in pairs(bufs:get_midi(ib):table()) do
		local n = shm[1]
		if n < capacity then
			local d = e:buffer():array()
			local b = 2 + n * width
			shm[b] = pos
			shm[b + 1] = e:time() - offset
			shm[b + 2] = rolling
			shm[b + 3] = d[1]
			shm[b + 4] = e:size() > 1 and d[2] or 0
			shm[b + 5] = e:size() > 2 and d[3] or 0
			shm[1] = n + 1
		end
	end
end
