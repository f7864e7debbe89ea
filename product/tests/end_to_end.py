#!/usr/bin/env python3
"""End-to-end test of the sample product under Wine: the payload unpacked
into a folder on drive D: as the installer would leave it, Nimbo.exe started
as the installer starts it, and uninstall.exe removing what the payload put
there and nothing else. Screenshots are saved in the folder given."""

import argparse
import pathlib
import re
import subprocess
import sys
import time
import unittest
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
HARNESS = ROOT / "harness"
sys.path.insert(0, str(HARNESS))
from desktop import Desktop, close_to, region_mean, wait_for_exit  # noqa: E402

ARGS = None
PRODUCT = "D:\\产品测试\\Nimbo 产品"
UNINSTALL_KEY = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbo"
NEIGHBOUR_KEY = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NimboHelper"
PENDING = "HKLM\\System\\CurrentControlSet\\Control\\Session Manager"
# Nimbo's window: 480 x 300, centred on the harness's 1920 x 1200 screen.
NIMBO_WINDOW = (720, 450, 480, 300)
NIMBO_BLUE = (40, 110, 190)
GREETING = (30, 70, 420, 50)      # window coordinates
COMMAND_LINE = (30, 130, 420, 40)
CLOSE_BUTTON = (448, 16)
BOX_TITLE = "Nimbo 卸载"
WAIT = 60  # seconds, the bound of every wait for a program


def run(*command, timeout=WAIT):
    return subprocess.run([str(c) for c in command], capture_output=True, timeout=timeout)


def wine(*arguments, timeout=WAIT):
    return run(HARNESS / "wine-run", ARGS.build, *arguments, timeout=timeout)


def wine_text(*arguments):
    return wine(*arguments).stdout.decode("utf-8", "replace").strip()


def unix_path(windows_path):
    return pathlib.Path(wine_text("winepath", "-u", windows_path))


def key_exists(key):
    return wine("reg", "query", key).returncode == 0


def white_pixels(shot, box):
    """How many pixels of the box (left, top, width, height) are white."""
    left, top, width, height = box
    raw = run("convert", shot, "-crop", f"{width}x{height}+{left}+{top}", "+repage", "-depth", "8", "rgb:-").stdout
    return sum(1 for i in range(0, len(raw), 3) if min(raw[i:i + 3]) > 220)


