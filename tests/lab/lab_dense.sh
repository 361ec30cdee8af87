#!/usr/bin/env bash
# A dense pool with a real name server: the real program patrols 512 addresses of which
# 128 answer (macvlan hosts, each with its own MAC), half of them named by dnsmasq and
# the other half NXDOMAIN, the server answering each query late by 0 to 300 ms so that
# lookups end out of order. Every line must name its own host. Then a host changes its
# MAC and its name, another only its name, a third goes silent: the changed host's
# line shows its new name at once, the other keeps the name cached for its MAC. Last,
# with the server silent, Stop and close are timed while lookups wait in the resolver.
# Usage: lab_dense.sh BUILD   (root; runs under an Xvfb of its own)
set -uo pipefail
source "$(dirname "$0")/labwine.sh"
[ "$(id -u)" != 0 ] || hw_own_display "$0" "$@"
export LAB_HOSTS=pool LAB_NAMES=dns
labwine_init "$1" dense $(lab_densehosts)
lab dns jitter 300

WORK=$(mktemp -d /tmp/hwlab-dense.XXXXXX)
trap 'labwine_cleanup; rm -rf "$WORK"' EXIT
printf '[Hostwarden]\r\nSOFTWARE\\Hostwarden\\logs=1\r\nSOFTWARE\\Hostwarden\\lowhost=10 77 1 0\r\nSOFTWARE\\Hostwarden\\highhost=10 77 1 255\r\nSOFTWARE\\Hostwarden\\lowhost2=10 77 2 0\r\nSOFTWARE\\Hostwarden\\highhost2=10 77 2 255\r\n' >"$WORK/Hostwarden.INI"
log() { cat "$WORK"/HostwardenLog*.txt 2>/dev/null | tr -d '\r'; }
totals() { log | grep -c ' total repl' || true; }
waittotals() {
    local start; start=$(date +%s%N)
    for _ in $(seq 900); do
        [ "$(totals)" -ge "$1" ] && log | tail -1 | grep -q 'in the last week' && break
        sleep 0.05
    done
    echo "$(( ($(date +%s%N) - start) / 1000000 ))"
}
fails=0
check() {  # check WHAT CONDITION-COMMAND...
    local what=$1; shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; fails=$((fails + 1)); fi
}
# The host lines of patrol N: address, MAC and name.
hostlines() {
    log | awk -v n="$1" '/ total repl/ { p++; next } p == n - 1 && /^10\.77\./' |
        sed -E 's/^([0-9.]+) \(([0-9a-f:]+)\) \[([^]]*)\].*/\1 \2 \3/'
}
# What patrol 1 must show: each lab host with its MAC and its name (dotted when none),
# every other address NA with no MAC.
expected() {
    for s in 1 2; do
        for o in $(seq 0 255); do
            if (( o >= 2 && o <= 254 && (o - 2) % 4 == 0 )); then
                name=10.77.$s.$o
                (( o % 8 == 2 )) && name=pc$s-$o.lab
                echo "10.77.$s.$o 02:77:0$s:00:00:$(printf %02x "$o") $name"
            else
                echo "10.77.$s.$o 00:00:00:00:00:00 NA"
            fi
        done
    done
}

labrun bash -c "cd '$WORK' && exec '$HW_WINE' '$LABBUILD/Hostwarden.exe'" &
prog=$!
echo "patrol 1, 512 addresses, 128 answering, names late by 0-300 ms: $(waittotals 1) ms (with the program start)"
sleep 1
check "patrol 1: every line names its own host" diff <(expected) <(hostlines 1)
check "patrol 1: 128 replies" grep -q '^128 total replies$' <(log)

lab newmac 10.77.1.2 02:77:01:00:00:99
lab name 10.77.1.2 newbox.lab
lab name 10.77.1.10 renamed.lab
lab silence 10.77.2.6
hw_drv command IDM_PATROL
echo "patrol 2: $(waittotals 2) ms"
sleep 1
check "patrol 2: the new MAC's name" grep -qx '10.77.1.2 02:77:01:00:00:99 newbox.lab' <(hostlines 2)
check "patrol 2: the change told" grep -qx 'MAC address changed for 10.77.1.2' <(log)
check "patrol 2: the same MAC keeps its cached name" grep -qx '10.77.1.10 02:77:01:00:00:0a pc1-10.lab' <(hostlines 2)
check "patrol 2: the silent host" grep -qx '10.77.2.6 02:77:02:00:00:06 NA' <(hostlines 2)
check "patrol 2: 127 replies" grep -q '^127 total replies$' <(log)

# The server silent: the 63 nameless hosts' lookups wait timeout x attempts (2 s).
lab dns silent
hw_drv command IDM_PATROL
sleep 1
start=$(date +%s%N)
hw_drv command IDM_STOPPATROL
stopms=$(waittotals 3)
echo "Stop with lookups waiting in the resolver: last line $stopms ms after the command"
sleep 1
hw_drv command IDM_PATROL
sleep 1
echo "close with lookups waiting in the resolver: process gone $(lab_closems $prog) ms after the close"
check "the program exited" bash -c "! kill -0 $prog 2>/dev/null"
wait $prog
[ $fails = 0 ] || log | tail -40
exit $((fails > 0))
