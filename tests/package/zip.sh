#!/usr/bin/env bash
# The portable zips: named by the release build's version, the expected files in one
# folder, a stripped exe of that version, Windows line ends, the user's guide as plain
# text, every file dated by the release's line in the version history, the same bytes
# when made again from sources without git, and none made for a release whose exe or
# line is missing; the zip that runs here, unzipped and started in its folder under
# Wine, keeps its profile beside itself.
source "$(dirname "$0")/common.sh"
pkg_make_dist
top=Hostwarden-$version
release=${version##*.}
# The date of this release's line in the guide, as the zips carry it (yyyymmdd).
released=$(sed -n "s/^- ${version//./\\.}, \([0-9]\{1,2\} [A-Z][a-z]* [0-9]\{4\}\):.*/\1/p" "$HW_ROOT/docs/guide.md")
[ -n "$released" ] || fail "docs/guide.md has no version history line for $version"
released=$(date -d "$released" +%Y%m%d)

# Made again a second later from a copy of the sources without git (as from a
# tarball), every package comes out the same.
sleep 1
mkdir "$work/tarball"
cp -r "$HW_ROOT"/{CMakeLists.txt,LICENSE,docs,scripts,src} "$work/tarball/"
bash "$work/tarball/scripts/package.sh" $(pkg_args) --out "$work/again" >/dev/null
for f in $made; do
    cmp -s "$dist/$f" "$work/again/$f" || fail "$f differs when made again from sources without git"
done
ok "reproducible, also without git: $(echo $made)"

# Sources bumped to the next release make nothing until its line is in the version
# history, and then refuse this build's exe, which would go out under the new name.
next=5.3.3.$((release + 1))
cp -r "$work/tarball" "$work/next"
sed -i "s/^project(Hostwarden VERSION $version /project(Hostwarden VERSION $next /" "$work/next/CMakeLists.txt"
while IFS='|' read -r line want; do
    cp "$HW_ROOT/docs/guide.md" "$work/next/docs/guide.md"
    [ -z "$line" ] || sed -i "/^## Version history\$/a $line" "$work/next/docs/guide.md"
    rm -rf "$work/nextdist"
    if said=$(bash "$work/next/scripts/package.sh" $(pkg_args) --out "$work/nextdist" 2>&1); then
        fail "$next made with <$line>"
    fi
    grep -qF "$want" <<<"$said" || fail "$next with <$line>: said <$said>, want <$want>"
    [ -z "$(ls -A "$work/nextdist" 2>/dev/null)" ] || fail "$next with <$line> left $(ls "$work/nextdist")"
done <<EOF
|docs/guide.md has no version history line '- $next, D Month YYYY: ...'
- $next, 11 December 2026: the next release.|has the file version <$version>, the sources $next: build it again
EOF
ok "$next: no packages without its history line, nor from the exe of $version"

# checkzip ZIP BUILTEXE OBJDUMP: contents, stripped exe of this version, text files,
# dates.
checkzip() {
    local zipfile=$dist/$1 built=$2 objdump=$3 listing expected dir dates
    listing=$(unzip -Z1 "$zipfile" | sort | tr '\n' ' ')
    expected="$top/ $top/Hostwarden.exe $top/LICENSE.txt $top/OUI-LISTING.txt $top/README.txt "
    [ "$listing" = "$expected" ] || fail "$1 holds <$listing>"
    unzip -q -d "$work/${1%.zip}" "$zipfile"
    dir=$work/${1%.zip}/$top
    $objdump -h "$dir/Hostwarden.exe" | grep -q '\.debug' && fail "exe of $1 not stripped"
    cmp -s <($objdump -p "$dir/Hostwarden.exe" | grep -E 'DLL Name|^Magic|^Subsystem') \
        <($objdump -p "$built" | grep -E 'DLL Name|^Magic|^Subsystem') || fail "exe of $1 is not $built"
    [ "$(stat -c %s "$dir/Hostwarden.exe")" -le "$(stat -c %s "$built")" ] || fail "exe of $1 grew"
    ${objdump%objdump}windres -i "$dir/Hostwarden.exe" -O rc >"$work/zipexe.rc"
    grep -qxF " FILEVERSION 5, 3, 3, $release" "$work/zipexe.rc" || fail "exe of $1 is not file version 5.3.3.$release"
    dates=$(TZ=UTC unzip -Z -T "$zipfile" | awk '/^[-d]r/ {print $7}' | sort -u | tr '\n' ' ')
    [ "$dates" = "$released.000000 " ] || fail "$1 holds files dated <$dates>, not the release's $released"
    for f in README.txt LICENSE.txt OUI-LISTING.txt; do
        [ -s "$dir/$f" ] || fail "$f empty"
        grep -qv $'\r$' "$dir/$f" && fail "$f has a line without CRLF"
    done
    checkguide "$dir/README.txt"
    grep -q 'The Hostwarden developers' "$dir/LICENSE.txt" || fail "LICENSE without copyright line"
    grep -q 'standards-oui.ieee.org' "$dir/OUI-LISTING.txt" || fail "OUI text without the address"
    grep -q 'ieee-data' "$dir/OUI-LISTING.txt" || fail "OUI text without the Debian package"
    ok "$1: $listing; stripped exe of $(stat -c %s "$dir/Hostwarden.exe") bytes, text files with CRLF, the guide as plain text"
}
checkzip "Hostwarden-$version-win32.zip" "$HW_PRODUCT_EXE" i686-w64-mingw32-objdump
[ "$HW_ARCH" = x86 ] || checkzip "Hostwarden-$version-win64.zip" "$BUILD/Hostwarden.exe" x86_64-w64-mingw32-objdump
dir=$work/${run_zip%.zip}/$top

# Started from its folder (as Explorer does on a double click), it runs and closes.
(cd "$dir" && exec "$HW_WINE" Hostwarden.exe) &
hw_waitfor 30 titleis "$progtitle" || fail "no main window"
pkg_close
wait
[ -f "$dir/Hostwarden.INI" ] || fail "no Hostwarden.INI beside the unzipped exe: $(ls -A "$dir")"
grep -q 'SOFTWARE\\Hostwarden\\period=3600' "$dir/Hostwarden.INI" || fail "profile without the period"
ok "$run_zip ran from the unzipped folder and kept its profile there"
