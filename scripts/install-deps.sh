#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only those that are missing,
# so a second run is quick and needs no network.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-qpa-plugins      # Qt Widgets and its offscreen platform plugin
    libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-wqy-microhei                # Chinese glyphs for the interface
    qt6-translations-l10n             # Qt's own texts (standard buttons) in Chinese
    xvfb xauth imagemagick            # screenshots and the image-comparison tests
    xdotool xclip                     # the real-display tests: keys, mouse and the clipboard
    libx11-dev                        # the real-display tests: the close box's request
    desktop-file-utils                # the install test validates the desktop entry
    appstream                         # ... and the AppStream metadata
    libpng-dev                        # the renderer's palette PNG
    libcli11-dev                      # the renderer's command line
    libmpfr-dev                       # the deep zoom's reference orbit
    ffmpeg                            # the deep kind's --video and its tests
)
# `install-deps.sh fuzz`: also the compiler and runtime of the libFuzzer build;
# `install-deps.sh package`: also what CPack runs to find the binaries' dependencies, and lintian
# to check the package by hand (lintian -EvIL +pedantic build-package/velorine_*.deb);
# `install-deps.sh mca`: also the llvm-mca that knows Zen 4 and 5, for scripts/mca.sh only.
case "${1:-}" in
fuzz) packages+=(clang libclang-rt-14-dev) ;;
package) packages+=(file dpkg-dev lintian) ;;
mca) packages+=(llvm-19) ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg -s "$p" >/dev/null 2>&1 || ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
