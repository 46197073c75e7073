# Shared by scripts/test, scripts/demo and .ci/run: install what is missing, configure, build.
# Sourced, not run.

ZOLV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the build, the tests and the demo need.
ZOLV_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-image-dev libjpeg62-turbo-dev libx11-dev libxtst-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-dejavu-extra
  qt6-base-dev xvfb xauth doxygen gzip
)

# Debian packages only the tests need: other fonts, which must change nothing in what the
# font store chooses and draws; the Debian package tools (the target deb and its test) and
# the manual page tools.
ZOLV_TEST_PACKAGES=(fonts-urw-base35 fonts-liberation2 dpkg-dev file lintian groff-base man-db)

# How this user runs a command as root: ZOLV_AS_ROOT is set to () when already root and to
# (sudo) when sudo works (without a password, or asking for one at a terminal). Returns 1
# when neither is possible.
zolv_as_root() {
  ZOLV_AS_ROOT=()
  [ "$(id -u)" -eq 0 ] && return 0
  command -v sudo > /dev/null 2>&1 || return 1
  if sudo -n true > /dev/null 2>&1 || { [ -t 0 ] && sudo -v; }; then
    ZOLV_AS_ROOT=(sudo)
    return 0
  fi
  return 1
}

# zolv_install_deps [PACKAGE...]: installs what is missing of ZOLV_PACKAGES and the given
# packages. Nothing is run as root when nothing is missing. Without root and without a
# working sudo it names the missing packages and the command that installs them, and exits 1.
zolv_install_deps() {
  local missing=() p
  for p in "${ZOLV_PACKAGES[@]}" "$@"; do
    if ! LC_ALL=C dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if ! zolv_as_root; then
    {
      echo "These Debian packages are missing: ${missing[*]}"
      echo "Installing them needs root (or a working sudo). Run as root:"
      echo "  apt-get update && apt-get install --no-install-recommends ${missing[*]}"
      echo "then run scripts/$(basename "$0") again."
    } >&2
    exit 1
  fi
  echo "Installing missing packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${ZOLV_AS_ROOT[@]}" apt-get update -qq
  "${ZOLV_AS_ROOT[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Whether the C library has the locale NAME (such as tr_TR.UTF-8) compiled.
zolv_has_locale() {
  local want
  want=$(printf '%s' "$1" | LC_ALL=C tr 'A-Z' 'a-z' | LC_ALL=C sed 's/utf-8$/utf8/')
  LC_ALL=C locale -a 2>/dev/null | LC_ALL=C tr 'A-Z' 'a-z' | LC_ALL=C sed 's/utf-8$/utf8/' | grep -qxF -- "$want"
}

# zolv_install_locales NAME...: generates the UTF-8 locales (such as tr_TR.UTF-8) that the
# tests run in, when they are missing (Debian package locales, /etc/locale.gen and
# locale-gen). Without root and without a working sudo it names the commands to run and
# goes on: the tests that need a missing locale say they were skipped.
ZOLV_LOCALE_GEN_FILE=${ZOLV_LOCALE_GEN_FILE:-/etc/locale.gen}
zolv_install_locales() {
  local missing=() l
  for l in "$@"; do zolv_has_locale "$l" || missing+=("$l"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  if ! zolv_as_root; then
    {
      echo "These locales are missing, so the tests that need them are skipped: ${missing[*]}"
      echo "To make them, as root: add the lines"
      for l in "${missing[@]}"; do echo "  ${l%%.*}.UTF-8 UTF-8"; done
      echo "to $ZOLV_LOCALE_GEN_FILE and run locale-gen."
    } >&2
    return 0
  fi
  echo "Generating locales: ${missing[*]}"
  for l in "${missing[@]}"; do
    l="${l%%.*}.UTF-8 UTF-8"
    if grep -qE "^# *$l\$" "$ZOLV_LOCALE_GEN_FILE" 2>/dev/null; then
      "${ZOLV_AS_ROOT[@]}" sed -i -E "s/^# *($l)\$/\1/" "$ZOLV_LOCALE_GEN_FILE"
    elif ! grep -qxF "$l" "$ZOLV_LOCALE_GEN_FILE" 2>/dev/null; then
      echo "$l" | "${ZOLV_AS_ROOT[@]}" tee -a "$ZOLV_LOCALE_GEN_FILE" > /dev/null
    fi
  done
  "${ZOLV_AS_ROOT[@]}" locale-gen > /dev/null
}

# zolv_build DIR [cmake options...]: configure once, then build.
zolv_build() {
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ZOLV_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  else
    cmake "$dir" "$@" >/dev/null
  fi
  cmake --build "$dir" --parallel "$(nproc)"
}
