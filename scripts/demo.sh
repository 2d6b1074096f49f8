#!/usr/bin/env bash
# The main job on the demo project, headless: a fresh copy of examples/demo in build/demo-run,
# with its own program directory, so the examples stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
cli="$PWD/build/bin/lexorin-cli"
run="$PWD/build/demo-run"
rm -rf "$run"
mkdir -p "$run/home"
cp -r examples/demo/src "$run/src"
cd "$run"
export LEXORIN_HOME="$run/home"
"$cli" project add Demo src --exclude src/tools
"$cli" language add Demo German
"$cli" language add Demo French
"$cli" project show Demo
echo "Tables in $LEXORIN_HOME:"
ls "$LEXORIN_HOME"
"$cli" strings Demo German
# Project operations: back the sources up, ask for the status, hand the strings to translators'
# tools and back, and check the translations (a non-zero exit when one is faulty).
"$cli" backup Demo
"$cli" status Demo German
"$cli" export-po Demo German "$run/Demo_German.po"
if command -v msgfmt >/dev/null; then msgfmt --check -o /dev/null "$run/Demo_German.po"; fi
"$cli" import-po Demo German "$run/Demo_German.po"
"$cli" check Demo German
# Forms: scan the binary form aboutbox.dfm and the text form mainform.dfm, translate two of their
# strings and write the translated forms (.tra) beside them, each in its form's own format.
"$cli" scan-forms Demo German
"$cli" strings Demo German --kind forms
"$cli" translate Demo German 1 'Info zur Demo' --kind forms
"$cli" translate Demo German 9 'Demo-Hauptfenster' --kind forms
"$cli" write-forms Demo German
"$cli" form-to-text src/aboutbox.tra "$run/aboutbox.tra.txt"
cat "$run/aboutbox.tra.txt"
cat src/mainform.tra
