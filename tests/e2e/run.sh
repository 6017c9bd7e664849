#!/bin/sh
# The end-to-end scenarios against the installed program, on a virtual
# screen with a session bus and the accessibility registry.
#   run.sh <build folder> <work folder> [scenario...]
# Exits 77 (skipped) when a package it needs is missing.
set -u
build=$(cd "$1" && pwd) work=$2
shift 2
for tool in Xvfb dbus-run-session xdotool xwd xwdtopnm pnmtopng /usr/bin/python3; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is missing"; exit 77; }
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "skipped: python3-pyatspi is missing"; exit 77; }
[ -e /usr/libexec/at-spi-bus-launcher ] || { echo "skipped: at-spi2-core is missing"; exit 77; }

rm -rf "$work" && mkdir -p "$work/home" || exit 1
cmake --install "$build" --prefix "$work/install" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }

# Under AddressSanitizer, libxkbcommon's keymap reading trips the strict
# string checks (it hands strndup a string without terminator).
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:strict_string_checks=0"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
export XDG_DATA_HOME="$work/home/.local/share" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
exec timeout -k 10 900 dbus-run-session -- \
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    /usr/bin/python3 "$(dirname "$0")/scenarios.py" "$work/install" "$work" "$build" "$@"
