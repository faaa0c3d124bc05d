"""The asyncio server: one Connection per accepted client."""
import asyncio
import json
import signal
import ssl
import sys

from .proto import parse_header

MAX_LENGTH = 16 * 1024 * 1024   # a leading length above this closes the connection


class Log:
    def __init__(self, path):
        self.f = open(path, "w", encoding="utf-8") if path else None

    def write(self, obj):
        if self.f:
            self.f.write(json.dumps(obj, separators=(", ", ": ")) + "\n")
            self.f.flush()

    def msg(self, conn, data):
        h = parse_header(data)
        self.write({"conn": conn, "cmd": h["cmd"], "status": h["status"], "sub": h["sub"],
                    "total": h["total"], "length": h["length"], "hex": data.hex()})

    def event(self, conn, event, **extra):
        d = {"conn": conn, "event": event}
        d.update(extra)
        self.write(d)


def debug(*args):
    print("dvrsim:", *args, file=sys.stderr, flush=True)


class RecorderState:
    """What the simulated recorder remembers across connections."""

    def __init__(self, cfg):
        self.motion = cfg.ns.motion
        self.sensor = cfg.ns.sensor
        self.relay_mask = 0
        self.media_state = cfg.ns.media_state
        self.titles = list(cfg.titles)
        self.day = 0          # the day of the last list, index or playback request
        self.console_page = "main"    # the menu page the console shows
        self.console_pressed = None   # the page a pressed button leads to, until its release


class Close(Exception):
    """Raised by a handler to end the connection on purpose."""


class Connection:
    def __init__(self, server, number, reader, writer, tls):
        self.srv = server
        self.cfg = server.cfg
        self.state = server.state
        self.log = server.log
        self.n = number
        self.reader = reader
        self.writer = writer
        self.tls = tls
        self.tasks = {}
        self.status_replies = 0
        self.marker_done = False
        self.closed = False
        self.lock = asyncio.Lock()
        self.transfer = None
        self.playback_rate = 64
        # silent / silent-after-status: the recorder still reads (and logs) but never answers
        self.mute = "silent" in self.cfg.fail
        # per-connection handlers by command code
        from .handlers import HANDLERS
        self.handlers = HANDLERS

    # -- sending ---------------------------------------------------------
    async def send(self, data):
        if self.closed or self.mute:
            return
        try:
            self.writer.write(data)
            async with self.lock:
                await self.writer.drain()
        except (ConnectionError, OSError, RuntimeError):
            self.closed = True
            raise Close()

    async def reply(self, data):
        """Send a reply; the bad-marker switch sends a wrong-marker copy first (once)."""
        if "bad-marker" in self.cfg.fail and not self.marker_done:
            self.marker_done = True
            bad = bytearray(data)
            bad[4] = 0xA1
            bad[5] = 0x00
            await self.send(bytes(bad))
        await self.send(data)

    # -- receiving -------------------------------------------------------
    async def run(self):
        self.log.event(self.n, "connect")
        if self.tls:
            self.log.event(self.n, "tls")
        try:
            if "close-at-once" in self.cfg.fail:
                return
            while True:
                head = await self.reader.readexactly(4)
                length = int.from_bytes(head, "big")
                if length > MAX_LENGTH:
                    self.log.write({"conn": self.n, "event": "bad-length", "length": length, "hex": head.hex()})
                    debug("conn %d: length %d out of range, closing" % (self.n, length))
                    return
                rest = await self.reader.readexactly(length)
                data = head + rest
                self.log.msg(self.n, data)
                if len(data) < 12:
                    debug("conn %d: short message ignored (%d bytes)" % (self.n, len(data)))
                    continue
                if data[4] != 0x00 or data[5] != 0xA1:
                    debug("conn %d: wrong markers, ignored" % self.n)
                    continue
                if self.mute:
                    continue
                h = self.handlers.get(data[6])
                if h is None:
                    debug("conn %d: command 0x%02X has no reply" % (self.n, data[6]))
                    continue
                try:
                    await h(self, data)
                except Close:
                    return
                except Exception as e:  # never crash on client input
                    debug("conn %d: handler 0x%02X failed: %r" % (self.n, data[6], e))
                    self.log.write({"conn": self.n, "event": "error", "cmd": data[6], "error": repr(e)})
        except (asyncio.IncompleteReadError, ConnectionError, OSError, Close):
            pass
        except asyncio.CancelledError:
            pass
        finally:
            await self.finish()

    async def finish(self):
        if self.closed and not self.writer:
            return
        self.closed = True
        for t in list(self.tasks.values()):
            t.cancel()
        self.tasks.clear()
        try:
            self.writer.close()
        except Exception:
            pass
        self.log.event(self.n, "disconnect")
        self.writer = None

    # -- background streams ----------------------------------------------
    def start_task(self, key, coro):
        self.stop_task(key)
        # The stream coroutine is the task itself: a task cancelled before its first step closes
        # the coroutine, where a wrapper would leave it never awaited.
        task = asyncio.ensure_future(coro)
        task.add_done_callback(lambda t, key=key: self._stream_ended(key, t))
        self.tasks[key] = task

    def go_quiet(self):
        """Stops answering and streaming, as a recorder whose process stopped; the socket stays open."""
        self.mute = True
        for t in list(self.tasks.values()):
            t.cancel()
        self.tasks.clear()

    def stop_task(self, key):
        t = self.tasks.pop(key, None)
        if t:
            t.cancel()

    def _stream_ended(self, key, task):
        if self.tasks.get(key) is task:
            self.tasks.pop(key, None)
        if task.cancelled():
            return
        e = task.exception()
        if e is not None and not isinstance(e, (Close, ConnectionError, OSError)):
            debug("conn %d: stream %r failed: %r" % (self.n, key, e))


