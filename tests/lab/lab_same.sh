#!/usr/bin/env bash
# Sameness: the same two patrols of the real program, once with probes and name lookups
# run ahead and once one at a time, each in a fresh lab; the logs and the saved records
# must be identical once times are masked. Names come from the lab's name server,
# answering each query late by 0 to 200 ms (so that lookups end out of order), one
# host with none (NXDOMAIN).
# Usage: lab_same.sh BUILD   (root; runs under an Xvfb of its own)
set -uo pipefail
source "$(dirname "$0")/labwine.sh"
[ "$(id -u)" != 0 ] || hw_own_display "$0" "$@"
BUILD=$1
export LAB_NAMES=dns
OUT=$(mktemp -d /tmp/hwlab-same.XXXXXX)
HOSTS="10.77.1.8,02:77:01:00:00:08,alpha.lab 10.77.1.13,02:77:01:00:00:13,bravo.lab
 10.77.1.20,02:77:01:00:00:20,charlie.lab 10.77.2.18,02:77:02:00:00:18,delta.lab
 10.77.2.25,02:77:02:00:00:25,echo.lab 10.77.2.30,02:77:01:00:00:08"

# scenario NAME [ENV...]: patrol at start, a MAC change and a silence, a second patrol, close.
scenario() {
    local name=$1; shift
    labwine_init "$BUILD" same $HOSTS
    lab dns jitter 200
    local work=$OUT/$name now day=86400
    mkdir -p "$work"
    now=$(date +%s)
    {
        printf '[Hostwarden]\r\nSOFTWARE\\Hostwarden\\logs=1\r\n'
        printf 'SOFTWARE\\Hostwarden\\lowhost=10 77 1 8\r\nSOFTWARE\\Hostwarden\\highhost=10 77 1 20\r\n'
        printf 'SOFTWARE\\Hostwarden\\lowhost2=10 77 2 18\r\nSOFTWARE\\Hostwarden\\highhost2=10 77 2 30\r\n'
        printf 'SOFTWARE\\Hostwarden\\10.77.1.13=02 77 01 00 00 13 4 0 %d %d\r\n' $((now - 3 * day)) $((now - 3600))
        printf 'SOFTWARE\\Hostwarden\\10.77.1.15=02 77 01 00 00 15 5 1 %d %d\r\n' $((now - 10 * day)) $((now - 3 * day))
        printf 'SOFTWARE\\Hostwarden\\10.77.2.20=02 77 02 00 00 20 9 0 %d %d\r\n' $((now - 5 * day)) $((now - 8 * day))
    } >"$work/Hostwarden.INI"
    local count
    waitpatrols() {
        for _ in $(seq ${SAME_WAIT:-1200}); do
            count=$(cat "$work"/HostwardenLog*.txt 2>/dev/null | tr -d '\r' | grep -c ' total repl')
            [ "$count" -ge "$1" ] && tail -1 "$work"/HostwardenLog*.txt | grep -q 'in the last week' && return 0
            sleep 0.1
        done
        return 1
    }
    labrun env "$@" bash -c "cd '$work' && exec '$HW_WINE' '$LABBUILD/Hostwarden.exe'" &
    local prog=$! t0
    t0=$(date +%s%N)
    waitpatrols 1
    echo "$name: patrol 1 took $(( ($(date +%s%N) - t0) / 1000000 )) ms (with the program start)"
    sleep 1  # the patrol saves its records after its last line; let it end
    lab newmac 10.77.2.25 02:77:02:00:00:99
    lab silence 10.77.1.13
    t0=$(date +%s%N)
    hw_drv command IDM_PATROL
    waitpatrols 2 || hw_drv dialogs
    echo "$name: patrol 2 took $(( ($(date +%s%N) - t0) / 1000000 )) ms"
    hw_drv close
    wait $prog
    labwine_cleanup
    LABP=
    # Times masked: the start line, hours and minutes, and the two time fields of records.
    tr -d '\r' <"$work"/HostwardenLog*.txt |
        sed -E 's/^[0-9]{1,2}:[0-9]{2}.*[0-9]{4}$/<start>/; s/-?[0-9]+:-?[0-9]+(,| ago)/HH:MM\1/g' \
        >"$OUT/$name.log"
    tr -d '\r' <"$work/Hostwarden.INI" | grep -E '\\10\.77\.' | sort |
        awk '{ n = split($0, f, " "); if (f[9] != "0") f[9] = "T"; if (f[10] != "0") f[10] = "T";
               s = f[1]; for (i = 2; i <= n; i++) s = s " " f[i]; print s }' >"$OUT/$name.ini"
}

scenario ahead
scenario onebyone HW_PROBE_ONEBYONE=1
trap 'rm -rf "$OUT"' EXIT
rc=0
if diff -u "$OUT/onebyone.log" "$OUT/ahead.log"; then
    echo "ok   logs identical ($(wc -l <"$OUT/ahead.log") lines, $(grep -c 'total repl' "$OUT/ahead.log") patrols)"
else
    echo "FAIL logs differ"; rc=1
fi
if diff -u "$OUT/onebyone.ini" "$OUT/ahead.ini"; then
    echo "ok   saved records identical ($(wc -l <"$OUT/ahead.ini") records)"
else
    echo "FAIL saved records differ"; rc=1
fi
grep -q 'MAC address changed for 10.77.2.25' "$OUT/ahead.log" && grep -q '10.77.1.13 .*\[NA\].*last reply' "$OUT/ahead.log" \
    || { echo "FAIL the patrols did not see the change and the silence"; rc=1; }
grep -q '^10.77.1.20 .*\[charlie.lab\]' "$OUT/ahead.log" && grep -q '^10.77.2.30 .*\[10.77.2.30\]' "$OUT/ahead.log" \
    || { echo "FAIL the names of the name server were not shown"; rc=1; }
[ $rc = 0 ] || cat "$OUT/ahead.log"
exit $rc
