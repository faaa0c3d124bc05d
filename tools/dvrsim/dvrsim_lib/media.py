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


def _unescape(b):
    out = bytearray()
    zeros = 0
    for x in b:
        if zeros >= 2 and x == 3:
            zeros = 0
            continue
        out.append(x)
        zeros = zeros + 1 if x == 0 else 0
    return bytes(out)


def _escape(b):
    out = bytearray()
    zeros = 0
    for x in b:
        if zeros >= 2 and x <= 3:
            out.append(3)
            zeros = 0
        out.append(x)
        zeros = zeros + 1 if x == 0 else 0
    return bytes(out)


class _Bits:
    def __init__(self, data):
        self.data, self.pos = data, 0

    def u(self, n):
        v = 0
        for _ in range(n):
            if self.pos >= 8 * len(self.data):
                raise ValueError("past the end")
            v = (v << 1) | (self.data[self.pos >> 3] >> (7 - (self.pos & 7)) & 1)
            self.pos += 1
        return v

    def ue(self):
        z = 0
        while self.u(1) == 0:
            z += 1
            if z > 31:
                raise ValueError("bad exp-Golomb code")
        return (1 << z) - 1 + self.u(z)


def sps_without_vui(nal):
    """A sequence parameter set (NAL header byte first) with its video usability information left
    out; other profiles than those without chroma fields, or a damaged set, come back unchanged.
    Recorders send their parameter sets this short, so the key frame's slice starts early."""
    try:
        rbsp = _unescape(nal[1:])
        r = _Bits(rbsp)
        if r.u(8) not in (66, 77, 88):
            return nal
        r.u(16)
        r.ue()
        r.ue()
        poc = r.ue()
        if poc == 0:
            r.ue()
        elif poc == 1:
            return nal
        r.ue()
        r.u(1)
        r.ue()
        r.ue()
        if r.u(1) == 0:
            r.u(1)
        r.u(1)
        if r.u(1):
            for _ in range(4):
                r.ue()
        if r.u(1) == 0:
            return nal
        keep = r.pos - 1  # bits before vui_parameters_present_flag
    except ValueError:
        return nal
    bits = [rbsp[i >> 3] >> (7 - (i & 7)) & 1 for i in range(keep)] + [0, 1]
    bits += [0] * ((-len(bits)) % 8)
    out = bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))
    return nal[:1] + _escape(out)


def recorder_numbered(units):
    """True when the stream's first sequence parameter set numbers pictures as a recorder of
    stream kind 0 does: a 4-bit frame_num and picture order type 0 with a 5-bit lsb."""
    for unit, _ in units:
        for _, end, typ, body in _nal_units(unit):
            if typ != 7:
                continue
            try:
                r = _Bits(_unescape(unit[body + 1:end]))
                if r.u(8) not in (66, 77, 88):
                    return False
                r.u(16)
                r.ue()
                return r.ue() == 0 and r.ue() == 0 and r.ue() == 1
            except ValueError:
                return False
    return False


# The recorder frame wrapper: a 20-byte unit 00 00 01 06 in front of each frame's H.264 data.
# Byte 4 0x90 says the 23-bit length at bytes 9..11 (big-endian, top bit of byte 9 not part of
# it) counts 8-byte units of the whole wrapped frame; byte 7 bits 0..2 give the picture kind
# (1: a frame, both fields). The unit parses as an SEI message of an unknown type (144) with a
# 13-byte payload and its stop bit at byte 19, so a plain decoder skips it. Every NAL unit of
# the frame then begins on a 32-bit boundary (zero bytes before a start code are allowed):
# parameter sets with 00 00 00 01, slices with 00 00 01, so that the slice start 00 00 01 65 /
# 00 00 01 41 is a whole word for the renumbering of the client and the player.
WRAPPER_SIZE = 20
_FILLER = 0x55  # wrapper bytes that carry nothing: non-zero, so no start code can appear


def wrap_frame(unit):
    """The recorder frame payload of one Annex-B access unit (SEI and delimiters left out)."""
    out = bytearray(WRAPPER_SIZE)
    slice_word = None
    for _, end, typ, body in _nal_units(unit):
        if typ in (6, 9):
            continue
        nal = unit[body:end]
        while nal.endswith(b"\x00"):
            nal = nal[:-1]  # leading zero of the next four-byte start code
        if typ == 7:
            nal = sps_without_vui(nal)
        out += bytes((-len(out)) % 4)
        if typ in (1, 5):
            if slice_word is None:
                slice_word = len(out) // 4
            out += b"\x00\x00\x01" + nal
        else:
            # a parameter set begins with a four-byte start code: a frame whose data begins so
            # is what the backup player keeps to replay before the next frame after a seek
            out += b"\x00\x00\x00\x01" + nal
    out += bytes((-len(out)) % 8)
    units8 = len(out) // 8
    if units8 >= 1 << 23:
        raise ValueError("frame of %d bytes too long for the wrapper" % len(out))
    out[0:4] = b"\x00\x00\x01\x06"
    out[4] = 0x90
    out[5] = WRAPPER_SIZE - 7  # SEI payload size: bytes 6..18
    out[6] = _FILLER
    out[7] = 0x01
    out[8] = _FILLER
    out[9] = 0x80 | (units8 >> 16)
    out[10] = (units8 >> 8) & 0xFF
    out[11] = units8 & 0xFF
    out[12:19] = bytes([_FILLER]) * 7
    out[19] = 0x80
    if slice_word is None or not 5 <= slice_word <= 14:
        debug_print("wrapped frame: slice start in word %s, outside words 5..14 "
                    "(parameter sets too long for the recorder form)" % slice_word)
    return bytes(out)


