#!/usr/bin/env python3
"""DLLs planted where an elevated installer runs: a DLL whose DllMain leaves
a marker file, copied beside NimboSetup.exe in a Downloads folder (its
current folder too) under the names Windows programs commonly load late,
and into the user's temporary folder for the uninstaller. Through a whole
installation with the window (a screen reader reading it included), a
silent one and the silent uninstaller, no marker may appear. A program that
loads such a name with no care is the control: its marker does appear."""

import os
import pathlib
import shutil
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import end_to_end  # noqa: E402
from end_to_end import ASSETS, ROOT, TITLE, shows, wait_for_exit  # noqa: E402

NAMES = ["dwmapi", "propsys", "uxtheme", "version", "cryptbase", "oleacc", "comctl32", "msimg32", "oleaut32",
         "windowscodecs", "dwrite", "userenv", "winmm", "secur32", "gdiplus", "dbghelp", "wtsapi32", "iphlpapi",
         "profapi", "cryptsp", "sspicli", "bcrypt", "ntmarta", "shcore", "textinputframework", "msctf", "wintrust"]


class PlantedDlls(end_to_end.InstallationTest):
    def setUp(self):
        self.prepare_machine()
        self.desktop = end_to_end.Desktop(end_to_end.ARGS.build)
        self.shots = pathlib.Path(end_to_end.ARGS.screenshots)
        user = self.prefix / "drive_c" / "users" / os.environ.get("USER", "root")
        self.downloads = user / "Downloads" / "planted"
        shutil.rmtree(self.downloads, ignore_errors=True)
        self.downloads.mkdir(parents=True)
        self.addCleanup(shutil.rmtree, self.downloads, True)
        self.program = self.downloads / "NimboSetup.exe"
        shutil.copyfile(end_to_end.ARGS.program, self.program)
        self.plant(self.downloads)

    def plant(self, folder):
        for name in NAMES:
            shutil.copyfile(end_to_end.ARGS.planted, folder / f"{name}.dll")
        self.addCleanup(lambda: [(folder / f"{name}.dll").unlink(missing_ok=True) for name in NAMES])
        self.addCleanup(lambda: [marker.unlink() for marker in folder.glob("*.dll.loaded")])


    def markers(self, folder):
        """The markers there, each with the programs that loaded its DLL."""
        return sorted(f"{marker.name}: {marker.read_bytes().decode('utf-16-le', 'replace').strip()}"
                      for marker in folder.glob("*.dll.loaded"))

    def wine_from(self, folder, *command):
        """A Windows program started with the folder as its current folder."""
        return subprocess.Popen([str(ROOT / "harness" / "wine-run"), end_to_end.ARGS.build, *command], cwd=folder,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def test_the_control_loads_a_planted_dll(self):
        shutil.copyfile(end_to_end.ARGS.beside_loader, self.downloads / "careless.exe")
        careless = self.wine_from(self.downloads, str(self.downloads / "careless.exe"), "dwmapi.dll")
        self.assertEqual(wait_for_exit(careless, 60), 0)
        self.assertEqual(self.markers(self.downloads), ["dwmapi.dll.loaded: C:\\users\\" + os.environ.get("USER", "root") +
                                                        "\\Downloads\\planted\\careless.exe"],
                         "a program that searches its own folder loads a DLL left beside it")

    def test_an_installation_with_the_window_and_a_screen_reader_loads_none(self):
        log = self.downloads / "heard.log"
        watcher = self.wine_from(self.downloads, end_to_end.ARGS.watcher, TITLE,
                                 "Z:" + str(log).replace("/", "\\"))
        self.addCleanup(lambda: watcher.poll() is None and (watcher.kill(), watcher.wait(timeout=10)))
        deadline = time.monotonic() + 30
        while not (log.exists() and log.read_text(encoding="utf-8").startswith("ready")):
            self.assertLess(time.monotonic(), deadline, "the screen reader did not start")
            time.sleep(0.1)
        self.process = self.wine_from(self.downloads, str(self.program))
        self.addCleanup(self.stop)
        self.window = self.desktop.find_window(TITLE)
        self.left, self.top, _, _ = self.desktop.geometry(self.window)
        deadline = time.monotonic() + 10
        while not shows(self.shoot("planted-start.png"), ASSETS / "background-1.jpg"):
            self.assertLess(time.monotonic(), deadline, "the window never showed its background")
            time.sleep(0.2)
        folder = self.install("Nimbo")
        self.assertTrue((folder / "Nimbo.exe").exists())
        self.assertIn("name=安装状态", log.read_text(encoding="utf-8"), "the screen reader read the window")
        self.assertEqual(self.markers(self.downloads), [])

    def test_a_silent_installation_and_the_silent_uninstaller_load_none(self):
        installer = self.wine_from(self.downloads, str(self.program), "/S", "/D=D:\\Planted")
        self.assertEqual(wait_for_exit(installer, 120), 0)
        self.assertEqual(self.markers(self.downloads), [])

        # The uninstaller runs from the product folder and hands the work to
        # a copy in the temporary folder.
        self.plant(self.temp)
        uninstaller = self.wine_from(self.temp, "D:\\Planted\\uninstall.exe", "/S")
        self.assertEqual(wait_for_exit(uninstaller, 120), 0)
        self.assertFalse((self.drive_d / "Planted" / "Nimbo.exe").exists(), "the uninstaller did its work")
        self.assertEqual(self.markers(self.temp), [])


def main():
    end_to_end.run_tests(end_to_end.parse_arguments(
        ("--planted", "the DLL that leaves a marker"), ("--beside-loader", "load_library_beside.exe"),
        ("--watcher", "accessible_watch.exe"), ("--uninstaller", "the product's uninstall.exe")))


if __name__ == "__main__":
    main()
