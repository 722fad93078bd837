#!/usr/bin/python3
"""End-to-end checks of orlantix-render, run by CTest against the built program.

Each check renders with the real tool and judges the output with code that shares nothing
with it: the MIDI file is read by Debian's python3-mido, the WAV file by Python's wave module,
and event listings are compared here. Exit status 0 passes, 1 fails, 77 skips.

  cli         bad command lines and files: one-line errors, exit status 1 or 2, no crash
  invariance  the listing does not depend on the block size, and no cut note-off shares
              its sample with the note-on that cut it
  midi        the MIDI file, read with mido, holds the notes of the listing at their ticks
  synth       a third-party VST 2 synthesiser turns the events into audio
  wav         a rendered WAV file (the demo's) lasts its bars and sounds in every one
  state       --preset and --load-state of the state saved from it play the same events
  wine-prefix makes the wine prefix the Windows runs share (wine_runs.py)
  wine32-probe  decides whether 32-bit Windows code runs here; the 32-bit runs skip if not
  parity      a Windows build under wine writes the same bytes as the Linux build
"""

import argparse
import math
import os
import struct
import subprocess
import sys
import wave

import wine_runs
from wine_runs import SKIP, fail

# Settings every run shares: short pulses at an odd tempo give many events in a short render,
# and lengths that are no whole number of samples. Runs last BARS bars unless said otherwise.
BARS = ["--bars", "16"]
COMMON = ["--tempo", "133", "--param", "TimeUnits=1/32",
          "--param", "LengthUnits=1/16"]

# The settings of the invariance and parity runs. "modifiers" plays a state with both
# modifier sequencers busy, made from the plug-in's own saved state (see modifier_state);
# "preset" plays a factory preset given with --preset.
SETTINGS = {
    "default": [],
    "preset": ["--preset", "@preset"],
    "swing-humanise": ["--param", "Swing=0.40", "--param", "Human=0.50"],
    "jitters": ["--param", "VelJitt=0.70", "--param", "LenJitt=0.50",
                "--param", "LifeProb=0.30"],
    "modifiers": ["--load-state", "@modifiers"],
    "keys": ["--load-state", "@keys-state", "--midi-in", "@keys-midi"],
    "stop-loop": ["--param", "Swing=0.25", "--loop", "30000:170000", "--stop-at", "300000"],
    "random-blocks": ["--block", "random:2024", "--param", "StepDir=Random",
                      "--param", "Human=0.30", "--host-product", "Ardour"],
}

# Offsets of the parameter values in a state chunk, and the parameters the modifier state
# sets: (index, value) with the values in the parameters' own units.
PARAMS_AT = 3684
STATE_SIZE = PARAMS_AT + 250 * 8
MODIFIER_VALUES = (
    [(162 + i, (3 * i + 1) % 13) for i in range(8)]      # stkMod1..8
    + [(171 + i, i % 2) for i in range(8)]               # stkModT1..8: temporary, permanent
    + [(181, 4.0), (183, 1.0), (184, 0.8)]               # SMDir Random, StkCount, StkProb
    + [(187 + i, (5 * i + 2) % 19) for i in range(8)]    # melMod1..8
    + [(196 + i, (i + 1) % 2) for i in range(8)]         # MekModT1..8
    + [(206, 2.0), (208, 1.0), (209, 0.9)]               # MelDir FwdBack, MelCount, MelProb
    + [(27, 0.2)]                                        # LifeProb
)


def run(cmd, cwd=None, env=None, check=True):
    p = subprocess.run(cmd, cwd=cwd, env=env, capture_output=True)
    if check and p.returncode != 0:
        fail("%s exited with %d: %s" % (" ".join(cmd), p.returncode,
                                         p.stderr.decode(errors="replace").strip()))
    return p


def read_listing(path):
    events = []
    with open(path, "rb") as f:
        data = f.read()
    if b"\r" in data:
        fail(path + " holds carriage returns")
    for line in data.decode().splitlines():
        sample, status, d1, d2 = line.split(" ")
        events.append((int(sample), int(status, 16), int(d1), int(d2)))
    return events


