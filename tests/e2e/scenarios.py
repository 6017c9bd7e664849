"""The program as a user meets it: each scenario drives the installed
program through its windows and checks the files in temp/, the output
files and the states of the controls.
  scenarios.py <install prefix> <work folder> <build folder> [scenario...]"""
import os
import re
import shutil
import subprocess
import sys

from desktop import Failure, Program, named, wait_for
from pictures import photo, ppm

PREFIX, WORK, BUILD = sys.argv[1:4]
ONLY = sys.argv[4:]
CLI = os.path.join(PREFIX, "bin", "mireo-cli")
DATA = os.path.join(os.environ["XDG_DATA_HOME"], "Mireo")  # the per-user folder of an installed program
TEMP = os.path.join(DATA, "temp")
PICTURES = os.path.join(WORK, "pictures")
HERE = os.path.dirname(os.path.abspath(__file__))


def check(condition, what):
    if not condition:
        raise Failure(what)


def temp_files():
    return sorted(f for f in os.listdir(TEMP) if f.endswith(".bmp") or f.endswith(".bin"))


def bmp_size(path):
    with open(path, "rb") as f:
        header = f.read(26)
    return int.from_bytes(header[18:22], "little"), int.from_bytes(header[22:26], "little")


def start(name, *arguments):
    env = dict(os.environ, SOURCE_DATE_EPOCH="1700000000")
    shots = os.path.join(BUILD, "e2e", name)
    shutil.rmtree(shots, ignore_errors=True)
    return Program([os.path.join(PREFIX, "bin", "mireo")] + list(arguments), env, shots)


def load_picture(p, path, title="Load Picture"):
    p.press("push button", "Load Picture")
    p.choose_file(title, path)


def picture_scenario():
    """Load Picture, every depth and method, flips and turns, Create Backimage compressed."""
    jpeg = photo(PICTURES, "beach.jpg", 320, 320)
    p = start("picture")
    try:
        p.screenshot("start")
        load_picture(p, jpeg)
        wait_for("the 16-bit preview", lambda: temp_files() == ["temp.bmp", "temp24bit.bmp"])
        p.find("label", "320 x 320 Pixels")
        check(p.enabled(p.find("push button", "Create  Backimage")), "Create Backimage enabled")
        for option, preview in (("8-Bit Color Depth", "temp8d.bmp"), ("Nearest Color", "temp8n.bmp"),
                                ("Diffused", "temp8d.bmp"), ("4-Bit Color Depth", "temp4d.bmp")):
            p.press("check box", option)
            wait_for(preview, lambda: preview in temp_files())
            check(p.checked(p.find("check box", option)), option + " checked")
        p.screenshot("four-bit")
        p.window_shot("^Mireo$", "main")
        before = {f: open(os.path.join(TEMP, f), "rb").read() for f in temp_files()}
        for button in ("Flip Image Horizontally", "Flip Image Horizontally",
                       "Rotate Image 90 Degrees Left", "Rotate Image 90 Degrees Right"):
            p.press("push button", button)
            wait_for("the buttons back", lambda: p.enabled(p.find("push button", "Load Picture")))
        after = {f: open(os.path.join(TEMP, f), "rb").read() for f in temp_files()}
        check(before == after, "two flips and two opposite turns give the files back")
        p.press("check box", "8-Bit Color Depth")
        p.press("check box", "Compression is Off")
        p.message("Important information about using compression.")
        p.press("push button", "Create  Backimage")
        out = os.path.join(WORK, "Beach.pdb")
        p.choose_file("Create VT Background Image", out)
        wait_for("the database", lambda: os.path.exists(out))
        p.no_message()
        p.screenshot("built")
        cli = os.path.join(WORK, "cli.pdb")
        subprocess.run([CLI, "convert", "--size", "keep", "-b", "8", "-m", "diffused", "-c", "-n", "Beach",
                        "-o", cli, os.path.join(TEMP, "temp.bmp")], check=True, capture_output=True,
                       env=dict(os.environ, SOURCE_DATE_EPOCH="1700000000"))
        check(open(out, "rb").read() == open(cli, "rb").read(), "the program's database equals mireo-cli's")
        info = subprocess.run([CLI, "info", out], capture_output=True, text=True, check=True).stdout
        check("320 x 320, 8 bits per pixel" in info, "our reader: " + info)
        perl = subprocess.run(["perl", os.path.join(BUILD, "..", "tests", "interop", "pdb_dump.pl"), out],
                              capture_output=True, text=True)
        check("type BmpL" in perl.stdout and "creator VTCR" in perl.stdout, "Palm::PDB: " + perl.stdout + perl.stderr)
        p.press("push button", "Exit")
        wait_for("the program to end", lambda: p.process.poll() is not None)
        check(temp_files() == [], "Exit leaves no working file")
    finally:
        p.end()


