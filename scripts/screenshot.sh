#!/usr/bin/env bash
# screenshot.sh WORKDIR PNG [SECONDS]: starts Hostwarden in WORKDIR on the current (X)
# display inside a Wine desktop, waits, takes a screenshot and closes it.
set -uo pipefail
source "$HW_ROOT/scripts/lib.sh"
hw_prefix "$BUILD/wineprefix-run" || exit 1
cd "$1"
"$HW_WINE" explorer /desktop=hw,1024x768 "$BUILD/Hostwarden.exe" &
sleep "${3:-6}"
import -window root "$2"
"$HW_WINESERVER" -k
wait