class Product(unittest.TestCase):
    """A fresh installation in D:\\产品测试\\Nimbo 产品 for each test, beside a
    folder that belongs to someone else."""

    @classmethod
    def setUpClass(cls):
        cls.build = pathlib.Path(ARGS.build).resolve()
        cls.shots = pathlib.Path(ARGS.screenshots)
        cls.shots.mkdir(parents=True, exist_ok=True)
        drive = cls.build / "drive-d"
        drive.mkdir(exist_ok=True)
        run(HARNESS / "map-drive", cls.build, "d", drive).check_returncode()
        cls.scratch = drive / "产品测试"
        cls.folder = cls.scratch / "Nimbo 产品"
        cls.temp = unix_path(wine_text("cmd", "/c", "echo", "%TEMP%"))
        cls.windows_desktop = wine_text("cmd", "/c", "echo", "%USERPROFILE%") + "\\Desktop"
        cls.desktop_folder = unix_path(cls.windows_desktop)
        with zipfile.ZipFile(ARGS.archive, metadata_encoding="cp936") as archive:
            cls.entries = [info.filename for info in archive.infolist()]

    def setUp(self):
        self.desktop = Desktop(self.build)
        self.started = []
        self.addCleanup(self.stop_programs)
        self.clear()
        self.addCleanup(self.clear)
        with zipfile.ZipFile(ARGS.archive, metadata_encoding="cp936") as archive:
            archive.extractall(self.folder)
        # The installation's record, as the installer leaves it.
        self.write_record(self.entries)
        self.neighbour = self.scratch / "旁边"
        self.neighbour.mkdir()
        (self.neighbour / "README.txt").write_text("not Nimbo's")
        (self.neighbour / "uninstall.exe").write_bytes(b"not Nimbo's either")
        self.copies_before = set(self.temp.glob("Nimbo-uninstall-*"))

    def clear(self):
        run("rm", "-rf", self.scratch)
        for link in ("Nimbo.lnk", "Nimbo Notes.lnk"):
            (self.desktop_folder / link).unlink(missing_ok=True)
        for key in (UNINSTALL_KEY, NEIGHBOUR_KEY):
            wine("reg", "delete", key, "/f")

    def start(self, program, *arguments):
        process = self.desktop.start(program, *arguments)
        self.started.append(process)
        return process

    def stop_programs(self):
        for process in self.started:
            if process.poll() is None:
                process.kill()
                process.wait(timeout=10)
        for copy in set(self.temp.glob("Nimbo-uninstall-*")) - self.copies_before:
            run("rm", "-rf", copy)

    # --- the installation

    def installed(self):
        """Every path under the product folder, as archive names."""
        found = []
        for path in self.folder.rglob("*"):
            name = path.relative_to(self.folder).as_posix()
            found.append(name + "/" if path.is_dir() else name)
        return sorted(found)

    def write_record(self, entries):
        lines = ["Nimbo installation record", *entries]
        (self.folder / "uninstall.list").write_bytes("".join(line + "\r\n" for line in lines).encode("utf-8"))

    def register(self):
        """The registry entries and desktop shortcuts as the installer leaves
        them, with neighbours that only look alike."""
        for key in (UNINSTALL_KEY, NEIGHBOUR_KEY):
            self.assertEqual(wine("reg", "add", key, "/v", "DisplayName", "/d", "Nimbo", "/f").returncode, 0)
        self.assertEqual(wine("reg", "add", UNINSTALL_KEY, "/v", "InstallLocation", "/d", PRODUCT + "\\",
                              "/f").returncode, 0)
        self.desktop_folder.mkdir(parents=True, exist_ok=True)
        shortcut = wine(ARGS.shortcut_maker, self.windows_desktop + "\\Nimbo.lnk", f"{PRODUCT}\\Nimbo.exe")
        self.assertEqual(shortcut.returncode, 0, "the shortcut could not be made")
        (self.desktop_folder / "Nimbo Notes.lnk").write_bytes(b"someone else's shortcut")

    # --- the uninstaller's temporary copy

    def new_copies(self):
        """The folders the uninstaller made for its temporary copy."""
        return set(self.temp.glob("Nimbo-uninstall-*")) - self.copies_before

    def copies_running(self):
        """Processes of this Wine prefix running a temporary copy."""
        prefix = f"WINEPREFIX={self.build / 'wine' / 'prefix'}".encode()
        result = run("pgrep", "-f", "Nimbo-uninstall-")
        running = []
        for pid in result.stdout.split():
            try:
                environment = pathlib.Path(f"/proc/{pid.decode()}/environ").read_bytes().split(b"\0")
            except OSError:
                continue  # already gone
            if prefix in environment:
                running.append(pid)
        return running

    def wait_for_copies(self):
        deadline = time.monotonic() + WAIT
        while self.copies_running():
            self.assertLess(time.monotonic(), deadline, "the uninstaller's temporary copy did not end")
            time.sleep(0.2)

    def uninstall_silently(self, expected=0, users=()):
        """Runs the silent uninstaller as a deployment tool does: once it has
        ended with the removal's code, the files (but the user's) and the key
        are gone."""
        looked = wine(ARGS.looker, PRODUCT, UNINSTALL_KEY.split("\\", 1)[1], f"{PRODUCT}\\uninstall.exe", "/S")
        lines = looked.stdout.decode("utf-8", "replace").splitlines()
        self.assertEqual(looked.returncode, 0, lines)
        self.assertEqual(lines[0], f"exit {expected}", "the first run ends with the removal's code")
        if expected == 0:
            # The first run's own file cannot be deleted while it runs: it is
            # moved out of the way, renamed, and goes a moment later.
            left = [line[5:].replace("\\", "/") for line in lines[2:]]
            left = [name for name in left if not re.fullmatch(r"~uninstall-[0-9a-f]{32}\.tmp", name)]
            self.assertFalse([name for name in left if name not in users],
                             "no file of the installation is left when the uninstaller has ended")
            self.assertEqual(lines[1], "key absent", "the key is gone when the uninstaller has ended")
        self.wait_for_copies()

    def assert_neighbours_untouched(self):
        self.assertEqual(sorted(p.name for p in self.neighbour.iterdir()), ["README.txt", "uninstall.exe"])
        self.assertEqual((self.neighbour / "README.txt").read_text(), "not Nimbo's")
        self.assertTrue(key_exists(NEIGHBOUR_KEY))
        self.assertTrue((self.desktop_folder / "Nimbo Notes.lnk").exists())


