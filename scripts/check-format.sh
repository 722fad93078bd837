#!/usr/bin/env bash
# Fails when a tracked C++ source of ours differs from what clang-format makes of it.
set -euo pipefail
clang_format=${1:-clang-format}
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.h' '*.cpp' '*.hpp' '*.cc' | grep -v -E '^(third_party|build)/' || true)
[ ${#files[@]} -eq 0 ] && exit 0
"$clang_format" --dry-run --Werror "${files[@]}"
