#!/usr/bin/env bash
# Runs every native fuzz target for at least a million executions (RUNS to change it),
# starting from its corpus, and prints the executions, the time and the result of each.
# Inputs found on the way stay in a scratch folder; a crashing input is kept in the
# current directory as crash-<hash> and named in the output.
set -uo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
native=$HW_ROOT/build-native
RUNS=${RUNS:-1000000}

hw_fuzz_install
hw_fuzz_build "$native" >/dev/null || exit 1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

status=0
printf '%-18s %12s %8s %s\n' target executions seconds result
for exe in "$native"/fuzz_*; do
    [ -x "$exe" ] || continue
    name=$(basename "$exe")
    mkdir -p "$scratch/$name"
    start=$(date +%s)
    "$exe" -runs="$RUNS" -max_len=4096 -print_final_stats=1 \
        "$scratch/$name" "$HW_ROOT/tests/fuzz/corpus/$name" >"$scratch/$name.log" 2>&1
    rc=$?
    secs=$(( $(date +%s) - start ))
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$name.log")
    if [ $rc = 0 ]; then result=ok; else
        result="FAILED (rc $rc): $(grep -m1 -E 'property broken|runtime error|ERROR:' "$scratch/$name.log")"
        status=1
    fi
    printf '%-18s %12s %8s %s\n' "$name" "${execs:-?}" "$secs" "$result"
done
exit $status
