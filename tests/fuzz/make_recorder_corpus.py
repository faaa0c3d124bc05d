#!/usr/bin/python3
# Hand-made seeds: each a selector byte, a 32-bit request id, then replies with 16-bit lengths.
import os
import struct
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "recorder_replies")
def frame(command, body_from_8, total_len=None):
    body = bytearray(b"\0" * 6 + bytes([command, 0]) + body_from_8)
    n = len(body) if total_len is None else total_len
    body[9:12] = struct.pack("<I", n)[:3] if len(body) >= 12 else b""
    return bytes(body)
def search(rid, kind, total, part, data):
    head = bytearray(28)
    head[6] = 32; head[8] = 99
    head[9:12] = struct.pack("<I", 28 + len(data))[:3]
    head[12:28] = struct.pack("<IIII", rid, kind, total, part)
    return bytes(head) + data
def seed(name, selector, rid, replies):
    with open(os.path.join(out, name), "wb") as f:
        f.write(bytes([selector]) + struct.pack("<I", rid))
        for r in replies:
            f.write(struct.pack("<H", len(r)) + r)
days = b"20261203\r\n2026120520261118"
seed("day_list", 9, 5, [search(5, 9, len(days), p, days[p*7:(p+1)*7]) for p in range(4)])
masks = bytearray(1920); masks[200] = 1; masks[959] = 0x80
seed("record_table", 12, 6, [search(6, 12, 1920, p, bytes(masks[p*480:(p+1)*480])) for p in range(4)])
events = bytes(96) + bytes([5, 3, 0, 0, 2, 0, 0, 0, 0, 0]) + bytes([23, 59, 0, 1, 0, 0, 0, 4, 0, 0])
seed("event_table", 11, 7, [search(7, 11, len(events), p, events[p*29:(p+1)*29]) for p in range(4)])
long_events = bytes(96) + bytes([0xA5, 0xA5, 0x55, 0xAA]) + bytes(4) + bytes([2, 0]) + bytes(16) + bytes([8, 0])
seed("event_table_long", 11, 8, [search(8, 11, len(long_events), p, long_events[p*33:(p+1)*33]) for p in range(4)])
seed("refused", 12, 9, [search(9, 13, 0, p, b"") for p in range(4)])
text = b"08:30:00 1A\r\n09:00:00 3\n"
seed("event_list", 10, 10, [search(10, 10, len(text), p, text[p*6:(p+1)*6]) for p in range(4)])
def reply(command, size, fields):
    r = bytearray(size); r[6] = command
    r[9:12] = struct.pack("<I", size)[:3]
    for at, v in fields.items(): r[at] = v
    return bytes(r)
model = reply(29, 44, {12: 0x21, 14: 4, 32: 0xF0, 33: 0xA0, 41: 2, 42: 53, 43: 2})
login = reply(2, 21, {20: 2})
names = reply(47, 12, {}) + b"Front door\0\0\0\0\0\0" + b"Yard" + bytes(12)
event = reply(7, 14, {12: 1}) + b"MOTN"
clock = reply(43, 12, {}) + struct.pack("<II", 20261210, 133000)
status = reply(35, 34, {32: 5, 33: 0x80})
frag1 = bytearray(reply(41, 92, {14: 2})); frag1[16:24] = struct.pack("<II", 100, 0)
frag2 = bytearray(reply(41, 72, {14: 2})); frag2[16:24] = struct.pack("<II", 100, 60)
tile = reply(67, 16, {8: 99, 12: 5})
seed("dispatcher", 0x80, 0, [login, model, names, event, clock, status, bytes(frag1), bytes(frag2), tile, reply(33, 28, {8: 99})])
