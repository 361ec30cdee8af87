# Shared by the project's scripts: decide which build this machine runs, install what
# is missing, build, make a Wine prefix. Source it; HW_ROOT is the checkout.
HW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The product is the 32-bit Hostwarden.exe (build/); the same sources also build a
# 64-bit twin (build64/) for systems that cannot run 32-bit programs. Whether this
# machine executes 32-bit code is decided once per run and exported, with everything
# derived from it, so that every script and test started from here agrees:
#   HW_RUNS32      1 where 32-bit code runs here, 0 where it does not
#   HW_ARCHS       the builds whose suites run here: "x86 x64", or "x64" alone (then the
#                  32-bit build is compiled and checked without running it)
#   HW_ARCH        the build this script drives: x86 where it runs, else x64
#   HW_WINE        the Wine loader for HW_ARCH, HW_WINESERVER its server
#   HW_BUILD       HW_ARCH's build folder; HW_BUILD32 and HW_BUILD64 the two folders
# A script drives the other build by setting HW_ARCH before sourcing this, or by hw_use.

# A 93-byte static i386 program that only exits 0, written out as bytes: no assembler
# is needed, so the answer does not depend on what happens to be installed yet.
hw_runs32() {
    local f rc=1
    f=$(mktemp "${TMPDIR:-/tmp}/hwruns32.XXXXXX") || return 1
    printf '%b' '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$f"
    chmod +x "$f" && "$f" 2>/dev/null && rc=0
    rm -f "$f"
    return $rc
}

if [ -z "${HW_RUNS32:-}" ]; then
    if hw_runs32; then HW_RUNS32=1; else HW_RUNS32=0; fi
fi
if [ "$HW_RUNS32" = 1 ]; then HW_ARCHS="x86 x64"; else HW_ARCHS=x64; fi
HW_BUILD32=${HW_BUILD32:-$HW_ROOT/build}
HW_BUILD64=${HW_BUILD64:-$HW_ROOT/build64}
# Both loaders where both run; Debian's wrappers in /usr/bin would pick the 32-bit
# loader whenever it is installed, so each build's loader and server are named directly.
if [ "$HW_RUNS32" = 1 ]; then
    HW_ARCH_PACKAGES="wine wine32:i386 wine64"
else
    HW_ARCH_PACKAGES="wine wine64"
fi

# hw_loader ARCH: the Wine loader that runs ARCH's build.
hw_loader() {
    if [ "$1" = x86 ]; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}

# hw_use ARCH: drive ARCH's build from here on (loader, server, prefix kind, folder).
hw_use() {
    HW_ARCH=$1 HW_BUILD_ARCH=$1
    HW_WINE=$(hw_loader "$1")
    if [ "$1" = x86 ]; then
        HW_WINESERVER=/usr/lib/wine/wineserver32 WINEARCH=win32
        HW_BUILD=$HW_BUILD32
    else
        HW_WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64
        HW_BUILD=$HW_BUILD64
    fi
    WINELOADER=$HW_WINE WINESERVER=$HW_WINESERVER
    export HW_ARCH HW_BUILD_ARCH HW_WINE HW_WINESERVER HW_BUILD WINELOADER WINESERVER WINEARCH
}

if [ -z "${HW_ARCH:-}" ]; then
    if [ "$HW_RUNS32" = 1 ]; then HW_ARCH=x86; else HW_ARCH=x64; fi
fi
# A folder given by hand (HW_BUILD=build-x) is kept; one inherited from a script that
# drove the other build is not.
hw_keepbuild=${HW_BUILD:-}
[ -n "${HW_BUILD_ARCH:-}" ] && [ "$HW_BUILD_ARCH" != "$HW_ARCH" ] && hw_keepbuild=
hw_use "$HW_ARCH"
[ -n "$hw_keepbuild" ] && HW_BUILD=$hw_keepbuild
unset hw_keepbuild
HW_BUILD_ARCH=$HW_ARCH
export HW_RUNS32 HW_ARCHS HW_BUILD32 HW_BUILD64 HW_BUILD HW_BUILD_ARCH
HW_PACKAGES="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix $HW_ARCH_PACKAGES
  xvfb xauth cmake make googletest imagemagick iproute2 ieee-data arp-scan python3 procps dnsmasq-base
  nsis zip unzip binutils fonts-wine"

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# hw_need PACKAGE...: installs those of the packages that are not installed.
hw_need() {
    local missing=""
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
            || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        $missing >/dev/null
}

hw_install() {
    if [ "$HW_RUNS32" = 1 ] && ! dpkg --print-foreign-architectures 2>/dev/null | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    hw_need $HW_PACKAGES
}

# hw_build DIR ARCH [cmake options...]: ARCH x86 builds the product, x64 the twin. A
# build whose code runs here gets its loader for its tests.
hw_build() {
    local dir=$1 arch=$2 tc=mingw32; shift 2
    [ "$arch" = x64 ] && tc=mingw64
    case " $HW_ARCHS " in *" $arch "*) set -- "$@" -DHW_WINE="$(hw_loader "$arch")" ;; esac
    cmake -S "$HW_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$HW_ROOT/cmake/$tc.cmake" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

