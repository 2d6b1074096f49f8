#!/usr/bin/env bash
# Times import-po on a generated project: scan-code, export-po, every entry given a translation
# ("DE " before its original), then import-po through lexorin-cli, with the disk synced before
# the clock starts. Prints the number of entries and the seconds the import took.
#   bench/import_po_time.sh [UNITS=400] [LINES=500]
# 400 units of 500 lines hold about 65,000 strings. Needs the targets lexorin-cli and
# make_synthetic_project. KEEP_WORK=1 keeps the scratch folder (its path is printed) for a
# profiler.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin="$top/build/bin"
units=${1:-400}
lines=${2:-500}
for program in lexorin-cli make_synthetic_project; do
    if [ ! -x "$bin/$program" ]; then
        echo "$bin/$program is missing: cmake --build build --target $program" >&2
        exit 2
    fi
done
work=$(mktemp -d)
if [ -n "${KEEP_WORK:-}" ]; then echo "scratch folder: $work"; else trap 'rm -rf "$work"' EXIT; fi
"$bin/make_synthetic_project" "$work/src" "$units" "$lines"
mkdir -p "$work/home"
cd "$work"
export LEXORIN_HOME="$work/home"
cli="$bin/lexorin-cli"
"$cli" project add Bench src >/dev/null 2>&1
"$cli" project set Bench Cignoreinterface false
"$cli" language add Bench German >/dev/null 2>&1
"$cli" --yes scan-code Bench German >/dev/null 2>&1
"$cli" export-po Bench German exported.po >/dev/null 2>&1
# Every msgid of one line gets its msgstr "DE " + the original; the header (msgid "") stays.
awk '/^msgid "/ { id = substr($0, 8); print; next }
     /^msgstr ""$/ && id != "\"" { print "msgstr \"DE " id; next }
     { print }' exported.po >translated.po
entries=$(grep -c '^msgctxt ' translated.po)
sync
now() { date +%s.%N; }
t0=$(now)
"$cli" import-po Bench German translated.po 2>import.log >/dev/null
t1=$(now)
tail -1 import.log
awk -v n="$entries" -v a="$t0" -v b="$t1" 'BEGIN { printf "import-po of %d entries: %.2f s\n", n, b - a }'
