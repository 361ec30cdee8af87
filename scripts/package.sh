#!/usr/bin/env bash
# Builds the Windows downloads into dist/, VERSION being the release build's file version
# 5.3.3.N (CMakeLists.txt):
#   Hostwarden-VERSION-win32.zip         the stripped exe, the user's guide as README.txt
#                                        (scripts/guide.py), LICENSE and where to get the
#                                        OUI listing, in one folder: unzip and run
#   Hostwarden-VERSION-setup.exe         an NSIS installer (Program Files, Start menu, /S)
#   Hostwarden-VERSION-win64.zip         the same two for the 64-bit twin, for systems
#   Hostwarden-VERSION-win64-setup.exe   that cannot run 32-bit programs
# The 32-bit ones are the release. Installs what is missing and builds both programs
# first (in build-dist/ and build-dist64/, without tests). With --exe32 FILE and/or
# --exe64 FILE it packages those already-built exes instead, without installing or
# building (the package tests use this), and refuses an exe of another version; --out DIR
# puts the results elsewhere.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

exe32="" exe64="" out="$HW_ROOT/dist"
while [ $# -gt 0 ]; do
    case $1 in
    --exe32) exe32=$2; shift 2 ;;
    --exe64) exe64=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: $0 [--exe32 Hostwarden.exe] [--exe64 Hostwarden.exe] [--out DIR]" >&2; exit 2 ;;
    esac
done

version=$(sed -n 's/^project(Hostwarden VERSION \([0-9.]*\).*/\1/p' "$HW_ROOT/CMakeLists.txt")
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] ||
    { echo "CMakeLists.txt gives the version <$version>, not a release build's 5.3.3.N" >&2; exit 1; }

if [ -z "$exe32$exe64" ]; then
    hw_install
    build=${HW_PACKAGE_BUILD:-$HW_ROOT/build-dist}
    hw_build "$build" x86 -DHW_TESTS=OFF
    hw_build "${build}64" x64 -DHW_TESTS=OFF
    exe32=$build/Hostwarden.exe exe64=${build}64/Hostwarden.exe
fi
for tool in zip makensis python3; do
    command -v $tool >/dev/null || { echo "$tool is missing (scripts/lib.sh installs it)" >&2; exit 1; }
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$out"
out=$(cd "$out" && pwd)

# Same inputs, same packages, from a clone or from sources without git: every file,
# and the stripped exe's header, carry the date of this version in the guide's version
# history ("- 5.3.3.1, 10 December 2026: ..."), midnight UTC: a release without its own
# line is not made.
released=$(sed -n "s/^- ${version//./\\.}, \([0-9]\{1,2\} [A-Z][a-z]* [0-9]\{4\}\):.*/\1/p" \
    "$HW_ROOT/docs/guide.md" | head -1)
[ -n "$released" ] || { echo "docs/guide.md has no version history line '- $version, D Month YYYY: ...'" >&2; exit 1; }
stamp=$(TZ=UTC date -d "$released" +%s)
export SOURCE_DATE_EPOCH=$stamp

# Text files get Windows line ends, so Notepad shows them right.
crlf() { sed 's/\r$//; s/$/\r/' "$1" > "$2"; }
python3 "$HW_ROOT/scripts/guide.py" text >"$stage/guide.txt"

# package EXE x86|x64: the zip and the installer of one exe.
package() {
    local exe=$1 arch=$2 strip=i686-w64-mingw32-strip flavour=win32 setupname=setup
    if [ "$arch" = x64 ]; then
        strip=x86_64-w64-mingw32-strip flavour=win64 setupname=win64-setup
    fi
    command -v $strip >/dev/null || { echo "$strip is missing (scripts/lib.sh installs it)" >&2; exit 1; }
    # An exe built before the last bump would go out under the new release's name.
    local built
    built=$(${strip%strip}windres -i "$exe" -O rc | sed -n 's/^ FILEVERSION \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1.\2.\3.\4/p') || true
    [ "$built" = "$version" ] ||
        { echo "$exe has the file version <$built>, the sources $version: build it again" >&2; exit 1; }
    local top=$stage/$flavour dir=$stage/$flavour/Hostwarden-$version launcher=$stage/$flavour-launcher
    mkdir -p "$dir" "$launcher"
    $strip -o "$dir/Hostwarden.exe" "$exe"
    crlf "$stage/guide.txt" "$dir/README.txt"
    crlf "$HW_ROOT/LICENSE" "$dir/LICENSE.txt"
    crlf "$HW_ROOT/docs/OUI-LISTING.txt" "$dir/OUI-LISTING.txt"
    # The installer's Start-menu program, not part of the zip.
    makensis -V2 -DVERSION="$version" -DARCH="$arch" -DOUTFILE="$launcher/HostwardenStart.exe" \
        -DICON="$HW_ROOT/src/resources/hostwarden.ico" "$HW_ROOT/scripts/launcher.nsi"
    find "$dir" "$launcher" -exec touch -d "@$stamp" {} +

    local zipfile=$out/Hostwarden-$version-$flavour.zip setup=$out/Hostwarden-$version-$setupname.exe
    rm -f "$zipfile" "$setup"
    (cd "$top" && TZ=UTC zip -q -X -9 -r "$zipfile" "Hostwarden-$version")
    makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DARCH="$arch" -DSTAGE="$dir" \
        -DLAUNCHER="$launcher/HostwardenStart.exe" -DOUTFILE="$setup" \
        -DICON="$HW_ROOT/src/resources/hostwarden.ico" "$HW_ROOT/scripts/installer.nsi"
    ls -l "$zipfile" "$setup"
}
[ -z "$exe32" ] || package "$exe32" x86
[ -z "$exe64" ] || package "$exe64" x64
