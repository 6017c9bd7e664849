"""Times the real program from outside, under Xvfb (run through
bench/program_from_outside.sh): start-up to a shown window, and a switch
between two depths whose previews exist, from the release of the mouse
button to the changed picture on the screen.  Medians of several runs.
The places of the controls are found once through the accessibility bus;
the timed runs go without it, as a desktop without assistive technology does
(the bridge's messages would otherwise wait on this script, which answers
none of them)."""
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from desktop import Program, wait_for, xdo  # noqa: E402

program, picture, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
WIDTH, HEIGHT = 640, 480  # the screen of bench/program_from_outside.sh
PLAIN = {k: v for k, v in os.environ.items()
         if k not in ("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS")}


def picture_pixels(area):
    """The picture's pixels on the screen (the end of an xwd dump holds the rows)."""
    dump = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True).stdout
    pixels = dump[-WIDTH * HEIGHT * 4:]
    x, y, w, h = area
    return b"".join(pixels[4 * (row * WIDTH + x):4 * (row * WIDTH + x + w)] for row in range(y, y + h))


def shown(process):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(process.pid), "--name", "^Mireo$"],
                           capture_output=True)
    return found.returncode == 0


p = Program([program], os.environ, "/tmp/mireo-bench-shots")
try:
    buttons = [p.centre(p.find(o, "check box")) for o in ("8-Bit Color Depth", "16-Bit Color Depth")]
    p.press("Load Picture")
    p.choose_file("Load Picture", picture)
    p.wait_idle()
    e = p.find("Picture").queryComponent().getExtents(0)
    area = (e.x, e.y, min(e.width, WIDTH - e.x), min(e.height, HEIGHT - e.y))
finally:
    p.end()

starts = []
for _ in range(runs):
    begin = time.perf_counter()
    process = subprocess.Popen([program], env=PLAIN)
    while not shown(process) and time.perf_counter() - begin < 20:
        pass
    starts.append(time.perf_counter() - begin)
    process.terminate()
    process.wait()

process = subprocess.Popen([program, picture], env=PLAIN)
switches = []
try:
    time.sleep(3)
    for x, y in buttons:  # both previews now exist
        xdo("mousemove", "--sync", x, y, "click", 1)
        time.sleep(1)
    for i in range(runs * 2):
        before = picture_pixels(area)
        xdo("mousemove", "--sync", *buttons[i % 2], "mousedown", 1)
        begin = time.perf_counter()
        releasing = subprocess.Popen(["xdotool", "mouseup", "1"])  # "xdotool click" sleeps 100 ms itself
        while picture_pixels(area) == before and time.perf_counter() - begin < 5:
            pass
        switches.append(time.perf_counter() - begin)
        releasing.wait()
        time.sleep(0.2)
    begin = time.perf_counter()
    picture_pixels(area)
    read = time.perf_counter() - begin
finally:
    process.terminate()
print("start-up to a shown window: median %.0f ms (%s)" % (1000 * statistics.median(starts),
                                                        ", ".join("%.0f" % (1000 * s) for s in starts)))
print("switch to a cached depth, release to changed picture: median %.1f ms; one screen read takes %.1f ms of it"
      % (1000 * statistics.median(switches), 1000 * read))
