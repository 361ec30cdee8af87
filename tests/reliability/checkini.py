#!/usr/bin/env python3
"""Checks a Hostwarden.INI left by tests/reliability/killsave.sh: the section, the keys
that were there before the save, and the 508 record lines, each of which must read as
ten fields of one generation. With --loose any ten fields do (a patrol changed them).
Prints one word: ok, lost, truncated or unreadable."""
import re, sys

path = sys.argv[1]
loose = '--loose' in sys.argv[2:]
try:
    data = open(path, 'rb').read()
except FileNotFoundError:
    print('lost'); sys.exit(0)
if not data.strip():
    print('lost'); sys.exit(0)
text = data.decode('latin-1')
lines = text.replace('\r', '').split('\n')
if '[Hostwarden]' not in lines:
    print('unreadable'); sys.exit(0)
values = {}
for l in lines:
    if '=' in l:
        k, v = l.split('=', 1)
        values.setdefault(k.strip(), v.strip())
record = re.compile(r'^([0-9a-f]{2}) ([0-9a-f]{2}) ([0-9a-f]{2}) ([0-9a-f]{2}) ([0-9a-f]{2}) ([0-9a-f]{2})'
                    r' (-?\d+) (-?\d+) (-?\d+) (-?\d+)$')
state = 'ok'
for key in ('period', 'lowhost', 'highhost', 'lowhost2', 'highhost2'):
    if 'SOFTWARE\\Hostwarden\\' + key not in values:
        state = 'truncated'
for s in (8, 9):
    for o in range(1, 255):
        v = values.get('SOFTWARE\\Hostwarden\\10.77.%d.%d' % (s, o))
        if v is None:
            state = 'truncated' if state == 'ok' else state
            continue
        m = record.match(v)
        if not m or loose:
            if not m:
                state = 'unreadable'
            continue
        if int(m.group(3), 16) != s or int(m.group(4), 16) != o or int(m.group(8)) != o:
            state = 'unreadable'
print(state)