# The console's stream form (live start mode 3): every NAL unit after a four-byte start code, a
# P picture's data beginning with its slice (00 00 00 01 41), and a 10-bit frame_num that starts
# at 0 with each key frame and goes up by one per reference picture. The recorder's decoder reads
# that number straight from bytes 5 to 7, so the slice header must begin first_mb_in_slice 0,
# slice_type 5 (all slices of the picture P), pic_parameter_set_id 0, then the 10 bits.
CONSOLE_FRAME_NUM_BITS = 10


def _write_ue(value):
    """(bits, length) of value as an unsigned exp-Golomb code."""
    code = value + 1
    n = code.bit_length()
    return code, 2 * n - 1


def _rewrite(nal, fields_end, prefix):
    """nal (header byte first) with its RBSP bits before `fields_end` replaced by the bit fields
    of `prefix` ((value, length) pairs); the rest of the RBSP, stop bit and alignment, is redone."""
    rbsp = _unescape(nal[1:])
    nbits = 8 * len(rbsp)
    whole = int.from_bytes(rbsp, "big")
    if whole == 0:
        raise ValueError("no stop bit")
    trailing = (whole & -whole).bit_length() - 1
    end = nbits - trailing - 1  # bits before the stop bit
    if fields_end > end:
        raise ValueError("fields past the data")
    tail_len = end - fields_end
    out, out_len = 0, 0
    for value, length in prefix:
        out = (out << length) | value
        out_len += length
    out = (out << tail_len) | ((whole >> (nbits - end)) & ((1 << tail_len) - 1))
    out_len += tail_len
    out = (out << 1) | 1
    out_len += 1
    pad = (-out_len) % 8
    out <<= pad
    out_len += pad
    return nal[:1] + _escape(out.to_bytes(out_len // 8, "big"))


def _sps_frame_num(nal):
    """(frame_num bits of the sequence parameter set, the set with 10 bits), or None for a set of
    a profile with chroma fields or a damaged one."""
    try:
        r = _Bits(_unescape(nal[1:]))
        profile = r.u(8)
        if profile not in (66, 77, 88):
            return None
        constraints = r.u(8)
        level = r.u(8)
        sps_id = r.ue()
        old_bits = r.ue() + 4
        if old_bits > 16:
            return None
        prefix = [(profile, 8), (constraints, 8), (level, 8), _write_ue(sps_id),
                  _write_ue(CONSOLE_FRAME_NUM_BITS - 4)]
        return old_bits, _rewrite(nal, r.pos, prefix)
    except ValueError:
        return None


def _slice_renumbered(nal, old_bits, frame_num):
    r = _Bits(_unescape(nal[1:]))
    first_mb = r.ue()
    slice_type = r.ue()
    pps_id = r.ue()
    r.u(old_bits)
    # one slice type per picture, as a recorder's encoder codes it
    slice_type = slice_type + 5 if slice_type < 5 else slice_type
    prefix = [_write_ue(first_mb), _write_ue(slice_type), _write_ue(pps_id), (frame_num, CONSOLE_FRAME_NUM_BITS)]
    return _rewrite(nal, r.pos, prefix)


def console_units(units):
    """The access units in the console's stream form; a stream that cannot be rewritten (no
    parameter set of the profiles without chroma fields before its first slice, or damaged) is
    given back as it is."""
    out = []
    old_bits = None
    last_ref = 0
    try:
        for unit, key in units:
            parts = []
            frame_num = None
            for _, end, typ, body in _nal_units(unit):
                if typ in (6, 9):
                    continue
                nal = unit[body:end]
                while nal.endswith(b"\x00"):
                    nal = nal[:-1]
                if typ == 7:
                    found = _sps_frame_num(nal)
                    if found is None:
                        raise ValueError("sequence parameter set not rewritable")
                    old_bits, nal = found
                elif typ in (1, 5):
                    if old_bits is None:
                        raise ValueError("slice before any sequence parameter set")
                    if frame_num is None:
                        frame_num = 0 if typ == 5 else (last_ref + 1) % (1 << CONSOLE_FRAME_NUM_BITS)
                    nal = _slice_renumbered(nal, old_bits, frame_num)
                    if typ == 5 or (nal[0] >> 5) & 3:
                        last_ref = frame_num
                parts.append(b"\x00\x00\x00\x01" + nal)
            out.append((b"".join(parts), key))
    except ValueError as e:
        debug_print("video not rewritten for the console's stream form: %s" % e)
        return list(units)
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
        # live start mode 3 asks for the console's form of the same pictures (the synthetic
        # stand-ins decode in no form)
        self.console_units = console_units(self.units) if self.units else None
        if not self.units:
            self.units = synthetic_units(cfg.fps)
            self.console_units = self.units
        wrap = cfg.stream_form == "wrapped"
        if cfg.stream_form == "auto-wrapped":
            wrap = recorder_numbered(self.units)
            if not wrap:
                debug_print("the video is not numbered as a recorder of stream kind 0 numbers it "
                            "(4-bit frame_num, 5-bit picture order count): sent plain")
        if wrap:
            self.units = [(wrap_frame(u), k) for u, k in self.units]
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
