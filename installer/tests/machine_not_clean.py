#!/usr/bin/env python3
"""End-to-end tests of Nimbo Setup and its uninstaller on a machine that is
not clean: a target folder someone else made, the program's file replaced
after it started, two installers at once, an installation and a removal at
once, an uninstaller copied elsewhere, a shortcut or a product folder that
is a link. Wine keeps no file security of its own: it shows a folder's Unix
mode bits as its access list (mode 777: Everyone may change it), which is
how a test makes a folder others may write."""

import os
import pathlib
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import command_line  # noqa: E402
import end_to_end  # noqa: E402
from end_to_end import ASSETS, INSTALL_BUTTON, ROOT, TITLE, payload_entries, shows, wait_for_exit  # noqa: E402

STATUS_BOX = (100, 270, 620, 172)
WAIT = 60  # seconds, the bound of every wait for a program
# Rights in an access entry that change a folder or what it holds: add a
# file or folder, write extended attributes or attributes, delete a child or
# the folder, change its permissions or owner, and the generic ones.
CHANGE_RIGHTS = 0x2 | 0x4 | 0x10 | 0x40 | 0x100 | 0x10000 | 0x40000 | 0x80000 | 0x10000000 | 0x40000000
RIGHT_LETTERS = {"FA": 0x1F01FF, "GA": 0x10000000, "GW": 0x40000000, "FW": 0x120116, "SD": 0x10000, "WD": 0x40000,
                 "WO": 0x80000, "FR": 0x120089, "FX": 0x1200A0, "GR": 0x80000000, "GX": 0x20000000, "RC": 0x20000}
# Administrators and SYSTEM; the installing account is the owner Wine
# reports for what its processes make.
TRUSTED = {"BA", "SY", "S-1-5-32-544", "S-1-5-18"}


