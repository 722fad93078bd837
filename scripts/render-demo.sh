#!/usr/bin/env bash
# Renders the demo: the factory preset "Modifier Play" (a twelve-chord progression with
# arpeggiated melodies, a groove and both modifier sequencers at work) for 16 bars at 120 BPM,
# played by the plug-in built beside the renderer, into OUTDIR/demo.mid and OUTDIR/demo.txt,
# and through Debian's ZynAddSubFX (package zynaddsubfx-vst) into OUTDIR/demo.wav, normalised
# to a peak of -1 dBFS (the synthesiser alone peaks near -20 dBFS, a quiet first listen);
# prints a summary and a piano roll of the first bars. Then checks the outputs with code that
# shares nothing with the renderer: demo.mid read back with python3-mido holds the notes of
# demo.txt, and demo.wav sounds in every bar and peaks at -1 dBFS. Used by `make demo` (OUTDIR = out) and by the test
# render_demo.
#
#   scripts/render-demo.sh RENDERER OUTDIR [SYNTH]
set -euo pipefail
if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    echo "usage: $0 RENDERER OUTDIR [SYNTH]" >&2
    exit 2
fi
renderer=$1
outdir=$2
synth=${3:-/usr/lib/vst/ZynAddSubFX.so}
repo=$(cd "$(dirname "$0")/.." && pwd)
checks="$repo/tests/render/render_checks.py"
peak=-1

mkdir -p "$outdir"
audio=()
if [ -f "$synth" ]; then
    audio=(--synth "$synth" --wav "$outdir/demo.wav" --wav-peak "$peak")
else
    echo "no synthesiser at $synth (Debian package zynaddsubfx-vst): no demo.wav this time" >&2
fi
# ZynAddSubFX announces its OSC server on every load; nothing else the render says is dropped.
log="$outdir/demo-render.log"
if ! "$renderer" --preset "$repo/presets/Modifier Play.preset" --bars 16 --tempo 120 \
    --midi "$outdir/demo.mid" --events "$outdir/demo.txt" "${audio[@]}" --summary 2>"$log"; then
    cat "$log" >&2
    exit 1
fi
grep -v '^lo server running on ' "$log" >&2 || true
rm -f "$log"
echo "wrote $outdir/demo.mid (Standard MIDI File) and $outdir/demo.txt (one line per event)"
/usr/bin/python3 "$checks" midi --midi "$outdir/demo.mid" --events "$outdir/demo.txt"
if [ ${#audio[@]} -gt 0 ]; then
    echo "wrote $outdir/demo.wav (16-bit stereo, 44100 Hz, peak $peak dBFS) through $(basename "$synth")"
    /usr/bin/python3 "$checks" wav --wav "$outdir/demo.wav" --bars 16 --tempo 120 \
        --peak-dbfs "$peak"
fi
