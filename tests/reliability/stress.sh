#!/usr/bin/env bash
# Ten minutes (SECONDS_TOTAL to change it) of patrols every second over the lab's two
# ranges, with the view scrolled, selected and copied, guarded commands tried and 100,000
# lines appended; prints GDI objects, handles and private bytes every ten seconds. Not part
# of scripts/test.sh. Root; runs under its own Xvfb when no display is set.
#   HW_BUILD=build-x bash tests/reliability/stress.sh
set -uo pipefail
source "$(dirname "$0")/../lab/labwine.sh"
[ "$(id -u)" != 0 ] || hw_display "$0" "$@"
BUILD=$HW_BUILD
labwine_init "$BUILD" stress \
    10.77.1.10,02:00:5e:00:01:10,alpha.lab 10.77.1.11,02:00:5e:00:01:11 \
    10.77.1.30,02:00:5e:00:01:30 10.77.2.20,02:00:5e:00:02:20,delta.lab \
    10.77.2.21,02:00:5e:00:02:21
# Wine answers 0 for GetGuiResources and GetProcessHandleCount: the Linux side of the
# process (resident memory, open descriptors, threads) is sampled beside them.
sampler() {
    local pid=""
    for _ in $(seq 1 100); do
        pid=$(pgrep -f "test_reliability.exe --gtest_filter=Stress" | head -1)
        [ -n "$pid" ] && break
        sleep 0.2
    done
    [ -n "$pid" ] || return
    local t=0
    echo "[ linux ] seconds rss_kib fds threads"
    while [ -d "/proc/$pid" ]; do
        echo "[ linux ] $t $(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null)" \
            "$(ls "/proc/$pid/fd" 2>/dev/null | wc -l) $(awk '/^Threads/ {print $2}' "/proc/$pid/status" 2>/dev/null)"
        sleep 10
        t=$((t + 10))
    done
}
sampler &
labrun env HW_STRESS_SECONDS="${SECONDS_TOTAL:-600}" \
    "$HW_WINE" "$BUILD/tests/test_reliability.exe" --gtest_filter='Stress.*'
rc=$?
wait
exit $rc
