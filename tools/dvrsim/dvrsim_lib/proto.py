"""Recorder protocol framing and small helpers.

Every message starts with a 12-byte header:
  0..3  length of what follows (total - 4), big-endian
  4,5   markers 0x00 0xA1
  6     command, 7 status, 8 sub-code
  9..11 total length, 24-bit little-endian
The body (from byte 12) is little-endian.
"""
import struct

MARKER = b"\x00\xA1"
HEADER = 12


def message(cmd, body=b"", status=0, sub=0, total=None, marker=MARKER):
    """Build one whole message; `body` starts at byte 12."""
    n = HEADER + len(body)
    if total is None:
        total = n
    head = struct.pack(">I", (n - 4) & 0xFFFFFFFF) + marker + bytes(
        [cmd & 0xFF, status & 0xFF, sub & 0xFF]) + struct.pack("<I", total & 0xFFFFFF)[:3]
    return head + bytes(body)


class Body:
    """A zero-filled little-endian body buffer addressed by message offsets (>= 12)."""

    def __init__(self, total):
        self.b = bytearray(max(0, total - HEADER))

    def _at(self, off, width):
        i = off - HEADER
        if i + width > len(self.b):
            self.b.extend(bytes(i + width - len(self.b)))
        return i

    def u8(self, off, v):
        self.b[self._at(off, 1)] = v & 0xFF
        return self

    def u16(self, off, v):
        i = self._at(off, 2)
        self.b[i:i + 2] = struct.pack("<H", v & 0xFFFF)
        return self

    def u32(self, off, v):
        i = self._at(off, 4)
        self.b[i:i + 4] = struct.pack("<I", v & 0xFFFFFFFF)
        return self

    def raw(self, off, data):
        i = self._at(off, len(data))
        self.b[i:i + len(data)] = data
        return self

    def bytes(self):
        return bytes(self.b)


def parse_header(msg):
    """Fields of a received message (msg includes the 4 length bytes)."""
    d = {"length": None, "cmd": None, "status": None, "sub": None, "total": None}
    if len(msg) >= 4:
        d["length"] = struct.unpack(">I", msg[:4])[0]
    if len(msg) >= 12:
        d["cmd"] = msg[6]
        d["status"] = msg[7]
        d["sub"] = msg[8]
        d["total"] = msg[9] | (msg[10] << 8) | (msg[11] << 16)
    return d


def u8(msg, off, default=0):
    return msg[off] if off < len(msg) else default


def s8(msg, off, default=0):
    if off >= len(msg):
        return default
    v = msg[off]
    return v - 256 if v >= 128 else v


def u16(msg, off, default=0):
    if off + 2 > len(msg):
        return default
    return struct.unpack_from("<H", msg, off)[0]


def u32(msg, off, default=0):
    if off + 4 > len(msg):
        return default
    return struct.unpack_from("<I", msg, off)[0]


def s32(msg, off, default=0):
    if off + 4 > len(msg):
        return default
    return struct.unpack_from("<i", msg, off)[0]


def _crc_table():
    t = []
    for i in range(256):
        c = i << 8
        for _ in range(8):
            c = ((c << 1) ^ 0x1021) if c & 0x8000 else (c << 1)
            c &= 0xFFFF
        t.append(c)
    return t


CRC_TABLE = _crc_table()


def crc16(data, crc=0):
    """CRC-16 of the transfer: byte combined after the look-up."""
    for b in data:
        crc = ((crc << 8) & 0xFFFF) ^ CRC_TABLE[crc >> 8] ^ b
    return crc


def debug_print(*args):
    import sys
    print("dvrsim:", *args, file=sys.stderr, flush=True)
