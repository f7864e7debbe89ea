#!/usr/bin/env python3
"""End-to-end test of Nimbo Setup killed half-way (SIGKILL to its Wine
process, as Task Manager, a deployment tool's time-out or a power cut ends
it): at twenty points spread over a larger installation's extraction,
registration and commit, each followed once by a run of the installer and
once by the uninstaller. Afterwards the installer leaves a complete
installation and the uninstaller nothing of the product, never a hidden
folder, a stray file or a key of the killed run. The points are lines of the
killed run's own log: it is ended once its log has that many lines."""

import pathlib
import shutil
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import end_to_end  # noqa: E402
import machine_not_clean  # noqa: E402
from end_to_end import ROOT, wait_for_exit  # noqa: E402

WAIT = 60  # seconds, the bound of every wait for a program
POINTS = 20
PROGRAM_NAME = "KilledHalfWaySetup.exe"  # a name no other process of the session has


class KilledHalfWay(machine_not_clean.MachineNotClean):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        work = pathlib.Path(end_to_end.ARGS.build).resolve() / "killed-payload"
        shutil.rmtree(work, ignore_errors=True)
        work.mkdir()
        archive, program = work / "Nimbo.zip", work / PROGRAM_NAME
        # 8 MB in 200 files besides the sample: long enough to be killed
        # in, short enough for forty runs.
        subprocess.run([sys.executable, str(ROOT / "tools" / "generate-payload.py"), end_to_end.ARGS.payload, "8",
                        "200", str(work / "product"), str(archive), "1"], check=True, timeout=300)
        shutil.copyfile(end_to_end.ARGS.program, program)
        subprocess.run([sys.executable, str(ROOT / "tools" / "attach-payload.py"), str(program), str(archive)],
                       check=True, timeout=120)
        cls.program = program
        cls.archive = archive

    def run_large(self, log, kill_at=None):
        """Runs the larger installer silently into D:\\Nimbo; with `kill_at`,
        kills it once its log holds that many lines. Its exit code (None when
        killed)."""
        (self.drive_d / "logs").mkdir(exist_ok=True)
        log_file = self.drive_d / "logs" / log
        log_file.unlink(missing_ok=True)
        process = self.desktop.start(self.program, "/S", f"/LOG=D:\\logs\\{log}", "/D=D:\\Nimbo")
        self.addCleanup(lambda: process.poll() is not None or (process.kill(), process.wait(timeout=10)))
        deadline = time.monotonic() + WAIT
        while process.poll() is None:
            self.assertLess(time.monotonic(), deadline, "the installation did not end")
            if kill_at is not None and log_file.exists() and log_file.read_bytes().count(b"\n") >= kill_at:
                subprocess.run(["pkill", "-KILL", "-f", PROGRAM_NAME], check=False)
                wait_for_exit(process, timeout=WAIT)
                self.wait_until_none_runs(PROGRAM_NAME)
                # Killed unless it had just written its result.
                self.killed += b"\nresult: " not in log_file.read_bytes()
                return None
            time.sleep(0.005)
        return process.returncode

    def uninstall(self):
        """Runs the silent uninstaller, and waits for its temporary copy,
        which removes the first run's renamed file once that has ended."""
        code = self.windows("D:\\Nimbo\\uninstall.exe", "/S")
        self.wait_until_none_runs("Nimbo-uninstall-")
        return code

    def state(self):
        """The product folder (every path with its bytes) and the key."""
        target = self.drive_d / "Nimbo"
        return (self.tree(target) if target.exists() else {}), self.registry_values()

    def assert_no_hidden_folder(self, when):
        target = self.drive_d / "Nimbo"
        hidden = [p.name for p in target.iterdir() if p.name.startswith(".nimbo-")] if target.exists() else []
        self.assertEqual(hidden, [], when)

    def test_killed_at_twenty_points_then_installed_again_or_removed(self):
        self.assertEqual(self.run_large("complete.log"), 0)
        complete = self.state()
        lines = (self.drive_d / "logs" / "complete.log").read_bytes().count(b"\n")
        self.assertGreater(lines, 200)
        product_files = {name for name, data in complete[0].items() if data is not None}
        self.killed = 0
        for point in range(POINTS):
            kill_at = 2 + point * (lines - 2) // (POINTS - 1)
            with self.subTest(point=point, line=kill_at):
                # From a complete installation: killed, then removed.
                self.assertEqual(self.state(), complete)
                self.run_large("killed.log", kill_at)
                if (self.drive_d / "Nimbo" / "uninstall.exe").exists():
                    self.assertEqual(self.uninstall(), 0, f"the removal after a kill at line {kill_at}")
                    folder, key = self.state()
                    self.assertEqual(key, {}, "no key left")
                    self.assertFalse(product_files & set(folder), "nothing of the product left")
                    self.assert_no_hidden_folder("after the removal")
                # From nothing (or what the removal could not take): killed,
                # then installed again.
                self.run_large("killed-again.log", kill_at)
                self.assertEqual(self.run_large("again.log"), 0)
                self.assertEqual(self.state(), complete, f"a complete installation after a kill at line {kill_at}")
        print(f"{self.killed} of {2 * POINTS} runs killed before their end", file=sys.stderr)
        self.assertGreaterEqual(self.killed, 2 * (POINTS - 2), "the runs were killed before their end")


def main():
    end_to_end.run_tests(end_to_end.parse_arguments(("--security-reader", "security_of.exe")))


if __name__ == "__main__":
    main()
