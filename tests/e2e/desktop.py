"""Drives the real program on a real (virtual) screen as a user or a screen
reader does: controls are found through the accessibility bus by role and
name, pressed with real pointer events at their place, and typed into with
real key events; screenshots are taken of the whole screen."""
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

    def find(self, role, name, timeout=10.0, within=None):
        def probe():
            for node in walk(within or self.app):
                try:
                    if node.getRoleName() == role and node.name == name and self.showing(node):
                        return node
                except Exception:
                    pass
            return None
        return wait_for("%s '%s'" % (role, name), probe, timeout)

    def window(self, title, timeout=10.0):
        return wait_for("window '%s'" % title, lambda: self._any_window(title), timeout)

    def _any_window(self, title):
        for node in self.app:
            if node is not None and node.name == title and self.showing(node):
                return node
        return None

    def gone(self, title, timeout=10.0):
        wait_for("window '%s' to close" % title, lambda: self._any_window(title) is None, timeout)

    @staticmethod
    def showing(node):
        return node.getState().contains(pyatspi.STATE_SHOWING)

    @staticmethod
    def enabled(node):
        return node.getState().contains(pyatspi.STATE_ENABLED)

    @staticmethod
    def checked(node):
        return node.getState().contains(pyatspi.STATE_CHECKED)

    @staticmethod
    def text(node):
        try:
            t = node.queryText()
            return t.getText(0, t.characterCount)
        except NotImplementedError:
            return node.name

    @staticmethod
    def centre(node):
        e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return e.x + e.width // 2, e.y + e.height // 2

    def click(self, node, button=1):
        x, y = self.centre(node)
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", str(button)], check=True)
        time.sleep(0.15)

    def press(self, role, name):
        self.click(self.find(role, name))

    def drag(self, x, y, dx, dy, button=1, steps=10):
        xdo = ["xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", str(button)]
        subprocess.run(xdo, check=True)
        for i in range(1, steps + 1):
            to_x, to_y = max(0, x + dx * i // steps), max(0, y + dy * i // steps)
            subprocess.run(["xdotool", "mousemove", "--sync", str(to_x), str(to_y)], check=True)
            time.sleep(0.02)
        subprocess.run(["xdotool", "mouseup", str(button)], check=True)
        time.sleep(0.15)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "20", text], check=True)

    def key(self, *keys):
        subprocess.run(["xdotool", "key"] + list(keys), check=True)
        time.sleep(0.15)

    def choose_file(self, title, path):
        """Types a path into the real file dialog called `title` and accepts it."""
        self.window(title)
        self.key("ctrl+a")
        self.type(path)
        self.key("Return")
        self.gone(title)

    def message(self, expected, timeout=10.0):
        """Waits for the message box showing `expected`, keeps a picture of it and presses OK."""
        def probe():
            for node in self.app:
                if node is None or not self.showing(node):
                    continue
                for label in walk(node):
                    if label.getRoleName() == "label" and label.name == expected:
                        return node
            return None
        box = wait_for("the message '%s'" % expected, probe, timeout)
        self.screenshot("message")
        self.click(self.find("push button", "OK", within=box))
        wait_for("the message to close", lambda: probe() is None)

    def no_message(self):
        for node in self.app:
            if node is not None and node.getRoleName() == "dialog" and self.showing(node):
                texts = [n.name for n in walk(node) if n.getRoleName() == "label" and n.name]
                raise Failure("unexpected window: %s %s" % (node.name, texts))

    def screenshot(self, name):
        """The screen with every window of the program on it.  Without a
        compositor the screen's own copy of a dialog stays black, so each
        window is taken by itself and pasted at its place."""
        time.sleep(0.4)  # a window that has just appeared paints itself first
        os.makedirs(self.shots, exist_ok=True)
        path = os.path.join(self.shots, "%02d-%s.png" % (len(os.listdir(self.shots)), name))
        screen = pnm_of(["xwd", "-root", "-silent"])
        part = path + ".part.pnm"
        for window, x, y, _ in sorted(self._windows(), key=lambda w: -w[3]):
            with open(part, "wb") as f:
                f.write(pnm_of(["xwd", "-id", window, "-silent"]))
            pasted = subprocess.run(["pnmpaste", "-replace", part, str(x), str(y)], input=screen, capture_output=True)
            screen = pasted.stdout if pasted.returncode == 0 else screen
        if os.path.exists(part):
            os.remove(part)
        with open(path, "wb") as png:
            png.write(subprocess.run(["pnmtopng"], input=screen, capture_output=True, check=True).stdout)
        return path

    def window_shot(self, title, name):
        """One window of the program by itself, for the help page."""
        time.sleep(0.4)
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid), "--name", title],
                             capture_output=True, text=True).stdout.split()
        os.makedirs(self.shots, exist_ok=True)
        with open(os.path.join(self.shots, "window-%s.png" % name), "wb") as png:
            pnm = pnm_of(["xwd", "-id", ids[-1], "-silent"])
            png.write(subprocess.run(["pnmtopng"], input=pnm, capture_output=True, check=True).stdout)

    def _windows(self):
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid), ""],
                             capture_output=True, text=True).stdout.split()
        for window in ids:
            shape = dict(line.split("=") for line in subprocess.run(
                ["xdotool", "getwindowgeometry", "--shell", window], capture_output=True, text=True).stdout.split())
            yield window, int(shape["X"]), int(shape["Y"]), int(shape["WIDTH"]) * int(shape["HEIGHT"])

    def end(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()


def pnm_of(command):
    xwd = subprocess.run(command, capture_output=True, check=True).stdout
    return subprocess.run(["xwdtopnm"], input=xwd, capture_output=True, check=True).stdout


def named(program, name, timeout=10.0, within=None):
    """Any showing control called `name`, whatever its role."""
    def probe():
        for node in walk(within or program.app):
            try:
                if node.name == name and Program.showing(node):
                    return node
            except Exception:
                pass
        return None
    return wait_for("'%s'" % name, probe, timeout)
