#!/usr/bin/env python3
"""End-to-end tests of Nimbo Setup at display scales of 125 %, 150 % and
200 % (the Wine prefix's LogPixels at 120, 144 and 192): the window's size
and place, text drawn at the scale rather than stretched, a border one device
pixel thin, clicks, drags, the path box's selection, the context menu and
the caption buttons at device coordinates, and a window moved to a monitor
of another scale (WM_DPICHANGED, sent as Windows would: Wine has one dpi for
every monitor)."""

import pathlib
import subprocess
import sys
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import end_to_end  # noqa: E402
from end_to_end import ASSETS, ROOT, TITLE, expected_patch, wait_for_exit  # noqa: E402
from desktop import close_to, region_mean  # noqa: E402

WAIT = 60  # seconds, the bound of every wait for a program
# The window's size and place at each dpi: 825 x 468 at (50, 50), scaled.
PLACES = {96: (50, 50, 825, 468), 120: (63, 63, 1031, 585), 144: (75, 75, 1238, 702), 192: (100, 100, 1650, 936)}
START_WINDOW_96 = pathlib.Path(__file__).resolve().parent / "references" / "start-window-96.png"
PATH_BOX = (20, 422, 200, 27)  # window coordinates in logical pixels
PATH_TEXT = (20, 422, 120, 27)  # the default folder's text within it
BUTTON = (315, 275, 193, 58)
CAPTION_TEXT = (366, 288, 92, 30)  # the button picture's caption
FIRST_STATUS_LINE = (100, 272, 300, 14)
SECOND_STATUS_LINE = (100, 286, 300, 14)
MINIMISE = (825 - 79, 7, 28, 19)
BORDER_GREY, BORDER_ALPHA = 96, 0.8
# An edge-sharpness measure may lose this share against the 96-dpi picture
# (the glyphs are hinted at each size); a 96-dpi picture stretched to the
# scale, the measure's control, must lose more.
SHARPNESS_TOLERANCE = 0.12


def set_dpi(dpi):
    """The dpi Wine gives every program started from now on."""
    key = "HKCU\\Control Panel\\Desktop"
    command = ["reg", "delete", key, "/v", "LogPixels", "/f"] if dpi == 96 else \
              ["reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"]
    subprocess.run([str(ROOT / "harness" / "wine-run"), end_to_end.ARGS.build, *command], capture_output=True,
                   timeout=WAIT, check=dpi != 96)


def tearDownModule():
    set_dpi(96)


def gray_rows(path, box):
    left, top, width, height = box
    raw = subprocess.run(["convert", str(path), "-crop", f"{width}x{height}+{left}+{top}", "+repage",
                          "-colorspace", "Gray", "-depth", "8", "gray:-"], capture_output=True, check=True,
                         timeout=30).stdout
    return [raw[y * width:(y + 1) * width] for y in range(height)]


def sharpness(path, box):
    """The steepest edges of what the box shows (the mean of its largest 2 %
    of neighbouring-pixel steps), as a share of its contrast: near 1 when
    glyph edges go from background to ink within a pixel, lower when a
    stretched picture spreads them."""
    rows = gray_rows(path, box)
    steps = sorted(abs(row[x + 1] - row[x]) for row in rows for x in range(len(row) - 1))
    steep = steps[int(len(steps) * 0.98):]
    contrast = max(max(row) for row in rows) - min(min(row) for row in rows)
    return sum(steep) / len(steep) / max(1, contrast)


def ink_height(path, box):
    """The height of light text on a darker background, from the first to
    the last row where it covers half its contrast, interpolated between
    rows."""
    rows = gray_rows(path, box)
    low = min(min(row) for row in rows)
    high = max(max(row) for row in rows)
    cover = [(max(row) - low) / max(1, high - low) for row in rows]
    inked = [y for y, share in enumerate(cover) if share >= 0.5]
    first, last = inked[0], inked[-1]
    top = first - (cover[first] - 0.5) / (cover[first] - cover[first - 1]) if first > 0 else first
    bottom = last + (cover[last] - 0.5) / (cover[last] - cover[last + 1]) if last + 1 < len(cover) else last
    return bottom - top


def new_light_pixels(before, after, box, level=200):
    """How many pixels of the box turned lighter than the level."""
    return sum(old <= level < new for old_row, new_row in zip(gray_rows(before, box), gray_rows(after, box))
               for old, new in zip(old_row, new_row))