def render(args, tool, out, name, extra=()):
    """Runs the Linux tool; answers the listing's path."""
    listing = os.path.join(out, name + ".txt")
    run([tool] + list(args) + list(extra) + ["--events", listing])
    return listing


def modifier_state(tool, plugin, out):
    """The plug-in's default state with both modifier sequencers set to work, or None while
    the plug-in's state does not hold the sequencers' parameters."""
    base = os.path.join(out, "default-state.bin")
    run([tool, "--plugin", plugin, "--seconds", "0.01", "--save-state", base])
    with open(base, "rb") as f:
        chunk = bytearray(f.read())
    if len(chunk) != STATE_SIZE:
        return None
    for index, value in MODIFIER_VALUES:
        struct.pack_into("<d", chunk, PARAMS_AT + 8 * index, float(value))
    path = os.path.join(out, "modifiers-state.bin")
    with open(path, "wb") as f:
        f.write(chunk)
    return path


def keys_files(state_path):
    """Beside the modifier state: the same state playing from the keys (transpose + gate) with
    controller 1 on channel 1 bound to Vel, and a listing of keys played (pressed and let go
    inside notes, overlapping, on two channels) and of unbound controllers, passed on. (A bound
    controller moves its parameter for the whole block it comes in, as host automation does, so
    the output would depend on the block size: the instance tests cover it.)"""
    if state_path is None:
        return None, None
    folder = os.path.dirname(state_path)
    with open(state_path, "rb") as f:
        chunk = f.read()
    body = struct.pack("<ii", 2, 1) + struct.pack("<iii", 1, 5, 1)
    keys_state = os.path.join(folder, "keys-state.bin")
    with open(keys_state, "wb") as f:
        f.write(chunk + b"OXex" + struct.pack("<ii", 1, len(body)) + body)
    lines, t = [], 1000
    for i in range(60):
        key, channel = 48 + (7 * i) % 24, i % 2
        lines.append((t, 0x90 | channel, key, 100))
        lines.append((t + 9000 + 997 * (i % 5), 0x80 | channel, key, 0))
        lines.append((t + 4321, 0xB1, 1, (13 * i) % 128))      # bound on channel 1 only
        lines.append((t + 5555, 0xB0, 64, 127 * (i % 2)))      # bound to nothing
        t += 7000 + 1733 * (i % 3)
    keys_midi = os.path.join(folder, "keys-midi.txt")
    with open(keys_midi, "w", newline="\n") as f:
        for (sample, status, d1, d2) in sorted(lines, key=lambda e: e[0]):
            f.write("%d %x %d %d\n" % (sample, status, d1, d2))
    return keys_state, keys_midi


def setting_args(name, state_path, preset_path):
    keys_state, keys_midi = keys_files(state_path) if name == "keys" else (None, None)
    return [{"@modifiers": state_path, "@preset": preset_path, "@keys-state": keys_state,
             "@keys-midi": keys_midi}.get(a, a) for a in SETTINGS[name]]


def unavailable(name, state_path, preset_path):
    """Why a setting cannot run here, or None."""
    if state_path is None and ("@modifiers" in SETTINGS[name] or "@keys-state" in SETTINGS[name]):
        return "the plug-in's state holds no sequencer settings yet"
    if "@preset" in SETTINGS[name] and not (preset_path and os.path.exists(preset_path)):
        return "no preset %s" % preset_path
    return None


# --- invariance ---------------------------------------------------------------------------

def cut_on_note_on(events):
    """The first note-off sent on the sample of a note-on of the same key and channel, or None.
    A note cut short by the next note of its key ends one sample before it, whatever the block
    boundaries; with no jump back onto a pulse in these settings, nothing else ends a note
    there."""
    ons = {(t, s & 0x0F, d1) for (t, s, d1, _) in events if s & 0xF0 == 0x90}
    return next(((t, s, d1) for (t, s, d1, _) in events
                 if s & 0xF0 == 0x80 and (t, s & 0x0F, d1) in ons), None)


