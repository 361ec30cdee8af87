#!/usr/bin/env bash
# Runs ctest with a warm Wine: a persistent wineserver and one keep-alive process. A
# prefix that cannot be set up stops the run: without its virtual desktop every window
# teardown waits for a window manager, and tests time out for no fault of the program.
set -uo pipefail
source "$HW_ROOT/scripts/lib.sh"
hw_prefix "$BUILD/wineprefix" || exit 1
"$HW_WINESERVER" -p
"$HW_WINE" "$BUILD/tests/e2e/hwkeepalive.exe" &
keep=$!
sleep 1
cd "$BUILD"
ctest --output-on-failure -j2 "$@"
rc=$?
kill "$keep" 2>/dev/null
"$HW_WINESERVER" -k 2>/dev/null
exit $rc