class NimboProgram(Product):
    def record(self):
        return (self.temp / "Nimbo-started.txt").read_bytes().decode("utf-8")

    def test_nimbo_shows_its_window_records_its_command_line_and_closes(self):
        (self.temp / "Nimbo-started.txt").unlink(missing_ok=True)
        process = self.start(f"{PRODUCT}\\Nimbo.exe", "[Run_With_AutoUpdate]")
        window = self.desktop.find_window("Nimbo")
        self.assertEqual(self.desktop.geometry(window), NIMBO_WINDOW)
        # The record is written before the window is made.
        self.assertEqual(self.record(), f'"{PRODUCT}\\Nimbo.exe" [Run_With_AutoUpdate]\r\n')

        # Blue body, white greeting and command line (drawn once the window shows).
        left, top, width, height = NIMBO_WINDOW
        deadline = time.monotonic() + 10
        while True:
            shot = self.desktop.screenshot(self.shots / "nimbo-window.png", NIMBO_WINDOW)
            if close_to(region_mean(shot, (100, 240, 280, 40)), NIMBO_BLUE, 6) and white_pixels(shot, GREETING) > 100:
                break
            self.assertLess(time.monotonic(), deadline, f"Nimbo's window did not show its body; see {shot}")
            time.sleep(0.2)
        self.assertGreater(white_pixels(shot, COMMAND_LINE), 100, "the command line is shown")

        self.desktop.focus(window)
        self.desktop.key("alt+F4")
        self.assertEqual(wait_for_exit(process, WAIT), 0)

        # Started again without arguments, it replaces the record; the close
        # button ends it too.
        process = self.start(f"{PRODUCT}\\Nimbo.exe")
        window = self.desktop.find_window("Nimbo")
        self.assertEqual(self.record(), f'"{PRODUCT}\\Nimbo.exe"\r\n')
        self.desktop.move_mouse(left + CLOSE_BUTTON[0], top + CLOSE_BUTTON[1])
        self.desktop.x("xdotool", "click", "1")
        self.assertEqual(wait_for_exit(process, WAIT), 0)
        self.assertEqual(self.installed(), sorted([*self.entries, "uninstall.list"]),
                         "Nimbo writes nothing into its own folder")


