#!/usr/bin/env bash
# The installer under Wine: a silent install puts down the files, the uninstall entry
# and one Start-menu shortcut for every account, and nothing in the installing
# account's profile; started through the shortcut, the program works in the
# Documents\Hostwarden of whoever starts it, made on the first start (another account
# is played by moving this account's Documents); a silent uninstall removes everything
# the install added, and no user's folder.
source "$(dirname "$0")/common.sh"
pkg_make_dist
uninstkey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hostwarden'

"$HW_WINE" "$dist/$run_setup" /S || fail "$run_setup /S exited with $?"

# The uninstall entry.
[ "$(regvalue "$uninstkey" DisplayName)" = "Hostwarden $version" ] || fail "no uninstall entry"
[ "$(regvalue "$uninstkey" DisplayVersion)" = "$version" ] || fail "DisplayVersion"
instdir=$(regvalue "$uninstkey" InstallLocation)
[ "$instdir" = 'C:\Program Files\Hostwarden' ] || fail "installed in <$instdir>"
quiet=$(regvalue "$uninstkey" QuietUninstallString)
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

# A log, an export or the like beside a profile must survive the uninstall too.
userdir=$docs/Hostwarden
echo "kept" > "$userdir/HostwardenLog-kept.txt"
cp "$userdir/Hostwarden.INI" "$work/profile.before"
cp "$otherdir/Hostwarden.INI" "$work/other.before"

# Silent uninstall, as the entry's quiet command says. The NSIS uninstaller copies
# itself to the temporary folder and returns at once, so wait for the files to go.
"$HW_WINE" "$instdir\\Uninstall.exe" /S || fail "uninstall exited with $?"
gone() { [ ! -e "$unixinst" ] && [ ! -e "$lnk" ]; }
hw_waitfor 30 gone || fail "still there after uninstall: $(ls -A "$unixinst" 2>/dev/null) $(ls "$lnk" 2>/dev/null)"
regvalue "$uninstkey" DisplayName >/dev/null && fail "uninstall entry left behind"
for root in HKCU HKLM; do
    "$HW_WINE" reg query "$root\\Software\\Hostwarden" >/dev/null 2>&1 && fail "window placement key left behind in $root"
done
cmp -s "$userdir/Hostwarden.INI" "$work/profile.before" || fail "profile changed or removed by the uninstall"
cmp -s "$otherdir/Hostwarden.INI" "$work/other.before" || fail "the other profile changed or removed by the uninstall"
[ -f "$userdir/HostwardenLog-kept.txt" ] || fail "log removed by the uninstall"
ok "$run_setup uninstalled; the users' folders keep $(ls "$userdir" | tr '\n' ' ')and $(ls "$otherdir" | tr '\n' ' ')"
