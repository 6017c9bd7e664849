#!/bin/sh
# Builds the Debian package, installs it with apt-get, runs the program and
# the tool from it, and removes it again, leaving none of its files behind.
#   deb_test.sh <build folder> <work folder>
# Exits 77 (skipped) without root rights or apt-get.
set -u
build=$(cd "$1" && pwd) work=$2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo -n"
command -v apt-get >/dev/null && $sudo true 2>/dev/null || { echo "skipped: needs apt-get and root"; exit 77; }
dpkg-query -W -f="\${Status}" mireo 2>/dev/null | grep -q "install ok installed" && { echo "skipped: a mireo package is installed already"; exit 77; }
fail() { echo "FAILED: $*"; $sudo apt-get purge -y mireo >/dev/null 2>&1; exit 1; }

rm -rf "$work" && mkdir -p "$work" || exit 1
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB >cpack.log 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/mireo_*.deb) || fail "no package was built"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "the package does not declare Qt: $(dpkg-deb -f "$deb" Depends)"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get install"; }

/usr/bin/mireo-cli --version | grep -q "^mireo-cli " || fail "mireo-cli does not run"
/usr/bin/mireo-cli convert --size 320x320 -o "$work/sample.pdb" "$build/../samples/sample.bmp" >/dev/null \
    || fail "mireo-cli cannot convert"
# The program starts, finds its library and its help page, and keeps its
# working files in the per-user folder.
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/mireo >"$work/run.log" 2>&1
[ $? -eq 124 ] || fail "the program did not keep running: $(cat "$work/run.log")"
[ -f "$XDG_DATA_HOME/Mireo/Mireo.ini" ] || fail "no settings in the per-user folder"
grep -q "could not load" "$work/run.log" && fail "the program did not find its library"
[ -f /usr/share/mireo/Help/Mireo_Help.htm ] || fail "no help page"
desktop-file-validate /usr/share/applications/mireo.desktop || fail "desktop entry"

files=$(dpkg -L mireo | grep -v '/$')
$sudo apt-get purge -y mireo >"$work/remove.log" 2>&1 || fail "apt-get remove"
for f in $files; do [ -d "$f" ] || [ ! -e "$f" ] || fail "$f is left after removal"; done
echo "passed"
