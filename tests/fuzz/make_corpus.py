#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/<target>/.

Every seed is built here field by field from the message and file layouts of the recorder
protocol, in the input format that the target's source file describes at its top. Crashing
inputs that were fixed are kept in the same folders under names of their own and are never
touched by this script. The decoder seeds need ffmpeg (libx264); without it they are skipped.

    tests/fuzz/make_corpus.py [corpus folder]
"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def u8(v):
    return struct.pack("<B", v & 0xFF)


def u16(v):
    return struct.pack("<H", v & 0xFFFF)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def u64(v):
    return struct.pack("<Q", v & 0xFFFFFFFFFFFFFFFF)


def put(body, at, data):
    """Writes data into the bytearray body at offset at (the body grows when needed)."""
    if len(body) < at + len(data):
        body.extend(b"\0" * (at + len(data) - len(body)))
    body[at:at + len(data)] = data
    return body


def write_seeds(folder, seeds):
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, "seed-" + name), "wb") as f:
            f.write(data)


# ---------------------------------------------------------------------------------------------
# Recorder messages: 12-byte header (big-endian length of what follows, 00 A1, command, status,
# sub-code, 24-bit little-endian total), then a little-endian body from byte 12.

def message(command, body=b"", status=0, sub=0, total=None):
    size = 12 + len(body)
    if total is None:
        total = size
    return (struct.pack(">I", size - 4) + bytes([0x00, 0xA1, command, status, sub])
            + struct.pack("<I", total)[:3] + bytes(body))


def body_at(size, fields):
    """A body of `size` bytes counted from message byte 12; fields maps message offsets to bytes."""
    body = bytearray(size - 12)
    for at, data in fields.items():
        put(body, at - 12, data)
    return bytes(body)


def model_info(raw_code=0x11, channels=16, major=3, minor=31, features=0, sub_model=0,
               class_byte=0, code_byte=0, audio=0, letter=0):
    return message(0x1D, body_at(100, {12: u8(raw_code), 14: u8(channels), 16: b"\x01\x02\x03",
                                       26: u8(letter), 28: u32(sub_model), 41: u8(major), 42: u8(minor),
                                       43: u8(4), 44: u32(features), 71: u8(4), 72: u8(class_byte),
                                       73: u8(code_byte), 92: bytes(range(1, 7)), 99: u8(audio)}))


def media_frame(channel, frame_id, frame_type, size, offset, payload, playback=0, flags=0,
                sequence=0, audio=False):
    # 12 flags (0x50 audio), 13 frame id, 14 channel, 15 type, 16 size, 20 offset, 24 B, 28 A,
    # 32 C, 36 live 0 / playback 1, 37 playback value, 38 sequence, 39 flags, 40 payload.
    head = {12: u8(0x50 if audio else 0), 13: u8(frame_id), 14: u8(channel), 15: u8(frame_type),
            16: u32(size), 20: u32(offset), 24: u32(120000), 28: u32(20240107), 32: u32(7),
            36: u8(playback), 38: u8(sequence), 39: u8(flags)}
    return message(0x29, body_at(40, head) + payload)


def live_frames():
    key = bytes(range(200))
    other = bytes(range(100, 160))
    return (media_frame(0, 5, 1, len(key), 0, key[:120]) + media_frame(0, 5, 1, len(key), 120, key[120:])
            + media_frame(0, 5, 0, len(other), 0, other, sequence=1)
            + media_frame(1, 9, 0, len(other), 0, other, flags=0x01)
            + media_frame(1, 9, 1, len(other), 0, other, flags=0x10))


def live_audio():
    # The tagged form: 00 01 A0 00 at 40, the codec tag at 44 ("lpcm" or "ulaw" read as a
    # little-endian word), the samples from 64; the frame size counts 24 bytes before them.
    tagged = lambda tag: bytes([0x00, 0x01, 0xA0, 0x00]) + u32(tag) + bytes(16) + bytes(range(100))
    return (media_frame(0, 0, 0, 124, 0, tagged(0x6C70636D), audio=True)
            + media_frame(0, 0, 0, 124, 0, tagged(0x756C6177), audio=True)
            + media_frame(0, 0, 0, 124, 0, tagged(0x12345678), audio=True)
            + media_frame(0, 0, 0, 344, 0, bytes(340), audio=True)
            + media_frame(0, 0, 0, 2048, 0, bytes(1060), audio=True)
            + media_frame(0, 0, 0, 600, 0, bytes(560), audio=True)
            + media_frame(3, 0, 0, 600, 0, bytes(560), audio=True))


