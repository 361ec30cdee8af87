#!/usr/bin/env bash
# Installs what is missing, builds, and starts Hostwarden under Wine in run/.
# With no display it runs under Xvfb and leaves a screenshot in run/screenshot.png.
# Hostwarden runs in a network namespace with loopback only, so its patrols cannot
# reach any outside address. With --lab it patrols a lab of namespaces instead.
# It runs the build this machine can execute (scripts/lib.sh): the 32-bit product, or
# its 64-bit twin where 32-bit code cannot run (the product is built either way).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BUILD=$HW_BUILD
hw_install
hw_build_all OFF
echo "Running the $HW_ARCH build: $BUILD/Hostwarden.exe"
mkdir -p "$HW_ROOT/run"

# --lab: a small network lab of namespaces (root), Hostwarden patrolling it from run/lab/;
# without a display the screenshot lands in run/lab-screenshot.png.
if [ "${1:-}" = "--lab" ]; then
    shot=-
    [ -n "${DISPLAY:-}" ] || shot=$HW_ROOT/run/lab-screenshot.png
    as_root env ${DISPLAY:+DISPLAY="$DISPLAY"} HW_ARCH="$HW_ARCH" bash "$HW_ROOT/tests/lab/labrun.sh" \
        "$BUILD" "$HW_ROOT/run/lab" "$shot"
    exit $?
fi

ns=hwrun-$$
cleanup() { as_root ip netns del "$ns" 2>/dev/null || true; }
trap cleanup EXIT
hw_netns_empty "$ns"

if [ -n "${DISPLAY:-}" ]; then
    as_root ip netns exec "$ns" env DISPLAY="$DISPLAY" HW_ROOT="$HW_ROOT" BUILD="$BUILD" HW_ARCH="$HW_ARCH" \
        bash -c 'source "$HW_ROOT/scripts/lib.sh"; hw_prefix "$BUILD/wineprefix-run" || exit 1;
                 cd "$HW_ROOT/run"; "$HW_WINE" "$BUILD/Hostwarden.exe"; "$HW_WINESERVER" -k'
else
    as_root ip netns exec "$ns" env HW_ROOT="$HW_ROOT" BUILD="$BUILD" HW_ARCH="$HW_ARCH" \
        bash -c 'source "$HW_ROOT/scripts/lib.sh"; hw_xvfb 1024x768 bash "$@"' _ \
        "$HW_ROOT/scripts/screenshot.sh" "$HW_ROOT/run" "$HW_ROOT/run/screenshot.png"
    echo "No display: screenshot in run/screenshot.png"
fi
