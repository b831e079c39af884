#!/usr/bin/env bash
# Pictures on Qt's offscreen platform, for looking at: shots/view-<fractal>.png after each
# fractal command, shots/selection-drag.png, shots/context-menu.png, and the main window
# (window-main.png, window-menu-<n>.png with each top-level menu open, window-dialog-<name>.png
# for the three parameter dialogs, window-about.png).
# Usage: scripts/view-shots.sh [TEST_BUILD_DIR [OUT_DIR]]   (default: build-test, configured by
# make test, and shots/)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-test}
case "$build" in
/*) ;;
*) build="$top/$build" ;;
esac
[ -f "$build/CMakeCache.txt" ] || { echo "no $build: run make test first" >&2; exit 1; }
cmake --build "$build" --target velorine-shots -j "$(nproc)"
out=${2:-$top/shots}
mkdir -p "$out"
# The test build is sanitised: its tests' environment.
# shellcheck source=/dev/null
source "$build/tests/test-environment.sh"
VELORINE_SHOTS="$out" "$build/tests/velorine-shots"
echo "wrote the pictures into $out"