def playback_frames():
    data = bytes(range(50))
    return (media_frame(2, 3, 1, len(data), 0, data, playback=1)
            + media_frame(2, 3, 0, len(data), 0, data, playback=1)
            + media_frame(16, 3, 0, len(data), 0, data, playback=1)
            + media_frame(2, 3, 0, 4, 0, b"", playback=1))


def list_piece(kind, channel, size, offset, data, status=0, sub=0, with_data=True):
    # 12 channel (32-bit), 16 list kind, 20 whole size, 24 offset of the piece, 28 data.
    body = body_at(28, {12: u32(channel), 16: u8(kind), 20: u32(size), 24: u32(offset)}) + data
    return message(0x21 if with_data else 0x20, body, status=status, sub=sub)


def lists():
    day = bytes(2880)
    return {
        "time-list": list_piece(0x15, 0, len(day), 0, day[:1400]) + list_piece(0x15, 0, len(day), 1400, day[1400:]),
        "event-list": list_piece(0x0B, 1, 106, 0, bytes(106)),
        "extended-event-list": list_piece(0x17, 2, 124, 0, bytes(124)),
        "audio-list": list_piece(0x16, 3, 100, 0, bytes(100)),
        "list-without-data": list_piece(0x15, 4, 0, 0, b"", with_data=False),
        "failed-list": list_piece(0x15, 5, 0, 0, b"", status=1),
        "index": list_piece(0x12, 0, 512, 0, bytes(512), sub=0) + list_piece(0x12, 3, 512, 0, bytes(300), sub=103),
        "index-header": list_piece(0x12, 12, 960, 0, bytes(960), sub=202) + list_piece(0x12, 13, 0, 0, b"", sub=222),
    }


def frame_reply(code, offset, size, data, status=0, sub=200):
    # 12 channel code (slot, + 100 for data, + 1000 x kind, 8000 for kind 7), 28 offset, 32 size.
    return message(0x67, body_at(36, {12: u32(code), 28: u32(offset), 32: u32(size)}) + data,
                   status=status, sub=sub)


def frame_replies():
    return {
        "frame-header": frame_reply(1, 0, 672, bytes(336)) + frame_reply(1, 336, 672, bytes(336)),
        "frame-data": frame_reply(101, 0, 300, bytes(300)) + frame_reply(6101, 0, 100, bytes(100)),
        "frame-header-second-kind": frame_reply(6002, 0, 400, bytes(400)) + frame_reply(8003, 0, 0, b""),
        "frame-error": frame_reply(4, 0, 0, b"", status=3, sub=200) + frame_reply(104, 0, 0, b"", status=3, sub=201),
    }


