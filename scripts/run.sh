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
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (DISPLAY / WAYLAND_DISPLAY unset)." >&2
    echo "Try: xvfb-run -a make run, or run on a desktop session." >&2
    exit 1
fi
# File operands are named from the folder they were typed in: absolute before the change of
# folder. Options pass as given, with the value of those Qt reads from the next argument; after
# "--" every argument is a file.
from=$(pwd)
args=()
value=no
files=no
for arg in "$@"; do
    if [ "$value" = yes ]; then
        value=no
    elif [ "$files" = no ] && [ "$arg" = "--" ]; then
        files=yes
        continue
    elif [ "$files" = no ]; then
        case "$arg" in
        -platform | -platformpluginpath | -platformtheme | -plugin | -style | -stylesheet | \
            -session | -display | -name | -title | -icon | -geometry | -qwindowgeometry | \
            -qwindowicon | -qwindowtitle | -qwindowscreen | --platform | --style | \
            --stylesheet | --display)
            value=yes ;;
        -?*) ;;
        /* | '') ;;
        *) arg="$from/$arg" ;;
        esac
    elif [[ -n "$arg" && "$arg" != /* ]]; then
        arg="$from/$arg"
    fi
    args+=("$arg")
done
cd "$work"
exec "$top/$build/app/velorine" "${args[@]}"
