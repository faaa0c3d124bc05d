"""Command line of dvrsim and the simulated recorder's fixed properties."""
import argparse
import datetime
import os

FAIL_MODES = (
    "refuse-login", "close-at-once", "close-after-login", "close-after-model",
    "close-after-status", "bad-length", "bad-marker", "wrong-crc",
    "drop-during-transfer", "model-class-reject",
    "silent", "silent-after-status", "flood-05",
    "cut-list", "overlong-list", "no-list-reply", "stall-login", "no-playback-frames",
    "no-frame-reply",
)
FLOOD_05_COUNT = 2000

DEFAULT_SETUP_INI = (
    "[SYSTEM]\r\n"
    "DVR_NAME=DVRSIM\r\n"
    "LANGUAGE=ENGLISH\r\n"
    "[NETWORK]\r\n"
    "PORT=9010\r\n"
    "[RECORD]\r\n"
    "FRAME_RATE=30\r\n"
)


def _int(text):
    return int(text, 0)


def _version(text):
    parts = [int(p) for p in text.split(".")]
    parts = (parts + [0, 0, 0, 0])[:4]
    return parts


def _mac(text):
    parts = [int(p, 16) for p in text.replace("-", ":").split(":")]
    if len(parts) != 6:
        raise argparse.ArgumentTypeError("MAC needs six hex bytes")
    return parts


