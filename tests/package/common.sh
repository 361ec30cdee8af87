# Shared by the package tests (sourced). Makes the zip and the installer from this
# build's Hostwarden.exe and runs them under Wine in a private copy of the test prefix,
# with its own wineserver, so the warm prefix of the other tests is never touched.
# Needs HW_ROOT and BUILD; WINEPREFIX is the prefix to copy (default BUILD/wineprefix).
set -euo pipefail
: "${HW_ROOT:?}" "${BUILD:?}"
source_prefix=${WINEPREFIX:-$BUILD/wineprefix}
[ -f "$source_prefix/.hw-ready" ] || { echo "no Wine prefix at $source_prefix (run scripts/test.sh)"; exit 1; }

work=$(mktemp -d /tmp/hwpackage.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
# No menu entries or file associations in the real home for the shortcut we install.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
pkg_cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap pkg_cleanup EXIT

cp -a "$source_prefix" "$WINEPREFIX"
# A fresh prefix links Documents, Desktop and the like to the real home directory:
# make them plain folders of this prefix.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
done
wineserver -p

version=$(sed -n 's/^project(Hostwarden VERSION \([0-9.]*\).*/\1/p' "$HW_ROOT/CMakeLists.txt")
dist=$work/dist

fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; }

pkg_make_dist() {
    bash "$HW_ROOT/scripts/package.sh" --exe "$BUILD/Hostwarden.exe" --out "$dist" >/dev/null
    [ -f "$dist/Hostwarden-$version-win32.zip" ] || fail "no zip made"
    [ -f "$dist/Hostwarden-$version-setup.exe" ] || fail "no installer made"
}

# waitfor SECONDS COMMAND...: true once COMMAND succeeds, false after SECONDS.
waitfor() {
    local end=$((SECONDS + $1)); shift
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}

# The driver's answers, without the console's carriage returns.
drv() { wine "$BUILD/tests/e2e/hwdriver.exe" "$@" 2>/dev/null | tr -d '\r'; }
titleis() { [ "$(drv title)" = "$1" ]; }
nowindow() { ! wine "$BUILD/tests/e2e/hwdriver.exe" title >/dev/null 2>&1; }

# Closes the running program as a user would and waits until it has gone.
pkg_close() {
    drv close >/dev/null
    waitfor 30 nowindow || fail "Hostwarden did not close"
}

# regvalue KEY NAME: the value's data as reg.exe shows it; fails when absent.
regvalue() {
    local out
    out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    printf '%s\n' "$out" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p" | head -1
}
