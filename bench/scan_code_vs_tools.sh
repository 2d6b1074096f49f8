#!/usr/bin/env bash
# Times lexorin-cli scan-code on a synthetic project next to the least that standard tools need
# for the same reading and writing: grep -o over every unit plus a cp -r of the tree.
#   bench/scan_code_vs_tools.sh [UNITS=2000] [LINES=500]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin="$top/build/bin"
units=${1:-2000}
lines=${2:-500}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/make_synthetic_project" "$work/src" "$units" "$lines"
mkdir -p "$work/home"
cd "$work"
export LEXORIN_HOME="$work/home"
"$bin/lexorin-cli" project add Bench src >/dev/null 2>&1
"$bin/lexorin-cli" project set Bench Cignoreinterface false
"$bin/lexorin-cli" language add Bench German >/dev/null 2>&1
sync
now() { date +%s.%N; }
t0=$(now)
find src -name '*.pas' -print0 | xargs -0 grep -o "'[^']*'" >/dev/null
cp -r src copy
sync
t1=$(now)
"$bin/lexorin-cli" --yes scan-code Bench German 2>"$work/scan.log" >/dev/null
sync
t2=$(now)
tail -1 "$work/scan.log"
awk -v a="$t0" -v b="$t1" -v c="$t2" 'BEGIN {
    tools = b - a; scan = c - b;
    printf "grep + cp -r: %.2f s\nscan-code:    %.2f s\nratio:        %.1f\n", tools, scan, scan / tools }'
