#!/usr/bin/env bash
# Runs the Demo the way scripts/demo does on a desktop (a real window, since DISPLAY is
# set), takes a screenshot of the X screen while it plays and checks that it shows a
# picture. Run inside xvfb-run.
#   xvfb_window.sh SCRIPT BUILD_DIR XSHOT OUT.png
#
# Leak checking is off for this run: with a window on X, the launcher's run leaves two
# small blocks of a desktop library that is already unloaded at exit (any application
# does, so they cannot be told apart from ours). The Demo's own leaks are checked by its
# headless runs.
set -u
# Every program here runs in the C locale: nothing read from one is translated.
export LC_ALL=C
script=$1 build=$2 xshot=$3 out=$4
unset ZOLV_SCREEN
# SDL must use the X server (no silent fall-back to another video driver).
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ZOLV_DEMO_NO_BUILD=1 ZOLV_DEMO_BUILD_DIR=$build
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
rm -f "$out"
"$script" --frames 160 &
demo=$!
"$xshot" "$out" 40
shot=$?
wait "$demo"
status=$?
echo "demo exit code $status, screenshot exit code $shot"
if [ "$status" -eq 0 ] && [ "$shot" -eq 0 ] && [ -s "$out" ]; then
  echo "screenshot: $out"
fi