def replies():
    titles = b"".join(("Camera %02d" % n).encode().ljust(16, b"\0") for n in range(16))
    disk_records = b"".join(u16(1) + bytes(6) + u8(n % 3) + bytes(3) for n in range(4))
    return {
        "login": message(0x02, body_at(30, {20: u8(0x0C), 21: u8(5), 22: u16(0xFFFF), 24: u16(0xFFFF)})),
        "login-refused": message(0x02, body_at(30, {}), status=2),
        "model-class-6": model_info(raw_code=0x68, major=3, minor=44, features=(1 << 20) | (1 << 7)),
        "model-explicit-class": model_info(raw_code=0xFF, class_byte=10, code_byte=15, channels=8),
        "model-code-8": model_info(raw_code=0x18, sub_model=1642, features=1 << 20, audio=3),
        "model-refused": model_info(raw_code=0x30),
        "model-codes": b"".join(model_info(raw_code=raw) for raw in (0x16, 0x17, 0x19, 0x1B, 0x1D, 0x6D, 0x7F))
        + model_info(raw_code=0x1B, letter=0x20)
        + model_info(raw_code=0x18, sub_model=422) + model_info(raw_code=0x18, sub_model=1641),
        "model-two-streams": model_info(raw_code=0xAF) + live_frames()
        + model_info(raw_code=0xFF, class_byte=1, code_byte=16) + live_frames(),
        "camera-titles": message(0x2F, titles),
        "ptz-info": message(0x07, b"\x00\x04NONE") + message(0x07, b"\x01\x05Pelco"),
        "camera-map": message(0x74, bytes(range(15, -1, -1))),
        "camera-kinds": message(0x99, body_at(32, {12: u8(16), 16: bytes([6] * 16)})),
        "status": message(0x23, body_at(56, {14: u16(3), 24: u16(0xFFFF), 26: u16(0xFF00), 44: bytes(range(10))})),
        "extended-status": message(0xAF, body_at(30, {24: b"\x01\x02", 28: u16(300)})),
        "disk-info": message(0x52, body_at(28, {12: u32(2000), 16: u32(1500), 21: u8(4)}) + disk_records),
        "disk-info-array": message(0x52, body_at(40, {12: u32(2000), 16: u32(0), 20: u8(0x7F), 23: u8(1), 24: u8(4)})),
        "playback-info": message(0x97, body_at(32, {12: u32(1)}) + b"".join(u32(20240100 + d) for d in range(1, 20))),
        "playback-info-codes": message(0x97, body_at(40, {}), sub=1) + message(0x97, body_at(32, {}), sub=2),
        "console-data": message(0xA9, body_at(40, {12: u32(100), 16: u32(0), 20: u16(640)}) + bytes(60))
        + message(0xA9, body_at(40, {12: u32(100), 16: u32(60)}) + bytes(40)),
        "media-state": message(0x36, u16(1) + u16(2)) + message(0x36, u16(3) + u16(2) + u32(9)),
        "backup-results": message(0x38, b"\x01\x32\x02\x01") + message(0x65, status=1)
        + message(0x4A, u16(0x0005) + u16(0) + u32(100) + u32(200) + u32(300)),
        "notices": message(0x2D) + message(0x05) + message(0x1B, b"\x07") + message(0x47)
        + message(0xA7) + message(0xA8) + message(0x86, u32(1) + u32(2) + u32(3) + u32(4))
        + message(0x9D, b"field\0") + message(0x9E, b"update\0") + message(0xBD, bytes(range(20))),
    }


def transfer_block(kind, offset, data):
    return message(0x13, u32(kind) + u32(offset) + data)


def transfers():
    settings = b"[CLIENT_NETWORK]\ncsConfig=1\n"
    download = lambda kind: (message(0x11, u32(kind) + u32(len(settings))) + transfer_block(kind, 0, settings)
                             + message(0x11, u32(kind) + u32(len(settings))))
    upload = lambda kind: (message(0x12, u32(kind) + u32(0) + u32(32768)) + message(0x12, u32(kind) + u32(32768) + u32(0))
                           + message(0x10, u32(kind) + u8(1)) + message(0x0F))
    return {
        (0, "download-accounts"): download(0),
        (1, "download-console"): download(99),
        (2, "upload-settings"): upload(1),
        (3, "upload-firmware"): upload(2),
        (1, "download-in-two-blocks"): message(0x11, u32(99) + u32(40000)) + transfer_block(99, 0, bytes(32768))
        + transfer_block(99, 32768, bytes(7232)),
    }


def framing():
    event = message(0x2D)
    return {
        "two-in-one": event + event,
        "bad-marker": bytes([0, 0, 0, 8, 0xA1, 0x00, 0x2D, 0, 0, 12, 0, 0]) + event,
        "bad-length": event + bytes([0, 0, 0, 7, 0, 0xA1, 0x2D, 0, 0, 11, 0, 0]),
        "total-mismatch": event + bytes([0, 0, 0, 8, 0, 0xA1, 0x2D, 0, 0, 13, 0, 0]),
    }


