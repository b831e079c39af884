#!/usr/bin/env bash
# Starts the program from a working folder of its own: it writes temp.bmp and
# Velorine256.rgb into its current directory and looks for VELORINE.HLP there.
set -euo pipefail
build=${1:-build}
shift || true
top=$(cd "$(dirname "$0")/.." && pwd)
work="${XDG_DATA_HOME:-$HOME/.local/share}/velorine"
mkdir -p "$work"
if [ -f "$top/res/VELORINE.HLP" ]; then
    cp -f "$top/res/VELORINE.HLP" "$work/VELORINE.HLP"
fi
cd "$work"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (DISPLAY / WAYLAND_DISPLAY unset)." >&2
    echo "Try: xvfb-run -a make run, or run on a desktop session." >&2
    exit 1
fi
exec "$top/$build/app/velorine" "$@"
