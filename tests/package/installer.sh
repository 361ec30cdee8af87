#!/usr/bin/env bash
# The installer under Wine: a silent install puts down the files, the uninstall entry
# and one Start-menu shortcut for every account, and nothing in the installing
# account's profile; started through the shortcut, the program works in the
# Documents\Hostwarden of whoever starts it, made on the first start (another account
# is played by moving this account's Documents); while the installed Hostwarden runs,
# or another program holds its exe, neither an upgrade nor an uninstall changes
# anything, and both say so by their exit code; a silent uninstall removes everything
# the install added, also while a copy from elsewhere runs, and no user's folder nor
# any account's own registry key.
source "$(dirname "$0")/common.sh"
pkg_make_dist
uninstkey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hostwarden'
eventkey='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Hostwarden'

"$HW_WINE" "$dist/$run_setup" /S || fail "$run_setup /S exited with $?"

# The uninstall entry.
[ "$(regvalue "$uninstkey" DisplayName)" = "Hostwarden $version" ] || fail "no uninstall entry"
[ "$(regvalue "$uninstkey" DisplayVersion)" = "$version" ] || fail "DisplayVersion"
instdir=$(regvalue "$uninstkey" InstallLocation)
[ "$instdir" = 'C:\Program Files\Hostwarden' ] || fail "installed in <$instdir>"
quiet=$(regvalue "$uninstkey" QuietUninstallString)
# The event log's source names the installed exe as its message file.
[ "$(regvalue "$eventkey" EventMessageFile)" = "$instdir\Hostwarden.exe" ] || fail "event source: <$(regvalue "$eventkey" EventMessageFile)>"
[ "$(regvalue "$eventkey" TypesSupported)" = 0x7 ] || fail "event source's TypesSupported"
[ "$quiet" = "\"$instdir\\Uninstall.exe\" /S" ] || fail "QuietUninstallString <$quiet>"
ok "uninstall entry: $instdir, $quiet"

# The files, and the exe is the one in the zip.
unixinst=$("$HW_WINE" winepath -u "$instdir")
for f in Hostwarden.exe HostwardenStart.exe README.txt LICENSE.txt OUI-LISTING.txt Uninstall.exe; do
    [ -f "$unixinst/$f" ] || fail "$f not installed"
done
checkguide "$unixinst/README.txt"
unzip -q -d "$work/zip" "$dist/$run_zip"
cmp -s "$unixinst/Hostwarden.exe" "$work/zip/Hostwarden-$version/Hostwarden.exe" \
    || fail "installed exe differs from the one in $run_zip"
ok "files in $unixinst"

# The shortcut: every account's, starting a program of the install, with its icon.
lnk="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Hostwarden.lnk"
[ -f "$lnk" ] || fail "no shortcut in the Start menu of every account: $(find "$WINEPREFIX/drive_c" -name '*.lnk' | grep -i hostwarden)"
fields=$(python3 "$HW_ROOT/tests/package/lnkinfo.py" "$lnk") || fail "cannot read $lnk"
field() { printf '%s\n' "$fields" | sed -n "s/^$1=//p"; }
[[ "$(field target)" == "$instdir\\"*.exe ]] || fail "shortcut target <$(field target)>"
[ "$(field icon)" = "$instdir\\Hostwarden.exe" ] || fail "shortcut icon <$(field icon)>"
ok "shortcut for every account: $(field target) in <$(field workdir)>"

# Nothing in the installing account's profile: its Documents has no Hostwarden folder.
docs=$("$HW_WINE" winepath -u "$(regvalue 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Personal)")
[ -d "$docs" ] || fail "no Documents folder at <$docs>"
[ ! -e "$docs/Hostwarden" ] || fail "the install made $docs/Hostwarden"

# startvia USERDIR: starts the shortcut and closes the program; it must have worked in
# USERDIR (which it made) and written nothing into the program's folder.
startvia() {
    "$HW_WINE" start /unix "$lnk"
    hw_waitfor 30 titleis "$progtitle" || fail "no main window after starting the shortcut"
    pkg_close
    [ -f "$1/Hostwarden.INI" ] || fail "no Hostwarden.INI in $1: $(ls -A "$1" 2>&1)"
    grep -q '^\[Hostwarden\]' "$1/Hostwarden.INI" || fail "no [Hostwarden] section in $1"
    [ ! -e "$unixinst/Hostwarden.INI" ] || fail "profile written into Program Files"
}
startvia "$docs/Hostwarden"
ok "first start: $docs/Hostwarden made, the profile in it"

# Another account, played by this one with its Documents elsewhere: the same shortcut
# starts the program in that account's own Documents\Hostwarden.
other='C:\users\other\Documents'
mkdir -p "$("$HW_WINE" winepath -u "$other")"
"$HW_WINE" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
    /v Personal /t REG_EXPAND_SZ /d "$other" /f >/dev/null 2>&1 || fail "cannot move Documents"
otherdir=$("$HW_WINE" winepath -u "$other\Hostwarden")
startvia "$otherdir"
ok "another Documents: $otherdir made, the profile in it"

