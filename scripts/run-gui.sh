#!/usr/bin/env bash
# The main job: the desktop program on the demo project. examples/demo is copied once into
# build/demo-run (its Projects.DB registers the project "Demo"), which becomes the working
# directory, with its own program directory build/demo-run/home; later runs go on with it.
# Runs on the user's display; without one, under Xvfb: xvfb-run -a ./scripts/run-gui.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
run="$top/build/demo-run"
if [ ! -f "$run/Projects.DB" ]; then
    mkdir -p "$run/home"
    cp -r "$top/examples/demo/." "$run/"
fi
cd "$run"
export LEXORIN_HOME="$run/home"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    if command -v xvfb-run >/dev/null 2>&1; then
        echo "No display: running under Xvfb (nothing to see; use a display to work with it)." >&2
        exec xvfb-run -a "$top/build/bin/lexorin" "$@"
    fi
fi
exec "$top/build/bin/lexorin" "$@"
