#!/usr/bin/env python3
"""The window front-end as a new user meets it, under Xvfb, typed at with
xdotool: a sum shows what the headless run shows, cell by cell in the
window's pixels, with the exponent's "E" in red; Esc s n ends with 0;
closing the window ends with 0; Ctrl+Alt+F11 (with Shift, which desktops
leave to the program) and Braille chords type the name of the saved log.

Usage: window_client_test.py QUIPULAR VOICE_PACK
Prints "SKIPPED: ..." and exits 0 where Xvfb, xdotool or libX11 is missing.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
from collections import Counter

from harness import COLUMNS, ROWS, check, failures, headless, side_by_side, wait_for
from harness.xvfb import start_xvfb
from x11_display import Display, open_x11

RED, WHITE, BLUE = (255, 0, 0), (255, 255, 255), (0, 0, 255)




class Run:
    """One run of the program in its own directory, with its window."""

    def __init__(self, test, name, options=("--window",), env=None):
        self.test = test
        self.env = env or test.env
        self.dir = os.path.join(test.top, name)
        os.makedirs(self.dir)
        command = [test.quipular, *options, "--screen", "screen.txt", "--speech", "speech.txt"]
        self.process = subprocess.Popen(command, cwd=self.dir, env=self.env,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        # The title becomes QUIPULAR once the calculator has started.
        found = wait_for(lambda: self.xdotool("search", "--name", "^QUIPULAR$"), timeout=15,
                         step=0.1)
        self.window = int(found.split()[0]) if found else None
        if check(self.window is not None, name + ": no window titled QUIPULAR"):
            geometry = self.xdotool("getwindowgeometry", str(self.window))
            size = geometry.split("Geometry:")[1].split()[0]
            self.width, self.height = (int(v) for v in size.split("x"))
            self.xdotool("mousemove", "--window", str(self.window), "5", "5")
            self.xdotool("windowfocus", "--sync", str(self.window))

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                                text=True)
        return result.stdout.strip() if result.returncode == 0 else ""

    def type(self, *keys):
        for key in keys:
            if key.startswith("+"):
                self.xdotool("key", "--delay", "30", key[1:])
            else:
                self.xdotool("type", "--delay", "30", key)

    def chord(self, *keys):
        """Braille: the keys pressed together, then let go."""
        self.xdotool("keydown", "--delay", "20", *keys)
        self.xdotool("keyup", "--delay", "20", *keys)

    def shot(self):
        return self.test.display.pixels(self.window, self.width, self.height)

    def finish(self, timeout=15):
        try:
            code = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            code = self.process.wait()
            check(False, "%s: did not end" % self.dir)
        output = self.process.stdout.read().decode(errors="replace")
        return code, output

    def read(self, name):
        with open(os.path.join(self.dir, name), encoding="utf-8") as f:
            return f.read()


def padded_rows(text):
    """A screen's 25 rows, each 80 characters."""
    lines = text.split("\n")[:ROWS]
    lines += [""] * (ROWS - len(lines))
    return [line.ljust(COLUMNS)[:COLUMNS] for line in lines]


class Cells:
    """The window's pixels cut into the 80 x 25 cells."""

    def __init__(self, pixels, width, height):
        self.w, self.h = width // COLUMNS, height // ROWS
        self.pixels = pixels

    def cell(self, column, row):
        x0, y0 = column * self.w, row * self.h
        return [self.pixels[y][x0:x0 + self.w] for y in range(y0, y0 + self.h)]

    def background(self, column, row):
        return Counter(p for line in self.cell(column, row) for p in line).most_common(1)[0][0]

    # A pixel is ink when it stands clearly apart from the cell's background:
    # the faintest edges of a glyph blend differently into each colour.
    @staticmethod
    def apart(p, bg):
        return max(abs(a - b) for a, b in zip(p, bg)) > 64

    def mask(self, column, row):
        bg = self.background(column, row)
        return tuple(tuple(self.apart(p, bg) for p in line) for line in self.cell(column, row))

    def ink(self, column, row):
        bg = self.background(column, row)
        return [p for line in self.cell(column, row) for p in line if self.apart(p, bg)]


def bands(mask):
    """The runs of pixel rows that hold ink: (first, last)."""
    result, start = [], None
    for y, line in enumerate(mask + ((False,),)):
        if any(line) and start is None:
            start = y
        elif not any(line) and start is not None:
            result.append((start, y - 1))
            start = None
    return result


