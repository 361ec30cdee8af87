#!/usr/bin/env bash
# The probe layer against the real kernel of the lab: every state a neighbour entry
# can start in, and the time each probe takes against the limits it reports.
# Usage: lab_probe.sh BUILD
set -uo pipefail
source "$(dirname "$0")/labwine.sh"
labwine_init "$1" probe \
    10.77.1.10,02:77:01:00:00:10,alpha.lab \
    10.77.1.11,02:77:01:00:00:11,bravo.lab \
    10.77.2.20,02:77:02:00:00:20,charlie.lab

PROBE="$LABBUILD/tests/lab/hwprobe.exe"
fails=0

read -r _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ reprobe _ resolve <<<"$(labrun "$HW_WINE" "$PROBE" limits 10.77.1.10 | tr -d '\r')"
echo "limits: reprobe $reprobe ms, resolve $resolve ms"
[ -n "$reprobe" ] && [ -n "$resolve" ] || { echo "FAIL: no limits"; exit 1; }
slack=400  # a Wine process start is not in the times; the table polls are

# expect WHAT ADDR MAC|none MAXMS: probes ADDR once, checks the answer and the time.
expect() {
    local what=$1 addr=$2 want=$3 max=$4 out got ms
    out=$(labrun "$HW_WINE" "$PROBE" "$addr" | tr -d '\r')
    read -r _ got ms <<<"$out"
    if [ "$got" = "$want" ] && [ "${ms:-999999}" -le "$max" ]; then
        echo "ok   $what: $addr $got in $ms ms (limit $max)"
    else
        echo "FAIL $what: $addr gave '$got' in ${ms:-?} ms, wanted $want within $max ms"
        fails=$((fails + 1))
    fi
}

both=$((reprobe + resolve + slack))
expect "absent entry, live host" 10.77.1.10 02:77:01:00:00:10 $((resolve + slack))
expect "absent entry, silent address" 10.77.1.99 none $((resolve + slack))
expect "failed entry, silent address" 10.77.1.99 none $((resolve + slack))
expect "complete entry, live host" 10.77.1.10 02:77:01:00:00:10 $both
expect "other subnet" 10.77.2.20 02:77:02:00:00:20 $((resolve + slack))
expect "off every subnet: nothing sent" 10.77.9.9 none 100
expect "broadcast address: nothing sent" 10.77.1.255 none 100

expect "before silence" 10.77.1.11 02:77:01:00:00:11 $both
lab silence 10.77.1.11
sleep 1
expect "stale entry, host silent since" 10.77.1.11 none $both
lab newmac 10.77.2.20 02:77:02:00:00:21
expect "stale entry, host with a new MAC" 10.77.2.20 02:77:02:00:00:21 $both
lab revive 10.77.1.11
expect "host back after silence" 10.77.1.11 02:77:01:00:00:11 $both
expect "right after an answer" 10.77.1.11 02:77:01:00:00:11 $both

echo "neighbour table at the end:"
lab neigh
[ "$fails" = 0 ] || { echo "$fails lab probe check(s) failed"; exit 1; }
echo "all lab probe checks passed"
