#!/usr/bin/env bash
# Runs ctest with a warm Wine: a persistent wineserver and one keep-alive process. A
# prefix that cannot be set up stops the run: without its virtual desktop every window
# teardown waits for a window manager, and tests time out for no fault of the program.
set -uo pipefail
source "$HW_ROOT/scripts/lib.sh"
hw_prefix "$BUILD/wineprefix" || exit 1
"$HW_WINESERVER" -p
# The tests start once the session's first program has its window (and so the desktop
# is up): on a prefix just made, a fixed second was once not enough for wine64.
ready=$(mktemp)
"$HW_WINE" "$BUILD/tests/e2e/hwkeepalive.exe" >"$ready" &
keep=$!
hw_waitfor 60 grep -q ready "$ready" || { echo "the keep-alive program did not start" >&2; kill "$keep"; exit 1; }
rm -f "$ready"
cd "$BUILD"
ctest --output-on-failure -j2 "$@"
rc=$?
kill "$keep" 2>/dev/null
"$HW_WINESERVER" -k 2>/dev/null
exit $rc
