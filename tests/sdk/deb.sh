#!/bin/bash
# The Debian package as a user takes it, without installing it on this machine: made by
# the build's target deb, checked by lintian, unpacked into a temporary root, an
# application built against the unpacked SDK with find_package and with pkg-config and
# run headless through the unpacked epoc, and every unpacked program asked its version.
#   deb.sh BUILD_DIR SOURCE_DIR WORK_DIR CXX_COMPILER GENERATOR VERSION DEB_FILE
# SOURCE_DIR holds the application's CMake project (SdkApp/) and pkgconfig_probe.cpp.
set -u
build=$1 source=$2 work=$3 cxx=$4 generator=$5 version=$6 debname=$7
deb=$build/$debname

fail() { echo "FAIL: $*" >&2; exit 1; }
show() { echo "---- $1"; tail -n 60 "$1"; }
elapsed() { echo "$1: $((SECONDS - started)) s"; started=$SECONDS; }
export LC_ALL=C

rm -rf "$work"
mkdir -p "$work"
started=$SECONDS

# 1. The package, made as a user makes it.
rm -f "$deb"
cmake --build "$build" --target deb > "$work/deb.log" 2>&1 || { show "$work/deb.log"; fail "cmake --build --target deb"; }
[ -f "$deb" ] || fail "the target deb made no $deb"
echo "package: $debname, $(stat -c %s "$deb") bytes"
elapsed "making the package"

[ "$(dpkg-deb -f "$deb" Package)" = zolvane-sdk ] || fail "the package is not named zolvane-sdk"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
# Dependencies come from the libraries the files link.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libsdl2-2.0-0 libsdl2-image-2.0-0 libfreetype6 libfontconfig1; do
  [[ $depends == *"$library "* ]] || fail "the package does not depend on $library: $depends"
done
# The fonts every typeface is drawn with.
for fonts in fonts-dejavu-core fonts-dejavu-extra; do
  [[ $depends == *"$fonts"* ]] || fail "the package does not depend on $fonts: $depends"
done
[[ $depends == *zolvane* ]] && fail "the package depends on itself: $depends"

# 2. lintian: no errors, and no warning beyond those the package overrides, each with its
# reason (cmake/debian/lintian-overrides).
if command -v lintian > /dev/null; then
  lintian --fail-on error,warning "$deb" > "$work/lintian.txt" 2>&1
  status=$?
  grep -v '^running with root privileges' "$work/lintian.txt"
  [ $status -eq 0 ] || fail "lintian found errors or warnings"
  elapsed "lintian"
else
  echo "lintian is not installed (Debian package lintian): not run"
fi

# 3. The unpacked package: its layout, and no run path in any of its programs or libraries.
root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
multiarch=$(gcc -print-multiarch 2> /dev/null || "$cxx" -print-multiarch)
usr=$root/usr libdir=$root/usr/lib/$multiarch
for f in "lib/$multiarch/libZolvane.so" "lib/$multiarch/libZolvane.so.0" "lib/$multiarch/libzsymbian.so.0" \
         "lib/$multiarch/cmake/Zolvane/ZolvaneConfig.cmake" "lib/$multiarch/pkgconfig/zolvane.pc" \
         include/zolvane/Zolvane.h include/zolvane/e32base.h share/zolvane/Templates/Template.mmp \
         libexec/zolvane/ZolvWizard libexec/zolvane/Templates libexec/zolvane/makmake.bat \
         share/doc/zolvane-sdk/copyright share/doc/zolvane-sdk/changelog.gz share/doc/zolvane-sdk/README.md \
         share/doc/zolvane-sdk/sdk.md bin/makmake bin/makmake.bat share/man/man1/makmake.bat.1.gz; do
  [ -e "$usr/$f" ] || fail "not in the package: /usr/$f"
done
for program in epoc zolvlint zolvmbm makmake ZolvWizard ZolvInstall; do
  [ -f "$usr/share/man/man1/$program.1.gz" ] || fail "no manual page for $program"
done
while IFS= read -r -d '' f; do
  [ "$(od -An -tx1 -N4 "$f" | tr -d ' \n')" = 7f454c46 ] || continue
  readelf -d "$f" | grep -q -E '\((RPATH|RUNPATH)\)' && fail "${f#"$root"} carries a run path"
done < <(find "$root" -type f -print0)
if grep -rlI -- "$build" "$root" > "$work/leaks.txt"; then cat "$work/leaks.txt"; fail "the package names the build tree"; fi

# 4. An application against the unpacked SDK alone. Nothing is installed, so the loader is
# told where the unpacked libraries are.
LD_LIBRARY_PATH=$libdir bash "$(dirname "$0")/build_app.sh" "$usr" "$libdir" "$source" "$work" "$cxx" "$generator" \
  || exit 1
elapsed "building and running the application"

# 5. Every program in the package answers --version, without a display.
count=0
for program in "$usr"/bin/*; do
  name=$(basename "$program")
  [ "$name" = makmake.bat ] && name=makmake
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb LD_LIBRARY_PATH="$libdir" "$program" --version 2>&1)
  [ "$answer" = "$name (Zolvane SDK) $version" ] || fail "$(basename "$program") --version: '$answer'"
  count=$((count + 1))
done
[ $count -ge 7 ] || fail "only $count programs in /usr/bin"

echo "Debian package test passed"
rm -rf "$work"
