#!/usr/bin/env python3
"""Runs Nimbo Setup on a virtual display of its own and leaves screenshots:
the start window, and the second background after the timer's cross-fade.
Then closes the window (Alt+F4) and stops the display again."""

import argparse
import pathlib
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from desktop import Desktop, wait_for_exit  # noqa: E402

HARNESS = pathlib.Path(__file__).resolve().parent
TITLE = "Nimbo - 安装"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--screenshots", required=True)
    args = parser.parse_args()
    shots = pathlib.Path(args.screenshots)

    subprocess.run([str(HARNESS / "session"), "start", args.build], check=True)
    try:
        desktop = Desktop(args.build)
        process = desktop.start(args.program)
        window = desktop.find_window(TITLE)
        box = desktop.geometry(window)
        time.sleep(1.0)  # let the show effect finish
        desktop.screenshot(shots / "1-start.png", box)
        time.sleep(6.0)  # the background alternates every 5 s
        desktop.screenshot(shots / "2-after-timer.png", box)
        desktop.screenshot(shots / "3-screen.png")
        desktop.focus(window)
        desktop.key("alt+F4")
        code = wait_for_exit(process, timeout=30)
        if code is None:
            process.kill()
        print(f"Nimbo Setup ended with exit code {code}; screenshots in {shots.resolve()}")
        return 0 if code == 0 else 1
    finally:
        subprocess.run([str(HARNESS / "session"), "stop", args.build], check=False)


if __name__ == "__main__":
    sys.exit(main())
