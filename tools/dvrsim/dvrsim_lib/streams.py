"""Live video, live audio and playback streams (AV frame message 0x29)."""
import asyncio
import datetime
import struct
import time

from .proto import message, Body
from .recording import hms, sec_of

PIECE = 32768
_T0 = time.monotonic()


def tick_ms(at=None):
    """The recorder's millisecond tick now, or at the monotonic time `at`."""
    return int(((time.monotonic() if at is None else at) - _T0) * 1000) & 0x7FFFFFFF


def now_date_time():
    n = datetime.datetime.now()
    return int(n.strftime("%Y%m%d")), n.hour * 10000 + n.minute * 100 + n.second


def frame_messages(channel, frame_id, ftype, payload, date, tm, tick, playback=0, tag=0, seq=0, flags=0):
    """One frame as 0x29 pieces of at most 32768 payload bytes."""
    size = len(payload)
    out = []
    off = 0
    while True:
        piece = payload[off:off + PIECE]
        b = Body(40)
        b.u8(12, flags)
        b.u8(13, frame_id)
        b.u8(14, channel)
        b.u8(15, ftype)
        b.u32(16, size)
        b.u32(20, off)
        b.u32(24, tm)          # value B: time HHMMSS
        b.u32(28, date)        # value A: date YYYYMMDD
        b.u32(32, tick)        # value C: millisecond tick
        b.u8(36, playback)
        b.u8(37, tag)
        b.u8(38, seq)
        b.u8(39, 0)
        b.raw(40, piece)
        out.append(message(0x29, b.bytes()))
        off += len(piece)
        if off >= size:
            break
    return out


def live_rate(asked, most):
    """Frames per second of a live stream: the rate the live start asked for, at most the
    recorder's own rate (--fps); a rate of 0 or out of range gets the recorder's rate."""
    return asked if 1 <= asked <= most else most


def console_frame_messages(channel, frame_id, ftype, payload, date, tm, tick, seq=0):
    """One live frame as live start mode 3 asks for it: the fields of every live frame, and in
    byte 12 the console's marks, 0x01 (frame start) on the first piece and 0x40 (32-bit time at
    32, payload from 40) on every piece."""
    out = []
    for i, m in enumerate(frame_messages(channel, frame_id, ftype, payload, date, tm, tick, seq=seq, flags=0x40)):
        if i == 0:
            m = m[:12] + bytes([0x41]) + m[13:]
        out.append(m)
    return out


async def live_video(conn, channel, rate=None, console_form=False):
    media = conn.srv.media
    units = media.console_units if console_form else media.units
    # The one recorded stream is sent at the asked rate: fewer pictures a second, each still
    # the next access unit, so every picture decodes.
    asked = 0 if conn.cfg.fixed_live_rate else (rate or 0)
    period = 1.0 / live_rate(asked, conn.cfg.fps)
    j = 0
    cycle = 0
    seq = 0
    nxt = time.monotonic()
    while True:
        data, key = units[j]
        if key:
            seq = 0
        fid = (cycle * media.gops + media.gop_index[j]) & 0xFF
        date, tm = now_date_time()
        # A picture carries the tick of its capture (when it was due), not of its sending: when
        # the viewer falls behind, the pictures waiting here are as old as a camera's would be.
        tick = tick_ms(nxt)
        make = console_frame_messages if console_form else frame_messages
        pieces = make(channel, fid, 1 if key else 0, data, date, tm, tick, seq=seq & 0xFF)
        for m in pieces:
            await conn.send(m)
        seq += 1
        j += 1
        if j >= len(units):
            j = 0
            cycle += 1
        nxt += period
        delay = nxt - time.monotonic()
        if delay < -1.0:
            nxt = time.monotonic()
        await asyncio.sleep(max(0.0, delay))


def _linear_block(mulaw):
    from .media import mulaw_to_linear
    return b"".join(struct.pack("<h", mulaw_to_linear(c)) for c in mulaw)


