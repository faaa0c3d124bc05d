#!/usr/bin/python3
"""Self test of the recorder simulator: starts dvrsim, runs the login chain and one
download of "conf/setup.ini", and checks the replies byte by byte against layouts
written out by hand from the protocol's message tables.

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
CHECKS = [0]


def check(cond, what):
    CHECKS[0] += 1
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
    check(got == want, "%s: got %s want %s" % (name, got.hex(), want.hex()))
    if got == want:
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


def start(extra, log=None):
    args = [sys.executable, DVRSIM, "--port", "0"] + extra
    if log:
        args += ["--log", log]
    proc = subprocess.Popen(args, stdout=subprocess.PIPE, text=True)
    line = proc.stdout.readline().strip()
    if not line.startswith("LISTENING "):
        proc.kill()
        raise RuntimeError("no LISTENING line: %r" % line)
    return proc, int(line.split()[1])


def stop(proc):
    proc.terminate()
    try:
        return proc.wait(5)
    except subprocess.TimeoutExpired:
        proc.kill()
        return -1


def recv_or_eof(c, timeout=2.0):
    """The next message, or None when the peer closed the connection."""
    c.s.settimeout(timeout)
    try:
        return c.recv()
    except EOFError:
        return None
    except socket.timeout:
        return "timeout"
    except OSError:
        return None


LOGIN = bytes([0, 5, 4]) + b"admin1234"


def failure_modes(tmp):
    """Each --fail switch, seen from the wire."""
    # refuse-login: 0x02 with a non-zero status
    proc, port = start(["--fail", "refuse-login"])
    try:
        c = Client(port)
        c.send(0x01, LOGIN)
        r = c.recv()
        check(r[6] == 0x02 and r[7] != 0, "refuse-login: 0x02 with non-zero status")
        c.close()
    finally:
        stop(proc)
    # close-at-once
    proc, port = start(["--fail", "close-at-once"])
    try:
        c = Client(port)
        c.send(0x01, LOGIN)
        check(recv_or_eof(c) is None, "close-at-once: closed without a reply")
        c.close()
    finally:
        stop(proc)
    # close-after-login / -model / -status
    for mode, steps in (("close-after-login", [(0x01, LOGIN)]),
                        ("close-after-model", [(0x01, LOGIN), (0x1C, bytes([0, 0, 3, 0x23]))]),
                        ("close-after-status", [(0x01, LOGIN), (0x22, b"")])):
        proc, port = start(["--fail", mode])
        try:
            c = Client(port)
            for cmd, body in steps:
                c.send(cmd, body)
                r = recv_or_eof(c)
                check(r not in (None, "timeout") and r[6] == {0x01: 0x02, 0x1C: 0x1D, 0x22: 0x23}[cmd],
                      "%s: reply to 0x%02X" % (mode, cmd))
            check(recv_or_eof(c) is None, "%s: closed after the reply" % mode)
            c.close()
        finally:
            stop(proc)
    # silent: nothing ever comes back, the connection stays open
    proc, port = start(["--fail", "silent"])
    try:
        c = Client(port)
        c.send(0x01, LOGIN)
        c.s.settimeout(1)
        check(recv_or_eof(c) == "timeout", "silent: no reply, connection open")
        c.close()
    finally:
        stop(proc)
    # silent-after-status: the status reply comes, then nothing more (the poll goes unanswered)
    proc, port = start(["--fail", "silent-after-status"])
    try:
        c = Client(port)
        c.send(0x22, b"")
        r = recv_or_eof(c)
        check(r not in (None, "timeout") and r[6] == 0x23, "silent-after-status: the status reply")
        c.send(0x22, b"")
        c.s.settimeout(1)
        check(recv_or_eof(c) == "timeout", "silent-after-status: then no reply, connection open")
        c.close()
    finally:
        stop(proc)
    # flood-05: the login reply, then 2000 bare 12-byte 0x05 messages
    proc, port = start(["--fail", "flood-05"])
    try:
        c = Client(port)
        c.send(0x01, LOGIN)
        r = c.recv()
        check(r[6] == 0x02 and r[7] == 0, "flood-05: the login reply first")
        floods = [c.recv() for _ in range(2000)]
        check(all(len(m) == 12 and m[:7] == bytes([0, 0, 0, 8, 0, 0xA1, 0x05]) and m[9:12] == bytes([12, 0, 0])
                  for m in floods), "flood-05: 2000 messages 00 00 00 08 00 A1 05 .. .. 0C 00 00")
        c.close()
    finally:
        stop(proc)
    # bad-length: the leading length is out of range
    proc, port = start(["--fail", "bad-length"])
    try:
        c = Client(port)
        c.send(0x01, LOGIN)
        c.s.settimeout(2)
        head = c._exact(12)
        check(struct.unpack(">I", head[:4])[0] > 0x100000, "bad-length: length out of range: %s" % head.hex())
        c.close()
    finally:
        stop(proc)
    # bad-marker: one copy with wrong markers, then the correct reply
    proc, port = start(["--fail", "bad-marker"])
    try:
        c = Client(port)
        c.send(0x01, LOGIN)
        r1 = c.recv()
        r2 = c.recv()
        check(r1[4:6] != b"\x00\xa1" and r1[6] == 0x02, "bad-marker: first copy has wrong markers")
        check(r2[4:6] == b"\x00\xa1" and r2[6] == 0x02 and r2[7] == 0, "bad-marker: then the correct reply")
        c.close()
    finally:
        stop(proc)
    # model-class-reject: model code 0x30
    proc, port = start(["--fail", "model-class-reject"])
    try:
        c = Client(port)
        c.send(0x1C, bytes([0, 0, 3, 0x23]))
        r = c.recv()
        check(r[6] == 0x1D and r[12] == 0x30, "model-class-reject: model code 0x30")
        c.close()
    finally:
        stop(proc)
    # upload with the transfer CRC; wrong-crc reports a mismatch
    for fail, want_ok in (([], True), (["--fail", "wrong-crc"], False)):
        log = os.path.join(tmp, "upload%d.jsonl" % want_ok)
        proc, port = start(["--data-dir", tmp] + fail, log)
        try:
            data = bytes((i * 7) & 0xFF for i in range(40000))
            c = Client(port)
            name = b"conf/setup.ini"
            c.send(0x0F, struct.pack("<II", 1, len(data)) + bytes([len(name)]) + name + b"\x00")
            asked = []
            while True:
                r = c.recv()
                if r[6] == 0x12:
                    kind, off, size = struct.unpack_from("<III", r, 12)
                    asked.append((kind, off, size))
                    c.send(0x13, struct.pack("<II", kind, off) + data[off:off + size])
                else:
                    break
            check(asked == [(1, 0, 32768), (1, 32768, 40000 - 32768)], "upload: blocks asked %r" % asked)
            check(r[6] == 0x10 and struct.unpack_from("<I", r, 12)[0] == 1 and r[16] == 1 and len(r) == 17,
                  "upload: 0x10 with kind 1 and flag 1: %s" % r.hex())
            c.send(0x11, struct.pack("<IIH", 1, len(data), crc16_by_hand(data)))
            c.send(0x1A, bytes([3, 1, 1, 0]))
            r = c.recv()
            check(r[6] == 0x1B and (r[7] == 0) == want_ok, "upload: 0x1B status %d" % r[7])
            c.close()
            time.sleep(0.2)
            with open(log) as f:
                crc = [json.loads(x) for x in f if '"crc"' in x]
            check(len(crc) == 1 and crc[0]["ok"] is want_ok, "upload: crc event ok=%r: %r" % (want_ok, crc))
            if want_ok:
                with open(os.path.join(tmp, "uploads", "conf", "setup.ini"), "rb") as f:
                    check(f.read() == data, "upload: stored in --data-dir/uploads")
        finally:
            stop(proc)
    # --apply-restarts: a recorder that took a good firmware package closes the connection
    proc, port = start(["--apply-restarts"])
    try:
        data = bytes((i * 5) & 0xFF for i in range(1000))
        c = Client(port)
        name = b"dvr_upgrade_auto.zip"
        c.send(0x0F, struct.pack("<II", 2, len(data)) + bytes([len(name)]) + name + b"\x00")
        r = c.recv()
        check(r[6] == 0x12 and struct.unpack_from("<III", r, 12) == (2, 0, 1000), "restart: block asked")
        c.send(0x13, struct.pack("<II", 2, 0) + data)
        r = c.recv()
        check(r[6] == 0x10 and r[16] == 1, "restart: 0x10 with flag 1")
        c.send(0x11, struct.pack("<IIH", 2, len(data), crc16_by_hand(data)))
        check(recv_or_eof(c) is None, "restart: the connection closes after a good firmware upload")
        c.close()
    finally:
        stop(proc)
    # drop-during-transfer: a download stops in the middle of its first block
    proc, port = start(["--fail", "drop-during-transfer"])
    try:
        c = Client(port)
        name = b"conf/setup.ini"
        c.send(0x0F, struct.pack("<II", 0, 0) + bytes([len(name)]) + name + b"\x00")
        r = c.recv()
        c.send(0x12, struct.pack("<III", 0, 0, 32768))
        got = b""
        c.s.settimeout(2)
        try:
            while True:
                chunk = c.s.recv(65536)
                if not chunk:
                    break
                got += chunk
        except OSError:
            pass
        check(len(got) >= 4 and len(got) < struct.unpack(">I", got[:4])[0] + 4,
              "drop-during-transfer: a partial block, then the close (%d bytes)" % len(got))
        c.close()
    finally:
        stop(proc)


def tls_and_parallel(tmp):
    """Two simultaneous TLS connections run the first login steps (skipped without openssl)."""
    import shutil
    import ssl
    if not shutil.which("openssl"):
        print("skip TLS: no openssl")
        return
    cert, key = os.path.join(tmp, "cert.pem"), os.path.join(tmp, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost",
                    "-days", "1", "-keyout", key, "-out", cert], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    log = os.path.join(tmp, "tls.jsonl")
    proc, port = start(["--tls", cert, key], log)
    try:
        ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_CLIENT)
        ctx.check_hostname = False
        ctx.verify_mode = ssl.CERT_NONE
        a, b = Client.__new__(Client), Client.__new__(Client)
        a.s = ctx.wrap_socket(socket.create_connection(("127.0.0.1", port), timeout=5))
        b.s = ctx.wrap_socket(socket.create_connection(("127.0.0.1", port), timeout=5))
        a.send(0x01, LOGIN)
        b.send(0x01, LOGIN)
        check(b.recv()[6] == 0x02 and a.recv()[6] == 0x02, "TLS: both connections logged in")
        a.send(0x87, struct.pack("<HBBBB", 1, 30, 0, 0, 0) + bytes(6))
        r = a.recv()
        check(r[6] == 0x29 and r[14] == 0 and r[36] == 0, "TLS: live frame after 0x87")
        b.send(0x22)
        while True:
            r = b.recv()
            if r[6] != 0x29:
                break
        check(r[6] == 0x23, "TLS: second connection still polled while the first streams")
        a.s.close()
        b.s.close()
        time.sleep(0.3)
    finally:
        rc = stop(proc)
    check(rc == 0, "TLS: ends cleanly while streaming (rc %r)" % rc)
    with open(log) as f:
        ev = [json.loads(x) for x in f if '"event"' in x]
    check({"conn": 1, "event": "tls"} in ev and {"conn": 2, "event": "tls"} in ev, "TLS: tls events logged")


def console_side(tmp):
    """The configuration console: layout pieces, page changes by press and release, the light
    connection's keep-alive notice and VDA reply."""
    log = os.path.join(tmp, "console.jsonl")
    proc, port = start(["--console", "reboot", "--console-piece", "700", "--console-area", "10,20,800,600,800,600",
                        "--console-vda", "0,0,2,1", "--motion-grid", "40x2"], log)
    try:
        c = Client(port)
        c.send(0x01, LOGIN)
        c.recv()
        def layout():
            c.send(0xA8, bytes(4))
            text = bytearray()
            while True:
                r = c.recv()
                check(r[6] == 0xA9 and len(r) <= 740, "console: 0xA9 pieces of at most 700 bytes")
                whole, off = struct.unpack_from("<II", r, 12)
                check(off == len(text), "console: pieces in order")
                check(struct.unpack_from("<6H", r, 20)[:4] == (10, 20, 800, 600)
                      and struct.unpack_from("<2H", r, 32) == (800, 600), "console: area values")
                text += r[40:]
                if off + len(r) - 40 >= whole:
                    return bytes(text)
        page = layout()
        check(page.endswith(b"</zent>\n\x00") and b'channel="0"' in page, "console: main page, zero-ended")
        # SYSTEM button at 260..540 x 250..300: press and release move to the system page.
        c.send(0x9A, struct.pack("<HbBHH", 1, 1, 0, 300, 260))
        c.send(0x9A, struct.pack("<HbBHH", 1, 0, 0, 300, 260))
        page = layout()
        check(b'text="SYSTEM"' in page and b"SCROLL_BAR" in page, "console: system page after the press")
        c.send(0x9A, struct.pack("<HbBHH", 0xA400, -1, 0, 0, 0))
        check(b'text="MAIN MENU"' in layout(), "console: leaving resets the menu")
        c.send(0x2A)
        r = c.recv()
        check(r[5] == 0x01 and len(r) == 12, "console: keep-alive answered by an alive notice")
        c.send(0xB6, bytes([2]) + bytes(7))
        r = c.recv()
        check(r[6] == 0xB7 and r[12] == 2 and struct.unpack_from("<III", r, 16) == (40, 2, 8)
              and r[28:44] == bytes([3, 0, 0, 0, 0, 0, 0, 0]) + bytes(8), "console: VDA grid 0xB7")
        c.close()
        events = [json.loads(l) for l in open(log)]
        mouse = [e for e in events if e.get("event") == "console-mouse"]
        check([(e["button"], e["x"], e["y"], e["word12"]) for e in mouse]
              == [(1, 300, 260, "0100"), (0, 300, 260, "0100"), (-1, 0, 0, "00a4")], "console: mouse log %r" % mouse)
    finally:
        stop(proc)


