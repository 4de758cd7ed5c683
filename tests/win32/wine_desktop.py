"""Wine on a virtual X display (Xvfb), and the hands and eyes of a person in front of it."""

import os
import shutil
import subprocess
import time


class Timeout(Exception):
    pass


def poll(what, probe, timeout=20.0, interval=0.1):
    """Calls probe until it returns something true and returns that, or raises Timeout."""
    deadline = time.monotonic() + timeout
    while not (value := probe()):
        if time.monotonic() > deadline:
            raise Timeout(f"waited {timeout:.0f} s for {what}")
        time.sleep(interval)
    return value


def missing_tools():
    needed = ["wine", "wineserver", "wineboot", "Xvfb", "xdotool", "xclip", "xwininfo"]
    return [tool for tool in needed if shutil.which(tool) is None]


class Prefix:
    """A wine prefix made fresh once per test run."""

    def __init__(self, path):
        self.path = os.path.abspath(path)
        # No Mono or Gecko to fetch: there may be no network, and nothing here needs them.
        self.env = dict(os.environ, WINEPREFIX=self.path, WINEDEBUG="-all", WINEARCH="win64",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("DISPLAY", None)

    def exists(self):
        return os.path.isfile(os.path.join(self.path, "system.reg"))

    def quiet(self, arguments, timeout=120, check=False):
        subprocess.run(arguments, env=self.env, check=check, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=timeout)

    def make(self):
        if os.path.exists(self.path):
            self.stop()
            shutil.rmtree(self.path)
        os.makedirs(os.path.dirname(self.path), exist_ok=True)
        self.quiet(["wineboot", "-i"], timeout=240, check=True)
        # Debian's wine does not find its own fonts where they are installed.
        shutil.copytree("/usr/share/wine/fonts",
                        os.path.join(self.path, "drive_c", "windows", "Fonts"), dirs_exist_ok=True)
        # With no window manager, wine draws the frame and title bar itself.
        self.quiet(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated",
                    "/d", "N", "/f"], check=True)
        self.wait()

    def set_dpi(self, dpi):
        """The display's DPI for programs started from now on; None sets it back to 96."""
        key = ["wine", "reg", "delete" if dpi is None else "add", r"HKCU\Control Panel\Desktop",
               "/v", "LogPixels", "/f"]
        self.quiet(key + ([] if dpi is None else ["/t", "REG_DWORD", "/d", str(dpi)]))

    def wait(self):
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)

    def stop(self):
        self.quiet(["wineserver", "-k"], timeout=60)
        self.wait()

    def run(self, arguments, cwd, timeout=60):
        """Runs a console program to its end; returns (status, stdout bytes, stderr bytes)."""
        done = subprocess.run(["wine"] + arguments, cwd=cwd, env=self.env, capture_output=True,
                              timeout=timeout)
        return done.returncode, done.stdout, done.stderr


class Display:
    """An Xvfb server on a display number it picks itself, for the life of a with block."""

    SIZE = (1280, 1024)

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % self.SIZE,
             "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
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
        self.env = dict(os.environ, DISPLAY=display.name)

    def _run(self, arguments, **options):
        return subprocess.run(arguments, env=self.env, capture_output=True, timeout=30, **options)

    def _x(self, arguments, check=True):
        done = self._run(arguments, text=True)
        if check and done.returncode != 0:
            raise RuntimeError(f"{' '.join(arguments)}: {done.stderr.strip()}")
        return done.stdout

    def visible(self, title):
        """The ids of the visible windows titled exactly so."""
        pattern = "^" + "".join(c if c.isalnum() or c == " " else "\\" + c for c in title) + "$"
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
        """Left, top, width and height on the screen, the frame wine draws included."""
        out = self._x(["xwininfo", "-id", str(window)])
        fields = dict(line.strip().split(":", 1) for line in out.splitlines() if ":" in line)
        return tuple(int(fields[name]) for name in
                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def size(self, window):
        return self.geometry(window)[2:]

    def point_at_uncovered(self, window, others):
        """Points below the window's menu bar where none of the others covers it."""
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
        """Points at the window with this title, looked up afresh each try (wine may give a
        window a new X window while it lives); returns its id."""
        for _ in range(3):
            window = self.wait_window(title)
            try:
                self.point_at(window, x, y)
                return window
            except RuntimeError:
                time.sleep(0.2)
        raise Timeout(f"could not point at the window titled '{title}'")

    def click(self):
        self._x(["xdotool", "click", "1"])

    def key(self, *keys):
        self._x(["xdotool", "key", "--delay", "40"] + list(keys))

    def type(self, text):
        self._x(["xdotool", "type", "--delay", "40", text])

    def clipboard(self):
        """The X clipboard's text, or None when it holds none."""
        done = self._run(["xclip", "-o", "-selection", "clipboard"])
        return done.stdout if done.returncode == 0 else None

    def set_clipboard(self, text):
        """Puts text on the X clipboard, as another program's Copy would (xclip serves it)."""
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], env=self.env,
                       input=text.encode(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30, check=True)

    def ink_rows(self, window, left, top, width, height, light=False):
        """How many dark pixels (black text on the display box's gray), or light ones (text on
        black), each row of a part of the window holds."""
        done = self._run(["import", "-window", str(window), "-crop",
                          f"{width}x{height}+{left}+{top}", "-depth", "8", "gray:-"])
        return [sum((v > 128) if light else (v < 48) for v in done.stdout[y * width:(y + 1) * width])
                for y in range(height)]

    def screenshot(self, window, path):
        """A picture of one window, or of the whole screen for window "root"."""
        if shutil.which("import"):
            self._x(["import", "-window", str(window), path], check=False)