def dispatch_seeds():
    """Setup byte: bit 0 TLS, bits 1-2 the transfer, bits 3-7 the piece size in units of 61."""
    streams = dict(replies())
    streams.update(lists())
    streams.update(frame_replies())
    streams.update(framing())
    streams["live-video"] = live_frames()
    streams["live-audio"] = live_audio()
    streams["playback-frames"] = playback_frames()
    seeds = {}
    for name, stream in streams.items():
        seeds[name + "-plain"] = b"\x00" + stream
        seeds[name + "-tls"] = b"\x01" + stream
    for name in ("live-video", "time-list", "frame-header", "two-in-one"):
        seeds[name + "-pieces"] = bytes([0x08 | 0x01]) + streams[name]
        seeds[name + "-plain-pieces"] = bytes([0x08]) + streams[name]
    for (transfer, name), stream in transfers().items():
        seeds[name + "-plain"] = bytes([transfer << 1]) + stream
        seeds[name + "-tls"] = bytes([(transfer << 1) | 1]) + stream
    return seeds


# ---------------------------------------------------------------------------------------------
# Record lists and the key-frame index.

def index_header(minutes_by_hour, events_by_hour=None, format_word=0x23000003):
    """512 bytes: format word at 0, minute masks (64-bit per hour) at 24, event masks at 224."""
    header = bytearray(512)
    put(header, 0, u32(format_word))
    for hour, mask in minutes_by_hour.items():
        put(header, 24 + 8 * hour, u64(mask))
    for hour, mask in (events_by_hour or {}).items():
        put(header, 224 + 8 * hour, u64(mask))
    return bytes(header)


def record(arrival, slot, data, channel=0, kind=0):
    """Record lists target: arrival (0 time, 1 event, 2 audio, 3 index), slot, [channel, kind]."""
    head = u8(arrival) + u8(slot)
    if arrival == 3:
        head += u8(channel) + u8(kind)
    return head + u16(len(data)) + data


def event_list(long_form):
    hours = bytearray(96)
    put(hours, 4 * 10, u32(3))
    if long_form:
        records = b"".join(bytes([10, m]) + bytes(10) + u16(0x0003) + u16(0x0100) + bytes(2) + u16(0x8000)
                           for m in range(0, 60, 7))
        return bytes(hours) + bytes([0xA5, 0xA5, 0x55, 0xAA]) + records + bytes(20)
    records = b"".join(bytes([10, m, 0, 0]) + u16(0x0005) + u16(0x0002) + bytes(2) for m in range(0, 60, 5))
    return bytes(hours) + records + bytes(10)


def time_list(first, last, mask=0xFFFF):
    return b"".join(u16(mask if first <= minute <= last else 0) for minute in range(1440))


def record_lists_seeds():
    """Search channel byte, search permission mask, then records."""
    header = index_header({10: 0xC0000000, 11: 1}, {10: 0x80000000})
    everything = 0xFFFF
    return {
        "time-lists": u8(0) + u32(everything) + record(0, 0, time_list(600, 700)) + record(0, 8, time_list(0, 5, 0x8001)),
        "event-lists": u8(0) + u32(0x00FF) + record(1, 0, event_list(False)) + record(1, 8, event_list(True)),
        "audio-list": u8(0) + u32(everything) + record(2, 0, time_list(30, 40, 1)) + record(2, 8, b"\x01\x00" * 10),
        "index-scan": u8(255) + u32(everything) + record(3, 0, header, channel=0, kind=6)
        + record(3, 8, header, channel=16, kind=6),
        "day-index": u8(255) + u32(everything) + record(3, 0, header, channel=2, kind=0)
        + record(3, 8, header + bytes(100), channel=16, kind=0),
        "backup-capacity": u8(0) + u32(everything) + u8(4) + u8(0) + u16(12) + u16(0x0005) + u16(0) + u32(100)
        + u32(200) + u32(300),
        "search-index": u8(3) + u32(everything) + record(3, 0, header, channel=3, kind=0)
        + record(3, 4, header[:300], channel=3, kind=1),
    }


# ---------------------------------------------------------------------------------------------
# Remote playback scheduler.

def minute_block(seconds):
    """960 bytes: 60 entries of 16 bytes; words 2 and 3 the 64-bit data offset of the second."""
    block = bytearray(960)
    for second, offset in seconds.items():
        put(block, 16 * second, u32(1) + u32(offset & 0xFFFFFFFF) + u32(offset & 0xFFFFFFFF) + u32(offset >> 32))
    return bytes(block)


