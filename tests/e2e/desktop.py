"""Drives the real program on a virtual screen as a user or a screen reader
does: controls are found through the accessibility bus by name (and role),
pressed with real pointer events at their place, typed into with real key
events, and the screen is photographed."""
import os
import subprocess
import time

import pyatspi


class Failure(AssertionError):
    pass


def wait_for(what, probe, timeout=10.0):
    end = time.time() + timeout
    while time.time() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    raise Failure("gave up waiting for " + what)


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def has(node, state):
    return node.getState().contains(state)


def xdo(*arguments):
    subprocess.run(["xdotool"] + [str(a) for a in arguments], check=True)


def pnm_of(command):
    xwd = subprocess.run(command, capture_output=True, check=True).stdout
    return subprocess.run(["xwdtopnm"], input=xwd, capture_output=True, check=True).stdout


class Program:
    def __init__(self, command, env, shots):
        self.shots = shots
        self.process = subprocess.Popen(command, env=env)
        self.app = wait_for("the program on the accessibility bus", self._application, 20)

    def _application(self):
        if self.process.poll() is not None:
            raise Failure("the program ended with status %d" % self.process.returncode)
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Mireo" and app.get_process_id() == self.process.pid:
                return app
        return None

    def find(self, name, role=None, within=None, timeout=10.0):
        """The showing control called `name` (of `role`, when given)."""
        def probe():
            for node in walk(within or self.app):
                try:
                    if node.name == name and (role is None or node.getRoleName() == role) \
                            and has(node, pyatspi.STATE_SHOWING):
                        return node
                except Exception:  # a control that went away while we looked
                    pass
            return None
        return wait_for("%s '%s'" % (role or "control", name), probe, timeout)

    def window(self, title, timeout=10.0):
        return wait_for("window '%s'" % title, lambda: self._window(title), timeout)

    def _window(self, title):
        return next((w for w in self.app if w is not None and w.name == title and has(w, pyatspi.STATE_SHOWING)), None)

    def gone(self, title):
        wait_for("window '%s' to close" % title, lambda: self._window(title) is None)

    def enabled(self, name, role="push button"):
        return has(self.find(name, role), pyatspi.STATE_ENABLED)

    def checked(self, name):
        return has(self.find(name, "check box"), pyatspi.STATE_CHECKED)

    def wait_idle(self):
        wait_for("the controls back", lambda: self.enabled("Load Picture"), 30)

    @staticmethod
    def centre(node):
        e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return e.x + e.width // 2, e.y + e.height // 2

    def click(self, node, button=1):
        xdo("mousemove", "--sync", *self.centre(node), "click", button)
        time.sleep(0.15)

    def press(self, name, role="push button", within=None):
        self.click(self.find(name, role, within))

    def drag(self, x, y, dx, dy, button=1, steps=10):
        xdo("mousemove", "--sync", x, y, "mousedown", button)
        for i in range(1, steps + 1):
            xdo("mousemove", "--sync", max(0, x + dx * i // steps), max(0, y + dy * i // steps))
            time.sleep(0.02)
        xdo("mouseup", button)
        time.sleep(0.15)

    def key(self, *keys):
        xdo("key", *keys)
        time.sleep(0.15)

    def enter(self, name, text, within=None):
        """Replaces the text of the box called `name` by typing."""
        self.press(name, "text", within)
        self.key("ctrl+a")
        xdo("type", "--delay", 20, text)

    def choose_file(self, title, path):
        """Types a path into the real file dialog called `title` and accepts it."""
        self.window(title)
        self.key("ctrl+a")
        xdo("type", "--delay", 20, path)
        self.key("Return")
        self.gone(title)

    def message(self, expected):
        """Waits for the window showing `expected`, photographs it and presses its OK."""
        def probe():
            return next((w for w in self.app if w is not None and has(w, pyatspi.STATE_SHOWING)
                         and any(n.name == expected and n.getRoleName() == "label" for n in walk(w))), None)
        box = wait_for("the message '%s'" % expected, probe)
        self.screenshot("message")
        self.press("OK", within=box)
        wait_for("the message to close", lambda: probe() is None)

    def no_message(self):
        for w in self.app:
            if w is not None and w.getRoleName() == "dialog" and has(w, pyatspi.STATE_SHOWING):
                raise Failure("unexpected window: %s %s" % (w.name, [n.name for n in walk(w) if n.name]))

    def _window_ids(self, title=""):
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid), "--name", title],
                              capture_output=True, text=True).stdout.split()

    def screenshot(self, name, window=None):
        """The screen with every window of the program pasted at its place
        (without a compositor the screen's own copy of a dialog stays
        black); with `window`, that window alone."""
        time.sleep(0.4)  # a window that has just appeared paints itself first
        os.makedirs(self.shots, exist_ok=True)
        path = os.path.join(self.shots, "%02d-%s.png" % (len(os.listdir(self.shots)), name))
        if window:
            picture = pnm_of(["xwd", "-id", self._window_ids(window)[-1], "-silent"])
        else:
            picture, part = pnm_of(["xwd", "-root", "-silent"]), path + ".pnm"
            for shape in sorted((self._shape(w) for w in self._window_ids()), key=lambda s: -s[3] * s[4]):
                with open(part, "wb") as f:
                    f.write(pnm_of(["xwd", "-id", shape[0], "-silent"]))
                pasted = subprocess.run(["pnmpaste", "-replace", part, shape[1], shape[2]], input=picture,
                                        capture_output=True)
                picture = pasted.stdout if pasted.returncode == 0 else picture
            if os.path.exists(part):
                os.remove(part)
        with open(path, "wb") as png:
            png.write(subprocess.run(["pnmtopng"], input=picture, capture_output=True, check=True).stdout)

    @staticmethod
    def _shape(window):
        out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], capture_output=True, text=True)
        shape = dict(line.split("=") for line in out.stdout.split())
        return window, shape["X"], shape["Y"], int(shape["WIDTH"]), int(shape["HEIGHT"])

    def end(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
