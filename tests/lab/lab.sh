#!/usr/bin/env bash
# A network lab of namespaces (root). Nothing is made in the machine's own namespace:
# a "switch" namespace holds a bridge, each test host has a namespace with one veth to
# it, and the monitoring namespace (where a whole Wine session runs) has one veth with
# an address on each of the two lab subnets, 10.77.1.0/24 and 10.77.2.0/24. The lab
# has no route out. Names are unique per run, so labs may run side by side.
#
#   lab.sh prefix OWNER                 a fresh unique prefix for a lab of process OWNER
#   lab.sh sweep                        removes the labs whose owner process is gone
#   lab.sh up PREFIX HOST...            HOST is IP,MAC[,NAME]; NAME is the host's name, from
#                                       the hosts file of the monitoring namespace
#                                       (/etc/netns/MON/hosts) or, with LAB_NAMES=dns, from
#                                       the lab's name server. With LAB_HOSTS=pool every
#                                       host is a macvlan of one namespace (a dense pool)
#   lab.sh down PREFIX                  ends the lab's processes, removes everything
#   lab.sh mon PREFIX                   the monitoring namespace's name
#   lab.sh exec PREFIX CMD...           runs CMD in the monitoring namespace
#   lab.sh silence PREFIX IP            the host stops answering (its link goes down)
#   lab.sh revive PREFIX IP             it answers again
#   lab.sh newmac PREFIX IP MAC         it answers with another MAC from now on
#   lab.sh neigh PREFIX [-s]            the monitoring namespace's neighbour table (-s: ages)
#   lab.sh flush PREFIX                 empties that table (a patrol then starts afresh)
#   lab.sh names PREFIX hosts|dns       where the names come from, for programs started
#                                       from now on: the hosts file, or the name server
#   lab.sh dns PREFIX now|late MS|jitter MS|silent
#                                       how the name server answers: at once, MS late, late
#                                       by 0 to MS varying by query, or never
#   lab.sh name PREFIX IP NAME|-        gives a host another name (- for none)
#
# The name server: dnsmasq in a namespace of its own on 10.77.3.0/24 (outside the
# watched subnets), answering the names given for lab hosts (PTR records) and NXDOMAIN
# for every other lab address, behind a forwarder (dnsfront.py) that delays or drops
# queries, since this kernel has no netem. The monitoring namespace's resolv.conf points
# at it with "options timeout:2 attempts:1"; in hosts mode at 127.0.0.1, where nothing
# answers, so that a name the hosts file lacks fails at once and nothing leaves the lab.
#
# A dense pool (LAB_HOSTS=pool): the hosts are macvlans of one namespace on the switch,
# each with its own MAC and address, answering ARP for their own address only
# (arp_ignore 1, arp_announce 2); a hundred take under a second to make.
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
#   delay_first_probe_time 1 s   (Linux: 5) before a stale entry is re-probed; LAB_DELAY
#                                in the environment of "up" sets it (0: at once)
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
ns_pool() { echo "$1-pool"; }
ns_dns() { echo "$1-dns"; }
labdir() { echo "/run/hwlab/$1"; }
# A pool host's interface: unique within the pool namespace, at most 15 chars.
mvl() { local a=${1#10.77.}; echo "m${a//./-}"; }
DNS_IP=10.77.3.53
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
        "net.ipv4.neigh.$dev.delay_first_probe_time=${LAB_DELAY:-1}" \
        "net.ipv4.neigh.$dev.retrans_time_ms=200" \
        "net.ipv4.neigh.$dev.ucast_solicit=3" \
        "net.ipv4.neigh.$dev.mcast_solicit=3"
}

addhost() {
    local p=$1 hostdef=$2 ip mac name
    IFS=, read -r ip mac name <<<"$hostdef"
    check_ip "$ip"
    [ -n "$name" ] && printf '%s\t%s\n' "$ip" "$name" >>"$(labdir "$p")/names"
    if [ "${LAB_HOSTS:-}" = pool ]; then
        local i; i=$(mvl "$ip")
        printf 'link add %s link eth0 address %s type macvlan mode bridge\naddr add %s/24 dev %s\nlink set %s up\n' \
            "$i" "$mac" "$ip" "$i" "$i" >>"$(labdir "$p")/pool.batch"
        return 0
    fi
    local h sw pt
    h=$(ns_host "$p" "$ip"); sw=$(ns_sw "$p"); pt=$(port "$ip")
    ip netns add "$h"
    ip -n "$h" link set lo up
    ip -n "$sw" link add "$pt" type veth peer name eth0 netns "$h"
    ip -n "$sw" link set "$pt" master br0 up
    ip -n "$h" link set eth0 address "$mac"
    ip -n "$h" addr add "$ip/24" dev eth0
    ip -n "$h" link set eth0 up
}

# The pool namespace, on the switch, for macvlan hosts.
addpool() {
    local p=$1 pool sw
    pool=$(ns_pool "$p"); sw=$(ns_sw "$p")
    ip netns add "$pool"
    ip -n "$pool" link set lo up
    ip -n "$sw" link add ppool type veth peer name eth0 netns "$pool"
    ip -n "$sw" link set ppool master br0 up
    ip netns exec "$pool" sysctl -q -w net.ipv4.conf.all.arp_ignore=1 \
        net.ipv4.conf.all.arp_announce=2 net.ipv4.conf.all.rp_filter=0 net.ipv4.conf.default.rp_filter=0
    ip -n "$pool" link set eth0 up
}

# The hosts file and resolv.conf of the monitoring namespace, for names from MODE.
writenames() {
    local p=$1 mode=$2 mon
    mon=$(ns_mon "$p")
    {
        printf '127.0.0.1\tlocalhost\n'
        [ "$mode" = hosts ] && cat "$(labdir "$p")/names"
    } >"/etc/netns/$mon/hosts"
    if [ "$mode" = dns ]; then
        printf 'nameserver %s\noptions timeout:2 attempts:1\n' "$DNS_IP" >"/etc/netns/$mon/resolv.conf"
    else
        printf 'nameserver 127.0.0.1\n' >"/etc/netns/$mon/resolv.conf"
    fi
    # dnsmasq's hosts file: every named host (reverse and forward), read again on HUP.
    cp "$(labdir "$p")/names" "$(labdir "$p")/dnshosts"
    [ -f "$(labdir "$p")/dnsmasq.pid" ] && kill -HUP "$(cat "$(labdir "$p")/dnsmasq.pid")" 2>/dev/null
    return 0
}

# The name server's namespace: dnsmasq on its loopback, the forwarder on DNS_IP:53.
dnsup() {
    local p=$1 dns sw mon dir
    dns=$(ns_dns "$p"); sw=$(ns_sw "$p"); mon=$(ns_mon "$p"); dir=$(labdir "$p")
    ip netns list | grep -qx "$dns" && return 0
    ip netns add "$dns"
    ip -n "$dns" link set lo up
    ip -n "$sw" link add pdns type veth peer name eth0 netns "$dns"
    ip -n "$sw" link set pdns master br0 up
    ip -n "$dns" addr add "$DNS_IP/24" dev eth0
    ip -n "$dns" link set eth0 up
    ip -n "$mon" addr add 10.77.3.1/24 dev eth0
    echo now >"$dir/dnsmode"
    touch "$dir/dnshosts"
    ip netns exec "$dns" dnsmasq --keep-in-foreground --no-resolv --no-hosts --user=root \
        --addn-hosts="$dir/dnshosts" --listen-address=127.0.0.1 --port=5353 --bind-interfaces \
        --local=/77.10.in-addr.arpa/ --pid-file="$dir/dnsmasq.pid" >"$dir/dnsmasq.log" 2>&1 &
    ip netns exec "$dns" python3 "$(dirname "${BASH_SOURCE[0]}")/dnsfront.py" \
        "$DNS_IP" 127.0.0.1 5353 "$dir/dnsmode" >"$dir/dnsfront.log" 2>&1 &
    # Both answer once a name the server holds is found through the forwarder.
    local i
    for i in $(seq 50); do
        [ -s "$dir/dnsmasq.pid" ] && ip netns exec "$dns" python3 -c "
import socket, sys
q = bytes.fromhex('1234010000010000000000000131013102373702313007696e2d61646472046172706100000c0001')
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.settimeout(0.2)
s.sendto(q, ('$DNS_IP', 53)); s.recv(512)" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "lab: the name server did not start" >&2
    cat "$dir/dnsmasq.log" "$dir/dnsfront.log" >&2
    return 1
}

up() {
    local p=$1; shift
    check_prefix "$p"
    local mon sw
    mon=$(ns_mon "$p"); sw=$(ns_sw "$p")
    trap 'down "$p"' ERR
    mkdir -p "/etc/netns/$mon" "$(labdir "$p")"
    : >"$(labdir "$p")/names"
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
    [ "${LAB_HOSTS:-}" = pool ] && addpool "$p"
    for hostdef in "$@"; do addhost "$p" "$hostdef"; done
    [ -f "$(labdir "$p")/pool.batch" ] && ip -n "$(ns_pool "$p")" -batch "$(labdir "$p")/pool.batch"
    if [ "${LAB_NAMES:-}" = dns ]; then
        dnsup "$p"
        writenames "$p" dns
    else
        writenames "$p" hosts
    fi
    trap - ERR
}

down() {
    local p=$1
    check_prefix "$p"
    local n
    for n in $(ip netns list | awk '{print $1}' | grep -E "^$p-(mon|sw|pool|dns|h-.*)$" || true); do
        # Processes left in the lab's namespaces were started for this lab.
        for pid in $(ip netns pids "$n" 2>/dev/null); do kill -9 "$pid" 2>/dev/null || true; done
        ip netns del "$n" 2>/dev/null || true
    done
    rm -rf "/etc/netns/$(ns_mon "$p")" "$(labdir "$p")"
}

# The labs whose owner has gone; a lab of a running owner is never touched.
sweep() {
    local p owner
    for p in $(ip netns list | awk '{print $1}' | sed -nE 's/^(hwlab-[0-9]+-[0-9]+)-(mon|sw|pool|dns|h-.*)$/\1/p' | sort -u); do
        owner=${p#hwlab-}; owner=${owner%-*}
        kill -0 "$owner" 2>/dev/null && continue
        echo "lab: removing $p, left by process $owner that has gone" >&2
        down "$p"
    done
}

# hostlink PREFIX IP ip-link-args...: `ip link` on the host's interface (DEV in the args),
# a namespace of its own or a macvlan of the pool.
hostlink() {
    local p=$1 ip=$2; shift 2
    local pool i
    pool=$(ns_pool "$p"); i=$(mvl "$ip")
    if ip netns list | grep -q "^$pool\b" && ip -n "$pool" link show "$i" >/dev/null 2>&1; then
        ip -n "$pool" link "${@/DEV/$i}"
    else
        ip -n "$(ns_host "$p" "$ip")" link "${@/DEV/eth0}"
    fi
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
silence) check_ip "$2"; hostlink "$1" "$2" set DEV down ;;
revive) check_ip "$2"; hostlink "$1" "$2" set DEV up ;;
newmac)
    check_ip "$2"
    hostlink "$1" "$2" set DEV down
    hostlink "$1" "$2" set DEV address "$3"
    hostlink "$1" "$2" set DEV up
    ;;
