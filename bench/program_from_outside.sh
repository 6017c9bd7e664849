#!/bin/sh
# The real program timed from outside: start-up and a cached depth switch.
# The screen is small so that reading it back costs little.
#   bench/program_from_outside.sh [build folder] [runs]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd) runs=${2:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/install" >/dev/null
"$work/install/bin/mireo-cli" --version >/dev/null
bmptopnm "$root/samples/sample.bmp" 2>/dev/null | pamscale -width 320 -height 320 | pnmtojpeg > "$work/picture.jpg"
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_RUNTIME_DIR="$work/runtime" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
dbus-run-session -- xvfb-run -a -s "-screen 0 640x480x24 -noreset" \
    /usr/bin/python3 "$root/bench/program_from_outside.py" "$work/install/bin/mireo" "$work/picture.jpg" "$runs" 2>"$work/errors.log" || { grep -v dbus-daemon "$work/errors.log" | head -8; exit 1; }
