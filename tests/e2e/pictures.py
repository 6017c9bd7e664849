"""Test pictures drawn here and encoded with netpbm."""
import os
import subprocess


def ppm(width, height, colour):
    """A binary PPM of the picture colour(x, y) -> (r, g, b)."""
    rows = bytearray()
    for y in range(height):
        for x in range(width):
            rows += bytes(colour(x, y))
    return b"P6 %d %d 255\n" % (width, height) + bytes(rows)


def photo(folder, name, width, height):
    """A photo-like JPEG: gradients under a red, green, blue and yellow quadrant tint."""
    def colour(x, y):
        right, bottom = x >= width // 2, y >= height // 2
        base = ((230, 40, 40), (40, 200, 60), (40, 60, 220), (230, 220, 40))[2 * bottom + right]
        shade = (x * 7 + y * 5) % 40
        return tuple(max(0, min(255, c - 20 + shade)) for c in base)
    path = os.path.join(folder, name)
    with open(path, "wb") as out:
        subprocess.run(["pnmtojpeg", "-quality=90"], input=ppm(width, height, colour), stdout=out, check=True)
    return path
