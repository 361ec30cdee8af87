#!/usr/bin/env bash
# saverecords on a full disk: a 1 MiB tmpfs holding a profile of 508 record lines and
# filled up but for 8 KiB, where test_reliability.exe's save loop writes for 8 seconds.
# Prints the profile's state and size afterwards. Give it an older build to compare:
#   HW_BUILD=build-old bash tests/reliability/fullsave.sh
# (root needed for the mount).
source "$(dirname "$0")/setup.sh"

hw_prefix "$BUILD/wineprefix-killsave" || exit 1
"$HW_WINESERVER" -p
d=$(mktemp -d)
trap '"$HW_WINESERVER" -k 2>/dev/null; umount "$d" 2>/dev/null; rmdir "$d"' EXIT
mount -t tmpfs -o size=1m hwfullsave "$d"
python3 - "$d" <<'PY'
import sys
lines = ['[Hostwarden]', 'SOFTWARE\\Hostwarden\\period=60', 'SOFTWARE\\Hostwarden\\lowhost=10 77 8 1',
         'SOFTWARE\\Hostwarden\\highhost=10 77 8 254', 'SOFTWARE\\Hostwarden\\lowhost2=10 77 9 1',
         'SOFTWARE\\Hostwarden\\highhost2=10 77 9 254']
for s in (8, 9):
    for o in range(1, 255):
        lines.append('SOFTWARE\\Hostwarden\\10.77.%d.%d=02 77 %02x %02x 00 01 1 %d %d 1700000001' % (s, o, s, o, o, 1700000000 + o))
open(sys.argv[1] + '/Hostwarden.INI', 'w', newline='').write('\r\n'.join(lines) + '\r\n')
PY
dd if=/dev/zero of="$d/filler" bs=1k count=$(( $(df -k --output=avail "$d" | tail -1) - 8 )) 2>/dev/null
echo "before: profile $(python3 "$HW_ROOT/tests/reliability/checkini.py" "$d/Hostwarden.INI"), $(stat -c %s "$d/Hostwarden.INI") bytes, $(df -k --output=avail "$d" | tail -1) KiB free"
HW_SAVELOOP_DIR="Z:${d//\//\\}" timeout -s KILL 8 "$HW_WINE" "$EXE" --gtest_filter=SaveUnderKill.* >/dev/null 2>&1
echo "after 8 s of saving: profile $(python3 "$HW_ROOT/tests/reliability/checkini.py" "$d/Hostwarden.INI" --loose), $(stat -c %s "$d/Hostwarden.INI") bytes"