def stretched(path, box, factor, out):
    """The box of a 96-dpi screenshot stretched to the scale, as Windows
    stretches a program that declares no awareness."""
    left, top, width, height = box
    subprocess.run(["convert", str(path), "-crop", f"{width}x{height}+{left}+{top}", "+repage",
                    "-filter", "Triangle", "-resize", f"{round(factor * 100)}%", str(out)], check=True, timeout=30)
    return out


class ScaledProgram(end_to_end.InstallationTest):
    """The installer started at a dpi, with the harness's fresh drive D:."""

    DPI = 96

    def setUp(self):
        set_dpi(self.DPI)
        self.addCleanup(set_dpi, 96)
        self.prepare_machine()
        end_to_end.ProgramTest.setUp(self)
        self.factor = self.DPI / 96
        deadline = time.monotonic() + 20
        while not self.shows_background(self.shoot(f"{self.DPI}-start.png"), ASSETS / "background-1.jpg"):
            self.assertLess(time.monotonic(), deadline, "the window never showed its background")
            time.sleep(0.2)

    def device(self, value):
        """A logical length or position as the window's device pixels."""
        return int(value * self.factor + 0.5)

    def box(self, logical):
        """A box in logical window coordinates, on the screen."""
        left, top, width, height = logical
        right, bottom = self.device(left + width), self.device(top + height)
        return (self.left + self.device(left), self.top + self.device(top),
                right - self.device(left), bottom - self.device(top))

    def in_window(self, logical):
        """A box in logical window coordinates, in a screenshot of the window."""
        left, top, width, height = self.box(logical)
        return (left - self.left, top - self.top, width, height)

    def centre(self, logical):
        left, top, width, height = self.box(logical)
        return left + width // 2, top + height // 2

    def shoot(self, name, box=None):
        if box is None:
            box = self.desktop.geometry(self.window)
        return self.desktop.screenshot(self.shots / name, box)

    def shows_background(self, shot, image):
        """Whether the patches of the picture show, scaled, in a screenshot
        of the whole window."""
        for patch in end_to_end.PATCHES:
            left, top, width, height = patch
            scaled = (self.device(left), self.device(top), self.device(width), self.device(height))
            if not close_to(region_mean(shot, scaled), expected_patch(image, patch), end_to_end.TOLERANCE + 4):
                return False
        return True

    def click_until(self, logical, condition, what):
        """Clicks the box until the condition holds: the window takes no
        click during a background cross-fade (every five seconds)."""
        for attempt in range(4):
            self.desktop.click(*self.centre(logical))
            deadline = time.monotonic() + 5
            while time.monotonic() < deadline:
                if condition():
                    return
                time.sleep(0.2)
        self.fail(what)

    def wait_for(self, condition, what, timeout=WAIT, pause=0.2):
        deadline = time.monotonic() + timeout
        while not condition():
            self.assertLess(time.monotonic(), deadline, what)
            time.sleep(pause)


REFERENCE = {}


def setUpModule():
    """The 96-dpi picture the scaled ones are measured against."""
    set_dpi(96)
    # No installation registered by an earlier test: the path box shows the
    # default folder, as in every scaled picture.
    subprocess.run([str(ROOT / "harness" / "wine-run"), end_to_end.ARGS.build, "reg", "delete",
                    end_to_end.UNINSTALL_KEY, "/f"], capture_output=True, timeout=WAIT, check=False)
    desktop = end_to_end.Desktop(end_to_end.ARGS.build)
    desktop.move_mouse(5, 5)
    process = desktop.start(end_to_end.ARGS.program)
    try:
        window = desktop.find_window(TITLE)
        shots = pathlib.Path(end_to_end.ARGS.screenshots)
        shots.mkdir(parents=True, exist_ok=True)
        deadline = time.monotonic() + 20
        while True:
            shot = desktop.screenshot(shots / "96-reference.png", desktop.geometry(window))
            if end_to_end.shows(shot, ASSETS / "background-1.jpg"):
                break
            if time.monotonic() > deadline:
                raise AssertionError(f"the 96-dpi window never showed its background; see {shot}")
            time.sleep(0.2)
        # The background can show before the controls are drawn on it. At 96
        # dpi nothing changed with the scaling: the start window becomes the
        # one shot before it was made, pixel for pixel (waited for, within
        # the deadline; what still differs then is the failure).
        while True:
            REFERENCE["differing"] = differing_pixels(shot, START_WINDOW_96, shots / "96-difference.png")
            if REFERENCE["differing"] == 0 or time.monotonic() > deadline:
                break
            time.sleep(0.2)
            shot = desktop.screenshot(shots / "96-reference.png", desktop.geometry(window))
        if desktop.geometry(window) != PLACES[96]:
            raise AssertionError(f"the 96-dpi window is at {desktop.geometry(window)}")
        REFERENCE.update(text=sharpness(shot, PATH_TEXT), caption=sharpness(shot, CAPTION_TEXT),
                         height=ink_height(shot, PATH_TEXT), shot=shot)
    finally:
        process.kill()
        process.wait(timeout=10)


