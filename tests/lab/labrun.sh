#!/usr/bin/env bash
# labrun.sh BUILD WORKDIR SHOT: a small lab, and Hostwarden inside it with its ranges on
# the lab (root). With a display it runs until closed; without one it runs under Xvfb,
# and SHOT is a screenshot taken once the first patrol has saved its records.
set -uo pipefail
BUILD=$1 WORK=$2 SHOT=$3
source "$(dirname "$0")/labwine.sh"
hw_display "$0" "$@"
labwine_init "$BUILD" run \
    10.77.1.10,02:77:01:00:00:10,alpha.lab 10.77.1.11,02:77:01:00:00:11,bravo.lab \
    10.77.1.12,02:77:01:00:00:12,charlie.lab 10.77.1.14,02:77:01:00:00:14,echo.lab \
    10.77.2.20,02:77:02:00:00:20,foxtrot.lab 10.77.2.21,02:77:02:00:00:21,golf.lab
mkdir -p "$WORK"
ini=$WORK/Hostwarden.INI
# The lab preset: 10.77.1.10-19 and 10.77.2.20-29; other keys of the profile are kept.
[ -f "$ini" ] || printf '[Hostwarden]\r\n' >"$ini"
sed -i '/\\lowhost=\|\\highhost=\|\\lowhost2=\|\\highhost2=/d' "$ini"
sed -i 's/^\[Hostwarden\]\r\?$/[Hostwarden]\r\nSOFTWARE\\Hostwarden\\lowhost=10 77 1 10\r\nSOFTWARE\\Hostwarden\\highhost=10 77 1 19\r\nSOFTWARE\\Hostwarden\\lowhost2=10 77 2 20\r\nSOFTWARE\\Hostwarden\\highhost2=10 77 2 29\r/' "$ini"
echo "Lab hosts: 10.77.1.10-12, .14 and 10.77.2.20-21 answer; the other addresses are silent."
echo "Change them between patrols: tests/lab/lab.sh silence|revive|newmac $LABP IP [MAC]"

if [ "$SHOT" = "-" ]; then
    labrun bash -c "cd '$WORK' && '$HW_WINE' '$BUILD/Hostwarden.exe'"
    exit 0
fi
# A new saved record of the last address means the first patrol has ended (the profile
# may hold one from an earlier run: every patrol changes it).
lastrecord() { grep 'SOFTWARE\\Hostwarden\\10.77.2.29=' "$ini" 2>/dev/null; }
before=$(lastrecord)
rm -f "$SHOT"
labrun bash -c "cd '$WORK' && exec '$HW_WINE' explorer /desktop=hw,1024x768 '$BUILD/Hostwarden.exe'" &
app=$!
for _ in $(seq 600); do
    now=$(lastrecord) && [ "$now" != "$before" ] && break
    sleep 0.1
done
sleep 1
labrun import -window root "$SHOT"
labrun "$HW_WINESERVER" -k 2>/dev/null
wait $app 2>/dev/null
[ -f "$SHOT" ] && echo "Screenshot of a lab patrol: $SHOT"
