#!/usr/bin/env python3
"""End-to-end tests of Nimbo Setup where Nimbo is installed already: running
from the folder it installs to (asked first with the window, closed without
one, and a Nimbo that will not close stops the installation before anything
changes), and installed in another folder (offered again; replaced by an
installation elsewhere, the user's own files kept)."""

import pathlib
import shutil
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import end_to_end  # noqa: E402
import machine_not_clean  # noqa: E402
from end_to_end import INSTALL_BUTTON, TITLE, wait_for_exit  # noqa: E402

PATH_BOX = (20, 422, 200, 27)
PENDING = "HKLM\\System\\CurrentControlSet\\Control\\Session Manager"

WAIT = 60  # seconds, the bound of every wait for a program


class RunningNimbo(machine_not_clean.MachineNotClean):
    def setUp(self):
        super().setUp()
        self.assertEqual(self.install_silently(log="first.log")[0], 0)
        self.target = self.drive_d / "Nimbo"

    def start_nimbo(self):
        nimbo = self.desktop.start("D:\\Nimbo\\Nimbo.exe")
        self.addCleanup(lambda: nimbo.poll() is not None or (nimbo.kill(), nimbo.wait(timeout=10)))
        self.desktop.find_window("Nimbo")
        return nimbo

    def hidden_folders(self):
        return [path.name for path in self.target.iterdir() if path.name.startswith(".nimbo-replaced-")]

    def test_a_silent_reinstall_closes_a_running_nimbo_and_replaces_it(self):
        nimbo = self.start_nimbo()
        code, log = self.install_silently()
        self.assertEqual(code, 0, log)
        self.assertEqual(wait_for_exit(nimbo, timeout=WAIT), 0, "Nimbo was closed as its user closes it")
        self.assertTrue(any(line.endswith("D:\\Nimbo\\Nimbo.exe): asked to close") for line in log), log)
        self.assertIn("Nimbo has closed", log)
        self.assert_installed(self.target)
        self.assertEqual(self.hidden_folders(), [], "nothing left aside")

    def test_a_nimbo_that_will_not_close_stops_the_installation_before_anything_changes(self):
        shutil.copyfile(machine_not_clean.end_to_end.ARGS.stubborn_nimbo, self.target / "Nimbo.exe")
        nimbo = self.start_nimbo()
        before = self.tree(self.drive_d)
        key = self.registry_values()
        code, log = self.install_silently(log="second.log")
        before.pop("logs/second.log", None)
        self.assertEqual(code, 14, log)
        self.assertTrue(any(line.endswith("still runs 10 s after it was asked to close: nothing was installed")
                            for line in log), log)
        self.assertIsNone(nimbo.poll(), "it still runs")
        after = self.tree(self.drive_d)
        after.pop("logs/second.log", None)
        self.assertEqual(after, before, "nothing changed")
        self.assertEqual(self.registry_values(), key)

    def test_a_replaced_file_still_in_use_at_the_commit_goes_at_the_next_restart(self):
        # Another program of the product runs from the folder, its
        # uninstaller waiting at its question: Windows lets its file be
        # moved aside, not deleted.
        uninstaller = self.desktop.start("D:\\Nimbo\\uninstall.exe")
        self.addCleanup(lambda: uninstaller.poll() is not None or (uninstaller.kill(), uninstaller.wait(timeout=10)))
        self.desktop.find_window("Nimbo 卸载")
        code, log = self.install_silently(log="second.log")
        self.assertEqual(code, 0, log)
        self.assert_installed(self.target)
        still = [line for line in log if line.startswith("commit: the replaced D:\\Nimbo\\uninstall.exe is still in use as ")]
        self.assertEqual(len(still), 1, log)
        self.assertTrue(still[0].endswith("; it is deleted at the next restart"), still[0])
        aside = still[0].split(" as ", 1)[1].split(";", 1)[0]
        pending = self.wine("reg", "query", PENDING, "/v", "PendingFileRenameOperations")
        self.assertIn(aside, pending)

    def other_window(self, title):
        """A visible window of this title that is not the start window."""
        deadline = time.monotonic() + WAIT
        while True:
            ids = self.desktop.x("xdotool", "search", "--onlyvisible", "--name", title, check=False).split()
            others = [window for window in ids if window != self.window and self.desktop.title(window) == title]
            if others:
                return others[0]
            self.assertLess(time.monotonic(), deadline, "no message box")
            time.sleep(0.2)

    def test_with_the_window_the_user_is_asked_before_nimbo_is_closed(self):
        nimbo = self.start_nimbo()
        self.start_window(end_to_end.ARGS.program)
        self.desktop.click(*self.centre(INSTALL_BUTTON))
        box = self.other_window(TITLE)
        self.desktop.screenshot(end_to_end.ARGS.screenshots + "/nimbo-running.png", self.desktop.geometry(box))
        self.assertIsNone(nimbo.poll(), "nothing is closed before the user says so")
        self.desktop.focus(box)
        self.desktop.key("Return")
        self.assertEqual(wait_for_exit(nimbo, timeout=WAIT), 0, "Nimbo was closed")
        self.assertEqual(wait_for_exit(self.process, timeout=WAIT), 0)
        self.end_launched_nimbo()
        self.assert_installed(self.target)
        self.assertEqual(self.hidden_folders(), [])


class SecondFolder(machine_not_clean.MachineNotClean):
    def test_the_earlier_folder_is_offered_and_an_installation_elsewhere_replaces_it(self):
        self.assertEqual(self.install_silently(folder="D:\\先前 Nimbo", log="first.log")[0], 0)
        first = self.drive_d / "先前 Nimbo"
        (first / "config" / "mine.ini").write_text("the user's")
        # With the window, the earlier folder is in the path box.
        self.start_window(end_to_end.ARGS.program)
        self.assertEqual(self.copy_text_of(PATH_BOX), "D:\\先前 Nimbo\\")
        self.desktop.focus(self.window)
        self.desktop.key("alt+F4")
        self.assertEqual(wait_for_exit(self.process, timeout=WAIT), 0)
        # Silently, without /D=, the same folder.
        self.assertEqual(self.install_silently(folder=None, log="again.log")[0], 0)
        self.assertFalse((self.drive_d / "Nimbo").exists())
        self.assertEqual(self.registry_values()["InstallLocation"], "D:\\先前 Nimbo\\")

        code, log = self.install_silently(log="second.log")
        self.assertEqual(code, 0, log)
        self.assert_installed(self.drive_d / "Nimbo")
        self.assertEqual(self.registry_values()["InstallLocation"], "D:\\Nimbo\\")
        self.assertEqual(self.tree(first), {"config": None, "config/mine.ini": b"the user's"},
                         "the earlier installation is gone, the user's file kept")
        self.assertTrue(any(line.startswith("earlier installation: kept (not Nimbo's) D:\\先前 Nimbo\\config")
                            for line in log), log)


def main():
    end_to_end.run_tests(end_to_end.parse_arguments(("--security-reader", "security_of.exe"),
                                                    ("--stubborn-nimbo", "a Nimbo that ignores WM_CLOSE")))


if __name__ == "__main__":
    main()
