"""Wine on a virtual X display, and the hands and eyes of a person in front of it.

A Prefix is one wine prefix made for a test run; a Display is an Xvfb of its own on a free
display number; a Desktop finds windows by title, reads their sizes, points at them, presses keys
and types, and reads the clipboard. Everything waits by polling with a time limit.
"""

import os
import shutil
import subprocess
import time


class Timeout(Exception):
    pass


def poll(what, probe, timeout=20.0, interval=0.1):
    """Calls probe until it returns something true, then returns that; raises Timeout naming
    what was awaited when timeout seconds pass first."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"waited {timeout:.0f} s for {what}")
        time.sleep(interval)


def missing_tools():
    """The programs this module needs that are not on PATH."""
    needed = ["wine", "wineserver", "wineboot", "Xvfb", "xdotool", "xclip", "xwininfo"]
    return [tool for tool in needed if shutil.which(tool) is None]


class Prefix:
    """A wine prefix under the build folder, made fresh once per test run."""

    def __init__(self, path):
        self.path = os.path.abspath(path)
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": self.path,
            "WINEDEBUG": "-all",
            # No Mono or Gecko to fetch: there may be no network, and nothing here needs them.
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "WINEARCH": "win64",
        })
        self.env.pop("DISPLAY", None)

    def exists(self):
        return os.path.isfile(os.path.join(self.path, "system.reg"))

    def make(self):
        if os.path.exists(self.path):
            self.stop()
            shutil.rmtree(self.path)
        os.makedirs(os.path.dirname(self.path), exist_ok=True)
        subprocess.run(["wineboot", "-i"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=240)
        # Debian's wine does not find its own fonts where they are installed.
        fonts = os.path.join(self.path, "drive_c", "windows", "Fonts")
        os.makedirs(fonts, exist_ok=True)
        for name in os.listdir("/usr/share/wine/fonts"):
            shutil.copy(os.path.join("/usr/share/wine/fonts", name), fonts)
        # With no window manager, wine draws the frame and title bar itself.
        subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated",
                        "/d", "N", "/f"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        self.wait()

    def set_dpi(self, dpi):
        """Sets the display's DPI for programs started from now on; None sets it back to 96."""
        key = r"HKCU\Control Panel\Desktop"
        if dpi is None:
            command = ["reg", "delete", key, "/v", "LogPixels", "/f"]
        else:
            command = ["reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi),
                       "/f"]
        subprocess.run(["wine"] + command, env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)

    def wait(self):
        """Waits until the prefix's wine server has written everything and ended."""
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)

    def stop(self):
        """Ends the prefix's wine server and every program still running in it."""
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        self.wait()

    def run(self, arguments, cwd, timeout=60):
        """Runs a console program to its end; returns (status, stdout bytes, stderr bytes)."""
        done = subprocess.run(["wine"] + arguments, cwd=cwd, env=self.env, capture_output=True,
                              timeout=timeout)
        return done.returncode, done.stdout, done.stderr


class Display:
    """An Xvfb server on a display number it picks itself, for the life of a with block."""

    def __init__(self, width=1280, height=1024):
        self.size = f"{width}x{height}x24"
        self.server = None
        self.name = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.size, "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        if not number:
            self.server.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number
        return self

    def __exit__(self, *exception):
        self.server.terminate()
        try:
            self.server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.server.kill()
            self.server.wait()


class Desktop:
    """What a person does at the display: look for windows, point, press keys, type, copy."""

    def __init__(self, display):
        self.env = dict(os.environ)
        self.env["DISPLAY"] = display.name

    def _x(self, arguments, check=True):
        done = subprocess.run(arguments, env=self.env, capture_output=True, text=True,
                              timeout=30)
        if check and done.returncode != 0:
            raise RuntimeError(f"{' '.join(arguments)}: {done.stderr.strip()}")
        return done.stdout

    def visible(self, title):
        """The ids of the visible windows titled exactly so."""
        pattern = "^" + "".join("\\" + c if not c.isalnum() and c != " " else c
                                for c in title) + "$"
        out = self._x(["xdotool", "search", "--onlyvisible", "--name", pattern], check=False)
        return [int(line) for line in out.split()]

    def wait_window(self, title, timeout=30.0):
        return poll(f"a window titled '{title}'", lambda: self.visible(title), timeout)[0]

    def wait_gone(self, window, timeout=15.0):
        def gone():
            out = self._x(["xwininfo", "-id", str(window)], check=False)
            return "IsUnMapped" in out or "IsUnviewable" in out or not out
        poll(f"window {window} to go", gone, timeout)

    def geometry(self, window):
        """The window's left, top, width and height on the screen in pixels, frame included
        (wine draws the frame)."""
        out = self._x(["xwininfo", "-id", str(window)])
        fields = dict(line.strip().split(":", 1) for line in out.splitlines() if ":" in line)
        return tuple(int(fields[name]) for name in
                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def size(self, window):
        return self.geometry(window)[2:]

    def point_at_uncovered(self, window, others):
        """Points at a place of the window below its menu bar that none of the other windows
        covers, so that keys go to this window."""
        left, top, width, height = self.geometry(window)
        covers = [self.geometry(other) for other in others if other != window]
        for y in range(top + 60, top + height - 10, 20):
            for x in range(left + 10, left + width - 10, 20):
                if not any(ox <= x < ox + ow and oy <= y < oy + oh for ox, oy, ow, oh in covers):
                    self._x(["xdotool", "mousemove", str(x), str(y)])
                    return
        raise RuntimeError(f"window {window} is covered everywhere")

    def point_at(self, window, x=None, y=None):
        """Moves the pointer over the window (its middle unless told where); keys go there."""
        width, height = self.size(window)
        self._x(["xdotool", "mousemove", "--window", str(window),
                 str(width // 2 if x is None else x), str(height // 2 if y is None else y)])

    def point_at_titled(self, title, x=None, y=None):
        """Points at the visible window with this title, looked up afresh: wine may give a
        window a new X window while it lives. Returns the window's id."""
        for _ in range(3):
            window = self.wait_window(title)
            try:
                self.point_at(window, x, y)
                return window
            except RuntimeError:
                time.sleep(0.2)
        raise Timeout(f"could not point at the window titled '{title}'")

    def click(self):
        """Presses and releases the left button where the pointer is."""
        self._x(["xdotool", "click", "1"])

    def key(self, *keys):
        self._x(["xdotool", "key", "--delay", "40"] + list(keys))

    def type(self, text):
        self._x(["xdotool", "type", "--delay", "40", text])

    def clipboard(self):
        """The X clipboard's text, or None when it holds none."""
        done = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env,
                              capture_output=True, timeout=30)
        return done.stdout if done.returncode == 0 else None

    def ink_rows(self, window, left, top, width, height):
        """How many dark pixels (black text on the display box's gray) each row of a part of
        the window holds."""
        done = subprocess.run(["import", "-window", str(window), "-crop",
                               f"{width}x{height}+{left}+{top}", "-depth", "8", "gray:-"],
                              env=self.env, capture_output=True, timeout=30)
        return [sum(v < 48 for v in done.stdout[y * width:(y + 1) * width])
                for y in range(height)]

    def set_clipboard(self, text):
        """Puts text on the X clipboard, as another program's Copy would; xclip serves it until
        something else takes the clipboard."""
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], env=self.env,
                       input=text.encode(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30, check=True)

    def screenshot(self, window, path):
        """A picture of one window, or of the whole screen for window "root"."""
        if shutil.which("import"):
            self._x(["import", "-window", str(window), path], check=False)
