#!/usr/bin/env bash
# Times our form stream conversion next to Free Pascal's Classes unit doing the same conversion
# on the same files, in one run: binary -> text and text -> binary on a generated large form and
# on many small ones. Our side is the streaming conversion from file to file (the driver mode of
# form_conversion_bench); Free Pascal's side is a helper compiled here with fpc -O2 that loads
# each file into a memory stream, converts with ObjectResourceToText / ObjectTextToResource and
# saves the result, its fastest use. Each side is timed as a whole process over REPEAT rounds.
# Besides the value kinds of old forms, the generated forms hold what later Delphi and Free Pascal
# versions write: wide strings, 64-bit integers and embedded frames ("inline"); single, currency
# and date values are left out, since Free Pascal's ObjectBinaryToText cannot convert them.
#   bench/form_conversion_vs_fpc.sh [BUILD_DIR=build] [REPEAT=5]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
repeat=${2:-5}
driver="$build/bin/form_conversion_bench"
[ -x "$driver" ] || { echo "no $driver: build the target form_conversion_bench" >&2; exit 1; }
command -v fpc >/dev/null || { echo "fpc is not installed" >&2; exit 1; }
# In memory where possible: file creation on a disk costs more than converting a small form.
scratch=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch=/dev/shm
work=$(mktemp -d -p "$scratch")
trap 'rm -rf "$work"' EXIT

cat >"$work/formbench.pas" <<'EOF'
program formbench;
{$mode objfpc}{$H+}
uses Classes, SysUtils;
var
  list: TStringList;
  inS, outS: TMemoryStream;
  i, r, rounds: Integer;
  toText: Boolean;
begin
  toText := ParamStr(1) = 'res2txt';
  rounds := StrToInt(ParamStr(3));
  list := TStringList.Create;
  inS := TMemoryStream.Create;
  outS := TMemoryStream.Create;
  try
    list.LoadFromFile(ParamStr(2));
    for r := 1 to rounds do
    begin
      i := 0;
      while i + 1 < list.Count do
      begin
        inS.LoadFromFile(list[i]);
        inS.Position := 0;
        outS.Clear;
        if toText then ObjectResourceToText(inS, outS)
        else ObjectTextToResource(inS, outS);
        outS.SaveToFile(list[i + 1]);
        Inc(i, 2);
      end;
    end;
  finally
    outS.Free;
    inS.Free;
    list.Free;
  end;
end.
EOF
(cd "$work" && fpc -O2 formbench.pas >fpc.log 2>&1) || { cat "$work/fpc.log" >&2; exit 1; }

"$driver" --generate "$work/forms"
mkdir -p "$work/ours" "$work/fpc"
# One list per case and direction: input and output paths on alternate lines.
make_list() {  # name side direction inputs...
    local name=$1 side=$2 dir=$3
    shift 3
    local f base
    for f in "$@"; do
        base=$(basename "$f")
        echo "$f"
        if [ "$dir" = res2txt ]; then echo "$work/$side/${base%.dfm}.txt"; else echo "$work/$side/${base%.txt}.dfm"; fi
    done >"$work/$name-$side-$dir.list"
}
for side in ours fpc; do
    make_list large $side res2txt "$work/forms/large.dfm"
    make_list large $side txt2res "$work/forms/large.txt"
    make_list small $side res2txt "$work/forms/small/"*.dfm
    make_list small $side txt2res "$work/forms/small/"*.txt
done

now() { date +%s.%N; }
timed() {  # seconds taken by the command
    local t0 t1
    t0=$(now)
    "$@" || { echo "failed: $*" >&2; exit 1; }
    t1=$(now)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}
large_mb=$(stat -c %s "$work/forms/large.dfm" | awk '{ printf "%.1f", $1 / 1e6 }')
large_text_mb=$(stat -c %s "$work/forms/large.txt" | awk '{ printf "%.1f", $1 / 1e6 }')
small_count=$(find "$work/forms/small" -name "*.dfm" | wc -l)
small_kb=$(cat "$work/forms/small/"*.dfm | wc -c | awk -v n="$small_count" '{ printf "%.1f", $1 / n / 1e3 }')
echo "large form: $large_mb MB binary, $large_text_mb MB text; $small_count small forms of $small_kb KB binary on average; $repeat rounds"
wide=$(grep -c "^ *WideHint = " "$work/forms/large.txt" || true)
int64=$(grep -c "^ *Size64 = " "$work/forms/large.txt" || true)
frames=$(grep -c "^ *inline " "$work/forms/large.txt" || true)
echo "the large form holds $wide wide strings, $int64 64-bit integers and $frames embedded frames"
printf '%-28s %10s %10s %8s\n' case "ours s" "fpc s" "fpc/ours"
for case in large small; do
    for dir in res2txt txt2res; do
        ours=$(timed "$driver" --convert $dir "$work/$case-ours-$dir.list" "$repeat")
        fpc=$(timed "$work/formbench" $dir "$work/$case-fpc-$dir.list" "$repeat")
        label="$case $( [ $dir = res2txt ] && echo 'binary -> text' || echo 'text -> binary')"
        awk -v l="$label" -v o="$ours" -v f="$fpc" 'BEGIN { printf "%-28s %10.3f %10.3f %8.2f\n", l, o, f, f / o }'
    done
done
# Both sides read the same inputs; their binary outputs must agree byte for byte.
if cmp -s "$work/ours/large.dfm" "$work/fpc/large.dfm"; then
    echo "text -> binary of the large form: identical to Free Pascal's"
else
    echo "text -> binary of the large form: DIFFERS from Free Pascal's"
fi
