#!/usr/bin/env bash
# The SendARP pool on Windows, modelled (tests/monitor/winmodel.h): the real probes ahead
# and patrol loop run in-process under Wine, with a SendARP that takes Windows' time (a
# silent address 3 x RetransmitTime, a live one 1-5 ms, a cached one at once). For each
# pool size in SIZES, over 2 x /24 with 8 live hosts and 100 addresses with 20 live, it
# prints the patrol's time, the ideal (one silent probe), their ratio and the peak
# number of calls in flight. No network is used; it runs in an empty namespace.
# Usage: bench/windows-model.sh [BUILD]   (default: the build this machine runs, with
#        its tests; SIZES="8,32,64,100,128" to change the pool sizes)
set -uo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
BUILD=${1:-$HW_BUILD}
SIZES=${SIZES:-8,32,64,100,128}
if [ -z "${HW_BENCH_INNER:-}" ]; then
    hw_install
    hw_build "$BUILD" "$HW_ARCH" >/dev/null || exit 1
    echo "Timing the $HW_ARCH build in $BUILD, pool sizes $SIZES"
    ns=hwbench-$$
    trap 'as_root ip netns del "$ns" 2>/dev/null || true' EXIT
    hw_netns_empty "$ns"
    as_root ip netns exec "$ns" env HW_BENCH_INNER=1 HW_ARCH="$HW_ARCH" SIZES="$SIZES" \
        bash -c 'source "$1"; hw_xvfb 1024x768 bash "$2" "$3"' _ "$HW_ROOT/scripts/lib.sh" "$0" "$BUILD"
    exit $?
fi
hw_prefix "$BUILD/wineprefix-bench" || exit 1
cd "$BUILD"
HW_BENCH_WINMODEL=$SIZES "$HW_WINE" tests/test_monitor.exe --gtest_filter=WindowsModel.Benchmark |
    tr -d '\r' | grep '^\[ model \]' | sed 's/^\[ model \] //'
rc=${PIPESTATUS[0]}
"$HW_WINESERVER" -k 2>/dev/null
exit "$rc"
