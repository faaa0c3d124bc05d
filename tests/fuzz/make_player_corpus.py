#!/usr/bin/python3
"""Writes the seed inputs of player_media_fuzz into corpus/player_media, field by field from the
recording layouts: a header byte (bit 0 recorder media, bit 1 owner marker, or without bit 0 the
player's own frame-list recording, bits 2..3 operations, bit 4 four tiles), a 16-bit index length
(0xFFFF: a 32-bit length follows), the index file, then the data file."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "player_media")
SECOND = 8 * 3600 + 5 * 60 + 10


def index512(entries, last_second, flags=0):
    idx = bytearray(512 + 16 * (last_second + 1))
    struct.pack_into("<I", idx, 0, flags)
    struct.pack_into("<I", idx, 8, (min(s for s, _ in entries) + 32) * 16)
    for s, entry in entries:
        hour, minute = s // 3600, s // 60 % 60
        mask = struct.unpack_from("<Q", idx, 24 + 8 * hour)[0] | (1 << minute)
        struct.pack_into("<Q", idx, 24 + 8 * hour, mask)
        idx[(s + 32) * 16:(s + 33) * 16] = entry
    return bytes(idx)


def header(length, key, data, key_at, key_len, second, client):
    h = bytearray(336 if client else 56)
    struct.pack_into("<III", h, 0, 511, length << 9, 0x1000000 if client else 0)
    struct.pack_into("<I", h, 16, 0x50 | (2 if key else 0))
    if client:
        struct.pack_into("<qq", h, 20, data, key_at)
    else:
        struct.pack_into("<II", h, 20, data, 0)
        struct.pack_into("<I", h, 28, key_at)
    struct.pack_into("<I", h, 36, key_len)
    struct.pack_into("<II", h, 44, (second << 10) | (10 << 27), (2026 << 4) | 12)
    return bytes(h)


def recording(client, seconds=3, frames=4):
    data = bytearray()
    entries = []
    for s in range(seconds):
        payloads = [bytes([0, 0, 0, 1, 0x65 if f == 0 else 0x41]) + bytes([s * 16 + f]) * 20 for f in range(frames)]
        if client:
            at = len(data)
            offsets = []
            for p in payloads:
                offsets.append(len(data))
                data += p
            block = len(data)
            for f, p in enumerate(payloads):
                data += header(len(p), f == 0, offsets[f], offsets[0], len(payloads[0]), SECOND + s, True)
            entry = struct.pack("<QIi", block, block & 0xFFFFFFFF, -0x80000000)
        else:
            block = len(data)
            at = block + 56 * (frames + 1)
            heads = b""
            for f, p in enumerate(payloads):
                heads += header(len(p), f == 0, at, block + 56 * (frames + 1), len(payloads[0]), SECOND + s, False)
                at += len(p)
            data += heads + bytes(56) + b"".join(payloads)
            entry = struct.pack("<IIII", 0x1234, 1, block, 0)
        entries.append((SECOND + s, entry))
    return index512(entries, SECOND + seconds - 1), bytes(data)


def record224():
    idx = bytearray(224 + 36 * (SECOND + 2))
    struct.pack_into("<I", idx, 0, 1)
    struct.pack_into("<I", idx, 8, 224 + 36 * SECOND)
    struct.pack_into("<Q", idx, 16 + 8 * 8, 1 << 5)
    idx[224 + 36 * SECOND] = 1
    data = bytearray()
    for r in range(3):
        rec = bytearray(104)
        nxt = (r + 1) * 124 if r < 2 else -1
        struct.pack_into("<I", rec, 20, 20)
        struct.pack_into("<I", rec, 28, (25 << 2) | 1)
        struct.pack_into("<qqq", rec, 52, (r - 1) * 124, nxt, 0)
        struct.pack_into("<q", rec, 76, nxt)
        struct.pack_into("<qI", rec, 92, SECOND * 4096, 20261210)
        data += rec + bytes([r]) * 20
    return bytes(idx), bytes(data)


def frame_list(files=2, frames=3, empty=0):
    """The player's own recording: per file its 6-byte frame records (halved length twice, code),
    its file record (head and key-frame table), then the 84-byte header with one 16-byte entry
    per file, ending in its own length."""
    idx = bytearray()
    data = bytearray()
    offsets = []
    for f in range(files):
        first = len(idx)
        # Runs of frames without data lead the file: 0x8000 + their number, 0x7FFF at most a word.
        left = empty
        while left > 0:
            idx += struct.pack("<H", 0x8000 + min(left, 0x7FFF))
            left -= min(left, 0x7FFF)
        for n in range(frames):
            idx += struct.pack("<H", 8) + struct.pack("<I", 8)[:3] + bytes([2 if n else 0])
            data += bytes([0, 0, 0x8A if n == 0 else 0x88, 0]) + bytes([0x41 + n] * 12)
        offsets.append(len(idx))
        idx += struct.pack("<IIIHHBBH", 0xFFFFFFFF, 0, 16 * frames, 32, empty + frames, 2, 0, 1)
        idx += struct.pack("<HHII", empty, (first + 2 * ((empty + 0x7FFE) // 0x7FFF)) & 0xFFFF, 0, 0)
    head = bytearray(64)
    struct.pack_into("<IHBBBBBB", head, 0, 0xFFFFFFFF, 2024, 1, 31, 8, 15, 10, 0)
    struct.pack_into("<HHi", head, 12, 401, 240, 1)
    struct.pack_into("<II", head, 44, files * (empty + frames), files * (empty + frames))
    struct.pack_into("<I", head, 60, files)
    for o in offsets:
        head += struct.pack("<IIII", 0, 0, 0, o)
    head += struct.pack("<I", len(head) + 4)
    return bytes(idx + head), bytes(data)


def write(name, mode, index, data):
    with open(os.path.join(OUT, "seed-" + name), "wb") as f:
        if len(index) < 0xFFFF:
            length = struct.pack("<H", len(index))
        else:
            length = struct.pack("<HI", 0xFFFF, len(index))
        f.write(bytes([mode]) + length + index + data)


def main():
    os.makedirs(OUT, exist_ok=True)
    # Index files reach past 64 KiB for a day's seconds: the seeds record near midnight instead.
    global SECOND
    SECOND = 20
    for mode in (0x00, 0x04, 0x08, 0x1C):
        write("client-%02x" % mode, mode, *recording(True))
    for mode in (0x01, 0x03, 0x0D):
        write("media-%02x" % mode, mode, *recording(False))
    write("records-224", 0x0D, *record224())
    for mode in (0x02, 0x0E):
        write("framelist-%02x" % mode, mode, *frame_list())
    # Runs of frames without data, up to a recording's most and one past it.
    write("framelist-runs-3000", 0x0E, *frame_list(files=3, frames=2, empty=2998))
    write("framelist-runs-3001", 0x02, *frame_list(files=1, frames=2, empty=2999))
    # An index above 64 KiB: a recording of a minute past 01:10.
    SECOND = 4200
    write("client-long-00", 0x00, *recording(True))


if __name__ == "__main__":
    main()
