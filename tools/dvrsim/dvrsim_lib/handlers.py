"""Handlers of the requests that the client sends, by command code."""
import asyncio
import struct

from . import console, replies
from .proto import message, u8, u16, u32, s32, Body, crc16
from .config import FLOOD_05_COUNT
from .server import Close, debug

HANDLERS = {}


def handles(*codes):
    def deco(fn):
        for c in codes:
            HANDLERS[c] = fn
        return fn
    return deco


# ---------------------------------------------------------------- login chain

@handles(0x01)
async def on_login(conn, msg):
    cfg = conn.cfg
    ulen = u8(msg, 13)
    plen = u8(msg, 14)
    text = bytes(msg[15:15 + ulen + plen])
    user = text[:ulen].decode("latin-1", "replace")
    password = text[ulen:ulen + plen].decode("latin-1", "replace")
    ok = True
    if cfg.user is not None and user != cfg.user:
        ok = False
    if cfg.password is not None and password != cfg.password:
        ok = False
    if "refuse-login" in cfg.fail:
        ok = False
    conn.log.write({"conn": conn.n, "event": "login", "user": user, "ok": ok})
    if "bad-length" in cfg.fail:
        # a message whose leading length is far beyond any receive buffer
        bad = bytearray(replies.login_reply(cfg, ok))
        bad[0:4] = (0x7FFFFFF0).to_bytes(4, "big")
        await conn.send(bytes(bad))
        return
    if "stall-login" in cfg.fail:
        # the login reply trickles out one byte every 2 seconds
        conn.log.write({"conn": conn.n, "event": "login-stalled"})
        for b in replies.login_reply(cfg, ok):
            await conn.send(bytes([b]))
            await asyncio.sleep(2.0)
        return
    await conn.reply(replies.login_reply(cfg, ok))
    if "close-after-login" in cfg.fail:
        raise Close()
    if "flood-05" in cfg.fail:
        # a burst of the 12-byte message that carries nothing
        await conn.send(message(0x05) * FLOOD_05_COUNT)


@handles(0x1C)
async def on_model(conn, msg):
    await conn.reply(replies.model_reply(conn.cfg))
    if "close-after-model" in conn.cfg.fail:
        raise Close()


@handles(0x2E)
async def on_titles(conn, msg):
    await conn.reply(replies.titles_reply(conn.cfg, conn.state.titles))


@handles(0x06)
async def on_ptz_info(conn, msg):
    await conn.reply(replies.ptz_reply(conn.cfg, u8(msg, 12)))


@handles(0x73)
async def on_ptz_end(conn, msg):
    await conn.reply(replies.camera_map_reply(conn.cfg))


@handles(0x99)
async def on_kinds(conn, msg):
    await conn.reply(replies.camera_kinds_reply(conn.cfg))


@handles(0xAE)
async def on_ext_status(conn, msg):
    await conn.reply(replies.ext_status_reply(conn.cfg))


@handles(0x22)
async def on_status(conn, msg):
    await conn.reply(replies.status_reply(conn.cfg, conn.state))
    conn.status_replies += 1
    if "close-after-status" in conn.cfg.fail:
        raise Close()
    if "silent-after-status" in conn.cfg.fail:
        conn.go_quiet()


@handles(0x47)
async def on_disk(conn, msg):
    await conn.reply(replies.disk_reply(conn.cfg))


# ---------------------------------------------------------------- file transfer

BLOCK = 32768


class Transfer:
    def __init__(self, kind, name, size):
        self.kind = kind
        self.name = name
        self.size = size
        self.data = bytearray()
        self.crc = 0
        self.received = 0
        self.blocks = 0


def _safe_relpath(name):
    parts = [p for p in name.replace("\\", "/").split("/") if p not in ("", ".", "..")]
    return "/".join(parts) or "unnamed"


