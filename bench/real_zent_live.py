#!/usr/bin/env python3
"""Live video in the real program: the recorder simulator streams a D1 H.264 stream on every
channel at a fixed 30 fps, and ZENT opens the site book's favorite in its window on a virtual X
display of its own (Xvfb at 1600 x 1000, the first free display from :97). Its processor time
over a window of seconds is divided by the frames sent meanwhile; the bytes it read, over the
stream's bytes per frame, are given beside it as a check that the simulators kept their rate.
ffmpeg decodes the same stream with one thread in the same run, and the ratio is against that,
the cost of decoding alone. The X server's own time per frame is given beside it.

The stream is the one live_bench makes (build/bench-streams/live-d1-3mbit.h264): run live_bench
once first.

Usage: bench/real_zent_live.py [--seconds 10] [--cells 1,4,16,64] [--zent build/bin/zent]
                               [--shots folder for a screenshot of each case]
"""
import argparse
import json
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SIM = os.path.join(TOP, "tools", "dvrsim", "dvrsim")
FPS = 30
CHANNELS_PER_RECORDER = 16
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User + system time of a running process, from /proc."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def bytes_read(pid):
    """Bytes the process has read (sockets included), from /proc."""
    with open("/proc/%d/io" % pid) as f:
        for line in f:
            if line.startswith("rchar:"):
                return int(line.split()[1])
    return 0


def stream_frames(stream):
    probe = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                            "stream=nb_read_frames", "-of", "csv=p=0", stream], check=True, capture_output=True,
                           text=True)
    return int(probe.stdout.strip())


def ffmpeg_per_frame(stream, frames, passes=5):
    """ffmpeg's processor time per frame decoding the stream with one thread (passes of the
    stream in one run, so that its start-up weighs little)."""
    with open(stream, "rb") as f:
        data = f.read()
    with tempfile.NamedTemporaryFile(suffix=".h264", delete=False) as out:
        for _ in range(passes):
            out.write(data)
    try:
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-threads", "1",
                        "-i", out.name, "-f", "null", "-"], check=True)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
    finally:
        os.unlink(out.name)
    used = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return used / (passes * frames)


