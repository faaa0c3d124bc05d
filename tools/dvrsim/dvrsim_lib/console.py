"""The recorder's remote configuration console, as the console window and its light live
connection see it.

The recorder shows one menu page at a time. A layout request (0xA8) is answered with the page as
an XML layout in 0xA9 pieces: 12 total layout size (the text and its ending zero byte), 16 the
offset of the piece, 20/22 the console origin x/y, 24/26 the area width/height, 32/34 the screen
resolution, the piece from byte 40. Mouse messages (0x9A: bytes 12-13 = 1, or 0x00 0xA4 to leave;
14 button 0 release, 1 left, 2 right, -1 leave; 15 extra; 16-17 x; 18-19 y) are logged; a press
on a button with a target and its release move the menu to that page. Console mode (0xA6, byte
12) is logged.

The console's light connection logs in (0x01), asks for the model (0x1C), starts live video with
byte 16 = 3 (frames in the console's stream form, below), polls the VDA grid (0xB6, byte 12 the
channel; answered by 0xB7: 12 channel, 16 columns, 20 rows, 24 row width in bytes, the rows'
masks from 28) and sends keep-alives (0x2A, answered by an alive notice whose byte 5 is 0x01).
"""
import struct
from xml.sax.saxutils import quoteattr

from .proto import message, Body, u8, u16

# Pages of the simulated menu, in recorder screen pixels of an 800 x 600 screen. Each element:
# (tag, attributes, children, target page or None). Pictures are the skin bitmaps the client
# carries for the recorder's model.


def _button(ident, text, x, y, w, h, target, image="btn_normal", images=("btn_normal", "btn_focus")):
    kids = [("IMAGE", dict(id="%s_%d" % (ident, i), image_name=n, x=x, y=y, width=w, height=h), [], None)
            for i, n in enumerate(images)]
    attrs = dict(id=ident, text=text, image_name=image, image_count=len(images), type="BUTTON",
                 align_text="center", state=0, x=x, y=y, width=w, height=h)
    return ("BUTTON", attrs, kids, target)


def _window(ident, x, y, w, h):
    kid = ("IMAGE", dict(id=ident + "_bg", image_name="win_bg", x=x, y=y, width=w, height=h), [], None)
    return ("WINDOW", dict(id=ident, image_name="win_bg", image_count=1, x=x, y=y, width=w, height=h), [kid], None)


def _label(ident, text, x, y, w, h, align="center"):
    return ("LABEL", dict(id=ident, text=text, type="LABEL", align_text=align, x=x, y=y, width=w, height=h), [], None)


PAGES = {
    "main": (0, [
        _window("menu", 200, 100, 400, 400),
        ("IMAGE", dict(id="logo", image_name="logo", x=220, y=110, width=48, height=48), [], None),
        _label("title", "MAIN MENU", 280, 115, 240, 30),
        _button("record", "RECORD", 260, 180, 280, 50, "record"),
        _button("system", "SYSTEM", 260, 250, 280, 50, "system"),
        _button("shutdown", "SHUTDOWN", 260, 320, 280, 50, "shutdown"),
    ]),
    "record": (None, [
        _window("menu", 200, 100, 400, 400),
        _label("title", "RECORD", 280, 115, 240, 30),
        ("SLIDER", dict(id="fps", min=1, max=30, value=15, x=240, y=180, width=320, height=24), [], None),
        ("PROGRESSBAR", dict(id="disk", min=0, max=100, value=40, x=240, y=230, width=320, height=20), [], None),
        ("BUTTON", dict(id="motion", text="Motion", type="CHECK_BUTTON", image_count=0, x=240, y=270,
                        width=160, height=30), [], None),
        ("BUTTON", dict(id="colour", text="", type="COLOR_BUTTON", color_r=200, color_g=40, color_b=40,
                        x=420, y=270, width=40, height=30), [], None),
        _button("back", "BACK", 260, 420, 280, 50, "main"),
    ]),
    "system": (None, [
        _window("menu", 200, 100, 400, 400),
        _label("title", "SYSTEM", 280, 115, 240, 30),
        ("EDIT", dict(id="name", text="DVRSIM", image_name="edit_bg", image_count=1, x=240, y=180, width=320,
                      height=30), [("IMAGE", dict(id="name_bg", image_name="edit_bg", x=240, y=180, width=320,
                                                  height=30), [], None)], None),
        ("SCROLL_BAR", dict(id="list", min=0, max=20, value=0, rows=5, x=570, y=180, width=20, height=200), [], None),
        _button("back", "BACK", 260, 420, 280, 50, "main"),
    ]),
    # The recorder's shutdown page: its table buttons restart or stop the recorder; the caption
    # is the page's last label.
    "shutdown": (None, [
        _window("menu", 200, 100, 400, 400),
        _button("restart", "RESTART", 240, 200, 320, 50, "restarted", image="btn_table_each_normal",
                images=("btn_table_each_normal",)),
        _button("poweroff", "POWER OFF", 240, 270, 320, 50, "restarted", image="btn_table_each_normal",
                images=("btn_table_each_normal",)),
        _button("back", "BACK", 260, 420, 280, 50, "main"),
        _label("caption", "SHUTDOWN", 280, 115, 240, 30),
    ]),
    "restarted": (None, [
        _label("title", "RESTARTING", 280, 280, 240, 30),
    ]),
}


