#!/usr/bin/env python3
"""Writes seed inputs for the player engine's fuzz targets into a folder (argument 1): own/ for
own_decoder_fuzz (frames built bit by bit from the own decoder's bitstream layout), frame/ for
frame_header_fuzz (an ffmpeg-made H.264 stream wrapped in the recorder frame payload, in both byte
orders, as a field pair, on the queued road and as whole pictures) and audio/ for audio_fuzz."""
import os
import random
import re
import struct
import subprocess
import sys
import tempfile


class BitWriter:
    def __init__(self):
        self.bits = []

    def put(self, value, count):
        for i in range(count - 1, -1, -1):
            self.bits.append((value >> i) & 1)

    def text(self, bits):
        self.bits.extend(1 if c == "1" else 0 for c in bits)

    def data(self):
        out = bytearray((len(self.bits) + 7) // 8)
        for i, bit in enumerate(self.bits):
            if bit:
                out[i // 8] |= 0x80 >> (i % 8)
        return bytes(out)


def start_code(w):
    w.put(0, 16)
    w.put(1, 1)


def picture_header(w, key, picture_type, layer_code):
    start_code(w)
    w.put(0, 4)
    w.put(1 if key else 0, 2)
    w.put(0, 1)
    w.put(1, 1)
    w.put(picture_type, 3)
    w.put(8 | layer_code << 1, 4)


def end_code(w):
    start_code(w)
    w.text("00001")
    w.put(0, 6)


def frame(w, height_code=1):
    data = w.data() + b"\0" * 4
    data += b"\0" * (-len(data) % 4)
    return data + bytes([0, 0, 0, height_code << 1])


def key_layer(w, picture_type=2, layer_code=0, coefficients=False):
    picture_header(w, True, picture_type, layer_code)
    for mb in range(21 * 14):
        if coefficients and mb % 5 == 0:
            w.text("11")  # chroma pattern 0, luma pattern 15
            for _ in range(4):
                w.put(100, 8)
                w.text("10" "0" "0111" "1")  # (0, 0, 1) then (last, 0, 1), negative
        else:
            w.text("1")
            w.put(0, 5)
            for _ in range(4):
                w.put(60 + mb % 100, 8)
        w.put(128, 8)
        w.put(128, 8)
    end_code(w)


def own_seeds():
    key = BitWriter()
    key_layer(key)
    coded = BitWriter()
    key_layer(coded, 1, 0, True)
    delta = BitWriter()
    picture_header(delta, False, 2, 0)
    for _ in range(21 * 14):
        delta.text("1")
    end_code(delta)
    layers = BitWriter()
    key_layer(layers, 2, 1)
    picture_header(layers, True, 2, 1)
    for _ in range(21 * 14):
        layers.text("011")  # not skipped, mode 0, inter luma 0
    end_code(layers)

    def pack(flags, slot, frames):
        return bytes([flags, slot]) + b"".join(struct.pack("<H", len(f)) + f for f in frames)

    return {
        "key": pack(0, 0, [frame(key), frame(delta)]),
        "coefficients": pack(0x3A, 1, [frame(coded), frame(delta), frame(key)]),
        "layers": pack(0x31, 0, [frame(layers)]),
    }


def wrap(parameter_sets, slice_nal, kind):
    data = b"".join(b"\0\0\0\1" + p for p in parameter_sets)
    data += b"\0" * (-(20 + len(data)) % 4)
    data += b"\0\0\1" + slice_nal
    payload = bytearray(20)
    payload[2], payload[3], payload[7] = 1, 6, kind
    payload += data
    payload += b"\0" * (-len(payload) % 4)
    units = len(payload) // 4
    payload[9], payload[10], payload[11] = (units >> 16) & 0x7F, (units >> 8) & 0xFF, units & 0xFF
    return bytes(payload)


def frame_seeds(folder):
    stream = os.path.join(folder, "seed.264")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=352x240:rate=10",
                    "-frames:v", "2", "-c:v", "libx264", "-profile:v", "baseline", "-g", "1", "-b:v", "800k",
                    "-qmin", "34", "-qmax", "34", "-bsf:v", "filter_units=remove_types=6", stream], check=True)
    data = open(stream, "rb").read()
    os.remove(stream)
    nals = [n.rstrip(b"\0") for n in re.split(b"\x00\x00\x01", data)]
    nals = [n for n in nals if len(n) > 1]
    sps, pps, first, second = nals[0], nals[1], nals[2], nals[5]
    single = wrap([sps, pps], first, 2)
    stored = b"".join(single[i:i + 4][::-1] for i in range(0, len(single), 4))

    def pack(flags, frames):
        return bytes([flags]) + b"".join(struct.pack("<H", len(f)) + f for f in frames)

    whole = b"\0\0\0\1" + sps + b"\0\0\0\1" + pps + b"\0\0\0\1" + first
    return {
        "single": pack(0, [single, wrap([], second, 2)]),
        "pair": pack(2, [wrap([sps, pps], first, 1) + wrap([], second, 2)]),
        "stored": pack(0, [stored]),
        "queued": pack(1, [b"\0" * 104 + whole]),
        "whole": pack(4, [whole]),
    }


def audio_seeds():
    rng = random.Random(1)

    def noise(n):
        return bytes(rng.randrange(256) for _ in range(n))

    def pack(export, blocks):
        return bytes([export]) + b"".join(bytes([t]) + struct.pack("<H", len(b)) + b for t, b in blocks)

    return {
        "mix": pack(0, [(0, noise(1000)), (1, noise(1000)), (1, noise(1000)), (4, noise(3000)),
                        (4, noise(3000)), (9, noise(4000)), (6, noise(400)), (5, noise(5000))]),
        "export": pack(1, [(4, noise(4000)), (9, noise(4000)), (6, noise(4000)), (8, noise(8000))]),
    }


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "build/fuzz/corpus-player"
    with tempfile.TemporaryDirectory() as scratch:
        sets = {"own": own_seeds(), "frame": frame_seeds(scratch), "audio": audio_seeds()}
    for folder, seeds in sets.items():
        os.makedirs(os.path.join(root, folder), exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(root, folder, "seed-" + name), "wb") as out:
                out.write(data)
    print("seeds written to", root)


if __name__ == "__main__":
    main()
