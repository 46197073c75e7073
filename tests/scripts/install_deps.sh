#!/bin/bash
# Sources scripts/lib.sh as an ordinary user would (id, sudo, apt-get and locale-gen are
# stand-ins on PATH that record every call) and checks:
#   - with every package present nothing runs as root;
#   - with a package missing and neither root nor a working sudo, the missing package and
#     the apt-get command are named, the exit status is 1 and nothing is installed;
#   - with a working sudo the missing package is installed through it;
#   - a missing locale is only named without root, and generated through sudo from the
#     locale.gen file when sudo works.
#   install_deps.sh LIB_SH
set -u
export LC_ALL=C
lib=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/zolv-install-deps-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

bin=$work/bin calls=$work/calls
mkdir -p "$bin"
# id -u says 1000; sudo fails or passes its command on, as ZOLV_TEST_SUDO says; apt-get,
# locale-gen and locale record their calls; locale -a knows only C and POSIX.
cat > "$bin/id" <<'ID'
#!/bin/sh
[ "$1" = "-u" ] && { echo 1000; exit 0; }
exec /usr/bin/id "$@"
ID
cat > "$bin/sudo" <<'SUDO'
#!/bin/sh
echo "sudo $*" >> "$ZOLV_TEST_CALLS"
[ "$ZOLV_TEST_SUDO" = works ] || { echo "sudo: a password is required" >&2; exit 1; }
[ "$1" = "-n" ] && shift
[ "$1" = "-v" ] && exit 0
exec "$@"
SUDO
for tool in apt-get locale-gen; do
  printf '#!/bin/sh\necho "%s $*" >> "$ZOLV_TEST_CALLS"\n' "$tool" > "$bin/$tool"
done
printf '#!/bin/sh\nprintf "C\\nC.utf8\\nPOSIX\\n"\n' > "$bin/locale"
chmod +x "$bin"/*
export PATH="$bin:$PATH" ZOLV_TEST_CALLS=$calls

# run NAME SUDO SCRIPT: runs SCRIPT in a bash that sourced lib.sh, with stdin not a terminal;
# its output in $work/NAME.out, its status in $status.
run() {
  local name=$1
  export ZOLV_TEST_SUDO=$2
  : > "$calls"
  bash -c ". \"\$0\"; $3" "$lib" < /dev/null > "$work/$name.out" 2>&1
  status=$?
}

# Every package present (bash and coreutils are): nothing runs as root.
run present fails 'ZOLV_PACKAGES=(bash coreutils); zolv_install_deps; echo built'
[ $status -eq 0 ] || { cat "$work/present.out"; fail "with every package present the status is $status"; }
grep -qx built "$work/present.out" || fail "with every package present it did not go on"
[ -s "$calls" ] && { cat "$calls"; fail "with every package present something ran as root"; }

# A missing package, no root and no working sudo: named with the command, exit 1 before
# anything after it runs.
run missing fails 'ZOLV_PACKAGES=(bash zolv-no-such-package); zolv_install_deps; echo built'
[ $status -eq 1 ] || { cat "$work/missing.out"; fail "without root the status is $status, not 1"; }
grep -q "missing: zolv-no-such-package" "$work/missing.out" || { cat "$work/missing.out"; fail "the missing package is not named"; }
grep -qF "apt-get install --no-install-recommends zolv-no-such-package" "$work/missing.out" \
  || { cat "$work/missing.out"; fail "the apt-get command is not given"; }
grep -q "install.*bash" "$work/missing.out" && fail "a package that is present is named as missing"
grep -qx built "$work/missing.out" && fail "it went on without the missing package"
grep -q '^apt-get' "$calls" && fail "apt-get ran without root"

# The same with a working sudo: installed through it.
run sudo works 'ZOLV_PACKAGES=(bash zolv-no-such-package); zolv_install_deps; echo built'
[ $status -eq 0 ] || { cat "$work/sudo.out"; fail "with a working sudo the status is $status"; }
grep -qx "sudo apt-get install -y -qq --no-install-recommends zolv-no-such-package" "$calls" \
  || { cat "$calls"; fail "the package was not installed through sudo"; }

# A missing locale without root: named, and the script goes on.
printf '# tr_TR.UTF-8 UTF-8\n# de_DE.UTF-8 UTF-8\n' > "$work/locale.gen"
export ZOLV_LOCALE_GEN_FILE=$work/locale.gen
run nolocale fails 'zolv_install_locales C.UTF-8 tr_TR.UTF-8; echo built'
[ $status -eq 0 ] || { cat "$work/nolocale.out"; fail "a missing locale without root stopped the script"; }
grep -q "missing.*tr_TR.UTF-8" "$work/nolocale.out" || { cat "$work/nolocale.out"; fail "the missing locale is not named"; }
grep -q "C.UTF-8" "$work/nolocale.out" && fail "the present locale C.UTF-8 is named as missing"
grep -q 'locale-gen' "$calls" && fail "locale-gen ran without root"

# With a working sudo: the line is enabled in locale.gen (or added) and locale-gen runs.
run locale works 'zolv_install_locales tr_TR.UTF-8 ja_JP.UTF-8'
[ $status -eq 0 ] || { cat "$work/locale.out"; fail "generating locales failed ($status)"; }
grep -qx "tr_TR.UTF-8 UTF-8" "$work/locale.gen" || { cat "$work/locale.gen"; fail "tr_TR is not enabled"; }
grep -qx "ja_JP.UTF-8 UTF-8" "$work/locale.gen" || { cat "$work/locale.gen"; fail "ja_JP is not added"; }
grep -qx "# de_DE.UTF-8 UTF-8" "$work/locale.gen" || fail "a locale that was not asked for changed"
grep -qx "sudo locale-gen" "$calls" || { cat "$calls"; fail "locale-gen did not run through sudo"; }
echo "scripts/lib.sh: packages and locales checked"
