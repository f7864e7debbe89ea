#!/usr/bin/env python3
"""Times Nimbo Setup against NSIS installers of the same files, at three
sizes of product: the sample, about 40 MB in 400 files, about 300 MB in
4,000 files. For each size it makes the product (tools/generate-payload.py),
an installer of ours carrying it, and two NSIS 3 installers of the same
folder built here with makensis (zlib, and solid LZMA), then, in one warm
Wine session, runs them in turns:

- silent installs into a fresh D:\\Nimbo: the whole process's wall time
  (median, and ours against NSIS pair by pair), its peak memory (the
  kernel's high-water mark of the installer's process), and the peak of
  disk space taken on the target's file system while it runs;
- installs with the window: ours from the click on the button, NSIS from
  its start (its only page is the progress, which closes itself), to the
  end of the process, with the longest time the window kept a WM_NULL
  waiting (answer_probe.exe, every 50 ms);
- the first presented frame of ours (NIMBO_STARTUP_TRACE), which must not
  grow with the payload.

Prints its figures and never fails on one."""

import argparse
import os
import pathlib
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HARNESS = pathlib.Path(__file__).resolve().parent
ROOT = HARNESS.parent
sys.path.insert(0, str(HARNESS))
from desktop import Desktop  # noqa: E402
import importlib.util  # noqa: E402

_spec = importlib.util.spec_from_file_location("startup_benchmark", HARNESS / "startup-benchmark.py")
startup_benchmark = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(startup_benchmark)

TITLE = "Nimbo - 安装"
NSIS_CAPTION = "Nimbo NSIS"
NSIS_TITLE = NSIS_CAPTION + " "  # NSIS puts a space between the caption and its (empty) subcaption
INSTALL_BUTTON = (315 + 96, 275 + 29)  # its centre, in window coordinates
# (label, megabytes, generated files, silent rounds, LZMA rounds)
SIZES = [("sample", 0, 0, 9, 5), ("40 MB in 400 files", 40, 400, 7, 3), ("300 MB in 4,000 files", 300, 4000, 5, 2)]
WINDOW_ROUNDS = 3

NSIS_SCRIPT = r"""Unicode true
!include "MUI2.nsh"
SetCompressor {compressor}
Name "Nimbo"
Caption "{title}"
SubCaption 3 ""
OutFile "{out}"
InstallDir "D:\Nimbo"
RequestExecutionLevel admin
AutoCloseWindow true
ShowInstDetails nevershow
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
Section
  SetOutPath "$INSTDIR"
  File /r "{folder}/*"
  WriteUninstaller "$INSTDIR\uninstall-nsis.exe"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\NimboNSIS" "DisplayName" "Nimbo"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\NimboNSIS" "UninstallString" '"$INSTDIR\uninstall-nsis.exe"'
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\NimboNSIS" "InstallLocation" "$INSTDIR"
  CreateShortCut "$DESKTOP\NimboNSIS.lnk" "$INSTDIR\Nimbo.exe"
SectionEnd
Section "Uninstall"
  RMDir /r "$INSTDIR"
SectionEnd
"""


