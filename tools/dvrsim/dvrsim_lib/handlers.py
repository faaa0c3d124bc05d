"""Handlers of the requests that the client sends (Part 1.103), by command code."""
import struct

from . import replies
from .proto import message, u8, u16, u32, s32, Body, crc16
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
    await conn.reply(replies.login_reply(cfg, ok))
    if "close-after-login" in cfg.fail:
        raise Close()


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


@handles(0x47)
async def on_disk(conn, msg):
    await conn.reply(replies.disk_reply(conn.cfg))


# ---------------------------------------------------------------- file transfer (Part 1.105)

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


@handles(0x1A)
async def on_config_action(conn, msg):
    t = conn.transfer
    ok = t is not None and getattr(t, "ok", False)
    conn.log.write({"conn": conn.n, "event": "config-action", "ok": ok})
    await conn.reply(message(0x1B, Body(16).u8(12, 0 if ok else 1).bytes(), status=0 if ok else 1))
