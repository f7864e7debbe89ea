#!/usr/bin/env python3
"""Nimbo Setup in a Wine prefix that maps none of the Chinese family names
("宋体", "微软雅黑", "SimSun", "Microsoft YaHei"): the engine's default font
falls back to an installed family that draws Chinese, and the start window
shows the folder. The prefix is a copy of the project's, less its font
replacements, with a wineserver of its own on the session's display."""

import os
import pathlib
import re
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import end_to_end  # noqa: E402
from end_to_end import ASSETS, TITLE, ROOT, shows  # noqa: E402

from desktop import Desktop  # noqa: E402

PATH_BOX = (20, 422, 200, 27)  # window coordinates


def without_font_replacements(registry):
    """The text of a Wine user.reg without its font replacements section."""
    return re.sub(r"^\[Software\\\\Wine\\\\Fonts\\\\Replacements\][^\n]*\n(?:[^\n]+\n)*\n?", "", registry,
                  flags=re.MULTILINE)


def without_nimbo_registration(registry):
    """The text of a Wine system.reg without Nimbo's Uninstall key."""
    return re.sub(r"^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Nimbo\][^\n]*\n"
                  r"(?:[^\n]+\n)*\n?", "", registry, flags=re.MULTILINE | re.IGNORECASE)


class PlainFontPrefix(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        build = pathlib.Path(end_to_end.ARGS.build).resolve()
        cls.prefix = build / "wine" / "plain-fonts-prefix"
        shutil.rmtree(cls.prefix, ignore_errors=True)
        # The session's wineserver may be saving the registry meanwhile: it
        # writes reg*.tmp beside the hive and renames it over, so a listed
        # temporary file can be gone by the time it is copied. The hives
        # themselves are always whole.
        shutil.copytree(build / "wine" / "prefix", cls.prefix, symlinks=True,
                        ignore=shutil.ignore_patterns("reg*.tmp"))
        user_reg = cls.prefix / "user.reg"
        registry = user_reg.read_text(encoding="utf-8", errors="surrogateescape")
        # The copy is of the registry as last saved: a test before this one
        # may have set another display dpi that was taken back in memory
        # only. This prefix has the one it was made with.
        plain = re.sub(r'^"LogPixels"=[^\n]*\n', "", without_font_replacements(registry), flags=re.MULTILINE)
        assert plain != registry, "the project's prefix holds font replacements to take away"
        user_reg.write_text(plain, encoding="utf-8", errors="surrogateescape")
        # A test beside this one (ctest -j2) may have registered an installation
        # in the prefix just when it was copied: the start window would offer
        # that folder instead of the default one this test measures.
        system_reg = cls.prefix / "system.reg"
        machine = system_reg.read_text(encoding="utf-8", errors="surrogateescape")
        system_reg.write_text(without_nimbo_registration(machine), encoding="utf-8", errors="surrogateescape")
        cls.desktop = Desktop(build)
        cls.env = dict(cls.desktop.env, WINEPREFIX=str(cls.prefix), WINEARCH="win32", WINEDEBUG="-all",
                       WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], env=cls.env, check=False, timeout=30)
        subprocess.run(["wineserver", "-w"], env=cls.env, check=False, timeout=30)
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def test_default_font_falls_back_and_the_start_window_shows_the_folder(self):
        probe = subprocess.run(["wine", end_to_end.ARGS.probe], env=self.env, capture_output=True, timeout=120)
        report = probe.stdout.decode("utf-8", errors="replace")
        self.assertEqual(probe.returncode, 0, report)
        self.assertIn("songti installed: no", report, "the prefix must not know 宋体")
        family = re.search(r"default family: (.*)", report).group(1).strip()
        self.assertTrue(family and family not in ("宋体", "微软雅黑", "SimSun", "Microsoft YaHei"), report)
        self.assertIn("draws Chinese: yes", report)
        print(f"default family without the Chinese names: {family}")

        program = subprocess.Popen(["wine", end_to_end.ARGS.program], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: program.poll() is None and (program.kill(), program.wait(timeout=10)))
        window = self.desktop.find_window(TITLE)
        left, top, _, _ = self.desktop.geometry(window)
        shots = pathlib.Path(end_to_end.ARGS.screenshots)
        deadline = time.monotonic() + 15
        while not shows(self.desktop.screenshot(shots / "plain-fonts-start.png", (left, top, 825, 468)),
                        ASSETS / "background-1.jpg"):
            self.assertLess(time.monotonic(), deadline, "the window never showed its background")
            time.sleep(0.2)
        box = (left + PATH_BOX[0], top + PATH_BOX[1], PATH_BOX[2], PATH_BOX[3])
        shot = self.desktop.screenshot(shots / "plain-fonts-path-box.png", box)
        raw = subprocess.run(["convert", str(shot), "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
        # "D:\Nimbo\" in white from the box's left edge over about 70 pixels,
        # as with the mapped names.
        width = PATH_BOX[2]
        columns = {(i // 3) % width for i in range(0, len(raw), 3) if min(raw[i:i + 3]) > 200}
        self.assertTrue(columns, f"the path box shows no text; see {shot}")
        self.assertLess(min(columns), 8)
        self.assertTrue(50 < max(columns) < 110, f"the folder's width: {max(columns)}; see {shot}")


if __name__ == "__main__":
    end_to_end.run_tests(end_to_end.parse_arguments(("--probe", "the font probe program")))
