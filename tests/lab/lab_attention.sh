#!/usr/bin/env bash
# The taskbar flash in the real program: patrols in a lab, with the window minimised or in
# front, and a MAC change or none. Each call of FlashWindowEx is seen through Wine's relay
# trace of that one function.
# Usage: lab_attention.sh BUILD   (root; runs under an Xvfb of its own)
set -uo pipefail
source "$(dirname "$0")/labwine.sh"
[ "$(id -u)" != 0 ] || hw_own_display "$0" "$@"
labwine_init "$1" attention 10.77.1.10,02:77:01:00:00:10,alpha.lab
WORK=$(mktemp -d /tmp/hwlab-attention.XXXXXX)
trap 'labwine_cleanup; rm -rf "$WORK"' EXIT
printf '%s\r\n' '[Hostwarden]' 'SOFTWARE\Hostwarden\lowhost=10 77 1 10' \
    'SOFTWARE\Hostwarden\highhost=10 77 1 11' 'SOFTWARE\Hostwarden\logs=1' >"$WORK/Hostwarden.INI"
labrun "$HW_WINE" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d FlashWindowEx /f >/dev/null

log() { cat "$WORK"/HostwardenLog*.txt 2>/dev/null | tr -d '\r'; }
patrols() { log | grep -c ' total repl' || true; }
changes() { log | grep -c '^MAC address changed for 10\.77\.1\.10$' || true; }
flashes() { grep -ac 'Call user32.FlashWindowEx(' "$WORK/trace.txt" || true; }
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
check() {  # what, expected flash calls, expected change lines
    local f c
    f=$(flashes) c=$(changes)
    if [ "$f" = "$2" ] && [ "$c" = "$3" ]; then
        echo "ok: $1: $f flash calls after $c change lines"
    else
        echo "FAIL: $1: $f flash calls after $c change lines (expected $2 after $3)"
        fails=$((fails + 1))
    fi
}

labrun bash -c "cd '$WORK' && WINEDEBUG=+relay exec '$HW_WINE' '$LABBUILD/Hostwarden.exe'" \
    2>"$WORK/trace.txt" &
prog=$!
waitpatrol 1
echo "window after start: $(hw_drv state)"
check "first patrol, window in front, a first answer" 0 1

place minimise minimised
lab newmac 10.77.1.10 02:77:01:00:00:99
hw_drv command IDM_PATROL
waitpatrol 2
check "minimised, a MAC change" 1 2
hw_drv command IDM_PATROL
waitpatrol 3
check "minimised, no change" 1 2

place restore front
lab newmac 10.77.1.10 02:77:01:00:00:10
hw_drv command IDM_PATROL
waitpatrol 4
check "in front, a MAC change" 1 3

hw_drv close
hw_waitfor 10 eval '! kill -0 '"$prog"' 2>/dev/null' || { echo "FAIL: no exit after close"; kill "$prog"; }
wait "$prog"
[ "$fails" = 0 ] || exit 1
