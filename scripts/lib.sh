# Shared by the project's scripts: decide which build this machine runs, install what
# is missing, build, make a Wine prefix. Source it; HW_ROOT is the checkout.
HW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The product is always the 32-bit Hostwarden.exe (build/). Where this machine executes
# 32-bit code, everything runs on it under wine32 (HW_ARCH=x86). Where it cannot, the
# same sources build a 64-bit twin (build64/) that runs under wine64 (HW_ARCH=x64), and
# the 32-bit exe is built and checked without running it. The choice is made once per
# run, by executing a tiny 32-bit program, and exported with everything derived from it,
# so that every script and test started from here agrees:
#   HW_ARCH        x86 or x64
#   HW_WINE        the Wine loader for that build, HW_WINESERVER its server
#   HW_BUILD       the build folder that runs (default build/ or build64/)
#   HW_BUILD32     the product's build folder (default build/)
hw_runs32() {
    local d rc=1
    d=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$d/t.s"
    if as --32 -o "$d/t.o" "$d/t.s" 2>/dev/null && ld -m elf_i386 -o "$d/t" "$d/t.o" 2>/dev/null; then
        "$d/t" 2>/dev/null && rc=0
    fi
    rm -rf "$d"
    return $rc
}

if [ -z "${HW_ARCH:-}" ]; then
    if hw_runs32; then HW_ARCH=x86; else HW_ARCH=x64; fi
fi
HW_BUILD32=${HW_BUILD32:-$HW_ROOT/build}
if [ "$HW_ARCH" = x86 ]; then
    # Debian's wrappers pick the 32-bit loader and server.
    HW_WINE=wine HW_WINESERVER=wineserver
    HW_BUILD=${HW_BUILD:-$HW_BUILD32}
    HW_ARCH_PACKAGES="wine wine32:i386"
else
    # Called directly: the /usr/bin/wine wrapper would take the 32-bit loader if it is
    # installed, even where it cannot run.
    HW_WINE=/usr/lib/wine/wine64 HW_WINESERVER=/usr/lib/wine/wineserver64
    export WINELOADER=$HW_WINE WINESERVER=$HW_WINESERVER
    HW_BUILD=${HW_BUILD:-$HW_ROOT/build64}
    HW_ARCH_PACKAGES="wine wine64"
fi
export HW_ARCH HW_WINE HW_WINESERVER HW_BUILD HW_BUILD32
HW_PACKAGES="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix $HW_ARCH_PACKAGES
  xvfb xauth cmake make googletest imagemagick iproute2 ieee-data arp-scan python3 procps
  nsis zip binutils fonts-wine"

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
    if [ "$HW_ARCH" = x86 ] && ! dpkg --print-foreign-architectures 2>/dev/null | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    hw_need $HW_PACKAGES
}

# hw_build DIR ARCH [cmake options...]: ARCH x86 builds the product, x64 the twin. The
# build that runs here gets this machine's loader for its tests.
hw_build() {
    local dir=$1 arch=$2 tc=mingw32; shift 2
    [ "$arch" = x64 ] && tc=mingw64
    [ "$arch" = "$HW_ARCH" ] && set -- "$@" -DHW_WINE="$HW_WINE"
    cmake -S "$HW_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$HW_ROOT/cmake/$tc.cmake" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

# hw_build_all TESTS: the product in HW_BUILD32 and, where 32-bit code cannot run, the
# twin in HW_BUILD; TESTS (ON or OFF) for the build that runs. The twin's tests check
# the product's exe too (HW_PRODUCT_EXE).
hw_build_all() {
    if [ "$HW_ARCH" = x86 ]; then
        hw_build "$HW_BUILD32" x86 -DHW_TESTS="$1"
    else
        hw_build "$HW_BUILD32" x86 -DHW_TESTS=OFF
        hw_build "$HW_BUILD" x64 -DHW_TESTS="$1" -DHW_PRODUCT_EXE="$HW_BUILD32/Hostwarden.exe"
    fi
}

# hw_prefix DIR: a private Wine prefix with fonts and a virtual desktop (no window
# manager waits), made once.
hw_prefix() {
    case $1 in /*) ;; *) set -- "$PWD/$1" ;; esac  # Wine takes absolute paths only
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/.hw-ready" ]; then
        rm -rf "$WINEPREFIX"
        # Marked ready only when every step worked: a half-made prefix (no virtual
        # desktop, managed windows) would make later runs slow and different.
        "$HW_WINE" wineboot -i >/dev/null 2>&1 &&
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" &&
        { cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true; } &&
        "$HW_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 &&
        "$HW_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 &&
        "$HW_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
        "$HW_WINESERVER" -w &&
        touch "$WINEPREFIX/.hw-ready" || { echo "cannot set up the Wine prefix $WINEPREFIX" >&2; return 1; }
    fi
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

# Native fuzzing of the window-free files (tests/fuzz): clang, with libFuzzer and the
# sanitizer runtimes from libclang-rt.
HW_FUZZ_PACKAGES="clang libclang-rt-14-dev"

hw_fuzz_install() { hw_need $HW_FUZZ_PACKAGES; }

# hw_fuzz_build DIR [cmake options...]: the fuzz targets, one ctest test each.
hw_fuzz_build() {
    local dir=$1; shift
    cmake -S "$HW_ROOT/tests/fuzz" -B "$dir" -DCMAKE_CXX_COMPILER=clang++ "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
