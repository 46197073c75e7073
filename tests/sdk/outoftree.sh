#!/bin/bash
# Installs a build of Zolvane into a fresh prefix, checks its layout, then builds and runs
# an application against that prefix only: with find_package(Zolvane) and with pkg-config.
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
         lib/cmake/Zolvane/ZolvaneConfigVersion.cmake lib/pkgconfig/zolvane.pc bin/epoc \
         share/man/man1/epoc.1.gz share/man/man1/zolvlint.1.gz share/man/man1/zolvmbm.1.gz \
         share/man/man1/makmake.1.gz share/man/man1/makmake.bat.1.gz share/doc/zolvane-sdk/copyright; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
soname=$(readelf -d "$prefix/lib/libZolvane.so" | sed -n 's/.*(SONAME).*\[\(.*\)\].*/\1/p')
case $soname in libZolvane.so.[0-9]*) ;; *) fail "libZolvane.so has no versioned soname ('$soname')";; esac
[ -e "$prefix/lib/$soname" ] || fail "the soname $soname is not installed"
[ -e "$prefix/lib/libzsymbian.so.${soname#libZolvane.so.}" ] || fail "libzsymbian.so has no versioned name"
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

# 2. An application built against the prefix only, and run by the installed launcher.
bash "$(dirname "$0")/build_app.sh" "$prefix" "$prefix/lib" "$source" "$work" "$cxx" "$generator" "$flags" || exit 1

echo "out-of-tree SDK test passed"
rm -rf "$work"