def picture_of_temp():
    """temp.bmp as (width, height, rows of (r, g, b)), read with netpbm."""
    pnm = subprocess.run(["bmptopnm", os.path.join(TEMP, "temp.bmp")], capture_output=True, check=True).stdout
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", pnm)
    width, height, data = int(header.group(1)), int(header.group(2)), pnm[header.end():]
    return width, height, lambda x, y: tuple(data[3 * (y * width + x):3 * (y * width + x) + 3])


def wait_idle(p):
    wait_for("the controls back", lambda: p.enabled(p.find("push button", "Load Picture")), 30)


def set_colour(p, red, green, blue):
    p.press("push button", "Change Border Color")
    dialog = p.window("Change Border Color")
    p.screenshot("colour")
    p.window_shot("Change Border Color", "colour")
    for caption, value in (("RED", red), ("GRN", green), ("BLUE", blue)):
        p.click(p.find("text", caption, within=dialog))
        p.key("ctrl+a")
        p.type(str(value))
    p.click(p.find("push button", "OK", within=dialog))
    p.gone("Change Border Color")


def build(p, name):
    out = os.path.join(WORK, name)
    p.press("push button", "Create  Backimage")
    p.choose_file("Create VT Background Image", out)
    wait_for(name, lambda: os.path.exists(out))
    wait_idle(p)
    return out


def cli(*arguments):
    return subprocess.run([CLI] + list(arguments), check=True, capture_output=True, text=True,
                          env=dict(os.environ, SOURCE_DATE_EPOCH="1700000000")).stdout


