"""The simulated recorder's stored day(s), in the client recording layout as the playback scheduler
says the recorder keeps it: per channel an index file (512-byte header block, then one 16-byte
entry per second of the day) and a video file (each second's frames followed by that second's
block of 336-byte frame-header slots).  Nothing is materialised: bytes are built on request.

Every channel holds the same recording: the clip of --video (or synthetic frames) repeated,
--fps frames per second (at most 40), from --record-start to --record-end on each recorded day,
in storage slot 0.  Every 10th recorded minute carries a motion event on all channels.

With --motion-cells every frame of the chosen seconds of each minute carries motion data in its
header slot, for the area search: bit 23 of the flag word (bytes 8..11) set and, from byte 56, a
head (byte 0 version 2, byte 1 bit 0 set for 64-bit row masks, byte 2 columns, byte 3 rows)
followed by one little-endian mask per grid row (bit c = column c) with the chosen cells set."""
import bisect
import datetime
import struct

HEADER_SLOT = 336
INDEX_HEADER = 512


def hms(sec):
    return (sec // 3600) * 10000 + (sec // 60 % 60) * 100 + sec % 60


def sec_of(hhmmss):
    return (hhmmss // 10000) * 3600 + (hhmmss // 100 % 100) * 60 + hhmmss % 100


class Recording:
    def __init__(self, cfg, media):
        self.cfg = cfg
        self.units = media.units
        self.gop_index = media.gop_index
        self.gops = media.gops
        self.fps = max(1, min(40, int(round(cfg.fps))))
        self.r0 = max(0, min(86399, sec_of(cfg.record_start)))
        self.r1 = max(self.r0, min(86399, sec_of(cfg.record_end)))
        d = datetime.date(cfg.record_date // 10000, cfg.record_date // 100 % 100, cfg.record_date % 100)
        n = max(1, min(1825, cfg.record_days))
        self.days = [int((d - datetime.timedelta(days=n - 1 - i)).strftime("%Y%m%d")) for i in range(n)]
        N = len(self.units)
        F = self.fps
        self.S = (N + F - 1) // F
        self.data_len = []
        self.count = []
        self.au_off = [0] * N
        self.prefix = [0]
        for k in range(self.S):
            js = range(k * F, min(N, (k + 1) * F))
            off = self.prefix[k]
            for j in js:
                self.au_off[j] = off
                off += len(self.units[j][0])
            dl = off - self.prefix[k]
            self.data_len.append(dl)
            self.count.append(len(js))
            self.prefix.append(off + len(js) * HEADER_SLOT)
        self.C = self.prefix[-1]
        self.last_key = []
        lk = -1
        for j, (_, key) in enumerate(self.units):
            if key:
                lk = j
            self.last_key.append(lk)
        self._cache = {}

    # ------------------------------------------------------------ day facts
    def has_day(self, date):
        return date in self.days

    def minute_recorded(self, minute):
        return self.r0 // 60 <= minute <= self.r1 // 60

    def minute_event(self, minute):
        return self.minute_recorded(minute) and minute % 10 == 0

    def second_recorded(self, s):
        return self.r0 <= s <= self.r1

    # ------------------------------------------------------------ video file
    def _pos(self, s):
        idx = s - self.r0
        return idx // self.S, idx % self.S

    def frames_of_second(self, s):
        """[(unit index, absolute frame id)] of the recorded second s."""
        cyc, k = self._pos(s)
        F = self.fps
        return [(j, (cyc * self.gops + self.gop_index[j]) & 0xFF)
                for j in range(k * F, min(len(self.units), (k + 1) * F))]

    def header_offset(self, s):
        cyc, k = self._pos(s)
        return cyc * self.C + self.prefix[k] + self.data_len[k]

    def video_size(self):
        cyc, k = self._pos(self.r1)
        return cyc * self.C + self.prefix[k + 1]

    def _timestamp(self, date, s):
        y, mo, d = date // 10000, date // 100 % 100, date % 100
        return (s << 10) | (d << 27) | (mo << 32) | (y << 36)

    def _block(self, ch, date, cyc, k):
        key = (ch, date, cyc, k)
        b = self._cache.get(key)
        if b is not None:
            return b
        s = self.r0 + cyc * self.S + k
        F = self.fps
        base = cyc * self.C
        out = bytearray()
        slots = bytearray()
        for j in range(k * F, min(len(self.units), (k + 1) * F)):
            data, is_key = self.units[j]
            off = base + self.au_off[j]
            lk = self.last_key[j]
            if lk >= 0:
                koff, ksize = base + self.au_off[lk], len(self.units[lk][0])
            else:
                koff, ksize = -1, 0
            out += data
            slot = bytearray(HEADER_SLOT)
            # Bit 27 of the flag word marks a frame that is not a key frame.
            flags = (1 << 24) | (0 if is_key else 1 << 27)
            struct.pack_into("<IIII", slot, 0, 511, (ch & 0x1F) | (len(data) << 9) & 0xFFFFFFFF, flags, 0)
            struct.pack_into("<Iqq", slot, 16, 0x50 | ((1 if is_key else 0) << 1), off, koff)
            struct.pack_into("<II", slot, 36, (ksize & 0xFFFFFF) | (1 << 25), 0)
            struct.pack_into("<QI", slot, 44, self._timestamp(date, s), 0)
            self._put_motion(slot, s)
            slots += slot
        b = bytes(out + slots)
        if len(self._cache) > 64:
            self._cache.clear()
        self._cache[key] = b
        return b

    def has_motion(self, s):
        a, b = self.cfg.motion_seconds
        return self.cfg.motion_cells is not None and self.second_recorded(s) and a <= s % 60 <= b

    def _put_motion(self, slot, s):
        if not self.has_motion(s):
            return
        cols, rows = self.cfg.motion_grid
        c1, r1, c2, r2 = self.cfg.motion_cells
        wide = cols > 32
        flags = struct.unpack_from("<I", slot, 8)[0] | (1 << 23)
        struct.pack_into("<I", slot, 8, flags)
        struct.pack_into("<BBBB", slot, 56, 2, 1 if wide else 0, cols, rows)
        mask = 0
        for c in range(max(0, c1), min(c2, cols)):
            mask |= 1 << c
        for r in range(rows):
            value = mask if r1 <= r < r2 else 0
            if wide:
                struct.pack_into("<Q", slot, 60 + 8 * r, value)
            else:
                struct.pack_into("<I", slot, 60 + 4 * r, value)

    def read_video(self, ch, date, offset, size):
        """Bytes [offset, offset + size) of the channel's video file of that day (short at the end)."""
        if offset < 0 or size <= 0 or not self.has_day(date):
            return b""
        end_all = self.video_size()
        out = bytearray()
        while len(out) < size and offset < end_all:
            cyc, within = divmod(offset, self.C)
            k = bisect.bisect_right(self.prefix, within) - 1
            k = min(k, self.S - 1)
            blk = self._block(ch, date, cyc, k)
            start = within - self.prefix[k]
            piece = blk[start:start + size - len(out)]
            if not piece:
                break
            out += piece
            offset += len(piece)
        return bytes(out)

    # ------------------------------------------------------------ index file
    def index_header(self):
        h = bytearray(INDEX_HEADER)
        struct.pack_into("<I", h, 0, 0x3000003 + (2 << 28))
        struct.pack_into("<I", h, 8, (self.r0 + 32) * 16)
        hour_mask = 0
        for hr in range(24):
            mm = em = 0
            for m in range(60):
                if self.minute_recorded(hr * 60 + m):
                    mm |= 1 << m
                if self.minute_event(hr * 60 + m):
                    em |= 1 << m
            if mm:
                hour_mask |= 1 << hr
            struct.pack_into("<Q", h, 24 + 8 * hr, mm)
            struct.pack_into("<Q", h, 224 + 8 * hr, em)
        struct.pack_into("<I", h, 16, hour_mask)
        return bytes(h)

    def read_index(self, date, offset, size):
        if offset < 0 or size <= 0 or not self.has_day(date):
            return b""
        out = bytearray()
        end_all = INDEX_HEADER + 86400 * 16
        hdr = None
        while len(out) < size and offset < end_all:
            if offset < INDEX_HEADER:
                hdr = hdr or self.index_header()
                piece = hdr[offset:offset + size - len(out)]
            else:
                s, within = divmod(offset - INDEX_HEADER, 16)
                e = bytearray(16)
                if self.second_recorded(s):
                    off = self.header_offset(s)
                    struct.pack_into("<QII", e, 0, off, off & 0xFFFFFFFF, (off >> 32) | 0x80000000)
                piece = bytes(e[within:within + size - len(out)])
            out += piece
            offset += len(piece)
        return bytes(out)

    # ------------------------------------------------------------ lists
    def time_list(self, date):
        if not self.has_day(date):
            return b""
        m = self.cfg.channel_mask
        return b"".join(struct.pack("<H", m if self.minute_recorded(i) else 0) for i in range(1440))

    def audio_list(self, date):
        return self.time_list(date)

    def event_list(self, date, long_form):
        """Hour table of 24 words, then records (10 bytes, or 20 after A5 A5 55 AA)."""
        if not self.has_day(date):
            return b""
        m = self.cfg.channel_mask
        minutes = [i for i in range(1440) if self.minute_event(i)]
        table = [0] * 24
        for i in minutes:
            table[i // 60] += 1
        out = bytearray(struct.pack("<24I", *table))
        if long_form:
            out += b"\xA5\xA5\x55\xAA"
        for i in minutes:
            if long_form:
                r = bytearray(20)
                r[0], r[1] = i // 60, i % 60
                struct.pack_into("<H", r, 12, m)      # first mask: motion
            else:
                r = bytearray(10)
                r[0], r[1] = i // 60, i % 60
                struct.pack_into("<H", r, 4, m)       # first mask: motion
            out += r
        out += bytes(20 if long_form else 10)        # readers stop one record before the end
        return bytes(out)

    def bytes_between(self, t0, t1):
        """Approximate stored bytes of one channel between two seconds of a day."""
        a = max(t0, self.r0)
        b = min(t1, self.r1)
        if b < a:
            return 0
        return self.header_offset(b) - self.header_offset(a) + self.C // max(1, self.S)