class Run:
    """One installer process: wall seconds, peak memory (MB), peak disk
    taken on the target's file system (MB), exit code."""

    def __init__(self, build, drive, program, arguments, watch_disk):
        self.build, self.drive, self.program, self.arguments = build, drive, program, arguments
        self.watch_disk = watch_disk
        self.disk_peak = 0.0

    def start(self):
        free_before = self.free()
        self.process = subprocess.Popen([str(HARNESS / "wine-run"), str(self.build), str(self.program),
                                         *self.arguments], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.started = time.monotonic()
        self.done = threading.Event()
        if self.watch_disk:
            def watch():
                while not self.done.wait(0.01):
                    self.disk_peak = max(self.disk_peak, (free_before - self.free()) / 2**20)
            self.watcher = threading.Thread(target=watch)
            self.watcher.start()
        return self

    def free(self):
        status = os.statvfs(self.drive)
        return status.f_bavail * status.f_frsize

    def wait(self, timeout=300):
        """Reaps the process (wine-run execs Wine, which becomes the
        Windows process): the kernel's peak resident size is its own."""
        deadline = time.monotonic() + timeout
        while True:
            pid, status, usage = os.wait4(self.process.pid, os.WNOHANG)
            if pid:
                break
            if time.monotonic() > deadline:
                self.process.kill()
                pid, status, usage = os.wait4(self.process.pid, 0)
                break
            time.sleep(0.005)
        self.seconds = time.monotonic() - self.started
        self.process.returncode = os.waitstatus_to_exitcode(status)
        self.code = self.process.returncode
        self.memory = usage.ru_maxrss / 1024
        self.done.set()
        if self.watch_disk:
            self.watcher.join()
        return self


class Bench:
    def __init__(self, args):
        self.build = pathlib.Path(args.build).resolve()
        self.setup = pathlib.Path(args.setup).resolve()
        self.sample = pathlib.Path(args.payload).resolve()
        self.probe = pathlib.Path(args.probe).resolve()
        self.work = self.build / "scale-benchmark"
        self.drive = self.build / "drive-d-scale"
        self.target = self.drive / "Nimbo"
        self.desktop = Desktop(self.build)
        self.rounds_scale = args.rounds_scale

    def make(self, name, megabytes, files):
        """The product folder and the three installers of one size."""
        folder = self.work / name.split()[0] / "product"
        archive = folder.parent / "Nimbo.zip"
        ours, zlib, lzma = folder.parent / "NimboSetup.exe", folder.parent / "nsis-zlib.exe", folder.parent / "nsis-lzma.exe"
        subprocess.run([sys.executable, str(ROOT / "tools" / "generate-payload.py"), str(self.sample), str(megabytes),
                        str(files), str(folder), str(archive)], check=True)
        shutil.copyfile(self.setup, ours)
        subprocess.run([sys.executable, str(ROOT / "tools" / "attach-payload.py"), str(ours), str(archive)], check=True)
        for compressor, out in (("zlib", zlib), ("/SOLID lzma", lzma)):
            script = folder.parent / f"{out.stem}.nsi"
            script.write_text(NSIS_SCRIPT.format(compressor=compressor, title=NSIS_CAPTION, out=out, folder=folder),
                              encoding="utf-8-sig")
            subprocess.run(["makensis", "-V1", str(script)], check=True)
        payload = sum(path.stat().st_size for path in folder.rglob("*") if path.is_file())
        return {"ours": ours, "zlib": zlib, "lzma": lzma, "archive": archive.stat().st_size, "files": payload}

    def fresh_target(self):
        shutil.rmtree(self.target, ignore_errors=True)
        subprocess.run(["sync"], check=False)

    def silent(self, program):
        self.fresh_target()
        arguments = ["/S", "/D=D:\\Nimbo"]
        run = Run(self.build, self.drive, program, arguments, watch_disk=True).start().wait()
        if not (self.target / "Nimbo.exe").exists():
            run.code = f"{run.code}, nothing installed"
        return run

    def probed(self, title):
        report = pathlib.Path(tempfile.mkstemp(suffix=".txt", dir=self.work)[1])
        report.unlink()
        probe = subprocess.Popen([str(HARNESS / "wine-run"), str(self.build), str(self.probe), title,
                                  "Z:" + str(report).replace("/", "\\")],
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return probe, report

    def longest(self, probe, report):
        try:
            probe.wait(timeout=30)
        except subprocess.TimeoutExpired:
            probe.kill()
            probe.wait()
        if not report.exists():
            return None
        figures = dict(line.split() for line in report.read_text().splitlines())
        report.unlink()
        return float(figures["longest"])

    def windowed_ours(self, program):
        self.fresh_target()
        run = Run(self.build, self.drive, program, [], watch_disk=False).start()
        window = self.desktop.find_window(TITLE, timeout=30)
        probe, report = self.probed(TITLE)
        left, top, _, _ = self.desktop.geometry(window)
        time.sleep(1.0)  # the show effect, during which the window takes no click
        clicked = time.monotonic()
        self.desktop.click(left + INSTALL_BUTTON[0], top + INSTALL_BUTTON[1])
        run.wait()
        run.seconds = time.monotonic() - clicked
        subprocess.run([str(HARNESS / "wine-run"), str(self.build), "taskkill", "/f", "/im", "Nimbo.exe"], capture_output=True)
        return run, self.longest(probe, report)

    def windowed_nsis(self, program):
        self.fresh_target()
        probe, report = self.probed(NSIS_TITLE)
        time.sleep(0.5)  # the probe is looking for the window before it can come and go
        run = Run(self.build, self.drive, program, ["/D=D:\\Nimbo"], watch_disk=False).start().wait()
        return run, self.longest(probe, report)

    def first_frames(self, programs, rounds=5):
        frames = {name: [] for name in programs}
        with tempfile.TemporaryDirectory(prefix="nimbo-scale-") as trace_dir:
            for name, program in programs.items():
                startup_benchmark.run_once(self.build, program, trace_dir)  # warm-up, not counted
            for _ in range(rounds):
                for name, program in programs.items():
                    stages = startup_benchmark.run_once(self.build, program, trace_dir)
                    if stages and "first frame" in stages:
                        frames[name].append(stages["first frame"])
        return {name: statistics.median(values) if values else float("nan") for name, values in frames.items()}


    def first_windows(self, ours, nsis, probe, rounds=5):
        """When each installer's first window shows (ours closes itself once
        shown, as in the start-up benchmark; NSIS installs into a fresh
        D:\\Nimbo and closes), in turns; the first round warms up."""
        shown = {"ours": [], "nsis": []}
        with tempfile.TemporaryDirectory(prefix="nimbo-first-window-") as trace_dir:
            for round_ in range(rounds + 1):
                for key, program, arguments, title in (("ours", ours, [], TITLE),
                                                       ("nsis", nsis, ["/D=D:\\Nimbo"], NSIS_TITLE)):
                    self.fresh_target()
                    value = startup_benchmark.run_probed(self.build, program, arguments, title, probe, trace_dir)
                    if value is not None and round_ > 0:
                        shown[key].append(value)
        return tuple(statistics.median(shown[key]) if shown[key] else float("nan") for key in ("ours", "nsis"))


def median(runs, figure):
    return statistics.median(getattr(run, figure) for run in runs)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--setup", required=True, help="NimboSetup.exe, as built")
    parser.add_argument("--payload", required=True, help="the sample product's archive")
    parser.add_argument("--probe", required=True, help="answer_probe.exe")
    parser.add_argument("--rounds-scale", type=float, default=1.0, help="multiplies every size's rounds")
    parser.add_argument("--window-probe", help="first_window_probe.exe: NSIS's first window against ours")
    parser.add_argument("--first-window-only", action="store_true",
                        help="only the first windows of ours and NSIS (sample size)")
    parser.add_argument("--silent-only", action="store_true",
                        help="only the silent rows: no windowed rounds, no first frames")
    arguments = parser.parse_args()
    bench = Bench(arguments)
    shutil.rmtree(bench.work, ignore_errors=True)
    bench.work.mkdir(parents=True)
    bench.drive.mkdir(exist_ok=True)
    subprocess.run([str(HARNESS / "map-drive"), str(bench.build), "d", str(bench.drive)], check=True)
    version = subprocess.run(["makensis", "-VERSION"], capture_output=True, text=True).stdout.strip()
    print(f"installing into D:\\Nimbo, ours against NSIS {version} (MUI2) of the same files; medians, "
          f"ratios pair by pair")
    programs = {}
    if arguments.first_window_only:
        built = bench.make(*SIZES[0][:3])
        ours, nsis = bench.first_windows(built["ours"], built["zlib"], arguments.window_probe)
        print(f"first window shown, seen by first_window_probe (sample; median of 5 each, turns taken): "
              f"ours {ours:.0f} ms, NSIS zlib {nsis:.0f} ms: {ours / nsis:.2f}x (target at most 1.0x)")
        return
    for name, megabytes, files, rounds, lzma_rounds in SIZES:
        built = bench.make(name, megabytes, files)
        programs[name] = built["ours"]
        if name == "sample":
            nsis_sample = built["zlib"]
        rounds = max(1, round(rounds * bench.rounds_scale))
        lzma_rounds = max(1, round(lzma_rounds * bench.rounds_scale))
        print(f"\n{name}: {built['files'] / 2**20:.1f} MB of files, archive {built['archive'] / 2**20:.1f} MB, "
              f"installers {built['ours'].stat().st_size / 2**20:.1f} MB (ours), "
              f"{built['zlib'].stat().st_size / 2**20:.1f} MB (NSIS zlib), "
              f"{built['lzma'].stat().st_size / 2**20:.1f} MB (NSIS LZMA)")
        bench.silent(built["ours"])  # warm-up: the page cache holds every installer after
        bench.silent(built["zlib"])
        bench.silent(built["lzma"])
        runs = {"ours": [], "zlib": [], "lzma": []}
        for round_ in range(rounds):
            runs["ours"].append(bench.silent(built["ours"]))
            runs["zlib"].append(bench.silent(built["zlib"]))
            if round_ < lzma_rounds:
                runs["lzma"].append(bench.silent(built["lzma"]))
        ratios = [a.seconds / b.seconds for a, b in zip(runs["ours"], runs["zlib"])]
        codes = {key: sorted({str(run.code) for run in value}) for key, value in runs.items()}
        print(f"  silent, whole process ({rounds} rounds; LZMA {lzma_rounds}; exit codes {codes})")
        for key, label in (("ours", "Nimbo Setup"), ("zlib", "NSIS zlib"), ("lzma", "NSIS LZMA")):
            print(f"    {label:<12} {median(runs[key], 'seconds'):7.2f} s   peak memory "
                  f"{median(runs[key], 'memory'):6.1f} MB   peak disk {median(runs[key], 'disk_peak'):7.1f} MB")
        print(f"    ours / NSIS zlib: time {statistics.median(ratios):.2f} x (min {min(ratios):.2f}, "
              f"max {max(ratios):.2f}); peak memory "
              f"{median(runs['ours'], 'memory') / median(runs['zlib'], 'memory'):.2f} x")
        if arguments.silent_only:
            continue
        windowed = {"ours": [], "zlib": []}
        for _ in range(WINDOW_ROUNDS):
            windowed["ours"].append(bench.windowed_ours(built["ours"]))
            windowed["zlib"].append(bench.windowed_nsis(built["zlib"]))
        print(f"  with the window ({WINDOW_ROUNDS} rounds): to the end of the process; longest unanswered WM_NULL")
        for key, label, start in (("ours", "Nimbo Setup", "from the click, with its 2 s completion line"),
                                  ("zlib", "NSIS zlib", "from its start")):
            seconds = statistics.median(run.seconds for run, _ in windowed[key])
            waits = [wait for _, wait in windowed[key] if wait is not None]
            longest = f"{max(waits):.0f} ms" if waits else "not measured"
            print(f"    {label:<12} {seconds:7.2f} s ({start})   longest unanswered {longest}")
    if arguments.silent_only:
        shutil.rmtree(bench.drive, ignore_errors=True)
        return
    frames = bench.first_frames(programs)
    print("\nfirst presented frame of ours, ms after the start request (median of 5 each, turns taken):")
    for name, value in frames.items():
        print(f"    {name:<22} {value:6.0f} ms")
    if arguments.window_probe:
        # Both seen the same way from outside: when each first window shows.
        ours, nsis = bench.first_windows(programs["sample"], nsis_sample, arguments.window_probe)
        print(f"first window shown, seen by first_window_probe (sample; median of 5 each, turns taken): "
              f"ours {ours:.0f} ms, NSIS zlib {nsis:.0f} ms: {ours / nsis:.2f}x (target at most 1.0x)")
    shutil.rmtree(bench.drive, ignore_errors=True)


if __name__ == "__main__":
    main()
