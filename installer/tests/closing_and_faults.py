#!/usr/bin/env python3
"""End-to-end tests of Nimbo Setup closed at any moment and installing into
places that fail: the real program under Wine on the harness's virtual
display. Whatever happens, the program must not crash or hang, must end
with the exit code of what happened when the user closes it (0 before an
installation, the failure's code after a failed one, 6 when closed before
it finished), and must register, start and put on the desktop nothing that
was not fully installed.

An installation is all or nothing: one that fails, or is closed before the
product is registered (while the progress bar runs), leaves drive D: and
the product's registry key exactly as they were, byte for byte; closed
during the completion line, the product is installed and registered and
gets its shortcut, but is not started."""

import pathlib
import shutil
import subprocess
import sys
import time
import zipfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import end_to_end  # noqa: E402
from end_to_end import (ASSETS, INSTALL_BUTTON, PROGRESS_BAR, TOLERANCE, ProgramTest, ROOT,  # noqa: E402
                        close_to, expected_patch, region_mean, running, shows, wait_for_exit)

PATH_BOX = (20, 422, 200, 27)
STATUS_BOX = (100, 270, 620, 172)
CLOSE_BUTTON = (825 - 51, 7, 39, 19)
# The start of the status box's second line, where the result appears.
RESULT_TEXT = (STATUS_BOX[0], STATUS_BOX[1] + 18, 100, 18)
# Patches of the background clear of the progress bar and the status box.
BACKGROUND_PATCHES = [(40, 60, 40, 40), (300, 120, 60, 40)]
EXIT_BOUND = 30  # seconds for the process to end after a close


class Closing(ProgramTest):
    """The start window closed while something is going on."""

    def wait_until(self, condition, what, timeout=10):
        deadline = time.monotonic() + timeout
        while not condition():
            self.assertLess(time.monotonic(), deadline, what)
            time.sleep(0.05)

    def assert_ends(self):
        self.assertEqual(wait_for_exit(self.process, timeout=EXIT_BOUND), 0, "ends with exit code 0")

    def test_alt_f4_during_the_show_effect(self):
        # The window is found as it is shown: the effect runs for about
        # 300 ms from there.
        self.desktop.focus(self.window)
        self.desktop.key("alt+F4")
        self.assert_ends()

    def test_escape_before_installing(self):
        self.wait_until(lambda: shows(self.shoot("escape-before.png"), ASSETS / "background-1.jpg"), "shown")
        self.desktop.focus(self.window)
        self.desktop.key("Escape")
        self.assert_ends()

    def test_close_button_during_a_background_cross_fade(self):
        first = ASSETS / "background-1.jpg"
        self.wait_until(lambda: shows(self.shoot("fade-before.png"), first), "background 1 shown")
        # The fade starts five seconds after the launch and lasts 250 ms:
        # the close goes in as soon as background 1 is left.
        self.wait_until(lambda: not shows(self.shoot("fade-during.png"), first), "the fade began", timeout=15)
        self.desktop.click(*self.centre(CLOSE_BUTTON))
        self.assert_ends()

    def test_alt_f4_with_the_context_menu_open(self):
        self.wait_until(lambda: shows(self.shoot("menu-before.png"), ASSETS / "background-1.jpg"), "shown")
        # The menu opens below the pointer, partly outside the window.
        under = self.on_screen((PATH_BOX[0] + 100, PATH_BOX[1] + 30, 60, 40))
        before = region_mean(self.shoot("menu-closed.png", under), (0, 0, 60, 40))
        self.desktop.click(*self.centre(PATH_BOX), button=3)
        self.wait_until(lambda: region_mean(self.shoot("menu-open.png", under), (0, 0, 60, 40)) != before,
                        "the menu opened")
        # The first Alt+F4 may only close the menu; a second closes the window.
        self.desktop.key("alt+F4")
        if wait_for_exit(self.process, timeout=5) is None:
            self.desktop.focus(self.window)
            self.desktop.key("alt+F4")
        self.assert_ends()


