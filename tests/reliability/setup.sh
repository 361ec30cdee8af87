# Sourced by the reliability scripts: the build's test_reliability.exe (BUILD, EXE), root,
# and the script re-run in a network namespace of its own with loopback only.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
BUILD=$HW_BUILD
EXE=$BUILD/tests/test_reliability.exe
[ -f "$EXE" ] || { echo "build first: $EXE missing"; exit 1; }
[ "$(id -u)" = 0 ] || { echo "$(basename "$0") needs root (namespaces, mounts): skipped"; exit 77; }
hw_isolate "$0" "$@"