@handles(0x0F)
async def on_file_begin(conn, msg):
    kind = s32(msg, 12)
    size = u32(msg, 16)
    nlen = u8(msg, 20)
    name = bytes(msg[21:21 + nlen]).split(b"\x00")[0].decode("latin-1", "replace")
    conn.log.write({"conn": conn.n, "event": "transfer-begin", "kind": kind, "name": name, "size": size})
    if kind in (0, 99):
        data = conn.srv.setup_bytes()
        conn.transfer = Transfer(kind, name, len(data))
        conn.transfer.data = bytearray(data)
        await conn.reply(message(0x11, Body(20).u32(12, kind).u32(16, len(data)).bytes()))
    elif kind in (1, 2):
        conn.transfer = Transfer(kind, name, size)
        if size == 0:
            await _upload_close(conn)
        else:
            await _ask_block(conn)
    else:
        debug("conn %d: transfer kind %d unknown" % (conn.n, kind))


async def _ask_block(conn):
    t = conn.transfer
    want = min(BLOCK, t.size - t.received)
    await conn.reply(message(0x12, Body(24).u32(12, t.kind).u32(16, t.received).u32(20, want).bytes()))


async def _upload_close(conn):
    t = conn.transfer
    await conn.reply(message(0x10, Body(17).u32(12, t.kind).u8(16, 1).bytes()))


