#!/bin/bash
# Follows docs/getting-started.md as a newcomer would: every ```sh block of the page runs,
# in order, in one shell, with the build tree under test standing for the clone's build/,
# in a temporary home folder (so the prefix, the emulator's drives and the SDK land
# there) and with no display. A command that fails fails the test.
#
# Blocks preceded by the line <!-- walkthrough: skip --> are shown to readers but not run
# here (building the tree: the tree under test is already built). After the page's
# commands, the results the page promises are checked: the contact sheets of the two
# runs exist, and the edited movie changed what the screen showed.
#
#   walkthrough.sh SOURCE_DIR BUILD_DIR     (exit 77: the build has no SDK installation)
set -euo pipefail
# Every program here runs in the C locale: nothing read from one is translated.
export LC_ALL=C
source_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
page="$source_dir/docs/getting-started.md"
fail() { echo "FAILED: $*"; exit 1; }
[ -f "$page" ] || fail "no $page"

installation="$build_dir/tools/sdk/installation"
if [ ! -f "$installation/install.lst" ] || [ ! -f "$installation/install.dat" ]; then
  echo "SKIPPED: the build has no SDK installation file ($installation/install.lst and install.dat," \
       "made by the target sdk_installation); the walk-through installs the SDK from it"
  exit 77
fi

work=$(mktemp -d /tmp/zolv-walkthrough-XXXXXX)
trap 'rm -rf "$work"' EXIT

# The page's commands, block by block, each introduced by its line number.
script="$work/commands.sh"
awk -v page="$page" '
  /^<!-- walkthrough: skip -->/ { skip = 1; next }
  /^```sh[ \t]*$/ && !inside { inside = 1; run = !skip; skip = 0; blocks += run
                               if (run) print "echo \"--- " page ":" NR "\""; next }
  /^```/ && inside { inside = 0; next }
  inside && run { print }
  !inside && NF { skip = skip && /^<!--/ }
  END { if (blocks == 0) { print "echo \"no sh blocks\"; exit 1" } }
' "$page" > "$script"

# A newcomer's machine: a home of its own, no display, no Zolvane settings.
mkdir -p "$work/home" "$work/zolvane"
ln -s "$build_dir" "$work/zolvane/build"
run_env=(env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME -u ZOLVANE_PREFIX -u ZOLVANE_EPOCROOT
         -u ZOLVANE_SDK -u ZOLV_SCREEN -u ZOLV_SCREEN_SIZE
         HOME="$work/home" TMPDIR="$work" SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy
         QT_QPA_PLATFORM=offscreen PATH="/usr/local/bin:/usr/bin:/bin")
cd "$work/zolvane"
# Each command runs as the page shows it; the whole page gets four minutes (a program that
# never ends, such as a launcher whose application shows nothing, must not hang the test).
status=0
timeout 240 "${run_env[@]}" bash -eu "$script" > "$work/output.txt" 2>&1 || status=$?
if [ "$status" != 0 ]; then
  tail -n 60 "$work/output.txt"
  [ "$status" = 124 ] && fail "docs/getting-started.md did not finish within four minutes"
  fail "a command of docs/getting-started.md failed with $status (the last block started is named above)"
fi

# What the page promises to leave behind.
first="$work/home/first.png"
second="$work/home/second.png"
[ -s "$first" ] || fail "the first run left no contact sheet ($first)"
[ -s "$second" ] || fail "the run after the movie edit left no contact sheet ($second)"
cmp -s "$first" "$second" && fail "the edited movie did not change the screen"
echo "walkthrough: $(grep -c '^--- ' "$work/output.txt") blocks of docs/getting-started.md ran"
