#!/usr/bin/env bash
# The zip's exe in the network lab: unzipped and given two ranges, it patrols the lab
# at start-up and keeps its records and its log in its own folder. Needs root (the lab
# is made of network namespaces); without it the test reports itself skipped.
set -uo pipefail
: "${HW_ROOT:?}" "${BUILD:?}" "${HW_PRODUCT_EXE:?}"
source "$HW_ROOT/tests/lab/labwine.sh"
[ "$(id -u)" != 0 ] || hw_own_display "$0" "$@"
labwine_init "$BUILD" package \
    10.77.1.10,02:77:01:00:00:10,alpha.lab \
    10.77.1.11,02:77:01:00:00:11,bravo.lab \
    10.77.2.20,02:77:02:00:00:20,charlie.lab

work=$(mktemp -d /tmp/hwpackage-lab.XXXXXX)
trap 'rm -rf "$work"; labwine_cleanup' EXIT
fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; }

version=$(sed -n 's/^project(Hostwarden VERSION \([0-9.]*\).*/\1/p' "$HW_ROOT/CMakeLists.txt")
# The zip this machine can run: the product's, or the twin's where 32-bit code cannot run.
if [ "$HW_ARCH" = x86 ]; then
    args=(--exe32 "$HW_PRODUCT_EXE") zipname=Hostwarden-$version-win32.zip
else
    args=(--exe64 "$BUILD/Hostwarden.exe") zipname=Hostwarden-$version-win64.zip
fi
bash "$HW_ROOT/scripts/package.sh" "${args[@]}" --out "$work/dist" >/dev/null || fail "package.sh"
echo "the lab runs $zipname"
unzip -q -d "$work/zip" "$work/dist/$zipname"
dir=$work/zip/Hostwarden-$version
ini=$dir/Hostwarden.INI

# The ranges and the log switch as the configuration dialog and the menu leave them.
printf '%s\r\n' '[Hostwarden]' \
    'SOFTWARE\Hostwarden\lowhost=10 77 1 10' 'SOFTWARE\Hostwarden\highhost=10 77 1 12' \
    'SOFTWARE\Hostwarden\lowhost2=10 77 2 20' 'SOFTWARE\Hostwarden\highhost2=10 77 2 21' \
    'SOFTWARE\Hostwarden\period=3600' 'SOFTWARE\Hostwarden\logs=1' >"$ini"

(cd "$dir" && labrun "$HW_WINE" Hostwarden.exe) &
titleis() { [ "$(hw_drv title)" = "Hostwarden 5.3.3" ]; }
hw_waitfor 30 titleis || fail "no main window"
# The patrol saves every record when it ends: the last address's line marks the end.
saved() { grep -q '^SOFTWARE\\Hostwarden\\10\.77\.2\.21=' "$ini"; }
hw_waitfor 90 saved || fail "no patrol ended within 90 s: $(tr -d '\r' <"$ini" | tr '\n' '|')"
ok "first patrol ended and saved its records"
hw_drv close >/dev/null
hw_waitfor 30 hw_nowindow || fail "Hostwarden did not close"
wait

record=$(tr -d '\r' <"$ini" | sed -n 's/^SOFTWARE\\Hostwarden\\10\.77\.1\.10=//p')
case $record in
'02 77 01 00 00 10 1 0 '*' 0') ;;
*) fail "record of 10.77.1.10: <$record>" ;;
esac
record=$(tr -d '\r' <"$ini" | sed -n 's/^SOFTWARE\\Hostwarden\\10\.77\.1\.12=//p')
case $record in
'00 00 00 00 00 00 0 1 '*' 0') ;;
*) fail "record of 10.77.1.12: <$record>" ;;
esac
ok "records beside the exe"

logs=("$dir"/HostwardenLog*.txt)
[ ${#logs[@]} = 1 ] && [ -f "${logs[0]}" ] || fail "want one log file in $dir: $(ls "$dir")"
tr -d '\r' <"${logs[0]}" | tail -n +2 >"$work/got"
cat >"$work/want" <<'LINES'
MAC address changed for 10.77.1.10
10.77.1.10 (02:77:01:00:00:10) [alpha.lab] 1 probe 00:00, 100% replies, last succeeded
MAC address changed for 10.77.1.11
10.77.1.11 (02:77:01:00:00:11) [bravo.lab] 1 probe 00:00, 100% replies, last succeeded
10.77.1.12 (00:00:00:00:00:00) [NA] 1 probe 00:00, 0% replies, last failed
2 replies in subnet
2 replies in the last week
MAC address changed for 10.77.2.20
10.77.2.20 (02:77:02:00:00:20) [charlie.lab] 1 probe 00:00, 100% replies, last succeeded
10.77.2.21 (00:00:00:00:00:00) [NA] 1 probe 00:00, 0% replies, last failed
1 reply in subnet
1 reply in the last week
3 total replies
3 replies in the last week
LINES
diff "$work/want" "$work/got" || fail "patrol lines in ${logs[0]##*/} differ (- wanted, + got)"
ok "the patrol's lines in ${logs[0]##*/}: $(head -1 "${logs[0]}" | tr -d '\r') ..."
