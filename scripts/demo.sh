#!/usr/bin/env bash
# The main job on the demo project, headless (the command-line face): a fresh copy of
# examples/demo in build/demo-run, with its own program directory, so the examples stay as they
# are. Registers the project, backs it up, scans code and forms, translates a few strings, writes
# the results and, when Free Pascal is there, compiles and runs the translated program.
set -euo pipefail
cd "$(dirname "$0")/.."
top="$PWD"
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

step "A Lazarus program: its kind (units, forms, UTF-8 text, build command) found from its files"
cd "$run"
cp -r "$top/examples/lazdemo/src" "$run/lazsrc"
"$cli" project add LazDemo lazsrc
"$cli" language add LazDemo German
"$cli" --yes scan-code LazDemo German
"$cli" scan-forms LazDemo German
"$cli" strings LazDemo German
"$cli" strings LazDemo German --kind forms
"$cli" translate LazDemo German 2 'Größe: %d Äpfel'
"$cli" translate LazDemo German 3 'Willkommen zur Lazarus-Demo' --kind forms
"$cli" write-code LazDemo German
"$cli" write-forms LazDemo German
lcl=$(ls -d /usr/lib/lazarus/*/lcl/units/x86_64-linux 2>/dev/null | tail -1)
if command -v fpc >/dev/null && [ -n "$lcl" ]; then
    step "Build the Lazarus program with both translations switched on (the LCL without a display)"
    cd lazsrc
    sed -i 's/{.$define TranslatedStrings}/{$define TranslatedStrings}/; s/{.$define TranslatedForm}/{$define TranslatedForm}/' lx_lang.inc
    mkdir -p out
    fpc -MObjFPC -Scghi -FEout -Fu"$lcl" -Fu"$lcl/nogui" -Fu"$lcl/../../../components/lazutils/lib/x86_64-linux" \
        -dLCL -dLCLnogui lazdemo.lpr >/dev/null && echo "Built lazsrc/out/lazdemo (German)."
fi
