#!/usr/bin/python3
"""Self test of the recorder simulator: starts dvrsim, runs the login chain and one
download of "conf/setup.ini", and checks the replies byte by byte against layouts
written out by hand from the requirement tables (Parts 1.101 to 1.105).

Run: /usr/bin/python3 tools/dvrsim/selftest.py   (exit status 0 = pass)
"""
import json
import os
import socket
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.realpath(__file__))
DVRSIM = os.path.join(HERE, "dvrsim")
FAILURES = []


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


def layout(total, fields):
    """A message of `total` bytes, zero except the given {offset: bytes} fields."""
    b = bytearray(total)
    for off, val in fields.items():
        b[off:off + len(val)] = val
    return bytes(b)


def header(cmd, total, status=0, sub=0):
    # length (total - 4) big-endian, 00 A1, command, status, sub-code, total 24-bit LE
    return {0: bytes([0, 0, (total - 4) >> 8, (total - 4) & 0xFF]),
            4: bytes([0x00, 0xA1, cmd, status, sub, total & 0xFF, (total >> 8) & 0xFF, total >> 16])}


def expect(name, got, total, cmd, fields, status=0, sub=0):
    f = header(cmd, total, status, sub)
    f.update(fields)
    want = layout(total, f)
    if got != want:
        check(False, "%s: got %s want %s" % (name, got.hex(), want.hex()))
    else:
        print("ok  ", name)


class Client:
    def __init__(self, port):
        self.s = socket.create_connection(("127.0.0.1", port), timeout=5)

    def send(self, cmd, body=b"", sub=0):
        total = 12 + len(body)
        msg = struct.pack(">I", total - 4) + bytes([0, 0xA1, cmd, 0, sub]) + struct.pack("<I", total)[:3] + body
        self.s.sendall(msg)

    def recv(self):
        head = self._exact(4)
        n = struct.unpack(">I", head)[0]
        return head + self._exact(n)

    def _exact(self, n):
        out = b""
        while len(out) < n:
            chunk = self.s.recv(n - len(out))
            if not chunk:
                raise EOFError("connection closed")
            out += chunk
        return out

    def close(self):
        self.s.close()


def crc16_by_hand(data):
    # polynomial 0x1021, MSB first, byte combined after the look-up
    def t(i):
        c = i << 8
        for _ in range(8):
            c = ((c << 1) ^ 0x1021) & 0xFFFF if c & 0x8000 else (c << 1) & 0xFFFF
        return c
    crc = 0
    for b in data:
        crc = ((crc << 8) & 0xFFFF) ^ t(crc >> 8) ^ b
    return crc