def check_invariance(a):
    state = modifier_state(a.tool, a.plugin, a.out)
    for name in SETTINGS:
        if "--block" in SETTINGS[name]:
            continue  # the random-blocks setting is itself one of the cuts below
        why = unavailable(name, state, a.preset)
        if why:
            print("%s: not run, %s" % (name, why))
            continue
        args = (["--plugin", a.plugin] + COMMON + setting_args(name, state, a.preset) +
                ["--bars", str(a.bars)])
        reference = read_listing(render(args, a.tool, a.out, name + "-512", ["--block", "512"]))
        if len(reference) < 40:
            fail("%s: only %d events, too few to compare" % (name, len(reference)))
        cut = cut_on_note_on(reference)
        if cut:
            fail("%s: note-off %s lies on the sample of a note-on of its key" % (name, cut))
        for block in ["1", "63", "250", "4096", "random:7"]:
            got = read_listing(render(args, a.tool, a.out, name + "-" + block.replace(":", ""),
                                      ["--block", block]))
            if got != reference:
                first = next((i for i, (x, y) in enumerate(zip(got, reference)) if x != y),
                             min(len(got), len(reference)))
                fail("%s: blocks of %s differ from blocks of 512 at event %d" %
                     (name, block, first))
        print("%s: %d events, the same for every block size" % (name, len(reference)))


# --- midi ----------------------------------------------------------------------------------

def notes_from_listing(events, to_tick):
    """(key, channel, velocity, start tick, length in ticks) of every note, as MIDI reads the
    stream: a note-on of velocity 0 is a note-off."""
    held, notes = {}, []
    for (t, s, d1, d2) in events:
        kind, channel = s & 0xF0, s & 0x0F
        if kind not in (0x80, 0x90):
            continue
        on = kind == 0x90 and d2 > 0
        if (channel, d1) in held:
            start, velocity = held.pop((channel, d1))
            notes.append((d1, channel, velocity, to_tick(start), to_tick(t) - to_tick(start)))
        if on:
            held[(channel, d1)] = (t, d2)
    return sorted(notes)


def check_midi(a):
    import mido  # Debian's python3-mido, for /usr/bin/python3

    events = read_listing(a.events)
    mid = mido.MidiFile(a.midi)
    if mid.type != 0 or len(mid.tracks) != 1 or mid.ticks_per_beat != 960:
        fail("expected format 0, one track, 960 ticks per quarter note; got %d, %d, %d" %
             (mid.type, len(mid.tracks), mid.ticks_per_beat))
    tempo = [m.tempo for m in mid.tracks[0] if m.type == "set_tempo"]
    sig = [(m.numerator, m.denominator) for m in mid.tracks[0] if m.type == "time_signature"]
    if tempo != [round(60000000 / a.tempo)] or sig != [tuple(a.time_sig)]:
        fail("tempo or time signature meta events: %s %s" % (tempo, sig))
    samples_per_quarter = a.sample_rate * 60.0 / a.tempo

    def to_tick(sample):
        return math.floor(sample / samples_per_quarter * 960 + 0.5)

    expected = notes_from_listing(events, to_tick)
    held, got, tick = {}, [], 0
    for m in mid.tracks[0]:
        tick += m.time
        if m.type not in ("note_on", "note_off"):
            continue
        key = (m.channel, m.note)
        if key in held:
            start, velocity = held.pop(key)
            got.append((m.note, m.channel, velocity, start, tick - start))
        if m.type == "note_on" and m.velocity > 0:
            held[key] = (tick, m.velocity)
    got.sort()
    if not expected:
        fail("the listing holds no notes")
    if got != expected:
        diff = next((i for i, (x, y) in enumerate(zip(got, expected)) if x != y),
                    min(len(got), len(expected)))
        fail("mido reads %d notes, the listing has %d; first difference at note %d: %s vs %s" %
             (len(got), len(expected), diff, got[diff:diff + 1], expected[diff:diff + 1]))
    print("%s: mido reads the %d notes of %s at their ticks and lengths" %
          (os.path.basename(a.midi), len(got), os.path.basename(a.events)))


# --- synth ---------------------------------------------------------------------------------

