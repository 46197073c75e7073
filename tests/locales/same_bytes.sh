#!/bin/bash
# Runs the programs the way users do, once in each of the locales C, de_DE.UTF-8 and
# tr_TR.UTF-8, always in the same folder, and checks that every file they write, the
# registry, the uninstall list, their transcripts and their messages are the same bytes:
#   - ZolvInstall installs and removes a package (registry keys written in another letter
#     case than the program uses, names with "I" and "i");
#   - ZolvWizard generates a project through makmake, finding the SDK under a registry
#     key spelt in capitals;
#   - demo_assets draws pictures and sounds, zolvmbm packs and lists them, zolvlint checks
#     a faulty movie, and epoc plays the Demo (its texts go through the font store) and
#     saves a contact sheet.
#   same_bytes.sh INSTALL WIZARD MAKMAKE ZOLVMBM ZOLVLINT EPOC DEMO_ASSETS APPS_DIR SOURCE_DIR
set -u
install=$1 wizard=$2 makmake=$3 zolvmbm=$4 zolvlint=$5 epoc=$6 assets=$7 apps=$8 source=$9
locales=(C de_DE.UTF-8 tr_TR.UTF-8)
fail() { echo "FAILED: $*"; exit 1; }
for l in "${locales[@]:1}"; do
  want=$(printf '%s' "$l" | LC_ALL=C tr 'A-Z' 'a-z' | LC_ALL=C sed 's/utf-8$/utf8/')
  if ! LC_ALL=C locale -a | LC_ALL=C tr 'A-Z' 'a-z' | grep -qxF "$want"; then
    echo "SKIPPED: the locale $l is not generated (scripts/test generates it)"
    exit 77
  fi
done
work=$(mktemp -d "${TMPDIR:-/tmp}/zolv-locales-XXXXXX")
trap 'rm -rf "$work"' EXIT