def fitting_scenario():
    """A 1600 x 1200 photo cropped to 320 x 480 with the mouse, then stretched, then a custom size."""
    bmp = os.path.join(PICTURES, "photo.bmp")
    with open(bmp, "wb") as out:
        pnm = ppm(1600, 1200, lambda x, y: ((x * 255) // 1600, (y * 255) // 1200, 128))
        subprocess.run(["ppmtobmp"], input=pnm, stdout=out, stderr=subprocess.DEVNULL, check=True)
    p = start("fitting")
    try:
        load_picture(p, bmp)
        p.window("Resize Image")
        p.find("label", "Imported Image Size = ")
        p.screenshot("resize")
        p.window_shot("Resize Image", "resize")
        p.press("push button", "Resize to 320 X 480")
        p.find("radio button", "Crop")
        area = named(p, "Crop Area")
        p.screenshot("crop")
        p.window_shot("Resize Image", "crop")
        x, y = p.centre(area)
        p.drag(x, y, 0, 20, button=3)          # 20 pixels taller, 13 wider
        p.drag(x, y, -300, -300)               # stopped at the left and top edges
        set_colour(p, 10, 20, 250)
        crop = p.window("Resize Image")
        p.screenshot("cropped")
        p.click(p.find("push button", "OK", within=crop))
        p.gone("Resize Image")
        wait_idle(p)
        width, height, pixel = picture_of_temp()
        check((width, height) == (320, 480), "cropped to %dx%d" % (width, height))
        # The canvas shows the picture 400 x 300 at 50 pixels from the top: the
        # top fifth of the rectangle is border.
        check(pixel(160, 20) == (10, 20, 250), "border colour at the top: %s" % (pixel(160, 20),))
        check(pixel(20, 200)[2] == 128, "the picture below the border: %s" % (pixel(20, 200),))
        p.find("label", "320 x 480 Pixels")

        load_picture(p, bmp)
        p.press("push button", "Resize to 320 X 480")
        p.press("radio button", "Stretch")
        p.screenshot("stretch")
        p.press("push button", "OK")
        p.gone("Resize Image")
        wait_idle(p)
        ours = build(p, "Stretched.pdb")
        theirs = os.path.join(WORK, "stretched-cli.pdb")
        cli("convert", "--size", "320x480", "--fit", "stretch", "-n", "Stretched", "-o", theirs, bmp)
        check(open(ours, "rb").read() == open(theirs, "rb").read(), "Stretch equals mireo-cli --fit stretch")

        p.press("push button", "Resize Image")
        dialog = p.window("Resize Image")
        for caption, value in (("Custom Width", "200"), ("Custom Height", "300")):
            p.click(p.find("text", caption, within=dialog))
            p.key("ctrl+a")
            p.type(value + "x")               # the letter does not appear
        p.press("push button", "Custom Size")
        p.press("push button", "OK")
        p.gone("Resize Image")
        wait_idle(p)
        check(picture_of_temp()[:2] == (200, 300), "custom size")
        p.find("label", "200 x 300 Pixels")
        check("Width=200" in open(os.path.join(DATA, "Mireo.ini")).read(), "the custom size is stored")
        p.screenshot("custom")
    finally:
        p.end()


def open_scenario():
    """Open Backimage of a 4-bit database, then Save Image."""
    source = photo(PICTURES, "grey.jpg", 320, 320)
    pdb = os.path.join(WORK, "grey.pdb")
    cli("convert", "-b", "4", "-n", "Grey Palm", "-o", pdb, source)
    p = start("open")
    try:
        p.press("push button", "Open Backimage")
        p.choose_file("Load Vantrel Background File", pdb)
        wait_for("the picture", lambda: os.path.exists(os.path.join(TEMP, "temp4d.bmp")))
        wait_idle(p)
        check(p.checked(p.find("check box", "4-Bit Color Depth")), "4-bit chosen")
        check(p.text(p.find("text", "Palm Backimage Name")) == "Grey Palm", "the stored name")
        p.screenshot("opened")
        saved = os.path.join(WORK, "saved.bmp")
        p.press("push button", "Save Image")
        p.choose_file("Save Image", saved)
        wait_for("saved.bmp", lambda: os.path.exists(saved))
        check(open(saved, "rb").read() == open(os.path.join(TEMP, "temp4d.bmp"), "rb").read(),
              "the saved BMP is the picture on show")
    finally:
        p.end()


def bad_input_scenario():
    """Every refusal on these paths appears once, and the program goes on."""
    small = photo(PICTURES, "small.jpg", 40, 40)
    large = photo(PICTURES, "large.jpg", 4100, 60)
    cut = os.path.join(PICTURES, "cut.jpg")
    with open(photo(PICTURES, "whole.jpg", 320, 320), "rb") as whole, open(cut, "wb") as out:
        out.write(whole.read(300))
    other = os.path.join(WORK, "other.pdb")
    with open(other, "wb") as out:
        out.write(b"Address book".ljust(60, b"\0") + b"DATAaddr" + bytes(10))
    notes = os.path.join(PICTURES, "notes.jpeg")
    open(notes, "w").write("x")
    p = start("bad-input")
    try:
        for path, expected in ((notes, "Unsupported Image format!"), (small, "Image is to small to process!"),
                               (large, "Image is to large to process!"), (cut, "Error loading file!")):
            load_picture(p, path)
            p.message(expected)
            p.no_message()
            wait_idle(p)
        p.press("push button", "Open Backimage")
        p.choose_file("Load Vantrel Background File", other)
        p.message("This file doesn't appear to be a valid Vantrel Backimage")
        p.no_message()
        load_picture(p, photo(PICTURES, "fine.jpg", 160, 160))
        wait_for("a picture after all that", lambda: "temp24bit.bmp" in temp_files())
    finally:
        p.end()


def desktop_scenario():
    """A file dragged onto the window with the pointer, and a file handed over by a second start."""
    dropped = photo(PICTURES, "dropped.jpg", 240, 320)
    handed = photo(PICTURES, "handed.jpg", 480, 480)
    p = start("desktop")
    source = subprocess.Popen([os.path.join(BUILD, "tests", "e2e", "drag_source"), dropped])
    try:
        picture = named(p, "Picture")
        wait_for("the drag source", lambda: subprocess.run(["xdotool", "search", "--name", "Drag source"],
                                                             capture_output=True).returncode == 0)
        x, y = p.centre(picture)
        subprocess.run(["xdotool", "mousemove", "--sync", "1160", "940", "mousedown", "1"], check=True)
        for i in range(1, 21):
            subprocess.run(["xdotool", "mousemove", "--sync", str(1160 + (x - 1160) * i // 20),
                            str(940 + (y - 940) * i // 20)], check=True)
        subprocess.run(["xdotool", "mouseup", "1"], check=True)
        wait_for("the dropped picture", lambda: "temp24bit.bmp" in temp_files())
        p.find("label", "240 x 320 Pixels")
        second = subprocess.run([os.path.join(PREFIX, "bin", "mireo"), handed], timeout=20)
        check(second.returncode == 0, "the second start ends at once")
        p.find("label", "480 x 480 Pixels", timeout=20)
        check(p.find("frame", "handed.jpg") is not None, "the running program shows the handed file")
        p.screenshot("handed")
    finally:
        source.terminate()
        p.end()


SCENARIOS = {"picture": picture_scenario, "fitting": fitting_scenario, "open": open_scenario,
             "bad-input": bad_input_scenario, "desktop": desktop_scenario}


def main():
    os.makedirs(PICTURES, exist_ok=True)
    failed = []
    for name, run in SCENARIOS.items():
        if ONLY and name not in ONLY:
            continue
        shutil.rmtree(DATA, ignore_errors=True)
        try:
            run()
            print("passed:", name, flush=True)
        except Exception as error:  # noqa: BLE001 - every failure is reported by scenario
            print("FAILED:", name, "-", error, flush=True)
            failed.append(name)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
