# Shared by the package tests (sourced). Makes the zips and the installers from the
# product's exe (HW_PRODUCT_EXE, 32-bit) and, where this machine cannot execute 32-bit
# code, from this build's 64-bit twin too; runs the ones this machine can run under Wine
# in a private copy of the test prefix, with its own wineserver, so the warm prefix of
# the other tests is never touched; the others are checked without running them.
# Needs HW_ROOT, BUILD and HW_PRODUCT_EXE; WINEPREFIX is the prefix to copy (default
# BUILD/wineprefix).
set -euo pipefail
: "${HW_ROOT:?}" "${BUILD:?}" "${HW_PRODUCT_EXE:?}"
source "$HW_ROOT/scripts/lib.sh"
hw_own_display "$0" "$@"
source_prefix=${WINEPREFIX:-$BUILD/wineprefix}
[ -f "$source_prefix/.hw-ready" ] || { echo "no Wine prefix at $source_prefix (run scripts/test.sh)"; exit 1; }

work=$(mktemp -d /tmp/hwpackage.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
# No menu entries or file associations in the real home for the shortcut we install.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
pkg_cleanup() {
    "$HW_WINESERVER" -k 2>/dev/null || true
    rm -rf "$work"
}
trap pkg_cleanup EXIT

cp -a "$source_prefix" "$WINEPREFIX"
# A fresh prefix links Documents, Desktop and the like to the real home directory:
# make them plain folders of this prefix.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
done
"$HW_WINESERVER" -p

# The packages are named by the release build's file version, 5.3.3.N (N from
# CMakeLists.txt); the program's window keeps the 5.3.3 of its written behaviour.
version=$(sed -n 's/^project(Hostwarden VERSION \([0-9.]*\).*/\1/p' "$HW_ROOT/CMakeLists.txt")
[[ "$version" =~ ^5\.3\.3\.[1-9][0-9]*$ ]] || { echo "FAIL: CMakeLists.txt gives <$version>, not 5.3.3.N"; exit 1; }
progtitle='Hostwarden 5.3.3'
dist=$work/dist

fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; }

# The packages that run here (run_zip, run_setup) and all that were made (made).
if [ "$HW_ARCH" = x86 ]; then
    run_zip=Hostwarden-$version-win32.zip run_setup=Hostwarden-$version-setup.exe
else
    run_zip=Hostwarden-$version-win64.zip run_setup=Hostwarden-$version-win64-setup.exe
fi
pkg_args() {
    echo --exe32 "$HW_PRODUCT_EXE"
    [ "$HW_ARCH" = x86 ] || echo --exe64 "$BUILD/Hostwarden.exe"
}
pkg_make_dist() {
    bash "$HW_ROOT/scripts/package.sh" $(pkg_args) --out "$dist" >/dev/null
    made=$(cd "$dist" && ls)
    for f in Hostwarden-$version-win32.zip Hostwarden-$version-setup.exe "$run_zip" "$run_setup"; do
        [ -f "$dist/$f" ] || fail "$f not made (made: $made)"
    done
    echo "made: $(echo $made); run here: $run_zip and $run_setup"
    if [ "$HW_ARCH" = x64 ] && [ "$HW_RUNS32" = 1 ]; then
        echo "not run in this suite: the 32-bit packages (the x86 suite runs them); checked without running"
    elif [ "$HW_ARCH" = x64 ]; then
        echo "not run: the 32-bit packages (this machine cannot execute 32-bit code); checked without running"
    fi
}


# checkguide FILE: the user's guide as a download carries it (README.txt): plain ASCII
# text with Windows line ends, no Markdown and nothing about building, within the rules
# of the plain text (scripts/guide.py check FILE: the width, no picture named...),
# holding the sections a user needs (each a title underlined on the next line) and this
# version's entry in the version history.
checkguide() {
    local f=$1 text heading under
    grep -qv $'\r$' "$f" && fail "$f has a line without CRLF"
    python3 "$HW_ROOT/scripts/guide.py" check "$f" >/dev/null || fail "$f breaks a rule of the plain text"
    text=$(tr -d '\r' <"$f")
    LC_ALL=C grep -q $'[^\t -~]' <<<"$text" && fail "$f is not ASCII: $(LC_ALL=C grep -n $'[^\t -~]' <<<"$text" | head -2)"
    grep -qE '^#|^\||\]\(|\*\*|`|<!--' <<<"$text" && fail "$f holds Markdown: $(grep -nE '^#|^\||\]\(|\*\*|`|<!--' <<<"$text" | head -3)"
    grep -qiE 'scripts/|cmake|ctest|mingw' <<<"$text" && fail "$f holds build material: $(grep -niE 'scripts/|cmake|ctest|mingw' <<<"$text" | head -3)"
    for heading in "What Hostwarden does" "Requirements" "Installing" "Uninstalling" \
        "First start: ranges and period" "Reading a host line" "The counts" "Reports" \
        "Vendor lookup and the OUI file" "Where things are kept" "Troubleshooting" \
        "Every line says [NA]" "Limits" "Security and privacy" "Version history"; do
        under=$(grep -m1 -A1 -xF "$heading" <<<"$text" | sed -n 2p)
        [[ "$under" =~ ^[-=~]+$ ]] || fail "$f has no section '$heading'"
    done
    grep -q "^  - $version, " <<<"$text" || fail "$f has no version history entry for $version"
}

titleis() { [ "$(hw_drv title)" = "$1" ]; }

# Closes the running program as a user would and waits until it has gone.
pkg_close() {
    hw_drv close >/dev/null
    hw_waitfor 30 hw_nowindow || fail "Hostwarden did not close"
}

# regvalue KEY NAME: the value's data as reg.exe shows it; fails when absent.
regvalue() {
    local out
    out=$("$HW_WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    printf '%s\n' "$out" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p" | head -1
}
