#!/usr/bin/env bash
# The installer under Wine: a silent install puts down the files, a Start-menu shortcut
# that starts the program in a folder the user can write, and the uninstall entry;
# the program started through that shortcut keeps its profile in that folder; a
# silent uninstall removes everything but that folder.
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
for f in Hostwarden.exe README.txt LICENSE.txt OUI-LISTING.txt Uninstall.exe; do
    [ -f "$unixinst/$f" ] || fail "$f not installed"
done
unzip -q -d "$work/zip" "$dist/$run_zip"
cmp -s "$unixinst/Hostwarden.exe" "$work/zip/Hostwarden-$version/Hostwarden.exe" \
    || fail "installed exe differs from the one in $run_zip"
ok "files in $unixinst"

# The shortcut: the installed exe, started in Documents\Hostwarden, which exists.
lnk=$(ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs/Hostwarden.lnk)
fields=$(python3 "$HW_ROOT/tests/package/lnkinfo.py" "$lnk") || fail "cannot read $lnk"
field() { printf '%s\n' "$fields" | sed -n "s/^$1=//p"; }
[ "$(field target)" = "$instdir\\Hostwarden.exe" ] || fail "shortcut target <$(field target)>"
workdir=$(field workdir)
case $workdir in
'C:\users\'*'\Documents\Hostwarden') ;;
*) fail "shortcut working directory <$workdir>" ;;
esac
userdir=$("$HW_WINE" winepath -u "$workdir")
[ -d "$userdir" ] || fail "working directory $userdir not created"
touch "$userdir/.writable" && rm "$userdir/.writable" || fail "$userdir not writable"
ok "shortcut $workdir -> $(field target)"

# Started through the shortcut, the program writes its profile into that folder.
"$HW_WINE" start /unix "$lnk"
hw_waitfor 30 titleis "Hostwarden $version" || fail "no main window after starting the shortcut"
pkg_close
[ -f "$userdir/Hostwarden.INI" ] || fail "no Hostwarden.INI in $userdir: $(ls -A "$userdir")"
grep -q '^\[Hostwarden\]' "$userdir/Hostwarden.INI" || fail "no [Hostwarden] section"
[ ! -e "$unixinst/Hostwarden.INI" ] || fail "profile written into Program Files"
ok "profile in the user's folder: $(tr -d '\r' < "$userdir/Hostwarden.INI" | tr '\n' ' ')"

# A log, an export or the like beside it must survive the uninstall too.
echo "kept" > "$userdir/HostwardenLog-kept.txt"
cp "$userdir/Hostwarden.INI" "$work/profile.before"

# Silent uninstall, as the entry's quiet command says. The NSIS uninstaller copies
# itself to the temporary folder and returns at once, so wait for the files to go.
"$HW_WINE" "$instdir\\Uninstall.exe" /S || fail "uninstall exited with $?"
gone() { [ ! -e "$unixinst" ] && [ ! -e "$lnk" ]; }
hw_waitfor 30 gone || fail "still there after uninstall: $(ls -A "$unixinst" 2>/dev/null) $(ls "$lnk" 2>/dev/null)"
regvalue "$uninstkey" DisplayName >/dev/null && fail "uninstall entry left behind"
"$HW_WINE" reg query 'HKCU\Software\Hostwarden' >/dev/null 2>&1 && fail "window placement key left behind"
cmp -s "$userdir/Hostwarden.INI" "$work/profile.before" || fail "profile changed or removed by the uninstall"
[ -f "$userdir/HostwardenLog-kept.txt" ] || fail "log removed by the uninstall"
ok "$run_setup uninstalled; the user's folder keeps $(ls "$userdir" | tr '\n' ' ')"