def header_slot(size, key, frame_kind, offset_b, pos_a, size_a):
    """336 bytes: marker 511; size << 9 at 4; flags at 8 (bit 27 clear: key frame); frame kind in
    bits 1-2 of byte 16; data offset at 20; last key frame at 28 and its size at 36; stamp at 44."""
    slot = bytearray(336)
    put(slot, 0, u32(511))
    put(slot, 4, u32(size << 9))
    put(slot, 8, u32(0x00000100 | (0 if key else 1 << 27)))
    put(slot, 16, u32(0x50 | frame_kind << 1))
    put(slot, 20, u64(offset_b))
    put(slot, 28, u64(pos_a))
    put(slot, 36, u32(size_a))
    put(slot, 44, u64(0x1234))
    return bytes(slot)


def step(number, *fields):
    return u8(number) + b"".join(fields)


def sized(data):
    return u16(len(data)) + data


def playback_seeds():
    """Binding, channel count, audio channel, pacing, speed, then steps."""
    header = index_header({10: 0xC0000000}, {10: 0x80000000})
    block = minute_block({10: 0x5000, 15: 0x100000000, 20: 0x6000})
    headers = (header_slot(1000, True, 1, 0x5000, 0x5000, 1000) + header_slot(200, False, 0, 0x5400, 0x5000, 1000)
               + header_slot(150, False, 0, 0x5500, 0x5000, 1000))
    start = step(1, u32(103010), u8(0))
    play = (step(0, u8(0), sized(header)) + start + step(2, u8(0), sized(block)) + step(3, u8(0), sized(headers))
            + step(4, u8(0x02), sized(bytes(1000))) + step(5) + step(4, u8(0), sized(bytes(200))) + step(5)
            + step(5) + step(7, u32(37820), u8(1)) + step(3, u8(1), sized(headers)) + step(5))
    return {
        "play-forward": u8(2) + u8(4) + u8(0xFF) + u8(15) + u8(0) + play,
        "play-backward": u8(2) + u8(4) + u8(0xFF) + u8(15) + u8(0) + play + step(6, u8(4)) + step(5) + step(5),
        "fast-search": u8(0x22) + u8(4) + u8(0xFF) + u8(0xA1) + u8(6) + play + step(6, u8(3)) + step(5),
        "sound": u8(4) + u8(4) + u8(1) + u8(15) + u8(0) + step(0, u8(1), sized(header)) + step(1, u32(103000), u8(0))
        + step(2, u8(1), sized(block)) + step(3, u8(0), sized(header_slot(16416, True, 1, 0x7000, 0x7000, 16416))),
        "event-index": u8(1) + u8(4) + u8(0xFF) + u8(15) + u8(0)
        + step(0, u8(0), sized(index_header({10: 0x40000000}, format_word=0x400))) + step(1, u32(103000), u8(0))
        + step(2, u8(0), sized(block)) + step(10, u8(0)) + step(8, u8(10), u8(30)) + step(11, u8(0)),
    }


# ---------------------------------------------------------------------------------------------
# Decoder: H.264 access units in the recorder's wrapping.

def annexb_units(stream):
    starts = []
    i = 0
    while i + 3 <= len(stream):
        if stream[i:i + 3] == b"\0\0\1":
            starts.append(i - 1 if i > 0 and stream[i - 1] == 0 else i)
            i += 3
        else:
            i += 1
    starts.append(len(stream))
    return [stream[a:b] for a, b in zip(starts, starts[1:])]


def access_units(stream):
    """Groups the NAL units into access units: parameter sets and notes join the next slice."""
    units, current = [], b""
    for nal in annexb_units(stream):
        current += nal
        if nal[nal.index(b"\0\0\1") + 3] & 0x1F in (1, 5):
            units.append(current)
            current = b""
    return units


