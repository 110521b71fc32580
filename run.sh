#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor (with any arguments, e.g. a script).
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what the editor needs, so the first start does not wait for the tests to build.
cmake --build build --target tickora-creator tickora-script tickora_chm

app=build/bin/tickora-creator
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display to show the editor on."
    echo "Start it on a virtual display with:"
    echo "    xvfb-run -a $app $*"
    exit 1
fi
exec "$app" "$@"
