#!/usr/bin/env bash
# End to end in the lab: the real program patrols two lab ranges, driven from outside
# by hwdriver inside the same Wine session, and its log and profile are checked.
# Usage: lab_e2e.sh BUILD   (root; runs under an Xvfb of its own)
set -uo pipefail
source "$(dirname "$0")/labwine.sh"
[ "$(id -u)" != 0 ] || hw_own_display "$0" "$@"
labwine_init "$1" e2e \
    10.77.1.10,02:77:01:00:00:10,alpha.lab \
    10.77.1.11,02:77:01:00:00:11,bravo.lab \
    10.77.1.12,02:77:01:00:00:12,charlie.lab \
    10.77.2.20,02:77:02:00:00:20,delta.lab \
    10.77.2.21,02:77:02:00:00:21,echo.lab
# 10.77.1.13 and 10.77.2.22 have no host: silent addresses with records prepared below.

WORK=$(mktemp -d /tmp/hwlab-e2e.XXXXXX)
trap 'labwine_cleanup; rm -rf "$WORK"' EXIT
EXE=$LABBUILD/Hostwarden.exe
now=$(date +%s)
day=86400
{
    printf '[Hostwarden]\r\n'
    printf 'SOFTWARE\\Hostwarden\\lowhost=10 77 1 10\r\nSOFTWARE\\Hostwarden\\highhost=10 77 1 13\r\n'
    printf 'SOFTWARE\\Hostwarden\\lowhost2=10 77 2 20\r\nSOFTWARE\\Hostwarden\\highhost2=10 77 2 22\r\n'
    printf 'SOFTWARE\\Hostwarden\\logs=1\r\n'
    # Answered 1 hour ago with the MAC it still has, first seen 2 days and 1 hour ago.
    printf 'SOFTWARE\\Hostwarden\\10.77.1.11=02 77 01 00 00 11 4 0 %d %d\r\n' $((now - 2 * day - 3600)) $((now - 3600))
    # Silent for 8 days: out of the weekly count.
    printf 'SOFTWARE\\Hostwarden\\10.77.1.13=02 77 01 00 00 13 5 1 %d %d\r\n' $((now - 10 * day)) $((now - 8 * day))
    # Silent for 3 days: still in the weekly count.
    printf 'SOFTWARE\\Hostwarden\\10.77.2.22=02 77 02 00 00 22 9 0 %d %d\r\n' $((now - 5 * day)) $((now - 3 * day))
} >"$WORK/Hostwarden.INI"

log() { cat "$WORK"/HostwardenLog*.txt 2>/dev/null | tr -d '\r'; }
totals() { log | grep -c ' total repl' || true; }
# Waits until the log holds N closing summaries, and for the save that follows them;
# prints the milliseconds it took until the last line.
waittotals() {
    local n=$1 start=$(date +%s%N)
    for _ in $(seq 600); do
        [ "$(totals)" -ge "$n" ] && log | tail -1 | grep -q 'in the last week' && break
        sleep 0.1
    done
    echo "$(( ($(date +%s%N) - start) / 1000000 ))"
    sleep 1
}

labrun bash -c "cd '$WORK' && exec '$HW_WINE' '$EXE'" &
prog=$!
ms1=$(waittotals 1)
echo "patrol 1 (program start to its last line): $ms1 ms"
lab newmac 10.77.1.12 02:77:01:00:00:99
lab silence 10.77.1.11
# The kernel's view during patrol 2, every 100 ms, shown if the test fails: the states
# and ages (used/confirmed/updated, seconds) of the entries the program reads.
( while :; do echo "@$(date +%T.%N | cut -c1-12)"; lab neigh -s 2>/dev/null | grep '10\.77\.1\.1[12] '
    sleep 0.1; done ) >"$WORK/neigh.txt" 2>&1 &
watcher=$!
hw_drv command IDM_PATROL
ms2=$(waittotals 2)
kill $watcher 2>/dev/null; wait $watcher 2>/dev/null
echo "patrol 2 (Patrol command to its last line): $ms2 ms"

# Stop Patrolling right after a patrol starts: it ends after the current address.
hw_drv command IDM_PATROL
sleep 0.5
hw_drv command IDM_STOPPATROL
ms3=$(waittotals 3)
echo "patrol 3 (stopped): $ms3 ms"

# Closing during a patrol: the patrol ends after its current address and the program exits.
hw_drv command IDM_PATROL
sleep 0.5
hw_drv close
start=$(date +%s%N)
for _ in $(seq 300); do kill -0 $prog 2>/dev/null || break; sleep 0.1; done
closems=$(( ($(date +%s%N) - start) / 1000000 ))
kill -0 $prog 2>/dev/null && { echo "FAIL: the program did not exit after close"; kill $prog; }
wait $prog
rc=$?
echo "close during patrol 4: exited with $rc after $closems ms"

log >"$WORK/log.txt"
tr -d '\r' <"$WORK/Hostwarden.INI" >"$WORK/ini.txt"
python3 - "$WORK/log.txt" "$WORK/ini.txt" "$rc" "$ms3" "$closems" <<'PY'
import re, sys
log = open(sys.argv[1]).read().split("\n")
ini = open(sys.argv[2]).read()
rc = int(sys.argv[3])
stopms, closems = int(sys.argv[4]), int(sys.argv[5])
fails = []
def check(cond, what):
    print(("ok   " if cond else "FAIL ") + what)
    if not cond: fails.append(what)