def wrap(unit, first_form):
    """The recorder's wrapper unit (00 00 01 06, kind 0x90 or another, flags at 7, 23-bit length at
    9), padded to the length's unit, with the slice start moved into words 5 to 14."""
    body = unit.lstrip(b"\0")
    if body.startswith(b"\1"):
        body = b"\0\0" + body
    step_size = 8 if first_form else 4
    total = 20 + len(body)
    total += (-total) % step_size
    length = total // step_size
    head = bytearray(20)
    put(head, 0, b"\0\0\1\6")
    put(head, 4, u8(0x90 if first_form else 0x10))
    put(head, 7, u8(0x10 if first_form else 0x01))
    put(head, 9, bytes([(length >> 16) & 0x7F, (length >> 8) & 0xFF, length & 0xFF]))
    return (bytes(head) + body).ljust(total, b"\0")


def reversed_words(data):
    data = data.ljust(len(data) + (-len(data)) % 4, b"\0")
    return b"".join(data[i:i + 4][::-1] for i in range(0, len(data), 4))


def encode_stream():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "seed.264")
        command = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                   "testsrc=size=32x32:rate=5", "-frames:v", "4", "-c:v", "libx264", "-profile:v", "baseline",
                   "-pix_fmt", "yuv420p", "-x264-params", "keyint=2:bframes=0", "-f", "h264", path]
        try:
            subprocess.run(command, check=True)
        except (OSError, subprocess.CalledProcessError):
            return None
        with open(path, "rb") as f:
            return f.read()


def split_slice(unit):
    """The parameter sets and notes of an access unit, and its slice NAL unit."""
    nals = annexb_units(unit)
    return b"".join(nals[:-1]), nals[-1]


def with_nal_header(unit, old, new):
    """The unit with the NAL header byte after its first start code changed from old to new."""
    at = unit.index(b"\0\0\1") + 3
    return unit[:at] + bytes([new]) + unit[at + 1:] if unit[at] == old else unit


def decoder_seeds():
    """Mode byte (0, 1, 3, 2 by bits 0-1), then frames with a 2-byte length each."""
    stream = encode_stream()
    if stream is None:
        print("make_corpus: ffmpeg with libx264 failed, decoder seeds skipped", file=sys.stderr)
        return {}
    units = access_units(stream)
    frames = lambda items: b"".join(sized(item) for item in items)

    def wrapped(first_form, stored_order=False):
        # The parameter sets go as a frame of their own (no wrapper: no repair), so that the
        # slice start of each wrapped frame stands in words 5 to 14.
        items = []
        for unit in units:
            parameters, slice_unit = split_slice(unit)
            if parameters:
                items.append(parameters)
            frame = wrap(slice_unit, first_form)
            items.append(reversed_words(frame) if stored_order else frame)
        return items

    return {
        "plain-mode2": u8(3) + frames(units),
        "wrapped-first-form": u8(0) + frames(wrapped(True)),
        "wrapped-second-form": u8(0) + frames(wrapped(False)),
        "wrapped-stored-order": u8(0) + frames(wrapped(True, stored_order=True)),
        "wrapped-whole-units": u8(0) + frames(wrap(u, True) for u in units),
        # Mode 1 renumbers P slices of the highest reference priority (NAL header 0x61).
        "four-byte-starts-mode1": u8(1) + frames(with_nal_header(u, 0x41, 0x61) for u in units),
        "four-byte-starts-mode3": u8(2) + frames(units),
    }


# ---------------------------------------------------------------------------------------------
# Mu-law and the XML books.

def mulaw_seeds():
    return {
        "codes": bytes(range(256)),
        "extremes": u16(0x7FFF) + u16(0x8000) + u16(0) + u16(0xFFFF) + u16(4) + u16(0xFFFB) + b"\x01",
    }


SITEBOOK = """<?xml version="1.0" encoding="UTF-8"?>
<zent version="1.0">
    <folder name="west" folded="no">
        <device name="b-cam" addr="b.example" port="9000" id="op" password="" emapPath="" emapPos="" quality="2" use_ssl="0"/>
        <folder name="inner" folded="yes"><device name="deep" addr="d" port="1"/></folder>
    </folder>
    <device name="Gate" addr="gate.example" port="9002" id="root" password="secret" emapPath="/maps/site.png" emapPos="0.1;0.2;" quality="3" use_ssl="1" emapCameraPath0="/maps/c0.png" emapCameraPos0="0.5;0.6;"/>
    <unknown name="skip"><device name="hidden"/></unknown>
</zent>
"""