def parser():
    p = argparse.ArgumentParser(prog="dvrsim", description="Recorder simulator (recorder side of the recorder protocol)")
    p.add_argument("--port", type=int, default=0, help="TCP port, 0 = any free port (printed as LISTENING <port>)")
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"), help="serve TLS with this certificate and key")
    p.add_argument("--channels", type=int, default=4, help="channel count 1..16 (default 4)")
    p.add_argument("--firmware", default="3.29", help="firmware major.minor (default 3.29)")
    p.add_argument("--model-code", type=_int, default=0x11, help="raw model code byte 12 of 0x1D (default 0x11)")
    p.add_argument("--model-class-ff", type=_int, default=1, help="model class at byte 72 (used with --model-code 0xFF)")
    p.add_argument("--model-code-ff", type=_int, default=1, help="model code at byte 73 (used with --model-code 0xFF)")
    p.add_argument("--sub-model", type=_int, default=0, help="32-bit sub-model number at byte 28")
    p.add_argument("--version", default="1.2.3.4", help="version parts for bytes 16,17,18,71 (default 1.2.3.4)")
    p.add_argument("--mac", type=_mac, default=_mac("00:1C:84:12:34:56"), help="MAC for bytes 92..97")
    p.add_argument("--relays", type=int, default=4, help="relay output count (byte 43, default 4)")
    p.add_argument("--features", type=_int, default=0, help="feature word at byte 44 (default 0)")
    p.add_argument("--byte99", type=_int, default=0, help="byte 99 of 0x1D (3 = extended audio)")
    p.add_argument("--titles", default=None, help="comma-separated camera titles (default CAM1,CAM2,...)")
    p.add_argument("--ptz", default=None, help="comma-separated PTZ protocol texts per channel (default NONE)")
    p.add_argument("--camera-kind", type=_int, default=0, help="camera kind of every channel in the 0x99 reply")
    p.add_argument("--user", default=None, help="accepted user (default: any)")
    p.add_argument("--password", default=None, help="accepted password (default: any)")
    p.add_argument("--level", type=_int, default=0, help="login level sent at byte 21 of 0x02 (default 0); the configuration console needs bit 0x10 (--level 0x10, with --option-flag)")
    p.add_argument("--option-flag", action="store_true",
                   help="set bit 2 (option / management flag) in byte 20 of 0x02: allows console, accounts, firmware")
    p.add_argument("--login-masks", default=None,
                   help="the four 16-bit channel masks of 0x02 (live, PTZ, search/backup, fourth), comma-separated "
                        "(default: every channel in all four)")
    p.add_argument("--refuse-status", type=_int, default=1, help="status byte of a refused login (default 1)")
    p.add_argument("--disks", type=int, default=1, help="disk records in the 0x52 reply (default 1)")
    p.add_argument("--disk-total", type=int, default=2000, help="total capacity in GB (default 2000)")
    p.add_argument("--disk-used", type=int, default=500, help="used capacity in GB (default 500)")
    p.add_argument("--disk-codes", default="3", help="comma-separated disk codes for status bytes 44..53 (default 3)")
    p.add_argument("--video-loss", type=_int, default=0, help="mask of channels reported without video")
    p.add_argument("--motion", type=_int, default=0, help="motion mask reported in 0x23 (default 0)")
    p.add_argument("--media-state", type=_int, default=1,
                   help="state of the backup medium in 0x36: 1 ready, 0x20 not blank, -1 none, >1 USB (default 1)")
    p.add_argument("--media-free", type=int, default=4096, help="free MB of the medium in 0x36 (default 4096)")
    p.add_argument("--media-discs", type=int, default=1, help="media a media backup takes (default 1)")
    p.add_argument("--sensor", type=_int, default=0, help="sensor mask reported in 0x23 (default 0)")
    p.add_argument("--index-subcode-add", type=_int, default=0,
                   help="added to a non-zero byte 19 of an index request to form the reply sub-code "
                        "(0: echo; 100, 200 or 220 mark stream 1, 2 or 6 for the client)")
    p.add_argument("--log", default=None, help="JSON-lines log of every received message and connection event")
    p.add_argument("--video", default=None, help="H.264 Annex-B file streamed for live and playback")
    p.add_argument("--audio", default=None, help="raw G.711 mu-law file for live audio; its bytes are also the playback stream's sound")
    p.add_argument("--audio-form", choices=("tagged", "plain512", "plain1024"), default="tagged",
                   help="live audio 0x29 form: tagged mu-law (default), untagged 512 bytes of 16-bit PCM "
                        "(frame size 528, data at 56), or untagged 1024 bytes of mu-law (frame size 1052, data at 68)")
    p.add_argument("--fps", type=float, default=30.0, help="frames per second of live and playback streams")
    p.add_argument("--apply-restarts", action="store_true",
                   help="close the connection after a good firmware upload and after an applied settings upload "
                        "(a recorder that restarts to apply them)")
    p.add_argument("--stream-form", choices=("auto", "plain", "wrapped"), default="auto",
                   help="video as plain H.264 access units, or each frame in the recorder frame wrapper; "
                        "auto (default): wrapped when the model's stream kind is 0, else plain")
    p.add_argument("--fixed-live-rate", action="store_true",
                   help="stream live video at --fps whatever rate the live start asks for")
    p.add_argument("--fail", action="append", default=[], choices=FAIL_MODES, help="misbehave (repeatable)")
    p.add_argument("--data-dir", default=None, help="folder of served files and uploads")
    p.add_argument("--setup-file", default=None,
                   help="file served as conf/setup.ini (relative names are inside --data-dir; default: setup.ini there, else a built-in text)")
    p.add_argument("--record-date", default=None, help="the recorded day YYYYMMDD (default today)")
    p.add_argument("--record-days", type=int, default=1, help="recorded days ending at --record-date (default 1)")
    p.add_argument("--record-start", type=int, default=0, help="first recorded time HHMMSS of each day (default 000000)")
    p.add_argument("--record-end", type=int, default=235959, help="last recorded time HHMMSS of each day (default 235959)")
    p.add_argument("--motion-cells", default=None,
                   help="C1,R1,C2,R2: recorded frames carry motion data with the cells of columns C1..C2-1, "
                        "rows R1..R2-1 set, in the seconds of --motion-seconds (default: no motion data)")
    p.add_argument("--motion-grid", default="22x15", help="COLUMNSxROWS of the motion grid (default 22x15)")
    p.add_argument("--motion-seconds", default="20-29",
                   help="A-B: the seconds of every recorded minute whose frames show the motion (default 20-29)")
    p.add_argument("--list-piece", type=int, default=1024, help="data bytes per 0x21 list piece (default 1024)")
    p.add_argument("--console", choices=("off", "config", "reboot"), default="off",
                   help="remote configuration console: off (0xA8 answered as not supported), config (the "
                        "settings file grants the console), reboot (it grants remote restart too)")
    p.add_argument("--console-area", default="0,0,800,600,800,600",
                   help="console origin x,y, area width,height and screen width,height sent with each layout")
    p.add_argument("--console-piece", type=int, default=4096, help="layout bytes per 0xA9 piece (default 4096)")
    p.add_argument("--console-vda", default=None,
                   help="C1,R1,C2,R2: VDA cells set in the console's 0xB7 replies (grid of --motion-grid)")
    p.add_argument("--audio-tag", default="walu",
                   help="the four bytes at offset 44 of tagged audio (default 'walu': 'ulaw' reversed)")
    return p


