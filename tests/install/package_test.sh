#!/bin/sh
# Builds the Debian package of the build and checks its name, its files and its
# computed dependencies. Usage: package_test.sh <build folder> <version>
set -eu
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
package="$work/zebext_${version}_$(dpkg --print-architecture).deb"
dpkg-deb -c "$package" | awk '{ print $6 }' > "$work/files"
for file in ./usr/lib/libzebext.so.1 ./usr/lib/libzebext.so ./usr/include/zebext.h ./usr/bin/zebhost \
    ./usr/lib/pkgconfig/zebext.pc ./usr/lib/cmake/zebext/zebextConfig.cmake \
    ./usr/lib/cmake/zebext/zebextConfigVersion.cmake ./usr/lib/cmake/zebext/zebextTargets.cmake \
    ./usr/share/doc/zebext/examples/c/dlopen_host.c ./usr/share/doc/zebext/examples/python/zebext_host.py; do
  grep -qx "$file" "$work/files" || { echo "the package lacks $file" >&2; exit 1; }
done
dpkg-deb -I "$package" control > "$work/control"
grep -qx "Version: $version" "$work/control"
# The dependencies come from the binaries: the C library and GTK among them.
depends=$(sed -n 's/^Depends: //p' "$work/control")
echo "Depends: $depends"
echo "$depends" | grep -q 'libc6 (>= ' && echo "$depends" | grep -q 'libgtk-3-0 (>= '
