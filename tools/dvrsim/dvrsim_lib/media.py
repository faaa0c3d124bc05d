"""Media sources: H.264 access units cut from an Annex-B file, mu-law audio blocks."""

from .proto import debug_print


def _nal_units(data):
    """Yield (start, end, nal_type, first_payload_byte_index) of every NAL unit in an Annex-B stream."""
    starts = []
    i = 0
    n = len(data)
    while True:
        j = data.find(b"\x00\x00\x01", i)
        if j < 0:
            break
        # the start code may be 4 bytes (00 00 00 01)
        sc = j - 1 if j > 0 and data[j - 1] == 0 else j
        starts.append((sc, j + 3))
        i = j + 3
    for k, (sc, body) in enumerate(starts):
        end = starts[k + 1][0] if k + 1 < len(starts) else n
        if body < n:
            yield sc, end, data[body] & 0x1F, body


def split_access_units(data):
    """Cut an Annex-B H.264 stream into access units: list of (bytes, is_key)."""
    units = []
    cur_start = None
    cur_has_vcl = False
    cur_key = False
    for sc, end, typ, body in _nal_units(data):
        new_au = False
        if cur_start is None:
            new_au = True
        elif typ in (9, 7, 8, 6) and cur_has_vcl:
            new_au = True
        elif typ in (1, 5) and cur_has_vcl:
            # first_mb_in_slice == 0 (ue(v) "1" bit) starts a new picture
            if body + 1 < len(data) and data[body + 1] & 0x80:
                new_au = True
        if new_au:
            if cur_start is not None:
                units.append([cur_start, sc, cur_key])
            cur_start = sc
            cur_has_vcl = False
            cur_key = False
        if typ in (1, 5):
            cur_has_vcl = True
        if typ == 5:
            cur_key = True
    if cur_start is not None:
        units.append([cur_start, len(data), cur_key])
    out = [(bytes(data[s:e]), k) for s, e, k in units if e > s]
    # a clip that does not begin with a key frame: the first frame counts as one
    if out and not any(k for _, k in out):
        out[0] = (out[0][0], True)
    return out


def synthetic_units(fps):
    """Undecodable stand-in frames when no --video is given: GOP of one second."""
    gop = max(1, int(round(fps)))
    out = []
    for i in range(gop * 2):
        key = i % gop == 0
        if key:
            payload = b"\x00\x00\x00\x01\x67\x42\x00\x1e" + b"\x00\x00\x00\x01\x68\xce\x38\x80" + \
                      b"\x00\x00\x00\x01\x65\x88" + bytes((i * 7 + k) & 0xFF for k in range(2000))
        else:
            payload = b"\x00\x00\x00\x01\x41\x9a" + bytes((i * 13 + k) & 0xFF for k in range(400))
        out.append((payload, key))
    return out


def mulaw_to_linear(code):
    u = ~code & 0xFF
    t = ((u & 0x0F) << 3) + 132
    t <<= (u >> 4) & 7
    return 132 - t if u & 0x80 else t - 132


def synthetic_mulaw(seconds=2):
    """A 1 kHz-ish tone as mu-law (encode by table search of the decoder)."""
    import math
    table = {}
    for c in range(256):
        table.setdefault(mulaw_to_linear(c), c)
    lin = sorted(table)
    out = bytearray()
    for i in range(8000 * seconds):
        v = int(8000 * math.sin(2 * math.pi * 1000 * i / 8000))
        best = _nearest(lin, v)
        out.append(table[best])
    return bytes(out)


def _nearest(sorted_vals, v):
    import bisect
    i = bisect.bisect_left(sorted_vals, v)
    if i == 0:
        return sorted_vals[0]
    if i >= len(sorted_vals):
        return sorted_vals[-1]
    a, b = sorted_vals[i - 1], sorted_vals[i]
    return a if v - a <= b - v else b


class Media:
    def __init__(self, cfg):
        self.cfg = cfg
        self.units = []
        if cfg.ns.video:
            try:
                with open(cfg.ns.video, "rb") as f:
                    self.units = split_access_units(f.read())
            except OSError as e:
                debug_print("cannot read --video %s: %r" % (cfg.ns.video, e))
            if not self.units:
                debug_print("no access units in --video, using synthetic frames")
        if not self.units:
            self.units = synthetic_units(cfg.fps)
        # frame id per unit: incremented at every key frame (group of pictures)
        self.gop_index = []
        g = -1
        for _, key in self.units:
            if key:
                g += 1
            self.gop_index.append(max(g, 0))
        self.gops = max(1, g + 1)
        self.audio = b""
        if cfg.ns.audio:
            try:
                with open(cfg.ns.audio, "rb") as f:
                    self.audio = f.read()
            except OSError as e:
                debug_print("cannot read --audio %s: %r" % (cfg.ns.audio, e))
        if not self.audio:
            self.audio = synthetic_mulaw()