def compare_cells(cells, expected):
    """Every cell shows the character the headless screen has there: cells
    of one character look alike, cells of different characters differ, and
    a few characters have the shapes they should. The one cell unlike the
    rest of its character must be the caret, on the operand line."""
    masks = {}
    for row in range(ROWS):
        for column in range(COLUMNS):
            masks.setdefault(expected[row][column], []).append(
                ((column, row), cells.mask(column, row)))
    problems, odd = [], []
    common = {}
    for char, entries in masks.items():
        counts = Counter(m for _, m in entries)
        common[char] = counts.most_common(1)[0][0]
        odd += [(at, char) for at, m in entries if m != common[char]]
    by_mask = {}
    for char, m in common.items():
        if m in by_mask:
            problems.append("%r and %r are drawn alike" % (char, by_mask[m]))
        by_mask[m] = char
    operand_row = max((r for r in range(ROWS) if expected[r].startswith("Operando:")), default=-1)
    caret = [at for at, _ in odd if at[1] == operand_row]
    if len(odd) != 1 or len(caret) != 1:
        problems.append("cells unlike their character: %s" % odd[:10])
    else:
        (column, row), char = odd[0]
        diff = [any(a != b for a, b in zip(x, y))
                for x, y in zip(cells.mask(column, row), common[char])]
        # The caret is a bar along the bottom of its cell, under the text.
        changed = [y for y, d in enumerate(diff) if d]
        if not changed or changed[0] < cells.h * 3 // 4:
            problems.append("the caret cell (%d, %d) differs in rows %s" % (column, row, changed))
    shape = {char: bands(m) for char, m in common.items()}
    h = cells.h
    if " " in shape and shape[" "]:
        problems.append("blanks have ink")
    if "-" in shape and not (len(shape["-"]) == 1 and shape["-"][0][1] - shape["-"][0][0] < h / 5 and
                             h * 0.3 < sum(shape["-"][0]) / 2 < h * 0.7):
        problems.append("'-' is not a dash: %s" % shape["-"])
    if "=" in shape and len(shape["="]) != 2:
        problems.append("'=' is not two bars: %s" % shape["="])
    if "." in shape and not (len(shape["."]) == 1 and sum(shape["."][0]) / 2 > h * 0.55):
        problems.append("'.' is not a low dot: %s" % shape["."])
    return problems


def attempt(run, expected, label, extra=None, timeout=10):
    """Compares until the window shows the expected screen (drawing and the
    keys take their time), then reports what is still wrong."""
    end = time.monotonic() + timeout
    while True:
        cells = Cells(run.shot(), run.width, run.height)
        problems = compare_cells(cells, expected)
        if extra and not problems:
            problems = extra(cells)
        if not problems or time.monotonic() >= end:
            break
        time.sleep(0.3)
    for p in problems:
        check(False, "%s: %s" % (label, p))
    return cells


