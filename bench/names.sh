#!/usr/bin/env bash
# Names benchmark (root): a dense pool of 512 addresses with 128 answering hosts (macvlan
# hosts, each with its own MAC), half of them named, the kernel's own neighbour timers.
# The program's first patrol is timed with the names coming four ways, each run from
# an empty neighbour table, and printed as ratios to the hosts-file patrol:
#   hosts     the monitoring namespace's hosts file; no name server
#   dns       dnsmasq, answering at once (PTR records, NXDOMAIN for the nameless)
#   dns-late  the same server, every answer 200 ms late
#   silent    a server that never answers (resolv.conf: timeout:2 attempts:1)
# Then, with the server silent, Stop Patrolling and a close are timed while lookups wait
# in the resolver.
# Usage: bench/names.sh [BUILD]   (builds BUILD, default build-bench or build-bench64,
# with the tests, for the build this machine runs: scripts/lib.sh); REPEAT=N runs of
# each way (3 by default), taken in turn, their median used for the ratio.
set -uo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
BUILD=${1:-$HW_ROOT/build-bench}
[ "$HW_ARCH" = x64 ] && BUILD=${1:-$HW_ROOT/build-bench64}
REPEAT=${REPEAT:-3}
if [ -z "${HW_BENCH_BUILT:-}" ]; then
    hw_install
    hw_build "$BUILD" "$HW_ARCH" -DHW_TESTS=ON >/dev/null || exit 1
    echo "Timing the $HW_ARCH build in $BUILD"
fi
export HW_BENCH_BUILT=1
hw_display "$0" "$BUILD"
export LAB_TIMERS=linux LAB_HOSTS=pool LAB_NAMES=dns
source "$HW_ROOT/tests/lab/labwine.sh"
OUT=$(mktemp -d /tmp/hwbench-names.XXXXXX)
trap 'labwine_cleanup; rm -rf "$OUT"' EXIT
labwine_init "$BUILD" names $(lab_densehosts) >/dev/null

log() { cat "$1"/HostwardenLog*.txt 2>/dev/null | tr -d '\r'; }
waittotals() {  # DIR N
    for _ in $(seq 3000); do
        [ "$(log "$1" | grep -c ' total repl')" -ge "$2" ] && log "$1" | tail -1 | grep -q 'in the last week' && return 0
        sleep 0.02
    done
    return 1
}
profile() {
    rm -rf "$1" && mkdir -p "$1"
    printf '[Hostwarden]\r\nSOFTWARE\\Hostwarden\\logs=1\r\nSOFTWARE\\Hostwarden\\lowhost=10 77 1 0\r\nSOFTWARE\\Hostwarden\\highhost=10 77 1 255\r\nSOFTWARE\\Hostwarden\\lowhost2=10 77 2 0\r\nSOFTWARE\\Hostwarden\\highhost2=10 77 2 255\r\n' >"$1/Hostwarden.INI"
}
# way NAME: names set up for that way.
way() {
    case $1 in
    hosts) lab names hosts ;;
    dns) lab names dns; lab dns now ;;
    dns-late) lab names dns; lab dns late 200 ;;
    silent) lab names dns; lab dns silent ;;
    esac
}
# run WAY: the first patrol's time from its start line to its last, in ms.
run() {
    local dir=$OUT/$1 t1="" n
    way "$1"
    lab flush
    profile "$dir"
    labrun bash -c "cd '$dir' && exec '$HW_WINE' '$LABBUILD/Hostwarden.exe'" &
    local prog=$!
    for _ in $(seq 3000); do
        n=$(log "$dir" | wc -l)
        [ -z "$t1" ] && [ "$n" -ge 1 ] && t1=$(date +%s%N)
        [ "$n" -ge 2 ] && break
        sleep 0.005
    done
    waittotals "$dir" 1
    echo $(( ($(date +%s%N) - t1) / 1000000 ))
    hw_drv close
    wait $prog
    named=$(log "$dir" | grep -c '\[pc[12]-[0-9]*\.lab\]')

}

WAYS="hosts dns dns-late silent"
declare -A times
for i in $(seq "$REPEAT"); do
    for w in $WAYS; do
        ms=$(run "$w")
        run_named=$(log "$OUT/$w" | grep -c '\[pc[12]-[0-9]*\.lab\]')
        run_replies=$(log "$OUT/$w" | sed -n 's/^\([0-9]*\) total repl.*/\1/p')
        printf 'run %d, names from %-8s: patrol %5d ms; %s answered, %s named\n' "$i" "$w" "$ms" "$run_replies" "$run_named"
        times[$w]="${times[$w]:-} $ms"
    done
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
base=$(median "${times[hosts]}")
line="ratios of the median patrols to the hosts-file patrol ($base ms):"
for w in $WAYS; do
    line="$line  $w $(awk -v a="$(median "${times[$w]}")" -v b="$base" 'BEGIN { printf "%.2f", a / b }')"
done
echo "$line"

# Stop and close while lookups wait for the silent server. Each time includes starting
# the driver that gives the command, a Wine process of its own: timed alone first.
way silent
lab flush
dir=$OUT/stop
profile "$dir"
labrun bash -c "cd '$dir' && exec '$HW_WINE' '$LABBUILD/Hostwarden.exe'" &
prog=$!
waittotals "$dir" 1
start=$(date +%s%N)
hw_drv title >/dev/null
echo "the driver alone: $(( ($(date +%s%N) - start) / 1000000 )) ms"
sleep 1
hw_drv command IDM_PATROL
sleep 1.5
start=$(date +%s%N)
hw_drv command IDM_STOPPATROL
waittotals "$dir" 2
echo "Stop Patrolling with lookups waiting for a silent server: last line $(( ($(date +%s%N) - start) / 1000000 )) ms after the command"
sleep 1
hw_drv command IDM_PATROL
sleep 1.5
echo "close with lookups waiting for a silent server: process gone $(lab_closems $prog) ms after the close"
wait $prog
