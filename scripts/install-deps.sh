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
    xvfb xauth imagemagick            # screenshots and the image-comparison tests
    xdotool xclip                     # the real-display tests: X input and the clipboard
)

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
