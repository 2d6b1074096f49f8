#!/usr/bin/env bash
# Times lexorin-cli scan-forms and write-forms on the real Lazarus forms Debian ships
# (lazarus-src-2.2) next to the least that standard tools need for the same reading and writing:
# grep -o of the quoted strings, the strings as rows into an indexed SQLite table in one
# transaction (python3's sqlite3, executemany), a cp of the forms and a sync.
#   bench/forms_vs_floor.sh [ROUNDS=3] [LAZARUS_DIR]
# Each round works on a fresh copy in a fresh project of kind Lazarus: a first scan-forms fills the
# forms table, every row gets a translation (export-po, each msgstr made "DE " + msgid, import-po;
# a round trip through ISO-8859-1, which takes every byte, since a few forms hold bytes that are no
# UTF-8), scan-forms runs again over the translated rows, then write-forms writes a .tra.res
# beside every form. The best time of each is shown.
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
lazarus=${2:-}
if [[ -z $lazarus ]]; then
    for dir in /usr/share/lazarus/2.2.6 /usr/lib/lazarus/2.2.6; do
        [[ -d $dir ]] && lazarus=$dir && break
    done
fi
[[ -d ${lazarus:-} ]] || { echo "no Lazarus source tree (install lazarus-src-2.2)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The pristine forms, in their folders: those of the package lazarus-src-2.2 when dpkg knows it
# (the tree holds forms of other packages too), else every one under the tree.
mkdir -p "$work/forms"
if dpkg -L lazarus-src-2.2 >/dev/null 2>&1; then
    dpkg -L lazarus-src-2.2 | grep '\.lfm$' | grep "^$lazarus/" | sed "s|^$lazarus/||" >"$work/list"
else
    (cd "$lazarus" && find . -name '*.lfm') >"$work/list"
fi
(cd "$lazarus" && xargs -d '\n' cp --parents -t "$work/forms" <"$work/list")
count=$(find "$work/forms" -name '*.lfm' | wc -l)
bytes=$(find "$work/forms" -name '*.lfm' -print0 | du -cb --files0-from=- | tail -1 | cut -f1)
echo "$count forms, $bytes bytes of form text, from $lazarus; programs of $bin"

# Every msgstr of a PO file becomes "DE " followed by its msgid (the header stays).
translate_po='
/^msgid / { id = substr($0, 7); cont = ""; inid = 1; print; next }
/^"/ && inid { cont = cont "\n" $0; print; next }
/^msgstr ""$/ && inid && !(id == "\"\"" && cont == "") {
    inid = 0; printf "msgstr \"DE \"\n%s%s\n", id, cont; next }
{ inid = 0; print }'

# Rows into an indexed table, one transaction: the store's least work for the strings found.
floor_sql='
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute("create table rows (form text, object text, property text, original text, "
           "translation text)")
db.execute("create unique index by_key on rows (form, object, property)")
rows = [(line.split(":", 1)[0], str(n), "Caption.0", line, "") for n, line in
        enumerate(sys.stdin.read().splitlines())]
with db:
    db.executemany("insert into rows values (?, ?, ?, ?, ?)", rows)
db.close()'

now() { date +%s.%N; }
# Seconds between two stamps, and the smaller of a best so far and a new time.
took() { awk -v a="$1" -v b="$2" 'BEGIN { print b - a }'; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
floor_best= first_best= scan_best= write_best=
for ((round = 1; round <= rounds; ++round)); do
    run="$work/run$round"
    mkdir -p "$run/home"
    cp -r "$work/forms" "$run/src"
    cd "$run"
    export LEXORIN_HOME="$run/home"
    "$bin/lexorin-cli" project add Bench src --kind Lazarus >/dev/null 2>&1
    "$bin/lexorin-cli" language add Bench German >/dev/null 2>&1
    sync

    t0=$(now)
    find src -name '*.lfm' -print0 | xargs -0 grep -o "'[^']*'" |
        python3 -c "$floor_sql" "$run/floor.db"
    cp -r src copy
    sync
    t1=$(now)
    # The first scan appends every row, a commit per batch of forms in each table.
    "$bin/lexorin-cli" scan-forms Bench German 2>"$run/first.log" >/dev/null
    sync
    t2=$(now)

    "$bin/lexorin-cli" export-po Bench German all.po --code-page ISO-8859-1 >/dev/null 2>&1
    awk "$translate_po" all.po >translated.po
    "$bin/lexorin-cli" import-po Bench German translated.po --code-page ISO-8859-1 \
        >/dev/null 2>"$run/import.log"
    sync
    # The scan of a translated project: every string looked up, none changed.
    t3=$(now)
    "$bin/lexorin-cli" scan-forms Bench German 2>"$run/scan.log" >/dev/null
    sync
    t4=$(now)
    "$bin/lexorin-cli" write-forms Bench German 2>"$run/write.log" >/dev/null
    sync
    t5=$(now)

    echo "round $round: $(tail -1 "$run/scan.log"); $(tail -1 "$run/write.log")"
    floor_best=$(best "$floor_best" "$(took "$t0" "$t1")")
    first_best=$(best "$first_best" "$(took "$t1" "$t2")")
    scan_best=$(best "$scan_best" "$(took "$t3" "$t4")")
    write_best=$(best "$write_best" "$(took "$t4" "$t5")")
    cd "$work"
    rm -rf "$run"
done
awk -v f="$floor_best" -v s1="$first_best" -v s="$scan_best" -v w="$write_best" -v n="$rounds" '
BEGIN {
    printf "best of %d\nfloor (grep, sqlite3, cp, sync): %.2f s\n", n, f
    printf "scan-forms, first scan:      %.2f s  ratio %.1f\n", s1, s1 / f
    printf "scan-forms, translated rows: %.2f s  ratio %.1f\n", s, s / f
    printf "write-forms:                 %.2f s  ratio %.1f\n", w, w / f }'