def check_synth(a):
    if not os.path.exists(a.synth):
        print("SKIP: %s is not installed (package zynaddsubfx-vst)" % a.synth)
        sys.exit(SKIP)
    listing = os.path.join(a.out, "synth.txt")
    wav_path = os.path.join(a.out, "synth.wav")
    start = 1  # mid-pulse: the first note comes a whole pulse into the render
    run([a.tool, "--plugin", a.plugin, "--start", str(start), "--bars", "2",
         "--synth", a.synth, "--wav", wav_path, "--events", listing])
    events = read_listing(listing)
    ons = [t for (t, s, _, d2) in events if s & 0xF0 == 0x90 and d2 > 0]
    if not ons:
        fail("the plug-in sent no note")
    first = ons[0] - start  # frame of the WAV file
    with wave.open(wav_path) as w:
        channels, rate, frames = w.getnchannels(), w.getframerate(), w.getnframes()
        data = w.readframes(frames)
    if w.getsampwidth() != 2 or rate != 44100 or frames != 2 * 88200:
        fail("WAV file: %d-byte samples, %d Hz, %d frames" % (w.getsampwidth(), rate, frames))
    samples = struct.unpack("<%dh" % (frames * channels), data)
    before = samples[:first * channels]
    loudest_before = max((abs(v) for v in before), default=0)
    after = samples[first * channels:(first + rate) * channels]
    rms = math.sqrt(sum(v * v for v in after) / len(after)) / 32768.0
    if first < 1000:
        fail("the first note-on is at frame %d; expected silence before it" % first)
    if loudest_before > 0:
        fail("sound before the first note-on (peak %d)" % loudest_before)
    if rms < 0.005:
        fail("the second after the first note-on is too quiet (RMS %.5f)" % rms)
    print("%s: silence for %d frames, then RMS %.4f over the next second" %
          (os.path.basename(a.synth), first, rms))


def check_wav(a):
    with wave.open(a.wav) as w:
        channels, rate, width, frames = (w.getnchannels(), w.getframerate(), w.getsampwidth(),
                                         w.getnframes())
        data = w.readframes(frames)
    bar = rate * 60.0 / a.tempo * 4 * a.time_sig[0] / a.time_sig[1]
    if width != 2 or rate != a.sample_rate or frames != round(a.bars * bar):
        fail("WAV file: %d-byte samples, %d Hz, %d frames; expected 2, %d, %d" %
             (width, rate, frames, a.sample_rate, round(a.bars * bar)))
    samples = struct.unpack("<%dh" % (frames * channels), data)
    levels = []
    for b in range(a.bars):
        part = samples[round(b * bar) * channels:round((b + 1) * bar) * channels]
        levels.append(math.sqrt(sum(v * v for v in part) / len(part)) / 32768.0)
    quiet = [b + 1 for b, rms in enumerate(levels) if rms < 0.005]
    if quiet:
        fail("%s is (nearly) silent in bar(s) %s" % (os.path.basename(a.wav), quiet))
    peak = max(abs(v) for v in samples)
    peak_db = 20 * math.log10(peak / 32767.0) if peak else -math.inf
    print("%s: sound in each of its %d bars, RMS %.3f to %.3f, peak %d of 32767 (%.2f dBFS)" %
          (os.path.basename(a.wav), a.bars, min(levels), max(levels), peak, peak_db))
    # A normalised file peaks where it was asked to, within the rounding to 16 bits.
    if a.peak_dbfs is not None and abs(peak_db - a.peak_dbfs) > 0.1:
        fail("%s peaks at %.2f dBFS, not at %.1f dBFS" %
             (os.path.basename(a.wav), peak_db, a.peak_dbfs))


# --- state ---------------------------------------------------------------------------------

def check_state(a):
    if not os.path.exists(a.preset):
        print("SKIP: no preset " + a.preset)
        sys.exit(SKIP)
    base = ["--plugin", a.plugin] + COMMON + BARS + ["--param", "Swing=0.30"]
    saved = os.path.join(a.out, "preset-state.bin")
    from_preset = read_listing(render(base, a.tool, a.out, "from-preset",
                                      ["--preset", a.preset, "--save-state", saved]))
    from_state = read_listing(render(base, a.tool, a.out, "from-state", ["--load-state", saved]))
    if len(from_preset) < 40:
        fail("the preset plays only %d events" % len(from_preset))
    if from_preset != from_state:
        fail("--preset and --load-state of its saved state play different events")
    print("%s and its saved state play the same %d events" %
          (os.path.basename(a.preset), len(from_preset)))


