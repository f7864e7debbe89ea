#!/usr/bin/env python3
"""End-to-end tests of Nimbo Setup's command line under Wine: the silent
installation and its exit codes, the folder switch with the window, a
switch that is not understood, and the uninstaller's silent switch."""

import importlib
import pathlib
import subprocess
import sys
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools"))
import end_to_end  # noqa: E402
from end_to_end import ASSETS, ROOT, TITLE, payload_entries, shows, wait_for_exit  # noqa: E402
from desktop import Desktop  # noqa: E402

sys.dont_write_bytecode = True  # nothing of the tools' own in the source tree
attach_payload = importlib.import_module("attach-payload")

PATH_BOX = (20, 422, 200, 27)


class SilentRuns(end_to_end.InstallationTest):
    """The program is started by each test, with its arguments; helpers to
    run it to its end and read its log (no tests of its own)."""

    def setUp(self):
        # The drive, registry and desktop as for an installation, but no
        # program yet.
        self.prepare_machine()
        # The installations made here are not left registered for the next
        # program started in this prefix (it would offer their folder).
        self.addCleanup(self.wine, "reg", "delete", end_to_end.UNINSTALL_KEY, "/f", check=False)
        self.desktop = Desktop(end_to_end.ARGS.build)
        self.shots = pathlib.Path(end_to_end.ARGS.screenshots)
        self.process = None

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        subprocess.run(["pkill", "-f", "Nimbo.exe"], check=False)

    def run_setup(self, *arguments, cwd=None):
        """Runs the installer to its end; the exit code, and whether its
        window ever showed."""
        self.process = self.desktop.start(end_to_end.ARGS.program, *arguments, cwd=cwd)
        self.addCleanup(self.stop)
        shown = False
        deadline = time.monotonic() + 60
        while self.process.poll() is None:
            self.assertLess(time.monotonic(), deadline, "the silent installation did not end")
            shown = shown or bool(self.desktop.x("xdotool", "search", "--onlyvisible", "--name", TITLE, check=False))
            time.sleep(0.05)
        return self.process.returncode, shown

    def new_default_log(self):
        """The log of the last run that wrote one to the temporary folder."""
        logs = sorted(self.temp.glob("NimboSetup-*.log"), key=lambda path: path.stat().st_mtime)
        self.assertTrue(logs, "no log in the temporary folder")
        return logs[-1]

    def logged(self, log):
        """The folders and files a log says were written, relative to the
        target, and its result line."""
        written, result = set(), None
        for line in log.read_text(encoding="utf-8").splitlines():
            if line.startswith("folder D:\\") or line.startswith("file D:\\"):
                path = line.split(" ", 1)[1].rsplit(" (", 1)[0] if line.startswith("file ") else line.split(" ", 1)[1]
                written.add(path)
            if line.startswith("result: "):
                result = line
        return written, result