class MachineNotClean(command_line.SilentRuns):
    def windows(self, *command):
        """Runs a program of the Wine session to its end; its exit code."""
        process = subprocess.Popen([str(ROOT / "harness" / "wine-run"), end_to_end.ARGS.build, *map(str, command)],
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        code = wait_for_exit(process, timeout=WAIT)
        if code is None:
            process.kill()
            self.fail(f"{command[0]} did not end within {WAIT} s")
        return code

    def install_silently(self, folder="D:\\Nimbo", log="setup.log"):
        (self.drive_d / "logs").mkdir(exist_ok=True)
        folder_switch = [] if folder is None else [f"/D={folder}"]
        code, shown = self.run_setup("/S", f"/LOG=D:\\logs\\{log}", *folder_switch)
        self.assertFalse(shown)
        return code, (self.drive_d / "logs" / log).read_text(encoding="utf-8").splitlines()

    def tree(self, folder):
        """Every path below the folder with its bytes (None for a folder)."""
        return {str(path.relative_to(folder)): (None if path.is_dir() else path.read_bytes())
                for path in folder.rglob("*")}

    def assert_installed(self, folder):
        for name, data in payload_entries(end_to_end.ARGS.payload):
            if data is None:
                self.assertTrue((folder / name).is_dir(), name)
            else:
                self.assertEqual((folder / name).read_bytes(), data, name)

    def security_of(self, windows_path):
        result = subprocess.run([str(ROOT / "harness" / "wine-run"), end_to_end.ARGS.build,
                                 end_to_end.ARGS.security_reader, windows_path], capture_output=True, timeout=WAIT)
        self.assertEqual(result.returncode, 0, f"the security of {windows_path} cannot be read")
        return result.stdout.decode("utf-8", "replace").strip()

    def assert_protected(self, windows_path):
        """No one but Administrators, SYSTEM and the installing account may
        change the folder, as its descriptor reads back. Windows gives it the
        installation's own descriptor; Wine keeps a folder's access as its
        Unix mode bits, and shows what is left of it."""
        sddl = self.security_of(windows_path)
        owner = re.match(r"O:([^D]+)D:", sddl)
        self.assertIsNotNone(owner, sddl)
        trusted = TRUSTED | {owner.group(1)} if owner.group(1).startswith("S-1-5-21-") else TRUSTED
        self.assertIn(owner.group(1), trusted, f"the owner: {sddl}")
        for flags, rights, trustee in re.findall(r"\(A;([^;]*);([^;]*);;;([^)]*)\)", sddl):
            if "IO" in flags or trustee in trusted:
                continue
            mask = int(rights, 16) if rights.startswith("0x") else sum(RIGHT_LETTERS.get(rights[i:i + 2], 0)
                                                                       for i in range(0, len(rights), 2))
            self.assertFalse(mask & CHANGE_RIGHTS, f"{trustee} may change it: {sddl}")

    def wait_until_none_runs(self, pattern):
        """Waits (bounded) until no process's command line holds the pattern."""
        deadline = time.monotonic() + WAIT
        while subprocess.run(["pgrep", "-f", pattern], capture_output=True).returncode == 0:
            self.assertLess(time.monotonic(), deadline, f"a process of {pattern} did not end")
            time.sleep(0.1)

    def end_launched_nimbo(self):
        """A finished installation with the window starts Nimbo through the
        desktop's shell, a moment after the installer has ended: its window
        is waited for and the program ended, so that it does not run on
        into the next test (where an installation would find it running)."""
        window = self.desktop.find_window("Nimbo", timeout=WAIT)
        subprocess.run(["pkill", "-f", "Nimbo.exe"], check=False)
        deadline = time.monotonic() + WAIT
        while window in self.desktop.x("xdotool", "search", "--onlyvisible", "--name", "^Nimbo$", check=False).split():
            self.assertLess(time.monotonic(), deadline, "Nimbo did not end")
            time.sleep(0.1)

    def start_window(self, program):
        self.process = self.desktop.start(program)
        self.addCleanup(self.stop)
        self.window = self.desktop.find_window(TITLE)
        self.left, self.top, _, _ = self.desktop.geometry(self.window)
        self.wait_for_start_window()

    def wait_for_start_window(self):
        """The window takes clicks once its show effect is over, which is
        when its background is on the screen."""
        deadline = time.monotonic() + 30
        while not shows(self.shoot("machine-start.png"), ASSETS / "background-1.jpg"):
            self.assertLess(time.monotonic(), deadline, "the window never showed its background")
            time.sleep(0.2)

class TargetFolders(MachineNotClean):
    def test_a_folder_others_may_change_is_refused_before_anything_is_written(self):
        target = self.drive_d / "Nimbo"
        target.mkdir()
        (target / "theirs.txt").write_text("a standard user's")
        target.chmod(0o777)
        before = self.tree(target)
        code, lines = self.install_silently()
        self.assertEqual(code, 13)
        self.assertEqual(self.tree(target), before, "nothing written")
        self.assertTrue([line for line in lines if line.startswith("refused: D:\\Nimbo holds files")], lines)
        self.assertEqual(lines[-2], "result: 13 others may change the folder")
        self.assertEqual(self.registry_values(), {})
        self.assertFalse(self.desktop_lnk.exists())

    def test_an_empty_folder_is_taken_over(self):
        target = self.drive_d / "Nimbo"
        target.mkdir()
        target.chmod(0o777)
        code, lines = self.install_silently()
        self.assertEqual(code, 0)
        self.assertIn("target: an empty folder, taken over", lines)
        self.assert_protected("D:\\Nimbo")
        self.assert_installed(target)

    def test_an_earlier_installations_folder_is_taken_over_and_installed_over(self):
        target = self.drive_d / "Nimbo"
        self.assertEqual(self.install_silently(log="first.log")[0], 0)
        (target / "mine.txt").write_text("the user's")
        target.chmod(0o777)
        # The same folder without the earlier installation's key is no
        # earlier installation: refused.
        values = self.registry_values()
        self.wine("reg", "delete", end_to_end.UNINSTALL_KEY, "/f")
        self.assertEqual(self.install_silently(log="unregistered.log")[0], 13)
        self.wine("reg", "add", end_to_end.UNINSTALL_KEY, "/v", "InstallLocation", "/d", values["InstallLocation"], "/f")

        code, lines = self.install_silently(log="again.log")
        self.assertEqual(code, 0)
        self.assertTrue([line for line in lines if line.startswith("target: an earlier installation's folder")], lines)
        self.assert_protected("D:\\Nimbo")
        self.assert_installed(target)
        self.assertEqual((target / "mine.txt").read_text(), "the user's")

    def test_a_dangling_link_in_the_target_is_a_link(self):
        target = self.drive_d / "Nimbo"
        target.mkdir()
        (target / "Nimbo.exe").symlink_to(self.drive_d / "nowhere" / "Nimbo.exe")
        code, lines = self.install_silently()
        self.assertEqual(code, 11)
        self.assertIn("a link, junction or mount point stands at D:\\Nimbo\\Nimbo.exe: not written through", lines)
        self.assertEqual(sorted(path.name for path in target.iterdir()), ["Nimbo.exe"])
        self.assertFalse((self.drive_d / "nowhere").exists())


class PinnedPayload(MachineNotClean):
    def copies(self):
        """The installer in a Downloads folder of drive D:, and a copy of it
        of the same size whose payload differs in one byte."""
        image = pathlib.Path(end_to_end.ARGS.program).read_bytes()
        start = image.index(b"PK\x03\x04", command_line.attach_payload.end_of_sections(image))
        changed = bytearray(image)
        changed[start + 10] ^= 0x01
        downloads = self.drive_d / "Downloads"
        downloads.mkdir()
        (downloads / "NimboSetup.exe").write_bytes(image)
        (downloads / "changed.exe").write_bytes(bytes(changed))
        return downloads

    def test_the_file_swapped_after_start_changes_nothing_that_is_installed(self):
        downloads = self.copies()
        self.start_window(downloads / "NimboSetup.exe")
        # Another process of the user renames the running program and puts a
        # file of the same size with another payload under its name.
        os.rename(downloads / "NimboSetup.exe", downloads / "renamed.exe")
        os.rename(downloads / "changed.exe", downloads / "NimboSetup.exe")
        self.click_install()
        self.assertEqual(wait_for_exit(self.process, timeout=WAIT), 0)
        self.assert_installed(self.drive_d / "Nimbo")

    def test_a_damaged_payload_is_known_at_the_click_and_nothing_is_written(self):
        downloads = self.copies()
        self.start_window(downloads / "changed.exe")
        before = self.tree(self.drive_d)
        self.click_install()
        deadline = time.monotonic() + 20
        while True:
            text = self.copy_text_of(STATUS_BOX, starts="正在安装")
            if "\n" in text:
                break
            self.assertLess(time.monotonic(), deadline, "no result line")
            time.sleep(0.2)
        self.assertEqual(text, "正在安装\n安装失败：安装程序已损坏，无法安装到 D:\\Nimbo\\\n未安装任何内容。")
        self.assertEqual(self.tree(self.drive_d), before, "nothing written")
        self.desktop.focus(self.window)
        self.desktop.key("alt+F4")
        self.assertEqual(wait_for_exit(self.process, timeout=WAIT), 2)


class OneAtATime(MachineNotClean):
    def test_two_installers_started_at_once_make_one_window_and_one_installation(self):
        first = self.desktop.start(end_to_end.ARGS.program)
        second = self.desktop.start(end_to_end.ARGS.program)
        self.addCleanup(lambda: [p.kill() for p in (first, second) if p.poll() is None])
        window = self.desktop.find_window(TITLE)
        # One of them hands over to the other's window and ends with 0.
        deadline = time.monotonic() + WAIT
        while first.poll() is None and second.poll() is None:
            self.assertLess(time.monotonic(), deadline, "neither start ended")
            time.sleep(0.1)
        ended, running = (first, second) if first.poll() is not None else (second, first)
        self.assertEqual(ended.returncode, 0)
        shown = self.desktop.x("xdotool", "search", "--onlyvisible", "--name", TITLE, check=False).split()
        self.assertEqual(len(shown), 1, "one window")
        self.process = running
        self.left, self.top, _, _ = self.desktop.geometry(window)
        self.wait_for_start_window()
        self.click_install()
        self.assertEqual(wait_for_exit(running, timeout=WAIT), 0)
        self.end_launched_nimbo()
        self.assert_installed(self.drive_d / "Nimbo")

    def test_a_silent_installation_and_a_silent_removal_never_overlap(self):
        self.assertEqual(self.install_silently(log="first.log")[0], 0)
        target = self.drive_d / "Nimbo"
        wine_run = str(ROOT / "harness" / "wine-run")
        removal = subprocess.Popen([wine_run, end_to_end.ARGS.build, "D:\\Nimbo\\uninstall.exe", "/S"],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        installation = subprocess.Popen([wine_run, end_to_end.ARGS.build, end_to_end.ARGS.program, "/S",
                                         "/D=D:\\Nimbo"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertEqual(wait_for_exit(removal, timeout=WAIT), 0)
        self.assertEqual(wait_for_exit(installation, timeout=WAIT), 0)
        # The uninstaller's temporary copy holds the lock until it has
        # deleted the first run's file: the next test starts after it.
        self.wait_until_none_runs("Nimbo-uninstall-")
        # Whichever came first, the other saw its end: the product is there
        # whole and registered, or gone with its key.
        if self.registry_values():
            self.assert_installed(target)
        else:
            files = [name for name, data in payload_entries(end_to_end.ARGS.payload) if data is not None]
            self.assertFalse([name for name in files if (target / name).exists()], "nothing of the product left")


class ItsOwnInstallation(MachineNotClean):
    def test_an_uninstaller_copied_elsewhere_removes_nothing(self):
        self.assertEqual(self.install_silently()[0], 0)
        downloads = self.drive_d / "Downloads"
        downloads.mkdir()
        shutil.copy(self.drive_d / "Nimbo" / "uninstall.exe", downloads / "uninstall.exe")
        (downloads / "README.txt").write_text("someone else's readme")
        (downloads / "LICENSE.txt").write_text("someone else's licence")
        self.assertEqual(self.windows("D:\\Downloads\\uninstall.exe", "/S"), 2)
        self.assertEqual(sorted(path.name for path in downloads.iterdir()), ["LICENSE.txt", "README.txt", "uninstall.exe"])
        self.assertTrue(self.registry_values(), "the key stays")
        self.assertTrue(self.desktop_lnk.exists(), "the shortcut stays")

    def test_an_older_folders_uninstaller_leaves_the_installations_key_and_shortcut(self):
        self.assertEqual(self.install_silently()[0], 0)
        shutil.copytree(self.drive_d / "Nimbo", self.drive_d / "Old")
        self.assertEqual(self.windows("D:\\Old\\uninstall.exe", "/S"), 0)
        self.assertFalse((self.drive_d / "Old" / "Nimbo.exe").exists(), "its own files go")
        self.assertEqual(self.registry_values().get("InstallLocation"), "D:\\Nimbo\\")
        self.assertTrue(self.desktop_lnk.exists())
        self.assert_installed(self.drive_d / "Nimbo")

    def test_a_shortcut_replaced_by_a_link_is_left_alone(self):
        self.assertEqual(self.install_silently()[0], 0)
        victim = self.drive_d / "victim.lnk"
        shutil.copy(self.desktop_lnk, victim)  # a real link to the product, elsewhere
        self.desktop_lnk.unlink()
        self.desktop_lnk.symlink_to(victim)
        self.assertEqual(self.windows("D:\\Nimbo\\uninstall.exe", "/S"), 0)
        self.assertTrue(victim.exists(), "what the link leads to stays")
        self.assertTrue(self.desktop_lnk.is_symlink(), "the link is no shortcut of this installation")
        self.assertEqual(self.registry_values(), {}, "the rest is removed")


def main():
    end_to_end.run_tests(end_to_end.parse_arguments(("--security-reader", "security_of.exe")))


if __name__ == "__main__":
    main()
