#!/usr/bin/env python3
"""Appends the files the player carries to the program file: the H.264 decoder library padded
with zero bytes to its slot of 524,288 bytes, then the codec installer's slot of 635,525 bytes,
left empty (this program carries no installer).

Usage: append_carried.py PROGRAM LIBRARY
"""
import sys

LIBRARY_SLOT = 524288
INSTALLER_SLOT = 635525


def main(program, library):
    with open(library, "rb") as f:
        data = f.read()
    if len(data) > LIBRARY_SLOT:
        sys.exit("append_carried: %s is larger than its slot (%d > %d bytes)" % (library, len(data), LIBRARY_SLOT))
    with open(program, "ab") as f:
        f.write(data + b"\0" * (LIBRARY_SLOT - len(data)))
        f.write(b"\0" * INSTALLER_SLOT)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
