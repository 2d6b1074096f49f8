#!/usr/bin/env bash
# Times the whole road on a generated program of many strings: scan-code, the PO round trip,
# write-code and the two fpc builds (original and translated strings). It runs the road test
# ManyStrings (tests/road/many_strings_test.cpp) at a larger size, so the figures come with its
# proof that both builds compile, link, run and print the right texts.
#   bench/many_strings_build.sh [STRINGS=250000] [UNITS=500]
# Needs the target road_tests (cmake --build build --target road_tests).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
program="$top/build/bin/road_tests"
if [ ! -x "$program" ]; then
    echo "$program is missing: cmake --build build --target road_tests" >&2
    exit 2
fi
export LEXORIN_MANY_STRINGS=${1:-250000}
export LEXORIN_MANY_STRINGS_UNITS=${2:-500}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$program" --gtest_filter="ManyStrings.*" >"$log" 2>&1 || status=$?
grep -E '^\[many strings\]' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "the road failed at this size:" >&2
    grep -E -A12 'Failure$' "$log" | head -60 >&2
fi
exit "$status"