def _element_xml(el, indent="  "):
    tag, attrs, kids, _ = el
    text = " ".join("%s=%s" % (k, quoteattr(str(v))) for k, v in attrs.items())
    if not kids:
        return "%s<%s %s/>\n" % (indent, tag, text)
    inner = "".join(_element_xml(k, indent + "  ") for k in kids)
    return "%s<%s %s>\n%s%s</%s>\n" % (indent, tag, text, inner, indent, tag)


def layout_text(page):
    channel, elements = PAGES[page]
    head = '<zent version="1.0"%s>\n' % ("" if channel is None else ' channel="%d"' % channel)
    body = "".join(_element_xml(e) for e in elements)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n' + head + body + "</zent>\n").encode("utf-8")


def element_at(page, x, y):
    for tag, attrs, _, target in reversed(PAGES[page][1]):
        ex, ey, ew, eh = (int(attrs.get(k, 0)) for k in ("x", "y", "width", "height"))
        if ex <= x < ex + ew and ey <= y < ey + eh:
            return attrs.get("id"), target
    return None, None


def layout_pieces(cfg, page):
    text = layout_text(page) + b"\x00"
    ox, oy, w, h, rw, rh = cfg.console_area
    piece = max(1, cfg.console_piece)
    out = []
    for off in range(0, len(text), piece):
        chunk = text[off:off + piece]
        b = Body(40)
        b.u32(12, len(text)).u32(16, off)
        b.u16(20, ox).u16(22, oy).u16(24, w).u16(26, h).u16(32, rw).u16(34, rh)
        b.raw(40, chunk)
        out.append(message(0xA9, b.bytes()))
    return out


async def on_layout_request(conn, msg):
    state = conn.state
    conn.log.write({"conn": conn.n, "event": "console-layout", "page": state.console_page})
    for m in layout_pieces(conn.cfg, state.console_page):
        await conn.reply(m)


async def on_mouse(conn, msg):
    state = conn.state
    button = struct.unpack_from("<b", msg, 14)[0] if len(msg) > 14 else 0
    x, y = u16(msg, 16), u16(msg, 18)
    hit, target = element_at(state.console_page, x, y)
    conn.log.write({"conn": conn.n, "event": "console-mouse", "word12": msg[12:14].hex(), "button": button,
                    "extra": u8(msg, 15), "x": x, "y": y, "page": state.console_page, "element": hit})
    if button in (1, 2):
        state.console_pressed = target
    elif button == 0:
        if state.console_pressed:
            state.console_page = state.console_pressed
            if state.console_page == "restarted":
                conn.log.write({"conn": conn.n, "event": "console-restart", "by": hit})
        state.console_pressed = None
    elif button == -1:
        state.console_page = "main"
        state.console_pressed = None


async def on_mode(conn, msg):
    conn.log.write({"conn": conn.n, "event": "console-mode", "mode": u8(msg, 12)})


async def on_keep_alive(conn, msg):
    # The recorder's alive notice: the console reads its prefix only.
    await conn.send(message(0x2A, marker=b"\x00\x01"))


async def on_vda(conn, msg):
    channel = u8(msg, 12)
    cols, rows = conn.cfg.motion_grid
    row_bytes = 4 if cols <= 32 else 8
    cells = conn.cfg.console_vda
    b = Body(28).u8(12, channel).u32(16, cols).u32(20, rows).u32(24, row_bytes)
    for r in range(rows):
        bits = 0
        if cells:
            c1, r1, c2, r2 = cells
            if r1 <= r < r2:
                for c in range(c1, c2):
                    bits |= 1 << c
        b.raw(28 + r * row_bytes, bits.to_bytes(row_bytes, "little"))
    conn.log.write({"conn": conn.n, "event": "console-vda", "channel": channel})
    await conn.reply(message(0xB7, b.bytes()))
