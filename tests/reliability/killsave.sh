#!/usr/bin/env bash
# Kills the program's Wine process (SIGKILL) at a random moment while saverecords writes
# 508 record lines, RUNS times (200 by default), and counts the profiles left lost,
# truncated or unreadable. Runs in an empty network namespace with a Wine prefix of its
# own in the build folder.
#   HW_BUILD=build-x RUNS=200 bash tests/reliability/killsave.sh
export RUNS=${RUNS:-200}
source "$(dirname "$0")/setup.sh"

hw_prefix "$BUILD/wineprefix-killsave" || exit 1
"$HW_WINESERVER" -p
trap '"$HW_WINESERVER" -k 2>/dev/null' EXIT
work=$(mktemp -d)
declare -A count=([ok]=0 [lost]=0 [truncated]=0 [unreadable]=0)
savems=""
for i in $(seq 1 "$RUNS"); do
    dir=$work/run
    rm -rf "$dir" && mkdir -p "$dir"
    printf '[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\nSOFTWARE\\Hostwarden\\lowhost=10 77 8 1\r\nSOFTWARE\\Hostwarden\\highhost=10 77 8 254\r\nSOFTWARE\\Hostwarden\\lowhost2=10 77 9 1\r\nSOFTWARE\\Hostwarden\\highhost2=10 77 9 254\r\n' >"$dir/Hostwarden.INI"
    HW_SAVELOOP_DIR="Z:${dir//\//\\}" "$HW_WINE" "$EXE" --gtest_filter=SaveUnderKill.* >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 300); do [ -f "$dir/saving" ] && break; sleep 0.05; done
    [ -n "$savems" ] || savems=$(cat "$dir/saving" 2>/dev/null)
    # A random moment within the next one to two saves.
    sleep "0.$(printf '%03d' $((RANDOM % 1000)))"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    state=$(python3 "$HW_ROOT/tests/reliability/checkini.py" "$dir/Hostwarden.INI")
    count[$state]=$((count[$state] + 1))
    [ "$state" = ok ] || cp "$dir/Hostwarden.INI" "$work/bad-$i.ini" 2>/dev/null
done
echo "runs $RUNS: ok ${count[ok]}, lost ${count[lost]}, truncated ${count[truncated]}, unreadable ${count[unreadable]} (one save took ${savems:-?} ms)"
rm -rf "$work"
[ $((count[lost] + count[truncated] + count[unreadable])) = 0 ]