class InstallingTest(end_to_end.InstallationTest):
    """Helpers for an installation that is watched as it goes."""

    def result_line_shown(self):
        # Compared with the background the window shows, not with an earlier
        # screenshot: a background fade under way when the installation
        # began finishes after it.
        shot = self.shoot("closing-status.png")
        for image in (ASSETS / "background-1.jpg", ASSETS / "background-2.jpg"):
            if all(close_to(region_mean(shot, patch), expected_patch(image, patch), TOLERANCE)
                   for patch in BACKGROUND_PATCHES):
                # Without text the line matches its background within 1.
                return not close_to(region_mean(shot, RESULT_TEXT), expected_patch(image, RESULT_TEXT), 6)
        return False  # mid-fade

    def drive_contents(self):
        """Every folder and file on drive D:, with the bytes of each file."""
        return {str(path.relative_to(self.drive_d)): None if path.is_dir() else path.read_bytes()
                for path in self.drive_d.rglob("*")}

    def assert_not_started(self):
        self.assertFalse(self.started.exists(), "the product was not started")
        self.assertEqual(running("Nimbo.exe"), [], "the product does not run")

    def start_installation(self):
        self.click_install()
        deadline = time.monotonic() + 10
        while True:
            shot = self.shoot("closing-progress.png")
            bar = region_mean(shot, (PROGRESS_BAR[0] + 2, PROGRESS_BAR[1] + 5, 30, 10))
            if bar[2] > bar[0] + 60:
                break
            self.assertLess(time.monotonic(), deadline, f"no progress bar: {bar}")
            time.sleep(0.05)


class DuringInstallation(InstallingTest):
    """An installation into D:\\Nimbo\\, closed before it finished."""

    def test_close_during_the_completion_line(self):
        self.start_installation()
        deadline = time.monotonic() + 15
        while not self.result_line_shown():
            self.assertLess(time.monotonic(), deadline, "no completion line")
            time.sleep(0.05)
        self.desktop.focus(self.window)
        self.desktop.key("alt+F4")
        self.assertEqual(wait_for_exit(self.process, timeout=EXIT_BOUND), 0)
        self.assertEqual(self.registry_values().get("DisplayName"), "Nimbo", "registered")
        self.assertTrue(self.desktop_lnk.exists(), "the shortcut of the installed product")
        self.assert_not_started()


class DuringALongerInstallation(InstallingTest):
    """Closed while the bar moves: an installer carrying 40 MB more in 400
    files, made for the test from the one tested, so that its bar moves for
    seconds on any machine, not the sample's one second."""

    @classmethod
    def setUpClass(cls):
        work = pathlib.Path(end_to_end.ARGS.build).resolve() / "longer-payload"
        archive, program = work / "Nimbo.zip", work / "NimboSetup.exe"
        work.mkdir(exist_ok=True)
        subprocess.run([sys.executable, str(ROOT / "tools" / "generate-payload.py"), end_to_end.ARGS.payload, "40",
                        "400", str(work / "product"), str(archive), "1"], check=True, timeout=300)
        shutil.copyfile(end_to_end.ARGS.program, program)
        subprocess.run([sys.executable, str(ROOT / "tools" / "attach-payload.py"), str(program), str(archive)],
                       check=True, timeout=120)
        cls.PROGRAM = str(program)

    def wait_for_the_first_file(self, folder, known):
        """Waits (polling the folder itself, not the screen) until a name
        the installation writes appears beside the `known` ones."""
        deadline = time.monotonic() + 30
        while not any(path.name not in known and not path.name.startswith(".nimbo-") for path in folder.iterdir()):
            self.assertLess(time.monotonic(), deadline, "no file of the payload was written")
            time.sleep(0.002)

    def test_close_during_the_progress(self):
        # An earlier installation is there: its key, and a file of the
        # target that the payload replaces. Both are as they were after.
        for name, value in (("DisplayName", "Nimbo"), ("DisplayVersion", "1.0.7")):
            self.wine("reg", "add", end_to_end.UNINSTALL_KEY, "/v", name, "/d", value, "/f")
        earlier = self.registry_values()
        self.assertEqual(earlier, {"DisplayName": "Nimbo", "DisplayVersion": "1.0.7"})
        self.addCleanup(self.wine, "reg", "delete", end_to_end.UNINSTALL_KEY, "/f", check=False)
        (self.drive_d / "Nimbo").mkdir()
        (self.drive_d / "Nimbo" / "README.txt").write_bytes(b"the README of version 1.0.7\r\n")
        before = self.drive_contents()
        # The installation is committed only once the bar shows its end:
        # the bar takes at least a second from the click, and stays short
        # of its end until the last file is written. The close goes in as
        # soon as the first file of the payload is there, so that it finds
        # files to take back on any machine, however fast.
        self.desktop.focus(self.window)
        self.click_install()
        self.wait_for_the_first_file(self.drive_d / "Nimbo", known={"README.txt"})
        self.desktop.key("alt+F4")
        self.assertEqual(wait_for_exit(self.process, timeout=EXIT_BOUND), 6, "closed before it finished")
        self.assertEqual(self.registry_values(), earlier, "the earlier key is kept as it was")
        self.assert_not_started()
        self.assertFalse(self.desktop_lnk.exists(), "no shortcut")
        self.assertEqual(self.drive_contents(), before, "what was written is taken back, what was replaced put back")