FAVORITES = """<?xml version="1.0" encoding="UTF-8"?>
<zent version="1.0">
    <favorites_item name="front" cameomode="4" favoritesdevice="Gate;b-cam;" favoriteschannel="0;1;" favoritesmode="autoConnectOn"/>
    <favorites_item_search name="search" cameomode="1" favoritesdevice="Gate;" favoriteschannel="3;" favoritesmode="autoConnectOff"/>
    <other/>
</zent>
"""

EMAP = """<?xml version="1.0" encoding="UTF-8"?>
<zent version="1.0">
    <emap_item name="site" favoritesdevice="Gate;" favoriteschannel="0;" emapPath="/maps/site.png" emapPos="0.3;0.4;"/>
    <emap_item name="second"/>
</zent>
"""


def xmlbooks_seeds():
    deep = "<zent version=\"1.0\">" + "<folder name=\"f\">" * 120 + "</folder>" * 120 + "</zent>"
    return {
        "sitebook.xml": SITEBOOK.encode(),
        "favorites.xml": FAVORITES.encode(),
        "emap.xml": EMAP.encode(),
        "deep-folders.xml": deep.encode(),
        "wrong-version.xml": b"<zent version=\"2.0\"><device name=\"x\"/></zent>",
    }


# ---------------------------------------------------------------------------------------------
# Workbooks: BIFF8 records (16-bit code, 16-bit length, data) in a stream "Workbook", and the
# compound file around it (512-byte sectors: FAT, directory, mini FAT, mini stream, big streams).

def biff(code, payload=b""):
    return u16(code) + u16(len(payload)) + payload


def biff_bof(kind):
    return biff(0x0809, u16(0x0600) + u16(kind) + u16(0x0DBB) + u16(0x07CC) + u32(0) + u32(6))


def sst_text(text, wide=False):
    return u16(len(text)) + u8(1 if wide else 0) + (text.encode("utf-16-le") if wide else text.encode("latin-1"))


def biff_cell(code, row, column, tail):
    return biff(code, u16(row) + u16(column) + u16(15) + tail)


def workbook_stream(extra_rows=0):
    texts = ["Folder", "DVR", "Office", "gate", "10.0.0.1", "admin"]
    sst = b"".join(sst_text(t) for t in texts)
    globals_ = (biff_bof(0x0005) + biff(0x003D, b"\0" * 18)
                + biff(0x0085, u32(0) + u8(0) + u8(0) + u8(13) + u8(0) + b"Import to KRO")
                + biff(0x0085, u32(0) + u8(0) + u8(0) + u8(5) + u8(1) + "Wide\u0416".encode("utf-16-le"))
                + biff(0x00FC, u32(len(texts) + 1) + u32(len(texts) + 1) + sst[:20])
                + biff(0x003C, u8(0) + sst[20:] + sst_text("\u0416x", True)) + biff(0x000A))
    cells = (biff_cell(0x00FD, 0, 0, u32(0)) + biff_cell(0x00FD, 0, 1, u32(1))
             + biff_cell(0x00FD, 1, 0, u32(2)) + biff_cell(0x00FD, 1, 1, u32(3))
             + biff_cell(0x00FD, 1, 2, u32(4)) + biff_cell(0x027E, 1, 3, u32((8000 << 2) | 2))
             + biff_cell(0x00FD, 1, 4, u32(5)) + biff_cell(0x0203, 1, 5, struct.pack("<d", 1234.0))
             + biff(0x00BD, u16(2) + u16(0) + u16(15) + u32((1 << 2) | 2) + u16(15) + u32((150 << 2) | 3) + u16(1))
             + biff_cell(0x0205, 2, 2, u8(1) + u8(0)) + biff_cell(0x0201, 2, 3, b"")
             + biff_cell(0x0006, 2, 4, struct.pack("<d", 2.0) + u16(0) + u32(0) + u16(3) + b"\x1e\x02\x00")
             + biff(0x0207, sst_text("cached")))
    for r in range(extra_rows):
        cells += biff_cell(0x0203, 3 + r, r % 6, struct.pack("<d", r * 1.5))
    sheet = (biff_bof(0x0010) + biff(0x020B, u32(0) * 4) + biff(0x0200, u32(0) + u32(3 + extra_rows) + u16(0) + u16(6) + u16(0))
             + biff(0x0208, u16(0) + u16(0) + u16(6) + u16(255) + u16(0) + u16(0) + u32(0x100)) + cells
             + biff(0x00D7, u32(0)) + biff(0x023E, u16(0x06B6) + u16(0) * 8) + biff(0x000A))
    return globals_ + sheet


