#!/usr/bin/env bash
# Times lexorin-cli write-code ("strings.org", "strings.tra" and the glue files) on a synthetic
# project whose code scan gives about 250,000 rows (three literals every nine lines).
#   bench/write_code_rows.sh [ROUNDS=3] [UNITS=1000] [LINES=760]
# LEXORIN_BIN picks the programs (default build/bin; an optimised build-release/bin if present).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [[ -n ${LEXORIN_BIN:-} ]]; then
    bin=$LEXORIN_BIN
elif [[ -x $top/build-release/bin/lexorin-cli ]]; then
    bin=$top/build-release/bin
else
    bin=$top/build/bin
fi
rounds=${1:-3}
units=${2:-1000}
lines=${3:-760}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_project=$bin/make_synthetic_project
[[ -x $make_project ]] || make_project=$top/build/bin/make_synthetic_project
"$make_project" "$work/src" "$units" "$lines"
mkdir -p "$work/home"
cd "$work"
export LEXORIN_HOME="$work/home"
"$bin/lexorin-cli" project add Bench src >/dev/null 2>&1
"$bin/lexorin-cli" project set Bench Cignoreinterface false
"$bin/lexorin-cli" language add Bench German >/dev/null 2>&1
"$bin/lexorin-cli" --yes scan-code Bench German 2>"$work/scan.log" >/dev/null
echo "$(tail -1 "$work/scan.log"); programs of $bin"
sync

now() { date +%s.%N; }
best=
for ((round = 1; round <= rounds; ++round)); do
    t0=$(now)
    "$bin/lexorin-cli" write-code Bench German >/dev/null 2>&1
    sync
    t1=$(now)
    took=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
    best=$(awk -v a="$best" -v b="$took" 'BEGIN { print (a == "" || b < a) ? b : a }')
    echo "round $round: $took s"
done
rows=$(grep -c "^  s_" src/strings.org || true)
echo "$rows rows in strings.org, $(wc -c <src/strings.tra) bytes in strings.tra"
awk -v b="$best" -v n="$rounds" 'BEGIN { printf "write-code, best of %d: %.2f s\n", n, b }'
