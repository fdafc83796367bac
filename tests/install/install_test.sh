#!/bin/sh
# Installs the build into a temporary prefix, then builds and runs two hosts
# against that prefix only: one with pkg-config, one with find_package(zebext).
# Both run without a display. Usage: install_test.sh <build folder> <this folder>
set -eu
build=$1
here=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
libdir=$(dirname "$(find "$work/prefix" -name libzebext.so.1 | head -n 1)")

# pkg-config, with the prefix's .pc file only
PKG_CONFIG_PATH= PKG_CONFIG_LIBDIR="$libdir/pkgconfig" \
  cc -std=c99 -Wall -Wextra -Werror -o "$work/pc-host" "$here/consumer.c" \
  $(PKG_CONFIG_PATH= PKG_CONFIG_LIBDIR="$libdir/pkgconfig" pkg-config --cflags --libs zebext)
env -u DISPLAY -u WAYLAND_DISPLAY LD_LIBRARY_PATH="$libdir" "$work/pc-host"

# find_package, with the prefix as the only place to look
cmake -S "$here" -B "$work/cmake-host" -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF >/dev/null
cmake --build "$work/cmake-host" >/dev/null
env -u DISPLAY -u WAYLAND_DISPLAY "$work/cmake-host/consumer"

# the installed demo host finds the installed library by itself
test "$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/prefix/bin/zebhost" call DirectoryExists /)" = 1
