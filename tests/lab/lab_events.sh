#!/usr/bin/env bash
# Events in the real program: a first patrol that is the baseline, then a MAC change and
# a machine never seen, and where they go: the journal, the command (hwhold args writes
# the arguments it gets), the notice (hwdriver tray stands in for the notification
# area) and the Windows event log (Wine's eventlog and advapi channels).
# Usage: lab_events.sh BUILD   (root; runs under an Xvfb of its own)
set -uo pipefail
source "$(dirname "$0")/labwine.sh"
[ "$(id -u)" != 0 ] || hw_own_display "$0" "$@"
# .11 changes its MAC after the baseline; .12 is silent for it and answers later; .13 has
# no host.
labwine_init "$1" events \
    10.77.1.10,02:77:01:00:00:10,alpha.lab \
    10.77.1.11,02:77:01:00:00:11,bravo.lab \
    10.77.1.12,02:77:01:00:00:12,charlie.lab
WORK=$(mktemp -d /tmp/hwlab-events.XXXXXX)
trap 'labwine_cleanup; rm -rf "$WORK"' EXIT
lab silence 10.77.1.12

winpath() { local p=${1//\//\\}; echo "Z:$p"; }
mkdir "$WORK/command out"  # a space inside an argument written in the template
args=$WORK/command\ out/args.txt
command="\"$(winpath "$LABBUILD/tests/e2e/hwhold.exe")\" args \"$(winpath "$args")\""
command+=" %kind% %address% %oldmac% %newmac% %name%"
[ ${#command} -le 259 ] || { echo "FAIL: the command is longer than a profile value may be: $command"; exit 1; }
printf '%s\r\n' '[Hostwarden]' \
    'SOFTWARE\Hostwarden\lowhost=10 77 1 10' 'SOFTWARE\Hostwarden\highhost=10 77 1 13' \
    'SOFTWARE\Hostwarden\period=3600' 'SOFTWARE\Hostwarden\logs=1' \
    "SOFTWARE\\Hostwarden\\command=$command" >"$WORK/Hostwarden.INI"
journal=$WORK/HostwardenEvents.csv

log() { cat "$WORK"/HostwardenLog*.txt 2>/dev/null | tr -d '\r'; }
patrols() { log | grep -c ' total repl' || true; }
ini() { tr -d '\r' <"$WORK/Hostwarden.INI" 2>/dev/null; }
# Patrol N has printed its closing lines and the profile has a whole line matching each
# pattern given (extended regular expressions): its records and its machines are saved.
saved() {
    local n=$1 l; shift
    [ "$(patrols)" -ge "$n" ] || return 1
    for l in "$@"; do ini | grep -qixE -- "$l" || return 1; done
}
waitsaved() {
    hw_waitfor 60 saved "$@" || {
        echo "FAIL: patrol $1 not saved as expected"
        echo "--- log"; log; echo "--- profile"; ini; exit 1
    }
}
lines() { [ -f "$1" ] && tr -d '\r' <"$1" | wc -l || echo 0; }
notices() { grep -cE '^(add|modify)' "$WORK/tray.txt" || true; }
# A record line of address .N with the MAC given (hex bytes apart by spaces).
record() { echo "SOFTWARE\\\\Hostwarden\\\\10\\.77\\.1\\.$1=$2 .*"; }

# The notification area's stand-in first: it must be the first window of its class.
labrun "$HW_WINE" "$LABBUILD/tests/e2e/hwdriver.exe" tray >"$WORK/tray.txt" 2>/dev/null &
tray=$!
hw_waitfor 60 grep -q 'trays' "$WORK/tray.txt" || { echo "FAIL: the tray stand-in did not start"; exit 1; }
grep -q '^ready' "$WORK/tray.txt" ||
    { echo "FAIL: the tray stand-in is not the first of its class: $(cat "$WORK/tray.txt")"; exit 1; }

# A zone west of UTC by a half hour more than whole hours, where the system has it: the
# offset's sign and minutes are seen.
zone=America/St_Johns
[ -f "/usr/share/zoneinfo/$zone" ] || { echo "no $zone here: the times are checked in UTC"; zone=UTC; }
start=$SECONDS
labrun bash -c "cd '$WORK' && TZ='$zone' WINEDEBUG=-all,+eventlog,fixme+advapi exec '$HW_WINE' \
    '$LABBUILD/Hostwarden.exe'" 2>"$WORK/trace.txt" &
prog=$!
fails=0
check() {  # what, then a command that must succeed
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; fails=$((fails + 1)); fi
}

# The baseline: every answering MAC learnt, nothing reported.
waitsaved 1 "$(record 11 '02 77 01 00 00 11')" "$(record 12 '00 00 00 00 00 00')" \
    '\[Hostwarden machines\]' 'next=3'
echo "patrol 1 saved after $((SECONDS - start)) s"
check "baseline: no event line in the journal ($(lines "$journal") lines)" [ "$(lines "$journal")" -le 1 ]
check "baseline: no command ran" [ ! -e "$args" ]
check "baseline: no notice (window in front)" [ "$(notices)" = 0 ]

hw_drv minimise
hw_waitfor 10 eval '[ "$(hw_drv state)" = minimised ]' || { echo "FAIL: not minimised"; exit 1; }
lab newmac 10.77.1.11 02:77:01:00:00:b1
lab revive 10.77.1.12
hw_drv command IDM_PATROL
waitsaved 2 "$(record 11 '02 77 01 00 00 b1')" "$(record 12 '02 77 01 00 00 12')" 'next=5'
echo "patrol 2 saved after $((SECONDS - start)) s"
hw_waitfor 30 eval '[ "$(lines "$journal")" -ge 3 ] && [ "$(lines "$args")" -ge 10 ] && [ "$(notices)" -ge 1 ]'

hw_drv close
hw_waitfor 20 eval '! kill -0 '"$prog"' 2>/dev/null' || { echo "FAIL: no exit after close"; kill "$prog"; }
wait "$prog"
rc=$?
hw_waitfor 10 eval '! kill -0 '"$tray"' 2>/dev/null' || kill "$tray"
echo "closed after $((SECONDS - start)) s"
check "exit code 0 after close (got $rc)" [ "$rc" = 0 ]

echo "--- journal"; cat "$journal" 2>/dev/null
echo "--- command's arguments"; cat "$args" 2>/dev/null
echo "--- notices"; tr -d '\r' <"$WORK/tray.txt"
echo "--- event log calls"
sed -nE -e 's/^[0-9a-f]+:fixme:advapi:(RegisterEventSourceW \(L"[^"]*",L"[^"]*"\)).*/\1/p' \
    -e 's/^[0-9a-f]+:fixme:advapi:ReportEventW \([0-9A-Fa-f]+,(0x[0-9a-f]+),(0x[0-9a-f]+),(0x[0-9a-f]+),[0-9A-Fa-f]+,(0x[0-9a-f]+),.*/ReportEventW type=\1 category=\2 id=\3 strings=\4/p' \
    -e 's/^[0-9a-f]+:((warn|trace):eventlog:ReportEventW .*)/\1/p' <(tr -d '\r' <"$WORK/trace.txt") \
    | tee "$WORK/eventlog.txt"
echo "---"
python3 - "$journal" "$args" "$WORK/tray.txt" "$WORK/eventlog.txt" "$zone" <<'PY' || fails=$((fails + 1))
import csv, datetime, io, re, sys, zoneinfo
journal, args, tray, eventlog, zone = sys.argv[1:6]
fails = []
def check(cond, what):
    print(("ok: " if cond else "FAIL: ") + what)
    if not cond: fails.append(what)

raw = open(journal, "rb").read().decode()
check(raw.startswith("time,kind,address,old MAC,new MAC,name,maker\r\n") and raw.endswith("\r\n")
      and raw.count("\r\n") == raw.count("\n") == 3, "journal: the header and two lines, each ended by CRLF")
rows = list(csv.reader(io.StringIO(raw, newline="")))[1:]
times = [r[0] for r in rows]
check([r[1:] for r in rows] == [
    ["MAC changed", "10.77.1.11", "02:77:01:00:00:11", "02:77:01:00:00:b1", "bravo.lab", ""],
    ["new machine", "10.77.1.12", "", "02:77:01:00:00:12", "charlie.lab", ""]],
    "journal: the MAC change at .11, then the new machine at .12 with no old MAC")
now = datetime.datetime.now(datetime.timezone.utc)
def recent(t):  # the shape, the moment, and the zone's offset at that moment
    if not re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d", t): return False
    at = datetime.datetime.fromisoformat(t)
    return (abs((at - now).total_seconds()) < 300 and
            at.utcoffset() == at.astimezone(zoneinfo.ZoneInfo(zone)).utcoffset())
check(len(times) == 2 and all(recent(t) for t in times),
      "journal: times in ISO 8601 with %s's offset, within minutes of now: %s" % (zone, times))

got = open(args, "rb").read().decode()
calls = sorted(got.split("\n")[i:i + 5] for i in range(0, 10, 5)) if got.count("\n") == 10 else got
check(got.endswith("\n") and calls == [
    ["MAC changed", "10.77.1.11", "02:77:01:00:00:11", "02:77:01:00:00:b1", "bravo.lab"],
    ["new machine", "10.77.1.12", "", "02:77:01:00:00:12", "charlie.lab"]],
    "command: two runs, each with its five arguments (an empty old MAC kept as an argument)")

notes = [l.rstrip("\r\n").split("\t") for l in open(tray, encoding="latin-1") if l[:3] in ("add", "mod")]
want = r"MAC address changed for 10.77.1.11\nNew machine at 10.77.1.12"
lost = any(l.startswith("not the first tray") for l in open(tray, encoding="latin-1"))
check(not lost and len(notes) == 1 and want in notes[0][1:],
      "notice: one, naming the change and the new machine (%s)" % notes)

t1, t2 = (times + ["?", "?"])[:2]
expected = f'''RegisterEventSourceW (L"",L"Hostwarden")
ReportEventW type=0x0002 category=0x0000 id=0x800003e8 strings=0x0006
warn:eventlog:ReportEventW L"10.77.1.11"
warn:eventlog:ReportEventW L"02:77:01:00:00:11"
warn:eventlog:ReportEventW L"02:77:01:00:00:b1"
warn:eventlog:ReportEventW L"bravo.lab"
warn:eventlog:ReportEventW L""
warn:eventlog:ReportEventW L"{t1}"
ReportEventW type=0x0004 category=0x0000 id=0x400003e9 strings=0x0006
trace:eventlog:ReportEventW L"10.77.1.12"
trace:eventlog:ReportEventW L""
trace:eventlog:ReportEventW L"02:77:01:00:00:12"
trace:eventlog:ReportEventW L"charlie.lab"
trace:eventlog:ReportEventW L""
trace:eventlog:ReportEventW L"{t2}"'''
seen = open(eventlog).read().strip()
check(seen == expected, "event log: a warning 1000 for the change, an information 1001 for the new "
      "machine, their inserts with the journal's times")
if seen != expected:
    print("expected:\n" + expected)
sys.exit(1 if fails else 0)
PY
[ "$fails" = 0 ] || { echo "--- log"; log; echo "--- profile"; ini; exit 1; }
echo "lab_events passed in $((SECONDS - start)) s from the program's start"
