#!/usr/bin/env bash
# Pictures of the view on Qt's offscreen platform, for looking at: shots/view-<fractal>.png
# after each fractal command, shots/selection-drag.png and shots/context-menu.png.
# Usage: scripts/view-shots.sh [TEST_BUILD_DIR]   (default: build-test, configured by make test)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-test}
case "$build" in
/*) ;;
*) build="$top/$build" ;;
esac
[ -f "$build/CMakeCache.txt" ] || { echo "no $build: run make test first" >&2; exit 1; }
cmake --build "$build" --target velorine-shots -j "$(nproc)"
mkdir -p "$top/shots"
# The test build is sanitised: its tests' environment.
# shellcheck source=/dev/null
source "$build/tests/test-environment.sh"
VELORINE_SHOTS="$top/shots" "$build/tests/velorine-shots"
echo "wrote the view's pictures into $top/shots"