def start_simulator(stream, channels, log):
    sim = subprocess.Popen([sys.executable, SIM, "--port", "0", "--channels", str(channels), "--video", stream,
                            "--fps", str(FPS), "--fixed-live-rate", "--log", log],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    line = sim.stdout.readline().strip()
    if not line.startswith("LISTENING "):
        sim.kill()
        raise RuntimeError("the simulator did not start")
    return sim, int(line.split()[1])


def write_books(folder, ports, channels_each):
    devices = "".join(' <device name="R%d" addr="127.0.0.1" port="%d" id="admin" password="1234" quality="2" '
                      'use_ssl="0"/>\n' % (r, port) for r, port in enumerate(ports))
    names = "".join("R%d;" % r for r in range(len(ports)) for _ in range(channels_each))
    chans = "".join("%d;" % c for _ in ports for c in range(channels_each))
    cells = len(ports) * channels_each
    with open(os.path.join(folder, "sitebook.xml"), "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<zent version="1.0">\n%s</zent>\n' % devices)
    with open(os.path.join(folder, "favorites.xml"), "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<zent version="1.0">\n <favorites_item name="Bench" '
                'cameomode="%d" favoritesdevice="%s" favoriteschannel="%s" favoritesmode="autoConnectOn"/>\n'
                '</zent>\n' % (cells * 100, names, chans))


def live_started(logs, channels_each):
    """True once every simulator has been asked for live video on all its channels."""
    for log in logs:
        asked = 0
        try:
            with open(log) as f:
                for line in f:
                    event = json.loads(line)
                    if event.get("event") == "live-start":
                        asked |= event.get("mask", 0)
        except (OSError, ValueError):
            return False
        if asked != (1 << channels_each) - 1:
            return False
    return True


def run_case(zent, stream, frame_bytes, cells, seconds, display, xserver, shots):
    recorders = max(1, (cells + CHANNELS_PER_RECORDER - 1) // CHANNELS_PER_RECORDER)
    channels_each = cells // recorders
    # What is streamed and shown: a count that does not split evenly over the recorders is
    # rounded down.
    cells = recorders * channels_each
    folder = tempfile.mkdtemp(prefix="zentlive")
    sims, ports, logs = [], [], []
    client = None
    try:
        for r in range(recorders):
            log = os.path.join(folder, "sim%d.jsonl" % r)
            sim, port = start_simulator(stream, channels_each, log)
            sims.append(sim)
            ports.append(port)
            logs.append(log)
        write_books(folder, ports, channels_each)
        env = dict(os.environ, DISPLAY=display)
        env.pop("QT_QPA_PLATFORM", None)
        client = subprocess.Popen([zent], cwd=folder, env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 90
        while not live_started(logs, channels_each):
            if time.monotonic() > deadline or client.poll() is not None:
                return None
            time.sleep(0.25)
        time.sleep(5)  # every grid cell has its first picture and its size
        if shots:
            subprocess.run(["import", "-display", display, "-window", "root",
                            os.path.join(shots, "cells%d.png" % cells)], check=False)
        start_client, start_x = cpu_seconds(client.pid), cpu_seconds(xserver)
        start_read = bytes_read(client.pid)
        start = time.monotonic()
        time.sleep(seconds)
        wall = time.monotonic() - start
        used_client = cpu_seconds(client.pid) - start_client
        used_x = cpu_seconds(xserver) - start_x
        # The simulators send at a fixed rate; what the client read shows whether they kept it.
        read_frames = (bytes_read(client.pid) - start_read) / frame_bytes
        sent = FPS * cells * wall
        return cells, used_client / sent, used_x / sent, used_client / wall, read_frames / sent
    finally:
        if client and client.poll() is None:
            client.terminate()
            try:
                client.wait(10)
            except subprocess.TimeoutExpired:
                client.kill()
        for sim in sims:
            sim.terminate()
            sim.wait(10)
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seconds", type=int, default=10)
    parser.add_argument("--cells", default="1,4,16,64")
    parser.add_argument("--zent", default=os.path.join(TOP, "build", "bin", "zent"))
    parser.add_argument("--shots", help="a folder for a screenshot of each case, taken before measuring")
    parser.add_argument("--stream", default=os.path.join(TOP, "build", "bench-streams", "live-d1-3mbit.h264"))
    args = parser.parse_args()
    if not os.path.exists(args.stream):
        sys.exit("no stream at %s: run build/bin/live_bench once first" % args.stream)

    number = next(n for n in range(97, 200) if not os.path.exists("/tmp/.X%d-lock" % n)
                  and not os.path.exists("/tmp/.X11-unix/X%d" % n))
    display = ":%d" % number
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1600x1000x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 10
        while not os.path.exists("/tmp/.X11-unix/X%d" % number) and xvfb.poll() is None:
            if time.monotonic() > deadline:
                break
            time.sleep(0.1)
        if xvfb.poll() is not None or not os.path.exists("/tmp/.X11-unix/X%d" % number):
            sys.exit("Xvfb %s did not start" % display)
        frames = stream_frames(args.stream)
        frame_bytes = os.path.getsize(args.stream) / frames
        reference = ffmpeg_per_frame(args.stream, frames)
        print("ffmpeg -threads 1: %.3f ms of processor time per D1 frame\n" % (reference * 1000))
        print("%-6s %12s %10s %14s %10s %10s" % ("cells", "zent/frame", "vs decode", "X server/frame", "zent core",
                                                  "read/sent"))
        for cells in (int(c) for c in args.cells.split(",")):
            result = run_case(args.zent, args.stream, frame_bytes, cells, args.seconds, display, xvfb.pid,
                              args.shots)
            if result is None:
                print("%-6d the run failed" % cells)
                continue
            cells, per_frame, x_per_frame, share, read = result
            print("%-6d %9.3f ms %8.2f x %11.3f ms %9.1f%% %10.2f" % (cells, per_frame * 1000, per_frame / reference,
                                                                      x_per_frame * 1000, share * 100, read))
            sys.stdout.flush()
    finally:
        xvfb.terminate()
        xvfb.wait(10)


if __name__ == "__main__":
    main()
