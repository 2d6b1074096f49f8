#!/usr/bin/env bash
# The main job on the demo project, headless (the command-line face): a fresh copy of
# examples/demo in build/demo-run, with its own program directory, so the examples stay as they
# are. Registers the project, backs it up, scans code and forms, translates a few strings, writes
# the results and, when Free Pascal is there, compiles and runs the translated program.
set -euo pipefail
cd "$(dirname "$0")/.."
cli="$PWD/build/bin/lexorin-cli"
run="$PWD/build/demo-run-cli"
rm -rf "$run"
mkdir -p "$run/home"
cp -r examples/demo/src "$run/src"
cd "$run"
export LEXORIN_HOME="$run/home"
step() { printf '\n== %s\n' "$*"; }

step "Register the project and two languages"
"$cli" project add Demo src --exclude src/tools
"$cli" language add Demo German
"$cli" language add Demo French
"$cli" project show Demo
step "Back the sources up before anything is rewritten"
"$cli" backup Demo

step "Scan the code (first what it would do), translate, write the resource strings"
"$cli" scan-code Demo German --dry-run
"$cli" --yes scan-code Demo German
"$cli" strings Demo German
"$cli" translate Demo German 1 'Hallo, '
"$cli" translate Demo German 2 'Auf Wiedersehen'
"$cli" translate Demo German 4 '%d Dinge'
"$cli" write-code Demo German

step "Scan the forms (a binary and a text form), translate two strings, write the translated forms (.tra.res)"
"$cli" scan-forms Demo German
"$cli" strings Demo German --kind forms
"$cli" translate Demo German 1 'Info zur Demo' --kind forms
"$cli" translate Demo German 9 'Demo-Hauptfenster' --kind forms
"$cli" write-forms Demo German
"$cli" form-to-text src/aboutbox.tra.res "$run/aboutbox.tra.txt"
cat "$run/aboutbox.tra.txt"

step "Status, exchange with translators' tools, checks"
"$cli" status Demo German
"$cli" export-po Demo German "$run/Demo_German.po"
if command -v msgfmt >/dev/null; then msgfmt --check -o /dev/null "$run/Demo_German.po"; fi
"$cli" import-po Demo German "$run/Demo_German.po"
"$cli" check Demo German || true  # exits 1 when a translation has a problem

if command -v fpc >/dev/null; then
    step "Compile the rewritten program: original strings, then the translation"
    cd src
    mkdir -p out
    fpc -Mdelphi -FEout demo.dpr >/dev/null && ./out/demo
    sed -i 's/{.$define TranslatedStrings}/{$define TranslatedStrings}/' lx_lang.inc
    rm -rf out && mkdir -p out
    fpc -Mdelphi -FEout demo.dpr >/dev/null && ./out/demo
fi
