#!/usr/bin/env bash
# Keys pressed while epoc --watch brings an application back after a change (run inside
# xvfb-run): they must reach the application after the catch-up, in the order pressed,
# and the catch-up must not see them.
#   xvfb_watch_keys.sh EPOC XKEYS APP_MODULE OUT_DIR
# The application works 20 ms of processor time on each tick, so that the catch-up of a
# few hundred ticks lasts seconds; the keys come during it.
set -u
epoc=$1 xkeys=$2 module=$3 out=$4
unset ZOLV_SCREEN
export LC_ALL=C SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
rm -rf "$out" && mkdir -p "$out/apps/LiveTestApp/Data" && cd "$out" || exit 1
cp "$module" apps/LiveTestApp/LiveTestApp.app
echo 100000 > apps/LiveTestApp/Data/ticks.txt
echo 20 > apps/LiveTestApp/Data/work.txt
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
  "$epoc" --watch --frames 400 --record rec.txt --apps apps LiveTestApp > out.txt 2>&1 &
epoc=$!
until grep -q '^epoc: screen' out.txt; do sleep 0.05; kill -0 $epoc 2>/dev/null || break; done
cat out.txt
# The keys come 0.3, 0.5 and 0.7 seconds after the change.
"$xkeys" 30 x@8300 y@8500 z@8700 &
keys=$!
sleep 8
echo change > apps/LiveTestApp/Data/note.txt
wait $keys
wait $epoc
status=$?
cat out.txt
[ "$status" -eq 0 ] || exit 1
line=$(grep 'Data/note.txt changed: back at frame' out.txt) || exit 1
tick=$(echo "$line" | sed 's/.*(tick \([0-9]*\)).*/\1/')
took=$(echo "$line" | sed 's/.* in \([0-9.]*\) s$/\1/')
echo "back at tick $tick after $took s"
# The keys must have come during the catch-up for the test to mean anything.
awk -v t="$took" 'BEGIN { exit !(t > 0.8) }' || { echo "the catch-up was too short ($took s)"; exit 1; }
# Their key events in the recording: all after the tick the application came back at,
# in the order pressed.
codes=$(awk -v t="$tick" '$1 == "key" && $3 == "key" { split($2, p, "."); if (p[1] + 0 < t + 0) print "early"; else print $4 }' rec.txt | tr '\n' ' ')
echo "keys after the catch-up: $codes"
[ "$codes" = "code=120 code=121 code=122 " ] || exit 1
echo "keys pressed during the catch-up arrived after it, in order"
