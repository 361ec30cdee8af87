#!/usr/bin/env bash
# The portable zip: the expected files in one folder, a stripped exe, Windows line
# ends, the same bytes when made again; unzipped and started in its folder under Wine,
# the program keeps its profile beside itself.
source "$(dirname "$0")/common.sh"
pkg_make_dist
zipfile=$dist/Hostwarden-$version-win32.zip
top=Hostwarden-$version

listing=$(unzip -Z1 "$zipfile" | sort | tr '\n' ' ')
expected="$top/ $top/Hostwarden.exe $top/LICENSE.txt $top/OUI-LISTING.txt $top/README.txt "
[ "$listing" = "$expected" ] || fail "zip holds <$listing>"
unzip -q -d "$work/zip" "$zipfile"
dir=$work/zip/$top
ok "zip: $listing"

# Made again a second later from the same inputs, both packages come out the same.
sleep 1
bash "$HW_ROOT/scripts/package.sh" --exe "$BUILD/Hostwarden.exe" --out "$work/again" >/dev/null
for f in Hostwarden-$version-win32.zip Hostwarden-$version-setup.exe; do
    cmp -s "$dist/$f" "$work/again/$f" || fail "$f differs when made again"
done
ok "zip and installer are reproducible"

i686-w64-mingw32-objdump -h "$dir/Hostwarden.exe" | grep -q '\.debug' && fail "exe not stripped"
[ "$(stat -c %s "$dir/Hostwarden.exe")" -le "$(stat -c %s "$BUILD/Hostwarden.exe")" ] || fail "exe grew"
for f in README.txt LICENSE.txt OUI-LISTING.txt; do
    [ -s "$dir/$f" ] || fail "$f empty"
    grep -qv $'\r$' "$dir/$f" && fail "$f has a line without CRLF"
done
grep -q 'The Hostwarden developers' "$dir/LICENSE.txt" || fail "LICENSE without copyright line"
grep -q 'standards-oui.ieee.org' "$dir/OUI-LISTING.txt" || fail "OUI text without the address"
grep -q 'ieee-data' "$dir/OUI-LISTING.txt" || fail "OUI text without the Debian package"
ok "stripped exe of $(stat -c %s "$dir/Hostwarden.exe") bytes, text files with CRLF"

# Started from its folder (as Explorer does on a double click), it runs and closes.
(cd "$dir" && exec wine Hostwarden.exe) &
waitfor 30 titleis "Hostwarden $version" || fail "no main window"
pkg_close
wait
[ -f "$dir/Hostwarden.INI" ] || fail "no Hostwarden.INI beside the unzipped exe: $(ls -A "$dir")"
grep -q 'SOFTWARE\\Hostwarden\\period=3600' "$dir/Hostwarden.INI" || fail "profile without the period"
ok "ran from the unzipped folder and kept its profile there"
