#!/usr/bin/env bash
# A network lab of namespaces (root). Nothing is made in the machine's own namespace:
# a "switch" namespace holds a bridge, each test host has a namespace with one veth to
# it, and the monitoring namespace (where a whole Wine session runs) has one veth with
# an address on each of the two lab subnets, 10.77.1.0/24 and 10.77.2.0/24. The lab
# has no route out. Names are unique per run, so labs may run side by side.
#
#   lab.sh prefix OWNER                 a fresh unique prefix for a lab of process OWNER
#   lab.sh sweep                        removes the labs whose owner process is gone
#   lab.sh up PREFIX HOST...            HOST is IP,MAC[,NAME]; NAME goes to the hosts file
#                                       of the monitoring namespace (/etc/netns/MON/hosts)
#   lab.sh down PREFIX                  ends the lab's processes, removes everything
#   lab.sh mon PREFIX                   the monitoring namespace's name
#   lab.sh exec PREFIX CMD...           runs CMD in the monitoring namespace
#   lab.sh silence PREFIX IP            the host stops answering (its link goes down)
#   lab.sh revive PREFIX IP             it answers again
#   lab.sh newmac PREFIX IP MAC         it answers with another MAC from now on
#   lab.sh neigh PREFIX [-s]            the monitoring namespace's neighbour table (-s: ages)
#
# The monitoring namespace's neighbour timers are shortened so that lab probes take
# about two seconds at most (a probe's limits follow these timers):
#   base_reachable_time_ms 100   an entry is held reachable for 50-150 ms only. A probe
#                                trusts a reachable entry (as SendARP trusts its cache)
#                                and a re-probe that starts after it is not waited for;
#                                and newer kernels (6.18 here) keep an answering host's
#                                entry cycling reachable, delay, probe, reachable, so a
#                                patrol finds it reachable at any moment. Kept short
#                                against the probe's margin, every probe of a known host
#                                goes through the kernel's re-probe.
#   delay_first_probe_time 1 s   (Linux: 5) before a stale entry is re-probed
#   retrans_time_ms 200          (Linux: 1000) between two solicitations
#   ucast_solicit 3, mcast_solicit 3 (Linux defaults)
# With LAB_TIMERS=linux in the environment of "up" the kernel's defaults stay.
#
# A lab's prefix holds the process id of its owner (the script that made it). A script
# killed outright (ctest's time-out) never runs its own cleanup: "sweep", and every "up",
# remove such labs once their owner is gone.
set -euo pipefail

LAB_SUBNETS="10.77.1 10.77.2"

