#!/usr/bin/env python3
"""Prints the fields of a Windows shortcut (.lnk) as key=value lines: target,
workdir, args, icon, name, show. Reads the file itself, so the check does not rest
on the same shell-link code that wrote it."""
import struct
import sys

HAS_IDLIST, HAS_LINKINFO, IS_UNICODE = 0x1, 0x2, 0x80
STRINGS = [(0x4, "name"), (0x8, "relpath"), (0x10, "workdir"), (0x20, "args"), (0x40, "icon")]


def parse(data):
    size, = struct.unpack_from("<I", data, 0)
    if size != 0x4C:
        raise ValueError("not a shell link (header size %d)" % size)
    flags, = struct.unpack_from("<I", data, 20)
    show, = struct.unpack_from("<I", data, 60)
    fields = {"show": str(show)}
    pos = 0x4C
    if flags & HAS_IDLIST:
        idsize, = struct.unpack_from("<H", data, pos)
        pos += 2 + idsize
    if flags & HAS_LINKINFO:
        infosize, _, infoflags, _, baseoff = struct.unpack_from("<IIIII", data, pos)
        if infoflags & 1:
            end = data.index(b"\0", pos + baseoff)
            fields["target"] = data[pos + baseoff:end].decode("mbcs" if sys.platform == "win32" else "latin-1")
        pos += infosize
    for bit, key in STRINGS:
        if flags & bit:
            count, = struct.unpack_from("<H", data, pos)
            pos += 2
            if flags & IS_UNICODE:
                # Wine counts the terminating NUL; Windows does not.
                fields[key] = data[pos:pos + 2 * count].decode("utf-16-le").rstrip("\0")
                pos += 2 * count
            else:
                fields[key] = data[pos:pos + count].decode("latin-1").rstrip("\0")
                pos += count
    return fields


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as f:
        for key, value in sorted(parse(f.read()).items()):
            print("%s=%s" % (key, value))
