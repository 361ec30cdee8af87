#!/usr/bin/env bash
# dpi.sh DPI: the program at another system DPI (144 is 150 %, 192 is 200 %). In a copy
# of the test prefix with HKCU\Control Panel\Desktop\LogPixels set, and a wineserver of
# its own, so the warm prefix of the other tests is never touched, it runs the HighDpi
# tests and the text box's fitting. Needs HW_ROOT and BUILD (set by ctest).
set -uo pipefail
: "${HW_ROOT:?}" "${BUILD:?}"
dpi=$1
source "$HW_ROOT/scripts/lib.sh"
hw_own_display "$0" "$@"
source_prefix=$BUILD/wineprefix
[ -f "$source_prefix/.hw-ready" ] || { echo "no Wine prefix at $source_prefix (run scripts/test.sh)"; exit 1; }
work=$(mktemp -d /tmp/hwdpi.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    "$HW_WINESERVER" -k 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# Linked, not copied (the system files are read only); the registry is copied, as it
# changes.
cp -al "$source_prefix" "$WINEPREFIX"
for f in "$WINEPREFIX"/*.reg; do rm "$f" && cp "$source_prefix/${f##*/}" "$f"; done
"$HW_WINESERVER" -p
"$HW_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    { echo "cannot set LogPixels"; exit 1; }

rc=0
run() {
    HW_EXPECT_DPI=$dpi "$HW_WINE" "$BUILD/tests/$1" --gtest_filter="$2" 2>&1 | tr -d '\r' |
        grep -E '^\[ (dpi|  FAILED|       OK|  SKIPPED) |Failure|Expected|Which is| cuts '
    [ "${PIPESTATUS[0]}" = 0 ] || rc=1
}
run test_app.exe 'HighDpi.*'
run test_dialogs.exe 'Textbox.StaticIsWideEnoughForTheWidestLineAndTheBoxFollowsIt'
exit $rc