ns_mon() { echo "$1-mon"; }
ns_sw() { echo "$1-sw"; }
ns_host() { echo "$1-h-${2//./-}"; }
# The switch-side veth of a host: unique within the switch namespace, at most 15 chars.
port() { local a=${1#10.77.}; echo "p${a//./-}"; }

check_prefix() {
    [[ "$1" =~ ^[a-z0-9-]{1,24}$ ]] || { echo "lab: bad prefix '$1'" >&2; exit 2; }
}
check_ip() {
    [[ "$1" =~ ^10\.77\.[12]\.([0-9]{1,3})$ ]] && [ "${BASH_REMATCH[1]}" -ge 2 ] \
        && [ "${BASH_REMATCH[1]}" -le 254 ] || { echo "lab: $1 is not a lab host address" >&2; exit 2; }
}

timers() {
    local mon=$1 dev=$2
    # Room for a sweep of two /24 without the kernel's forced collection of entries.
    ip netns exec "$mon" sysctl -q -w net.ipv4.neigh.default.gc_thresh2=2048 \
        net.ipv4.neigh.default.gc_thresh3=4096 2>/dev/null || true
    # LAB_TIMERS=linux keeps the kernel's own timers (the benchmark measures with them).
    [ "${LAB_TIMERS:-}" = linux ] && return 0
    ip netns exec "$mon" sysctl -q -w \
        "net.ipv4.neigh.$dev.base_reachable_time_ms=100" \
        "net.ipv4.neigh.$dev.delay_first_probe_time=1" \
        "net.ipv4.neigh.$dev.retrans_time_ms=200" \
        "net.ipv4.neigh.$dev.ucast_solicit=3" \
        "net.ipv4.neigh.$dev.mcast_solicit=3"
}

addhost() {
    local p=$1 hostdef=$2 ip mac name
    IFS=, read -r ip mac name <<<"$hostdef"
    check_ip "$ip"
    local h sw pt
    h=$(ns_host "$p" "$ip"); sw=$(ns_sw "$p"); pt=$(port "$ip")
    ip netns add "$h"
    ip -n "$h" link set lo up
    ip -n "$sw" link add "$pt" type veth peer name eth0 netns "$h"
    ip -n "$sw" link set "$pt" master br0 up
    ip -n "$h" link set eth0 address "$mac"
    ip -n "$h" addr add "$ip/24" dev eth0
    ip -n "$h" link set eth0 up
    if [ -n "$name" ]; then
        printf '%s\t%s\n' "$ip" "$name" >>"/etc/netns/$(ns_mon "$p")/hosts"
    fi
}

up() {
    local p=$1; shift
    check_prefix "$p"
    local mon sw
    mon=$(ns_mon "$p"); sw=$(ns_sw "$p")
    trap 'down "$p"' ERR
    mkdir -p "/etc/netns/$mon"
    printf '127.0.0.1\tlocalhost\n' >"/etc/netns/$mon/hosts"
    ip netns add "$sw"
    ip netns add "$mon"
    ip -n "$sw" link set lo up
    ip -n "$sw" link add br0 type bridge
    ip -n "$sw" link set br0 up
    ip -n "$mon" link set lo up
    ip -n "$sw" link add pmon type veth peer name eth0 netns "$mon"
    ip -n "$sw" link set pmon master br0 up
    ip -n "$mon" link set eth0 address 02:77:00:00:00:01
    for s in $LAB_SUBNETS; do ip -n "$mon" addr add "$s.1/24" dev eth0; done
    timers "$mon" eth0
    ip -n "$mon" link set eth0 up
    for hostdef in "$@"; do addhost "$p" "$hostdef"; done
    trap - ERR
}

down() {
    local p=$1
    check_prefix "$p"
    local n
    for n in $(ip netns list | awk '{print $1}' | grep -E "^$p-(mon|sw|h-.*)$" || true); do
        # Processes left in the lab's namespaces were started for this lab.
        for pid in $(ip netns pids "$n" 2>/dev/null); do kill -9 "$pid" 2>/dev/null || true; done
        ip netns del "$n" 2>/dev/null || true
    done
    rm -rf "/etc/netns/$(ns_mon "$p")"
}

# The labs whose owner has gone; a lab of a running owner is never touched.
sweep() {
    local p owner
    for p in $(ip netns list | awk '{print $1}' | sed -nE 's/^(hwlab-[0-9]+-[0-9]+)-(mon|sw|h-.*)$/\1/p' | sort -u); do
        owner=${p#hwlab-}; owner=${owner%-*}
        kill -0 "$owner" 2>/dev/null && continue
        echo "lab: removing $p, left by process $owner that has gone" >&2
        down "$p"
    done
}

cmd=${1:-}; shift || true
case "$cmd" in
prefix)
    [[ "${1:-}" =~ ^[0-9]+$ ]] || { echo "lab: prefix needs the owner's process id" >&2; exit 2; }
    echo "hwlab-$1-$RANDOM" ;;
sweep) sweep ;;
up) sweep; up "$@" ;;
down) down "$1" ;;
mon) echo "$(ns_mon "$1")" ;;
exec) p=$1; shift; exec ip netns exec "$(ns_mon "$p")" "$@" ;;
silence) check_ip "$2"; ip -n "$(ns_host "$1" "$2")" link set eth0 down ;;
revive) check_ip "$2"; ip -n "$(ns_host "$1" "$2")" link set eth0 up ;;
newmac)
    check_ip "$2"
    h=$(ns_host "$1" "$2")
    ip -n "$h" link set eth0 down
    ip -n "$h" link set eth0 address "$3"
    ip -n "$h" link set eth0 up
    ;;
neigh) p=$1; shift; ip -n "$(ns_mon "$p")" "$@" neigh show ;;
*) sed -n '2,/^[^#]/{/^#/p}' "$0" >&2; exit 2 ;;
esac
