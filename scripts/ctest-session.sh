#!/usr/bin/env bash
# Runs ctest with a warm Wine: a persistent wineserver and one keep-alive process.
set -uo pipefail
source "$HW_ROOT/scripts/lib.sh"
hw_prefix "$BUILD/wineprefix"
wineserver -p
wine "$BUILD/tests/e2e/hwkeepalive.exe" &
keep=$!
sleep 1
cd "$BUILD"
ctest --output-on-failure -j2 "$@"
rc=$?
kill "$keep" 2>/dev/null
wineserver -k 2>/dev/null
exit $rc
