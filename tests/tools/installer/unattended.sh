#!/bin/sh
# Runs ZolvInstall without a display (--install, then --remove) in a temporary prefix and
# checks the files, the transcript and the exit codes; then, when a virtual display is
# available, saves a screenshot of the real dialog and checks its size.
set -eu
# Every program here runs in the C locale: nothing read from one is translated.
export LC_ALL=C
program="$1"
work=$(mktemp -d /tmp/zolv-install-cli-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
export ZOLVANE_PREFIX="$work/prefix" USER=tester
fail() { echo "FAILED: $*"; exit 1; }

printf '%s\n' \
  '<header><company>Kestrelon</company><product>ZolvSDK</product><version>1.0</version><datafile>data.bin</datafile></header>' \
  '<package><name>Tools</name><file>bin\tool.exe</file><size>3</size><linkfile>bin\tool.exe</linkfile>' \
  '<linkname>Tool</linkname><linkfolder>Zolvane SDK</linkfolder><linkdescription>The tool</linkdescription></package>' \
  '<package><name>Sdk</name><file>Epoc32\Include\Zolvane.h</file><size>2</size></package>' > install.lst
printf 'AAAhh' > data.bin
mkdir -p sdk root
printf 'Yes\nOK\n' > install.answers
"$program" --install --answers install.answers --transcript install.txt --dir "$work/root" --sdk "$work/sdk" \
  || fail "install exited with $?"
[ "$(cat root/Kestrelon/ZolvaneSDK/Nokia9200/bin/tool.exe)" = AAA ] || fail "tool.exe"
[ "$(cat sdk/Epoc32/Include/Zolvane.h)" = hh ] || fail "Zolvane.h"
[ -f "prefix/drive_c/users/tester/Start Menu/Programs/Zolvane SDK/Tool.lnk" ] || fail "shortcut"
grep -q 'text: "Version 1.0 of Kestrelon'"'"'s ZolvSDK successfully installed."' install.txt || fail "transcript"

# An answer that does not fit a box ends the run with 2.
printf 'OK\n' > wrong.answers
status=0; "$program" --install --answers wrong.answers >/dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "unfitting answer gave $status"

printf 'Yes\nOK\n' > remove.answers
"$program" --remove --answers remove.answers --transcript remove.txt || fail "remove exited with $?"
[ ! -e root/Kestrelon ] || fail "installation folder left"
[ -z "$(find sdk -type f)" ] || fail "SDK files left"
[ ! -e prefix/drive_c/windows/Kestrelon_ZolvSDK__uninstall.lst ] || fail "uninstall list left"
grep -q 'successfully removed!' remove.txt || fail "remove transcript"

status=0; "$program" --answers remove.answers >/dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "an option without --install or --remove gave $status"

if command -v xvfb-run >/dev/null 2>&1 && command -v file >/dev/null 2>&1; then
  # The desktop bus library keeps a buffer for the whole process; a sanitizer build
  # would count it as a leak of ours.
  printf 'leak:libdbus-1.so\n' > lsan.supp
  LSAN_OPTIONS="suppressions=$work/lsan.supp" xvfb-run -a "$program" --screenshot shot.png >/dev/null 2>&1 \
    || fail "screenshot run"
  file shot.png | grep -q 'PNG image data, 462 x 310' || fail "screenshot: $(file shot.png)"
fi
echo "unattended: 1 passed, 0 failed"
