#!/usr/bin/env bash
# Patrol benchmark (root): two /24 lab ranges (512 addresses) with 8 live hosts, the
# kernel's own neighbour timers. Measures in one run: one unanswered probe alone (the
# floor), a full patrol with probes ahead, the one-at-a-time patrol (32 addresses,
# scaled to 512), arp-scan over the same ranges, the time from program start to the
# first host line with 512 records in the profile, and one saverecords of 512 records.
# Usage: bench/patrol.sh [BUILD]   (builds BUILD, default build-bench or build-bench64,
# with the tests, for the build this machine runs: scripts/lib.sh)
set -uo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
BUILD=${1:-$HW_ROOT/build-bench}
[ "$HW_ARCH" = x64 ] && BUILD=${1:-$HW_ROOT/build-bench64}
if [ -z "${HW_BENCH_BUILT:-}" ]; then
    hw_install
    hw_build "$BUILD" "$HW_ARCH" >/dev/null || exit 1
    echo "Timing the $HW_ARCH build in $BUILD"
fi
export HW_BENCH_BUILT=1
hw_display "$0" "$BUILD"
export LAB_TIMERS=linux
source "$HW_ROOT/tests/lab/labwine.sh"
HOSTS=""
for h in 10 50 90 130 170 210 240 250; do
    s=$(( h < 130 ? 1 : 2 ))
    HOSTS="$HOSTS 10.77.$s.$h,02:77:0$s:00:00:$(printf %02x $h),host$h.lab"
done
OUT=$(mktemp -d /tmp/hwbench.XXXXXX)
trap 'labwine_cleanup; rm -rf "$OUT"' EXIT
ms() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }
# Waits for N closing summaries in the log of DIR.
waitpatrols() {
    for _ in $(seq 3000); do
        [ "$(cat "$1"/HostwardenLog*.txt 2>/dev/null | grep -c ' total repl')" -ge "$2" ] &&
            tail -1 "$1"/HostwardenLog*.txt | grep -q 'in the last week' && return 0
        sleep 0.05
    done
    return 1
}
# profile DIR LOW HIGH LOW2 HIGH2 [RECORDS]
profile() {
    mkdir -p "$1"
    {
        printf '[Hostwarden]\r\nSOFTWARE\\Hostwarden\\logs=1\r\n'
        printf 'SOFTWARE\\Hostwarden\\lowhost=%s\r\nSOFTWARE\\Hostwarden\\highhost=%s\r\n' "$2" "$3"
        printf 'SOFTWARE\\Hostwarden\\lowhost2=%s\r\nSOFTWARE\\Hostwarden\\highhost2=%s\r\n' "$4" "$5"
        if [ -n "${6:-}" ]; then
            for s in 1 2; do for o in $(seq 0 255); do
                printf 'SOFTWARE\\Hostwarden\\10.77.%d.%d=00 00 00 00 00 00 0 3 1700000000 0\r\n' $s $o
            done; done
        fi
    } >"$1/Hostwarden.INI"
}
# patrol DIR [ENV...]: starts the program, returns the first patrol's time (start line
# seen to last line) in $patrolms and the time to the first host line in $firstms.
patrol() {
    local dir=$1; shift
    local t0 t1=""
    t0=$(date +%s%N)
    labrun env "$@" bash -c "cd '$dir' && exec '$HW_WINE' '$LABBUILD/Hostwarden.exe'" &
    local prog=$!
    for _ in $(seq 3000); do
        n=$(cat "$dir"/HostwardenLog*.txt 2>/dev/null | wc -l)
        [ -z "$t1" ] && [ "$n" -ge 1 ] && t1=$(date +%s%N)
        [ "$n" -ge 2 ] && break
        sleep 0.01
    done
    firstms=$(ms "$t0")
    waitpatrols "$dir" 1
    patrolms=$(( ($(date +%s%N) - t1) / 1000000 ))
    hw_drv close
    wait $prog
}

labwine_init "$BUILD" bench $HOSTS >/dev/null
lim=$(labrun "$HW_WINE" "$LABBUILD/tests/lab/hwprobe.exe" limits 10.77.1.200 | tr -d '\r')
echo "kernel timers and probe limits: $lim"
floor=$(labrun "$HW_WINE" "$LABBUILD/tests/lab/hwprobe.exe" 10.77.1.200 | tr -d '\r' | awk '{print $3}')
echo "one unanswered probe alone (floor): $floor ms"

profile "$OUT/ahead" "10 77 1 0" "10 77 1 255" "10 77 2 0" "10 77 2 255"
patrol "$OUT/ahead"
ahead=$patrolms
found=$(tr -d '\r' <"$OUT"/ahead/HostwardenLog*.txt | grep -oE '^10\.77\.[0-9]+\.[0-9]+ \(([0-9a-f:]{17})\) \[[^N]' |
        sed -E 's/ \[.*//; s/[()]//g' | sort)
echo "full patrol, probes ahead, 512 addresses: $ahead ms; $(echo "$found" | grep -c .) hosts answered"

labwine_cleanup; LABP=
labwine_init "$BUILD" bench $HOSTS >/dev/null
profile "$OUT/one" "10 77 1 0" "10 77 1 31" "0 0 0 0" "0 0 0 0"
patrol "$OUT/one" HW_PROBE_ONEBYONE=1
one=$(( patrolms * 512 / 32 ))
echo "one-at-a-time patrol: $patrolms ms for 32 addresses, scaled to 512: $one ms"

labwine_cleanup; LABP=
labwine_init "$BUILD" bench $HOSTS >/dev/null
t0=$(date +%s%N)
scan=$( { labrun arp-scan -q -x -I eth0 --arpspa=10.77.1.1 10.77.1.0/24
          labrun arp-scan -q -x -I eth0 --arpspa=10.77.2.1 10.77.2.0/24; } 2>/dev/null |
        awk '{print $1, $2}' | sort)
scanms=$(ms "$t0")
echo "arp-scan over the same two ranges: $scanms ms; $(echo "$scan" | grep -c .) hosts"
if [ "$scan" = "$found" ]; then echo "same hosts with the same MACs as arp-scan: yes"
else echo "same hosts with the same MACs as arp-scan: NO"; diff <(echo "$scan") <(echo "$found"); fi

profile "$OUT/start" "10 77 1 0" "10 77 1 255" "10 77 2 0" "10 77 2 255" records
patrol "$OUT/start"
echo "program start to the first host line, 512 records in the profile: $firstms ms"
mkdir -p "$OUT/save"
save=$(labrun bash -c "cd '$OUT/save' && '$HW_WINE' '$LABBUILD/tests/lab/hwprobe.exe' save 512" | tr -d '\r')
echo "one $save"

awk -v f="$floor" -v a="$ahead" -v s="$scanms" -v o="$one" 'BEGIN {
    printf "ratios: patrol/floor %.2f  patrol/arp-scan %.2f  one-at-a-time/patrol %.1f\n",
           a / f, a / s, o / a }'