# Hostwarden running from the program folder (started by the shortcut), or another
# program holding its exe without delete sharing (as Windows holds the exe of a program
# that another account runs): an upgrade and an uninstall end with exit code 2 and
# change nothing. The uninstaller runs in place, as a script runs it to wait for it:
# _?= takes the rest of the line, spaces and all, unquoted. The test's mark at the end
# of README.txt shows whether the installer wrote its files again.
setup() { "$HW_WINE" "$dist/$run_setup" /S; }
inplace() { "$HW_WINE" "$instdir\\Uninstall.exe" /S _?=$instdir; }
hold() {
    "$HW_WINE" "$BUILD/tests/e2e/hwhold.exe" hold "$instdir\\Hostwarden.exe" r "$1" >"$work/held" &
    holder=$!
    hw_waitfor 10 grep -q held "$work/held" || fail "hwhold did not hold the exe"
}
intact() {
    for f in Hostwarden.exe HostwardenStart.exe README.txt LICENSE.txt OUI-LISTING.txt Uninstall.exe; do
        [ -f "$unixinst/$f" ] || fail "$1: $f removed"
    done
    [ -f "$lnk" ] || fail "$1: shortcut removed"
    [ "$(regvalue "$uninstkey" DisplayName)" = "Hostwarden $version" ] || fail "$1: uninstall entry removed"
    grep -qx marked "$unixinst/README.txt" || fail "$1: README.txt written again"
}
echo marked >>"$unixinst/README.txt"
while read -r blocker run want; do
    case $blocker in
    running)
        "$HW_WINE" start /unix "$lnk"
        hw_waitfor 30 titleis "$progtitle" || fail "no main window after starting the shortcut" ;;
    held) hold 8000 ;;
    esac
    rc=0
    $run || rc=$?
    [ "$rc" = "$want" ] || fail "$run beside a $blocker exe exited with $rc, want $want"
    intact "$run beside a $blocker exe"
    case $blocker in running) pkg_close ;; held) wait "$holder" ;; esac
    ok "$run beside a $blocker exe: exit code $rc, nothing changed"
done <<EOF
running setup 2
running inplace 2
held setup 2
held inplace 2
EOF
# A holder that lets go within 3 s (a scanner) is waited for. Held for 2.5 s from
# before the installer starts, the exe is held at its first try unless the installer
# takes that long to start.
hold 2500
setup || fail "$run_setup beside a held exe let go exited with $?"
wait "$holder"
grep -qx marked "$unixinst/README.txt" && fail "$run_setup did not write its files again"
[ -f "$unixinst/Hostwarden.exe" ] || fail "no Hostwarden.exe after the upgrade"
ok "$run_setup waited for a holder of its exe that let go"

# A log, an export or the like beside a profile must survive the uninstall too.
userdir=$docs/Hostwarden
echo "kept" > "$userdir/HostwardenLog-kept.txt"
cp "$userdir/Hostwarden.INI" "$work/profile.before"
cp "$otherdir/Hostwarden.INI" "$work/other.before"

# The window placement: the computer's, written by the program (it ran with
# administrator rights), and this account's own, as a program without them writes it.
"$HW_WINE" reg query 'HKLM\Software\Hostwarden' >/dev/null 2>&1 || fail "the program wrote no placement under HKLM"
"$HW_WINE" reg add 'HKCU\Software\Hostwarden' /ve /d 'the account'"'"'s own' /f >/dev/null 2>&1 || fail "cannot add the HKCU key"

# A copy of Hostwarden started from another folder (the zip's) does not hold up the
# uninstall. Run in place, the uninstaller removes everything but itself, then says it
# is done by its exit code; the script deletes it and the folder.
zipcopy=$work/zip/Hostwarden-$version
(cd "$zipcopy" && exec "$HW_WINE" Hostwarden.exe) &
hw_waitfor 30 titleis "$progtitle" || fail "no main window of the copy from the zip"
inplace || fail "uninstall in place beside a copy from elsewhere exited with $?"
[ "$(ls -A "$unixinst")" = Uninstall.exe ] || fail "the uninstall in place left <$(ls -A "$unixinst" | tr '\n' ' ')>"
[ ! -e "$lnk" ] || fail "the uninstall in place left the shortcut"
regvalue "$uninstkey" DisplayName >/dev/null && fail "the uninstall in place left its entry"
"$HW_WINE" cmd /c del "$instdir\\Uninstall.exe" && "$HW_WINE" cmd /c rmdir "$instdir" || fail "cannot remove the uninstaller"
pkg_close
wait
ok "uninstalled in place beside a copy from elsewhere; the script removed Uninstall.exe and the folder"

# Installed again and uninstalled silently, as the entry's quiet command says. The NSIS
# uninstaller copies itself to the temporary folder and returns at once, so wait for
# the files to go.
setup || fail "$run_setup exited with $?"
"$HW_WINE" "$instdir\\Uninstall.exe" /S || fail "uninstall exited with $?"
gone() { [ ! -e "$unixinst" ] && [ ! -e "$lnk" ]; }
hw_waitfor 30 gone || fail "still there after uninstall: $(ls -A "$unixinst" 2>/dev/null) $(ls "$lnk" 2>/dev/null)"
regvalue "$uninstkey" DisplayName >/dev/null && fail "uninstall entry left behind"
regvalue "$eventkey" EventMessageFile >/dev/null && fail "event source left behind"
"$HW_WINE" reg query 'HKLM\Software\Hostwarden' >/dev/null 2>&1 && fail "the computer's window placement left behind"
own=$("$HW_WINE" reg query 'HKCU\Software\Hostwarden' /ve 2>/dev/null) || own=""
grep -q "the account's own" <<<"$own" || fail "the account's own window placement removed: <$own>"
cmp -s "$userdir/Hostwarden.INI" "$work/profile.before" || fail "profile changed or removed by the uninstall"
cmp -s "$otherdir/Hostwarden.INI" "$work/other.before" || fail "the other profile changed or removed by the uninstall"
[ -f "$userdir/HostwardenLog-kept.txt" ] || fail "log removed by the uninstall"
ok "$run_setup uninstalled; the users' folders keep $(ls "$userdir" | tr '\n' ' ')and $(ls "$otherdir" | tr '\n' ' ')"