@handles(0x12)
async def on_block_request(conn, msg):
    kind = s32(msg, 12)
    offset = u32(msg, 16)
    size = u32(msg, 20)
    t = conn.transfer
    if t is None or t.kind not in (0, 99):
        data = conn.srv.setup_bytes()
    else:
        data = bytes(t.data)
    if size == 0:
        size = BLOCK
    piece = data[offset:offset + min(size, BLOCK)] if offset < len(data) else b""
    out = message(0x13, Body(20).u32(12, kind).u32(16, offset).raw(20, piece).bytes() if piece
                  else Body(20).u32(12, kind).u32(16, offset).bytes())
    if "drop-during-transfer" in conn.cfg.fail:
        conn.log.write({"conn": conn.n, "event": "drop-during-transfer"})
        await conn.send(out[:max(12, len(out) // 2)])
        raise Close()
    await conn.reply(out)


@handles(0x13)
async def on_block(conn, msg):
    t = conn.transfer
    kind = s32(msg, 12)
    offset = u32(msg, 16)
    total = u8(msg, 9) | (u8(msg, 10) << 8) | (u8(msg, 11) << 16)
    data = bytes(msg[20:min(len(msg), max(20, total))])
    if t is None or t.kind not in (1, 2) or kind != t.kind:
        debug("conn %d: block without an upload, ignored" % conn.n)
        return
    if "drop-during-transfer" in conn.cfg.fail:
        conn.log.write({"conn": conn.n, "event": "drop-during-transfer"})
        raise Close()
    if offset != t.received:
        conn.log.write({"conn": conn.n, "event": "transfer-error", "reason": "offset", "offset": offset,
                        "expected": t.received})
        return
    if offset == 0:
        t.crc = 0
    t.crc = crc16(data, t.crc)
    t.data += data
    t.received += len(data)
    t.blocks += 1
    if len(data) == 0 or t.received >= t.size:
        await _upload_close(conn)
    else:
        await _ask_block(conn)


@handles(0x10)
async def on_file_end(conn, msg):
    t = conn.transfer
    kind = s32(msg, 12)
    if t is not None and t.kind in (0, 99):
        await conn.reply(message(0x11, Body(20).u32(12, kind).u32(16, t.size).bytes()))
    else:
        await conn.reply(message(0x11, Body(20).u32(12, kind).u32(16, 0).bytes()))


@handles(0x11)
async def on_file_stat(conn, msg):
    t = conn.transfer
    kind = s32(msg, 12)
    size = u32(msg, 16)
    crc = u16(msg, 20)
    if t is None or t.kind not in (1, 2):
        conn.log.write({"conn": conn.n, "event": "crc", "ok": False, "kind": kind, "client": crc,
                        "computed": None, "size": size, "reason": "no upload"})
        return
    computed = t.crc
    if "wrong-crc" in conn.cfg.fail:
        computed ^= 0xFFFF
    ok = computed == crc and size == t.size and t.received == t.size
    t.ok = ok
    path = conn.srv.store_upload(t.name, bytes(t.data), ok)
    conn.log.write({"conn": conn.n, "event": "crc", "ok": ok, "kind": kind, "client": crc,
                    "computed": computed, "size": size, "received": t.received, "name": t.name,
                    "stored": path})
    if ok and kind == 2 and conn.cfg.apply_restarts:
        # The recorder takes the package and restarts to install it.
        conn.log.write({"conn": conn.n, "event": "restart", "reason": "firmware"})
        raise Close()


@handles(0x1A)
async def on_config_action(conn, msg):
    t = conn.transfer
    ok = t is not None and getattr(t, "ok", False)
    conn.log.write({"conn": conn.n, "event": "config-action", "ok": ok})
    await conn.reply(message(0x1B, Body(16).u8(12, 0 if ok else 1).bytes(), status=0 if ok else 1))
    if ok and conn.cfg.apply_restarts:
        # The recorder restarts with the new settings.
        conn.log.write({"conn": conn.n, "event": "restart", "reason": "settings"})
        raise Close()


# ---------------------------------------------------------------- live, audio, playback

from . import streams  # noqa: E402
from .recording import sec_of, hms  # noqa: E402


@handles(0x87)
async def on_live_start(conn, msg):
    mask = u16(msg, 12)
    rate = u8(msg, 14)
    mode = u8(msg, 16)
    conn.log.write({"conn": conn.n, "event": "live-start", "mask": mask, "rate": rate, "mode": mode,
                    "no_audio": u8(msg, 17)})
    for ch in range(conn.cfg.channels):
        if mask & (1 << ch):
            # Byte 16 = 3 asks for the console's stream form (frame start and payload flags).
            conn.start_task(("live", ch), streams.live_video(conn, ch, rate, console_form=mode == 3))


@handles(0x04)
async def on_live_stop(conn, msg):
    mask = u16(msg, 12)
    for ch in range(16):
        if mask & (1 << ch):
            conn.stop_task(("live", ch))


@handles(0x3D)
async def on_audio_start(conn, msg):
    ch = s32(msg, 12)
    conn.stop_task("audio")
    if 0 <= ch < conn.cfg.channels:
        conn.start_task("audio", streams.live_audio(conn, ch))


@handles(0x3E)
async def on_audio_stop(conn, msg):
    conn.stop_task("audio")


@handles(0x95)
async def on_playback_ctrl(conn, msg):
    a = u8(msg, 12)
    tag = u8(msg, 13)
    mode = u16(msg, 14)
    speed = u8(msg, 16)
    audio = u8(msg, 17)
    mask = u16(msg, 18)
    date = s32(msg, 20)
    tm = s32(msg, 24)
    rate = u8(msg, 28)
    conn.log.write({"conn": conn.n, "event": "playback", "a": a, "tag": tag, "mode": mode, "speed": speed,
                    "audio": audio, "mask": mask, "date": date, "time": tm, "rate": rate})
    conn.stop_task("playback")
    if a == 0 or mode in (0, 2, 4):
        return
    conn.srv.state.day = date if conn.srv.recording.has_day(date) else conn.srv.state.day
    req = streams.PlaybackRequest(tag, mode, speed, audio, mask, date, tm, rate)
    conn.start_task("playback", streams.playback(conn, req))


@handles(0x8D)
async def on_playback_rate(conn, msg):
    conn.playback_rate = s32(msg, 12)
    conn.log.write({"conn": conn.n, "event": "playback-rate", "value": conn.playback_rate})


@handles(0x96)
async def on_console_lock(conn, msg):
    """Console lock 0 asks for the playback information, 1 and 2 for the health check: 0x97."""
    sub = u8(msg, 8)
    rec = conn.srv.recording
    days = rec.days
    b = Body(32 + 4 * len(days))
    b.u32(12, days[0])
    b.u32(16, hms(rec.r0))
    b.u32(20, days[-1])
    b.u32(24, hms(rec.r1))
    for i, d in enumerate(days):
        b.u32(32 + 4 * i, d)
    await conn.reply(message(0x97, b.bytes(), sub=sub if sub in (1, 2) else 0))


# ---------------------------------------------------------------- lists, index, frames

@handles(0x20)
async def on_list(conn, msg):
    rec = conn.srv.recording
    word12 = s32(msg, 12)
    kind = u8(msg, 16)
    b17 = u8(msg, 17)
    b19 = u8(msg, 19)
    day = s32(msg, 20)
    sub = 0
    data = b""
    reply_kind = kind
    if rec.has_day(day):
        conn.srv.state.day = day
    if kind in (0x15, 0x16, 0x0B, 0x17):
        slot = word12
        if kind in (0x0B, 0x17):
            reply_kind = 0x0B
        if slot == 0:
            if kind == 0x15:
                data = rec.time_list(day)
            elif kind == 0x16:
                data = rec.audio_list(day)
            else:
                data = rec.event_list(day, long_form=(kind == 0x17))
    elif kind == 0x12:
        sub = (b19 + conn.cfg.index_subcode_add) & 0xFF if b19 else 0
        if word12 >= 10:
            # An index-header request carries no day (word 20 is the client's own value): it
            # reads the day of the latest list, index or playback request.
            slot = word12 - 10
            a = s32(msg, 24)
            size = s32(msg, 32)
            if size <= 0:
                size = 960
            header_day = day if rec.has_day(day) else (conn.srv.state.day or rec.days[-1])
            if slot == 0:
                data = rec.read_index(header_day, a, min(size, 960))
        else:
            slot = word12
            if slot == 0:
                data = rec.read_index(day, 0, 512)
    else:
        debug("conn %d: list kind 0x%02X unknown" % (conn.n, kind))
        return
    fail = conn.cfg.fail
    if "no-list-reply" in fail:
        # a recorder that takes list and index requests and never answers them
        conn.log.write({"conn": conn.n, "event": "list-unanswered", "kind": kind})
        return
    if not data:
        b = Body(28).u32(12, word12).u8(16, reply_kind).u8(17, b17).u32(20, 0).u32(24, 0)
        await conn.reply(message(0x20, b.bytes(), sub=sub))
        return
    piece = max(1, conn.cfg.list_piece)
    # overlong-list: the size word says half of what the pieces then carry
    declared = max(1, len(data) // 2) if "overlong-list" in fail else len(data)
    offsets = list(range(0, len(data), piece))
    if "cut-list" in fail:
        # the reply stops before its last piece
        offsets = offsets[:-1]
        conn.log.write({"conn": conn.n, "event": "list-cut", "kind": kind, "size": len(data)})
    for off in offsets:
        chunk = data[off:off + piece]
        b = Body(28).u32(12, word12).u8(16, reply_kind).u8(17, b17).u32(20, declared).u32(24, off).raw(28, chunk)
        await conn.reply(message(0x21, b.bytes(), sub=sub))


@handles(0x66)
async def on_frame_request(conn, msg):
    if "no-frame-reply" in conn.cfg.fail:
        # a recorder that takes frame requests and never answers them
        conn.log.write({"conn": conn.n, "event": "frame-unanswered"})
        return
    rec = conn.srv.recording
    total = u8(msg, 9) | (u8(msg, 10) << 8) | (u8(msg, 11) << 16)
    total = min(total, len(msg))
    count = max(0, (total - 12) // 24)
    day = conn.srv.state.day or rec.days[-1]
    for i in range(count):
        e = 12 + 24 * i
        code = s32(msg, e)
        file_no = u8(msg, e + 4)
        plen = u8(msg, e + 5) | (u8(msg, e + 6) << 8) | (u8(msg, e + 7) << 16)
        offset = struct.unpack_from("<q", msg, e + 8)[0]
        start = u32(msg, e + 16)
        fsize = u32(msg, e + 20)
        c = code % 1000
        ch = c - 100 if c >= 100 else c
        data = b""
        if file_no % 20 == 0 and 0 <= ch < conn.cfg.channels and 0 < plen <= 1 << 20:
            data = rec.read_video(ch, day, offset, plen)
        # A header block asked for at the last second of a file holds only that second's
        # headers: the recorder answers with what it has. Frame data must be whole.
        short_header = c < 100 and 0 < len(data) < plen
        if short_header:
            fsize = len(data)
        elif len(data) != plen or plen == 0:
            b = Body(36).u32(12, code).u32(28, start).u32(32, fsize)
            await conn.reply(message(0x67, b.bytes(), status=1, sub=200))
            continue
        b = Body(36).u32(12, code).u32(28, start).u32(32, fsize).raw(36, data)
        await conn.reply(message(0x67, b.bytes(), sub=200))


# ---------------------------------------------------------------- backup media, capacity

@handles(0x49)
async def on_backup_capa(conn, msg):
    cfg = conn.cfg
    rec = conn.srv.recording
    d0, t0, d1, t1 = s32(msg, 12), s32(msg, 16), s32(msg, 20), s32(msg, 24)
    mask = u16(msg, 28) & cfg.channel_mask
    s0 = sec_of(t0) if 0 <= t0 <= 235959 else 0
    s1 = sec_of(t1) if 0 <= t1 <= 235959 else 86399
    days = [d for d in rec.days if d0 <= d <= d1]
    per_channel = 0
    for d in days:
        a = s0 if d == d0 else 0
        z = s1 if d == d1 else 86399
        per_channel += rec.bytes_between(a, z)
    mb = (per_channel + (1 << 20) - 1) >> 20 if per_channel else 0
    sizes = [mb for ch in range(cfg.channels) if mask & (1 << ch)]
    audio_mb = 1 if mb else 0
    sizes.append(audio_mb)
    b = Body(16 + 4 * len(sizes)).u16(12, mask)
    for i, v in enumerate(sizes):
        b.u32(16 + 4 * i, v)
    await conn.reply(message(0x4A, b.bytes()))


@handles(0x35)
async def on_media_check(conn, msg):
    # the medium's state (--media-state; 1 ready) and its free MB (16-bit each)
    state = conn.srv.state.media_state
    await conn.reply(message(0x36, Body(16).u16(12, state).u16(14, conn.cfg.ns.media_free).bytes()))


@handles(0x64)
async def on_media_erase(conn, msg):
    # an erased disc or a formatted USB storage is ready at the next check
    conn.srv.state.media_state = 1
    await conn.reply(message(0x65, Body(16).u8(12, 0).bytes(), status=0))


async def _burn(conn, index):
    import asyncio
    discs = max(1, conn.cfg.ns.media_discs)
    for pct in range(0, 101, 20):
        await conn.reply(message(0x38, Body(16).u8(12, 0).u8(13, pct).u8(14, discs).u8(15, index).bytes()))
        await asyncio.sleep(0.2)
    await conn.reply(message(0x38, Body(16).u8(12, 3).u8(13, 100).u8(14, discs).u8(15, index).bytes()))


@handles(0x4B, 0xC0, 0x37)
async def on_cd_backup(conn, msg):
    # 0x37 goes on with the next medium: byte 12 is the number of media already written
    index = u8(msg, 12) if u8(msg, 6) == 0x37 else 0
    conn.start_task("burn", _burn(conn, index))


@handles(0x39, 0x3A)
async def on_cd_stop(conn, msg):
    conn.stop_task("burn")


# ---------------------------------------------------------------- camera, relay, console

@handles(0x27)
async def on_relay(conn, msg):
    relay = u8(msg, 12)
    on = u8(msg, 13) == 1
    if relay < 16:
        if on:
            conn.state.relay_mask |= 1 << relay
        else:
            conn.state.relay_mask &= ~(1 << relay)


@handles(0x9C)
async def on_set_title(conn, msg):
    ch = u8(msg, 12)
    m = u8(msg, 13)
    if ch < 16:
        conn.state.titles[ch] = bytes(msg[16:16 + m]).decode("utf-8", "replace")


@handles(0x08, 0x29, 0x3F, 0x40, 0xBC, 0xBE)
async def on_logged_only(conn, msg):
    """Requests that have no reply: the log line is all."""


@handles(0xA8)
async def on_console_data(conn, msg):
    if conn.cfg.console == "off":
        # without a console: the recorder's "not supported" answer
        await conn.reply(message(0xA8, Body(16).bytes()))
        return
    await console.on_layout_request(conn, msg)


@handles(0x9A)
async def on_console_mouse(conn, msg):
    await console.on_mouse(conn, msg)


@handles(0xA6)
async def on_console_mode(conn, msg):
    await console.on_mode(conn, msg)


@handles(0x2A)
async def on_console_keep_alive(conn, msg):
    await console.on_keep_alive(conn, msg)


@handles(0xB6)
async def on_console_vda(conn, msg):
    await console.on_vda(conn, msg)