def compound_file(streams):
    """streams: (name, bytes) pairs under the root; small ones go to the mini stream."""
    end, free = 0xFFFFFFFE, 0xFFFFFFFF
    mini, mini_fat, starts = b"", [], {}
    for name, data in streams:
        if len(data) < 4096 and data:
            first, count = len(mini) // 64, (len(data) + 63) // 64
            mini += data + b"\0" * (count * 64 - len(data))
            mini_fat += [first + i + 1 if i + 1 < count else end for i in range(count)]
            starts[name] = first
    fat = [0xFFFFFFFD, end, end]  # FAT, directory (one sector), mini FAT (one sector)
    mini_start = len(fat)
    mini_sectors = (len(mini) + 511) // 512
    fat += [mini_start + i + 1 if i + 1 < mini_sectors else end for i in range(mini_sectors)]
    body = mini + b"\0" * (mini_sectors * 512 - len(mini))
    for name, data in streams:
        if len(data) >= 4096:
            first, count = len(fat), (len(data) + 511) // 512
            fat += [first + i + 1 if i + 1 < count else end for i in range(count)]
            body += data + b"\0" * (count * 512 - len(data))
            starts[name] = first
    fat += [free] * (128 - len(fat))
    header = bytearray(512)
    put(header, 0, bytes([0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1]))
    for at, value in ((24, u16(0x3E)), (26, u16(3)), (28, u16(0xFFFE)), (30, u16(9)), (32, u16(6)),
                      (44, u32(1)), (48, u32(1)), (56, u32(4096)), (60, u32(2)), (64, u32(1)),
                      (68, u32(end)), (76, u32(0))):
        put(header, at, value)
    for i in range(1, 109):
        put(header, 76 + 4 * i, u32(free))

    def entry(name, kind, child, right, start, size):
        e = bytearray(128)
        encoded = name.encode("utf-16-le")
        put(e, 0, encoded)
        put(e, 64, u16(len(encoded) + 2))
        put(e, 66, u8(kind) + u8(1) + u32(0xFFFFFFFF) + u32(right) + u32(child))
        put(e, 116, u32(start) + u32(size))
        return bytes(e)

    entries = [entry("Root Entry", 5, 1 if streams else 0xFFFFFFFF, 0xFFFFFFFF, mini_start if mini else end, len(mini))]
    for i, (name, data) in enumerate(streams):
        right = i + 2 if i + 1 < len(streams) else 0xFFFFFFFF
        entries.append(entry(name, 2, 0xFFFFFFFF, right, starts.get(name, end), len(data)))
    directory = b"".join(entries)[:512]
    directory += b"\0" * (512 - len(directory))
    mini_fat_sector = b"".join(u32(v) for v in mini_fat + [free] * (128 - len(mini_fat)))
    return bytes(header) + b"".join(u32(v) for v in fat) + directory + mini_fat_sector + body


def workbook_seeds():
    return {
        "import-list.biff": workbook_stream(),
        "longer.biff": workbook_stream(extra_rows=400),
    }


def compoundfile_seeds():
    return {
        "mini-stream.xls": compound_file([("Workbook", workbook_stream())]),
        "fat-stream.xls": compound_file([("Workbook", workbook_stream(extra_rows=400)), ("Other", b"x" * 100)]),
    }


def main():
    corpus = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "corpus")
    for target, seeds in (("dispatch", dispatch_seeds()), ("record_lists", record_lists_seeds()),
                          ("playback", playback_seeds()), ("decoder", decoder_seeds()),
                          ("mulaw", mulaw_seeds()), ("xmlbooks", xmlbooks_seeds()),
                          ("workbook", workbook_seeds()), ("compoundfile", compoundfile_seeds())):
        write_seeds(os.path.join(corpus, target), seeds)


if __name__ == "__main__":
    main()
