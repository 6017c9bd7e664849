"""The program as a user meets it: each scenario drives the installed
program through its windows and checks the files in temp/, the output
files and the states of the controls.
  scenarios.py <install prefix> <work folder> <build folder> [scenario...]"""
import os
import re
import shutil
import subprocess
import sys

from desktop import Failure, Program, wait_for
from pictures import photo, ppm

PREFIX, WORK, BUILD = sys.argv[1:4]
ONLY = sys.argv[4:]
CLI = os.path.join(PREFIX, "bin", "mireo-cli")
DATA = os.path.join(os.environ["XDG_DATA_HOME"], "Mireo")  # the per-user folder of an installed program
TEMP = os.path.join(DATA, "temp")
PICTURES = os.path.join(WORK, "pictures")
EPOCH = dict(os.environ, SOURCE_DATE_EPOCH="1700000000")


def check(condition, what):
    if not condition:
        raise Failure(what)


def temp_files():
    return sorted(f for f in os.listdir(TEMP) if f.endswith(".bmp") or f.endswith(".bin"))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def start(name, *arguments):
    shots = os.path.join(BUILD, "e2e", name)
    shutil.rmtree(shots, ignore_errors=True)
    return Program([os.path.join(PREFIX, "bin", "mireo")] + list(arguments), EPOCH, shots)


def cli(*arguments):
    return subprocess.run([CLI] + list(arguments), check=True, capture_output=True, text=True, env=EPOCH).stdout


def load_picture(p, path):
    p.press("Load Picture")
    p.choose_file("Load Picture", path)


def build(p, name):
    out = os.path.join(WORK, name)
    p.press("Create  Backimage")
    p.choose_file("Create VT Background Image", out)
    wait_for(name, lambda: os.path.exists(out))
    p.wait_idle()
    return out


def temp_picture():
    """temp.bmp as (width, height, pixel(x, y) -> (r, g, b)), read by netpbm."""
    pnm = subprocess.run(["bmptopnm", os.path.join(TEMP, "temp.bmp")], capture_output=True, check=True).stdout
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", pnm)
    width, height, data = int(header.group(1)), int(header.group(2)), pnm[header.end():]
    return width, height, lambda x, y: tuple(data[3 * (y * width + x):3 * (y * width + x) + 3])


def picture_scenario():
    """Load Picture, every depth and method, Create Backimage compressed."""
    p = start("picture")
    try:
        p.screenshot("start")
        load_picture(p, photo(PICTURES, "beach.jpg", 320, 320))
        wait_for("the 16-bit preview", lambda: temp_files() == ["temp.bmp", "temp24bit.bmp"])
        p.find("320 x 320 Pixels", "label")
        check(p.enabled("Create  Backimage"), "Create Backimage enabled")
        for option, preview in (("8-Bit Color Depth", "temp8d.bmp"), ("Nearest Color", "temp8n.bmp"),
                                ("Diffused", "temp8d.bmp"), ("4-Bit Color Depth", "temp4d.bmp")):
            p.press(option, "check box")
            wait_for(preview, lambda: preview in temp_files())
            check(p.checked(option), option + " checked")
        p.screenshot("four-bit")
        p.screenshot("main", window="^Mireo$")
        p.press("8-Bit Color Depth", "check box")
        p.press("Compression is Off", "check box")
        p.message("Important information about using compression.")
        out = build(p, "Beach.pdb")
        p.no_message()
        theirs = os.path.join(WORK, "cli.pdb")
        cli("convert", "--size", "keep", "-b", "8", "-m", "diffused", "-c", "-n", "Beach", "-o", theirs,
            os.path.join(TEMP, "temp.bmp"))
        check(read(out) == read(theirs), "the program's database equals mireo-cli's")
        p.press("Exit")
        wait_for("the program to end", lambda: p.process.poll() is not None)
        check(temp_files() == [], "Exit leaves no working file")
        check("Default Color Depth=8-Bit" in open(os.path.join(DATA, "Mireo.ini")).read(), "Exit stores the depth")
    finally:
        p.end()


def set_colour(p, red, green, blue):
    p.press("Change Border Color")
    dialog = p.window("Change Border Color")
    p.screenshot("colour", window="Change Border Color")
    for caption, value in (("RED", red), ("GRN", green), ("BLUE", blue)):
        p.enter(caption, str(value), dialog)
    p.press("OK", within=dialog)
    p.gone("Change Border Color")


def fit(p, size_button):
    p.press(size_button)
    crop = p.window("Resize Image")
    p.find("Crop", "radio button")
    return crop


