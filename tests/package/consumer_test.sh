#!/bin/sh
# Another project uses the installed library: through pkg-config and
# through CMake's find_package.
#   consumer_test.sh <build folder> <work folder>
set -eu
build=$(cd "$1" && pwd) work=$2
rm -rf "$work" && mkdir -p "$work/project"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cat >"$work/project/use.c" <<'C'
#include <mireocore.h>
#include <string.h>
int main(void) {
    char text[] = "Left";
    MireoString name = {text, 4, 4}, direction = {text, 4, 4};
    MireoSetWindowSystem(NULL);
    RotateImg(&name, &direction); /* no such file: the library says so on stderr */
    return 0;
}
C
export PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig"
cc -o "$work/use-pc" "$work/project/use.c" $(pkg-config --cflags --libs mireocore)
LD_LIBRARY_PATH="$work/prefix/lib" "$work/use-pc" 2>"$work/pc.err"
grep -q "Unable to find temporary image file" "$work/pc.err"
cat >"$work/project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(use C)
find_package(mireocore 1 REQUIRED)
add_executable(use use.c)
target_link_libraries(use PRIVATE mireocore::mireocore)
CMAKE
cmake -S "$work/project" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
"$work/cmake/use" 2>"$work/cmake.err"
grep -q "Unable to find temporary image file" "$work/cmake.err"
echo passed
