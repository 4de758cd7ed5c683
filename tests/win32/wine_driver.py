#!/usr/bin/env python3
"""The Windows programs under wine, used as a person would use them.

  wine_driver.py prefix      --work DIR        a fresh wine prefix in DIR/prefix
  wine_driver.py lookup      --work DIR --build WINDOWS_BUILD
  wine_driver.py windows     --work DIR --build WINDOWS_BUILD --linux-lookup PROGRAM --table FILE
  wine_driver.py screenshots --work DIR --build WINDOWS_BUILD --table FILE --out FOLDER
  wine_driver.py stop        --work DIR        ends the prefix's wine server

`lookup` runs velmora-lookup.exe on cases whose lines, messages and exit statuses are written
here, only for what Windows does its own way (paths, the console's encoding, the command line's
characters, file sharing, redirection). `windows` starts velmora.exe on a virtual display, goes
from the start window to the lookup window with Tab and Enter, types and pastes codes, searches,
reads the display box back through Ctrl+C and the clipboard, finds by description from the find
box (Ctrl+F and the display box's menu), meets tables that cannot be read, opens and closes the
help window
and ends the program with Ctrl+Q. Exit status 0 when every check holds, 1 when one fails, 77
when a tool is missing.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from wine_desktop import Desktop, Display, Prefix, Timeout, missing_tools, poll  # noqa: E402

CAPTION = "3rd Generation F-body Velmora"
HELP_CAPTION = "Velmora Help"
FIND_CAPTION = "Find by description"
MESSAGE_CAPTION = "Velmora"
# Client areas at 96 DPI: 15 twips to a pixel.
START_CLIENT = (6495 // 15, 6240 // 15)
LOOKUP_CLIENT = (7215 // 15, 7545 // 15)
HELP_CLIENT = (6120 // 15, 10590 // 15)
# A folder name no code page but Unicode holds.
NON_ASCII_FOLDER = "Prüfung Ölstand Ωμέγα 表"


class Checks:
    """Collects what held and what did not, and says so as it goes."""

    def __init__(self):
        self.failures = []
        # Called with a file name on each failure, to keep a picture of the screen.
        self.keep_screen = None

    def expect(self, holds, what, detail=""):
        print(("ok      " if holds else "FAILED  ") + what, flush=True)
        if not holds:
            if detail:
                print("        " + detail.replace("\n", "\n        "), flush=True)
            self.failures.append(what)
            if self.keep_screen:
                self.keep_screen(f"failure-{len(self.failures)}.png")
        return holds

    def equal(self, actual, expected, what):
        return self.expect(actual == expected, what,
                           f"expected: {expected!r}\nactual:   {actual!r}")

    def status(self):
        if self.failures:
            print(f"{len(self.failures)} check(s) failed: " + "; ".join(self.failures))
            return 1
        print("every check held")
        return 0


def lines(data):
    """Output bytes as lines, line ends (LF or CRLF) taken off."""
    text = data.replace(b"\r\n", b"\n")
    if text.endswith(b"\n"):
        text = text[:-1]
    return text.split(b"\n") if text else []


def prefix_of(args):
    """The wine prefix that every command of one test run shares, in its work folder."""
    return Prefix(os.path.join(args.work, "prefix"))


def junk_table():
    """Binary junk, the same on every run: every byte value, NULs, stray quotes and commas."""
    return random.Random(1982).randbytes(6000) + bytes(range(256)) + b'\0,"\r\n' * 20


def fresh_folder(path):
    if os.path.lexists(path):
        if os.path.isdir(path) and not os.path.islink(path):
            shutil.rmtree(path)
        else:
            os.remove(path)
    os.makedirs(path)
    return path


# --- velmora-lookup.exe -------------------------------------------------------------------------

# A table with a Windows line end on each line, an en dash and a Windows-1252 degree sign.
LOOKUP_TABLE = b'L98,"5.7L V8, TPI"\r\nG80,Limited slip \xe2\x80\x93 Posi\r\nC60,Air 72\xb0\r\n'
# What a user sees for each command line in a folder holding LOOKUP_TABLE as RPO.txt (or, where
# the folder is named, in that folder): exit status, the lines on standard output (UTF-8 on the
# console, whatever its code page) and words of the one message on standard error.
LOOKUP_CASES = [
    (["l98", "g80", "c60", "xy", "ZZZ"], None, 0,
     [b"L98  5.7L V8, TPI", b"G80  Limited slip \xe2\x80\x93 Posi", b"C60  Air 72\xc2\xb0",
      b"XY   : RPO code must be 3 characters.", b"ZZZ   : No match found."], []),
    (["\u00e91z"], None, 0, [b"\xc3\x891Z   : No match found."], []),
    ([], None, 0, [], []),
    (["L98"], "missing", 1, [], [b"Error 53: File not found", b"\\missing\\RPO.txt"]),
    (["L98"], "folder", 1, [], [b"not a file"]),
    (["G80"], NON_ASCII_FOLDER, 0, [b"G80  Limited slip \xe2\x80\x93 Posi"], []),
    (["--table", os.path.join(NON_ASCII_FOLDER, "RPO.txt"), "C60"], None, 0,
     [b"C60  Air 72\xc2\xb0"], []),
]


def check_lookup(args):
    checks = Checks()
    prefix = prefix_of(args)
    work = fresh_folder(os.path.join(args.work, "lookup"))
    # The program in a folder of its own with no table beside it, so that only the current
    # folder or --table decides which table is read.
    exe = os.path.join(fresh_folder(os.path.join(work, "program")), "velmora-lookup.exe")
    shutil.copy(os.path.join(args.build, "bin", "velmora-lookup.exe"), exe)
    for folder in [work, fresh_folder(os.path.join(work, NON_ASCII_FOLDER))]:
        with open(os.path.join(folder, "RPO.txt"), "wb") as table:
            table.write(LOOKUP_TABLE)
    fresh_folder(os.path.join(work, "missing"))
    os.makedirs(os.path.join(fresh_folder(os.path.join(work, "folder")), "RPO.txt"))
    for arguments, folder, status, out, err_words in LOOKUP_CASES:
        what = " ".join(arguments) + (f" in {folder}" if folder else "")
        # The first program in a new prefix starts slowly; the others then run at their pace.
        got_status, got_out, got_err = prefix.run([exe] + arguments,
                                                  cwd=os.path.join(work, folder or ""),
                                                  timeout=120)
        checks.equal(got_status, status, f"{what}: exit status")
        checks.equal(lines(got_out), out, f"{what}: lines")
        checks.expect(all(word in got_err for word in err_words) and
                      len(lines(got_err)) == (1 if err_words else 0),
                      f"{what}: message names {err_words}", got_err.decode(errors="replace"))
    check_lookup_bounds(checks, prefix, exe, work)
    return checks.status()


def check_lookup_bounds(checks, prefix, exe, work):
    """A table that keeps growing while it is read, and the table as the program's own output,
    as Windows shares and redirects files."""
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

    # The table as the program's own output would be read back without end: refused. The
    # redirection is made by the Windows command interpreter, as a user's would be (a handle
    # inherited from a Unix parent tells wine's programs nothing about its file).
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


# --- velmora.exe on a virtual display ----------------------------------------------------------


class Program:
    """velmora.exe running under wine on a display, and its message boxes' texts."""

    def __init__(self, prefix, display, exe, folder, trace):
        env = dict(prefix.env)
        env["DISPLAY"] = display.name
        # Wine's message box trace holds each box's text: the one thing a person reads there.
        env["WINEDEBUG"] = "-all,+msgbox"
        self.trace = trace
        with open(trace, "wb") as sink:
            self.process = subprocess.Popen(["wine", exe], cwd=folder, env=env,
                                            stdout=subprocess.DEVNULL, stderr=sink)

    def messages(self):
        with open(self.trace, "rb") as trace:
            said = trace.read().decode("utf-8", "replace")
        return re.findall(r'MSGBOX_OnInit L"(.*)"', said)

    def ended(self, timeout):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class LookupWindowUser:
    """Moves through the lookup window by its tab order: "Search " (1), entry box 0 (2), the
    display box (3), entry boxes 1 to 14 (4 to 17), "Clear" (18)."""

    ORDER = ["search", 0, "display"] + list(range(1, 15)) + ["clear"]

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
        here, there = self.ORDER.index(self.at), self.ORDER.index(place)
        self.point()
        if there > here:
            self.desktop.key(*["Tab"] * (there - here))
        elif there < here:
            self.desktop.key(*["shift+Tab"] * (here - there))
        self.at = place

    def type_codes(self, codes):
        for slot, code in enumerate(codes):
            if code:
                self.go(slot)
                self.desktop.type(code)

    def paste(self, text):
        """Pastes text from the clipboard with Ctrl+V into the box the user is at."""
        self.desktop.set_clipboard(text)
        self.point()
        self.desktop.key("ctrl+v")

    def search(self):
        self.go("search")
        self.desktop.key("Return")

    def open_find(self):
        """Opens the find box with Ctrl+F and points at it; returns its window."""
        self.point()
        self.desktop.key("ctrl+f")
        find_box = self.desktop.wait_window(FIND_CAPTION, timeout=10)
        self.desktop.point_at(find_box)
        return find_box

    def copy_display(self, expected):
        """Copies the display box's lines with Ctrl+C and reads them from the clipboard, waiting
        until they are the expected ones; returns the lines last seen there (None for none).
        Waiting for the expected text rather than for any change leaves no race with wine's own
        handing over of the clipboard."""
        self.go("display")
        self.desktop.key("ctrl+c")
        seen = [None]

        def copied():
            data = self.desktop.clipboard()
            seen[0] = None if data is None else lines(data)
            return seen[0] == expected

        try:
            poll("the clipboard to hold the expected lines", copied, timeout=10)
        except Timeout:
            pass
        return seen[0]


