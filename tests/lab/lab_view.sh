#!/usr/bin/env bash
# The view on screen after the start-up patrol: the real program is started RUNS times
# (8 by default) in a lab, and once its first patrol has saved, the screen is compared
# with what a full repaint of the window then draws. A difference means lines printed
# but never painted (under Wine a repaint pending when the activation changed, as the
# save's busy indicator came and went, was lost: about one start in five).
# Usage: lab_view.sh BUILD   (root; runs under an Xvfb of its own)
source "$(dirname "$0")/labwine.sh"
[ "$(id -u)" != 0 ] || hw_own_display "$0" "$@"
labwine_init "$1" view \
    10.77.1.10,02:77:01:00:00:10,alpha.lab 10.77.1.11,02:77:01:00:00:11,bravo.lab \
    10.77.2.20,02:77:02:00:00:20,charlie.lab 10.77.2.21,02:77:02:00:00:21,delta.lab
WORK=$(mktemp -d /tmp/hwlab-view.XXXXXX)
trap 'labwine_cleanup; rm -rf "$WORK"' EXIT
ini=$WORK/Hostwarden.INI
printf '%s\r\n' '[Hostwarden]' \
    'SOFTWARE\Hostwarden\lowhost=10 77 1 10' 'SOFTWARE\Hostwarden\highhost=10 77 1 19' \
    'SOFTWARE\Hostwarden\lowhost2=10 77 2 20' 'SOFTWARE\Hostwarden\highhost2=10 77 2 29' >"$ini"
lastrecord() { grep 'SOFTWARE\\Hostwarden\\10.77.2.29=' "$ini" 2>/dev/null; }
saved() { [ "$(lastrecord)" != "$before" ]; }

stale=0
runs=${RUNS:-8}
for run in $(seq "$runs"); do
    before=$(lastrecord)
    labrun bash -c "cd '$WORK' && exec '$HW_WINE' '$LABBUILD/Hostwarden.exe'" &
    prog=$!
    hw_waitfor 60 saved ||
        { echo "FAIL run $run: no patrol saved"; exit 1; }
    sleep 1
    labrun import -window root "$WORK/shown.png"
    hw_drv repaint
    sleep 1
    labrun import -window root "$WORK/repainted.png"
    diff=$(compare -metric AE "$WORK/shown.png" "$WORK/repainted.png" null: 2>&1)
    if [ "$diff" != 0 ]; then
        stale=$((stale + 1))
        echo "run $run: $diff pixels differ after a repaint"
    fi
    hw_drv close
    wait $prog
done
[ "$stale" = 0 ] || { echo "FAIL: the screen lagged behind the lines in $stale of $runs starts"; exit 1; }
echo "ok: after each of $runs starts the screen showed every line of the patrol"
