#!/usr/bin/env bash
# Builds the two Windows downloads into dist/:
#   Hostwarden-VERSION-win32.zip   the stripped exe, README, LICENSE and where to get
#                                  the OUI listing, in one folder: unzip and run
#   Hostwarden-VERSION-setup.exe   an NSIS installer (Program Files, Start menu, /S)
# Installs what is missing and builds the program first (in build-dist/, without tests).
# With --exe FILE it packages that already-built exe instead, without installing or
# building (the package tests use this); --out DIR puts the results elsewhere.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

exe="" out="$HW_ROOT/dist"
while [ $# -gt 0 ]; do
    case $1 in
    --exe) exe=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: $0 [--exe Hostwarden.exe] [--out DIR]" >&2; exit 2 ;;
    esac
done

version=$(sed -n 's/^project(Hostwarden VERSION \([0-9.]*\).*/\1/p' "$HW_ROOT/CMakeLists.txt")
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }

if [ -z "$exe" ]; then
    hw_install
    build=${HW_PACKAGE_BUILD:-$HW_ROOT/build-dist}
    hw_build "$build" -DHW_TESTS=OFF
    exe=$build/Hostwarden.exe
fi
for tool in i686-w64-mingw32-strip zip makensis; do
    command -v $tool >/dev/null || { echo "$tool is missing (scripts/lib.sh installs it)" >&2; exit 1; }
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir=$stage/Hostwarden-$version
mkdir -p "$dir" "$out"
out=$(cd "$out" && pwd)

# Same inputs, same packages: every file, and the stripped exe's header, carry the
# time of the last commit.
stamp=$(git -C "$HW_ROOT" log -1 --format=%ct 2>/dev/null || date +%s)
export SOURCE_DATE_EPOCH=$stamp

# Text files get Windows line ends, so Notepad shows them right.
crlf() { sed 's/\r$//; s/$/\r/' "$1" > "$2"; }
i686-w64-mingw32-strip -o "$dir/Hostwarden.exe" "$exe"
crlf "$HW_ROOT/README.md" "$dir/README.txt"
crlf "$HW_ROOT/LICENSE" "$dir/LICENSE.txt"
crlf "$HW_ROOT/docs/OUI-LISTING.txt" "$dir/OUI-LISTING.txt"

find "$dir" -exec touch -d "@$stamp" {} +

zipfile=$out/Hostwarden-$version-win32.zip
setup=$out/Hostwarden-$version-setup.exe
rm -f "$zipfile" "$setup"
(cd "$stage" && TZ=UTC zip -q -X -9 -r "$zipfile" "Hostwarden-$version")

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$dir" -DOUTFILE="$setup" \
    -DICON="$HW_ROOT/src/resources/hostwarden.ico" "$HW_ROOT/scripts/installer.nsi"

ls -l "$zipfile" "$setup"
