#!/bin/sh
# Starts the real program under Xvfb with a screen of the given depth and
# lets its test entry point press Exit (smoke_main.cpp).
#   smoke.sh <mireo> <depth> <work folder>
# 24 and 16 bits: the window shows, ScreenBits is the screen's depth, and
# Exit writes the settings and deletes the working files.
# 8 bits: the video-depth message is shown and the program ends at once.
set -u
program=$1 depth=$2 work=$3

command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run is missing"; exit 77; }

# A copy of its own, so the program's folder (AppPath) is this test's.
rm -rf "$work" && mkdir -p "$work/temp" || exit 1
cp "$program" "$work/mireo" || exit 1
for name in "left over.bmp" temp3.bin notes.txt; do echo x > "$work/temp/$name"; done

# Under AddressSanitizer, libxkbcommon's X11 keymap reading trips the
# strict string checks (it hands strndup a string without terminator).
ASAN_OPTIONS="${ASAN_OPTIONS:-}:strict_string_checks=0" \
XDG_RUNTIME_DIR=$work timeout -k 5 60 \
    xvfb-run -a -s "-screen 0 1280x1024x$depth" "$work/mireo" > "$work/output.txt" 2> "$work/errors.txt"
status=$?
cat "$work/output.txt"

fail() { echo "FAILED: $*"; exit 1; }
[ "$status" -eq 0 ] || fail "the program ended with status $status"
grep -qx "ScreenBits=$depth" "$work/output.txt" || fail "ScreenBits is not $depth"
for left in "left over.bmp" temp3.bin; do [ -e "$work/temp/$left" ] && fail "$left is left in temp"; done
[ -e "$work/temp/notes.txt" ] || fail "notes.txt was deleted"

if [ "$depth" -lt 16 ]; then
    grep -qx "message: Problem! Mireo requires a video depth of at least 16-bit. Please check your video settings." \
        "$work/output.txt" || fail "no video-depth message"
    grep -q "window shown" "$work/output.txt" && fail "the window was shown"
else
    grep -qx "window shown: yes" "$work/output.txt" || fail "the window was not shown"
    grep -q "^message:" "$work/output.txt" && fail "a message was shown"
    for line in "Name=Mireo" "Default Color Depth=16-Bit" "Type=Dithered" "Width=320" "Height=320" \
                "Use Backimage Compression=False" "Show Compression Warning=True" "Block1=51200" "Block2=30720"; do
        grep -qx "$line" "$work/Mireo.ini" || fail "Mireo.ini lacks $line"
    done
fi
echo "passed"
