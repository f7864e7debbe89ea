"""Drives a Windows program of the project under Wine on the harness's
virtual display: start it, find its window, read its geometry, take
screenshots, send input, wait for it to end. Used by the end-to-end tests
and the run command."""

import os
import pathlib
import re
import subprocess
import time

HARNESS = pathlib.Path(__file__).resolve().parent


def running(name):
    """The live processes whose command line holds this name, as
    "pid state command line" lines. A process that has ended but was not
    yet reaped by its parent (state Z) no longer runs and is left out."""
    found = []
    for entry in pathlib.Path("/proc").iterdir():
        if not entry.name.isdigit() or int(entry.name) == os.getpid():
            continue
        try:
            command = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace").strip()
            state = (entry / "stat").read_text().rsplit(")", 1)[1].split()[0]
        except OSError:
            continue
        if state != "Z" and name in command:
            found.append(f"{entry.name} {state} {command}")
    return found


class Desktop:
    def __init__(self, build_dir):
        self.build_dir = pathlib.Path(build_dir).resolve()
        display_file = self.build_dir / "wine" / "display"
        if not display_file.exists():
            raise RuntimeError(f"no Wine session: run harness/session start {self.build_dir}")
        self.display = display_file.read_text().strip()
        self.env = dict(os.environ, DISPLAY=self.display)

    def x(self, *command, check=True):
        """Runs an X client (xdotool, xwininfo, import) on the display."""
        result = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{command[0]} failed: {result.stderr.strip()}")
        return result.stdout

    def start(self, program, *arguments, cwd=None):
        """Starts a Windows program in the project's Wine session (in the
        folder given, or this one)."""
        if os.path.exists(program):  # a Unix path, which must hold in the other folder
            program = os.path.abspath(program)
        return subprocess.Popen([str(HARNESS / "wine-run"), str(self.build_dir), str(program), *arguments],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, env=self.env, cwd=cwd)

    def find_window(self, title, timeout=90.0):
        """The X id of the mapped top-level window with this exact title."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            ids = self.x("xdotool", "search", "--onlyvisible", "--name", re.escape(title), check=False).split()
            for window in ids:
                if self.title(window) == title:
                    return window
            time.sleep(0.2)
        raise TimeoutError(f"no window titled {title!r} within {timeout} s")

    def title(self, window):
        return self.x("xdotool", "getwindowname", window, check=False).rstrip("\n")

    def geometry(self, window):
        """(left, top, width, height) of a window as the X server has it."""
        info = self.x("xwininfo", "-id", window)

        def field(name):
            return int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))

        return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))

    def screenshot(self, path, box=None):
        """Saves the screen, or the box (left, top, width, height) of it, as PNG."""
        path = pathlib.Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        command = ["import", "-window", "root"]
        if box is not None:
            left, top, width, height = box
            command += ["-crop", f"{width}x{height}+{left}+{top}", "+repage"]
        self.x(*command, str(path))
        return path

    def focus(self, window):
        self.x("xdotool", "windowfocus", "--sync", window, check=False)

    def key(self, *keys):
        self.x("xdotool", "key", "--clearmodifiers", *keys)

    def move_mouse(self, x, y):
        # --sync waits for the pointer to move, which it never does when it
        # is there already (xdotool then waits for seconds).
        location = self.x("xdotool", "getmouselocation", check=False)
        if f"x:{x} y:{y} " in location:
            return
        self.x("xdotool", "mousemove", "--sync", str(x), str(y))

    def click(self, x, y, button=1):
        self.move_mouse(x, y)
        self.x("xdotool", "click", str(button))


def wait_for_exit(process, timeout):
    """The program's exit code, or None when it is still running after timeout."""
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


def region_mean(image_path, box):
    """The mean (r, g, b) of the box (left, top, width, height) of an image
    file, decoded by ImageMagick."""
    left, top, width, height = box
    raw = subprocess.run(["convert", str(image_path), "-crop", f"{width}x{height}+{left}+{top}", "+repage",
                          "-depth", "8", "rgb:-"], capture_output=True, check=True, timeout=30).stdout
    count = len(raw) // 3
    if count == 0:
        raise ValueError(f"empty region {box} of {image_path}")
    return tuple(sum(raw[i::3]) / count for i in range(3))


def pixel(image_path, x, y):
    return region_mean(image_path, (x, y, 1, 1))


def close_to(a, b, tolerance):
    """True when every channel of a and b differs by at most tolerance."""
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))
