#!/usr/bin/env python3
"""Prints the benchmark's figures and a verdict per target from the "key value" files that
bench.sh collected in one directory:
  dialvox-MS.txt      tickmeter.py over dialvox.exe at MS milliseconds
  timer-MS.txt/.out   tickmeter.py over timerprobe.exe, and the probe's own figures
  tickquery-MS.txt/.out  the same, with the query "238" on every tick
  query.txt           perfquery.exe, queries back to back
  report.py RESULTS_DIR
"""

import pathlib
import re
import sys

FRAMES_TARGET_PCT = 97.0
GAP_TARGET_FACTOR = 1.2
# (dialvox.exe + its share of the wineserver) per tick, against a bare tick and its share.
CPU_TARGET_FACTOR = 6.0
# Dialvox's own work per tick: its tick less a tick that only makes the query.
OWN_WORK_TARGET_MS = 0.5
FIRST_FRAME_TARGET_MS = 500.0
JUDGED_INTERVAL = 50


def read(path):
    figures = {}
    try:
        for line in path.read_text().splitlines():
            key, _, value = line.partition(" ")
            figures[key] = value.strip()
    except FileNotFoundError:
        pass
    return figures


def number(figures, key):
    try:
        return float(figures[key])
    except (KeyError, ValueError):
        return None


def show(value, digits=3, unit=""):
    return "n/a" if value is None else f"{value:.{digits}f}{unit}"


def cpu_line(figures):
    """dialvox.exe's (or the probe's) CPU per tick, with the wineserver's and Xvfb's beside it."""
    text = f"CPU per tick {show(number(figures, 'program_cpu_ms_per_tick'))} ms"
    others = [f"{name} {show(number(figures, f'{name}_cpu_ms_per_tick'))}"
              for name in ("wineserver", "xvfb") if f"{name}_cpu_ms_per_tick" in figures]
    return text + (f" (and in {', '.join(others)} ms)" if others else "")


def with_server(figures):
    """CPU per tick of the program and of the wineserver while it ran (its share: nothing else
    of the prefix is busy then)."""
    program = number(figures, "program_cpu_ms_per_tick")
    server = number(figures, "wineserver_cpu_ms_per_tick")
    return None if program is None or server is None else program + server


def gaps(figures):
    return " / ".join(figures.get(f"gap_{p}_ms", "n/a") for p in ("p50", "p90", "max"))


def main():
    results = pathlib.Path(sys.argv[1])
    intervals = sorted(int(re.sub(r"\D", "", p.stem)) for p in results.glob("dialvox-*.txt"))
    runs = {i: read(results / f"dialvox-{i}.txt") for i in intervals}
    query = read(results / "query.txt")

    print("dialvox.exe (CPU per frame received, from 2 s after the first frame)")
    for interval, run in runs.items():
        if "frames_per_s" not in run:
            print(f"  {interval} ms: {run.get('error', 'no figures')}")
            continue
        print(f"  {interval} ms: {run['frames_per_s']} frames/s of {run['nominal_per_s']} nominal"
              f" ({run['received_pct']} %), gaps p50/p90/max {gaps(run)} ms,"
              f" first frame {run['first_frame_ms']} ms after launch")
        print(f"          {cpu_line(run)}")
    print("timerprobe.exe: a bare tick, and a tick that makes the query \"238\"")
    for interval in intervals:
        for name, label in (("timer", "bare tick"), ("tickquery", "tick+query")):
            own = read(results / f"{name}-{interval}.out")
            meter = read(results / f"{name}-{interval}.txt")
            print(f"  {interval} ms {label}: {own.get('ticks', 'n/a')} ticks,"
                  f" gaps p50/p90/max {gaps(own)} ms, {cpu_line(meter)}")
    print(f"perfquery.exe: {query.get('queries', 'n/a')} queries back to back,"
          f" wall {query.get('wall_ms_per_query', 'n/a')} ms,"
          f" CPU {query.get('cpu_ms_per_query', 'n/a')} ms per query")

    judged = runs.get(JUDGED_INTERVAL, {})
    bare_run = read(results / f"timer-{JUDGED_INTERVAL}.txt")
    query_run = read(results / f"tickquery-{JUDGED_INTERVAL}.txt")
    tick = with_server(judged)
    bare = with_server(bare_run)
    with_query = with_server(query_run)
    ratio = None if None in (tick, bare) or not bare else tick / bare
    own = None if None in (tick, with_query) else tick - with_query
    programs = [number(run, "program_cpu_ms_per_tick") for run in (judged, query_run)]
    own_program = None if None in programs else programs[0] - programs[1]
    cpu_limit = None if bare is None else CPU_TARGET_FACTOR * bare
    print(f"At {JUDGED_INTERVAL} ms, CPU per tick with the program's share of the wineserver:")
    print(f"  dialvox.exe {show(tick)} ms, a bare tick {show(bare)} ms, ratio {show(ratio, 1)};"
          f" a tick with the query {show(with_query)} ms")
    print(f"  dialvox.exe's own work (its tick less a tick with the query): {show(own)} ms"
          f" ({show(own_program)} ms of it in dialvox.exe)")

    verdicts = []

    def judge(name, met, shown):
        """`met` is None when a figure is missing."""
        verdicts.append(("no figure" if met is None else "met" if met else "MISSED", name, shown))

    def at_most(value, limit):
        return None if value is None or limit is None else value <= limit

    pct = number(judged, "received_pct")
    judge(f"{JUDGED_INTERVAL} ms: frames received >= {FRAMES_TARGET_PCT:g} % of nominal",
          None if pct is None else pct >= FRAMES_TARGET_PCT, show(pct, 1, " %"))
    gap = number(judged, "gap_p90_ms")
    gap_limit = GAP_TARGET_FACTOR * JUDGED_INTERVAL
    judge(f"{JUDGED_INTERVAL} ms: p90 gap <= {GAP_TARGET_FACTOR:g} x interval = {gap_limit:g} ms",
          at_most(gap, gap_limit), show(gap, 1, " ms"))
    judge(f"{JUDGED_INTERVAL} ms: (dialvox.exe + wineserver) CPU per tick <= {CPU_TARGET_FACTOR:g} x"
          f" (bare tick + wineserver) = {show(cpu_limit)} ms",
          at_most(tick, cpu_limit), show(tick, 3, " ms"))
    judge(f"{JUDGED_INTERVAL} ms: Dialvox's own work <= {OWN_WORK_TARGET_MS:g} ms a tick",
          at_most(own, OWN_WORK_TARGET_MS), show(own, 3, " ms"))
    firsts = [number(run, "first_frame_ms") for run in runs.values()]
    worst = None if not firsts or None in firsts else max(firsts)
    judge(f"first frame within {FIRST_FRAME_TARGET_MS:g} ms of launch, every launch",
          at_most(worst, FIRST_FRAME_TARGET_MS), " / ".join(show(f, 0, " ms") for f in firsts))

    print("\nTargets")
    for verdict, name, shown in verdicts:
        print(f"  [{verdict:>9}] {name}: {shown}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
