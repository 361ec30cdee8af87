#!/usr/bin/env bash
# Stop and close during a 512-address patrol (root): two /24 lab ranges with 4 live hosts
# and the kernel's own neighbour timers, so probes are still outstanding when the
# command arrives. Prints the time from Stop Patrolling to the patrol's last line and to
# the end of its save, and from the close to the end of the process (its last save
# included).
# Usage: bench/stop.sh [BUILD]   (a built tree with the tests, default the build this
# machine runs: scripts/lib.sh)
set -uo pipefail
export LAB_TIMERS=linux
source "$(dirname "$0")/../tests/lab/labwine.sh"
[ "$(id -u)" != 0 ] || hw_display "$0" "$@"
echo "Timing the $HW_ARCH build in ${1:-$HW_BUILD}"
labwine_init "$(cd "${1:-$HW_BUILD}" && pwd)" stop \
    10.77.1.10,02:77:01:00:00:10,alpha.lab 10.77.1.200,02:77:01:00:00:c8,bravo.lab \
    10.77.2.20,02:77:02:00:00:20,charlie.lab 10.77.2.230,02:77:02:00:00:e6,delta.lab
WORK=$(mktemp -d /tmp/hwbench-stop.XXXXXX)
trap 'labwine_cleanup; rm -rf "$WORK"' EXIT
printf '[Hostwarden]\r\nSOFTWARE\\Hostwarden\\lowhost=10 77 1 1\r\nSOFTWARE\\Hostwarden\\highhost=10 77 1 254\r\nSOFTWARE\\Hostwarden\\lowhost2=10 77 2 1\r\nSOFTWARE\\Hostwarden\\highhost2=10 77 2 254\r\nSOFTWARE\\Hostwarden\\logs=1\r\n' >"$WORK/Hostwarden.INI"
totals() { cat "$WORK"/HostwardenLog*.txt 2>/dev/null | tr -d '\r' | grep -c ' total repl' || true; }
waittotals() {
    for _ in $(seq 900); do [ "$(totals)" -ge "$1" ] && break; sleep 0.02; done
}
labrun bash -c "cd '$WORK' && exec '$HW_WINE' '$LABBUILD/Hostwarden.exe'" &
prog=$!
waittotals 1
sleep 1.5
hw_drv command IDM_PATROL
sleep 1
start=$(date +%s%N)
hw_drv command IDM_STOPPATROL
waittotals 2
last=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$(totals)" -ge 2 ] || last="not reached in 18 s:"
sleep 1
# The patrol ends with its save: the profile's last write marks it.
saved=$(( ($(date -r "$WORK/Hostwarden.INI" +%s%N) - start) / 1000000 ))
echo "Stop Patrolling during a 512-address patrol: last line $last ms, records saved $saved ms after the command"
sleep 0.5
hw_drv command IDM_PATROL
sleep 1
echo "close during a 512-address patrol: process gone $(lab_closems $prog) ms after the close"
wait $prog
echo "exit code $?; lines logged: $(cat "$WORK"/HostwardenLog*.txt | wc -l)"