def fitting_scenario():
    """A 1600 x 1200 picture cropped to 320 x 480 with the mouse, part of it border."""
    bmp = os.path.join(PICTURES, "photo.bmp")
    with open(bmp, "wb") as out:
        pnm = ppm(1600, 1200, lambda x, y: ((x * 255) // 1600, (y * 255) // 1200, 128))
        subprocess.run(["ppmtobmp"], input=pnm, stdout=out, stderr=subprocess.DEVNULL, check=True)
    p = start("fitting")
    try:
        load_picture(p, bmp)
        p.find("The image you've selected is a non-standard size.", "label")
        p.screenshot("resize", window="Resize Image")
        crop = fit(p, "Resize to 320 X 480")
        p.screenshot("crop", window="Resize Image")
        x, y = p.centre(p.find("Crop Area"))
        p.drag(x, y, 0, 20, button=3)          # 20 pixels taller, 13 wider
        p.drag(x, y, -300, -300)               # stopped at the left and top edges
        set_colour(p, 10, 20, 250)
        p.screenshot("cropped")
        p.press("OK", within=crop)
        p.gone("Resize Image")
        p.wait_idle()
        width, height, pixel = temp_picture()
        check((width, height) == (320, 480), "cropped to %dx%d" % (width, height))
        # The canvas shows the picture 400 x 300 at 50 pixels from the top, so
        # the top fifth of the rectangle is border.
        check(pixel(160, 20) == (10, 20, 250), "border colour at the top: %s" % (pixel(160, 20),))
        check(pixel(20, 200)[2] == 128, "the picture below the border: %s" % (pixel(20, 200),))
        p.find("320 x 480 Pixels", "label")
    finally:
        p.end()


def open_scenario():
    """Open Backimage of a 4-bit database, then Save Image."""
    pdb = os.path.join(WORK, "grey.pdb")
    cli("convert", "-b", "4", "-n", "Grey Palm", "-o", pdb, photo(PICTURES, "grey.jpg", 320, 320))
    p = start("open")
    try:
        p.press("Open Backimage")
        p.choose_file("Load Vantrel Background File", pdb)
        wait_for("the picture", lambda: os.path.exists(os.path.join(TEMP, "temp4d.bmp")))
        p.wait_idle()
        check(p.checked("4-Bit Color Depth"), "4-bit chosen")
        name = p.find("Palm Backimage Name", "text").queryText()
        check(name.getText(0, name.characterCount) == "Grey Palm", "the stored name")
        p.screenshot("opened")
        saved = os.path.join(WORK, "saved.bmp")
        p.press("Save Image")
        p.choose_file("Save Image", saved)
        wait_for("saved.bmp", lambda: os.path.exists(saved))
        check(read(saved) == read(os.path.join(TEMP, "temp4d.bmp")), "the saved BMP is the picture on show")
    finally:
        p.end()


def bad_input_scenario():
    """A refused picture is reported once by a real message box, and the program goes on."""
    cut = os.path.join(PICTURES, "cut.jpg")
    with open(cut, "wb") as out:
        out.write(read(photo(PICTURES, "whole.jpg", 320, 320))[:300])
    notes = os.path.join(PICTURES, "notes.jpeg")
    open(notes, "w").write("x")
    p = start("bad-input")
    try:
        for path, expected in ((notes, "Unsupported Image format!"), (cut, "Error loading file!")):
            load_picture(p, path)
            p.message(expected)
            p.no_message()
            p.wait_idle()
        load_picture(p, photo(PICTURES, "fine.jpg", 160, 160))
        wait_for("a picture after all that", lambda: "temp24bit.bmp" in temp_files())
    finally:
        p.end()


def desktop_scenario():
    """A file dragged onto the window with the pointer, and a file handed over by a second start."""
    dropped, handed = photo(PICTURES, "dropped.jpg", 240, 320), photo(PICTURES, "handed.jpg", 480, 480)
    p = start("desktop")
    source = subprocess.Popen([os.path.join(BUILD, "tests", "e2e", "drag_source"), dropped])
    try:
        x, y = p.centre(p.find("Picture"))
        wait_for("the drag source", lambda: subprocess.run(["xdotool", "search", "--name", "Drag source"],
                                                             capture_output=True).returncode == 0)
        p.drag(1160, 940, x - 1160, y - 940, steps=20)
        wait_for("the dropped picture", lambda: "temp24bit.bmp" in temp_files())
        p.find("240 x 320 Pixels", "label")
        second = subprocess.run([os.path.join(PREFIX, "bin", "mireo"), handed], timeout=20)
        check(second.returncode == 0, "the second start ends at once")
        p.find("480 x 480 Pixels", "label", timeout=20)
        p.find("handed.jpg", "frame")
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
