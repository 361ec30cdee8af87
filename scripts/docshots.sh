#!/usr/bin/env bash
# Retakes the screenshots in docs/ from the real program (root): a network lab of
# namespaces with a few hosts, a profile with some history, one patrol at start-up,
# then the main window, the configuration dialog, a report and the About box, each
# cropped to the main window. Usage: scripts/docshots.sh [BUILD]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BUILD=${1:-$HW_BUILD}
if [ "${2:-}" != inner ]; then
    hw_install
    hw_build "$BUILD"
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$BUILD" inner
fi

source "$HW_ROOT/tests/lab/labwine.sh"
labwine_init "$BUILD" docs \
    10.77.1.10,02:77:01:3c:00:10,printer.lab \
    10.77.1.11,02:77:01:3c:00:11,nas.lab \
    10.77.1.13,02:77:01:5e:00:13,laptop-anna.lab \
    10.77.1.16,02:77:01:5e:00:16,laptop-ben.lab \
    10.77.2.20,02:77:02:7a:00:20,voip-gw.lab \
    10.77.2.21,02:77:02:7a:00:21 \
    10.77.2.23,02:77:02:7a:00:23,phone-carla.lab
work=$(mktemp -d /tmp/hwdocs.XXXXXX)
trap 'rm -rf "$work"; labwine_cleanup' EXIT
drv() { labrun "$HW_WINE" "$BUILD/tests/e2e/hwdriver.exe" "$@" 2>/dev/null | tr -d '\r'; }
waitfor() {
    local end=$((SECONDS + $1)); shift
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}

# Records as a few days of patrols leave them: KEY MAC REPLIES MISSES AGE LASTREPLYAGO
# (ages in seconds before now; a last reply of "-" means never).
now=$(date +%s)
record() {
    local last=0
    [ "$6" = - ] || last=$((now - $6))
    printf 'SOFTWARE\\Hostwarden\\%s=%s %d %d %d %d\r\n' "$1" "$2" "$3" "$4" $((now - $5)) "$last"
}
{
    printf '%s\r\n' '[Hostwarden]' \
        'SOFTWARE\Hostwarden\lowhost=10 77 1 10' 'SOFTWARE\Hostwarden\highhost=10 77 1 17' \
        'SOFTWARE\Hostwarden\lowhost2=10 77 2 20' 'SOFTWARE\Hostwarden\highhost2=10 77 2 23' \
        'SOFTWARE\Hostwarden\period=3600'
    record 10.77.1.10 "02 77 01 3c 00 10" 51 0 $((26 * 3600 + 5 * 60 + 20)) 3600
    record 10.77.1.11 "02 77 01 3c 00 11" 203 13 $((9 * 86400 + 4000)) 3600
    record 10.77.1.12 "02 77 01 5e 00 12" 61 9 $((12 * 86400)) $((3 * 86400 + 7200))
    record 10.77.1.13 "02 77 01 5e 00 99" 14 2 $((5 * 86400)) 3600
    record 10.77.1.14 "00 00 00 00 00 00" 0 24 $((24 * 3600 + 600)) -
    record 10.77.1.15 "02 77 01 5e 00 15" 8 3 $((2 * 86400 + 100)) $((5 * 3600 + 17 * 60))
    record 10.77.1.16 "02 77 01 5e 00 16" 6 2 $((8 * 3600 + 42 * 60)) 3600
    record 10.77.1.17 "00 00 00 00 00 00" 0 24 $((24 * 3600 + 600)) -
    record 10.77.2.20 "02 77 02 7a 00 20" 216 0 $((9 * 86400 + 4000)) 3600
    record 10.77.2.21 "02 77 02 7a 00 21" 12 0 $((13 * 3600 + 30 * 60)) 3600
    record 10.77.2.22 "02 77 02 7a 00 22" 3 30 $((9 * 86400)) $((8 * 86400))
} >"$work/Hostwarden.INI"
# The window placement (looked for under HKLM first, where the last run left it).
labrun "$HW_WINE" reg add 'HKLM\Software\Hostwarden' /ve /d '112 150 912 614' /f >/dev/null 2>&1

(cd "$work" && labrun "$HW_WINE" "$BUILD/Hostwarden.exe") &
saved() { grep -q '^SOFTWARE\\Hostwarden\\10\.77\.2\.23=' "$work/Hostwarden.INI"; }
waitfor 60 saved || { echo "no patrol ended" >&2; exit 1; }
sleep 1
read -r left top right bottom <<<"$(drv rect)"
shot() {
    sleep 1
    labrun import -window root "$work/full.png"
    convert "$work/full.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
        "$HW_ROOT/docs/$1"
    echo "docs/$1"
}
shot main-window.png

drv command 101
sleep 1
shot configuration.png
drv press "Configure Hostwarden settings" 2

drv command 11847
drv press "Report on IPs" 1
sleep 1
shot report.png

drv command 301
sleep 1
shot about.png
drv press "About HOSTWARDEN 5.3.3" 1

drv close
waitfor 30 bash -c "! labrun '$HW_WINE' '$BUILD/tests/e2e/hwdriver.exe' title >/dev/null 2>&1" || true
