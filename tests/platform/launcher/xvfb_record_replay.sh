#!/usr/bin/env bash
# Records an application live in a real window (run inside xvfb-run) while keys are
# pressed through the X server, then replays the recording headless: every frame of the
# replay must be the frame of the live run.
#   xvfb_record_replay.sh EPOC XKEYS APPS NAME OUT_DIR [epoc options --] KEY@MS...
# Leak checking is off for the window run (the desktop libraries leave blocks behind at
# exit); the headless replay is checked as usual.
set -u
epoc=$1 xkeys=$2 apps=$3 name=$4 out=$5
shift 5
options=()
if [ "${1:-}" = "--options" ]; then
  shift
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
  shift
fi
unset ZOLV_SCREEN
export LC_ALL=C SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
rm -rf "$out" && mkdir -p "$out" && cd "$out" || exit 1
"$xkeys" 30 "$@" &
keys=$!
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
  "$epoc" --apps "$apps" --record rec.txt --hashes live.txt "${options[@]}" "$name"
live=$?
wait "$keys"
sent=$?
echo "live run exit code $live, xkeys exit code $sent"
[ "$live" -eq 0 ] && [ "$sent" -eq 0 ] || exit 1
# The replay keeps leak checking for our code; the desktop's message bus library, which
# SDL starts under a display session, keeps a buffer to the end.
printf 'leak:libdbus-1.so\n' > lsan.supp
LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$PWD/lsan.supp \
  "$epoc" --headless --apps "$apps" --replay rec.txt --hashes replay.txt --expect live.txt "$name" || exit 1
cmp live.txt replay.txt || exit 1
frames=$(grep -c '^[0-9]' live.txt)
keys=$(grep -c '^key .* key ' rec.txt)
clips=$(grep -c '^audio ' rec.txt)
echo "live and replayed frames match: $frames frames, $keys key events, $clips clip ends"
