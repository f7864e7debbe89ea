#!/usr/bin/env python3
"""End-to-end test of Nimbo Setup: the real program under Wine on the
harness's virtual display. Screenshots are saved in the folder given."""

import argparse
import pathlib
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "harness"))
from desktop import Desktop, wait_for_exit  # noqa: E402

TITLE = "Nimbo - 安装"
ARGS = None


class StartWindow(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(ARGS.build)
        self.shots = pathlib.Path(ARGS.screenshots)
        self.process = self.desktop.start(ARGS.program)
        self.addCleanup(self.stop)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)

    def test_window_appears_at_its_place_and_alt_f4_ends_the_program(self):
        window = self.desktop.find_window(TITLE)
        self.assertEqual(self.desktop.geometry(window), (50, 50, 825, 468))
        shot = self.desktop.screenshot(self.shots / "start-window.png", (50, 50, 825, 468))
        self.assertTrue(shot.exists())

        self.desktop.focus(window)
        self.desktop.key("alt+F4")
        self.assertEqual(wait_for_exit(self.process, timeout=30), 0, "the program must end with exit code 0")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--screenshots", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
