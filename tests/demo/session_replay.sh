#!/usr/bin/env bash
# The Demo's recorded session: a run on the real clock in a window under Xvfb, with arrow
# keys pressed through the garden game. Its replay must draw every frame as the live run
# drew it (garden.hashes); without its keys the garden must come out differently, from a
# frame of the garden on.
#   session_replay.sh EPOC APPS WORK_DIR
set -u
epoc=$1 apps=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
export LC_ALL=C SDL_AUDIODRIVER=dummy
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
"$epoc" --headless --apps "$apps" --replay "$here/garden.session" --expect "$here/garden.hashes" Demo || exit 1
echo "replay matches the recorded frames"
grep -v '^key ' "$here/garden.session" > nokeys.session
"$epoc" --headless --apps "$apps" --replay nokeys.session --expect "$here/garden.hashes" Demo > nokeys.out
status=$?
cat nokeys.out
frame=$(sed -n 's/^epoc: frame \([0-9]*\) differs.*/\1/p' nokeys.out)
[ "$status" -eq 1 ] && [ -n "$frame" ] && [ -f "Demo-frame-$frame.png" ] || exit 1
# The garden is the fourth movie: its frames start after the wipes, near frame 390.
[ "$frame" -gt 380 ] || exit 1
echo "without its keys the replay differs from frame $frame"