# --- parity --------------------------------------------------------------------------------

def check_wine_prefix(a):
    wine_runs.prepare_prefix(a.wine, a.prefix, a.wine32_dlls)


def check_wine32_probe(a):
    wine_runs.probe(a.wine, a.prefix, a.probe)


def render_outputs(cmd, out, tag, env=None):
    """Runs a render command in out, adding the outputs tag+events.txt, tag+events.mid and
    tag+state.bin; answers their bytes and the run's standard error. A status of 0 alone is
    not trusted: wine64 can answer 0 for a 32-bit program that never started."""
    names = [tag + n for n in ("events.txt", "events.mid", "state.bin")]
    for n in names:
        if os.path.exists(os.path.join(out, n)):
            os.remove(os.path.join(out, n))
    p = subprocess.run(cmd + ["--events", names[0], "--midi", names[1], "--save-state",
                              names[2]], cwd=out, env=env, capture_output=True)
    missing = [n for n in names if not os.path.exists(os.path.join(out, n))]
    if p.returncode != 0 or missing:
        fail("%s exited with %d%s: %s" % (" ".join(cmd[:2]), p.returncode,
                                          " without writing " + missing[0] if missing else "",
                                          p.stderr.decode(errors="replace").strip()[-2000:]))
    return [open(os.path.join(out, n), "rb").read() for n in names], p.stderr


def check_parity(a):
    if a.wow64:
        wine_runs.require_wow64(a.prefix)
    for path in (a.wine, a.wine_tool, a.wine_plugin):
        if not os.path.exists(path):
            print("SKIP: %s is missing (build the Windows presets)" % path)
            sys.exit(SKIP)
    out = os.path.join(a.out, a.setting)
    os.makedirs(out, exist_ok=True)
    state = modifier_state(a.tool, a.plugin, out)
    why = unavailable(a.setting, state, a.preset)
    if why:
        print("SKIP: " + why)
        sys.exit(SKIP)
    # Paths relative to the output folder, so the Windows program reads them too.
    args = COMMON + BARS + [os.path.relpath(x, out) if os.path.isabs(x) and os.path.exists(x)
                            else x for x in setting_args(a.setting, state, a.preset)]
    linux, _ = render_outputs([a.tool, "--plugin", a.plugin] + args, out, "")
    windows, _ = render_outputs([a.wine, a.wine_tool, "--plugin",
                                 os.path.relpath(a.wine_plugin, out)] + args, out, "wine-",
                                wine_runs.wine_env(a.prefix))
    dll = os.path.basename(a.wine_plugin)
    for name, mine, theirs in zip(("listing", "MIDI file", "saved state"), linux, windows):
        if mine != theirs:
            fail("%s: the %s differs between %s and %s under wine" %
                 (a.setting, name, os.path.basename(a.plugin), dll))
    events = linux[0].count(b"\n")
    if events < 40:
        fail("%s: only %d events" % (a.setting, events))
    print("%s: %d events, listing, MIDI file and saved state byte-identical from %s "
          "and from %s under wine" % (a.setting, events, os.path.basename(a.plugin), dll))


# --- cli -----------------------------------------------------------------------------------