class Faults(InstallingTest):
    """Installations that fail: each ends with the failure line, nothing
    registered, started or put on the desktop, the window open; closing it
    ends the program with the failure's exit code."""

    def setUp(self):
        self.mounted = None
        self.holder = None
        super().setUp()

    def tearDown(self):
        if self.holder is not None and self.holder.poll() is None:
            self.holder.kill()
            self.holder.wait(timeout=10)
        if self.mounted is not None:
            if subprocess.run(["umount", str(self.mounted)], capture_output=True).returncode != 0:
                subprocess.run(["umount", "-l", str(self.mounted)], check=False)

    def mount_tmpfs(self, where, options):
        """A small filesystem of its own at the folder; the test is skipped
        where mounting is not allowed."""
        where.mkdir(parents=True, exist_ok=True)
        result = subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", str(where)], capture_output=True)
        if result.returncode != 0:
            self.skipTest(f"cannot mount a tmpfs here: {result.stderr.decode(errors='replace').strip()}")
        self.mounted = where

    def type_folder(self, folder):
        self.paste_into(PATH_BOX, folder)

    def status_text(self):
        return self.copy_text_of(STATUS_BOX, starts="正在安装")

    def install_and_fail(self, reason, folder, code):
        before = self.drive_contents()
        self.click_install()
        deadline = time.monotonic() + 20
        while True:
            text = self.status_text()
            if "\n" in text:
                break
            self.assertLess(time.monotonic(), deadline, "no result line")
            time.sleep(0.2)
        self.shoot(f"{self._testMethodName}.png")
        self.assertEqual(text, f"正在安装\n安装失败：{reason}{folder}\n未安装任何内容。")
        self.assertEqual(self.drive_contents(), before, "drive D: is as it was, byte for byte")
        self.assertIsNone(self.process.poll(), "the window stays open")
        self.assertEqual(self.registry_values(), {}, "nothing registered")
        self.assertFalse(self.started.exists(), "nothing started")
        self.desktop.focus(self.window)
        self.desktop.key("alt+F4")
        self.assertEqual(wait_for_exit(self.process, timeout=EXIT_BOUND), code, "closing ends it with the failure's code")
        self.assertFalse(self.desktop_lnk.exists(), "no shortcut")
        self.assertEqual((self.drive_d / "Keep" / "mine.txt").read_text(), "mine", "nothing else touched")

    def test_target_whose_parent_is_a_file(self):
        (self.drive_d / "taken").write_text("a file")
        self.type_folder("D:\\taken\\Nimbo")
        self.install_and_fail("无法创建文件夹 ", "D:\\taken\\Nimbo\\", 1)
        self.assertEqual((self.drive_d / "taken").read_text(), "a file")

    def payload_bytes(self):
        return sum(entry.file_size for entry in zipfile.ZipFile(end_to_end.ARGS.payload).infolist())

    # The small disks are mounted above the target: the target itself may
    # not be a mount point (that is refused as one, like a link).
    def test_disk_too_small_for_the_payload(self):
        # Refused before anything is written.
        self.mount_tmpfs(self.drive_d / "Small", f"size={self.payload_bytes() // 2048}k")
        self.type_folder("D:\\Small\\Nimbo")
        self.install_and_fail("磁盘空间不足，无法安装到 ", "D:\\Small\\Nimbo\\", 12)

    def test_disk_that_runs_full_during_the_extraction(self):
        # Room for the payload's bytes, but not for the pages its files
        # take: the disk runs full near the end, and everything is taken back.
        self.mount_tmpfs(self.drive_d / "Full", f"size={self.payload_bytes() // 1024 + 24}k")
        self.type_folder("D:\\Full\\Nimbo")
        self.install_and_fail("无法解压到 ", "D:\\Full\\Nimbo\\", 3)

    def test_read_only_target_folder(self):
        self.mount_tmpfs(self.drive_d / "ReadOnly", "ro,size=4m")
        self.type_folder("D:\\ReadOnly\\Nimbo")
        self.install_and_fail("无法创建文件夹 ", "D:\\ReadOnly\\Nimbo\\", 1)

    def test_target_that_is_a_mount_point(self):
        self.mount_tmpfs(self.drive_d / "Nimbo", "size=4m")
        self.install_and_fail("安装位置中有链接，未写入：", "D:\\Nimbo", 11)

    def test_link_planted_in_an_existing_target(self):
        # Anyone may make the folder before the administrator installs, with
        # a link in it (made here on the Unix side) to a folder elsewhere.
        outside = self.drive_d / "Outside"
        outside.mkdir()
        (outside / "theirs.ini").write_text("not the installer's")
        (self.drive_d / "Nimbo").mkdir()
        (self.drive_d / "Nimbo" / "config").symlink_to(outside, target_is_directory=True)
        self.install_and_fail("安装位置中有链接，未写入：", "D:\\Nimbo\\config", 11)
        self.assertEqual([path.name for path in outside.iterdir()], ["theirs.ini"], "nothing written through it")

    def test_target_file_held_open_by_another_program(self):
        (self.drive_d / "Nimbo").mkdir()
        marker = self.drive_d / "held.txt"
        self.holder = subprocess.Popen([str(ROOT / "harness" / "wine-run"), end_to_end.ARGS.build,
                                        end_to_end.ARGS.holder, "D:\\Nimbo\\Nimbo.exe", "D:\\held.txt"],
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while not marker.exists():
            self.assertLess(time.monotonic(), deadline, "the file was not held")
            time.sleep(0.1)
        self.install_and_fail("无法解压到 ", "D:\\Nimbo\\", 3)

    def test_registry_key_not_writable(self):
        # The Uninstall key is replaced by an empty volatile one, inside
        # which Windows makes no lasting key; it is put back after.
        parent = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
        backup = self.temp / "nimbo-uninstall-backup.reg"
        backup.unlink(missing_ok=True)
        self.wine("reg", "export", "HKLM\\" + parent, self.windows_temp(backup.name), "/y", check=False)
        helper = end_to_end.ARGS.registry_helper

        def restore():
            self.wine(helper, "remove", parent)
            if backup.exists():
                self.wine("reg", "import", self.windows_temp(backup.name))
                backup.unlink()
        self.addCleanup(restore)
        self.wine(helper, "make", parent)  # fails unless the registry then refuses the product's key
        self.install_and_fail("无法登记程序，未安装到 ", "D:\\Nimbo\\", 4)


def main():
    end_to_end.run_tests(end_to_end.parse_arguments(("--holder", "hold_file_open.exe"),
                                                    ("--registry-helper", "volatile_registry_key.exe")))


if __name__ == "__main__":
    main()
