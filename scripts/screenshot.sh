#!/usr/bin/env bash
# Pictures of the main window on a virtual X display: shots/main.png (menu bar, toolbar,
# status bar) and shots/menu.png (the Fractal menu open). scripts/view-shots.sh makes the
# view's own pictures offscreen.
# Usage: scripts/screenshot.sh [BUILD_DIR]   (default: build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case "$build" in
/*) program="$build/app/velorine" ;;
*) program="$top/$build/app/velorine" ;;
esac
[ -x "$program" ] || { echo "no $program: build first" >&2; exit 1; }
mkdir -p "$top/shots"
if [ -z "${VELORINE_IN_XVFB:-}" ]; then
    exec env VELORINE_IN_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shoot() {   # shoot NAME [ENV...]
    local name=$1
    shift
    (cd "$work" && exec env VELORINE_INSTANCE_NAME="velorine-shot-$$" "$@" "$program") &
    local pid=$!
    sleep 4
    import -window root -crop 560x640+0+0 "$top/shots/$name.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}
shoot main
shoot menu VELORINE_OPEN_MENU=2
echo "wrote $top/shots/main.png and $top/shots/menu.png"
