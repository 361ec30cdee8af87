#!/usr/bin/env bash
# The taskbar flash and the notification-area notice in the real program: patrols in a
# lab, with the window minimised or in front, and a MAC change or none. Each call of
# FlashWindowEx and Shell_NotifyIconA is seen through Wine's relay trace of those two
# functions.
# Usage: lab_attention.sh BUILD   (root; runs under an Xvfb of its own)
set -uo pipefail
source "$(dirname "$0")/labwine.sh"
[ "$(id -u)" != 0 ] || hw_own_display "$0" "$@"
labwine_init "$1" attention 10.77.1.10,02:77:01:00:00:10,alpha.lab
WORK=$(mktemp -d /tmp/hwlab-attention.XXXXXX)
trap 'labwine_cleanup; rm -rf "$WORK"' EXIT
printf '%s\r\n' '[Hostwarden]' 'SOFTWARE\Hostwarden\lowhost=10 77 1 10' \
    'SOFTWARE\Hostwarden\highhost=10 77 1 11' 'SOFTWARE\Hostwarden\logs=1' >"$WORK/Hostwarden.INI"
labrun "$HW_WINE" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'FlashWindowEx;Shell_NotifyIconA' /f >/dev/null

log() { cat "$WORK"/HostwardenLog*.txt 2>/dev/null | tr -d '\r'; }
patrols() { log | grep -c ' total repl' || true; }
changes() { log | grep -c '^MAC address changed for 10\.77\.1\.10$' || true; }
flashes() { grep -ac 'Call user32.FlashWindowEx(' "$WORK/trace.txt" || true; }
# Notification calls with message N (0 adds the icon, 1 changes it, 2 removes it).
notifies() { grep -acE "Call shell32.Shell_NotifyIconA\(0+$1," "$WORK/trace.txt" || true; }
# Waits for patrol N's closing lines and the save after them.
waitpatrol() {
    hw_waitfor 60 eval '[ "$(patrols)" -ge '"$1"' ] && log | tail -1 | grep -q "in the last week"' ||
        { echo "FAIL: no patrol $1"; exit 1; }
    sleep 1
}
# Minimises or restores the window (VERB) and waits for the state that follows.
place() {
    hw_drv "$1"
    hw_waitfor 10 eval '[ "$(hw_drv state)" = '"$2"' ]' || { echo "FAIL: not $2 after $1"; exit 1; }
}
fails=0
seen() {
    echo "$(flashes) flash calls after $(changes) change lines; notices added, changed, removed: $(notifies 0) $(notifies 1) $(notifies 2)"
}
check() {  # what, expected flash calls, change lines, notices added, changed, removed
    local want="$2 flash calls after $3 change lines; notices added, changed, removed: $4 $5 $6"
    # A call made as the window handles the last step may reach the trace a moment later.
    hw_waitfor 5 eval '[ "$(seen)" = "$want" ]'
    local got
    got=$(seen)
    if [ "$got" = "$want" ]; then
        echo "ok: $1: $got"
    else
        echo "FAIL: $1: $got (expected: $want)"
        fails=$((fails + 1))
    fi
}

labrun bash -c "cd '$WORK' && WINEDEBUG=+relay exec '$HW_WINE' '$LABBUILD/Hostwarden.exe'" \
    2>"$WORK/trace.txt" &
prog=$!
waitpatrol 1
echo "window after start: $(hw_drv state)"
check "first patrol, window in front, a first answer" 0 1 0 0 0

place minimise minimised
lab newmac 10.77.1.10 02:77:01:00:00:99
hw_drv command IDM_PATROL
waitpatrol 2
check "minimised, a MAC change" 1 2 1 0 0
hw_drv command IDM_PATROL
waitpatrol 3
check "minimised, no change" 1 2 1 0 0

place restore front
check "brought to the front" 1 2 1 0 1
lab newmac 10.77.1.10 02:77:01:00:00:10
hw_drv command IDM_PATROL
waitpatrol 4
check "in front, a MAC change" 1 3 1 0 1

hw_drv close
hw_waitfor 10 eval '! kill -0 '"$prog"' 2>/dev/null' || { echo "FAIL: no exit after close"; kill "$prog"; }
wait "$prog"
check "closed" 1 3 1 0 1
[ "$fails" = 0 ] || exit 1
