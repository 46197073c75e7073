#!/bin/bash
# Installs a build of Zolvane into a fresh prefix, then builds and runs an application
# against that prefix only: with find_package(Zolvane) and with pkg-config.
#   outoftree.sh BUILD_DIR SOURCE_DIR WORK_DIR CXX_COMPILER GENERATOR [EXTRA_FLAGS]
# SOURCE_DIR holds the application's CMake project (SdkApp/) and pkgconfig_probe.cpp.
set -u
# Every program here runs in the C locale: nothing read from one is translated.
export LC_ALL=C
build=$1 source=$2 work=$3 cxx=$4 generator=$5 flags=${6:-}

fail() { echo "FAIL: $*" >&2; exit 1; }
show() { echo "---- $1"; tail -n 40 "$1"; }

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix

# 1. The installation, and its layout.
cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 || { show "$work/install.log"; fail "cmake --install"; }
for f in lib/libZolvane.so lib/libzsymbian.so include/zolvane/Zolvane.h include/zolvane/e32base.h \
         include/zolvane/zhost/files.h lib/cmake/Zolvane/ZolvaneConfig.cmake \
         lib/cmake/Zolvane/ZolvaneConfigVersion.cmake lib/pkgconfig/zolvane.pc bin/epoc; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
soname=$(readelf -d "$prefix/lib/libZolvane.so" | sed -n 's/.*(SONAME).*\[\(.*\)\].*/\1/p')
case $soname in libZolvane.so.[0-9]*) ;; *) fail "libZolvane.so has no versioned soname ('$soname')";; esac
[ -e "$prefix/lib/$soname" ] || fail "the soname $soname is not installed"
# Nothing installed may point back into the build tree.
if grep -rlI -- "$build" "$prefix/lib/cmake" "$prefix/lib/pkgconfig" > "$work/leaks.txt"; then
  cat "$work/leaks.txt"; fail "installed package files name the build tree"
fi
for f in "$prefix"/bin/* "$prefix"/lib/*.so*; do
  [ -L "$f" ] && continue
  if readelf -d "$f" 2>/dev/null | grep -E 'R(UN)?PATH' | grep -q -- "$build"; then
    fail "$(basename "$f") keeps a run path into the build tree"
  fi
done

# 2. find_package(Zolvane) against the prefix only.
app=$work/app
cmake -S "$source/SdkApp" -B "$app" -G "$generator" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Debug \
      "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_MODULE_LINKER_FLAGS=$flags" \
      -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF \
      -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF > "$work/configure.log" 2>&1 \
  || { show "$work/configure.log"; fail "configuring the application"; }
grep -q "^Zolvane_DIR:PATH=$prefix/" "$app/CMakeCache.txt" || fail "find_package found Zolvane outside $prefix"
cmake --build "$app" > "$work/build.log" 2>&1 || { show "$work/build.log"; fail "building the application"; }
module=$app/apps/SdkApp/SdkApp.app
[ -f "$module" ] || fail "no $module"
ldd "$module" | grep -q "libZolvane.so.* => $prefix/lib/" || { ldd "$module"; fail "SdkApp.app does not load the installed engine"; }

# 3. The installed launcher runs it headless for 30 frames (each frame moves its sprites,
# so 30 screen updates mean 30 drawn frames).
timeout 120 "$prefix/bin/epoc" --apps "$app/apps" --headless --frames 30 --png "$work/sheet.png" SdkApp \
  > "$work/run.log" 2>&1
status=$?
[ $status -eq 0 ] || { show "$work/run.log"; fail "epoc exited with $status"; }
grep -q "SdkApp stopped after 30 frames" "$work/run.log" || { show "$work/run.log"; fail "epoc did not run 30 frames"; }
[ -s "$work/sheet.png" ] || fail "no contact sheet"

# 4. A one-file program built with pkg-config alone.
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
pc=$(pkg-config --cflags --libs zolvane) || fail "pkg-config does not know zolvane"
# The flags are shell words, as a makefile's shell reads them: pkg-config escapes the
# spaces (and other special bytes) of an installation folder with backslashes.
eval "pcflags=($pc)"
# shellcheck disable=SC2086
"$cxx" -std=c++20 -Wall -Wextra -Werror $flags "$source/pkgconfig_probe.cpp" "${pcflags[@]}" -o "$work/probe" \
  > "$work/probe.log" 2>&1 || { show "$work/probe.log"; fail "building with pkg-config ($pc)"; }
"$work/probe" > "$work/probe.out" 2>&1 || { cat "$work/probe.out"; fail "the pkg-config program failed"; }
ldd "$work/probe" | grep -q "libZolvane.so.* => $prefix/lib/" || { ldd "$work/probe"; fail "the pkg-config program does not load the installed engine"; }

echo "out-of-tree SDK test passed"
rm -rf "$work"