def main():
    tmp = tempfile.mkdtemp(prefix="dvrsim-selftest-")
    log = os.path.join(tmp, "log.jsonl")
    setup = b"[SYSTEM]\r\nDVR_NAME=SELFTEST\r\n" + b"X=" + b"y" * 40000 + b"\r\n"   # two blocks
    with open(os.path.join(tmp, "setup.ini"), "wb") as f:
        f.write(setup)
    proc = subprocess.Popen([sys.executable, DVRSIM, "--port", "0", "--channels", "4", "--firmware", "3.30",
                             "--model-code", "0x11", "--titles", "Door,Yard", "--ptz", "NONE,PELCO-D",
                             "--user", "admin", "--password", "1234", "--log", log, "--data-dir", tmp,
                             "--mac", "00:11:22:33:44:55", "--version", "2.5.7.9", "--relays", "2"],
                            stdout=subprocess.PIPE, text=True)
    try:
        line = proc.stdout.readline().strip()
        check(line.startswith("LISTENING "), "first line LISTENING, got %r" % line)
        port = int(line.split()[1])

        check(crc16_by_hand(b"abc") == 0x1EE4, "CRC of abc is 0x1EE4")

        # wrong password: refused with a non-zero status
        c = Client(port)
        c.send(0x01, bytes([0, 5, 4]) + b"admin" + b"9999")
        r = c.recv()
        check(r[6] == 0x02 and r[7] != 0, "wrong password refused: %s" % r[:12].hex())
        c.close()

        c = Client(port)
        # 1. login: 12: 0, 13: user length, 14: password length, 15: text
        c.send(0x01, bytes([0, 5, 4]) + b"admin1234")
        expect("login reply 0x02", c.recv(), 32, 0x02,
               {20: b"\x08", 21: b"\x00", 22: b"\x0f\x00", 24: b"\x0f\x00", 26: b"\x0f\x00", 28: b"\x0f\x00"})
        # 2. model information
        c.send(0x1C, bytes([0, 0, 3, 0x23]))
        expect("model reply 0x1D", c.recv(), 100, 0x1D,
               {12: b"\x11", 14: b"\x04", 15: b"\x04", 16: b"\x02\x05\x07", 26: b" ", 41: b"\x03\x1e", 43: b"\x02",
                71: b"\x09", 72: b"\x01\x01", 92: bytes([0x00, 0x11, 0x22, 0x33, 0x44, 0x55])})
        # 3. camera titles: 16 bytes per channel
        c.send(0x2E)
        expect("titles reply 0x2F", c.recv(), 12 + 64, 0x2F,
               {12: b"Door", 28: b"Yard", 44: b"CAM3", 60: b"CAM4"})
        # 4. PTZ information per channel: 12 channel, 13 length, 14 text
        for ch, text in enumerate([b"NONE", b"PELCO-D", b"NONE", b"NONE"]):
            c.send(0x06, bytes([ch]))
            expect("ptz reply 0x07 ch%d" % ch, c.recv(), 14 + len(text) + 1, 0x07,
                   {12: bytes([ch, len(text)]), 14: text})
        # 5. camera map: identity
        c.send(0x73)
        expect("camera map 0x74", c.recv(), 28, 0x74, {12: bytes(range(16))})
        # 6. camera kinds: count at 12, kinds from 16
        c.send(0x99)
        expect("camera kinds 0x99", c.recv(), 32, 0x99, {12: b"\x04"})
        # 7. extended status (firmware 3.30)
        c.send(0xAE)
        expect("extended status 0xAF", c.recv(), 32, 0xAF, {})
        # 8. status: present 24, video present 26, masks 28, 32, disk code 44
        c.send(0x22)
        expect("status 0x23", c.recv(), 56, 0x23,
               {24: b"\x0f\x00", 26: b"\x0f\x00", 28: b"\x0f\x00", 32: b"\x0f\x00", 44: b"\x03"})
        # 9. disk information: 12 total GB, 16 used GB, records of 12 bytes from 28
        c.send(0x47, bytes([1, 0]))
        expect("disk information 0x52", c.recv(), 40, 0x52,
               {12: struct.pack("<I", 2000), 16: struct.pack("<I", 500), 28: b"\x01\x00"})
        # a later poll is answered again
        c.send(0x22)
        r = c.recv()
        check(r[6] == 0x23 and len(r) == 56, "second poll answered with 0x23")

        # 10. download of conf/setup.ini (kind 0)
        name = b"conf/setup.ini"
        c.send(0x0F, struct.pack("<II", 0, 0) + bytes([len(name)]) + name + b"\x00")
        expect("transfer start 0x11", c.recv(), 20, 0x11, {12: struct.pack("<I", 0), 16: struct.pack("<I", len(setup))})
        got = b""
        while len(got) < len(setup):
            want = min(32768, len(setup) - len(got))
            c.send(0x12, struct.pack("<III", 0, len(got), want))
            r = c.recv()
            expect("block 0x13 at %d" % len(got), r, 20 + want, 0x13,
                   {12: struct.pack("<I", 0), 16: struct.pack("<I", len(got)), 20: setup[len(got):len(got) + want]})
            got += r[20:]
        c.send(0x10, struct.pack("<I", 0) + b"\x01")
        expect("transfer end 0x11", c.recv(), 20, 0x11, {12: struct.pack("<I", 0), 16: struct.pack("<I", len(setup))})
        check(got == setup, "downloaded file equals the served file")

        # garbage is ignored: wrong markers, then a message of an unknown command
        c.s.sendall(struct.pack(">I", 8) + b"\x12\x34\x22\x00\x00\x0c\x00\x00")
        c.send(0xEE)
        c.send(0x22)
        r = c.recv()
        check(r[6] == 0x23, "still answering after garbage")
        c.close()
        time.sleep(0.3)
        check(proc.poll() is None, "simulator still running")

        with open(log) as f:
            lines = [json.loads(x) for x in f if x.strip()]
        cmds = [d["cmd"] for d in lines if d.get("conn") == 2 and "cmd" in d]
        check(cmds[:5] == [0x01, 0x1C, 0x2E, 0x06, 0x06], "log holds the requests in order: %r" % cmds[:5])
        first = [d for d in lines if d.get("conn") == 2 and "cmd" in d][0]
        check(first["length"] == 20 and first["total"] == 24 and first["hex"].startswith("0000001400a10100"),
              "log line of the login: %r" % first)
        check({"conn": 2, "event": "connect"} in lines and {"conn": 2, "event": "disconnect"} in lines,
              "connect and disconnect events logged")
    finally:
        proc.terminate()
        try:
            rc = proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            rc = -1
    check(rc == 0, "simulator ends cleanly on SIGTERM (rc %r)" % rc)
    if FAILURES:
        print("%d failure(s)" % len(FAILURES))
        return 1
    print("selftest passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
