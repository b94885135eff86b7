#!/usr/bin/env python3
"""Starts a program that does something on a timer and measures it from outside: the CPU time it
(and any other watched process) spends per tick once it runs steadily and, when it feeds the load
indicator, what arrives on the far end of its serial line: when the first frame comes after the
launch, how many frames come per second and the gaps between them. Prints "key value" lines.

  tickmeter.py --interval MS [--device PATH] [--seconds S] [--settle S] [--watch NAME=PID]...
               [--let-finish] [--program-output FILE] -- CMD...

With a device, the measured span starts at the first frame and the ticks are the frames received
(11-byte frames: 0x11 0x22, eight channel bytes, their XOR); without one, it starts at the launch
and the ticks are the span over the interval. CPU time is counted from `settle` seconds into the
span to its end, from the scheduler's per-thread figures in nanoseconds. The program is stopped at
the end unless it is to finish by itself.
"""

import argparse
import os
import select
import signal
import subprocess
import sys
import time

HEADER = (0x11, 0x22)
FRAME_SIZE = 11
FIRST_FRAME_TIMEOUT_S = 30.0
FINISH_TIMEOUT_S = 30.0


class FrameCounter:
    """Finds frames in the byte stream, resynchronising on the header after anything else."""

    def __init__(self):
        self.pending = bytearray()
        self.bad = 0
        self.skipped = 0

    def feed(self, data):
        """Returns how many good frames the bytes complete."""
        self.pending += data
        good = 0
        while len(self.pending) >= 2:
            if (self.pending[0], self.pending[1]) != HEADER:
                del self.pending[0]
                self.skipped += 1
                continue
            if len(self.pending) < FRAME_SIZE:
                break
            checksum = 0
            for byte in self.pending[2:10]:
                checksum ^= byte
            if checksum == self.pending[10]:
                del self.pending[:FRAME_SIZE]
                good += 1
            else:
                del self.pending[0]
                self.bad += 1
                self.skipped += 1
        return good


def cpu_seconds(pid):
    """Time on the CPU of every thread the process has now, or None once it is gone. The
    scheduler's figures are in nanoseconds; /proc/PID/stat counts only whole clock ticks."""
    total = 0
    try:
        tasks = os.listdir(f"/proc/{pid}/task")
    except FileNotFoundError:
        return None
    for task in tasks:
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as stat:
                total += int(stat.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that ended in between
    return total / 1e9


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[round(fraction * (len(ordered) - 1))] if ordered else 0.0


def stop(process):
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def drain(line):
    """Whatever an earlier run left in the line is not this run's."""
    try:
        while os.read(line, 4096):
            pass
    except BlockingIOError:
        pass


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--interval", type=float, required=True, help="nominal ms between ticks")
    parser.add_argument("--device", help="the far end of the program's serial line")
    parser.add_argument("--seconds", type=float, default=20.0, help="length of the measured span")
    parser.add_argument("--settle", type=float, default=2.0,
                        help="seconds into the span before CPU time is counted")
    parser.add_argument("--watch", action="append", default=[], metavar="NAME=PID",
                        help="another process whose CPU time per tick to report")
    parser.add_argument("--let-finish", action="store_true",
                        help="wait for the program to end by itself after the span")
    parser.add_argument("--program-output", help="file for the program's standard output")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    args.command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not args.command:
        parser.error("no command to run")
    return args


def main():
    args = parse_arguments()
    watched = {}
    for item in args.watch:
        name, _, pid = item.partition("=")
        if pid.isdigit():
            watched[name] = int(pid)

    line = None
    if args.device:
        line = os.open(args.device, os.O_RDONLY | os.O_NOCTTY | os.O_NONBLOCK)
        drain(line)
    output = open(args.program_output, "w") if args.program_output else subprocess.DEVNULL

    counter = FrameCounter()
    frame_times = []
    launched = time.monotonic()
    process = subprocess.Popen(args.command, stdin=subprocess.DEVNULL, stdout=output,
                               stderr=subprocess.DEVNULL)
    watched = {"program": process.pid, **watched}

    def sample():
        return time.monotonic(), {name: cpu_seconds(pid) for name, pid in watched.items()}

    samples = []
    try:
        span_start = None if line is not None else launched
        deadline = launched + FIRST_FRAME_TIMEOUT_S
        if span_start is not None:
            deadline = span_start + args.seconds
        while True:
            now = time.monotonic()
            if now >= deadline:
                break
            if span_start is not None and not samples and now >= span_start + args.settle:
                samples.append(sample())
            if line is None:
                time.sleep(min(0.05, max(0.0, deadline - now)))
                continue
            ready, _, _ = select.select([line], [], [], 0.05)
            if not ready:
                if span_start is None and process.poll() is not None:
                    break  # ended before sending anything
                continue
            try:
                data = os.read(line, 4096)
            except BlockingIOError:
                continue
            frames = counter.feed(data)
            now = time.monotonic()
            if frames and span_start is None:
                span_start = now
                deadline = now + args.seconds
            frame_times.extend([now] * frames)
        if samples:
            samples.append(sample())
        if args.let_finish:
            process.wait(timeout=FINISH_TIMEOUT_S)
    finally:
        stop(process)
        if line is not None:
            os.close(line)
        if output is not subprocess.DEVNULL:
            output.close()

    out = {"interval_ms": f"{args.interval:g}"}
    if line is not None:
        out.update(frame_figures(frame_times, counter, launched, args))
        if not frame_times:
            out["error"] = "no frame arrived"
    if len(samples) == 2:
        (start, before), (end, after) = samples
        if line is not None:
            ticks = sum(1 for t in frame_times if start < t <= end)
        else:
            ticks = (end - start) * 1000 / args.interval
        out["cpu_span_ticks"] = f"{ticks:.0f}"
        for name in watched:
            if ticks and before[name] is not None and after[name] is not None:
                per_tick = (after[name] - before[name]) * 1000 / ticks
                out[f"{name}_cpu_ms_per_tick"] = f"{per_tick:.3f}"
    for key, value in out.items():
        print(key, value)
    return 0 if "error" not in out else 1


def frame_figures(frame_times, counter, launched, args):
    figures = {"frames": len(frame_times), "bad_frames": counter.bad,
               "skipped_bytes": counter.skipped}
    if not frame_times:
        return figures
    first = frame_times[0]
    gaps = [(b - a) * 1000 for a, b in zip(frame_times, frame_times[1:])]
    received = sum(1 for t in frame_times if t < first + args.seconds)
    nominal = args.seconds * 1000 / args.interval
    figures.update({
        "first_frame_ms": f"{(first - launched) * 1000:.0f}",
        "frames_per_s": f"{received / args.seconds:.2f}",
        "nominal_per_s": f"{1000 / args.interval:.2f}",
        "received_pct": f"{100 * received / nominal:.1f}",
        "gap_p50_ms": f"{percentile(gaps, 0.5):.1f}",
        "gap_p90_ms": f"{percentile(gaps, 0.9):.1f}",
        "gap_max_ms": f"{max(gaps, default=0):.1f}",
    })
    return figures


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    sys.exit(main())
