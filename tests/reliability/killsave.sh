#!/usr/bin/env bash
# Kills the program's Wine process (SIGKILL) at a random moment while it saves 508 record
# lines generation after generation, RUNS times (100 by default) for each kind of holder:
# another program (tests/e2e/hwhold.exe) opens the profile at random moments, without
# delete sharing, then with it. After every kill the profile must be byte for byte the
# text before the saves or the whole text of one generation; a profile left under its
# backup name (a kill between ReplaceFile's two renames) counts apart, and must come back
# whole at the next start. Files left beside the profile are counted after every kill
# and must be gone after the last start. Runs in an empty network namespace with a Wine
# prefix of its own in the build folder.
#   HW_BUILD=build-x RUNS=100 bash tests/reliability/killsave.sh
export RUNS=${RUNS:-100}
source "$(dirname "$0")/setup.sh"

hw_prefix "$BUILD/wineprefix-killsave" || exit 1
"$HW_WINESERVER" -p
trap '"$HW_WINESERVER" -k 2>/dev/null' EXIT
HOLD=$BUILD/tests/e2e/hwhold.exe
work=$(mktemp -d)
seed() {
    printf '[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\nSOFTWARE\\Hostwarden\\lowhost=10 77 8 1\r\nSOFTWARE\\Hostwarden\\highhost=10 77 8 254\r\nSOFTWARE\\Hostwarden\\lowhost2=10 77 9 1\r\nSOFTWARE\\Hostwarden\\highhost2=10 77 9 254\r\n' >"$1/Hostwarden.INI"
}
# old, new (one generation's whole text), backup (under the backup name only) or torn.
check() {
    python3 - "$1" <<'PY'
import glob, os, re, sys
d = sys.argv[1]
seed = open(d + '/seed.ini', 'rb').read()
def generation(g):
    lines = b''
    for s in (8, 9):
        for o in range(1, 255):
            lines += (b'SOFTWARE\\Hostwarden\\10.77.%d.%d=02 77 %02x %02x 00 01 %d %d %d %d\r\n'
                      % (s, o, s, o, g, o, 1700000000 + o, 1700000000 + g))
    return seed + lines
def state(data):
    if data == seed: return 'old'
    m = re.search(rb'10\.77\.8\.1=02 77 08 01 00 01 (\d+) ', data)
    return 'new' if m and data == generation(int(m.group(1))) else 'torn'
ini = d + '/Hostwarden.INI'
if os.path.exists(ini):
    print(state(open(ini, 'rb').read()))
else:
    backups = [state(open(b, 'rb').read()) for b in glob.glob(ini + '.*.bak')]
    print('backup' if backups and all(b != 'torn' for b in backups) else 'torn')
PY
}
status=0
for holder in r rd; do
    dir=$work/$holder
    mkdir -p "$dir" && seed "$dir" && cp "$dir/Hostwarden.INI" "$dir/seed.ini"
    windir="Z:${dir//\//\\}"
    "$HW_WINE" "$HOLD" random "$windir\\Hostwarden.INI" 100000 "$holder" >"$dir/holds.txt" 2>&1 &
    holdpid=$!
    declare -A count=([old]=0 [new]=0 [backup]=0 [torn]=0 [restored]=0)
    most=0
    for i in $(seq 1 "$RUNS"); do
        seed "$dir"
        rm -f "$dir/saving"
        HW_SAVELOOP_DIR="$windir" "$HW_WINE" "$EXE" --gtest_filter=SaveUnderKill.* >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 1 300); do [ -f "$dir/saving" ] && break; sleep 0.05; done
        # A random moment within the next two seconds of saving.
        sleep "$((RANDOM % 2)).$(printf '%03d' $((RANDOM % 1000)))"
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        state=$(check "$dir")
        count[$state]=$((count[$state] + 1))
        left=$(ls "$dir" | grep -c '^Hostwarden\.INI\.')
        [ "$left" -gt "$most" ] && most=$left
        if [ "$state" = backup ]; then
            HW_SAVELOOP_DIR="$windir" HW_SAVELOOP_START=1 "$HW_WINE" "$EXE" --gtest_filter=SaveUnderKill.* >/dev/null 2>&1
            [ "$(check "$dir")" != torn ] && count[restored]=$((count[restored] + 1))
        fi
        [ "$state" = torn ] && cp "$dir/Hostwarden.INI" "$work/torn-$holder-$i.ini" 2>/dev/null
    done
    # A backup the holder still has open goes when it lets go (delete pending): the last
    # start comes after the holder has ended.
    kill "$holdpid" 2>/dev/null
    wait "$holdpid" 2>/dev/null
    HW_SAVELOOP_DIR="$windir" HW_SAVELOOP_START=1 "$HW_WINE" "$EXE" --gtest_filter=SaveUnderKill.* >/dev/null 2>&1
    after=$(ls "$dir" | grep -c '^Hostwarden\.INI\.')
    what=$([ "$holder" = rd ] && echo "sharing delete" || echo "not sharing delete")
    echo "holder $what ($(grep -c held "$dir/holds.txt") holds): runs $RUNS: old ${count[old]}, new ${count[new]}, under the backup name ${count[backup]} (put back at the next start: ${count[restored]}), torn ${count[torn]}; at most $most files beside the profile after a kill, $after after the last start"
    [ "${count[torn]}" = 0 ] && [ "${count[backup]}" = "${count[restored]}" ] && [ "$after" = 0 ] || status=1
    unset count
done
rm -rf "$work"
exit $status
