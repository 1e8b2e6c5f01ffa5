#!/usr/bin/env bash
# The one list of Debian packages Draftel needs to build, test and run.
# Installs only what is missing; works as root or through sudo.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-tools-dev qt6-l10n-tools
    qt6-svg-dev               # SVG pictures of designs
    libgl-dev
    fonts-liberation          # metric-compatible face for "Arial" (block labels)
    libgtest-dev libbenchmark-dev
    xvfb xdotool imagemagick python3   # the end-to-end test under a real X server
    dpkg-dev file             # cpack -G DEB: dependencies computed from the programs (dpkg-shlibdeps)
    poppler-utils             # pdftotext and pdftoppm read printed pages back in tests
    desktop-file-utils libxml2-utils shared-mime-info   # check the installed desktop entry and file types
    clang-14 libclang-rt-14-dev   # libFuzzer targets and sanitizer runtime
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "install-deps: missing packages (${missing[*]}) and no root rights to install them" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
