#!/bin/sh
# Installs the build into a temporary prefix, then builds the C examples against that
# prefix only: the linked host with pkg-config, both hosts with find_package(zebext).
# All run without a display. Usage: install_test.sh <build folder> <examples folder>
set -eu
build=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
headless() { env -u DISPLAY -u WAYLAND_DISPLAY "$@"; }
cmake --install "$build" --prefix "$work/prefix" >/dev/null
library=$(find "$work/prefix" -name libzebext.so.1)
libdir=$(dirname "$library")

readelf -d "$library" | grep -q 'SONAME.*\[libzebext\.so\.1\]'
# Relocatable: no package file names the build tree or the prefix.
if grep -rlF -e "$(cd "$build" && pwd)" -e "$work" "$libdir/pkgconfig" "$libdir/cmake"; then
  echo "absolute paths in the package files" >&2
  exit 1
fi

export PKG_CONFIG_PATH= PKG_CONFIG_LIBDIR="$libdir/pkgconfig"
cc -std=c99 -Wall -Wextra -Werror -o "$work/pc-host" "$examples/c/linked_host.c" \
  $(pkg-config --cflags --libs zebext)
LD_LIBRARY_PATH="$libdir" headless "$work/pc-host"

cmake -S "$examples/c" -B "$work/cmake-hosts" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF -DCMAKE_C_FLAGS="-Wall -Wextra -Werror -pedantic" >/dev/null
cmake --build "$work/cmake-hosts" >/dev/null
headless "$work/cmake-hosts/linked_host"
LD_LIBRARY_PATH="$libdir" headless "$work/cmake-hosts/dlopen_host"

# The installed demo host finds the installed library by itself.
test "$(headless "$work/prefix/bin/zebhost" call DirectoryExists /)" = 1
