#!/usr/bin/env bash
# screenshot.sh WORKDIR PNG [SECONDS]: starts Hostwarden in WORKDIR on the current (X)
# display inside a Wine desktop, waits, takes a screenshot and closes it.
set -uo pipefail
source "$HW_ROOT/scripts/lib.sh"
hw_prefix "$BUILD/wineprefix-run"
cd "$1"
wine explorer /desktop=hw,1024x768 "$BUILD/Hostwarden.exe" &
sleep "${3:-6}"
import -window root "$2"
wineserver -k
wait
