#!/usr/bin/env bash
# Times restore-code on a generated unit whose one statement line holds LITERALS literals
# ('Text 0' + 'Text 1' + ...): scan-code, then restore-code through lexorin-cli. Prints the size
# of the line, the seconds and peak memory of both commands (peak memory needs /usr/bin/time,
# Debian's package "time"), the bytes restore-code put on stdout, and whether the unit came back
# byte for byte.
#   bench/restore_code_one_line.sh [LITERALS=40000]
# Needs the target lexorin-cli.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cli="$top/build/bin/lexorin-cli"
literals=${1:-40000}
if [ ! -x "$cli" ]; then
    echo "$cli is missing: cmake --build build --target lexorin-cli" >&2
    exit 2
fi
work=$(mktemp -d)
trap '[ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/src"
cd "$work"
export LEXORIN_HOME="$work/home"

# The unit with CR LF line ends, as a restore writes it, so that it must come back unchanged.
awk -v n="$literals" 'BEGIN {
    ORS = "\r\n"
    print "unit big;"; print "interface"; print "uses SysUtils;"; print "implementation"
    print "procedure Run;"; print "var S: string;"; print "begin"
    printf "  S := "
    for (i = 0; i < n; i++) printf "%s\047Text %d\047", (i ? " + " : ""), i
    print ";"
    print "end;"; print "end."
}' >src/big.pas
cp src/big.pas original.pas
"$cli" project add Big src >/dev/null 2>&1
"$cli" language add Big German >/dev/null 2>&1

# Runs a command with its output into the files OUT and ERR, printing
# "<label>: <seconds> s, peak <MB> MB".
measure() {
    local label=$1 out=$2 err=$3
    shift 3
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -o "$work/time" -f "%e %M" "$@" >"$out" 2>"$err"
        read -r seconds kb <"$work/time"
        echo "$label: $seconds s, peak $((kb / 1024)) MB"
    else
        local start end
        start=$(date +%s.%N)
        "$@" >"$out" 2>"$err"
        end=$(date +%s.%N)
        awk -v a="$start" -v b="$end" -v l="$label" \
            'BEGIN { printf "%s: %.2f s (no /usr/bin/time: peak memory not measured)\n", l, b - a }'
    fi
}

echo "$literals literals on one line of $(awk 'NR == 8 { print length($0) }' original.pas) bytes"
measure scan-code /dev/null "$work/scan.log" "$cli" --yes scan-code Big German
measure restore-code "$work/restore.out" "$work/restore.log" "$cli" restore-code Big German
echo "restore-code stdout: $(wc -c <"$work/restore.out") bytes, stderr: $(wc -c <"$work/restore.log") bytes"
grep "strings restored" "$work/restore.log"
if cmp -s original.pas src/big.pas; then
    echo "the unit came back byte for byte"
else
    echo "the unit differs from the original"
    exit 1
fi