def check_cli(a):
    not_plugin = os.path.join(a.out, "not-a-plugin.so")
    with open(not_plugin, "w") as f:
        f.write("not a library\n")
    bad_state = os.path.join(a.out, "bad-state.bin")
    with open(bad_state, "wb") as f:
        f.write(b"\x74\x66\x66\x70\x00\x00\x01\x00garbage")
    cases = [
        (2, ["--tempo", "fast"], "--tempo"),
        (2, ["--block", "random:x"], "--block"),
        (2, ["--loop", "9:3"], "--loop"),
        (2, ["--no-such-option"], "--no-such-option"),
        (2, ["--bars"], "--bars"),
        (1, ["--plugin", os.path.join(a.out, "missing.so")], "missing.so"),
        (1, ["--plugin", not_plugin], "not-a-plugin.so"),
        (1, ["--plugin", "/lib/x86_64-linux-gnu/libm.so.6"], "not a VST 2 plug-in"),
        (1, ["--param", "NoSuchParam=1"], "TimeUnits, LengthUnits"),
        (1, ["--param", "Mode=Dorian"], "no parameter \"Mode\""),
        (1, ["--param", "mode=dorian"], "Ionian, Dorian, Phrygian"),
        (1, ["--param", "Tonic=H5"], "C0, C#0"),
        (1, ["--load-state", os.path.join(a.out, "missing.bin")], "missing.bin"),
        (1, ["--load-state", bad_state], "rejected"),
        (1, ["--events", os.path.join(a.out, "no-dir", "e.txt")], "e.txt"),
    ]
    for status, args, needle in cases:
        full = [a.tool] + (["--plugin", a.plugin] if args[0] != "--plugin" else []) + \
            ["--seconds", "0.1"] + args
        p = run(full, check=False)
        err = p.stderr.decode(errors="replace")
        lines = err.strip().split("\n")
        if p.returncode != status:
            fail("%s: exit status %d, expected %d (%s)" % (" ".join(args), p.returncode,
                                                           status, err.strip()))
        if len(lines) != 1 or not lines[0].startswith("orlantix-render: ") or needle not in err:
            fail("%s: expected one line naming %r, got %r" % (" ".join(args), needle, err))
    p = run([a.tool, "--help"])
    if b"VSTPluginMain, open, sample rate, block size, resume" not in p.stdout:
        fail("--help does not state the order of calls")
    print("%d bad command lines answered with one-line errors" % len(cases))


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("check", choices=["cli", "invariance", "midi", "synth", "wav", "state",
                                          "wine-prefix", "wine32-probe", "parity"])
    parser.add_argument("--tool", help="the Linux orlantix-render")
    parser.add_argument("--plugin", help="the Linux plug-in library")
    parser.add_argument("--out", help="a folder for the check's files")
    parser.add_argument("--events")
    parser.add_argument("--midi")
    parser.add_argument("--wav")
    parser.add_argument("--tempo", type=float, default=120.0)
    parser.add_argument("--peak-dbfs", type=float,
                        help="the level the WAV file's loudest sample must reach")
    parser.add_argument("--sample-rate", type=float, default=44100.0)
    parser.add_argument("--time-sig", type=int, nargs=2, default=[4, 4])
    parser.add_argument("--synth")
    parser.add_argument("--preset")
    parser.add_argument("--wine", default=wine_runs.WINE)
    parser.add_argument("--prefix")
    parser.add_argument("--wine32-dlls", help="scripts/wine32-dlls.sh")
    parser.add_argument("--probe", help="the 32-bit probe program")
    parser.add_argument("--wow64", action="store_true",
                        help="the Windows build is 32-bit: skip unless the probe ran it")
    parser.add_argument("--wine-tool")
    parser.add_argument("--wine-plugin")
    parser.add_argument("--setting", choices=sorted(SETTINGS))
    parser.add_argument("--bars", type=int, default=16,
                        help="bars of each invariance run (fewer under the sanitizers)")
    a = parser.parse_args()
    for name in ("tool", "plugin", "out", "events", "midi", "wav", "synth", "preset", "prefix",
                 "wine_tool", "wine_plugin", "probe"):
        if getattr(a, name):
            setattr(a, name, os.path.abspath(getattr(a, name)))
    if a.out:
        os.makedirs(a.out, exist_ok=True)
    {"cli": check_cli, "invariance": check_invariance, "midi": check_midi,
     "synth": check_synth, "wav": check_wav, "state": check_state,
     "wine-prefix": check_wine_prefix, "wine32-probe": check_wine32_probe,
     "parity": check_parity}[a.check](a)


if __name__ == "__main__":
    main()