# hw_build_all TESTS: the product in HW_BUILD32 and the twin in HW_BUILD64, TESTS (ON or
# OFF) for both, so that a compile fault of either stops a test run on any machine.
# Without tests the twin is built only where it is what runs. The twin's tests check
# the product's exe too (HW_PRODUCT_EXE).
hw_build_all() {
    hw_build "$HW_BUILD32" x86 -DHW_TESTS="$1" || return
    if [ "$1" = ON ] || [ "$HW_ARCH" = x64 ]; then
        hw_build "$HW_BUILD64" x64 -DHW_TESTS="$1" -DHW_PRODUCT_EXE="$HW_BUILD32/Hostwarden.exe"
    fi
}

# hw_prefix DIR: a private Wine prefix with fonts and a virtual desktop (no window
# manager waits), made once.
hw_prefix() {
    case $1 in /*) ;; *) set -- "$PWD/$1" ;; esac  # Wine takes absolute paths only
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    [ -f "$WINEPREFIX/.hw-ready" ] && return 0
    # Marked ready only when every step worked: a half-made prefix (no virtual desktop,
    # managed windows) would make later runs slow and different. One failed set-up is
    # tried again from scratch (wineboot has been seen to fail once under load); each
    # failure names its step and shows what Wine said.
    local try log=$WINEPREFIX.setup.log
    for try in 1 2; do
        rm -rf "$WINEPREFIX"
        if hw_prefix_make >"$log" 2>&1; then
            touch "$WINEPREFIX/.hw-ready"
            rm -f "$log"
            return 0
        fi
        echo "cannot set up the Wine prefix $WINEPREFIX (attempt $try of 2):" >&2
        tail -15 "$log" | sed 's/^/    /' >&2
    done
    return 1
}
hw_prefix_make() {
    hw_step wineboot "$HW_WINE" wineboot -i &&
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" &&
    { cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true; } &&
    hw_step "reg Desktop" "$HW_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
    hw_step "reg Desktops" "$HW_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f &&
    hw_step "reg Managed" "$HW_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
    hw_step "wineserver -w" "$HW_WINESERVER" -w
}
# hw_step NAME CMD...: runs CMD, and says which step failed with which status.
hw_step() {
    local name=$1 rc=0; shift
    "$@" || rc=$?
    [ $rc = 0 ] || echo "step '$name' failed with status $rc"
    return $rc
}

# A display for scripts that show windows. xvfb-run picks a free display number from one
# derived from the process id, so that two started at once do not race for the same.
#   hw_xvfb WxH CMD...            CMD under an Xvfb server of its own
#   hw_display SCRIPT ARGS...     re-executes SCRIPT under its own Xvfb when there is
#                                 no display; a user's display is used as it is
#   hw_own_display SCRIPT ARGS... re-executes SCRIPT under its own Xvfb in any case
#                                 (tests: a second Wine desktop on a shared display
#                                 could take the keyboard focus from other tests)
hw_xvfb() {
    local screen=$1; shift
    xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 ${screen}x24" "$@"
}
hw_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    hw_own_display "$@"
}
hw_own_display() {
    [ -n "${HW_OWN_DISPLAY:-}" ] && return 0
    export HW_OWN_DISPLAY=1
    exec xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 ${HW_SCREEN:-1024x768}x24" bash "$@"
}

# Driving the real program from outside, for the scripts that test and show it.
#   hw_waitfor SECONDS CMD...   true once CMD succeeds, false after SECONDS
#   hw_drv ARGS...              the end-to-end driver (tests/e2e/hwdriver.exe of LABBUILD or
#                               BUILD), in the lab when one is up (LABP), its answer without
#                               carriage returns
#   hw_nowindow                 true when no Hostwarden window is there
hw_waitfor() {
    local end=$((SECONDS + $1)); shift
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}
hw_drv() {
    local run=""
    [ -n "${LABP:-}" ] && run=labrun
    $run "$HW_WINE" "${LABBUILD:-$BUILD}/tests/e2e/hwdriver.exe" "$@" 2>/dev/null | tr -d '\r'
}
hw_nowindow() { [ -z "$(hw_drv title)" ]; }

# hw_isolate SCRIPT ARGS...: re-runs SCRIPT (root) in a network namespace of its own with
# loopback only, removed afterwards, and exits with its status; nothing it probes can
# leave the machine. Does nothing when already so run.
hw_isolate() {
    [ -n "${HW_ISOLATED:-}" ] && return 0
    local ns=hwiso-$$ rc
    hw_netns_empty "$ns"
    ip netns exec "$ns" env HW_ISOLATED=1 bash "$@"
    rc=$?
    ip netns del "$ns"
    exit $rc
}

# hw_netns_empty NAME: a network namespace with loopback only (no route out).
hw_netns_empty() {
    as_root ip netns add "$1"
    as_root ip netns exec "$1" ip link set lo up
}

# Native build of the window-free files (tests/fuzz): the release's clang, with
# libFuzzer and the sanitizer runtimes from the libclang-rt package of the same major
# version (libclang-rt-14-dev beside Debian 12's clang 14).
hw_fuzz_install() {
    hw_need clang
    local major
    major=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -1)
    [ -n "$major" ] || { echo "cannot tell the version of clang: $(clang --version | head -1)" >&2; return 1; }
    hw_need "libclang-rt-$major-dev"
}

# hw_fuzz_build DIR [cmake options...]: the window-free unit tests and the fuzz targets
# under the sanitizers, one ctest test each.
hw_fuzz_build() {
    local dir=$1; shift
    cmake -S "$HW_ROOT/tests/fuzz" -B "$dir" -DCMAKE_CXX_COMPILER=clang++ "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
