#!/usr/bin/env bash
# The main job: the desktop program on the demo projects. examples/demo is copied once into
# build/demo-run (its Projects.DB registers the Delphi project "Demo"), which becomes the working
# directory, with its own program directory build/demo-run/home; later runs go on with it. The
# Lazarus example, examples/lazdemo, is copied beside it and registered as "LazDemo" (its kind
# found from its files).
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
if [ ! -d "$run/lazsrc" ]; then
    cp -r "$top/examples/lazdemo/src" "$run/lazsrc"
    "$top/build/bin/lexorin-cli" project add LazDemo lazsrc >/dev/null 2>&1 ||
        echo "The Lazarus demo could not be registered (lexorin-cli project add LazDemo lazsrc)." >&2
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    if command -v xvfb-run >/dev/null 2>&1; then
        echo "No display: running under Xvfb (nothing to see; use a display to work with it)." >&2
        exec xvfb-run -a "$top/build/bin/lexorin" "$@"
    fi
fi
exec "$top/build/bin/lexorin" "$@"