class Server:
    def __init__(self, cfg):
        self.cfg = cfg
        self.state = RecorderState(cfg)
        self.log = Log(cfg.ns.log)
        self.count = 0
        self.conns = set()
        from .media import Media
        self.media = Media(cfg)
        from .recording import Recording
        self.recording = Recording(cfg, self.media)
        self.setup_override = None

    def setup_bytes(self):
        if self.setup_override is not None:
            return self.setup_override
        return self.cfg.setup_content()

    def store_upload(self, name, data, ok):
        """Keep an uploaded file; a good conf/setup.ini is served by later downloads."""
        import os
        rel = "/".join(p for p in name.replace("\\", "/").split("/") if p not in ("", ".", "..")) or "unnamed"
        if ok and rel == "conf/setup.ini":
            self.setup_override = data
        if not self.cfg.data_dir:
            return None
        path = os.path.join(self.cfg.data_dir, "uploads", rel)
        try:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        except OSError as e:
            debug("cannot store upload %s: %r" % (path, e))
            return None
        return path

    async def _client(self, reader, writer):
        self.count += 1
        conn = Connection(self, self.count, reader, writer, self.cfg.ns.tls is not None)
        task = asyncio.current_task()
        self.conns.add(task)
        try:
            await conn.run()
        finally:
            self.conns.discard(task)

    async def main(self):
        ctx = None
        if self.cfg.ns.tls:
            ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            ctx.load_cert_chain(self.cfg.ns.tls[0], self.cfg.ns.tls[1])
        loop = asyncio.get_running_loop()
        loop.set_exception_handler(lambda l, c: debug("loop:", c.get("message"), repr(c.get("exception"))))
        stop = loop.create_future()
        for sig in (signal.SIGTERM, signal.SIGINT):
            try:
                loop.add_signal_handler(sig, lambda: stop.done() or stop.set_result(True))
            except (NotImplementedError, RuntimeError):
                pass
        # with TLS the handshake is done before the connection callback runs: "connect" and "tls"
        # are logged together; a failed handshake is not a connection (no log line)
        extra = {"ssl_handshake_timeout": 10} if ctx else {}
        server = await asyncio.start_server(self._client, self.cfg.host, self.cfg.port, ssl=ctx,
                                            reuse_address=True, **extra)
        port = server.sockets[0].getsockname()[1]
        print("LISTENING %d" % port, flush=True)
        await stop
        server.close()
        for t in list(self.conns):
            t.cancel()
        if self.conns:
            await asyncio.wait(list(self.conns), timeout=2)
        return 0
