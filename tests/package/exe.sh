#!/usr/bin/env bash
# exe.sh EXE x86|x64 GENERATED: a built Hostwarden.exe read without running it (so the
# 32-bit product is checked on machines that cannot execute it): a GUI program for its
# processor, importing only system DLLs, and carrying exactly the resources that the
# resource script defines (menu, both dialogs, icon, version block, manifest), with the
# release build's file version 5.3.3.N of the CMake project, the texts that show 5.3.3,
# the FileDescription that heads its notifications, the manifest naming its processor,
# and no import that Vista lacks. GENERATED is the build's folder of generated resource
# files.
set -euo pipefail
exe=$1 arch=$2 generated=$3
HW_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; }
[ -f "$exe" ] || fail "no $exe"

case $arch in
x86) tools=i686-w64-mingw32 format=pei-i386 cpu=i386 magic='010b	(PE32)' manifest=x86 ;;
x64) tools=x86_64-w64-mingw32 format=pei-x86-64 cpu=i386:x86-64 magic='020b	(PE32+)' manifest=amd64 ;;
*) fail "unknown architecture $arch" ;;
esac
version=$(sed -n 's/^project(Hostwarden VERSION \([0-9.]*\).*/\1/p' "$HW_ROOT/CMakeLists.txt")

head=$($tools-objdump -f "$exe")
grep -q "file format $format\$" <<<"$head" || fail "not $format: $head"
grep -q "^architecture: $cpu," <<<"$head" || fail "not for $cpu: $head"
private=$($tools-objdump -p "$exe")
grep -q "^Magic.*$magic" <<<"$private" || fail "optional header is not $magic"
grep -q '^Subsystem.*(Windows GUI)' <<<"$private" || fail "not a GUI program"
ok "$(basename "$exe"): $format, $magic, Windows GUI"

# Statically linked: no runtime DLL of the compiler (libstdc++, libgcc, winpthread).
imports=$(sed -n 's/^\tDLL Name: //p' <<<"$private" | tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
for dll in $imports; do
    case $dll in
    ADVAPI32.DLL | COMCTL32.DLL | COMDLG32.DLL | GDI32.DLL | IPHLPAPI.DLL | KERNEL32.DLL | \
        MSVCRT.DLL | SHELL32.DLL | USER32.DLL | WS2_32.DLL) ;;
    *) fail "imports $dll (all: $imports)" ;;
    esac
done
ok "imports only system DLLs: $imports"
# Windows 7 brought ChangeWindowMessageFilterEx: imported, it would stop the start on Vista.
! grep -q 'ChangeWindowMessageFilterEx' <<<"$private" || fail "imports ChangeWindowMessageFilterEx"

# The resources as windres reads them back from the exe, against the resource script
# compiled the same way. Memory flags (MOVEABLE, PURE...) mean nothing in a PE file and
# are not kept there; a control id of -1 is the WORD 65535 read back.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
noflags() {
    sed -E 's/ (MOVEABLE|FIXED|PURE|IMPURE|PRELOAD|LOADONCALL|DISCARDABLE)//g; s/^(  CONTROL "[^"]*"), -1,/\1, 65535,/'
}
$tools-windres -i "$exe" -O rc | noflags >"$work/exe.rc" || fail "cannot read the resources"
$tools-windres -I "$HW_ROOT/src/resources" -I "$generated" -i "$HW_ROOT/src/resources/hostwarden.rc" \
    -O rc | noflags >"$work/script.rc" || fail "cannot compile the resource script"
diff -u "$work/script.rc" "$work/exe.rc" >"$work/diff" ||
    { head -40 "$work/diff"; fail "the exe's resources differ from the resource script's"; }
for what in '^"HOSTWARDEN" MENU$' '^1 DIALOG ' '^2 DIALOG ' '^CAPTION "Configure Hostwarden settings"$' \
    '^CAPTION "Report on IPs"$' '/\* RT_GROUP_ICON \*/' '^1 VERSIONINFO$' '/\* RT_MANIFEST \*/'; do
    grep -q "$what" "$work/exe.rc" || fail "no $what among the resources"
done
ok "resources as the script defines them: $(grep -c 'MENUITEM "' "$work/exe.rc") menu items, $(grep -c '^  CONTROL ' "$work/exe.rc") dialog controls"

# Each release build has its own file version, 5.3.3.N; the texts the program shows
# keep 5.3.3.
[[ "$version" =~ ^5\.3\.3\.([1-9][0-9]*)$ ]] || fail "CMakeLists.txt gives <$version>, not 5.3.3.N"
release=${BASH_REMATCH[1]}
for line in " FILEVERSION 5, 3, 3, $release" " PRODUCTVERSION 5, 3, 3, $release" \
    "      VALUE \"FileVersion\", \"5.3.3.$release\"" "      VALUE \"ProductVersion\", \"5.3.3.$release\""; do
    grep -qxF "$line" "$work/exe.rc" || fail "no <$line> in the version block: $(grep -i version "$work/exe.rc" | head -6)"
done
texts=$(strings -a "$exe")
for text in "Hostwarden 5.3.3" "About HOSTWARDEN 5.3.3" "HOSTWARDEN 5.3.3 Configuration Help" \
    "HOSTWARDEN VERS 5.3.3 Report Help"; do
    grep -qxF "$text" <<<"$texts" || fail "the exe has no text <$text>"
done
# Windows 10 and later head the program's notifications with the FileDescription.
grep -q 'VALUE "FileDescription", "Hostwarden"$' "$work/exe.rc" || fail "FileDescription is not Hostwarden"
grep -q 'VALUE "Comments", "Hostwarden: watches ranges of local IPv4 addresses by ARP"$' "$work/exe.rc" ||
    fail "Comments do not say what Hostwarden does"
ok "version block 5.3.3.$release, FileDescription Hostwarden; title and boxes 5.3.3"

n=$(grep -c "processorArchitecture=\"\"$manifest\"\"" "$work/exe.rc" || true)
[ "$n" = 2 ] || fail "manifest names processorArchitecture $manifest $n times, want 2"
grep -q "version=\"\"5.3.3.$release\"\"" "$work/exe.rc" || fail "manifest version is not 5.3.3.$release"
grep -q '>true</dpiAware>' "$work/exe.rc" || fail "manifest does not declare the program DPI-aware"
ok "manifest for $manifest, version 5.3.3.$release, DPI-aware"
