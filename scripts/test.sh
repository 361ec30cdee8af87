#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, end-to-end, lab) under Wine.
# Everything runs inside a network namespace without a route out, so nothing a test
# probes can leave the machine. The tests run on the build this machine can execute
# (scripts/lib.sh): the 32-bit product, or its 64-bit twin where 32-bit code cannot run;
# the product's exe is checked by the tests either way.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BUILD=$HW_BUILD

hw_install
hw_fuzz_install
hw_build_all ON  # run.sh may have built the same folders without tests
echo "Tests run on the $HW_ARCH build in $BUILD; the product is $HW_BUILD32/Hostwarden.exe"
hw_fuzz_build "$BUILD/fuzz" >/dev/null
# The native fuzz targets first (no Wine, no network): each replays its corpus, then
# fuzzes a few seconds. The same ctest arguments select among them.
fuzzrc=0
(cd "$BUILD/fuzz" && ctest --output-on-failure "$@") || fuzzrc=$?

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

as_root ip netns exec "$ns" env HW_ROOT="$HW_ROOT" BUILD="$BUILD" HW_ARCH="$HW_ARCH" \
    bash -c 'source "$HW_ROOT/scripts/lib.sh"; hw_xvfb 1280x1024 bash "$HW_ROOT/scripts/ctest-session.sh" "$@"' _ "$@"
exit $fuzzrc