async def live_audio(conn, channel):
    cfg = conn.cfg
    audio = conn.srv.media.audio
    form = cfg.audio_form
    n = {"tagged": 512, "plain512": 256, "plain1024": 1024}[form]
    period = n / 8000.0
    pos = 0
    nxt = time.monotonic()
    while True:
        chunk = bytearray()
        while len(chunk) < n:
            take = audio[pos:pos + n - len(chunk)]
            chunk += take
            pos = (pos + len(take)) % len(audio)
        chunk = bytes(chunk)
        date, tm = now_date_time()
        b = Body(40)
        b.u8(12, 0x50)          # bits 0x40 and 0x10: audio
        b.u8(14, channel)
        b.u32(20, 0)
        b.u32(24, tm)
        b.u32(28, date)
        b.u32(32, tick_ms())
        b.u8(36, 0)
        if form == "tagged":
            b.u32(16, 24 + n)
            b.raw(40, b"\x00\x01\xA0\x00")
            b.raw(44, cfg.audio_tag)
            b.raw(64, chunk)
        elif form == "plain512":
            b.u32(16, 16 + 512)
            b.raw(56, _linear_block(chunk))
        else:
            b.u32(16, 28 + 1024)
            b.raw(68, chunk)
        await conn.send(message(0x29, b.bytes()))
        nxt += period
        delay = nxt - time.monotonic()
        if delay < -1.0:
            nxt = time.monotonic()
        await asyncio.sleep(max(0.0, delay))


SOUND_HEAD = 24
SOUND_BLOCK = 800


def playback_sound_block(audio, second, k):
    """Block k (0..9) of a recorded second's sound as the playback stream carries it: the head,
    then the 800 bytes from second x 8000 + k x 800 of the sound, taken in a loop."""
    pos = (second * 8000 + k * SOUND_BLOCK) % len(audio)
    return bytes(SOUND_HEAD) + (audio[pos:] + audio)[:SOUND_BLOCK]


class PlaybackRequest:
    def __init__(self, tag, mode, speed, audio, mask, date, tm, rate):
        self.tag = tag
        self.mode = mode
        self.speed = speed
        self.audio = audio
        self.mask = mask
        self.date = date
        self.time = tm
        self.rate = rate


async def playback(conn, req, live_conn=False):
    """Stream recorded seconds from (date, time) for the channels of the mask; byte 36 = 1."""
    rec = conn.srv.recording
    cfg = conn.cfg
    if "no-playback-frames" in cfg.fail:
        # a recorder that takes the playback request and sends no picture
        conn.log.write({"conn": conn.n, "event": "playback-unanswered", "time": req.time})
        return
    chans = [c for c in range(cfg.channels) if req.mask & (1 << c)]
    if not chans:
        chans = [0]
    backward = req.mode in (256, 512)
    fast = req.mode in (32, 512)
    s = sec_of(req.time) if 0 <= req.time <= 235959 else rec.r0
    date = req.date
    if not rec.has_day(date):
        date = rec.days[-1]
    if not backward and s < rec.r0:
        s = rec.r0
    if backward and s > rec.r1:
        s = rec.r1
    nxt = time.monotonic()
    while rec.r0 <= s <= rec.r1:
        frames = rec.frames_of_second(s)
        if fast:
            frames = [f for f in frames if rec.units[f[0]][1]][:1]
        tm = hms(s)
        seq = 0
        for j, fid in frames:
            data, key = rec.units[j]
            if key:
                seq = 0
            for ch in chans:
                for m in frame_messages(ch, fid, 1 if key else 0, data, date, tm, tick_ms(),
                                        playback=1, tag=req.tag, seq=seq & 0xFF):
                    await conn.send(m)
            seq += 1
            # pacing: frame period; fast modes one key frame per 1/speed second; throttled by 0x8D value 1
            step = 1.0 / max(1, len(frames)) if not fast else 1.0 / max(2, min(8, req.speed or 4))
            nxt += step
            while conn.playback_rate == 1:
                await asyncio.sleep(0.05)
                nxt = time.monotonic()
            if conn.playback_rate > 64:
                # a backup download: as fast as the connection takes it
                nxt = time.monotonic()
                await asyncio.sleep(0)
                continue
            delay = nxt - time.monotonic()
            if delay < -1.0:
                nxt = time.monotonic()
            await asyncio.sleep(max(0.0, delay))
        if req.audio and not fast:
            # the playback stream's sound: channel = channel count, ten blocks a second, each a
            # 24-byte head and 800 bytes of the recorded sound (a frame of 824 bytes; 664 and
            # 2072 would mean 16-bit sound)
            for k in range(10):
                block = playback_sound_block(conn.srv.media.audio, s - rec.r0, k)
                for m in frame_messages(cfg.channels, 0, 0, block, date, tm, tick_ms(), playback=1, tag=req.tag):
                    await conn.send(m)
        s = s - 1 if backward else s + 1
    # end of the recorded range: the end marker (frame size 4) per channel
    tm = hms(max(0, min(86399, s)))
    for ch in chans:
        for m in frame_messages(ch, 0, 0, b"\x00\x00\x00\x00", date, tm, tick_ms(), playback=1, tag=req.tag):
            await conn.send(m)
    conn.log.write({"conn": conn.n, "event": "playback-end", "tag": req.tag})
