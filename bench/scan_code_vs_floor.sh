#!/usr/bin/env bash
# Times lexorin-cli scan-code on the Free Pascal sources next to its floor: the same reading and
# writing done by standard tools. The floor greps every quoted literal, puts the rows into an
# indexed SQLite table in one transaction (python3's sqlite3, executemany), copies the tree with
# cp -r and syncs. Also times the dry run (which writes nothing) and the peak memory of both.
#   bench/scan_code_vs_floor.sh [FPC_SOURCE_DIR] [ROUNDS=1]
# FPC_SOURCE_DIR defaults to the newest /usr/share/fpcsrc/<version>; LEXORIN_BIN names another
# folder of binaries (a Release build). Each round scans a fresh copy; the best round is shown.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin="${LEXORIN_BIN:-$top/build/bin}"
source_dir=${1:-$(ls -d /usr/share/fpcsrc/*/ 2>/dev/null | sort -V | tail -1)}
rounds=${2:-1}
[ -d "$source_dir" ] || { echo "no Free Pascal sources at '$source_dir'" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A copy of the binary: a rebuild during the run must not change what is measured.
cp "$bin/lexorin-cli" "$work/lexorin-cli"
cli="$work/lexorin-cli"

# The units, .pp renamed .pas, in their folders.
copy_units() {
    local to=$1
    (cd "$source_dir" && find . -type f \( -name '*.pas' -o -name '*.pp' \) -print0) |
        while IFS= read -r -d '' f; do
            local dest="$to/${f%.pp}"
            [[ $dest == *.pas ]] || dest="$dest.pas"
            mkdir -p "$(dirname "$dest")"
            cp "$source_dir/$f" "$dest"
        done
}
copy_units "$work/pristine"
echo "units: $(find "$work/pristine" -name '*.pas' | wc -l)," \
    "$(cat $(find "$work/pristine" -name '*.pas') | wc -l) lines," \
    "$(du -sm "$work/pristine" | cut -f1) MB"

now() { date +%s.%N; }
# Peak resident memory in MB of the command's run, from /usr/bin/time -v.
peak_mb() { awk -F: '/Maximum resident/ { printf "%.0f", $2 / 1024 }' "$1"; }

cat >"$work/rows.py" <<'EOF'
import sqlite3, sys
rows = []
for number, line in enumerate(sys.stdin.buffer, 1):
    name, _, text = line.rstrip(b"\n").partition(b":")
    rows.append((number, name.decode("latin-1"), text.decode("latin-1")))
db = sqlite3.connect(sys.argv[1])
db.execute("create table strings (idx integer primary key, unit text, original text)")
db.execute("create index strings_unit on strings (unit)")
with db:
    db.executemany("insert into strings values (?, ?, ?)", rows)
db.close()
EOF

# The trees of a round are all copied, and synced, before any is timed: the copying (and the
# removal of an earlier round's trees) must not write to the disk while a command is timed.
prepare_round() {
    local r=$1
    rm -rf "$work"/round-*
    mkdir -p "$work/round-$r/floor" "$work/round-$r/scan/home" "$work/round-$r/dry/home"
    cp -r "$work/pristine" "$work/round-$r/floor/src"
    for mode in scan dry; do
        local dir="$work/round-$r/$mode"
        cp -r "$work/pristine" "$dir/src"
        (cd "$dir" && export LEXORIN_HOME="$dir/home" &&
            "$cli" project add Fpc src >/dev/null 2>&1 &&
            "$cli" language add Fpc German >/dev/null 2>&1)
    done
    sync
    sleep 2
}

# The floor: every literal found, stored in an indexed table, the tree written once, synced.
floor_round() {
    local dir=$1 t0 t1
    t0=$(now)
    (cd "$dir" && find src -name '*.pas' -print0 | xargs -0 grep -o "'[^']*'" |
        python3 "$work/rows.py" "$dir/strings.db" && cp -r src copy && sync)
    t1=$(now)
    echo "$t1 - $t0" | bc -l
}

# The project: Cignoreinterface as the default, one language.
scan_round() {
    local dir=$1 mode=$2 t0 t1 args=(--yes scan-code Fpc German)
    [ "$mode" = dry ] && args+=(--dry-run)
    t0=$(now)
    (cd "$dir" && export LEXORIN_HOME="$dir/home" &&
        /usr/bin/time -v -o "$dir/time.txt" "$cli" "${args[@]}" >"$dir/scan.out" 2>"$dir/scan.log" &&
        sync)
    t1=$(now)
    echo "$(echo "$t1 - $t0" | bc -l) $(peak_mb "$dir/time.txt")"
}

best() { sort -g | head -1; }
floor_times=() scan_times=() dry_times=() scan_peak=0 dry_peak=0
for ((r = 1; r <= rounds; ++r)); do
    prepare_round "$r"
    floor_times+=("$(floor_round "$work/round-$r/floor")")
    read -r t m < <(scan_round "$work/round-$r/scan" full)
    scan_times+=("$t") && ((m > scan_peak)) && scan_peak=$m
    tail -2 "$work/round-$r/scan/scan.log" | head -1 | sed 's/^/  scan: /'
    read -r t m < <(scan_round "$work/round-$r/dry" dry)
    dry_times+=("$t") && ((m > dry_peak)) && dry_peak=$m
    echo "round $r: floor ${floor_times[-1]} s, scan-code ${scan_times[-1]} s," \
        "dry run ${dry_times[-1]} s"
done
floor=$(printf '%s\n' "${floor_times[@]}" | best)
scan=$(printf '%s\n' "${scan_times[@]}" | best)
dry=$(printf '%s\n' "${dry_times[@]}" | best)
awk -v f="$floor" -v s="$scan" -v d="$dry" -v sp="$scan_peak" -v dp="$dry_peak" 'BEGIN {
    printf "floor (grep -o + sqlite + cp -r + sync): %.2f s\n", f;
    printf "scan-code:                               %.2f s (peak %d MB)\n", s, sp;
    printf "scan-code --dry-run:                     %.2f s (peak %d MB)\n", d, dp;
    printf "ratio scan-code / floor:                 %.2f\n", s / f }'
