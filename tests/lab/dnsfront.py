#!/usr/bin/env python3
"""The lab's name server as the monitoring namespace sees it: a UDP forwarder in front
of dnsmasq that relays each query at once, late, late by a varying delay, or never.

    dnsfront.py LISTEN_IP UPSTREAM_IP UPSTREAM_PORT MODEFILE

MODEFILE holds one of: "now", "late MS", "jitter MS" (0 to MS, varying by query, so
that answers come back out of order), "silent" (queries are dropped: a server that
does not answer). It is read at every query, so the mode changes while it runs. This
kernel has no netem qdisc to delay packets; a thread per query sleeps instead.
"""
import random
import socket
import sys
import threading
import time

listen_ip, up_ip, up_port, modefile = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
server.bind((listen_ip, 53))


def mode():
    try:
        words = open(modefile).read().split()
    except OSError:
        words = []
    name = words[0] if words else "now"
    ms = int(words[1]) if len(words) > 1 else 0
    return name, ms


def relay(query, peer, delay):
    time.sleep(delay)
    up = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    up.settimeout(5)
    try:
        up.sendto(query, (up_ip, up_port))
        server.sendto(up.recv(4096), peer)
    except OSError:
        pass
    finally:
        up.close()


while True:
    query, peer = server.recvfrom(4096)
    name, ms = mode()
    if name == "silent":
        continue
    delay = ms / 1000 if name == "late" else random.uniform(0, ms / 1000) if name == "jitter" else 0
    threading.Thread(target=relay, args=(query, peer, delay), daemon=True).start()