# Split into patrols: each ends with "N total repl..." and its week line.
patrols, cur = [], []
for l in log:
    if not l: continue
    cur.append(l)
    if len(cur) >= 2 and " total repl" in cur[-2] and cur[-1].endswith("in the last week"):
        patrols.append(cur); cur = []
check(len(patrols) == 4, "four patrols in the log (got %d)" % len(patrols))
patrols += [[]] * (4 - len(patrols))
age = r"\d\d:\d\d,"
def match(lines, patterns, what):
    ok = len(lines) == len(patterns) and all(re.fullmatch(p, l) for p, l in zip(patterns, lines))
    check(ok, what)
    if not ok:
        for i in range(max(len(lines), len(patterns))):
            print("      got  %s\n      want %s" % (lines[i] if i < len(lines) else "-",
                                                  patterns[i] if i < len(patterns) else "-"))
start = r"\S.*\d.*"  # the time and date
match(patrols[0], [start,
    r"MAC address changed for 10\.77\.1\.10",
    r"10\.77\.1\.10 \(02:77:01:00:00:10\) \[alpha\.lab\] 1 probe 00:00, 100% replies, last succeeded",
    r"10\.77\.1\.11 \(02:77:01:00:00:11\) \[bravo\.lab\] 5 probes 2 days 100% replies, last succeeded",
    r"MAC address changed for 10\.77\.1\.12",
    r"10\.77\.1\.12 \(02:77:01:00:00:12\) \[charlie\.lab\] 1 probe 00:00, 100% replies, last succeeded",
    r"10\.77\.1\.13 \(02:77:01:00:00:13\) \[NA\] 7 probes 10 days 71% replies, last reply 8 days ago",
    r"3 replies in subnet", r"3 replies in the last week",
    r"MAC address changed for 10\.77\.2\.20",
    r"10\.77\.2\.20 \(02:77:02:00:00:20\) \[delta\.lab\] 1 probe 00:00, 100% replies, last succeeded",
    r"MAC address changed for 10\.77\.2\.21",
    r"10\.77\.2\.21 \(02:77:02:00:00:21\) \[echo\.lab\] 1 probe 00:00, 100% replies, last succeeded",
    r"10\.77\.2\.22 \(02:77:02:00:00:22\) \[NA\] 10 probes 5 days 90% replies, last reply 3 days ago",
    r"2 replies in subnet", r"3 replies in the last week",
    r"5 total replies", r"6 replies in the last week"],
    "patrol 1: start line, every address in order, names, MAC changes, day forms, weekly boundary, counts")
match(patrols[1], [start,
    r"10\.77\.1\.10 \(02:77:01:00:00:10\) \[alpha\.lab\] 2 probes " + age + r" 100% replies, last succeeded",
    r"10\.77\.1\.11 \(02:77:01:00:00:11\) \[NA\] 6 probes 2 days 83% replies, last reply 00:0\d ago",
    r"MAC address changed for 10\.77\.1\.12",
    r"10\.77\.1\.12 \(02:77:01:00:00:99\) \[charlie\.lab\] 1 probe 00:00, 100% replies, last succeeded",
    r"10\.77\.1\.13 \(02:77:01:00:00:13\) \[NA\] 8 probes 10 days 62% replies, last reply 8 days ago",
    r"2 replies in subnet", r"3 replies in the last week",
    r"10\.77\.2\.20 \(02:77:02:00:00:20\) \[delta\.lab\] 2 probes " + age + r" 100% replies, last succeeded",
    r"10\.77\.2\.21 \(02:77:02:00:00:21\) \[echo\.lab\] 2 probes " + age + r" 100% replies, last succeeded",
    r"10\.77\.2\.22 \(02:77:02:00:00:22\) \[NA\] 11 probes 5 days 81% replies, last reply 3 days ago",
    r"2 replies in subnet", r"3 replies in the last week",
    r"4 total replies", r"6 replies in the last week"],
    "patrol 2: the new MAC found in the same patrol, the silenced host's last reply")
for n, p in ((3, patrols[2]), (4, patrols[3])):
    check(len(p) >= 3 and not any("in subnet" in l for l in p) and len(p) < 10,
          "patrol %d ended early: no subnet summary, closing lines printed (%d lines)" % (n, len(p)))
check(rc == 0, "program exited with code 0 after closing during a patrol")
# Probes run ahead, so neither waits for a probe in flight.
check(closems < 1000, "closing during a patrol: program gone in %d ms (< 1000)" % closems)
check(stopms < 1000, "Stop Patrolling: patrol over %d ms after the command (< 1000)" % stopms)
def record(addr):
    m = re.search(r"SOFTWARE\\Hostwarden\\%s=(.*)" % re.escape(addr), ini)
    return m.group(1).split() if m else []
r12, r22, r13 = record("10.77.1.12"), record("10.77.2.22"), record("10.77.1.13")
check(r12[:6] == ["02", "77", "01", "00", "00", "99"], "profile: 10.77.1.12 saved with its new MAC %s" % r12)
check(len(r22) == 10 and int(r22[7]) >= 2, "profile: 10.77.2.22 saved with its misses counted %s" % r22)
check(len(r13) == 10 and int(r13[7]) >= 3 and int(r13[6]) == 5, "profile: 10.77.1.13 saved with its misses counted %s" % r13)
sys.exit(1 if fails else 0)
PY
res=$?
[ $res = 0 ] || { echo "--- log"; cat "$WORK/log.txt"; echo "--- profile"; cat "$WORK/ini.txt"
    echo "--- neighbour entries of 10.77.1.11 and .12 during patrol 2"; cat "$WORK/neigh.txt"; }
exit $res