def scaled(client, dpi):
    """A size in pixels at 96 DPI as it stands at another DPI, rounded to the nearest pixel."""
    return tuple((pixels * dpi + 48) // 96 for pixels in client)


def client_deltas(desktop, window, client):
    width, height = desktop.size(window)
    return width - client[0], height - client[1]


def expect_message(checks, desktop, program, count, words, what):
    """Waits for a message box, checks its text, and presses Enter on it."""
    try:
        box = desktop.wait_window(MESSAGE_CAPTION, timeout=20)
    except Timeout:
        checks.expect(False, f"{what}: a message box")
        return
    checks.expect(True, f"{what}: a message box")
    try:
        said = poll("the message box's text", lambda: program.messages()[count:], timeout=5)[0]
    except Timeout:
        said = ""
    checks.expect(all(word in said for word in words), f"{what}: the message names {words}",
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
            return lines(subprocess.run([args.linux_lookup, *options] + entries, cwd=folder,
                                        capture_output=True, timeout=60).stdout)
        exe = os.path.join(args.build, "bin", "velmora-lookup.exe")
        return lines(prefix.run([exe, *options] + entries, cwd=folder)[1])
    work = fresh_folder(os.path.join(args.work, "windows"))
    folder = fresh_folder(os.path.join(work, "program"))
    exe = os.path.join(folder, "velmora.exe")
    shutil.copy(os.path.join(args.build, "bin", "velmora.exe"), exe)
    table = os.path.join(folder, "RPO.txt")
    shutil.copy(args.table, table)
    expected = None

    with Display() as display:
        desktop = Desktop(display)
        checks.keep_screen = lambda name: desktop.screenshot("root", os.path.join(work, name))
        program = Program(prefix, display, exe, folder, os.path.join(work, "trace.txt"))
        try:
            start = desktop.wait_window(CAPTION, timeout=60)
            checks.expect(True, "the start window is shown")
            start_frame = client_deltas(desktop, start, START_CLIENT)
            if shots:
                time.sleep(1)
                desktop.screenshot(start, os.path.join(shots, "start.png"))

            # Help from the start window stays open beside the lookup window.
            desktop.point_at(start)
            desktop.key("alt+h")
            desktop.key("Return")
            help_window = desktop.wait_window(HELP_CAPTION)
            checks.expect(True, "Help > Help in the start window shows the help window")
            if shots:
                # Now, while it is on top: without a window manager nothing raises it later.
                time.sleep(1)
                desktop.screenshot(help_window, os.path.join(shots, "help.png"))

            # A click on the banner, where the help window leaves it free, makes the start window
            # active again; from the banner, Tab reaches "Look up RPO Codes".
            desktop.point_at_uncovered(start, [help_window])
            desktop.click()
            desktop.key("Tab", "Return")
            desktop.wait_gone(start)
            lookup = desktop.wait_window(CAPTION)
            checks.expect(lookup != start, "Tab and Enter hide the start window and show the "
                          "lookup window")
            checks.equal(len(desktop.visible(HELP_CAPTION)), 1,
                         "the help window stays open beside the lookup window")
            lookup_frame = client_deltas(desktop, lookup, LOOKUP_CLIENT)
            checks.expect(start_frame == lookup_frame and 0 < start_frame[0] < 40
                          and 20 < start_frame[1] < 100,
                          f"client areas {START_CLIENT[0]} x {START_CLIENT[1]} and "
                          f"{LOOKUP_CLIENT[0]} x {LOOKUP_CLIENT[1]} inside the same frame",
                          f"frame and menu bar: start {start_frame}, lookup {lookup_frame}")

            user = LookupWindowUser(desktop)
            # The fourth letter typed into the third box is refused.
            typed = ["l98", "g80", "ws6x", "l9", "xyz", "g80"]
            user.type_codes(typed)
            # Ctrl+V of one code over the selected text of a box replaces it; codes with a
            # no-break space between them spread from the box pasted into.
            user.go(3)
            desktop.key("End", "shift+Home")
            user.paste("1le")
            user.go(6)
            user.paste("lb9\u00a0u52")
            user.at = 7  # the focus follows the last code pasted
            user.search()
            entries = ["L98", "G80", "WS6", "1LE", "XYZ", "G80", "LB9", "U52"]
            expected = reference(entries, folder)
            checks.equal(user.copy_display(expected), expected,
                         "typed codes and Search: the display box holds velmora-lookup's lines")
            if shots:
                time.sleep(0.5)
                desktop.screenshot(desktop.wait_window(CAPTION), os.path.join(shots, "lookup.png"))

            # Find by description: Ctrl+F opens the find box beside the window; Enter in its
            # words finds, Escape closes it.
            find_box = user.open_find()
            desktop.type("AXLE ratio")
            desktop.key("Return")
            found = reference(["AXLE", "ratio"], folder, ("--find",))
            if shots:
                time.sleep(1)
                desktop.screenshot("root", os.path.join(shots, "find.png"))
            desktop.key("Escape")
            desktop.wait_gone(find_box)
            checks.equal(user.copy_display(found), found,
                         "Ctrl+F, words and Enter: the display box holds velmora-lookup "
                         "--find's lines")
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

            # Tables that cannot be read: a message, and the window goes on.
            said = len(program.messages())
            os.remove(table)
            user.search()
            expect_message(checks, desktop, program, said, ["53", "File not found"],
                           "missing table")
            # Find reads the same table and tells the same.
            said = len(program.messages())
            find_box = user.open_find()
            desktop.key("Return")
            expect_message(checks, desktop, program, said, ["53", "File not found"],
                           "missing table, find")
            desktop.point_at_titled(FIND_CAPTION)
            desktop.key("Escape")
            desktop.wait_gone(find_box)
            said = len(program.messages())
            os.makedirs(table)
            user.search()
            expect_message(checks, desktop, program, said, ["RPO.txt"], "a folder as the table")
            os.rmdir(table)
            with open(table, "wb") as junk:
                junk.write(junk_table())
            user.search()
            junk_lines = reference(entries, folder)
            checks.equal(user.copy_display(junk_lines), junk_lines,
                         "binary junk: the display box holds velmora-lookup's lines")
            # More lines than the display box shows: each leaves ink where it stands, Down moves
            # them up a line, and End shows the last one at the bottom.
            with open(table, "w") as many:
                many.writelines(f"L98,{'x' * (k % 20 + 1)}\n" for k in range(40))
            user.search()
            many_lines = reference(entries, folder)
            checks.equal(user.copy_display(many_lines), many_lines, "40 records: all printed")
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
                         "the program goes on after the table errors: Search shows the lines "
                         "again")

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
            desktop.point_at_titled(HELP_CAPTION, 20, 40)
            desktop.key("Return")
            desktop.wait_gone(help_window)
            checks.expect(bool(desktop.visible(CAPTION)),
                          "Close Help Box hides the help window; the lookup window stays")

            user.point()
            desktop.key("ctrl+q")
            status = program.ended(timeout=20)
            checks.equal(status, 0, "Ctrl+Q ends the program")
        except Timeout as timeout:
            checks.expect(False, "the windows appear and go in time", str(timeout))
        finally:
            program.kill()

        if shots:
            return
        # From another folder: the table beside the program, both in a non-ASCII folder; and the
        # display at 144 DPI, where every size grows by half.
        prefix.set_dpi(144)
        foreign = fresh_folder(os.path.join(work, NON_ASCII_FOLDER))
        exe = os.path.join(foreign, "velmora.exe")
        shutil.copy(os.path.join(args.build, "bin", "velmora.exe"), exe)
        shutil.copy(args.table, os.path.join(foreign, "RPO.txt"))
        elsewhere = fresh_folder(os.path.join(work, "elsewhere"))
        program = Program(prefix, display, exe, elsewhere, os.path.join(work, "trace-2.txt"))
        try:
            start = desktop.wait_window(CAPTION, timeout=60)
            start_frame = client_deltas(desktop, start, scaled(START_CLIENT, 144))
            desktop.point_at(start)
            desktop.key("Tab", "Return")
            desktop.wait_gone(start)
            lookup_frame = client_deltas(desktop, desktop.wait_window(CAPTION),
                                         scaled(LOOKUP_CLIENT, 144))
            checks.expect(all(abs(a - b) <= 1 for a, b in zip(start_frame, lookup_frame))
                          and 0 < start_frame[0] < 60 and 20 < start_frame[1] < 150,
                          "at 144 DPI the client areas are half as large again",
                          f"frame and menu bar: start {start_frame}, lookup {lookup_frame}")
            user = LookupWindowUser(desktop)
            user.type_codes(["ws6", "", "l98"])
            user.search()
            beside = reference(["WS6", "", "L98"], foreign)
            checks.equal(user.copy_display(beside), beside,
                         "run from another folder: the table beside velmora.exe in a non-ASCII "
                         "folder is read")
            user.point()
            desktop.key("ctrl+q")
            checks.equal(program.ended(timeout=20), 0, "Ctrl+Q ends the second run")
        except Timeout as timeout:
            checks.expect(False, "the second run's windows appear in time", str(timeout))
        finally:
            program.kill()
            prefix.set_dpi(None)


def check_windows(args):
    if not os.path.isfile(os.path.join(args.build, "bin", "velmora.exe")):
        print("skipped: this build has no velmora.exe")
        return 77
    checks = Checks()
    began = time.monotonic()
    drive_windows(args, checks)
    print(f"velmora.exe under wine: {time.monotonic() - began:.0f} s")
    return checks.status()


def take_screenshots(args):
    checks = Checks()
    os.makedirs(args.out, exist_ok=True)
    drive_windows(args, checks, shots=os.path.abspath(args.out))
    prefix_of(args).stop()
    print(f"screenshots in {args.out}: start.png lookup.png find.png help.png")
    return checks.status()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("command", choices=["prefix", "lookup", "windows", "screenshots", "stop"])
    parser.add_argument("--work", required=True, help="folder for the prefix and the test files")
    parser.add_argument("--build", help="the Windows build folder")
    parser.add_argument("--linux-lookup", help="the Linux velmora-lookup")
    parser.add_argument("--table", help="the shipped RPO.txt")
    parser.add_argument("--out", help="folder for the screenshots")
    args = parser.parse_args()
    for name in ["work", "build", "linux_lookup", "table", "out"]:
        if getattr(args, name):
            setattr(args, name, os.path.abspath(getattr(args, name)))
    missing = missing_tools() + (["import"] if args.command == "screenshots"
                                 and shutil.which("import") is None else [])
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return 77
    if args.command == "prefix":
        began = time.monotonic()
        prefix_of(args).make()
        print(f"wine prefix made in {time.monotonic() - began:.0f} s")
        return 0
    if args.command == "stop":
        prefix_of(args).stop()
        return 0
    needed = {"lookup": ["build"], "windows": ["build", "table", "linux_lookup"],
              "screenshots": ["build", "table"]}[args.command]
    for name in needed:
        if not getattr(args, name):
            parser.error(f"--{name.replace('_', '-')} is needed")
    return {"lookup": check_lookup, "windows": check_windows,
            "screenshots": take_screenshots}[args.command](args)


if __name__ == "__main__":
    sys.exit(main())