def wrapped_stream(tmp):
    """--stream-form wrapped: each live frame in the recorder frame wrapper, laid out by hand."""
    sps_vui = "6742c00dd90161fb0110000003001000000303c0f142a480"
    key = bytes.fromhex("00000001" + sps_vui + "00000001" + "68cb83cb20" + "00000106" + "0501aa80"
                        + "00000001" + "65888421a0")
    pframe = bytes.fromhex("00000001" + "419a020304")
    video = os.path.join(tmp, "wrapped.264")
    with open(video, "wb") as f:
        f.write(key + pframe)
    # the same SPS numbered as a stream-kind-0 recorder numbers (frame_num 4 bits "1", picture
    # order type 0 "1", lsb 5 bits "010"), without VUI
    sps_kind0 = "6742c00de880b0fc80"
    key0 = bytes.fromhex("00000001" + sps_kind0 + "00000001" + "68cb83cb20" + "00000001" + "65888421a0")
    video0 = os.path.join(tmp, "wrapped0.264")
    with open(video0, "wb") as f:
        f.write(key0 + pframe)

    def wrapper(units8):
        return bytes.fromhex("00000106" "90" "0d" "55" "01" "55") + bytes([0x80, 0, units8]) + \
            bytes.fromhex("55555555555555" "80")

    # the SPS without its VUI (flag cleared, stop bit right after it), every NAL unit on a word
    # boundary (parameter sets with four-byte start codes, slices with three), the SEI left out,
    # the whole padded to 8 bytes
    want_key = wrapper(7) + bytes.fromhex("000000016742c00dd90161f9" "0000000168cb83cb20" "000000"
                                          "00000165888421a0" "00000000")
    want_p = wrapper(4) + bytes.fromhex("000001419a020304" "00000000")

    def live_frames(options, source=video):
        proc, port = start(["--channels", "1", "--video", source] + options)
        try:
            c = Client(port)
            c.send(0x01, LOGIN)
            check(c.recv()[6] == 0x02, "wrapped: logged in")
            c.send(0x87, struct.pack("<HBBBB", 1, 30, 0, 0, 0) + bytes(6))
            frames = []
            while len(frames) < 3:
                r = c.recv()
                if r[6] == 0x29 and r[12] == 0:
                    size = struct.unpack_from("<I", r, 16)[0]
                    frames.append((r[15], size, r[40:]))
            c.close()
        finally:
            rc = stop(proc)
        check(rc == 0, "wrapped: ends cleanly (rc %r)" % rc)
        return frames

    wrapped = [(1, len(want_key), want_key), (0, len(want_p), want_p), (1, len(want_key), want_key)]
    plain = [(1, len(key), key), (0, len(pframe), pframe), (1, len(key), key)]
    cases = [
        (["--stream-form", "wrapped"], wrapped, "asked for"),
        ([], plain, "stream kind 0, a video not numbered as that kind (model 0x11)"),
        (["--model-code", "0x1D"], plain, "stream kind 1 (model 0x1D)"),
        (["--model-code", "0x1F"], plain, "stream kind 2 (model 0x1F)"),
        (["--model-code", "0xFF", "--model-code-ff", "16"], plain, "stream kind 3 (class 1 code 16)"),
        (["--features", "0x100000"], plain, "stream kind 1 (feature bit 20)"),
        (["--stream-form", "plain"], plain, "plain asked for"),
    ]
    for options, want, what in cases:
        got = live_frames(options)
        check(got == want, "stream form, %s: %r" % (what, got))
    want_key0 = wrapper(7) + bytes.fromhex("000000016742c00de880b0fc80" "000000" "0000000168cb83cb20" "000000"
                                           "00000165888421a0")
    got = live_frames([], video0)
    check(got == [(1, len(want_key0), want_key0), (0, len(want_p), want_p), (1, len(want_key0), want_key0)],
          "stream form, stream kind 0 with a recorder-numbered video: %r" % got)
    got = live_frames(["--model-code", "0x1D"], video0)
    check(got[0] == (1, len(key0), key0), "stream form, stream kind 1 with that video: %r" % (got[0],))