class Uninstaller(Product):
    def assert_removed_but(self, kept):
        self.assertEqual(self.installed(), sorted(kept))
        self.assertFalse(key_exists(UNINSTALL_KEY), "the uninstall entry is gone")
        self.assertFalse((self.desktop_folder / "Nimbo.lnk").exists(), "the desktop shortcut is gone")
        self.assert_neighbours_untouched()

    def test_silent_uninstall_removes_exactly_the_payload(self):
        self.register()
        (self.folder / "config" / "我的设置.ini").write_text("mine")
        self.uninstall_silently(users=["config/我的设置.ini"])
        self.assert_removed_but(["config/", "config/我的设置.ini"])
        self.assertTrue(self.folder.is_dir(), "the product folder itself stays")
        self.assertEqual((self.folder / "config" / "我的设置.ini").read_text(), "mine")

        # The temporary copy, in a folder of its own with a name no one can
        # guess, leaves itself and the folder to the next restart.
        copies = self.new_copies()
        self.assertEqual(len(copies), 1)
        copy = next(iter(copies))
        self.assertRegex(copy.name, r"^Nimbo-uninstall-[0-9a-f]{32}$")
        self.assertEqual([path.name for path in copy.iterdir()], ["uninstall.exe"])
        pending = wine_text("reg", "query", PENDING, "/v", "PendingFileRenameOperations")
        self.assertIn(copy.name + "\\uninstall.exe", pending)

    def test_a_running_nimbo_is_closed_before_the_removal(self):
        self.register()
        nimbo = self.start(f"{PRODUCT}\\Nimbo.exe")
        self.desktop.find_window("Nimbo")
        self.uninstall_silently()
        self.assertEqual(wait_for_exit(nimbo, WAIT), 0, "Nimbo was closed as its user closes it")
        self.assert_removed_but([])

    def test_a_nimbo_that_will_not_close_keeps_everything(self):
        self.register()
        (self.folder / "Nimbo.exe").write_bytes(pathlib.Path(ARGS.stubborn_nimbo).read_bytes())
        nimbo = self.start(f"{PRODUCT}\\Nimbo.exe")
        self.desktop.find_window("Nimbo")
        before = self.installed()
        self.uninstall_silently(expected=14)
        self.assertIsNone(nimbo.poll(), "it still runs")
        self.assertEqual(self.installed(), before, "nothing removed")
        self.assertTrue(key_exists(UNINSTALL_KEY))
        self.assertTrue((self.desktop_folder / "Nimbo.lnk").exists())

    def test_a_removal_that_fails_at_the_shortcut_can_be_run_again_from_the_list(self):
        self.register()
        marker = self.scratch / "held.txt"
        holder = subprocess.Popen([str(HARNESS / "wine-run"), ARGS.build, ARGS.holder,
                                   self.windows_desktop + "\\Nimbo.lnk", "D:\\产品测试\\held.txt"],
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: holder.poll() is not None or (holder.kill(), holder.wait(timeout=10)))
        deadline = time.monotonic() + WAIT
        while not marker.exists():
            self.assertLess(time.monotonic(), deadline, "the shortcut was not held")
            time.sleep(0.1)
        self.uninstall_silently(expected=4)
        # The payload is gone, but the entry, the uninstaller it runs and
        # the record it reads are all still there.
        self.assertEqual(self.installed(), ["uninstall.exe", "uninstall.list"])
        self.assertTrue(key_exists(UNINSTALL_KEY))
        holder.kill()
        holder.wait(timeout=10)
        marker.unlink()
        self.uninstall_silently()
        self.assert_removed_but([])

    def answer(self, key, shot):
        box = self.desktop.find_window(BOX_TITLE)
        self.desktop.screenshot(self.shots / shot, self.desktop.geometry(box))
        self.desktop.focus(box)
        self.desktop.key(key)

    def test_the_uninstaller_asks_first_and_reports_when_done(self):
        self.register()
        process = self.start(f"{PRODUCT}\\uninstall.exe")
        self.answer("n", "uninstall-confirm.png")
        self.assertEqual(wait_for_exit(process, WAIT), 1, "No cancels")
        self.assertEqual(self.installed(), sorted([*self.entries, "uninstall.list"]))
        self.assertTrue(key_exists(UNINSTALL_KEY))
        self.assertFalse(self.new_copies(), "no copy was made")

        process = self.start(f"{PRODUCT}\\uninstall.exe")
        self.answer("y", "uninstall-confirm-again.png")
        self.assertEqual(wait_for_exit(process, WAIT), 0)
        # The copy's report; it ends when the report is closed.
        self.answer("Return", "uninstall-done.png")
        self.wait_for_copies()
        self.assert_removed_but([])

    def test_the_installations_record_decides_what_is_removed(self):
        # An installation of another payload: it wrote extra/ and extra/插件.dll,
        # and no README.txt (so the one there now is the user's).
        self.register()
        (self.folder / "extra").mkdir()
        (self.folder / "extra" / "插件.dll").write_bytes(b"recorded")
        self.write_record([*(entry for entry in self.entries if entry != "README.txt"), "extra/", "extra/插件.dll"])
        self.uninstall_silently(users=["README.txt"])
        self.assert_removed_but(["README.txt"])

    def test_a_record_that_leads_out_of_the_folder_removes_nothing(self):
        self.register()
        for entries in (["Nimbo.exe", "../旁边/README.txt"], ["Nimbo.exe", "C:/windows/"], []):
            with self.subTest(entries=entries):
                self.write_record(entries)
                self.assertEqual(wine(f"{PRODUCT}\\uninstall.exe", "/S").returncode, 2)
                self.assertEqual(self.installed(), sorted([*self.entries, "uninstall.list"]))
        (self.folder / "uninstall.list").write_bytes("Nimbo installation record\r\n说明.txt\r\n".encode("cp936"))
        self.assertEqual(wine(f"{PRODUCT}\\uninstall.exe", "/S").returncode, 2, "not UTF-8: not a record")
        self.assertFalse(self.new_copies(), "no copy was made")
        self.assert_neighbours_untouched()
        self.assertTrue(key_exists(UNINSTALL_KEY))

    def test_a_link_inside_the_folder_is_not_followed(self):
        # config/ replaced by a link to a folder outside that holds files of
        # the same names; Wine shows the link as a folder.
        self.register()
        outside = self.scratch / "外面"
        outside.mkdir()
        for name in ("settings.ini", "servers.ini"):
            (outside / name).write_text("someone else's")
        run("rm", "-rf", self.folder / "config")
        (self.folder / "config").symlink_to(outside, target_is_directory=True)
        self.uninstall_silently()
        self.assertEqual(sorted(path.name for path in outside.iterdir()), ["servers.ini", "settings.ini"])
        self.assertTrue((self.folder / "config").is_symlink(), "the link itself stays")
        self.assert_neighbours_untouched()

    def test_a_product_folder_that_is_a_link_to_a_folder_of_its_name_keeps_everything(self):
        # The product folder is a link to another folder of the same last
        # name, which holds an installation of its own.
        self.register()
        elsewhere = self.scratch / "别处"
        elsewhere.mkdir()
        self.folder.rename(elsewhere / self.folder.name)
        self.folder.symlink_to(elsewhere / self.folder.name, target_is_directory=True)
        before = sorted(path.relative_to(elsewhere).as_posix() for path in elsewhere.rglob("*"))
        self.assertEqual(wine(f"{PRODUCT}\\uninstall.exe", "/S").returncode, 4)
        self.wait_for_copies()
        self.assertEqual(sorted(path.relative_to(elsewhere).as_posix() for path in elsewhere.rglob("*")), before,
                         "nothing behind the link is removed")
        self.assertTrue(key_exists(UNINSTALL_KEY))

    def test_an_uninstaller_at_the_top_of_a_drive_refuses(self):
        drive = self.scratch.parent
        placed = [drive / "uninstall.exe", drive / "README.txt"]
        self.addCleanup(lambda: [path.unlink(missing_ok=True) for path in placed])
        placed[0].write_bytes((self.folder / "uninstall.exe").read_bytes())
        placed[1].write_text("the drive's own")
        result = wine("D:\\uninstall.exe", "/S")
        self.assertEqual(result.returncode, 2)
        self.assertTrue(all(path.exists() for path in placed))
        self.assertFalse(self.new_copies(), "no copy was made")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--archive", required=True)
    parser.add_argument("--screenshots", required=True)
    parser.add_argument("--looker", required=True, help="run_then_look.exe")
    parser.add_argument("--shortcut-maker", required=True, help="make_shortcut.exe")
    parser.add_argument("--holder", required=True, help="hold_file_open.exe")
    parser.add_argument("--stubborn-nimbo", required=True, help="a Nimbo that ignores WM_CLOSE")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
