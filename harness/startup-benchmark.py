#!/usr/bin/env python3
"""Times the start of Nimbo Setup against a bare layered window started the
same way, in the same warm Wine session, runs of the two taking turns.

Each program writes, when NIMBO_STARTUP_TRACE names a file, the moments its
start-up stages were reached by the system clock; this script takes the
moment it asked Wine to start the program as zero, so Wine's own loading is
inside every figure, as a user would see it. Prints the median of every
stage and the ratios that matter: the first presented frame, and the end
of the show effect, each against the bare window's first frame, and the
first frame at 200 % display scale against 96 dpi.
Prints and never fails on a figure."""

import argparse
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

HARNESS = pathlib.Path(__file__).resolve().parent


def run_once(build, program, trace_dir):
    """Starts the program once; returns {stage: ms after the start request}."""
    trace = pathlib.Path(tempfile.mkstemp(suffix=".txt", dir=trace_dir)[1])
    trace.write_text("")
    env = dict(os.environ, NIMBO_STARTUP_TRACE="Z:" + str(trace).replace("/", "\\"))
    started = time.time() * 1000.0
    process = subprocess.Popen([str(HARNESS / "wine-run"), str(build), str(program)], env=env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        process.wait(timeout=60)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        print(f"  {program.name} did not end within 60 s; run left out", file=sys.stderr)
        return None
    stages = {}
    for line in trace.read_text(encoding="ascii", errors="replace").splitlines():
        fields = line.split("\t")
        if len(fields) == 3:
            stages[fields[0]] = float(fields[2]) - started
    trace.unlink()
    return stages or None


def set_dpi(build, dpi):
    """The dpi Wine gives every program started from now on (96: the
    prefix's own, no setting)."""
    key = "HKCU\\Control Panel\\Desktop"
    command = ["reg", "delete", key, "/v", "LogPixels", "/f"] if dpi == 96 else \
              ["reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"]
    subprocess.run([str(HARNESS / "wine-run"), str(build), *command], capture_output=True, timeout=60)


def run_probed(build, program, arguments, title, probe, trace_dir):
    """Starts the program once with first_window_probe.exe watching for its
    window; returns the ms from the start request to the window showing,
    or None. For programs that keep no trace of their own."""
    trace = pathlib.Path(tempfile.mkstemp(suffix=".txt", dir=trace_dir)[1])
    trace.write_text("")
    watcher = subprocess.Popen([str(HARNESS / "wine-run"), str(build), str(probe), title,
                                "Z:" + str(trace).replace("/", "\\")],
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 30
    while "ready" not in trace.read_text(encoding="ascii", errors="replace") and time.monotonic() < deadline:
        time.sleep(0.05)
    # Nimbo Setup closes itself once shown when it keeps a trace; another
    # program ignores the variable.
    own_trace = pathlib.Path(tempfile.mkstemp(suffix=".txt", dir=trace_dir)[1])
    env = dict(os.environ, NIMBO_STARTUP_TRACE="Z:" + str(own_trace).replace("/", "\\"))
    started = time.time() * 1000.0
    process = subprocess.Popen([str(HARNESS / "wine-run"), str(build), str(program), *arguments], env=env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    shown = None
    try:
        watcher.wait(timeout=60)
        for line in trace.read_text(encoding="ascii", errors="replace").splitlines():
            fields = line.split("\t")
            if len(fields) == 3 and fields[0] == "first window":
                shown = float(fields[2]) - started
        process.wait(timeout=120)
    except subprocess.TimeoutExpired:
        for running in (watcher, process):
            running.kill()
            running.wait()
    trace.unlink()
    own_trace.unlink()
    return shown


def medians(runs):
    names = []
    for run in runs:
        names += [name for name in run if name not in names]
    return {name: statistics.median(run[name] for run in runs if name in run) for name in names}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--setup", required=True, help="NimboSetup.exe")
    parser.add_argument("--bare", required=True, help="bare_window_benchmark.exe")
    parser.add_argument("--rounds", type=int, default=15)
    parser.add_argument("--scaled-dpi", type=int, default=192,
                        help="the installer's first frame is also timed at this dpi, in turns with 96")
    args = parser.parse_args()
    build = pathlib.Path(args.build).resolve()
    setup, bare = pathlib.Path(args.setup).resolve(), pathlib.Path(args.bare).resolve()

    with tempfile.TemporaryDirectory(prefix="nimbo-startup-") as trace_dir:
        # One start of each first, not counted: Wine loads its libraries into
        # the page cache, as a warm session would have them.
        run_once(build, bare, trace_dir)
        run_once(build, setup, trace_dir)
        bare_runs, setup_runs, scaled_runs = [], [], []
        for _ in range(args.rounds):
            for program, runs in ((bare, bare_runs), (setup, setup_runs)):
                stages = run_once(build, program, trace_dir)
                if stages is not None:
                    runs.append(stages)
        # The same start at another display scale, in turns with 96 dpi.
        scaled_at_96 = []
        try:
            for _ in range(max(3, args.rounds // 2)):
                for dpi, runs in ((96, scaled_at_96), (args.scaled_dpi, scaled_runs)):
                    set_dpi(build, dpi)
                    stages = run_once(build, setup, trace_dir)
                    if stages is not None:
                        runs.append(stages)
        finally:
            set_dpi(build, 96)

    if not bare_runs or not setup_runs:
        print("start-up: no complete runs to report")
        return
    bare_median, setup_median = medians(bare_runs), medians(setup_runs)
    reference = bare_median.get("first frame")
    print(f"start-up, ms after the start request (median of {len(setup_runs)} runs each, turns taken)")
    print(f"  bare layered window: main {bare_median.get('main', float('nan')):.0f}, "
          f"first frame {reference:.0f}")
    previous = 0.0
    for name, value in setup_median.items():
        print(f"  Nimbo Setup {name:<18} {value:7.0f}   (+{value - previous:.0f})")
        previous = value
    if reference:
        first = setup_median.get("first frame")
        shown = setup_median.get("show effect over")
        if first is not None:
            print(f"  first frame against the bare window: {first / reference:.2f}x (target at most 1.3x)")
        if shown is not None:
            print(f"  show effect over against the bare window: {shown / reference:.2f}x (target about 3x)")
    if scaled_runs and scaled_at_96:
        at96 = medians(scaled_at_96).get("first frame")
        scaled = medians(scaled_runs).get("first frame")
        if at96 and scaled:
            print(f"  first frame at {args.scaled_dpi} dpi: {scaled:.0f} ms against {at96:.0f} ms at 96 dpi "
                  f"(turns taken): {scaled / at96:.2f}x (target at most 1.3x)")


if __name__ == "__main__":
    main()
