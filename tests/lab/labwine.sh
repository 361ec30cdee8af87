# Sourced by the lab test scripts: a lab with a Wine session of its own inside the
# monitoring namespace.
#   labwine_init BUILD NAME HOST...   root check (exit 77 without), the lab, a private
#                                     Wine prefix BUILD/wineprefix-lab-NAME (made once)
#                                     and a persistent wineserver inside the lab
#   labrun CMD...                     runs CMD in the monitoring namespace with that prefix
#   lab VERB ARGS...                  tests/lab/lab.sh VERB with this lab's prefix
#   lab_densehosts                    the hosts of a dense pool: 128 of 512 addresses
#                                     (10.77.S.2, .6, ... .254), every other one named
#                                     pcS-O.lab (O = 2, 10, 18 ...)
#   lab_closems PID                   closes the program (driver command) and prints the
#                                     ms until its process PID is gone (18 s at most)
# Cleanup (wineserver, then the lab) is trapped on every exit.
LAB_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$LAB_HERE/../../scripts/lib.sh"  # which Wine runs here (HW_WINE, HW_WINESERVER)

lab() { local verb=$1; shift; bash "$LAB_HERE/lab.sh" "$verb" "$LABP" "$@"; }

labrun() {
    bash "$LAB_HERE/lab.sh" exec "$LABP" env WINEPREFIX="$LABPFX" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" ${DISPLAY:+DISPLAY="$DISPLAY"} "$@"
}

labwine_cleanup() {
    [ -n "${LABP:-}" ] || return 0
    labrun "$HW_WINESERVER" -k 2>/dev/null || true
    bash "$LAB_HERE/lab.sh" down "$LABP"
}

labwine_init() {
    if [ "$(id -u)" != 0 ]; then
        echo "lab tests need root: skipped"
        exit 77
    fi
    LABBUILD=$(cd "$1" && pwd) LABNAME=$2  # Wine takes absolute paths only
    shift 2
    LABPFX=$LABBUILD/wineprefix-lab-$LABNAME
    LABP=$(bash "$LAB_HERE/lab.sh" prefix $$)
    trap labwine_cleanup EXIT
    bash "$LAB_HERE/lab.sh" up "$LABP" "$@"
    # The prefix is made (once) and its wineserver started inside the lab, so that every
    # socket Wine opens lives in the monitoring namespace.
    # A prefix that could not be set up (no virtual desktop) makes every window slow: stop.
    labrun bash -c "source '$HW_ROOT/scripts/lib.sh'; hw_prefix '$LABPFX' && \"\$HW_WINESERVER\" -p" || exit 1
}

lab_densehosts() {
    local s o name
    for s in 1 2; do
        for o in $(seq 2 4 254); do
            name=""
            (( o % 8 == 2 )) && name=",pc$s-$o.lab"
            echo "10.77.$s.$o,02:77:0$s:00:00:$(printf %02x "$o")$name"
        done
    done
}

lab_closems() {
    local start; start=$(date +%s%N)
    hw_drv close
    for _ in $(seq 900); do kill -0 "$1" 2>/dev/null || break; sleep 0.02; done
    echo $(( ($(date +%s%N) - start) / 1000000 ))
}
