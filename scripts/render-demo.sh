#!/usr/bin/env bash
# Renders the demo: 16 bars at 120 BPM of the plug-in built beside the renderer, into
# OUTDIR/demo.mid and OUTDIR/demo.txt; prints a summary and a piano roll of the first bars;
# then reads demo.mid back with Debian's python3-mido and checks it holds the notes of
# demo.txt. Used by `make demo` (OUTDIR = out) and by the test render_demo.
#
#   scripts/render-demo.sh RENDERER OUTDIR
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: $0 RENDERER OUTDIR" >&2
    exit 2
fi
renderer=$1
outdir=$2
repo=$(cd "$(dirname "$0")/.." && pwd)

# The factory default preset, once the plug-in ships its presets; until then the plug-in's
# own default state plays.
preset=()
if [ -f "$repo/resources/presets/Default.preset" ]; then
    preset=(--preset "$repo/resources/presets/Default.preset")
fi

mkdir -p "$outdir"
"$renderer" "${preset[@]}" --bars 16 --tempo 120 \
    --midi "$outdir/demo.mid" --events "$outdir/demo.txt" --summary
echo "wrote $outdir/demo.mid (Standard MIDI File) and $outdir/demo.txt (one line per event)"
/usr/bin/python3 "$repo/tests/render/render_checks.py" midi \
    --midi "$outdir/demo.mid" --events "$outdir/demo.txt"