class Test:
    def __init__(self, quipular, pack):
        self.quipular = quipular
        self.top = tempfile.mkdtemp(prefix="quipular-window-")
        windir = os.path.join(self.top, "windows")
        os.makedirs(windir)
        shutil.copy(os.path.join(pack, "windows", "VESTRA.INI"), windir)
        # D-Bus, which SDL starts for input methods, keeps a buffer to the end
        # of the process: the leak checker of a sanitized build is told so.
        suppressions = os.path.join(self.top, "lsan.supp")
        with open(suppressions, "w") as f:
            f.write("leak:libdbus-1.so\n")
        lsan = "suppressions=%s:print_suppressions=0" % suppressions
        if os.environ.get("LSAN_OPTIONS"):
            lsan = os.environ["LSAN_OPTIONS"] + ":" + lsan
        self.env = dict(os.environ, HOME=self.top, VESTRA_WINDIR=windir, VESTRA_ROOT=pack,
                        QUIPULAR_AUDIO="none", LSAN_OPTIONS=lsan)
        self.xvfb = None
        self.display = None
        self.default_size = None

    def start_display(self, x11):
        self.xvfb, name = start_xvfb()
        self.env["DISPLAY"] = name
        self.env.pop("WAYLAND_DISPLAY", None)
        self.display = Display(x11, name)
        return bool(self.display.d)

    def headless_text(self, keys):
        return headless(self.quipular, keys, self.env, tempfile.mkdtemp(dir=self.top)).screen

    def headless(self, keys):
        return padded_rows(self.headless_text(keys))

    def sum_and_exponent(self):
        run = Run(self, "sum")
        if run.window is None:
            return
        self.default_size = (run.width, run.height)
        title = run.xdotool("getwindowname", str(run.window))
        check(title == "QUIPULAR", "title %r" % title)
        run.type("5", "+Return", "3", "+Return", "+plus", "+Return")
        expected = self.headless("5<Enter>3<Enter>+<Enter>")
        check(any(line.strip() == "X = 8.00     RESULTADO" for line in expected), "no X = 8.00")
        attempt(run, expected, "5 3 +")
        expected = self.headless("5<Enter>3<Enter>+<Enter>2e20<Enter>")
        run.type("2e20", "+Return")
        row = max(r for r in range(ROWS) if "X = 2E20" in expected[r])
        column = expected[row].index("2E20")

        def red_e(cells):
            e, two = cells.ink(column + 1, row), cells.ink(column, row)
            problems = []
            if not (RED in e and all(g <= r for r, g, b in e)):
                problems.append("the exponent's E is not red: %s" % sorted(set(e))[:5])
            if WHITE not in two:
                problems.append("the digit before the E is not white")
            if cells.background(expected[row].index("RESULTADO"), row) != BLUE:
                problems.append("RESULTADO is not on blue")
            return problems

        attempt(run, expected, "2 EEX 20", red_e)
        run.type("+Escape", "s", "n")
        code, output = run.finish()
        check(code == 0, "Esc s n: exit code %d (%s)" % (code, output))
        check(run.read("screen.txt") ==
              self.headless_text("5<Enter>3<Enter>+<Enter>2e20<Enter><Esc>sn"),
              "the window's last screen is not the headless one")

    def bad_font_sizes(self):
        """Cell sizes that are not numbers, or out of range, give the window
        of the default cell size, and are named on standard error."""
        if not self.default_size:
            return
        windir = os.path.join(self.top, "windows-sizes")
        os.makedirs(windir)
        with open(os.path.join(self.env["VESTRA_WINDIR"], "VESTRA.INI")) as f:
            settings = f.read()
        with open(os.path.join(windir, "VESTRA.INI"), "w") as f:
            f.write(settings.replace("[VIDEO]\n", "[VIDEO]\nALTURALETRA=abc\nLARGURALETRA=-5\n"))
        run = Run(self, "sizes", env=dict(self.env, VESTRA_WINDIR=windir))
        if run.window is None:
            return
        check((run.width, run.height) == self.default_size,
              "ALTURALETRA=abc LARGURALETRA=-5: window %dx%d, the default cells give %dx%d" %
              (run.width, run.height, *self.default_size))
        run.type("+Escape", "s", "n")
        code, output = run.finish()
        check(code == 0, "sizes: exit code %d (%s)" % (code, output))
        check("ALTURALETRA=abc" in output and "LARGURALETRA=-5" in output,
              "the ignored sizes are not named: %r" % output)

    def close_box(self):
        # With a display and no front-end named, the window is the one.
        run = Run(self, "close", options=())
        if run.window is None:
            return
        self.display.close_window(run.window)
        code, output = run.finish()
        check(code == 0, "closing the window: exit code %d (%s)" % (code, output))

    def braille(self):
        run = Run(self, "braille")
        if run.window is None:
            return
        run.type("+ctrl+alt+shift+F11")  # Braille keyboard, mode 1
        run.type("+Escape")
        time.sleep(0.5)
        run.chord("d", "s", "j")  # s: confirm the end
        time.sleep(0.3)
        run.chord("d", "s", "j")  # s: save the log
        time.sleep(0.3)
        run.chord("f", "j")  # c: its name
        time.sleep(0.3)
        run.type("+Return")
        code, output = run.finish()
        check(code == 0, "Braille run: exit code %d (%s)" % (code, output))
        speech = run.read("speech.txt").split("\n")
        check("tone 800" in speech and "tone 1600" in speech, "no mode 1 tones")
        check(os.path.exists(os.path.join(run.dir, "c.txt")), "the log was not saved as c.txt")


def main():
    quipular, pack = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    x11 = open_x11()
    if x11 is None:
        return 0
    started = time.monotonic()

    def on_a_screen(*steps):
        """Steps in turn, on a virtual screen and with settings of their own."""
        test = Test(quipular, pack)
        try:
            if check(test.start_display(x11), "Xvfb did not start"):
                for step in steps:
                    step(test)
        finally:
            if test.xvfb:
                test.xvfb.terminate()
                test.xvfb.wait()
            shutil.rmtree(test.top, ignore_errors=True)

    # Side by side: each mostly waits for a window to be drawn.
    side_by_side(lambda: on_a_screen(Test.sum_and_exponent, Test.bad_font_sizes),
                 lambda: on_a_screen(Test.close_box), lambda: on_a_screen(Test.braille))
    print("%.1f s, %d failures" % (time.monotonic() - started, len(failures)))
    return 1 if failures else 0


sys.exit(main())
