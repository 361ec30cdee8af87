#!/usr/bin/env bash
# Working-folder faults, each in a mount of its own (root needed): a read-only folder,
# and a tmpfs filled up so that saving the records, writing the log and exporting run
# out of space. Runs the Faults tests of test_reliability.exe there, then checks the
# profile with checkini.py, and prints one line per case. The same runs with the copy
# check off show what the old in-place writes did.
#   HW_BUILD=build-x bash tests/reliability/faults.sh
source "$(dirname "$0")/setup.sh"
HW_SCREEN=1280x1024 hw_own_display "$0" "$@"

hw_prefix "$BUILD/wineprefix-faults" || exit 1
"$HW_WINESERVER" -p
work=$(mktemp -d)
cleanup() {
    "$HW_WINESERVER" -k 2>/dev/null
    for m in "$work"/*; do umount "$m" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

# 508 record lines of generation 1, the log switched on.
seed() {
    python3 - "$1" <<'PY'
import sys
lines = ['[Hostwarden]', 'SOFTWARE\\Hostwarden\\period=3600', 'SOFTWARE\\Hostwarden\\lowhost=10 77 8 1',
         'SOFTWARE\\Hostwarden\\highhost=10 77 8 254', 'SOFTWARE\\Hostwarden\\lowhost2=10 77 9 1',
         'SOFTWARE\\Hostwarden\\highhost2=10 77 9 254', 'SOFTWARE\\Hostwarden\\logs=1']
for s in (8, 9):
    for o in range(1, 255):
        lines.append('SOFTWARE\\Hostwarden\\10.77.%d.%d=02 00 5e 10 20 30 1 %d %d 1700000001' % (s, o, o, 1700000000 + o))
open(sys.argv[1] + '/Hostwarden.INI', 'w', newline='').write('\r\n'.join(lines) + '\r\n')
PY
}

status=0
run() {  # name dir filter
    # Output to a file: Wine's own services keep a pipe open after the test ends.
    HW_FAULT_DIR="Z:${2//\//\\}" "$HW_WINE" "$EXE" --gtest_filter="$3" >"$work/out.txt" 2>&1
    local rc=$?
    local out
    out=$(cat "$work/out.txt")
    local state
    state=$(python3 "$HW_ROOT/tests/reliability/checkini.py" "$2/Hostwarden.INI" --loose)
    echo "$1: test rc $rc, profile $state"
    echo "$out" | grep -E '^\[ notice \]|Failure|FAILED' | sed 's/^/    /'
    [ $rc = 0 ] && [ "$state" = ok ] || status=1
}

# A read-only folder (a read-only bind mount stops root too).
ro=$work/readonly
mkdir -p "$ro" && seed "$ro"
mount --bind "$ro" "$ro" && mount -o remount,ro,bind "$ro"
run "read-only folder" "$ro" 'Faults.FolderThatCannotBeWritten'

# A full disk: a 1 MiB tmpfs holding the profile, filled up but for a few KiB.
full=$work/full
mkdir -p "$full"
mount -t tmpfs -o size=1m hwfull "$full"
seed "$full"
dd if=/dev/zero of="$full/filler" bs=1k count=2000 2>/dev/null
rm -f "$full/filler"; dd if=/dev/zero of="$full/filler" bs=1k count=$(( $(df -k --output=avail "$full" | tail -1) - 8 )) 2>/dev/null
echo "    free on the full disk: $(df -k --output=avail "$full" | tail -1) KiB; profile $(stat -c %s "$full/Hostwarden.INI") bytes"
run "disk full" "$full" 'Faults.DiskFullWhileSavingLoggingAndExporting'
echo "    log file on the full disk: $(stat -c %s "$full"/HostwardenLog*.txt) bytes; export.txt $(stat -c %s "$full/export.txt") bytes"
exit $status
