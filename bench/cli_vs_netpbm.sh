#!/bin/sh
# Times, in one paired run, mireo-cli converting a 4000 x 3000 photo-like
# JPEG to a compressed 8-bit diffused 320 x 480 database against
#   - libjpeg-turbo's djpeg -scale 1/4 decoding the same file to nothing
#     (the floor: what decoding the JPEG alone costs; goal: at most 1.3 times),
#   - the netpbm pipeline jpegtopnm | pamscale | pnmremap -fs | pnmtopalm
#     with compression (goal: mireo-cli at least 3 times faster),
#   - ImageMagick's convert -resize -dither FloydSteinberg -remap to a Palm
#     bitmap (when installed),
# as whole processes, the commands taking turns round after round so that a
# change in the machine's load touches all alike; medians are compared.  It
# also prints mireo-cli's peak memory.
#
# Usage: bench/cli_vs_netpbm.sh [path/to/mireo-cli]   (default build/cli/mireo-cli)
# RUNS (default 15) sets the rounds.  All sides stretch the whole picture to
# 320 x 480, so they do the same work.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "${1:-$root/build/cli/mireo-cli}")
runs=${RUNS:-15}

for tool in djpeg jpegtopnm pamscale pnmremap pnmtopalm bmptopnm pgmnoise pgmtoppm pamcomp pnmtojpeg python3; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
done
[ -x "$cli" ] || { echo "mireo-cli not found at $cli; build it first (scripts/demo)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
cd "$work"

# The photo: the bundled sample enlarged smoothly, with a fine grain as a
# camera sensor leaves it, saved at JPEG quality 90.
bmptopnm "$root/samples/sample.bmp" 2>/dev/null | pamscale -filter=triangle -width 4000 -height 3000 > base.ppm
pgmnoise -randomseed=7 4000 3000 2>/dev/null | pgmtoppm white > grain.ppm
pamcomp -opacity=0.08 grain.ppm base.ppm | pnmtojpeg -quality=90 > photo.jpg
rm base.ppm grain.ppm

# The Palm OS 8-bit system palette as a netpbm map file (each colour once).
python3 - <<'PY'
levels = [255, 204, 153, 102, 51, 0]
colours = []
for blues in ([255, 204, 153], [102, 51, 0]):
    for r in levels:
        for b in blues:
            for g in levels:
                if (r, g, b) != (0, 0, 0):
                    colours.append((r, g, b))
colours += [(v, v, v) for v in (17, 34, 68, 85, 119, 136, 170, 187, 221, 238)]
colours += [(192, 192, 192), (128, 0, 0), (128, 0, 128), (0, 128, 0), (0, 128, 128), (0, 0, 0)]
with open("palm8.ppm", "w") as f:
    f.write("P3\n%d 1\n255\n" % len(colours))
    f.write("\n".join("%d %d %d" % c for c in colours) + "\n")
PY

mireo="'$cli' convert --size 320x480 --fit stretch --depth 8 --method diffused --compress --output mireo.pdb photo.jpg"
djpeg="djpeg -scale 1/4 -outfile /dev/null photo.jpg"
netpbm="jpegtopnm photo.jpg 2>/dev/null | pamscale -width 320 -height 480 | pnmremap -fs -mapfile=palm8.ppm 2>/dev/null | pnmtopalm -depth 8 -scanline_compression > netpbm.palm"
# /usr/bin first: another "convert" may stand earlier on the PATH.
magick=""
[ -x /usr/bin/convert ] && /usr/bin/convert -version 2>/dev/null | grep -q ImageMagick &&
    magick="/usr/bin/convert photo.jpg -resize '320x480!' -dither FloydSteinberg -remap palm8.ppm palm:magick.palm"

echo "picture: 4000 x 3000 JPEG, $(wc -c < photo.jpg) bytes; $runs rounds; $(nproc) processors"
python3 - "$runs" "$mireo" "$djpeg" "$netpbm" "$magick" <<'PY'
import resource, statistics, subprocess, sys, time
runs, mireo, djpeg, netpbm, magick = int(sys.argv[1]), *sys.argv[2:6]
sides = {"mireo-cli": mireo, "djpeg": djpeg, "netpbm": netpbm}
if magick:
    sides["ImageMagick"] = magick
def run(command):
    start = time.perf_counter()
    subprocess.run("exec " + command, shell=True, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start
for command in sides.values():
    run(command)  # warm-up: files in the page cache, libraries mapped
times = {name: [] for name in sides}
for _ in range(runs):
    for name, command in sides.items():
        times[name].append(run(command))
median = {name: statistics.median(t) for name, t in times.items()}
for name in sides:
    print("%-12s median %7.1f ms  (min %6.1f, max %6.1f)" % (name, median[name] * 1000, min(times[name]) * 1000, max(times[name]) * 1000))
m = median["mireo-cli"]
print("mireo-cli / djpeg -scale 1/4: %.2f (goal: at most 1.3)" % (m / median["djpeg"]))
print("netpbm / mireo-cli: %.2f times faster (goal: 3)" % (median["netpbm"] / m))
if magick:
    print("ImageMagick / mireo-cli: %.2f times faster" % (median["ImageMagick"] / m))
# A child of its own, so that the peak is mireo-cli's alone.
peak = subprocess.run([sys.executable, "-c",
    "import resource, subprocess, sys; subprocess.run(sys.argv[1], shell=True, check=True, stdout=subprocess.DEVNULL);"
    "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)", "exec " + mireo],
    check=True, capture_output=True, text=True).stdout.strip()
print("mireo-cli peak memory: %.1f MB (goal: under 40)" % (int(peak) / 1024))
PY
[ -s mireo.pdb ] && [ -s netpbm.palm ] || { echo "a conversion produced no output" >&2; exit 1; }