class Silent(SilentRuns):
    def test_silent_installation_into_a_chinese_folder_with_a_space(self):
        (self.drive_d / "logs").mkdir()
        code, shown = self.run_setup("/S", "/LOG=D:\\logs\\setup.log", "/D=D:\\静默 安装\\")
        self.assertEqual(code, 0)
        self.assertFalse(shown, "no window")
        folder = self.drive_d / "静默 安装"
        # The log lists exactly what is on disk.
        written, result = self.logged(self.drive_d / "logs" / "setup.log")
        self.assertEqual(result, "result: 0 installed")
        on_disk = {"D:\\静默 安装\\" + str(path.relative_to(folder)).replace("/", "\\") + ("\\" if path.is_dir() else "")
                   for path in folder.rglob("*")}
        self.assertEqual(written, on_disk)
        for name, data in payload_entries(end_to_end.ARGS.payload):
            if data is None:
                self.assertTrue((folder / name).is_dir(), name)
            else:
                self.assertEqual((folder / name).read_bytes(), data, name)
        values = self.registry_values()
        self.assertEqual(values.get("InstallLocation"), "D:\\静默 安装\\")
        self.assertEqual(values.get("QuietUninstallString"), '"D:\\静默 安装\\uninstall.exe" /S')
        self.assertTrue(self.desktop_lnk.exists(), "the shortcut")
        self.assertFalse(self.started.exists(), "not started without /LAUNCH")

        # The silent uninstaller removes what was installed, and only that.
        (folder / "mine.txt").write_text("mine")
        uninstaller = subprocess.Popen([str(ROOT / "harness" / "wine-run"), end_to_end.ARGS.build,
                                        "D:\\静默 安装\\uninstall.exe", "/S"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertEqual(wait_for_exit(uninstaller, timeout=60), 0)
        deadline = time.monotonic() + 30
        while self.registry_values() or (folder / "Nimbo.exe").exists():
            self.assertLess(time.monotonic(), deadline, "the silent uninstaller did not finish")
            time.sleep(0.2)
        for name, _ in payload_entries(end_to_end.ARGS.payload):
            if name != "":
                self.assertFalse((folder / name).exists() and (folder / name).is_file(), f"{name} is removed")
        self.assertEqual((folder / "mine.txt").read_text(), "mine", "the user's file stays")
        self.assertFalse(self.desktop_lnk.exists(), "the shortcut is removed")

    def test_silent_installation_that_fails_exits_with_its_code(self):
        (self.drive_d / "taken").write_text("a file")
        code, shown = self.run_setup("/S", "/D=D:\\taken\\Nimbo")
        self.assertEqual(code, 1, "folder not created")
        self.assertFalse(shown)
        self.assertEqual(self.logged(self.new_default_log()), (set(), "result: 1 the folder could not be created"))
        self.assertEqual(self.registry_values(), {})
        self.assertFalse(self.desktop_lnk.exists())

    def test_targets_that_cannot_work_are_refused_before_anything_is_written(self):
        # Started in the drive's top folder (D:\ for Windows), where a
        # relative target would land.
        before = {str(path) for path in self.drive_d.rglob("*")}
        for target, code, result in (
                ("Nimbo", 7, "the folder is not a full path"),
                ("D:\\", 8, "the folder is the top of a drive"),
                ("Q:\\Nimbo", 9, "the folder's drive does not exist"),
                ("D:\\" + "长" * 240, 10, "the folder's path is too long")):
            with self.subTest(target=target):
                self.assertEqual(self.run_setup("/S", f"/D={target}", cwd=self.drive_d), (code, False))
                self.assertEqual(self.logged(self.new_default_log()), (set(), f"result: {code} {result}"))
                self.assertEqual({str(path) for path in self.drive_d.rglob("*")}, before, "nothing written")
                self.assertEqual(self.registry_values(), {})

    def test_a_late_failure_puts_the_folder_back_and_logs_what_was_rolled_back(self):
        # The folder holds a file the payload replaces and, as its last
        # entry's name, a link to a folder outside: everything before it is
        # written, then taken back.
        outside = self.drive_d / "Outside"
        outside.mkdir()
        target = self.drive_d / "Nimbo"
        target.mkdir()
        (target / "README.txt").write_bytes(b"an older README")
        (target / "logs").symlink_to(outside, target_is_directory=True)
        (self.drive_d / "logs").mkdir()
        code, _ = self.run_setup("/S", "/LOG=D:\\logs\\late.log", "/D=D:\\Nimbo")
        self.assertEqual(code, 11)
        self.assertEqual(sorted(path.name for path in target.iterdir()), ["README.txt", "logs"])
        self.assertEqual((target / "README.txt").read_bytes(), b"an older README")
        self.assertEqual(list(outside.iterdir()), [])
        lines = (self.drive_d / "logs" / "late.log").read_text(encoding="utf-8").splitlines()
        self.assertIn("rolled back: removed file D:\\Nimbo\\Nimbo.exe", lines)
        self.assertIn("rolled back: removed folder D:\\Nimbo\\docs\\截图", lines)
        self.assertIn("rolled back: put back D:\\Nimbo\\README.txt", lines)
        self.assertEqual(lines[-3:-1], ["nothing was installed", "result: 11 a link stands in the folder"])
        self.assertEqual(self.registry_values(), {})

    def test_a_damaged_payload_installs_nothing(self):
        # Copies of the installer with one byte of its payload changed (the
        # first entry's time, which extraction does not read: only the
        # digest of its block tells, before a byte of it is written) and
        # with its end cut off.
        image = pathlib.Path(end_to_end.ARGS.program).read_bytes()
        start = image.index(b"PK\x03\x04", attach_payload.end_of_sections(image))
        changed = bytearray(image)
        changed[start + 10] ^= 0x01
        copies = pathlib.Path(end_to_end.ARGS.build).resolve() / "damaged-setup"
        copies.mkdir(exist_ok=True)
        (copies / "changed.exe").write_bytes(bytes(changed))
        (copies / "cut.exe").write_bytes(image[:-100])
        (self.drive_d / "logs").mkdir()
        for name in ("changed", "cut"):
            with self.subTest(name):
                self.process = self.desktop.start(copies / f"{name}.exe", "/S", f"/LOG=D:\\logs\\{name}.log",
                                                  "/D=D:\\Nimbo")
                self.addCleanup(self.stop)
                self.assertEqual(wait_for_exit(self.process, timeout=60), 2)
                self.assertFalse((self.drive_d / "Nimbo").exists(), "nothing left in the target")
                self.assertEqual(self.registry_values(), {})
                lines = (self.drive_d / "logs" / f"{name}.log").read_text(encoding="utf-8").splitlines()
                self.assertIn("payload: the program's file does not hold the payload it was built with", lines)
                self.assertFalse([line for line in lines if line.startswith("file D:\\")], "no file was written")
                self.assertIn("result: 2 the installer's payload is damaged", lines)

    def test_the_log_never_writes_through_what_was_placed_at_its_name(self):
        # The temporary folder may be one every user can write (SYSTEM's):
        # each run's log is a new file there with a name no one can guess,
        # so whatever was placed under the usual name stays as it was.
        victim = self.drive_d / "victim.txt"
        victim.write_text("someone else's")
        usual = self.temp / "NimboSetup.log"
        subprocess.run(["rm", "-rf", str(usual)], check=True)
        usual.symlink_to(victim)
        self.addCleanup(usual.unlink, missing_ok=True)
        code, _ = self.run_setup("/S", "/D=D:\\first")
        self.assertEqual(code, 0)
        first = self.new_default_log()
        self.assertRegex(first.name, r"^NimboSetup-[0-9a-f]{32}\.log$")
        self.assertEqual(self.logged(first)[1], "result: 0 installed")
        self.assertTrue(usual.is_symlink() and victim.read_text() == "someone else's", "the link is left alone")
        self.wine("reg", "delete", end_to_end.UNINSTALL_KEY, "/f", check=False)
        code, _ = self.run_setup("/S", "/D=D:\\second")
        self.assertEqual(code, 0)
        self.assertNotEqual(self.new_default_log(), first, "a run's log is its own")

        # A path the user names is refused when it is a link; the
        # installation goes on without a log.
        (self.drive_d / "logs").mkdir()
        (self.drive_d / "logs" / "setup.log").symlink_to(victim)
        (self.drive_d / "logs" / "dangling.log").symlink_to(self.drive_d / "made-through-a-link.log")
        for name in ("setup.log", "dangling.log"):
            self.wine("reg", "delete", end_to_end.UNINSTALL_KEY, "/f", check=False)
            code, _ = self.run_setup("/S", f"/LOG=D:\\logs\\{name}", f"/D=D:\\named-{name}")
            self.assertEqual(code, 0)
            self.assertTrue((self.drive_d / f"named-{name}" / "Nimbo.exe").exists())
        self.assertEqual(victim.read_text(), "someone else's")
        self.assertFalse((self.drive_d / "made-through-a-link.log").exists())

    def test_silent_launch_starts_nimbo_as_the_desktops_user(self):
        # The installer runs elevated; Nimbo is started by the desktop's
        # shell, which runs as the user, and the log says so.
        (self.drive_d / "logs").mkdir()
        code, _ = self.run_setup("/S", "/LAUNCH", "/LOG=D:\\logs\\launch.log", "/D=D:\\Launched")
        self.assertEqual(code, 0)
        deadline = time.monotonic() + 15
        while not self.started.exists():
            self.assertLess(time.monotonic(), deadline, "Nimbo.exe was not started")
            time.sleep(0.2)
        self.assertIn("[Run_With_AutoUpdate]", self.started.read_text(encoding="utf-8-sig"))
        lines = (self.drive_d / "logs" / "launch.log").read_text(encoding="utf-8").splitlines()
        self.assertIn("started: D:\\Launched\\Nimbo.exe [Run_With_AutoUpdate] (as the desktop's user, through its shell)",
                      lines)

    def test_silent_with_a_switch_it_does_not_know(self):
        code, shown = self.run_setup("/S", "/Q")
        self.assertEqual(code, 5, "bad command line")
        self.assertFalse(shown, "a silent run shows nothing, not even the error")
        self.assertEqual(self.registry_values(), {})


class FolderSwitch(end_to_end.ProgramTest):
    ARGUMENTS = ("/D=E:\\Other Place\\产品",)

    def setUp(self):
        super().setUp()
        # The show effect is over once the background is on screen.
        deadline = time.monotonic() + 10
        while not shows(self.shoot("folder-switch.png"), ASSETS / "background-1.jpg"):
            self.assertLess(time.monotonic(), deadline, "the window never showed its background")
            time.sleep(0.2)

    def test_the_path_box_offers_the_folder(self):
        self.assertEqual(self.copy_text_of(PATH_BOX), "E:\\Other Place\\产品")
        self.desktop.focus(self.window)
        self.desktop.key("alt+F4")
        self.assertEqual(wait_for_exit(self.process, timeout=30), 0, "closed before installing: 0")


class UnknownSwitch(unittest.TestCase):
    def test_is_reported_in_a_message_and_ends_with_its_code(self):
        desktop = Desktop(end_to_end.ARGS.build)
        process = desktop.start(end_to_end.ARGS.program, "/X")
        self.addCleanup(lambda: process.poll() is None and process.kill())
        box = desktop.find_window(TITLE, timeout=30)
        desktop.screenshot(pathlib.Path(end_to_end.ARGS.screenshots) / "unknown-switch.png", desktop.geometry(box))
        desktop.focus(box)
        desktop.key("Return")
        self.assertEqual(wait_for_exit(process, timeout=30), 5)


def main():
    end_to_end.run_tests(end_to_end.parse_arguments())


if __name__ == "__main__":
    main()
