#!/usr/bin/env python3
"""Runs Nimbo Setup on a virtual display of its own and shows the whole
flow in screenshots: the start window, the installation's progress, the
completion line, and the product it started. Then closes the product, stops
the display and says where the product was installed."""

import argparse
import pathlib
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from desktop import Desktop, region_mean, wait_for_exit  # noqa: E402

HARNESS = pathlib.Path(__file__).resolve().parent
TITLE = "Nimbo - 安装"
INSTALL_BUTTON = (315 + 96, 275 + 29)  # its centre, in window coordinates
STATUS_BOX = (100, 270, 620, 172)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--screenshots", required=True)
    parser.add_argument("--drive-d", required=True, help="the folder drive D: is mapped to")
    args = parser.parse_args()
    shots = pathlib.Path(args.screenshots)

    subprocess.run([str(HARNESS / "session"), "start", args.build], check=True)
    try:
        desktop = Desktop(args.build)
        process = desktop.start(args.program)
        window = desktop.find_window(TITLE)
        left, top, width, height = box = desktop.geometry(window)
        time.sleep(1.0)  # the show effect
        desktop.screenshot(shots / "1-start.png", box)

        desktop.click(left + INSTALL_BUTTON[0], top + INSTALL_BUTTON[1])
        time.sleep(0.6)
        desktop.screenshot(shots / "2-progress.png", box)
        # The completion line comes after the bar reached its end; the window
        # stays two seconds with it.
        empty = region_mean(shots / "2-progress.png", (STATUS_BOX[0], STATUS_BOX[1] + 20, 300, 20))
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and process.poll() is None:
            shot = desktop.screenshot(shots / "3-complete.png", box)
            if region_mean(shot, (STATUS_BOX[0], STATUS_BOX[1] + 20, 300, 20)) != empty:
                break
            time.sleep(0.2)
        code = wait_for_exit(process, timeout=30)
        product = desktop.find_window("Nimbo", timeout=20)
        time.sleep(0.5)
        desktop.screenshot(shots / "4-product.png", desktop.geometry(product))
        desktop.screenshot(shots / "5-screen.png")
        desktop.focus(product)
        desktop.key("alt+F4")
        installed = pathlib.Path(args.drive_d) / "Nimbo"
        print(f"Nimbo Setup ended with exit code {code}; the product is installed in D:\\Nimbo\\ "
              f"({installed.resolve()}); screenshots in {shots.resolve()}")
        return 0 if code == 0 else 1
    finally:
        subprocess.run([str(HARNESS / "session"), "stop", args.build], check=False)


if __name__ == "__main__":
    sys.exit(main())