def reference():
    return REFERENCE


def differing_pixels(shot, golden, difference):
    """How many pixels of the two pictures differ (ImageMagick's count)."""
    compared = subprocess.run(["compare", "-metric", "AE", str(shot), str(golden), str(difference)],
                              capture_output=True, text=True, timeout=30)
    return int(float(compared.stderr.split()[0]))


class AtNinetySix(unittest.TestCase):
    def test_the_start_window_is_what_it_was_before_the_scaling(self):
        self.assertEqual(REFERENCE["differing"], 0, "see 96-difference.png")


class Scaled(ScaledProgram):
    def check_window(self):
        """Size and place, the border, and text drawn at the scale."""
        self.assertEqual(self.desktop.geometry(self.window), PLACES[self.DPI])
        # The measures below are made against the first background. On a
        # loaded machine the window may have faded to its second one since
        # it was first seen; it shows the first again five seconds later.
        name = f"{self.DPI}-window.png"
        self.wait_for(lambda: self.shows_background(self.shoot(name), ASSETS / "background-1.jpg"),
                      "the window did not show its first background again", timeout=15, pause=0.1)
        shot = self.shots / name

        # The border's outer line: one device pixel of grey over the picture,
        # below the shadow band and above the inner white line.
        x = self.device(412)
        row = self.device(6)
        under = expected_patch(ASSETS / "background-1.jpg", (412, 6, 1, 1))
        border = tuple(BORDER_GREY * BORDER_ALPHA + (1 - BORDER_ALPHA) * channel for channel in under)
        rows = [region_mean(shot, (x, y, 1, 1)) for y in range(row - 2, row + 3)]
        grey = [y for y, colour in zip(range(row - 2, row + 3), rows) if close_to(colour, border, 10)]
        self.assertEqual(grey, [row], f"border rows around {row}: {rows}")

        measures = reference()
        text, caption = self.in_window(PATH_TEXT), self.in_window(CAPTION_TEXT)
        # Glyphs as tall as at 96 dpi, in logical pixels (within one).
        self.assertLess(abs(ink_height(shot, text) / self.factor - measures["height"]), 1.0)
        # Edges as steep as at 96 dpi, which a stretched picture's are not.
        for name, box, at96, logical in (("text", text, measures["text"], PATH_TEXT),
                                         ("caption", caption, measures["caption"], CAPTION_TEXT)):
            measured = sharpness(shot, box)
            self.assertGreaterEqual(measured, at96 * (1 - SHARPNESS_TOLERANCE), f"{name}: {measured} against {at96}")
            control = sharpness(stretched(measures["shot"], logical, self.factor,
                                          self.shots / f"{self.DPI}-stretched-{name}.png"),
                                (0, 0, box[2], box[3]))
            self.assertLess(control, at96 * (1 - SHARPNESS_TOLERANCE), f"the stretched {name}: {control}")

    def install_and_check(self):
        """The progress and the completion at the scale, then removal."""
        # Each line is looked for in a shot of its own place (a whole window
        # at 200 % takes too long to shoot for the two seconds the completion
        # line shows).
        first, second = self.box(FIRST_STATUS_LINE), self.box(SECOND_STATUS_LINE)
        whole = (0, 0, first[2], first[3])
        before = self.shoot(f"{self.DPI}-line-1-before.png", first)

        def first_line_shows():
            # The second line's place as it is with the first line alone
            # (the background stops changing with the click).
            self.shoot(f"{self.DPI}-line-2-before.png", second)
            return new_light_pixels(before, self.shoot(f"{self.DPI}-line-1.png", first), whole) > 20

        self.click_until(BUTTON, first_line_shows, "no status line")
        self.shoot(f"{self.DPI}-progress.png")
        # The completion line shows for two seconds, then the program ends.
        # Its place is shot until then and the shots are looked at after, so
        # that a loaded machine takes as many as it can in those seconds.
        shots = []
        deadline = time.monotonic() + WAIT
        while self.process.poll() is None and time.monotonic() < deadline:
            shots.append(self.shoot(f"{self.DPI}-line-2-{len(shots)}.png", second))
        before_second = self.shots / f"{self.DPI}-line-2-before.png"
        shown = [shot for shot in shots if new_light_pixels(before_second, shot, whole) > 20]
        self.assertTrue(shown, f"no completion line in {len(shots)} shots")
        shown[0].replace(self.shots / f"{self.DPI}-line-2.png")
        for shot in shots:
            shot.unlink(missing_ok=True)
        self.assertEqual(wait_for_exit(self.process, timeout=WAIT), 0)
        self.end_launched_nimbo()
        folder = self.drive_d / "Nimbo"
        self.assertTrue((folder / "Nimbo.exe").exists())
        self.uninstall(folder)

    def end_launched_nimbo(self):
        self.desktop.find_window("Nimbo", timeout=WAIT)
        subprocess.run(["pkill", "-f", "Nimbo.exe"], check=False)


