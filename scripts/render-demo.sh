#!/usr/bin/env bash
# Renders the demo: the factory default preset for 16 bars at 120 BPM, played by the plug-in
# built beside the renderer, into OUTDIR/demo.mid and OUTDIR/demo.txt; prints a summary and a
# piano roll of the first bars; then reads demo.mid back with Debian's python3-mido and checks
# it holds the notes of demo.txt. Used by `make demo` (OUTDIR = out) and by the test
# render_demo.
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

mkdir -p "$outdir"
"$renderer" --preset "$repo/presets/Default.preset" --bars 16 --tempo 120 \
    --midi "$outdir/demo.mid" --events "$outdir/demo.txt" --summary
echo "wrote $outdir/demo.mid (Standard MIDI File) and $outdir/demo.txt (one line per event)"
/usr/bin/python3 "$repo/tests/render/render_checks.py" midi \
    --midi "$outdir/demo.mid" --events "$outdir/demo.txt"
