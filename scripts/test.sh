#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the window-free code natively
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the whole suite (unit,
# end-to-end, lab) under Wine on each build this machine can execute (scripts/lib.sh):
# the 32-bit product and its 64-bit twin where 32-bit code runs, the twin alone where
# it does not. Both builds and their tests are compiled on every machine. The Wine
# suites run inside a network namespace without a route out, so nothing a test probes
# can leave the machine. Arguments go to every ctest run (-R, -L, -E select tests).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

if [ "$HW_RUNS32" = 1 ]; then
    cat <<TXT
Builds: this machine executes 32-bit code.
  x86 (the product, ${HW_BUILD32#$HW_ROOT/}/): compiled with its tests; its whole suite runs under 32-bit Wine.
  x64 (the twin, ${HW_BUILD64#$HW_ROOT/}/): compiled with its tests; its whole suite runs under 64-bit Wine.
TXT
else
    cat <<TXT
Builds: this machine cannot execute 32-bit code (a 32-bit test program fails to start).
  x86 (the product, ${HW_BUILD32#$HW_ROOT/}/): compiled with its tests and checked without running (product.exe);
      its suite is NOT run here, so nothing here proves the 32-bit exe at run time.
  x64 (the twin, ${HW_BUILD64#$HW_ROOT/}/): compiled with its tests; its whole suite runs under 64-bit Wine.
TXT
fi

hw_install
hw_fuzz_install
hw_build_all ON  # run.sh may have built the same folders without tests

# The native suite first (no Wine, no network): the window-free unit tests under the
# sanitizers, then each fuzz target replays its corpus and fuzzes a few seconds.
native=$HW_ROOT/build-native
hw_fuzz_build "$native" >/dev/null
declare -A result
echo "== native: window-free tests and fuzz targets under ASan and UBSan"
if (cd "$native" && ctest --output-on-failure "$@"); then result[native]=passed; else result[native]=FAILED; fi

ns=hwtest-$$
cleanup() {
    as_root ip netns del "$ns" 2>/dev/null || true
    as_root rm -rf "/etc/netns/$ns"
    # Labs of tests that ctest killed on a time-out (their own cleanup never ran).
    as_root bash "$HW_ROOT/tests/lab/lab.sh" sweep
}
trap cleanup EXIT
# Names the tests may resolve, answered from this hosts file inside the namespace only.
as_root mkdir -p "/etc/netns/$ns"
as_root cp "$HW_ROOT/tests/support/hosts" "/etc/netns/$ns/hosts"
# No resolver either: a lookup the hosts file cannot answer fails at once, locally.
echo "nameserver 127.0.0.1" | as_root tee "/etc/netns/$ns/resolv.conf" >/dev/null
hw_netns_empty "$ns"

for arch in $HW_ARCHS; do
    hw_use "$arch"
    echo "== $arch: the whole suite under $HW_WINE in ${HW_BUILD#$HW_ROOT/}/"
    start=$SECONDS
    if as_root ip netns exec "$ns" env HW_ROOT="$HW_ROOT" BUILD="$HW_BUILD" HW_ARCH="$arch" \
        HW_RUNS32="$HW_RUNS32" bash -c 'source "$HW_ROOT/scripts/lib.sh";
            hw_xvfb 1280x1024 bash "$HW_ROOT/scripts/ctest-session.sh" "$@"' _ "$@"; then
        result[$arch]="passed in $((SECONDS - start)) s"
    else
        result[$arch]="FAILED after $((SECONDS - start)) s"
    fi
done

echo "== Summary"
echo "  native (ASan, UBSan): ${result[native]}"
[ "$HW_RUNS32" = 1 ] || echo "  x86: compiled and checked, not run (this machine cannot execute 32-bit code)"
for arch in $HW_ARCHS; do echo "  $arch: ${result[$arch]}"; done
for r in "${result[@]}"; do
    case $r in passed*) ;; *) exit 1 ;; esac
done
