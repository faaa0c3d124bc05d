"""Reply builders of the recorder side.

Offsets below are message offsets (the 12-byte header is 0..11)."""
from .proto import Body, message


def login_reply(cfg, ok):
    b = Body(32)
    b.u8(20, cfg.login_flags)    # flag: bit 3 = level is in byte 21; bit 2 = option (management) flag
    b.u8(21, cfg.level)
    for i, off in enumerate((22, 24, 26, 28)):  # four 16-bit channel masks (default: all channels)
        b.u16(off, cfg.login_masks[i])
    return message(0x02, b.bytes(), status=0 if ok else cfg.refuse_status)


def model_reply(cfg):
    b = Body(100)
    b.u8(12, cfg.model_code)
    b.u8(14, cfg.channels)
    b.u8(15, cfg.channels)        # second count (kept by the client)
    b.u8(16, cfg.version[0])
    b.u8(17, cfg.version[1])
    b.u8(18, cfg.version[2])
    b.u8(25, 0)
    b.u8(26, ord(" "))            # sub-model letter (code 11 only)
    b.u32(28, cfg.sub_model)
    b.u8(41, cfg.fw_major)
    b.u8(42, cfg.fw_minor)
    b.u8(43, cfg.relays)
    b.u32(44, cfg.features)
    b.u8(71, cfg.version[3])
    b.u8(72, cfg.model_class_ff & 0xFF)
    b.u8(73, cfg.model_code_ff)
    b.raw(92, bytes(cfg.mac))
    b.u8(98, 0)
    b.u8(99, cfg.byte99)
    return message(0x1D, b.bytes())


def titles_reply(cfg, titles):
    b = Body(12 + 16 * cfg.channels)
    for ch in range(cfg.channels):
        t = titles[ch].encode("utf-8")[:15]
        b.raw(12 + 16 * ch, t + bytes(16 - len(t)))
    return message(0x2F, b.bytes())


def ptz_reply(cfg, channel):
    text = cfg.ptz_text(channel).encode("latin-1", "replace")[:100]
    b = Body(14 + len(text) + 1)
    b.u8(12, channel)
    b.u8(13, len(text))
    b.raw(14, text + b"\x00")
    return message(0x07, b.bytes())


def camera_map_reply(cfg):
    b = Body(28)
    for n in range(16):
        b.u8(12 + n, n)           # identity map
    return message(0x74, b.bytes())


def camera_kinds_reply(cfg):
    b = Body(32)
    b.u8(12, cfg.channels)
    for n in range(cfg.channels):
        b.u8(16 + n, cfg.camera_kind)
    return message(0x99, b.bytes())


def ext_status_reply(cfg):
    b = Body(32)
    b.u8(24, 0)
    b.u8(25, 0)
    b.u16(28, 0)
    return message(0xAF, b.bytes())


def status_reply(cfg, state):
    b = Body(56)
    m = cfg.channel_mask
    b.u16(12, 0)                  # event word 0: motion and sensor masks are valid
    b.u16(14, state.motion & m)
    b.u16(16, state.sensor & m)
    b.u16(22, state.relay_mask)
    b.u16(24, m)                  # present
    b.u16(26, m & ~cfg.video_loss_mask)   # video present
    b.u16(28, m)                  # channel mask A
    b.u16(32, m)                  # channel mask B (active)
    for i, code in enumerate(cfg.disk_codes[:10]):
        b.u8(44 + i, code)
    return message(0x23, b.bytes())


def disk_reply(cfg):
    n = cfg.disks
    b = Body(28 + 12 * n)
    b.u32(12, cfg.disk_total)
    b.u32(16, cfg.disk_used)
    b.u8(20, 0)                   # mode byte
    b.u8(21, 0)                   # disk count limit: none
    b.u8(23, 0)
    b.u8(24, 0)
    for i in range(n):
        b.u16(28 + 12 * i, 1)     # present
        b.u8(28 + 12 * i + 8, 0)  # state 0: normal
    return message(0x52, b.bytes())
