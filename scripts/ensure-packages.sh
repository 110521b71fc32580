#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

packages=(build-essential cmake ninja-build qt6-base-dev qt6-webengine-dev libchm-dev fp-utils
          xvfb xauth clang libclang-rt-14-dev fonts-dejavu-core desktop-file-utils
          qt6-image-formats-plugins xdotool clang-format)

# The runtime's browser scenarios: three engines and Node (a Node that brings its own npm is kept).
packages+=(chromium firefox-esr webkit2gtk-driver)
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