# One pass in locale $1: everything happens in $work/run, which is then kept as $work/$1.
pass() {
  local run=$work/run
  rm -rf "$run"
  mkdir -p "$run/out" "$run/tools"
  cd "$run" || fail "no $run"
  export LC_ALL=$1 LANG=$1 ZOLVANE_PREFIX=$run/prefix USER=tester SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy
  unset ZOLVANE_SDK ZOLVANE_EPOCROOT

  # A registered SDK, its key spelt in capitals; the wizard's program files beside it.
  mkdir -p prefix/drive_c/Symbian/Epoc32/Include prefix/drive_c/Symbian/Epoc32/Release/wins/udeb \
           prefix/drive_c/Symbian/Epoc32/Tools prefix/drive_c/Projects
  printf 'WINE REGISTRY Version 2\n\n[SOFTWARE\\\\SYMBIAN\\\\EPOC SDKS] 1\n"CommonPath"="C:\\\\Symbian"\n' \
    > prefix/system.reg
  printf '<sdk><ESDKVersion>6.0</ESDKVersion><ESDKLanguage>C++</ESDKLanguage><ESDKPlatform>Nokia</ESDKPlatform><ESDKNonSharedPath>C:\\Symbian</ESDKNonSharedPath></sdk>' \
    > prefix/drive_c/Symbian/installed.xml
  cp "$source/engine/include/Zolvane.h" prefix/drive_c/Symbian/Epoc32/Include/
  for f in Zolvane.dll Zolvane.lib libZolvane.so libzsymbian.so; do
    : > "prefix/drive_c/Symbian/Epoc32/Release/wins/udeb/$f"
  done
  cp "$makmake" prefix/drive_c/Symbian/Epoc32/Tools/makmake.bat
  cp "$wizard" tools/ZolvWizard
  cp -r "$(dirname "$wizard")/Templates" tools/

  # The installer: install, keep the uninstall list, remove.
  printf '%s\n' \
    '<header><company>Kestrelon</company><product>ZolvSDK Iii</product><version>1.0</version><datafile>data.bin</datafile></header>' \
    '<package><name>Tools</name><file>bin\Tool.exe</file><size>3</size><file>bin\Info.txt</file><size>2</size>' \
    '<linkfile>bin\Tool.exe</linkfile><linkname>Tool I</linkname><linkfolder>Zolvane SDK</linkfolder><linkdescription>The tool</linkdescription></package>' \
    '<package><name>Sdk</name><file>Epoc32\Include\Zolvanei.h</file><size>2</size></package>' > install.lst
  printf 'AAAiihh' > data.bin
  printf 'Yes\nOK\n' > install.answers
  "$install" --install --answers install.answers --transcript out/install.txt --dir "$run/prefix/drive_c/Kit" \
    --sdk "$run/prefix/drive_c/Symbian" > out/install.out 2>&1
  echo "status $?" >> out/install.out
  cp prefix/drive_c/windows/*uninstall.lst out/ 2>/dev/null
  find prefix -print0 | LC_ALL=C sort -z | LC_ALL=C xargs -0 ls -ldU --time-style=+ | awk '{print $1, $5, $NF}' \
    > out/installed.tree
  printf 'Yes\nOK\n' > remove.answers
  "$install" --remove --answers remove.answers --transcript out/remove.txt > out/remove.out 2>&1
  echo "status $?" >> out/remove.out

  # The wizard, with makmake on PATH as in the SDK.
  printf 'OK\n' > wizard.answers
  PATH="$run/prefix/drive_c/Symbian/Epoc32/Tools:$PATH" tools/ZolvWizard --name Game --uid 1234ABCD \
    --dir "$run/prefix/drive_c/Projects" --answers wizard.answers --transcript out/wizard.txt > out/wizard.out 2>&1
  echo "status $?" >> out/wizard.out

  # Pictures, sounds and their .mbm; a faulty movie; the Demo on the screen.
  mkdir -p assets && "$assets" assets > out/assets.out 2>&1; echo "status $?" >> out/assets.out
  "$zolvmbm" build out/title.mbm -d c12 assets/title_*.bmp > out/zolvmbm.out 2>&1
  "$zolvmbm" list out/title.mbm >> out/zolvmbm.out 2>&1; echo "status $?" >> out/zolvmbm.out
  "$zolvlint" "$source/tests/lint/data/Movies/faulty.movie" > out/zolvlint.out 2>&1
  echo "status $?" >> out/zolvlint.out
  ZOLVANE_EPOCROOT=$run/epoc "$epoc" --headless --apps "$apps" --frames 60 --png out/demo.png Demo \
    > out/epoc.out 2>&1
  echo "status $?" >> out/epoc.out

  # The registry files keep each key's time of writing: that alone may differ.
  for reg in prefix/*.reg; do
    LC_ALL=C sed -E 's/^(\[.*\]) [0-9]+$/\1/; /^#time=/d' "$reg" > "out/$(basename "$reg").txt"
  done
  cd "$work" && mv "$run" "$work/$1"
}

for l in "${locales[@]}"; do pass "$l"; done
base=$work/C
[ -s "$base/out/install.txt" ] || fail "the installer wrote no transcript: $(cat "$base/out/install.out")"
grep -q "successfully installed" "$base/out/install.txt" || fail "the installation failed: $(cat "$base/out/install.txt")"
grep -q "successfully created" "$base/out/wizard.txt" || fail "the wizard failed: $(cat "$base/out/wizard.txt" "$base/out/wizard.out")"
[ -s "$base/prefix/drive_c/Projects/Game/CMakeLists.txt" ] || fail "makmake wrote no project"
[ -s "$base/out/demo.png" ] || fail "epoc saved no contact sheet: $(cat "$base/out/epoc.out")"
grep -q "status 0" "$base/out/zolvmbm.out" || fail "zolvmbm failed: $(cat "$base/out/zolvmbm.out")"
ls "$base"/out/*uninstall.lst > /dev/null 2>&1 || fail "no uninstall list"
for l in "${locales[@]:1}"; do
  # Every output, and every file the programs left in their folder, byte for byte.
  diff -r -x "*.reg" "$base" "$work/$l" > "$work/diff.txt" 2>&1 || { head -c 4000 "$work/diff.txt"; fail "$l differs from C"; }
done
echo "locales: ${locales[*]} give the same bytes"
