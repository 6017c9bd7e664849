#!/bin/sh
# Times, in the same run, mireo-cli converting a 4000 x 3000 photo-like JPEG
# to a compressed 8-bit diffused 320 x 480 database, against the netpbm
# pipeline jpegtopnm | pamscale | pnmremap -fs | pnmtopalm with compression,
# and prints how many times faster mireo-cli is (goal: at least 3).
#
# Usage: bench/cli_vs_netpbm.sh [path/to/mireo-cli]   (default build/cli/mireo-cli)
# Both sides stretch the whole picture to 320 x 480, so they do the same work.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "${1:-$root/build/cli/mireo-cli}")
runs=${RUNS:-10}

for tool in jpegtopnm pamscale pnmremap pnmtopalm bmptopnm pgmnoise pgmtoppm pamcomp pnmtojpeg python3; do
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
netpbm="jpegtopnm photo.jpg 2>/dev/null | pamscale -width 320 -height 480 | pnmremap -fs -mapfile=palm8.ppm 2>/dev/null | pnmtopalm -depth 8 -scanline_compression > netpbm.palm"

echo "picture: 4000 x 3000 JPEG, $(wc -c < photo.jpg) bytes; $runs runs each"
if command -v hyperfine >/dev/null; then
    hyperfine --warmup 1 --runs "$runs" --export-json times.json -n mireo-cli "$mireo" -n netpbm "$netpbm" >&2
    mean() { python3 -c "import json,sys; r={x['command']: x['mean'] for x in json.load(open('times.json'))['results']}; print(r[sys.argv[1]])" "$1"; }
    mireo_s=$(mean mireo-cli)
    netpbm_s=$(mean netpbm)
else
    seconds() {
        start=$(date +%s%N)
        i=0
        while [ $i -lt "$runs" ]; do sh -c "$1" >/dev/null; i=$((i + 1)); done
        echo "($(date +%s%N) - $start) / 1000000000 / $runs" | python3 -c "print(eval(input()))"
    }
    sh -c "$mireo" >/dev/null; sh -c "$netpbm"  # warm-up
    mireo_s=$(seconds "$mireo")
    netpbm_s=$(seconds "$netpbm")
fi
[ -s mireo.pdb ] && [ -s netpbm.palm ] || { echo "a conversion produced no output" >&2; exit 1; }
python3 -c "
import sys
m, n = float(sys.argv[1]), float(sys.argv[2])
print('mireo-cli %.1f ms, netpbm %.1f ms: mireo-cli is %.2f times faster (goal: 3)' % (m * 1000, n * 1000, n / m))
" "$mireo_s" "$netpbm_s"
