#!/bin/bash
# Builds and runs an application against an installed SDK only: with find_package(Zolvane)
# and with pkg-config, and runs it headless through the installed launcher.
#   build_app.sh PREFIX LIBDIR SOURCE_DIR WORK_DIR CXX_COMPILER GENERATOR [EXTRA_FLAGS]
# LIBDIR is the installed library folder. SOURCE_DIR holds the application's CMake project
# (SdkApp/) and pkgconfig_probe.cpp. The installed programs and the application must find
# the installed libraries: through their run paths, or through LD_LIBRARY_PATH set by the
# caller.
set -u
prefix=$1 libdir=$2 source=$3 work=$4 cxx=$5 generator=$6 flags=${7:-}

fail() { echo "FAIL: $*" >&2; exit 1; }
show() { echo "---- $1"; tail -n 40 "$1"; }
mkdir -p "$work"

# 1. find_package(Zolvane) against the prefix only.
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
ldd "$module" | grep -q "libZolvane.so.* => $libdir/" || { ldd "$module"; fail "SdkApp.app does not load the installed engine"; }

# 2. The installed launcher runs it headless for 30 frames (each frame moves its sprites,
# so 30 screen updates mean 30 drawn frames).
timeout 120 "$prefix/bin/epoc" --apps "$app/apps" --headless --frames 30 --png "$work/sheet.png" SdkApp \
  > "$work/run.log" 2>&1
status=$?
[ $status -eq 0 ] || { show "$work/run.log"; fail "epoc exited with $status"; }
grep -q "SdkApp stopped after 30 frames" "$work/run.log" || { show "$work/run.log"; fail "epoc did not run 30 frames"; }
[ -s "$work/sheet.png" ] || fail "no contact sheet"

# 3. A one-file program built with pkg-config alone.
export PKG_CONFIG_LIBDIR=$libdir/pkgconfig PKG_CONFIG_PATH=
pc=$(pkg-config --cflags --libs zolvane) || fail "pkg-config does not know zolvane"
# The flags are shell words, as a makefile's shell reads them: pkg-config escapes the
# spaces (and other special bytes) of an installation folder with backslashes.
eval "pcflags=($pc)"
# shellcheck disable=SC2086
"$cxx" -std=c++20 -Wall -Wextra -Werror $flags "$source/pkgconfig_probe.cpp" "${pcflags[@]}" -o "$work/probe" \
  > "$work/probe.log" 2>&1 || { show "$work/probe.log"; fail "building with pkg-config ($pc)"; }
"$work/probe" > "$work/probe.out" 2>&1 || { cat "$work/probe.out"; fail "the pkg-config program failed"; }
ldd "$work/probe" | grep -q "libZolvane.so.* => $libdir/" || { ldd "$work/probe"; fail "the pkg-config program does not load the installed engine"; }
exit 0