neigh) p=$1; shift; ip -n "$(ns_mon "$p")" "$@" neigh show ;;
flush) ip -n "$(ns_mon "$1")" neigh flush all ;;
names)
    check_prefix "$1"
    case ${2:-} in
    hosts) writenames "$1" hosts ;;
    dns) dnsup "$1" && writenames "$1" dns ;;
    *) echo "lab: names hosts|dns" >&2; exit 2 ;;
    esac ;;
dns)
    check_prefix "$1"
    case "${2:-} ${3:-}" in
    "now "|"silent ") echo "$2" >"$(labdir "$1")/dnsmode" ;;
    late\ [0-9]*|jitter\ [0-9]*) echo "$2 $3" >"$(labdir "$1")/dnsmode" ;;
    *) echo "lab: dns now|late MS|jitter MS|silent" >&2; exit 2 ;;
    esac ;;
name)
    check_prefix "$1"; check_ip "$2"
    f=$(labdir "$1")/names
    grep -v "^$2[[:space:]]" "$f" >"$f.tmp" || true
    [ "$3" = - ] || printf '%s\t%s\n' "$2" "$3" >>"$f.tmp"
    mv "$f.tmp" "$f"
    if grep -q "^nameserver $DNS_IP" "/etc/netns/$(ns_mon "$1")/resolv.conf"; then
        writenames "$1" dns
    else
        writenames "$1" hosts
    fi ;;
*) sed -n '2,/^[^#]/{/^#/p}' "$0" >&2; exit 2 ;;
esac