def console_stream_form(tmp):
    """Live start mode 3: the console's stream form of the same pictures (four-byte start codes, a
    P picture beginning with its slice, a 10-bit frame number from 0 at each key frame) with the
    fields of every live frame (date, time, frame id, sequence) and the console's marks in byte
    12; other modes keep the video as it is."""
    sps = "6742c00dd90161fb0110000003001000000303c0f142a480"   # frame_num 4 bits, order type 2
    key = bytes.fromhex("00000001" + sps + "00000001" + "68cb83cb20" + "00000106" + "0501aa80"
                        + "00000001" + "65888421a0")
    pframe = bytes.fromhex("00000001" + "419a020304")
    video = os.path.join(tmp, "console.264")
    with open(video, "wb") as f:
        f.write(key + pframe + pframe)
    # By hand: the set's log2_max_frame_num_minus4 "1" becomes "00111" (6); the IDR slice's 4-bit
    # frame_num "0000" becomes ten zero bits, the P slices' ten bits count 1, 2; the rest of each
    # slice follows unchanged, then the stop bit; the SEI is left out.
    want_key_head = bytes.fromhex("00000001" "6742c00d9d")
    want_key_tail = bytes.fromhex("00000001" "68cb83cb20" "00000001" "6588801086" "80")
    want_p = [bytes.fromhex("00000001" "419a00880c10"), bytes.fromhex("00000001" "419a01080c10")]
    proc, port = start(["--channels", "2", "--video", video, "--stream-form", "plain"])
    try:
        for mode in (3, 1):
            c = Client(port)
            c.send(0x01, LOGIN)
            check(c.recv()[6] == 0x02, "console form: logged in")
            c.send(0x87, struct.pack("<HBBBB", 2, 30, 0, mode, 0) + bytes(6))
            frames = []
            while len(frames) < 4:
                r = c.recv()
                if r[6] == 0x29 and r[36] == 0:
                    frames.append(r)
            c.close()
            today = int(time.strftime("%Y%m%d"))
            for r in frames:
                date, = struct.unpack_from("<I", r, 28)
                check(abs(date - today) <= 1 and r[14] == 1 and struct.unpack_from("<I", r, 20)[0] == 0,
                      "mode %d: live fields, date %d: %s" % (mode, date, r[:40].hex()))
            check([r[15] for r in frames] == [1, 0, 0, 1], "mode %d: frame types" % mode)
            check([r[38] for r in frames] == [0, 1, 2, 0], "mode %d: sequence numbers" % mode)
            check(frames[3][13] == (frames[0][13] + 1) & 0xFF, "mode %d: frame id per group" % mode)
            if mode == 3:
                check(all(r[12] == 0x41 for r in frames), "mode 3: frame start and payload marks in byte 12")
                k = frames[0][40:]
                check(k.startswith(want_key_head) and k.endswith(want_key_tail)
                      and struct.unpack_from("<I", frames[0], 16)[0] == len(k), "mode 3: key frame %s" % k.hex())
                check([r[40:] for r in frames[1:3]] == want_p, "mode 3: P frames %r" % [r[40:].hex() for r in frames])
            else:
                check(all(r[12] == 0 for r in frames), "mode 1: byte 12 clear")
                check([r[40:] for r in frames] == [key, pframe, pframe, key], "mode 1: the video as it is")
    finally:
        rc = stop(proc)
    check(rc == 0, "console form: ends cleanly (rc %r)" % rc)


