#!/usr/bin/env bash
# eventlog.sh WINE TEST_EVENTS_EXE: the event log's calls as Wine's trace shows them. Wine
# keeps no log; its advapi channel names the source and each entry's type, category, id
# and count of strings, and its eventlog channel prints each insert string. Runs in the
# session's prefix (WINEPREFIX from ctest's environment).
set -uo pipefail
wine=$1 exe=$2
trace=$(WINEDEBUG=-all,+eventlog,fixme+advapi "$wine" "$exe" --gtest_filter=EventLog.WritesEachKindOnce 2>&1 | tr -d '\r')
echo "$trace" | grep -q '^\[  PASSED  \] 1 test' || { echo "$trace"; echo "the test did not pass"; exit 1; }
seen=$(echo "$trace" | sed -nE \
    -e 's/^[0-9a-f]+:fixme:advapi:(RegisterEventSourceW \(L"[^"]*",L"[^"]*"\)).*/\1/p' \
    -e 's/^[0-9a-f]+:fixme:advapi:ReportEventW \([0-9A-Fa-f]+,(0x[0-9a-f]+),(0x[0-9a-f]+),(0x[0-9a-f]+),[0-9A-Fa-f]+,(0x[0-9a-f]+),.*/ReportEventW type=\1 category=\2 id=\3 strings=\4/p' \
    -e 's/^[0-9a-f]+:((warn|trace):eventlog:ReportEventW .*)/\1/p')
expected='RegisterEventSourceW (L"",L"Hostwarden")
ReportEventW type=0x0002 category=0x0000 id=0x800003e8 strings=0x0006
warn:eventlog:ReportEventW L"10.77.0.5"
warn:eventlog:ReportEventW L"00:1a:2b:3c:4d:5e"
warn:eventlog:ReportEventW L"02:00:5e:10:00:01"
warn:eventlog:ReportEventW L"printer-2"
warn:eventlog:ReportEventW L"Acme & \"Sons\""
warn:eventlog:ReportEventW L"2024-05-01T14:03:09+02:00"
ReportEventW type=0x0004 category=0x0000 id=0x400003e9 strings=0x0006
trace:eventlog:ReportEventW L"10.77.0.9"
trace:eventlog:ReportEventW L""
trace:eventlog:ReportEventW L"02:00:5e:10:00:02"
trace:eventlog:ReportEventW L"NA"
trace:eventlog:ReportEventW L""
trace:eventlog:ReportEventW L"2024-05-01T06:33:09-05:30"'
if [ "$seen" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$seen") | sed 's/^/    /'
    echo "the event log calls differ from the expected (< expected, > seen)"
    exit 1
fi
echo "the event log calls are as expected"
