#!/usr/bin/env bash
# Reports, both exports, the ARP table dump and the vendor lookup against a lab: the dump
# in-process against the kernel's table, and the real program driven through its
# dialogs, with a lookup during a patrol.
# Usage: lab_reports.sh BUILD   (root; runs under an Xvfb of its own)
set -uo pipefail
source "$(dirname "$0")/labwine.sh"
[ "$(id -u)" != 0 ] || hw_own_display "$0" "$@"
HOSTS="10.77.1.10=00:0d:93:00:01:10 10.77.1.11=08:00:27:00:01:11 10.77.2.20=52:54:00:00:02:20"
labwine_init "$1" reports \
    10.77.1.10,00:0d:93:00:01:10,alpha.lab \
    10.77.1.11,08:00:27:00:01:11,bravo.lab \
    10.77.2.20,52:54:00:00:02:20,delta.lab

fails=0
run() {
    local what=$1; shift
    if labrun env HW_LAB_HOSTS="$HOSTS" "$@"; then
        echo "ok   $what"
    else
        echo "FAIL $what"
        fails=$((fails + 1))
    fi
}
run "ARP table dump against the kernel's table" \
    "$HW_WINE" "$LABBUILD/tests/lab/test_lab.exe" --gtest_filter='ArpDumpLab.*'
run "reports, export, dump and lookup during a patrol, real program" \
    "$HW_WINE" "$LABBUILD/tests/lab/test_lab.exe" --gtest_filter='E2ELab.*'
[ "$fails" = 0 ] || { echo "$fails lab report check(s) failed"; exit 1; }
echo "all lab report checks passed"
