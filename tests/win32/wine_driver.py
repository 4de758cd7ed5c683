#!/usr/bin/env python3
"""The Windows programs under wine, used as a person would use them.

  wine_driver.py prefix      --work DIR        a fresh wine prefix in DIR/prefix
  wine_driver.py lookup      --work DIR --build WINDOWS_BUILD --linux-lookup PROGRAM
  wine_driver.py windows     --work DIR --build WINDOWS_BUILD --linux-lookup PROGRAM --table FILE
  wine_driver.py screenshots --work DIR --build WINDOWS_BUILD --table FILE --out FOLDER
  wine_driver.py stop        --work DIR        ends the prefix's wine server

`lookup` checks what Windows does its own way (paths, the console's encoding, the command
line's characters, file sharing, redirection); `windows` uses velmora.exe with keys, the mouse and
the clipboard as a person would. Exit status 0 when every check holds, 1 when one fails, 77 when a
tool is missing.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

from wine_desktop import Desktop, Display, Prefix, Timeout, missing_tools, poll

CAPTION = "3rd Generation F-body Velmora"
HELP_CAPTION = "Velmora Help"
FIND_CAPTION = "Find by description"
LABEL_CAPTION = "Decode a label"
MESSAGE_CAPTION = "Velmora"
# Client areas at 96 DPI: 15 twips to a pixel.
START_CLIENT = (6495 // 15, 6240 // 15)
LOOKUP_CLIENT = (7215 // 15, 7545 // 15)
HELP_CLIENT = (6120 // 15, 11430 // 15)
# A folder name no code page but Unicode holds.
NON_ASCII_FOLDER = "Prüfung Ölstand Ωμέγα 表"


class Checks:
    """Collects what held and what did not, and says so as it goes."""

    failures = []
    # Called with a file name on each failure, to keep a picture of the screen.
    keep_screen = None

    def expect(self, holds, what, detail=""):
        print(("ok      " if holds else "FAILED  ") + what, flush=True)
        if not holds:
            print("        " + detail.replace("\n", "\n        "), flush=True)
            self.failures.append(what)
            if self.keep_screen:
                self.keep_screen(f"failure-{len(self.failures)}.png")
        return holds

    def equal(self, actual, expected, what):
        return self.expect(actual == expected, what,
                           f"expected: {expected!r}\nactual:   {actual!r}")

    def status(self):
        print(f"{len(self.failures)} check(s) failed: " + "; ".join(self.failures)
              if self.failures else "every check held")
        return 1 if self.failures else 0


def lines(data):
    """Output bytes as lines, line ends (LF or CRLF) taken off."""
    text = data.replace(b"\r\n", b"\n").removesuffix(b"\n")
    return text.split(b"\n") if text else []


def prefix_of(args):
    return Prefix(os.path.join(args.work, "prefix"))


def fresh_folder(path):
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


# --- velmora-lookup.exe -------------------------------------------------------------------------

# A table with a Windows line end on each line, an en dash and a Windows-1252 degree sign.
LOOKUP_TABLE = b'L98,"5.7L V8, TPI"\r\nG80,Limited slip \xe2\x80\x93 Posi\r\nC60,Air 72\xb0\r\n'
# Command lines run in a folder holding LOOKUP_TABLE as RPO.txt (or, where the folder is named,
# in that folder), with words of the one message on standard error. The exit status and the lines
# on standard output (UTF-8 on the console, whatever its code page) are the Linux program's.
LOOKUP_CASES = [
    (["l98", "g80", "c60", "xy", "ZZZ"], None, []),
    (["\u00e91z"], None, []),
    ([], None, None),
    (["L98"], "missing", [b"Error 53: File not found", b"\\missing\\RPO.txt"]),
    (["L98"], "folder", [b"not a file"]),
    (["G80"], NON_ASCII_FOLDER, []),
    (["--table", os.path.join(NON_ASCII_FOLDER, "RPO.txt"), "C60"], None, []),
]


def linux_lookup(program, arguments, cwd):
    """The Linux velmora-lookup's exit status, output lines and message lines for the same
    command line."""
    done = subprocess.run([program] + arguments, cwd=cwd, capture_output=True, timeout=60)
    return done.returncode, lines(done.stdout), lines(done.stderr)


def check_lookup(args):
    checks = Checks()
    prefix = prefix_of(args)
    work = fresh_folder(os.path.join(args.work, "lookup"))
    # The programs in a folder of their own with no table beside it, so that only the current
    # folder or --table decides which table is read.
    exe = shutil.copy(os.path.join(args.build, "bin", "velmora-lookup.exe"),
                      fresh_folder(os.path.join(work, "program")))
    linux = shutil.copy(args.linux_lookup, os.path.dirname(exe))
    for folder in [work, fresh_folder(os.path.join(work, NON_ASCII_FOLDER))]:
        with open(os.path.join(folder, "RPO.txt"), "wb") as table:
            table.write(LOOKUP_TABLE)
    fresh_folder(os.path.join(work, "missing"))
    os.makedirs(os.path.join(fresh_folder(os.path.join(work, "folder")), "RPO.txt"))
    for arguments, folder, err_words in LOOKUP_CASES:
        what = " ".join(arguments) + (f" in {folder}" if folder else "")
        cwd = os.path.join(work, folder or "")
        # The first program in a new prefix starts slowly; the others then run at their pace.
        status, out, got_err = prefix.run([exe] + arguments, timeout=120, cwd=cwd)
        linux_status, linux_out, linux_err = linux_lookup(linux, arguments, cwd)
        checks.equal((status, lines(out)), (linux_status, linux_out),
                     f"{what}: exit status and lines, as on Linux")
        if err_words is None:
            checks.equal(lines(got_err), linux_err, f"{what}: the messages, as on Linux")
            continue
        checks.expect(all(word in got_err for word in err_words) and
                      len(lines(got_err)) == (1 if err_words else 0),
                      f"{what}: message names {err_words}", got_err.decode(errors="replace"))

    hostile = fresh_folder(os.path.join(work, "hostile"))
    table = os.path.join(hostile, "RPO.txt")
    # Another program appends to the table while it is read: the read ends at the size the
    # table had when it was opened.
    with open(table, "wb") as out:
        out.write(b"G80,found\n" * 100000)
    with open(table, "ab") as grow:
        writer = subprocess.Popen(["sh", "-c", "while :; do printf 'ZZZ,late\\n'; done"],
                                  stdout=grow)
        try:
            status, out, _ = prefix.run([exe, "--table", table, "G80"], cwd=hostile, timeout=120)
        finally:
            writer.kill()
            writer.wait()
    checks.equal(status, 0, "a growing table: the read ends, exit status 0")
    checks.equal(len(lines(out)), 100000, "a growing table: every record there at opening read")

    # The table as the program's own output would be read back without end: refused. cmd makes
    # the redirection, as a user's would be (wine tells nothing of a Unix parent's handle).
    shutil.copy(exe, os.path.join(hostile, "velmora-lookup.exe"))
    with open(table, "wb") as out:
        out.write(b"G80,found\n")
    status, _, err = prefix.run(
        ["cmd", "/c", "velmora-lookup.exe --table RPO.txt G80 >> RPO.txt"], cwd=hostile)
    checks.equal(status, 1, "table = output: refused with exit status 1")
    checks.expect(b"Error 55" in err, "table = output: error 55, as on Linux",
                  err.decode(errors="replace"))
    with open(table, "rb") as written:
        checks.equal(written.read(), b"G80,found\n", "table = output: the table is untouched")
    return checks.status()


# --- velmora.exe on a virtual display ----------------------------------------------------------


class Program:
    """velmora.exe running under wine on a display, and its message boxes' texts."""

    def __init__(self, prefix, display, exe, folder, trace):
        # Wine's message box trace holds each box's text: the one thing a person reads there.
        env = dict(prefix.env, DISPLAY=display.name, WINEDEBUG="-all,+msgbox")
        self.trace = trace
        with open(trace, "wb") as sink:
            self.process = subprocess.Popen(["wine", exe], cwd=folder, env=env,
                                            stdout=subprocess.DEVNULL, stderr=sink)

    def messages(self):
        with open(self.trace, "rb") as trace:
            said = trace.read().decode("utf-8", "replace")
        return re.findall(r'MSGBOX_OnInit L"(.*)"', said)

    def quit(self, desktop):
        """Ctrl+Q in the lookup window; the exit status, or None when the program goes on."""
        LookupWindowUser(desktop).point()
        desktop.key("ctrl+q")
        try:
            return self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class LookupWindowUser:
    """Moves through the lookup window by its tab order: "Search ", entry boxes 0 to 14, the
    display box, "Clear"."""

    ORDER = ["search"] + list(range(15)) + ["display", "clear"]

    def __init__(self, desktop):
        self.desktop = desktop
        self.at = "search"

    def point(self):
        """Points at the lookup window where the help window does not cover it."""
        for _ in range(3):
            try:
                window = self.desktop.wait_window(CAPTION)
                self.desktop.point_at_uncovered(window, self.desktop.visible(HELP_CAPTION))
                return
            except RuntimeError:
                time.sleep(0.2)
        raise Timeout("could not point at the lookup window")

    def go(self, place):
        steps = self.ORDER.index(place) - self.ORDER.index(self.at)
        self.point()
        if steps:
            self.desktop.key(*["Tab" if steps > 0 else "shift+Tab"] * abs(steps))
        self.at = place

    def type_codes(self, codes):
        for slot, code in enumerate(codes):
            if code:
                self.go(slot)
                self.desktop.type(code)

    def type_with_tab(self, frame, codes):
        """Types codes as a person does: a click into the first box, then Tab between codes;
        frame: the width and height that frame and menu bar add to the client area."""
        self.point()
        window = self.desktop.wait_window(CAPTION)
        self.desktop.point_at(window, frame[0] // 2 + 1320 // 15 + 10,
                              frame[1] - frame[0] // 2 + 120 // 15 + 10)
        self.desktop.click()
        for slot, code in enumerate(codes):
            if slot:
                self.desktop.key("Tab")
            self.desktop.type(code)
        self.at = len(codes) - 1

    def note_ink(self, frame):
        """The light pixels of the line under the display box that names what a paste left out."""
        edge = frame[0] // 2
        return sum(self.desktop.ink_rows(self.desktop.wait_window(CAPTION), edge + 120 // 15,
                                         frame[1] - edge + 6375 // 15, 6975 // 15, 225 // 15,
                                         light=True))

    def paste(self, text):
        self.desktop.set_clipboard(text)
        self.point()
        self.desktop.key("ctrl+v")

    def search(self):
        self.go("search")
        self.desktop.key("Return")

    def open_find(self, key="ctrl+f", caption=FIND_CAPTION):
        self.point()
        self.desktop.key(key)
        find_box = self.desktop.wait_window(caption, timeout=10)
        self.desktop.point_at(find_box)
        return find_box

    def copy_display(self, expected, part=lambda seen: seen):
        """Copies the display box's lines with Ctrl+C and returns the clipboard's lines (or the
        part of them compared) once they are the expected ones, or as they were after 10 s
        (waiting for the expected text, not for any change, leaves no race with wine's own
        handing over of the clipboard)."""
        self.go("display")
        self.desktop.key("ctrl+c")
        deadline = time.monotonic() + 10
        while (seen := None if (data := self.desktop.clipboard()) is None else part(lines(data))) \
                != expected and time.monotonic() < deadline:
            time.sleep(0.1)
        return seen


def scaled(client, dpi):
    """A size in pixels at 96 DPI as it stands at another DPI, rounded to the nearest pixel."""
    return tuple((pixels * dpi + 48) // 96 for pixels in client)


def client_deltas(desktop, window, client):
    width, height = desktop.size(window)
    return width - client[0], height - client[1]


def on_screen_beside(box, other=None):
    """Whether a window's box (left, top, width, height) stands on the screen, clear of other."""
    left, top, width, height = box
    inside = left >= 0 and top >= 0 and left + width <= Display.SIZE[0] and \
        top + height <= Display.SIZE[1]
    if other is None:
        return inside
    o_left, o_top, o_width, o_height = other
    return inside and (left >= o_left + o_width or left + width <= o_left
                       or top >= o_top + o_height or top + height <= o_top)


def picture_bands(desktop, window, edge):
    """How wide the picture box's own gray (wine's button face) shows left of, right of and below
    its picture: the box is the longest run of client rows with that gray (edge: the frame's)."""
    width, height = desktop.size(window)[0] - 2 * edge, desktop.size(window)[1]
    rgb = subprocess.run(["import", "-window", str(window), "-crop", f"{width}x{height}+{edge}+0",
                          "-depth", "8", "rgb:-"], env=desktop.env, capture_output=True).stdout
    gray = [[rgb[3 * (y * width + x):3 * (y * width + x + 1)] == b"\xf5" * 3
             for x in range(width)] for y in range(height)]
    runs = re.finditer("1+", "".join("1" if any(row) else "0" for row in gray))
    box = gray[slice(*max((run.span() for run in runs), key=lambda span: span[1] - span[0]))]
    cols = [x for x in range(width) if not all(row[x] for row in box)]
    rows = [y for y, row in enumerate(box) if not all(row)]
    return cols[0], width - 1 - cols[-1], len(box) - 1 - rows[-1]


def expect_message(checks, desktop, program, act, words, what):
    """Does act, then checks the message box it shows and presses Enter on it."""
    count = len(program.messages())
    act()
    try:
        box = desktop.wait_window(MESSAGE_CAPTION, timeout=20)
    except Timeout:
        return checks.expect(False, f"{what}: a message box")
    try:
        said = poll("the message box's text", lambda: program.messages()[count:], timeout=5)[0]
    except Timeout:
        said = ""
    checks.expect(all(word in said for word in words), f"{what}: a message box naming {words}",
                  f"the message: {said!r}")
    desktop.point_at(box)
    desktop.key("Return")
    desktop.wait_gone(box)


def drive_windows(args, checks, shots=None):
    prefix = prefix_of(args)
    if not prefix.exists():
        prefix.make()

    def reference(entries, folder, options=("--",)):
        """The lines the display box should hold: the Linux velmora-lookup's, or where none is
        given (screenshots), velmora-lookup.exe's."""
        if args.linux_lookup:
            return linux_lookup(args.linux_lookup, [*options] + entries, folder)[1]
        exe = os.path.join(args.build, "bin", "velmora-lookup.exe")
        return lines(prefix.run([exe, *options] + entries, cwd=folder)[1])

    def shows(user, what, entries, folder, options=("--",)):
        """Checks the display box holds velmora-lookup's lines for entries; returns them."""
        want = reference(entries, folder, options)
        checks.equal(user.copy_display(want), want, what)
        return want

    def install(name):
        """velmora.exe and the shipped table in a fresh folder; returns the program's path."""
        folder = fresh_folder(os.path.join(work, name))
        shutil.copy(args.table, os.path.join(folder, "RPO.txt"))
        return shutil.copy(os.path.join(args.build, "bin", "velmora.exe"), folder)

    def shot(window, name):
        if shots:
            time.sleep(1)
            desktop.screenshot(window, os.path.join(shots, name))

    def look_up(start, dpi):
        """From the banner, Tab reaches "Look up RPO Codes" and Enter opens the lookup window for
        the start one. Checks both client areas, at dpi, stand inside the same frame; returns the
        frame's and the menu bar's sizes across and down."""
        start_frame = client_deltas(desktop, start, scaled(START_CLIENT, dpi))
        desktop.key("Tab", "Return")
        desktop.wait_gone(start)
        lookup = desktop.wait_window(CAPTION)
        checks.expect(lookup != start, "Tab and Enter: the lookup window for the start one")
        frame = client_deltas(desktop, lookup, scaled(LOOKUP_CLIENT, dpi))
        # At 96 DPI the frames are the same to the pixel; scaled sizes may round apart by one.
        checks.expect(all(abs(a - b) <= (dpi != 96) for a, b in zip(start_frame, frame))
                      and 0 < start_frame[0] < 40 * dpi // 96
                      and 20 < start_frame[1] < 100 * dpi // 96,
                      f"{dpi} DPI: client areas {scaled(START_CLIENT, dpi)} and "
                      f"{scaled(LOOKUP_CLIENT, dpi)} inside the same frame",
                      f"frame and menu bar: start {start_frame}, lookup {frame}")
        return frame

    work = fresh_folder(os.path.join(args.work, "windows"))
    exe = install("program")
    folder = os.path.dirname(exe)
    table = os.path.join(folder, "RPO.txt")

    with Display() as display:
        desktop = Desktop(display)
        checks.keep_screen = lambda name: desktop.screenshot("root", os.path.join(work, name))
        program = Program(prefix, display, exe, folder, os.path.join(work, "trace.txt"))
        try:
            start = desktop.wait_window(CAPTION, timeout=60)
            checks.expect(True, "the start window is shown")
            shot(start, "start.png")

            # Help from the start window stays open beside the lookup window.
            desktop.point_at(start)
            desktop.key("alt+h")
            desktop.key("Return")
            help_window = desktop.wait_window(HELP_CAPTION)
            checks.expect(True, "Help > Help in the start window shows the help window")
            # Now, while it is on top: without a window manager nothing raises it later.
            shot(help_window, "help.png")

            # A click on the banner, where the help window leaves it free, makes the start window
            # active again.
            desktop.point_at_uncovered(start, [help_window])
            desktop.click()
            lookup_frame = look_up(start, 96)
            checks.equal(len(desktop.visible(HELP_CAPTION)), 1,
                         "the help window stays open beside the lookup window")

            user = LookupWindowUser(desktop)
            # Typed with Tab between codes, each goes into the next box; the fourth letter typed
            # into the third box is refused.
            user.type_with_tab(lookup_frame, ["l98", "g80", "ws6x", "l9", "xyz", "g80"])
            # Ctrl+V of one code over the selected text of a box replaces it; codes with a
            # no-break space between them spread from the box pasted into.
            user.go(3)
            desktop.key("End", "shift+Home")
            user.paste("1le")
            user.go(6)
            user.paste("lb9\u00a0u52")
            user.at = 7  # the focus follows the last code pasted
            # A word too long for a box goes into none and is named on a line in the window,
            # which stays until a box changes.
            user.go(8)
            user.paste("L98X G80 WS6")
            time.sleep(0.5)
            checks.expect(user.note_ink(lookup_frame) > 20,
                          "L98X G80 WS6 pasted: a note shows in the window")
            time.sleep(1)
            checks.expect(user.note_ink(lookup_frame) > 20, "the note stays after a second")
            shot(desktop.wait_window(CAPTION), "note.png")
            desktop.key("BackSpace")
            desktop.type("6")
            time.sleep(0.5)
            checks.equal(user.note_ink(lookup_frame), 0, "typing takes the note away")
            user.at = 9
            user.search()
            entries = ["L98", "G80", "WS6", "1LE", "XYZ", "G80", "LB9", "U52", "G80", "WS6"]
            expected = shows(user, "typed codes and Search: velmora-lookup's lines", entries,
                             folder)
            shot(desktop.wait_window(CAPTION), "lookup.png")

            # Find by description: Ctrl+F opens the find box beside the window; Enter in its
            # words finds, Escape closes it.
            find_box = user.open_find()
            desktop.type("AXLE ratio")
            desktop.key("Return")
            shot("root", "find.png")
            desktop.key("Escape")
            desktop.wait_gone(find_box)
            found = shows(user, "Ctrl+F, words and Enter: velmora-lookup --find's lines",
                          ["AXLE", "ratio"], folder, ("--find",))
            # After a search, the display box's menu opens the box again with its words kept.
            user.search()
            checks.equal(user.copy_display(expected), expected, "Search after a find")
            user.go("display")
            desktop.key("shift+F10", "Down", "Down", "Return")
            find_box = desktop.wait_window(FIND_CAPTION, timeout=10)
            desktop.point_at(find_box)
            desktop.key("Return", "Escape")
            desktop.wait_gone(find_box)
            checks.equal(user.copy_display(found), found,
                         "the display box's menu opens the find box, its words kept")
            # No-break spaces alone are no words: Find stays off, so Enter finds nothing and the
            # display box keeps its lines.
            find_box = user.open_find()
            desktop.key("End", "shift+Home")
            desktop.type("\u00a0\u00a0")
            desktop.key("Return", "End", "shift+Home")
            desktop.type("AXLE ratio")
            desktop.key("Escape")
            desktop.wait_gone(find_box)
            checks.equal(user.copy_display(found), found,
                         "no-break spaces alone in the find box find nothing")
            # Decode a label: Ctrl+L opens its box beside the window; the codes typed, or a label
            # pasted line breaks and all, and Enter print velmora-lookup --label's lines.
            label_box = user.open_find("ctrl+l", LABEL_CAPTION)
            boxes = [desktop.geometry(label_box), desktop.geometry(desktop.visible(CAPTION)[0])]
            checks.expect(on_screen_beside(*boxes), "Ctrl+L opens the label box beside the "
                          "lookup window", f"label {boxes[0]}, lookup {boxes[1]}")
            label = "L98 g80 WS6 ZZZ 1LE L9 B2L XYZ AU3 A31 Q Y87 G92 AQ9 B20 TOP LB9 U52 AG1 N10"
            desktop.type(label)
            desktop.key("Return")
            shot("root", "label.png")
            desktop.key("Escape")
            shows(user, "Ctrl+L, twenty codes and Enter: velmora-lookup --label's lines",
                  label.split(), folder, ("--label",))
            user.open_find("ctrl+l", LABEL_CAPTION)
            desktop.set_clipboard("G80 WS6\nL98\r\n1LE\n")
            desktop.key("ctrl+v", "Return", "Escape")
            shows(user, "a label pasted with its line breaks decodes all its lines",
                  ["G80", "WS6", "L98", "1LE"], folder, ("--label",))

            # Tables that cannot be read: a message, and the window goes on. Find reads the same
            # table and tells the same.
            os.remove(table)
            expect_message(checks, desktop, program, user.search, ["53", "File not found"],
                           "missing table")
            expect_message(checks, desktop, program,
                           lambda: (user.open_find(), desktop.key("Return")),
                           ["53", "File not found"], "missing table, find")
            find_box = desktop.point_at_titled(FIND_CAPTION)
            desktop.key("Escape")
            desktop.wait_gone(find_box)
            os.makedirs(table)
            expect_message(checks, desktop, program, user.search, ["RPO.txt"],
                           "a folder as the table")
            os.rmdir(table)
            # Ctrl+K checks the table; only the form of its path may differ on Windows.

            def upto_path(found):
                return found and found[:-1] + [found[-1].split(b" of ")[0]]
            with open(table, "w") as odd:
                odd.write('l98,"Engine" sold\nG80,Axle\n')
            want = upto_path(reference([], folder, ("--check",)))
            user.point()
            desktop.key("ctrl+k")
            checks.equal(user.copy_display(want, upto_path), want,
                         "Ctrl+K: velmora-lookup --check's lines")
            shot(desktop.wait_window(CAPTION), "check.png")
            # More lines than the display box shows: each leaves ink, Down and End scroll them.
            with open(table, "w") as many:
                many.writelines(f"L98,{'x' * (k % 20 + 1)}\n" for k in range(40))
            user.search()
            shows(user, "40 records: all printed", entries, folder)
            edge = lookup_frame[0] // 2
            # The display box inside its 2-pixel edge, and 2 more for the focus mark.
            left, top, height = 120 // 15 + 4, 2760 // 15 + 4, 3615 // 15 - 8
            time.sleep(0.5)

            def ink_after(*keys):
                def rows():
                    return desktop.ink_rows(desktop.wait_window(CAPTION), edge + left,
                                            lookup_frame[1] - edge + top, 200, height)
                before = rows()
                desktop.key(*keys)
                try:
                    return before, poll("the display box to scroll",
                                        lambda: (after := rows()) != before and after, timeout=5)
                except Timeout:
                    return before, before
            first, down = ink_after("Down")
            step = next((h for h in range(6, 40) if down[:-h] == first[h:]), 0)

            def inked(rows):
                return step > 0 and all(sum(rows[k * step:(k + 1) * step])
                                        for k in range((height + 4) // step))
            checks.expect(inked(first), "each printed line leaves ink where it stands, and Down "
                          "moves the lines up by one", f"ink by pixel rows: {first}, {down}")
            before, end = ink_after("End")
            checks.expect(end != before and inked(end), "End: the last line shows at the bottom")
            shutil.copy(args.table, table)
            user.search()
            checks.equal(user.copy_display(expected), expected,
                         "the program goes on after the table errors")

            # Help > Help brings the one help window to the front; "Close Help Box", which has
            # the focus there, hides it.
            user.point()
            desktop.key("alt+h")
            desktop.key("Return")
            help_window = desktop.wait_window(HELP_CAPTION)
            checks.equal(len(desktop.visible(HELP_CAPTION)), 1,
                         "Help > Help in the lookup window: one help window")
            help_frame = client_deltas(desktop, help_window, HELP_CLIENT)
            checks.expect(help_frame[0] == lookup_frame[0]
                          and 10 < lookup_frame[1] - help_frame[1] < 40,
                          f"help window's client area {HELP_CLIENT[0]} x {HELP_CLIENT[1]}, "
                          "inside a frame with no menu bar",
                          f"frame: help {help_frame}, lookup {lookup_frame}")
            boxes = [desktop.geometry(help_window), desktop.geometry(desktop.visible(CAPTION)[0])]
            checks.expect(on_screen_beside(*boxes),
                          "the help window opens beside the lookup window, on the screen",
                          f"help {boxes[0]}, lookup {boxes[1]}")
            desktop.point_at_titled(HELP_CAPTION, 20, 40)
            desktop.key("Escape")
            desktop.wait_gone(help_window)
            checks.expect(bool(desktop.visible(CAPTION)),
                          "Escape hides the help window; the lookup window stays")

            checks.equal(program.quit(desktop), 0, "Ctrl+Q ends the program")
        except Timeout as timeout:
            checks.expect(False, "the windows appear and go in time", str(timeout))
        finally:
            program.kill()

        # From another folder: the table beside the program, both in a non-ASCII folder; and the
        # display at 144 DPI, where every size grows by half.
        prefix.set_dpi(144)
        exe = install(NON_ASCII_FOLDER)
        program = Program(prefix, display, exe, fresh_folder(os.path.join(work, "elsewhere")),
                          os.path.join(work, "trace-2.txt"))
        try:
            start = desktop.wait_window(CAPTION, timeout=60)
            shot(start, "start-144.png")
            desktop.point_at(start)
            look_up(start, 144)
            user = LookupWindowUser(desktop)
            user.type_codes(["ws6", "", "l98"])
            user.search()
            shows(user, "run from another folder: the table beside velmora.exe in a non-ASCII "
                  "folder is read", ["WS6", "", "L98"], os.path.dirname(exe))
            shot(desktop.wait_window(CAPTION), "lookup-144.png")
            label_box = user.open_find("ctrl+l", LABEL_CAPTION)
            shot("root", "label-144.png")
            desktop.key("Escape")
            desktop.wait_gone(label_box)
            # Half as high again, the help window would not fit the screen: its picture gives up
            # the difference.
            user.point()
            desktop.key("alt+h")
            desktop.key("Return")
            help_window = desktop.wait_window(HELP_CAPTION)
            checks.expect(on_screen_beside(desktop.geometry(help_window)),
                          "at 144 DPI the help window fits the screen",
                          str(desktop.geometry(help_window)))
            shot(help_window, "help-144.png")
            # The picture drawn for 144 DPI, shrunk to the box's height, stands in its middle.
            time.sleep(1)
            bands = picture_bands(desktop, help_window, client_deltas(
                desktop, help_window, scaled(HELP_CLIENT, 144))[0] // 2)
            checks.expect(bands[2] == 0 and bands[1] <= bands[0] + 1,
                          "at 144 DPI the help picture fills its box's height, in its middle",
                          f"the box's own gray left, right and below: {bands}")
            desktop.key("Escape")
            desktop.wait_gone(help_window)
            checks.equal(program.quit(desktop), 0, "Ctrl+Q ends the second run")
        except Timeout as timeout:
            checks.expect(False, "the second run's windows appear in time", str(timeout))
        finally:
            program.kill()
            prefix.set_dpi(None)


def check_windows(args, shots=None):
    if not os.path.isfile(os.path.join(args.build, "bin", "velmora.exe")):
        print("skipped: this build has no velmora.exe")
        return 77
    checks = Checks()
    began = time.monotonic()
    drive_windows(args, checks, shots)
    print(f"velmora.exe under wine: {time.monotonic() - began:.0f} s")
    if shots:
        prefix_of(args).stop()
        print(f"screenshots in {args.out}: start.png lookup.png find.png label.png check.png "
              "help.png start-144.png lookup-144.png label-144.png help-144.png")
    return checks.status()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("command", choices=["prefix", "lookup", "windows", "screenshots", "stop"])
    for name in ["--work", "--build", "--linux-lookup", "--table", "--out"]:
        parser.add_argument(name, type=os.path.abspath, required=name == "--work")
    args = parser.parse_args()
    needed = {"lookup": ["build", "linux_lookup"], "windows": ["build", "table", "linux_lookup"],
              "screenshots": ["build", "table", "out"]}.get(args.command, [])
    if missing := [name for name in needed if not getattr(args, name)]:
        parser.error(f"--{missing[0].replace('_', '-')} is needed")
    if missing := missing_tools() + (["import"] if args.command == "screenshots"
                                     and shutil.which("import") is None else []):
        print("skipped: missing " + ", ".join(missing))
        return 77
    if args.command == "prefix":
        prefix_of(args).make()
    elif args.command == "stop":
        prefix_of(args).stop()
    elif args.command == "lookup":
        return check_lookup(args)
    else:
        if args.out:
            os.makedirs(args.out, exist_ok=True)
        return check_windows(args, args.out if args.command == "screenshots" else None)
    return 0


if __name__ == "__main__":
    sys.exit(main())