def reduced_code(code, class_ff, code_ff):
    """The model code a client keeps from byte 12 of 0x1D (bytes 72, 73 for 0xFF)."""
    if code == 0xFF:
        return code_ff & 0xFF
    if code < 0x20:
        return code - 0x10
    if code < 0xA0:
        return code & 0x0F  # 0x20..0x9F: the low digit (classes 6 and 7 included)
    if code < 0xB0:
        return code - 0xA0
    return code


def stream_kind(code, class_ff, code_ff, features):
    """The video stream kind of the model: 0 sends wrapped frames, 1 to 3 plain H.264."""
    reduced = reduced_code(code, class_ff, code_ff)
    kind = 0
    if reduced == 13:
        kind = 1
    elif reduced == 15:
        kind = 2
    elif reduced in (16, 17):
        kind = 3
    elif reduced == 8 and features & (1 << 20) and features & 0x80:
        kind = 3
    if kind == 0 and features & (1 << 20):
        kind = 1
    return kind


class Config:
    def __init__(self, ns):
        self.ns = ns
        self.host = ns.host
        self.port = ns.port
        self.channels = max(1, min(16, ns.channels))
        self.channel_mask = (1 << self.channels) - 1
        major, _, minor = ns.firmware.partition(".")
        self.fw_major = int(major or 0)
        self.fw_minor = int(minor or 0)
        self.model_code = ns.model_code & 0xFF
        if "model-class-reject" in ns.fail:
            self.model_code = 0x30
        self.model_class_ff = ns.model_class_ff
        self.model_code_ff = ns.model_code_ff
        self.sub_model = ns.sub_model
        self.version = _version(ns.version)
        self.mac = ns.mac
        self.relays = ns.relays
        self.features = ns.features
        self.stream_kind = stream_kind(self.model_code, self.model_class_ff, self.model_code_ff, self.features)
        if ns.stream_form == "auto":
            # wrapped when the video is numbered as such a recorder numbers it (media.py)
            self.stream_form = "auto-wrapped" if self.stream_kind == 0 else "plain"
        else:
            self.stream_form = ns.stream_form
        self.byte99 = ns.byte99
        self.camera_kind = ns.camera_kind
        titles = ns.titles.split(",") if ns.titles else []
        self.titles = [titles[i] if i < len(titles) else "CAM%d" % (i + 1) for i in range(16)]
        ptz = ns.ptz.split(",") if ns.ptz else []
        self._ptz = [ptz[i] if i < len(ptz) and ptz[i] else "NONE" for i in range(16)]
        self.user = ns.user
        self.password = ns.password
        self.level = ns.level
        masks = [int(x, 0) for x in ns.login_masks.split(",")] if ns.login_masks else []
        self.login_masks = [(masks[i] if i < len(masks) else self.channel_mask) & 0xFFFF for i in range(4)]
        self.login_flags = 0x08 | (0x04 if ns.option_flag else 0)
        self.refuse_status = ns.refuse_status or 1
        self.disks = max(0, ns.disks)
        self.disk_total = ns.disk_total
        self.disk_used = ns.disk_used
        self.disk_codes = [int(c, 0) for c in ns.disk_codes.split(",") if c.strip()]
        self.video_loss_mask = ns.video_loss
        self.fail = set(ns.fail)
        self.fps = ns.fps if ns.fps > 0 else 30.0
        self.fixed_live_rate = ns.fixed_live_rate
        self.apply_restarts = ns.apply_restarts
        self.data_dir = ns.data_dir
        self.record_date = int(datetime.date.today().strftime("%Y%m%d"))
        if ns.record_date:
            try:
                datetime.datetime.strptime(ns.record_date, "%Y%m%d")
                self.record_date = int(ns.record_date)
            except ValueError:
                raise SystemExit("dvrsim: --record-date needs YYYYMMDD, got %r" % ns.record_date)
        for name in ("record_start", "record_end"):
            v = getattr(ns, name)
            if not (0 <= v <= 235959 and v // 100 % 100 < 60 and v % 100 < 60):
                raise SystemExit("dvrsim: --%s needs HHMMSS, got %r" % (name.replace("_", "-"), v))
        self.audio_form = ns.audio_form
        self.record_days = ns.record_days
        self.record_start = ns.record_start
        self.record_end = ns.record_end
        self.list_piece = ns.list_piece
        self.index_subcode_add = ns.index_subcode_add
        self.audio_tag = (ns.audio_tag.encode("latin-1") + b"    ")[:4]
        self.motion_cells = None
        try:
            cols, rows = (int(v) for v in ns.motion_grid.lower().split("x"))
            a, b = (int(v) for v in ns.motion_seconds.split("-"))
            if ns.motion_cells:
                c1, r1, c2, r2 = (int(v) for v in ns.motion_cells.split(","))
                self.motion_cells = (c1, r1, c2, r2)
        except ValueError:
            raise SystemExit("dvrsim: --motion-cells C1,R1,C2,R2, --motion-grid CxR, --motion-seconds A-B")
        if not (1 <= cols <= 64 and 1 <= rows <= 34 and 0 <= a <= b <= 59):
            raise SystemExit("dvrsim: the motion grid holds at most 64 x 34 cells; seconds run 0-59")
        self.motion_grid = (cols, rows)
        self.motion_seconds = (a, b)
        self.console = ns.console
        try:
            self.console_area = tuple(int(v) for v in ns.console_area.split(","))
            self.console_vda = tuple(int(v) for v in ns.console_vda.split(",")) if ns.console_vda else None
        except ValueError:
            raise SystemExit("dvrsim: --console-area needs six numbers, --console-vda four")
        if len(self.console_area) != 6 or (self.console_vda and len(self.console_vda) != 4):
            raise SystemExit("dvrsim: --console-area needs six numbers, --console-vda four")
        self.console_piece = ns.console_piece

    def ptz_text(self, ch):
        return self._ptz[ch] if 0 <= ch < 16 else "NONE"

    def setup_path(self):
        name = self.ns.setup_file
        if name:
            if not os.path.isabs(name) and self.data_dir:
                cand = os.path.join(self.data_dir, name)
                if os.path.exists(cand):
                    return cand
            return name
        if self.data_dir:
            cand = os.path.join(self.data_dir, "setup.ini")
            if os.path.exists(cand):
                return cand
        return None

    def setup_content(self):
        path = self.setup_path()
        if path:
            try:
                with open(path, "rb") as f:
                    return f.read()
            except OSError:
                pass
        text = DEFAULT_SETUP_INI
        if self.console != "off":
            # The settings the client reads before it opens the console: the console itself, and
            # whether the operator may restart the recorder from it.
            text += "[CLIENT_NETWORK]\r\ncsConfig=1\r\ncsReboot=%d\r\n" % (1 if self.console == "reboot" else 0)
        return text.encode("latin-1")
