#!/usr/bin/env bash
# Installs what is missing, builds, and starts Hostwarden under Wine in run/.
# With no display it runs under Xvfb and leaves a screenshot in run/screenshot.png.
# Hostwarden runs in a network namespace with loopback only, so its patrols cannot
# reach any outside address. With --lab it patrols a lab of namespaces instead.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BUILD=${HW_BUILD:-$HW_ROOT/build}
hw_install
hw_build "$BUILD" -DHW_TESTS=OFF
mkdir -p "$HW_ROOT/run"

# --lab: a small network lab of namespaces (root), Hostwarden patrolling it from run/lab/;
# without a display the screenshot lands in run/lab-screenshot.png.
if [ "${1:-}" = "--lab" ]; then
    shot=-
    [ -n "${DISPLAY:-}" ] || shot=$HW_ROOT/run/lab-screenshot.png
    as_root env ${DISPLAY:+DISPLAY="$DISPLAY"} bash "$HW_ROOT/tests/lab/labrun.sh" \
        "$BUILD" "$HW_ROOT/run/lab" "$shot"
    exit $?
fi

ns=hwrun-$$
cleanup() { as_root ip netns del "$ns" 2>/dev/null || true; }
trap cleanup EXIT
hw_netns_empty "$ns"

if [ -n "${DISPLAY:-}" ]; then
    as_root ip netns exec "$ns" env DISPLAY="$DISPLAY" HW_ROOT="$HW_ROOT" BUILD="$BUILD" \
        bash -c 'source "$HW_ROOT/scripts/lib.sh"; hw_prefix "$BUILD/wineprefix-run";
                 cd "$HW_ROOT/run"; wine "$BUILD/Hostwarden.exe"; wineserver -k'
else
    as_root ip netns exec "$ns" env HW_ROOT="$HW_ROOT" BUILD="$BUILD" \
        xvfb-run -a -s "-screen 0 1024x768x24" bash "$HW_ROOT/scripts/screenshot.sh" \
        "$HW_ROOT/run" "$HW_ROOT/run/screenshot.png"
    echo "No display: screenshot in run/screenshot.png"
fi