def playback_sound(tmp):
    """The playback stream's sound: per recorded second ten 0x29 blocks on the channel after the
    last one, each a 24-byte head and 800 bytes of the recorded sound (frame size 824)."""
    sound = bytes((i * 7 + i // 251) & 0xFF for i in range(20000))
    path = os.path.join(tmp, "sound.raw")
    with open(path, "wb") as f:
        f.write(sound)
    proc, port = start(["--channels", "2", "--audio", path, "--record-date", "20261201", "--record-start", "080000",
                        "--record-end", "080009"])
    try:
        c = Client(port)
        c.send(0x01, LOGIN)
        check(c.recv()[6] == 0x02, "playback sound: logged in")
        # play from 08:00:03, tag 7, forward (16), sound, channel 0
        c.send(0x95, struct.pack("<BBHBBHiiB", 2, 7, 16, 1, 1, 1, 20261201, 80003, 1) + bytes(3))
        blocks = []
        while len(blocks) < 10:
            r = c.recv()
            if r[6] == 0x29 and r[14] == 2:
                blocks.append(r)
        c.close()
        for k, r in enumerate(blocks):
            pos = (3 * 8000 + k * 800) % len(sound)
            want = bytes(24) + (sound[pos:] + sound)[:800]
            check(len(r) == 40 + 824 and struct.unpack_from("<II", r, 16) == (824, 0) and r[36] == 1 and r[37] == 7
                  and struct.unpack_from("<ii", r, 24) == (80003, 20261201) and r[40:] == want,
                  "playback sound block %d: %s" % (k, r[:48].hex()))
    finally:
        stop(proc)


def live_ticks_after_a_stall():
    """A picture keeps the tick of when it was due: when the viewer stops reading and the
    simulator's sending blocks, the pictures sent afterwards still carry ticks a period apart
    (a camera's capture times), not the moment they went out."""
    import asyncio
    import types
    sys.path.insert(0, HERE)
    from dvrsim_lib import streams

    sent = []

    class StallingConn:
        def __init__(self):
            self.cfg = types.SimpleNamespace(fixed_live_rate=False, fps=30)
            self.srv = types.SimpleNamespace(media=types.SimpleNamespace(
                units=[(b"\x00\x00\x00\x01\x65", True)] + [(b"\x00\x00\x00\x01\x41", False)] * 29,
                gops=1, gop_index=[0] * 30))

        async def send(self, m):
            sent.append(struct.unpack_from("<I", m, 32)[0])
            if len(sent) == 5:
                await asyncio.sleep(0.5)       # the socket is full: the viewer stopped reading
            if len(sent) == 40:
                raise asyncio.CancelledError()

    try:
        asyncio.run(streams.live_video(StallingConn(), 0, rate=30))
    except asyncio.CancelledError:
        pass
    gaps = [b - a for a, b in zip(sent, sent[1:])]
    check(len(sent) == 40 and all(32 <= g <= 35 for g in gaps),
          "live ticks stay a period apart across a blocked send: %s" % gaps)


def main():
    tmp = tempfile.mkdtemp(prefix="dvrsim-selftest-")
    log = os.path.join(tmp, "log.jsonl")
    setup = b"[SYSTEM]\r\nDVR_NAME=SELFTEST\r\n" + b"X=" + b"y" * 40000 + b"\r\n"   # two blocks
    with open(os.path.join(tmp, "setup.ini"), "wb") as f:
        f.write(setup)
    proc = subprocess.Popen([sys.executable, DVRSIM, "--port", "0", "--channels", "4", "--firmware", "3.30",
                             "--model-code", "0x11", "--titles", "Door,Yard", "--ptz", "NONE,PELCO-D",
                             "--user", "admin", "--password", "1234", "--log", log, "--data-dir", tmp,
                             "--mac", "00:11:22:33:44:55", "--version", "2.5.7.9", "--relays", "2",
                             "--record-date", "20261201", "--record-start", "080000", "--record-end", "080059",
                             "--stream-form", "plain"],
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

        # 11. time list of storage slot 0: 1440 16-bit masks in 0x21 pieces of 1024
        c.send(0x20, struct.pack("<IBBBBI", 0, 0x15, 0, 0, 0, 20261201) + bytes(12))
        want_list = bytearray(2880)
        want_list[480 * 2:480 * 2 + 2] = b"\x0f\x00"          # 08:00, channels 0..3
        for off in (0, 1024, 2048):
            n = min(1024, 2880 - off)
            expect("time list piece at %d" % off, c.recv(), 28 + n, 0x21,
                   {16: b"\x15", 20: struct.pack("<II", 2880, off), 28: bytes(want_list[off:off + n])})
        # a slot without storage: 0x20 without data
        c.send(0x20, struct.pack("<IBBBBI", 3, 0x15, 3, 0, 0, 20261201) + bytes(12))
        expect("time list of an empty slot", c.recv(), 28, 0x20, {12: b"\x03", 16: b"\x15\x03"})
        # 12. playback information: 0x96 sub-code 0 -> 0x97
        c.send(0x96, bytes(4))
        expect("playback information 0x97", c.recv(), 36, 0x97,
               {12: struct.pack("<IIII", 20261201, 80000, 20261201, 80059), 32: struct.pack("<I", 20261201)})
        # 13. live start of channel 2 (synthetic frames): first piece is the key frame
        c.send(0x87, struct.pack("<HBBBB", 4, 30, 0, 0, 0) + bytes(6))
        r = c.recv()
        check(len(r) == 40 + 2022 and r[6] == 0x29 and r[12] == 0 and r[14] == 2 and r[15] == 1 and
              struct.unpack_from("<II", r, 16) == (2022, 0) and r[36] == 0 and r[37] == 0 and
              r[40:45] == b"\x00\x00\x00\x01\x67", "live key frame piece: %s" % r[:48].hex())
        c.send(0x04, struct.pack("<HH", 4, 0))
        time.sleep(0.2)
        c.s.settimeout(0.3)
        try:
            while c.recv()[6] == 0x29:
                pass
        except socket.timeout:
            pass
        c.s.settimeout(5)
        # the asked rate paces the stream: at 5 a second, pictures are at least 150 ms apart
        # (a slow machine only widens the gap)
        c.send(0x87, struct.pack("<HBBBB", 2, 5, 0, 0, 0) + bytes(6))
        ticks = []
        while len(ticks) < 3:
            r = c.recv()
            if r[6] == 0x29 and r[14] == 1 and struct.unpack_from("<I", r, 20)[0] == 0:
                ticks.append(struct.unpack_from("<I", r, 32)[0])
        check(all(b - a >= 150 for a, b in zip(ticks, ticks[1:])), "live start at rate 5: ticks %s" % ticks)
        c.send(0x04, struct.pack("<HH", 2, 0))
        time.sleep(0.2)
        c.s.settimeout(0.3)
        try:
            while c.recv()[6] == 0x29:
                pass
        except socket.timeout:
            pass
        c.s.settimeout(5)

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
    failure_modes(tmp)
    tls_and_parallel(tmp)
    console_side(tmp)
    wrapped_stream(tmp)
    console_stream_form(tmp)
    playback_sound(tmp)
    live_ticks_after_a_stall()
    if FAILURES:
        print("%d failure(s)" % len(FAILURES))
        return 1
    print("selftest passed (%d checks)" % CHECKS[0])
    return 0


if __name__ == "__main__":
    sys.exit(main())