class At120(Scaled):
    DPI = 120

    def test_window_text_and_installation(self):
        self.check_window()
        self.install_and_check()


class At144(Scaled):
    DPI = 144

    def test_window_text_and_installation(self):
        self.check_window()
        self.install_and_check()

    def test_selection_by_mouse_context_menu_and_moving(self):
        interact(self)


class At192(Scaled):
    DPI = 192

    def test_window_text_and_installation(self):
        self.check_window()
        self.install_and_check()

    def test_selection_by_mouse_context_menu_and_moving(self):
        interact(self)


def drag_window(test, x, y, dx, dy=0):
    """Drags the window from the screen point by (dx, dy) pixels, in ten
    steps, as a user does, and waits until the window is there.

    The steps follow only once the window has taken the press: a window
    kept busy (a cross-fade, a loaded machine) takes it late, and a pointer
    that has left the window by then lets go of the button where the window
    cannot see it, which leaves the move going on into the next drag. So the
    pointer first moves two pixels, and the rest of the way once the window
    has followed them; a press the window never took (it takes none during a
    cross-fade) is made again."""
    def position():
        return test.desktop.geometry(test.window)[:2]

    def wait_until(condition, timeout):
        deadline = time.monotonic() + timeout
        while not condition() and time.monotonic() < deadline:
            time.sleep(0.05)
        return condition()

    for attempt in range(4):
        before = position()
        test.desktop.move_mouse(x, y)
        test.desktop.x("xdotool", "mousedown", "1")
        test.desktop.move_mouse(x + 2, y)
        if not wait_until(lambda: position() != before, 3):
            test.desktop.x("xdotool", "mouseup", "1")
            continue
        for step in range(1, 11):
            test.desktop.move_mouse(x + dx * step // 10, y + dy * step // 10)
        test.desktop.x("xdotool", "mouseup", "1")
        target = (before[0] + dx, before[1] + dy)
        wait_until(lambda: all(abs(now - there) <= 2 for now, there in zip(position(), target)), 10)
        return
    test.fail("the window did not follow a drag")


def interact(test):
    """The path box's selection by a drag, its context menu at the pointer,
    a drag of the window and the minimise button, at device coordinates."""
    # A drag over the whole default folder selects it: copied, it is the text.
    # The window takes no input during a background cross-fade: a drag lost
    # there is made again.
    left, top, width, height = test.box(PATH_BOX)
    y = top + height // 2
    copied = None
    for attempt in range(4):
        sequence, _ = test.clipboard_sequence()
        test.desktop.move_mouse(left + test.device(2), y)
        test.desktop.x("xdotool", "mousedown", "1")
        for step in range(1, 9):
            test.desktop.move_mouse(left + test.device(2) + step * (width - test.device(6)) // 8, y)
        test.desktop.x("xdotool", "mouseup", "1")
        test.desktop.key("ctrl+c")
        copied, _ = test.copied_since(sequence, "", timeout=3)
        if copied == "D:\\Nimbo\\":
            break
    test.assertEqual(copied, "D:\\Nimbo\\", "the dragged selection is the whole folder")

    # The context menu opens where the pointer is, at its scaled height.
    x, y = test.centre(PATH_BOX)
    menu = test.open_context_menu(x, y, attempts=4)
    menu_left, menu_top, _, menu_height = test.desktop.geometry(menu)
    test.assertEqual((menu_left, menu_top), (x, y))
    test.assertEqual(menu_height, test.device(4 * 22 + 3 + 16))
    test.desktop.key("Escape")
    test.wait_for(lambda: not test.desktop.x("xdotool", "search", "--onlyvisible", "--name", "Ex_DirectUI_Menu",
                                             check=False).strip(), "Escape did not close the menu", timeout=10)

    # Near the screen's right edge the menu opens left of the pointer, by
    # its size on the screen: all of it shows. The window is dragged there
    # by its left part, and back.
    screen_width = int(test.desktop.x("xdotool", "getdisplaygeometry").split()[0])
    start = test.desktop.geometry(test.window)
    drag_window(test, start[0] + test.device(30), start[1] + test.device(160), screen_width - test.device(200) - start[0])
    test.left = test.desktop.geometry(test.window)[0]
    x, y = test.centre((120, 430, 20, 10))
    menu = test.open_context_menu(x, y, attempts=4)
    menu_left, _, menu_width, _ = test.desktop.geometry(menu)
    test.assertGreater(x + test.device(120), screen_width, "the menu would not fit right of the pointer")
    test.assertEqual(menu_left + menu_width, x, "the menu ends at the pointer")
    test.desktop.key("Escape")
    test.wait_for(lambda: not test.desktop.x("xdotool", "search", "--onlyvisible", "--name", "Ex_DirectUI_Menu",
                                             check=False).strip(), "Escape did not close the menu", timeout=10)
    moved = test.desktop.geometry(test.window)
    drag_window(test, moved[0] + test.device(30), moved[1] + test.device(160), start[0] - moved[0])
    test.left, test.top = test.desktop.geometry(test.window)[:2]

    # A drag on the background moves the window by as many device pixels.
    start = test.desktop.geometry(test.window)
    drag_window(test, start[0] + test.device(410), start[1] + test.device(160), 60, 30)
    moved = test.desktop.geometry(test.window)
    # A press that waits while the window is busy with a cross-fade starts
    # the move up to one step of the pointer late.
    test.assertEqual(moved[2:], start[2:])
    test.assertTrue(54 <= moved[0] - start[0] <= 60 and 27 <= moved[1] - start[1] <= 30,
                    f"the window follows the drag: {start} -> {moved}")
    test.left, test.top = moved[0], moved[1]

    # The minimise button, at its scaled place. Without a window manager
    # Wine parks a minimised window in a row at the bottom of the screen.
    test.click_until(MINIMISE, lambda: test.desktop.geometry(test.window)[1] > 1000, "the window was not minimised")
    test.assertIsNone(test.process.poll())


class MovedToAnotherScale(ScaledProgram):
    """Started at 96 dpi, then dragged (as Windows would report it) onto a
    monitor at 150 %."""

    def test_the_window_takes_the_suggested_place_and_draws_at_the_new_scale(self):
        before = reference()
        changed = subprocess.run([str(ROOT / "harness" / "wine-run"), end_to_end.ARGS.build,
                                  end_to_end.ARGS.dpi_changer, TITLE, "144", "75", "75", "1313", "777"],
                                 capture_output=True, timeout=WAIT)
        self.assertEqual(changed.returncode, 0, changed.stderr)
        self.wait_for(lambda: self.desktop.geometry(self.window) == PLACES[144], "the window kept its size",
                      timeout=10)
        self.factor = 1.5
        self.left, self.top = 75, 75
        self.wait_for(lambda: self.shows_background(self.shoot("moved-144.png"), ASSETS / "background-1.jpg"),
                      "the next frame is not drawn at the new scale", timeout=10)
        shot = self.shoot("moved-144.png")
        text = self.in_window(PATH_TEXT)
        self.assertLess(abs(ink_height(shot, text) / 1.5 - before["height"]), 1.0)
        self.assertGreaterEqual(sharpness(shot, text), before["text"] * (1 - SHARPNESS_TOLERANCE))
        # It still answers: Escape closes it.
        self.desktop.focus(self.window)
        self.desktop.key("Escape")
        self.assertEqual(wait_for_exit(self.process, timeout=WAIT), 0)


def main():
    end_to_end.run_tests(end_to_end.parse_arguments(
        ("--dpi-changer", "send_dpi_changed.exe, which sends a window WM_DPICHANGED")))


if __name__ == "__main__":
    main()
