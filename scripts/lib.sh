# Shared by the project's scripts: install what is missing, build, make a Wine prefix.
# Source it; HW_ROOT is the checkout.
HW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
HW_PACKAGES="g++-mingw-w64-i686 wine wine32:i386 xvfb xauth cmake make googletest imagemagick
  iproute2 ieee-data arp-scan python3 procps nsis zip"

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

hw_install() {
    local missing=""
    dpkg --print-foreign-architectures 2>/dev/null | grep -qx i386 || missing=i386
    for p in $HW_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
            || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    as_root dpkg --add-architecture i386
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        $HW_PACKAGES >/dev/null
}

# hw_build DIR [cmake options...]
hw_build() {
    local dir=$1; shift
    cmake -S "$HW_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$HW_ROOT/cmake/mingw32.cmake" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
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
        wineboot -i >/dev/null 2>&1 &&
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" &&
        { cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true; } &&
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 &&
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 &&
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
        wineserver -w &&
        touch "$WINEPREFIX/.hw-ready" || { echo "cannot set up the Wine prefix $WINEPREFIX" >&2; return 1; }
    fi
}

# hw_netns_empty NAME: a network namespace with loopback only (no route out).
hw_netns_empty() {
    as_root ip netns add "$1"
    as_root ip netns exec "$1" ip link set lo up
}

# Native fuzzing of the window-free files (tests/fuzz): clang, with libFuzzer and the
# sanitizer runtimes from libclang-rt.
HW_FUZZ_PACKAGES="clang libclang-rt-14-dev"

hw_fuzz_install() {
    local missing=""
    for p in $HW_FUZZ_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
            || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        $HW_FUZZ_PACKAGES >/dev/null
}

# hw_fuzz_build DIR [cmake options...]: the fuzz targets, one ctest test each.
hw_fuzz_build() {
    local dir=$1; shift
    cmake -S "$HW_ROOT/tests/fuzz" -B "$dir" -DCMAKE_CXX_COMPILER=clang++ "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
