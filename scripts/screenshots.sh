#!/usr/bin/env bash
# Pictures of the project window, its Exchange menu, both scan dialogs and the translation
# editor on the demo project, in docs/screenshots. Runs the program under Xvfb (a real X server)
# when xvfb-run is there, else on the offscreen platform; the program grabs its own windows.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cli="$top/build/bin/lexorin-cli"
run="$top/build/screenshot-run"
rm -rf "$run"
mkdir -p "$run/home"
cp -r "$top/examples/demo/src" "$run/src"
cd "$run"
export LEXORIN_HOME="$run/home"
"$cli" project add Demo src --exclude src/tools >/dev/null 2>&1
"$cli" language add Demo German >/dev/null 2>&1
"$cli" --yes scan-code Demo German >/dev/null 2>&1
"$cli" scan-forms Demo German >/dev/null 2>&1
"$cli" translate Demo German 1 'Hallo, ' >/dev/null 2>&1
"$cli" translate Demo German 2 'Auf Wiedersehen' >/dev/null 2>&1
out="$top/docs/screenshots"
mkdir -p "$out"
if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1024x768x24" "$top/build/bin/lexorin" --screenshots "$out"
else
    QT_QPA_PLATFORM=offscreen "$top/build/bin/lexorin" --screenshots "$out"
fi
ls "$out"
