#!/usr/bin/env bash
# Retakes the screenshots in docs/ from the real program (root): a network lab of
# namespaces with seven hosts, a profile with some history, one patrol at start-up,
# then the main window, the configuration dialog, a report and the About box, each
# cropped to the main window, the notice after a MAC change, and the busy indicator.
# Usage: scripts/docshots.sh [BUILD] [DPI]
# At 96 DPI (the default) they go to docs/NAME.png; at 144 (150 %) the main window and
# the configuration dialog, the two the guide shows scaled, go to docs/NAME-144.png; at
# any other DPI all go to run/docshots/NAME-DPI.png. The screen, the Wine desktop and
# the window grow with the DPI.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BUILD=$(realpath -m "${1:-$HW_BUILD}")  # the program starts in another folder
DPI=${2:-96}
scale() { echo $(($1 * DPI / 96)); }
if [ "${3:-}" != inner ]; then
    hw_install
    hw_build "$BUILD" "$HW_ARCH"
    exec xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 $(scale 1024)x$(scale 768)x24" \
        bash "$0" "$BUILD" "$DPI" inner
fi
case $DPI in
96) out=$HW_ROOT/docs suffix="" ;;
144) out=$HW_ROOT/docs suffix=-144 ;;
*) out=$HW_ROOT/run/docshots suffix=-$DPI ;;
esac
mkdir -p "$out"

source "$HW_ROOT/tests/lab/labwine.sh"
labwine_init "$BUILD" "docs$DPI" \
    10.77.1.10,02:77:01:3c:00:10,printer.lab \
    10.77.1.11,02:77:01:3c:00:11,nas.lab \
    10.77.1.13,02:77:01:5e:00:13,laptop-anna.lab \
    10.77.1.16,02:77:01:5e:00:16,laptop-ben.lab \
    10.77.2.20,02:77:02:7a:00:20,voip-gw.lab \
    10.77.2.21,02:77:02:7a:00:21 \
    10.77.2.23,02:77:02:7a:00:23,phone-carla.lab
work=$(mktemp -d /tmp/hwdocs.XXXXXX)
trap 'rm -rf "$work"; labwine_cleanup' EXIT

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
# The window placement (looked for under HKLM first, where the last run left it), the
# system DPI and a desktop of the screen's size.
labrun "$HW_WINE" reg add 'HKLM\Software\Hostwarden' /ve \
    /d "$(scale 112) $(scale 150) $(scale 912) $(scale 614)" /f >/dev/null 2>&1
labrun "$HW_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI" /f >/dev/null 2>&1
labrun "$HW_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
    /d "$(scale 1024)x$(scale 768)" /f >/dev/null 2>&1

(cd "$work" && labrun "$HW_WINE" "$BUILD/Hostwarden.exe") &
saved() { grep -q '^SOFTWARE\\Hostwarden\\10\.77\.2\.23=' "$work/Hostwarden.INI"; }
hw_waitfor 60 saved || { echo "no patrol ended" >&2; exit 1; }
sleep 1
read -r left top right bottom <<<"$(hw_drv rect)"
# wanted NAME: whether this run keeps the picture.
wanted() { [ "$DPI" != 144 ] || [ "$1" = main-window ] || [ "$1" = configuration ]; }
# shot NAME [LEFT TOP RIGHT BOTTOM]: the screen cropped to the main window or the rectangle.
shot() {
    local name=$1 l=${2:-$left} t=${3:-$top} r=${4:-$right} b=${5:-$bottom}
    wanted "$name" || return 0
    sleep 1
    labrun import -window root "$work/full.png"
    convert "$work/full.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage "$out/$name$suffix.png"
    echo "${out#$HW_ROOT/}/$name$suffix.png"
}
shot main-window

hw_drv command IDM_CONFIG
sleep 1
shot configuration
hw_drv press "Configure Hostwarden settings" 2

hw_drv command IDM_REPORTTIME
hw_drv press "Report on IPs" 1
sleep 1
shot report

hw_drv command IDM_ABOUT
sleep 1
shot about
hw_drv press "About HOSTWARDEN 5.3.3" 1

# The notice, in the lower right corner of the desktop: two hosts answer with other MACs
# while the window is minimised.
hw_drv minimise
lab newmac 10.77.1.16 02:77:01:5e:00:61
lab newmac 10.77.2.23 02:77:02:7a:00:32
hw_drv command IDM_PATROL
newmacs() { grep -q '^SOFTWARE\\Hostwarden\\10\.77\.2\.23=02 77 02 7a 00 32' "$work/Hostwarden.INI"; }
hw_waitfor 60 newmacs || { echo "no patrol saw the new MACs" >&2; exit 1; }
sleep 3  # Wine's tray shows a balloon 2 s after it is asked for
shot notice "$(scale 544)" "$(scale 588)" "$(scale 1024)" "$(scale 768)"
hw_drv restore

hw_drv close
hw_waitfor 30 hw_nowindow || true

# The busy indicator, as a save shows it, held on screen by a test of the indicator.
wanted busy || exit 0
labrun env HW_DOCSHOT_HOLD=5000 "$HW_WINE" "$BUILD/tests/test_dialogs.exe" \
    --gtest_filter=DocShot.BusyIndicatorHeldOnScreen >"$work/busy.txt" 2>&1 &
busyrect() { grep -q '^\[ rect \]' "$work/busy.txt"; }
hw_waitfor 30 busyrect || { echo "no busy indicator" >&2; exit 1; }
read -r _ _ _ l t r b <<<"$(grep '^\[ rect \]' "$work/busy.txt" | tr -d '\r')"
shot busy "$l" "$t" "$r" "$b"
wait
